#include "grid/msflexgrid.h"

#include <QApplication>
#include <QFontInfo>
#include <QHeaderView>
#include <QtTest>

#include <memory>

namespace {

constexpr ColorRef PLAIN = RgbColor(255, 255, 255);
constexpr ColorRef SHADE = RgbColor(210, 210, 210);
constexpr ColorRef NUMBER = RgbColor(180, 180, 210);

// The list's window: the grid on a top-level widget that records the keys reaching it.
class Window : public QWidget {
public:
    explicit Window(long dataRows) : grid(new CMSFlexGrid(this)) {
        grid->setGeometry(0, 28, 600, 330);
        grid->SetRows(dataRows + 1);
        for (long row = 1; row <= dataRows; ++row)
            grid->SetTextMatrix(row, 1, QString(QChar(char16_t('a' + (row - 1) % 26))));
        for (long col = 0; col < grid->GetCols(); ++col)
            grid->SetColWidth(col, 1200);
        resize(600, 400);
        show();
    }
    CMSFlexGrid* grid;
    QList<int> keys;

protected:
    void keyPressEvent(QKeyEvent* event) override { keys << event->key(); }
};

// Logs LeaveCell and EnterCell with the cell the grid reports inside the handler, and shades
// the current cell the way the list does.
class CellLog : public QObject {
public:
    explicit CellLog(CMSFlexGrid* grid) {
        const auto log = [this, grid](const char* what, ColorRef color) {
            events << QStringLiteral("%1 %2,%3").arg(what).arg(grid->GetRow()).arg(grid->GetCol());
            grid->SetCellBackColor(color);
        };
        connect(grid, &CMSFlexGrid::LeaveCell, this, [log] { log("leave", PLAIN); });
        connect(grid, &CMSFlexGrid::EnterCell, this, [log] { log("enter", SHADE); });
    }
    QStringList events;
};

QStringList SpNoColumn(const CMSFlexGrid* grid) {
    QStringList cells;
    for (long row = 1; row < grid->GetRows(); ++row)
        cells << grid->GetTextMatrix(row, 1);
    return cells;
}

long ShadedRow(const CMSFlexGrid* grid) {
    for (long row = 1; row < grid->GetRows(); ++row) {
        if (grid->GetCellBackColorAt(row, 0) == NUMBER)
            return row;
    }
    return 0;
}

// Rows shown whole from TopRow on, counted the way the window layout counts them.
long VisibleRows(const CMSFlexGrid* grid) {
    long count = 0;
    for (long row = grid->GetTopRow(); row < grid->GetRows() && grid->GetRowIsVisible(row); ++row)
        ++count;
    return count;
}

} // namespace

class TestGrid : public QObject {
    Q_OBJECT
private slots:
    void defaultsAndOutOfRange();
    void setRows_data();
    void setRows();
    void insertAndRemoveRows_data();
    void insertAndRemoveRows();
    void cellEvents_data();
    void cellEvents();
    void typedKeysGoToTheWindow();
    void colWidthRoundTrip_data();
    void colWidthRoundTrip();
    void userResizedWidth();
    void scrolling();
    void cellGeometryOverlaysTheCell_data();
    void cellGeometryOverlaysTheCell();
    void titleRowIsInTheGridFont();
};

void TestGrid::defaultsAndOutOfRange() {
    CMSFlexGrid grid;
    QCOMPARE(grid.GetRows(), 10L);
    QCOMPARE(grid.GetCols(), 6L);
    QCOMPARE(grid.GetRow(), 1L);
    QCOMPARE(grid.GetCol(), 0L);
    QCOMPARE(grid.GetTopRow(), 1L);
    QCOMPARE(grid.GetCellBackColor(), PLAIN);
    // Unwritten titles are blank, not the column numbers a table shows by default.
    QCOMPARE(grid.horizontalHeaderItem(3)->text(), QString());
    grid.SetTextMatrix(0, 3, QStringLiteral("OUT"));
    QCOMPARE(grid.horizontalHeaderItem(3)->text(), QStringLiteral("OUT"));
    QCOMPARE(grid.GetTextMatrix(9, 5), QString());

    const long bad[][2] = {{10, 0}, {-1, 0}, {1, 6}, {1, -1}, {1000000, 1000000}};
    for (const auto& cell : bad) {
        grid.SetTextMatrix(cell[0], cell[1], QStringLiteral("x"));
        QCOMPARE(grid.GetTextMatrix(cell[0], cell[1]), QString());
        QCOMPARE(grid.GetCellBackColorAt(cell[0], cell[1]), PLAIN);
    }
    grid.SetRow(10);
    grid.SetRow(0);
    grid.SetCol(6);
    grid.RemoveItem(0);
    grid.RemoveItem(10);
    grid.AddItem(QString(), QVariant(0));
    grid.AddItem(QString(), QVariant(11));
    grid.AddItem(QString(), QVariant(QStringLiteral("not a number")));
    QCOMPARE(grid.GetRows(), 10L);
    QCOMPARE(grid.GetRow(), 1L);
    QCOMPARE(grid.GetCol(), 0L);
}

