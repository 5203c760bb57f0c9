#include "file_helpers.h"
#include "persist/profile.h"
#include "platform/regular_file.h"
#include "platform/replace_file.h"
#include "platform/replace_files_batch.h"

#include <QDir>
#include <QFile>
#include <QScopeGuard>
#include <QTemporaryDir>
#include <QtTest>

#include <fcntl.h>
#include <grp.h>
#include <pwd.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr int CANNOT_DROP = 77;

struct User {
    uid_t uid;
    gid_t gid;
};

User Nobody() {
    const passwd* nobody = getpwnam("nobody");
    return nobody ? User{nobody->pw_uid, nobody->pw_gid} : User{65534, 65534};
}

// Runs fn in a child process as a user without root: nobody when the test runs as root, as
// it does in CI, the current user otherwise. The child's exit status is fn's result, or
// CANNOT_DROP when it could not give up root or the folder it must not write to is
// writable for it all the same.
int RunUnprivileged(const QByteArray& readOnlyFolder, const std::function<bool()>& fn) {
    const User user = Nobody();
    const pid_t pid = fork();
    if (pid == 0) {
        if (geteuid() == 0 &&
            (setgroups(0, nullptr) != 0 || setgid(user.gid) != 0 || setuid(user.uid) != 0))
            _exit(CANNOT_DROP);
        const QByteArray probe = readOnlyFolder + "/probe";
        const int fd = ::open(probe.constData(), O_WRONLY | O_CREAT | O_EXCL, 0600);
        if (fd >= 0) {
            ::close(fd);
            ::unlink(probe.constData());
            _exit(CANNOT_DROP);
        }
        _exit(fn() ? 1 : 0);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

constexpr int OTHERS = 100;

// Replaces a file's content on its own, or as one file of a batch among OTHERS others (the
// batch always follows links and says nothing of why). *others counts the others written
// whole, whatever became of this one: -1 when a temporary file was left beside them.
bool Replace(bool batch, const QString& path, const QByteArray& bytes, LinkPolicy links,
             FileFault* fault, int* others) {
    *others = 0;
    if (!batch)
        return ReplaceFileContent(path, bytes, links, fault);
    QTemporaryDir dir;
    QVector<BatchFile> files;
    for (int i = 0; i < OTHERS; ++i)
        files.append({dir.filePath(QString::number(i)), QByteArray::number(i)});
    files.insert(OTHERS / 2, {path, bytes});
    const QVector<bool> done = ReplaceFilesBatch(files);
    for (int i = 0; i < files.size(); ++i) {
        if (i != OTHERS / 2 && done.value(i) && ReadBytes(files.at(i).path) == files.at(i).bytes)
            ++*others;
    }
    if (QDir(dir.path()).entryList(QDir::Files | QDir::Hidden | QDir::System).size() != OTHERS)
        *others = -1;
    return done.size() == files.size() && done.at(OTHERS / 2);
}

} // namespace

class TestReplaceFile : public QObject {
    Q_OBJECT
private slots:
    void keepsPermissionsAndLinks_data();
    void keepsPermissionsAndLinks();
    void readOnlyFolderAsUser_data();
    void readOnlyFolderAsUser();
    void oddThingsUnderAName_data();
    void oddThingsUnderAName();
    void faultsSayWhy_data();
    void faultsSayWhy();
    void moveAsideNeverReplaces();
    void aLockExcludesAndEndsWithItsHolder();
};

// Puts a thing under a name; other is a file a link may name.
using MakeThing = std::function<void(const QString& name, const QString& other)>;

Q_DECLARE_METATYPE(MakeThing)
Q_DECLARE_METATYPE(FileFault)

void TestReplaceFile::keepsPermissionsAndLinks_data() {
    QTest::addColumn<bool>("batch");
    QTest::newRow("on its own") << false;
    QTest::newRow("in a batch") << true;
}

void TestReplaceFile::keepsPermissionsAndLinks() {
    QFETCH(bool, batch);
    int others = 0;
    QTemporaryDir dir;
    const QString file = dir.filePath("list.txt");
    const QString link = dir.filePath("link.txt");
    WriteBytes(file, "old");
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(file, link));

    QVERIFY(Replace(batch, link, "new", LinkPolicy::Follow, nullptr, &others));
    QCOMPARE(others, batch ? OTHERS : 0);
    QCOMPARE(ReadBytes(file), QByteArray("new"));
    QVERIFY(QFileInfo(link).isSymLink());
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0640));

    // A new file is made as any new file is: 0666 less the umask.
    const mode_t mask = ::umask(022);
    QVERIFY(Replace(batch, dir.filePath("new.txt"), "x", LinkPolicy::Follow, nullptr, &others));
    ::umask(mask);
    QCOMPARE(::stat(QFile::encodeName(dir.filePath("new.txt")).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0644));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System),
             (QStringList{"link.txt", "list.txt", "new.txt"}));
}

