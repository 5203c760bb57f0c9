#include "file_helpers.h"
#include "persist/settings_io.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

namespace {

const int kDefaultWidths[6] = {660, 720, 1530, 1530, 1530, 2500};

#ifdef Q_OS_WIN
#define FIRST_RUN_DIR "C:\\"
#else
#define FIRST_RUN_DIR ""
#endif
const QByteArray kFirstRunFile = "[Default]\r\n"
                                 "InitialDirSave=" FIRST_RUN_DIR "\r\n"
                                 "WindowWidth=640\r\n"
                                 "WindowHeight=480\r\n"
                                 "Width0=660\r\n"
                                 "Width1=720\r\n"
                                 "Width2=1530\r\n"
                                 "Width3=1530\r\n"
                                 "Width4=1530\r\n"
                                 "Width5=2500\r\n"
                                 "FrameCheck=3\r\n"
                                 "com=1\r\n"
                                 "VtrType=0\r\n"
                                 "Drop=1\r\n"
                                 "FrameRate=30\r\n";

} // namespace

class TestSettingsIo : public QObject {
    Q_OBJECT
private slots:
    void init();
    void firstRunDefaultsAndFile();
    void valuesReadAsStored();
    void handEditedFileSurvives();
    void narrowColumnsStoredAs50_data();
    void narrowColumnsStoredAs50();
    void languageKeptAlone_data();
    void languageKeptAlone();

private:
    QTemporaryDir m_dir;
    QString m_ini;
};

void TestSettingsIo::init() {
    QVERIFY(m_dir.isValid());
    m_ini = m_dir.filePath(QStringLiteral("default.ini"));
    QFile::remove(m_ini);
}

void TestSettingsIo::firstRunDefaultsAndFile() {
    AppSettings s;
    LoadAppSettings(m_ini, &s);
    QCOMPARE(s.WindowWidth, 640);
    QCOMPARE(s.WindowHeight, 480);
    QCOMPARE(s.Width0, 660);
    QCOMPARE(s.Width1, 720);
    QCOMPARE(s.Width2, 1530);
    QCOMPARE(s.Width3, 1530);
    QCOMPARE(s.Width4, 1530);
    QCOMPARE(s.Width5, 2500);
    QCOMPARE(s.InitialDirSave, QStringLiteral(FIRST_RUN_DIR)); // none: the working folder
    QCOMPARE(s.FrameCheck, 3);
    QCOMPARE(s.com, 1);
    QCOMPARE(s.VtrType, 0);
    QCOMPARE(s.Drop, 1);
    QVERIFY(!QFile::exists(m_ini));

    QVERIFY(SaveAppSettings(m_ini, &s, kDefaultWidths));
    QCOMPARE(ReadBytes(m_ini), kFirstRunFile);
    // Every key is written every time, each in its place: a second run changes nothing.
    LoadAppSettings(m_ini, &s);
    QVERIFY(SaveAppSettings(m_ini, &s, kDefaultWidths));
    QCOMPARE(ReadBytes(m_ini), kFirstRunFile);
}

void TestSettingsIo::valuesReadAsStored() {
    WriteBytes(m_ini, "[DEFAULT]\r\nwindowwidth=wide\r\nCOM=9\r\nVtrType=2\r\nFrameCheck=-1\r\n"
                      "Drop=0\r\nWidth5=12x\r\n");
    AppSettings s;
    LoadAppSettings(m_ini, &s);
    QCOMPARE(s.WindowWidth, 0);
    QCOMPARE(s.com, 9);
    QCOMPARE(s.VtrType, 2);
    QCOMPARE(s.FrameCheck, -1);
    QCOMPARE(s.Drop, 0);
    QCOMPARE(s.Width5, 12);
    QCOMPARE(s.WindowHeight, 480);
}

