// The main window's side of the VTR link: the port and VTR menus, the frame-check menu and
// label, the polled timecode display, and captures on the frame of the key press, with a
// responder behind a pseudo-terminal.

#include "app/status_notes.h"
#include "app/tarnwick_dlg.h"
#include "list_rows.h"
#include "platform/modal.h"
#include "serve.h"
#include "sources/ltc_source.h"
#include "sources/mtc_source.h"
#include "sources/sony9pin_transport.h"
#include "sources/victor.h"
#include "sources/vtr_link.h"
#include "timecode/timecode_value.h"
#include "timecode_signal.h"
#include "transport_keys.h"
#include "work_folder.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <sys/stat.h>
#include <termios.h>

// The communication menu's deck items, as the sources table numbers them.
const int ID_VTR_VICTOR = SourceRowOf(VTR_VICTOR).commandId;
const int ID_VTR_SONY = SourceRowOf(VTR_SONY).commandId;

namespace {

vtrsim::ResponderConfig Tape(vtrsim::Protocol protocol, const char* label, bool running) {
    vtrsim::ResponderConfig config;
    config.protocol = protocol;
    config.tape.running = running;
    config.tape.drop = true;
    int h = 0, m = 0, s = 0, f = 0;
    std::sscanf(label, "%d:%d:%d:%d", &h, &m, &s, &f);
    config.tape.startFrames =
        static_cast<int>(LabelToFrames64({h, m, s, f}, TimecodeRate::Thirty(true)));
    return config;
}

std::unique_ptr<vtrsim::PtyResponder> StillVtr(vtrsim::Protocol protocol, const char* label) {
    return std::make_unique<vtrsim::PtyResponder>(Tape(protocol, label, false));
}

// The frame a cell holds, at 30 drop-frame; -1 for anything else.
int CellFrame(const QString& cell) {
    return Timecode::FromText(cell.toStdString(), TimecodeRate::Thirty(true)).Frame();
}

// The frame under the simulator's head at a moment on the steady clock.
int FrameAt(const vtrsim::ResponderConfig& config, const vtrsim::PtyResponder& vtr, int64_t ns) {
    int h = 0, m = 0, s = 0, f = 0;
    config.tape.LabelAtNs(ns - vtr.TapeOriginNs(), &h, &m, &s, &f);
    return Timecode::FromLabel({h, m, s, f}, TimecodeRate::Thirty(config.tape.drop)).Frame();
}

// Waits for a condition without serving events (so that none of the window's handlers runs
// meanwhile), two seconds at most.
template <typename Condition> bool SpinUntil(Condition done) {
    const int64_t until = SteadyNowNs() + 2'000'000'000;
    while (!done()) {
        if (SteadyNowNs() > until)
            return false;
    }
    return true;
}

// Shows the window as the operator gets it: started, active, the grid focused.
bool ShowReady(CTarnwickDlg& dlg) {
    dlg.show();
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
    dlg.activateWindow();
    if (!QTest::qWaitForWindowActive(&dlg))
        return false;
    dlg.Grid().setFocus();
    return QApplication::focusWidget() == &dlg.Grid();
}

// Spins without serving events until the deck has been sent one more request than this link
// has finished exchanges: a request is on the line. False after the deadline.
bool RequestUnderWay(const vtrsim::PtyResponder& vtr, const VtrLink& link, int deadlineMs) {
    const int64_t until = SteadyNowNs() + int64_t(deadlineMs) * 1'000'000;
    const int before = vtr.Requests();
    while (SteadyNowNs() < until) {
        if (vtr.Requests() > before && vtr.Requests() > link.VtrPolls())
            return true;
    }
    return false;
}

QString TcDisplayText(const CTarnwickDlg& dlg) {
    return qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_TC_DISPLAY))->text();
}

QString FrameCheckLabel(const CTarnwickDlg& dlg) {
    return qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_FRAMECHECK_LABEL))->text();
}

// The ids of the checked items among those given, in their order.
QList<int> Checked(const CTarnwickDlg& dlg, std::initializer_list<int> ids) {
    QList<int> checked;
    for (int id : ids)
        if (dlg.MenuItem(id) && dlg.MenuItem(id)->isChecked())
            checked.append(id);
    return checked;
}

QList<int> CheckedFrameCheck(const CTarnwickDlg& dlg) {
    return Checked(dlg, {ID_FRAMECHECK_3_NONDROP, ID_FRAMECHECK_4_NONDROP, ID_FRAMECHECK_3_DROP,
                         ID_FRAMECHECK_4_DROP});
}

QList<int> CheckedCom(const CTarnwickDlg& dlg) {
    return Checked(dlg, {ID_COM1, ID_COM2, ID_COM3, ID_COM4, ID_COM5});
}

