#pragma once

#include <QString>
#include <QStringList>

// A private-profile (INI) module with the rules the settings file has always been read and
// written by: section and key names match without regard to case; an integer is read as an
// optionally signed decimal prefix, so text that is not a number reads 0; a missing file,
// section or key gives the default; writing a key changes it in place or appends it and
// keeps every other line, key, section and comment; file and section are created when
// missing.

QString ProfileGetString(const QString& section, const QString& key, const QString& def,
                         const QString& iniPath);
int ProfileGetInt(const QString& section, const QString& key, int def, const QString& iniPath);
// Returns true when the file was written.
bool ProfileWriteString(const QString& section, const QString& key, const QString& value,
                        const QString& iniPath);

// The integer rule: leading white space skipped, an optional sign, then decimal digits up to
// the first other character; no digits read 0. Digits beyond the range of 32 bits wrap
// modulo 2^32, as the Windows profile functions' own conversion does, so "4294967297" reads
// 1 and "2147483648" reads -2147483648.
int ProfileParseInt(const QString& text);

// One profile file held in memory, for reading or changing several keys with one read and
// one write. The free functions above are each one Load and, for writing, one Save.
class ProfileFile {
public:
    // Reads the file. A missing file is an empty profile (true); a file that exists but
    // cannot be read is also empty but returns false, and Save then refuses to replace it.
    bool Load(const QString& path);

    // The value with surrounding white space removed, and one pair of matching surrounding
    // quotes (double or single); def when the key is missing.
    QString GetString(const QString& section, const QString& key, const QString& def) const;
    // def when the key is missing or its value is empty; otherwise ProfileParseInt.
    int GetInt(const QString& section, const QString& key, int def) const;

    // Changes the key's value where it stands, keeping the key's spelling and the spacing
    // around "=", or appends "key=value" after the last line of its section; a missing
    // section is appended at the end of the file. Line breaks in the value become spaces,
    // since a value cannot hold them.
    void WriteString(const QString& section, const QString& key, const QString& value);

    // Writes the whole file through a temporary file beside it that is renamed over it, so
    // the old file stays whole when anything fails. Keeps the line-end style (CR LF or LF)
    // and the encoding the file was read in: UTF-8 (with its byte-order mark if it had one)
    // or code page 932. New files are UTF-8 with CR LF. A code page 932 file that is given a
    // value it cannot hold is written as UTF-8 instead, so no character is lost.
    bool Save() const;

private:
    struct KeyLine {
        int index = -1; // line index, -1 when missing
        int valueStart = 0;
    };
    KeyLine FindKey(const QString& section, const QString& key) const;
    int FindSection(const QString& section) const;
    int SectionEnd(int headerIndex) const;

    QString m_path;
    QStringList m_lines;
    bool m_readable = true;
    bool m_crlf = true;
    bool m_cp932 = false;
    bool m_bom = false;
    bool m_finalNewline = true;
};
