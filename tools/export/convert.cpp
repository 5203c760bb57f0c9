#include "convert.h"

#include "formats/interchange_formats.h"
#include "list/spot_list.h"
#include "persist/list_file.h"
#include "persist/list_read_notes.h"

#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStringList>

#include <algorithm>

namespace {

// The decoders give U+FFFD for every byte that starts no character; neither code page 932
// nor a list file written by this program holds that character, so each one marks a bad
// byte. (A UTF-8 file may hold U+FFFD itself; it is then counted as bad too.)
bool HasUndecodableBytes(const QVector<ListRowText>& rows) {
    const QChar bad(QChar::ReplacementCharacter);
    for (const ListRowText& row : rows) {
        if (row.spNo.contains(bad) || row.in.contains(bad) || row.out.contains(bad) ||
            row.remark.contains(bad))
            return true;
    }
    return false;
}

} // namespace

ConversionResult ConvertListFile(const QString& input, const InterchangeFormat& format,
                                 TimecodeRate asked, bool rateGiven) {
    ConversionResult result;
    QByteArray bytes;
    if (const FileFault fault = ReadListFileBytes(input, &bytes); fault != FileFault::None) {
        result.error = fault == FileFault::TooLarge ? ListTooLargeNote()
                       : fault == FileFault::NotRegular
                           ? QStringLiteral("not a plain file (a FIFO, a device or a folder)")
                           : QStringLiteral("cannot be read");
        return result;
    }
    const ListFileContents contents = ReadListFile(bytes, 0);
    if (contents.rateMarked && rateGiven && contents.fps != asked.fps) {
        result.error = QStringLiteral("counts %1 frames a second, not the %2 of --rate")
                           .arg(contents.fps)
                           .arg(asked.fps);
        return result;
    }
    // Read as Open reads it into the window's list, at the file's own rate when it says one,
    // durations computed again.
    SpotList list([asked] { return CountingRules{0, asked.drop}; });
    list.LoadRows(contents.dataRows, contents.rows, contents.rateMarked ? contents.fps : asked.fps);
    const TimecodeRate rate = list.Rate();
    const QVector<ListRowText> rows = list.Rows();

    result.notes << ListReadNotes(contents);
    if (HasUndecodableBytes(rows)) {
        result.notes << (contents.encoding == ListEncoding::Utf8
                             ? QStringLiteral("bytes that are not UTF-8 shown as U+FFFD")
                             : QStringLiteral("bytes that are not code page 932 shown as U+FFFD"));
    }
    if (std::none_of(rows.begin(), rows.end(), ListRowHoldsAnything))
        result.notes << QStringLiteral("no list rows");

    const ExportBuild build = BuildExport(format, rows, input, rate);
    if (!build.ok) {
        result.error = QStringLiteral("cannot make the %1").arg(ExportExtension(format));
        result.notes.clear();
        return result;
    }
    if (!build.skippedRows.isEmpty()) {
        result.notes << QStringLiteral("no %1 for rows %2")
                            .arg(ExportEntryWord(format.entry), RowNumberList(build.skippedRows));
    }
    if (!build.changedRows.isEmpty()) {
        result.notes << QStringLiteral("text the format cannot hold replaced in rows %1")
                            .arg(RowNumberList(build.changedRows));
    }
    result.bytes = build.bytes;
    result.written = true;
    return result;
}

namespace {

// "12行目" as "line 12", "3番目のマーカー" as "marker 3".
QString PlaceInEnglish(const QString& where) {
    static const QRegularExpression place(QStringLiteral("^(\\d+)(行目|番目のマーカー)$"));
    const QRegularExpressionMatch m = place.match(where);
    if (!m.hasMatch())
        return where;
    return (m.captured(2) == QStringLiteral("行目") ? QStringLiteral("line ")
                                                    : QStringLiteral("marker ")) +
           m.captured(1);
}

} // namespace

QStringList ImportNotes(const QVector<ImportSkip>& leftOut) {
    QStringList notes;
    for (const ImportSkip& s : leftOut) {
        const QString where = PlaceInEnglish(s.where);
        switch (s.reason) {
        case ImportSkipReason::TooMany:
            notes << QStringLiteral("%1 entries from %2 on left out: a list has %3 rows")
                         .arg(s.detail, where)
                         .arg(MAX_LIST_ROWS);
            break;
        case ImportSkipReason::Unreadable:
            notes << (s.detail.isEmpty()
                          ? QStringLiteral("%1 left out: not readable").arg(where)
                          : QStringLiteral("%1 left out: %2 is no timecode").arg(where, s.detail));
            break;
        case ImportSkipReason::KeptNoSuchLabel:
            notes << QStringLiteral("%1 kept with %2 as text: no label at the rate")
                         .arg(where, s.detail);
            break;
        case ImportSkipReason::KeptUnreadable:
            notes << QStringLiteral("%1 kept with an empty cell for %2: no timecode")
                         .arg(where, s.detail);
            break;
        }
    }
    return notes;
}

ImportFormat ListFormatOfFile(const QString& path, const QByteArray& bytes) {
    const ImportFormat byContent = ImportFormatOf(bytes);
    if (byContent != ImportFormat::Csv && byContent != ImportFormat::Unknown)
        return byContent;
    const QString extension = QFileInfo(path).suffix().toLower();
    for (const InterchangeFormat& format : InterchangeFormats()) {
        if (format.read && extension == QLatin1String(format.extension))
            return format.readsAs;
    }
    return byContent;
}

ConversionResult ConvertToListFile(const QString& input, TimecodeRate rate) {
    ConversionResult result;
    QFile file(input);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("cannot be read");
        return result;
    }
    // A device or a pipe has no size: reading stops at the bound all the same.
    const QByteArray bytes = file.read(MAX_IMPORT_BYTES + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("cannot be read");
        return result;
    }
    if (bytes.size() > MAX_IMPORT_BYTES) {
        result.error = QStringLiteral("larger than %1 MiB").arg(MAX_IMPORT_BYTES / (1024 * 1024));
        return result;
    }
    const ImportedList imported = ImportListBytes(bytes, ListFormatOfFile(input, bytes), rate);
    if (!imported.read) {
        result.error = QStringLiteral("not a format the converter reads");
        return result;
    }
    result.notes << ImportNotes(imported.leftOut);
    if (std::none_of(imported.rows.begin(), imported.rows.end(), ListRowHoldsAnything))
        result.notes << QStringLiteral("no list rows");
    QVector<int> notStored;
    result.bytes = BuildListFile(imported.rows, &notStored, rate.fps);
    if (!notStored.isEmpty()) {
        result.notes << QStringLiteral("characters code page 932 cannot hold replaced in rows %1")
                            .arg(RowNumberList(notStored));
    }
    result.written = true;
    return result;
}
