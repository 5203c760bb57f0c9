// The list as a document: capture, rows, durations, the frame check, edits, loading, undo and
// the modified state, and the one announcement each change makes. No widget, no window, no
// port, no settings file.
#include "list/spot_list.h"

#include <QtTest>

namespace {

Timecode Tc(const char* text) {
    return Timecode::FromText(text, TimecodeRate::Thirty(false));
}

struct DocList {
    CountingRules rules{3, false};
    SpotList list{[this] { return rules; }};
    QVector<ListChange> changes;
    int moves = 0; // cursor moves announced on their own or after a change

    DocList() {
        list.SetUp();
        QObject::connect(&list, &SpotList::Changed,
                         [this](ListChange what, const ListSnapshot&) { changes << what; });
        QObject::connect(&list, &SpotList::CurrentCellChanged, [this] { ++moves; });
    }
    QString Cell(long row, long col) const { return list.Cell(row, col); }
    // Cells as a file would have brought them: no step, nothing to save.
    void Lay(long row, long col, const QString& text) {
        ListSnapshot s = list.Snapshot();
        QString* cells[] = {&s.rows[row - 1].no,       &s.rows[row - 1].spNo,
                            &s.rows[row - 1].in,       &s.rows[row - 1].out,
                            &s.rows[row - 1].duration, &s.rows[row - 1].remark};
        *cells[col] = text;
        list.Restore(s);
        list.ClearHistory();
        list.MarkSaved();
        changes.clear();
    }
    void MoveTo(long row, long col) { list.SetCurrentCell(row, col); }
    QString Here() const { return QStringLiteral("%1,%2").arg(list.Row()).arg(list.Col()); }
};

} // namespace

class TestSpotList : public QObject {
    Q_OBJECT
private slots:
    void spotWalkFillsRowsAndPullsBackTheOutBeforeATightIn() {
        DocList l;
        l.list.CaptureIn(Tc("01:00:00:00"), false);
        QCOMPARE(l.Here(), QStringLiteral("1,3"));
        l.list.CaptureOut(Tc("01:00:10:00"), false);
        QCOMPARE(l.Cell(1, COL_DURATION), QStringLiteral("00:00:10:00"));
        QCOMPARE(l.Here(), QStringLiteral("2,2"));
        QCOMPARE(l.Cell(2, COL_SPNO), QStringLiteral("0002")); // shown before it is captured

        // One frame after the previous OUT: the frame check of 3 pulls that OUT back.
        l.list.CaptureIn(Tc("01:00:10:01"), false);
        QCOMPARE(l.Cell(1, COL_OUT), QStringLiteral("01:00:09:28"));
        QCOMPARE(l.Cell(1, COL_DURATION), QStringLiteral("00:00:09:28"));
        l.list.CaptureOut(Tc("01:00:20:00"), false);
        QCOMPARE(l.Cell(2, COL_NO), QStringLiteral("0002"));
        QCOMPARE(l.Cell(2, COL_DURATION), QStringLiteral("00:00:09:29"));
        QCOMPARE(l.Here(), QStringLiteral("3,2"));
        // Each capture was one change, however many cells it wrote.
        QCOMPARE(l.changes, (QVector<ListChange>{ListChange::CaptureIn, ListChange::CaptureOut,
                                                 ListChange::CaptureIn, ListChange::CaptureOut}));
    }

    void captureEdgesOfTheList() {
        DocList l;
        // OUT on the last row stays there and adds no row.
        l.MoveTo(30, COL_OUT);
        l.list.CaptureOut(Tc("01:00:10:05"), false);
        QCOMPARE(l.list.RowCount(), 30L);
        QCOMPARE(l.Here(), QStringLiteral("30,2"));
        QCOMPARE(l.Cell(30, COL_OUT), QStringLiteral("01:00:10:05"));

        // A hand-typed spot number survives any number of captures.
        l.MoveTo(2, COL_SPNO);
        l.list.WriteEditedCell(QStringLiteral("A7"));
        l.MoveTo(1, COL_IN);
        for (int i = 0; i < 3; ++i) {
            l.list.CaptureIn(Tc("01:00:00:00"), false);
            l.list.CaptureOut(Tc("01:00:01:00"), false);
        }
        QCOMPARE(l.Cell(2, COL_SPNO), QStringLiteral("A7"));

        // A silent source captures 00:00:00:00, as a silent deck always has.
        l.MoveTo(5, COL_IN);
        l.list.CaptureIn(Timecode(), false);
        QCOMPARE(l.Cell(5, COL_IN), QStringLiteral("00:00:00:00"));
    }

