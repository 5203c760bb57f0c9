// Driving a Sony deck: the bytes of each command, the order they reach the simulated deck in,
// what its status says, how a deck that refuses is told, cues, and the rate a deck's tape
// runs at when it is not the list's.

#include "hex_bytes.h"
#include "line_under_test.h"
#include "serve.h"
#include "sim_tape.h"
#include "sources/serial_source.h"
#include "sources/sony9pin_transport.h"

#include <QTest>

#include <algorithm>

Q_DECLARE_METATYPE(TransportRequest)
Q_DECLARE_METATYPE(TransportMode)
Q_DECLARE_METATYPE(TransportReply)
Q_DECLARE_METATYPE(vtrsim::ResponderConfig)

namespace {

constexpr TimecodeRate kDrop30 = TimecodeRate::Thirty(true);

TransportRequest Ask(TransportVerb verb, double speed = 0.0, const char* at = nullptr) {
    return TransportRequest{verb, speed, at ? Timecode::FromText(at, kDrop30) : Timecode()};
}

// A deck of the simulator's at a rate, from a label, playing or standing.
vtrsim::ResponderConfig Deck(TimecodeRate rate, const char* label, bool running) {
    vtrsim::ResponderConfig config;
    config.tape.fps = rate.fps;
    config.tape.drop = rate.drop;
    config.tape.running = running;
    config.tape.startFrames = Timecode::FromText(label, config.tape.Rate()).Frame();
    return config;
}

// The transport words the deck took, in order: the time and status senses left out.
QList<int> Commands(const vtrsim::PtyResponder& vtr) {
    QList<int> words;
    for (int word : vtr.ReceivedWords())
        if (word != 0x610C && word != SONY_STATUS_SENSE)
            words.append(word);
    return words;
}

// A Sony deck's source on the simulator, counting at the list's rate.
struct Driven {
    explicit Driven(const vtrsim::ResponderConfig& config, TimecodeRate listRate = kDrop30)
        : vtr(config), rate(listRate), source(line, SONY_9PIN, rate) {}
    bool Open() { return source.Open(vtr.SlavePath().c_str()) == 1; }
    Transport& Deck() { return *source.GetTransport(); }
    TransportMode Mode() { return Deck().State().mode; }
    TransportReply Reply() { return Deck().State().reply; }

    vtrsim::PtyResponder vtr;
    SerialLine line;
    TimecodeRate rate;
    SerialSource source;
};

} // namespace

class TestTransport : public QObject {
    Q_OBJECT

private slots:
    void commandBytes_data();
    void commandBytes();
    void nothingRecords_data();
    void nothingRecords();
    void oneCommandAtATime_data();
    void oneCommandAtATime();
    void modeFromStatus_data();
    void modeFromStatus();
    void deckThatDoesNotObey_data();
    void deckThatDoesNotObey();
    void cueLandsOnItsFrame_data();
    void cueLandsOnItsFrame();
    void deckAtAnotherRate_data();
    void deckAtAnotherRate();
};

void TestTransport::commandBytes_data() {
    QTest::addColumn<TransportRequest>("request");
    QTest::addColumn<QByteArray>("bytes");

    using V = TransportVerb;
    QTest::newRow("play") << Ask(V::Play) << Hex("20 01 21");
    QTest::newRow("stop") << Ask(V::Stop) << Hex("20 00 20");
    QTest::newRow("still is shuttle at speed 0") << Ask(V::Still) << Hex("21 13 00 34");
    QTest::newRow("fast forward") << Ask(V::FastForward) << Hex("20 10 30");
    QTest::newRow("rewind") << Ask(V::Rewind) << Hex("20 20 40");
    QTest::newRow("jog forward at play speed") << Ask(V::Jog, 1.0) << Hex("21 11 40 72");
    QTest::newRow("jog back a tenth") << Ask(V::Jog, -0.1) << Hex("21 21 20 62");
    QTest::newRow("shuttle forward 10x") << Ask(V::Shuttle, 10.0) << Hex("21 13 60 94");
    QTest::newRow("shuttle back 2x") << Ask(V::Shuttle, -2.0) << Hex("21 23 4A 8E");
    QTest::newRow("shuttle beyond 50x is held at 50x")
        << Ask(V::Shuttle, 1000.0) << Hex("21 13 76 AA");
    QTest::newRow("step forward") << Ask(V::StepForward) << Hex("20 14 34");
    QTest::newRow("step back") << Ask(V::StepBack) << Hex("20 24 44");
    QTest::newRow("standby on") << Ask(V::StandbyOn) << Hex("20 05 25");
    QTest::newRow("standby off") << Ask(V::StandbyOff) << Hex("20 04 24");
    QTest::newRow("eject") << Ask(V::Eject) << Hex("20 0F 2F");
    QTest::newRow("cue: frames, seconds, minutes, hours")
        << Ask(V::CueTo, 0, "01:02:03:04") << Hex("24 31 04 03 02 01 5F");
}

