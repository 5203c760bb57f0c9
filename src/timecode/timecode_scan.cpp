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

// The character at i, or a zero byte past the end: the scan reads the text as C does.
char At(std::string_view text, size_t i) {
    return i < text.size() ? text[i] : '\0';
}

// One "%d" conversion starting at *p. On success advances *p past the number.
bool ScanInt(std::string_view text, size_t* p, int* value) {
    size_t s = *p;
    while (IsScanSpace(At(text, s)))
        ++s;
    bool negative = false;
    if (At(text, s) == '+' || At(text, s) == '-') {
        negative = At(text, s) == '-';
        ++s;
    }
    if (!IsDigit(At(text, s)))
        return false;
    // Accumulated as a magnitude in 64 bits and checked digit by digit, so that a hand-typed
    // run of digits of any length can never overflow; leading zeros cost nothing.
    const long long limit = negative ? -static_cast<long long>(INT_MIN) : INT_MAX;
    long long magnitude = 0;
    for (; IsDigit(At(text, s)); ++s) {
        magnitude = magnitude * 10 + (At(text, s) - '0');
        if (magnitude > limit)
            return false;
    }
    *value = static_cast<int>(negative ? -magnitude : magnitude);
    *p = s;
    return true;
}

} // namespace

int ScanTimecodeFields(const char* text, int fields[4]) {
    return text == nullptr ? 0 : ScanTimecodeFields(std::string_view(text), fields);
}

int ScanTimecodeFields(std::string_view text, int fields[4]) {
    size_t p = 0;
    int read = 0;
    while (read < 4) {
        if (read > 0) {
            // The colon must follow the previous number at once: the scan skips white space
            // before numbers only, never before the separators.
            if (At(text, p) != ':')
                break;
            ++p;
        }
        int value = 0;
        if (!ScanInt(text, &p, &value))
            break;
        fields[read++] = value;
    }
    return read;
}
