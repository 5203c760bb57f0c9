#include "timecode/timecode.h"
#include "timecode/timecode_scan.h"
#include "timecode/timecode_value.h"

#include <QtTest>

#include <climits>

class TestTimecode : public QObject {
    Q_OBJECT
private slots:
    void fieldsToFrames_data();
    void fieldsToFrames();
    void framesToFields_data();
    void framesToFields();
    void fullDayRoundTrip_data();
    void fullDayRoundTrip();
    void validText_data();
    void validText();
    void scanStopsAtUnreadableNumber_data();
    void scanStopsAtUnreadableNumber();
    void nullPointersAreHarmless();
    void timecodeValue_data();
    void timecodeValue();
    void rateCountsAsAListRate_data();
    void rateCountsAsAListRate();
};

Q_DECLARE_METATYPE(TimecodeRate)

void TestTimecode::fieldsToFrames_data() {
    QTest::addColumn<int>("drop");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("f");
    QTest::addColumn<int>("count");

    QTest::newRow("non-drop zero") << 0 << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("non-drop one minute") << 0 << 0 << 1 << 0 << 0 << 1800;
    QTest::newRow("non-drop one hour") << 0 << 1 << 0 << 0 << 0 << 108000;
    QTest::newRow("non-drop last frame of the day") << 0 << 23 << 59 << 59 << 29 << 2591999;
    QTest::newRow("drop zero") << 1 << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("drop first label of minute 1") << 1 << 0 << 1 << 0 << 2 << 1800;
    QTest::newRow("drop skipped label equals frame before it") << 1 << 0 << 1 << 0 << 0 << 1798;
    QTest::newRow("drop minute 10 keeps its labels") << 1 << 0 << 10 << 0 << 0 << 17982;
    QTest::newRow("drop one hour") << 1 << 1 << 0 << 0 << 0 << 107892;
    QTest::newRow("drop last frame of the day") << 1 << 23 << 59 << 59 << 29 << 2589407;
    QTest::newRow("fields used unchanged") << 0 << 0 << 0 << 0 << 45 << 45;
    QTest::newRow("negative hours give a negative count") << 0 << -1 << 0 << 0 << 0 << -108000;
    QTest::newRow("hours past the day count on") << 1 << 25 << 0 << 0 << 0 << 2697300;
}

void TestTimecode::fieldsToFrames() {
    QFETCH(int, drop);
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(int, s);
    QFETCH(int, f);
    QFETCH(int, count);
    QCOMPARE(LabelToFrames64(TimecodeLabel{h, m, s, f}, TimecodeRate::Thirty(drop != 0)),
             qint64(count));
}

void TestTimecode::framesToFields_data() {
    QTest::addColumn<int>("drop");
    QTest::addColumn<int>("count");
    QTest::addColumn<int>("h");
    QTest::addColumn<int>("m");
    QTest::addColumn<int>("s");
    QTest::addColumn<int>("f");

    QTest::newRow("non-drop zero") << 0 << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("non-drop 1800 is one minute") << 0 << 1800 << 0 << 1 << 0 << 0;
    QTest::newRow("non-drop hours wrap at 24") << 0 << 2592000 << 0 << 0 << 0 << 0;
    QTest::newRow("non-drop INT_MAX") << 0 << INT_MAX << 12 << 6 << 28 << 7;
    QTest::newRow("drop zero") << 1 << 0 << 0 << 0 << 0 << 0;
    QTest::newRow("drop 1798 is the frame before the gap") << 1 << 1798 << 0 << 0 << 59 << 28;
    QTest::newRow("drop 1799") << 1 << 1799 << 0 << 0 << 59 << 29;
    QTest::newRow("drop 1800 skips labels 00 and 01") << 1 << 1800 << 0 << 1 << 0 << 2;
    QTest::newRow("drop minute 9 of a block") << 1 << 16184 << 0 << 9 << 0 << 2;
    QTest::newRow("drop minute 10 starts at 00") << 1 << 17982 << 0 << 10 << 0 << 0;
    QTest::newRow("drop hours not reduced at 24") << 1 << 2589408 << 24 << 0 << 0 << 0;
    QTest::newRow("drop hours not reduced at 48") << 1 << 5178816 << 48 << 0 << 0 << 0;
    QTest::newRow("drop INT_MAX") << 1 << INT_MAX << 19904 << 0 << 42 << 19;
}

void TestTimecode::framesToFields() {
    QFETCH(int, drop);
    QFETCH(int, count);
    QFETCH(int, h);
    QFETCH(int, m);
    QFETCH(int, s);
    QFETCH(int, f);
    const TimecodeLabel l = FramesToLabel(count, TimecodeRate::Thirty(drop != 0));
    QCOMPARE(l.hours, h);
    QCOMPARE(l.minutes, m);
    QCOMPARE(l.seconds, s);
    QCOMPARE(l.frames, f);
}

