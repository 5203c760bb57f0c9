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

} // namespace

ConversionResult ConvertListFile(const QString& input, const QString& output, ExportFormat format,
                                 TimecodeRate rate) {
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

    QVector<int> skipped;
    if (!ExportList(output, format, rows, input, rate, &skipped)) {
        result.error = QStringLiteral("cannot write %1").arg(output);
        result.notes.clear();
        return result;
    }
    if (!skipped.isEmpty())
        result.notes << QStringLiteral("no event for rows %1").arg(RowNumberList(skipped));
    result.written = true;
    return result;
}
