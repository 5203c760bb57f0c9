#pragma once

// Timecode arithmetic at 30 frames per second, drop-frame (drop nonzero) or non-drop, on
// separate fields. C-compatible so that any program can link it; the rest of the program
// counts through timecode_rate.h and the Timecode value (timecode_value.h).
#ifdef __cplusplus
extern "C" {
#endif

void TimecodeToFrames(int* count, int hours, int minutes, int seconds, int frames, int drop);
void FramesToTimecode(int* hours, int* minutes, int* seconds, int* frames, int count, int drop);
int IsValidTimecodeText(const char* text);

#ifdef __cplusplus
}

// The range test of a cell's text at a rate: four numbers read as "%d:%d:%d:%d" reads them,
// hours 0 to 23, minutes and seconds 0 to 59, frames below fps. Labels that drop-frame skips
// pass: a cell may hold them.
bool IsTimecodeTextAt(const char* text, int fps);
#endif
