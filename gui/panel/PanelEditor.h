#pragma once
// PanelEditor: the gestures of the panel editor, owned by the panel window
// TfmVQuelnet and active only while its EditMode is true.
//
//   Idle      drop from the palette        -> Placing (blue frame NewShape)
//   Idle      click on an element, 250 ms  -> Editing (olive frame EditShape,
//                                             views destroyed, parameter sheet)
//   Idle      double-click on an element   -> Moving  (red frame MoveShape,
//                                             views destroyed, sEnabled false)
//   Placing   left button down             -> element in the lowest free slot
//   Moving    left button down             -> element re-created in its slot
//   Placing,  Delete                       -> frame destroyed (a moved element
//   Moving                                    is thereby deleted)
//   Placing,  Ctrl down / up               -> resize with the pointer / move
//   Moving                                    (pointer warped to the frame's
//                                             bottom-right / top-left corner)
//   Editing   left button down on window   -> element re-created with its
//             or frame                        edited record, palette shown
//
// The editor watches the window's own drag, mouse and double-click events and
// previews every key event of the window (whatever control has the focus)
// through an event filter on the application. Pointer positions are snapped
// down to multiples of 8 unless Shift is held at the moment of handling.
//
// Key combinations of its own, in the panel window and in the toolbox alike:
//   Ctrl+Z                 undo the last change (EditorHistory)
//   Ctrl+Shift+Z, Ctrl+Y   redo it
//   Ctrl+C                 (Editing) copy the element to the clipboard
//   Ctrl+V                 paste: Placing, with the copy's frame at the pointer
//                          (Ctrl+Shift+V: not snapped, as Shift does in a drop)
// Undo, redo and paste are ignored while a frame is open or a click waits for
// the edit timer; Ctrl+C in a text field with selected text copies the text.

#include "core/panel/ElementBlock.h"
#include "gui/panel/EditorFrame.h"
#include "gui/panel/EditorHistory.h"

#include <QObject>
#include <QPointer>
#include <QRect>
#include <QTimer>
#include <functional>
#include <optional>
#include <vector>

class QDropEvent;
class QKeyEvent;
class QWidget;

namespace quelnet {

class TfmVQuelnet;

class PanelEditor : public QObject {
    Q_OBJECT
public:
    explicit PanelEditor(TfmVQuelnet& window);
    ~PanelEditor() override;

    // ---- window and element events ----
    // True when a drag from the palette may be dropped at window point `pos`.
    bool FormDragOver(const QObject* source, const QPoint& pos);
    void FormDragDrop(int X, int Y);
    // `sender` is the window or a frame; X, Y relative to it.
    void FormMouseDown(QObject* sender, Qt::MouseButton button, int X, int Y);
    void FormMouseMove(QObject* sender, int X, int Y);
    void FormKeyDown(int key); // Qt key codes; Ctrl and Delete are handled
    void FormKeyUp(int key);
    void FormDblClick();
    // False (after the beep and the warning) while a frame exists.
    bool FormCloseQuery();
    void ElementClick(QWidget* Sender);
    void ElementDblClick(QWidget* Sender);
    // The edit timer ran out: the click was not part of a double-click.
    void EditTimerTimeout();

    // ---- undo, redo, copy and paste ----
    // False when nothing was done (a frame open, nothing to undo or redo).
    bool Undo();
    bool Redo();
    // Copies the element being edited; false when none is.
    bool CopyElement();
    // Starts placing the element on the clipboard at the pointer; false when
    // there is none or placing cannot start (a frame open, the element limit).
    bool PasteElement();
    EditorHistory& History() { return m_history; }

    // ---- editor state ----
    QPointer<EditorFrame> NewShape;
    QPointer<EditorFrame> MoveShape;
    QPointer<EditorFrame> EditShape;
    int EditType = 0;
    bool MoveControl = false;
    int Ed_X = 0, Ed_Y = 0, Ed_W = 0, Ed_H = 0, Ed_T = 0;

    // Source of a drag event; the default asks the event. A drag made by a test
    // without the platform's drag loop has no source, so tests set it.
    std::function<const QObject*(const QDropEvent&)> DragSource;

    // Default size of a new element of the kind.
    static QSize DefaultSize(int kind);
    // Truncates toward zero to a multiple of 8.
    static int Snap(int v) { return v / 8 * 8; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    bool Active() const;
    bool AnyFrame() const { return NewShape || MoveShape || EditShape; }
    // A drag from the palette while no frame exists, wherever its point is.
    bool TakesPaletteDrag(const QObject* source) const;
    QPoint SnapPoint(int X, int Y) const;
    EditorFrame* CurrentFrame() const { return NewShape ? NewShape.data() : MoveShape.data(); }
    EditorFrame* CreateFrame(const QColor& pen, int tag, const QRect& rect, bool passMoves);
    void DestroyFrame(QPointer<EditorFrame>& frame);
    void WarpPointer(int x, int y);
    void SetWindowCursor(Qt::CursorShape shape);
    void ShowToolIfHidden();
    bool IsKeyTarget(QObject* watched) const;
    bool IsToolKeyTarget(QObject* watched) const;
    // Ctrl+Z, Ctrl+Shift+Z, Ctrl+Y, Ctrl+C, Ctrl+V; true when the editor
    // acted on `e` (the key then goes no further).
    bool ShortcutKey(const QKeyEvent& e);
    // Idle: no frame, no click waiting for the edit timer.
    bool Idle() const { return !AnyFrame() && !m_editTimer.isActive(); }
    bool BelowElementLimit() const;
    // A row of the parameter sheet was finished: its change, if any, is one step.
    void SheetRowEnded();
    void NoteEditedRecord(int slot);
    // Placing begins: the blue frame at window point (X, Y), snapped.
    void StartPlacing(int X, int Y, const QSize& size);
    // The edit has ended and the element is shown anew: its steps are recorded.
    void RecordEditSteps(int slot);
    // Kind of the element behind a clicked control, KindNone for others.
    static int KindOfControl(const QWidget* control);

    TfmVQuelnet& m_window;
    QTimer m_editTimer;
    EditorHistory m_history;
    // The element picked up (Moving), as it was before.
    ElementState m_moveBefore;
    // The element opened (Editing), as it was before, and its record after
    // each stored change of the sheet.
    ElementState m_editBefore;
    std::vector<ElementRecord> m_editRecords;
    // The element being pasted (Placing after Ctrl+V).
    std::optional<ElementCopy> m_paste;
};

} // namespace quelnet
