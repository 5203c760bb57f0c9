// Whole-program figures: start-up, memory, polling cost, key-to-cell latency (with a talking
// deck, a silent one and no port), the window's longest stall, list file load and save (the
// recovery copy has recovery_bench). Prints a table; asserts nothing. Run it with a display, or
// with QT_QPA_PLATFORM=offscreen.
#include "app/tarnwick_dlg.h"
#include "list_rows.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "serve.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>
#include <random>
#include <thread>
#include <vector>

namespace {
QElapsedTimer g_sinceStart;

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_utime.tv_sec + usage.ru_stime.tv_sec +
           (usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

long ResidentKiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmRSS:")) {
            return line.mid(6).trimmed().split(' ').first().toLong();
        }
    }
    return -1;
}

void Row(const char* what, const QString& figure) {
    std::printf("| %-46s | %-22s |\n", what, qPrintable(figure));
}

// The VTR on COM1 for one of the measurements below: a talking simulator, a silent one, or
// no port at all.
enum class Deck { Talking, Silent, None };

// A window of its own, in a folder of its own, shown and ready for keys, with COM1 on the
// deck.
struct BenchWindow {
    QTemporaryDir work;
    std::unique_ptr<vtrsim::PtyResponder> vtr;
    std::unique_ptr<CTarnwickDlg> dlg;

    explicit BenchWindow(Deck deck) {
        QDir::setCurrent(work.path());
        vtrsim::ResponderConfig config;
        config.fault = deck == Deck::Silent ? vtrsim::Fault::Silent : vtrsim::Fault::None;
        vtr = std::make_unique<vtrsim::PtyResponder>(config);
        const QByteArray device = deck == Deck::None ? QByteArray("/nonexistent/tarnwick-tty")
                                                     : QByteArray::fromStdString(vtr->SlavePath());
        QFile ini(work.filePath(QStringLiteral("default.ini")));
        ini.open(QIODevice::WriteOnly);
        ini.write("[Ports]\nCOM1=" + device + "\n");
        ini.close();
        dlg = std::make_unique<CTarnwickDlg>();
        dlg->show();
        QCoreApplication::sendPostedEvents(dlg.get(), WM_DEFERRED_INIT);
        dlg->activateWindow();
        if (!QTest::qWaitForWindowActive(dlg.get()))
            std::fprintf(stderr, "a window never became active: its keys go nowhere\n");
        dlg->Grid().setFocus();
        // A second of polling first: readings to count on, or a deck found silent.
        QTest::qWait(1500);
    }
    ~BenchWindow() {
        dlg->hide();
        dlg.reset();
    }
};

struct Spread {
    double medianMs = 0;
    double worstMs = 0;
    int count = 0;
};

Spread SpreadOf(std::vector<double> ms) {
    Spread spread;
    if (ms.empty())
        return spread;
    std::sort(ms.begin(), ms.end());
    spread.medianMs = ms[ms.size() / 2];
    spread.worstMs = ms.back();
    spread.count = int(ms.size());
    return spread;
}

// I pressed from outside at moments of its own, while the window polls the deck: a thread
// posts each key, as the platform's connection would deliver it, 40 to 160 ms after the one
// before was handled; each is timed from its posting to its IN cell written.
Spread KeyToCell(Deck deck, int presses) {
    BenchWindow window(deck);
    CTarnwickDlg& dlg = *window.dlg;
    std::atomic<int64_t> postedNs{0};
    std::atomic<int> handled{0};
    std::vector<double> latencies;
    QObject::connect(&dlg.GetSession().List(), &SpotList::Changed, &dlg, [&] {
        latencies.push_back(double(SteadyNowNs() - postedNs.load()) / 1e6);
        ++handled;
    });
    QEventLoop loop;
    std::thread keys([&] {
        std::mt19937 random(7);
        std::uniform_int_distribution<int> gapMs(40, 160);
        for (int i = 0; i < presses; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(gapMs(random)));
            postedNs = SteadyNowNs();
            QCoreApplication::postEvent(
                &dlg.Grid(),
                new QKeyEvent(QEvent::KeyPress, Qt::Key_I, Qt::NoModifier, QStringLiteral("i")));
            while (handled.load() <= i)
                std::this_thread::sleep_for(std::chrono::microseconds(100));
        }
        QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
    });
    loop.exec();
    keys.join();
    return SpreadOf(latencies);
}

