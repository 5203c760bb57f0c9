#pragma once

#include "formats/export_spots.h"
#include "formats/list_import.h"

#include <QString>

#include <vector>

struct ImportRead;

using ExportBuilder = ExportBuild (*)(const QVector<ListRowText>& rows, const QString& title,
                                      TimecodeRate rate);
using ImportReader = ImportRead (*)(const QByteArray& bytes, TimecodeRate rate);

// What a row of the list becomes in a format; a format of rows keeps every row that holds
// anything, the others leave out the rows that can become no such entry.
enum class ExportEntry { Row, Event, Clip, Marker };

// One format the list goes out to and, where it can, comes back from: a row is all a new
// export needs besides its own files (one that is read back is also told by its content, in
// ImportFormatOf). The list's context menu, the save and open dialogs' filters and the
// converter's options are all built from these rows.
struct InterchangeFormat {
    int commandId;          // its item in the list's context menu
    const char* menuText;   // UTF-8; the save dialog's title is the same without the dots
    const char* extension;  // without the dot
    const char* filterName; // the dialogs' name of its files: "CSV Files"
    const char* nameSuffix; // after the list's name in the file proposed for it
    const char* option;     // the converter's option, without the dashes
    const char* help;       // the converter's --help about the option, one paragraph (translated)
    ExportEntry entry;      // what a row becomes, and so whether rows can be left out
    ExportBuilder build;    // given the list file's name as title ("Tarnwick" without one)
    // What a file of it is read as, and by which reader; Unknown and null when it is not
    // read back. The open dialog offers the extensions of the formats that are.
    ImportFormat readsAs;
    ImportReader read;
};

// Every format, in the order of the list's context menu.
const std::vector<InterchangeFormat>& InterchangeFormats();

// The format of a converter's option ("csv"); null for none.
const InterchangeFormat* InterchangeFormatOfOption(const QString& option);

// The reader of a format found in a file; null when no row reads it.
ImportReader InterchangeReader(ImportFormat format);
