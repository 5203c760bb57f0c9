// Termination signals against a real process: this test started again as a child that keeps
// its "window" answering, or holds its thread for good, as a read that never returns would.
#include "platform/termination_signals.h"

#include <QCoreApplication>
#include <QProcess>
#include <QtTest>

#include <csignal>
#include <cstdio>
#include <unistd.h>

namespace {

// The child's grace: short, so that the test does not wait long for a frozen window.
constexpr int GRACE_MS = 300;

// The child: says it is ready, then either answers requests (ending as the window does) or
// holds its thread.
int Child(bool frozen) {
    int argc = 1;
    char name[] = "child";
    char* argv[] = {name, nullptr};
    QCoreApplication app(argc, argv);
    TerminationSignals ending(
        [] {
            std::puts("asked");
            QCoreApplication::quit();
        },
        GRACE_MS);
    std::puts("ready");
    std::fflush(stdout);
    if (frozen) {
        for (;;)
            ::pause(); // each signal's handler runs and the thread is held again
    }
    return app.exec();
}

} // namespace

class TestTerminationSignals : public QObject {
    Q_OBJECT
private slots:
    void requestsEndTheProgram_data();
    void requestsEndTheProgram();
};

void TestTerminationSignals::requestsEndTheProgram_data() {
    QTest::addColumn<bool>("frozen");         // else it ends by itself when asked
    QTest::addColumn<QList<int>>("signals_"); // sent one after the other
    QTest::addColumn<QString>("said");
    const QString late = QStringLiteral(
        "tarnwick: the window did not end in time; ended now, the list kept in its recovery copy");
    const QString again = QStringLiteral(
        "tarnwick: asked again to end; ended now, the list kept in its recovery copy");
    for (const int signal : {SIGTERM, SIGHUP, SIGINT}) {
        const char* name = strsignal(signal);
        QTest::addRow("%s, the window answering: it ends by itself", name)
            << false << QList<int>{signal} << QString();
        QTest::addRow("%s, the window held: ended after the grace", name)
            << true << QList<int>{signal} << late;
    }
    // Two of one signal may arrive as one: a second request is another signal.
    QTest::newRow("a second request to a held window: ended at once")
        << true << QList<int>{SIGTERM, SIGHUP} << again;
}

void TestTerminationSignals::requestsEndTheProgram() {
    QFETCH(bool, frozen);
    QFETCH(QList<int>, signals_);
    QFETCH(QString, said);
    QProcess child;
    child.start(QCoreApplication::applicationFilePath(),
                {frozen ? QStringLiteral("--held-window") : QStringLiteral("--window")});
    QVERIFY(child.waitForReadyRead(10000));
    QCOMPARE(child.readLine().trimmed(), QByteArray("ready"));
    for (const int signal : signals_)
        QCOMPARE(::kill(pid_t(child.processId()), signal), 0);
    QVERIFY(child.waitForFinished(10000));
    QCOMPARE(child.exitStatus() == QProcess::CrashExit, frozen);
    // Ended from outside, by one of the signals sent (QProcess gives its number).
    if (frozen)
        QVERIFY2(signals_.contains(child.exitCode()),
                 qPrintable(QString::number(child.exitCode())));
    QCOMPARE(QString::fromUtf8(child.readAllStandardError()).trimmed(), said);
}

int main(int argc, char* argv[]) {
    if (argc == 2 && (QByteArray(argv[1]) == "--window" || QByteArray(argv[1]) == "--held-window"))
        return Child(QByteArray(argv[1]) == "--held-window");
    QCoreApplication app(argc, argv);
    TestTerminationSignals test;
    return QTest::qExec(&test, argc, argv);
}

#include "test_termination_signals.moc"
