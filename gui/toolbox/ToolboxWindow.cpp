#include "gui/toolbox/ToolboxWindow.h"

#include "gui/toolbox/PaletteList.h"
#include "gui/toolbox/ParameterSheet.h"

#include <QLabel>
#include <QShowEvent>
#include <QTabWidget>
#include <QVBoxLayout>
#include <QWindow>

// The palette icons live in a resource of this static library; register them
// explicitly since nothing else references the resource's object file.
static void initToolboxResources() {
    Q_INIT_RESOURCE(toolbox);
}

namespace quelnet {

TfmQuelnetTool::TfmQuelnetTool(QWidget* parent)
    : QWidget(parent, Qt::Tool | Qt::WindowStaysOnTopHint | Qt::MSWindowsFixedSizeDialogHint) {
    initToolboxResources();
    setObjectName("fmQuelnetTool");
    setWindowTitle(QStringLiteral("Narzędzia"));
    setFont(QFont(QStringLiteral("Tahoma"), 8));
    setWindowOpacity(240.0 / 255.0);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    PageControl1 = new QTabWidget(this);
    PageControl1->setObjectName("PageControl1");
    layout->addWidget(PageControl1);

    TabSheet1 = new QWidget;
    TabSheet1->setObjectName("TabSheet1");
    StaticText1 = new QLabel(QStringLiteral(" Przeciągaj elementy z palety"), TabSheet1);
    StaticText1->setObjectName("StaticText1");
    StaticText1->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    StaticText1->setWordWrap(true);
    StaticText1->setGeometry(8, 0, 145, 33);
    ListView1 = new PaletteList(TabSheet1);
    ListView1->setObjectName("ListView1");
    ListView1->setGeometry(8, 36, 145, 321);
    PageControl1->addTab(TabSheet1, QStringLiteral("Przybornik"));

    TabSheet2 = new QWidget;
    TabSheet2->setObjectName("TabSheet2");
    auto* sheetLayout = new QVBoxLayout(TabSheet2);
    sheetLayout->setContentsMargins(0, 0, 0, 0);
    Sheet = new ParameterSheet(TabSheet2);
    Sheet->setObjectName("ParameterSheet");
    sheetLayout->addWidget(Sheet);
    PageControl1->addTab(TabSheet2, QStringLiteral("Parametry"));

    connect(ListView1, &PaletteList::DragStarting, this, &TfmQuelnetTool::ListView1StartDrag);
    connect(PageControl1, &QTabWidget::currentChanged, this, [this](int page) {
        if (!m_pageFromCode)
            PageControl1Change(page);
    });

    SetClientWidth(PaletteClientWidth);
    move(0, 0);
    FormCreate();
}

TfmQuelnetTool::~TfmQuelnetTool() = default;

void TfmQuelnetTool::SetRecords(ElementRecords* records) {
    Sheet->SetRecords(records);
}

bool TfmQuelnetTool::IsPalette(const QObject* source) {
    return IsPaletteSource(source);
}

void TfmQuelnetTool::FormCreate() {
    Sheet->SetChoices(ChoiceTexts::FromTextTable());
}

void TfmQuelnetTool::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (event->spontaneous())
        return;
    // The editor sets the page width right after showing the window (ShowParams).
    // A window manager that has not framed the window yet then places its client
    // area where the frame belongs, the title bar off the screen at (0, 0); the
    // place is applied again once the window is exposed.
    QWindow* handle = windowHandle();
    if (handle && !handle->isExposed()) {
        m_placeWhileFraming = pos();
        handle->installEventFilter(this);
    }
    FormShow();
}

bool TfmQuelnetTool::eventFilter(QObject* watched, QEvent* event) {
    QWindow* handle = windowHandle();
    if (m_placeWhileFraming && watched == handle && event->type() == QEvent::Expose && handle->isExposed()) {
        const QPoint place = *m_placeWhileFraming;
        m_placeWhileFraming.reset();
        handle->removeEventFilter(this);
        move(place);
    }
    return QWidget::eventFilter(watched, event);
}

void TfmQuelnetTool::FormShow() {
    ListView1->Rebuild();
}

void TfmQuelnetTool::ListView1StartDrag(int selectedIndex) {
    ObjectType = selectedIndex;
}

void TfmQuelnetTool::PageControl1Change(int page) {
    SetClientWidth(page == 1 ? ParamsClientWidth : PaletteClientWidth);
}

void TfmQuelnetTool::SetClientWidth(int width) {
    setFixedSize(width, ClientHeight);
}

void TfmQuelnetTool::ShowPalette() {
    m_pageFromCode = true;
    PageControl1->setCurrentIndex(0);
    m_pageFromCode = false;
    SetClientWidth(PaletteClientWidth);
}

void TfmQuelnetTool::ShowParams(int ElemType, int ElemIdx) {
    m_pageFromCode = true;
    PageControl1->setCurrentIndex(1);
    m_pageFromCode = false;
    SetClientWidth(ParamsClientWidth);
    Sheet->Fill(ElemType, ElemIdx);
}

} // namespace quelnet
