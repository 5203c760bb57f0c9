// The Sony 9-pin and Victor SA-K37 timecode queries over a real pseudo-terminal, with the
// simulator's responder answering on the master side, asked as the polling worker asks.

#include "hex_bytes.h"
#include "line_under_test.h"
#include "serve.h"
#include "sim_tape.h"
#include "sources/sony9pin.h"
#include "sources/victor.h"
#include "sources/vtr_link.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <memory>

Q_DECLARE_METATYPE(vtrsim::Fault)

class TestVtrProtocols : public QObject {
    Q_OBJECT

private slots:
    void reply_data();
    void reply();
    void sonyAnswersLiveTapeWithDropFlag();
    void extraBytesDoNotDisturbNextExchange_data();
    void extraBytesDoNotDisturbNextExchange();
    void noPortTouchesNothing_data();
    void noPortTouchesNothing();
    void vanishedPeerFailsWithinTimeouts();
    void exchangeDispatchesNoEvents();
};

void TestVtrProtocols::reply_data() {
    QTest::addColumn<int>("vtrType");
    QTest::addColumn<QByteArray>("reply"); // empty: the VTR stays silent
    QTest::addColumn<int>("result");
    QTest::addColumn<QByteArray>("timecode"); // compared only for a reading

    QTest::newRow("Sony time data gives HHMMSSFF")
        << VTR_SONY << Hex("74 06 25 34 12 01 E6") << 1 << QByteArray("01123425");
    QTest::newRow("Sony frames flag bit is masked off")
        << VTR_SONY << Hex("74 06 65 34 12 01 26") << 1 << QByteArray("01123425");
    QTest::newRow("Sony every flag bit is masked off")
        << VTR_SONY << Hex("74 06 E5 B4 92 C1 66") << 1 << QByteArray("01123425");
    QTest::newRow("Sony 74 16 reads like 74 06")
        << VTR_SONY << Hex("74 16 25 34 12 01 F6") << 1 << QByteArray("01123425");
    QTest::newRow("Sony nibbles above 9 pass as characters")
        << VTR_SONY << Hex("74 06 2A 34 1F 01 F8") << 1 << QByteArray("011?342:");
    QTest::newRow("Sony wrong checksum fails")
        << VTR_SONY << Hex("74 06 25 34 12 01 E7") << 0 << QByteArray();
    QTest::newRow("Sony NAK fails") << VTR_SONY << Hex("11 12 01 24") << 0 << QByteArray();
    QTest::newRow("Sony LTC time data 74 04 fails")
        << VTR_SONY << Hex("74 04 25 34 12 01 E4") << 0 << QByteArray();
    QTest::newRow("Sony six of seven bytes fail")
        << VTR_SONY << Hex("74 06 25 34 12 01") << 0 << QByteArray();
    QTest::newRow("Sony one byte fails") << VTR_SONY << Hex("74") << 0 << QByteArray();
    QTest::newRow("Sony silence fails after its time-out")
        << VTR_SONY << QByteArray() << 0 << QByteArray();

    QTest::newRow("Victor eight digits give HHMMSSFF")
        << VTR_VICTOR << QByteArray("01123425") << 1 << QByteArray("01123425");
    QTest::newRow("Victor eight bytes count whatever they are")
        << VTR_VICTOR << QByteArray("AB:CD?!x") << 1 << QByteArray("AB:CD?!x");
    QTest::newRow("Victor ten bytes give the first eight")
        << VTR_VICTOR << QByteArray("0112342599") << 1 << QByteArray("01123425");
    QTest::newRow("Victor seven bytes fail")
        << VTR_VICTOR << QByteArray("0112342") << 0 << QByteArray();
    QTest::newRow("Victor silence fails after its time-out")
        << VTR_VICTOR << QByteArray() << 0 << QByteArray();
}

void TestVtrProtocols::reply() {
    QFETCH(int, vtrType);
    QFETCH(QByteArray, reply);
    QFETCH(int, result);
    QFETCH(QByteArray, timecode);

    const bool sony = vtrType == VTR_SONY;
    vtrsim::ResponderConfig config;
    config.protocol = sony ? vtrsim::Protocol::Sony : vtrsim::Protocol::Victor;
    config.fixedReply = ToVector(reply);
    config.fault = reply.isEmpty() ? vtrsim::Fault::Silent : vtrsim::Fault::None;
    vtrsim::PtyResponder vtr(config);
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    LineUnderTest link;
    QCOMPARE(link.Open(vtr.SlavePath().c_str(), vtrType), 1);

    // The Sony query ends the text itself; for the Victor one the caller has done it.
    char buffer[9];
    std::memset(buffer, 'x', sizeof buffer);
    if (!sony)
        buffer[8] = '\0';
    QElapsedTimer clock;
    clock.start();
    const SerialProtocol& protocol = sony ? SONY_9PIN : VICTOR_SA_K37;
    QCOMPARE(protocol.readTimecode(link.Line(), buffer), result);
    if (reply.isEmpty()) {
        // Silence costs one read time-out: 130 ms for the Sony reply's first two bytes, 160
        // ms for the Victor's eight. Loose bounds, not a benchmark: they catch a read that
        // does not wait for a slow VTR, or time-outs ten times too long, which would stall
        // the window a whole second a tick.
        const qint64 ms = clock.elapsed();
        QVERIFY2(ms >= 100 && ms < 400, qPrintable(QStringLiteral("%1 ms").arg(ms)));
    }
    QCOMPARE(buffer[8], '\0');
    if (result == 1)
        QCOMPARE(QByteArray(buffer), timecode);
    // The request went out whatever came back.
    const QByteArray request = sony ? Hex("61 0C 02 6F") : Hex("DE");
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(link.Line().sendBuf), request.size()),
             request);
    QCOMPARE(vtr.Requests(), 1);
}

