#include "grid/msflexgrid.h"

#include "platform/ui_font.h"

#include <QHeaderView>
#include <QKeyEvent>
#include <QPainter>
#include <QScrollBar>
#include <QStyledItemDelegate>

#include <algorithm>
#include <tuple>

namespace {

constexpr long DEFAULT_ROWS = 10;
constexpr long DEFAULT_COLS = 6;
// Bounds against absurd counts and widths from damaged input; the list stays far below them.
constexpr long MAX_ROWS = 100000;
constexpr long MAX_COLS = 1000;
constexpr long MAX_WIDTH_PIXELS = 100000;

constexpr ColorRef PLAIN_BACK = RgbColor(255, 255, 255);
constexpr ColorRef GRID_LINES = RgbColor(192, 192, 192);
constexpr ColorRef OUTSIDE_CELLS = RgbColor(128, 128, 128);

QColor ToQColor(ColorRef color) {
    return QColor(RedOf(color), GreenOf(color), BlueOf(color));
}

ColorRef ToColorRef(const QColor& color) {
    return RgbColor(color.red(), color.green(), color.blue());
}

// The view's base colour is the grey outside the cells, so a cell nobody shaded is painted
// white here. The program shades the current cell itself: no selection, hover or focus
// colour may tint that shading, so focus is shown as a dotted frame only.
class CellDelegate : public QStyledItemDelegate {
public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void paint(QPainter* painter, const QStyleOptionViewItem& option,
               const QModelIndex& index) const override {
        QStyleOptionViewItem plain(option);
        plain.state &= ~QStyle::State_HasFocus;
        QStyledItemDelegate::paint(painter, plain, index);
        if (option.state & QStyle::State_HasFocus) {
            painter->save();
            painter->setPen(QPen(Qt::black, 1, Qt::DotLine));
            painter->drawRect(option.rect.adjusted(0, 0, -1, -1));
            painter->restore();
        }
    }

protected:
    void initStyleOption(QStyleOptionViewItem* option, const QModelIndex& index) const override {
        QStyledItemDelegate::initStyleOption(option, index);
        if (option->backgroundBrush.style() == Qt::NoBrush)
            option->backgroundBrush = ToQColor(PLAIN_BACK);
        option->state &= ~(QStyle::State_Selected | QStyle::State_MouseOver);
    }
};

} // namespace

CMSFlexGrid::CMSFlexGrid(QWidget* parent) : QTableWidget(parent) {
    setFont(JapaneseFixedFont(11.25));
    QPalette colors = palette();
    colors.setColor(QPalette::Base, ToQColor(OUTSIDE_CELLS));
    colors.setColor(QPalette::Text, Qt::black);
    setPalette(colors);
    setStyleSheet(
        QStringLiteral("QTableView { gridline-color: %1; }").arg(ToQColor(GRID_LINES).name()));
    setItemDelegate(new CellDelegate(this));

    setEditTriggers(NoEditTriggers);
    setSelectionMode(NoSelection);
    setTabKeyNavigation(false);
    setWordWrap(false);
    setTextElideMode(Qt::ElideNone);
    setCornerButtonEnabled(false);
    // TopRow and LeftCol are row and column numbers, so the view scrolls by whole items.
    setVerticalScrollMode(ScrollPerItem);
    setHorizontalScrollMode(ScrollPerItem);

    const int rowHeight = fontMetrics().height() + 4;
    QHeaderView* rowHeader = verticalHeader();
    rowHeader->hide();
    rowHeader->setMinimumSectionSize(0);
    rowHeader->setSectionResizeMode(QHeaderView::Fixed);
    rowHeader->setDefaultSectionSize(rowHeight);

    // The title row: same height as a data row, never selected by a click, but its section
    // edges let the user resize columns, down to nothing. It is a row of the grid, so it has
    // the grid's font; a header would otherwise take the platform's own header font (a
    // proportional face on Windows and KDE).
    QHeaderView* titles = horizontalHeader();
    titles->setFont(font());
    titles->setFixedHeight(rowHeight);
    titles->setSectionsClickable(false);
    titles->setHighlightSections(false);
    titles->setMinimumSectionSize(0);
    titles->setSectionResizeMode(QHeaderView::Interactive);

    Reshape(DEFAULT_ROWS, DEFAULT_COLS, [this] {
        setColumnCount(DEFAULT_COLS);
        setRowCount(DEFAULT_ROWS - 1);
    });
}

QString CMSFlexGrid::GetText() const {
    return GetTextMatrix(m_row, m_col);
}

