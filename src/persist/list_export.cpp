#include "persist/list_export.h"

#include "platform/replace_file.h"
#include "timecode/duration.h"
#include "timecode/timecode.h"
#include "timecode/timecode_scan.h"
#include "timecode/timecode_value.h"

#include <QFileInfo>
#include <QStringList>

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString CsvField(const QString& text) {
    static const QString special = QStringLiteral(",\"\r\n");
    bool quote = false;
    for (QChar c : text)
        quote = quote || special.contains(c);
    if (!quote)
        return text;
    QString quoted = text;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

// An EDL is read line by line: a line break inside a text would start a line of its own
// that the reader takes for an event or a note, and other control characters are no text.
QString OneLine(const QString& text) {
    QString line = text;
    for (QChar& c : line) {
        const QChar::Category cat = c.category();
        if (cat == QChar::Other_Control || cat == QChar::Separator_Line ||
            cat == QChar::Separator_Paragraph)
            c = QLatin1Char(' ');
    }
    return line;
}

// A cell's timecode in the form an EDL takes, and its count; false when the cell holds no
// valid timecode. A hand-edited file may hold "1:2:3:4" or text after the timecode, which
// the window accepts; the EDL gets the plain eleven characters.
bool EventTime(const QString& cell, TimecodeRate rate, QString* text, int* count) {
    const QByteArray bytes = cell.toLatin1();
    int f[4] = {};
    if (!IsTimecodeTextAt(bytes.constData(), rate.fps) ||
        ScanTimecodeFields(bytes.constData(), f) < 4)
        return false;
    const std::optional<int> frames = CellTextToFrames(bytes.constData(), rate);
    if (!frames)
        return false;
    *count = *frames;
    *text = QString::fromStdString(LabelText({f[0], f[1], f[2], f[3]}));
    return true;
}

// The list file's name without folder and extension, or the fallback without a file.
QString BaseNameOr(const QString& listPath, const QString& fallback) {
    const QString base = listPath.isEmpty() ? QString() : QFileInfo(listPath).completeBaseName();
    return base.isEmpty() ? fallback : base;
}

} // namespace

QString ExportExtension(ExportFormat format) {
    return format == ExportFormat::Csv ? QStringLiteral("csv") : QStringLiteral("edl");
}

QString ExportFilter(ExportFormat format) {
    return format == ExportFormat::Csv ? QStringLiteral("CSV Files (*.csv)")
                                       : QStringLiteral("EDL Files (*.edl)");
}

QString ExportFileName(const QString& listPath, ExportFormat format) {
    return BaseNameOr(listPath, QStringLiteral("spotlist")) + QLatin1Char('.') +
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

QByteArray BuildCsv(const QVector<ListRowText>& rows) {
    QString text = QStringLiteral("No,SP No.,IN,OUT,DURATION,REMARK") + CRLF;
    for (int i = 0; i < rows.size(); ++i) {
        const ListRowText& row = rows.at(i);
        if (!ListRowHoldsAnything(row))
            continue;
        const QStringList fields = {RowLabel(i + 1), row.spNo,     row.in,
                                    row.out,         row.duration, RemarkAsShown(row.remark)};
        QStringList quoted;
        for (const QString& f : fields)
            quoted << CsvField(f);
        text += quoted.join(QLatin1Char(',')) + CRLF;
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}

QString EdlTitle(const QString& listPath) {
    return BaseNameOr(listPath, QStringLiteral("Tarnwick"));
}

EdlBuild BuildEdl(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate) {
    EdlBuild edl;
    QString text = QStringLiteral("TITLE: ") + OneLine(title) + CRLF;
    text += (rate.DropFrame() ? QStringLiteral("FCM: DROP FRAME")
                              : QStringLiteral("FCM: NON-DROP FRAME")) +
            CRLF + CRLF;

    // The record timeline has one day: an event past its last frame would wrap round.
    const int lastFrame = FramesPerDay(rate) - 1;
    int recordIn = Timecode::FromLabel({1, 0, 0, 0}, rate).Frame();
    int event = 0;
    for (int i = 0; i < rows.size(); ++i) {
        const ListRowText& row = rows.at(i);
        if (!ListRowHoldsAnything(row))
            continue;
        QString in, out;
        int inCount = 0;
        int outCount = 0;
        // Both counts are within one day, so neither the difference nor the sum below can
        // overflow.
        if (!EventTime(row.in, rate, &in, &inCount) || !EventTime(row.out, rate, &out, &outCount) ||
            outCount <= inCount || recordIn + (outCount - inCount) > lastFrame) {
            edl.skippedRows.append(i + 1);
            continue;
        }
        const int recordOut = recordIn + (outCount - inCount);
        text += QString::asprintf("%03d  %-8s V     C        %s %s %s %s", ++event, "AX",
                                  qPrintable(in), qPrintable(out),
                                  FormatTimecode(recordIn, rate).c_str(),
                                  FormatTimecode(recordOut, rate).c_str()) +
                CRLF;
        if (!row.spNo.isEmpty())
            text += QStringLiteral("* FROM CLIP NAME: ") + OneLine(row.spNo) + CRLF;
        const QString remark = RemarkAsShown(row.remark);
        if (!remark.isEmpty())
            text += QStringLiteral("* COMMENT: ") + OneLine(remark) + CRLF;
        recordIn = recordOut;
    }
    edl.bytes = text.toUtf8();
    return edl;
}

QString RowNumberList(const QVector<int>& rows) {
    QStringList numbers;
    for (int r : rows)
        numbers << RowLabel(r);
    return numbers.join(QStringLiteral(", "));
}

QString EdlSkippedRowsMessage(const QVector<int>& rows) {
    return QStringLiteral("次の行はイベントにできないため書き出しませんでした"
                          "（INまたはOUTがないか正しくない、OUTがIN以前など）。\n"
                          "対象のNo: ") +
           RowNumberList(rows);
}

bool ExportList(const QString& outPath, ExportFormat format, const QVector<ListRowText>& rows,
                const QString& listPath, TimecodeRate rate, QVector<int>* skippedRows) {
    if (format == ExportFormat::Csv)
        return ReplaceFileContent(outPath, BuildCsv(rows));
    const EdlBuild edl = BuildEdl(rows, EdlTitle(listPath), rate);
    if (skippedRows)
        *skippedRows = edl.skippedRows;
    return ReplaceFileContent(outPath, edl.bytes);
}
