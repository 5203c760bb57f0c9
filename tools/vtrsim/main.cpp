// tarnwick-vtrsim: stands in for a VTR on a serial line, so that Tarnwick can be run, shown
// and tested without one.

#include "responder.h"
#include "serve.h"
#include "timecode_signal.h"

#include "timecode/timecode.h"

#include <QCommandLineParser>
#include <QCoreApplication>

#include <cerrno>
#include <chrono>
#include <climits>
#include <csignal>
#include <cstdio>
#include <sys/stat.h>
#include <unistd.h>

namespace {

volatile std::sig_atomic_t g_signalled = 0;
// The operator's hands on the deck: SIGUSR1 turns the remote switch, SIGUSR2 puts a cassette
// in after an eject.
volatile std::sig_atomic_t g_turnRemote = 0;
volatile std::sig_atomic_t g_insertTape = 0;

void OnSignal(int) {
    g_signalled = 1;
}

void OnUser(int sig) {
    if (sig == SIGUSR1)
        g_turnRemote = 1;
    else
        g_insertTape = 1;
}

void InstallSignalHandlers() {
    struct sigaction action = {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    for (int sig : {SIGINT, SIGTERM, SIGHUP})
        sigaction(sig, &action, nullptr);
    action.sa_handler = OnUser;
    for (int sig : {SIGUSR1, SIGUSR2})
        sigaction(sig, &action, nullptr);
    std::signal(SIGPIPE, SIG_IGN);
}

int Usage(const QString& message) {
    std::fprintf(stderr, "tarnwick-vtrsim: %s\n", qPrintable(message));
    return 2;
}

bool ParseHex(const QString& text, std::vector<uint8_t>* bytes) {
    QString digits;
    for (QChar c : text) {
        if (c.isSpace() || c == u',' || c == u':' || c == u'-')
            continue;
        digits.append(c);
    }
    if (digits.isEmpty() || digits.size() % 2 != 0)
        return false;
    for (qsizetype i = 0; i < digits.size(); i += 2) {
        bool ok = false;
        const uint value = digits.mid(i, 2).toUInt(&ok, 16);
        if (!ok)
            return false;
        bytes->push_back(uint8_t(value));
    }
    return true;
}

bool ParseFault(const QString& name, vtrsim::Fault* fault) {
    static const struct {
        const char* name;
        vtrsim::Fault fault;
    } kFaults[] = {
        {"none", vtrsim::Fault::None},       {"silent", vtrsim::Fault::Silent},
        {"nak", vtrsim::Fault::Nak},         {"checksum", vtrsim::Fault::BadChecksum},
        {"short", vtrsim::Fault::Short},     {"long", vtrsim::Fault::Long},
        {"garbage", vtrsim::Fault::Garbage},
    };
    for (const auto& f : kFaults) {
        if (name == QLatin1String(f.name)) {
            *fault = f.fault;
            return true;
        }
    }
    return false;
}

// The link is ours to replace and remove only while it is a symbolic link; a file of the
// user's at that path is never touched.
bool MakeLink(const std::string& link, const std::string& target) {
    struct stat st = {};
    if (::lstat(link.c_str(), &st) == 0) {
        if (!S_ISLNK(st.st_mode)) {
            std::fprintf(stderr, "tarnwick-vtrsim: %s exists and is not a symbolic link\n",
                         link.c_str());
            return false;
        }
        ::unlink(link.c_str());
    }
    if (::symlink(target.c_str(), link.c_str()) != 0) {
        std::perror(link.c_str());
        return false;
    }
    return true;
}

void RemoveLink(const std::string& link, const std::string& target) {
    char buf[PATH_MAX] = {};
    const ssize_t n = ::readlink(link.c_str(), buf, sizeof buf - 1);
    if (n > 0 && std::string(buf, size_t(n)) == target)
        ::unlink(link.c_str());
}

// Signals sent in real time rather than answers to requests.
bool IsSignal(const QString& protocol) {
    return protocol == QLatin1String("ltc") || protocol == QLatin1String("mtc");
}

// How the tape counts and runs, for the start-up line.
const char* RateName(const vtrsim::TapeClock& tape) {
    switch (tape.Rate().Fps()) {
    case 24:
        return tape.Slowed() ? "23.976 frames a second, 24-frame labels" : "24 frames a second";
    case 25:
        return "25 frames a second";
    default:
        if (tape.Rate().DropFrame())
            return "29.97 drop-frame";
        return tape.Slowed() ? "29.97 non-drop" : "30 non-drop";
    }
}

bool ProcessGone(pid_t pid, pid_t originalParent) {
    // A parent that dies reparents us at once, before anyone reaps it; any other process
    // counts as gone once it no longer exists.
    if (pid == originalParent && ::getppid() != originalParent)
        return true;
    return ::kill(pid, 0) != 0 && errno == ESRCH;
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnwick-vtrsim"));

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Answers Tarnwick's timecode requests as a Sony 9-pin VTR or a Victor SA-K37\n"
        "controller would, or sends LTC audio or MIDI timecode in real time to --output. Without "
        "--device it creates a pseudo-terminal and prints its path\n"
        "on the first line of standard output; point Tarnwick's port at that path (for\n"
        "example COM1=/dev/pts/5 in the [Ports] section of default.ini). Runs until\n"
        "interrupted (Ctrl+C, SIGTERM), until --duration has passed, or until the process\n"
        "given with --parent-pid has gone."));
    parser.addHelpOption();
    const QCommandLineOption protocolOpt(
        {QStringLiteral("p"), QStringLiteral("protocol")},
        QStringLiteral("sony (38400 baud, 8O1; answers 61 0C 02 6F with 74 06, four BCD bytes "
                       "and a checksum, 61 20 with its status, and obeys the transport commands: "
                       "play, stop, winding, jog, shuttle, steps, cue, preroll, standby, eject) "
                       "or victor (9600 baud, 8N1; answers DE with eight ASCII "
                       "digits HHMMSSFF), ltc (LTC audio, 48 kHz 16-bit mono raw, to --output) or "
                       "mtc (MIDI timecode bytes to --output). Default sony."),
        QStringLiteral("protocol"), QStringLiteral("sony"));
    const QCommandLineOption deviceOpt(
        {QStringLiteral("d"), QStringLiteral("device")},
        QStringLiteral("Answer on this serial device (for a null-modem cable to the PC running "
                       "Tarnwick) instead of creating a pseudo-terminal."),
        QStringLiteral("path"));
    const QCommandLineOption linkOpt(
        {QStringLiteral("l"), QStringLiteral("link")},
        QStringLiteral("Also make path a symbolic link to the pseudo-terminal; replaced if it is "
                       "a link already, removed at exit."),
        QStringLiteral("path"));
    const QCommandLineOption outputOpt(
        {QStringLiteral("o"), QStringLiteral("output")},
        QStringLiteral("ltc and mtc: write to this FIFO (whenever a reader is there) or file."),
        QStringLiteral("path"));
    parser.addOption(outputOpt);
    const QCommandLineOption startOpt(
        {QStringLiteral("s"), QStringLiteral("start")},
        QStringLiteral("Timecode under the head at start. Default 01:00:00:00."),
        QStringLiteral("HH:MM:SS:FF"), QStringLiteral("01:00:00:00"));
    const QCommandLineOption rateOpt(
        QStringLiteral("rate"),
        QStringLiteral("Frames a second of the tape's labels: 24, 25 or 30, for every protocol "
                       "(the MTC rate code says it). 24 and 25 are non-drop and run at 24 and 25 "
                       "frames a second. Default 30."),
        QStringLiteral("fps"), QStringLiteral("30"));
    const QCommandLineOption nonDropOpt(
        QStringLiteral("non-drop"),
        QStringLiteral("At 30: run at 30 frames a second with non-drop labels. By default the "
                       "tape runs at 29.97 frames a second with drop-frame labels."));
    const QCommandLineOption pullDownOpt(
        QStringLiteral("pull-down"),
        QStringLiteral("Run 1000/1001 slower than the labels count: with --rate 24, 23.976 "
                       "frames a second with 24-frame labels (film transferred to video); with "
                       "--rate 30 --non-drop, 29.97 with non-drop labels. Not with --rate 25."));
    const QCommandLineOption stillOpt(QStringLiteral("still"),
                                      QStringLiteral("The tape stands still at the start."));
    const QCommandLineOption faultOpt(
        {QStringLiteral("f"), QStringLiteral("fault")},
        QStringLiteral("Misbehave on timecode requests: none, silent (no answer), nak (Sony NAK "
                       "11 12 01 24; silent and nak hit every command and status sense too "
                       "unless --fault-every is above 1), checksum (Sony reply with a wrong "
                       "checksum), short (the "
                       "reply less its last byte), long (two bytes too many), garbage (noise of "
                       "the reply's length); for ltc and mtc: noise (noise instead of the "
                       "signal). Default none."),
        QStringLiteral("kind"), QStringLiteral("none"));
    const QCommandLineOption everyOpt(
        QStringLiteral("fault-every"),
        QStringLiteral("Apply the fault to every n-th request only. Default 1."),
        QStringLiteral("n"), QStringLiteral("1"));
    const QCommandLineOption replyOpt(
        QStringLiteral("reply"),
        QStringLiteral("Answer every timecode request with exactly these bytes, in hex "
                       "(\"74 06 25 34 12 01 E6\")."),
        QStringLiteral("hex"));
    const QCommandLineOption delayOpt(
        QStringLiteral("delay"), QStringLiteral("Wait this long before each answer. Default 0."),
        QStringLiteral("ms"), QStringLiteral("0"));
    const QCommandLineOption durationOpt(QStringLiteral("duration"),
                                         QStringLiteral("Exit after this many seconds."),
                                         QStringLiteral("seconds"));
    const QCommandLineOption parentOpt(QStringLiteral("parent-pid"),
                                       QStringLiteral("Exit when this process has gone."),
                                       QStringLiteral("pid"));
    const QCommandLineOption statusOpt(
        QStringLiteral("status"),
        QStringLiteral("Keep in this file the count of timecode requests answered so far, "
                       "replaced whole (written aside, then renamed) after each one; it holds 0 "
                       "once the simulator is ready. Scripts wait on it instead of sleeping."),
        QStringLiteral("file"));
    const QCommandLineOption localOpt(
        QStringLiteral("local"),
        QStringLiteral("Sony: start with the remote switch off, so that transport commands are "
                       "taken and not obeyed and the status says local. SIGUSR1 turns the "
                       "switch; SIGUSR2 puts a cassette in after an eject."));
    const QCommandLineOption verboseOpt({QStringLiteral("v"), QStringLiteral("verbose")},
                                        QStringLiteral("Log every exchange on standard error."));
    parser.addOptions({protocolOpt, deviceOpt, linkOpt, startOpt, rateOpt, nonDropOpt, pullDownOpt,
                       stillOpt, faultOpt, everyOpt, replyOpt, delayOpt, durationOpt, parentOpt,
                       statusOpt, localOpt, verboseOpt});
    parser.process(app);
    if (!parser.positionalArguments().isEmpty())
        return Usage(QStringLiteral("unexpected argument %1").arg(parser.positionalArguments()[0]));