void TestGrid::setRows_data() {
    QTest::addColumn<long>("startRow");
    QTest::addColumn<long>("rows");
    QTest::addColumn<long>("row");
    QTest::addColumn<QStringList>("events");

    QTest::newRow("growing appends empty rows") << 20L << 41L << 20L << QStringList();
    QTest::newRow("shrinking above the current row") << 5L << 11L << 5L << QStringList();
    QTest::newRow("dropping the current row clamps it")
        << 20L << 11L << 10L << QStringList{"leave 20,3", "enter 10,3"};
    QTest::newRow("below one keeps the title row") << 20L << -5L << 1L << QStringList();
}

void TestGrid::setRows() {
    QFETCH(long, startRow);
    QFETCH(long, rows);
    QFETCH(long, row);
    QFETCH(QStringList, events);

    Window window(30);
    CMSFlexGrid* grid = window.grid;
    grid->SetCol(3);
    grid->SetRow(startRow);
    const QStringList before = SpNoColumn(grid);
    CellLog log(grid);
    grid->SetRows(rows);

    const long kept = std::min(std::max(rows, 1L) - 1, 30L);
    QCOMPARE(grid->GetRows(), std::max(rows, 1L));
    QCOMPARE(SpNoColumn(grid), before.mid(0, kept) + QStringList(grid->GetRows() - 1 - kept, ""));
    QCOMPARE(grid->GetRow(), row);
    QCOMPARE(grid->GetCol(), 3L);
    QCOMPARE(log.events, events);
}

void TestGrid::insertAndRemoveRows_data() {
    QTest::addColumn<long>("startRow");
    QTest::addColumn<long>("removeIndex"); // 0: AddItem instead
    QTest::addColumn<QVariant>("addIndex");
    QTest::addColumn<QString>("item");
    QTest::addColumn<QStringList>("spNo");
    QTest::addColumn<long>("shadedRow");
    QTest::addColumn<long>("row");
    QTest::addColumn<QStringList>("events");

    // Five rows a to e; row 3 is shaded.
    const QStringList none;
    QTest::newRow("add at row 1") << 2L << 0L << QVariant(1) << QString()
                                  << QStringList{"", "a", "b", "c", "d", "e"} << 4L << 2L << none;
    QTest::newRow("add below the shaded row")
        << 2L << 0L << QVariant(4) << QString() << QStringList{"a", "b", "c", "", "d", "e"} << 3L
        << 2L << none;
    QTest::newRow("add at Rows appends")
        << 5L << 0L << QVariant(6) << QString() << QStringList{"a", "b", "c", "d", "e", ""} << 3L
        << 5L << none;
    QTest::newRow("add without index appends, cells split on tabs")
        << 2L << 0L << QVariant() << QStringLiteral("0006\tx\t\t\t\t r\tmore")
        << QStringList{"a", "b", "c", "d", "e", "x"} << 3L << 2L << none;
    QTest::newRow("remove row 1") << 2L << 1L << QVariant() << QString()
                                  << QStringList{"b", "c", "d", "e"} << 2L << 2L << none;
    QTest::newRow("remove the current row") << 3L << 3L << QVariant() << QString()
                                            << QStringList{"a", "b", "d", "e"} << 0L << 3L << none;
    QTest::newRow("remove the current last row")
        << 5L << 5L << QVariant() << QString() << QStringList{"a", "b", "c", "d"} << 3L << 4L
        << QStringList{"leave 5,5", "enter 4,5"};
    QTest::newRow("remove above the current last row")
        << 5L << 1L << QVariant() << QString() << QStringList{"b", "c", "d", "e"} << 2L << 4L
        << QStringList{"leave 5,5", "enter 4,5"};
}

