#include "file_helpers.h"
#include "persist/profile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

class TestProfile : public QObject {
    Q_OBJECT
private slots:
    void init();
    void parseInt_data();
    void parseInt();
    void readValue_data();
    void readValue();
    void missingGivesDefault_data();
    void missingGivesDefault();
    void writeKeepsTheRest_data();
    void writeKeepsTheRest();
    void codePage932FileStaysCodePage932();
    void unencodableValueSwitchesToUtf8();
    void unreadableFileIsNotReplaced();
    void missingDirectoryFails();

private:
    QTemporaryDir m_dir;
    QString m_ini;
};

void TestProfile::init() {
    QVERIFY(m_dir.isValid());
    m_ini = m_dir.filePath(QStringLiteral("default.ini"));
    QFile::remove(m_ini);
}

void TestProfile::parseInt_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("value");
    QTest::newRow("plain") << "640" << 640;
    QTest::newRow("leading blanks") << " \t12" << 12;
    QTest::newRow("minus") << "-42" << -42;
    QTest::newRow("plus") << "+7" << 7;
    QTest::newRow("number prefix") << "12px" << 12;
    QTest::newRow("text reads 0") << "wide" << 0;
    QTest::newRow("sign alone reads 0") << "-" << 0;
    QTest::newRow("no hex") << "0x1F" << 0;
    QTest::newRow("full-width digits are not digits") << QString::fromUtf16(u"１２") << 0;
    QTest::newRow("largest") << "2147483647" << 2147483647;
    QTest::newRow("smallest") << "-2147483648" << int(-2147483647 - 1);
    QTest::newRow("wraps past 2^31") << "2147483648" << int(-2147483647 - 1);
    QTest::newRow("wraps past 2^32") << "4294967297" << 1;
    QTest::newRow("very long number wraps") << "123456789012345678901234567890" << 0x4e3f0ad2;
}

void TestProfile::parseInt() {
    QFETCH(QString, text);
    QFETCH(int, value);
    QCOMPARE(ProfileParseInt(text), value);
}

void TestProfile::readValue_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("string");
    QTest::addColumn<int>("number");
    QTest::newRow("names without case")
        << QByteArray("[dEfAuLt]\r\nwindowWIDTH=800\r\n") << "800" << 800;
    QTest::newRow("blanks around name and value")
        << QByteArray("  [ Default ]  \n  WindowWidth  =   800  \n") << "800" << 800;
    QTest::newRow("double quotes stripped")
        << QByteArray("[Default]\nWindowWidth=\" 5 \"\n") << " 5 " << 5;
    QTest::newRow("single quotes stripped")
        << QByteArray("[Default]\nWindowWidth='C:\\'\n") << "C:\\" << 0;
    QTest::newRow("unmatched quote kept")
        << QByteArray("[Default]\nWindowWidth=\"7\n") << "\"7" << 0;
    QTest::newRow("empty value reads the default as a number")
        << QByteArray("[Default]\nWindowWidth=\n") << "" << -1;
    QTest::newRow("first of two sections of the same name")
        << QByteArray(
               "[Default]\nWindowWidth=1\n[Ports]\nWindowWidth=2\n[DEFAULT]\nWindowWidth=3\n")
        << "1" << 1;
    QTest::newRow("key of another section not seen")
        << QByteArray("[Ports]\nWindowWidth=2\n[Default]\nHeight=1\n") << "(none)" << -1;
    QTest::newRow("comment not a key")
        << QByteArray("[Default]\n;WindowWidth=9\n") << "(none)" << -1;
    QTest::newRow("value with equals sign")
        << QByteArray("[Default]\nWindowWidth=a=b\n") << "a=b" << 0;
    QTest::newRow("UTF-8 with byte-order mark")
        << QByteArray("\xEF\xBB\xBF[Default]\r\nWindowWidth=\xE3\x81\x82\r\n")
        << QString::fromUtf16(u"あ") << 0;
    QTest::newRow("code page 932")
        << QByteArray("[Default]\r\nWindowWidth=\x82\xa0\r\n") << QString::fromUtf16(u"あ") << 0;
}

void TestProfile::readValue() {
    QFETCH(QByteArray, file);
    QFETCH(QString, string);
    QFETCH(int, number);
    WriteBytes(m_ini, file);
    QCOMPARE(ProfileGetString("Default", "WindowWidth", "(none)", m_ini), string);
    QCOMPARE(ProfileGetInt("Default", "WindowWidth", -1, m_ini), number);
}

void TestProfile::missingGivesDefault_data() {
    QTest::addColumn<bool>("fileExists");
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("no file") << false << QByteArray();
    QTest::newRow("empty file") << true << QByteArray();
    QTest::newRow("no section") << true << QByteArray("[Ports]\r\nWidth0=1\r\n");
    QTest::newRow("no key") << true << QByteArray("[Default]\r\nWidth1=1\r\n");
    QTest::newRow("binary garbage") << true << QByteArray("\x00\xff[\x81\n=\r\r\n\x1a", 10);
}

