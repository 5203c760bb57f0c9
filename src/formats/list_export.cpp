#include "formats/list_export.h"

#include "platform/replace_file.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QStringList>

namespace {

// What a row becomes, in the window's message of rows left out and in the converter's notes.
// In the order of ExportEntry: the window's sentence ("an event") and the converter's word.
const char* const ENTRY_NAMES[] = {
    QT_TRANSLATE_NOOP("ListExport", "行"), QT_TRANSLATE_NOOP("ListExport", "イベント"),
    QT_TRANSLATE_NOOP("ListExport", "クリップ"), QT_TRANSLATE_NOOP("ListExport", "マーカー")};
const char* const ENTRY_WORDS[] = {
    QT_TRANSLATE_NOOP("EntryWord", "行"), QT_TRANSLATE_NOOP("EntryWord", "イベント"),
    QT_TRANSLATE_NOOP("EntryWord", "クリップ"), QT_TRANSLATE_NOOP("EntryWord", "マーカー")};

QString SkippedRowsMessage(ExportEntry entry, const QVector<int>& rows) {
    return QCoreApplication::translate("ListExport",
                                       "次の行は%1にできないため書き出しませんでした"
                                       "（INまたはOUTがないか正しくない、OUTがIN以前など）。\n"
                                       "対象のNo: ")
               .arg(QCoreApplication::translate("ListExport",
                                                ENTRY_NAMES[static_cast<int>(entry)])) +
           RowNumberList(rows);
}

} // namespace

QString ExportExtension(const InterchangeFormat& format) {
    return QLatin1String(format.extension);
}

QString ExportFilter(const InterchangeFormat& format) {
    return QStringLiteral("%1 (*.%2)")
        .arg(QLatin1String(format.filterName), ExportExtension(format));
}

QString ExportDialogTitle(const InterchangeFormat& format) {
    QString title = QCoreApplication::translate("CTarnwickDlg", format.menuText);
    while (title.endsWith(QLatin1Char('.')))
        title.chop(1);
    return title;
}

QString ExportFileName(const QString& listPath, const InterchangeFormat& format) {
    return ListTitle(listPath, QStringLiteral("spotlist")) + QLatin1String(format.nameSuffix) +
           QLatin1Char('.') + ExportExtension(format);
}

QString WithExportExtension(const QString& path, const InterchangeFormat& format) {
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return path;
    // "list." has an empty extension; it gets the export's, not a second dot.
    return path + (name.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) +
           ExportExtension(format);
}

bool ExportLeavesOutRows(const InterchangeFormat& format) {
    return format.entry != ExportEntry::Row;
}

ExportBuild BuildExport(const InterchangeFormat& format, const QVector<ListRowText>& rows,
                        const QString& listPath, TimecodeRate rate) {
    return format.build(rows, ListTitle(listPath), rate);
}

QString RowNumberList(const QVector<int>& rows) {
    QStringList numbers;
    for (int r : rows)
        numbers << RowLabel(r);
    return numbers.join(QStringLiteral(", "));
}

QString ExportSkippedRowsMessage(const InterchangeFormat& format, const QVector<int>& rows) {
    return SkippedRowsMessage(format.entry, rows);
}

QString EdlSkippedRowsMessage(const QVector<int>& rows) {
    return SkippedRowsMessage(ExportEntry::Event, rows);
}

QString ExportEntryWord(ExportEntry entry) {
    return QCoreApplication::translate("EntryWord", ENTRY_WORDS[static_cast<int>(entry)]);
}

QString ExportTextChangedMessage(const QVector<int>& rows) {
    return QCoreApplication::translate(
               "ListExport", "次の行の文字には、この形式で書けないもの（改行や制御文字など）が"
                             "あったため、置き換えて書き出しました。\n対象のNo: ") +
           RowNumberList(rows);
}

bool ExportList(const QString& outPath, const InterchangeFormat& format,
                const QVector<ListRowText>& rows, const QString& listPath, TimecodeRate rate,
                QVector<int>* skippedRows, QVector<int>* changedRows) {
    const ExportBuild build = BuildExport(format, rows, listPath, rate);
    if (skippedRows)
        *skippedRows = build.skippedRows;
    if (changedRows)
        *changedRows = build.changedRows;
    return build.ok && ReplaceFileContent(outPath, build.bytes);
}
