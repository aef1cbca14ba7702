#include "gui/panel/PanelEditor.h"

#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelLimits.h"
#include "gui/common/Platform.h"
#include "gui/panel/ElementControls.h"
#include "gui/panel/PanelViews.h"
#include "gui/panel/PanelWindow.h"
#include "gui/toolbox/ToolboxWindow.h"

#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <algorithm>

namespace quelnet {

namespace {

// Smallest side of a frame being resized.
constexpr int MinFrameSide = 16;

QString EditCaption() {
    return Pl(lt::EditCaption);
}

} // namespace

PanelEditor::PanelEditor(TfmVQuelnet& window) : m_window(window) {
    setObjectName("PanelEditor");
    DragSource = [](const QDropEvent& e) -> const QObject* { return e.source(); };
    // Drops land on the window's free background only: over an element the
    // drag events reach the window too (children take no drops), and
    // FormDragOver refuses them there; the point of each move and of the drop
    // decides, not where the drag entered.
    m_window.setAcceptDrops(true);
    // Moves over the free background are reported without a pressed button.
    m_window.setMouseTracking(true);
    // The window previews keys: the application filter sees a key before the
    // control that has the focus.
    qApp->installEventFilter(this);
    // Tells a click from a double-click: 250 ms, one-shot ("Timer1").
    m_editTimer.setParent(&m_window);
    m_editTimer.setObjectName("Timer1");
    m_editTimer.setSingleShot(true);
    m_editTimer.setInterval(250);
    connect(&m_editTimer, &QTimer::timeout, this, &PanelEditor::EditTimerTimeout);
}

PanelEditor::~PanelEditor() = default;

bool PanelEditor::Active() const {
    return m_window.EditMode;
}

QSize PanelEditor::DefaultSize(int kind) {
    return QSize(kind == KindText ? 128 : 64, kind == KindButton ? 24 : kind == KindText ? 16 : 64);
}

QPoint PanelEditor::SnapPoint(int X, int Y) const {
    // The key state at the moment of handling, not the one the event carries.
    if (QGuiApplication::queryKeyboardModifiers() & Qt::ShiftModifier)
        return QPoint(X, Y);
    return QPoint(Snap(X), Snap(Y));
}

// ---- event routing ----

bool PanelEditor::IsKeyTarget(QObject* watched) const {
    // A key event travels from the focus widget up to the window; it is
    // handled once, at the first widget of this window that receives it.
    QWidget* first = QApplication::focusWidget();
    if (!first || first->window() != &m_window)
        first = &m_window;
    return watched == first;
}

bool PanelEditor::eventFilter(QObject* watched, QEvent* event) {
    if (!Active())
        return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        if (IsKeyTarget(watched)) {
            const int key = static_cast<QKeyEvent*>(event)->key();
            if (type == QEvent::KeyPress)
                FormKeyDown(key);
            else
                FormKeyUp(key);
        }
        return false; // the focused control still gets the key
    }
    if (watched != &m_window)
        return false;

    switch (type) {
    case QEvent::DragEnter: {
        // A palette drag is taken wherever it enters, over an element too:
        // the toolkit shows a window the moves and the drop of a drag only
        // when the window took its entry. Each move and the drop then decide
        // by their own point (a move follows the entry at once).
        auto* e = static_cast<QDragEnterEvent*>(event);
        if (TakesPaletteDrag(DragSource(*e)))
            e->acceptProposedAction();
        else
            e->ignore();
        return true;
    }
    case QEvent::DragMove: {
        auto* e = static_cast<QDragMoveEvent*>(event);
        if (FormDragOver(DragSource(*e), e->position().toPoint()))
            e->acceptProposedAction();
        else
            e->ignore();
        return true;
    }
    case QEvent::Drop: {
        auto* e = static_cast<QDropEvent*>(event);
        const QPoint pos = e->position().toPoint();
        if (!FormDragOver(DragSource(*e), pos)) {
            e->ignore();
            return true;
        }
        e->acceptProposedAction();
        FormDragDrop(pos.x(), pos.y());
        return true;
    }
    case QEvent::MouseButtonPress: {
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint pos = e->position().toPoint();
        FormMouseDown(&m_window, e->button(), pos.x(), pos.y());
        return false;
    }
    case QEvent::MouseButtonDblClick: {
        // The second press of a double-click: the double-click, then the press.
        auto* e = static_cast<QMouseEvent*>(event);
        const QPoint pos = e->position().toPoint();
        if (e->button() == Qt::LeftButton)
            FormDblClick();
        FormMouseDown(&m_window, e->button(), pos.x(), pos.y());
        return false;
    }
    case QEvent::MouseMove: {
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        FormMouseMove(&m_window, pos.x(), pos.y());
        return false;
    }
    default:
        return false;
    }
}

