#include "platform/codepage.h"

#include <QCryptographicHash>
#include <QtTest>

namespace {

// Digests of whole tables, as cp932_reference.py beside this file makes them from its
// stand-in for the Windows conversions: results as hex code units or bytes, spaced.
QByteArray Digest(const QStringList& parts) {
    return QCryptographicHash::hash(parts.join(QLatin1Char(' ')).toLatin1(),
                                    QCryptographicHash::Sha1)
        .toHex()
        .left(16);
}

QString Hex(const QString& text) {
    QString hex;
    for (QChar c : text)
        hex += QString::asprintf("%04X", unsigned(c.unicode()));
    return hex;
}

} // namespace

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    void encodeDecode_data();
    void encodeDecode();
    void notEncodable_data();
    void notEncodable();
    void badBytesDecode_data();
    void badBytesDecode();
    void decodesEveryByteAsWindows_data();
    void decodesEveryByteAsWindows();
    void encodesEveryCharacterAsWindows_data();
    void encodesEveryCharacterAsWindows();
};

void TestCp932::encodeDecode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("readBack");

    const auto row = [](const char* name, const char16_t* text, const char* hex,
                        const char16_t* back) {
        QTest::newRow(name) << QString::fromUtf16(text) << QByteArray::fromHex(hex)
                            << QString::fromUtf16(back);
    };
    row("ascii", u"CM1 spot", "434d312073706f74", u"CM1 spot");
    row("backslash stays 5C", u"\\", "5c", u"\\");
    row("tilde stays 7E", u"~", "7e", u"~");
    row("hiragana and kanji", u"あ漢字", "82a08abf8e9a", u"あ漢字");
    row("half-width katakana", u"ｱｲ", "b1b2", u"ｱｲ");
    row("ideographic space", u"\u3000", "8140", u"\u3000");
    row("full-width tilde", u"～", "8160", u"～");
    row("wave dash is the same character", u"〜", "8160", u"～");
    row("minus sign is the same character", u"−", "817c", u"－");
    row("em dash is the same character", u"—", "815c", u"―");
    row("double vertical line", u"‖", "8161", u"∥");
    row("full-width yen", u"￥", "818f", u"￥");
    row("NEC circled digit", u"①", "8740", u"①");
    row("NEC roman numeral", u"Ⅰ", "8754", u"Ⅰ");
    row("NEC because", u"∵", "81e6", u"∵");
    row("IBM extension", u"纊", "fa5c", u"纊");
    row("user-defined area", u"\ue000", "f040", u"\ue000");
    row("single byte 80", u"\u0080", "80", u"\u0080");
    row("single bytes A0, FD to FF", u"\uf8f0\uf8f1\uf8f2\uf8f3", "a0fdfeff",
        u"\uf8f0\uf8f1\uf8f2\uf8f3");
}

void TestCp932::encodeDecode() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    QFETCH(QString, readBack);
    bool complete = false;
    QCOMPARE(Cp932Encode(text, &complete).toHex(), bytes.toHex());
    QVERIFY(complete);
    QVERIFY(IsCp932Encodable(text));
    QCOMPARE(Cp932Decode(bytes), readBack);
    // What is read back is stored the same way again: a file round-trips byte for byte.
    QCOMPARE(Cp932Encode(readBack).toHex(), bytes.toHex());
}

void TestCp932::notEncodable_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QByteArray>("bytes");
    QTest::newRow("half-width yen would read back as backslash")
        << QString::fromUtf16(u"A¥1") << QByteArray("A?1");
    QTest::newRow("overline would read back as tilde")
        << QString::fromUtf16(u"‾") << QByteArray("?");
    QTest::newRow("accented letter") << QString::fromUtf16(u"café") << QByteArray("caf?");
    QTest::newRow("hangul") << QString::fromUtf16(u"한") << QByteArray("?");
    QTest::newRow("emoji is one character, one '?'")
        << QString::fromUtf16(u"x😀y") << QByteArray("x?y");
    QTest::newRow("lone surrogate half") << QString(QChar(0xD800)) << QByteArray("?");
    QTest::newRow("replacement character") << QString(QChar(0xFFFD)) << QByteArray("?");
    QTest::newRow("byte-order mark is not dropped")
        << QString::fromUtf16(u"a\ufeffb") << QByteArray("a?b");
}

void TestCp932::notEncodable() {
    QFETCH(QString, text);
    QFETCH(QByteArray, bytes);
    bool complete = true;
    QCOMPARE(Cp932Encode(text, &complete), bytes);
    QVERIFY(!complete);
    QVERIFY(!IsCp932Encodable(text));
}

