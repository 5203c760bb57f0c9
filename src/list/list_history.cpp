#include "list/list_history.h"

#include <QUndoCommand>

namespace {

constexpr int LIST_STEP_ID = 1; // every step has it: the stack offers each new one to merge

// One change: the list is already changed when the step is pushed, so the first redo, which
// the stack runs on pushing, does nothing.
class ListStep : public QUndoCommand {
public:
    ListStep(SpotList& list, ListChange what, const ListSnapshot& before, const ListSnapshot& after)
        : m_list(list), m_what(what), m_before(before), m_after(after) {}

    int id() const override { return LIST_STEP_ID; }

    // An edit opened on an empty IN or OUT first fills the cell with the live timecode. The
    // commit that follows it on that cell is the same step, so one undo empties the cell
    // again; a cancelled edit leaves the filling as a step of its own.
    bool mergeWith(const QUndoCommand* other) override {
        const auto* next = static_cast<const ListStep*>(other);
        if (m_what != ListChange::EditStart || next->m_what != ListChange::Edit ||
            next->m_before != m_after) {
            return false;
        }
        m_what = ListChange::Edit;
        m_after = next->m_after;
        return true;
    }

    void undo() override { m_list.Restore(m_before); }
    void redo() override {
        if (m_pushed) {
            m_pushed = false;
            return;
        }
        m_list.Restore(m_after);
    }

private:
    SpotList& m_list;
    ListChange m_what;
    ListSnapshot m_before;
    ListSnapshot m_after;
    bool m_pushed = true;
};

} // namespace

ListHistory::ListHistory(SpotList& list) : m_list(list) {
    m_stack.setUndoLimit(LIST_HISTORY_STEPS);
    connect(&m_list, &SpotList::Changed, this, &ListHistory::Record);
}

void ListHistory::Record(ListChange what, const ListSnapshot& before) {
    // A restore is an undo or redo being done, or a list brought back whole; a load is a
    // new list.
    if (what == ListChange::Restore || what == ListChange::Load) {
        return;
    }
    const ListSnapshot after = m_list.Snapshot();
    if (after == before) {
        return;
    }
    m_stack.push(new ListStep(m_list, what, before, after));
}
