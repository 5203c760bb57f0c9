// The grid's context menu and what it reaches: undo and redo of the list, with their keys,
// and the exports.
#include "box_answers.h"
#include "formats/list_export.h"
#include "list_window.h"

#include <QFileDialog>
#include <QLabel>
#include <QMenuBar>

namespace {

void Undo(ListWindow& w) {
    w.Press(Qt::Key_Z, Qt::ControlModifier);
}

// The context menu's export of a format, named by the converter's option.
QAction* ExportItem(ListWindow& w, const char* option) {
    const InterchangeFormat* format = InterchangeFormatOfOption(QLatin1String(option));
    return format ? w.dlg->MenuItem(format->commandId) : nullptr;
}

} // namespace

class TestGridMenu : public QObject {
    Q_OBJECT
private slots:
    // First: the real dialog, before anything in this process has moved its folder.
    void exportDialogStartsInTheWorkingFolderWithAProposedName() {
        ListWindow w;
        QString title, proposed;
        WhenUp([&](QWidget* up) {
            title = up->windowTitle();
            proposed = qobject_cast<QFileDialog*>(up)->selectedFiles().value(0);
        });
        ExportItem(w, "csv")->trigger();
        QCOMPARE(title, QStringLiteral("CSV形式で書き出し"));
        QCOMPARE(proposed, w.folder.path("spotlist.csv"));
    }