QList<int> CheckedVtr(const CTarnwickDlg& dlg) {
    return Checked(dlg, {ID_VTR_VICTOR, ID_VTR_SONY});
}

int LineSpeed(const vtrsim::PtyResponder& vtr) {
    termios tio = {};
    tcgetattr(vtr.MasterFd(), &tio);
    return int(cfgetospeed(&tio));
}

} // namespace

class TestVtrPolling : public QObject {
    Q_OBJECT

private slots:
    void frameCheckMenu_data();
    void frameCheckMenu();
    void settingsOutOfRange_data();
    void settingsOutOfRange();
    void pollShowsTimecode_data();
    void pollShowsTimecode();
    void failedPollShowsDashes_data();
    void failedPollShowsDashes();
    void comMenuOpensMappedPort();
    void choosingMarkedPortAgainReopensIt();
    void vtrMenuSwitchesProtocol();
    void captureTakesTheFrameOfTheKeyPress_data();
    void captureTakesTheFrameOfTheKeyPress();
    void pressTakesTheFrameOfItsMoment_data();
    void pressTakesTheFrameOfItsMoment();
    void silentDeckDoesNotDelayAKey();
    void modalBoxStopsTheDeck();
    void portMapSurvivesExit();
    void sourceOfAnotherRateSaysSo_data();
    void sourceOfAnotherRateSaysSo();
    void theListDrivesTheDeck_data();
    void theListDrivesTheDeck();
};

void TestVtrPolling::frameCheckMenu_data() {
    QTest::addColumn<int>("command");
    QTest::addColumn<QString>("label");
    QTest::addColumn<int>("frameCheck");
    QTest::addColumn<int>("drop");

    QTest::newRow("3 non-drop") << ID_FRAMECHECK_3_NONDROP << "ﾌﾚｰﾑﾁｪｯｸ=3(NonDrop)" << 3 << 0;
    QTest::newRow("4 non-drop") << ID_FRAMECHECK_4_NONDROP << "ﾌﾚｰﾑﾁｪｯｸ=4(NonDrop)" << 4 << 0;
    QTest::newRow("3 drop") << ID_FRAMECHECK_3_DROP << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)" << 3 << 1;
    QTest::newRow("4 drop") << ID_FRAMECHECK_4_DROP << "ﾌﾚｰﾑﾁｪｯｸ=4(Drop)" << 4 << 1;
}

void TestVtrPolling::frameCheckMenu() {
    QFETCH(int, command);
    QFETCH(QString, label);
    QFETCH(int, frameCheck);
    QFETCH(int, drop);

    // Start from another choice, so that every row moves the mark.
    WorkFolder folder("FrameCheck=4\nDrop=0\n", {});
    CTarnwickDlg dlg;
    LayCell(dlg.GetSession().List(), 1, COL_DURATION, QStringLiteral("00:00:01:00"));
    dlg.MenuItem(command)->trigger();

    QCOMPARE(dlg.GetSession().Settings().FrameCheck, frameCheck);
    QCOMPARE(dlg.GetSession().Settings().Drop, drop);
    QCOMPARE(FrameCheckLabel(dlg), label);
    QCOMPARE(CheckedFrameCheck(dlg), QList<int>{command});
    // Nothing already in the list is recomputed.
    QCOMPARE(dlg.Grid().GetTextMatrix(1, COL_DURATION), QStringLiteral("00:00:01:00"));
}

