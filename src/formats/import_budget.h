#pragma once

#include <QString>
#include <QtGlobal>

// What a file that comes in may cost before it is refused, counted before and while it is
// read: the file's size, the text it expands to (the parts of a workbook unpacked, each use of
// a shared string), the entries kept for the list and the lines left out. An honest file of
// any of the formats stays far below each; a file built to make the reader run long or take
// the machine's memory passes one early and is refused, naming it. XML arrives without
// declarations in its DTD: editing systems write at most "<!DOCTYPE fcpxml>", and without
// declarations no entity can expand.

enum class ImportLimit {
    None,
    FileSize, // larger than MAX_IMPORT_BYTES
    Text,     // expands to more than MAX_IMPORT_TEXT characters
    Entries,  // more than MAX_IMPORT_ENTRIES rows, events, clips or markers
    LeftOut,  // more than MAX_IMPORT_LEFT_OUT of them that could not be read
    Dtd,      // XML whose document type declares anything (an entity above all)
};

// The largest file taken: a list of 40 rows in any of the formats is far smaller.
constexpr qint64 MAX_IMPORT_BYTES = 16 * 1024 * 1024;
constexpr qint64 MAX_IMPORT_TEXT = 32 * 1024 * 1024;
constexpr int MAX_IMPORT_ENTRIES = 100000;
constexpr int MAX_IMPORT_LEFT_OUT = 10000;

class ImportBudget {
public:
    // Each counts and is false once the budget is passed (now or before).
    bool TakeText(qint64 chars);
    bool TakeEntry();
    bool TakeLeftOut();
    // The file is refused for this reason, whatever else it holds.
    void Refuse(ImportLimit why);

    bool Passed() const { return m_passed != ImportLimit::None; }
    ImportLimit Limit() const { return m_passed; }

private:
    qint64 m_text = 0;
    int m_entries = 0;
    int m_leftOut = 0;
    ImportLimit m_passed = ImportLimit::None;
};

// The box that says which limit refused the file.
QString ImportLimitMessage(ImportLimit limit);
