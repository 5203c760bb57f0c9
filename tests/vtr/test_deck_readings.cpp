// The frame under the head at a moment, from a deck's dated readings: counted on at play
// speed, taken as it is otherwise. The readings are made here from a tape of known motion, as
// the worker would have dated them.

#include "vtr/deck_readings.h"

#include <QTest>

#include <cmath>
#include <cstdio>

namespace {

constexpr int64_t kMs = 1'000'000;
constexpr double kNtscNs = 1001e9 / 30000;
constexpr double kFilmNs = 1e9 / 30;

// A tape under the head: frame `start` began at time 0, and `speed` frames of `periodNs` pass
// with each period (0 for a still tape, 2 for shuttle, 0.5 for jog).
struct Motion {
    long long start = 0;
    TimecodeRate rate = TimecodeRate::Thirty(true);
    double periodNs = kNtscNs;
    double speed = 1;

    long long FrameAt(double ns) const {
        return start + (long long)std::floor(speed * ns / periodNs);
    }
    Timecode At(double ns) const { return Timecode::AtFrame(FrameAt(ns), rate); }
};

// Readings of the motion asked every 100 ms from firstNs, 98 to 102 ms apart as the worker
// places them, each answered 200 us after it was asked with the frame under the head halfway.
std::vector<DeckReading> Poll(const Motion& tape, int count, int64_t firstNs = 0) {
    static const int kSweep[] = {0,  2,  4,  6,  8,  10, 12, 14, 16, 18, 20, 22,
                                 24, 26, 28, 30, 32, 34, 33, 31, 29, 27, 25, 23,
                                 21, 19, 17, 15, 13, 11, 9,  7,  5,  3,  1};
    std::vector<DeckReading> readings;
    for (int i = 0; i < count; ++i) {
        DeckReading r;
        r.answered = true;
        r.askedNs = firstNs + i * 100 * kMs + kSweep[i % 35] * kMs;
        r.answeredNs = r.askedNs + 200'000;
        const TimecodeLabel label = tape.At(double(r.askedNs) + 100'000).Label();
        std::snprintf(r.digits, sizeof r.digits, "%02d%02d%02d%02d", label.hours, label.minutes,
                      label.seconds, label.frames);
        readings.push_back(r);
    }
    return readings;
}

long long Frames(const char* label, bool drop) {
    return Timecode::FromText(label, TimecodeRate::Thirty(drop)).Frame();
}

} // namespace

class TestDeckReadings : public QObject {
    Q_OBJECT

private slots:
    void countsOnAtPlaySpeed_data();
    void countsOnAtPlaySpeed();
    void countsBackNoFurtherThanThePlay();
    void takesTheReadingAsItIs_data();
    void takesTheReadingAsItIs();
    void silentDeckOrNoReading_data();
    void silentDeckOrNoReading();
};

void TestDeckReadings::countsOnAtPlaySpeed_data() {
    QTest::addColumn<QString>("start");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<double>("periodNs");
    QTest::addColumn<int>("polls");
    QTest::addColumn<int>("sinceMs");      // the moment, at most this long after the latest reply
    QTest::addColumn<double>("intoFrame"); // where in its frame the moment falls, 0 to 1

    // Mid-frame moments come out right from any two readings; moments near a frame's edges
    // need the phase that a sweep of requests pins down.
    QTest::newRow("29.97 drop-frame, two readings, mid-frame")
        << "01:00:00:00" << true << kNtscNs << 2 << 60 << 0.5;
    QTest::newRow("29.97 drop-frame, a sweep, early in a frame")
        << "01:00:00:00" << true << kNtscNs << 40 << 60 << 0.08;
    QTest::newRow("29.97 drop-frame, a sweep, late in a frame")
        << "01:00:00:00" << true << kNtscNs << 40 << 60 << 0.92;
    QTest::newRow("30 non-drop, a sweep, early in a frame")
        << "01:00:00:00" << false << kFilmNs << 40 << 80 << 0.08;
    QTest::newRow("non-drop labels at 29.97, a sweep, late in a frame")
        << "01:00:00:00" << false << kNtscNs << 60 << 80 << 0.92;
    QTest::newRow("a moment before the latest reading counts back")
        << "01:00:00:00" << true << kNtscNs << 40 << -70 << 0.1;
    QTest::newRow("the longest count on") << "01:00:00:00" << true << kNtscNs << 40 << 290 << 0.9;
    QTest::newRow("across midnight") << "23:59:58:00" << true << kNtscNs << 40 << 60 << 0.1;
    QTest::newRow("across a minute drop-frame skips")
        << "00:00:55:00" << true << kNtscNs << 40 << 60 << 0.1;
}

void TestDeckReadings::countsBackNoFurtherThanThePlay() {
    // A still tape, then play: a moment dated back to when the tape stood gives the first
    // frame the playing readings vouch for, not frames counted back into the stop.
    Motion still;
    still.start = Frames("01:00:00:00", true);
    still.speed = 0;
    std::vector<DeckReading> readings = Poll(still, 10);
    Motion playing = still;
    playing.start = still.start - 30; // from a second in, where the readings go on
    const std::vector<DeckReading> play = Poll(playing, 5, 10 * 100 * kMs);
    readings.insert(readings.end(), play.begin(), play.end());

    const std::optional<Timecode> got =
        DeckTimecodeAt(readings, 5 * 100 * kMs, TimecodeRate::Thirty(true));
    QVERIFY(got.has_value());
    const Timecode first = Timecode::FromDigits(play.front().digits, TimecodeRate::Thirty(true));
    QVERIFY2(got->Frame() >= first.Frame() - 1 && got->Frame() <= first.Frame(),
             got->Text().c_str());
}

void TestDeckReadings::countsOnAtPlaySpeed() {
    QFETCH(QString, start);
    QFETCH(bool, drop);
    QFETCH(double, periodNs);
    QFETCH(int, polls);
    QFETCH(int, sinceMs);
    QFETCH(double, intoFrame);

    Motion tape;
    tape.start = Frames(start.toLatin1().constData(), drop);
    tape.rate = TimecodeRate::Thirty(drop);
    tape.periodNs = periodNs;
    // The tape's frames begin 11.3 ms off the request grid, in step with nothing.
    const std::vector<DeckReading> readings = Poll(tape, polls, 11'300'000);
    const double near = double(readings.back().answeredNs + sinceMs * kMs);
    const double at = (std::floor(near / periodNs) - 1 + intoFrame) * periodNs;

    const std::optional<Timecode> got =
        DeckTimecodeAt(readings, int64_t(at), TimecodeRate::Thirty(drop));
    QVERIFY(got.has_value());
    QCOMPARE(QString::fromStdString(got->Text()), QString::fromStdString(tape.At(at).Text()));
}

void TestDeckReadings::takesTheReadingAsItIs_data() {
    QTest::addColumn<double>("speed");
    QTest::addColumn<int>("polls");
    QTest::addColumn<int>("sinceMs");
    QTest::addColumn<bool>("locateFirst");

    QTest::newRow("still tape") << 0.0 << 10 << 80 << false;
    QTest::newRow("shuttle forward at twice play speed") << 2.0 << 10 << 80 << false;
    QTest::newRow("shuttle back") << -3.0 << 10 << 80 << false;
    QTest::newRow("jog at half speed") << 0.5 << 10 << 80 << false;
    QTest::newRow("one reading says nothing of motion") << 1.0 << 1 << 80 << false;
    QTest::newRow("a reading older than the count-on (polling paused)")
        << 1.0 << 10 << 400 << false;
    QTest::newRow("the first reading after a locate") << 1.0 << 1 << 80 << true;
}

// Anything but play speed: the latest reading, as the last tick would have shown it.
void TestDeckReadings::takesTheReadingAsItIs() {
    QFETCH(double, speed);
    QFETCH(int, polls);
    QFETCH(int, sinceMs);
    QFETCH(bool, locateFirst);

    Motion tape;
    tape.start = Frames("01:00:00:00", true);
    tape.speed = speed;
    std::vector<DeckReading> readings;
    if (locateFirst) {
        Motion before = tape;
        before.start = Frames("00:10:00:00", true);
        readings = Poll(before, 10);
    }
    for (const DeckReading& r : Poll(tape, polls, int64_t(readings.size()) * 100 * kMs))
        readings.push_back(r);
    const int64_t at = readings.back().answeredNs + sinceMs * kMs;

    const std::optional<Timecode> got = DeckTimecodeAt(readings, at, TimecodeRate::Thirty(true));
    QVERIFY(got.has_value());
    QCOMPARE(QByteArray::fromStdString(got->Text()).replace(":", ""),
             QByteArray(readings.back().digits));
}

void TestDeckReadings::silentDeckOrNoReading_data() {
    QTest::addColumn<int>("polls");
    QTest::addColumn<QByteArray>("lastDigits"); // empty: the last exchange failed
    QTest::addColumn<bool>("anything");
    QTest::addColumn<QString>("shown");

    QTest::newRow("no reading yet: nothing to go on") << 0 << QByteArray("x") << false << "";
    QTest::newRow("the deck stopped answering") << 10 << QByteArray() << true << "--:--:--:--";
    QTest::newRow("a latest reply that is no label")
        << 10 << QByteArray("011?342:") << true << "--:--:--:--";
    QTest::newRow("a deck that answers again gives its reading")
        << 10 << QByteArray("02000000") << true << "02:00:00:00";
}

void TestDeckReadings::silentDeckOrNoReading() {
    QFETCH(int, polls);
    QFETCH(QByteArray, lastDigits);
    QFETCH(bool, anything);
    QFETCH(QString, shown);

    Motion tape;
    tape.start = Frames("01:00:00:00", true);
    std::vector<DeckReading> readings = Poll(tape, polls);
    if (polls > 0) {
        // A failed exchange, then the last one.
        readings.push_back(readings.back());
        readings.back().answered = false;
        readings.back().askedNs += 100 * kMs;
        readings.back().answeredNs += 230 * kMs;
        DeckReading last = readings.back();
        last.askedNs = last.answeredNs;
        last.answeredNs += 1 * kMs;
        last.answered = !lastDigits.isEmpty();
        qstrncpy(last.digits, lastDigits.constData(), sizeof last.digits);
        readings.push_back(last);
    }
    const int64_t at = readings.empty() ? 0 : readings.back().answeredNs + 50 * kMs;

    const std::optional<Timecode> got = DeckTimecodeAt(readings, at, TimecodeRate::Thirty(true));
    QCOMPARE(got.has_value(), anything);
    if (anything)
        QCOMPARE(QString::fromStdString(got->Text()), shown);
}

QTEST_GUILESS_MAIN(TestDeckReadings)
#include "test_deck_readings.moc"
