#pragma once

#include "vtr/live_timecode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct LTCDecoder;

// Linear timecode out of audio samples, by libltc, with what makes a decoded frame worth
// showing: it plays forwards at 29.97 or 30 frames a second and follows the frame before it.
// So noise that happens to decode, a shuttling or still source, and 24 or 25 frame sources
// give nothing. No I/O here.
class LtcDecoder {
public:
    explicit LtcDecoder(int sampleRate);
    ~LtcDecoder();
    LtcDecoder(const LtcDecoder&) = delete;
    LtcDecoder& operator=(const LtcDecoder&) = delete;

    // Takes the next samples of one channel; the last of them was heard at lastSampleNs.
    // Appends an anchor for every frame they completed that counts, and an invalid one for a
    // frame of a refused rate.
    void Write(const int16_t* samples, size_t count, int64_t lastSampleNs,
               std::vector<TimecodeAnchor>* anchors);

private:
    LTCDecoder* m_decoder = nullptr;
    int m_rate = 0;
    long long m_position = 0; // samples taken so far

    // The frame decoded last, whether or not it counted: the next one must follow it.
    bool m_havePrevious = false;
    bool m_previousDrop = false;
    int m_previousCount = 0;
    long long m_previousEnd = 0;
};
