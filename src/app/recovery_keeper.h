#pragma once

#include "persist/recovery_file.h"

#include <QByteArray>
#include <QLockFile>
#include <QObject>
#include <QTimer>

#include <functional>
#include <memory>

// Within this time of a change the recovery copy holds it; changes closer together share
// one write.
constexpr int RECOVERY_DELAY_MS = 250;

// Keeps the recovery copy of the list in the working folder: written (atomically) soon after
// every change, removed when the program ends normally. One program per folder keeps it,
// under a lock taken with the first copy (or at start, to offer an earlier run's copy back);
// a program that finds the lock held keeps none, so neither destroys the other's copy. A
// failed write is said once on standard error and tried again at the next change: the
// operator is busy with the tape.
class RecoveryKeeper : public QObject {
public:
    using StateSource = std::function<RecoveryState()>;
    explicit RecoveryKeeper(StateSource state);

    // Keeps the copy in this folder. When an earlier run left one there, takes the lock at
    // once; false when another program holds it.
    bool Start(const QString& folder);
    // The copy an earlier run left, once: until Keep or Discard it is not written over.
    bool TakeLeftCopy(RecoveryState* state);

    // The list, its path or its modified state changed.
    void Schedule();
    bool Pending() const { return m_timer.isActive(); }
    void WriteNow();
    // The copy the operator took back is kept from here on, as any other.
    void Keep();
    // Removes the copy.
    void Discard();
    // The program ends: the copy stays only when keepCopy, holding the list as it is now.
    // A left copy not yet answered for stays as it was.
    void Finish(bool keepCopy);

private:
    bool Lock();

    StateSource m_state;
    QString m_path;
    std::unique_ptr<QLockFile> m_lock;
    QTimer m_timer;
    QByteArray m_written;  // what the copy holds, so an unchanged list is not written again
    bool m_active = false; // this program may write the copy
    bool m_locked = false;
    bool m_leftCopy = false; // an earlier run's copy is still to be answered for
    bool m_offered = false;
    bool m_finished = false;
    bool m_failing = false;
};
