#include "persist/profile.h"

#include "platform/codepage.h"
#include "platform/replace_file.h"

#include <QFile>
#include <QStringDecoder>

#include <cstdint>

namespace {

// A settings file is a few hundred bytes; anything far larger is not one, and reading it
// whole could exhaust memory. Such a file is treated like an unreadable one.
constexpr qint64 MAX_PROFILE_BYTES = 16 * 1024 * 1024;

const QByteArray UTF8_BOM = QByteArrayLiteral("\xEF\xBB\xBF");

bool IsAscii(const QByteArray& bytes) {
    for (char b : bytes) {
        if (static_cast<unsigned char>(b) >= 0x80)
            return false;
    }
    return true;
}

int SkipSpace(const QString& s, int i) {
    while (i < s.size() && s.at(i).isSpace())
        ++i;
    return i;
}

QString StripQuotes(const QString& value) {
    if (value.size() >= 2) {
        const QChar q = value.front();
        if ((q == QLatin1Char('"') || q == QLatin1Char('\'')) && value.back() == q)
            return value.mid(1, value.size() - 2);
    }
    return value;
}

bool SameName(const QString& a, const QString& b) {
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// Section header: the first non-blank character is '['; the name runs to ']' or to the end.
bool SectionName(const QString& line, QString* name) {
    const int i = SkipSpace(line, 0);
    if (i >= line.size() || line.at(i) != QLatin1Char('['))
        return false;
    const int close = line.indexOf(QLatin1Char(']'), i + 1);
    *name = line.mid(i + 1, close < 0 ? -1 : close - i - 1).trimmed();
    return true;
}

// Key line: not a section, not a ';' comment, and holding '='. Gives the key and the index
// where the value starts (after '=' and the blanks that follow it).
bool KeyName(const QString& line, QString* key, int* valueStart) {
    const int i = SkipSpace(line, 0);
    if (i >= line.size() || line.at(i) == QLatin1Char('[') || line.at(i) == QLatin1Char(';'))
        return false;
    const int eq = line.indexOf(QLatin1Char('='), i);
    if (eq < 0)
        return false;
    *key = line.mid(i, eq - i).trimmed();
    *valueStart = SkipSpace(line, eq + 1);
    return true;
}

bool IsBlank(const QString& line) {
    return SkipSpace(line, 0) == line.size();
}

} // namespace

int ProfileParseInt(const QString& text) {
    int i = SkipSpace(text, 0);
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    // Unsigned arithmetic wraps by definition, so an overlong number is no undefined
    // behaviour; the result is the low 32 bits, as the Windows conversion gives.
    std::uint32_t value = 0;
    for (; i < text.size(); ++i) {
        const char16_t c = text.at(i).unicode();
        if (c < u'0' || c > u'9')
            break;
        value = value * 10u + std::uint32_t(c - u'0');
    }
    if (negative)
        value = 0u - value;
    return static_cast<std::int32_t>(value); // two's complement, modulo 2^32
}

bool ProfileFile::Load(const QString& path) {
    m_path = path;
    m_lines.clear();
    m_readable = true;
    m_crlf = true;
    m_encoding = Encoding::Ascii;
    m_bom = false;

    QFile file(path);
    if (!file.exists())
        return true;
    if (!file.open(QIODevice::ReadOnly) || file.size() > MAX_PROFILE_BYTES) {
        m_readable = false;
        return false;
    }
    QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        m_readable = false;
        return false;
    }

    if (bytes.startsWith(UTF8_BOM)) {
        m_bom = true;
        bytes.remove(0, 3);
    }
    if (m_bom || !IsAscii(bytes)) {
        QStringDecoder utf8(QStringDecoder::Utf8);
        const QString decoded = utf8.decode(bytes); // lazy: nothing is checked until used
        // Not UTF-8: a file written by the ANSI profile functions of Japanese Windows.
        m_encoding = utf8.hasError() ? Encoding::Cp932 : Encoding::Utf8;
    }

    // Split on the bytes: neither encoding has 0x0A or 0x0D inside a character.
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        Line line;
        line.raw = bytes.mid(start, end - start);
        QByteArray content = line.raw;
        if (content.endsWith('\n'))
            content.chop(1);
        if (content.endsWith('\r'))
            content.chop(1);
        if (start == 0 && line.raw.endsWith('\n'))
            m_crlf = line.raw.endsWith("\r\n");
        line.text =
            m_encoding == Encoding::Cp932 ? Cp932Decode(content) : QString::fromUtf8(content);
        m_lines.append(line);
        start = end;
    }
    return true;
}

