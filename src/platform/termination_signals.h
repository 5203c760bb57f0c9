#pragma once

#include <QObject>

#include <functional>
#include <thread>

class QSocketNotifier;

// Requests to end the process, as POSIX delivers them: SIGTERM (a kill, a shutdown), SIGHUP
// (the terminal or the session went away) and SIGINT (Ctrl+C in the terminal). Each becomes a
// call between events on the thread that made this object, where the program can end as it
// normally does. A signal handler may do next to nothing, so it only writes a byte into a
// pipe whose other end the event loop watches. A signal the process was started with ignored
// (nohup, a background job of a script) stays ignored.
//
// A window that does not end within graceMs of the request (its thread held by something that
// does not return), or a second request, ends the process there and then, as the signal's own
// default would: the list is kept by its recovery copy, which is written apart from the window,
// and the next start offers it. Standard error says so.
//
// Windows has none of these signals: a console's Ctrl+C and close arrive through
// SetConsoleCtrlHandler on a thread of their own (post to the window from there), a logout or
// a shutdown as WM_QUERYENDSESSION and WM_ENDSESSION to the window. There this watches nothing.
class TerminationSignals : public QObject {
public:
    // One at a time: the handlers belong to the whole process.
    explicit TerminationSignals(std::function<void()> onRequest, int graceMs = 3000,
                                QObject* parent = nullptr);
    ~TerminationSignals() override;

private:
    std::function<void()> m_onRequest;
    QSocketNotifier* m_notifier = nullptr;
    std::thread m_watchdog;
};