void CMSFlexGrid::SetText(const QString& text) {
    SetTextMatrix(m_row, m_col, text);
}

long CMSFlexGrid::GetRows() const {
    return rowCount() + 1;
}

void CMSFlexGrid::SetRows(long rows) {
    rows = std::clamp(rows, 1L, MAX_ROWS);
    if (rows == GetRows())
        return;
    Reshape(rows, GetCols(), [this, rows] { setRowCount(static_cast<int>(rows - 1)); });
}

long CMSFlexGrid::GetCols() const {
    return columnCount();
}

void CMSFlexGrid::SetCols(long cols) {
    cols = std::clamp(cols, 1L, MAX_COLS);
    if (cols == GetCols())
        return;
    Reshape(GetRows(), cols, [this, cols] { setColumnCount(static_cast<int>(cols)); });
}

long CMSFlexGrid::GetTopRow() const {
    SyncLayout();
    // Scrolling is per item, so the scroll value is the index of the first data row shown.
    return rowCount() == 0 ? 1 : verticalScrollBar()->value() + 1;
}

void CMSFlexGrid::SetTopRow(long row) {
    if (row < 1 || row >= GetRows())
        return;
    SyncLayout();
    // The scroll range stops where the last row is fully shown, which is the old control's
    // own limit for TopRow.
    verticalScrollBar()->setValue(static_cast<int>(row - 1));
}

long CMSFlexGrid::GetLeftCol() const {
    SyncLayout();
    return horizontalScrollBar()->value();
}

void CMSFlexGrid::SetLeftCol(long col) {
    if (col < 0 || col >= GetCols())
        return;
    SyncLayout();
    horizontalScrollBar()->setValue(static_cast<int>(col));
}

long CMSFlexGrid::GetRow() const {
    return m_row;
}

void CMSFlexGrid::SetRow(long row) {
    if (row < 1 || row >= GetRows())
        return;
    MoveTo(row, m_col);
}

long CMSFlexGrid::GetCol() const {
    return m_col;
}

void CMSFlexGrid::SetCol(long col) {
    if (col < 0 || col >= GetCols())
        return;
    if (rowCount() == 0) {
        m_col = col; // no cell to leave or enter
        return;
    }
    MoveTo(m_row, col);
}

long CMSFlexGrid::GetCellLeft() const {
    return CurrentCellRect().left() * TWIPS_PER_PIXEL;
}

long CMSFlexGrid::GetCellTop() const {
    return CurrentCellRect().top() * TWIPS_PER_PIXEL;
}

long CMSFlexGrid::GetCellWidth() const {
    return CurrentCellRect().width() * TWIPS_PER_PIXEL;
}

long CMSFlexGrid::GetCellHeight() const {
    return CurrentCellRect().height() * TWIPS_PER_PIXEL;
}

void CMSFlexGrid::SetCellBackColor(ColorRef color) {
    if (QTableWidgetItem* item = EnsureItem(m_row, m_col))
        item->setBackground(ToQColor(color));
}

void CMSFlexGrid::SetCellBackColorAt(long row, long col, ColorRef color) {
    if (GetCellBackColorAt(row, col) == color)
        return;
    if (QTableWidgetItem* item = EnsureItem(row, col))
        item->setBackground(ToQColor(color));
}

ColorRef CMSFlexGrid::GetCellBackColor() const {
    return GetCellBackColorAt(m_row, m_col);
}

ColorRef CMSFlexGrid::GetCellBackColorAt(long row, long col) const {
    const QTableWidgetItem* item = ItemAt(row, col);
    if (!item || item->background().style() == Qt::NoBrush)
        return PLAIN_BACK;
    return ToColorRef(item->background().color());
}

long CMSFlexGrid::GetColWidth(long col) const {
    if (col < 0 || col >= GetCols())
        return 0;
    const long pixels = columnWidth(static_cast<int>(col));
    const long twips = m_setTwips.value(col, -1);
    // Twips do not divide into whole pixels, so the value last set is given back as long as
    // the column still has the width it produced; a width the user dragged reads in pixels.
    if (twips >= 0 && pixels == twips / TWIPS_PER_PIXEL)
        return twips;
    return pixels * TWIPS_PER_PIXEL;
}

