#include "timecode/timecode_scan.h"

#include <climits>

namespace {

// The white space of the C locale, which is what the formatted scan skips.
bool IsScanSpace(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// One "%d" conversion starting at *p. On success advances *p past the number.
bool ScanInt(const char** p, int* value) {
    const char* s = *p;
    while (IsScanSpace(*s))
        ++s;
    bool negative = false;
    if (*s == '+' || *s == '-') {
        negative = *s == '-';
        ++s;
    }
    if (!IsDigit(*s))
        return false;
    // Accumulated as a magnitude in 64 bits and checked digit by digit, so that a hand-typed
    // run of digits of any length can never overflow; leading zeros cost nothing.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; IsDigit(*s); ++s) {
        magnitude = magnitude * 10 + (*s - '0');
        if (magnitude > limit)
            return false;
    }
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    *p = s;
    return true;
}

} // namespace

int ScanTimecodeFields(const char* text, int fields[4]) {
    if (text == nullptr)
        return 0;
    const char* p = text;
    int read = 0;
    while (read < 4) {
        if (read > 0) {
            // The colon must follow the previous number at once: the scan skips white space
            // before numbers only, never before the separators.
            if (*p != ':')
                break;
            ++p;
        }
        int value = 0;
        if (!ScanInt(&p, &value))
            break;
        fields[read++] = value;
    }
    return read;
}
