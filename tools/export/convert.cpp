#include "convert.h"

#include "formats/interchange_formats.h"
#include "list/spot_list.h"
#include "persist/list_file.h"
#include "persist/list_read_notes.h"

#include <QFile>
#include <QFileInfo>
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
        result.error =
            fault == FileFault::TooLarge ? ListTooLargeNote()
            : fault == FileFault::NotRegular
                ? Converter::tr("通常のファイルではありません（FIFO、デバイスまたはフォルダ）")
                : Converter::tr("読み込めません");
        return result;
    }
    const ListFileContents contents = ReadListFile(bytes, 0);
    if (contents.rateMarked && rateGiven && contents.fps != asked.fps) {
        result.error = Converter::tr("1秒%1フレームのリストで、--rate の %2 と違います")
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
                             ? Converter::tr("UTF-8でないバイトをU+FFFDとして表示")
                             : Converter::tr("コードページ932でないバイトをU+FFFDとして表示"));
    }
    if (std::none_of(rows.begin(), rows.end(), ListRowHoldsAnything))
        result.notes << Converter::tr("リストの行がありません");

    const ExportBuild build = BuildExport(format, rows, input, rate);
    if (!build.ok) {
        result.error = Converter::tr("%1を作れません").arg(ExportExtension(format));
        result.notes.clear();
        return result;
    }
    if (!build.skippedRows.isEmpty()) {
        result.notes << Converter::tr("%1にならない行: %2")
                            .arg(ExportEntryWord(format.entry), RowNumberList(build.skippedRows));
    }
    if (!build.changedRows.isEmpty()) {
        result.notes << Converter::tr("この形式で書けない文字を置き換えた行: %1")
                            .arg(RowNumberList(build.changedRows));
    }
    result.bytes = build.bytes;
    result.written = true;
    return result;
}

QStringList ImportNotes(const QVector<ImportSkip>& leftOut) {
    QStringList notes;
    for (const ImportSkip& s : leftOut) {
        switch (s.reason) {
        case ImportSkipReason::TooMany:
            notes << Converter::tr("%2以降の%1件は読み込んでいません（リストは%3行まで）")
                         .arg(s.detail, s.where)
                         .arg(MAX_LIST_ROWS);
            break;
        case ImportSkipReason::Unreadable:
            notes << (s.detail.isEmpty()
                          ? Converter::tr("%1は読み込んでいません（読み取れません）").arg(s.where)
                          : Converter::tr(
                                "%1は読み込んでいません（%2はタイムコードではありません）")
                                .arg(s.where, s.detail));
            break;
        case ImportSkipReason::KeptNoSuchLabel:
            notes << Converter::tr("%1は%2を文字のまま残しました（このレートにないラベル）")
                         .arg(s.where, s.detail);
            break;
        case ImportSkipReason::KeptUnreadable:
            notes << Converter::tr("%1は%2を空欄にしました（タイムコードではありません）")
                         .arg(s.where, s.detail);
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
        result.error = Converter::tr("読み込めません");
        return result;
    }
    // A device or a pipe has no size: reading stops at the bound all the same.
    const QByteArray bytes = file.read(MAX_IMPORT_BYTES + 1);
    if (file.error() != QFileDevice::NoError) {
        result.error = Converter::tr("読み込めません");
        return result;
    }
    if (bytes.size() > MAX_IMPORT_BYTES) {
        result.error = Converter::tr("%1 MiBを超えています").arg(MAX_IMPORT_BYTES / (1024 * 1024));
        return result;
    }
    const ImportedList imported = ImportListBytes(bytes, ListFormatOfFile(input, bytes), rate);
    if (!imported.read) {
        result.error = Converter::tr("変換できる形式ではありません");
        return result;
    }
    result.notes << ImportNotes(imported.leftOut);
    if (std::none_of(imported.rows.begin(), imported.rows.end(), ListRowHoldsAnything))
        result.notes << Converter::tr("リストの行がありません");
    QVector<int> notStored;
    result.bytes = BuildListFile(imported.rows, &notStored, rate.fps);
    if (!notStored.isEmpty()) {
        result.notes << Converter::tr("コードページ932で書けない文字を置き換えた行: %1")
                            .arg(RowNumberList(notStored));
    }
    result.written = true;
    return result;
}