// The longest the window's thread went without serving its events over ten seconds of
// polling: a 1 ms timer's longest gap, less the millisecond.
double LongestStallMs(Deck deck) {
    BenchWindow window(deck);
    QTimer beat;
    beat.setTimerType(Qt::PreciseTimer);
    int64_t last = SteadyNowNs();
    int64_t worst = 0;
    QObject::connect(&beat, &QTimer::timeout, [&] {
        const int64_t now = SteadyNowNs();
        worst = std::max(worst, now - last);
        last = now;
    });
    beat.start(1);
    // A loop of its own: QTest::qWait sleeps between its rounds, which would be counted here.
    QEventLoop loop;
    QTimer::singleShot(10000, Qt::PreciseTimer, &loop, &QEventLoop::quit);
    loop.exec();
    return std::max<double>(0, double(worst) / 1e6 - 1);
}

QString SpreadText(const Spread& spread) {
    return QStringLiteral("%1 / %2 ms (%3)")
        .arg(spread.medianMs, 0, 'f', 2)
        .arg(spread.worstMs, 0, 'f', 1)
        .arg(spread.count);
}
} // namespace

int main(int argc, char* argv[]) {
    g_sinceStart.start();
    QApplication app(argc, argv);
    QTemporaryDir work;
    QDir::setCurrent(work.path());

    // The simulator behind COM1, its tape running, from an hour none of the list's timecodes
    // below is near, so that a capture is never found in the recovery copy before it is there.
    const QString link = work.filePath(QStringLiteral("vtr"));
    QProcess sim;
    sim.start(
        QStringLiteral(TARNWICK_VTRSIM),
        {QStringLiteral("--link"), link, QStringLiteral("--start"), QStringLiteral("02:00:00:00")});
    for (int i = 0; i < 50 && !QFile::exists(link); ++i) {
        QThread::msleep(100);
    }
    QFile ini(work.filePath(QStringLiteral("default.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[Ports]\nCOM1=" + link.toLocal8Bit() + "\n");
    ini.close();

    auto* dlg = new CTarnwickDlg;
    dlg->show();
    QCoreApplication::sendPostedEvents(dlg, WM_DEFERRED_INIT);
    if (!QTest::qWaitForWindowExposed(dlg)) {
        std::fprintf(stderr, "the window was never shown\n");
    }
    const double startMs = g_sinceStart.nsecsElapsed() / 1e6;
    const long rssKiB = ResidentKiB();

    // Polling a talking VTR for ten seconds.
    const double cpu0 = CpuSeconds();
    QTest::qWait(10000);
    const double pollCpuMs = (CpuSeconds() - cpu0) * 1000;
    QLabel* display = qobject_cast<QLabel*>(dlg->GetDlgItem(IDC_TC_DISPLAY));
    const QString shown = display ? display->text() : QString();

    // I key to IN cell, through the real key path: the deck's readings counted on to the
    // press.
    dlg->GetSession().Poll().KillTimer(dlg->GetSession().Poll().Timer());
    dlg->Grid().setFocus();
    const int presses = 200;
    QElapsedTimer keyTimer;
    qint64 keyNs = 0;
    int written = 0;
    for (int i = 0; i < presses; ++i) {
        dlg->Grid().SetRow(1);
        dlg->Grid().SetCol(COL_IN);
        dlg->Grid().SetTextMatrix(1, COL_IN, QString());
        keyTimer.start();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dlg, Qt::Key_I);
        keyNs += keyTimer.nsecsElapsed();
        written += dlg->Grid().GetTextMatrix(1, COL_IN).isEmpty() ? 0 : 1;
    }

    // Load and save of a full list of 40 rows.
    dlg->Grid().SetRows(MAX_LIST_ROWS + 1);
    for (int r = 1; r <= MAX_LIST_ROWS; ++r) {
        dlg->Grid().SetTextMatrix(r, COL_SPNO, QString::asprintf("%04d", r));
        dlg->Grid().SetTextMatrix(r, COL_IN, QStringLiteral("01:00:10:05"));
        dlg->Grid().SetTextMatrix(r, COL_OUT, QStringLiteral("01:00:20:00"));
        dlg->Grid().SetTextMatrix(r, COL_DURATION, QStringLiteral("00:00:09:25"));
        dlg->Grid().SetTextMatrix(r, COL_REMARK, QStringLiteral(" ＣＭ　スポット %1").arg(r));
    }
    const QString listPath = work.filePath(QStringLiteral("list.txt"));
    SetFileDialogHook([&](const FileDialogRequest&) { return listPath; });
    SetMessageBoxHook([](const MessageBoxRequest&) { return BoxAnswer::Ok; });
    const int rounds = 100;
    QElapsedTimer fileTimer;
    fileTimer.start();
    for (int i = 0; i < rounds; ++i) {
        dlg->GetSession().ListFile().SaveList(dlg->GetSession().List(), 1);
    }
    const double saveMs = fileTimer.nsecsElapsed() / 1e6 / rounds;
    fileTimer.start();
    for (int i = 0; i < rounds; ++i) {
        dlg->GetSession().ListFile().LoadList(dlg->GetSession().List(), 1);
    }
    const double loadMs = fileTimer.nsecsElapsed() / 1e6 / rounds;

    // Keys against the deck, each in a window of its own.
    const Spread keyTalking = KeyToCell(Deck::Talking, 150);
    const Spread keySilent = KeyToCell(Deck::Silent, 150);
    const Spread keyNoPort = KeyToCell(Deck::None, 150);
    const double stallSilentMs = LongestStallMs(Deck::Silent);
    const double stallTalkingMs = LongestStallMs(Deck::Talking);
    QDir::setCurrent(work.path());

    std::printf("| %-46s | %-22s |\n", "Measurement", "Figure");
    std::printf("|%s|%s|\n", QByteArray(48, '-').constData(), QByteArray(24, '-').constData());
    Row("start to shown window (in process)", QStringLiteral("%1 ms").arg(startMs, 0, 'f', 1));
    Row("resident memory after start-up", QStringLiteral("%1 MiB").arg(rssKiB / 1024.0, 0, 'f', 1));
    Row("CPU over 10 s polling a talking simulator",
        QStringLiteral("%1 ms (%2 %)").arg(pollCpuMs, 0, 'f', 0).arg(pollCpuMs / 100, 0, 'f', 2));
    Row("timecode shown at the end of polling", shown);
    Row("I key press to IN cell written (mean)", QStringLiteral("%1 us (%2/%3 written)")
                                                     .arg(keyNs / 1e3 / presses, 0, 'f', 1)
                                                     .arg(written)
                                                     .arg(presses));
    Row("save of a 40-row list (mean)", QStringLiteral("%1 ms").arg(saveMs, 0, 'f', 3));
    Row("load of a 40-row list (mean)", QStringLiteral("%1 ms").arg(loadMs, 0, 'f', 3));
    Row("I key to cell, talking deck (median / worst)", SpreadText(keyTalking));
    Row("I key to cell, silent deck (median / worst)", SpreadText(keySilent));
    Row("I key to cell, no port (median / worst)", SpreadText(keyNoPort));
    Row("longest stall of the window, 10 s, silent deck",
        QStringLiteral("%1 ms").arg(stallSilentMs, 0, 'f', 1));
    Row("longest stall of the window, 10 s, talking deck",
        QStringLiteral("%1 ms").arg(stallTalkingMs, 0, 'f', 1));

    SetFileDialogHook(nullptr);
    SetMessageBoxHook(nullptr);
    delete dlg;
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