void TestGrid::insertAndRemoveRows() {
    QFETCH(long, startRow);
    QFETCH(long, removeIndex);
    QFETCH(QVariant, addIndex);
    QFETCH(QString, item);
    QFETCH(QStringList, spNo);
    QFETCH(long, shadedRow);
    QFETCH(long, row);
    QFETCH(QStringList, events);

    Window window(5);
    CMSFlexGrid* grid = window.grid;
    grid->SetCol(0);
    grid->SetRow(3);
    grid->SetCellBackColor(NUMBER);
    grid->SetCol(5);
    grid->SetRow(startRow);
    CellLog log(grid);
    if (removeIndex > 0)
        grid->RemoveItem(removeIndex);
    else
        grid->AddItem(item, addIndex);

    QCOMPARE(grid->GetRows(), long(spNo.size()) + 1);
    QCOMPARE(SpNoColumn(grid), spNo);
    QCOMPARE(ShadedRow(grid), shadedRow);
    if (!item.isEmpty()) {
        QCOMPARE(grid->GetTextMatrix(6, 0), QStringLiteral("0006"));
        QCOMPARE(grid->GetTextMatrix(6, 5), QStringLiteral(" r"));
    }
    // The current cell keeps its number unless that row is gone; rows moved under it.
    QCOMPARE(grid->GetRow(), row);
    QCOMPARE(grid->GetCol(), 5L);
    QCOMPARE(grid->currentIndex(), grid->model()->index(int(row - 1), 5));
    QCOMPARE(log.events, events);
}

enum Move { SetRow4, SetCol5, SetSameCell, KeyDown, KeyRight, KeyUp, Click, Drag, ClickTitle };

void TestGrid::cellEvents_data() {
    QTest::addColumn<int>("move");
    QTest::addColumn<QStringList>("events");
    QTest::addColumn<long>("row");
    QTest::addColumn<long>("col");

    const QStringList none;
    QTest::newRow("program sets Row")
        << int(SetRow4) << QStringList{"leave 1,2", "enter 4,2"} << 4L << 2L;
    QTest::newRow("program sets Col")
        << int(SetCol5) << QStringList{"leave 1,2", "enter 1,5"} << 1L << 5L;
    QTest::newRow("program sets the same cell") << int(SetSameCell) << none << 1L << 2L;
    QTest::newRow("Down key") << int(KeyDown) << QStringList{"leave 1,2", "enter 2,2"} << 2L << 2L;
    QTest::newRow("Right key") << int(KeyRight) << QStringList{"leave 1,2", "enter 1,3"} << 1L
                               << 3L;
    QTest::newRow("Up key stops below the title row") << int(KeyUp) << none << 1L << 2L;
    QTest::newRow("click") << int(Click) << QStringList{"leave 1,2", "enter 3,4"} << 3L << 4L;
    QTest::newRow("drag stays on the cell pressed")
        << int(Drag) << QStringList{"leave 1,2", "enter 3,4"} << 3L << 4L;
    QTest::newRow("click on a title") << int(ClickTitle) << none << 1L << 2L;
}

void TestGrid::cellEvents() {
    QFETCH(int, move);
    QFETCH(QStringList, events);
    QFETCH(long, row);
    QFETCH(long, col);

    Window window(30);
    CMSFlexGrid* grid = window.grid;
    grid->SetCol(2);
    grid->SetCellBackColor(SHADE);
    CellLog log(grid);
    QWidget* cells = grid->viewport();
    const QPoint cell34 = grid->visualRect(grid->model()->index(2, 4)).center();
    QHeaderView* titles = grid->horizontalHeader();
    switch (move) {
    case SetRow4:
        grid->SetRow(4);
        break;
    case SetCol5:
        grid->SetCol(5);
        break;
    case SetSameCell:
        grid->SetRow(1);
        grid->SetCol(2);
        break;
    case KeyDown:
    case KeyRight:
    case KeyUp:
        QTest::keyClick(grid, move == KeyDown ? Qt::Key_Down
                              : move == KeyUp ? Qt::Key_Up
                                              : Qt::Key_Right);
        break;
    case Click:
        QTest::mouseClick(cells, Qt::LeftButton, {}, cell34);
        break;
    case Drag:
        QTest::mousePress(cells, Qt::LeftButton, {}, cell34);
        QTest::mouseMove(cells, cell34 + QPoint(0, 3 * grid->rowHeight(0)));
        QTest::mouseRelease(cells, Qt::LeftButton, {}, cell34 + QPoint(0, 3 * grid->rowHeight(0)));
        break;
    case ClickTitle:
        QTest::mouseClick(titles->viewport(), Qt::LeftButton, {},
                          QPoint(titles->sectionViewportPosition(4) + 5, titles->height() / 2));
        break;
    }

    QCOMPARE(log.events, events);
    QCOMPARE(grid->GetRow(), row);
    QCOMPARE(grid->GetCol(), col);
    QCOMPARE(grid->currentIndex(), grid->model()->index(int(row - 1), int(col)));
    // The handlers' shading landed on the cells they were told about.
    QCOMPARE(grid->GetCellBackColor(), SHADE);
    QCOMPARE(grid->GetCellBackColorAt(1, 2), events.isEmpty() ? SHADE : PLAIN);
}