void TestSettingsIo::handEditedFileSurvives() {
    // A long folder name (beyond 259 bytes), a comment, a foreign key, a section that only
    // other code reads, and keys in another order and spelling.
    const QByteArray longDir = "D:\\" + QByteArray(300, 'x') + "\\\xE7\xB4\xA0\xE6\x9D\x90";
    const QByteArray before = "; Tarnwick\r\n"
                              "[Ports]\r\n"
                              "Timeout=250\r\n"
                              "\r\n"
                              "[Default]\r\n"
                              "drop=0\r\n"
                              "InitialDirSave=" +
                              longDir +
                              "\r\n"
                              "Extra=yes\r\n"
                              "WindowWidth=800\r\n";
    WriteBytes(m_ini, before);
    AppSettings s;
    LoadAppSettings(m_ini, &s);
    QCOMPARE(s.InitialDirSave, QString::fromUtf8(longDir));
    QCOMPARE(s.Drop, 0);
    QVERIFY(SaveAppSettings(m_ini, &s, kDefaultWidths));

    const QByteArray after = "; Tarnwick\r\n"
                             "[Ports]\r\n"
                             "Timeout=250\r\n"
                             "\r\n"
                             "[Default]\r\n"
                             "drop=0\r\n"
                             "InitialDirSave=" +
                             longDir +
                             "\r\n"
                             "Extra=yes\r\n"
                             "WindowWidth=800\r\n"
                             "WindowHeight=480\r\n"
                             "Width0=660\r\n"
                             "Width1=720\r\n"
                             "Width2=1530\r\n"
                             "Width3=1530\r\n"
                             "Width4=1530\r\n"
                             "Width5=2500\r\n"
                             "FrameCheck=3\r\n"
                             "com=1\r\n"
                             "VtrType=0\r\n"
                             "FrameRate=30\r\n";
    QCOMPARE(ReadBytes(m_ini), after);
}

void TestSettingsIo::narrowColumnsStoredAs50_data() {
    QTest::addColumn<int>("width");
    QTest::addColumn<int>("stored");
    QTest::newRow("zero") << 0 << 50;
    QTest::newRow("negative") << -15 << 50;
    QTest::newRow("49") << 49 << 50;
    QTest::newRow("50") << 50 << 50;
    QTest::newRow("51") << 51 << 51;
}

void TestSettingsIo::narrowColumnsStoredAs50() {
    QFETCH(int, width);
    QFETCH(int, stored);
    AppSettings s;
    LoadAppSettings(m_ini, &s);
    const int widths[6] = {width, 720, 1530, 1530, 1530, width};
    QVERIFY(SaveAppSettings(m_ini, &s, widths));
    QCOMPARE(s.Width0, stored);
    QCOMPARE(s.Width5, stored);
    AppSettings read;
    LoadAppSettings(m_ini, &read);
    QCOMPARE(read.Width0, stored);
    QCOMPARE(read.Width5, stored);
}

// The language chosen in the window is written at once, alone: every other byte stays, and a
// whole save at exit keeps it.
void TestSettingsIo::languageKeptAlone_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QByteArray>("after");
    QTest::newRow("into a new file") << QByteArray() << QByteArray("[Default]\r\nLanguage=en\r\n");
    QTest::newRow("after the other keys")
        << QByteArray("; mine\r\n[Default]\r\nwindowwidth=800\r\n")
        << QByteArray("; mine\r\n[Default]\r\nwindowwidth=800\r\nLanguage=en\r\n");
    QTest::newRow("replaced in its place") << QByteArray("[Default]\r\nlanguage=ja\r\nDrop=0\r\n")
                                           << QByteArray("[Default]\r\nlanguage=en\r\nDrop=0\r\n");
}

void TestSettingsIo::languageKeptAlone() {
    QFETCH(QByteArray, before);
    QFETCH(QByteArray, after);
    if (!before.isEmpty())
        WriteBytes(m_ini, before);
    QVERIFY(SaveLanguageSetting(m_ini, QStringLiteral("en")));
    QCOMPARE(ReadBytes(m_ini), after);
    AppSettings s;
    LoadAppSettings(m_ini, &s);
    QCOMPARE(s.Language, QStringLiteral("en"));
    QVERIFY(SaveAppSettings(m_ini, &s, kDefaultWidths));
    AppSettings again;
    LoadAppSettings(m_ini, &again);
    QCOMPARE(again.Language, QStringLiteral("en"));
}

QTEST_GUILESS_MAIN(TestSettingsIo)
#include "test_settings_io.moc"
