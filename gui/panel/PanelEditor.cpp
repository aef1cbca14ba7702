#include "gui/panel/PanelEditor.h"

#include "core/base/InterfaceTexts.h"
#include "core/panel/PanelLimits.h"
#include "gui/common/Platform.h"
#include "gui/panel/ElementClipboard.h"
#include "gui/panel/ElementControls.h"
#include "gui/panel/PanelViews.h"
#include "gui/panel/PanelWindow.h"
#include "gui/toolbox/ToolboxWindow.h"

#include <QApplication>
#include <QCursor>
#include <QDropEvent>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
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

PanelEditor::PanelEditor(TfmVQuelnet& window)
    : m_window(window), m_history(window.Views(), window.Records) {
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

bool PanelEditor::IsToolKeyTarget(QObject* watched) const {
    const QWidget* tool = m_window.Tool();
    if (!tool)
        return false;
    const QWidget* first = QApplication::focusWidget();
    if (!first || first->window() != tool)
        first = tool->isActiveWindow() ? tool : nullptr;
    return first && watched == first;
}

bool PanelEditor::eventFilter(QObject* watched, QEvent* event) {
    if (!Active())
        return false;
    const QEvent::Type type = event->type();
    if (type == QEvent::KeyPress || type == QEvent::KeyRelease) {
        // A combination the editor acted on goes no further: a list or table
        // with the focus would copy its own text over the element's.
        if (type == QEvent::KeyPress && (IsKeyTarget(watched) || IsToolKeyTarget(watched)) &&
            ShortcutKey(*static_cast<QKeyEvent*>(event)))
            return true;
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

bool PanelEditor::BelowElementLimit() const {
    // A panel at the element limit takes no more: its file could not be read again.
    return PlacedElements(m_window.Views(), m_window.Records) < MaxPanelElements;
}

bool PanelEditor::TakesPaletteDrag(const QObject* source) const {
    return TfmQuelnetTool::IsPalette(source) && !AnyFrame() && BelowElementLimit();
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
    TfmQuelnetTool* tool = m_window.Tool();
    EditType = tool ? tool->ObjectType : -1;
    m_paste.reset();
    // A drag begun with no palette item selected gives a kind outside 0-4:
    // its frame (64 x 64) can be moved and deleted but never placed.
    StartPlacing(X, Y, DefaultSize(EditType));
}

void PanelEditor::StartPlacing(int X, int Y, const QSize& size) {
    if (!m_window.isActiveWindow())
        m_window.activateWindow();
    m_window.setFocus(Qt::OtherFocusReason);
    NewShape = CreateFrame(EditorFrame::PlacingColor(), 0, QRect(SnapPoint(X, Y), size), true);
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
            const int slotCount = m_window.Records.Count(EditType);
            const int slot = views.AllocateSlot(EditType);
            // An appended slot did not exist before: undoing gives it back.
            const ElementState before = slot < slotCount ? m_history.Capture(EditType, slot) : ElementState();
            DestroyFrame(NewShape);
            if (m_paste)
                m_window.Records.SetRecord(slot, m_paste->Record);
            m_paste.reset();
            views.CreateElementViews(EditType, slot, rect);
            m_history.Record(EditType, slot, before);
        }
    } else if (MoveShape) {
        const QRect rect = MoveShape->geometry();
        const int slot = MoveShape->Tag();
        DestroyFrame(MoveShape);
        views.CreateElementViews(EditType, slot, rect);
        m_history.Record(EditType, slot, m_moveBefore);
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
        RecordEditSteps(slot);
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
        if (NewShape) {
            DestroyFrame(NewShape);
            m_paste.reset();
        } else if (MoveShape) {
            const int slot = MoveShape->Tag();
            DestroyFrame(MoveShape);
            m_history.Record(EditType, slot, m_moveBefore);
        }
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
    m_editBefore = m_history.Capture(EditType, Ed_T);
    m_editRecords.clear();
    views.DestroyElementControls(EditType, Ed_T);
    ShowToolIfHidden();
    if (TfmQuelnetTool* tool = m_window.Tool()) {
        connect(tool, &TfmQuelnetTool::SheetRowEnded, this, &PanelEditor::SheetRowEnded, Qt::UniqueConnection);
        tool->ShowParams(EditType, Ed_T);
    }
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
    m_moveBefore = m_history.Capture(kind, slot);
    m_window.Records.SetEnabled(kind, slot, false);
    m_window.Views().DestroyElementControls(kind, slot);
    EditType = kind;
    WarpPointer(rect.x(), rect.y());
    MoveShape = CreateFrame(EditorFrame::MovingColor(), slot, rect, true);
    MoveShape->setCursor(Qt::SizeAllCursor);
    MoveControl = false;
    SetWindowCursor(Qt::SizeAllCursor);
}

// ---- undo, redo, copy and paste ----

bool PanelEditor::ShortcutKey(const QKeyEvent& e) {
    const Qt::KeyboardModifiers mods =
        e.modifiers() & (Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    const int key = e.key();
    const bool ctrl = mods == Qt::ControlModifier;
    const bool ctrlShift = mods == (Qt::ControlModifier | Qt::ShiftModifier);
    if (ctrl && key == Qt::Key_Z)
        return Undo();
    if ((ctrl && key == Qt::Key_Y) || (ctrlShift && key == Qt::Key_Z))
        return Redo();
    if ((ctrl || ctrlShift) && key == Qt::Key_V)
        return PasteElement(); // Shift held: the frame is not snapped, as in a drop
    if (ctrl && key == Qt::Key_C) {
        // Text selected in a field (a row of the sheet) is the text's to copy.
        const auto* field = qobject_cast<const QLineEdit*>(QApplication::focusWidget());
        return !(field && field->hasSelectedText()) && CopyElement();
    }
    return false;
}

bool PanelEditor::Undo() {
    return Active() && Idle() && m_history.Undo();
}

bool PanelEditor::Redo() {
    return Active() && Idle() && m_history.Redo();
}

bool PanelEditor::CopyElement() {
    if (!Active() || !EditShape || !IsElementKind(EditType))
        return false;
    const int slot = EditShape->Tag();
    if (slot < 0 || slot >= m_window.Records.Count(EditType))
        return false;
    CopyElementToClipboard({EditShape->geometry(), m_window.Records.Record(EditType, slot)});
    return true;
}

bool PanelEditor::PasteElement() {
    if (!Active() || !Idle() || !BelowElementLimit())
        return false;
    std::optional<ElementCopy> copy = ElementOnClipboard();
    if (!copy)
        return false;
    const QSize size = copy->Rect.size();
    QPoint at = m_window.mapFromGlobal(QCursor::pos());
    // With the pointer outside the panel the frame comes as near it as fits.
    if (!m_window.rect().contains(at))
        at = QPoint(std::clamp(at.x(), 0, std::max(0, m_window.width() - size.width())),
                    std::clamp(at.y(), 0, std::max(0, m_window.height() - size.height())));
    EditType = copy->Kind();
    m_paste = std::move(copy);
    StartPlacing(at.x(), at.y(), size);
    return true;
}

void PanelEditor::NoteEditedRecord(int slot) {
    if (!IsElementKind(EditType) || slot < 0 || slot >= m_window.Records.Count(EditType))
        return;
    ElementRecord now = m_window.Records.Record(EditType, slot);
    const ElementRecord& last = m_editRecords.empty() ? m_editBefore.Record : m_editRecords.back();
    if (RecordKeyLines(now) != RecordKeyLines(last))
        m_editRecords.push_back(std::move(now));
}

void PanelEditor::SheetRowEnded() {
    if (EditShape)
        NoteEditedRecord(EditShape->Tag());
}

void PanelEditor::RecordEditSteps(int slot) {
    NoteEditedRecord(slot);
    const ElementState after = m_history.Capture(EditType, slot);
    // Shown anew, the element goes to the end of the save order: with its
    // first change, or as a step of its own when nothing was changed.
    ElementState before = m_editBefore;
    if (m_editRecords.empty())
        m_history.Record(EditType, slot, before, after);
    for (const ElementRecord& record : m_editRecords) {
        ElementState step = after;
        step.Record = record;
        m_history.Record(EditType, slot, before, step);
        before = step;
    }
    m_editRecords.clear();
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