    vtrsim::ResponderConfig config;
    const QString protocol = parser.value(protocolOpt).toLower();
    if (protocol == QLatin1String("sony"))
        config.protocol = vtrsim::Protocol::Sony;
    else if (protocol == QLatin1String("victor"))
        config.protocol = vtrsim::Protocol::Victor;
    else if (!IsSignal(protocol))
        return Usage(QStringLiteral("unknown protocol %1").arg(protocol));

    bool ok = false;
    config.tape.fps = parser.value(rateOpt).toInt(&ok);
    if (!ok || !IsListFrameRate(config.tape.fps))
        return Usage(QStringLiteral("--rate needs 24, 25 or 30"));
    config.tape.drop = RateHasDropFrame(config.tape.fps) && !parser.isSet(nonDropOpt);
    config.tape.pullDown = parser.isSet(pullDownOpt);
    if (config.tape.pullDown && config.tape.fps == 25)
        return Usage(QStringLiteral("--pull-down goes with --rate 24 or 30"));
    config.tape.running = !parser.isSet(stillOpt);
    config.local = parser.isSet(localOpt);
    const QByteArray start = parser.value(startOpt).toLatin1();
    int h = 0, m = 0, s = 0, f = 0;
    if (!IsTimecodeTextAt(start.constData(), config.tape.fps) ||
        std::sscanf(start.constData(), "%d:%d:%d:%d", &h, &m, &s, &f) != 4)
        return Usage(QStringLiteral("start timecode must be HH:MM:SS:FF, frames below %1")
                         .arg(config.tape.fps));
    // A label drop-frame skips starts on the frame before it, as the counting has it.
    config.tape.startFrames = int(LabelToFrames64({h, m, s, f}, config.tape.Rate()));

