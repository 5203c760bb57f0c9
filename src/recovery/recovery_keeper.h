#pragma once

#include "recovery/recovery_file.h"
#include "recovery/recovery_writer.h"

#include <QObject>
#include <QString>
#include <QTimer>

#include <functional>
#include <memory>

// Within this time of a change the recovery copy is handed to its writer; changes closer
// together share one write.
constexpr int RECOVERY_DELAY_MS = 250;

// What the operator is asked or told about the copy an earlier run left.
struct LeftCopy {
    bool offered = false; // state holds a list to offer back
    RecoveryState state;  // its rows numbered afresh, as any list's are
    QString question;     // the question, with when the copy was last written
    QString notice;       // said once before anything else: a copy that could not be read
};

// Keeps the recovery copy of the list in the working folder: written soon after every change
// (on a thread of its own, see RecoveryWriter), removed when the program ends normally. One
// program per folder keeps it, under a lock taken with the first copy (or at start, to offer
// an earlier run's copy back); a program that finds the lock held by another keeps none, so
// neither destroys the other's copy. A copy or a lock that cannot be made (a full disk, a
// folder that may not be written, an odd thing under the name) is tried again at the next
// change. Whatever the state, the indicator says it without interrupting the operator, who
// is busy with the tape, and standard error says it once.
class RecoveryKeeper : public QObject {
public:
    using StateSource = std::function<RecoveryState()>;
    // A short text for the window, and a longer one for its tooltip; both empty while the
    // copy is kept.
    using Indicator = std::function<void(const QString& text, const QString& detail)>;
    explicit RecoveryKeeper(StateSource state);
    ~RecoveryKeeper() override;

    void SetIndicator(Indicator indicator) { m_indicator = std::move(indicator); }
    // The indicator again, as it stands, after the language changed.
    void ShowAgain() { Show(m_health); }

    // Keeps the copy in this folder. When an earlier run left anything under the copy's name,
    // takes the lock at once; false when another program holds it.
    bool Start(const QString& folder);
    // The copy an earlier run left, once: until Keep or Discard it is not written over. A
    // copy that cannot be read is moved aside under a name of its own (see notice) and never
    // offered.
    LeftCopy TakeLeftCopy();

    // The list, its path or its modified state changed.
    void Schedule();
    bool Pending() const { return m_timer.isActive(); }
    // Hands the list as it is now to the writer.
    void WriteNow();
    // Returns once the writer has written (or failed to write) everything handed over.
    void Drain();
    // The copy the operator took back is kept from here on, as any other.
    void Keep();
    // Removes the copy.
    void Discard();
    // The program ends: the copy stays only when keepCopy, holding the list as it is now, on
    // the disk before this returns. A left copy not yet answered for stays as it was.
    void Finish(bool keepCopy);

    QString Path() const { return m_path; }

private:
    void OnHealth(const RecoveryHealth& health);
    void Show(const RecoveryHealth& health);
    bool MoveLeftCopyAside(FileFault* fault);

    StateSource m_state;
    Indicator m_indicator;
    QString m_path;
    std::unique_ptr<RecoveryWriter> m_writer;
    QTimer m_timer;
    RecoveryHealth m_health;
    QString m_asidePath;            // where an unreadable left copy went, or was to go
    bool m_active = false;          // this program may write the copy
    bool m_leftCopy = false;        // an earlier run's copy is still to be answered for
    bool m_unreadableStays = false; // ... one that could not be read nor moved aside
    bool m_offered = false;
    bool m_finished = false;
};
