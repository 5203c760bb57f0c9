// Avid logs that come in: the Data lines of an .ale, its Name, Start, End and comment
// columns.
#include "formats/import_entries.h"

#include <algorithm>

ImportRead ReadAle(const QByteArray& bytes) {
    ImportRead read;
    const QString text = DecodeText(bytes);
    LineReader lines(text);
    enum { Heading, Column, Data } section = Heading;
    int name = -1, start = -1, end = -1, comment = -1;
    bool haveColumns = false;
    QStringView line;
    while (lines.Next(&line) && !read.budget.Passed()) {
        const QStringView word = line.trimmed();
        if (word.compare(QStringLiteral("Column"), Qt::CaseInsensitive) == 0) {
            section = Column;
            continue;
        }
        if (word.compare(QStringLiteral("Data"), Qt::CaseInsensitive) == 0) {
            section = Data;
            continue;
        }
        if (word.isEmpty() || section == Heading)
            continue;
        // Fields one by one, none kept but those of the four columns: a line of millions of
        // tabs is read, not stored.
        if (section == Column) {
            if (haveColumns)
                continue;
            haveColumns = true;
            int c = 0;
            for (QStringView field : line.tokenize(u'\t')) {
                const QString title = field.trimmed().toString().toLower();
                if (title == QStringLiteral("name") && name < 0)
                    name = c;
                else if (title == QStringLiteral("start") && start < 0)
                    start = c;
                else if (title == QStringLiteral("end") && end < 0)
                    end = c;
                else if ((title == QStringLiteral("comments") ||
                          title == QStringLiteral("comment")) &&
                         comment < 0)
                    comment = c;
                ++c;
            }
            continue;
        }
        if (start < 0) {
            read.LeaveOut({LineWhere(lines.Number()), ImportSkipReason::Unreadable, QString()});
            continue;
        }
        // Name, Start, End and comment, as far as the line has them.
        const int wanted[4] = {name, start, end, comment};
        const int last = *std::max_element(wanted, wanted + 4);
        QStringView got[4];
        int c = 0;
        for (QStringView field : line.tokenize(u'\t')) {
            for (int k = 0; k < 4; ++k) {
                if (wanted[k] == c)
                    got[k] = field;
            }
            if (++c > last)
                break;
        }
        ImportEntry e;
        e.where = LineWhere(lines.Number());
        e.spNo = got[0].toString();
        e.in = LabelText(got[1]);
        e.out = LabelText(got[2]);
        e.remark = got[3].toString();
        read.Add(e);
    }
    if (!haveColumns)
        read.read = false;
    return read;
}
