#pragma once

// Answers the next real modal dialog the program opens, for the tests that go through the
// dialog itself rather than its hook: waits for it with a deadline (a dialog that never
// comes fails the caller's own checks) and hands it to the answer, which must end it.
#include <QApplication>
#include <QDeadlineTimer>
#include <QDialog>
#include <QTimer>

#include <functional>

inline void AnswerNextModal(std::function<void(QDialog*)> answer, int deadlineMs = 30000) {
    auto* poll = new QTimer;
    poll->setInterval(10);
    const QDeadlineTimer deadline(deadlineMs);
    QObject::connect(poll, &QTimer::timeout, [poll, deadline, answer] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (dialog && dialog->isVisible()) {
            poll->deleteLater();
            poll->stop();
            answer(dialog);
        } else if (deadline.hasExpired()) {
            poll->deleteLater();
            poll->stop();
        }
    });
    poll->start();
}
