#pragma once

#include "sources/live_input.h"
#include "sources/live_timecode.h"
#include "sources/timecode_source.h"

#include <atomic>
#include <memory>
#include <mutex>
#include <optional>
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
    // The frame arriving now, in the source's own labels; none while the source is silent or
    // its frames a second are not the list's.
    Timecode ReadTimecode() override;
    bool HoldsLatestTimecode() const override { return true; }
    Timecode LatestTimecode() override { return ReadTimecode(); }
    std::optional<Timecode> TimecodeAt(int64_t steadyNs) override {
        return m_live.ReadAt(steadyNs);
    }

    // The rate the list counts at; 30 until told. A source of another number of frames a second
    // reads as no timecode: its labels name other moments at the list's rate (10:00:00:24 of a
    // 25 frame source is not that label at 30), so every duration and frame check would be
    // wrong. At 30 a drop-frame and a non-drop source both read, each in its own labels. Any
    // thread may tell it.
    void SetListRate(TimecodeRate rate) override { m_listFps.store(rate.Fps()); }
    // The rate of the signal while it carries timecode, whether or not the list can take it;
    // nothing while it is silent. It tells the operator why a source shows no timecode.
    std::optional<SignalRate> HeardRate() const override { return m_live.RateAt(SteadyNowNs()); }
    // It stands while the device is tried again, until it opens or another device is chosen.
    std::optional<std::string> DeviceProblem() const override;

protected:
    // Derived classes call Close() in their destructors, while Run can still be called.
    ~LiveSource() override = default;
    // On the worker: opens the device, then reads and publishes until woken or until the
    // device fails. Returning ends the worker.
    virtual void Run(const std::string& device, const WakePipe& wake, LiveTimecode& live) = 0;
    // From Run: the device, named as the operator wrote it, could not be opened (error is the
    // errno), or could.
    void OpenFailed(const std::string& shownName, int error);
    void Opened();

private:
    std::string m_device; // as last given to Open
    mutable std::mutex m_problemMutex;
    std::optional<std::string> m_problem;
    LiveTimecode m_live;
    std::unique_ptr<WakePipe> m_wake;
    std::thread m_worker;
    std::atomic<bool> m_ended{false};
    std::atomic<int> m_listFps{30};
};
