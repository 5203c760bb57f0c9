// Tarnwick's VTR exchanges against the simulator over a pseudo-terminal: round-trip times,
// what an exchange with a silent VTR costs the polling worker and what reading the link costs
// its caller meanwhile, how soon the link closes in the middle of such an exchange, and the
// CPU that polling takes.

#include "sources/live_timecode.h"
#include "sources/serial_deck.h"
#include "sources/sony9pin.h"
#include "sources/victor.h"
#include "sources/vtr_link.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <sys/resource.h>
#include <vector>

namespace {

// The simulator in its own process, so its CPU is not counted as ours.
class Simulator {
public:
    explicit Simulator(const QStringList& args) {
        m_process.setProgram(QStringLiteral(VTRSIM_PATH));
        m_process.setArguments(args +
                               QStringList{QStringLiteral("--parent-pid"),
                                           QString::number(QCoreApplication::applicationPid())});
        m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
        m_process.start();
        while (!m_process.canReadLine() && m_process.waitForReadyRead(5000)) {
        }
        m_path = m_process.readLine().trimmed();
    }
    ~Simulator() {
        m_process.terminate();
        if (!m_process.waitForFinished(3000))
            m_process.kill();
    }
    const QByteArray& Path() const { return m_path; }

private:
    QProcess m_process;
    QByteArray m_path;
};

struct Figures {
    double meanMs = 0;
    double minMs = 0;
    double maxMs = 0;
    int readings = 0;
};

Figures Summarize(const std::vector<double>& times, int readings) {
    Figures figures;
    figures.readings = readings;
    if (times.empty())
        return figures;
    double sum = 0;
    for (double t : times)
        sum += t;
    figures.meanMs = sum / times.size();
    figures.minMs = *std::min_element(times.begin(), times.end());
    figures.maxMs = *std::max_element(times.begin(), times.end());
    return figures;
}

// One exchange after another on the caller's thread, as the polling worker makes them.
Figures TimeExchanges(int vtrType, const QByteArray& port, int count) {
    SerialLine line;
    SerialDeck deck(line, vtrType == VTR_VICTOR ? VICTOR_SA_K37 : SONY_9PIN);
    // An empty name is the no-port case, timed like the others.
    if (deck.Open(port.constData()) != 1 && !port.isEmpty())
        return Figures();
    std::vector<double> times;
    int readings = 0;
    for (int i = 0; i < count; ++i) {
        char digits[9] = {};
        QElapsedTimer timer;
        timer.start();
        readings += deck.ReadDigits(digits);
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    deck.Close();
    return Summarize(times, readings);
}

// What the window pays for a reading while the worker waits out a silent VTR: every call for
// a second, as fast as they come.
Figures TimeLinkReads(int vtrType, const QByteArray& port) {
    VtrLink link;
    link.VtrOpen(port.constData(), vtrType);
    std::vector<double> times;
    const int64_t end = SteadyNowNs() + 1'000'000'000;
    while (SteadyNowNs() < end) {
        QElapsedTimer timer;
        timer.start();
        link.VtrReadTimecode();
        link.VtrTimecodeAt(SteadyNowNs());
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    const int polls = link.VtrPolls();
    link.VtrClose();
    return Summarize(times, polls);
}

// Closing the link while the worker waits on a silent VTR, ten times.
Figures TimeCloses(int vtrType, const QByteArray& port) {
    std::vector<double> times;
    for (int i = 0; i < 10; ++i) {
        VtrLink link;
        link.VtrOpen(port.constData(), vtrType);
        // Into the middle of the first exchange's time-out.
        QThread::msleep(60);
        QElapsedTimer timer;
        timer.start();
        link.VtrClose();
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    return Summarize(times, 0);
}

void Print(const char* what, const Figures& f, int count) {
    std::printf("%-34s mean %7.2f ms  min %7.2f ms  max %7.2f ms  (%d/%d readings)\n", what,
                f.meanMs, f.minMs, f.maxMs, f.readings, count);
}

double CpuSeconds() {
    rusage usage = {};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    constexpr int kExchanges = 100;
    constexpr int kSilentTicks = 10;

    {
        Simulator sony({QStringLiteral("--protocol"), QStringLiteral("sony")});
        Print("Sony round trip", TimeExchanges(VTR_SONY, sony.Path(), kExchanges), kExchanges);
    }
    {
        Simulator victor({QStringLiteral("--protocol"), QStringLiteral("victor")});
        Print("Victor round trip", TimeExchanges(VTR_VICTOR, victor.Path(), kExchanges),
              kExchanges);
    }
    for (int vtrType : {VTR_SONY, VTR_VICTOR}) {
        const bool sony = vtrType == VTR_SONY;
        Simulator vtr({QStringLiteral("--protocol"),
                       sony ? QStringLiteral("sony") : QStringLiteral("victor"),
                       QStringLiteral("--fault"), QStringLiteral("silent")});
        Print(sony ? "Sony exchange, silent VTR (worker)" : "Victor exchange, silent VTR (worker)",
              TimeExchanges(vtrType, vtr.Path(), kSilentTicks), kSilentTicks);
        const Figures reads = TimeLinkReads(vtrType, vtr.Path());
        std::printf("%-34s mean %7.4f ms  max %7.3f ms  (%d exchanges meanwhile)\n",
                    sony ? "Sony reading, silent VTR (caller)" : "Victor reading, silent (caller)",
                    reads.meanMs, reads.maxMs, reads.readings);
        const Figures closes = TimeCloses(vtrType, vtr.Path());
        std::printf("%-34s mean %7.2f ms  max %7.2f ms\n",
                    sony ? "Sony close amid a silent exchange" : "Victor close amid silence",
                    closes.meanMs, closes.maxMs);
    }
    Print("Exchange, no port open", TimeExchanges(VTR_SONY, QByteArray(), kExchanges), kExchanges);

    // Ten seconds of polling as the program does it: the worker asks, a 100 ms timer reads.
    for (int vtrType : {VTR_SONY, VTR_VICTOR}) {
        Simulator vtr({QStringLiteral("--protocol"),
                       vtrType == VTR_SONY ? QStringLiteral("sony") : QStringLiteral("victor")});
        VtrLink link;
        link.VtrOpen(vtr.Path().constData(), vtrType);
        int ticks = 0;
        int readings = 0;
        QTimer timer;
        QObject::connect(&timer, &QTimer::timeout, [&] {
            readings += link.VtrReadTimecode() ? 1 : 0;
            ++ticks;
        });
        QElapsedTimer wall;
        const double cpuBefore = CpuSeconds();
        wall.start();
        timer.start(100);
        QTimer::singleShot(10000, Qt::PreciseTimer, &app, &QCoreApplication::quit);
        app.exec();
        const double cpu = CpuSeconds() - cpuBefore;
        const double seconds = wall.nsecsElapsed() / 1e9;
        link.VtrClose();
        std::printf("%-34s %d ticks, %d readings in %.1f s: CPU %.1f ms (%.2f %%)\n",
                    vtrType == VTR_SONY ? "Polling Sony, 10 s" : "Polling Victor, 10 s", ticks,
                    readings, seconds, cpu * 1000, 100 * cpu / seconds);
    }
    return 0;
}
