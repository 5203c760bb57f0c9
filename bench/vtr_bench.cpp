// Tarnwick's VTR exchanges against the simulator over a pseudo-terminal: round-trip times,
// the cost of a tick when the VTR stays silent, and the CPU that polling takes.

#include "vtr/vtr_link.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
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

Figures TimeReads(int vtrType, const QByteArray& port, int count) {
    Figures figures;
    VtrLink link;
    // An empty name is the no-port case, timed like the others.
    if (link.VtrOpen(port.constData(), vtrType) != 1 && !port.isEmpty())
        return figures;
    std::vector<double> times;
    for (int i = 0; i < count; ++i) {
        QElapsedTimer timer;
        timer.start();
        figures.readings += link.VtrReadTimecode() ? 1 : 0;
        times.push_back(timer.nsecsElapsed() / 1e6);
    }
    link.VtrClose();
    double sum = 0;
    for (double t : times)
        sum += t;
    figures.meanMs = sum / times.size();
    figures.minMs = *std::min_element(times.begin(), times.end());
    figures.maxMs = *std::max_element(times.begin(), times.end());
    return figures;
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
        Print("Sony round trip", TimeReads(VTR_SONY, sony.Path(), kExchanges), kExchanges);
    }
    {
        Simulator victor({QStringLiteral("--protocol"), QStringLiteral("victor")});
        Print("Victor round trip", TimeReads(VTR_VICTOR, victor.Path(), kExchanges), kExchanges);
    }
    {
        Simulator sony({QStringLiteral("--fault"), QStringLiteral("silent")});
        Print("Sony tick, silent VTR", TimeReads(VTR_SONY, sony.Path(), kSilentTicks),
              kSilentTicks);
    }
    {
        Simulator victor({QStringLiteral("--protocol"), QStringLiteral("victor"),
                          QStringLiteral("--fault"), QStringLiteral("silent")});
        Print("Victor tick, silent VTR", TimeReads(VTR_VICTOR, victor.Path(), kSilentTicks),
              kSilentTicks);
    }
    Print("Tick, no port open", TimeReads(VTR_SONY, QByteArray(), kExchanges), kExchanges);

    // Ten seconds of polling as the dialog does it: a 100 ms timer, one exchange a tick.
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
