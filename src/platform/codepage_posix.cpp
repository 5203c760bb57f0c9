#include "platform/codepage_native.h"

#include <QString>

#include <iconv.h>

// The conversion is glibc's iconv "CP932" module, part of every glibc installation (gconv),
// which carries the Microsoft table. Qt's converters are no substitute: they know this code
// page only when Qt was built with ICU, and ICU's "windows-31j" swaps the control codes
// 0x1A, 0x1C and 0x7F. Should the module be missing, only ASCII and the single bytes below
// convert: other characters count as not encodable and other bytes decode as U+FFFD.

namespace {

// Single bytes the published table leaves undefined, which Windows nevertheless reads and
// writes: 0x80 as U+0080, and 0xA0, 0xFD to 0xFF as private-use characters. glibc refuses
// them, so an old file holding one would lose it on the next save.
struct SingleByte {
    unsigned char byte;
    char16_t c;
};
constexpr SingleByte kWindowsSingleBytes[] = {
    {0x80, 0x0080}, {0xA0, 0xF8F0}, {0xFD, 0xF8F1}, {0xFE, 0xF8F2}, {0xFF, 0xF8F3},
};

// By hand: QString::fromUcs4 takes a leading U+FEFF for a byte-order mark and drops it, and
// the character would then count as written while nothing was.
QByteArray Utf8(char32_t c) {
    QByteArray out;
    if (c < 0x800) {
        out.append(char(0xC0 | (c >> 6)));
    } else if (c < 0x10000) {
        out.append(char(0xE0 | (c >> 12)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
    } else {
        out.append(char(0xF0 | (c >> 18)));
        out.append(char(0x80 | ((c >> 12) & 0x3F)));
        out.append(char(0x80 | ((c >> 6) & 0x3F)));
    }
    out.append(char(0x80 | (c & 0x3F)));
    return out;
}

class IconvHandle {
public:
    IconvHandle(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~IconvHandle() {
        if (valid())
            iconv_close(m_cd);
    }
    IconvHandle(const IconvHandle&) = delete;
    IconvHandle& operator=(const IconvHandle&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts the whole input into out; false unless every byte of it converted.
    bool Convert(const char* in, size_t inLength, char* out, size_t* outLength) const {
        iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
        char* inPtr = const_cast<char*>(in);
        char* outPtr = out;
        size_t outLeft = *outLength;
        if (iconv(m_cd, &inPtr, &inLength, &outPtr, &outLeft) == size_t(-1) || inLength != 0)
            return false;
        *outLength = size_t(outPtr - out);
        return true;
    }

private:
    iconv_t m_cd;
};

// One handle per direction and thread, opened on first use.
const IconvHandle& Encoder() {
    thread_local IconvHandle handle("CP932", "UTF-8");
    return handle;
}
const IconvHandle& Decoder() {
    thread_local IconvHandle handle("UTF-8", "CP932");
    return handle;
}

} // namespace

bool NativeCp932EncodeChar(char32_t c, QByteArray* out) {
    for (const SingleByte& s : kWindowsSingleBytes) {
        if (c == s.c) {
            out->append(char(s.byte));
            return true;
        }
    }
    const IconvHandle& cd = Encoder();
    if (!cd.valid())
        return false;
    const QByteArray utf8 = Utf8(c);
    char buf[8];
    size_t length = sizeof buf;
    if (!cd.Convert(utf8.constData(), size_t(utf8.size()), buf, &length))
        return false;
    out->append(buf, qsizetype(length));
    return true;
}

bool NativeCp932DecodeChar(const char* bytes, int length, char16_t* c) {
    for (const SingleByte& s : kWindowsSingleBytes) {
        if (length == 1 && static_cast<unsigned char>(bytes[0]) == s.byte) {
            *c = s.c;
            return true;
        }
    }
    const IconvHandle& cd = Decoder();
    if (!cd.valid())
        return false;
    char buf[8];
    size_t outLength = sizeof buf;
    if (!cd.Convert(bytes, size_t(length), buf, &outLength))
        return false;
    const QString text = QString::fromUtf8(buf, qsizetype(outLength));
    if (text.size() != 1)
        return false;
    *c = text.at(0).unicode();
    return true;
}
