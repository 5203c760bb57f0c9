// Open, Save As and Save as the operator uses them from the File menu, with the list file on
// disk and the file dialogs and message boxes answered by the test.
#include "app/tarnwick_dlg.h"
#include "file_helpers.h"
#include "list_rows.h"
#include "modal_answer.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "poll_timer.h"
#include "work_folder.h"

#include <QAbstractEventDispatcher>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

bool PollTimerRunning(CTarnwickDlg& dlg) {
    return RunningTimerIntervals(&dlg.GetSession().Poll()).contains(POLL_INTERVAL_MS);
}

void SetRow(CTarnwickDlg& dlg, int row, const char* spNo, const char* in, const char* out,
            const char* remark) {
    LayRow(dlg.GetSession().List(), row, QString::fromUtf8(spNo), QString::fromUtf8(in),
           QString::fromUtf8(out), QString::fromUtf8(remark), *in && *out);
}

// Answers every file dialog with the next queued name ("" cancels) and records the
// requests; records message boxes. Also checks that no poll runs while a box is open.
struct Answers {
    QStringList files;
    QList<FileDialogRequest> dialogs;
    QStringList messages;
    QList<QPair<QString, QString>> cellAtMessage; // (text, cell (1, SP No.)) when shown
    bool timerRanDuringBox = false;
    BoxAnswer yesNo = BoxAnswer::No;

    explicit Answers(CTarnwickDlg& dlg) {
        ResetFileDialogFolder(); // each test has a working folder of its own
        SetFileDialogHook([this, &dlg](const FileDialogRequest& r) {
            dialogs << r;
            timerRanDuringBox |= PollTimerRunning(dlg);
            return files.isEmpty() ? QString() : files.takeFirst();
        });
        SetMessageBoxHook([this, &dlg](const MessageBoxRequest& r) {
            messages << r.text;
            cellAtMessage << qMakePair(r.text, dlg.Grid().GetTextMatrix(1, COL_SPNO));
            timerRanDuringBox |= PollTimerRunning(dlg);
            return r.type == BoxButtons::YesNo ? yesNo : BoxAnswer::Ok;
        });
    }
    ~Answers() {
        SetFileDialogHook(nullptr);
        SetMessageBoxHook(nullptr);
    }
};

const QString kSaveFailed = QStringLiteral("ファイル保存できませんでした");
const QString kOpenFailed = QStringLiteral("ファイル読み込みできませんでした");
const QString kSaveQuestion = QStringLiteral("変更されています。保存しますか？");

} // namespace

class TestFileCommands : public QObject {
    Q_OBJECT
private slots:
    void saveAsksOnceForAName();
    void dialogsAskForListFiles();
    void cancelledDialogsChangeNothing();
    void openReadsEveryRow();
    void commandsThatLetGoOfTheListAskFirst_data();
    void commandsThatLetGoOfTheListAskFirst();
    void openThenSaveWritesTheSameFile_data();
    void openThenSaveWritesTheSameFile();
    void failedSaveKeepsFlagPathAndOldFile_data();
    void failedSaveKeepsFlagPathAndOldFile();
    void failedOpenKeepsTheCurrentFile();
    void linesNotReadAreNamedInOneBoxAfterLoading();
    void oddFilesOpenAsTheSameRows_data();
    void oddFilesOpenAsTheSameRows();
    void aFileTooLargeSaysSoAndGivesTheLimit();
    void importRefusesAtOnceWhatCannotComeIn_data();
    void importRefusesAtOnceWhatCannotComeIn();
    void unstorableCharactersAreReported();
    void dialogsStartInTheFolderOfTheLastFile();
};