void TestReplaceFile::readOnlyFolderAsUser_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<bool>("settings"); // written through the profile module
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<bool>("written");
    QTest::newRow("list file in a read-only folder written in place")
        << "ro/list.txt" << false << 0 << true;
    QTest::newRow("settings file in a read-only folder written in place")
        << "ro/default.ini" << true << 0 << true;
    QTest::newRow("disk full in place keeps the old content")
        << "ro/list.txt" << false << 4096 << false;
    QTest::newRow("read-only file in a read-only folder refused")
        << "ro/locked.txt" << false << 0 << false;
    QTest::newRow("read-only file in a writable folder refused")
        << "rw/locked.txt" << false << 0 << false;
    QTest::newRow("new file in a read-only folder cannot be made")
        << "ro/new.txt" << false << 0 << false;
}

void TestReplaceFile::readOnlyFolderAsUser() {
    QFETCH(QString, target);
    QFETCH(bool, settings);
    QFETCH(int, sizeLimit);
    QFETCH(bool, written);

    // A shared folder: the user may write some files in it, but create none.
    QTemporaryDir dir;
    const QDir root(dir.path());
    QVERIFY(root.mkdir("ro") && root.mkdir("rw"));
    const QByteArray before = "[Default]\r\nDrop=1\r\n";
    const QStringList files{"ro/list.txt", "ro/default.ini", "ro/locked.txt", "rw/locked.txt"};
    for (const QString& name : files) {
        WriteBytes(root.filePath(name), before);
        const bool locked = name.endsWith("locked.txt");
        QCOMPARE(::chmod(QFile::encodeName(root.filePath(name)).constData(), locked ? 0444 : 0644),
                 0);
    }
    if (geteuid() == 0) {
        const User user = Nobody();
        for (const QString& name : files + QStringList{"rw"}) {
            QCOMPARE(
                ::chown(QFile::encodeName(root.filePath(name)).constData(), user.uid, user.gid), 0);
        }
    }
    const QByteArray ro = QFile::encodeName(root.filePath("ro"));
    QCOMPARE(::chmod(QFile::encodeName(dir.path()).constData(), 0755), 0);
    QCOMPARE(::chmod(ro.constData(), 0555), 0);
    const auto restore = qScopeGuard([&] { ::chmod(ro.constData(), 0755); });
    const QStringList entriesBefore =
        QDir(ro).entryList(QDir::Files) + QDir(root.filePath("rw")).entryList(QDir::Files);

    const QString path = root.filePath(target);
    const QByteArray content =
        settings ? QByteArray("[Default]\r\nDrop=0\r\n") : QByteArray(10000, 'x');
    const int result = RunUnprivileged(ro, [&] {
        if (sizeLimit) {
            bool ok = false;
            WithFileSizeLimit(rlim_t(sizeLimit), [&] { ok = ReplaceFileContent(path, content); });
            return ok;
        }
        return settings ? ProfileWriteString("Default", "Drop", "0", path)
                        : ReplaceFileContent(path, content);
    });
    if (result == CANNOT_DROP)
        QSKIP("cannot run as a user who may not write to a folder");
    QCOMPARE(result, written ? 1 : 0);
    QCOMPARE(ReadBytes(path), written ? content : (QFile::exists(path) ? before : QByteArray()));
    QCOMPARE(QDir(ro).entryList(QDir::Files) + QDir(root.filePath("rw")).entryList(QDir::Files),
             entriesBefore);
}

