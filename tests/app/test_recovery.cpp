// The recovery copy as the window keeps it. A copy left by a killed process, and the signals,
// are tested with the real program in the end-to-end test.
//
// A working folder that stops taking writes is made so by putting a file in its place while
// the program runs: every write there fails, root's too (the tests run as root in CI, where
// permissions stop nothing and no small file system can be mounted). A full disk is a file
// size limit on the process, which fails the copy's write as a full disk does.
#include "../persist/file_helpers.h"
#include "app/status_notes.h"
#include "box_answers.h"
#include "list_window.h"
#include "recovery/recovery_file.h"

#include <QLabel>

#include <optional>

#include <sys/stat.h>

namespace {

const QString kSaveQuestion = QStringLiteral("変更されています。保存しますか？");
const QString kLeftCopyQuestion =
    QStringLiteral("前回保存されなかったリストがあります。復元しますか？");
const QString kCannotKeep = QStringLiteral("復元用コピーを保存できません");
const QString kOtherProgram = QStringLiteral("復元用コピーは別のTarnwickが使用中");

// Waits for the copy to hold what ok wants; the keeper writes it a moment after a change.
bool CopyHolds(const WorkFolder& folder, const std::function<bool(const RecoveryState&)>& ok) {
    return QTest::qWaitFor(
        [&] {
            RecoveryState s;
            return ParseRecoveryFile(FileBytes(folder.path(RECOVERY_FILE_NAME)), &s) && ok(s);
        },
        5000);
}

// ... a capture of this timecode, in an IN or an OUT.
bool CopyHoldsTime(const WorkFolder& folder, const char* timecode) {
    const QString tc = QLatin1String(timecode);
    return CopyHolds(folder, [&tc](const RecoveryState& s) {
        return std::any_of(s.rows.begin(), s.rows.end(),
                           [&tc](const ListRowText& r) { return r.in == tc || r.out == tc; });
    });
}

// What the timecode line says about the copy, and its tooltip; empty while it is kept.
QLabel* IndicatorLabel(CTarnwickDlg& dlg) {
    return dlg.findChild<QLabel*>(QLatin1String(RECOVERY_INDICATOR_NAME));
}
QString Indicator(CTarnwickDlg& dlg) {
    const QLabel* label = IndicatorLabel(dlg);
    return label && !label->isHidden() ? label->text() : QString();
}
bool IndicatorSays(CTarnwickDlg& dlg, const QString& text) {
    return QTest::qWaitFor([&] { return Indicator(dlg) == text; }, 5000);
}

// A window started in the current folder as the program starts, polling stopped so that the
// timecode set stays.
void Start(CTarnwickDlg& dlg) {
    dlg.show();
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    dlg.GetSession().Poll().KillTimer(dlg.GetSession().Poll().Timer());
}

// The working folder stops being a folder: a file stands at its path while this lives.
struct FolderGone {
    const QString path;
    explicit FolderGone(const QString& folder) : path(folder) {
        QVERIFY(QDir().rename(path, path + ".away"));
        WriteBytes(path, "no folder");
    }
    ~FolderGone() {
        QFile::remove(path);
        QDir().rename(path + ".away", path);
    }
};

// What keeps the copy from being written.
enum class Lapse { FolderGone, DiskFull, OddLock };

// Puts something odd under the copy's name, before the program starts.
using MakeOdd = std::function<void(const QString& copy)>;

// What stands under a name, as far as a test tells things apart.
QString Kind(const QString& path) {
    return QFileInfo(path).isDir() ? QStringLiteral("folder")
                                   : QString::number(qHash(FileBytes(path))) + " in a file";
}

// The one file whose name starts so, beside the copy.
QString AsideIn(const WorkFolder& folder) {
    const QStringList found =
        QDir(folder.dir.path())
            .entryList({"tarnwick-recovery-unreadable-*"}, QDir::AllEntries | QDir::System);
    return found.size() == 1 ? folder.path(qPrintable(found.first())) : QString();
}

} // namespace

Q_DECLARE_METATYPE(MakeOdd)
Q_DECLARE_METATYPE(Lapse)

