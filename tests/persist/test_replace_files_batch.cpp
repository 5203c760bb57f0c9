#include "file_helpers.h"
#include "platform/replace_files_batch.h"

#include <QDir>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

// Many files replaced at once keep every promise a single replacement makes: whole new
// contents, kept permissions and links, refused targets untouched, no temporary left behind.

class TestReplaceFilesBatch : public QObject {
    Q_OBJECT
private slots:
    void replacesEachAsTheSingleReplacementDoes();
    void fullDiskFailsOnlyTheFilesThatDidNotFit();
};

void TestReplaceFilesBatch::replacesEachAsTheSingleReplacementDoes() {
    QTemporaryDir dir;
    const auto at = [&](const char* name) { return dir.filePath(QString::fromLatin1(name)); };
    QDir().mkpath(at("sub"));
    WriteBytes(at("old.csv"), "old content, longer than the new one");
    QCOMPARE(::chmod(QFile::encodeName(at("old.csv")).constData(), 0640), 0);
    WriteBytes(at("target.csv"), "linked");
    QVERIFY(QFile::link(at("target.csv"), at("link.csv")));
    WriteBytes(at("readonly.csv"), "keep me");
    QCOMPARE(::chmod(QFile::encodeName(at("readonly.csv")).constData(), 0444), 0);
    const bool root = ::geteuid() == 0; // root may write a read-only file anyway

    QVector<BatchFile> files;
    for (int i = 0; i < 300; ++i)
        files.append({at("sub") + QStringLiteral("/n%1.csv").arg(i), QByteArray::number(i)});
    files.append({at("old.csv"), "new"});
    files.append({at("link.csv"), "through the link"});
    files.append({at("readonly.csv"), "not written"});
    files.append({at("missing/x.csv"), "no folder"});
    files.append({at("sub"), "a folder is no file"});
    files.append({QString(), "no name"});
    const QVector<bool> done = ReplaceFilesBatch(files);

    QCOMPARE(done.size(), files.size());
    for (int i = 0; i < 300; ++i) {
        QVERIFY(done.at(i));
        QCOMPARE(ReadBytes(files.at(i).path), QByteArray::number(i));
    }
    QCOMPARE(done.mid(300), (QVector<bool>{true, true, root, false, false, false}));
    QCOMPARE(ReadBytes(at("old.csv")), QByteArray("new"));
    struct stat st {};
    QCOMPARE(::stat(QFile::encodeName(at("old.csv")).constData(), &st), 0);
    QCOMPARE(st.st_mode & 0777, mode_t(0640));
    QVERIFY(QFileInfo(at("link.csv")).isSymLink());
    QCOMPARE(ReadBytes(at("target.csv")), QByteArray("through the link"));
    if (!root)
        QCOMPARE(ReadBytes(at("readonly.csv")), QByteArray("keep me"));
    QCOMPARE(QDir(at("sub")).entryList(QDir::Files).size(), 300);
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files | QDir::System).size(), 4);
}

// A disk that fills part-way: what was written whole is in place, what was not leaves its
// target as it was and no temporary behind.
void TestReplaceFilesBatch::fullDiskFailsOnlyTheFilesThatDidNotFit() {
    QTemporaryDir dir;
    const QString small = dir.filePath(QStringLiteral("small.txt"));
    const QString large = dir.filePath(QStringLiteral("large.txt"));
    WriteBytes(large, "before");
    QVector<bool> done;
    WithFileSizeLimit(1000, [&] {
        done = ReplaceFilesBatch({{small, QByteArray(10, 's')}, {large, QByteArray(5000, 'l')}});
    });
    QCOMPARE(done, (QVector<bool>{true, false}));
    QCOMPARE(ReadBytes(small), QByteArray(10, 's'));
    QCOMPARE(ReadBytes(large), QByteArray("before"));
    QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
}

QTEST_GUILESS_MAIN(TestReplaceFilesBatch)
#include "test_replace_files_batch.moc"