    const QString fault = parser.value(faultOpt).toLower();
    if (IsSignal(protocol) != parser.isSet(outputOpt))
        return Usage(QStringLiteral("--output goes with --protocol ltc or mtc"));
    if (IsSignal(protocol) && fault != QLatin1String("none") && fault != QLatin1String("noise"))
        return Usage(QStringLiteral("ltc and mtc know only the fault noise"));
    if (!IsSignal(protocol) && !ParseFault(fault, &config.fault))
        return Usage(QStringLiteral("unknown fault %1").arg(parser.value(faultOpt)));
    if (config.protocol == vtrsim::Protocol::Victor &&
        (config.fault == vtrsim::Fault::Nak || config.fault == vtrsim::Fault::BadChecksum))
        return Usage(QStringLiteral("the Victor protocol has neither NAK nor checksum"));
    config.faultEvery = parser.value(everyOpt).toInt(&ok);
    if (!ok || config.faultEvery < 1)
        return Usage(QStringLiteral("--fault-every needs a whole number of 1 or more"));
    if (parser.isSet(replyOpt) && !ParseHex(parser.value(replyOpt), &config.fixedReply))
        return Usage(QStringLiteral("--reply needs hex bytes"));

    vtrsim::ServeOptions options;
    options.verbose = parser.isSet(verboseOpt);
    options.statusPath = parser.value(statusOpt).toStdString();
    options.replyDelayMs = parser.value(delayOpt).toInt(&ok);
    if (!ok || options.replyDelayMs < 0 || options.replyDelayMs > 60000)
        return Usage(QStringLiteral("--delay needs milliseconds from 0 to 60000"));

