// How close a capture is to the frame under the head at its moment, for every source side by
// side: a Sony and a Victor deck on pseudo-terminals and LTC and MTC written into FIFOs, all
// from the simulator's tape playing from 01:00:00:00. Each capture is taken at a moment in no
// step with anything (50 to 250 ms apart) and compared with the frame the tape had under its
// head then; the histogram of the differences, in frames, is printed. For the decks the
// latest reading as it stands (what a capture took before readings were counted on) is
// printed beside it. Prints figures; asserts nothing.

#include "serve.h"
#include "sources/live_timecode.h"
#include "sources/ltc_source.h"
#include "sources/mtc_source.h"
#include "sources/victor.h"
#include "sources/vtr_link.h"
#include "timecode/timecode_value.h"
#include "timecode_signal.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <map>
#include <random>
#include <sys/stat.h>
#include <thread>

namespace {

constexpr int kCaptures = 120;

using Histogram = std::map<int, int>;

void PrintHistogram(const char* what, const Histogram& errors) {
    int total = 0;
    int on = 0;
    for (const auto& [error, count] : errors) {
        total += count;
        on += error == 0 ? count : 0;
    }
    std::printf("%-34s", what);
    for (int error = -3; error <= 3; ++error) {
        const auto it = errors.find(error);
        std::printf(" %+d:%4d", error, it == errors.end() ? 0 : it->second);
    }
    int beyond = 0;
    for (const auto& [error, count] : errors)
        beyond += std::abs(error) > 3 ? count : 0;
    std::printf("  beyond:%d  on the frame %d/%d\n", beyond, on, total);
}

// Captures at moments 50 to 250 ms apart, after the source has had a second to settle.
template <typename Capture, typename Truth>
void Measure(Capture capture, Truth truth, Histogram* counted, Histogram* latest) {
    std::mt19937 random(19);
    std::uniform_int_distribution<int> gapUs(50'000, 250'000);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    for (int i = 0; i < kCaptures; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(gapUs(random)));
        const int64_t at = SteadyNowNs();
        Timecode got;
        Timecode reading;
        capture(at, &got, &reading);
        const int frame = truth(at);
        (*counted)[got ? got.Frame() - frame : 1000] += 1;
        if (latest != nullptr)
            (*latest)[reading ? reading.Frame() - frame : 1000] += 1;
    }
}

void Deck(const char* what, vtrsim::Protocol protocol, int vtrType, bool drop) {
    vtrsim::ResponderConfig config;
    config.protocol = protocol;
    config.tape.drop = drop;
    config.tape.startFrames = Timecode::FromText("01:00:00:00", TimecodeRate::Thirty(drop)).Frame();
    vtrsim::PtyResponder vtr(config);
    VtrLink link;
    link.SetDeckRate(TimecodeRate::Thirty(drop));
    link.VtrOpen(vtr.SlavePath().c_str(), vtrType);
    const auto capture = [&](int64_t at, Timecode* got, Timecode* reading) {
        *got = link.VtrTimecodeAt(at).value_or(Timecode());
        *reading = link.VtrReadTimecode();
    };
    const auto truth = [&](int64_t at) {
        int h = 0, m = 0, s = 0, f = 0;
        config.tape.LabelAtNs(at - vtr.TapeOriginNs(), &h, &m, &s, &f);
        return Timecode::FromLabel({h, m, s, f}, TimecodeRate::Thirty(drop)).Frame();
    };
    Histogram counted;
    Histogram latest;
    Measure(capture, truth, &counted, &latest);
    PrintHistogram(what, counted);
    PrintHistogram("  the latest reading as it stands", latest);
    // What one capture costs the window: the readings of the last 8 s fitted and counted on.
    const int64_t start = SteadyNowNs();
    constexpr int kCalls = 2000;
    for (int i = 0; i < kCalls; ++i)
        link.VtrTimecodeAt(SteadyNowNs());
    std::printf("  one count-on over the last 8 s of readings: %.1f us\n",
                double(SteadyNowNs() - start) / kCalls / 1e3);
}

void Signal(const char* what, vtrsim::SignalKind kind, int vtrType) {
    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath(QStringLiteral("signal")).toLocal8Bit();
    ::mkfifo(fifo.constData(), 0600);
    vtrsim::SignalConfig config;
    config.kind = kind;
    config.tape.startFrames = Timecode::FromText("01:00:00:00", TimecodeRate::Thirty(true)).Frame();
    vtrsim::SignalSender sender(fifo.toStdString(), config);
    VtrLink link;
    link.VtrOpen((vtrType == VTR_LTC ? "file:" + fifo : fifo).constData(), vtrType);
    const auto capture = [&](int64_t at, Timecode* got, Timecode*) {
        *got = link.VtrTimecodeAt(at).value_or(Timecode());
    };
    const auto truth = [&](int64_t at) {
        return config.tape.startFrames + int(std::floor((at - sender.StartNs()) * 30.0 / 1001e6));
    };
    Histogram counted;
    Measure(capture, truth, &counted, nullptr);
    PrintHistogram(what, counted);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    std::printf("Capture error in frames (capture - frame under the head), %d captures each:\n",
                kCaptures);
    Deck("Sony 9-pin, 29.97 drop-frame", vtrsim::Protocol::Sony, VTR_SONY, true);
    Deck("Victor SA-K37, 29.97 drop-frame", vtrsim::Protocol::Victor, VTR_VICTOR, true);
    Deck("Sony 9-pin, 30 non-drop", vtrsim::Protocol::Sony, VTR_SONY, false);
    Signal("LTC, 29.97 drop-frame", vtrsim::SignalKind::Ltc, VTR_LTC);
    Signal("MTC, 29.97 drop-frame", vtrsim::SignalKind::Mtc, VTR_MTC);
    return 0;
}
