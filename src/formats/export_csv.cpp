#include "formats/export_csv.h"

#include "persist/list_line.h"

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString CsvField(const QString& text) {
    static const QString special = QStringLiteral(",\"\r\n");
    // A formula, a sign or a DDE trigger would run on opening: the apostrophe keeps it text.
    const QString cell = CsvMarksAsText(text) ? QLatin1Char('\'') + text : text;
    bool quote = false;
    for (QChar c : cell)
        quote = quote || special.contains(c);
    if (!quote)
        return cell;
    QString quoted = cell;
    quoted.replace(QLatin1Char('"'), QStringLiteral("\"\""));
    return QLatin1Char('"') + quoted + QLatin1Char('"');
}

} // namespace

QStringList ListTableHeader() {
    return {QStringLiteral("No"),  QStringLiteral("SP No."),   QStringLiteral("IN"),
            QStringLiteral("OUT"), QStringLiteral("DURATION"), QStringLiteral("REMARK")};
}

QVector<QStringList> ListTableRows(const QVector<ListRowText>& rows) {
    QVector<QStringList> table;
    for (int i = 0; i < rows.size(); ++i) {
        const ListRowText& row = rows.at(i);
        if (ListRowHoldsAnything(row))
            table.append({RowLabel(i + 1), row.spNo, row.in, row.out, row.duration,
                          RemarkAsShown(row.remark)});
    }
    return table;
}

bool SpreadsheetWouldEvaluate(const QString& cell) {
    if (cell.isEmpty())
        return false;
    static const QString triggers = QStringLiteral("=+-@\t\r");
    return triggers.contains(cell.at(0));
}

bool CsvMarksAsText(const QString& cell) {
    qsizetype marks = 0;
    while (marks < cell.size() && cell.at(marks) == QLatin1Char('\''))
        ++marks;
    return SpreadsheetWouldEvaluate(cell.mid(marks));
}

QByteArray BuildCsv(const QVector<ListRowText>& rows) {
    QString text = ListTableHeader().join(QLatin1Char(',')) + CRLF;
    for (const QStringList& cells : ListTableRows(rows)) {
        QStringList quoted;
        for (const QString& f : cells)
            quoted << CsvField(f);
        text += quoted.join(QLatin1Char(',')) + CRLF;
    }
    return QByteArrayLiteral("\xEF\xBB\xBF") + text.toUtf8();
}
