// LTC through a real ALSA capture: ALSA's file plugin reads a file the test writes, so the
// capture path runs with no sound card. The plugin is not paced (it delivers as fast as it
// is read), so these check decoding; the timing of frames is checked on the decoder itself,
// and the pace of a whole source on a raw audio file, which plays at its rate.

#include "sources/live_input.h"
#include "sources/ltc_decoder.h"
#include "sources/ltc_source.h"
#include "timecode/timecode_value.h"
#include "timecode_signal.h"

#include <ltc.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <vector>

using Samples = std::vector<int16_t>;
Q_DECLARE_METATYPE(Samples)
Q_DECLARE_METATYPE(vtrsim::TapeClock)
Q_DECLARE_METATYPE(TimecodeRate)

namespace {

constexpr int RATE = 48000;

// A tape of the simulator at a rate: 24, 25 or 30 frames of labels a second, drop-frame (at 30
// only) or not, pulled down to 23.976 or 29.97 or not.
vtrsim::TapeClock Tape(int fps, bool drop, bool pullDown = false) {
    vtrsim::TapeClock tape;
    tape.fps = fps;
    tape.drop = drop;
    tape.pullDown = pullDown;
    return tape;
}

const vtrsim::TapeClock DF = Tape(30, true);
const vtrsim::TapeClock NDF = Tape(30, false);

int Frames(const char* label, TimecodeRate rate) {
    return Timecode::FromText(label, rate).Frame();
}

QString Label(int count, TimecodeRate rate) {
    return QString::fromStdString(Timecode::AtFrame(count, rate).Text());
}

// Frames first to last - 1 of a run starting at start: the first of a run has nothing to
// follow, and the last ends only when the next begins.
QStringList Run(const char* start, TimecodeRate rate, int first, int last) {
    QStringList labels;
    for (int i = first; i < last; ++i)
        labels << Label(Frames(start, rate) + i, rate);
    return labels;
}

Samples Ltc(const char* start, vtrsim::TapeClock tape, int frames) {
    tape.startFrames = Frames(start, tape.Rate());
    vtrsim::LtcSignal signal(tape);
    Samples out;
    signal.Next(size_t(frames) * RATE * (tape.Slowed() ? 1001 : 1000) / (1000 * tape.Rate().Fps()),
                &out);
    return out;
}

// LTC at 24 or 25 frames a second from 00:00:00:00, by libltc's encoder without the
// simulator.
Samples LtcAt(int fps, int frames) {
    LTCEncoder* encoder =
        ltc_encoder_create(RATE, fps, fps == 25 ? LTC_TV_625_50 : LTC_TV_FILM_24, 0);
    Samples out;
    for (int i = 0; i < frames; ++i) {
        ltc_encoder_encode_frame(encoder);
        ltcsnd_sample_t* buffer = nullptr;
        const int n = ltc_encoder_get_bufferptr(encoder, &buffer, 1);
        for (int k = 0; k < n; ++k)
            out.push_back(int16_t((buffer[k] - 128) * 256));
        ltc_encoder_inc_timecode(encoder);
    }
    ltc_encoder_free(encoder);
    return out;
}

// Every other sample: the signal at twice its speed, as a tape being wound.
Samples Wound(const Samples& in) {
    Samples out;
    for (size_t i = 0; i < in.size(); i += 2)
        out.push_back(in[i]);
    return out;
}

// Decodes in 20 ms writes on the sample clock: sample i is heard at i / RATE seconds.
std::vector<TimecodeAnchor> Decode(const Samples& samples) {
    LtcDecoder decoder(RATE);
    std::vector<TimecodeAnchor> anchors;
    const size_t chunk = 960;
    for (size_t pos = 0; pos < samples.size(); pos += chunk) {
        const size_t n = std::min(chunk, samples.size() - pos);
        decoder.Write(samples.data() + pos, n, int64_t(pos + n - 1) * 1000000000LL / RATE,
                      &anchors);
    }
    return anchors;
}

Samples Noise(double seconds) {
    QRandomGenerator random(14);
    Samples out(size_t(seconds * RATE));
    for (int16_t& s : out)
        s = int16_t(random.bounded(-12000, 12000));
    return out;
}

Samples operator+(Samples a, const Samples& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

} // namespace

class TestLtcInput : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void decodesThroughAlsa_data();
    void decodesThroughAlsa();
    void everyRateFromTheSignal_data();
    void everyRateFromTheSignal();
    void anchorCountsOn_data();
    void anchorCountsOn();
    void rawFilePlaysAtItsRate();

private:
    QTemporaryDir m_dir;
};

