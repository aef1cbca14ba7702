#include "gui/panel/EditorHistory.h"

#include "core/panel/ElementBlock.h"
#include "gui/panel/PanelViews.h"

namespace quelnet {

namespace {

// Puts an element's slot into a captured state.
void Apply(PanelViews& views, ElementRecords& records, int kind, int slot, const ElementState& state) {
    views.DestroyElementControls(kind, slot);
    if (!state.SlotExists) {
        // A placement that appended the slot is undone: the slot goes again.
        views.TruncateSlots(kind, slot);
        return;
    }
    views.EnsureSlot(kind, slot);
    records.SetRecord(slot, state.Record);
    if (state.Shown)
        views.CreateElementViews(kind, slot, state.Rect, state.Insertion);
}

class ElementStep : public QUndoCommand {
public:
    ElementStep(PanelViews& views, ElementRecords& records, int kind, int slot, ElementState before,
                ElementState after)
        : m_views(views), m_records(records), m_kind(kind), m_slot(slot), m_before(std::move(before)),
          m_after(std::move(after)) {}

    void undo() override { Apply(m_views, m_records, m_kind, m_slot, m_before); }
    void redo() override {
        // Pushed after the change was made: the first redo has nothing to do.
        if (m_done) {
            m_done = false;
            return;
        }
        Apply(m_views, m_records, m_kind, m_slot, m_after);
    }

private:
    PanelViews& m_views;
    ElementRecords& m_records;
    int m_kind;
    int m_slot;
    ElementState m_before;
    ElementState m_after;
    bool m_done = true;
};

} // namespace

EditorHistory::EditorHistory(PanelViews& views, ElementRecords& records) : m_views(views), m_records(records) {}

ElementState EditorHistory::Capture(int kind, int slot) const {
    ElementState s;
    s.SlotExists = IsElementKind(kind) && slot >= 0 && slot < m_records.Count(kind);
    if (!s.SlotExists)
        return s;
    s.Record = m_records.Record(kind, slot);
    if (const QWidget* principal = m_views.PrincipalControl(kind, slot)) {
        s.Shown = true;
        s.Rect = PanelViews::ElementRect(principal);
        s.Insertion = m_views.InsertionOf(kind, slot);
    }
    return s;
}

bool EditorHistory::Differs(int kind, int slot, const ElementState& before, const ElementState& after) const {
    if (before.SlotExists != after.SlotExists || before.Shown != after.Shown)
        return true;
    if (before.SlotExists && RecordKeyLines(before.Record) != RecordKeyLines(after.Record))
        return true;
    return before.Shown && (before.Rect != after.Rect ||
                            m_views.OthersInsertedBetween(kind, slot, before.Insertion, after.Insertion));
}

ElementState EditorHistory::Record(int kind, int slot, const ElementState& before) {
    ElementState after = Capture(kind, slot);
    Record(kind, slot, before, after);
    return after;
}

void EditorHistory::Record(int kind, int slot, const ElementState& before, const ElementState& after) {
    if (Differs(kind, slot, before, after))
        m_stack.push(new ElementStep(m_views, m_records, kind, slot, before, after));
}

bool EditorHistory::Undo() {
    if (!m_stack.canUndo())
        return false;
    m_stack.undo();
    return true;
}

bool EditorHistory::Redo() {
    if (!m_stack.canRedo())
        return false;
    m_stack.redo();
    return true;
}

} // namespace quelnet