void TestFileCommands::saveAsksOnceForAName() {
    WorkFolder folder;
    CTarnwickDlg dlg;
    Answers answers(dlg);
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    SetRow(dlg, 1, "0001", "00:59:50:00", "01:00:20:00", " CM1");
    dlg.GetSession().List().MarkModified();

    // Save right after start-up asks; its name becomes the list's file, and the next Save
    // writes there without a dialog.
    answers.files << folder.path("a.txt") << folder.path("b.txt");
    dlg.Dispatch(ID_FILE_SAVE, Notify::Command);
    QCOMPARE(answers.dialogs.size(), 1);
    QCOMPARE(dlg.GetSession().List().IsModified(), false);
    QCOMPARE(dlg.GetSession().ListFile().GetPath(), folder.path("a.txt"));
    QCOMPARE(ReadBytes(folder.path("a.txt")),
             QByteArray("0001 0001  00:59:50:00/01:00:20:00/30:00 CM1\r\n"));
    dlg.Dispatch(ID_FILE_SAVE, Notify::Command);
    QCOMPARE(answers.dialogs.size(), 1);
    QVERIFY(!QFile::exists(folder.path("b.txt")));

    // Save As names another; from then on Save writes there without a dialog.
    answers.files.clear();
    answers.files << folder.path("c.txt");
    dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    QCOMPARE(answers.dialogs.size(), 2);
    QCOMPARE(dlg.GetSession().ListFile().GetPath(), folder.path("c.txt"));
    SetRow(dlg, 2, "", "01:00:20:00", "", "");
    dlg.GetSession().List().MarkModified();
    dlg.Dispatch(ID_FILE_SAVE, Notify::Command);
    QCOMPARE(answers.dialogs.size(), 2);
    QCOMPARE(dlg.GetSession().List().IsModified(), false);
    QCOMPARE(ReadBytes(folder.path("c.txt")),
             QByteArray("0001 0001  00:59:50:00/01:00:20:00/30:00 CM1\r\n"
                        "0002 ----  01:00:20:00/--:--:--:--/--:-- \r\n"));
    QVERIFY(answers.messages.isEmpty());
    QVERIFY(!answers.timerRanDuringBox);
    QVERIFY(PollTimerRunning(dlg));
    QCOMPARE(dlg.GetSession().Poll().Timer(), POLL_TIMER_ID);
}

void TestFileCommands::dialogsAskForListFiles() {
    WorkFolder folder;
    CTarnwickDlg dlg;
    Answers answers(dlg);
    dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
    QCOMPARE(answers.dialogs.size(), 2);
    QCOMPARE(answers.dialogs[0].save, true);
    QCOMPARE(answers.dialogs[1].save, false);
    for (const FileDialogRequest& r : answers.dialogs) {
        QCOMPARE(r.filter, QStringLiteral("Grid Files (*.txt)|*.txt|All Files (*.*)|*.*||"));
        QCOMPARE(r.defaultExt, QStringLiteral("txt"));
    }
}

void TestFileCommands::cancelledDialogsChangeNothing() {
    WorkFolder folder;
    CTarnwickDlg dlg;
    Answers answers(dlg);
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    answers.files << folder.path("a.txt");
    dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    SetRow(dlg, 3, "0003", "00:00:01:00", "00:00:03:00", " x");
    LayCell(dlg.GetSession().List(), 3, COL_DURATION, QStringLiteral("stale"));
    dlg.Grid().SetColWidth(0, 2000);
    dlg.GetSession().List().MarkModified();

    dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command); // its question answered No
    QCOMPARE(answers.dialogs.size(), 3);
    QCOMPARE(dlg.GetSession().List().IsModified(), true);
    QCOMPARE(dlg.GetSession().ListFile().GetPath(), folder.path("a.txt"));
    QCOMPARE(dlg.Grid().GetTextMatrix(3, COL_REMARK), QStringLiteral(" x"));
    QCOMPARE(answers.messages, QStringList{kSaveQuestion});
    QVERIFY(!answers.timerRanDuringBox);
    QVERIFY(PollTimerRunning(dlg));
    // A cancelled Open still recomputes durations and puts the widths back.
    QCOMPARE(dlg.Grid().GetTextMatrix(3, COL_DURATION), QStringLiteral("00:00:02:00"));
    QCOMPARE(dlg.Grid().GetColWidth(0), 2000L);
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    QCOMPARE(dlg.Grid().GetColWidth(0), long(dlg.GetSession().Settings().Width0));

    // Save without a current file, cancelled: the flag stays for the exit prompt.
    CTarnwickDlg fresh;
    fresh.GetSession().List().MarkModified();
    fresh.Dispatch(ID_FILE_SAVE, Notify::Command);
    QCOMPARE(fresh.GetSession().List().IsModified(), true);
    QCOMPARE(fresh.GetSession().ListFile().GetPath(), QString());
}