void TestVtrPolling::settingsOutOfRange_data() {
    QTest::addColumn<QByteArray>("defaults");
    QTest::addColumn<QString>("label");
    QTest::addColumn<QList<int>>("frameCheckMarks");
    QTest::addColumn<QList<int>>("comMarks");
    QTest::addColumn<QList<int>>("vtrMarks");

    const QList<int> none;
    QTest::newRow("no keys give 3 drop, COM1, Sony")
        << QByteArray() << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)" << QList<int>{ID_FRAMECHECK_3_DROP}
        << QList<int>{ID_COM1} << QList<int>{ID_VTR_SONY};
    QTest::newRow("com 7 marks no port")
        << QByteArray("com=7\n") << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)" << QList<int>{ID_FRAMECHECK_3_DROP} << none
        << QList<int>{ID_VTR_SONY};
    QTest::newRow("negative com marks no port")
        << QByteArray("com=-2\n") << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)" << QList<int>{ID_FRAMECHECK_3_DROP} << none
        << QList<int>{ID_VTR_SONY};
    QTest::newRow("FrameCheck 5 drop marks no frame check")
        << QByteArray("FrameCheck=5\nDrop=1\n") << "ﾌﾚｰﾑﾁｪｯｸ=5(Drop)" << none << QList<int>{ID_COM1}
        << QList<int>{ID_VTR_SONY};
    QTest::newRow("FrameCheck 5 non-drop marks no frame check")
        << QByteArray("FrameCheck=5\nDrop=0\n") << "ﾌﾚｰﾑﾁｪｯｸ=5(NonDrop)" << none
        << QList<int>{ID_COM1} << QList<int>{ID_VTR_SONY};
    QTest::newRow("Drop 2 reads as drop")
        << QByteArray("FrameCheck=4\nDrop=2\n") << "ﾌﾚｰﾑﾁｪｯｸ=4(Drop)"
        << QList<int>{ID_FRAMECHECK_4_DROP} << QList<int>{ID_COM1} << QList<int>{ID_VTR_SONY};
    // LTC and MTC name their own devices: no port and no deck is ticked.
    QTest::newRow("VtrType 2 (LTC) marks no VTR and no port")
        << QByteArray("VtrType=2\n[LTC]\nDevice=file:/nonexistent/tarnwick-ltc\n")
        << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)" << QList<int>{ID_FRAMECHECK_3_DROP} << none << none;
    QTest::newRow("VtrType 3 (MTC) marks no VTR and no port")
        << QByteArray("VtrType=3\n[MTC]\nDevice=/nonexistent/tarnwick-mtc\n") << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)"
        << QList<int>{ID_FRAMECHECK_3_DROP} << none << none;
}

void TestVtrPolling::settingsOutOfRange() {
    QFETCH(QByteArray, defaults);
    QFETCH(QString, label);
    QFETCH(QList<int>, frameCheckMarks);
    QFETCH(QList<int>, comMarks);
    QFETCH(QList<int>, vtrMarks);

    WorkFolder folder(defaults, {{1, "/nonexistent/tarnwick-tty"}});
    CTarnwickDlg dlg;
    QCOMPARE(FrameCheckLabel(dlg), label);
    QCOMPARE(CheckedFrameCheck(dlg), frameCheckMarks);
    QCOMPARE(CheckedCom(dlg), comMarks);
    QCOMPARE(CheckedVtr(dlg), vtrMarks);
}

void TestVtrPolling::pollShowsTimecode_data() {
    QTest::addColumn<int>("vtrType");
    QTest::addColumn<int>("com");
    QTest::newRow("Sony on COM1") << VTR_SONY << 1;
    QTest::newRow("Victor on COM2") << VTR_VICTOR << 2;
    QTest::newRow("Sony on COM7 from an edited file") << VTR_SONY << 7;
    QTest::newRow("VtrType 5 polls as Sony") << 5 << 1; // 4 is a video file
}

void TestVtrPolling::pollShowsTimecode() {
    QFETCH(int, vtrType);
    QFETCH(int, com);

    auto vtr = StillVtr(vtrType == VTR_VICTOR ? vtrsim::Protocol::Victor : vtrsim::Protocol::Sony,
                        "01:12:34:25");
    WorkFolder folder("com=" + QByteArray::number(com) +
                          "\nVtrType=" + QByteArray::number(vtrType) + "\n",
                      {{com, QByteArray::fromStdString(vtr->SlavePath())}});
    CTarnwickDlg dlg;
    QVERIFY(!dlg.GetSession().Source().Reading());
    // The worker has asked the deck; the tick shows what it read.
    QTRY_VERIFY(dlg.GetSession().Link().VtrPolls() >= 1);
    dlg.GetSession().Source().OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("01:12:34:25"));
    QCOMPARE(dlg.GetSession().Source().Reading().Text(), std::string("01:12:34:25"));
}

void TestVtrPolling::failedPollShowsDashes_data() {
    QTest::addColumn<QString>("kind");
    QTest::newRow("no port") << "absent";
    QTest::newRow("silent VTR") << "silent";
    QTest::newRow("wrong protocol") << "victor";
}

void TestVtrPolling::failedPollShowsDashes() {
    QFETCH(QString, kind);

    vtrsim::ResponderConfig config;
    config.fault = kind == QLatin1String("silent") ? vtrsim::Fault::Silent : vtrsim::Fault::None;
    config.protocol =
        kind == QLatin1String("victor") ? vtrsim::Protocol::Victor : vtrsim::Protocol::Sony;
    vtrsim::PtyResponder vtr(config);
    const QByteArray device = kind == QLatin1String("absent")
                                  ? QByteArray("/nonexistent/tarnwick-tty")
                                  : QByteArray::fromStdString(vtr.SlavePath());
    WorkFolder folder("VtrType=0\n", {{1, device}});
    CTarnwickDlg dlg;
    if (kind != QLatin1String("absent"))
        QTRY_VERIFY(dlg.GetSession().Link().VtrPolls() >= 1);
    // A good reading first, so that the failure has something to overwrite.
    dlg.GetSession().Source().TakeReading(
        Timecode::FromText("01:12:34:25", TimecodeRate::Thirty(true)));
    dlg.GetSession().Source().OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("--:--:--:--"));
    QVERIFY(!dlg.GetSession().Source().Reading());
}

