#pragma once

#include <QObject>

#include <functional>

class VtrLink;

constexpr int POLL_TIMER_ID = 1;
constexpr int POLL_INTERVAL_MS = 100;

// The one polling timer, which shows the latest reading every 100 ms, and the source's own
// asking, which stop together while a modal box is up: no request may reach the VTR then.
class Polling : public QObject {
    Q_OBJECT
public:
    Polling(VtrLink& link, std::function<void()> tick);

    // Starting the timer again replaces it, so there is never more than one.
    int SetTimer(int id, int elapseMs);
    void KillTimer(int timer);
    // The id SetTimer last gave; 0 while stopped.
    int Timer() const { return m_nPollTimer; }
    bool IsRunning() const { return m_qtTimerId != 0; }

    // The program is ending: it polls no more, and no pause starts polling again.
    void End() {
        m_ending = true;
        emit Ended();
    }
    bool Ending() const { return m_ending; }

    // Stops polling for as long as it lives. Restart() ends the pause early; an ending
    // program calls Dismiss() and polls no more.
    class Pause {
    public:
        explicit Pause(Polling& polling);
        ~Pause() { Restart(); }
        Pause(const Pause&) = delete;
        Pause& operator=(const Pause&) = delete;
        void Restart();
        void Dismiss() { m_paused = false; }

    private:
        Polling& m_polling;
        bool m_paused = true;
    };

signals:
    // End was called: whatever waits for something else may stop waiting.
    void Ended();

protected:
    void timerEvent(QTimerEvent* e) override;

private:
    VtrLink& m_link;
    std::function<void()> m_tick;
    int m_nPollTimer = 0;
    int m_qtTimerId = 0; // the Qt timer behind the window timer
    bool m_ending = false;
};