// Each request's block as built, and the deck takes it with an ACK.
void TestTransport::commandBytes() {
    QFETCH(TransportRequest, request);
    QFETCH(QByteArray, bytes);

    const SonyBlock block = SonyRequestBlock(request);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(block.bytes), block.size), bytes);
    vtrsim::PtyResponder vtr(Tape(vtrsim::Protocol::Sony, "01:00:00:00"));
    LineUnderTest line;
    QCOMPARE(line.Open(vtr.SlavePath().c_str(), VTR_SONY), 1);
    QCOMPARE(int(SonyTransportExchange(line.Line(), block).kind), int(SonyAnswer::Ack));
    QCOMPARE(Commands(vtr), QList<int>{block.Word()});
}

void TestTransport::nothingRecords_data() {
    QTest::addColumn<QByteArray>("block");
    QTest::addColumn<bool>("listed"); // the word is a transport command

    QTest::newRow("record") << Hex("20 02 22") << false;
    QTest::newRow("edit on") << Hex("20 65 85") << false;
    QTest::newRow("auto edit") << Hex("20 42 62") << false;
    QTest::newRow("play with a data count that lies") << Hex("20 01 00 21") << true;
    QTest::newRow("play with a wrong checksum") << Hex("20 01 22") << true;
}

// A block outside the transport list, or not well made, never reaches the line, however it
// was made; the builder makes none for a word outside the list.
void TestTransport::nothingRecords() {
    QFETCH(QByteArray, block);
    QFETCH(bool, listed);

    QCOMPARE(SonyTransportBlock(uint8_t(block[0]) << 8 | uint8_t(block[1])).size > 0, listed);
    vtrsim::PtyResponder vtr(Tape(vtrsim::Protocol::Sony, "01:00:00:00"));
    LineUnderTest line;
    QCOMPARE(line.Open(vtr.SlavePath().c_str(), VTR_SONY), 1);
    SonyBlock made;
    std::copy(block.begin(), block.end(), made.bytes);
    made.size = int(block.size());
    QCOMPARE(int(SonyTransportExchange(line.Line(), made).kind), int(SonyAnswer::Other));
    // A time request after it is the first thing the deck hears.
    QVERIFY(line.Read().IsValid());
    QCOMPARE(vtr.ReceivedWords(), std::vector<int>{0x610C});
}

void TestTransport::oneCommandAtATime_data() {
    QTest::addColumn<QList<TransportRequest>>("requests");
    QTest::addColumn<QList<int>>("words");

    using V = TransportVerb;
    QTest::newRow("keys in their order")
        << QList<TransportRequest>{Ask(V::Play), Ask(V::Still), Ask(V::Rewind)}
        << QList<int>{SONY_PLAY, SONY_SHUTTLE_FORWARD, SONY_REWIND};
    QTest::newRow("a held shuttle key sends its latest speed once")
        << QList<TransportRequest>{Ask(V::Play), Ask(V::Shuttle, 2), Ask(V::Shuttle, 4),
                                   Ask(V::Shuttle, -8)}
        << QList<int>{SONY_PLAY, SONY_SHUTTLE_REVERSE};
    QTest::newRow("a newer cue replaces one waiting")
        << QList<TransportRequest>{Ask(V::CueTo, 0, "01:10:00:00"),
                                   Ask(V::CueThenPlay, 0, "01:20:00:00"), Ask(V::Stop)}
        << QList<int>{SONY_CUE_UP_WITH_DATA, SONY_STOP};
    QTest::newRow("every kind of request is one command")
        << QList<TransportRequest>{Ask(V::StepForward), Ask(V::StepBack),  Ask(V::Jog, 0.5),
                                   Ask(V::StandbyOff),  Ask(V::StandbyOn), Ask(V::FastForward)}
        << QList<int>{SONY_STEP_FORWARD, SONY_STEP_REVERSE, SONY_JOG_FORWARD,
                      SONY_STANDBY_OFF,  SONY_STANDBY_ON,   SONY_FAST_FORWARD};
}

