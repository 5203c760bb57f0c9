// IN/OUT capture and row insertion and deletion, driven by the keys and buttons the
// operator uses.
#include "list_window.h"

#include <QPushButton>

class TestCaptureRows : public QObject {
    Q_OBJECT
private slots:
    void spotWalkFillsRowsAndPullsBackTheOutBeforeATightIn() {
        ListWindow w;
        w.SetTimecode("01000000");
        w.Press(Qt::Key_I);
        QCOMPARE(w.dlg->m_grid.GetCol(), long(COL_OUT));
        w.SetTimecode("01001000");
        w.Press(Qt::Key_O);
        QCOMPARE(w.Cell(1, COL_DURATION), QStringLiteral("00:00:10:00"));
        QCOMPARE(w.dlg->m_grid.GetRow(), 2L);
        QCOMPARE(w.dlg->m_grid.GetCol(), long(COL_IN));
        QCOMPARE(w.Cell(2, COL_SPNO), QStringLiteral("0002")); // shown before it is captured

        // One frame after the previous OUT: the frame check of 3 pulls that OUT back.
        w.SetTimecode("01001001");
        w.Press(Qt::Key_I);
        QCOMPARE(w.Cell(1, COL_OUT), QStringLiteral("01:00:09:28"));
        QCOMPARE(w.Cell(1, COL_DURATION), QStringLiteral("00:00:09:28"));
        w.SetTimecode("01002000");
        w.Press(Qt::Key_O);
        QCOMPARE(w.Cell(2, COL_NO), QStringLiteral("0002"));
        QCOMPARE(w.Cell(2, COL_IN), QStringLiteral("01:00:10:01"));
        QCOMPARE(w.Cell(2, COL_DURATION), QStringLiteral("00:00:09:29"));
        QCOMPARE(w.dlg->m_grid.GetRow(), 3L);
        QCOMPARE(w.dlg->m_bModified, 1);
        // The cursor's shading followed it.
        QCOMPARE(w.dlg->m_grid.GetCellBackColorAt(3, COL_IN), COLOR_CURRENT_CELL);
        QCOMPARE(w.dlg->m_grid.GetCellBackColorAt(2, COL_OUT), COLOR_PLAIN_CELL);
    }

    void outOnTheLastRowStaysThereAndAddsNoRow() {
        ListWindow w;
        w.MoveTo(30, COL_OUT);
        w.Press(Qt::Key_O);
        QCOMPARE(w.dlg->m_grid.GetRows(), 31L);
        QCOMPARE(w.dlg->m_grid.GetRow(), 30L);
        QCOMPARE(w.dlg->m_grid.GetCol(), long(COL_IN));
        QCOMPARE(w.Cell(30, COL_OUT), QStringLiteral("01:00:10:05"));
    }

    void handTypedSpotNumberSurvivesCaptures() {
        ListWindow w;
        w.EditCell(2, COL_SPNO, QStringLiteral("A7"));
        w.MoveTo(1, COL_IN);
        for (int key : {Qt::Key_I, Qt::Key_O, Qt::Key_I, Qt::Key_O, Qt::Key_I}) {
            w.Press(key);
        }
        QCOMPARE(w.Cell(2, COL_SPNO), QStringLiteral("A7"));
    }