    using Clock = std::chrono::steady_clock;
    Clock::time_point deadline = Clock::time_point::max();
    if (parser.isSet(durationOpt)) {
        const double seconds = parser.value(durationOpt).toDouble(&ok);
        if (!ok || seconds < 0 || seconds > 1e7)
            return Usage(QStringLiteral("--duration needs seconds"));
        deadline = Clock::now() + std::chrono::milliseconds(qint64(seconds * 1000));
    }
    pid_t watched = 0;
    const pid_t originalParent = ::getppid();
    if (parser.isSet(parentOpt)) {
        watched = pid_t(parser.value(parentOpt).toInt(&ok));
        if (!ok || watched <= 0)
            return Usage(QStringLiteral("--parent-pid needs a process id"));
    }

    InstallSignalHandlers();
    vtrsim::Responder responder(config);
    int64_t tapeOriginNs = 0; // set when serving starts
    auto lastCheck = Clock::now();
    const auto stop = [&] {
        if (g_signalled || Clock::now() >= deadline)
            return true;
        if (g_turnRemote) {
            g_turnRemote = 0;
            responder.SetLocal(!responder.Local());
            std::fprintf(stderr, "tarnwick-vtrsim: %s\n",
                         responder.Local() ? "local: remote control refused" : "remote");
        }
        if (g_insertTape) {
            g_insertTape = 0;
            responder.InsertTape(vtrsim::SteadyNs() - tapeOriginNs);
            std::fprintf(stderr, "tarnwick-vtrsim: cassette in\n");
        }
        if (watched != 0 && Clock::now() - lastCheck >= std::chrono::milliseconds(200)) {
            lastCheck = Clock::now();
            return ProcessGone(watched, originalParent);
        }
        return false;
    };
    std::string error;
    if (IsSignal(protocol)) {
        vtrsim::SignalConfig signal;
        signal.kind =
            protocol == QLatin1String("ltc") ? vtrsim::SignalKind::Ltc : vtrsim::SignalKind::Mtc;
        signal.tape = config.tape;
        signal.noise = fault == QLatin1String("noise");
        const std::string output = parser.value(outputOpt).toStdString();
        std::fprintf(stderr, "tarnwick-vtrsim: %s to %s, tape %s from %s (%s)%s\n",
                     signal.kind == vtrsim::SignalKind::Ltc ? "LTC" : "MTC", output.c_str(),
                     config.tape.running ? "running" : "still", start.constData(),
                     RateName(config.tape), signal.noise ? ", noise instead" : "");
        const int64_t startNs =
            std::chrono::duration_cast<std::chrono::nanoseconds>(Clock::now().time_since_epoch())
                .count();
        if (!vtrsim::SendSignal(output, signal, startNs, stop, &error)) {
            std::fprintf(stderr, "tarnwick-vtrsim: %s\n", error.c_str());
            return 1;
        }
        return 0;
    }
    std::unique_ptr<vtrsim::LineEnd> line =
        parser.isSet(deviceOpt) ? vtrsim::LineEnd::OpenDevice(parser.value(deviceOpt).toStdString(),
                                                              config.protocol, &error)
                                : vtrsim::LineEnd::CreatePty(&error);
    if (!line) {
        std::fprintf(stderr, "tarnwick-vtrsim: %s\n", error.c_str());
        return 1;
    }
    const std::string link = parser.value(linkOpt).toStdString();
    if (!link.empty() && !parser.isSet(deviceOpt) && !MakeLink(link, line->SlavePath()))
        return 1;

