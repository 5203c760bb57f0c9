#include "platform/codepage.h"

#include <QtTest>

class TestCp932 : public QObject {
    Q_OBJECT
private slots:
    void encodeDecode_data();
    void encodeDecode();
    void notEncodable_data();
    void notEncodable();
    void badBytesDecode_data();
    void badBytesDecode();
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
    QTest::newRow("byte that starts nothing") << QByteArray("A\x80"
                                                            "B")
                                              << "A" + bad + "B";
    QTest::newRow("lead byte at the end") << QByteArray("A\x82") << "A" + bad;
    QTest::newRow("lead byte before a space keeps the space")
        << QByteArray("\x82 0001") << bad + " 0001";
    QTest::newRow("bytes FD to FF") << QByteArray("\xfd\xfe\xff") << bad + bad + bad;
    QTest::newRow("NUL passes through") << QByteArray("a\0b", 3) << QString::fromUtf16(u"a\0b", 3);
    QTest::newRow("NEC-selected IBM extension reads as the IBM one")
        << QByteArray("\xed\x40") << QString::fromUtf16(u"纊");
}

void TestCp932::badBytesDecode() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, text);
    QCOMPARE(Cp932Decode(bytes), text);
}

QTEST_GUILESS_MAIN(TestCp932)
#include "test_cp932.moc"