// ---- frames, pointer, cursor, toolbox ----

EditorFrame* PanelEditor::CreateFrame(const QColor& pen, int tag, const QRect& rect, bool passMoves) {
    auto* frame = new EditorFrame(&m_window, pen, tag, rect);
    frame->SetMouseDown(
        [this](EditorFrame* f, Qt::MouseButton b, int x, int y) { FormMouseDown(f, b, x, y); });
    if (passMoves)
        frame->SetMouseMove(
            [this](EditorFrame* f, Qt::MouseButton, int x, int y) { FormMouseMove(f, x, y); });
    frame->show();
    frame->raise(); // above every element control
    return frame;
}

void PanelEditor::DestroyFrame(QPointer<EditorFrame>& frame) {
    if (!frame)
        return;
    // The frame may be the sender of the event being handled: it leaves the
    // window at once and is deleted when control returns to the event loop.
    EditorFrame* f = frame.data();
    frame = nullptr;
    f->hide();
    f->deleteLater();
}

void PanelEditor::WarpPointer(int x, int y) {
    QCursor::setPos(m_window.screen(), m_window.mapToGlobal(QPoint(x, y)));
}

void PanelEditor::SetWindowCursor(Qt::CursorShape shape) {
    if (shape == Qt::ArrowCursor)
        m_window.unsetCursor();
    else
        m_window.setCursor(shape);
}

void PanelEditor::ShowToolIfHidden() {
    TfmQuelnetTool* tool = m_window.Tool();
    if (!tool || tool->isVisible())
        return;
    const bool wasActive = m_window.isActiveWindow();
    tool->show();
    // The panel keeps the keyboard, so Ctrl and Delete still reach the editor.
    if (wasActive)
        m_window.activateWindow();
}

int PanelEditor::KindOfControl(const QWidget* control) {
    if (qobject_cast<const ElementPanel*>(control))
        return KindButton;
    if (qobject_cast<const ElementStaticText*>(control))
        return KindText;
    if (qobject_cast<const ElementPicture*>(control)) {
        const QString name = control->objectName();
        if (name.startsWith(QLatin1String(PrefixSignDImage)))
            return KindDSign;
        if (name.startsWith(QLatin1String(PrefixSignAImage)))
            return KindASign;
        if (name.startsWith(QLatin1String(PrefixSliderImage)))
            return KindTrack;
    }
    return KindNone;
}

// ---- drag and drop ----

namespace {

// Elements placed in the window, all kinds together.
int PlacedElements(const PanelViews& views, const ElementRecords& records) {
    int n = 0;
    for (int kind = 0; kind < ElementKindCount; ++kind)
        for (int slot = 0; slot < records.Count(kind); ++slot)
            n += views.IsSlotFree(kind, slot) ? 0 : 1;
    return n;
}

} // namespace

bool PanelEditor::TakesPaletteDrag(const QObject* source) const {
    // A panel at the element limit takes no more: its file could not be read again.
    return TfmQuelnetTool::IsPalette(source) && !AnyFrame() &&
           PlacedElements(m_window.Views(), m_window.Records) < MaxPanelElements;
}