void TestVtrProtocols::sonyAnswersLiveTapeWithDropFlag() {
    // The simulator answers only a well-formed current time sense with time data, and sets
    // the drop-frame flag in the frames byte: the request and the mask both matter here.
    vtrsim::PtyResponder vtr(Tape(vtrsim::Protocol::Sony, "01:12:34:25"));
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    LineUnderTest link;
    QCOMPARE(link.Open(vtr.SlavePath().c_str(), VTR_SONY), 1);
    QCOMPARE(link.Read().Text(), std::string("01:12:34:25"));
    QCOMPARE(int(link.Line().recvBuf[1]), 0x06);
}

void TestVtrProtocols::extraBytesDoNotDisturbNextExchange_data() {
    QTest::addColumn<int>("vtrType");
    QTest::addColumn<vtrsim::Fault>("fault");

    // Every second reply carries the first two bytes of another reply after it; read on,
    // they would put the next reply out of step.
    QTest::newRow("Victor ten bytes") << VTR_VICTOR << vtrsim::Fault::Long;
    QTest::newRow("Sony nine bytes") << VTR_SONY << vtrsim::Fault::Long;
    // A NAK's data and checksum bytes follow the two bytes that were read.
    QTest::newRow("Sony NAK") << VTR_SONY << vtrsim::Fault::Nak;
    QTest::newRow("Sony wrong checksum") << VTR_SONY << vtrsim::Fault::BadChecksum;
}

void TestVtrProtocols::extraBytesDoNotDisturbNextExchange() {
    QFETCH(int, vtrType);
    QFETCH(vtrsim::Fault, fault);

    vtrsim::ResponderConfig config =
        Tape(vtrType == VTR_VICTOR ? vtrsim::Protocol::Victor : vtrsim::Protocol::Sony,
             "01:12:34:25", false, false);
    config.fault = fault;
    config.faultEvery = 2;
    vtrsim::PtyResponder vtr(config);
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    LineUnderTest link;
    QCOMPARE(link.Open(vtr.SlavePath().c_str(), vtrType), 1);

    QCOMPARE(link.Read().Text(), std::string("01:12:34:25"));
    QCOMPARE(link.Read().IsValid(), fault == vtrsim::Fault::Long);
    QCOMPARE(link.Read().Text(), std::string("01:12:34:25"));
    QCOMPARE(vtr.Requests(), 3);
}

void TestVtrProtocols::noPortTouchesNothing_data() {
    QTest::addColumn<int>("vtrType");
    QTest::newRow("Sony") << VTR_SONY;
    QTest::newRow("Victor") << VTR_VICTOR;
}

void TestVtrProtocols::noPortTouchesNothing() {
    QFETCH(int, vtrType);
    LineUnderTest link;
    QCOMPARE(link.Open("", vtrType), 0);
    QVERIFY(link.Port() == nullptr);
    SerialLine& line = link.Line();
    std::memset(line.recvBuf, 0xA5, sizeof line.recvBuf);
    std::memcpy(line.sendBuf, "\x61\x0C\x02\x6F", 4);

    QCOMPARE(SonyExchange(line, 0x610C, 4), 0);
    QCOMPARE(VictorExchange(line), 0);
    for (unsigned char b : line.recvBuf)
        QCOMPARE(int(b), 0xA5);
    QVERIFY(!link.Read());
    QVERIFY(link.Port() == nullptr);
}

void TestVtrProtocols::vanishedPeerFailsWithinTimeouts() {
    // A USB adapter pulled out, or the simulator stopped: the port stays open on our side
    // and every read fails at once.
    auto vtr = std::make_unique<vtrsim::PtyResponder>(
        Tape(vtrsim::Protocol::Sony, "01:00:00:00", false, false));
    QVERIFY2(!vtr->SlavePath().empty(), vtr->Error().c_str());
    LineUnderTest link;
    QCOMPARE(link.Open(vtr->SlavePath().c_str(), VTR_SONY), 1);
    QVERIFY(link.Read());
    vtr.reset();
    QVERIFY(!link.Read());
    QVERIFY(!link.Read());
}

void TestVtrProtocols::exchangeDispatchesNoEvents() {
    // The poll runs from the dialog's timer; waiting for the reply must not serve other
    // events, or the dialog's handlers would run in the middle of it.
    vtrsim::ResponderConfig config;
    config.fault = vtrsim::Fault::Silent;
    vtrsim::PtyResponder vtr(config);
    QVERIFY2(!vtr.SlavePath().empty(), vtr.Error().c_str());
    LineUnderTest link;
    QCOMPARE(link.Open(vtr.SlavePath().c_str(), VTR_SONY), 1);

    bool served = false;
    QTimer::singleShot(0, this, [&served] { served = true; });
    QVERIFY(!link.Read());
    QCOMPARE(served, false);
    QTRY_VERIFY(served);
}

QTEST_GUILESS_MAIN(TestVtrProtocols)
#include "test_vtr_protocols.moc"
