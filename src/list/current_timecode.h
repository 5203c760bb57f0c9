#pragma once

#include <QString>

// The last polled timecode, eight characters HHMMSSFF, as the list shows it: HH:MM:SS:FF.
// The buffer is a C string: a poll that has cleared it and not yet filled it gives fewer
// characters, and the text stops where the buffer does, so an empty buffer gives "".
QString CurrentTimecodeText(const char* szTimecode);
