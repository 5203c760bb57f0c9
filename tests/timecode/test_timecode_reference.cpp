// The timecode type against a timecode library we did not write (libavutil's), at 24, 25 and
// 30 non-drop and at 30 drop-frame: every label a day's fields can spell to its count and
// frame (or none, where the library writes no frame with that label), and every frame of the
// day to its label, its text and a list cell. One tight loop a rate, so that it stays quick
// under the sanitizers too.

#include "timecode/duration.h"
#include "timecode/timecode_value.h"

extern "C" {
#include <libavutil/timecode.h>
}

#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(TimecodeRate)

namespace {

// The label of a frame from the library's SMPTE word: four BCD fields, no text formatting,
// so that a loop over a day stays quick.
TimecodeLabel LabelOf(const AVTimecode& tc, int frame) {
    const uint32_t w = av_timecode_get_smpte_from_framenum(&tc, frame);
    const auto bcd = [w](int shift, uint32_t tensMask) {
        return int((w >> (shift + 4) & tensMask) * 10 + (w >> shift & 0xF));
    };
    return TimecodeLabel{bcd(0, 0x3), bcd(8, 0x7), bcd(16, 0x7), bcd(24, 0x3)};
}

// HH:MM:SS:FF of a frame as the library writes it; it writes a drop-frame label's last colon
// as ';'.
std::string TextOf(const AVTimecode& tc, int frame) {
    char text[AV_TIMECODE_STR_SIZE] = {};
    av_timecode_make_string(&tc, text, frame);
    if (char* semicolon = std::strchr(text, ';'))
        *semicolon = ':';
    return text;
}

// "HH:MM:SS:FF" without the formatted printing: a list cell as the loop reads it.
void CellOf(const TimecodeLabel& l, char text[12]) {
    const int fields[4] = {l.hours, l.minutes, l.seconds, l.frames};
    for (int i = 0; i < 4; ++i) {
        text[3 * i] = char('0' + fields[i] / 10);
        text[3 * i + 1] = char('0' + fields[i] % 10);
        text[3 * i + 2] = i < 3 ? ':' : '\0';
    }
}

// The texts of a frame printed by both sides, where the cell already agrees with the
// library's label.
bool TextsAgree(const AVTimecode& day, int frame, const char* cell, const Timecode& tc) {
    const std::string text = TextOf(day, frame);
    return text == cell && tc.Text() == text && FormatTimecode(frame, tc.Rate()) == text;
}

} // namespace

class TestTimecodeReference : public QObject {
    Q_OBJECT
private slots:
    void everyLabelAndFrameOfADay_data();
    void everyLabelAndFrameOfADay();
};

void TestTimecodeReference::everyLabelAndFrameOfADay_data() {
    QTest::addColumn<TimecodeRate>("rate");
    QTest::addColumn<int>("framesPerDay");
    QTest::newRow("24") << TimecodeRate{24, false} << 2073600;
    QTest::newRow("25") << TimecodeRate{25, false} << 2160000;
    QTest::newRow("30 non-drop") << TimecodeRate::Thirty(false) << 2592000;
    QTest::newRow("30 drop-frame") << TimecodeRate::Thirty(true) << 2589408;
}

// Labels in their order name frames in theirs: the frame of a label that exists is the count
// of those before it, so that the walk meets every frame of the day once, midnight included.
// The texts are compared on the first second of every minute, where drop-frame skips labels.
void TestTimecodeReference::everyLabelAndFrameOfADay() {
    QFETCH(TimecodeRate, rate);
    QFETCH(int, framesPerDay);
    QCOMPARE(FramesPerDay(rate), framesPerDay);
    // Drop-frame labels belong to 29.97; the library refuses them at any other pace.
    const AVRational pace = rate.DropFrame() ? AVRational{30000, 1001} : AVRational{rate.fps, 1};
    const int flags =
        AV_TIMECODE_FLAG_24HOURSMAX | (rate.DropFrame() ? AV_TIMECODE_FLAG_DROPFRAME : 0);
    AVTimecode day = {};
    QCOMPARE(av_timecode_init(&day, pace, flags, 0, nullptr), 0);

    int frame = 0;
    int texts = 0;
    char cell[12] = {};
    Timecode previous = Timecode::AtFrame(framesPerDay - 1, rate);
    for (int h = 0; h < 24; ++h)
        for (int m = 0; m < 60; ++m)
            for (int s = 0; s < 60; ++s)
                for (int f = 0; f < rate.Fps(); ++f) {
                    const TimecodeLabel label{h, m, s, f};
                    CellOf(label, cell);
                    AVTimecode at = {};
                    const bool refused = av_timecode_init_from_components(&at, pace, flags, h, m, s,
                                                                          f, nullptr) != 0;
                    const bool exists = !refused && LabelOf(day, at.start) == label;
                    const Timecode tc = Timecode::FromLabel(label, rate);
                    const char* wrong = nullptr;
                    if (refused)
                        wrong = "refused by the library";
                    else if (LabelToFrames64(label, rate) != at.start)
                        wrong = "another count";
                    else if (LabelExists(label, rate) != exists)
                        wrong = exists ? "no frame" : "a frame the library has not";
                    else if (!exists && tc)
                        wrong = "a value";
                    else if (!exists)
                        continue;
                    else if (at.start != frame || tc.Frame() != frame)
                        wrong = "another frame";
                    else if (!(Timecode::AtFrame(frame, rate).Label() == label))
                        wrong = "another label for its frame";
                    else if (previous.Plus(1) != tc)
                        wrong = "no step of one frame from the one before";
                    else if (TimecodeCell::Read(cell, rate).Frames().value_or(-1) != frame)
                        wrong = "another count as a list cell";
                    else if (s == 0 && !TextsAgree(day, frame, cell, tc))
                        wrong = "another text";
                    if (wrong)
                        QFAIL(qPrintable(QStringLiteral("%1 at %2%3: %4")
                                             .arg(QLatin1String(cell))
                                             .arg(rate.fps)
                                             .arg(rate.drop ? " drop-frame" : "")
                                             .arg(QLatin1String(wrong))));
                    texts += s == 0 ? 1 : 0;
                    previous = tc;
                    ++frame;
                }
    // Every frame has one label and no more.
    QCOMPARE(frame, framesPerDay);
    QCOMPARE(texts, 24 * 60 * rate.Fps() - (rate.DropFrame() ? 24 * 54 * 2 : 0));
    // A duration is the label of its magnitude, signed.
    const std::string last = TextOf(day, framesPerDay - 1);
    QCOMPARE(FormatDuration(-(framesPerDay - 1), rate), "-" + last);
    QCOMPARE(
        RowDuration(TimecodeCell::Read("00:00:00:00", rate), TimecodeCell::Read(last, rate), rate),
        framesPerDay - 1);
}

QTEST_GUILESS_MAIN(TestTimecodeReference)
#include "test_timecode_reference.moc"
