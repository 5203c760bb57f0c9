#pragma once

#include <QByteArray>
#include <QString>
#include <QVector>

// A private-profile (INI) module with the rules the settings file has always been read and
// written by: section and key names match without regard to case; of two sections with one
// name only the first counts, for reading and for writing; an integer is read as an
// optionally signed decimal prefix, so text that is not a number reads 0; a missing file,
// section or key gives the default; writing a key changes it in place or appends it and
// keeps every other line, key, section and comment byte for byte; file and section are
// created when missing.

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
    // section is appended at the end of the file. A key that already reads as the value
    // keeps its line as it was. Line breaks in the value become spaces, since a value
    // cannot hold them.
    void WriteString(const QString& section, const QString& key, const QString& value);

    // Writes the whole file through ReplaceFileContent, so the old file stays whole when
    // anything fails. Lines not changed are written back exactly as read, bytes that do not
    // decode and their own line ends included; changed and new lines take the line-end
    // style of the file's first line (CR LF for a new file) and the file's encoding:
    // - UTF-8 for a file that is UTF-8 already (its byte-order mark kept);
    // - code page 932 for a code page 932 file, a character it cannot hold written as '?',
    //   as the ANSI profile functions of Windows receive it: turning the file into UTF-8
    //   would make every other Japanese value in it unreadable there;
    // - for a new or ASCII-only file, code page 932 when the changed lines fit it, else
    //   UTF-8.
    bool Save() const;

private:
    struct KeyLine {
        int index = -1; // line index, -1 when missing
        int valueStart = 0;
    };
    KeyLine FindKey(const QString& section, const QString& key) const;
    int FindSection(const QString& section) const;
    int SectionEnd(int headerIndex) const;

    enum class Encoding { Ascii, Cp932, Utf8 };
    struct Line {
        QString text;   // without its line end
        QByteArray raw; // as read, line end included; empty once changed, and for new lines
    };

    QString m_path;
    QVector<Line> m_lines;
    bool m_readable = true;
    bool m_crlf = true;
    Encoding m_encoding = Encoding::Ascii;
    bool m_bom = false;
};
