#include "recovery/recovery_writer.h"

#include "platform/replace_file.h"

RecoveryWriter::RecoveryWriter(const QString& copyPath, Report report)
    : m_path(copyPath), m_report(std::move(report)), m_lock(copyPath + QStringLiteral(".lock")) {}

RecoveryWriter::~RecoveryWriter() {
    Stop();
}

void RecoveryWriter::Submit(const RecoveryState& state) {
    {
        const std::lock_guard<std::mutex> hold(m_mutex);
        if (m_stopping)
            return;
        m_pending = state;
        // Started with the first state: a program whose list never changes needs no thread.
        if (!m_thread.joinable())
            m_thread = std::thread([this] { Run(); });
    }
    m_wake.notify_one();
}

void RecoveryWriter::Drain() {
    std::unique_lock<std::mutex> hold(m_mutex);
    m_idle.wait(hold, [this] { return (!m_pending || m_stopping) && !m_busy; });
}

void RecoveryWriter::Stop() {
    {
        const std::lock_guard<std::mutex> hold(m_mutex);
        m_stopping = true;
        m_pending.reset();
    }
    m_wake.notify_one();
    if (m_thread.joinable())
        m_thread.join();
}

FileFault RecoveryWriter::LockNow() {
    const FileFault fault = m_lock.TryLock();
    m_otherProgram = fault == FileFault::Held;
    return fault;
}

void RecoveryWriter::Run() {
    std::unique_lock<std::mutex> hold(m_mutex);
    for (;;) {
        m_wake.wait(hold, [this] { return m_pending || m_stopping; });
        if (m_stopping)
            break;
        const RecoveryState state = std::move(*m_pending);
        m_pending.reset();
        m_busy = true;
        hold.unlock();
        const RecoveryHealth health = Write(state);
        m_report(health);
        hold.lock();
        m_busy = false;
        if (!m_pending)
            m_idle.notify_all();
    }
    m_busy = false;
    m_idle.notify_all();
}

RecoveryHealth RecoveryWriter::Write(const RecoveryState& state) {
    using State = RecoveryHealth::State;
    if (m_otherProgram)
        return RecoveryHealth{State::OtherProgram, FileFault::Held, true};
    if (!m_lock.IsLocked()) {
        // Space or permission may come back (a disk freed, a folder made writable): only a
        // lock that another program holds ends the copy.
        const FileFault fault = m_lock.TryLock();
        if (fault == FileFault::Held) {
            m_otherProgram = true;
            return RecoveryHealth{State::OtherProgram, fault, true};
        }
        if (fault != FileFault::None)
            return RecoveryHealth{State::Lapsed, fault, true};
    }
    const QByteArray bytes = BuildRecoveryFile(state);
    if (bytes == m_written)
        return RecoveryHealth{};
    // A link under the copy's name is replaced, never followed: in a shared folder it could
    // name anyone's file.
    FileFault fault = FileFault::None;
    if (!ReplaceFileContent(m_path, bytes, LinkPolicy::DoNotFollow, &fault))
        return RecoveryHealth{State::Lapsed, fault, false};
    m_written = bytes;
    return RecoveryHealth{};
}
