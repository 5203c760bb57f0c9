// The frame under the head at a moment, from a deck's dated readings: counted on at play
// speed, taken as it is otherwise, and a reply read as a label at the list's rate. The
// readings are made here from a tape of known motion, as the worker would have dated them.

#include "sources/deck_readings.h"

#include <QTest>

#include <cmath>
#include <cstdio>

using Readings = std::vector<DeckReading>;
Q_DECLARE_METATYPE(Readings)
Q_DECLARE_METATYPE(TimecodeRate)

namespace {

constexpr int64_t kMs = 1'000'000;
constexpr double kNtscNs = 1001e9 / 30000;
constexpr double kFilmNs = 1e9 / 30;
const TimecodeRate kDrop = TimecodeRate::Thirty(true);

// A tape under the head: frame `start` began at time 0, and `speed` frames of `periodNs` pass
// with each period (0 for a still tape, 2 for shuttle, 0.5 for jog).
struct Motion {
    long long start = 0;
    TimecodeRate rate = kDrop;
    double periodNs = kNtscNs;
    double speed = 1;

    Timecode At(double ns) const {
        return Timecode::AtFrame(start + (long long)std::floor(speed * ns / periodNs), rate);
    }
};

Motion Tape(const char* start, TimecodeRate rate = kDrop, double periodNs = kNtscNs) {
    return Motion{Timecode::FromText(start, rate).Frame(), rate, periodNs};
}

// Readings of the motion asked every 100 ms from firstNs, as the worker places them: each
// request a further 2 ms into the period (0, 2, ... 34, then 33, 31, ... 1), and each
// answered 200 us after it was asked with the frame under the head halfway.
Readings Poll(const Motion& tape, int count, int64_t firstNs = 0) {
    Readings readings;
    for (int i = 0; i < count; ++i) {
        DeckReading r;
        r.answered = true;
        const int sweep = i % 35 <= 17 ? 2 * (i % 35) : 69 - 2 * (i % 35);
        r.askedNs = firstNs + i * 100 * kMs + sweep * kMs;
        r.answeredNs = r.askedNs + 200'000;
        const TimecodeLabel label = tape.At(double(r.askedNs) + 100'000).Label();
        std::snprintf(r.digits, sizeof r.digits, "%02d%02d%02d%02d", label.hours, label.minutes,
                      label.seconds, label.frames);
        readings.push_back(r);
    }
    return readings;
}

void Row(const char* name, const Readings& readings, int64_t atNs, TimecodeRate rate,
         const std::string& expected) {
    QTest::newRow(name) << readings << qint64(atNs) << rate << QString::fromStdString(expected);
}

// Play: the moment lies intoFrame (0 to 1) into its frame, sinceMs or less after the latest
// reply, and gives the frame then under the head. The tape's frames begin 11.3 ms off the
// request grid, in step with nothing.
void Playing(const char* name, const Motion& tape, int polls, int sinceMs, double intoFrame) {
    const Readings readings = Poll(tape, polls, 11'300'000);
    const double near = double(readings.back().answeredNs + sinceMs * kMs);
    const double at = (std::floor(near / tape.periodNs) - 1 + intoFrame) * tape.periodNs;
    Row(name, readings, int64_t(at), tape.rate, tape.At(at).Text());
}

// Anything but play speed gives the latest reading, as the last tick would have shown it.
void AsItIs(const char* name, double speed, int polls, int sinceMs, bool locateFirst = false) {
    Motion tape = Tape("01:00:00:00");
    tape.speed = speed;
    Readings readings = locateFirst ? Poll(Tape("00:10:00:00"), 10) : Readings();
    for (const DeckReading& r : Poll(tape, polls, int64_t(readings.size()) * 100 * kMs))
        readings.push_back(r);
    const Timecode latest = Timecode::FromDigits(readings.back().digits, kDrop);
    Row(name, readings, readings.back().answeredNs + sinceMs * kMs, kDrop, latest.Text());
}

// Ten readings of play, a failed exchange, then one more: its reply (empty for another
// failure) read at the rate.
void AfterFailure(const char* name, const char* digits, TimecodeRate rate, const char* shown) {
    Readings readings = Poll(Tape("01:00:00:00"), 10);
    readings.push_back(readings.back());
    readings.back().answered = false;
    readings.back().askedNs += 100 * kMs;
    readings.back().answeredNs += 230 * kMs;
    DeckReading last = readings.back();
    last.askedNs = last.answeredNs;
    last.answeredNs += 1 * kMs;
    last.answered = *digits != '\0';
    qstrncpy(last.digits, digits, sizeof last.digits);
    readings.push_back(last);
    Row(name, readings, last.answeredNs + 50 * kMs, rate, shown);
}

} // namespace

class TestDeckReadings : public QObject {
    Q_OBJECT

private slots:
    void frameAtAMoment_data();
    void frameAtAMoment();
};

void TestDeckReadings::frameAtAMoment_data() {
    QTest::addColumn<Readings>("readings");
    QTest::addColumn<qint64>("atNs");
    QTest::addColumn<TimecodeRate>("rate"); // the list's
    QTest::addColumn<QString>("expected");  // "nothing": no reading to go on

    // Mid-frame moments come out right from any two readings; moments near a frame's edges
    // need the phase that a sweep of requests pins down.
    const Motion df = Tape("01:00:00:00");
    Playing("play, 29.97 drop-frame, two readings, mid-frame", df, 2, 60, 0.5);
    Playing("play, 29.97 drop-frame, a sweep, early in a frame", df, 40, 60, 0.08);
    Playing("play, 29.97 drop-frame, a sweep, late in a frame", df, 40, 60, 0.92);
    const TimecodeRate nonDrop = TimecodeRate::Thirty(false);
    Playing("play, 30 non-drop, a sweep, early in a frame", Tape("01:00:00:00", nonDrop, kFilmNs),
            40, 80, 0.08);
    Playing("play, non-drop labels at 29.97, a sweep, late in a frame",
            Tape("01:00:00:00", nonDrop), 60, 80, 0.92);
    Playing("play, a moment before the latest reading counts back", df, 40, -70, 0.1);
    Playing("play, the longest count on", df, 40, 290, 0.9);
    Playing("play across midnight", Tape("23:59:58:00"), 40, 60, 0.1);
    Playing("play across a minute drop-frame skips", Tape("00:00:55:00"), 40, 60, 0.1);

    // A still tape, then play: a moment dated back to when the tape stood gives the frame
    // under the head as the first playing reading was asked, not frames counted back into
    // the stop.
    Motion still = df;
    still.speed = 0;
    Motion playing = df;
    playing.start -= 30; // from a second in, where the readings go on
    Readings readings = Poll(still, 10);
    const Readings play = Poll(playing, 5, 10 * 100 * kMs);
    readings.insert(readings.end(), play.begin(), play.end());
    Row("play after a still tape counts back no further than the play", readings, 5 * 100 * kMs,
        kDrop, playing.At(double(play.front().askedNs)).Text());

    AsItIs("still tape", 0.0, 10, 80);
    AsItIs("shuttle forward at twice play speed", 2.0, 10, 80);
    AsItIs("shuttle back", -3.0, 10, 80);
    AsItIs("jog at half speed", 0.5, 10, 80);
    AsItIs("one reading says nothing of motion", 1.0, 1, 80);
    AsItIs("a reading older than the count-on (polling paused)", 1.0, 10, 400);
    AsItIs("the first reading after a locate", 1.0, 1, 80, true);

    Row("no reading yet: nothing to go on", Readings(), 0, kDrop, "nothing");
    AfterFailure("the deck stopped answering", "", kDrop, "--:--:--:--");
    AfterFailure("a deck that answers again gives its reading", "02000000", kDrop, "02:00:00:00");
    // What a deck sends is a time only when it is a label at the list's rate.
    AfterFailure("a label", "01123425", kDrop, "01:12:34:25");
    // A non-drop deck under a drop-frame list: its label is kept, counted non-drop.
    AfterFailure("a label drop-frame skips", "00010000", kDrop, "00:01:00:00");
    AfterFailure("a nibble beyond 9", "011?342:", kDrop, "--:--:--:--");
    AfterFailure("bytes that are no digits", "AB:CD?!x", nonDrop, "--:--:--:--");
    AfterFailure("frame 30", "01000030", nonDrop, "--:--:--:--");
    const TimecodeRate at25{25, false};
    AfterFailure("frame 24 at 25", "01000024", at25, "01:00:00:24");
    AfterFailure("frame 25 at 25", "01000025", at25, "--:--:--:--");
}

void TestDeckReadings::frameAtAMoment() {
    QFETCH(Readings, readings);
    QFETCH(qint64, atNs);
    QFETCH(TimecodeRate, rate);
    QFETCH(QString, expected);

    const std::optional<Timecode> got = DeckTimecodeAt(readings, atNs, rate);
    QCOMPARE(got ? QString::fromStdString(got->Text()) : QStringLiteral("nothing"), expected);
}

QTEST_GUILESS_MAIN(TestDeckReadings)
#include "test_deck_readings.moc"