void TestProfile::missingGivesDefault() {
    QFETCH(bool, fileExists);
    QFETCH(QByteArray, file);
    if (fileExists)
        WriteBytes(m_ini, file);
    QCOMPARE(ProfileGetInt("Default", "Width0", 660, m_ini), 660);
    QCOMPARE(ProfileGetString("Default", "Width0", "C:\\", m_ini), QStringLiteral("C:\\"));
}

void TestProfile::writeKeepsTheRest_data() {
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QByteArray>("after");

    const QByteArray crlf = "; written by hand\r\n"
                            "[Ports]\r\n"
                            "Baud=38400\r\n"
                            "\r\n"
                            "[default]\r\n"
                            "windowwidth = 640\r\n"
                            "Foreign=kept\r\n"
                            "\r\n"
                            "[Other]\r\n"
                            "x=1\r\n";
    QTest::newRow("changed in place, spelling and spacing kept")
        << crlf << "WindowWidth"
        << QByteArray(crlf).replace("windowwidth = 640", "windowwidth = 800");
    QTest::newRow("appended after the section's last line")
        << crlf << "Drop"
        << QByteArray(crlf).replace("Foreign=kept\r\n", "Foreign=kept\r\nDrop=800\r\n");
    QTest::newRow("LF file stays LF")
        << QByteArray("[Default]\nA=1\n") << "Drop" << QByteArray("[Default]\nA=1\nDrop=800\n");
    QTest::newRow("section appended after a blank line")
        << QByteArray("[Ports]\r\nBaud=1\r\n") << "Drop"
        << QByteArray("[Ports]\r\nBaud=1\r\n\r\n[Default]\r\nDrop=800\r\n");
    QTest::newRow("new file") << QByteArray() << "Drop" << QByteArray("[Default]\r\nDrop=800\r\n");
    QTest::newRow("missing last line end added")
        << QByteArray("[Default]\r\nDrop=1") << "Drop" << QByteArray("[Default]\r\nDrop=800\r\n");
    QTest::newRow("byte-order mark kept")
        << QByteArray("\xEF\xBB\xBF[Default]\r\nDrop=1\r\n") << "Drop"
        << QByteArray("\xEF\xBB\xBF[Default]\r\nDrop=800\r\n");
}

void TestProfile::writeKeepsTheRest() {
    QFETCH(QByteArray, before);
    QFETCH(QString, key);
    QFETCH(QByteArray, after);
    if (!before.isEmpty())
        WriteBytes(m_ini, before);
    QVERIFY(ProfileWriteString("Default", key, "800", m_ini));
    QCOMPARE(ReadBytes(m_ini), after);
    // Written through a temporary file that replaced the target: nothing else is left.
    QCOMPARE(QDir(m_dir.path()).entryList(QDir::Files), QStringList{"default.ini"});
}

void TestProfile::codePage932FileStaysCodePage932() {
    const QByteArray before =
        "[Default]\r\n; "
        "\x93\xfa\x96\x7b\x8c\xea\r\nInitialDirSave=C:\\\x83\x66\x81\x5b\x83\x5e\r\n";
    WriteBytes(m_ini, before);
    QCOMPARE(ProfileGetString("Default", "InitialDirSave", "", m_ini),
             QString::fromUtf16(u"C:\\データ"));
    QVERIFY(ProfileWriteString("Default", "Drop", "1", m_ini));
    QCOMPARE(ReadBytes(m_ini), before + "Drop=1\r\n");
}

void TestProfile::unencodableValueSwitchesToUtf8() {
    WriteBytes(m_ini, "[Default]\r\nA=\x82\xa0\r\n");
    QVERIFY(ProfileWriteString("Default", "B", QString::fromUtf16(u"한"), m_ini));
    QCOMPARE(ReadBytes(m_ini), QByteArray("[Default]\r\nA=\xE3\x81\x82\r\nB=\xED\x95\x9C\r\n"));
}

void TestProfile::unreadableFileIsNotReplaced() {
    // A directory where the file should be can be neither read nor replaced.
    QVERIFY(QDir(m_dir.path()).mkdir("default.ini"));
    QCOMPARE(ProfileGetInt("Default", "Drop", 1, m_ini), 1);
    QVERIFY(!ProfileWriteString("Default", "Drop", "0", m_ini));
    QVERIFY(QFileInfo(m_ini).isDir());
    QVERIFY(QDir(m_dir.path()).rmdir("default.ini"));
}

void TestProfile::missingDirectoryFails() {
    QVERIFY(!ProfileWriteString("Default", "Drop", "0", m_dir.filePath("no/such/default.ini")));
}

QTEST_GUILESS_MAIN(TestProfile)
#include "test_profile.moc"