void TestLtcInput::initTestCase() {
    // A configuration of the test's own, read by ALSA at its first open: one PCM that plays
    // the file in.raw as if it came from a sound card.
    QFile config(m_dir.filePath(QStringLiteral("asound.conf")));
    QVERIFY(config.open(QIODevice::WriteOnly));
    config.write("pcm.ltctest {\n    type file\n    slave.pcm { type null }\n"
                 "    file \"/dev/null\"\n    format \"raw\"\n    infile \"" +
                 m_dir.filePath(QStringLiteral("in.raw")).toUtf8() + "\"\n}\n");
    config.close();
    qputenv("ALSA_CONFIG_PATH", config.fileName().toUtf8());
}

void TestLtcInput::decodesThroughAlsa_data() {
    QTest::addColumn<Samples>("left");
    QTest::addColumn<Samples>("right"); // empty for a mono device
    QTest::addColumn<int>("channel");
    QTest::addColumn<QStringList>("expected");
    QTest::addColumn<bool>("refused");

    const Samples none;
    QTest::newRow("drop-frame across a minute")
        << Ltc("00:00:59:25", DF, 12) << none << 1 << Run("00:00:59:25", DF.Rate(), 1, 11) << false;
    QTest::newRow("non-drop across a minute") << Ltc("00:09:59:25", NDF, 12) << none << 1
                                              << Run("00:09:59:25", NDF.Rate(), 1, 11) << false;
    QTest::newRow("silence in the middle")
        << Ltc("01:00:10:00", DF, 8) + Samples(RATE / 2) + Ltc("01:00:20:00", DF, 8) << none << 1
        << Run("01:00:10:00", DF.Rate(), 1, 7) + Run("01:00:20:00", DF.Rate(), 1, 7) << false;
    // The decoder finds the bit rate again within the first frame; the second is whole.
    QTest::newRow("noise, then the signal") << Noise(2) + Ltc("10:00:00:00", DF, 8) << none << 1
                                            << Run("10:00:00:00", DF.Rate(), 2, 7) << false;
    QTest::newRow("25 frames from libltc's encoder")
        << LtcAt(25, 30) << none << 1 << Run("00:00:00:00", TimecodeRate{25, false}, 1, 29)
        << false;
    QTest::newRow("24 frames from libltc's encoder")
        << LtcAt(24, 30) << none << 1 << Run("00:00:00:00", TimecodeRate{24, false}, 1, 29)
        << false;
    QTest::newRow("a tape wound at twice its speed refused")
        << Wound(Ltc("01:00:00:00", NDF, 30)) << none << 1 << QStringList() << true;
    const Samples ltc = Ltc("23:59:59:20", NDF, 14);
    QTest::newRow("second channel of two, across midnight")
        << Noise(double(ltc.size()) / RATE) << ltc << 2 << Run("23:59:59:20", NDF.Rate(), 1, 13)
        << false;
}

