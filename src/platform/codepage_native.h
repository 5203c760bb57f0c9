#pragma once

#include <QByteArray>

// The one-character conversions each system supplies for codepage.cpp, which handles
// ASCII, surrogate pairs, the JIS forms and what no system may encode.

// Appends the bytes of one character (not ASCII, not a surrogate half); false when the
// code page has no form of its own for it.
bool NativeCp932EncodeChar(char32_t c, QByteArray* out);

// Decodes one character of length bytes (one, or a lead byte and its trail byte); false when
// the bytes are no character.
bool NativeCp932DecodeChar(const char* bytes, int length, char16_t* c);
