#pragma once

#include <QAbstractEventDispatcher>
#include <QList>
#include <QObject>

// The intervals of the timers an object has running: how a test sees whether the polling
// timer is stopped around a modal box, without waiting for ticks.
inline QList<int> RunningTimerIntervals(QObject* object) {
    QList<int> intervals;
    for (const auto& timer : QAbstractEventDispatcher::instance()->registeredTimers(object)) {
        intervals << timer.interval;
    }
    return intervals;
}
