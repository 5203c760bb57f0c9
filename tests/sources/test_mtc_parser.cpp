// MIDI timecode out of raw MIDI bytes: quarter frames, full-frame messages, and everything
// else a MIDI cable carries between them.

#include "hex_bytes.h"
#include "sources/mtc_parser.h"

#include <QRandomGenerator>
#include <QTest>

namespace {

constexpr int64_t QUARTER_NS = 1001000000LL / 120; // a quarter of a 29.97 frame

// Feeds slots of bytes separated by '|', one a quarter frame after the other, and
// reads the time at the last slot: HH:MM:SS:FF, or empty when there is none.
QString TimeAfter(MtcParser& parser, const QByteArray& bytes, int64_t startNs = 0) {
    int64_t now = startNs;
    for (const QByteArray& slot : bytes.split('|')) {
        for (char b : Hex(slot.trimmed().constData()))
            parser.Take(uint8_t(b), now);
        now += QUARTER_NS;
    }
    const Timecode at = AnchorTimecodeAt(parser.Anchor(), now - QUARTER_NS);
    return at ? QString::fromStdString(at.Text()) : QString();
}

// 01:02:03:04 at 29.97 drop-frame, pieces 0 to 7.
const char* const k010203DF = "F1 04|F1 10|F1 23|F1 30|F1 42|F1 50|F1 61|F1 74";

} // namespace

class TestMtcParser : public QObject {
    Q_OBJECT

private slots:
    void time_data();
    void time();
    void garbageThenTimeStillReads();
};

namespace {

void Row(const char* name, const QByteArray& bytes, const char* time, const char* rate) {
    QTest::newRow(name) << bytes << QString::fromLatin1(time) << QString::fromLatin1(rate);
}

} // namespace

void TestMtcParser::time_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("expected");
    QTest::addColumn<QString>("rate"); // as the operator is told it; empty for none

    const QByteArray df = k010203DF;
    // 01:02:03:04 in pieces 0 to 6; piece 7 carries the rate code in its bits 1 and 2.
    const QByteArray time = "F1 04|F1 10|F1 23|F1 30|F1 42|F1 50|F1 61|";
    // Piece 7 goes out three quarters into the frame after the one the time names.
    Row("quarter frames in order, code 2 is 29.97 drop-frame", df, "01:02:03:05", "29.97 DF");
    Row("pieces between whole times count on", df + "|F1 06|F1 10|F1 23|F1 30", "01:02:03:06",
        "29.97 DF");
    Row("code 0 is 24", time + "F1 70", "01:02:03:05", "24");
    Row("code 1 is 25", time + "F1 72", "01:02:03:05", "25");
    Row("code 3 is 30 non-drop", time + "F1 76", "01:02:03:05", "30 NDF");
    Row("a new rate with the next whole time", time + "F1 76|" + time + "F1 72", "01:02:03:05",
        "25");
    Row("counting on crosses a drop-frame minute",
        "F1 0C|F1 11|F1 2B|F1 33|F1 40|F1 50|F1 60|F1 74|F1 02|F1 10|F1 20|F1 30", "00:01:00:02",
        "29.97 DF");
    // 00:00:00:22 at 24, then four pieces more: frame 23 is the second's last.
    Row("counting on at 24 crosses a second",
        "F1 06|F1 11|F1 20|F1 30|F1 40|F1 50|F1 60|F1 70|F1 00|F1 10|F1 21|F1 30", "00:00:01:00",
        "24");
    // 00:00:00:24 at 25, gathered: frame 24 is the second's last.
    Row("counting on at 25 crosses a second", "F1 08|F1 11|F1 20|F1 30|F1 40|F1 50|F1 60|F1 72",
        "00:00:01:00", "25");
    Row("no frame 24 at 24", "F1 08|F1 11|F1 20|F1 30|F1 40|F1 50|F1 60|F1 70", "", "");
    Row("no frame 25 at 25", "F1 09|F1 11|F1 20|F1 30|F1 40|F1 50|F1 60|F1 72", "", "");
    Row("pieces out of order", "F1 04|F1 10|F1 23|F1 42|F1 30|F1 50|F1 61|F1 74", "", "");
    Row("a drop-frame label that does not exist", "F1 00|F1 10|F1 20|F1 30|F1 41|F1 50|F1 60|F1 74",
        "", "");
    Row("clock and active sensing inside messages",
        "F1 F8 04|FE F1 10|F1 23 F8|F1 FE 30|F8 F1 42|F1 50|F1 FA 61|F1 74", "01:02:03:05",
        "29.97 DF");
    Row("data after a quarter frame is no quarter frame",
        "90 3C 40 F1 04 3E 40|F1 10 11|F1 23|F1 30|F1 42 B0 07 7F 08|F1 50|F1 61 C0 05|F1 74",
        "01:02:03:05", "29.97 DF");
    Row("quarter frame cut off halfway", "F1 04|F1 10|F1 23|F1 90 30 40|F1 42|F1 50|F1 61|F1 74",
        "", "");
    Row("full-frame message at once, 29.97 drop-frame", "F0 7F 7F 01 01 41 02 03 04 F7",
        "01:02:03:04", "29.97 DF");
    Row("full-frame message with a clock inside, any device", "F0 7F 10 F8 01 01 61 02 03 04 F7",
        "01:02:03:04", "30 NDF");
    Row("full-frame message cut off halfway", "F0 7F 7F 01 01 41 02 F1 04 F7", "", "");
    Row("full-frame message too long", "F0 7F 7F 01 01 41 02 03 04 05 F7", "", "");
    Row("full-frame message at 24", "F0 7F 7F 01 01 01 02 03 04 F7", "01:02:03:04", "24");
    Row("full-frame message at 25", "F0 7F 7F 01 01 21 02 03 04 F7", "01:02:03:04", "25");
    Row("a locate stops the counting on", df + "|F0 7F 7F 01 01 41 00 00 00 F7|F1 16",
        "01:00:00:00", "29.97 DF");
}

// The time at the last byte, and its rate from the rate code the source sends with it.
void TestMtcParser::time() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, expected);
    QFETCH(QString, rate);

    MtcParser parser;
    QCOMPARE(TimeAfter(parser, bytes, 1000000000LL), expected);
    const TimecodeAnchor& anchor = parser.Anchor();
    QCOMPARE(anchor.valid ? QString::fromStdString(SignalRateText({anchor.rate, anchor.periodNs}))
                          : QString(),
             rate);
}

void TestMtcParser::garbageThenTimeStillReads() {
    MtcParser parser;
    QRandomGenerator random(14);
    int64_t now = 0;
    for (int i = 0; i < 200000; ++i)
        parser.Take(uint8_t(random.bounded(256)), now += 320000);
    QCOMPARE(TimeAfter(parser, k010203DF, now + QUARTER_NS), QStringLiteral("01:02:03:05"));
}

QTEST_GUILESS_MAIN(TestMtcParser)
#include "test_mtc_parser.moc"