class TestRecovery : public QObject {
    Q_OBJECT
private slots:
    void aChangeReachesTheCopyAndANormalExitRemovesIt() {
        BoxAnswers answers;
        ListWindow w;
        const QString copy = w.folder.path(RECOVERY_FILE_NAME);
        // A start with no copy asks nothing and writes nothing until the list changes.
        QVERIFY(!QFile::exists(copy) && !QFile::exists(copy + ".lock"));
        QVERIFY(!w.dlg->GetSession().Recovery().Pending());
        w.Press(Qt::Key_I);
        QVERIFY(CopyHolds(w.folder, [](const RecoveryState& s) {
            return s.rows.size() == 30 && s.rows[0].in == "01:00:10:05" && s.modified;
        }));
        QCOMPARE(Indicator(*w.dlg), QString());
        w.dlg->close(); // answered No
        QVERIFY(!w.dlg->isVisible());
        QVERIFY(!QFile::exists(copy));
        QVERIFY(!QFile::exists(copy + ".lock"));
        QCOMPARE(answers.messages, QStringList{kSaveQuestion});
    }

    // Offered with the time it was last written, since a copy whose folder stopped taking
    // writes holds older work than the list had; numbered afresh, as any list is.
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
        // A copy whose rows carry one number three times.
        for (int r = 0; r < 3; ++r)
            left.rows[r] = {"0001", "S" + QString::number(r), "", "", "", ""};
        QFile copy(folder.path(RECOVERY_FILE_NAME));
        QVERIFY(copy.open(QIODevice::WriteOnly));
        copy.write(BuildRecoveryFile(left));
        QVERIFY(copy.flush()); // a later write would set the time again
        const QDateTime written(QDate(2026, 12, 1), QTime(9, 30, 5));
        QVERIFY(copy.setFileTime(written, QFileDevice::FileModificationTime));
        copy.close();