    void emptyTimecodeCapturesNothing() {
        ListWindow w;
        w.dlg->m_szTimecode[0] = '\0';
        w.dlg->GetDlgItem(IDC_IN)->setFocus();
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_OUT), Qt::LeftButton);
        w.Press(Qt::Key_I);
        QCOMPARE(w.Cell(1, COL_IN), QString());
        QCOMPARE(w.Cell(1, COL_OUT), QString());
        QCOMPARE(w.dlg->m_grid.GetRow(), 1L);
        QCOMPARE(w.dlg->m_grid.GetCol(), long(COL_IN));
        QCOMPARE(w.dlg->m_bModified, 0);
        QVERIFY(w.GridFocused());
    }

    void captureKeysActAsTheButtons_data() {
        QTest::addColumn<int>("modifiers");
        QTest::addColumn<bool>("autoRepeat");
        QTest::addColumn<bool>("captures");
        QTest::newRow("I") << int(Qt::NoModifier) << false << true;
        QTest::newRow("Shift+I") << int(Qt::ShiftModifier) << false << true;
        QTest::newRow("Ctrl+I") << int(Qt::ControlModifier) << false << true;
        QTest::newRow("auto-repeated I") << int(Qt::NoModifier) << true << true;
        QTest::newRow("Alt+I is the system's") << int(Qt::AltModifier) << false << false;
    }
    void captureKeysActAsTheButtons() {
        QFETCH(int, modifiers);
        QFETCH(bool, autoRepeat);
        QFETCH(bool, captures);
        ListWindow w;
        QKeyEvent press(QEvent::KeyPress, Qt::Key_I, Qt::KeyboardModifiers(modifiers),
                        QStringLiteral("i"), autoRepeat);
        QApplication::sendEvent(&w.dlg->m_grid, &press);
        QCOMPARE(w.Cell(1, COL_IN), captures ? QStringLiteral("01:00:10:05") : QString());
        QCOMPARE(w.dlg->m_bModified, captures ? 1 : 0);
    }

    void buttonsLeaveTheFocusOnTheGrid() {
        ListWindow w;
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_IN), Qt::LeftButton);
        QVERIFY(w.GridFocused());
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_OUT), Qt::LeftButton);
        QVERIFY(w.GridFocused());
        QCOMPARE(w.Cell(1, COL_DURATION), QStringLiteral("00:00:00:00"));
        w.Press(Qt::Key_Return); // the next Enter opens an edit
        QVERIFY(w.dlg->m_editCell.hasFocus());
    }

    void insertionStopsAtFortyRows() {
        ListWindow w;
        w.MoveTo(1, COL_REMARK);
        w.Press(Qt::Key_Insert);
        QCOMPARE(w.Cell(1, COL_SPNO), QString());
        QCOMPARE(w.Cell(2, COL_SPNO), QStringLiteral("0001"));
        QCOMPARE(w.Cell(2, COL_NO), QStringLiteral("0002"));
        // The shading stayed with the cursor, not with the row that moved down.
        QCOMPARE(w.dlg->m_grid.GetCellBackColorAt(2, COL_REMARK), COLOR_PLAIN_CELL);
        QCOMPARE(w.dlg->m_grid.GetCellBackColorAt(1, COL_IN), COLOR_CURRENT_CELL);
        QCOMPARE(w.dlg->m_grid.GetCellBackColorAt(1, COL_NO), COLOR_NUMBER_CELL);
        w.MoveTo(5, COL_NO);
        for (int i = 0; i < 9; ++i) {
            QTest::mouseClick(w.dlg->GetDlgItem(IDC_INS), Qt::LeftButton);
        }
        QCOMPARE(w.dlg->m_grid.GetRows(), 41L);
        QCOMPARE(w.dlg->m_grid.GetCellBackColorAt(14, COL_NO), COLOR_NUMBER_CELL);
        w.MoveTo(7, COL_OUT);
        w.dlg->SetModified(0);
        w.Press(Qt::Key_Insert);
        QCOMPARE(w.dlg->m_grid.GetRows(), 41L);
        QCOMPARE(w.dlg->m_grid.GetCol(), long(COL_OUT));
        QCOMPARE(w.dlg->m_bModified, 0);
        for (long r = 1; r <= 40; ++r) {
            QCOMPARE(w.Cell(r, COL_NO), QString::asprintf("%04ld", r));
        }
    }

    void deletionStopsAtOneRow() {
        ListWindow w;
        w.MoveTo(30, COL_OUT);
        w.Press(Qt::Key_Delete);
        QCOMPARE(w.dlg->m_grid.GetRow(), 29L); // the new last row, same column
        QCOMPARE(w.dlg->m_grid.GetCol(), long(COL_OUT));
        QCOMPARE(w.dlg->m_grid.GetCellBackColorAt(29, COL_OUT), COLOR_CURRENT_CELL);
        w.MoveTo(1, COL_DURATION);
        w.Press(Qt::Key_Delete);
        QCOMPARE(w.Cell(1, COL_SPNO), QString()); // row 2 moved up, "0001" went
        QCOMPARE(w.dlg->m_grid.GetCellBackColorAt(1, COL_DURATION), COLOR_PLAIN_CELL);
        while (w.dlg->m_grid.GetRows() > 2) {
            QTest::mouseClick(w.dlg->GetDlgItem(IDC_DEL), Qt::LeftButton);
        }
        w.dlg->SetModified(0);
        w.Press(Qt::Key_Delete);
        QCOMPARE(w.dlg->m_grid.GetRows(), 2L);
        QCOMPARE(w.Cell(1, COL_NO), QStringLiteral("0001"));
        QCOMPARE(w.dlg->m_bModified, 0);
    }
};

QTEST_MAIN(TestCaptureRows)
#include "test_capture_rows.moc"
