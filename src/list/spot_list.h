#pragma once

#include "list/list_layout.h"
#include "timecode/timecode_cell.h"

#include <QObject>
#include <QVector>

#include <functional>
#include <memory>

class ListHistory;

// The rules the row arithmetic counts by, besides the list's own frame rate. They are asked for
// afresh on every computation, so a change from the menu applies from the next one on.
struct CountingRules {
    int frameCheck = 3; // least gap in frames between one OUT and the next IN
    bool drop = true;   // drop-frame labels, where the list's rate has them (30)
};

// Everything the list holds: the cells of every data row and the current cell.
struct ListSnapshot {
    QVector<ListRowText> rows; // rows[0] is row 1
    long row = 1;
    long col = COL_IN;
    int fps = 30; // the list's frame rate

    bool operator==(const ListSnapshot& other) const;
    bool operator!=(const ListSnapshot& other) const { return !(*this == other); }
};

// What a change to the list was. EditStart is the live timecode an edit opened on an empty
// IN or OUT puts into the cell; Edit is a committed edit.
// Rate is a change of the list's frame rate; Import a list that came from another program.
enum class ListChange {
    CaptureIn,
    CaptureOut,
    EditStart,
    Edit,
    Insert,
    Delete,
    Load,
    Restore,
    Rate,
    Import
};

// The spotting list: its rows, the current cell, its undo history and whether it differs from
// the file it was last saved to or opened from. Every change passes through this class
// (capture, editing, insertion, deletion, loading, undo) and is announced once by Changed,
// however many cells it touched; a move of the current cell alone is no change and is
// announced by CurrentCellChanged. Rows are numbered from 1, as the list shows them; a row's
// No. is always its own number.
class SpotList : public QObject {
    Q_OBJECT
public:
    explicit SpotList(std::function<CountingRules()> rules);
    ~SpotList() override;

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

    // The list at start-up: INITIAL_LIST_ROWS empty rows at the frame rate, "0001" as the first
    // spot number, the current cell on row 1's IN, no history, nothing to save.
    void SetUp(int fps = 30);

    // The list's frame rate, 24, 25 or 30, and the counting its cells are read in.
    int FrameRate() const { return m_fps; }
    TimecodeRate Rate() const;
    // Counts the list at another rate: every duration is computed again. Returns the rows
    // whose IN or OUT holds a label the new rate has not (frame 25 at 25): they keep their
    // text and have no duration. A rate other than 24, 25 or 30 is refused (nothing changes).
    QVector<int> SetFrameRate(int fps);

    long RowCount() const { return m_rows.size(); }
    // A cell's text; the remark with the leading space its cell keeps. Empty outside the list.
    QString Cell(long row, long col) const;
    // The rows as the list holds them (rows[0] is row 1), for the file and the printer.
    QVector<ListRowText> Rows() const;

    long Row() const { return m_row; }
    long Col() const { return m_col; }
    // Moves the current cell; a row or column outside the list leaves that part as it is.
    void SetCurrentCell(long row, long col);
    // R: the remark of the current row, or of the filled row just above an empty one.
    void MoveToSpotRemark();

    // Captures into the current row: the live timecode (see CaptureCellText) goes into IN or
    // OUT unless keepText (an edit has just written the cell), then the row gets its spot
    // number, durations and the frame check follow, and the cursor moves on.
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

    // Editing the current cell in place. An empty IN or OUT cell starts from the live
    // timecode, which stays in the cell even when the edit is then cancelled.
    QString EditStartText(const Timecode& live);
    // Writes the committed text into the current cell (a remark with its leading space).
    void WriteEditedCell(const QString& text);

    // Replaces the list with rows read from a file at its frame rate: the list grows to
    // dataRows when it has fewer, every row read is written whole and its duration computed
    // again. The history starts anew.
    void LoadRows(int dataRows, const QVector<ListRowText>& rows, int fps = 30);
    // Replaces the rows with those another program's list brought, as one step that undo takes
    // back: at most MAX_LIST_ROWS, the list never fewer rows than it had, durations computed
    // at the list's rate, no frame check, the cursor on row 1's IN.
    void ImportRows(const QVector<ListRowText>& rows);
    // Every row with an IN and an OUT gets its duration computed again.
    void RecomputeDurations();

    ListSnapshot Snapshot() const;
    // Puts the list back as the snapshot holds it, numbering its rows anew.
    void Restore(const ListSnapshot& snapshot);

    // The undo history: every capture, committed edit, insertion and deletion is a step.
    bool CanUndo() const;
    bool CanRedo() const;
    bool Undo();
    bool Redo();
    void ClearHistory();
    int HistorySteps() const;

    // Whether the list differs from the one last saved or opened: every change moves the
    // revision on (an undo too, since it is not the list saved), loading aside.
    bool IsModified() const { return m_revision != m_savedRevision; }
    // The list as it is now is the one in its file.
    void MarkSaved();
    // Counts as changed without a change to its cells.
    void MarkModified();

signals:
    // After each change, with the list as it was before it.
    void Changed(ListChange what, const ListSnapshot& before);
    // After the current cell moved, by a change or alone.
    void CurrentCellChanged();
    // After IsModified may have turned.
    void ModifiedChanged();

private:
    // A row as the list keeps it: the timecode columns read at the list's counting, the
    // others as text.
    struct RowCells {
        QString no, spNo;
        TimecodeCell in, out, duration;
        QString remark;
    };

    RowCells& RowAt(long row) { return m_rows[int(row - 1)]; }
    void SetCell(long row, long col, const QString& text);
    void SetTimecodeCell(long row, long col, const TimecodeCell& cell);
    // The timecode cell of an IN, OUT or DURATION column; the empty cell elsewhere.
    TimecodeCell TimecodeCellAt(long row, long col) const;
    RowCells RowOfText(const ListRowText& text, TimecodeRate rate) const;
    ListRowText TextOfRow(const RowCells& row) const;
    void NumberRows();
    // Reads every timecode cell again at the list's counting, after its rate changed.
    void Recount();
    void BeginCapture(const Timecode& live, bool keepText, long col, long* row);
    void MoveRevision();

    std::function<CountingRules()> m_rules;
    QVector<RowCells> m_rows; // m_rows[0] is row 1; the No. fields are kept numbered
    long m_row = 1;
    long m_col = COL_IN;
    int m_fps = 30;
    std::unique_ptr<ListHistory> m_history;
    quint64 m_revision = 0;
    quint64 m_savedRevision = 0;
    // The change in progress: how deep the scopes are nested and what the list was before.
    int m_changeDepth = 0;
    ListChange m_changeKind = ListChange::Edit;
    ListSnapshot m_before;
};