void TestVtrPolling::comMenuOpensMappedPort() {
    auto vtr = StillVtr(vtrsim::Protocol::Sony, "00:10:00:00");
    WorkFolder folder("com=1\n", {{1, "/nonexistent/tarnwick-tty"},
                                  {3, QByteArray::fromStdString(vtr->SlavePath())}});
    CTarnwickDlg dlg;
    QVERIFY(!dlg.GetSession().Link().VtrIsOpen());

    dlg.MenuItem(ID_COM3)->trigger();
    QCOMPARE(dlg.GetSession().Settings().com, 3);
    QCOMPARE(CheckedCom(dlg), QList<int>{ID_COM3});
    QVERIFY(dlg.GetSession().Link().VtrIsOpen());
    // The polling runs again after the port was chosen.
    QTRY_COMPARE(TcDisplayText(dlg), QStringLiteral("00:10:00:00"));
}

void TestVtrPolling::choosingMarkedPortAgainReopensIt() {
    auto vtr = StillVtr(vtrsim::Protocol::Sony, "00:00:10:00");
    WorkFolder folder("com=2\n", {{2, QByteArray::fromStdString(vtr->SlavePath())}});
    CTarnwickDlg dlg;
    QTRY_VERIFY(dlg.GetSession().Link().VtrPolls() >= 2);
    dlg.GetSession().Source().OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("00:00:10:00"));

    dlg.MenuItem(ID_COM2)->trigger();
    // Opened afresh: what was read from the port before is gone, the worker starts its count
    // again, and the item stays marked.
    QVERIFY(!dlg.GetSession().Link().VtrReadTimecode());
    QVERIFY(dlg.GetSession().Link().VtrPolls() < 2);
    QCOMPARE(CheckedCom(dlg), QList<int>{ID_COM2});
    QTRY_COMPARE(TcDisplayText(dlg), QStringLiteral("00:00:10:00"));
}

void TestVtrPolling::vtrMenuSwitchesProtocol() {
    auto vtr = StillVtr(vtrsim::Protocol::Victor, "12:00:00:00");
    WorkFolder folder("VtrType=0\n", {{1, QByteArray::fromStdString(vtr->SlavePath())}});
    CTarnwickDlg dlg;
    QCOMPARE(LineSpeed(*vtr), int(B38400));
    QTRY_VERIFY(dlg.GetSession().Link().VtrPolls() >= 1);
    dlg.GetSession().Source().OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("--:--:--:--"));

    dlg.MenuItem(ID_VTR_VICTOR)->trigger();
    QCOMPARE(dlg.GetSession().Settings().VtrType, VTR_VICTOR);
    QCOMPARE(CheckedVtr(dlg), QList<int>{ID_VTR_VICTOR});
    QCOMPARE(LineSpeed(*vtr), int(B9600));
    QTRY_VERIFY(dlg.GetSession().Link().VtrPolls() >= 1);
    dlg.GetSession().Source().OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("12:00:00:00"));

    dlg.MenuItem(ID_VTR_SONY)->trigger();
    QCOMPARE(CheckedVtr(dlg), QList<int>{ID_VTR_SONY});
    QCOMPARE(LineSpeed(*vtr), int(B38400));

    // Every source of the table is chosen from the communication menu; one that names its own
    // device (LTC, MTC) unticks the ports, and the timecode line says which it is.
    for (const SourceRow& row : SourceRows()) {
        QAction* item = dlg.MenuItem(row.commandId);
        QVERIFY(item);
        QCOMPARE(qobject_cast<QMenu*>(item->parent())->title(), QStringLiteral("通信(F3)"));
        if (row.make == nullptr)
            continue; // a video file, chosen in a dialog: see test_video_file
        item->trigger();
        QCOMPARE(dlg.GetSession().Settings().VtrType, row.vtrType);
        QCOMPARE(dlg.GetSession().Link().VtrType(), row.vtrType);
        QVERIFY(item->isChecked());
        QCOMPARE(CheckedCom(dlg).isEmpty(), row.section != nullptr);
        dlg.GetSession().Source().OnTimer();
        QCOMPARE(qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_VITC_LABEL))->text(),
                 QString::fromUtf8(row.caption));
    }
}