void TestCp932::badBytesDecode_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("text");
    const QString bad(QChar(0xFFFD));
    QTest::newRow("lead byte before a byte that is no trail byte")
        << QByteArray("A\x81\x7f") << "A" + bad + "\x7f";
    QTest::newRow("unassigned pair") << QByteArray("\x85\x40") << bad + "@";
    QTest::newRow("lead byte at the end") << QByteArray("A\x82") << "A" + bad;
    QTest::newRow("lead byte before a space keeps the space")
        << QByteArray("\x82 0001") << bad + " 0001";
    QTest::newRow("NUL passes through") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
    QTest::newRow("NEC-selected IBM extension reads as the IBM one")
        << QByteArray("\xed\x40") << QString::fromUtf16(u"纊");
}

void TestCp932::badBytesDecode() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Cp932Decode(bytes), text);
}

void TestCp932::decodesEveryByteAsWindows_data() {
    QTest::addColumn<int>("lead"); // -1: every byte from 80 alone
    QTest::addColumn<QByteArray>("digest");
    const auto row = [](const char* name, int lead, const char* digest) {
        QTest::newRow(name) << lead << QByteArray(digest);
    };
    row("single bytes", -1, "e37310f80d02413f");
    row("lead byte 81", 0x81, "5a782d6237fc66a4");
    row("lead byte 82", 0x82, "fbfb50119bced91e");
    row("lead byte 83", 0x83, "5b65fed9bea6081d");
    row("lead byte 84", 0x84, "d83052af62c97c7f");
    row("lead byte 85", 0x85, "8edcc17b513c29cf");
    row("lead byte 86", 0x86, "8edcc17b513c29cf");
    row("lead byte 87", 0x87, "61e48edc94e7d263");
    row("lead byte 88", 0x88, "0ba779e2dbae4d40");
    row("lead byte 89", 0x89, "3efdf97c5fc39818");
    row("lead byte 8A", 0x8A, "79da3bfe7cd2e708");
    row("lead byte 8B", 0x8B, "1866aae85d86b75a");
    row("lead byte 8C", 0x8C, "6668d6f5e449d3a2");
    row("lead byte 8D", 0x8D, "9f919ef934dd68a8");
    row("lead byte 8E", 0x8E, "3782ed7db46fbbbd");
    row("lead byte 8F", 0x8F, "a7722808974daf37");
    row("lead byte 90", 0x90, "a2035c8b0d24d18c");
    row("lead byte 91", 0x91, "32491308b65f00dd");
    row("lead byte 92", 0x92, "f5afa47faaf7e6d2");
    row("lead byte 93", 0x93, "6d8ad57a3fae6d53");
    row("lead byte 94", 0x94, "04ded9bdfbe80817");
    row("lead byte 95", 0x95, "dabbd484e06264d1");
    row("lead byte 96", 0x96, "30eb52cb1938db62");
    row("lead byte 97", 0x97, "f3ad8ed9dd68c6a7");
    row("lead byte 98", 0x98, "21aecd7cfc0c3677");
    row("lead byte 99", 0x99, "dccae0e0b70172c4");
    row("lead byte 9A", 0x9A, "5a5f226176a083cd");
    row("lead byte 9B", 0x9B, "12914055e005a234");
    row("lead byte 9C", 0x9C, "f2fdd11863ed5d29");
    row("lead byte 9D", 0x9D, "d411c35776e50625");
    row("lead byte 9E", 0x9E, "cd217b7899e0bb98");
    row("lead byte 9F", 0x9F, "18e4b044fc282802");
    row("lead byte E0", 0xE0, "c13170d8061c2c39");
    row("lead byte E1", 0xE1, "acc59d213e58a24f");
    row("lead byte E2", 0xE2, "dae8e865f6896db3");
    row("lead byte E3", 0xE3, "db56dc8dce09a497");
    row("lead byte E4", 0xE4, "377b119ff7e87769");
    row("lead byte E5", 0xE5, "375acc6457570a73");
    row("lead byte E6", 0xE6, "0aad8d2efd77fce2");
    row("lead byte E7", 0xE7, "1d06cd13b773a2d1");
    row("lead byte E8", 0xE8, "22bbb7a352717117");
    row("lead byte E9", 0xE9, "6d332f7dca13c7bd");
    row("lead byte EA", 0xEA, "335da4383e6e3196");
    row("lead byte EB", 0xEB, "8edcc17b513c29cf");
    row("lead byte EC", 0xEC, "8edcc17b513c29cf");
    row("lead byte ED", 0xED, "aa8f4f6bc685ec41");
    row("lead byte EE", 0xEE, "5b9a7c1197d72015");
    row("lead byte EF", 0xEF, "8edcc17b513c29cf");
    row("lead byte F0", 0xF0, "65cdb931d7fc2890");
    row("lead byte F1", 0xF1, "380f60104e2b3ef1");
    row("lead byte F2", 0xF2, "d277a7757dbb0816");
    row("lead byte F3", 0xF3, "cb66a9d89a97ecf6");
    row("lead byte F4", 0xF4, "2a5ee56df19518bb");
    row("lead byte F5", 0xF5, "d56eb9b5c20bc885");
    row("lead byte F6", 0xF6, "97ed504ac4ffb8fc");
    row("lead byte F7", 0xF7, "902d6363df54e663");
    row("lead byte F8", 0xF8, "57d449bd805d744d");
    row("lead byte F9", 0xF9, "73fa0ada4e5fcb13");
    row("lead byte FA", 0xFA, "3717368cd043e713");
    row("lead byte FB", 0xFB, "3e5b8870bfe635a3");
    row("lead byte FC", 0xFC, "23dd7dad325679c4");
}