// The program's own files in a folder others may write to: whatever stands under the name,
// nothing waits, no link is followed, and the file a link names stays as it was.
void TestReplaceFile::oddThingsUnderAName_data() {
    QTest::addColumn<MakeThing>("make");
    QTest::addColumn<FileFault>("read");     // ReadRegularFile, links not followed
    QTest::addColumn<FileFault>("replace");  // ReplaceFileContent, links not followed
    QTest::addColumn<FileFault>("followed"); // ReplaceFileContent, links followed
    QTest::addColumn<FileFault>("lock");     // ExclusiveFileLock
    using F = FileFault;
    const auto row = [](const char* name, F read, F replace, F followed, F lock, MakeThing make) {
        QTest::newRow(name) << make << read << replace << followed << lock;
    };
    const auto link = [](const QString& to, const QString& name) {
        QVERIFY(QFile::link(to, name));
    };
    row("nothing", F::Missing, F::None, F::None, F::None, [](const QString&, const QString&) {});
    row("a plain file", F::None, F::None, F::None, F::None,
        [](const QString& name, const QString&) { WriteBytes(name, "mine"); });
    row("a link to /dev/zero", F::NotRegular, F::None, F::NotRegular, F::NotRegular,
        [link](const QString& name, const QString&) { link("/dev/zero", name); });
    row("a link to someone's file", F::NotRegular, F::None, F::None, F::NotRegular,
        [link](const QString& name, const QString& other) {
            WriteBytes(other, "someone else's");
            link(other, name);
        });
    // Followed, a link that leads nowhere is refused: a file in its place would not be where
    // the link said.
    row("a dangling link", F::NotRegular, F::None, F::NotRegular, F::NotRegular,
        [link](const QString& name, const QString& other) { link(other, name); });
    row("a link to itself", F::NotRegular, F::None, F::NotRegular, F::NotRegular,
        [link](const QString& name, const QString&) { link(name, name); });
    row("a FIFO", F::NotRegular, F::None, F::NotRegular, F::NotRegular,
        [](const QString& name, const QString&) {
            QCOMPARE(::mkfifo(QFile::encodeName(name).constData(), 0600), 0);
        });
    row("a folder", F::NotRegular, F::NotRegular, F::NotRegular, F::NotRegular,
        [](const QString& name, const QString&) { QVERIFY(QDir().mkdir(name)); });
}

void TestReplaceFile::oddThingsUnderAName() {
    QFETCH(MakeThing, make);
    QFETCH(FileFault, read);
    QFETCH(FileFault, replace);
    QFETCH(FileFault, followed);
    QFETCH(FileFault, lock);
    for (int step = 0; step < 4; ++step) {
        QTemporaryDir dir;
        const QString name = dir.filePath(".copy");
        const QString other = dir.filePath("other.txt");
        make(name, other);
        const QByteArray otherBefore = ReadBytes(other);
        FileFault fault = FileFault::Other;
        switch (step) {
        case 0: {
            QByteArray bytes = "untouched";
            QCOMPARE(ReadRegularFile(name, 1024, LinkPolicy::DoNotFollow, &bytes), read);
            QCOMPARE(bytes, read == FileFault::None ? QByteArray("mine") : "untouched");
            break;
        }
        case 1:
            QCOMPARE(ReplaceFileContent(name, "new", LinkPolicy::DoNotFollow, &fault),
                     replace == FileFault::None);
            QCOMPARE(fault, replace);
            // In the link's place stands the new file; what the link named is unchanged.
            if (replace == FileFault::None) {
                QVERIFY(!QFileInfo(name).isSymLink());
                QCOMPARE(ReadBytes(name), QByteArray("new"));
            }
            break;
        case 2:
            QCOMPARE(ReplaceFileContent(name, "new", LinkPolicy::Follow, &fault),
                     followed == FileFault::None);
            QCOMPARE(fault, followed);
            // A link that stays named the file written.
            if (followed == FileFault::None && QFileInfo(name).isSymLink()) {
                QCOMPARE(ReadBytes(other), QByteArray("new"));
                continue;
            }
            break;
        case 3: {
            ExclusiveFileLock held(name);
            QCOMPARE(held.TryLock(), lock);
            QCOMPARE(held.IsLocked(), lock == FileFault::None);
            break;
        }
        }
        QCOMPARE(ReadBytes(other), otherBefore);
        // Nothing but the name itself was touched: no temporary file is left behind.
        QStringList left =
            QDir(dir.path())
                .entryList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot);
        left.removeAll(QStringLiteral("other.txt"));
        QVERIFY2(left.size() <= 1, qPrintable(left.join(' ')));
    }
}