void TestVtrPolling::captureTakesTheFrameOfTheKeyPress_data() {
    QTest::addColumn<int>("vtrType");
    QTest::addColumn<bool>("sending");
    QTest::newRow("LTC") << VTR_LTC << true;
    QTest::newRow("MTC") << VTR_MTC << true;
    QTest::newRow("LTC input silent") << VTR_LTC << false;
    QTest::newRow("Sony deck playing") << VTR_SONY << true;
    QTest::newRow("Victor deck playing") << VTR_VICTOR << true;
    QTest::newRow("Sony deck silent") << VTR_SONY << false;
}

// A capture holds the frame under the head at the press, not the last tick's reading: from
// a signal that brings its time, and from a deck whose readings are counted on.
void TestVtrPolling::captureTakesTheFrameOfTheKeyPress() {
    QFETCH(int, vtrType);
    QFETCH(bool, sending);

    const bool deck = vtrType == VTR_SONY || vtrType == VTR_VICTOR;
    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath(QStringLiteral("signal")).toLocal8Bit();
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    vtrsim::SignalConfig config;
    config.kind = vtrType == VTR_LTC ? vtrsim::SignalKind::Ltc : vtrsim::SignalKind::Mtc;
    config.tape.startFrames = Timecode::FromText("01:00:00:00", TimecodeRate::Thirty(true)).Frame();
    std::unique_ptr<vtrsim::SignalSender> sender;
    if (sending && !deck)
        sender = std::make_unique<vtrsim::SignalSender>(fifo.toStdString(), config);
    vtrsim::ResponderConfig tape =
        Tape(vtrType == VTR_VICTOR ? vtrsim::Protocol::Victor : vtrsim::Protocol::Sony,
             "01:00:00:00", true);
    tape.fault = sending ? vtrsim::Fault::None : vtrsim::Fault::Silent;
    vtrsim::PtyResponder vtr(tape);
    WorkFolder folder("VtrType=" + QByteArray::number(vtrType) + "\n[LTC]\nDevice=file:" + fifo +
                          "\n[MTC]\nDevice=" + fifo + "\n",
                      {{1, QByteArray::fromStdString(vtr.SlavePath())}});
    CTarnwickDlg dlg;
    if (sending)
        QTRY_VERIFY_WITH_TIMEOUT(TcDisplayText(dlg) != QLatin1String("--:--:--:--"), 5000);
    // A deck playing: readings enough to show it plays. A silent one: found silent.
    if (deck)
        QTRY_VERIFY(dlg.GetSession().Link().VtrPolls() >= (sending ? 3 : 1));
    // From here on no tick runs: a capture that took the tick's reading would show it.
    dlg.GetSession().Poll().KillTimer(dlg.GetSession().Poll().Timer());
    dlg.GetSession().Source().TakeReading(
        Timecode::FromText("01:12:34:25", TimecodeRate::Thirty(true)));

    const auto sentAt = [&](int64_t ns) {
        if (deck)
            return FrameAt(tape, vtr, ns);
        return config.tape.startFrames + int(std::floor((ns - sender->StartNs()) * 30.0 / 1001e6));
    };
    for (int press = 0; press < 6; ++press) {
        const int row = press / 2 + 1;
        const int col = press % 2 == 0 ? COL_IN : COL_OUT;
        const int64_t before = SteadyNowNs();
        dlg.Dispatch(col == COL_IN ? IDC_IN : IDC_OUT, Notify::Clicked);
        const int64_t after = SteadyNowNs();
        const QString cell = dlg.Grid().GetTextMatrix(row, col);
        if (!sending) {
            QCOMPARE(cell, QStringLiteral("00:00:00:00"));
            continue;
        }
        const int got = CellFrame(cell);
        QVERIFY2(got >= sentAt(before) - 1 && got <= sentAt(after) + 1, qPrintable(cell));
        QTRY_VERIFY(sentAt(SteadyNowNs()) > sentAt(after) + 5); // the next press frames later
    }
    if (deck)
        return;

    // Choosing a deck from the menu leaves the timecode input: the deck on COM1 is asked now,
    // and until it answers a capture has nothing to go on but the last tick's reading.
    WorkFolder nowhere("VtrType=" + QByteArray::number(vtrType) + "\n");
    dlg.MenuItem(ID_VTR_SONY)->trigger();
    QCOMPARE(dlg.GetSession().Settings().VtrType, VTR_SONY);
    QCOMPARE(CheckedVtr(dlg), QList<int>{ID_VTR_SONY});
    QVERIFY(!dlg.GetSession().Link().VtrTimecodeAt(SteadyNowNs()).has_value());
}

