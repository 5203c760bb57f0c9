#pragma once

#include "sources/live_timecode.h"
#include "timecode/timecode_value.h"

#include <cstdint>
#include <string>

// What a video file says of itself before it is played: whether the list can count it, its
// rate, the timecode of its first frame and a note for the operator. Plain data, so that the
// program can hold it without the libraries that read it.
struct VideoFileFacts {
    // The list can count the file: a video stream at 23.976, 24, 25, 29.97 or 30 frames a
    // second. When false, note says why, naming the file, and nothing else holds.
    bool usable = false;
    // For the operator: why the file is refused, or what was assumed (no timecode track). Empty
    // when there is nothing to say.
    std::string note;

    // How the labels count (24, 25, 30 drop-frame or non-drop) and the pace the file plays at.
    SignalRate rate;
    // The exact pace, frames a second as a fraction (30000/1001 for 29.97).
    int rateNum = 0;
    int rateDen = 1;
    // The label of the first frame; 00:00:00:00 when the file has none (see startFromFile).
    Timecode start;
    bool startFromFile = false;
    // The frames the file holds (from its duration where the container does not count them).
    int64_t frameCount = 0;
    int width = 0;
    int height = 0;
    bool hasAudio = false;
};
