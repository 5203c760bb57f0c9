// The recovery copy as the window keeps it. A copy left by a killed process, and the signals,
// are tested with the real program in the end-to-end test.
#include "box_answers.h"
#include "list_window.h"
#include "persist/recovery_file.h"

namespace {

const QString kSaveQuestion = QStringLiteral("変更されています。保存しますか？");

// Waits for the copy to hold what ok wants; the keeper writes it a moment after a change.
bool CopyHolds(const WorkFolder& folder, const std::function<bool(const RecoveryState&)>& ok) {
    return QTest::qWaitFor(
        [&] {
            RecoveryState s;
            return ParseRecoveryFile(FileBytes(folder.path(RECOVERY_FILE_NAME)), &s) && ok(s);
        },
        5000);
}

} // namespace

class TestRecovery : public QObject {
    Q_OBJECT
private slots:
    void aChangeReachesTheCopyAndANormalExitRemovesIt() {
        BoxAnswers answers;
        ListWindow w;
        const QString copy = w.folder.path(RECOVERY_FILE_NAME);
        // A start with no copy asks nothing and writes nothing until the list changes.
        QVERIFY(!QFile::exists(copy) && !QFile::exists(copy + ".lock"));
        QVERIFY(!w.probe().m_recovery.Pending());
        w.Press(Qt::Key_I);
        QVERIFY(CopyHolds(w.folder, [](const RecoveryState& s) {
            return s.rows.size() == 30 && s.rows[0].in == "01:00:10:05" && s.modified;
        }));
        w.dlg->close(); // answered No
        QVERIFY(!w.dlg->isVisible());
        QVERIFY(!QFile::exists(copy));
        QCOMPARE(answers.messages, QStringList{kSaveQuestion});
    }

    void aLeftCopyIsOfferedOnceAtStart_data() {
        QTest::addColumn<bool>("yes");
        QTest::newRow("Yes brings the list back") << true;
        QTest::newRow("No deletes the copy") << false;
    }
    void aLeftCopyIsOfferedOnceAtStart() {
        QFETCH(bool, yes);
        BoxAnswers answers;
        answers.yesNo = yes ? BoxAnswer::Yes : BoxAnswer::No;
        WorkFolder folder;
        RecoveryState left{QVector<ListRowText>(35), QStringLiteral("/lists/spots.txt"), false};
        left.rows[33] = {"0034", "A", "01:00:00:00", "", "", " 春 😀 " + QString(300, 'x')};
        QFile copy(folder.path(RECOVERY_FILE_NAME));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(BuildRecoveryFile(left));
        copy.close();

        CTarnwickDlg dlg;
        dlg.show();
        QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
        QCOMPARE(answers.messages, QStringList{QStringLiteral(
                                       "前回保存されなかったリストがあります。復元しますか？")});
        const DialogProbe p(dlg);
        QCOMPARE(p.m_list.IsModified(), yes);
        QCOMPARE(QString::number(p.m_grid.GetRow()) + "," + QString::number(p.m_grid.GetCol()),
                 QStringLiteral("1,2"));
        if (yes) {
            QCOMPARE(p.m_grid.GetTextMatrix(34, COL_REMARK), left.rows[33].remark);
            QCOMPARE(p.m_listFile.GetPath(), left.listPath);
            // From now on the copy is this program's, and written afresh, its rows numbered
            // as any list's.
            left.modified = true;
            for (int i = 0; i < left.rows.size(); ++i)
                left.rows[i].no = RowLabel(i + 1);
            QVERIFY(CopyHolds(folder, [&](const RecoveryState& s) { return s == left; }));
        } else {
            QVERIFY(!copy.exists());
            QCOMPARE(p.m_grid.GetRows(), 31L);
        }
        // Open runs the deferred step again; the question is not asked again.
        dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
        QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
        QCOMPARE(answers.messages.size(), 1);
    }

    void aSecondProgramInTheFolderKeepsNoCopy() {
        BoxAnswers answers;
        ListWindow first;
        first.Press(Qt::Key_I);
        QVERIFY(CopyHolds(first.folder, [](const RecoveryState& s) { return s.modified; }));
        const QByteArray kept = FileBytes(first.folder.path(RECOVERY_FILE_NAME));
        {
            CTarnwickDlg second;
            second.show();
            QCoreApplication::sendPostedEvents(&second, WM_DEFERRED_INIT);
            second.Dispatch(IDC_OUT, Notify::Clicked);
            QVERIFY(!Probe(second).m_recovery.Pending());
            second.close(); // answered No
        }
        QCOMPARE(answers.messages, QStringList{kSaveQuestion});
        QCOMPARE(FileBytes(first.folder.path(RECOVERY_FILE_NAME)), kept);
    }

    // Asked to end from outside, the program ends as Exit does without asking; an unsaved
    // list stays in its copy.
    void anEndRequestEndsWithoutAsking_data() {
        QTest::addColumn<bool>("modified");
        QTest::newRow("unsaved list kept") << true;
        QTest::newRow("saved list, no copy") << false;
    }
    void anEndRequestEndsWithoutAsking() {
        QFETCH(bool, modified);
        BoxAnswers answers;
        ListWindow w;
        w.Press(Qt::Key_I);
        modified ? w.probe().m_list.MarkModified() : w.probe().m_list.MarkSaved();
        QFile::remove(w.folder.ini());
        w.dlg->PostEndRequest();
        QCoreApplication::sendPostedEvents(w.dlg.get(), WM_END_REQUEST);
        QVERIFY(!w.dlg->isVisible());
        QVERIFY(answers.messages.isEmpty());
        QVERIFY(FileBytes(w.folder.ini()).contains("WindowWidth="));
        RecoveryState copy;
        QCOMPARE(ParseRecoveryFile(FileBytes(w.folder.path(RECOVERY_FILE_NAME)), &copy), modified);
        QVERIFY(!modified || copy.rows[0].in == "01:00:10:05");
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