// Requests made while the worker holds off go out afterwards in order, each answered before
// the next, and one of a kind waiting is replaced by the newer.
void TestTransport::oneCommandAtATime() {
    QFETCH(QList<TransportRequest>, requests);
    QFETCH(QList<int>, words);

    Driven deck(Tape(vtrsim::Protocol::Sony, "01:00:00:00"));
    QVERIFY(deck.Open());
    deck.source.PausePolling(true);
    for (const TransportRequest& request : requests)
        deck.Deck().Request(request);
    deck.source.PausePolling(false);
    QTRY_COMPARE(Commands(deck.vtr), words);
    QTRY_COMPARE(deck.Reply(), TransportReply::Ack);
    // Time requests go on meanwhile.
    const int polls = deck.source.Polls();
    QTRY_VERIFY(deck.source.Polls() > polls + 2);
    QCOMPARE(Commands(deck.vtr), words);
}

void TestTransport::modeFromStatus_data() {
    QTest::addColumn<TransportRequest>("request");
    QTest::addColumn<TransportMode>("mode");
    QTest::addColumn<int>("direction");
    QTest::addColumn<bool>("servoLock");

    using V = TransportVerb;
    using M = TransportMode;
    QTest::newRow("play locks the servo") << Ask(V::Play) << M::Play << 1 << true;
    QTest::newRow("still") << Ask(V::Still) << M::Still << 0 << false;
    QTest::newRow("stop, from play") << Ask(V::Stop) << M::Stop << 0 << false;
    QTest::newRow("fast forward") << Ask(V::FastForward) << M::FastForward << 0 << false;
    QTest::newRow("rewind") << Ask(V::Rewind) << M::Rewind << 0 << false;
    QTest::newRow("shuttle back") << Ask(V::Shuttle, -4) << M::Shuttle << -1 << false;
    QTest::newRow("jog forward") << Ask(V::Jog, 0.5) << M::Jog << 1 << false;
    QTest::newRow("a step ends still") << Ask(V::StepBack) << M::Still << 0 << false;
    QTest::newRow("standby off rests the deck") << Ask(V::StandbyOff) << M::Standby << 0 << false;
    QTest::newRow("eject leaves no tape") << Ask(V::Eject) << M::TapeOut << 0 << false;
}

void TestTransport::modeFromStatus() {
    QFETCH(TransportRequest, request);
    QFETCH(TransportMode, mode);
    QFETCH(int, direction);
    QFETCH(bool, servoLock);

    // From a stopped deck, or a playing one for stop, so that every row changes its mode.
    const bool playing = request.verb == TransportVerb::Stop;
    Driven deck(Tape(vtrsim::Protocol::Sony, "01:00:00:00", playing));
    QVERIFY(deck.Open());
    QTRY_COMPARE(deck.Mode(), playing ? TransportMode::Play : TransportMode::Stop);
    deck.Deck().Request(request);
    QTRY_COMPARE(deck.Mode(), mode);
    const TransportState state = deck.Deck().State();
    QCOMPARE(state.reply, TransportReply::Ack);
    QCOMPARE((state.speed > 0) - (state.speed < 0), direction);
    QCOMPARE(state.servoLock, servoLock);
}

void TestTransport::deckThatDoesNotObey_data() {
    QTest::addColumn<vtrsim::ResponderConfig>("config");
    QTest::addColumn<TransportReply>("reply");
    QTest::addColumn<int>("nakBits");
    QTest::addColumn<TransportMode>("mode");

    vtrsim::ResponderConfig nak = Tape(vtrsim::Protocol::Sony, "01:00:00:00");
    nak.fault = vtrsim::Fault::Nak;
    vtrsim::ResponderConfig silent = nak;
    silent.fault = vtrsim::Fault::Silent;
    vtrsim::ResponderConfig local = Tape(vtrsim::Protocol::Sony, "01:00:00:00");
    local.local = true;
    QTest::newRow("NAK: undefined command")
        << nak << TransportReply::Nak << SONY_NAK_UNDEFINED_COMMAND << TransportMode::Unknown;
    QTest::newRow("silent") << silent << TransportReply::Silent << 0 << TransportMode::Unknown;
    QTest::newRow("in local: taken, not obeyed")
        << local << TransportReply::Ack << 0 << TransportMode::Local;
}

void TestTransport::deckThatDoesNotObey() {
    QFETCH(vtrsim::ResponderConfig, config);
    QFETCH(TransportReply, reply);
    QFETCH(int, nakBits);
    QFETCH(TransportMode, mode);

    Driven deck(config);
    QVERIFY(deck.Open());
    deck.Deck().Request(Ask(TransportVerb::Play));
    QTRY_COMPARE(deck.Reply(), reply);
    QCOMPARE(deck.Deck().State().nakBits, nakBits);
    QTRY_COMPARE(deck.Mode(), mode);
    if (mode == TransportMode::Local) {
        // The tape stands; with the switch turned back the deck obeys.
        QCOMPARE(deck.source.ReadTimecode().Text(), std::string("01:00:00:00"));
        deck.vtr.SetLocal(false);
        QTRY_COMPARE(deck.Mode(), TransportMode::Stop);
        deck.Deck().Request(Ask(TransportVerb::Play));
        QTRY_COMPARE(deck.Mode(), TransportMode::Play);
    }
}

