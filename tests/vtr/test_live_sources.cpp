// LTC and MTC through the VTR link in real time: the simulator's signal written into a FIFO
// as a cable would carry it, read on the sources' own threads.

#include "timecode/timecode.h"
#include "timecode_signal.h"
#include "vtr/vtr_link.h"

#include <QElapsedTimer>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <sys/stat.h>

Q_DECLARE_METATYPE(vtrsim::SignalKind)

namespace {

vtrsim::SignalConfig Signal(vtrsim::SignalKind kind, bool drop, bool running = true,
                            bool noise = false) {
    vtrsim::SignalConfig config;
    config.kind = kind;
    config.tape.drop = drop;
    config.tape.running = running;
    TimecodeToFrames(&config.tape.startFrames, 1, 0, 0, 0, drop ? 1 : 0);
    config.noise = noise;
    return config;
}

struct Input {
    QTemporaryDir dir;
    QByteArray path = dir.filePath(QStringLiteral("signal")).toLocal8Bit();
    QByteArray Device(vtrsim::SignalKind kind) const {
        return kind == vtrsim::SignalKind::Ltc ? "file:" + path : path;
    }
    int Type(vtrsim::SignalKind kind) const {
        return kind == vtrsim::SignalKind::Ltc ? VTR_LTC : VTR_MTC;
    }
    bool MakeFifo() const { return ::mkfifo(path.constData(), 0600) == 0; }
};

int Count(const char* timecode, bool drop) {
    int h = 0, m = 0, s = 0, f = 0, count = 0;
    std::sscanf(timecode, "%2d%2d%2d%2d", &h, &m, &s, &f);
    TimecodeToFrames(&count, h, m, s, f, drop ? 1 : 0);
    return count;
}

// The frame being sent at nowNs: LTC frames are 1601.6 or 1600 samples long from the first
// sample, MTC frames begin with quarter frame 0, 4, 8 and so on.
int SentAt(const vtrsim::SignalSender& sender, const vtrsim::SignalConfig& config, int64_t nowNs) {
    const double period = config.tape.drop ? 1001.0 / 30 : 1000.0 / 30; // ms
    return config.tape.startFrames + int(std::floor((nowNs - sender.StartNs()) / 1e6 / period));
}

} // namespace

class TestLiveSources : public QObject {
    Q_OBJECT

private slots:
    void followsTheSignalWithinAFrame_data();
    void followsTheSignalWithinAFrame();
    void lostInputComesBack_data();
    void lostInputComesBack();
    void noSignalShowsNothing_data();
    void noSignalShowsNothing();
};

void TestLiveSources::followsTheSignalWithinAFrame_data() {
    QTest::addColumn<vtrsim::SignalKind>("kind");
    QTest::addColumn<bool>("drop");
    QTest::newRow("LTC 29.97 drop-frame") << vtrsim::SignalKind::Ltc << true;
    QTest::newRow("LTC 30 non-drop") << vtrsim::SignalKind::Ltc << false;
    QTest::newRow("MTC 29.97 drop-frame") << vtrsim::SignalKind::Mtc << true;
    QTest::newRow("MTC 30 non-drop") << vtrsim::SignalKind::Mtc << false;
}

void TestLiveSources::followsTheSignalWithinAFrame() {
    QFETCH(vtrsim::SignalKind, kind);
    QFETCH(bool, drop);

    Input input;
    QVERIFY(input.MakeFifo());
    const vtrsim::SignalConfig config = Signal(kind, drop);
    vtrsim::SignalSender sender(input.path.toStdString(), config);
    VtrLink link;
    QCOMPARE(link.VtrOpen(input.Device(kind).constData(), input.Type(kind)), 1);
    QVERIFY(link.VtrHoldsLatestTimecode());
    char timecode[9] = {};
    QTRY_COMPARE_WITH_TIMEOUT(link.VtrReadTimecode(timecode), 1, 5000);

    // Asked over and over for a second, the time is always that of the frame being sent.
    long readings = 0;
    long off = 0;
    QElapsedTimer watch;
    watch.start();
    while (watch.elapsed() < 1000) {
        const int64_t before = SteadyNowNs();
        QCOMPARE(link.VtrLatestTimecode(timecode), 1);
        const int64_t after = SteadyNowNs();
        const int got = Count(timecode, drop);
        const int error =
            got < SentAt(sender, config, before)  ? got - SentAt(sender, config, before)
            : got > SentAt(sender, config, after) ? got - SentAt(sender, config, after)
                                                  : 0;
        ++readings;
        off += error != 0 ? 1 : 0;
        QVERIFY2(std::abs(error) <= 1, timecode);
    }
    qInfo("%ld readings in a second, %.3f %% of them one frame off", readings,
          100.0 * double(off) / double(readings));
}

