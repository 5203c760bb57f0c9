#pragma once

#include "sources/live_timecode.h"

#include <cstddef>
#include <cstdint>
#include <vector>

struct LTCDecoder;

// Linear timecode out of audio samples, by libltc, with what makes a decoded frame worth
// showing: it plays forwards at 24, 25 or 30 frames a second (23.976 and 29.97 included) and
// follows the frame before it. The rate comes from the signal: the spacing of its frames tells
// 24 from 25 from 30, the drop-frame bit the counting at 30, and the mean spacing over a run
// of frames the pace (23.976 or 24, 29.97 or 30). So noise that happens to decode, and a
// shuttling or still source, give nothing. No I/O here.
class LtcDecoder {
public:
    explicit LtcDecoder(int sampleRate);
    ~LtcDecoder();
    LtcDecoder(const LtcDecoder&) = delete;
    LtcDecoder& operator=(const LtcDecoder&) = delete;

    // Takes the next samples of one channel; the last of them was heard at lastSampleNs.
    // Appends an anchor for every frame they completed that counts, and an invalid one for a
    // frame that follows its predecessor at no play speed (a source winding).
    void Write(const int16_t* samples, size_t count, int64_t lastSampleNs,
               std::vector<TimecodeAnchor>* anchors);

private:
    // Whether the run's frames last 1001/1000 of their rate's period.
    bool PulledDown(int fps, long long runSamples, long long runFrames);

    LTCDecoder* m_decoder = nullptr;
    int m_rate = 0;
    long long m_position = 0; // samples taken so far

    // The frame decoded last, whether or not it counted: the next one must follow it.
    bool m_havePrevious = false;
    bool m_previousDrop = false;
    TimecodeLabel m_previousLabel;
    long long m_previousEnd = 0;

    // The run of frames that have followed one another at one rate of frames: where the frame
    // before its first ended, and how many have come since. Zero frames a second: no run.
    int m_runFps = 0;
    long long m_runStart = 0;
    long long m_runFrames = 0;
    // The pace last measured, kept for the first frames of the next run at that rate.
    int m_paceFps = 0;
    bool m_pulledDown = false;
};
