#include "timecode/duration.h"

#include <QtTest>

#include <climits>

namespace {

// The rows give the old Drop setting: 1 drop-frame, anything else non-drop.
TimecodeRate Thirty(int drop) {
    return TimecodeRate::Thirty(drop == 1);
}

TimecodeCell Cell(const QByteArray& text, TimecodeRate rate) {
    return TimecodeCell::Read(text.toStdString(), rate);
}

QString TextOf(const std::optional<TimecodeCell>& cell) {
    return cell ? QString::fromStdString(cell->Text()) : QString();
}

} // namespace

class TestDuration : public QObject {
    Q_OBJECT
private slots:
    void cellText_data();
    void cellText();
    void rowDuration_data();
    void rowDuration();
    void frameCheck_data();
    void frameCheck();
    void rowDurationAt24And25_data();
    void rowDurationAt24And25();
    void frameCheckAt24And25_data();
    void frameCheckAt24And25();
    void formatsAtTheLimits();
};

Q_DECLARE_METATYPE(TimecodeRate)

void TestDuration::cellText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<int>("drop");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("count");

    QTest::newRow("plain timecode") << QByteArray("00:00:10:00") << 0 << true << 300;
    QTest::newRow("counting mode applies") << QByteArray("00:01:00:02") << 1 << true << 1800;
    QTest::newRow("no range test on fields") << QByteArray("99:99:99:99") << 0 << true << 10873269;
    QTest::newRow("negative field") << QByteArray("-1:00:00:00") << 0 << true << -108000;
    QTest::newRow("trailing text ignored") << QByteArray("00:00:01:00 x") << 0 << true << 30;
    QTest::newRow("largest hours that fit")
        << QByteArray("9000:00:00:00") << 0 << true << 972000000;
    QTest::newRow("empty cell") << QByteArray("") << 0 << false << 0;
    QTest::newRow("three fields") << QByteArray("00:00:10") << 0 << false << 0;
    QTest::newRow("no timecode dashes") << QByteArray("--:--:--:--") << 1 << false << 0;
    QTest::newRow("number beyond int") << QByteArray("99999999999:00:00:00") << 0 << false << 0;
    // Fits in an int field but its count would overflow 32-bit arithmetic.
    QTest::newRow("count beyond the cell limit") << QByteArray("30000:00:00:00") << 0 << false << 0;
}

void TestDuration::cellText() {
    QFETCH(QByteArray, text);
    QFETCH(int, drop);
    QFETCH(bool, readable);
    QFETCH(int, count);
    const std::optional<int> result = Cell(text, Thirty(drop)).Frames();
    QCOMPARE(result.has_value(), readable);
    QCOMPARE(result.value_or(0), count);
}

void TestDuration::rowDuration_data() {
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<int>("drop");
    QTest::addColumn<bool>("readable");
    QTest::addColumn<int>("diff");
    QTest::addColumn<QString>("text");

    QTest::newRow("OUT after IN") << QByteArray("00:00:10:00") << QByteArray("00:00:12:15") << 0
                                  << true << 75 << "00:00:02:15";
    QTest::newRow("OUT before IN is negative")
        << QByteArray("00:00:12:15") << QByteArray("00:00:10:00") << 0 << true << -75
        << "-00:00:02:15";
    QTest::newRow("equal IN and OUT") << QByteArray("01:02:03:04") << QByteArray("01:02:03:04") << 1
                                      << true << 0 << "00:00:00:00";
    QTest::newRow("drop across the dropped labels")
        << QByteArray("00:00:59:28") << QByteArray("00:01:00:02") << 1 << true << 2
        << "00:00:00:02";
    QTest::newRow("non-drop across the same labels")
        << QByteArray("00:00:59:28") << QByteArray("00:01:00:02") << 0 << true << 4
        << "00:00:00:04";
    QTest::newRow("drop magnitude shown as drop label")
        << QByteArray("00:00:00:00") << QByteArray("00:01:00:02") << 1 << true << 1800
        << "00:01:00:02";
    QTest::newRow("negative drop magnitude shown as drop label")
        << QByteArray("00:01:00:02") << QByteArray("00:00:00:00") << 1 << true << -1800
        << "-00:01:00:02";
    QTest::newRow("drop duration keeps hours past a day")
        << QByteArray("00:00:00:00") << QByteArray("25:00:00:00") << 1 << true << 2697300
        << "25:00:00:00";
    QTest::newRow("non-drop duration reduces hours")
        << QByteArray("00:00:00:00") << QByteArray("25:00:00:00") << 0 << true << 2700000
        << "01:00:00:00";
    QTest::newRow("largest cells do not overflow")
        << QByteArray("-9000:00:00:00") << QByteArray("9000:00:00:00") << 0 << true << 1944000000
        << "00:00:00:00";
    QTest::newRow("OUT with three fields")
        << QByteArray("00:00:10:00") << QByteArray("00:00:12") << 0 << false << 0 << "";
    QTest::newRow("empty IN") << QByteArray("") << QByteArray("00:00:12:15") << 0 << false << 0
                              << "";
    QTest::newRow("huge number in OUT")
        << QByteArray("00:00:10:00") << QByteArray("00:00:00:99999999999") << 0 << false << 0 << "";
}

