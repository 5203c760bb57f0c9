// Avid logs that come in: the Data lines of an .ale, its Name, Start, End and comment
// columns.
#include "formats/import_entries.h"

ImportRead ReadAle(const QByteArray& bytes) {
    ImportRead read;
    const QStringList lines = TextLines(DecodeText(bytes));
    enum { Heading, Column, Data } section = Heading;
    int name = -1, start = -1, end = -1, comment = -1;
    bool haveColumns = false;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& line = lines.at(n);
        const QString word = line.trimmed();
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
        const QStringList fields = line.split(QLatin1Char('\t'));
        if (section == Column) {
            if (haveColumns)
                continue;
            haveColumns = true;
            for (int c = 0; c < fields.size(); ++c) {
                const QString title = fields.at(c).trimmed().toLower();
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
            read.leftOut.append({LineWhere(n + 1), ImportSkipReason::Unreadable, QString()});
            continue;
        }
        ImportEntry e;
        e.where = LineWhere(n + 1);
        e.spNo = name < 0 ? QString() : fields.value(name);
        e.in = fields.value(start).trimmed();
        e.out = end < 0 ? QString() : fields.value(end).trimmed();
        e.remark = comment < 0 ? QString() : fields.value(comment);
        read.entries.append(e);
    }
    if (!haveColumns)
        read.read = false;
    return read;
}
