#pragma once

#include <QByteArray>
#include <QString>

// Code page 932 (Shift_JIS with the Microsoft extensions: NEC special characters, the IBM
// extensions, user-defined characters in F040-F9FC), the encoding of the list file and of
// settings files written on Japanese Windows.
//
// Mapping notes:
// - Bytes decode as Windows decodes them: 0x5C is the backslash, 0x7E the tilde, 0x8160 the
//   full-width tilde U+FF5E, 0x817C U+FF0D, 0x8161 U+2225, 0x815C U+2015; the single bytes
//   0x80, 0xA0, 0xFD, 0xFE and 0xFF are U+0080 and U+F8F0 to U+F8F3, and encode back.
// - The JIS forms that input methods on other systems produce for the same characters
//   (wave dash U+301C, minus U+2212, double vertical line U+2016, em dash U+2014, and the
//   Latin-1 cent, pound and not signs) encode to those same bytes; they come back in the
//   Windows form, which looks the same to a Japanese reader.
// - The half-width yen sign U+00A5 and the overline U+203E count as not encodable: their
//   only bytes are 0x5C and 0x7E, which come back as backslash and tilde, a visible change.
//   The full-width yen sign U+FFE5 is 0x818F and round-trips.
// - NEC-selected IBM extensions (ED40-EEFC) decode to the same characters as the IBM
//   extensions (FA40-FC4B), which is what they encode back to, as on Windows.
// - U+FEFF (the byte-order mark) has no form, like any other character the table lacks.

// Encodes text. Characters that have no code page 932 form are written as '?'; *complete
// (optional) tells whether every character was encodable.
QByteArray Cp932Encode(const QString& text, bool* complete = nullptr);

// Decodes bytes. A lead byte that starts no character with the byte after it (or ends the
// bytes) becomes U+FFFD and decoding goes on with the next byte, so malformed input never
// stops or swallows the rest of the text.
QString Cp932Decode(const QByteArray& bytes);

// True when every character of the text can be stored in a code page 932 file.
bool IsCp932Encodable(const QString& text);
