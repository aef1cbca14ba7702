#pragma once
// EditorHistory: the editor's undo and redo. Every change to the panel is one
// step on a QUndoStack: placing an element (a pasted one too), moving or
// resizing it, deleting it, and each stored change of its parameters. A step
// holds the element's state before and after the change (slot, record,
// rectangle, place in the save and stacking orders); undoing puts the state
// before back, redoing the state after, so that the panel file written
// afterwards equals the one of that moment byte for byte.
//
// The gestures do their work as before; the editor reports each finished
// change here with the two states, and the step is only recorded (the first
// redo, run by the stack on push, does nothing).

#include "core/panel/ElementModel.h"

#include <QRect>
#include <QUndoStack>

namespace quelnet {

class PanelViews;

// An element's slot as the panel file and the editor see it.
struct ElementState {
    bool SlotExists = false; // the slot lies within its record array
    bool Shown = false;      // the element has its views (is on the panel)
    ElementRecord Record;    // when the slot exists
    QRect Rect;              // when shown
    qint64 Insertion = 0;    // when shown: its place in the save and stacking orders
};

class EditorHistory {
public:
    EditorHistory(PanelViews& views, ElementRecords& records);

    ElementState Capture(int kind, int slot) const;
    // Records the change of the element in `slot` from `before` to the state
    // it has now, when the panel file sees a difference; returns that state.
    ElementState Record(int kind, int slot, const ElementState& before);
    // Records a change between two states (the element has `after` now).
    void Record(int kind, int slot, const ElementState& before, const ElementState& after);

    bool Undo();
    bool Redo();
    QUndoStack& Stack() { return m_stack; }

private:
    bool Differs(int kind, int slot, const ElementState& before, const ElementState& after) const;

    PanelViews& m_views;
    ElementRecords& m_records;
    QUndoStack m_stack;
};

} // namespace quelnet