void TestLtcInput::decodesThroughAlsa() {
    QFETCH(Samples, left);
    QFETCH(Samples, right);
    QFETCH(int, channel);
    QFETCH(QStringList, expected);
    QFETCH(bool, refused);

    const int channels = right.empty() ? 1 : 2;
    Samples interleaved;
    for (size_t i = 0; i < left.size(); ++i) {
        interleaved.push_back(left[i]);
        if (channels == 2)
            interleaved.push_back(right[i]);
    }
    QFile in(m_dir.filePath(QStringLiteral("in.raw")));
    QVERIFY(in.open(QIODevice::WriteOnly));
    in.write(reinterpret_cast<const char*>(interleaved.data()), qint64(interleaved.size() * 2));
    in.close();

    AlsaCapture capture;
    QVERIFY(capture.Open("ltctest", channel));
    QCOMPARE(capture.Rate(), RATE);
    LtcDecoder decoder(capture.Rate());
    WakePipe wake;
    std::vector<TimecodeAnchor> anchors;
    Samples buffer(1024);
    // Past the end of its file the plugin repeats its buffer: read the file's length only.
    for (size_t total = 0; total < left.size();) {
        int64_t lastSampleNs = 0;
        const int n =
            capture.Read(buffer.data(), int(std::min<size_t>(buffer.size(), left.size() - total)),
                         &lastSampleNs, wake);
        QVERIFY(n > 0);
        decoder.Write(buffer.data(), size_t(n), lastSampleNs, &anchors);
        total += size_t(n);
    }
    QStringList labels;
    bool sawRefused = false;
    for (const TimecodeAnchor& anchor : anchors) {
        if (anchor.valid)
            labels << Label(anchor.frame, anchor.rate);
        sawRefused = sawRefused || !anchor.valid;
    }
    QCOMPARE(labels, expected);
    QCOMPARE(sawRefused, refused);
}

void TestLtcInput::everyRateFromTheSignal_data() {
    QTest::addColumn<vtrsim::TapeClock>("tape");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("rate"); // as the operator is told it

    const auto row = [](const char* name, const vtrsim::TapeClock& tape, const char* start,
                        const char* rate) {
        QTest::newRow(name) << tape << QString::fromLatin1(start) << QString::fromLatin1(rate);
    };
    row("24 across a minute", Tape(24, false), "00:00:59:20", "24");
    row("23.976 with 24-frame labels", Tape(24, false, true), "00:00:59:20", "23.976");
    row("24 across midnight", Tape(24, false), "23:59:59:20", "24");
    row("25 across a minute", Tape(25, false), "00:09:59:20", "25");
    // A drop flag on 25 frame material counts for nothing.
    row("25 with the drop-frame bit", Tape(25, true), "00:00:59:20", "25");
    row("29.97 drop-frame across a minute", DF, "00:00:59:20", "29.97 DF");
    row("29.97 non-drop", Tape(30, false, true), "00:00:59:20", "29.97 NDF");
    row("30 non-drop across midnight", NDF, "23:59:59:20", "30 NDF");
}

// The rate comes from the signal alone: the decoder is told nothing. Every frame that has
// one before it counts, at the tape's labels, and once the pace is measured it is the tape's.
// A frame is decoded once its last bit is in, up to a whole write later; its end must be dated
// back to where that bit was, or every capture would come late by that much.
void TestLtcInput::everyRateFromTheSignal() {
    QFETCH(vtrsim::TapeClock, tape);
    QFETCH(QString, start);
    QFETCH(QString, rate);

    const QByteArray from = start.toLatin1();
    const std::vector<TimecodeAnchor> anchors = Decode(Ltc(from.constData(), tape, 40));
    const double period = (tape.Slowed() ? 1001.0 : 1000.0) / tape.Rate().Fps() * 1e6;
    const int day = FramesPerDay(tape.Rate());
    QStringList labels;
    for (const TimecodeAnchor& anchor : anchors) {
        QVERIFY(anchor.valid);
        QCOMPARE(anchor.rate, tape.Rate());
        labels << Label(anchor.frame, anchor.rate);
        const int k = (anchor.frame - Frames(from.constData(), tape.Rate()) + day) % day;
        const double end = (k + 1) * period; // frame k ends where k + 1 begins
        QVERIFY2(
            std::abs(double(anchor.endNs) - end) < 100e3,
            qPrintable(
                QStringLiteral("frame %1 ends %2 µs off").arg(k).arg((anchor.endNs - end) / 1e3)));
    }
    QCOMPARE(labels, Run(from.constData(), tape.Rate(), 1, 39));
    QCOMPARE(QString::fromStdString(SignalRateText({anchors.back().rate, anchors.back().periodNs})),
             rate);
    QCOMPARE(anchors.back().periodNs, FramePeriodNs(tape.Rate().Fps(), tape.Slowed()));
}

