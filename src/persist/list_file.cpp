#include "persist/list_file.h"

#include "platform/codepage.h"

#include <QFile>
#include <QFileInfo>

#include <algorithm>

namespace {

constexpr qint64 MAX_LIST_FILE_BYTES = 4 * 1024 * 1024;
constexpr qint64 NUMBER_CEILING = qint64(1) << 40; // beyond every row number, far below overflow

// White space as the C library's "%s" and "%d" see it; bytes of double-byte characters are
// never among these, so splitting here never cuts a character.
bool IsSpaceByte(char c) {
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// "%d" at the start of the text: white space, an optional sign, at least one digit. The
// value saturates far beyond any row number, so no length of digits overflows it.
bool ScanNumber(const QByteArray& s, qint64* number) {
    int i = 0;
    while (i < s.size() && IsSpaceByte(s.at(i)))
        ++i;
    bool negative = false;
    if (i < s.size() && (s.at(i) == '-' || s.at(i) == '+')) {
        negative = s.at(i) == '-';
        ++i;
    }
    if (i >= s.size() || s.at(i) < '0' || s.at(i) > '9')
        return false;
    qint64 value = 0;
    for (; i < s.size() && s.at(i) >= '0' && s.at(i) <= '9'; ++i)
        value = std::min(NUMBER_CEILING, value * 10 + (s.at(i) - '0'));
    *number = negative ? -value : value;
    return true;
}

// Next white-space-delimited token from *pos; empty at the end of the line.
QByteArray NextToken(const QByteArray& line, int* pos) {
    int i = *pos;
    while (i < line.size() && IsSpaceByte(line.at(i)))
        ++i;
    const int start = i;
    while (i < line.size() && !IsSpaceByte(line.at(i)))
        ++i;
    *pos = i;
    return line.mid(start, i - start);
}

// A field read back: placeholders, and anything else that starts with '-', are empty.
QString FieldText(const QByteArray& bytes) {
    if (bytes.isEmpty() || bytes.at(0) == '-')
        return QString();
    return Cp932Decode(bytes);
}

} // namespace

QByteArray BuildListFile(const QVector<ListRowText>& rows, QVector<int>* rowsNotStored) {
    QByteArray file;
    QByteArray line;
    for (int i = 0; i < rows.size(); ++i) {
        bool complete = true;
        if (!FormatListLine(rows.at(i), Placeholders::File, &line, &complete))
            continue;
        file += line;
        file += "\r\n";
        if (!complete && rowsNotStored)
            rowsNotStored->append(i + 1);
    }
    return file;
}

ListLineFields ParseListLine(const QByteArray& rawLine) {
    QByteArray line = rawLine;
    while (!line.isEmpty() && (line.endsWith('\n') || line.endsWith('\r')))
        line.chop(1);

    ListLineFields f;
    int pos = 0;
    NextToken(line, &pos); // No.
    const QByteArray spNo = NextToken(line, &pos);
    const QByteArray times = NextToken(line, &pos);
    f.spNo = FieldText(spNo);
    // IN at 0 to 10 and OUT at 12 to 22; the separators at 11 and 23 and DUR from 24 on
    // are not read, since durations are recomputed after loading.
    f.in = FieldText(times.mid(0, 11));
    f.out = FieldText(times.mid(12, 11));
    QByteArray remark;
    if (!times.isEmpty() && pos < line.size())
        remark = line.mid(pos + 1); // after the one space the writer puts before the remark
    f.remark = QLatin1Char(' ') + Cp932Decode(remark);
    return f;
}

ListFileContents ReadListFile(const QByteArray& bytes, int currentDataRows) {
    ListFileContents c;
    c.dataRows = std::max(currentDataRows, 0);

    // First pass over the numbers only: the grid's size, the range check, and for each row
    // the last line that names it.
    int largest = 0;
    QVector<QByteArray> lineOfRow(MAX_LIST_ROWS + 1);
    qsizetype start = 0;
    while (start < bytes.size()) {
        qsizetype end = bytes.indexOf('\n', start);
        if (end < 0)
            end = bytes.size();
        const QByteArray line = bytes.mid(start, end - start);
        start = end + 1;
        qint64 n = 0;
        if (!ScanNumber(line, &n))
            continue;
        if (n < 1 || n > MAX_LIST_ROWS) {
            c.outOfRange = true;
            if (n > MAX_LIST_ROWS)
                largest = MAX_LIST_ROWS;
            continue;
        }
        largest = std::max(largest, int(n));
        lineOfRow[int(n)] = line;
    }
    c.dataRows = std::max(c.dataRows, largest);

    c.rows.resize(c.dataRows);
    for (int r = 1; r <= std::min(c.dataRows, MAX_LIST_ROWS); ++r) {
        if (lineOfRow.at(r).isNull())
            continue;
        const ListLineFields f = ParseListLine(lineOfRow.at(r));
        ListRowText& row = c.rows[r - 1];
        row.spNo = f.spNo;
        row.in = f.in;
        row.out = f.out;
        row.remark = f.remark;
    }
    return c;
}

bool ReadListFileBytes(const QString& path, QByteArray* bytes) {
    // Only plain files: opening a FIFO would wait for a writer, a device might never end.
    if (!QFileInfo(path).isFile())
        return false;
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly) || file.size() > MAX_LIST_FILE_BYTES)
        return false;
    // Bounded even if the file grows while it is read.
    *bytes = file.read(MAX_LIST_FILE_BYTES + 1);
    return file.error() == QFileDevice::NoError && bytes->size() <= MAX_LIST_FILE_BYTES;
}