    std::printf("%s\n", line->SlavePath().c_str());
    std::fflush(stdout);
    std::fprintf(stderr, "tarnwick-vtrsim: %s VTR on %s, tape %s from %s (%s)%s%s\n",
                 config.protocol == vtrsim::Protocol::Sony ? "Sony 9-pin" : "Victor SA-K37",
                 line->SlavePath().c_str(), config.tape.running ? "running" : "still",
                 start.constData(), RateName(config.tape),
                 config.fault == vtrsim::Fault::None ? "" : ", misbehaving",
                 config.local ? ", in local" : "");

    // The tape starts now; saying when, on the wall clock, lets a script tell the frame under
    // the head at any moment it notes.
    options.tapeOriginNs = vtrsim::SteadyNs();
    tapeOriginNs = options.tapeOriginNs;
    const double originEpoch =
        std::chrono::duration<double>(std::chrono::system_clock::now().time_since_epoch()).count() -
        double(vtrsim::SteadyNs() - options.tapeOriginNs) / 1e9;
    std::fprintf(stderr, "tarnwick-vtrsim: tape started at %.6f s since the epoch\n", originEpoch);
    const bool served = vtrsim::Serve(*line, responder, options, stop);

    if (!link.empty() && !parser.isSet(deviceOpt))
        RemoveLink(link, line->SlavePath());
    std::fprintf(stderr, "tarnwick-vtrsim: answered %d timecode requests\n", responder.Requests());
    return served ? 0 : 1;
}
