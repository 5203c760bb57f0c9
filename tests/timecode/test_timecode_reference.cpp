// The timecode type against a timecode library we did not write (libavutil's): every frame of
// a day to its label, and every label a day's fields can spell to its frame, at 24, 25 and 30
// non-drop and at 30 drop-frame. One tight loop a rate, so that it stays quick under the
// sanitizers too.

#include "timecode/duration.h"
#include "timecode/timecode_value.h"

extern "C" {
#include <libavutil/timecode.h>
}

#include <QtTest>

#include <cstring>

Q_DECLARE_METATYPE(TimecodeRate)

namespace {

struct Reference {
    AVTimecode tc = {};
    bool ok = false;

    explicit Reference(TimecodeRate rate) {
        // Drop-frame labels belong to 29.97; the library refuses them at any other pace.
        const AVRational pace =
            rate.DropFrame() ? AVRational{30000, 1001} : AVRational{rate.fps, 1};
        ok = av_timecode_init(&tc, pace, Flags(rate), 0, nullptr) == 0;
    }

    static int Flags(TimecodeRate rate) {
        return AV_TIMECODE_FLAG_24HOURSMAX | (rate.DropFrame() ? AV_TIMECODE_FLAG_DROPFRAME : 0);
    }

    // The label of a frame from the library's SMPTE word: four BCD fields, no text formatting,
    // so that a loop over a day stays quick.
    TimecodeLabel Label(int frame) const {
        const uint32_t w = av_timecode_get_smpte_from_framenum(&tc, frame);
        const auto bcd = [w](int shift, uint32_t tensMask) {
            return int((w >> (shift + 4) & tensMask) * 10 + (w >> shift & 0xF));
        };
        return TimecodeLabel{bcd(0, 0x3), bcd(8, 0x7), bcd(16, 0x7), bcd(24, 0x3)};
    }

    // HH:MM:SS:FF of a frame as the library writes it; it writes a drop-frame label's last
    // colon as ';'.
    std::string Text(int frame) const {
        char text[AV_TIMECODE_STR_SIZE] = {};
        av_timecode_make_string(&tc, text, frame);
        if (char* semicolon = std::strchr(text, ';'))
            *semicolon = ':';
        return text;
    }
};

// "HH:MM:SS:FF" without the formatted printing: a list cell as the loop reads it.
void CellOf(const TimecodeLabel& l, char text[12]) {
    const int fields[4] = {l.hours, l.minutes, l.seconds, l.frames};
    for (int i = 0; i < 4; ++i) {
        text[3 * i] = char('0' + fields[i] / 10);
        text[3 * i + 1] = char('0' + fields[i] % 10);
        text[3 * i + 2] = i < 3 ? ':' : '\0';
    }
}

QByteArray Failure(TimecodeRate rate, const char* what, long long value, const char* expected,
                   const std::string& got) {
    return QStringLiteral("%1%2: %3 %4: expected %5, got %6")
        .arg(rate.fps)
        .arg(rate.drop ? QStringLiteral(" drop-frame") : QString())
        .arg(QLatin1String(what))
        .arg(value)
        .arg(QLatin1String(expected), QString::fromStdString(got))
        .toUtf8();
}

} // namespace

class TestTimecodeReference : public QObject {
    Q_OBJECT
private slots:
    void everyFrameToItsLabel_data();
    void everyFrameToItsLabel();
    void everyLabelToItsFrame_data();
    void everyLabelToItsFrame();
};

void TestTimecodeReference::everyFrameToItsLabel_data() {
    QTest::addColumn<TimecodeRate>("rate");
    QTest::addColumn<int>("framesPerDay");
    QTest::newRow("24") << TimecodeRate{24, false} << 2073600;
    QTest::newRow("25") << TimecodeRate{25, false} << 2160000;
    QTest::newRow("30 non-drop") << TimecodeRate::Thirty(false) << 2592000;
    QTest::newRow("30 drop-frame") << TimecodeRate::Thirty(true) << 2589408;
}