    void insertionStopsAtFortyRows() {
        DocList l;
        l.MoveTo(1, COL_REMARK);
        QVERIFY(l.list.InsertRow());
        QCOMPARE(l.Cell(1, COL_SPNO), QString());
        QCOMPARE(l.Cell(2, COL_SPNO), QStringLiteral("0001"));
        QCOMPARE(l.Cell(2, COL_NO), QStringLiteral("0002"));
        QCOMPARE(l.Here(), QStringLiteral("1,2")); // the new row's IN
        l.MoveTo(5, COL_NO);
        for (int i = 0; i < 9; ++i) {
            QVERIFY(l.list.InsertRow());
        }
        QCOMPARE(l.list.RowCount(), 40L);
        l.MoveTo(7, COL_OUT);
        l.changes.clear();
        QVERIFY(!l.list.InsertRow());
        QCOMPARE(l.list.RowCount(), 40L);
        QCOMPARE(l.Here(), QStringLiteral("7,3"));
        QCOMPARE(l.changes.size(), 0);
        for (long r = 1; r <= 40; ++r) {
            QCOMPARE(l.Cell(r, COL_NO), RowLabel(r));
        }
    }

    void deletionStopsAtOneRow() {
        DocList l;
        l.MoveTo(30, COL_OUT);
        QVERIFY(l.list.DeleteRow());
        QCOMPARE(l.Here(), QStringLiteral("29,3")); // the new last row, same column
        l.MoveTo(1, COL_DURATION);
        l.list.DeleteRow();
        QCOMPARE(l.Cell(1, COL_SPNO), QString()); // row 2 moved up, "0001" went
        while (l.list.RowCount() > 1) {
            l.list.DeleteRow();
        }
        QVERIFY(!l.list.DeleteRow());
        QCOMPARE(l.list.RowCount(), 1L);
        QCOMPARE(l.Cell(1, COL_NO), QStringLiteral("0001"));
    }

    // Which cells the row arithmetic reads and writes, and how the rules steer it; the
    // arithmetic itself is the timecode module's and tested there.
    void calcDuration_data() {
        QTest::addColumn<QString>("out");
        QTest::addColumn<int>("drop");
        QTest::addColumn<int>("write");
        QTest::addColumn<int>("result");
        QTest::addColumn<QString>("duration");
        QTest::addColumn<int>("fps"); // the list's rate; IN is 00:00:59:18
        const QString stale = QStringLiteral("stale");
        QTest::newRow("writes OUT minus IN")
            << "00:01:00:02" << 0 << 1 << 14 << "00:00:00:14" << 30;
        QTest::newRow("drop 1 counts drop-frame")
            << "00:01:00:02" << 1 << 1 << 12 << "00:00:00:12" << 30;
        QTest::newRow("drop 2 counts non-drop")
            << "00:01:00:02" << 2 << 1 << 14 << "00:00:00:14" << 30;
        QTest::newRow("write 0 only returns") << "00:01:00:02" << 0 << 0 << 14 << stale << 30;
        QTest::newRow("unreadable OUT empties DURATION") << "00:01:00" << 0 << 1 << 0 << "" << 30;
        QTest::newRow("unreadable OUT with write 0 leaves it")
            << "00:01" << 0 << 0 << 0 << stale << 30;
        QTest::newRow("25 counts 25 frames a second, never drop-frame")
            << "00:01:00:02" << 1 << 1 << 9 << "00:00:00:09" << 25;
        QTest::newRow("24 counts 24") << "00:01:00:02" << 0 << 1 << 8 << "00:00:00:08" << 24;
        QTest::newRow("frame 25 does not exist at 25") << "00:01:00:25" << 0 << 1 << 0 << "" << 25;
        QTest::newRow("loose OUT text is kept and counts")
            << " 0:1:0:2 x" << 0 << 1 << 14 << "00:00:00:14" << 30;
        QTest::newRow("a skipped drop-frame label counts as the frame before")
            << "00:01:00:00" << 1 << 1 << 10 << "00:00:00:10" << 30;
    }
    void calcDuration() {
        QFETCH(QString, out);
        QFETCH(int, drop);
        QFETCH(int, write);
        QFETCH(int, result);
        QFETCH(QString, duration);
        QFETCH(int, fps);
        DocList l;
        l.list.SetFrameRate(fps);
        l.Lay(3, COL_IN, QStringLiteral("00:00:59:18"));
        l.Lay(3, COL_OUT, out);
        l.Lay(3, COL_DURATION, QStringLiteral("stale"));
        // The counting the menu chose after the cells were written applies all the same.
        l.rules.drop = drop == 1;
        QCOMPARE(l.list.CalcDuration(3, write), result);
        QCOMPARE(l.Cell(3, COL_DURATION), duration);
        QCOMPARE(l.Cell(3, COL_OUT), out);
    }

