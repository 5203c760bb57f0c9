#include "convert.h"

#include "list/spot_list.h"
#include "persist/list_file.h"
#include "persist/list_read_notes.h"

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
    result.bytes = build.bytes;
    result.written = true;
    return result;
}
