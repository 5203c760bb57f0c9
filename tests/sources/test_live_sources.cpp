// LTC and MTC inputs that fail: absent, lost, noisy or still, with the simulator's signal
// written into a FIFO in real time as a cable would carry it. (How close a reading is to the
// frame sent is checked where it counts, on captures in the window.)

#include "sources/ltc_source.h"
#include "sources/mtc_source.h"
#include "sources/vtr_link.h"
#include "timecode/timecode_value.h"
#include "timecode_signal.h"

#include <QTemporaryDir>
#include <QTest>

#include <memory>
#include <sys/stat.h>

Q_DECLARE_METATYPE(vtrsim::SignalKind)
Q_DECLARE_METATYPE(TimecodeRate)

namespace {

// A source from 01:00:00:00 at 29.97 drop-frame, or at the rate given (pulled down or not).
vtrsim::SignalConfig Signal(vtrsim::SignalKind kind, bool running = true, bool noise = false,
                            TimecodeRate rate = TimecodeRate::Thirty(true), bool pullDown = false) {
    vtrsim::SignalConfig config;
    config.kind = kind;
    config.tape.running = running;
    config.tape.fps = rate.fps;
    config.tape.drop = rate.drop;
    config.tape.pullDown = pullDown;
    config.tape.startFrames = Timecode::FromText("01:00:00:00", config.tape.Rate()).Frame();
    config.noise = noise;
    return config;
}

QString ProblemText(const VtrLink& link) {
    const std::optional<std::string> problem = link.VtrDeviceProblem();
    return problem ? QString::fromStdString(*problem) : QString();
}

QString HeardText(const LiveSource& source) {
    const std::optional<SignalRate> heard = source.HeardRate();
    return heard ? QString::fromStdString(SignalRateText(*heard)) : QString();
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

} // namespace

class TestLiveSources : public QObject {
    Q_OBJECT

private slots:
    void lostInputComesBack_data();
    void lostInputComesBack();
    void folderIsNamedUnreadable();
    void noSignalShowsNothing_data();
    void noSignalShowsNothing();
    void otherRateThanTheList_data();
    void otherRateThanTheList();
};

void TestLiveSources::lostInputComesBack_data() {
    QTest::addColumn<vtrsim::SignalKind>("kind");
    QTest::newRow("LTC") << vtrsim::SignalKind::Ltc;
    QTest::newRow("MTC") << vtrsim::SignalKind::Mtc;
}

void TestLiveSources::lostInputComesBack() {
    QFETCH(vtrsim::SignalKind, kind);

    Input input;
    VtrLink link;
    // Not there at all yet, and said so: the first attempt or one of those once a second
    // finds it.
    link.VtrOpen(input.Device(kind).constData(), input.Type(kind));
    QVERIFY(!link.VtrReadTimecode());
    const QString missing = QString::fromLocal8Bit(input.path) + " がありません";
    QTRY_COMPARE_WITH_TIMEOUT(ProblemText(link).section(' ', 1), missing, 5000);
    QVERIFY(input.MakeFifo());
    auto sender = std::make_unique<vtrsim::SignalSender>(input.path.toStdString(), Signal(kind));
    QTRY_VERIFY_WITH_TIMEOUT(link.VtrReadTimecode().IsValid(), 5000);
    QCOMPARE(ProblemText(link), QString());
    // The writer goes away: nothing to show within half a second, then back with the next.
    sender.reset();
    QTRY_VERIFY_WITH_TIMEOUT(!link.VtrReadTimecode().IsValid(), 2000);
    sender = std::make_unique<vtrsim::SignalSender>(input.path.toStdString(), Signal(kind));
    QTRY_VERIFY_WITH_TIMEOUT(link.VtrReadTimecode().IsValid(), 5000);
}

// A device that is there but cannot be read is told from one that is missing.
void TestLiveSources::folderIsNamedUnreadable() {
    QTemporaryDir dir;
    VtrLink link;
    link.VtrOpen(("file:" + dir.path()).toLocal8Bit().constData(), VTR_LTC);
    QTRY_COMPARE_WITH_TIMEOUT(ProblemText(link), "LTC " + dir.path() + " を開けません", 5000);
}

void TestLiveSources::noSignalShowsNothing_data() {
    QTest::addColumn<vtrsim::SignalConfig>("config");
    QTest::addColumn<bool>("locates");
    QTest::newRow("LTC noise") << Signal(vtrsim::SignalKind::Ltc, true, true) << false;
    QTest::newRow("LTC of a still tape") << Signal(vtrsim::SignalKind::Ltc, false) << false;
    QTest::newRow("MTC noise") << Signal(vtrsim::SignalKind::Mtc, true, true) << false;
    // A stopped source says where it stands once; half a second later it is silent.
    QTest::newRow("MTC of a still tape") << Signal(vtrsim::SignalKind::Mtc, false) << true;
}

void TestLiveSources::noSignalShowsNothing() {
    QFETCH(vtrsim::SignalConfig, config);
    QFETCH(bool, locates);

    Input input;
    QVERIFY(input.MakeFifo());
    vtrsim::SignalSender sender(input.path.toStdString(), config);
    VtrLink link;
    link.VtrOpen(input.Device(config.kind).constData(), input.Type(config.kind));
    if (locates) {
        QTRY_VERIFY_WITH_TIMEOUT(link.VtrReadTimecode().IsValid(), 5000);
        QCOMPARE(link.VtrReadTimecode().Text(), std::string("01:00:00:00"));
    }
    QTRY_VERIFY_WITH_TIMEOUT(!link.VtrReadTimecode().IsValid(), 2000);
    // Watched for a second and a half of signal: never a time.
    while (SteadyNowNs() - sender.StartNs() < 2500000000LL)
        QVERIFY(!link.VtrReadTimecode());
}

void TestLiveSources::otherRateThanTheList_data() {
    QTest::addColumn<vtrsim::SignalConfig>("config");
    QTest::addColumn<TimecodeRate>("listRate");
    QTest::addColumn<QString>("heard");
    QTest::addColumn<bool>("reads");

    using vtrsim::SignalKind;
    const TimecodeRate list30 = TimecodeRate::Thirty(true);
    // (LTC at 25 under a list at 30 is the window's test; at 23.976 under a list at 24 the
    // end-to-end run's.)
    QTest::newRow("LTC 23.976 under a 30 frame list")
        << Signal(SignalKind::Ltc, true, false, {24, false}, true) << list30 << "23.976" << false;
    // At 30 the counting is the list's own business: either source shows its labels.
    QTest::newRow("LTC 30 non-drop under a drop-frame list")
        << Signal(SignalKind::Ltc, true, false, {30, false}) << list30 << "30 NDF" << true;
    QTest::newRow("MTC 24 under a 30 frame list")
        << Signal(SignalKind::Mtc, true, false, {24, false}) << list30 << "24" << false;
    QTest::newRow("MTC 25 under a 25 frame list")
        << Signal(SignalKind::Mtc, true, false, {25, false}) << TimecodeRate{25, false} << "25"
        << true;
}

// A source whose frames a second are not the list's shows no timecode, and says what it
// hears; told the list's rate anew, it shows its timecode at once.
void TestLiveSources::otherRateThanTheList() {
    QFETCH(vtrsim::SignalConfig, config);
    QFETCH(TimecodeRate, listRate);
    QFETCH(QString, heard);
    QFETCH(bool, reads);

    Input input;
    QVERIFY(input.MakeFifo());
    vtrsim::SignalSender sender(input.path.toStdString(), config);
    LtcSource ltc;
    MtcSource mtc;
    LiveSource& source = config.kind == vtrsim::SignalKind::Ltc ? static_cast<LiveSource&>(ltc)
                                                                : static_cast<LiveSource&>(mtc);
    source.SetListRate(listRate);
    QVERIFY(!source.HeardRate());
    source.Open(input.Device(config.kind).constData());
    // The pace is measured over the first frames: wait until it is.
    QTRY_COMPARE_WITH_TIMEOUT(HeardText(source), heard, 5000);
    if (!reads) {
        // Watched for half a second of signal: heard all along, never a time.
        const int64_t end = SteadyNowNs() + 500000000LL;
        while (SteadyNowNs() < end) {
            QCOMPARE(HeardText(source), heard);
            QVERIFY(!source.ReadTimecode());
        }
        source.SetListRate(config.tape.Rate());
    }
    QTRY_VERIFY_WITH_TIMEOUT(source.ReadTimecode().IsValid(), 2000);
    QCOMPARE(source.ReadTimecode().Rate(), config.tape.Rate());
}

QTEST_GUILESS_MAIN(TestLiveSources)
#include "test_live_sources.moc"