    void eachChangeUndoesInOneStep_data() {
        QTest::addColumn<int>("row"); // where the cursor is before the change
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys"); // typed: Enter is \n, Insert +, Delete -
        QTest::newRow("IN pulling the OUT above back") << 2 << COL_IN << "i";
        QTest::newRow("OUT") << 2 << COL_OUT << "o";
        QTest::newRow("edit of an empty IN, filled from the timecode") << 2 << COL_IN << "\n2\n";
        QTest::newRow("remark, the cursor moving on") << 1 << COL_REMARK << "\nCM\n";
        QTest::newRow("spot number") << 1 << COL_SPNO << "\n7\n";
        QTest::newRow("insertion") << 2 << COL_IN << "+";
        QTest::newRow("deletion") << 1 << COL_OUT << "-";
    }
    void eachChangeUndoesInOneStep() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, keys);
        ListWindow w;
        w.Press(Qt::Key_I);
        w.SetTimecode("01:00:10:09");
        w.Press(Qt::Key_O);
        w.MoveTo(row, col);
        const ListSnapshot before = w.dlg->GetSession().List().Snapshot();
        for (QChar c : keys) {
            const int key = c == '\n'  ? Qt::Key_Return
                            : c == '+' ? Qt::Key_Insert
                            : c == '-' ? Qt::Key_Delete
                                       : 0;
            key ? w.Press(key) : w.Type(c);
        }
        const ListSnapshot after = w.dlg->GetSession().List().Snapshot();
        QVERIFY(after != before);
        w.dlg->GetSession().List().MarkSaved();
        Undo(w);
        QCOMPARE(w.dlg->GetSession().List().Snapshot(), before);
        QCOMPARE(w.dlg->GetSession().List().IsModified(), true);
        w.Press(Qt::Key_Y, Qt::ControlModifier);
        QCOMPARE(w.dlg->GetSession().List().Snapshot(), after);
        Undo(w);
        w.Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QCOMPARE(w.dlg->GetSession().List().Snapshot(), after);
        QVERIFY(w.GridFocused());
    }

    // A remark's editor undoes its own typing; over the other columns the keys do nothing,
    // in the editor and in the list.
    void undoKeysInTheEditor_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("afterUndo");
        QTest::newRow("remark") << COL_REMARK << "abc"
                                << "";
        QTest::newRow("spot number") << COL_SPNO << "12"
                                     << "12";
        QTest::newRow("IN") << COL_IN << "2"
                            << "01:00:10:25";
    }
    void undoKeysInTheEditor() {
        QFETCH(int, col);
        QFETCH(QString, typed);
        QFETCH(QString, afterUndo);
        ListWindow w;
        w.Press(Qt::Key_I);
        w.MoveTo(2, col);
        w.Press(Qt::Key_Return);
        const ListSnapshot opened = w.dlg->GetSession().List().Snapshot();
        w.Type(typed);
        Undo(w);
        QCOMPARE(w.dlg->Editor().Edit().text(), afterUndo);
        w.Press(Qt::Key_Y, Qt::ControlModifier);
        QVERIFY(w.dlg->Editor().Edit().hasFocus());
        QCOMPARE(w.dlg->GetSession().List().Snapshot(), opened);
    }

    // The list saved after Delete and Ctrl+Z is the one saved before it, byte for byte:
    // saving keeps the history. Open starts a new one.
    void saveKeepsTheHistoryOpenStartsANewOne() {
        ListWindow w;
        BoxAnswers answers;
        w.Press(Qt::Key_I);
        w.Press(Qt::Key_O);
        answers.files = {w.folder.path("a.txt"), w.folder.path("b.txt"), w.folder.path("a.txt")};
        w.dlg->Dispatch(ID_FILE_SAVEAS, Notify::Command);
        w.MoveTo(1, COL_IN);
        w.Press(Qt::Key_Delete);
        Undo(w);
        w.dlg->Dispatch(ID_FILE_SAVEAS, Notify::Command);
        QVERIFY(FileBytes(w.folder.path("a.txt")).startsWith("0001 0001  01:00:10:05/"));
        QCOMPARE(FileBytes(w.folder.path("b.txt")), FileBytes(w.folder.path("a.txt")));
        w.Press(Qt::Key_Delete);
        w.dlg->Dispatch(ID_FILE_OPEN, Notify::Command);
        const ListSnapshot opened = w.dlg->GetSession().List().Snapshot();
        Undo(w);
        QCOMPARE(w.dlg->GetSession().List().Snapshot(), opened);
    }

    void contextMenuOpensFromTheMouseAndTheKeys_data() {
        QTest::addColumn<int>("key"); // 0 for a right-click
        QTest::addColumn<int>("modifiers");
        QTest::newRow("right-click") << 0 << 0;
        QTest::newRow("context-menu key") << int(Qt::Key_Menu) << 0;
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }
    void contextMenuOpensFromTheMouseAndTheKeys() {
        QFETCH(int, key);
        QFETCH(int, modifiers);
        ListWindow w;
        w.Press(Qt::Key_I);
        QStringList items;
        WhenUp([&](QWidget* up) {
            for (QAction* a : up->actions()) {
                items << (a->isSeparator() ? "--" : a->text() + (a->isEnabled() ? "" : " (grey)"));
            }
        });
        if (key) {
            w.Press(key, Qt::KeyboardModifiers(modifiers));
        } else {
            // Through the window, which turns a right-click into a context-menu request.
            QWidget* cells = w.dlg->Grid().viewport();
            QTest::mouseClick(w.dlg->windowHandle(), Qt::RightButton, {},
                              cells->mapTo(w.dlg.get(), cells->rect().center()));
        }
        QCOMPARE(items, (QStringList{"元に戻す",
                                     "やり直し (grey)",
                                     "--",
                                     "CSV形式で書き出し...",
                                     "EDL形式で書き出し...",
                                     "Excel形式で書き出し...",
                                     "ALE形式(ログ)で書き出し...",
                                     "マーカーをEDLで書き出し...",
                                     "マーカーをFCPXMLで書き出し...",
                                     "マーカーをFCP7 XMLで書き出し...",
                                     "マーカーをOTIOで書き出し...",
                                     "--",
                                     "新規",
                                     "読み込み...",
                                     "--",
                                     "English",
                                     "--",
                                     "フレームレート",
                                     "--",
                                     "トランスポート"}));
        QCOMPARE(w.dlg->MenuBar()->actions().first()->menu()->actions().size(), 5);
    }

    // The frame rate from the list's menu: applied at once as one step, the frame-check menu
    // and label without drop-frame at 25, the rows it cannot count named in one box, and the
    // rate kept for the next start.
    void frameRateFromTheListsMenu() {
        BoxAnswers answers;
        ListWindow w;
        w.dlg->GetSession().Settings().Drop = 1;
        LayRow(w.dlg->GetSession().List(), 3, "0003", "01:00:00:28", "01:00:01:00", "");
        w.dlg->MenuItem(ID_FRAMERATE_25)->trigger();
        QVERIFY(w.dlg->MenuItem(ID_FRAMERATE_25)->isChecked());
        QVERIFY(!w.dlg->MenuItem(ID_FRAMERATE_30)->isChecked());
        QVERIFY(!w.dlg->MenuItem(ID_FRAMECHECK_3_DROP)->isEnabled());
        QVERIFY(w.dlg->MenuItem(ID_FRAMECHECK_3_NONDROP)->isChecked());
        QCOMPARE(qobject_cast<QLabel*>(w.dlg->GetDlgItem(IDC_FRAMECHECK_LABEL))->text(),
                 QStringLiteral("ﾌﾚｰﾑﾁｪｯｸ=3(NonDrop)"));
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY(answers.messages.first().contains(QStringLiteral("対象のNo: 0003")));
        Undo(w);
        QCOMPARE(w.dlg->GetSession().List().FrameRate(), 30);
        QVERIFY(w.dlg->MenuItem(ID_FRAMECHECK_3_DROP)->isEnabled());
        w.Press(Qt::Key_Y, Qt::ControlModifier);
        w.dlg->GetSession().List().MarkSaved();
        w.dlg->close();
        QVERIFY(w.folder.Text().contains("FrameRate=25\n"));
    }

    // Row 2 has an IN and no OUT: the EDL leaves it out and says so, in one box.
    void exportWritesAFileAndLeavesTheList() {
        ListWindow w;
        BoxAnswers answers;
        QFile list(w.folder.path("spots.txt"));
        QVERIFY(list.open(QIODevice::WriteOnly));
        list.write("0001 0001  01:00:00:00/01:00:10:00/10:00 \r\n"
                   "0002 0002  01:00:10:00/--:--:--:--/--:-- \r\n");
        list.close();
        answers.files = {list.fileName(), w.folder.path("out"), w.folder.path("none/out.edl")};
        w.dlg->Dispatch(ID_FILE_OPEN, Notify::Command);
        w.dlg->GetSession().List().MarkModified();
        ExportItem(w, "edl")->trigger(); // typed without an extension
        const FileDialogRequest& asked = answers.dialogs.last();
        QCOMPARE(asked.title, QStringLiteral("EDL形式で書き出し"));
        QCOMPARE(asked.proposedName, QStringLiteral("spots.edl"));
        QCOMPARE(asked.filter, QStringLiteral("EDL Files (*.edl)|*.edl||"));
        QVERIFY(FileBytes(w.folder.path("out.edl")).startsWith("TITLE: spots\r\nFCM: NON-DROP"));
        QCOMPARE(w.dlg->GetSession().ListFile().GetPath(), list.fileName());
        QCOMPARE(w.dlg->GetSession().List().IsModified(), true);
        ExportItem(w, "edl")->trigger(); // into a folder that is not there
        QCOMPARE(answers.messages, (QStringList{EdlSkippedRowsMessage({2}),
                                                QStringLiteral("書き出しできませんでした")}));
    }

    // A list exported and read back comes in whole, after the question about the modified
    // list, as one step that undo takes back, with no file of its own; what could not be
    // taken is named in one box.
    void importReplacesTheListAsOneStep_data() {
        QTest::addColumn<QString>("format"); // the converter's option
        QTest::addColumn<QString>("name");
        QTest::newRow("workbook") << QStringLiteral("xlsx") << "back.xlsx";
        QTest::newRow("markers in an EDL") << QStringLiteral("markers-edl") << "back.edl";
    }
    void importReplacesTheListAsOneStep() {
        QFETCH(QString, format);
        QFETCH(QString, name);
        const InterchangeFormat* f = InterchangeFormatOfOption(format);
        QVERIFY(f);
        ListWindow w;
        BoxAnswers answers;
        LayRow(w.dlg->GetSession().List(), 1, "0001", "01:00:00:00", "01:00:10:00", " CM1, 春",
               true);
        LayRow(w.dlg->GetSession().List(), 2, "A7", "01:00:20:00", "01:00:25:15", " ",
               true); // as Open reads it
        const QString file = w.folder.dir.filePath(name);
        QVERIFY(ExportList(file, *f, w.dlg->GetSession().List().Rows(), QString(),
                           w.dlg->GetSession().List().Rate(), nullptr));
        const QVector<ListRowText> exported = w.dlg->GetSession().List().Rows();
        LayRow(w.dlg->GetSession().List(), 1, "X", "02:00:00:00", "", "");
        w.dlg->GetSession().List().MarkModified();
        w.dlg->GetSession().ListFile().SetPath(w.folder.path("old.txt"));
        answers.files = {file};
        w.dlg->MenuItem(ID_FILE_IMPORT)->trigger();
        QCOMPARE(answers.messages, QStringList{QStringLiteral("変更されています。保存しますか？")});
        QCOMPARE(answers.dialogs.last().title, QStringLiteral("読み込み"));
        QCOMPARE(w.dlg->GetSession().List().Rows(), exported);
        QCOMPARE(w.Cell(2, COL_DURATION), QStringLiteral("00:00:05:15"));
        QCOMPARE(w.dlg->GetSession().ListFile().GetPath(), QString());
        QCOMPARE(w.dlg->GetSession().List().IsModified(), true);
        Undo(w);
        QCOMPARE(w.Cell(1, COL_SPNO), QStringLiteral("X"));

        // Forty-one spots: the list takes forty and says what it left.
        QFile csv(w.folder.path("many.csv"));
        QVERIFY(csv.open(QIODevice::WriteOnly));
        csv.write("No,SP No.,IN,OUT,DURATION,REMARK\r\n");
        for (int i = 1; i <= 41; ++i)
            csv.write(QString::asprintf("%04d,S%d,01:00:%02d:00,01:00:%02d:10,,\r\n", i, i, i, i)
                          .toLatin1());
        csv.close();
        answers.messages.clear();
        answers.yesNo = BoxAnswer::No;
        answers.files = {csv.fileName()};
        w.dlg->MenuItem(ID_FILE_IMPORT)->trigger();
        QCOMPARE(w.dlg->GetSession().List().RowCount(), 40L);
        QCOMPARE(w.Cell(40, COL_SPNO), QStringLiteral("S40"));
        QCOMPARE(answers.messages.size(), 2);
        QVERIFY(answers.messages.last().contains(QStringLiteral("40行まで")));
    }
};

QTEST_MAIN(TestGridMenu)
#include "test_grid_menu.moc"