    void frameCheck_data() {
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("flag");
        QTest::addColumn<int>("gap");
        QTest::addColumn<QString>("prevOut");
        QTest::newRow("narrow gap moves the previous OUT") << 5 << 1 << 3 << "00:00:20:09";
        QTest::newRow("the rule's gap applies") << 5 << 1 << 1 << "00:00:20:10";
        QTest::newRow("flag other than 1 does nothing") << 5 << 0 << 3 << "00:00:20:10";
        QTest::newRow("row 1 has no row above") << 1 << 1 << 3 << "";
    }
    void frameCheck() {
        QFETCH(int, row);
        QFETCH(int, flag);
        QFETCH(int, gap);
        QFETCH(QString, prevOut);
        DocList l;
        l.rules.frameCheck = gap;
        if (row > 1) {
            l.Lay(row - 1, COL_OUT, QStringLiteral("00:00:20:10"));
            l.Lay(row - 1, COL_DURATION, QStringLiteral("old"));
        }
        l.Lay(row, COL_IN, QStringLiteral("00:00:20:12"));
        l.list.ApplyFrameCheck(row, flag);
        QCOMPARE(l.Cell(row - 1, COL_OUT), prevOut);
        // The caller recomputes the previous duration; the frame check itself leaves it.
        QCOMPARE(l.Cell(row - 1, COL_DURATION), row > 1 ? QStringLiteral("old") : QString());
    }

    void editsLoadsAndRestoresAreChangesLikeAnyOther() {
        DocList l;
        // An empty IN starts its edit from the timecode, which stays in the cell.
        l.MoveTo(2, COL_IN);
        QCOMPARE(l.list.EditStartText(Tc("01:02:03:04")), QStringLiteral("01:02:03:04"));
        QCOMPARE(l.Cell(2, COL_IN), QStringLiteral("01:02:03:04"));
        // A remark is edited without the space the cell keeps, and written back with it.
        l.MoveTo(2, COL_REMARK);
        l.list.WriteEditedCell(QStringLiteral("CM1"));
        QCOMPARE(l.Cell(2, COL_REMARK), QStringLiteral(" CM1"));
        QCOMPARE(l.list.EditStartText(Timecode()), QStringLiteral("CM1"));
        l.list.WriteEditedCell(QString());
        QCOMPARE(l.Cell(2, COL_REMARK), QString());

        // A file's rows replace the list and may grow it; the file's DURATION is computed again.
        const ListSnapshot before = l.list.Snapshot();
        QVector<ListRowText> rows(35);
        rows[34] = ListRowText{"0035", "SP", "01:00:00:00", "01:00:01:00", "x", " r"};
        l.list.LoadRows(35, rows);
        QCOMPARE(l.list.RowCount(), 35L);
        QCOMPARE(l.Cell(35, COL_SPNO), QStringLiteral("SP"));
        QCOMPARE(l.Cell(35, COL_DURATION), QStringLiteral("00:00:01:00"));
        QCOMPARE(l.Cell(2, COL_IN), QString());

        // A snapshot puts back cells, row count and current cell, and numbers its rows anew:
        // a copy's own numbers are never trusted.
        ListSnapshot renumbered = before;
        renumbered.rows[4].no = QStringLiteral("0001");
        l.list.Restore(renumbered);
        QCOMPARE(l.list.Snapshot(), before);
        QCOMPARE(l.list.RowCount(), 30L);
        QCOMPARE(l.Cell(2, COL_IN), QStringLiteral("01:02:03:04"));
        QCOMPARE(l.changes,
                 (QVector<ListChange>{ListChange::EditStart, ListChange::Edit, ListChange::Edit,
                                      ListChange::Load, ListChange::Restore}));
    }