void TestFileCommands::openReadsEveryRow() {
    WorkFolder folder;
    WriteBytes(folder.path("list.txt"), "0002 0002  00:00:10:00/00:00:40:00/30:00 spot A\r\n"
                                        "0003 ----  00:00:50:00/--:--:--:--/--:-- \r\n"
                                        "0035 X  --:--:--:--/--:--:--:--/--:-- last\r\n");
    CTarnwickDlg dlg;
    Answers answers(dlg);
    SetRow(dlg, 1, "0001", "00:00:00:00", "00:00:01:00", " old");
    dlg.GetSession().List().MarkModified();
    answers.files << folder.path("list.txt");
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command);

    QCOMPARE(answers.messages, QStringList{kSaveQuestion}); // answered No
    QCOMPARE(dlg.GetSession().List().IsModified(), false);
    QCOMPARE(dlg.GetSession().ListFile().GetPath(), folder.path("list.txt"));
    QCOMPARE(dlg.Grid().GetRows(), 36L);
    QCOMPARE(dlg.Grid().GetTextMatrix(1, COL_SPNO), QString());
    QCOMPARE(dlg.Grid().GetTextMatrix(1, COL_REMARK), QString());
    QCOMPARE(dlg.Grid().GetTextMatrix(2, COL_SPNO), QStringLiteral("0002"));
    QCOMPARE(dlg.Grid().GetTextMatrix(2, COL_DURATION), QStringLiteral("00:00:30:00"));
    QCOMPARE(dlg.Grid().GetTextMatrix(2, COL_REMARK), QStringLiteral(" spot A"));
    QCOMPARE(dlg.Grid().GetTextMatrix(3, COL_DURATION), QString());
    QCOMPARE(dlg.Grid().GetTextMatrix(3, COL_REMARK), QStringLiteral(" "));
    QCOMPARE(dlg.Grid().GetTextMatrix(35, COL_SPNO), QStringLiteral("X"));
    QCOMPARE(dlg.Grid().GetTextMatrix(35, COL_NO), QStringLiteral("0035"));
}

void TestFileCommands::openThenSaveWritesTheSameFile_data() {
    QTest::addColumn<QByteArray>("rateLine");
    QTest::addColumn<int>("fps");
    QTest::newRow("a 30-frame list") << QByteArray() << 30;
    QTest::newRow("a list at 25, into a list at 24") << QByteArray("#FrameRate=25\r\n") << 25;
}

// The file's rate is the list's after Open, whatever the list counted before.
void TestFileCommands::openThenSaveWritesTheSameFile() {
    QFETCH(QByteArray, rateLine);
    QFETCH(int, fps);
    WorkFolder folder(fps == 30 ? "FrameRate=25\n" : "FrameRate=24\n");
    const QByteArray file = rateLine + "0001 0001  00:59:50:00/01:00:20:00/30:00 CM1\r\n"
                                       "0002 ----  01:00:20:00/--:--:--:--/--:-- \r\n"
                                       "0004 0004  01:00:30:00/01:00:40:00/10:00 "
                                       "\x96\x7b\x95\xd2\x81\x40\x82\x62\x82\x6c  two words\r\n";
    WriteBytes(folder.path("list.txt"), file);
    CTarnwickDlg dlg;
    QCOMPARE(dlg.GetSession().List().FrameRate(), fps == 30 ? 25 : 24);
    Answers answers(dlg);
    answers.files << folder.path("list.txt");
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    QCOMPARE(dlg.GetSession().List().FrameRate(), fps);
    QCOMPARE(dlg.GetSession().List().IsModified(), false);
    QFile::remove(folder.path("list.txt"));
    dlg.Dispatch(ID_FILE_SAVE, Notify::Command);
    QCOMPARE(answers.dialogs.size(), 1);
    QCOMPARE(ReadBytes(folder.path("list.txt")), file);
}

