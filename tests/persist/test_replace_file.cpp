#include "file_helpers.h"
#include "persist/profile.h"
#include "platform/regular_file.h"
#include "platform/replace_file.h"

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

} // namespace

class TestReplaceFile : public QObject {
    Q_OBJECT
private slots:
    void keepsPermissionsAndLinks();
    void readOnlyFolderAsUser_data();
    void readOnlyFolderAsUser();
    void oddThingsUnderAName_data();
    void oddThingsUnderAName();
    void faultsSayWhy_data();
    void faultsSayWhy();
    void moveAsideNeverReplaces();
    void aLockExcludesAndEndsWithItsHolder();
    void readingIsBounded();
};

namespace {

// What stands under the name a test works on.
enum class Thing { Nothing, File, LinkToZero, LinkToFile, DanglingLink, Fifo, Folder };

void Make(Thing thing, const QString& name, const QString& other) {
    const QByteArray n = QFile::encodeName(name);
    switch (thing) {
    case Thing::Nothing:
        break;
    case Thing::File:
        WriteBytes(name, "mine");
        break;
    case Thing::LinkToZero:
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), name));
        break;
    case Thing::LinkToFile:
        WriteBytes(other, "someone else's");
        QVERIFY(QFile::link(other, name));
        break;
    case Thing::DanglingLink:
        QVERIFY(QFile::link(other, name));
        break;
    case Thing::Fifo:
        QCOMPARE(::mkfifo(n.constData(), 0600), 0);
        break;
    case Thing::Folder:
        QVERIFY(QDir().mkdir(name));
        break;
    }
}

} // namespace

Q_DECLARE_METATYPE(Thing)
Q_DECLARE_METATYPE(FileFault)

void TestReplaceFile::keepsPermissionsAndLinks() {
    QTemporaryDir dir;
    const QString file = dir.filePath("list.txt");
    const QString link = dir.filePath("link.txt");
    WriteBytes(file, "old");
    QVERIFY(QFile::setPermissions(file, QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup));
    QVERIFY(QFile::link(file, link));

    QVERIFY(ReplaceFileContent(link, "new"));
    QCOMPARE(ReadBytes(file), QByteArray("new"));
    QVERIFY(QFileInfo(link).isSymLink());
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(file).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0640));

    // A new file is made as any new file is: 0666 less the umask.
    const mode_t mask = ::umask(022);
    QVERIFY(ReplaceFileContent(dir.filePath("new.txt"), "x"));
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
    QTest::addColumn<Thing>("thing");
    QTest::addColumn<FileFault>("read");     // ReadRegularFile, links not followed
    QTest::addColumn<FileFault>("replace");  // ReplaceFileContent, links not followed
    QTest::addColumn<FileFault>("followed"); // ReplaceFileContent, links followed
    QTest::addColumn<FileFault>("lock");     // ExclusiveFileLock
    using F = FileFault;
    QTest::newRow("nothing") << Thing::Nothing << F::Missing << F::None << F::None << F::None;
    QTest::newRow("a plain file") << Thing::File << F::None << F::None << F::None << F::None;
    QTest::newRow("a link to /dev/zero")
        << Thing::LinkToZero << F::NotRegular << F::None << F::NotRegular << F::NotRegular;
    QTest::newRow("a link to someone's file")
        << Thing::LinkToFile << F::NotRegular << F::None << F::None << F::NotRegular;
    QTest::newRow("a dangling link")
        << Thing::DanglingLink << F::NotRegular << F::None << F::None << F::NotRegular;
    QTest::newRow("a FIFO") << Thing::Fifo << F::NotRegular << F::None << F::NotRegular
                            << F::NotRegular;
    QTest::newRow("a folder") << Thing::Folder << F::NotRegular << F::NotRegular << F::NotRegular
                              << F::NotRegular;
}

void TestReplaceFile::oddThingsUnderAName() {
    QFETCH(Thing, thing);
    QFETCH(FileFault, read);
    QFETCH(FileFault, replace);
    QFETCH(FileFault, followed);
    QFETCH(FileFault, lock);
    for (int step = 0; step < 4; ++step) {
        QTemporaryDir dir;
        const QString name = dir.filePath(".copy");
        const QString other = dir.filePath("other.txt");
        Make(thing, name, other);
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
            if (thing == Thing::LinkToFile) {
                QVERIFY(QFileInfo(name).isSymLink());
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

void TestReplaceFile::faultsSayWhy_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<FileFault>("fault");
    QTest::newRow("a missing folder") << "missing/x" << 0 << FileFault::Missing;
    QTest::newRow("a file in place of the folder") << "file/x" << 0 << FileFault::Missing;
    QTest::newRow("a disk full part-way") << "x" << 4096 << FileFault::NoSpace;
    QTest::newRow("written") << "x" << 0 << FileFault::None;
}

void TestReplaceFile::faultsSayWhy() {
    QFETCH(QString, target);
    QFETCH(int, sizeLimit);
    QFETCH(FileFault, fault);
    QTemporaryDir dir;
    WriteBytes(dir.filePath("file"), "a file");
    FileFault got = FileFault::Other;
    const QByteArray content(20000, 'x');
    const auto replace = [&] {
        return ReplaceFileContent(dir.filePath(target), content, LinkPolicy::DoNotFollow, &got);
    };
    bool written = false;
    if (sizeLimit)
        WithFileSizeLimit(rlim_t(sizeLimit), [&] { written = replace(); });
    else
        written = replace();
    QCOMPARE(written, fault == FileFault::None);
    QCOMPARE(got, fault);
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
    // A link moves as itself.
    QVERIFY(MoveAside(copy, dir.filePath("aside2"), &fault));
    QCOMPARE(fault, FileFault::None);
    QCOMPARE(QFileInfo(dir.filePath("aside2")).symLinkTarget(), QStringLiteral("/dev/zero"));
    QVERIFY(!QFileInfo(copy).isSymLink());
    QVERIFY(!MoveAside(copy, dir.filePath("aside3"), &fault));
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

void TestReplaceFile::readingIsBounded() {
    QTemporaryDir dir;
    const QString name = dir.filePath("f");
    WriteBytes(name, QByteArray(100, 'x'));
    QByteArray bytes;
    QDateTime modified;
    QCOMPARE(ReadRegularFile(name, 100, LinkPolicy::DoNotFollow, &bytes, &modified),
             FileFault::None);
    QCOMPARE(bytes.size(), 100);
    QCOMPARE(modified, QFileInfo(name).lastModified());
    QCOMPARE(ReadRegularFile(name, 99, LinkPolicy::DoNotFollow, &bytes), FileFault::TooLarge);
    WriteBytes(name, QByteArray());
    QCOMPARE(ReadRegularFile(name, 99, LinkPolicy::DoNotFollow, &bytes), FileFault::None);
    QCOMPARE(bytes, QByteArray());
}

QTEST_GUILESS_MAIN(TestReplaceFile)
#include "test_replace_file.moc"
