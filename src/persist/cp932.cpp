#include "persist/cp932.h"

#include <cerrno>
#include <iconv.h>

// The conversion is glibc's iconv "CP932" module, part of every glibc installation (gconv),
// which carries the Microsoft table including the JIS-to-Windows mappings of the wave dash
// and its relatives. Qt's converters are no substitute: they know this code page only when
// Qt was built with ICU, and ICU's "windows-31j" refuses those JIS forms and swaps the
// control codes 0x1A, 0x1C and 0x7F. Should the module be missing, only ASCII converts:
// other characters count as not encodable and other bytes decode as U+FFFD. A Windows build
// would use WideCharToMultiByte / MultiByteToWideChar with code page 932 instead.

namespace {

// Characters that are refused although a best-fit byte exists: the byte would come back as
// another character (see the header).
bool IsRefused(char32_t c) {
    return c == 0x00A5 || c == 0x203E;
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
    iconv_t get() const { return m_cd; }
    void reset() const { iconv(m_cd, nullptr, nullptr, nullptr, nullptr); }

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

// Encodes one character (not ASCII, not a surrogate half). Returns false when it has no
// code page 932 form.
bool EncodeChar(char32_t c, QByteArray* out) {
    if (IsRefused(c))
        return false;
    const IconvHandle& cd = Encoder();
    if (!cd.valid())
        return false;
    const QByteArray utf8 = QString::fromUcs4(&c, 1).toUtf8();
    char buf[8];
    char* in = const_cast<char*>(utf8.constData());
    size_t inLeft = size_t(utf8.size());
    char* outPtr = buf;
    size_t outLeft = sizeof buf;
    cd.reset();
    if (iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft) == size_t(-1) || inLeft != 0)
        return false;
    out->append(buf, int(outPtr - buf));
    return true;
}

void AppendReplacement(QByteArray* utf8) {
    utf8->append("\xEF\xBF\xBD");
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
        if (ch.isHighSurrogate() && i + 1 < n && text.at(i + 1).isLowSurrogate()) {
            c = QChar::surrogateToUcs4(ch, text.at(i + 1));
            ++i;
        } else if (ch.isSurrogate()) {
            c = 0xFFFD; // a lone surrogate half is no character at all
        }
        if (!EncodeChar(c, &out)) {
            out.append('?');
            all = false;
        }
    }
    if (complete)
        *complete = all;
    return out;
}

QString Cp932Decode(const QByteArray& bytes) {
    bool ascii = true;
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80) {
            ascii = false;
            break;
        }
    }
    if (ascii)
        return QString::fromLatin1(bytes);

    const IconvHandle& cd = Decoder();
    if (!cd.valid()) {
        QString s;
        for (char b : bytes)
            s.append(static_cast<unsigned char>(b) < 0x80 ? QChar(b) : QChar(0xFFFD));
        return s;
    }

    // A code page 932 character takes at most two bytes and never more than three bytes of
    // UTF-8, plus the three of U+FFFD for a bad byte: twice the input and a little is enough.
    QByteArray utf8;
    utf8.resize(bytes.size() * 2 + 16);
    char* in = const_cast<char*>(bytes.constData());
    size_t inLeft = size_t(bytes.size());
    char* outPtr = utf8.data();
    size_t outLeft = size_t(utf8.size());
    cd.reset();
    while (inLeft > 0) {
        if (iconv(cd.get(), &in, &inLeft, &outPtr, &outLeft) != size_t(-1))
            break;
        if (errno == E2BIG) {
            const qsizetype used = outPtr - utf8.data();
            utf8.resize(utf8.size() * 2);
            outPtr = utf8.data() + used;
            outLeft = size_t(utf8.size() - used);
            continue;
        }
        // EILSEQ (a byte that starts no character, or a lead byte whose trail byte is not
        // one) or EINVAL (a lead byte at the end): replace that one byte and go on, so the
        // byte after a bad lead byte is read for itself, as Windows does.
        const qsizetype used = outPtr - utf8.data();
        utf8.truncate(used);
        AppendReplacement(&utf8);
        utf8.resize(utf8.size() + qsizetype(inLeft) * 2 + 16);
        outPtr = utf8.data() + used + 3;
        outLeft = size_t(utf8.size() - used - 3);
        ++in;
        --inLeft;
        cd.reset();
    }
    utf8.truncate(outPtr - utf8.data());
    return QString::fromUtf8(utf8);
}

bool IsCp932Encodable(const QString& text) {
    bool complete = true;
    Cp932Encode(text, &complete);
    return complete;
}