void TestFileCommands::failedSaveKeepsFlagPathAndOldFile_data() {
    QTest::addColumn<bool>("saveAs");
    QTest::newRow("Save As into a missing folder") << true;
    QTest::newRow("Save with the disk full part-way") << false;
}

void TestFileCommands::failedSaveKeepsFlagPathAndOldFile() {
    QFETCH(bool, saveAs);
    WorkFolder folder;
    CTarnwickDlg dlg;
    Answers answers(dlg);
    SetRow(dlg, 1, "0001", "00:59:50:00", "01:00:20:00", " CM1");
    answers.files << folder.path("a.txt");
    dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    const QByteArray saved = ReadBytes(folder.path("a.txt"));
    QVERIFY(!saved.isEmpty());

    for (int r = 1; r <= 30; ++r)
        SetRow(dlg, r, "0001", "00:00:00:00", "00:00:01:00", " a longer list than before");
    dlg.GetSession().List().MarkModified();
    if (saveAs) {
        answers.files << folder.path("missing/b.txt");
        dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    } else {
        WithFileSizeLimit(200, [&] { dlg.Dispatch(ID_FILE_SAVE, Notify::Command); });
    }
    QCOMPARE(answers.messages, QStringList{kSaveFailed});
    QCOMPARE(dlg.GetSession().List().IsModified(), true);
    QCOMPARE(dlg.GetSession().ListFile().GetPath(), folder.path("a.txt"));
    QCOMPARE(ReadBytes(folder.path("a.txt")), saved);
    QCOMPARE(QDir(folder.dir.path()).entryList(QDir::Files), (QStringList{"a.txt", "default.ini"}));

    // The next Save writes the current file again.
    dlg.Dispatch(ID_FILE_SAVE, Notify::Command);
    QCOMPARE(dlg.GetSession().List().IsModified(), false);
    QVERIFY(ReadBytes(folder.path("a.txt")).contains("a longer list"));
    QVERIFY(PollTimerRunning(dlg));
}