    void historyKeepsAHundredStepsAndNoLoadsOrRestores() {
        DocList l;
        QVector<ListSnapshot> before;
        for (int i = 0; i < 150; ++i) {
            l.MoveTo(1 + i % 20, COL_IN);
            before << l.list.Snapshot();
            l.list.CaptureIn(Tc(qPrintable(QString::asprintf("01:00:%02d:00", i % 60))), false);
        }
        for (int i = 0; i < 100; ++i) {
            QVERIFY(l.list.Undo());
        }
        QCOMPARE(l.list.Snapshot(), before.at(50));

        // A new change drops what could be redone; loading a file and restoring are no steps.
        l.list.InsertRow();
        QVERIFY(!l.list.CanRedo());
        const int steps = l.list.HistorySteps();
        l.list.Restore(before.first());
        QCOMPARE(l.list.HistorySteps(), steps);
        l.list.LoadRows(30, QVector<ListRowText>(30));
        QCOMPARE(l.list.HistorySteps(), 0);
    }

    // A rate change counts every duration again, names the rows it cannot count, and is one
    // step that undo takes back whole.
    void aRateChangeRecountsAndNamesWhatItCannotCount() {
        DocList l;
        l.Lay(1, COL_IN, QStringLiteral("00:00:00:10"));
        l.Lay(1, COL_OUT, QStringLiteral("00:00:01:00"));
        l.Lay(2, COL_IN, QStringLiteral("00:00:00:27"));
        l.Lay(2, COL_OUT, QStringLiteral("00:00:02:00"));
        l.list.RecomputeDurations();
        const ListSnapshot at30 = l.list.Snapshot();
        QCOMPARE(l.list.SetFrameRate(25), QVector<int>{2});
        QCOMPARE(l.Cell(1, COL_DURATION), QStringLiteral("00:00:00:15"));
        QCOMPARE(l.Cell(2, COL_IN), QStringLiteral("00:00:00:27"));
        QCOMPARE(l.Cell(2, COL_DURATION), QString());
        QCOMPARE(l.list.SetFrameRate(26), QVector<int>{});
        QCOMPARE(l.list.FrameRate(), 25);
        QVERIFY(l.list.Undo());
        QCOMPARE(l.list.Snapshot(), at30);
        QCOMPARE(l.changes.last(), ListChange::Restore);
    }

    // Modified is whether the revision moved since the list was saved or opened: every change
    // moves it, an undo too; a cursor move or a load does not.
    void modifiedFollowsTheRevision() {
        DocList l;
        QVERIFY(!l.list.IsModified());
        l.MoveTo(4, COL_OUT);
        QVERIFY(!l.list.IsModified());
        QCOMPARE(l.moves, 1);
        QVERIFY(l.changes.isEmpty());
        l.list.CaptureIn(Tc("01:00:00:00"), false);
        QVERIFY(l.list.IsModified());
        l.list.MarkSaved();
        QVERIFY(l.list.Undo());
        QVERIFY(l.list.IsModified());
        l.list.MarkSaved();
        QVERIFY(l.list.InsertRow());
        QVERIFY(l.list.IsModified());
        l.list.MarkSaved();
        l.list.LoadRows(30, QVector<ListRowText>(30));
        l.list.RecomputeDurations();
        QVERIFY(!l.list.IsModified());
        l.list.MarkModified();
        QVERIFY(l.list.IsModified());
    }

    void aChangeOfSeveralStepsIsAnnouncedOnceWithTheListBeforeIt() {
        DocList l;
        ListSnapshot announced;
        QObject::connect(&l.list, &SpotList::Changed,
                         [&](ListChange, const ListSnapshot& before) { announced = before; });
        const ListSnapshot before = l.list.Snapshot();
        {
            SpotList::Change change(l.list, ListChange::Edit);
            l.list.WriteEditedCell(QStringLiteral("01:00:00:00"));
            l.list.CaptureIn(Tc("01:00:00:00"), true);
            QCOMPARE(l.changes.size(), 0);
        }
        QCOMPARE(l.changes, QVector<ListChange>{ListChange::Edit});
        QCOMPARE(announced, before);
        QVERIFY(l.list.Snapshot() != before);
    }
};

QTEST_GUILESS_MAIN(TestSpotList)
#include "test_spot_list.moc"