void TestGrid::typedKeysGoToTheWindow() {
    Window window(30);
    CMSFlexGrid* grid = window.grid;
    grid->SetTextMatrix(9, 2, QStringLiteral("ice"));
    grid->SetCol(2);
    const QList<int> keys{Qt::Key_I,      Qt::Key_O,      Qt::Key_R,     Qt::Key_Return,
                          Qt::Key_Escape, Qt::Key_Insert, Qt::Key_Delete};
    for (int key : keys)
        QTest::keyClick(grid, Qt::Key(key));
    QCOMPARE(window.keys, keys);
    QCOMPARE(grid->GetRow(), 1L);
    QCOMPARE(grid->GetCol(), 2L);
    QCOMPARE(grid->GetTextMatrix(1, 2), QString());
    // No input method on the grid: it would turn the operator's keys into composed text.
    QFocusEvent focusIn(QEvent::FocusIn, Qt::TabFocusReason);
    QApplication::sendEvent(grid, &focusIn);
    QVERIFY(!grid->testAttribute(Qt::WA_InputMethodEnabled));
}

void TestGrid::colWidthRoundTrip_data() {
    QTest::addColumn<long>("twips");
    QTest::addColumn<int>("pixels");

    QTest::newRow("660") << 660L << 44;
    QTest::newRow("720") << 720L << 48;
    QTest::newRow("1530") << 1530L << 102;
    QTest::newRow("2500, not a whole pixel") << 2500L << 166;
    QTest::newRow("7, below one pixel") << 7L << 0;
}

void TestGrid::colWidthRoundTrip() {
    QFETCH(long, twips);
    QFETCH(int, pixels);

    Window window(30);
    window.grid->SetColWidth(4, twips);
    QCOMPARE(window.grid->columnWidth(4), pixels);
    QCOMPARE(window.grid->GetColWidth(4), twips);
}

void TestGrid::userResizedWidth() {
    Window window(30);
    CMSFlexGrid* grid = window.grid;
    grid->SetColWidth(1, 2500);
    QHeaderView* titles = grid->horizontalHeader();
    const QPoint edge(titles->sectionViewportPosition(1) + titles->sectionSize(1) - 1,
                      titles->height() / 2);

    QTest::mousePress(titles->viewport(), Qt::LeftButton, {}, edge);
    QTest::mouseMove(titles->viewport(), edge - QPoint(20, 0));
    QCOMPARE(grid->GetColWidth(1), 146L * 15);
    // Dragged past the column's left edge: the column is shut.
    const QPoint shut(titles->sectionViewportPosition(1) - 10, edge.y());
    QTest::mouseMove(titles->viewport(), shut);
    QTest::mouseRelease(titles->viewport(), Qt::LeftButton, {}, shut);
    QCOMPARE(grid->GetColWidth(1), 0L);
    // Back at the width the setting produced, the value set reads back.
    titles->resizeSection(1, 166);
    QCOMPARE(grid->GetColWidth(1), 2500L);
}

