// The recovery copy as the window keeps it: written after changes, offered at the next start,
// removed at a normal exit, kept when the process is asked to end with the list unsaved, and
// one program's alone when two run in one folder. The copy from a killed process is tested
// with the real program in the end-to-end test.
#include "list_window.h"
#include "persist/recovery_file.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

namespace {

QByteArray ReadBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

bool ReadCopy(const WorkFolder& folder, RecoveryState* state) {
    return ParseRecoveryFile(ReadBytes(folder.path(RECOVERY_FILE_NAME)), state);
}

// Waits for the copy to hold what ok wants; the keeper writes it after a short delay.
bool CopyWhen(const WorkFolder& folder, const std::function<bool(const RecoveryState&)>& ok,
              RecoveryState* state) {
    return QTest::qWaitFor([&] { return ReadCopy(folder, state) && ok(*state); }, 5000);
}

struct Questions {
    QStringList asked;
    BoxAnswer answer = BoxAnswer::No;
    Questions() {
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            asked << r.text;
            return r.type == BoxButtons::YesNo ? answer : BoxAnswer::Ok;
        });
        SetFileDialogHook([](const FileDialogRequest&) { return QString(); });
    }
    ~Questions() {
        SetMessageBoxHook(nullptr);
        SetFileDialogHook(nullptr);
    }
};

const QString kOffer = QStringLiteral("前回保存されなかったリストがあります。復元しますか？");

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private slots:
    void aChangeReachesTheCopyAndANormalExitRemovesIt() {
        Questions questions;
        ListWindow w;
        const QString copy = w.folder.path(RECOVERY_FILE_NAME);
        // A start with no copy asks nothing and writes nothing until the list changes.
        QVERIFY(!QFile::exists(copy));
        QVERIFY(!QFile::exists(copy + ".lock"));
        QVERIFY(!w.probe().m_recovery.Pending());
        w.Press(Qt::Key_I);
        RecoveryState state;
        QVERIFY(CopyWhen(
            w.folder, [](const RecoveryState& s) { return s.rows.at(0).in == "01:00:10:05"; },
            &state));
        QVERIFY(state.modified);
        QCOMPARE(state.rows.size(), 30);
        QCOMPARE(state.listPath, QString());
        w.dlg->close(); // answered No
        QVERIFY(!w.dlg->isVisible());
        QVERIFY(!QFile::exists(copy));
        QCOMPARE(questions.asked, QStringList{QStringLiteral("変更されています。保存しますか？")});
    }

    void aLeftCopyIsOfferedOnceAtStart_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes brings the list back") << true;
        QTest::newRow("No deletes the copy") << false;
    }
    void aLeftCopyIsOfferedOnceAtStart() {
        QFETCH(bool, yes);
        Questions questions;
        questions.answer = yes ? BoxAnswer::Yes : BoxAnswer::No;
        WorkFolder folder;
        RecoveryState left;
        left.listPath = QStringLiteral("/lists/spots.txt");
        for (int r = 1; r <= 35; ++r) {
            left.rows << ListRowText{RowLabel(r), "", "", "", "", ""};
        }
        left.rows[33] =
            ListRowText{"0034",        "A",           "01:00:00:00",
                        "01:00:01:00", "00:00:01:00", " 春 😀 " + QString(300, QChar(u'x'))};
        QFile file(folder.path(RECOVERY_FILE_NAME));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(BuildRecoveryFile(left));
        file.close();

        CTarnwickDlg dlg;
        dlg.show();
        QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
        QCOMPARE(questions.asked, QStringList{kOffer});
        DialogProbe p(dlg);
        if (yes) {
            QCOMPARE(p.m_list.Rows().size(), 35);
            QCOMPARE(p.m_grid.GetTextMatrix(34, COL_REMARK), left.rows[33].remark);
            QCOMPARE(p.m_listFile.GetPath(), left.listPath);
            QCOMPARE(p.m_bModified, 1);
            QCOMPARE(p.m_grid.GetRow(), 1L);
            QCOMPARE(p.m_grid.GetCol(), long(COL_IN));
            // The copy, now this program's, is written afresh.
            RecoveryState state;
            left.modified = true;
            QVERIFY(CopyWhen(
                folder, [&](const RecoveryState& s) { return s == left; }, &state));
        } else {
            QVERIFY(!file.exists());
            QCOMPARE(p.m_grid.GetRows(), 31L);
            QCOMPARE(p.m_grid.GetTextMatrix(1, COL_SPNO), QStringLiteral("0001"));
            QCOMPARE(p.m_bModified, 0);
        }
        // Open runs the deferred step again; the question is not asked again.
        dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
        QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
        QCOMPARE(questions.asked.size(), 1);
    }

    void aSecondProgramInTheFolderKeepsNoCopy() {
        Questions questions;
        ListWindow first;
        first.Press(Qt::Key_I);
        const QString copy = first.folder.path(RECOVERY_FILE_NAME);
        RecoveryState state;
        QVERIFY(CopyWhen(
            first.folder, [](const RecoveryState& s) { return s.modified; }, &state));
        const QByteArray kept = ReadBytes(copy);
        {
            CTarnwickDlg second;
            second.show();
            QCoreApplication::sendPostedEvents(&second, WM_DEFERRED_INIT);
            second.Dispatch(IDC_OUT, Notify::Clicked);
            QVERIFY(!Probe(second).m_recovery.Pending());
            second.close(); // answered No
            QVERIFY(!second.isVisible());
        }
        QCOMPARE(questions.asked, QStringList{QStringLiteral("変更されています。保存しますか？")});
        QCOMPARE(ReadBytes(copy), kept);
    }

    // A kill, a logout or Ctrl+C in the terminal: the program ends as Exit does, without
    // asking, and an unsaved list stays in its copy.
    void anEndRequestEndsWithoutAsking_data() {
        QTest::addColumn<bool>("modified");
        QTest::newRow("unsaved list kept") << true;
        QTest::newRow("saved list, no copy") << false;
    }
    void anEndRequestEndsWithoutAsking() {
        QFETCH(bool, modified);
        Questions questions;
        ListWindow w;
        w.Press(Qt::Key_I);
        w.probe().SetModified(modified ? 1 : 0);
        QFile::remove(w.folder.ini());
        w.dlg->PostEndRequest();
        QCoreApplication::sendPostedEvents(w.dlg.get(), WM_END_REQUEST);
        QVERIFY(!w.dlg->isVisible());
        QVERIFY(questions.asked.isEmpty());
        QVERIFY(ReadBytes(w.folder.ini()).contains("WindowWidth="));
        RecoveryState state;
        QCOMPARE(ReadCopy(w.folder, &state), modified);
        if (modified) {
            QCOMPARE(state.rows.at(0).in, QStringLiteral("01:00:10:05"));
        }
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
