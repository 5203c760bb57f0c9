// The main window's side of the VTR link: the port and VTR menus, the frame-check menu and
// label, and the polled timecode display, with a responder behind a pseudo-terminal.

#include "dialog_probe.h"
#include "serve.h"
#include "timecode/timecode.h"
#include "timecode_signal.h"
#include "vtr/vtr_link.h"
#include "work_folder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>

#include <cmath>
#include <memory>
#include <sys/stat.h>
#include <termios.h>

namespace {

std::unique_ptr<vtrsim::PtyResponder> StillVtr(vtrsim::Protocol protocol, const char* label) {
    vtrsim::ResponderConfig config;
    config.protocol = protocol;
    config.tape.running = false;
    config.tape.drop = true;
    int h = 0, m = 0, s = 0, f = 0;
    std::sscanf(label, "%d:%d:%d:%d", &h, &m, &s, &f);
    TimecodeToFrames(&config.tape.startFrames, h, m, s, f, 1);
    return std::make_unique<vtrsim::PtyResponder>(config);
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
    void portMapSurvivesExit();
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
    Probe(dlg).LayCell(1, COL_DURATION, QStringLiteral("00:00:01:00"));
    dlg.MenuItem(command)->trigger();

    QCOMPARE(Probe(dlg).m_settings.FrameCheck, frameCheck);
    QCOMPARE(Probe(dlg).m_settings.Drop, drop);
    QCOMPARE(FrameCheckLabel(dlg), label);
    QCOMPARE(CheckedFrameCheck(dlg), QList<int>{command});
    // Nothing already in the list is recomputed.
    QCOMPARE(Probe(dlg).m_grid.GetTextMatrix(1, COL_DURATION), QStringLiteral("00:00:01:00"));
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
    QTest::newRow("VtrType 2 (LTC) marks no VTR")
        << QByteArray("VtrType=2\n[LTC]\nDevice=file:/nonexistent/tarnwick-ltc\n")
        << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)" << QList<int>{ID_FRAMECHECK_3_DROP} << QList<int>{ID_COM1} << none;
    QTest::newRow("VtrType 3 (MTC) marks no VTR")
        << QByteArray("VtrType=3\n[MTC]\nDevice=/nonexistent/tarnwick-mtc\n") << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)"
        << QList<int>{ID_FRAMECHECK_3_DROP} << QList<int>{ID_COM1} << none;
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
    QTest::newRow("VtrType 4 polls as Sony") << 4 << 1;
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
    QVERIFY(!Probe(dlg).m_timecode);
    Probe(dlg).OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("01:12:34:25"));
    QCOMPARE(Probe(dlg).m_timecode.Text(), std::string("01:12:34:25"));
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
    // A good reading first, so that the failure has something to overwrite.
    Probe(dlg).m_timecode = Timecode::FromText("01:12:34:25", TimecodeRate::Thirty(true));
    Probe(dlg).OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("--:--:--:--"));
    QVERIFY(!Probe(dlg).m_timecode);
}

void TestVtrPolling::comMenuOpensMappedPort() {
    auto vtr = StillVtr(vtrsim::Protocol::Sony, "00:10:00:00");
    WorkFolder folder("com=1\n", {{1, "/nonexistent/tarnwick-tty"},
                                  {3, QByteArray::fromStdString(vtr->SlavePath())}});
    CTarnwickDlg dlg;
    QVERIFY(Probe(dlg).m_vtrLink.Port() == nullptr);

    dlg.MenuItem(ID_COM3)->trigger();
    QCOMPARE(Probe(dlg).m_settings.com, 3);
    QCOMPARE(CheckedCom(dlg), QList<int>{ID_COM3});
    QVERIFY(Probe(dlg).m_vtrLink.Port() != nullptr);
    // The polling runs again after the port was chosen.
    QTRY_COMPARE(TcDisplayText(dlg), QStringLiteral("00:10:00:00"));
}

void TestVtrPolling::choosingMarkedPortAgainReopensIt() {
    auto vtr = StillVtr(vtrsim::Protocol::Sony, "00:00:10:00");
    WorkFolder folder("com=2\n", {{2, QByteArray::fromStdString(vtr->SlavePath())}});
    CTarnwickDlg dlg;
    Probe(dlg).OnTimer();
    QCOMPARE(int(Probe(dlg).m_vtrLink.Line().recvBuf[0]), 0x74);

    dlg.MenuItem(ID_COM2)->trigger();
    // Opened afresh: the buffers are clear, and the item stays marked.
    QCOMPARE(int(Probe(dlg).m_vtrLink.Line().recvBuf[0]), 0);
    QCOMPARE(CheckedCom(dlg), QList<int>{ID_COM2});
    Probe(dlg).OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("00:00:10:00"));
}