void TestGrid::scrolling() {
    Window window(30);
    CMSFlexGrid* grid = window.grid;
    const int rowHeight = grid->rowHeight(0);

    // No event loop between the resize and the count, as in the window's layout step.
    grid->resize(600, grid->height() - grid->viewport()->height() + 8 * rowHeight + rowHeight / 2);
    QCOMPARE(VisibleRows(grid), 8L);
    QVERIFY(!grid->GetRowIsVisible(9)); // partly shown
    grid->SetTopRow(5);
    QCOMPARE(grid->GetTopRow(), 5L);
    QVERIFY(!grid->GetRowIsVisible(4));
    QCOMPARE(VisibleRows(grid), 8L);
    grid->SetTopRow(30); // stops where the last row is shown whole
    QCOMPARE(grid->GetTopRow(), 23L);
    QVERIFY(grid->GetRowIsVisible(30));
    grid->resize(600, grid->height() + 3 * rowHeight);
    grid->SetTopRow(1);
    QCOMPARE(VisibleRows(grid), 11L);

    // The program's moves leave the view alone; the user's keep the current cell in view.
    grid->SetRow(20);
    QCOMPARE(grid->GetTopRow(), 1L);
    grid->RemoveItem(20);
    QCOMPARE(grid->GetTopRow(), 1L);
    grid->SetRow(11);
    QTest::keyClick(grid, Qt::Key_Down);
    QCOMPARE(grid->GetTopRow(), 2L);

    // Widening the columns brings a horizontal scroll bar; LeftCol 0 scrolls back.
    for (long col = 0; col < grid->GetCols(); ++col)
        grid->SetColWidth(col, 3000);
    QCOMPARE(VisibleRows(grid), 10L);
    grid->SetLeftCol(2);
    QCOMPARE(grid->GetLeftCol(), 2L);
    grid->SetLeftCol(0);
    QCOMPARE(grid->columnViewportPosition(0), 0);
}

void TestGrid::cellGeometryOverlaysTheCell_data() {
    QTest::addColumn<long>("topRow");
    QTest::addColumn<long>("leftCol");
    QTest::addColumn<long>("row");
    QTest::addColumn<long>("col");

    QTest::newRow("first cell") << 1L << 0L << 1L << 0L;
    QTest::newRow("inner cell") << 1L << 0L << 4L << 2L;
    QTest::newRow("scrolled down") << 12L << 0L << 15L << 4L;
    QTest::newRow("scrolled sideways") << 1L << 2L << 3L << 3L;
}

void TestGrid::cellGeometryOverlaysTheCell() {
    QFETCH(long, topRow);
    QFETCH(long, leftCol);
    QFETCH(long, row);
    QFETCH(long, col);

    Window window(30);
    CMSFlexGrid* grid = window.grid;
    grid->SetColWidth(2, 1530);
    grid->SetColWidth(3, 2500);
    grid->SetTopRow(topRow);
    grid->SetLeftCol(leftCol);
    grid->SetRow(row);
    grid->SetCol(col);
    const QRect cell(grid->GetCellLeft() / 15, grid->GetCellTop() / 15, grid->GetCellWidth() / 15,
                     grid->GetCellHeight() / 15);
    const QModelIndex index = grid->model()->index(int(row - 1), int(col));

    QCOMPARE(cell.size(), grid->visualRect(index).size());
    QCOMPARE(grid->indexAt(grid->viewport()->mapFrom(grid, cell.topLeft())), index);
    QCOMPARE(grid->indexAt(grid->viewport()->mapFrom(grid, cell.bottomRight())), index);
    if (row == topRow)
        QCOMPARE(cell.top(), grid->horizontalHeader()->geometry().bottom() + 1);
    // As drawn: the shading fills the rectangle, framed by light grey grid lines.
    grid->SetCellBackColor(RgbColor(10, 200, 30));
    const QImage image = grid->grab().toImage();
    QCOMPARE(image.pixelColor(cell.topLeft()), QColor(10, 200, 30));
    QCOMPARE(image.pixelColor(cell.bottomRight()), QColor(10, 200, 30));
    QCOMPARE(image.pixelColor(cell.bottomRight() + QPoint(1, 1)), QColor(192, 192, 192));
}

// Platforms such as Windows and KDE give headers a proportional font of their own; the title
// row is a row of the grid and keeps the grid's face and size.
void TestGrid::titleRowIsInTheGridFont() {
    const QFont platformHeaders(QStringLiteral("DejaVu Sans"), 9);
    QApplication::setFont(platformHeaders, "QHeaderView");
    Window window(3);
    CMSFlexGrid& grid = *window.grid;
    const QFontInfo cells(grid.font());
    const QFontInfo titles(grid.horizontalHeader()->font());
    QCOMPARE(cells.pointSizeF(), 11.25);
    QCOMPARE(titles.family(), cells.family());
    QCOMPARE(titles.pointSizeF(), cells.pointSizeF());
    QCOMPARE(titles.fixedPitch(), cells.fixedPitch());

    QFont larger = grid.font();
    larger.setPointSizeF(14);
    grid.setFont(larger);
    QCOMPARE(grid.horizontalHeader()->font().pointSizeF(), 14.0);
    QApplication::setFont(QApplication::font(), "QHeaderView");
}

QTEST_MAIN(TestGrid)
#include "test_grid.moc"
