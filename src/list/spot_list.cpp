#include "list/spot_list.h"

#include "list/cell_text.h"
#include "list/list_history.h"
#include "timecode/duration.h"

#include <algorithm>

namespace {

// The cells of a row by column number: the text columns, and those that hold timecodes.
template <typename Row> auto TextCellOf(Row& row, long col) -> decltype(&row.no) {
    switch (col) {
    case COL_NO:
        return &row.no;
    case COL_SPNO:
        return &row.spNo;
    case COL_REMARK:
        return &row.remark;
    default:
        return nullptr;
    }
}

template <typename Row> auto TimecodeCellOf(Row& row, long col) -> decltype(&row.in) {
    switch (col) {
    case COL_IN:
        return &row.in;
    case COL_OUT:
        return &row.out;
    case COL_DURATION:
        return &row.duration;
    default:
        return nullptr;
    }
}

} // namespace

bool ListSnapshot::operator==(const ListSnapshot& other) const {
    return row == other.row && col == other.col && fps == other.fps && rows == other.rows;
}

SpotList::SpotList(std::function<CountingRules()> rules)
    : m_rules(std::move(rules)), m_history(std::make_unique<ListHistory>(*this)) {}

SpotList::~SpotList() = default;

SpotList::Change::Change(SpotList& list, ListChange what)
    : m_list(list), m_outermost(list.m_changeDepth == 0) {
    ++m_list.m_changeDepth;
    if (m_outermost) {
        m_list.m_changeKind = what;
        m_list.m_before = m_list.Snapshot();
    }
}

SpotList::Change::~Change() {
    --m_list.m_changeDepth;
    if (!m_outermost) {
        return;
    }
    // Loading a file is the list of that file, not a change to it: the opener says whether
    // it is saved.
    if (m_list.m_changeKind != ListChange::Load) {
        m_list.MoveRevision();
    }
    const bool moved = m_list.m_row != m_list.m_before.row || m_list.m_col != m_list.m_before.col;
    emit m_list.Changed(m_list.m_changeKind, m_list.m_before);
    // Told after the cells, so that whoever shows the list has the rows the cell is in.
    if (moved) {
        emit m_list.CurrentCellChanged();
    }
}

void SpotList::MoveRevision() {
    const bool was = IsModified();
    ++m_revision;
    if (was != IsModified()) {
        emit ModifiedChanged();
    }
}

TimecodeRate SpotList::Rate() const {
    return TimecodeRate{m_fps, m_rules().drop && RateHasDropFrame(m_fps)};
}

QVector<int> SpotList::SetFrameRate(int fps) {
    QVector<int> beyond;
    if (!IsListFrameRate(fps) || fps == m_fps) {
        return beyond;
    }
    Change change(*this, ListChange::Rate);
    m_fps = fps;
    Recount();
    RecomputeDurations();
    for (long r = 1; r <= RowCount(); ++r) {
        const RowCells& row = RowAt(r);
        if (row.in.LabelBeyondRate() || row.out.LabelBeyondRate()) {
            beyond.append(int(r));
        }
    }
    return beyond;
}

void SpotList::MarkSaved() {
    m_savedRevision = m_revision;
    emit ModifiedChanged();
}

void SpotList::MarkModified() {
    ++m_revision;
    emit ModifiedChanged();
}

QString SpotList::Cell(long row, long col) const {
    if (row < 1 || row > RowCount()) {
        return QString();
    }
    const RowCells& cells = m_rows.at(int(row - 1));
    if (const QString* text = TextCellOf(cells, col)) {
        return *text;
    }
    const TimecodeCell* cell = TimecodeCellOf(cells, col);
    return cell ? CellText(*cell) : QString();
}

TimecodeCell SpotList::TimecodeCellAt(long row, long col) const {
    if (row < 1 || row > RowCount()) {
        return TimecodeCell();
    }
    const TimecodeCell* cell = TimecodeCellOf(m_rows.at(int(row - 1)), col);
    return cell ? *cell : TimecodeCell();
}

void SpotList::SetCell(long row, long col, const QString& text) {
    if (row < 1 || row > RowCount()) {
        return;
    }
    if (QString* cell = TextCellOf(RowAt(row), col)) {
        *cell = text;
    } else {
        SetTimecodeCell(row, col, ReadCell(text, Rate()));
    }
}

void SpotList::SetTimecodeCell(long row, long col, const TimecodeCell& cell) {
    if (row < 1 || row > RowCount()) {
        return;
    }
    if (TimecodeCell* stored = TimecodeCellOf(RowAt(row), col)) {
        *stored = cell;
    }
}

SpotList::RowCells SpotList::RowOfText(const ListRowText& text, TimecodeRate rate) const {
    return RowCells{text.no,
                    text.spNo,
                    ReadCell(text.in, rate),
                    ReadCell(text.out, rate),
                    ReadCell(text.duration, rate),
                    text.remark};
}

