#pragma once

// Timecode arithmetic at 30 frames per second, drop-frame or non-drop. C-compatible so
// that any program can link it.
#ifdef __cplusplus
extern "C" {
#endif

void TimecodeToFrames(int* count, int hours, int minutes, int seconds, int frames, int drop);
void FramesToTimecode(int* hours, int* minutes, int* seconds, int* frames, int count, int drop);
int IsValidTimecodeText(const char* text);

#ifdef __cplusplus
}
#endif