void TestTimecode::fullDayRoundTrip_data() {
    QTest::addColumn<int>("drop");
    QTest::addColumn<int>("framesPerDay");
    QTest::newRow("non-drop") << 0 << 2592000;
    QTest::newRow("drop") << 1 << 2589408;
}

// Every count of a day converts to a label that exists in its counting mode and back to
// itself; together that makes the mapping the one-to-one labelling of the day.
void TestTimecode::fullDayRoundTrip() {
    QFETCH(int, drop);
    QFETCH(int, framesPerDay);
    const TimecodeRate rate = TimecodeRate::Thirty(drop != 0);
    for (int count = 0; count < framesPerDay; ++count) {
        const TimecodeLabel l = FramesToLabel(count, rate);
        const int h = l.hours, m = l.minutes, s = l.seconds, f = l.frames;
        const bool inRange =
            h >= 0 && h <= 23 && m >= 0 && m <= 59 && s >= 0 && s <= 59 && f >= 0 && f <= 29;
        const bool skippedLabel = drop && s == 0 && f < 2 && m % 10 != 0;
        const long long back = LabelToFrames64(l, rate);
        if (!inRange || skippedLabel || back != count) {
            const QByteArray label = QStringLiteral("count %1 -> %2:%3:%4:%5 -> %6")
                                         .arg(count)
                                         .arg(h)
                                         .arg(m)
                                         .arg(s)
                                         .arg(f)
                                         .arg(back)
                                         .toLatin1();
            QFAIL(label.constData());
        }
    }
}

void TestTimecode::validText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("valid");

    QTest::newRow("reference form") << QByteArray("00:00:00:00") << 1;
    QTest::newRow("last frame of the day") << QByteArray("23:59:59:29") << 1;
    QTest::newRow("single digits") << QByteArray("1:2:3:4") << 1;
    QTest::newRow("trailing text ignored") << QByteArray("01:02:03:04 and more") << 1;
    QTest::newRow("white space before numbers") << QByteArray(" 1:\t2: 3:\n4") << 1;
    QTest::newRow("signed numbers") << QByteArray("+1:-0:+3:4") << 1;
    QTest::newRow("drop-frame skipped label is still text") << QByteArray("00:01:00:00") << 1;
    QTest::newRow("many leading zeros are one small number")
        << QByteArray("00:00:00:000000000000000000029") << 1;
    QTest::newRow("hours 24") << QByteArray("24:00:00:00") << 0;
    QTest::newRow("minutes 60") << QByteArray("23:60:00:00") << 0;
    QTest::newRow("seconds 60") << QByteArray("00:00:60:00") << 0;
    QTest::newRow("frames 30") << QByteArray("00:00:00:30") << 0;
    QTest::newRow("negative hours") << QByteArray("-1:00:00:00") << 0;
    QTest::newRow("three fields") << QByteArray("01:02:03") << 0;
    QTest::newRow("no timecode dashes") << QByteArray("--:--:--:--") << 0;
    QTest::newRow("empty") << QByteArray("") << 0;
    QTest::newRow("space before a colon") << QByteArray("01 :02:03:04") << 0;
    QTest::newRow("double colon") << QByteArray("01::02:03:04") << 0;
    QTest::newRow("space after a sign") << QByteArray("- 1:02:03:04") << 0;
    QTest::newRow("sign without digits") << QByteArray("+:02:03:04") << 0;
    QTest::newRow("number beyond int") << QByteArray("00:00:00:99999999999999999999") << 0;
    QTest::newRow("hours that wrap to a small int") << QByteArray("4294967296:00:00:00") << 0;
}

void TestTimecode::validText() {
    QFETCH(QByteArray, text);
    QFETCH(int, valid);
    QCOMPARE(IsTimecodeTextAt(text.constData(), 30) ? 1 : 0, valid);
}

void TestTimecode::scanStopsAtUnreadableNumber_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("read");
    QTest::addColumn<int>("last");

    QTest::newRow("INT_MAX is readable") << QByteArray("1:2:3:2147483647") << 4 << INT_MAX;
    QTest::newRow("INT_MIN is readable") << QByteArray("1:2:3:-2147483648") << 4 << INT_MIN;
    QTest::newRow("one past INT_MAX is not") << QByteArray("1:2:3:2147483648") << 3 << 3;
    QTest::newRow("one past INT_MIN is not") << QByteArray("1:2:3:-2147483649") << 3 << 3;
    QTest::newRow("reading stops at the overflow") << QByteArray("1:99999999999:3:4") << 1 << 1;
    QTest::newRow("fewer fields") << QByteArray("1:2") << 2 << 2;
    QTest::newRow("nothing") << QByteArray(":1:2:3") << 0 << 0;
}

void TestTimecode::scanStopsAtUnreadableNumber() {
    QFETCH(QByteArray, text);
    QFETCH(int, read);
    QFETCH(int, last);
    int fields[4] = {};
    QCOMPARE(ScanTimecodeFields(text.constData(), fields), read);
    if (read > 0)
        QCOMPARE(fields[read - 1], last);
}

