// The grid's context menu and what it reaches: undo and redo of the list, with their keys,
// and the exports. File dialogs and boxes are answered by the test, except where the real
// export dialog is looked at.
#include "list_window.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <QFileDialog>
#include <QMenu>
#include <QMenuBar>

#include <functional>

namespace {

using WindowAct = std::function<void(ListWindow&)>;

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs look on the open pop-up menu or modal dialog (from inside its own loop), then closes
// it; gives up after some five seconds, so a menu that never opens fails the test and no
// later one.
void WhenUp(const std::function<void(QWidget*)>& look, int tries = 500) {
    QTimer::singleShot(10, [look, tries] {
        QWidget* up = QApplication::activePopupWidget();
        if (!up) {
            up = QApplication::activeModalWidget();
        }
        if (up) {
            look(up);
            up->close();
        } else if (tries > 0) {
            WhenUp(look, tries - 1);
        }
    });
}

struct Answers {
    QStringList files; // what the file dialogs answer, in turn
    QList<FileDialogRequest> dialogs;
    QStringList messages;
    Answers() {
        SetFileDialogHook([this](const FileDialogRequest& r) {
            dialogs << r;
            return files.isEmpty() ? QString() : files.takeFirst();
        });
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            messages << r.text;
            return BoxAnswer::Ok;
        });
    }
    ~Answers() {
        SetFileDialogHook(nullptr);
        SetMessageBoxHook(nullptr);
    }
};

} // namespace

Q_DECLARE_METATYPE(WindowAct)

class TestGridMenu : public QObject {
    Q_OBJECT
private slots:
    // First: the dialog is the real one, and nothing has moved its folder yet.
    void exportDialogStartsInTheWorkingFolderWithAProposedName() {
        ListWindow w;
        QString title;
        QString proposed;
        WhenUp([&](QWidget* up) {
            auto* dialog = qobject_cast<QFileDialog*>(up);
            title = up->windowTitle();
            proposed = dialog ? dialog->selectedFiles().value(0) : QString();
        });
        w.dlg->MenuItem(ID_FILE_EXPORT_CSV)->trigger();
        QCOMPARE(title, QStringLiteral("書き出し"));
        QCOMPARE(proposed, w.folder.path("spotlist.csv"));
    }