// Frame to label, and the label the library writes back to the same frame: the value, a list
// cell's reading and formatting, and a step of one frame, round midnight included.
void TestTimecodeReference::everyFrameToItsLabel() {
    QFETCH(TimecodeRate, rate);
    QFETCH(int, framesPerDay);
    const Reference reference(rate);
    QVERIFY(reference.ok);
    QCOMPARE(FramesPerDay(rate), framesPerDay);

    char cell[12] = {};
    Timecode previous = Timecode::AtFrame(framesPerDay - 1, rate);
    int texts = 0;
    for (int frame = 0; frame < framesPerDay; ++frame) {
        const TimecodeLabel expected = reference.Label(frame);
        CellOf(expected, cell);
        const Timecode tc = Timecode::AtFrame(frame, rate);
        if (!(tc.Label() == expected))
            QFAIL(Failure(rate, "frame", frame, cell, tc.Text()).constData());
        const Timecode read = Timecode::FromLabel(expected, rate);
        if (read.Frame() != frame)
            QFAIL(Failure(rate, "label of frame", frame, cell, read.Text()).constData());
        if (previous.Plus(1) != tc)
            QFAIL(
                Failure(rate, "step onto frame", frame, cell, previous.Plus(1).Text()).constData());
        if (CellTextToFrames(cell, rate).value_or(-1) != frame)
            QFAIL(Failure(rate, "cell reading of frame", frame, cell, "another count").constData());
        // The texts of the first second of every minute, where drop-frame skips labels,
        // printed by both sides.
        if (expected.seconds == 0) {
            const std::string text = reference.Text(frame);
            if (text != cell || tc.Text() != text || FormatTimecode(frame, rate) != text)
                QFAIL(Failure(rate, "text of frame", frame, text.c_str(), tc.Text()).constData());
            ++texts;
        }
        previous = tc;
    }
    QCOMPARE(texts, 24 * 60 * rate.Fps() - (rate.DropFrame() ? 24 * 54 * 2 : 0));
    // A duration is the label of its magnitude, signed.
    const std::string last = reference.Text(framesPerDay - 1);
    QCOMPARE(FormatDuration(-(framesPerDay - 1), rate), "-" + last);
    QCOMPARE(RowDuration("00:00:00:00", last.c_str(), rate), framesPerDay - 1);
}

void TestTimecodeReference::everyLabelToItsFrame_data() {
    everyFrameToItsLabel_data();
}

// Every field combination of a day at the rate, the labels drop-frame skips included: its
// count is the library's, and it names a frame exactly when the library writes that frame
// with that label.
void TestTimecodeReference::everyLabelToItsFrame() {
    QFETCH(TimecodeRate, rate);
    QFETCH(int, framesPerDay);
    const Reference reference(rate);
    QVERIFY(reference.ok);
    const AVRational pace = reference.tc.rate;
    const int fps = rate.Fps();

    int labels = 0;
    for (int h = 0; h < 24; ++h) {
        for (int m = 0; m < 60; ++m) {
            for (int s = 0; s < 60; ++s) {
                for (int f = 0; f < fps; ++f) {
                    const TimecodeLabel label{h, m, s, f};
                    AVTimecode at = {};
                    if (av_timecode_init_from_components(&at, pace, Reference::Flags(rate), h, m, s,
                                                         f, nullptr) != 0)
                        QFAIL("the library refused a label");
                    if (LabelToFrames64(label, rate) != at.start)
                        QFAIL(Failure(rate, "count of label", at.start, "that count",
                                      LabelText(label))
                                  .constData());
                    const bool exists = reference.Label(at.start) == label;
                    if (LabelExists(label, rate) != exists)
                        QFAIL(Failure(rate, "existence of label", at.start,
                                      exists ? "a frame" : "none", LabelText(label))
                                  .constData());
                    const Timecode tc = Timecode::FromLabel(label, rate);
                    if (tc.Frame() != (exists ? at.start : -1))
                        QFAIL(Failure(rate, "value of label", at.start, LabelText(label).c_str(),
                                      tc.Text())
                                  .constData());
                    labels += exists ? 1 : 0;
                }
            }
        }
    }
    // Every frame has one label and no more.
    QCOMPARE(labels, framesPerDay);
}

QTEST_GUILESS_MAIN(TestTimecodeReference)
#include "test_timecode_reference.moc"