bool PanelEditor::FormDragOver(const QObject* source, const QPoint& pos) {
    if (!TakesPaletteDrag(source))
        return false;
    // Only the window's free background takes a drop, never an element.
    if (m_window.childAt(pos))
        return false;
    if (!m_window.isActiveWindow())
        m_window.activateWindow();
    m_window.setFocus(Qt::OtherFocusReason);
    return true;
}

void PanelEditor::FormDragDrop(int X, int Y) {
    if (!m_window.isActiveWindow())
        m_window.activateWindow();
    m_window.setFocus(Qt::OtherFocusReason);
    TfmQuelnetTool* tool = m_window.Tool();
    EditType = tool ? tool->ObjectType : -1;
    // A drag begun with no palette item selected gives a kind outside 0-4:
    // its frame (64 x 64) can be moved and deleted but never placed.
    NewShape =
        CreateFrame(EditorFrame::PlacingColor(), 0, QRect(SnapPoint(X, Y), DefaultSize(EditType)), true);
    NewShape->setCursor(Qt::SizeAllCursor);
    SetWindowCursor(Qt::SizeAllCursor);
    MoveControl = false;
}

// ---- mouse ----

void PanelEditor::FormMouseMove(QObject* sender, int X, int Y) {
    EditorFrame* F = CurrentFrame();
    if (!F) {
        m_window.setWindowTitle(EditCaption());
        return;
    }
    auto* fromFrame = qobject_cast<EditorFrame*>(sender);
    QPoint p = SnapPoint(X, Y);
    if (QGuiApplication::queryKeyboardModifiers() & Qt::ControlModifier) {
        // Resizing: the pointer gives the bottom-right corner.
        const int w = fromFrame ? p.x() : p.x() - F->x();
        const int h = fromFrame ? p.y() : p.y() - F->y();
        m_window.setWindowTitle(EditCaption() + QStringLiteral(" ( W=%1  H=%2 )").arg(w).arg(h));
        F->resize(std::max(w, MinFrameSide), std::max(h, MinFrameSide));
        return;
    }
    // Moving: the frame's top-left corner follows the pointer.
    if (fromFrame)
        p += fromFrame->pos();
    m_window.setWindowTitle(EditCaption() + QStringLiteral(" ( X=%1  Y=%2 )").arg(p.x()).arg(p.y()));
    F->move(p);
    MoveControl = false;
}

void PanelEditor::FormMouseDown(QObject*, Qt::MouseButton button, int, int) {
    if (button != Qt::LeftButton)
        return;
    PanelViews& views = m_window.Views();
    if (NewShape) {
        if (IsElementKind(EditType)) {
            const QRect rect = NewShape->geometry();
            const int slot = views.AllocateSlot(EditType);
            DestroyFrame(NewShape);
            views.CreateElementViews(EditType, slot, rect);
        }
    } else if (MoveShape) {
        const QRect rect = MoveShape->geometry();
        const int slot = MoveShape->Tag();
        DestroyFrame(MoveShape);
        views.CreateElementViews(EditType, slot, rect);
    } else if (EditShape) {
        // The edit frame keeps the element's rectangle from before the edit.
        const QRect rect = EditShape->geometry();
        const int slot = EditShape->Tag();
        DestroyFrame(EditShape);
        TfmQuelnetTool* tool = m_window.Tool();
        // A picker still open holds the user's last choice: into the record
        // first, so that the element shows it.
        if (tool)
            tool->FinishPickers();
        views.CreateElementViews(EditType, slot, rect);
        if (tool) {
            tool->ShowParams(KindNone, 0);
            tool->ShowPalette();
        }
        return;
    } else {
        return;
    }
    MoveControl = false;
    SetWindowCursor(Qt::ArrowCursor);
}

void PanelEditor::FormDblClick() {
    if (Active())
        ShowToolIfHidden();
}

// ---- keys ----

