#pragma once

#include "sources/live_source.h"

// The VtrType of MIDI timecode from a MIDI input.
constexpr int VTR_MTC = 3;

// MTC, MIDI timecode, from a raw MIDI device (/dev/snd/midiC1D0) or a file or FIFO carrying
// the same bytes.
class MtcSource final : public LiveSource {
public:
    ~MtcSource() override { Close(); }

private:
    void Run(const std::string& device, const WakePipe& wake, LiveTimecode& live) override;
};
