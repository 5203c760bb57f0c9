// The recovery copy against the window: what a change costs the window's thread, how long
// from a key press until the copy holding it is on the disk, and the longest the window's
// event loop was held meanwhile. Prints a table; asserts nothing. Run it with a display, or
// with QT_QPA_PLATFORM=offscreen; the copy goes to the folder named by TMPDIR (or /tmp), so
// point TMPDIR at the disk to be measured.
#include "app/tarnwick_dlg.h"
#include "list_rows.h"
#include "platform/message_box.h"
#include "platform/replace_file.h"
#include "recovery/recovery_file.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>

#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

struct Figures {
    std::vector<double> ms;
    void Add(double v) { ms.push_back(v); }
    double Mean() const {
        double sum = 0;
        for (double v : ms)
            sum += v;
        return ms.empty() ? 0 : sum / double(ms.size());
    }
    double Median() {
        if (ms.empty())
            return 0;
        std::sort(ms.begin(), ms.end());
        return ms[ms.size() / 2];
    }
    double Max() const { return ms.empty() ? 0 : *std::max_element(ms.begin(), ms.end()); }
    QString Text(double scale = 1, const char* unit = "ms") {
        return QStringLiteral("%1 / %2 / %3 %4 (n=%5)")
            .arg(Mean() * scale, 0, 'f', 3)
            .arg(Median() * scale, 0, 'f', 3)
            .arg(Max() * scale, 0, 'f', 3)
            .arg(QLatin1String(unit))
            .arg(ms.size());
    }
};

void Row(const char* what, const QString& figure) {
    std::printf("| %-58s | %-36s |\n", what, qPrintable(figure));
}

double Ms(const QElapsedTimer& t) {
    return double(t.nsecsElapsed()) / 1e6;
}

