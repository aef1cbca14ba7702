#include "gui/maintenance/ResourcesWindow.h"

#include "core/base/InterfaceTexts.h"
#include "gui/maintenance/DesignedControls.h"
#include "gui/maintenance/DesktopDialogs.h"
#include "gui/maintenance/LinkAdapters.h"

#include <QCloseEvent>
#include <QProgressBar>
#include <QStyle>
#include <QToolButton>

namespace quelnet {

using namespace design;

namespace {

constexpr int FirstRowTop = 26;
constexpr int RowStep = 28;

QToolButton* Image(QWidget* parent, const QString& name, QStyle::StandardPixmap pixmap, const QRect& rect) {
    auto* image = Place<QToolButton>(parent, "", rect);
    image->setObjectName(name);
    image->setAutoRaise(true);
    image->setFocusPolicy(Qt::NoFocus);
    image->setIcon(parent->style()->standardIcon(pixmap));
    return image;
}

} // namespace

TfmResources::TfmResources(QWidget* parent)
    : MaintenanceWindow({"fmResources", "Zasoby quelnet-a", 719, 290, true, "r"}, parent),
      m_desktop(std::make_unique<DesktopDialogs>(this)), m_messages(m_desktop.get()),
      m_files(m_desktop.get()), m_log(std::make_unique<UnshownLog>()),
      m_pump(std::make_unique<WindowEventPump>()) {
    CreateConnectionFields();
    CreateRows(ResourceKind::Page, 248);
    CreateRows(ResourceKind::Graphic, 484);
    m_progress = std::make_unique<BarProgress>(m_progressBar);
    connect(m_installButton, &QPushButton::clicked, this, &TfmResources::Button1Click);
}

TfmResources::~TfmResources() = default;

void TfmResources::CreateConnectionFields() {
    Caption(this, "Label1", "Adres QuelNet-a", {8, 15, 104, 16});
    m_hostEdit = Edit(this, "Edit1", "192.168.0.177", {114, 12, 120, 21});
    Caption(this, "Label2", "Port TCP", {8, 43, 104, 16});
    m_portEdit = Edit(this, "Edit2", "7080", {114, 40, 120, 21});
    Caption(this, "Label3", "Hasło sterowania", {8, 71, 104, 16});
    m_passwordEdit = PasswordEdit(this, "Edit3", "3958", {114, 68, 120, 21});
    m_jumperHint =
        Caption(this, "StaticText1", "Proszę zamontować w QuelNet-ie zworę odblokowującą programowanie.",
                {8, 100, 226, 32});
    m_jumperHint->setWordWrap(true);
    m_installButton = Button(this, "Button1", "Załaduj zasoby", {8, 142, 226, 36});
    m_statusText = Place<QLabel>(this, "StaticText2", {8, 188, 226, 44});
    m_statusText->setTextFormat(Qt::PlainText);
    m_statusText->setWordWrap(true);
    m_statusText->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    m_progressBar = Place<QProgressBar>(this, "ProgressBar1", {8, 262, 703, 18});
    m_progressBar->setRange(0, 100);
    m_progressBar->setValue(0);
    m_progressBar->setTextVisible(false);
}

// Eight rows from the top: name, size, the open image and the delete image.
void TfmResources::CreateRows(ResourceKind kind, int left) {
    const bool pages = kind == ResourceKind::Page;
    const QString prefix = pages ? QStringLiteral("U") : QStringLiteral("S");
    Rows& rows = RowsOf(kind);
    for (int k = 1; k <= 8; ++k) {
        const int top = FirstRowTop + (k - 1) * RowStep;
        const QString id = prefix + QString::number(k);
        Row& row = rows[size_t(k - 1)];
        row.name = Place<QLabel>(this, "", {left, top + 3, 108, 16});
        row.name->setObjectName(id + "Name");
        row.name->setText(pages ? QStringLiteral("Strona \"u%1.cgi\"").arg(k)
                                : QStringLiteral("Grafika \"s%1.gif\"").arg(k));
        row.info = Place<QLabel>(this, "", {left + 110, top + 3, 54, 16});
        row.info->setObjectName(id + "Info");
        row.info->setText(SizeText(-1));
        row.info->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        row.open = Image(this, id + "Open", QStyle::SP_DialogOpenButton, {left + 170, top, 24, 22});
        row.del = Image(this, id + "Del", QStyle::SP_DialogDiscardButton, {left + 196, top, 24, 22});
        row.open->setProperty("tag", k);
        row.del->setProperty("tag", k);
        connect(row.open, &QToolButton::clicked, this,
                [this, pages, k] { pages ? UOpenClick(k) : SOpenClick(k); });
        connect(row.del, &QToolButton::clicked, this,
                [this, pages, k] { pages ? UDelClick(k) : SDelClick(k); });
    }
}

void TfmResources::SetDialogs(IMessages* messages, IFileChooser* files) {
    m_messages = messages ? messages : m_desktop.get();
    m_files = files ? files : m_desktop.get();
}

JobFrontEnd TfmResources::FrontEnd() {
    return {*m_messages, *m_files, *m_log, *m_progress, m_pump.get(), nullptr};
}

TUser_Resource TfmResources::Resource() const {
    TUser_Resource resource;
    for (size_t i = 0; i < 8; ++i) {
        resource.Html_U[i] = m_pages[i].name->toolTip();
        resource.Gif_S[i] = m_graphics[i].name->toolTip();
    }
    return resource;
}

void TfmResources::showEvent(QShowEvent* event) {
    MaintenanceWindow::showEvent(event);
    FormShow();
}

void TfmResources::FormShow() {
    ShowFreeSpace();
}

// Built anew for every change; when the image cannot be built at all the
// line keeps its text.
void TfmResources::ShowFreeSpace() {
    if (const std::optional<QString> text = ResourcesJob::FreeSpaceText(Resource()))
        m_statusText->setText(*text);
}

void TfmResources::UOpenClick(int k) {
    OpenClick(ResourceKind::Page, k);
}

void TfmResources::SOpenClick(int k) {
    OpenClick(ResourceKind::Graphic, k);
}

void TfmResources::UDelClick(int k) {
    DelClick(ResourceKind::Page, k);
}

void TfmResources::SDelClick(int k) {
    DelClick(ResourceKind::Graphic, k);
}

void TfmResources::OpenClick(ResourceKind kind, int k) {
    if (m_running || k < 1 || k > 8)
        return;
    const std::optional<QString> path = ResourcesJob::Choose(*m_files, kind);
    if (path) {
        Row& row = RowsOf(kind)[size_t(k - 1)];
        row.name->setToolTip(*path);
        row.info->setText(SizeText(UserFileSize(*path)));
    }
    ShowFreeSpace();
}

void TfmResources::DelClick(ResourceKind kind, int k) {
    if (m_running || k < 1 || k > 8)
        return;
    Row& row = RowsOf(kind)[size_t(k - 1)];
    row.name->setToolTip(QString());
    row.info->setText(SizeText(-1));
    ShowFreeSpace();
}

void TfmResources::Button1Click() {
    if (m_running || !Common())
        return;
    m_running = true;
    setEnabled(false);
    m_statusText->setText(Pl(lt::LoadingResources));
    m_pump->ProcessEvents(); // shows the line before the link blocks
    ResourcesJob(*Common(), FrontEnd())
        .Install({m_hostEdit->text(), m_portEdit->text(), m_passwordEdit->text()}, Resource(),
                 [this](const QString& s) { m_statusText->setText(s); });
    setEnabled(true);
    m_running = false;
}

void TfmResources::closeEvent(QCloseEvent* event) {
    if (m_running)
        event->ignore(); // the window must outlive the transfer that runs in it
    else
        MaintenanceWindow::closeEvent(event);
}

} // namespace quelnet