int ProfileFile::FindSection(const QString& section) const {
    QString name;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (SectionName(m_lines.at(i).text, &name) && SameName(name, section))
            return i;
    }
    return -1;
}

int ProfileFile::SectionEnd(int headerIndex) const {
    QString name;
    int i = headerIndex + 1;
    while (i < m_lines.size() && !SectionName(m_lines.at(i).text, &name))
        ++i;
    return i;
}

// Only in the first section of the name: a later one is never consulted, so a value
// written there would be lost to every reader.
ProfileFile::KeyLine ProfileFile::FindKey(const QString& section, const QString& key) const {
    const int header = FindSection(section);
    if (header < 0)
        return KeyLine{};
    const int end = SectionEnd(header);
    QString name;
    int valueStart = 0;
    for (int i = header + 1; i < end; ++i) {
        if (KeyName(m_lines.at(i).text, &name, &valueStart) && SameName(name, key))
            return KeyLine{i, valueStart};
    }
    return KeyLine{};
}

QString ProfileFile::GetString(const QString& section, const QString& key,
                               const QString& def) const {
    const KeyLine k = FindKey(section, key);
    if (k.index < 0)
        return def;
    return StripQuotes(m_lines.at(k.index).text.mid(k.valueStart).trimmed());
}

int ProfileFile::GetInt(const QString& section, const QString& key, int def) const {
    const QString value = GetString(section, key, QString());
    // An empty value gives the default, as the Windows function does.
    if (value.isEmpty())
        return def;
    return ProfileParseInt(value);
}

void ProfileFile::WriteString(const QString& section, const QString& key, const QString& value) {
    QString v = value;
    v.replace(QLatin1Char('\r'), QLatin1Char(' '));
    v.replace(QLatin1Char('\n'), QLatin1Char(' '));

    const KeyLine k = FindKey(section, key);
    if (k.index >= 0) {
        Line& line = m_lines[k.index];
        // A value read and written back unchanged keeps its bytes, even those that do not
        // decode and would not survive being encoded again.
        if (StripQuotes(line.text.mid(k.valueStart).trimmed()) == v)
            return;
        line.text = line.text.left(k.valueStart) + v;
        line.raw.clear();
        return;
    }
    const Line line{key + QLatin1Char('=') + v, QByteArray()};
    const int header = FindSection(section);
    if (header >= 0) {
        // After the section's last non-blank line, so a blank line that parts it from the
        // next section stays where it is.
        int at = SectionEnd(header);
        while (at > header + 1 && IsBlank(m_lines.at(at - 1).text))
            --at;
        m_lines.insert(at, line);
        return;
    }
    if (!m_lines.isEmpty() && !IsBlank(m_lines.back().text))
        m_lines.append(Line{});
    m_lines.append(Line{QLatin1Char('[') + section + QLatin1Char(']'), QByteArray()});
    m_lines.append(line);
}

bool ProfileFile::Save() const {
    if (!m_readable)
        return false; // never replace a file whose content we could not see

    Encoding encoding = m_encoding;
    if (encoding == Encoding::Ascii) {
        bool fits = true;
        for (const Line& line : m_lines) {
            if (line.raw.isEmpty() && !IsCp932Encodable(line.text))
                fits = false;
        }
        encoding = fits ? Encoding::Cp932 : Encoding::Utf8;
    }

    const QByteArray eol = m_crlf ? "\r\n" : "\n";
    QByteArray bytes;
    if (m_bom)
        bytes = UTF8_BOM;
    for (const Line& line : m_lines) {
        if (line.raw.isEmpty()) {
            bytes += encoding == Encoding::Cp932 ? Cp932Encode(line.text) : line.text.toUtf8();
            bytes += eol;
        } else {
            bytes += line.raw;
            if (!line.raw.endsWith('\n'))
                bytes += eol; // the last line, now followed by others or ending the file
        }
    }
    return ReplaceFileContent(m_path, bytes);
}

QString ProfileGetString(const QString& section, const QString& key, const QString& def,
                         const QString& iniPath) {
    ProfileFile file;
    file.Load(iniPath);
    return file.GetString(section, key, def);
}

int ProfileGetInt(const QString& section, const QString& key, int def, const QString& iniPath) {
    ProfileFile file;
    file.Load(iniPath);
    return file.GetInt(section, key, def);
}

bool ProfileWriteString(const QString& section, const QString& key, const QString& value,
                        const QString& iniPath) {
    ProfileFile file;
    if (!file.Load(iniPath))
        return false;
    file.WriteString(section, key, value);
    return file.Save();
}