ListRowText SpotList::TextOfRow(const RowCells& row) const {
    return ListRowText{
        row.no, row.spNo, CellText(row.in), CellText(row.out), CellText(row.duration), row.remark};
}

QVector<ListRowText> SpotList::Rows() const {
    QVector<ListRowText> rows;
    rows.reserve(m_rows.size());
    for (const RowCells& row : m_rows) {
        rows.append(TextOfRow(row));
    }
    return rows;
}

void SpotList::NumberRows() {
    for (int i = 0; i < m_rows.size(); ++i) {
        m_rows[i].no = RowLabel(i + 1);
    }
}

void SpotList::Recount() {
    const TimecodeRate rate = Rate();
    for (RowCells& row : m_rows) {
        row.in = row.in.At(rate);
        row.out = row.out.At(rate);
        row.duration = row.duration.At(rate);
    }
}

void SpotList::SetCurrentCell(long row, long col) {
    const long newRow = row >= 1 && row <= RowCount() ? row : m_row;
    const long newCol = col >= 0 && col < LIST_COLS ? col : m_col;
    if (newRow == m_row && newCol == m_col) {
        return;
    }
    m_row = newRow;
    m_col = newCol;
    // Within a change, told once the change is announced.
    if (m_changeDepth == 0) {
        emit CurrentCellChanged();
    }
}

void SpotList::MoveToSpotRemark() {
    const long r = m_row;
    // R on an empty row just below a filled one opens the filled row's remark.
    const bool empty = Cell(r, COL_IN).isEmpty() && Cell(r, COL_OUT).isEmpty();
    const bool filledAbove =
        r >= 2 && (!Cell(r - 1, COL_IN).isEmpty() || !Cell(r - 1, COL_OUT).isEmpty());
    SetCurrentCell(empty && filledAbove ? r - 1 : r, COL_REMARK);
}

void SpotList::SetUp(int fps) {
    {
        Change change(*this, ListChange::Load);
        m_fps = IsListFrameRate(fps) ? fps : 30;
        m_rows = QVector<RowCells>(INITIAL_LIST_ROWS);
        NumberRows();
        m_rows[0].spNo = RowLabel(1);
        m_row = 1;
        m_col = COL_IN;
        m_history->Clear();
    }
    MarkSaved();
}

// What both captures do first on the current row: give it a spot number if it has none, and
// write the timecode into the column unless an edit has just written the cell.
void SpotList::BeginCapture(const Timecode& live, bool keepText, long col, long* row) {
    *row = m_row;
    if (Cell(*row, COL_SPNO).isEmpty()) {
        SetCell(*row, COL_SPNO, RowLabel(*row));
    }
    if (!keepText) {
        SetCell(*row, col, CaptureCellText(live));
    }
}

void SpotList::CaptureIn(const Timecode& live, bool keepText) {
    Change change(*this, ListChange::CaptureIn);
    long row = 0;
    BeginCapture(live, keepText, COL_IN, &row);
    if (!Cell(row, COL_OUT).isEmpty()) {
        CalcDuration(row, 1);
    }
    if (row > 1 && !Cell(row - 1, COL_OUT).isEmpty()) {
        // The frame check may pull the previous OUT back, so that row's duration follows.
        ApplyFrameCheck(row, 1);
        if (!Cell(row - 1, COL_IN).isEmpty()) {
            CalcDuration(row - 1, 1);
        }
    }
    SetCurrentCell(row, COL_OUT);
}

void SpotList::CaptureOut(const Timecode& live, bool keepText) {
    Change change(*this, ListChange::CaptureOut);
    long row = 0;
    BeginCapture(live, keepText, COL_OUT, &row);
    // An OUT makes no frame check: only a new IN can come too close to the OUT above it.
    if (!Cell(row, COL_IN).isEmpty()) {
        CalcDuration(row, 1);
    }
    // On the last row the cursor stays: the list never grows by capturing.
    if (row < RowCount()) {
        ++row;
        // The next spot shows its number before it is captured.
        if (Cell(row, COL_SPNO).isEmpty()) {
            SetCell(row, COL_SPNO, RowLabel(row));
        }
    }
    SetCurrentCell(row, COL_IN);
}

bool SpotList::InsertRow() {
    if (RowCount() >= MAX_LIST_ROWS) {
        return false;
    }
    Change change(*this, ListChange::Insert);
    m_rows.insert(int(m_row - 1), RowCells());
    NumberRows();
    // The new row takes the current one's place, and the cursor its IN.
    m_col = COL_IN;
    return true;
}

bool SpotList::DeleteRow() {
    if (RowCount() <= 1) {
        return false;
    }
    Change change(*this, ListChange::Delete);
    m_rows.remove(int(m_row - 1));
    NumberRows();
    if (m_row > RowCount()) {
        m_row = RowCount();
    }
    return true;
}