void TestDuration::rowDuration() {
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    QFETCH(int, drop);
    QFETCH(bool, readable);
    QFETCH(int, diff);
    QFETCH(QString, text);
    const TimecodeRate rate = Thirty(drop);
    const std::optional<int> result = RowDuration(Cell(in, rate), Cell(out, rate), rate);
    QCOMPARE(result.has_value(), readable);
    QCOMPARE(result.value_or(0), diff);
    if (readable)
        QCOMPARE(QString::fromStdString(FormatDuration(*result, Thirty(drop))), text);
}

void TestDuration::frameCheck_data() {
    QTest::addColumn<QByteArray>("prevOut");
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<int>("gap");
    QTest::addColumn<int>("drop");
    QTest::addColumn<bool>("moved");
    QTest::addColumn<QString>("newOut");

    QTest::newRow("gap of 2 moves OUT") << QByteArray("00:00:20:10") << QByteArray("00:00:20:12")
                                        << 3 << 0 << true << "00:00:20:09";
    QTest::newRow("gap of 3 leaves OUT")
        << QByteArray("00:00:20:10") << QByteArray("00:00:20:13") << 3 << 0 << false << "";
    QTest::newRow("IN on the OUT frame moves OUT")
        << QByteArray("00:00:20:10") << QByteArray("00:00:20:10") << 3 << 0 << true
        << "00:00:20:07";
    QTest::newRow("IN before OUT moves OUT before IN")
        << QByteArray("00:00:20:10") << QByteArray("00:00:15:00") << 3 << 0 << true
        << "00:00:14:27";
    QTest::newRow("drop gap 4 across the dropped labels")
        << QByteArray("00:01:00:02") << QByteArray("00:01:00:03") << 4 << 1 << true
        << "00:00:59:27";
    QTest::newRow("drop gap 3 across the dropped labels")
        << QByteArray("00:01:00:02") << QByteArray("00:01:00:04") << 3 << 1 << true
        << "00:00:59:29";
    QTest::newRow("non-drop gap 4 over the same labels")
        << QByteArray("00:01:00:02") << QByteArray("00:01:00:03") << 4 << 0 << true
        << "00:00:59:29";
    // 00:00:59:29 to 00:01:00:02 is 1 frame in drop-frame counting but 3 in non-drop.
    QTest::newRow("drop: labels 3 apart are 1 frame apart")
        << QByteArray("00:00:59:29") << QByteArray("00:01:00:02") << 3 << 1 << true
        << "00:00:59:27";
    QTest::newRow("non-drop: labels 3 apart are wide enough")
        << QByteArray("00:00:59:29") << QByteArray("00:01:00:02") << 3 << 0 << false << "";
    QTest::newRow("OUT never before zero") << QByteArray("00:00:00:05") << QByteArray("00:00:00:02")
                                           << 4 << 0 << true << "00:00:00:00";
    QTest::newRow("drop OUT never before zero")
        << QByteArray("00:00:00:01") << QByteArray("00:00:00:00") << 3 << 1 << true
        << "00:00:00:00";
    QTest::newRow("unreadable previous OUT stays")
        << QByteArray("00:00:20") << QByteArray("00:00:20:12") << 3 << 0 << false << "";
    QTest::newRow("unreadable IN leaves OUT")
        << QByteArray("00:00:20:10") << QByteArray("--:--:--:--") << 3 << 0 << false << "";
    QTest::newRow("absurd gap from a settings file")
        << QByteArray("00:00:20:10") << QByteArray("00:00:20:12") << INT_MAX << 0 << true
        << "00:00:00:00";
    QTest::newRow("absurd negative gap")
        << QByteArray("9000:00:00:00") << QByteArray("-9000:00:00:00") << INT_MIN << 0 << false
        << "";
}

void TestDuration::frameCheck() {
    QFETCH(QByteArray, prevOut);
    QFETCH(QByteArray, in);
    QFETCH(int, gap);
    QFETCH(int, drop);
    QFETCH(bool, moved);
    QFETCH(QString, newOut);
    const TimecodeRate rate = Thirty(drop);
    const std::optional<TimecodeCell> result =
        FrameCheckNewOut(Cell(in, rate), Cell(prevOut, rate), gap, rate);
    QCOMPARE(result.has_value(), moved);
    QCOMPARE(TextOf(result), newOut);
}

