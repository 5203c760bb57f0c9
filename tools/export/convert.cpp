#include "convert.h"

#include "persist/list_file.h"
#include "persist/list_read_notes.h"
#include "persist/opened_rows.h"

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

ConversionResult ConvertListFile(const QString& input, const QString& output, ExportFormat format,
                                 TimecodeRate rate) {
    ConversionResult result;
    QByteArray bytes;
    if (const FileFault fault = ReadListFileBytes(input, &bytes); fault != FileFault::None) {
        result.error =
            fault == FileFault::TooLarge ? ListTooLargeNote() : QStringLiteral("cannot be read");
        return result;
    }
    const ListFileContents contents = ReadListFile(bytes, 0);
    const QVector<ListRowText> rows = RowsAsOpened(contents, rate);

    result.notes << ListReadNotes(contents);
    if (HasUndecodableBytes(rows)) {
        result.notes << (contents.encoding == ListEncoding::Utf8
                             ? QStringLiteral("bytes that are not UTF-8 shown as U+FFFD")
                             : QStringLiteral("bytes that are not code page 932 shown as U+FFFD"));
    }
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