// Every command that lets go of a modified list asks first, and a list with a file is saved
// there without a dialog. files: the answers of the file dialogs in turn, "" cancels. list:
// what row 1's remark says afterwards (the list as it was, b's, or an empty one); savedTo: the
// file the list as it was went to ("a" its own, "c" a new name, "" none).
void TestFileCommands::commandsThatLetGoOfTheListAskFirst_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("state");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<bool>("asked");
    QTest::addColumn<int>("dialogs");
    QTest::addColumn<QString>("list");
    QTest::addColumn<QString>("savedTo");
    QTest::addColumn<bool>("modified");
    const int open = ID_FILE_OPEN, save = ID_FILE_SAVE, saveAs = ID_FILE_SAVEAS,
              import = ID_FILE_IMPORT, fresh = ID_FILE_NEW;
    const QStringList none;
    // clang-format off
    QTest::newRow("untitled: Open, yes")      << open   << "untitled" << true  << QStringList{"c.txt", "b.txt"} << true  << 2 << " B"   << "c" << false;
    QTest::newRow("untitled: Open, no")       << open   << "untitled" << false << QStringList{"b.txt"}          << true  << 1 << " B"   << ""  << false;
    QTest::newRow("untitled: Open, cancel")   << open   << "untitled" << true  << QStringList{""}               << true  << 1 << " CUR" << ""  << true;
    QTest::newRow("untitled: Import, yes")    << import << "untitled" << true  << QStringList{"c.txt", "b.csv"} << true  << 2 << " B"   << "c" << true;
    QTest::newRow("untitled: Import, no")     << import << "untitled" << false << QStringList{"b.csv"}          << true  << 1 << " B"   << ""  << true;
    QTest::newRow("untitled: Import, cancel") << import << "untitled" << true  << QStringList{""}               << true  << 1 << " CUR" << ""  << true;
    QTest::newRow("untitled: New, yes")       << fresh  << "untitled" << true  << QStringList{"c.txt"}          << true  << 1 << ""     << "c" << false;
    QTest::newRow("untitled: New, no")        << fresh  << "untitled" << false << none                          << true  << 0 << ""     << ""  << false;
    QTest::newRow("untitled: New, cancel")    << fresh  << "untitled" << true  << QStringList{""}               << true  << 1 << " CUR" << ""  << true;
    QTest::newRow("untitled: Save")           << save   << "untitled" << true  << QStringList{"c.txt"}          << false << 1 << " CUR" << "c" << false;
    QTest::newRow("untitled: Save, cancel")   << save   << "untitled" << true  << QStringList{""}               << false << 1 << " CUR" << ""  << true;
    QTest::newRow("untitled: Save As")        << saveAs << "untitled" << true  << QStringList{"c.txt"}          << false << 1 << " CUR" << "c" << false;
    QTest::newRow("modified: Open, yes")      << open   << "modified" << true  << QStringList{"b.txt"}          << true  << 1 << " B"   << "a" << false;
    QTest::newRow("modified: Open, no")       << open   << "modified" << false << QStringList{"b.txt"}          << true  << 1 << " B"   << ""  << false;
    QTest::newRow("modified: Open, cancel")   << open   << "modified" << true  << QStringList{""}               << true  << 1 << " CUR" << "a" << false;
    QTest::newRow("modified: Import, yes")    << import << "modified" << true  << QStringList{"b.csv"}          << true  << 1 << " B"   << "a" << true;
    QTest::newRow("modified: Import, no")     << import << "modified" << false << QStringList{"b.csv"}          << true  << 1 << " B"   << ""  << true;
    QTest::newRow("modified: New, yes")       << fresh  << "modified" << true  << none                          << true  << 0 << ""     << "a" << false;
    QTest::newRow("modified: New, no")        << fresh  << "modified" << false << none                          << true  << 0 << ""     << ""  << false;
    QTest::newRow("modified: Save")           << save   << "modified" << true  << none                          << false << 0 << " CUR" << "a" << false;
    QTest::newRow("modified: Save As")        << saveAs << "modified" << true  << QStringList{"c.txt"}          << false << 1 << " CUR" << "c" << false;
    QTest::newRow("saved: Open")              << open   << "saved"    << true  << QStringList{"b.txt"}          << false << 1 << " B"   << ""  << false;
    QTest::newRow("saved: Import")            << import << "saved"    << true  << QStringList{"b.csv"}          << false << 1 << " B"   << ""  << true;
    QTest::newRow("saved: New")               << fresh  << "saved"    << true  << none                          << false << 0 << ""     << ""  << false;
    // clang-format on
}

void TestFileCommands::commandsThatLetGoOfTheListAskFirst() {
    QFETCH(int, command);
    QFETCH(QString, state);
    QFETCH(bool, yes);
    QFETCH(QStringList, files);
    QFETCH(bool, asked);
    QFETCH(int, dialogs);
    QFETCH(QString, list);
    QFETCH(QString, savedTo);
    QFETCH(bool, modified);
    WorkFolder folder;
    WriteBytes(folder.path("a.txt"), "0001 0001  00:00:01:00/00:00:02:00/01:00 A\r\n");
    WriteBytes(folder.path("b.txt"), "0001 0001  00:00:05:00/00:00:06:00/01:00 B\r\n");
    WriteBytes(folder.path("b.csv"), "No,SP No.,IN,OUT,DURATION,REMARK\r\n"
                                     "0001,0001,00:00:05:00,00:00:06:00,,B\r\n");
    CTarnwickDlg dlg;
    Answers answers(dlg);
    answers.yesNo = yes ? BoxAnswer::Yes : BoxAnswer::No;
    SpotList& spots = dlg.GetSession().List();
    if (state != QStringLiteral("untitled"))
        dlg.GetSession().ListFile().SetPath(folder.path("a.txt"));
    SetRow(dlg, 1, "0001", "00:00:01:00", "00:00:02:00", state == "saved" ? " A" : " CUR");
    if (state != QStringLiteral("saved"))
        spots.MarkModified();
    for (const QString& file : files)
        answers.files << (file.isEmpty() ? QString() : folder.dir.filePath(file));

    dlg.Dispatch(command, Notify::Command);
    QCOMPARE(answers.messages.contains(kSaveQuestion), asked);
    QCOMPARE(answers.dialogs.size(), dialogs);
    QCOMPARE(spots.Cell(1, COL_REMARK), list);
    QCOMPARE(ReadBytes(folder.path("a.txt")).contains("CUR"), savedTo == QStringLiteral("a"));
    QCOMPARE(ReadBytes(folder.path("c.txt")).contains("CUR"), savedTo == QStringLiteral("c"));
    QCOMPARE(spots.IsModified(), modified);
    QVERIFY(!answers.timerRanDuringBox);
}

