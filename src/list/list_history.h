#pragma once

#include "list/spot_list.h"

#include <QUndoStack>

// At least this many changes can be undone; older ones drop off.
constexpr int LIST_HISTORY_STEPS = 200;

// The list's undo history, on Qt's undo stack, kept by the list itself. Every capture,
// committed edit, insertion and deletion the list announces becomes one step that holds the
// list before and after it, current cell included. Loading a file and restoring a snapshot
// are no steps: a file that replaces the list starts a new history.
class ListHistory : public QObject {
    Q_OBJECT
public:
    explicit ListHistory(SpotList& list);

    bool CanUndo() const { return m_stack.canUndo(); }
    bool CanRedo() const { return m_stack.canRedo(); }
    void Undo() { m_stack.undo(); }
    void Redo() { m_stack.redo(); }
    void Clear() { m_stack.clear(); }
    int Steps() const { return m_stack.index(); }

private:
    void Record(ListChange what, const ListSnapshot& before);

    SpotList& m_list;
    QUndoStack m_stack;
};
