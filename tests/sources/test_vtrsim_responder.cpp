// The simulator's VTR side without a line: what it answers, and how its tape runs.

#include "hex_bytes.h"
#include "sim_tape.h"

#include <QTest>

using vtrsim::Protocol;

namespace {

// The answer to bytes taken in ns after the start.
QByteArray Answer(vtrsim::Responder& responder, const QByteArray& request, int64_t ns = 0) {
    std::vector<uint8_t> reply;
    const std::vector<uint8_t> bytes = ToVector(request);
    responder.Receive(bytes.data(), bytes.size(), ns, &reply);
    return FromVector(reply);
}

QByteArray Label(const vtrsim::TapeClock& tape, int64_t ms) {
    int h = 0, m = 0, s = 0, f = 0;
    tape.LabelAt(ms, &h, &m, &s, &f);
    return QString::asprintf("%02d:%02d:%02d:%02d", h, m, s, f).toLatin1();
}

QByteArray LabelNs(const vtrsim::TapeClock& tape, int64_t ns) {
    int h = 0, m = 0, s = 0, f = 0;
    tape.LabelAtNs(ns, &h, &m, &s, &f);
    return QString::asprintf("%02d:%02d:%02d:%02d", h, m, s, f).toLatin1();
}

} // namespace

class TestVtrsimResponder : public QObject {
    Q_OBJECT

private slots:
    void tapeRuns_data();
    void tapeRuns();
    void sonyAnswers_data();
    void sonyAnswers();
    void sonyBlockInPieces();
    void sonyStaleBlockIsDropped();
    void answerHoldsFrameOfItsMoment_data();
    void answerHoldsFrameOfItsMoment();
};

void TestVtrsimResponder::tapeRuns_data() {
    QTest::addColumn<QByteArray>("start");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<bool>("running");
    QTest::addColumn<int>("elapsedMs");
    QTest::addColumn<QByteArray>("label");

    QTest::newRow("still tape keeps its label")
        << QByteArray("01:00:00:00") << true << false << 60000 << QByteArray("01:00:00:00");
    QTest::newRow("non-drop runs 30 frames a second")
        << QByteArray("00:00:00:00") << false << true << 1000 << QByteArray("00:00:01:00");
    QTest::newRow("drop-frame runs 29.97 frames a second")
        << QByteArray("00:00:00:00") << true << true << 1001 << QByteArray("00:00:01:00");
    QTest::newRow("drop-frame skips labels 00 and 01")
        << QByteArray("00:00:59:28") << true << true << 67 << QByteArray("00:01:00:02");
    QTest::newRow("drop-frame keeps labels at minute 10")
        << QByteArray("00:09:59:29") << true << true << 34 << QByteArray("00:10:00:00");
    QTest::newRow("non-drop wraps after 24 hours")
        << QByteArray("23:59:59:29") << false << true << 34 << QByteArray("00:00:00:00");
    QTest::newRow("drop-frame wraps after 24 hours")
        << QByteArray("23:59:59:29") << true << true << 34 << QByteArray("00:00:00:00");
}

void TestVtrsimResponder::tapeRuns() {
    QFETCH(QByteArray, start);
    QFETCH(bool, drop);
    QFETCH(bool, running);
    QFETCH(int, elapsedMs);
    QFETCH(QByteArray, label);
    const vtrsim::ResponderConfig config = Tape(Protocol::Sony, start.constData(), running, drop);
    QCOMPARE(Label(config.tape, elapsedMs), label);
}

void TestVtrsimResponder::sonyAnswers_data() {
    QTest::addColumn<QByteArray>("request");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<QByteArray>("reply");

    QTest::newRow("VITC time with drop flag")
        << Hex("61 0C 02 6F") << true << Hex("74 06 65 34 12 01 26");
    QTest::newRow("VITC time non-drop")
        << Hex("61 0C 02 6F") << false << Hex("74 06 25 34 12 01 E6");
    QTest::newRow("LTC time") << Hex("61 0C 01 6E") << false << Hex("74 04 25 34 12 01 E4");
    QTest::newRow("bad checksum gets NAK 04") << Hex("61 0C 02 70") << false << Hex("11 12 04 27");
    QTest::newRow("play is taken with ACK") << Hex("20 01 21") << false << Hex("10 01 11");
    // Ten bytes from byte 0: byte 1 has standby (bit 7) and stop (bit 5).
    QTest::newRow("status of a stopped deck")
        << Hex("61 20 0A 8B") << false << Hex("7A 20 00 A0 00 00 00 00 00 00 00 00 3A");
    // The simulated deck knows no command that writes to tape.
    QTest::newRow("unknown command gets NAK 01") << Hex("20 02 22") << false << Hex("11 12 01 24");
}

