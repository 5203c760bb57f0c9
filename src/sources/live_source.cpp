#include "sources/live_source.h"

int LiveSource::Open(const char* device) {
    Close();
    if (device == nullptr || *device == '\0')
        return 0;
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