void CMSFlexGrid::SetColWidth(long col, long twips) {
    if (col < 0 || col >= GetCols())
        return;
    if (m_setTwips.size() < GetCols()) // columns added through the table's own interface
        m_setTwips.resize(GetCols(), -1);
    if (twips < 0) {
        // A negative width asks for the default width, as it did in the old control.
        m_setTwips[col] = -1;
        setColumnWidth(static_cast<int>(col), horizontalHeader()->defaultSectionSize());
        return;
    }
    twips = std::min(twips, MAX_WIDTH_PIXELS * TWIPS_PER_PIXEL);
    m_setTwips[col] = twips;
    setColumnWidth(static_cast<int>(col), static_cast<int>(twips / TWIPS_PER_PIXEL));
}

QString CMSFlexGrid::GetTextMatrix(long row, long col) const {
    if (row == 0 && col >= 0 && col < GetCols()) {
        const QTableWidgetItem* title = horizontalHeaderItem(static_cast<int>(col));
        return title ? title->text() : QString();
    }
    const QTableWidgetItem* item = ItemAt(row, col);
    return item ? item->text() : QString();
}

void CMSFlexGrid::SetTextMatrix(long row, long col, const QString& text) {
    if (row == 0 && col >= 0 && col < GetCols()) {
        QTableWidgetItem* title = horizontalHeaderItem(static_cast<int>(col));
        if (!title) {
            title = new QTableWidgetItem;
            setHorizontalHeaderItem(static_cast<int>(col), title);
        }
        title->setText(text);
        return;
    }
    if (QTableWidgetItem* item = EnsureItem(row, col))
        item->setText(text);
}

void CMSFlexGrid::AddItem(const QString& item, const QVariant& index) {
    long at = GetRows(); // without an index the row is appended
    if (index.isValid()) {
        bool ok = false;
        at = static_cast<long>(index.toLongLong(&ok));
        if (!ok)
            return;
    }
    if (at < 1 || at > GetRows() || GetRows() >= MAX_ROWS)
        return;
    Reshape(GetRows() + 1, GetCols(), [this, at] { insertRow(static_cast<int>(at - 1)); });
    const QStringList cells = item.split(QLatin1Char('\t'));
    const long count = std::min<long>(cells.size(), GetCols());
    for (long col = 0; col < count; ++col) {
        if (!cells[col].isEmpty())
            SetTextMatrix(at, col, cells[col]);
    }
}

void CMSFlexGrid::RemoveItem(long index) {
    if (index < 1 || index >= GetRows())
        return;
    Reshape(GetRows() - 1, GetCols(), [this, index] { removeRow(static_cast<int>(index - 1)); });
}

// A row counts as visible only when it is shown whole: the caller counts the rows it may
// scroll into view, and a row cut off at the bottom edge is not one of them. The title row
// is always shown.
bool CMSFlexGrid::GetRowIsVisible(long row) const {
    if (row < 0 || row >= GetRows())
        return false;
    if (row == 0)
        return true;
    SyncLayout();
    const int tableRow = static_cast<int>(row - 1);
    const int top = rowViewportPosition(tableRow);
    return top >= 0 && top + rowHeight(tableRow) <= viewport()->height();
}

void CMSFlexGrid::currentChanged(const QModelIndex& current, const QModelIndex& previous) {
    QTableWidget::currentChanged(current, previous);
    // Every cell reports itself editable to the view, which would open the input method on
    // the grid; typed keys must reach the program as keys.
    setAttribute(Qt::WA_InputMethodEnabled, false);
    if (m_inCellChange)
        return;
    if (!current.isValid()) {
        if (rowCount() > 0)
            SyncCurrentIndex();
        return;
    }
    const long row = current.row() + 1;
    const long col = current.column();
    if (row == m_row && col == m_col)
        return;
    emit LeaveCell();
    // A LeaveCell handler that moved the cell itself has already announced that move.
    if (currentIndex() != current)
        return;
    m_row = row;
    m_col = col;
    emit EnterCell();
}

void CMSFlexGrid::changeEvent(QEvent* event) {
    QTableWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        horizontalHeader()->setFont(font());
}

void CMSFlexGrid::keyboardSearch(const QString& /*search*/) {}

void CMSFlexGrid::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_PageUp:
    case Qt::Key_PageDown:
    case Qt::Key_Home:
    case Qt::Key_End:
        QTableWidget::keyPressEvent(event);
        break;
    default:
        // Letters, Enter, Esc, Insert and Delete are the program's: they go on to the window.
        event->ignore();
        break;
    }
}

// Dragging with a button held marks a range in the old control while the current cell stays
// where the button went down; there is no range here, so the drag does nothing.
void CMSFlexGrid::mouseMoveEvent(QMouseEvent* event) {
    if (event->buttons() != Qt::NoButton) {
        event->accept();
        return;
    }
    QTableWidget::mouseMoveEvent(event);
}

