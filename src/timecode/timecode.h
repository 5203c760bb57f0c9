#pragma once

#include <string_view>

// The range test of a cell's text at a list rate (24, 25 or 30 frames a second): four numbers
// read as "%d:%d:%d:%d" reads them, hours 0 to 23, minutes and seconds 0 to 59, frames below
// fps. Labels that drop-frame skips pass: a cell may hold them. The counting itself, at every
// rate, drop-frame or non-drop, is in timecode_rate.h and the Timecode value.
bool IsTimecodeTextAt(std::string_view text, int fps);