void TestDuration::rowDurationAt24And25_data() {
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<QByteArray>("out");
    QTest::addColumn<TimecodeRate>("rate");
    QTest::addColumn<int>("diff");
    QTest::addColumn<QString>("text");

    const TimecodeRate r24{24, false};
    const TimecodeRate r25{25, false};
    QTest::newRow("24: a second is 24 frames")
        << QByteArray("00:00:10:00") << QByteArray("00:00:12:15") << r24 << 63 << "00:00:02:15";
    QTest::newRow("25: a second is 25 frames")
        << QByteArray("00:00:10:00") << QByteArray("00:00:12:15") << r25 << 65 << "00:00:02:15";
    QTest::newRow("24: no labels dropped at a minute")
        << QByteArray("00:00:59:22") << QByteArray("00:01:00:02") << r24 << 4 << "00:00:00:04";
    QTest::newRow("25: frame 24 is the last of its second")
        << QByteArray("00:00:00:24") << QByteArray("00:00:01:00") << r25 << 1 << "00:00:00:01";
    QTest::newRow("25: an hour") << QByteArray("00:00:00:00") << QByteArray("01:00:00:00") << r25
                                 << 90000 << "01:00:00:00";
    QTest::newRow("24: OUT before IN is negative")
        << QByteArray("00:00:01:00") << QByteArray("00:00:00:23") << r24 << -1 << "-00:00:00:01";
    // A drop flag means nothing at 24 or 25: the setting may still say Drop.
    QTest::newRow("25 with a drop flag counts every label")
        << QByteArray("00:00:59:24") << QByteArray("00:01:00:00") << TimecodeRate{25, true} << 1
        << "00:00:00:01";
}

void TestDuration::rowDurationAt24And25() {
    QFETCH(QByteArray, in);
    QFETCH(QByteArray, out);
    QFETCH(TimecodeRate, rate);
    QFETCH(int, diff);
    QFETCH(QString, text);
    QCOMPARE(RowDuration(Cell(in, rate), Cell(out, rate), rate).value_or(INT_MIN), diff);
    QCOMPARE(QString::fromStdString(FormatDuration(diff, rate)), text);
}

void TestDuration::frameCheckAt24And25_data() {
    QTest::addColumn<QByteArray>("prevOut");
    QTest::addColumn<QByteArray>("in");
    QTest::addColumn<int>("gap");
    QTest::addColumn<TimecodeRate>("rate");
    QTest::addColumn<QString>("newOut"); // empty: the OUT stays

    const TimecodeRate r24{24, false};
    const TimecodeRate r25{25, false};
    QTest::newRow("24: gap of 2 moves OUT")
        << QByteArray("00:00:20:10") << QByteArray("00:00:20:12") << 3 << r24 << "00:00:20:09";
    QTest::newRow("24: back over a second")
        << QByteArray("00:00:21:00") << QByteArray("00:00:21:01") << 3 << r24 << "00:00:20:22";
    QTest::newRow("25: back over a second")
        << QByteArray("00:00:21:00") << QByteArray("00:00:21:01") << 3 << r25 << "00:00:20:23";
    QTest::newRow("24: back over a minute, no labels dropped")
        << QByteArray("00:01:00:00") << QByteArray("00:01:00:02") << 4 << r24 << "00:00:59:22";
    QTest::newRow("25: frame 24 to frame 02 is 3 frames")
        << QByteArray("00:00:59:24") << QByteArray("00:01:00:02") << 3 << r25 << "";
}

void TestDuration::frameCheckAt24And25() {
    QFETCH(QByteArray, prevOut);
    QFETCH(QByteArray, in);
    QFETCH(int, gap);
    QFETCH(TimecodeRate, rate);
    QFETCH(QString, newOut);
    QCOMPARE(TextOf(FrameCheckNewOut(Cell(in, rate), Cell(prevOut, rate), gap, rate)), newOut);
}

void TestDuration::formatsAtTheLimits() {
    QCOMPARE(QString::fromStdString(FormatTimecode(-5, Thirty(0))), QStringLiteral("00:00:00:00"));
    QCOMPARE(QString::fromStdString(FormatTimecode(2589408, Thirty(1))),
             QStringLiteral("24:00:00:00"));
    QCOMPARE(QString::fromStdString(FormatDuration(INT_MIN, Thirty(0))),
             QStringLiteral("-12:06:28:07"));
    QCOMPARE(QString::fromStdString(FormatDuration(INT_MIN, Thirty(1))),
             QStringLiteral("-19904:00:42:19"));
}

QTEST_GUILESS_MAIN(TestDuration)
#include "test_duration.moc"
