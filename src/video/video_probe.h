#pragma once

#include "video/video_file_facts.h"

#include <string>

// Reads a file's container with libavformat, without decoding a frame for display: its video
// stream, rate and start timecode. Refuses what the list cannot count (50, 59.94, 60 frames a
// second, a variable rate) and what is no usable video (missing, unreadable, not a video file,
// damaged, no video stream), each with a note naming the file. Any thread; never throws.
VideoFileFacts ProbeVideoFile(const std::string& path);

// The timecode of a "HH:MM:SS:FF" text as files and settings write it: ';', '.' or ',' before
// the frames marks drop-frame, which counts at 30 frames a second only. No timecode when the
// text is not a label of the rate.
Timecode ParseFileTimecode(const std::string& text, int fps, bool* dropMarked = nullptr);
