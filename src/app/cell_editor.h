#pragma once

#include <QLineEdit>
#include <QString>

class CMSFlexGrid;
class ListCommands;
class ListView;
class SourceCommands;
class SpotList;

// In-place editing: the hidden edit box laid over the current cell, its column rules, the
// timecode overwrite mask and the input method. What a cell may hold is the list library's
// rule; the committed text goes into the list through it.
class CellEditor {
public:
    CellEditor(SpotList& list, CMSFlexGrid& grid, ListView& view, const SourceCommands& source,
               ListCommands& commands);
    CellEditor(const CellEditor&) = delete;
    CellEditor& operator=(const CellEditor&) = delete;

    QLineEdit& Edit() { return m_editCell; }
    const QLineEdit& Edit() const { return m_editCell; }

    // Enter: opens an edit on the current cell from the grid, commits one from the editor.
    void OnEnterKey();
    void OpenEdit();
    void CommitEdit();
    // R edits the spot's remark; like Enter, it counts as a change whatever the edit becomes.
    void OnRemarkKey();
    // Escape: the cell is not written.
    void Cancel();

    // A key pressed while the editor has the focus (code as key_codes.h has it); true
    // swallows it. history: the key is one of undo or redo.
    bool FilterKey(int code, bool history);

    // Puts the caret of an open edit; the timecode mask goes on from there.
    void SetCaret(int caret) {
        m_nCaret = caret;
        m_editCell.setCursorPosition(caret);
    }
    // Whether the input method was open when the last remark edit ended.
    int RemarkImeOpen() const { return m_bRemarkImeOpen; }

    // The editor's notifications.
    void OnCellEditChange();
    void OnCellEditSetFocus();
    void OnCellEditKillFocus();

private:
    void ShowCellEdit(const QString& text);
    void StepCaret(const QString& text);

    SpotList& m_list;
    CMSFlexGrid& m_grid;
    ListView& m_view;
    const SourceCommands& m_source;
    ListCommands& m_commands;
    QLineEdit m_editCell;
    int m_bRemarkImeOpen = 0;
    int m_nCaret = 0;
    // The editor's text as last accepted: what a refused change of a timecode or a remark goes
    // back to.
    QString m_szEditBefore;
};