void TestFileCommands::failedOpenKeepsTheCurrentFile() {
    WorkFolder folder;
    CTarnwickDlg dlg;
    Answers answers(dlg);
    SetRow(dlg, 1, "0001", "00:59:50:00", "01:00:20:00", " CM1");
    answers.files << folder.path("a.txt") << folder.path("missing.txt");
    dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    dlg.GetSession().List().MarkModified();
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
    QCOMPARE(answers.messages, (QStringList{kSaveQuestion, kOpenFailed}));
    QCOMPARE(dlg.GetSession().List().IsModified(), true);
    QCOMPARE(dlg.Grid().GetTextMatrix(1, COL_REMARK), QStringLiteral(" CM1"));
    QCOMPARE(dlg.GetSession().ListFile().GetPath(), folder.path("a.txt"));
    dlg.Dispatch(ID_FILE_SAVE, Notify::Command);
    QCOMPARE(answers.dialogs.size(), 2);
    QVERIFY(!QFile::exists(folder.path("missing.txt")));
}

void TestFileCommands::linesNotReadAreNamedInOneBoxAfterLoading() {
    WorkFolder folder;
    WriteBytes(folder.path("list.txt"),
               "0001 A  x\r\n0041 B  x\r\n0000 C  x\r\n0040 D  x\r\nnote\r\n0040 E  x\r\n");
    CTarnwickDlg dlg;
    Answers answers(dlg);
    answers.files << folder.path("list.txt");
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
    const QString box =
        QStringLiteral("Noは0001から0040の間にしてください、範囲外のNoは読み込めません\n\n"
                       "次の行は読み込みませんでした。\n"
                       "・2～3行目: Noが0001～0040の範囲外です\n"
                       "・4行目: 後に同じNoの行があり、そちらを読み込みました\n"
                       "・5行目: Noで始まらないため、リストの行ではありません");
    QCOMPARE(answers.messages, QStringList{box});
    // The list is loaded behind the box, so that the operator can compare.
    QCOMPARE(answers.cellAtMessage.first().second, QStringLiteral("A"));
    QCOMPARE(dlg.Grid().GetRows(), 41L);
    QCOMPARE(dlg.Grid().GetTextMatrix(1, COL_SPNO), QStringLiteral("A"));
    QCOMPARE(dlg.Grid().GetTextMatrix(40, COL_SPNO), QStringLiteral("E"));
    QCOMPARE(dlg.GetSession().List().IsModified(), false);
    QVERIFY(!answers.timerRanDuringBox);
}

// The same list, whatever road it came by, opens as the same rows (every line end is the
// reader's table); a file read as UTF-8 says so once, and Save then writes code page 932.
void TestFileCommands::oddFilesOpenAsTheSameRows_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QStringList>("messages");
    const QByteArray crlf = "0001 0001  00:59:50:00/01:00:20:00/30:00 CM1 \x8f\x74\r\n"
                            "0003 ----  01:00:20:00/--:--:--:--/--:-- \x96\x7b\x95\xd2\r\n";
    const QString utf8Note =
        QStringLiteral("このファイルは先頭にBOMがあるため、UTF-8として読み込みました。\n"
                       "保存するとShift-JIS（コードページ932）で書き込みます。");
    QTest::newRow("CR LF") << crlf << QStringList();
    QTest::newRow("lone CR") << QByteArray(crlf).replace("\r\n", "\r") << QStringList();
    QTest::newRow("UTF-8 with a byte-order mark")
        << "\xEF\xBB\xBF" + QString::fromUtf8("0001 0001  00:59:50:00/01:00:20:00/30:00 CM1 春\r\n"
                                              "0003 ----  01:00:20:00/--:--:--:--/--:-- 本編\r\n")
                                .toUtf8()
        << QStringList{utf8Note};
}

