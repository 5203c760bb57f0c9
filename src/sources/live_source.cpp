#include "sources/live_source.h"

#include <QCoreApplication>
#include <QString>

#include <cerrno>

int LiveSource::Open(const char* device) {
    Close();
    if (device == nullptr || *device == '\0')
        return 0;
    // What kept the last device from being read is not this one's trouble.
    if (m_device != device) {
        m_device = device;
        std::lock_guard<std::mutex> lock(m_problemMutex);
        m_problem.reset();
    }
    m_ended = false;
    m_wake = std::make_unique<WakePipe>();
    m_worker = std::thread([this, name = std::string(device), wake = m_wake.get()] {
        Run(name, *wake, m_live);
        m_ended = true;
    });
    return 1;
}

void LiveSource::Close() {
    if (m_worker.joinable()) {
        m_wake->Raise();
        m_worker.join();
    }
    m_wake.reset();
    // What the device said last is not carried over to the next one.
    m_live.Clear();
}

Timecode LiveSource::ReadTimecode() {
    const Timecode now = m_live.ReadAt(SteadyNowNs());
    return now.Rate().Fps() == m_listFps.load() ? now : Timecode();
}

std::optional<std::string> LiveSource::DeviceProblem() const {
    std::lock_guard<std::mutex> lock(m_problemMutex);
    return m_problem;
}

// Missing is told apart from refused: a path mistyped in the settings wants another fix than
// a device held by another program or closed to the user.
void LiveSource::OpenFailed(const std::string& shownName, int error) {
    const bool missing = error == ENOENT || error == ENODEV || error == ENXIO;
    std::lock_guard<std::mutex> lock(m_problemMutex);
    const QString name = QString::fromStdString(shownName);
    m_problem = (missing ? QCoreApplication::translate("LiveSource", "%1 がありません").arg(name)
                         : QCoreApplication::translate("LiveSource", "%1 を開けません").arg(name))
                    .toStdString();
}

void LiveSource::Opened() {
    std::lock_guard<std::mutex> lock(m_problemMutex);
    m_problem.reset();
}