void TestCp932::decodesEveryByteAsWindows() {
    QFETCH(int, lead);
    QFETCH(QByteArray, digest);
    QStringList parts;
    if (lead < 0) {
        for (int b = 0x80; b <= 0xFF; ++b)
            parts << Hex(Cp932Decode(QByteArray(1, char(b))));
    } else {
        for (int trail = 0; trail <= 0xFF; ++trail)
            parts << Hex(Cp932Decode(QByteArray(1, char(lead)) + char(trail)));
    }
    QCOMPARE(Digest(parts), digest);
}

void TestCp932::encodesEveryCharacterAsWindows_data() {
    QTest::addColumn<int>("first");
    QTest::addColumn<QByteArray>("digest");
    const auto row = [](const char* name, int first, const char* digest) {
        QTest::newRow(name) << first << QByteArray(digest);
    };
    row("U+0000 to U+0FFF", 0x0000, "8ce6ebbfbc39a977");
    row("U+1000 to U+1FFF", 0x1000, "73d3ab86aebe5300");
    row("U+2000 to U+2FFF", 0x2000, "c7c521e1cbfc067a");
    row("U+3000 to U+3FFF", 0x3000, "fb30bd76dc29ca11");
    row("U+4000 to U+4FFF", 0x4000, "99db2c7863739e1c");
    row("U+5000 to U+5FFF", 0x5000, "0185887c00cf57ce");
    row("U+6000 to U+6FFF", 0x6000, "557e2778f8df33eb");
    row("U+7000 to U+7FFF", 0x7000, "b117a4280b3992e1");
    row("U+8000 to U+8FFF", 0x8000, "c8e3ab71b76d71bc");
    row("U+9000 to U+9FFF", 0x9000, "7c0a51db99fb8cca");
    row("U+A000 to U+AFFF", 0xA000, "73d3ab86aebe5300");
    row("U+B000 to U+BFFF", 0xB000, "73d3ab86aebe5300");
    row("U+C000 to U+CFFF", 0xC000, "73d3ab86aebe5300");
    row("U+D000 to U+DFFF", 0xD000, "17069f35f9427dfe");
    row("U+E000 to U+EFFF", 0xE000, "287137c1dd62c334");
    row("U+F000 to U+FFFF", 0xF000, "4957f590cb7176e7");
}

void TestCp932::encodesEveryCharacterAsWindows() {
    QFETCH(int, first);
    QFETCH(QByteArray, digest);
    QStringList parts;
    for (int c = std::max(first, 0x80); c < first + 0x1000; ++c) {
        if (c >= 0xD800 && c <= 0xDFFF)
            continue;
        bool complete = false;
        const QByteArray bytes = Cp932Encode(QString(QChar(char16_t(c))), &complete);
        if (complete == (bytes == "?"))
            QFAIL(qPrintable(QString::asprintf("U+%04X: %s, complete %d", c,
                                               bytes.toHex().constData(), int(complete))));
        parts << QString::fromLatin1(bytes.toHex().toUpper());
    }
    QCOMPARE(Digest(parts), digest);
}

QTEST_GUILESS_MAIN(TestCp932)
#include "test_cp932.moc"
