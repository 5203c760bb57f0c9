#pragma once

#include <string_view>

// Reads up to four integers from text the way "%d:%d:%d:%d" does: white space before each
// number is skipped, a number is an optionally signed run of decimal digits, the numbers are
// separated by single colons, and whatever follows the fourth number is ignored. Stores the
// numbers read into fields and returns how many were read (0 to 4); a null text reads none.
// A number that does not fit in an int counts as not read, and reading stops there. The text
// ends at its end or at a zero byte, whichever comes first.
int ScanTimecodeFields(std::string_view text, int fields[4]);
int ScanTimecodeFields(const char* text, int fields[4]);