void TestVtrPolling::vtrMenuSwitchesProtocol() {
    auto vtr = StillVtr(vtrsim::Protocol::Victor, "12:00:00:00");
    WorkFolder folder("VtrType=0\n", {{1, QByteArray::fromStdString(vtr->SlavePath())}});
    CTarnwickDlg dlg;
    QCOMPARE(LineSpeed(*vtr), int(B38400));
    Probe(dlg).OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("--:--:--:--"));

    dlg.MenuItem(ID_VTR_VICTOR)->trigger();
    QCOMPARE(Probe(dlg).m_settings.VtrType, VTR_VICTOR);
    QCOMPARE(CheckedVtr(dlg), QList<int>{ID_VTR_VICTOR});
    QCOMPARE(LineSpeed(*vtr), int(B9600));
    Probe(dlg).OnTimer();
    QCOMPARE(TcDisplayText(dlg), QStringLiteral("12:00:00:00"));

    dlg.MenuItem(ID_VTR_SONY)->trigger();
    QCOMPARE(CheckedVtr(dlg), QList<int>{ID_VTR_SONY});
    QCOMPARE(LineSpeed(*vtr), int(B38400));
}

void TestVtrPolling::captureTakesTheFrameOfTheKeyPress_data() {
    QTest::addColumn<int>("vtrType");
    QTest::addColumn<bool>("sending");
    QTest::newRow("LTC") << VTR_LTC << true;
    QTest::newRow("MTC") << VTR_MTC << true;
    QTest::newRow("LTC input silent") << VTR_LTC << false;
}

void TestVtrPolling::captureTakesTheFrameOfTheKeyPress() {
    QFETCH(int, vtrType);
    QFETCH(bool, sending);

    QTemporaryDir dir;
    const QByteArray fifo = dir.filePath(QStringLiteral("signal")).toLocal8Bit();
    QCOMPARE(::mkfifo(fifo.constData(), 0600), 0);
    vtrsim::SignalConfig config;
    config.kind = vtrType == VTR_LTC ? vtrsim::SignalKind::Ltc : vtrsim::SignalKind::Mtc;
    TimecodeToFrames(&config.tape.startFrames, 1, 0, 0, 0, 1);
    std::unique_ptr<vtrsim::SignalSender> sender;
    if (sending)
        sender = std::make_unique<vtrsim::SignalSender>(fifo.toStdString(), config);
    WorkFolder folder("VtrType=" + QByteArray::number(vtrType) + "\n[LTC]\nDevice=file:" + fifo +
                      "\n[MTC]\nDevice=" + fifo + "\n");
    CTarnwickDlg dlg;
    if (sending)
        QTRY_VERIFY_WITH_TIMEOUT(TcDisplayText(dlg) != QLatin1String("--:--:--:--"), 5000);
    // From here on no tick runs: a capture that took the tick's reading would show it.
    Probe(dlg).KillTimer(Probe(dlg).m_nPollTimer);
    Probe(dlg).m_timecode = Timecode::FromText("01:12:34:25", TimecodeRate::Thirty(true));

    const auto sentAt = [&](int64_t ns) {
        return config.tape.startFrames + int(std::floor((ns - sender->StartNs()) * 30.0 / 1001e6));
    };
    for (int press = 0; press < 6; ++press) {
        const int row = press / 2 + 1;
        const int col = press % 2 == 0 ? COL_IN : COL_OUT;
        const int64_t before = SteadyNowNs();
        dlg.Dispatch(col == COL_IN ? IDC_IN : IDC_OUT, Notify::Clicked);
        const int64_t after = SteadyNowNs();
        const QString cell = Probe(dlg).m_grid.GetTextMatrix(row, col);
        if (!sending) {
            QCOMPARE(cell, QStringLiteral("00:00:00:00"));
            continue;
        }
        int h = 0, m = 0, s = 0, f = 0, got = 0;
        QCOMPARE(std::sscanf(cell.toLatin1().constData(), "%d:%d:%d:%d", &h, &m, &s, &f), 4);
        TimecodeToFrames(&got, h, m, s, f, 1);
        QVERIFY2(got >= sentAt(before) - 1 && got <= sentAt(after) + 1, qPrintable(cell));
        QTRY_VERIFY(sentAt(SteadyNowNs()) > sentAt(after) + 5); // the next press frames later
    }

    // Choosing a deck from the menu leaves the timecode input.
    dlg.MenuItem(ID_VTR_SONY)->trigger();
    QCOMPARE(Probe(dlg).m_settings.VtrType, VTR_SONY);
    QCOMPARE(CheckedVtr(dlg), QList<int>{ID_VTR_SONY});
    QVERIFY(!Probe(dlg).m_vtrLink.VtrHoldsLatestTimecode());
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

QTEST_MAIN(TestVtrPolling)
#include "test_vtr_polling.moc"