void TestLtcInput::anchorCountsOn_data() {
    QTest::addColumn<bool>("moving");
    QTest::addColumn<TimecodeRate>("rate");
    QTest::addColumn<QString>("label");
    QTest::addColumn<double>("framesLater"); // when it is read, after the frame ended
    QTest::addColumn<QString>("expected");

    const auto row = [](const char* name, bool moving, TimecodeRate rate, const char* label,
                        double framesLater, const char* expected) {
        QTest::newRow(name) << moving << rate << QString::fromLatin1(label) << framesLater
                            << QString::fromLatin1(expected);
    };
    const TimecodeRate at24{24, false}, at25{25, false};
    row("counted on between frames", true, DF.Rate(), "01:00:00:05", 2.5, "01:00:00:08");
    row("counted on over midnight", true, NDF.Rate(), "23:59:59:29", 0.0, "00:00:00:00");
    row("counted on at 25 over a second", true, at25, "01:00:00:23", 1.5, "01:00:01:00");
    row("counted on at 24 over midnight", true, at24, "23:59:59:23", 0.0, "00:00:00:00");
    row("a signal that stops is not counted on far", true, NDF.Rate(), "01:00:00:05", 12.0,
        "01:00:00:09");
    row("a locate stands", false, NDF.Rate(), "01:00:00:05", 12.0, "01:00:00:05");
    row("silent after half a second", true, NDF.Rate(), "01:00:00:05", 15.5, "");
}

void TestLtcInput::anchorCountsOn() {
    QFETCH(bool, moving);
    QFETCH(TimecodeRate, rate);
    QFETCH(QString, label);
    QFETCH(double, framesLater);
    QFETCH(QString, expected);

    TimecodeAnchor anchor;
    anchor.valid = true;
    anchor.moving = moving;
    anchor.rate = rate;
    anchor.frame = Frames(label.toLatin1().constData(), rate);
    anchor.periodNs = 1000000000LL / 30;
    anchor.endNs = anchor.arrivalNs = 5000000000LL;
    const int64_t now = anchor.endNs + int64_t(framesLater * double(anchor.periodNs));
    const Timecode at = AnchorTimecodeAt(anchor, now);
    const QString got = at ? QString::fromStdString(at.Text()) : QString();
    QCOMPARE(got, expected);
}

// Watched for two seconds, the frames of a raw audio file keep to the steady clock: never ahead,
// and behind by no more than a worker held up on a busy machine. Each reading is taken between
// two looks at the clock, so that the test thread held up in between counts for the source.
void TestLtcInput::rawFilePlaysAtItsRate() {
    const Samples signal = Ltc("01:00:00:00", NDF, 180); // six seconds
    QFile file(m_dir.filePath(QStringLiteral("played.raw")));
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write(reinterpret_cast<const char*>(signal.data()), qint64(signal.size() * 2));
    file.close();
    LtcSource source;
    source.Open(("file:" + file.fileName()).toLocal8Bit().constData());
    QTRY_VERIFY_WITH_TIMEOUT(source.ReadTimecode().IsValid(), 5000);

    const auto frameAt = [&source](int64_t* before, int64_t* after) {
        *before = SteadyNowNs();
        const Timecode at = source.TimecodeAt(*before).value_or(Timecode());
        *after = SteadyNowNs();
        return at.IsValid() ? at.Frame() : -1000;
    };
    int64_t start0 = 0, start1 = 0, t0 = 0, t1 = 0;
    const int first = frameAt(&start0, &start1);
    int frames = 0;
    do {
        QTest::qWait(50);
        frames = frameAt(&t0, &t1) - first;
        QVERIFY2(frames <= (t1 - start0) * 30 / 1000000000 + 3,
                 qPrintable(QString::number(frames)));
    } while (t0 - start1 < 2000000000LL);
    QVERIFY2(frames >= (t0 - start1) * 27 / 1000000000 - 3, qPrintable(QString::number(frames)));
}

QTEST_GUILESS_MAIN(TestLtcInput)
#include "test_ltc_input.moc"