void TestVtrsimResponder::sonyAnswers() {
    QFETCH(QByteArray, request);
    QFETCH(bool, drop);
    QFETCH(QByteArray, reply);
    vtrsim::Responder responder(Tape(Protocol::Sony, "01:12:34:25", false, drop));
    QCOMPARE(Answer(responder, request), reply);
}

void TestVtrsimResponder::sonyBlockInPieces() {
    vtrsim::Responder responder(Tape(Protocol::Sony, "01:12:34:25", false, false));
    QCOMPARE(Answer(responder, Hex("61 0C"), 0), QByteArray());
    QCOMPARE(Answer(responder, Hex("02 6F"), 5'000'000), Hex("74 06 25 34 12 01 E6"));
    QCOMPARE(responder.Requests(), 1);
}

void TestVtrsimResponder::sonyStaleBlockIsDropped() {
    // A stray byte followed much later by a request: the request is still understood.
    vtrsim::Responder responder(Tape(Protocol::Sony, "01:12:34:25", false, false));
    QCOMPARE(Answer(responder, Hex("61"), 0), QByteArray());
    QCOMPARE(Answer(responder, Hex("61 0C 02 6F"), 1'000'000'000), Hex("74 06 25 34 12 01 E6"));
}

void TestVtrsimResponder::answerHoldsFrameOfItsMoment_data() {
    QTest::addColumn<int>("protocol");
    QTest::addColumn<bool>("drop");
    QTest::addColumn<qint64>("elapsedNs");
    QTest::addColumn<QByteArray>("label");

    // At 29.97 frames a second frame 1 begins 33,366,666.7 ns after the start: within the
    // 33rd millisecond, which a clock counted in milliseconds cannot tell apart.
    const int sony = int(Protocol::Sony);
    const int victor = int(Protocol::Victor);
    QTest::newRow("Sony drop-frame, just before a frame begins")
        << sony << true << qint64(33'366'666) << QByteArray("01:00:00:00");
    QTest::newRow("Sony drop-frame, as the frame begins")
        << sony << true << qint64(33'366'667) << QByteArray("01:00:00:01");
    QTest::newRow("Victor non-drop, just before a frame begins")
        << victor << false << qint64(66'666'666) << QByteArray("01:00:00:01");
    QTest::newRow("Victor non-drop, as the frame begins")
        << victor << false << qint64(66'666'667) << QByteArray("01:00:00:02");
}

// The frame of an answer is the one under the head at the moment given for it, to the
// nanosecond.
void TestVtrsimResponder::answerHoldsFrameOfItsMoment() {
    QFETCH(int, protocol);
    QFETCH(bool, drop);
    QFETCH(qint64, elapsedNs);
    QFETCH(QByteArray, label);

    const vtrsim::ResponderConfig config = Tape(Protocol(protocol), "01:00:00:00", true, drop);
    QCOMPARE(LabelNs(config.tape, elapsedNs), label);
    vtrsim::Responder responder(config);
    const QByteArray digits = QByteArray(label).replace(":", "");
    if (Protocol(protocol) == Protocol::Victor) {
        QCOMPARE(Answer(responder, Hex("DE"), elapsedNs), digits);
    } else {
        // The frames in the third byte, under the flags.
        const QByteArray reply = Answer(responder, Hex("61 0C 02 6F"), elapsedNs);
        QCOMPARE(reply.size(), 7);
        QCOMPARE(QByteArray::number(reply[2] & 0x3F, 16).rightJustified(2, '0'), digits.mid(6, 2));
    }
}

QTEST_GUILESS_MAIN(TestVtrsimResponder)
#include "test_vtrsim_responder.moc"
