// Tables that come in: the CSV of the export (or a spreadsheet's save of it) and the rows of
// a sheet.
#include "formats/export_csv.h"
#include "formats/import_entries.h"

namespace {

// The most cells read from a row: a list has 6. (The rows are counted by the budget.)
constexpr int MAX_TABLE_CELLS = 256;

enum Column { NO, SPNO, IN, OUT, REMARK, COLUMNS };

int ColumnOf(const QString& title) {
    const QString t = title.trimmed().toLower().remove(QLatin1Char(' ')).remove(QLatin1Char('.'));
    if (t == QStringLiteral("no"))
        return NO;
    if (t == QStringLiteral("spno"))
        return SPNO;
    if (t == QStringLiteral("in"))
        return IN;
    if (t == QStringLiteral("out"))
        return OUT;
    if (t == QStringLiteral("remark") || t == QStringLiteral("remarks") ||
        t == QStringLiteral("comment") || t == QStringLiteral("comments"))
        return REMARK;
    return -1;
}

// A spreadsheet's save of the CSV gives back what the export wrote; the apostrophe that kept a
// computed-looking cell text goes again.
QString CsvCell(const QString& cell) {
    if (cell.startsWith(QLatin1Char('\'')) && CsvMarksAsText(cell.mid(1)))
        return cell.mid(1);
    return cell;
}

// The separator of the first line, outside quotes: a spreadsheet in a country whose decimal
// mark is the comma saves with semicolons, "Unicode text" with tabs.
QChar Separator(const QString& text) {
    int comma = 0, semicolon = 0, tab = 0;
    bool quoted = false;
    for (QChar c : text) {
        if (c == QLatin1Char('"'))
            quoted = !quoted;
        else if (!quoted && (c == QLatin1Char('\n') || c == QLatin1Char('\r')))
            break;
        else if (!quoted)
            comma += c == QLatin1Char(','), semicolon += c == QLatin1Char(';'),
                tab += c == QLatin1Char('\t');
    }
    if (tab > comma && tab >= semicolon)
        return QLatin1Char('\t');
    return semicolon > comma ? QLatin1Char(';') : QLatin1Char(',');
}

} // namespace

bool TableReader::Row(const QStringList& row, qsizetype line) {
    if (m_first) {
        m_first = false;
        int named[COLUMNS] = {-1, -1, -1, -1, -1};
        for (int c = 0; c < row.size(); ++c) {
            const int col = ColumnOf(row.at(c));
            if (col >= 0 && named[col] < 0)
                named[col] = c;
        }
        if (named[IN] >= 0 && named[OUT] >= 0) {
            std::copy(named, named + COLUMNS, m_column);
            return true;
        }
    }
    const auto cell = [&](int col) {
        return m_column[col] < 0 ? QString() : row.value(m_column[col]);
    };
    ImportEntry e;
    e.spNo = cell(SPNO);
    e.in = LabelText(cell(IN));
    e.out = LabelText(cell(OUT));
    e.remark = cell(REMARK);
    if (e.spNo.isEmpty() && e.in.isEmpty() && e.out.isEmpty() && e.remark.isEmpty())
        return true; // a blank row, or one with only its number: nothing to take
    bool number = false;
    const int no = QStringView(cell(NO)).trimmed().toInt(&number);
    e.row = number ? no : 0;
    e.where = LineWhere(line);
    return m_read->Add(e);
}

ImportRead ReadCsv(const QByteArray& bytes) {
    const QString text = DecodeText(bytes);
    const QChar separator = Separator(text);
    ImportRead read;
    TableReader table(&read);
    QStringList row;
    QString field;
    bool quoted = false;
    bool fieldWasQuoted = false;
    qsizetype line = 1;
    qsizetype rowLine = 1;
    const auto endField = [&]() {
        if (row.size() < MAX_TABLE_CELLS)
            row << CsvCell(field);
        field.clear();
        fieldWasQuoted = false;
    };
    const auto endRow = [&]() {
        endField();
        table.Row(row, rowLine);
        row.clear();
    };
    for (qsizetype i = 0; i < text.size() && !read.budget.Passed(); ++i) {
        const QChar c = text.at(i);
        if (quoted) {
            if (c == QLatin1Char('"')) {
                if (i + 1 < text.size() && text.at(i + 1) == QLatin1Char('"'))
                    field += c, ++i;
                else
                    quoted = false;
            } else {
                if (c == QLatin1Char('\n') ||
                    (c == QLatin1Char('\r') &&
                     (i + 1 >= text.size() || text.at(i + 1) != QLatin1Char('\n'))))
                    ++line;
                field += c;
            }
        } else if (c == QLatin1Char('"') && field.isEmpty() && !fieldWasQuoted) {
            quoted = true;
            fieldWasQuoted = true;
        } else if (c == separator) {
            endField();
        } else if (c == QLatin1Char('\r') || c == QLatin1Char('\n')) {
            if (c == QLatin1Char('\r') && i + 1 < text.size() &&
                text.at(i + 1) == QLatin1Char('\n'))
                ++i;
            endRow();
            rowLine = ++line;
        } else {
            field += c;
        }
    }
    // A quote that never closes swallowed the rest of the file: that row is no row.
    if (read.budget.Passed())
        return read;
    if (quoted)
        read.LeaveOut({LineWhere(rowLine), ImportSkipReason::Unreadable, QString()});
    else if (!field.isEmpty() || !row.isEmpty() || fieldWasQuoted)
        endRow();
    return read;
}
