#include "commands/polling.h"

#include "sources/vtr_link.h"

#include <QTimerEvent>

Polling::Polling(VtrLink& link, std::function<void()> tick)
    : m_link(link), m_tick(std::move(tick)) {}

int Polling::SetTimer(int id, int elapseMs) {
    if (m_qtTimerId != 0) {
        killTimer(m_qtTimerId);
    }
    m_qtTimerId = startTimer(elapseMs);
    m_nPollTimer = id;
    return id;
}

void Polling::KillTimer(int timer) {
    if (timer != 0 && m_qtTimerId != 0) {
        killTimer(m_qtTimerId);
        m_qtTimerId = 0;
        m_nPollTimer = 0;
    }
}

void Polling::timerEvent(QTimerEvent* e) {
    if (e->timerId() == m_qtTimerId) {
        m_tick(); // the one window timer; its id is not looked at
        return;
    }
    QObject::timerEvent(e);
}

// The deck's worker pauses with the timer.
Polling::Pause::Pause(Polling& polling) : m_polling(polling) {
    m_polling.KillTimer(m_polling.m_nPollTimer);
    m_polling.m_link.VtrPausePolling(true);
}

void Polling::Pause::Restart() {
    if (m_paused && !m_polling.m_ending) {
        m_paused = false;
        m_polling.SetTimer(POLL_TIMER_ID, POLL_INTERVAL_MS);
        m_polling.m_link.VtrPausePolling(false);
    }
}
