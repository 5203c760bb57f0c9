#pragma once

#include "vtr/live_input.h"
#include "vtr/live_timecode.h"
#include "vtr/timecode_source.h"

#include <atomic>
#include <memory>
#include <string>
#include <thread>

// A source whose signal carries its own time (LTC audio, MIDI timecode): nothing is asked of
// it. A worker thread opens the device, reads the signal as it arrives and keeps the latest
// time; the user-interface thread only reads that, and never waits on the device.
class LiveSource : public TimecodeSource {
public:
    // Starts the worker on the device and returns 1 at once; the worker opens the device,
    // and when it cannot, or the device goes away, IsOpen turns false and the VTR link tries
    // again. 0 for an empty name.
    int Open(const char* device) override;
    // Stops the worker and lets go of the device.
    void Close() override;
    bool IsOpen() const override { return m_worker.joinable() && !m_ended.load(); }
    Timecode ReadTimecode() override { return m_live.ReadAt(SteadyNowNs()); }
    bool HoldsLatestTimecode() const override { return true; }
    Timecode LatestTimecode() override { return ReadTimecode(); }
    std::optional<Timecode> TimecodeAt(int64_t steadyNs) override {
        return m_live.ReadAt(steadyNs);
    }

protected:
    // Derived classes call Close() in their destructors, while Run can still be called.
    ~LiveSource() override = default;
    // On the worker: opens the device, then reads and publishes until woken or until the
    // device fails. Returning ends the worker.
    virtual void Run(const std::string& device, const WakePipe& wake, LiveTimecode& live) = 0;

private:
    LiveTimecode m_live;
    std::unique_ptr<WakePipe> m_wake;
    std::thread m_worker;
    std::atomic<bool> m_ended{false};
};
