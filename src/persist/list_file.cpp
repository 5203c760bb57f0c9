#include "persist/list_file.h"

#include "platform/codepage.h"
#include "platform/regular_file.h"
#include "timecode/timecode_rate.h"

#include <algorithm>

namespace {

const QByteArray UTF8_BOM = QByteArrayLiteral("\xEF\xBB\xBF");
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

QString Decode(const QByteArray& bytes, ListEncoding encoding) {
    return encoding == ListEncoding::Utf8 ? QString::fromUtf8(bytes) : Cp932Decode(bytes);
}

// A field read back: placeholders, and anything else that starts with '-', are empty.
QString FieldText(const QByteArray& bytes, ListEncoding encoding) {
    if (bytes.isEmpty() || bytes.at(0) == '-')
        return QString();
    return Decode(bytes, encoding);
}

bool IsBlank(const QByteArray& line) {
    return std::all_of(line.begin(), line.end(), IsSpaceByte);
}

// The file's lines without their ends. CR LF, LF and a lone CR (old Mac editors, some mail
// programs) each end a line; a last line without an end counts too.
QVector<QByteArray> SplitLines(const QByteArray& bytes) {
    QVector<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        lines.append(bytes.mid(start, i - start));
        if (c == '\r' && i + 1 < bytes.size() && bytes.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < bytes.size())
        lines.append(bytes.mid(start));
    return lines;
}

// "#FrameRate=24" or 25 or 30, white space around it allowed: the rate a list file counts at.
bool FrameRateOf(const QByteArray& line, int* fps) {
    static const QByteArray KEY = "#FrameRate=";
    const QByteArray text = line.trimmed();
    if (!text.startsWith(KEY))
        return false;
    bool number = false;
    const int value = text.mid(KEY.size()).toInt(&number);
    if (!number || !IsListFrameRate(value))
        return false;
    *fps = value;
    return true;
}

} // namespace

QByteArray FrameRateLine(int fps) {
    return fps == 30 || !IsListFrameRate(fps) ? QByteArray()
                                              : "#FrameRate=" + QByteArray::number(fps) + "\r\n";
}

QByteArray BuildListFile(const QVector<ListRowText>& rows, QVector<int>* rowsNotStored, int fps) {
    QByteArray file = FrameRateLine(fps);
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

ListLineFields ParseListLine(const QByteArray& rawLine, ListEncoding encoding) {
    QByteArray line = rawLine;
    while (!line.isEmpty() && (line.endsWith('\n') || line.endsWith('\r')))
        line.chop(1);

    ListLineFields f;
    int pos = 0;
    NextToken(line, &pos); // No.
    const QByteArray spNo = NextToken(line, &pos);
    const QByteArray times = NextToken(line, &pos);
    f.spNo = FieldText(spNo, encoding);
    // IN at 0 to 10 and OUT at 12 to 22; the separators at 11 and 23 and DUR from 24 on
    // are not read, since durations are recomputed after loading.
    f.in = FieldText(times.mid(0, 11), encoding);
    f.out = FieldText(times.mid(12, 11), encoding);
    QByteArray remark;
    if (!times.isEmpty() && pos < line.size())
        remark = line.mid(pos + 1); // after the one space the writer puts before the remark
    f.remark = QLatin1Char(' ') + Decode(remark, encoding);
    return f;
}

ListFileContents ReadListFile(const QByteArray& bytes, int currentDataRows) {
    ListFileContents c;
    c.dataRows = std::max(currentDataRows, 0);
    QByteArray text = bytes;
    if (text.startsWith(UTF8_BOM)) {
        c.encoding = ListEncoding::Utf8;
        text.remove(0, UTF8_BOM.size());
    }

    // First pass over the numbers only: the grid's size, the range check, and for each row
    // the last line that names it.
    int largest = 0;
    QVector<int> lineOfRow(MAX_LIST_ROWS + 1, -1);
    const QVector<QByteArray> lines = SplitLines(text);
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray& line = lines.at(i);
        qint64 n = 0;
        if (!ScanNumber(line, &n)) {
            if (!c.rateMarked && FrameRateOf(line, &c.fps)) {
                c.rateMarked = true;
                continue;
            }
            if (!IsBlank(line))
                c.skipped.append(SkippedLine{i + 1, SkippedLine::Why::NotARow, 0, 0});
            continue;
        }
        if (n < 1 || n > MAX_LIST_ROWS) {
            c.outOfRange = true;
            c.skipped.append(SkippedLine{i + 1, SkippedLine::Why::OutOfRange, n, 0});
            if (n > MAX_LIST_ROWS)
                largest = MAX_LIST_ROWS;
            continue;
        }
        largest = std::max(largest, int(n));
        if (const int earlier = lineOfRow.at(int(n)); earlier >= 0) {
            c.skipped.append(SkippedLine{earlier + 1, SkippedLine::Why::NumberRepeated, n, i + 1});
        }
        lineOfRow[int(n)] = i;
    }
    std::sort(c.skipped.begin(), c.skipped.end(),
              [](const SkippedLine& a, const SkippedLine& b) { return a.line < b.line; });
    c.dataRows = std::max(c.dataRows, largest);

    c.rows.resize(c.dataRows);
    for (int r = 1; r <= std::min(c.dataRows, MAX_LIST_ROWS); ++r) {
        if (lineOfRow.at(r) < 0)
            continue;
        const ListLineFields f = ParseListLine(lines.at(lineOfRow.at(r)), c.encoding);
        ListRowText& row = c.rows[r - 1];
        row.spNo = f.spNo;
        row.in = f.in;
        row.out = f.out;
        row.remark = f.remark;
    }
    return c;
}

FileFault ReadListFileBytes(const QString& path, QByteArray* bytes) {
    return ReadRegularFile(path, MAX_LIST_FILE_BYTES, LinkPolicy::Follow, bytes);
}