// A target that cannot be replaced stays as it was and leaves no temporary file; a batch
// still writes every other file.
void TestReplaceFile::faultsSayWhy_data() {
    QTest::addColumn<QString>("target"); // empty: no name
    QTest::addColumn<int>("sizeLimit");  // 0: none
    QTest::addColumn<FileFault>("fault");
    QTest::addColumn<bool>("batch");
    const FileFault readOnly = geteuid() == 0 ? FileFault::None : FileFault::NoPermission;
    for (const bool batch : {false, true}) {
        const char* in = batch ? ", in a batch" : "";
        QTest::addRow("a missing folder%s", in) << "missing/x" << 0 << FileFault::Missing << batch;
        QTest::addRow("a file in place of the folder%s", in)
            << "file/x" << 0 << FileFault::Missing << batch;
        QTest::addRow("a disk full part-way%s", in) << "x" << 4096 << FileFault::NoSpace << batch;
        QTest::addRow("a folder%s", in) << "folder" << 0 << FileFault::NotRegular << batch;
        QTest::addRow("no name%s", in) << "" << 0 << FileFault::Missing << batch;
        QTest::addRow("a read-only file, written by root alone%s", in)
            << "readonly" << 0 << readOnly << batch;
    }
}

void TestReplaceFile::faultsSayWhy() {
    QFETCH(QString, target);
    QFETCH(int, sizeLimit);
    QFETCH(FileFault, fault);
    QFETCH(bool, batch);
    QTemporaryDir dir;
    WriteBytes(dir.filePath("file"), "a file");
    WriteBytes(dir.filePath("x"), "before");
    WriteBytes(dir.filePath("readonly"), "before");
    QCOMPARE(::chmod(QFile::encodeName(dir.filePath("readonly")).constData(), 0444), 0);
    QVERIFY(QDir(dir.path()).mkdir("folder"));
    const QString path = target.isEmpty() ? QString() : dir.filePath(target);
    const QByteArray before = ReadBytes(path);
    const auto entries = [&] {
        return QDir(dir.path()).entryList(QDir::AllEntries | QDir::Hidden);
    };
    const QStringList entriesBefore = entries();
    FileFault got = FileFault::Other;
    int others = 0;
    const QByteArray content(20000, 'x');
    bool written = false;
    const auto replace = [&] {
        written = Replace(batch, path, content, LinkPolicy::DoNotFollow, &got, &others);
    };
    if (sizeLimit)
        WithFileSizeLimit(rlim_t(sizeLimit), replace);
    else
        replace();
    QCOMPARE(written, fault == FileFault::None);
    if (!batch)
        QCOMPARE(got, fault);
    QCOMPARE(others, batch ? OTHERS : 0);
    QCOMPARE(ReadBytes(path), written ? content : before);
    QCOMPARE(entries(), entriesBefore);
}

void TestReplaceFile::moveAsideNeverReplaces() {
    QTemporaryDir dir;
    const QString copy = dir.filePath(".copy");
    const QString aside = dir.filePath("aside");
    QVERIFY(QFile::link(QStringLiteral("/dev/zero"), copy));
    WriteBytes(aside, "taken");
    FileFault fault = FileFault::None;
    QVERIFY(!MoveAside(copy, aside, &fault));
    QCOMPARE(ReadBytes(aside), QByteArray("taken"));
    QVERIFY(QFileInfo(copy).isSymLink());
    // A link moves as itself: through the window, with the copies moved aside there.
    QVERIFY(!MoveAside(dir.filePath("gone"), dir.filePath("aside2"), &fault));
    QCOMPARE(fault, FileFault::Missing);
}

void TestReplaceFile::aLockExcludesAndEndsWithItsHolder() {
    QTemporaryDir dir;
    const QString name = dir.filePath(".copy.lock");
    {
        ExclusiveFileLock first(name);
        ExclusiveFileLock second(name);
        QCOMPARE(first.TryLock(), FileFault::None);
        QCOMPARE(first.TryLock(), FileFault::None); // held already
        QCOMPARE(second.TryLock(), FileFault::Held);
        first.Unlock();
        QVERIFY(!QFileInfo::exists(name));
        QCOMPARE(second.TryLock(), FileFault::None);
        QCOMPARE(first.TryLock(), FileFault::Held);
    } // the holder goes without unlocking, as a killed program does: the file stays
    QVERIFY(QFileInfo::exists(name));
    ExclusiveFileLock later(name);
    QCOMPARE(later.TryLock(), FileFault::None);
    // Held in another process too.
    const pid_t child = fork();
    if (child == 0) {
        ExclusiveFileLock other(name);
        _exit(other.TryLock() == FileFault::Held ? 0 : 1);
    }
    int status = -1;
    QCOMPARE(waitpid(child, &status, 0), child);
    QVERIFY(WIFEXITED(status));
    QCOMPARE(WEXITSTATUS(status), 0);
    // Nothing is ever written into it.
    QCOMPARE(ReadBytes(name), QByteArray());
}

QTEST_GUILESS_MAIN(TestReplaceFile)
#include "test_replace_file.moc"
