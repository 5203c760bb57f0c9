// Avid logs that come in: the Data lines of an .ale, its Name, Start, End and comment
// columns.
#include "formats/import_entries.h"

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
        const QList<QStringView> fields = line.split(QLatin1Char('\t'));
        if (section == Column) {
            if (haveColumns)
                continue;
            haveColumns = true;
            for (int c = 0; c < fields.size(); ++c) {
                const QString title = fields.at(c).trimmed().toString().toLower();
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
            }
            continue;
        }
        if (start < 0) {
            read.LeaveOut({LineWhere(lines.Number()), ImportSkipReason::Unreadable, QString()});
            continue;
        }
        const auto field = [&](int c) { return c >= 0 ? fields.value(c) : QStringView(); };
        ImportEntry e;
        e.where = LineWhere(lines.Number());
        e.spNo = field(name).trimmed().toString();
        e.in = LabelText(field(start));
        e.out = LabelText(field(end));
        e.remark = field(comment).toString();
        read.Add(e);
    }
    if (!haveColumns)
        read.read = false;
    return read;
}
