#include "formats/list_export.h"

#include "platform/replace_file.h"

#include <QFileInfo>
#include <QStringList>

namespace {

struct FormatInfo {
    ExportFormat format;
    const char* extension;
    const char* filterName;
    const char16_t* entryNoun; // what a row becomes, for the message of rows left out
};

// Menu order: the two spreadsheets' and the EDL's as they were, then the new ones.
const FormatInfo FORMATS[] = {
    {ExportFormat::Csv, "csv", "CSV Files", u"行"},
    {ExportFormat::Edl, "edl", "EDL Files", u"イベント"},
    {ExportFormat::Xlsx, "xlsx", "Excel Files", u"行"},
    {ExportFormat::Ale, "ale", "ALE Files", u"クリップ"},
    {ExportFormat::MarkerEdl, "edl", "EDL Files", u"マーカー"},
    {ExportFormat::Fcpxml, "fcpxml", "FCPXML Files", u"マーカー"},
    {ExportFormat::Xmeml, "xml", "Final Cut Pro 7 XML Files", u"マーカー"},
    {ExportFormat::Otio, "otio", "OpenTimelineIO Files", u"マーカー"},
};

const FormatInfo& Info(ExportFormat format) {
    for (const FormatInfo& info : FORMATS) {
        if (info.format == format)
            return info;
    }
    return FORMATS[0];
}

} // namespace

QVector<ExportFormat> ExportFormats() {
    QVector<ExportFormat> formats;
    for (const FormatInfo& info : FORMATS)
        formats << info.format;
    return formats;
}

QString ExportExtension(ExportFormat format) {
    return QLatin1String(Info(format).extension);
}

QString ExportFilter(ExportFormat format) {
    return QStringLiteral("%1 (*.%2)")
        .arg(QLatin1String(Info(format).filterName), ExportExtension(format));
}

QString ExportFileName(const QString& listPath, ExportFormat format) {
    const QString suffix =
        format == ExportFormat::MarkerEdl ? QStringLiteral("-markers") : QString();
    return ListTitle(listPath, QStringLiteral("spotlist")) + suffix + QLatin1Char('.') +
           ExportExtension(format);
}

QString WithExportExtension(const QString& path, ExportFormat format) {
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || !QFileInfo(name).suffix().isEmpty())
        return path;
    // "list." has an empty extension; it gets the export's, not a second dot.
    return path + (name.endsWith(QLatin1Char('.')) ? QString() : QStringLiteral(".")) +
           ExportExtension(format);
}

bool ExportLeavesOutRows(ExportFormat format) {
    return format != ExportFormat::Csv && format != ExportFormat::Xlsx;
}

ExportBuild BuildExport(ExportFormat format, const QVector<ListRowText>& rows,
                        const QString& listPath, TimecodeRate rate) {
    const QString title = ListTitle(listPath);
    switch (format) {
    case ExportFormat::Csv:
        return ExportBuild{BuildCsv(rows), {}, true};
    case ExportFormat::Edl:
        return BuildEdl(rows, title, rate);
    case ExportFormat::Xlsx:
        return BuildXlsx(rows, title);
    case ExportFormat::Ale:
        return BuildAle(rows, title, rate);
    case ExportFormat::MarkerEdl:
        return BuildMarkerEdl(rows, title, rate);
    case ExportFormat::Fcpxml:
        return BuildFcpxml(rows, title, rate);
    case ExportFormat::Xmeml:
        return BuildXmeml(rows, title, rate);
    case ExportFormat::Otio:
        return BuildOtio(rows, title, rate);
    }
    return ExportBuild{{}, {}, false};
}

QString RowNumberList(const QVector<int>& rows) {
    QStringList numbers;
    for (int r : rows)
        numbers << RowLabel(r);
    return numbers.join(QStringLiteral(", "));
}

QString ExportSkippedRowsMessage(ExportFormat format, const QVector<int>& rows) {
    return QStringLiteral("次の行は%1にできないため書き出しませんでした"
                          "（INまたはOUTがないか正しくない、OUTがIN以前など）。\n"
                          "対象のNo: ")
               .arg(QString::fromUtf16(Info(format).entryNoun)) +
           RowNumberList(rows);
}

QString EdlSkippedRowsMessage(const QVector<int>& rows) {
    return ExportSkippedRowsMessage(ExportFormat::Edl, rows);
}

bool ExportList(const QString& outPath, ExportFormat format, const QVector<ListRowText>& rows,
                const QString& listPath, TimecodeRate rate, QVector<int>* skippedRows) {
    const ExportBuild build = BuildExport(format, rows, listPath, rate);
    if (skippedRows)
        *skippedRows = build.skippedRows;
    return build.ok && ReplaceFileContent(outPath, build.bytes);
}