void PanelEditor::FormKeyDown(int key) {
    if (key == Qt::Key_Control) {
        EditorFrame* F = CurrentFrame();
        if (!F)
            return;
        // Auto-repeat sends further presses: the pointer jumps only once.
        if (!MoveControl)
            WarpPointer(F->x() + F->width(), F->y() + F->height());
        MoveControl = true;
        F->setCursor(Qt::SizeFDiagCursor);
        SetWindowCursor(Qt::SizeFDiagCursor);
    } else if (key == Qt::Key_Delete) {
        // Cancels a placement, or deletes the element being moved: its views
        // are gone already and its record stays disabled.
        if (NewShape)
            DestroyFrame(NewShape);
        else if (MoveShape)
            DestroyFrame(MoveShape);
        MoveControl = false;
        SetWindowCursor(Qt::ArrowCursor);
    }
}

void PanelEditor::FormKeyUp(int key) {
    if (key != Qt::Key_Control)
        return;
    EditorFrame* F = CurrentFrame();
    if (!F)
        return;
    if (MoveControl)
        WarpPointer(F->x(), F->y());
    MoveControl = false;
    F->setCursor(Qt::SizeAllCursor);
    SetWindowCursor(Qt::SizeAllCursor);
}

// ---- elements ----

void PanelEditor::ElementClick(QWidget* Sender) {
    // Also ignored while a new element is being placed: the click would take
    // over EditType, and the placed element would get the clicked one's kind.
    if (AnyFrame())
        return;
    const int kind = KindOfControl(Sender);
    if (kind == KindNone)
        return;
    const QRect r = PanelViews::ElementRect(Sender);
    Ed_X = r.x();
    Ed_Y = r.y();
    Ed_W = r.width();
    Ed_H = r.height();
    Ed_T = ControlTag(Sender);
    EditType = kind;
    // Enabling a running timer does not restart it.
    if (!m_editTimer.isActive())
        m_editTimer.start();
}

void PanelEditor::EditTimerTimeout() {
    m_editTimer.stop();
    if (MoveShape)
        return; // a double-click followed the click
    PanelViews& views = m_window.Views();
    // Nothing to open when the element has gone meanwhile (taken up and
    // deleted, or the window closed).
    if (AnyFrame() || !IsElementKind(EditType) || !views.PrincipalControl(EditType, Ed_T))
        return;
    views.DestroyElementControls(EditType, Ed_T);
    ShowToolIfHidden();
    if (TfmQuelnetTool* tool = m_window.Tool())
        tool->ShowParams(EditType, Ed_T);
    EditShape = CreateFrame(EditorFrame::EditingColor(), Ed_T, QRect(Ed_X, Ed_Y, Ed_W, Ed_H), false);
}

void PanelEditor::ElementDblClick(QWidget* Sender) {
    if (AnyFrame())
        return;
    // The click that began the double-click must not open the element later.
    m_editTimer.stop();
    ShowToolIfHidden();
    if (TfmQuelnetTool* tool = m_window.Tool())
        tool->ShowPalette();
    const int kind = KindOfControl(Sender);
    if (kind == KindNone)
        return;
    const QRect rect = PanelViews::ElementRect(Sender);
    const int slot = ControlTag(Sender);
    m_window.Records.SetEnabled(kind, slot, false);
    m_window.Views().DestroyElementControls(kind, slot);
    EditType = kind;
    WarpPointer(rect.x(), rect.y());
    MoveShape = CreateFrame(EditorFrame::MovingColor(), slot, rect, true);
    MoveShape->setCursor(Qt::SizeAllCursor);
    MoveControl = false;
    SetWindowCursor(Qt::SizeAllCursor);
}

// ---- closing ----

bool PanelEditor::FormCloseQuery() {
    if (!AnyFrame()) {
        // A pending click must not open an element on a closed window.
        m_editTimer.stop();
        return true;
    }
    Platform().Beep();
    ShowMessage(&m_window, QMessageBox::Warning, Pl(lt::TitleWarning), Pl(lt::FinishEditBeforeClose),
                QMessageBox::Ok);
    return false;
}

} // namespace quelnet
