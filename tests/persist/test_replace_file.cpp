#include "file_helpers.h"
#include "platform/replace_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

class TestReplaceFile : public QObject {
    Q_OBJECT
private slots:
    void keepsPermissionsAndLinks();
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

QTEST_GUILESS_MAIN(TestReplaceFile)
#include "test_replace_file.moc"