void TestVtrPolling::pressTakesTheFrameOfItsMoment_data() {
    QTest::addColumn<int>("key"); // 0: the IN button, held down for a while
    QTest::addColumn<int>("col");
    QTest::addColumn<int>("stampedMsBefore"); // -1: the event carries no stamp

    QTest::newRow("I stamped 400 ms before it is handled") << int(Qt::Key_I) << COL_IN << 400;
    QTest::newRow("O stamped 250 ms before it is handled") << int(Qt::Key_O) << COL_OUT << 250;
    QTest::newRow("I without a stamp: when it is handled") << int(Qt::Key_I) << COL_IN << -1;
    QTest::newRow("IN button: when it went down") << 0 << COL_IN << -1;
}

// A key that went down while the window was busy takes the frame of the moment it went down,
// as the platform stamped it, not of the moment the window got to it; a button held down, the
// frame of the moment it went down, not of its release.
void TestVtrPolling::pressTakesTheFrameOfItsMoment() {
    QFETCH(int, key);
    QFETCH(int, col);
    QFETCH(int, stampedMsBefore);

    const vtrsim::ResponderConfig tape = Tape(vtrsim::Protocol::Sony, "01:00:00:00", true);
    vtrsim::PtyResponder vtr(tape);
    WorkFolder folder("VtrType=0\n", {{1, QByteArray::fromStdString(vtr.SlavePath())}});
    CTarnwickDlg dlg;
    QVERIFY(ShowReady(dlg));
    QTRY_VERIFY_WITH_TIMEOUT(dlg.GetSession().Link().VtrPolls() >= 8, 5000);

    // The stamp is the platform's: our own steady clock in milliseconds, as an X server here
    // stamps.
    const int64_t pressNs = SteadyNowNs() - std::max(stampedMsBefore, 0) * int64_t(1'000'000);
    int64_t latestNs = pressNs + 1'000'000; // the stamp's millisecond
    if (key == 0) {
        auto* in = qobject_cast<QPushButton*>(dlg.GetDlgItem(IDC_IN));
        QTest::mousePress(in, Qt::LeftButton);
        latestNs = SteadyNowNs();
        QTRY_VERIFY(FrameAt(tape, vtr, SteadyNowNs()) > FrameAt(tape, vtr, latestNs) + 8);
        QVERIFY(dlg.Grid().GetTextMatrix(1, col).isEmpty());
        QTest::mouseRelease(in, Qt::LeftButton);
    } else {
        QKeyEvent event(QEvent::KeyPress, key, Qt::NoModifier, QString(QChar(key).toLower()));
        event.setTimestamp(stampedMsBefore < 0 ? 0 : quint64(pressNs / 1'000'000));
        QApplication::sendEvent(&dlg.Grid(), &event);
        latestNs = std::min(latestNs, SteadyNowNs());
    }

    const int got = CellFrame(dlg.Grid().GetTextMatrix(1, col));
    QVERIFY2(got >= FrameAt(tape, vtr, pressNs) - 1 && got <= FrameAt(tape, vtr, latestNs) + 1,
             qPrintable(dlg.Grid().GetTextMatrix(1, col)));
}

void TestVtrPolling::silentDeckDoesNotDelayAKey() {
    // While the worker waits out a silent deck's time-out, a key is handled to the end: its
    // cell is written before that exchange is over. A press whose handling happened to be
    // held up (a busy machine) is tried again; a window that waited on the line never makes it.
    vtrsim::ResponderConfig config;
    config.fault = vtrsim::Fault::Silent;
    vtrsim::PtyResponder vtr(config);
    WorkFolder folder("VtrType=0\n", {{1, QByteArray::fromStdString(vtr.SlavePath())}});
    CTarnwickDlg dlg;
    QVERIFY(ShowReady(dlg));
    const VtrLink& link = dlg.GetSession().Link();
    QTRY_VERIFY(link.VtrPolls() >= 1); // found silent

    bool handledWhileAsking = false;
    for (int attempt = 0; attempt < 5 && !handledWhileAsking; ++attempt) {
        QVERIFY(RequestUnderWay(vtr, link, 2000));
        const int polls = link.VtrPolls();
        dlg.Grid().SetRow(1);
        dlg.Grid().SetCol(COL_IN);
        dlg.Grid().SetTextMatrix(1, COL_IN, QString());
        QTest::keyClick(&dlg.Grid(), Qt::Key_I);
        handledWhileAsking = link.VtrPolls() == polls;
        QCOMPARE(dlg.Grid().GetTextMatrix(1, COL_IN), QStringLiteral("00:00:00:00"));
    }
    QVERIFY(handledWhileAsking);
}

