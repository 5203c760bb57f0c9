// LTC and MTC figures: the CPU that decoding LTC at 48 kHz takes, the CPU of the whole input
// path while the simulator sends in real time, and how far behind the signal a reading is.

#include "sources/ltc_decoder.h"
#include "sources/ltc_source.h"
#include "sources/mtc_source.h"
#include "sources/vtr_link.h"
#include "timecode/timecode.h"
#include "timecode_signal.h"

#include <QCoreApplication>
#include <QProcess>
#include <QTemporaryDir>

#include <cmath>
#include <cstdio>
#include <ctime>
#include <sys/resource.h>
#include <sys/stat.h>
#include <thread>

namespace {

double ThreadCpuSeconds() {
    timespec t = {};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

double ProcessCpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// Ten minutes of audio through the decoder in 5 ms pieces, as a capture device hands it over.
void DecoderCost(const char* what, const vtrsim::TapeClock& tape, bool noise) {
    constexpr int seconds = 600;
    std::vector<int16_t> audio;
    vtrsim::LtcSignal signal(tape);
    signal.Next(size_t(seconds) * vtrsim::LTC_SAMPLE_RATE, &audio);
    uint32_t state = 1;
    if (noise)
        for (int16_t& s : audio)
            s = int16_t((state = state * 1664525u + 1013904223u) >> 17) - 16384;
    LtcDecoder decoder(vtrsim::LTC_SAMPLE_RATE);
    std::vector<TimecodeAnchor> anchors;
    const double before = ThreadCpuSeconds();
    for (size_t i = 0; i < audio.size(); i += 240)
        decoder.Write(audio.data() + i, 240, 0, &anchors);
    const double cpu = ThreadCpuSeconds() - before;
    std::printf("%-40s %.1f ms CPU a second of audio (%.3f %% of a core), %zu anchors\n", what,
                cpu * 1000 / seconds, 100 * cpu / seconds, anchors.size());
}

// The simulator in its own process sends for ten seconds; we count only our own CPU.
void InputCost(const char* what, const QString& protocol, int vtrType) {
    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath(QStringLiteral("signal")).toLocal8Bit();
    ::mkfifo(fifo.constData(), 0600);
    QProcess sim;
    sim.start(QStringLiteral(VTRSIM_PATH),
              {QStringLiteral("--protocol"), protocol, QStringLiteral("--output"),
               QString::fromLocal8Bit(fifo), QStringLiteral("--duration"), QStringLiteral("15")});
    VtrLink link;
    link.VtrOpen((vtrType == VTR_LTC ? "file:" + fifo : fifo).constData(), vtrType);
    while (!link.VtrReadTimecode())
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    const double before = ProcessCpuSeconds();
    int readings = 0;
    // The dialog's polling: one reading every 100 ms.
    for (int tick = 0; tick < 100; ++tick) {
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        readings += link.VtrReadTimecode() ? 1 : 0;
    }
    const double cpu = ProcessCpuSeconds() - before;
    link.VtrClose();
    sim.kill();
    sim.waitForFinished();
    std::printf("%-40s %.1f ms CPU in 10 s (%.2f %%), %d/100 readings\n", what, cpu * 1000,
                cpu * 10, readings);
}

// Readings taken as fast as they come for five seconds: the share one frame behind the frame
// being sent, times a frame, is how late a reading is on average.
void Lag(const char* what, vtrsim::SignalKind kind, int vtrType) {
    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath(QStringLiteral("signal")).toLocal8Bit();
    ::mkfifo(fifo.constData(), 0600);
    vtrsim::SignalConfig config;
    config.kind = kind;
    vtrsim::SignalSender sender(fifo.toStdString(), config);
    VtrLink link;
    link.VtrOpen((vtrType == VTR_LTC ? "file:" + fifo : fifo).constData(), vtrType);
    while (!link.VtrReadTimecode())
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    const double period = 1001.0 / 30; // ms
    long readings = 0, behind = 0, ahead = 0;
    const int64_t end = SteadyNowNs() + 5000000000LL;
    while (SteadyNowNs() < end) {
        const int64_t now = SteadyNowNs();
        const int got = link.VtrLatestTimecode().Frame();
        const int sent =
            config.tape.startFrames + int(std::floor((now - sender.StartNs()) / 1e6 / period));
        ++readings;
        behind += got < sent ? 1 : 0;
        ahead += got > sent ? 1 : 0;
        std::this_thread::sleep_for(std::chrono::microseconds(200));
    }
    std::printf("%-40s %ld readings: %.2f %% a frame behind, %.2f %% ahead (about %.2f ms late)\n",
                what, readings, 100.0 * behind / readings, 100.0 * ahead / readings,
                period * double(behind - ahead) / readings);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    vtrsim::TapeClock tape; // 29.97 drop-frame
    DecoderCost("LTC decoding at 48 kHz, 29.97 signal", tape, false);
    vtrsim::TapeClock film;
    film.fps = 24;
    film.pullDown = true;
    DecoderCost("LTC decoding at 48 kHz, 23.976 signal", film, false);
    vtrsim::TapeClock pal;
    pal.fps = 25;
    DecoderCost("LTC decoding at 48 kHz, 25 signal", pal, false);
    DecoderCost("LTC decoding at 48 kHz, noise", tape, true);
    InputCost("LTC from a FIFO, whole input, 10 s", QStringLiteral("ltc"), VTR_LTC);
    InputCost("MTC from a FIFO, whole input, 10 s", QStringLiteral("mtc"), VTR_MTC);
    Lag("LTC reading against the frame sent", vtrsim::SignalKind::Ltc, VTR_LTC);
    Lag("MTC reading against the frame sent", vtrsim::SignalKind::Mtc, VTR_MTC);
    return 0;
}
