// LTC through a real ALSA capture: ALSA's file plugin reads a file the test writes, so the
// capture path runs with no sound card. The plugin is not paced (it delivers as fast as it
// is read), so these check decoding; the timing of frames is checked on the decoder itself.

#include "timecode/timecode.h"
#include "timecode_signal.h"
#include "vtr/live_input.h"
#include "vtr/ltc_decoder.h"

#include <ltc.h>

#include <QFile>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QTest>

#include <cstring>
#include <vector>

using Samples = std::vector<int16_t>;
Q_DECLARE_METATYPE(Samples)

namespace {

constexpr int RATE = 48000;

int Frames(const char* label, bool drop) {
    int h = 0, m = 0, s = 0, f = 0, count = 0;
    std::sscanf(label, "%d:%d:%d:%d", &h, &m, &s, &f);
    TimecodeToFrames(&count, h, m, s, f, drop ? 1 : 0);
    return count;
}

QString Label(int count, bool drop) {
    int h = 0, m = 0, s = 0, f = 0;
    FramesToTimecode(&h, &m, &s, &f, count, drop ? 1 : 0);
    return QString::asprintf("%02d:%02d:%02d:%02d", h, m, s, f);
}

// Frames first to last - 1 of a run starting at start: the first of a run has nothing to
// follow, and the last ends only when the next begins.
QStringList Run(const char* start, bool drop, int first, int last) {
    QStringList labels;
    for (int i = first; i < last; ++i)
        labels << Label(Frames(start, drop) + i, drop);
    return labels;
}

Samples Ltc(const char* start, bool drop, int frames) {
    vtrsim::TapeClock tape;
    tape.drop = drop;
    tape.startFrames = Frames(start, drop);
    vtrsim::LtcSignal signal(tape);
    Samples out;
    signal.Next(size_t(frames) * RATE * (drop ? 1001 : 1000) / 30000, &out);
    return out;
}

// LTC at 24 or 25 frames a second, which the simulator never sends.
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
    void frameEndsWhereItsLastBitIs();
    void anchorCountsOn_data();
    void anchorCountsOn();

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
        << Ltc("00:00:59:25", true, 12) << none << 1 << Run("00:00:59:25", true, 1, 11) << false;
    QTest::newRow("non-drop across a minute")
        << Ltc("00:09:59:25", false, 12) << none << 1 << Run("00:09:59:25", false, 1, 11) << false;
    QTest::newRow("silence in the middle")
        << Ltc("01:00:10:00", true, 8) + Samples(RATE / 2) + Ltc("01:00:20:00", true, 8) << none
        << 1 << Run("01:00:10:00", true, 1, 7) + Run("01:00:20:00", true, 1, 7) << false;
    // The decoder finds the bit rate again within the first frame; the second is whole.
    QTest::newRow("noise, then the signal") << Noise(2) + Ltc("10:00:00:00", true, 8) << none << 1
                                            << Run("10:00:00:00", true, 2, 7) << false;
    QTest::newRow("25 frames refused") << LtcAt(25, 30) << none << 1 << QStringList() << true;
    QTest::newRow("24 frames refused") << LtcAt(24, 30) << none << 1 << QStringList() << true;
    const Samples ltc = Ltc("23:59:59:20", false, 14);
    QTest::newRow("second channel of two, across midnight")
        << Noise(double(ltc.size()) / RATE) << ltc << 2 << Run("23:59:59:20", false, 1, 13)
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
            labels << Label(anchor.frame, anchor.drop);
        sawRefused = sawRefused || !anchor.valid;
    }
    QCOMPARE(labels, expected);
    QCOMPARE(sawRefused, refused);
}

void TestLtcInput::frameEndsWhereItsLastBitIs() {
    // A frame is decoded once its last bit is in, up to a whole write later; its end must be
    // dated back to where that bit was, or every capture would come late by that much.
    const Samples ltc = Ltc("01:00:00:00", true, 20);
    LtcDecoder decoder(RATE);
    std::vector<TimecodeAnchor> anchors;
    const size_t chunk = 960; // 20 ms
    for (size_t pos = 0; pos < ltc.size(); pos += chunk) {
        const size_t n = std::min(chunk, ltc.size() - pos);
        // The clock here is the sample clock: sample i is heard at i / RATE seconds.
        decoder.Write(ltc.data() + pos, n, int64_t(pos + n - 1) * 1000000000LL / RATE, &anchors);
    }
    QVERIFY(anchors.size() >= 15);
    for (const TimecodeAnchor& anchor : anchors) {
        const int k = anchor.frame - Frames("01:00:00:00", true);
        const double end = (k + 1) * 1001.0 / 30 * 1e6; // frame k ends where k + 1 begins
        QVERIFY2(
            std::abs(double(anchor.endNs) - end) < 100e3,
            qPrintable(
                QStringLiteral("frame %1 ends %2 µs off").arg(k).arg((anchor.endNs - end) / 1e3)));
    }
}

void TestLtcInput::anchorCountsOn_data() {
    QTest::addColumn<bool>("moving");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<QString>("label");
    QTest::addColumn<double>("framesLater"); // when it is read, after the frame ended
    QTest::addColumn<QString>("expected");

    QTest::newRow("counted on between frames")
        << true << true << "01:00:00:05" << 2.5 << "01:00:00:08";
    QTest::newRow("counted on over midnight")
        << true << false << "23:59:59:29" << 0.0 << "00:00:00:00";
    QTest::newRow("a signal that stops is not counted on far")
        << true << false << "01:00:00:05" << 12.0 << "01:00:00:09";
    QTest::newRow("a locate stands") << false << false << "01:00:00:05" << 12.0 << "01:00:00:05";
    QTest::newRow("silent after half a second") << true << false << "01:00:00:05" << 15.5 << "";
}

void TestLtcInput::anchorCountsOn() {
    QFETCH(bool, moving);
    QFETCH(bool, drop);
    QFETCH(QString, label);
    QFETCH(double, framesLater);
    QFETCH(QString, expected);

    TimecodeAnchor anchor;
    anchor.valid = true;
    anchor.moving = moving;
    anchor.drop = drop;
    anchor.frame = Frames(label.toLatin1().constData(), drop);
    anchor.periodNs = 1000000000LL / 30;
    anchor.endNs = anchor.arrivalNs = 5000000000LL;
    const int64_t now = anchor.endNs + int64_t(framesLater * double(anchor.periodNs));
    const Timecode at = AnchorTimecodeAt(anchor, now);
    const QString got = at ? QString::fromStdString(at.Text()) : QString();
    QCOMPARE(got, expected);
}

QTEST_GUILESS_MAIN(TestLtcInput)
#include "test_ltc_input.moc"