int SpotList::CalcDuration(int row, int write) {
    const TimecodeRate rate = Rate();
    const std::optional<int> diff =
        RowDuration(TimecodeCellAt(row, COL_IN), TimecodeCellAt(row, COL_OUT), rate);
    if (write == 1) {
        // A row whose IN or OUT holds no full timecode shows no duration rather than one
        // left over from times the row no longer shows.
        SetTimecodeCell(row, COL_DURATION,
                        diff ? TimecodeCell::Read(FormatDuration(*diff, rate), rate)
                             : TimecodeCell());
    }
    return diff.value_or(0);
}

void SpotList::ApplyFrameCheck(int row, int flag) {
    // Row 1 has only the title row above it.
    if (flag != 1 || row < 2) {
        return;
    }
    const CountingRules rules = m_rules();
    if (const std::optional<TimecodeCell> newOut =
            FrameCheckNewOut(TimecodeCellAt(row, COL_IN), TimecodeCellAt(row - 1, COL_OUT),
                             rules.frameCheck, Rate())) {
        SetTimecodeCell(row - 1, COL_OUT, *newOut);
    }
}

QString SpotList::EditStartText(const Timecode& live) {
    QString text = m_col == COL_REMARK ? RemarkAsShown(Cell(m_row, m_col)) : Cell(m_row, m_col);
    if ((m_col == COL_IN || m_col == COL_OUT) && text.isEmpty()) {
        Change change(*this, ListChange::EditStart);
        text = CaptureCellText(live);
        SetCell(m_row, m_col, text);
    }
    return text;
}

void SpotList::WriteEditedCell(const QString& text) {
    Change change(*this, ListChange::Edit);
    const bool remark = m_col == COL_REMARK && !text.isEmpty();
    SetCell(m_row, m_col, remark ? QLatin1Char(' ') + text : text);
}

void SpotList::LoadRows(int dataRows, const QVector<ListRowText>& rows, int fps) {
    Change change(*this, ListChange::Load);
    m_fps = IsListFrameRate(fps) ? fps : 30;
    if (dataRows > RowCount()) {
        m_rows.resize(std::min(dataRows, MAX_LIST_ROWS));
    }
    // Rows beyond those read keep what they held, counted at the file's rate.
    Recount();
    const TimecodeRate rate = Rate();
    for (int r = 1; r <= dataRows && r <= rows.size() && r <= RowCount(); ++r) {
        RowAt(r) = RowOfText(rows.at(r - 1), rate);
        RowAt(r).duration = TimecodeCell();
    }
    NumberRows();
    RecomputeDurations();
    m_history->Clear(); // a new list, a new history
}

void SpotList::ImportRows(const QVector<ListRowText>& rows) {
    Change change(*this, ListChange::Import);
    const TimecodeRate rate = Rate();
    QVector<RowCells> imported;
    for (const ListRowText& row : rows.mid(0, MAX_LIST_ROWS)) {
        imported.append(RowOfText(row, rate));
        imported.last().duration = TimecodeCell();
    }
    if (imported.size() < RowCount()) {
        imported.resize(RowCount());
    }
    m_rows = imported;
    if (m_rows.isEmpty()) {
        m_rows.resize(1);
    }
    NumberRows();
    RecomputeDurations();
    m_row = 1;
    m_col = COL_IN;
}

void SpotList::RecomputeDurations() {
    for (long i = 1; i <= RowCount(); ++i) {
        if (!Cell(i, COL_IN).isEmpty() && !Cell(i, COL_OUT).isEmpty()) {
            CalcDuration(int(i), 1);
        }
    }
}

ListSnapshot SpotList::Snapshot() const {
    return ListSnapshot{Rows(), m_row, m_col, m_fps};
}

void SpotList::Restore(const ListSnapshot& snapshot) {
    Change change(*this, ListChange::Restore);
    // Never without a row, never more rows than a list may have.
    m_fps = IsListFrameRate(snapshot.fps) ? snapshot.fps : 30;
    const TimecodeRate rate = Rate();
    m_rows.clear();
    for (const ListRowText& row : snapshot.rows.mid(0, MAX_LIST_ROWS)) {
        m_rows.append(RowOfText(row, rate));
    }
    if (m_rows.isEmpty()) {
        m_rows.resize(1);
    }
    NumberRows();
    m_row = std::clamp(snapshot.row, 1L, RowCount());
    m_col = std::clamp(snapshot.col, 0L, long(LIST_COLS - 1));
}

bool SpotList::CanUndo() const {
    return m_history->CanUndo();
}

bool SpotList::CanRedo() const {
    return m_history->CanRedo();
}

bool SpotList::Undo() {
    if (!m_history->CanUndo()) {
        return false;
    }
    m_history->Undo();
    return true;
}

bool SpotList::Redo() {
    if (!m_history->CanRedo()) {
        return false;
    }
    m_history->Redo();
    return true;
}

void SpotList::ClearHistory() {
    m_history->Clear();
}

int SpotList::HistorySteps() const {
    return m_history->Steps();
}