void CMSFlexGrid::focusInEvent(QFocusEvent* event) {
    QTableWidget::focusInEvent(event);
    setAttribute(Qt::WA_InputMethodEnabled, false); // see currentChanged
}

QTableWidgetItem* CMSFlexGrid::ItemAt(long row, long col) const {
    if (row < 1 || row > rowCount() || col < 0 || col >= columnCount())
        return nullptr;
    return item(static_cast<int>(row - 1), static_cast<int>(col));
}

QTableWidgetItem* CMSFlexGrid::EnsureItem(long row, long col) {
    if (row < 1 || row > rowCount() || col < 0 || col >= columnCount())
        return nullptr;
    QTableWidgetItem* cell = item(static_cast<int>(row - 1), static_cast<int>(col));
    if (!cell) {
        cell = new QTableWidgetItem;
        cell->setFlags(Qt::ItemIsEnabled);
        setItem(static_cast<int>(row - 1), static_cast<int>(col), cell);
    }
    return cell;
}

void CMSFlexGrid::MoveTo(long row, long col) {
    if (row == m_row && col == m_col)
        return;
    emit LeaveCell();
    m_row = row;
    m_col = col;
    SyncCurrentIndex();
    emit EnterCell();
}

// Row and column changes keep the current cell's number, as the old control did; only when
// that cell no longer exists is it clamped, and that move is announced like any other. When
// there is no data row on one side there is no cell to leave or enter, so nothing is sent.
void CMSFlexGrid::Reshape(long rows, long cols, const std::function<void()>& change) {
    const bool hadCell = rowCount() > 0 && columnCount() > 0;
    const bool hasCell = rows > 1 && cols > 0;
    const long row = hasCell ? std::min(m_row, rows - 1) : 1;
    const long col = std::clamp(m_col, 0L, std::max(cols - 1, 0L));
    const bool announce = hadCell && hasCell && (row != m_row || col != m_col);
    if (announce)
        emit LeaveCell();

    // The view moves its own current index off a removed row and would scroll to it.
    const bool guard = m_inCellChange;
    const bool scroll = hasAutoScroll();
    m_inCellChange = true;
    setAutoScroll(false);
    change();
    setAutoScroll(scroll);
    m_inCellChange = guard;

    m_row = row;
    m_col = col;
    m_setTwips.resize(columnCount(), -1);
    for (int c = 0; c < columnCount(); ++c) {
        // A column without a title item would show its number in the title row.
        if (!horizontalHeaderItem(c))
            setHorizontalHeaderItem(c, new QTableWidgetItem);
    }
    SyncCurrentIndex();
    if (announce)
        emit EnterCell();
}

// Puts the view's current index on (m_row, m_col) without announcing it and without
// scrolling: the program scrolls with TopRow itself, and a move it makes must not scroll
// the view under it, as the old control did not.
void CMSFlexGrid::SyncCurrentIndex() {
    const QModelIndex index = model()->index(static_cast<int>(m_row - 1), static_cast<int>(m_col));
    if (!index.isValid() || index == currentIndex())
        return;
    const bool guard = m_inCellChange;
    const bool scroll = hasAutoScroll();
    m_inCellChange = true;
    setAutoScroll(false);
    selectionModel()->setCurrentIndex(index, QItemSelectionModel::NoUpdate);
    setAutoScroll(scroll);
    m_inCellChange = guard;
}

// The view lays out row and column changes lazily, and shows or hides a scroll bar only when
// it lays out again after a range changed, which resizes the viewport once more. Scroll
// ranges and row positions must be settled before the program reads or sets them in the
// same call sequence; a few rounds settle them.
void CMSFlexGrid::SyncLayout() const {
    auto* self = const_cast<CMSFlexGrid*>(this);
    self->executeDelayedItemsLayout();
    const auto state = [this] {
        return std::make_tuple(viewport()->size(), verticalScrollBar()->maximum(),
                               horizontalScrollBar()->maximum());
    };
    for (int round = 0; round < 4; ++round) {
        const auto before = state();
        self->updateGeometries();
        if (state() == before)
            break;
    }
}

// The cell as drawn, in the control's own coordinates: the viewport lies below the title
// row and inside the frame.
QRect CMSFlexGrid::CurrentCellRect() const {
    const QModelIndex index = model()->index(static_cast<int>(m_row - 1), static_cast<int>(m_col));
    if (!index.isValid())
        return {};
    SyncLayout();
    const QRect cell = visualRect(index);
    return QRect(viewport()->mapTo(this, cell.topLeft()), cell.size());
}
