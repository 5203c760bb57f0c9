#include "platform/codepage_native.h"

#include <windows.h>

// The Win32 conversion functions with code page 932 itself, so the list file and the
// settings file convert exactly as other programs on the same machine convert them.

namespace {

constexpr UINT CP_JAPANESE = 932;

} // namespace

bool NativeCp932EncodeChar(char32_t c, QByteArray* out) {
    if (c > 0xFFFF)
        return false; // every character of the code page lies in the first plane
    const wchar_t unit = wchar_t(c);
    char buf[8];
    BOOL usedDefault = FALSE;
    // Without WC_NO_BEST_FIT_CHARS, a character with no form of its own would be written as
    // a look-alike (U+00A5 as 0x5C) that reads back as another character. What cannot be
    // written comes out as the default character, and lpUsedDefaultChar says so.
    const int length = WideCharToMultiByte(CP_JAPANESE, WC_NO_BEST_FIT_CHARS, &unit, 1, buf,
                                           int(sizeof buf), nullptr, &usedDefault);
    if (length <= 0 || usedDefault)
        return false;
    out->append(buf, length);
    return true;
}

bool NativeCp932DecodeChar(const char* bytes, int length, char16_t* c) {
    wchar_t unit[2];
    // MB_ERR_INVALID_CHARS makes the call fail on bytes that are no character, instead of
    // giving the code page's default character, which could not be told from a real one.
    const int n = MultiByteToWideChar(CP_JAPANESE, MB_ERR_INVALID_CHARS, bytes, length, unit, 2);
    if (n != 1)
        return false;
    *c = char16_t(unit[0]);
    return true;
}