void TestFileCommands::oddFilesOpenAsTheSameRows() {
    QFETCH(QByteArray, file);
    QFETCH(QStringList, messages);
    WorkFolder folder;
    WriteBytes(folder.path("odd.txt"), file);
    CTarnwickDlg dlg;
    Answers answers(dlg);
    answers.files << folder.path("odd.txt");
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
    QCOMPARE(answers.messages, messages);
    QCOMPARE(dlg.Grid().GetTextMatrix(1, COL_REMARK), QStringLiteral(" CM1 春"));
    QCOMPARE(dlg.Grid().GetTextMatrix(1, COL_DURATION), QStringLiteral("00:00:30:00"));
    QCOMPARE(dlg.Grid().GetTextMatrix(3, COL_IN), QStringLiteral("01:00:20:00"));
    QCOMPARE(dlg.Grid().GetTextMatrix(3, COL_REMARK), QStringLiteral(" 本編"));
    // Saved back, every road gives the file as the program writes it.
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT); // numbers the rows
    dlg.Dispatch(ID_FILE_SAVE, Notify::Command);
    QCOMPARE(ReadBytes(folder.path("odd.txt")),
             QByteArray("0001 0001  00:59:50:00/01:00:20:00/30:00 CM1 \x8f\x74\r\n"
                        "0003 ----  01:00:20:00/--:--:--:--/--:-- \x96\x7b\x95\xd2\r\n"));
}

// Import and Open of a FIFO, a folder or a device: one box, at once, saying why; the list
// stays, the window's cursor is its own again, and polling goes on.
void TestFileCommands::importRefusesAtOnceWhatCannotComeIn_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("make"); // what stands under the name
    for (const int command : {ID_FILE_IMPORT, ID_FILE_OPEN}) {
        for (const char* make : {"fifo", "folder", "link to a device"})
            QTest::addRow("%s: %s", command == ID_FILE_OPEN ? "Open" : "Import", make)
                << command << make;
    }
}

void TestFileCommands::importRefusesAtOnceWhatCannotComeIn() {
    QFETCH(int, command);
    QFETCH(QString, make);
    WorkFolder folder;
    const QString path = folder.path("in.csv");
    if (make == QStringLiteral("fifo"))
        QCOMPARE(::mkfifo(QFile::encodeName(path).constData(), 0600), 0);
    else if (make == QStringLiteral("folder"))
        QVERIFY(QDir().mkdir(path));
    else
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
    CTarnwickDlg dlg;
    Answers answers(dlg);
    SetRow(dlg, 1, "0001", "00:00:01:00", "00:00:02:00", " CUR");
    answers.files << path;
    dlg.Dispatch(command, Notify::Command);
    QCOMPARE(answers.messages, QStringList{QStringLiteral("通常のファイルではないため読み込めません"
                                                          "（FIFO、デバイス、フォルダなど）")});
    QCOMPARE(dlg.GetSession().List().Cell(1, COL_REMARK), QStringLiteral(" CUR"));
    QCOMPARE(QGuiApplication::overrideCursor(), nullptr);
    QVERIFY(PollTimerRunning(dlg));
}

void TestFileCommands::aFileTooLargeSaysSoAndGivesTheLimit() {
    WorkFolder folder;
    {
        QFile big(folder.path("big.txt"));
        QVERIFY(big.open(QIODevice::WriteOnly));
        QVERIFY(big.resize(5 * 1024 * 1024)); // sparse
    }
    CTarnwickDlg dlg;
    Answers answers(dlg);
    answers.files << folder.path("big.txt");
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
    QCOMPARE(answers.messages,
             QStringList{QStringLiteral("ファイルが大きすぎるため読み込めませんでした。"
                                        "リストファイルは4 MB（4194304バイト）までです。")});
    QCOMPARE(dlg.GetSession().ListFile().GetPath(), QString());
}