void TestVtrPolling::modalBoxStopsTheDeck() {
    // No request reaches the VTR while a box is up; asking goes on once it is gone.
    vtrsim::PtyResponder vtr(Tape(vtrsim::Protocol::Sony, "01:00:00:00", false));
    vtrsim::PtyResponder other(Tape(vtrsim::Protocol::Victor, "02:00:00:00", false));
    VtrLink clock;
    QCOMPARE(clock.VtrOpen(other.SlavePath().c_str(), VTR_VICTOR), 1);
    WorkFolder folder("VtrType=0\n", {{1, QByteArray::fromStdString(vtr.SlavePath())}});
    CTarnwickDlg dlg;
    const VtrLink& link = dlg.GetSession().Link();
    QTRY_VERIFY(link.VtrPolls() >= 2);

    int askedDuringBox = -1;
    SetModalHook([&](QDialog&) {
        // An exchange under way as the box came ends as it would; then four tenths of a
        // second go by, as the other deck is asked four times.
        if (!SpinUntil([&] { return vtr.Requests() == link.VtrPolls(); }))
            return 0;
        const int asked = vtr.Requests();
        const int ticks = clock.VtrPolls();
        if (SpinUntil([&] { return clock.VtrPolls() >= ticks + 4; }))
            askedDuringBox = vtr.Requests() - asked;
        return 0;
    });
    dlg.Dispatch(ID_HELP_ABOUT, Notify::Command);
    SetModalHook(nullptr);
    QCOMPARE(askedDuringBox, 0);
    const int after = vtr.Requests();
    QTRY_VERIFY(vtr.Requests() > after);
}

void TestVtrPolling::portMapSurvivesExit() {
    WorkFolder folder("com=3\n", {{3, "/dev/ttyUSB7"}});
    {
        CTarnwickDlg dlg;
        dlg.Dispatch(ID_FILE_EXIT, Notify::Command);
    }
    const QByteArray text = folder.Text();
    QVERIFY2(text.contains("[Ports]"), text.constData());
    QVERIFY2(text.contains("COM3=/dev/ttyUSB7"), text.constData());
}

// An LTC source at 25 under a list at 30 gives dashes, and a note says why; at the list's rate
// of 25 the time shows and the note goes.
// A source heard at another rate than the list's says so beside the frame check, whether it
// sends its own time (LTC) or is asked for it (a deck, by its labels and its pace); at the
// list's rate again the timecode comes back.
void TestVtrPolling::sourceOfAnotherRateSaysSo_data() {
    QTest::addColumn<int>("vtrType");
    QTest::addColumn<int>("fps"); // the source's; the list counts 30
    QTest::addColumn<QString>("note");
    QTest::newRow("LTC at 25") << VTR_LTC << 25 << "LTC 25（リストは30フレーム）";
    QTest::newRow("a deck at 25") << VTR_SONY << 25 << "VITC 25（リストは30フレーム）";
}

void TestVtrPolling::sourceOfAnotherRateSaysSo() {
    QFETCH(int, vtrType);
    QFETCH(int, fps);
    QFETCH(QString, note);
    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath(QStringLiteral("signal")).toLocal8Bit();
    std::unique_ptr<vtrsim::SignalSender> sender;
    std::unique_ptr<vtrsim::PtyResponder> deck;
    QByteArray defaults = "FrameRate=30\nVtrType=" + QByteArray::number(vtrType) + "\n";
    if (vtrType == VTR_LTC) {
        QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
        vtrsim::SignalConfig config;
        config.tape.fps = fps;
        config.tape.drop = false;
        sender = std::make_unique<vtrsim::SignalSender>(fifo.toStdString(), config);
        defaults += "[LTC]\nDevice=file:" + fifo + "\n";
    } else {
        vtrsim::ResponderConfig config = Tape(vtrsim::Protocol::Sony, "01:00:00:00", true);
        config.tape.fps = fps;
        config.tape.drop = false;
        config.tape.startFrames = 90000 + 20; // 01:00:00:20, at 25
        deck = std::make_unique<vtrsim::PtyResponder>(config);
    }
    WorkFolder folder(defaults,
                      deck ? WorkFolder::PortMap{{1, QByteArray::fromStdString(deck->SlavePath())}}
                           : WorkFolder::NowherePorts());
    CTarnwickDlg dlg;
    const auto shown = [&dlg] { return dlg.findChild<QLabel*>(QLatin1String(RATE_NOTE_NAME)); };
    QTRY_VERIFY_WITH_TIMEOUT(shown() && shown()->isVisibleTo(&dlg), 8000);
    QCOMPARE(shown()->text(), note);
    if (vtrType == VTR_LTC) {
        // Labels heard at another rate are no reading at all.
        QCOMPARE(qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_VITC_LABEL))->text(),
                 QStringLiteral("LTC"));
        QCOMPARE(TcDisplayText(dlg), QStringLiteral("--:--:--:--"));
    }
    dlg.MenuItem(ID_FRAMERATE_25)->trigger();
    QTRY_VERIFY_WITH_TIMEOUT(TcDisplayText(dlg) != QLatin1String("--:--:--:--"), 5000);
    QTRY_VERIFY_WITH_TIMEOUT(!shown()->isVisibleTo(&dlg), 5000);
}

