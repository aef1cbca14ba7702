#include "gui/panel/PanelWindow.h"

#include "core/base/InterfaceTexts.h"
#include "core/link/DeviceLink.h"
#include "core/link/LinkWait.h"
#include "core/panel/ValueScans.h"
#include "gui/common/HelpSupport.h"
#include "gui/common/Platform.h"
#include "gui/panel/PanelEditor.h"
#include "gui/panel/RunMode.h"
#include "gui/toolbox/ToolboxWindow.h"

#include <QCloseEvent>
#include <QDir>
#include <QGuiApplication>
#include <QMoveEvent>
#include <QResizeEvent>
#include <QScreen>
#include <QShowEvent>
#include <QStatusBar>
#include <QWindow>
#include <algorithm>
#include <utility>

namespace quelnet {

TfmVQuelnet::TfmVQuelnet(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("fmVQuelnet");
    setWindowTitle("Wirtualny Quelnet");
    setFont(QFont("Tahoma", 8));
    resize(DesignedClientWidth, DesignedClientHeight);
    move(0, 0);

    m_statusBar = new QStatusBar(this);
    m_statusBar->setObjectName("StatusBar1");
    m_statusBar->setSizeGripEnabled(false);
    m_statusBar->hide();
    m_statusBar->installEventFilter(this);
    PlaceStatusBar();

    m_framing = new FramedPlacement(this);
    m_views = std::make_unique<PanelViews>(this, Records, *this, EditMode);
    m_editor = std::make_unique<PanelEditor>(*this);
}

TfmVQuelnet::~TfmVQuelnet() = default;

void TfmVQuelnet::SetCommon(TfmCommon* common) {
    m_common = common;
    if (m_common)
        m_common->SetLinkWait(&EventLoopWait());
}

void TfmVQuelnet::PlaceStatusBar() {
    const int h = m_statusBar->sizeHint().height();
    m_statusBar->setGeometry(0, height() - h, width(), h);
}

void TfmVQuelnet::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    RememberNormalOuter();
}

void TfmVQuelnet::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    PlaceStatusBar();
    RememberNormalOuter();
}

bool TfmVQuelnet::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_statusBar && event->type() == QEvent::Show) {
        PlaceStatusBar();
        m_statusBar->raise();
    }
    return QWidget::eventFilter(watched, event);
}

void TfmVQuelnet::setVisible(bool visible) {
    // Before the native window exists: changing the flags of a shown window
    // would create it anew.
    if (visible && !testAttribute(Qt::WA_WState_Created))
        setWindowFlags(EditMode ? Qt::WindowFlags(Qt::Window) : FixedDialogFlags());
    QWidget::setVisible(visible);
}

void TfmVQuelnet::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous() && !m_shown) {
        m_shown = true;
        FormShow();
        // The normal place is taken once the window manager has framed the
        // window, also when the panel file gave none: the moves and resizes of
        // the first show come before that, and a window maximised afterwards
        // is never in the normal state again before it closes.
        m_framing->WhenFramed([this] { FinishPlace(); });
    }
}

void TfmVQuelnet::FormShow() {
    if (EditMode) {
        setWindowTitle(Pl(lt::EditCaption));
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        InstallHelp(this, "k");
    } else {
        setWindowTitle(Pl(lt::RunCaption));
        RemoveHelp(this);
    }
    LoadElements();
    if (!EditMode) {
        // Fixed dialog border: the size read from the panel file stays.
        setFixedSize(size());
        if (m_common) {
            m_run = std::make_unique<RunMode>(*this, *m_views, Records, *m_common, m_statusBar);
            m_run->StartPolling();
        }
    }
}

void TfmVQuelnet::closeEvent(QCloseEvent* event) {
    // The window paints while an exchange waits for its controller. A close
    // asked meanwhile by the program (the window manager's waits with the
    // user input) takes effect once the exchange has its result, since the
    // poll logic still holds the element it is reading.
    if (m_run && m_run->Exchanging()) {
        event->ignore();
        m_run->StopWhenIdle([this] { close(); });
        return;
    }
    if (!FormCloseQuery()) {
        event->ignore();
        return;
    }
    FormClose();
    event->accept();
}

