// The list's keys and buttons as the operator uses them: they reach the list library, leave
// the focus on the grid and keep the modified flag.
#include "list_window.h"

#include "platform/file_dialog.h"
#include "platform/help.h"
#include "platform/menu_open.h"
#include "platform/modal.h"

#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSignalSpy>

class TestListKeys : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        SetFileDialogHook(nullptr);
        SetModalHook(nullptr);
    }

    // F1 to F4 type Alt, Right and Enter on the old system, which opens the pop-up with its
    // first item selected; an operator works the menus from memory on that basis.
    void functionKeysOpenTheirMenuAtTheFirstItem_data() {
        QTest::addColumn<int>("key"); // 0: the direct call that stands in for the keys
        QTest::addColumn<int>("menu");
        QTest::addColumn<int>("downs");
        QTest::addColumn<int>("command");
        QTest::newRow("F1 Enter runs Open") << int(Qt::Key_F1) << 0 << 0 << ID_FILE_OPEN;
        QTest::newRow("F1 Down Enter runs Save As") << int(Qt::Key_F1) << 0 << 1 << ID_FILE_SAVEAS;
        QTest::newRow("F2 Enter picks 3 frames NonDrop")
            << int(Qt::Key_F2) << 1 << 0 << ID_FRAMECHECK_3_NONDROP;
        QTest::newRow("F3 Down Enter picks COM2") << int(Qt::Key_F3) << 2 << 1 << ID_COM2;
        QTest::newRow("F4 Down Enter opens the about box")
            << int(Qt::Key_F4) << 3 << 1 << ID_HELP_ABOUT;
        QTest::newRow("direct call, first menu") << 0 << 0 << 0 << ID_FILE_OPEN;
        QTest::newRow("direct call, third menu, Down") << 0 << 2 << 1 << ID_COM2;
    }
    void functionKeysOpenTheirMenuAtTheFirstItem() {
        QFETCH(int, key);
        QFETCH(int, menu);
        QFETCH(int, downs);
        QFETCH(int, command);
        ListWindow w;
        // The commands' own dialogs are answered at once: cancelled, closed.
        SetFileDialogHook([](const FileDialogRequest&) { return QString(); });
        SetModalHook([](QDialog&) { return 0; });
        QAction* item = w.dlg->MenuItem(command);
        QVERIFY(item);
        QSignalSpy ran(item, &QAction::triggered);

        if (key != 0) {
            w.Press(key);
        } else {
            QueueMenuOpen(w.dlg->MenuBar(), menu);
        }
        QMenu* popup = w.dlg->MenuBar()->actions().at(menu)->menu();
        QTRY_VERIFY(popup->isVisible());
        QCOMPARE(popup->activeAction(), popup->actions().first());
        QCOMPARE(TwHelpWindow(), nullptr); // F1 starts no help
        for (int i = 0; i < downs; ++i) {
            QTest::keyClick(popup, Qt::Key_Down);
        }
        QCOMPARE(popup->activeAction(), item);
        QTest::keyClick(popup, Qt::Key_Return);

        QCOMPARE(ran.count(), 1);
        QTRY_VERIFY(!popup->isVisible());
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
        QApplication::sendEvent(&w.dlg->Grid(), &press);
        QCOMPARE(w.Cell(1, COL_IN), captures ? QStringLiteral("01:00:10:05") : QString());
        QCOMPARE(w.dlg->GetSession().List().IsModified(), captures);
    }

    void buttonsLeaveTheFocusOnTheGrid() {
        ListWindow w;
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_IN), Qt::LeftButton);
        QVERIFY(w.GridFocused());
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_OUT), Qt::LeftButton);
        QVERIFY(w.GridFocused());
        QCOMPARE(w.Cell(1, COL_DURATION), QStringLiteral("00:00:00:00"));
        w.Press(Qt::Key_Return); // the next Enter opens an edit
        QVERIFY(w.dlg->Editor().Edit().hasFocus());
    }

    void theLimitsLeaveTheModifiedFlag() {
        ListWindow w;
        while (w.dlg->Grid().GetRows() > 2) {
            QTest::mouseClick(w.dlg->GetDlgItem(IDC_DEL), Qt::LeftButton);
        }
        QCOMPARE(w.dlg->GetSession().List().IsModified(), true);
        w.dlg->GetSession().List().MarkSaved();
        w.Press(Qt::Key_Delete);
        QCOMPARE(w.dlg->Grid().GetRows(), 2L);
        QCOMPARE(w.dlg->GetSession().List().IsModified(), false);
        for (int i = 0; i < MAX_LIST_ROWS - 1; ++i) {
            w.Press(Qt::Key_Insert);
        }
        QCOMPARE(w.dlg->Grid().GetRows(), long(MAX_LIST_ROWS + 1));
        w.dlg->GetSession().List().MarkSaved();
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_INS), Qt::LeftButton);
        QCOMPARE(w.dlg->GetSession().List().IsModified(), false);
    }
};

QTEST_MAIN(TestListKeys)
#include "test_list_keys.moc"