        CTarnwickDlg dlg;
        dlg.show();
        QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
        QCOMPARE(
            answers.messages,
            QStringList{kLeftCopyQuestion + QStringLiteral("\n（このコピーを最後に書き込んだ日時: "
                                                           "2026/12/01 09:30:05）")});
        QCOMPARE(dlg.GetSession().List().IsModified(), yes);
        QCOMPARE(QString::number(dlg.Grid().GetRow()) + "," + QString::number(dlg.Grid().GetCol()),
                 QStringLiteral("1,2"));
        if (yes) {
            QCOMPARE(dlg.Grid().GetTextMatrix(34, COL_REMARK), left.rows[33].remark);
            QCOMPARE(dlg.GetSession().ListFile().GetPath(), left.listPath);
            const QStringList numbers{dlg.Grid().GetTextMatrix(1, COL_NO),
                                      dlg.Grid().GetTextMatrix(2, COL_NO),
                                      dlg.Grid().GetTextMatrix(3, COL_NO)};
            QCOMPARE(numbers, (QStringList{"0001", "0002", "0003"}));
            // From now on the copy is this program's, and written afresh.
            left.modified = true;
            for (int r = 0; r < left.rows.size(); ++r)
                left.rows[r].no = RowLabel(r + 1);
            QVERIFY(CopyHolds(folder, [&](const RecoveryState& s) { return s == left; }));
        } else {
            QVERIFY(!copy.exists());
            QCOMPARE(dlg.Grid().GetRows(), 31L);
        }
        // Open runs the deferred step again; the question is not asked again (Open's own
        // question about the restored, modified list may come).
        const QString offered = answers.messages.first();
        dlg.Dispatch(ID_FILE_OPEN, Notify::Command);
        QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
        QCOMPARE(answers.messages.count(offered), 1);
    }

    // Only a lock another running program holds turns the copy off, and the window says so.
    void aSecondProgramInTheFolderKeepsNoCopy() {
        BoxAnswers answers;
        ListWindow first;
        first.Press(Qt::Key_I);
        QVERIFY(CopyHolds(first.folder, [](const RecoveryState& s) { return s.modified; }));
        const QByteArray kept = FileBytes(first.folder.path(RECOVERY_FILE_NAME));
        {
            CTarnwickDlg second;
            Start(second);
            QCOMPARE(Indicator(second), kOtherProgram);
            QVERIFY(IndicatorLabel(second)->toolTip().contains(first.folder.dir.path()));
            second.Dispatch(IDC_OUT, Notify::Clicked);
            QVERIFY(!second.GetSession().Recovery().Pending());
            second.close(); // answered No
        }
        QCOMPARE(answers.messages, QStringList{kSaveQuestion});
        QCOMPARE(FileBytes(first.folder.path(RECOVERY_FILE_NAME)), kept);
        QCOMPARE(Indicator(*first.dlg), QString());
    }

    // Asked to end from outside, the program ends as Exit does without asking; an unsaved
    // list stays in its copy, with the text being typed stored as Enter would store it.
    void anEndRequestEndsWithoutAsking_data() {
        QTest::addColumn<bool>("modified");
        QTest::addColumn<bool>("typing");
        QTest::newRow("unsaved list kept") << true << false;
        QTest::newRow("saved list, no copy") << false << false;
        QTest::newRow("a remark being typed is kept") << false << true;
    }
    void anEndRequestEndsWithoutAsking() {
        QFETCH(bool, modified);
        QFETCH(bool, typing);
        BoxAnswers answers;
        ListWindow w;
        w.Press(Qt::Key_I);
        modified ? w.dlg->GetSession().List().MarkModified()
                 : w.dlg->GetSession().List().MarkSaved();
        if (typing) {
            w.MoveTo(1, COL_REMARK);
            w.Press(Qt::Key_Return);
            w.Type(QStringLiteral("take 2"));
        }
        QFile::remove(w.folder.ini());
        w.dlg->PostEndRequest();
        QCoreApplication::sendPostedEvents(w.dlg.get(), WM_END_REQUEST);
        QVERIFY(!w.dlg->isVisible());
        QVERIFY(answers.messages.isEmpty());
        QVERIFY(FileBytes(w.folder.ini()).contains("WindowWidth="));
        // On the disk before the window is gone: nothing is waited for here.
        RecoveryState copy;
        QCOMPARE(ParseRecoveryFile(FileBytes(w.folder.path(RECOVERY_FILE_NAME)), &copy),
                 modified || typing);
        if (modified || typing)
            QCOMPARE(copy.rows[0].in, QStringLiteral("01:00:10:05"));
        if (typing)
            QCOMPARE(copy.rows[0].remark, QStringLiteral(" take 2"));
    }

    // A left copy that cannot be read is moved aside as it is, the operator told where, once,
    // and a copy kept from then on. Links (to /dev/zero) and FIFOs under either name, which
    // must neither be followed nor waited on, are run in the end-to-end test; an odd lock is
    // also one of the lapses below.
    void anUnreadableLeftCopyIsKeptAside_data() {
        QTest::addColumn<MakeOdd>("make");
        QTest::addColumn<QString>("why"); // in the notice
        const auto row = [](const char* name, const QString& why, const MakeOdd& make) {
            QTest::newRow(name) << make << why;
        };
        row("copy: a folder", QStringLiteral("通常のファイルではありません（リンク、FIFOなど）"),
            [](const QString& copy) { QVERIFY(QDir().mkdir(copy)); });
        row("copy: cut off", QStringLiteral("形式が違うか、途中で切れています"),
            [](const QString& copy) {
                RecoveryState state{QVector<ListRowText>(30), QString(), true};
                WriteBytes(copy, BuildRecoveryFile(state).chopped(10));
            });
        row("copy: larger than any list", QStringLiteral("どのリストよりも大きいファイルです"),
            [](const QString& copy) {
                QFile huge(copy);
                QVERIFY(huge.open(QIODevice::WriteOnly));
                QVERIFY(huge.resize(MAX_RECOVERY_BYTES + 1)); // sparse
            });
    }
    void anUnreadableLeftCopyIsKeptAside() {
        QFETCH(MakeOdd, make);
        QFETCH(QString, why);
        BoxAnswers answers;
        WorkFolder folder;
        const QString copy = folder.path(RECOVERY_FILE_NAME);
        make(copy);
        const QString odd = Kind(copy);

        CTarnwickDlg dlg;
        Start(dlg);
        const QString aside = AsideIn(folder);
        QVERIFY(!aside.isEmpty());
        QCOMPARE(answers.messages,
                 QStringList{QStringLiteral("前回の復元用コピーを読み込めませんでした（%1）。\n"
                                            "次の名前で残してあります:\n%2")
                                 .arg(why, QDir::toNativeSeparators(aside))});
        QCOMPARE(Kind(aside), odd);
        dlg.GetSession().Source().TakeReading(
            Timecode::FromText("01:00:20:00", TimecodeRate::Thirty(false)));
        dlg.Dispatch(IDC_IN, Notify::Clicked);
        QVERIFY(CopyHoldsTime(folder, "01:00:20:00"));
        QCOMPARE(Indicator(dlg), QString());
        QCOMPARE(answers.messages.size(), 1);
        dlg.PostEndRequest();
        QCoreApplication::sendPostedEvents(&dlg, WM_END_REQUEST);
        QVERIFY(!dlg.isVisible());
    }

    // A copy or its lock that cannot be made (the folder gone, the disk full, something odd
    // under the lock's name) is tried again at every change, and none is written without the
    // lock; the timecode line says so meanwhile, takes no focus and asks nothing, and the
    // indicator goes once a copy is written again.
    void aLapseIsShownAndClearedWhenACopyIsWrittenAgain_data() {
        QTest::addColumn<bool>("copyFirst"); // a copy was written before the lapse
        QTest::addColumn<Lapse>("lapse");
        QTest::addColumn<QString>("detail"); // in the tooltip
        QTest::newRow("folder gone after a copy: the copy")
            << true << Lapse::FolderGone
            << QStringLiteral("復元用コピーを作れません（フォルダが見つかりません）");
        QTest::newRow("disk full at the first change")
            << false << Lapse::DiskFull
            << QStringLiteral("復元用コピーを作れません（空き容量が足りません）");
        QTest::newRow("a FIFO under the lock's name: the lock")
            << false << Lapse::OddLock
            << QStringLiteral(
                   "復元用コピーのロックを作れません（同じ名前で通常のファイルでないもの");
    }
    void aLapseIsShownAndClearedWhenACopyIsWrittenAgain() {
        QFETCH(bool, copyFirst);
        QFETCH(Lapse, lapse);
        QFETCH(QString, detail);
        BoxAnswers answers;
        ListWindow w;
        const QString copy = w.folder.path(RECOVERY_FILE_NAME);
        if (copyFirst) {
            w.Press(Qt::Key_I);
            QVERIFY(CopyHoldsTime(w.folder, "01:00:10:05"));
        }
        w.SetTimecode("01:00:20:00");
        {
            std::optional<FolderGone> gone;
            if (lapse == Lapse::FolderGone)
                gone.emplace(w.folder.dir.path());
            if (lapse == Lapse::OddLock)
                QCOMPARE(::mkfifo(QFile::encodeName(copy + ".lock").constData(), 0600), 0);
            const auto change = [&] {
                w.Press(Qt::Key_I);
                QVERIFY(IndicatorSays(*w.dlg, kCannotKeep));
            };
            lapse == Lapse::DiskFull ? WithFileSizeLimit(64, change) : change();
            QVERIFY2(IndicatorLabel(*w.dlg)->toolTip().contains(detail),
                     qPrintable(IndicatorLabel(*w.dlg)->toolTip()));
            QVERIFY(w.GridFocused());
            QVERIFY(answers.messages.isEmpty());
            // Nothing written part-way, nor without the lock.
            QVERIFY(lapse == Lapse::FolderGone || !QFileInfo::exists(copy));
        }
        // Freed: the next change brings the copy, with every capture, and the indicator goes.
        QFile::remove(copy + ".lock");
        w.SetTimecode("01:00:30:00");
        w.Press(Qt::Key_O);
        QVERIFY(CopyHoldsTime(w.folder, "01:00:30:00"));
        QVERIFY(CopyHoldsTime(w.folder, "01:00:20:00"));
        QVERIFY(IndicatorSays(*w.dlg, QString()));
        QVERIFY(w.GridFocused());
    }
};

QTEST_MAIN(TestRecovery)
#include "test_recovery.moc"