QStringList TfmVQuelnet::ScanHosts() const {
    return quelnet::ScanHosts(Records);
}
QStringList TfmVQuelnet::ScanPorts() const {
    return quelnet::ScanPorts(Records);
}
QStringList TfmVQuelnet::ScanPasss() const {
    return quelnet::ScanPasss(Records);
}
QStringList TfmVQuelnet::ScanDCirs() const {
    return quelnet::ScanDCirs(Records);
}
QStringList TfmVQuelnet::ScanACirs() const {
    return quelnet::ScanACirs(Records);
}
QStringList TfmVQuelnet::ScanFress() const {
    return quelnet::ScanFress(Records);
}
QStringList TfmVQuelnet::ScanALevs() const {
    return quelnet::ScanALevs(Records);
}

bool TfmVQuelnet::FormCloseQuery() {
    if (!m_editor->FormCloseQuery())
        return false;
    return !EditMode || SaveOrAskToClose();
}

bool TfmVQuelnet::SaveOrAskToClose() {
    if (m_load.MustKeepOldBytes())
        return SaveOverUnreadPanel();
    QString why;
    if (SaveElements(&why))
        return true;
    return AskToCloseUnsaved(why);
}

bool TfmVQuelnet::AskToCloseUnsaved(const QString& why) {
    // Closing now loses the edits: the user decides, knowing why.
    const QString text = Pl(lt::PanelNotSaved) + QLatin1Char('\n') +
                         QDir::toNativeSeparators(PanelFilePath()) + QLatin1Char('\n') + why +
                         QStringLiteral("\n\n") + Pl(lt::CloseWithoutSaving);
    return AskYesNo(this, QMessageBox::Warning, Pl(lt::TitleWarning), text);
}

bool TfmVQuelnet::SaveOverUnreadPanel() {
    const QString path = PanelFilePath();
    if (m_views->ElementsInSaveOrder().empty()) {
        ShowMessage(this, QMessageBox::Information, Pl(lt::TitleInformation),
                    Pl(lt::PanelLeftUntouched) + QLatin1Char('\n') + QDir::toNativeSeparators(path));
        return true;
    }
    QString why, backup;
    if (!BackUpPanelFile(path, &backup, &why) || !SaveElements(&why))
        return AskToCloseUnsaved(why);
    if (!backup.isEmpty())
        ShowMessage(this, QMessageBox::Information, Pl(lt::TitleInformation),
                    Pl(lt::PanelOldKept) + QLatin1Char('\n') + QDir::toNativeSeparators(backup));
    return true;
}

void TfmVQuelnet::FormClose() {
    if (EditMode && m_tool && m_tool->isVisible())
        m_tool->close();
    ClearElements();
    if (m_common)
        m_common->EndComm();
}

// ---- element handlers (filled in by the editor and the run mode) ----

void TfmVQuelnet::ElementClick(QWidget* Sender) {
    m_editor->ElementClick(Sender);
}
void TfmVQuelnet::ElementDblClick(QWidget* Sender) {
    m_editor->ElementDblClick(Sender);
}
void TfmVQuelnet::ElementOutputClick(QWidget* Sender) {
    if (m_run)
        m_run->OutputClick(Sender);
}
void TfmVQuelnet::SliderChange(QWidget* Sender) {
    if (m_run)
        m_run->SliderMoved(Sender);
}

// ---- panel file ----

PanelWindowPlace TfmVQuelnet::WindowPlace() const {
    PanelWindowPlace place;
    const Qt::WindowStates st = windowState();
    place.State = st & Qt::WindowMinimized ? 1 : st & Qt::WindowMaximized ? 2 : 0;
    // A minimised or maximised window is written with its normal place, so
    // that restoring it after the next start gives the user's own size.
    QRect outer = OuterRect(this);
    if (place.State != 0)
        outer = m_normalOuter.value_or(normalGeometry().marginsAdded(FrameMargins(this)));
    place.Left = outer.left();
    place.Top = outer.top();
    place.Width = outer.width();
    place.Height = outer.height();
    return place;
}

bool TfmVQuelnet::SaveElements(QString* why) {
    return SavePanelFileAt(LocatePanelFile(),
                           FormatPanelFile(WindowPlace(), m_views->ElementsInSaveOrder(), Records), why);
}

