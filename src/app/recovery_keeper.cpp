#include "app/recovery_keeper.h"

#include "platform/replace_file.h"

#include <QDir>
#include <QFile>

#include <cstdio>

RecoveryKeeper::RecoveryKeeper(StateSource state) : m_state(std::move(state)) {
    m_timer.setSingleShot(true);
    m_timer.setInterval(RECOVERY_DELAY_MS);
    connect(&m_timer, &QTimer::timeout, this, &RecoveryKeeper::WriteNow);
}

bool RecoveryKeeper::Start(const QString& folder) {
    m_path = QDir(folder).filePath(QString::fromLatin1(RECOVERY_FILE_NAME));
    m_lock = std::make_unique<QLockFile>(m_path + QStringLiteral(".lock"));
    // Only a lock whose program has gone is stale, however long the other has been running.
    m_lock->setStaleLockTime(0);
    m_active = true;
    if (QFile::exists(m_path)) {
        m_leftCopy = Lock();
    }
    return m_active;
}

// Taken once; a program that finds it held keeps no copy from then on.
bool RecoveryKeeper::Lock() {
    if (!m_locked && m_active) {
        m_locked = m_lock->tryLock(0);
        if (!m_locked) {
            m_active = false;
            std::fprintf(stderr,
                         "tarnwick: another Tarnwick keeps the recovery copy %s; this one "
                         "keeps none\n",
                         qPrintable(QDir::toNativeSeparators(m_path)));
        }
    }
    return m_locked;
}

bool RecoveryKeeper::TakeLeftCopy(RecoveryState* state) {
    if (!m_leftCopy || m_offered) {
        return false;
    }
    m_offered = true;
    QFile file(m_path);
    if (file.open(QIODevice::ReadOnly) && ParseRecoveryFile(file.readAll(), state)) {
        return true;
    }
    // Nothing in it can come back; the next change writes a copy of its own there.
    std::fprintf(stderr, "tarnwick: the recovery copy %s cannot be read\n", qPrintable(m_path));
    m_leftCopy = false;
    return false;
}

void RecoveryKeeper::Schedule() {
    if (m_active && !m_finished && !m_timer.isActive()) {
        m_timer.start();
    }
}

void RecoveryKeeper::WriteNow() {
    m_timer.stop();
    if (!m_active || m_finished || m_leftCopy || !Lock()) {
        return;
    }
    const QByteArray bytes = BuildRecoveryFile(m_state());
    if (bytes == m_written) {
        return;
    }
    if (!ReplaceFileContent(m_path, bytes)) {
        if (!m_failing) {
            std::fprintf(stderr, "tarnwick: the recovery copy %s cannot be written\n",
                         qPrintable(m_path));
        }
        m_failing = true;
        return;
    }
    m_failing = false;
    m_written = bytes;
}

void RecoveryKeeper::Keep() {
    m_leftCopy = false;
    Schedule();
}

void RecoveryKeeper::Discard() {
    m_timer.stop();
    m_leftCopy = false;
    if (m_locked) {
        QFile::remove(m_path);
    }
    m_written.clear();
}

void RecoveryKeeper::Finish(bool keepCopy) {
    if (keepCopy) {
        WriteNow();
    } else if (!m_leftCopy) {
        Discard();
    }
    m_timer.stop();
    m_finished = true;
}
