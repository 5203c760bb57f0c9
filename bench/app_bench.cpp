// Whole-program figures: start-up, memory, polling cost, key-to-cell latency, list file
// load and save (the recovery copy has recovery_bench). Prints a table; asserts nothing. Run it
// with a display, or with QT_QPA_PLATFORM=offscreen.
#include "dialog_probe.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QThread>

#include <sys/resource.h>

#include <cstdio>

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
} // namespace

int main(int argc, char* argv[]) {
    g_sinceStart.start();
    QApplication app(argc, argv);
    QTemporaryDir work;
    QDir::setCurrent(work.path());

    // The simulator behind COM1, its tape running.
    const QString link = work.filePath(QStringLiteral("vtr"));
    QProcess sim;
    sim.start(QStringLiteral(TARNWICK_VTRSIM), {QStringLiteral("--link"), link});
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

    // I key to IN cell, through the real key path.
    Probe(*dlg).KillTimer(Probe(*dlg).m_nPollTimer);
    Probe(*dlg).m_grid.setFocus();
    const int presses = 200;
    QElapsedTimer keyTimer;
    qint64 keyNs = 0;
    int written = 0;
    for (int i = 0; i < presses; ++i) {
        Probe(*dlg).m_grid.SetRow(1);
        Probe(*dlg).m_grid.SetCol(COL_IN);
        Probe(*dlg).m_grid.SetTextMatrix(1, COL_IN, QString());
        Probe(*dlg).m_timecode =
            Timecode::FromLabel({1, 0, i % 3000 / 100, i % 100 % 30}, TimecodeRate::Thirty(true));
        keyTimer.start();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dlg, Qt::Key_I);
        keyNs += keyTimer.nsecsElapsed();
        written += Probe(*dlg).m_grid.GetTextMatrix(1, COL_IN).isEmpty() ? 0 : 1;
    }

    // Load and save of a full list of 40 rows.
    Probe(*dlg).m_grid.SetRows(MAX_LIST_ROWS + 1);
    for (int r = 1; r <= MAX_LIST_ROWS; ++r) {
        Probe(*dlg).m_grid.SetTextMatrix(r, COL_SPNO, QString::asprintf("%04d", r));
        Probe(*dlg).m_grid.SetTextMatrix(r, COL_IN, QStringLiteral("01:00:10:05"));
        Probe(*dlg).m_grid.SetTextMatrix(r, COL_OUT, QStringLiteral("01:00:20:00"));
        Probe(*dlg).m_grid.SetTextMatrix(r, COL_DURATION, QStringLiteral("00:00:09:25"));
        Probe(*dlg).m_grid.SetTextMatrix(r, COL_REMARK,
                                         QStringLiteral(" ＣＭ　スポット %1").arg(r));
    }
    const QString listPath = work.filePath(QStringLiteral("list.txt"));
    SetFileDialogHook([&](const FileDialogRequest&) { return listPath; });
    SetMessageBoxHook([](const MessageBoxRequest&) { return BoxAnswer::Ok; });
    const int rounds = 100;
    QElapsedTimer fileTimer;
    fileTimer.start();
    for (int i = 0; i < rounds; ++i) {
        Probe(*dlg).m_listFile.SaveList(Probe(*dlg).m_list, 1);
    }
    const double saveMs = fileTimer.nsecsElapsed() / 1e6 / rounds;
    fileTimer.start();
    for (int i = 0; i < rounds; ++i) {
        Probe(*dlg).m_listFile.LoadList(Probe(*dlg).m_list, 1);
    }
    const double loadMs = fileTimer.nsecsElapsed() / 1e6 / rounds;

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

    SetFileDialogHook(nullptr);
    SetMessageBoxHook(nullptr);
    delete dlg;
    sim.terminate();
    sim.waitForFinished(3000);
    return 0;
}
