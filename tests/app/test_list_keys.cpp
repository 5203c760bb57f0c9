// The list's keys and buttons as the operator uses them: they reach the list library, leave
// the focus on the grid and keep the modified flag.
#include "list_window.h"

#include <QPushButton>

class TestListKeys : public QObject {
    Q_OBJECT
private slots:
    void emptyTimecodeCapturesNothing() {
        ListWindow w;
        w.probe().m_szTimecode[0] = '\0';
        w.dlg->GetDlgItem(IDC_IN)->setFocus();
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_OUT), Qt::LeftButton);
        w.Press(Qt::Key_I);
        QCOMPARE(w.Cell(1, COL_IN), QString());
        QCOMPARE(w.Cell(1, COL_OUT), QString());
        QCOMPARE(w.probe().m_grid.GetRow(), 1L);
        QCOMPARE(w.probe().m_grid.GetCol(), long(COL_IN));
        QCOMPARE(w.probe().m_bModified, 0);
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
        QApplication::sendEvent(&w.probe().m_grid, &press);
        QCOMPARE(w.Cell(1, COL_IN), captures ? QStringLiteral("01:00:10:05") : QString());
        QCOMPARE(w.probe().m_bModified, captures ? 1 : 0);
    }

    void buttonsLeaveTheFocusOnTheGrid() {
        ListWindow w;
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_IN), Qt::LeftButton);
        QVERIFY(w.GridFocused());
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_OUT), Qt::LeftButton);
        QVERIFY(w.GridFocused());
        QCOMPARE(w.Cell(1, COL_DURATION), QStringLiteral("00:00:00:00"));
        w.Press(Qt::Key_Return); // the next Enter opens an edit
        QVERIFY(w.probe().m_editCell.hasFocus());
    }

    void theLimitsLeaveTheModifiedFlag() {
        ListWindow w;
        while (w.probe().m_grid.GetRows() > 2) {
            QTest::mouseClick(w.dlg->GetDlgItem(IDC_DEL), Qt::LeftButton);
        }
        QCOMPARE(w.probe().m_bModified, 1);
        w.probe().SetModified(0);
        w.Press(Qt::Key_Delete);
        QCOMPARE(w.probe().m_grid.GetRows(), 2L);
        QCOMPARE(w.probe().m_bModified, 0);
        for (int i = 0; i < MAX_LIST_ROWS - 1; ++i) {
            w.Press(Qt::Key_Insert);
        }
        QCOMPARE(w.probe().m_grid.GetRows(), long(MAX_LIST_ROWS + 1));
        w.probe().SetModified(0);
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_INS), Qt::LeftButton);
        QCOMPARE(w.probe().m_bModified, 0);
    }
};

QTEST_MAIN(TestListKeys)
#include "test_list_keys.moc"