void TestFileCommands::unstorableCharactersAreReported() {
    WorkFolder folder;
    CTarnwickDlg dlg;
    Answers answers(dlg);
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    LayCell(dlg.GetSession().List(), 1, COL_SPNO, QString());
    SetRow(dlg, 3, "0003", "", "", QString::fromUtf16(u" 한국 CM").toUtf8().constData());
    dlg.GetSession().List().MarkModified();
    answers.files << folder.path("a.txt");
    dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    QCOMPARE(answers.messages.size(), 1);
    QVERIFY(answers.messages.first().contains(QStringLiteral("0003")));
    QCOMPARE(ReadBytes(folder.path("a.txt")),
             QByteArray("0003 0003  --:--:--:--/--:--:--:--/--:-- ?? CM\r\n"));
    QCOMPARE(dlg.GetSession().List().IsModified(), false);
    // The grid keeps what the operator typed, to be mended and saved again.
    QCOMPARE(dlg.Grid().GetTextMatrix(3, COL_REMARK), QString::fromUtf16(u" 한국 CM"));
}

// As the old dialogs did by moving the working directory, but without moving it: default.ini
// stays where the program started.
void TestFileCommands::dialogsStartInTheFolderOfTheLastFile() {
    WorkFolder folder;
    const QString work = QDir(folder.dir.path()).absolutePath();
    const QString sub = work + QStringLiteral("/sub");
    QVERIFY(QDir(work).mkdir(QStringLiteral("sub")));
    WriteBytes(sub + QStringLiteral("/list.txt"),
               "0001 0001  00:59:50:00/01:00:20:00/30:00 CM1\r\n");
    CTarnwickDlg dlg;
    Answers answers(dlg);

    answers.files << QString(); // cancelled: the folder stays
    dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    answers.files << sub + QStringLiteral("/list.txt");
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    answers.files << QStringLiteral("copy.txt"); // a bare name, as typed
    dlg.Dispatch(ID_FILE_SAVEAS, Notify::Command);
    dlg.Dispatch(ID_FILE_SAVE, Notify::Command); // no dialog: the current file

    QCOMPARE(answers.dialogs.size(), 3);
    QCOMPARE(answers.dialogs[0].startFolder, work);
    QCOMPARE(answers.dialogs[1].startFolder, work);
    QCOMPARE(answers.dialogs[2].startFolder, sub);
    QCOMPARE(dlg.GetSession().ListFile().GetPath(), sub + QStringLiteral("/copy.txt"));
    QCOMPARE(ReadBytes(sub + QStringLiteral("/copy.txt")),
             QByteArray("0001 0001  00:59:50:00/01:00:20:00/30:00 CM1\r\n"));
    QCOMPARE(QDir::currentPath(), work);

    // The real dialog starts there too.
    SetFileDialogHook(nullptr);
    QString shownIn;
    AnswerNextModal([&](QDialog* shown) {
        if (auto* files = qobject_cast<QFileDialog*>(shown)) {
            shownIn = files->directory().absolutePath();
        }
        shown->reject();
    });
    dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
    QCOMPARE(shownIn, sub);

    dlg.Dispatch(ID_FILE_EXIT, Notify::Command);
    QVERIFY(folder.Text().contains("WindowWidth="));
    QVERIFY(!QFile::exists(sub + QStringLiteral("/default.ini")));

    // The next run starts there as well.
    ResetFileDialogFolder();
    CTarnwickDlg next;
    QString startedIn;
    SetFileDialogHook([&](const FileDialogRequest& r) {
        startedIn = r.startFolder;
        return QString();
    });
    next.Dispatch(ID_FILE_OPEN, Notify::Command);
    QCOMPARE(startedIn, sub);
}

QTEST_MAIN(TestFileCommands)
#include "test_file_commands.moc"
