#include "file_helpers.h"
#include "persist/profile.h"
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
};

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

QTEST_GUILESS_MAIN(TestReplaceFile)
#include "test_replace_file.moc"