void TestTransport::cueLandsOnItsFrame_data() {
    QTest::addColumn<TransportRequest>("request");
    QTest::addColumn<TransportMode>("mode");

    using V = TransportVerb;
    QTest::newRow("ahead, across a minute drop-frame skips")
        << Ask(V::CueTo, 0, "01:10:59:28") << TransportMode::CueDone;
    QTest::newRow("back an hour") << Ask(V::CueTo, 0, "00:00:10:00") << TransportMode::CueDone;
    QTest::newRow("then play") << Ask(V::CueThenPlay, 0, "01:04:59:00") << TransportMode::Play;
}

void TestTransport::cueLandsOnItsFrame() {
    QFETCH(TransportRequest, request);
    QFETCH(TransportMode, mode);

    Driven deck(Tape(vtrsim::Protocol::Sony, "01:00:00:00", true));
    QVERIFY(deck.Open());
    deck.Deck().Request(request);
    if (mode == TransportMode::CueDone) {
        QTRY_COMPARE(deck.Mode(), mode);
        QTRY_COMPARE(deck.source.ReadTimecode(), request.at);
        QCOMPARE(Commands(deck.vtr), QList<int>{SONY_CUE_UP_WITH_DATA});
        return;
    }
    // Play follows the cue's arrival, from its frame on.
    QTRY_COMPARE(Commands(deck.vtr), (QList<int>{SONY_CUE_UP_WITH_DATA, SONY_PLAY}));
    QTRY_COMPARE(deck.Mode(), TransportMode::Play);
    QTRY_VERIFY(deck.source.ReadTimecode().Frame() > request.at.Frame());
    QVERIFY(deck.source.ReadTimecode().Frame() < request.at.Frame() + 30);
}

void TestTransport::deckAtAnotherRate_data() {
    QTest::addColumn<vtrsim::ResponderConfig>("config");
    QTest::addColumn<TimecodeRate>("listRate");
    QTest::addColumn<int>("heardFps"); // 0: nothing heard

    const TimecodeRate list25{25, false};
    QTest::newRow("25 frames played into a 30 frame list")
        << Deck({25, false}, "01:00:00:00", true) << kDrop30 << 25;
    QTest::newRow("24 frames played into a 25 frame list")
        << Deck({24, false}, "01:00:00:00", true) << list25 << 24;
    QTest::newRow("frame 27 of a still tape into a 25 frame list")
        << Deck({30, false}, "01:00:00:27", false) << list25 << 30;
    QTest::newRow("30 frames played into a 30 frame list")
        << Deck(kDrop30, "01:00:00:00", true) << kDrop30 << 0;
    QTest::newRow("25 frames standing in a 30 frame list")
        << Deck({25, false}, "01:00:00:00", false) << kDrop30 << 0;
}

// A deck says no rate; its labels and its pace of play tell it, once they are not the list's.
void TestTransport::deckAtAnotherRate() {
    QFETCH(vtrsim::ResponderConfig, config);
    QFETCH(TimecodeRate, listRate);
    QFETCH(int, heardFps);

    Driven deck(config, listRate);
    QVERIFY(!deck.source.HeardRate());
    QVERIFY(deck.Open());
    const auto heardFpsNow = [&] {
        const std::optional<SignalRate> heard = deck.source.HeardRate();
        return heard ? heard->rate.Fps() : 0;
    };
    if (heardFps != 0) {
        // Slow exchanges on a busy machine may need more than a second of readings.
        QTRY_COMPARE_WITH_TIMEOUT(heardFpsNow(), heardFps, 8000);
    } else {
        // Two seconds of readings, watched from the first, tell nothing.
        const int64_t until = SteadyNowNs() + 10'000'000'000;
        while (deck.source.Polls() < 20 && SteadyNowNs() < until) {
            QCOMPARE(heardFpsNow(), 0);
            QTest::qWait(5);
        }
        QVERIFY(deck.source.Polls() >= 20);
    }
    const std::optional<SignalRate> heard = deck.source.HeardRate();
    if (heard) {
        // Told the list's new rate, the deck matches it.
        deck.rate = heard->rate;
        QVERIFY(!deck.source.HeardRate());
    }
}

QTEST_GUILESS_MAIN(TestTransport)
#include "test_transport.moc"
