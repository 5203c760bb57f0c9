#include "platform/codepage_native.h"

#include <QString>

#include <iconv.h>

// The conversion is glibc's iconv "CP932" module, part of every glibc installation (gconv),
// which carries the Microsoft table. Qt's converters are no substitute: they know this code
// page only when Qt was built with ICU, and ICU's "windows-31j" swaps the control codes
// 0x1A, 0x1C and 0x7F. Should the module be missing, only ASCII converts: other characters
// count as not encodable and other bytes decode as U+FFFD.

namespace {

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
    const IconvHandle& cd = Encoder();
    if (!cd.valid())
        return false;
    const QByteArray utf8 = QString::fromUcs4(&c, 1).toUtf8();
    char buf[8];
    size_t length = sizeof buf;
    if (!cd.Convert(utf8.constData(), size_t(utf8.size()), buf, &length))
        return false;
    out->append(buf, qsizetype(length));
    return true;
}

bool NativeCp932DecodeChar(const char* bytes, int length, char16_t* c) {
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
