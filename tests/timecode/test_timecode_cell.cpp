#include "timecode/timecode_cell.h"

#include <QtTest>

Q_DECLARE_METATYPE(TimecodeRate)

class TestTimecodeCell : public QObject {
    Q_OBJECT
private slots:
    void cellKeepsItsText_data();
    void cellKeepsItsText();
};

namespace {

constexpr TimecodeRate ND{30, false};
constexpr TimecodeRate DF{30, true};
constexpr TimecodeRate R25{25, false};

} // namespace

void TestTimecodeCell::cellKeepsItsText_data() {
    QTest::addColumn<QByteArray>("text");
    QTest::addColumn<TimecodeRate>("rate");
    QTest::addColumn<int>("frame");  // the Timecode held; -1: the text is kept instead
    QTest::addColumn<int>("frames"); // the count durations use; -1: none
    QTest::addColumn<bool>("beyond");
    QTest::addColumn<TimecodeRate>("other"); // read again at this counting
    QTest::addColumn<int>("otherFrame");

    QTest::newRow("a capture is a label")
        << QByteArray("01:00:00:00") << ND << 108000 << 108000 << false << DF << 107892;
    QTest::newRow("a label counts at its drop-frame")
        << QByteArray("00:01:00:02") << DF << 1800 << 1800 << false << ND << 1802;
    QTest::newRow("a skipped label is text, counted as the frame before")
        << QByteArray("00:01:00:00") << DF << -1 << 1798 << false << ND << 1800;
    QTest::newRow("single digits are text that counts")
        << QByteArray("1:2:3:4") << ND << -1 << 111694 << false << DF << -1;
    QTest::newRow("hours past the day are text that counts")
        << QByteArray("25:00:00:00") << ND << -1 << 2700000 << false << R25 << -1;
    QTest::newRow("a trailing blank is no label")
        << QByteArray("00:00:01:00 ") << ND << -1 << 30 << false << ND << -1;
    QTest::newRow("frame 25 at 25 is beyond the rate, at 30 a label")
        << QByteArray("00:00:01:25") << R25 << -1 << -1 << true << ND << 55;
    QTest::newRow("a remark in the wrong column survives")
        << QByteArray("ＣＭ明け 01:00") << ND << -1 << -1 << false << DF << -1;
    QTest::newRow("a zero byte ends the count, not the text")
        << QByteArray("00:00:02:00\0tail", 16) << ND << -1 << 60 << false << R25 << -1;
    QTest::newRow("empty") << QByteArray() << ND << -1 << -1 << false << DF << -1;
}

// A cell gives back the text it was read from, whatever it is, and holds a Timecode exactly
// when that text is a label at its counting; reading it at another counting decides again.
void TestTimecodeCell::cellKeepsItsText() {
    QFETCH(QByteArray, text);
    QFETCH(TimecodeRate, rate);
    QFETCH(int, frame);
    QFETCH(int, frames);
    QFETCH(bool, beyond);
    QFETCH(TimecodeRate, other);
    QFETCH(int, otherFrame);
    const std::string given = text.toStdString();
    const TimecodeCell cell = TimecodeCell::Read(given, rate);
    QCOMPARE(cell.Text(), given);
    QCOMPARE(cell.IsEmpty(), given.empty());
    QCOMPARE(cell.Value().Frame(), frame);
    QCOMPARE(cell.Frames().value_or(-1), frames);
    QCOMPARE(cell.LabelBeyondRate(), beyond);
    const TimecodeCell again = cell.At(other);
    QCOMPARE(again.Text(), given);
    QCOMPARE(again.Value().Frame(), otherFrame);
    QCOMPARE(again.At(rate), cell);
}

QTEST_GUILESS_MAIN(TestTimecodeCell)
#include "test_timecode_cell.moc"
