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
    m_cp932 = false;
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

    if (bytes.startsWith("\xEF\xBB\xBF")) {
        m_bom = true;
        bytes.remove(0, 3);
    }
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(bytes);
    if (utf8.hasError()) {
        // Not UTF-8: a file written by the ANSI profile functions of Japanese Windows.
        text = Cp932Decode(bytes);
        m_cp932 = true;
        m_bom = false;
    }

    const int firstNewline = text.indexOf(QLatin1Char('\n'));
    m_crlf =
        firstNewline < 0 || (firstNewline > 0 && text.at(firstNewline - 1) == QLatin1Char('\r'));
    m_lines = text.split(QLatin1Char('\n'));
    if (!m_lines.isEmpty() && m_lines.back().isEmpty())
        m_lines.removeLast(); // the line end of the last line
    for (QString& line : m_lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return true;
}

int ProfileFile::FindSection(const QString& section) const {
    QString name;
    for (int i = 0; i < m_lines.size(); ++i) {
        if (SectionName(m_lines.at(i), &name) && SameName(name, section))
            return i;
    }
    return -1;
}

int ProfileFile::SectionEnd(int headerIndex) const {
    QString name;
    int i = headerIndex + 1;
    while (i < m_lines.size() && !SectionName(m_lines.at(i), &name))
        ++i;
    return i;
}

ProfileFile::KeyLine ProfileFile::FindKey(const QString& section, const QString& key) const {
    bool inSection = false;
    QString name;
    int valueStart = 0;
    for (int i = 0; i < m_lines.size(); ++i) {
        const QString& line = m_lines.at(i);
        if (SectionName(line, &name)) {
            inSection = SameName(name, section);
        } else if (inSection && KeyName(line, &name, &valueStart) && SameName(name, key)) {
            return KeyLine{i, valueStart};
        }
    }
    return KeyLine{};
}

QString ProfileFile::GetString(const QString& section, const QString& key,
                               const QString& def) const {
    const KeyLine k = FindKey(section, key);
    if (k.index < 0)
        return def;
    return StripQuotes(m_lines.at(k.index).mid(k.valueStart).trimmed());
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
        m_lines[k.index] = m_lines.at(k.index).left(k.valueStart) + v;
        return;
    }
    const QString line = key + QLatin1Char('=') + v;
    const int header = FindSection(section);
    if (header >= 0) {
        // After the section's last non-blank line, so a blank line that parts it from the
        // next section stays where it is.
        int at = SectionEnd(header);
        while (at > header + 1 && IsBlank(m_lines.at(at - 1)))
            --at;
        m_lines.insert(at, line);
        return;
    }
    if (!m_lines.isEmpty() && !IsBlank(m_lines.back()))
        m_lines.append(QString());
    m_lines.append(QLatin1Char('[') + section + QLatin1Char(']'));
    m_lines.append(line);
}

bool ProfileFile::Save() const {
    if (!m_readable)
        return false; // never replace a file whose content we could not see

    const QString eol = m_crlf ? QStringLiteral("\r\n") : QStringLiteral("\n");
    QString text;
    for (const QString& line : m_lines)
        text += line + eol;

    QByteArray bytes;
    bool complete = false;
    if (m_cp932)
        bytes = Cp932Encode(text, &complete);
    if (!m_cp932 || !complete) {
        bytes = text.toUtf8();
        if (m_bom)
            bytes.prepend("\xEF\xBB\xBF");
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