void TestTimecode::nullPointersAreHarmless() {
    int fields[4] = {};
    QCOMPARE(ScanTimecodeFields(static_cast<const char*>(nullptr), fields), 0);
}

void TestTimecode::timecodeValue_data() {
    QTest::addColumn<QByteArray>("text"); // as read by FromText, or by FromDigits without colons
    QTest::addColumn<int>("fps");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<int>("frame"); // -1: no timecode
    QTest::addColumn<int>("step");
    QTest::addColumn<QByteArray>("stepped"); // the text step frames on

    QTest::newRow("30 non-drop") << QByteArray("01:00:00:00") << 30 << false << 108000 << 1
                                 << QByteArray("01:00:00:01");
    QTest::newRow("drop-frame skips labels")
        << QByteArray("00:00:59:29") << 30 << true << 1799 << 1 << QByteArray("00:01:00:02");
    QTest::newRow("a skipped label is no timecode")
        << QByteArray("00:01:00:00") << 30 << true << -1 << 0 << QByteArray("--:--:--:--");
    QTest::newRow("25 counts 25 a second")
        << QByteArray("00:00:01:24") << 25 << false << 49 << 1 << QByteArray("00:00:02:00");
    QTest::newRow("no frame 25 at 25")
        << QByteArray("00:00:01:25") << 25 << false << -1 << 0 << QByteArray("--:--:--:--");
    QTest::newRow("24 wraps round midnight backwards")
        << QByteArray("00:00:00:00") << 24 << false << 0 << -1 << QByteArray("23:59:59:23");
    QTest::newRow("drop-frame wraps round midnight")
        << QByteArray("23:59:59:29") << 30 << true << 2589407 << 1 << QByteArray("00:00:00:00");
    QTest::newRow("one field short")
        << QByteArray("01:00:00:0") << 30 << false << -1 << 0 << QByteArray("--:--:--:--");
    QTest::newRow("a sign is no digit")
        << QByteArray("+1:00:00:00") << 30 << false << -1 << 0 << QByteArray("--:--:--:--");
    QTest::newRow("nibbles a deck sends beyond 9")
        << QByteArray("01:1?:34:2:") << 30 << false << -1 << 0 << QByteArray("--:--:--:--");
}

// A value reads only the exact form and labels that exist at its rate, prints back what it
// read, and counts round midnight.
void TestTimecode::timecodeValue() {
    QFETCH(QByteArray, text);
    QFETCH(int, fps);
    QFETCH(bool, drop);
    QFETCH(int, frame);
    QFETCH(int, step);
    QFETCH(QByteArray, stepped);
    const TimecodeRate rate{fps, drop};
    const Timecode tc = Timecode::FromText(text.toStdString(), rate);
    QCOMPARE(tc.Frame(), frame);
    QCOMPARE(Timecode::FromDigits(QByteArray(text).replace(':', "").toStdString(), rate), tc);
    QCOMPARE(QByteArray::fromStdString(tc.Text()), frame < 0 ? QByteArray("--:--:--:--") : text);
    QCOMPARE(QByteArray::fromStdString(tc.Plus(step).Text()), stepped);
    if (frame >= 0)
        QCOMPARE(Timecode::AtFrame(frame + 7LL * FramesPerDay(rate), rate), tc);
}

void TestTimecode::rateCountsAsAListRate_data() {
    QTest::addColumn<TimecodeRate>("rate");
    QTest::addColumn<TimecodeRate>("countsAs");
    QTest::newRow("no frames a second is 30") << TimecodeRate{0, false} << TimecodeRate{30, false};
    QTest::newRow("a negative rate is 30") << TimecodeRate{-25, false} << TimecodeRate{30, false};
    QTest::newRow("60 is 30, drop-frame kept") << TimecodeRate{60, true} << TimecodeRate{30, true};
    QTest::newRow("no drop-frame at 25") << TimecodeRate{25, true} << TimecodeRate{25, false};
    QTest::newRow("no drop-frame at 24") << TimecodeRate{24, true} << TimecodeRate{24, false};
}

// A rate read from outside that no list has counts as the list's default instead of dividing
// by zero or counting labels that do not exist; rates that count alike are equal.
void TestTimecode::rateCountsAsAListRate() {
    QFETCH(TimecodeRate, rate);
    QFETCH(TimecodeRate, countsAs);
    QCOMPARE(rate, countsAs);
    QCOMPARE(rate.Fps(), countsAs.fps);
    QCOMPARE(rate.DropFrame(), countsAs.drop);
    QCOMPARE(FramesPerDay(rate), FramesPerDay(countsAs));
    QCOMPARE(Timecode::AtFrame(123456789, rate).Text(),
             Timecode::AtFrame(123456789, countsAs).Text());
    QCOMPARE(Timecode::FromText("12:34:56:29", rate).Frame(),
             Timecode::FromText("12:34:56:29", countsAs).Frame());
    QCOMPARE(IsTimecodeTextAt("00:00:00:29", rate.fps), countsAs.fps == 30);
}

QTEST_GUILESS_MAIN(TestTimecode)
#include "test_timecode.moc"