bool TfmVQuelnet::LoadElements() {
    const PanelFileLocation where = LocatePanelFile();
    {
        const PanelViews::InsertBatch batch(*m_views);
        m_load = LoadPanelFile(where.ReadPath(), *this);
    }
    if (m_load.Status == PanelLoadStatus::Refused)
        TellPanelRefused(where.ReadPath());
    if (EditMode && where.InUserConfig)
        ShowPanelFileLocation(where);
    return m_load.Status == PanelLoadStatus::Read || m_load.Status == PanelLoadStatus::Damaged;
}

void TfmVQuelnet::TellPanelRefused(const QString& path) {
    ShowMessage(this, QMessageBox::Warning, Pl(lt::TitleWarning),
                Pl(lt::PanelRefused) + QLatin1Char('\n') + QDir::toNativeSeparators(path) +
                    QLatin1Char('\n') + m_load.Why);
}

// An installed program keeps the panel in the user's configuration folder:
// the editor says where, so that the user can find the file.
void TfmVQuelnet::ShowPanelFileLocation(const PanelFileLocation& where) {
    m_statusBar->showMessage(Pl(lt::PanelFileIn) + QDir::toNativeSeparators(where.Path));
    m_statusBar->show();
}

void TfmVQuelnet::ClearElements() {
    if (m_run)
        m_run->StopPolling();
    m_views->ClearAll();
}

void TfmVQuelnet::SetPanelWindowState(int state) {
    // Read while the window is being shown: the state follows once the window
    // is framed and placed.
    m_stateWhenFramed = state == 1   ? Qt::WindowMinimized
                        : state == 2 ? Qt::WindowMaximized
                                     : Qt::WindowNoState;
    m_framing->WhenFramed([this] { FinishPlace(); });
}

// A window is never larger than the screens it can be shown on: a size
// beyond them would only cost a window buffer of that size. A window wholly
// outside the screens (a damaged file, or a screen since taken away) is
// brought onto them; a window partly on them keeps its place.
static QRect WithinDesktop(const QRect& outer) {
    const QScreen* screen = QGuiApplication::primaryScreen();
    if (!screen)
        return outer;
    const QRect desktop = screen->availableVirtualGeometry();
    QRect r(outer.topLeft(), outer.size().boundedTo(desktop.size()));
    if (!r.intersects(desktop))
        r.moveTopLeft(QPoint(std::clamp(r.left(), desktop.left(), desktop.right() - r.width() + 1),
                             std::clamp(r.top(), desktop.top(), desktop.bottom() - r.height() + 1)));
    return r;
}

void TfmVQuelnet::SetPanelWindowRect(int left, int top, int width, int height) {
    const QRect outer = WithinDesktop(QRect(left, top, std::max(0, width), std::max(0, height)));
    m_normalOuter = outer;
    // Placed now with the frame known so far, and again once the window
    // manager has framed the window.
    ApplyOuterRect(outer);
    m_outerWhenFramed = outer;
    m_framing->WhenFramed([this] { FinishPlace(); });
}

void TfmVQuelnet::FinishPlace() {
    if (m_outerWhenFramed)
        ApplyOuterRect(*std::exchange(m_outerWhenFramed, std::nullopt));
    if (m_stateWhenFramed)
        setWindowState(*std::exchange(m_stateWhenFramed, std::nullopt));
    RememberNormalOuter();
}

void TfmVQuelnet::RememberNormalOuter() {
    const QWindow* handle = windowHandle();
    if (!handle || !handle->isExposed() || m_framing->Pending() ||
        (windowState() & (Qt::WindowMinimized | Qt::WindowMaximized | Qt::WindowFullScreen)))
        return;
    m_normalOuter = OuterRect(this);
}

void TfmVQuelnet::ApplyOuterRect(const QRect& outer) {
    // The file holds the outer rectangle; the client area is placed inside the
    // frame the window system reports now.
    const QRect client = ClientRectFor(outer, FrameMargins(this));
    const Qt::WindowStates state = windowState();
    const bool special = state & (Qt::WindowMinimized | Qt::WindowMaximized);
    if (special)
        setWindowState(Qt::WindowNoState);
    if (!EditMode && m_shown)
        setFixedSize(client.size()); // run mode: fixed dialog border
    setGeometry(client);
    if (special)
        setWindowState(state);
}

int TfmVQuelnet::AllocateElementSlot(int kind) {
    return m_views->AllocateSlot(kind);
}

void TfmVQuelnet::CreateElementViews(int kind, int slot, const QRect& rect) {
    m_views->CreateElementViews(kind, slot, rect);
}

} // namespace quelnet
