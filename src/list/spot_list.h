#pragma once

#include "list/list_layout.h"
#include "timecode/timecode_value.h"

#include <QObject>
#include <QVector>

#include <functional>

class CMSFlexGrid;

// The rules the row arithmetic counts by. They are asked for afresh on every computation, so a
// change from the menu applies from the next one on.
struct CountingRules {
    int frameCheck = 3; // least gap in frames between one OUT and the next IN
    TimecodeRate rate = TimecodeRate::Thirty(true);
};

// Everything the list shows: the cells of every data row and the current cell.
struct ListSnapshot {
    QVector<ListRowText> rows; // rows[0] is row 1
    long row = 1;
    long col = COL_IN;

    bool operator==(const ListSnapshot& other) const;
    bool operator!=(const ListSnapshot& other) const { return !(*this == other); }
};

// What a change to the list was. EditStart is the live timecode an edit opened on an empty
// IN or OUT puts into the cell; Edit is a committed edit.
enum class ListChange { CaptureIn, CaptureOut, EditStart, Edit, Insert, Delete, Load, Restore };

// The spotting list over its grid, which is the list's only store. Every change to the list
// passes through this class: capture, editing, insertion, deletion and loading, each announced
// once by Changed, however many cells it touched.
class SpotList : public QObject {
    Q_OBJECT
public:
    SpotList(CMSFlexGrid& grid, std::function<CountingRules()> rules);

    const CMSFlexGrid& Grid() const { return m_grid; }

    // A change in progress. The operations below open one each; a caller that makes one change
    // of several steps (an edit commit and its capture follow-up) opens one around them all, and
    // only the outermost announces the change when it ends.
    class Change {
    public:
        Change(SpotList& list, ListChange what);
        ~Change();
        Change(const Change&) = delete;
        Change& operator=(const Change&) = delete;

    private:
        SpotList& m_list;
        bool m_outermost;
    };

    // The list at start-up: the title row and INITIAL_LIST_ROWS empty rows, "0001" as the first
    // spot number, the current cell on row 1's IN.
    void SetUp();
    // Numbers and shades every No. cell, keeping the current cell.
    void NumberRows();
    void RenumberRows();

    // The rows the grid shows from its top row, as the layout last counted them; 0 until then.
    int VisibleRows() const { return m_nVisibleRows; }
    void SetVisibleRows(int rows) { m_nVisibleRows = rows; }
    // Brings a row in the lower half of the view to its middle, and scrolls to leftCol.
    void ScrollToRow(int row, int leftCol);

    // Captures into the current row: the live timecode (see CaptureCellText) goes into IN or
    // OUT unless keepText (an edit has just written the cell), then the row is numbered,
    // durations and the frame check follow, and the cursor moves on.
    void CaptureIn(const Timecode& live, bool keepText);
    void CaptureOut(const Timecode& live, bool keepText);

    // An empty row above the current one; false at MAX_LIST_ROWS rows.
    bool InsertRow();
    // Deletes the current row; false while only one row is left.
    bool DeleteRow();

    // OUT minus IN of a row in frames, written into DURATION when write is 1. A row whose IN or
    // OUT holds no full timecode has no duration: 0, and an empty DURATION.
    int CalcDuration(int row, int write);
    // Pulls the OUT of row - 1 back to leave the frame-check gap before the IN of row, when flag
    // is 1.
    void ApplyFrameCheck(int row, int flag);

    // The current cell's shading as the cursor enters and leaves it.
    void ShadeCurrentCell();
    void UnshadeCurrentCell();

    // Editing the current cell in place. An empty IN or OUT cell starts from the timecode, which
    // stays in the cell even when the edit is then cancelled.
    QString EditStartText(const Timecode& live);
    // Writes the committed text into the current cell (a remark with its leading space).
    void WriteEditedCell(const QString& text);

    // The data rows as the grid holds them, for the file and the printer.
    QVector<ListRowText> Rows() const;
    // Replaces the list with rows read from a file: the grid grows to dataRows when it has
    // fewer, every row read is written whole, No. and DURATION left for the caller.
    void LoadRows(int dataRows, const QVector<ListRowText>& rows);
    // Every row with an IN and an OUT gets its duration computed again.
    void RecomputeDurations();

    ListSnapshot Snapshot() const;
    void Restore(const ListSnapshot& snapshot);

signals:
    // After each change, with the list as it was before it; the grid shows it as it is now.
    void Changed(ListChange what, const ListSnapshot& before);

private:
    void BeginCapture(const Timecode& live, bool keepText, long col, long* row);
    void SetCell(long row, long col, const QString& text);
    QString Cell(long row, long col) const;

    CMSFlexGrid& m_grid;
    std::function<CountingRules()> m_rules;
    int m_nVisibleRows = 0;
    // The change in progress: how deep the scopes are nested and what the list was before.
    int m_changeDepth = 0;
    ListChange m_changeKind = ListChange::Edit;
    ListSnapshot m_before;
};
