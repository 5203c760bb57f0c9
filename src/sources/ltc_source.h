#pragma once

#include "sources/live_source.h"

// The VtrType of LTC audio from a sound card input.
constexpr int VTR_LTC = 2;

// LTC, linear timecode as audio, from an ALSA capture device or, for a device named
// "file:PATH", from raw audio (48 kHz, 16-bit signed little-endian, mono): a FIFO read as it
// arrives, a regular file played at its rate.
class LtcSource final : public LiveSource {
public:
    ~LtcSource() override { Close(); }
    // The channel to listen to, counted from 1; applies to ALSA devices from the next open.
    void SetChannel(int channel) { m_channel = channel < 1 ? 1 : channel; }

private:
    void Run(const std::string& device, const WakePipe& wake, LiveTimecode& live) override;
    void RunFile(const std::string& path, const WakePipe& wake, LiveTimecode& live);
    void RunCapture(const std::string& name, const WakePipe& wake, LiveTimecode& live);

    std::atomic<int> m_channel{1};
};
