#include "platform/codepage.h"

#include "platform/codepage_native.h"

namespace {

// The JIS forms of characters the code page holds in their Windows form (see the header).
// Windows would take them only as a best fit, which the native layer turns off.
struct JisForm {
    char16_t jis;
    char16_t windows;
};
constexpr JisForm kJisForms[] = {
    {0x00A2, 0xFFE0}, {0x00A3, 0xFFE1}, {0x00AC, 0xFFE2}, {0x2014, 0x2015},
    {0x2016, 0x2225}, {0x2212, 0xFF0D}, {0x301C, 0xFF5E},
};

char32_t WindowsForm(char32_t c) {
    for (const JisForm& f : kJisForms) {
        if (c == f.jis)
            return f.windows;
    }
    return c;
}

// A best-fit byte exists, but it comes back as another character (see the header).
bool IsRefused(char32_t c) {
    return c == 0x00A5 || c == 0x203E;
}

bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

} // namespace

QByteArray Cp932Encode(const QString& text, bool* complete) {
    QByteArray out;
    out.reserve(text.size() * 2);
    bool all = true;
    const int n = text.size();
    for (int i = 0; i < n; ++i) {
        const QChar ch = text.at(i);
        const char16_t u = ch.unicode();
        if (u < 0x80) {
            out.append(char(u));
            continue;
        }
        char32_t c = u;
        bool encodable = true;
        if (ch.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(ch, text.at(i + 1));
            ++i;
        } else if (ch.isSurrogate()) {
            encodable = false; // a lone surrogate half is no character at all
        }
        c = WindowsForm(c);
        if (!encodable || IsRefused(c) || !NativeCp932EncodeChar(c, &out)) {
            out.append('?');
            all = false;
        }
    }
    if (complete)
        *complete = all;
    return out;
}

QString Cp932Decode(const QByteArray& bytes) {
    QString text;
    text.reserve(bytes.size());
    const int n = bytes.size();
    for (int i = 0; i < n;) {
        const unsigned char b = static_cast<unsigned char>(bytes.at(i));
        if (b < 0x80) {
            text.append(QChar(b));
            ++i;
            continue;
        }
        // A bad pair gives U+FFFD for its lead byte alone, and the byte after it is read for
        // itself: a space or line end after a stray lead byte is never swallowed.
        const int length = IsLeadByte(b) ? 2 : 1;
        char16_t c = 0;
        if (i + length <= n && NativeCp932DecodeChar(bytes.constData() + i, length, &c)) {
            text.append(QChar(c));
            i += length;
        } else {
            text.append(QChar(0xFFFD));
            ++i;
        }
    }
    return text;
}

bool IsCp932Encodable(const QString& text) {
    bool complete = true;
    Cp932Encode(text, &complete);
    return complete;
}