// A full list of 40 rows, as a long session leaves it.
void FillList(CTarnwickDlg& dlg) {
    QVector<ListRowText> rows(MAX_LIST_ROWS);
    for (int r = 1; r <= MAX_LIST_ROWS; ++r) {
        rows[r - 1] = ListRowText{RowLabel(r),
                                  RowLabel(r),
                                  QStringLiteral("01:00:10:05"),
                                  QStringLiteral("01:00:20:00"),
                                  QStringLiteral("00:00:09:25"),
                                  QStringLiteral(" ＣＭ　スポット %1 本編差し替え候補").arg(r)};
    }
    dlg.GetSession().List().LoadRows(MAX_LIST_ROWS, rows);
    dlg.GetSession().List().MarkModified();
}

} // namespace

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QTemporaryDir work;
    QDir::setCurrent(work.path());
    QFile ini(work.filePath(QStringLiteral("default.ini")));
    ini.open(QIODevice::WriteOnly);
    ini.write("[Ports]\nCOM1=/nonexistent/tarnwick-bench-tty\n");
    ini.close();
    SetMessageBoxHook([](const MessageBoxRequest&) { return BoxAnswer::No; });

    auto* dlg = new CTarnwickDlg;
    dlg->show();
    QCoreApplication::sendPostedEvents(dlg, WM_DEFERRED_INIT);
    if (!QTest::qWaitForWindowExposed(dlg))
        std::fprintf(stderr, "the window was never shown\n");
    dlg->GetSession().Poll().KillTimer(dlg->GetSession().Poll().Timer());
    FillList(*dlg);
    dlg->GetSession().Recovery().WriteNow();
    dlg->GetSession().Recovery().Drain();
    const QString copyPath = work.filePath(QString::fromLatin1(RECOVERY_FILE_NAME));

    // The window's share of a change: the key's handling (capture, scheduling) and, when the
    // delay is up, the list taken and handed to the writer, each timed on the window thread.
    // Then from the key press until the copy on the disk holds the capture, through the
    // event loop as the program runs, with the longest single turn of the loop meanwhile.
    Figures keyMs;
    Figures handOverMs;
    Figures toDiskMs;
    Figures longestTurnMs;
    const int changes = 60;
    for (int i = 0; i < changes; ++i) {
        dlg->Grid().SetRow(1 + i % MAX_LIST_ROWS);
        dlg->Grid().SetCol(COL_IN);
        dlg->Grid().setFocus();
        dlg->GetSession().Source().TakeReading(
            Timecode::FromLabel({2, i / 60 % 60, i % 60, i % 30}, TimecodeRate::Thirty(true)));
        const QByteArray captured =
            QByteArray::fromStdString(dlg->GetSession().Source().Reading().Text());
        QElapsedTimer sincePress;
        sincePress.start();
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : dlg, Qt::Key_I);
        keyMs.Add(Ms(sincePress));
        double longest = 0;
        bool seen = false;
        while (!seen && sincePress.elapsed() < 5000) {
            QElapsedTimer turn;
            turn.start();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
            longest = std::max(longest, Ms(turn));
            QFile copy(copyPath);
            seen = copy.open(QIODevice::ReadOnly) && copy.readAll().contains(captured);
        }
        if (seen) {
            toDiskMs.Add(Ms(sincePress));
            longestTurnMs.Add(longest);
        }
    }
    // The same changes in a window that keeps no copy (another program in the folder holds
    // it): what a turn of the loop takes without the copy, painting included.
    Figures bareTurnMs;
    {
        CTarnwickDlg bare;
        bare.show();
        QCoreApplication::sendPostedEvents(&bare, WM_DEFERRED_INIT);
        bare.GetSession().Poll().KillTimer(bare.GetSession().Poll().Timer());
        FillList(bare);
        for (int i = 0; i < changes; ++i) {
            bare.Grid().SetRow(1 + i % MAX_LIST_ROWS);
            bare.Grid().SetCol(COL_IN);
            bare.Grid().setFocus();
            bare.GetSession().Source().TakeReading(
                Timecode::FromLabel({2, i / 60 % 60, i % 60, i % 30}, TimecodeRate::Thirty(true)));
            QElapsedTimer sincePress;
            sincePress.start();
            QTest::keyClick(&bare.Grid(), Qt::Key_I);
            double longest = 0;
            while (sincePress.elapsed() < qint64(toDiskMs.Mean())) {
                QElapsedTimer turn;
                turn.start();
                QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
                longest = std::max(longest, Ms(turn));
            }
            bareTurnMs.Add(longest);
        }
        bare.hide();
    }

    for (int i = 0; i < 200; ++i) {
        dlg->Grid().SetTextMatrix(1, COL_REMARK, QStringLiteral(" hand over %1").arg(i));
        QElapsedTimer t;
        t.start();
        dlg->GetSession().Recovery().WriteNow();
        handOverMs.Add(Ms(t));
        dlg->GetSession().Recovery().Drain(); // each hand-over finds the writer idle, as in use
    }

    // One copy of the 40 rows built, written and synced with its folder: the work the writer
    // thread does, which the window's thread did itself before.
    Figures writeMs;
    RecoveryState state{dlg->GetSession().List().Rows(), QString(), true};
    const QString side = work.filePath(QStringLiteral("bench-copy"));
    for (int i = 0; i < 100; ++i) {
        state.rows[0].remark = QStringLiteral(" write %1").arg(i);
        QElapsedTimer t;
        t.start();
        ReplaceFileContent(side, BuildRecoveryFile(state), LinkPolicy::DoNotFollow);
        writeMs.Add(Ms(t));
    }

    // An end request with the list unsaved: the last state is on the disk before it returns.
    dlg->Grid().SetTextMatrix(2, COL_REMARK, QStringLiteral(" at the end"));
    QElapsedTimer endTimer;
    endTimer.start();
    dlg->PostEndRequest();
    QCoreApplication::sendPostedEvents(dlg, WM_END_REQUEST);
    const double endMs = Ms(endTimer);
    QFile last(copyPath);
    const bool lastKept = last.open(QIODevice::ReadOnly) && last.readAll().contains("at the end");

    std::printf("Folder: %s\nFigures are mean / median / max.\n\n", qPrintable(work.path()));
    std::printf("| %-58s | %-36s |\n", "Measurement", "Figure");
    std::printf("|%s|%s|\n", QByteArray(60, '-').constData(), QByteArray(38, '-').constData());
    Row("I key handled, capture and scheduling (window thread)", keyMs.Text());
    Row("list taken and handed to the writer (window thread)", handOverMs.Text());
    Row("window's share of a change, the two together (mean)",
        QStringLiteral("%1 ms").arg(keyMs.Mean() + handOverMs.Mean(), 0, 'f', 3));
    Row("key press to copy on disk holding the capture", toDiskMs.Text());
    Row("longest turn of the event loop meanwhile", longestTurnMs.Text());
    Row("... the same in a window keeping no copy", bareTurnMs.Text());
    Row("one copy built, written, synced (writer thread)", writeMs.Text());
    Row("end request to last state on disk",
        QStringLiteral("%1 ms (%2)").arg(endMs, 0, 'f', 3).arg(lastKept ? "kept" : "LOST"));

    SetMessageBoxHook(nullptr);
    delete dlg;
    return 0;
}