    void eachChangeUndoesInOneStep_data() {
        QTest::addColumn<int>("row"); // where the cursor is before the change
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("keys"); // typed; Enter is \n
        QTest::addColumn<int>("redoKey");  // with Ctrl, and Shift for Z
        QTest::newRow("IN pulling the OUT above back") << 2 << COL_IN << "i" << int(Qt::Key_Y);
        QTest::newRow("OUT") << 2 << COL_OUT << "o" << int(Qt::Key_Z);
        QTest::newRow("edit of an empty IN, filled from the timecode") << 2 << COL_IN << "\n2\n"
                                                                       << int(Qt::Key_Y);
        QTest::newRow("remark, the cursor moving on") << 1 << COL_REMARK << "\nCM\n"
                                                      << int(Qt::Key_Z);
        QTest::newRow("spot number") << 1 << COL_SPNO << "\n7\n" << int(Qt::Key_Y);
        QTest::newRow("insertion") << 2 << COL_IN << "" << int(Qt::Key_Insert);
        QTest::newRow("deletion") << 1 << COL_OUT << "" << int(Qt::Key_Delete);
    }
    void eachChangeUndoesInOneStep() {
        QFETCH(int, row);
        QFETCH(int, col);
        QFETCH(QString, keys);
        QFETCH(int, redoKey);
        ListWindow w;
        w.Press(Qt::Key_I);
        w.SetTimecode("01001009");
        w.Press(Qt::Key_O);
        w.MoveTo(row, col);
        const ListSnapshot before = w.probe().m_list.Snapshot();
        if (redoKey == Qt::Key_Insert || redoKey == Qt::Key_Delete) {
            w.Press(redoKey); // and redo with Ctrl+Y
            redoKey = Qt::Key_Y;
        }
        for (QChar c : keys) {
            c == QLatin1Char('\n') ? w.Press(Qt::Key_Return) : w.Type(c);
        }
        const ListSnapshot after = w.probe().m_list.Snapshot();
        QVERIFY(after != before);
        w.probe().SetModified(0);
        w.Press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.probe().m_list.Snapshot(), before);
        QCOMPARE(w.probe().m_bModified, 1);
        w.Press(redoKey, redoKey == Qt::Key_Z ? Qt::ControlModifier | Qt::ShiftModifier
                                              : Qt::ControlModifier);
        QCOMPARE(w.probe().m_list.Snapshot(), after);
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
        const ListSnapshot opened = w.probe().m_list.Snapshot();
        w.Type(typed);
        w.Press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.probe().m_editCell.text(), afterUndo);
        w.Press(Qt::Key_Y, Qt::ControlModifier);
        w.Press(Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(w.probe().m_editCell.hasFocus());
        QCOMPARE(w.probe().m_list.Snapshot(), opened);
    }

    // Saving keeps the history; the list saved after Delete and Ctrl+Z is the one saved
    // before, byte for byte. Open starts a new history.
    void saveKeepsTheHistoryOpenStartsANewOne() {
        ListWindow w;
        Answers answers;
        w.Press(Qt::Key_I);
        w.Press(Qt::Key_O);
        answers.files = {w.folder.path("a.txt"), w.folder.path("b.txt"), w.folder.path("a.txt")};
        w.dlg->Dispatch(ID_FILE_SAVEAS, Notify::Command);
        w.MoveTo(1, COL_IN);
        w.Press(Qt::Key_Delete);
        w.Press(Qt::Key_Z, Qt::ControlModifier);
        w.dlg->Dispatch(ID_FILE_SAVEAS, Notify::Command);
        QCOMPARE(ReadBytes(w.folder.path("b.txt")), ReadBytes(w.folder.path("a.txt")));
        QVERIFY(ReadBytes(w.folder.path("a.txt")).startsWith("0001 0001  01:00:10:05/"));

        w.Press(Qt::Key_Delete);
        w.dlg->Dispatch(ID_FILE_OPEN, Notify::Command);
        const ListSnapshot opened = w.probe().m_list.Snapshot();
        w.Press(Qt::Key_Z, Qt::ControlModifier);
        QCOMPARE(w.probe().m_list.Snapshot(), opened);
        QCOMPARE(w.probe().m_bModified, 0);
    }

    void contextMenuOpensFromTheMouseAndTheKeys_data() {
        QTest::addColumn<int>("how"); // 0 right-click, else the key with its modifiers
        QTest::addColumn<int>("modifiers");
        QTest::newRow("right-click") << 0 << 0;
        QTest::newRow("context-menu key") << int(Qt::Key_Menu) << 0;
        QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
    }
    void contextMenuOpensFromTheMouseAndTheKeys() {
        QFETCH(int, how);
        QFETCH(int, modifiers);
        ListWindow w;
        w.Press(Qt::Key_I);
        QStringList items;
        WhenUp([&](QWidget* up) {
            for (QAction* a : up->actions()) {
                items << (a->isSeparator() ? QStringLiteral("--")
                                           : a->text() + (a->isEnabled() ? "" : " (grey)"));
            }
        });
        if (how == 0) {
            // Through the window, which turns a right-click into a context-menu request.
            QWidget* cells = w.probe().m_grid.viewport();
            QTest::mouseClick(w.dlg->windowHandle(), Qt::RightButton, {},
                              cells->mapTo(w.dlg.get(), cells->rect().center()));
        } else {
            w.Press(how, Qt::KeyboardModifiers(modifiers));
        }
        QCOMPARE(items, (QStringList{"元に戻す", "やり直し (grey)", "--", "CSV形式で書き出し...",
                                     "EDL形式で書き出し..."}));
        // The menu bar keeps its four menus as they were.
        QCOMPARE(w.dlg->MenuBar()->actions().size(), 4);
        QCOMPARE(w.dlg->MenuBar()->actions().first()->menu()->actions().size(), 5);
    }

    void exportWritesAFileAndLeavesTheList_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("listFile");
        QTest::addColumn<QString>("proposed");
        QTest::addColumn<QString>("filter");
        QTest::addColumn<QByteArray>("starts");
        QTest::newRow("CSV, no list file yet")
            << ID_FILE_EXPORT_CSV << ""
            << "spotlist.csv"
            << "CSV Files (*.csv)|*.csv||" << QByteArray("\xEF\xBB\xBFNo,SP No.");
        QTest::newRow("EDL of an opened list")
            << ID_FILE_EXPORT_EDL << "spots.txt"
            << "spots.edl"
            << "EDL Files (*.edl)|*.edl||"
            << QByteArray("TITLE: spots\r\nFCM: NON-DROP FRAME\r\n\r\n001  AX");
    }
    void exportWritesAFileAndLeavesTheList() {
        QFETCH(int, id);
        QFETCH(QString, listFile);
        QFETCH(QString, proposed);
        QFETCH(QString, filter);
        QFETCH(QByteArray, starts);
        ListWindow w;
        Answers answers;
        if (!listFile.isEmpty()) {
            QFile file(w.folder.path(listFile.toUtf8()));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("0001 0001  01:00:00:00/01:00:10:00/10:00 CM\r\n0002 0002  01:00:10:00/"
                       "--:--:--:--/--:-- \r\n");
            file.close();
            answers.files << file.fileName();
            w.dlg->Dispatch(ID_FILE_OPEN, Notify::Command);
        }
        w.probe().SetModified(1);
        answers.files << w.folder.path("out"); // typed without an extension
        w.dlg->MenuItem(id)->trigger();
        const FileDialogRequest& asked = answers.dialogs.last();
        QCOMPARE(asked.title, QStringLiteral("書き出し"));
        QCOMPARE(asked.proposedName, proposed);
        QCOMPARE(asked.filter, filter);
        QVERIFY(asked.save);
        const QByteArray written = ReadBytes(w.folder.path("out.") + proposed.section('.', 1));
        QVERIFY2(written.startsWith(starts), written.constData());
        QCOMPARE(w.probe().m_listFile.GetPath(),
                 listFile.isEmpty() ? QString() : w.folder.path(listFile.toUtf8()));
        QCOMPARE(w.probe().m_bModified, 1);
        // Row 2 has an IN and no OUT: the EDL names it afterwards, in one box.
        QCOMPARE(answers.messages, id == ID_FILE_EXPORT_EDL
                                       ? QStringList{EdlSkippedRowsMessage({2})}
                                       : QStringList());
    }

    void aFailedExportSaysSo() {
        ListWindow w;
        Answers answers;
        answers.files << w.folder.path("no-such-folder/out.csv");
        w.dlg->MenuItem(ID_FILE_EXPORT_CSV)->trigger();
        QCOMPARE(answers.messages, QStringList{QStringLiteral("書き出しできませんでした")});
    }
};

QTEST_MAIN(TestGridMenu)
#include "test_grid_menu.moc"
