#include "convert.h"

#include "list/spot_list.h"
#include "persist/list_file.h"

#include <QStringList>

#include <algorithm>

namespace {

// The decoder gives U+FFFD for every byte that starts no code page 932 character; code page
// 932 itself has no such character, so each one marks a bad byte.
bool HasUndecodableBytes(const QVector<ListRowText>& rows) {
    const QChar bad(QChar::ReplacementCharacter);
    for (const ListRowText& row : rows) {
        if (row.spNo.contains(bad) || row.in.contains(bad) || row.out.contains(bad) ||
            row.remark.contains(bad))
            return true;
    }
    return false;
}

// What a row left out of a format did not become.
QString MissingEntry(ExportFormat format) {
    switch (format) {
    case ExportFormat::Edl:
        return QStringLiteral("no event");
    case ExportFormat::Ale:
        return QStringLiteral("no clip");
    default:
        return QStringLiteral("no marker");
    }
}

} // namespace

ConversionResult ConvertListFile(const QString& input, ExportFormat format, TimecodeRate rate) {
    ConversionResult result;
    QByteArray bytes;
    if (!ReadListFileBytes(input, &bytes)) {
        result.error = QStringLiteral("cannot be read");
        return result;
    }
    // Read as Open reads it into the window's list, durations computed again at the rate.
    SpotList list([rate] { return CountingRules{0, rate.drop}; });
    const ListFileContents contents = ReadListFile(bytes, 0);
    list.LoadRows(contents.dataRows, contents.rows, rate.fps);
    list.RecomputeDurations();
    const QVector<ListRowText> rows = list.Rows();

    if (contents.outOfRange) {
        result.notes << QStringLiteral("lines numbered outside 0001 to %1 not read")
                            .arg(MAX_LIST_ROWS, 4, 10, QLatin1Char('0'));
    }
    if (HasUndecodableBytes(rows))
        result.notes << QStringLiteral("bytes that are not code page 932 shown as U+FFFD");
    if (std::none_of(rows.begin(), rows.end(), ListRowHoldsAnything))
        result.notes << QStringLiteral("no list rows");

    const ExportBuild build = BuildExport(format, rows, input, rate);
    if (!build.ok) {
        result.error = QStringLiteral("cannot make the %1").arg(ExportExtension(format));
        result.notes.clear();
        return result;
    }
    if (!build.skippedRows.isEmpty()) {
        result.notes << QStringLiteral("%1 for rows %2")
                            .arg(MissingEntry(format), RowNumberList(build.skippedRows));
    }
    result.bytes = build.bytes;
    result.written = true;
    return result;
}
