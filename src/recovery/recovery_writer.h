#pragma once

#include "platform/file_fault.h"
#include "platform/regular_file.h"
#include "recovery/recovery_file.h"

#include <QByteArray>
#include <QString>

#include <condition_variable>
#include <functional>
#include <mutex>
#include <optional>
#include <thread>

// How the recovery copy stands.
struct RecoveryHealth {
    enum class State {
        Kept,        // the copy holds the list as last handed over, or nothing was asked yet
        Lapsed,      // it could not be written; tried again with the next state
        OtherProgram // another running Tarnwick holds the lock: this one keeps no copy
    };
    State state = State::Kept;
    FileFault fault = FileFault::None; // Lapsed: why
    bool lockFault = false;            // Lapsed: the lock beside the copy, not the copy

    bool operator==(const RecoveryHealth& other) const {
        return state == other.state && fault == other.fault && lockFault == other.lockFault;
    }
};

// Writes the recovery copy on a thread of its own: building the file, taking the lock beside
// it and the write with its syncs, which take milliseconds on a local disk and far longer on
// a slow or network one, never hold up the window. A state handed over while a write is
// under way waits for it; a later state replaces one not yet begun, so the copy always ends
// up with the latest.
//
// The lock is taken with the first write (or at once with LockNow) and held until Unlock;
// only a lock another program holds ends the writing for good.
class RecoveryWriter {
public:
    // Called on the writer's thread after every write, with how the copy stands.
    using Report = std::function<void(const RecoveryHealth&)>;

    RecoveryWriter(const QString& copyPath, Report report);
    ~RecoveryWriter(); // as Stop
    RecoveryWriter(const RecoveryWriter&) = delete;
    RecoveryWriter& operator=(const RecoveryWriter&) = delete;

    // Hands over the list to write.
    void Submit(const RecoveryState& state);
    // Returns once everything handed over has been written or has failed.
    void Drain();
    // Ends the thread once the write under way is done; what was not begun is dropped.
    void Stop();

    // Only while nothing is handed over and nothing is being written (before the first
    // Submit, or after Drain or Stop), on the thread that submits:
    // takes the lock now (an earlier run's copy is about to be read);
    FileFault LockNow();
    bool Locked() const { return m_lock.IsLocked(); }
    // lets it go, removing the lock file;
    void Unlock() { m_lock.Unlock(); }
    // the copy is gone: the next state is written whatever the last one held.
    void ForgetWritten() { m_written.clear(); }

private:
    void Run();
    RecoveryHealth Write(const RecoveryState& state);

    const QString m_path;
    const Report m_report;
    ExclusiveFileLock m_lock;
    QByteArray m_written; // what the copy holds, so an unchanged list is not written again
    bool m_otherProgram = false;

    std::mutex m_mutex;
    std::condition_variable m_wake; // a state handed over, or the end
    std::condition_variable m_idle; // nothing handed over and nothing being written
    std::optional<RecoveryState> m_pending;
    bool m_busy = false;
    bool m_stopping = false;
    std::thread m_thread;
};