// The transport keys on the list go to a Sony deck as its commands, one at a time, and its
// mode comes back on the timecode line; a deck that refuses, is silent or in local says so.
void TestVtrPolling::theListDrivesTheDeck_data() {
    QTest::addColumn<QString>("keys");
    QTest::addColumn<QList<int>>("words"); // the transport commands sent, in order
    QTest::addColumn<QString>("mode");
    QTest::addColumn<int>("fault"); // vtrsim::Fault, or -1 for a deck in local

    const int none = int(vtrsim::Fault::None);
    // clang-format off
    QTest::newRow("L plays") << "L" << QList<int>{SONY_PLAY} << "PLAY" << none;
    QTest::newRow("L again shuttles") << "L L" << QList<int>{SONY_PLAY, SONY_SHUTTLE_FORWARD} << "SHUTTLE +2×" << none;
    QTest::newRow("J plays backwards") << "J" << QList<int>{SONY_SHUTTLE_REVERSE} << "SHUTTLE −1×" << none;
    QTest::newRow("K held with L steps") << "K+L" << QList<int>{SONY_SHUTTLE_FORWARD, SONY_STEP_FORWARD} << "STILL" << none;
    QTest::newRow("G cues to the row's IN") << "G" << QList<int>{SONY_CUE_UP_WITH_DATA} << "CUE OK" << none;
    QTest::newRow("Shift+G cues before it and plays") << "Shift+G" << QList<int>{SONY_CUE_UP_WITH_DATA, SONY_PLAY} << "PLAY" << none;
    QTest::newRow("a refusal is named") << "L" << QList<int>{SONY_PLAY} << "NAK 未定義コマンド" << int(vtrsim::Fault::Nak);
    QTest::newRow("silence is named") << "L" << QList<int>{SONY_PLAY} << "応答なし" << int(vtrsim::Fault::Silent);
    QTest::newRow("a deck in local") << "L" << QList<int>{SONY_PLAY} << "LOCAL" << -1;
    // clang-format on
}

void TestVtrPolling::theListDrivesTheDeck() {
    QFETCH(QString, keys);
    QFETCH(QList<int>, words);
    QFETCH(QString, mode);
    QFETCH(int, fault);

    vtrsim::ResponderConfig config = Tape(vtrsim::Protocol::Sony, "01:00:00:00", false);
    config.fault = fault < 0 ? vtrsim::Fault::None : vtrsim::Fault(fault);
    config.local = fault < 0;
    vtrsim::PtyResponder vtr(config);
    WorkFolder folder("VtrType=0\nPreroll=2\n", {{1, QByteArray::fromStdString(vtr.SlavePath())}});
    CTarnwickDlg dlg;
    QVERIFY(ShowReady(dlg));
    LayRow(dlg.GetSession().List(), 1, "0001", "01:00:10:00", "01:00:12:00", " ", true);
    dlg.GetSession().List().SetCurrentCell(1, COL_IN);
    TypeTransportKeys(&dlg.Grid(), keys);

    const auto sent = [&vtr] {
        QList<int> transport;
        for (int word : vtr.ReceivedWords())
            if (word != SONY_STATUS_SENSE && (word >> 8) != 0x61)
                transport.append(word);
        return transport;
    };
    QTRY_COMPARE_WITH_TIMEOUT(sent(), words, 5000);
    QTRY_VERIFY2_WITH_TIMEOUT(TransportNoteText(dlg).startsWith(mode),
                              qPrintable(TransportNoteText(dlg)), 5000);
    if (mode == QLatin1String("CUE OK")) {
        QCOMPARE(vtr.FrameAt(SteadyNowNs()), int64_t(CellFrame(QStringLiteral("01:00:10:00"))));
    }
    // Never anything but the time request, status sense and transport, whatever was pressed.
    for (int word : vtr.ReceivedWords())
        QVERIFY2((word >> 8) == 0x61 || (word >> 8) == 0x20 || (word >> 8) == 0x21 ||
                     word == SONY_CUE_UP_WITH_DATA,
                 qPrintable(QString::number(word, 16)));
    QVERIFY(!vtr.ReceivedWords().empty());
    QVERIFY(!sent().contains(0x2002)); // record
}

QTEST_MAIN(TestVtrPolling)
#include "test_vtr_polling.moc"