void TestLiveSources::lostInputComesBack_data() {
    QTest::addColumn<vtrsim::SignalKind>("kind");
    QTest::newRow("LTC") << vtrsim::SignalKind::Ltc;
    QTest::newRow("MTC") << vtrsim::SignalKind::Mtc;
}

void TestLiveSources::lostInputComesBack() {
    QFETCH(vtrsim::SignalKind, kind);

    Input input;
    VtrLink link;
    char timecode[9] = {};
    // Not there at all yet: the first attempt or one of those once a second finds it.
    link.VtrOpen(input.Device(kind).constData(), input.Type(kind));
    QCOMPARE(link.VtrReadTimecode(timecode), 0);
    QVERIFY(input.MakeFifo());
    auto sender =
        std::make_unique<vtrsim::SignalSender>(input.path.toStdString(), Signal(kind, true));
    QTRY_COMPARE_WITH_TIMEOUT(link.VtrReadTimecode(timecode), 1, 5000);
    // The writer goes away: nothing to show within half a second, then back with the next.
    sender.reset();
    QTRY_COMPARE_WITH_TIMEOUT(link.VtrReadTimecode(timecode), 0, 2000);
    sender = std::make_unique<vtrsim::SignalSender>(input.path.toStdString(), Signal(kind, true));
    QTRY_COMPARE_WITH_TIMEOUT(link.VtrReadTimecode(timecode), 1, 5000);
}

void TestLiveSources::noSignalShowsNothing_data() {
    QTest::addColumn<vtrsim::SignalConfig>("config");
    QTest::addColumn<bool>("locates");
    QTest::newRow("LTC noise") << Signal(vtrsim::SignalKind::Ltc, true, true, true) << false;
    QTest::newRow("LTC of a still tape") << Signal(vtrsim::SignalKind::Ltc, true, false) << false;
    QTest::newRow("MTC noise") << Signal(vtrsim::SignalKind::Mtc, true, true, true) << false;
    // A stopped source says where it stands once; half a second later it is silent.
    QTest::newRow("MTC of a still tape") << Signal(vtrsim::SignalKind::Mtc, true, false) << true;
}

void TestLiveSources::noSignalShowsNothing() {
    QFETCH(vtrsim::SignalConfig, config);
    QFETCH(bool, locates);

    Input input;
    QVERIFY(input.MakeFifo());
    vtrsim::SignalSender sender(input.path.toStdString(), config);
    VtrLink link;
    link.VtrOpen(input.Device(config.kind).constData(), input.Type(config.kind));
    char timecode[9] = {};
    if (locates) {
        QTRY_COMPARE_WITH_TIMEOUT(link.VtrReadTimecode(timecode), 1, 5000);
        QCOMPARE(QByteArray(timecode), QByteArray("01000000"));
    }
    QTRY_COMPARE_WITH_TIMEOUT(link.VtrReadTimecode(timecode), 0, 2000);
    // Watched for a second and a half of signal: never a time.
    while (SteadyNowNs() - sender.StartNs() < 2500000000LL)
        QCOMPARE(link.VtrReadTimecode(timecode), 0);
}

QTEST_GUILESS_MAIN(TestLiveSources)
#include "test_live_sources.moc"
