// Edit decision lists that come in: CMX 3600 events (source IN and OUT, the clip name and
// comment notes) and markers written in the EDL layout (the fields after each event).
#include "formats/import_entries.h"

#include <QRegularExpression>

namespace {

struct Marker {
    QString note, name;
    int frames = -1;
};

// "note |C:colour |M:name |D:frames", the fields in any order after the note.
bool ReadMarkerFields(const QString& line, Marker* marker) {
    const int bar = line.indexOf(QLatin1Char('|'));
    if (bar < 0 || !line.contains(QRegularExpression(QStringLiteral("\\|\\s*[CMD]:"))))
        return false;
    marker->note = line.left(bar).trimmed();
    for (const QString& part : line.mid(bar + 1).split(QLatin1Char('|'))) {
        const QString field = part.trimmed();
        if (field.startsWith(QStringLiteral("M:")))
            marker->name = field.mid(2).trimmed();
        else if (field.startsWith(QStringLiteral("D:"))) {
            bool number = false;
            const int frames = field.mid(2).trimmed().toInt(&number);
            marker->frames = number && frames >= 0 ? frames : -1;
        }
    }
    return true;
}

} // namespace

ImportRead ReadEdl(const QByteArray& bytes, TimecodeRate rate) {
    static const QRegularExpression label(
        QStringLiteral("^\\d{1,2}[:;.,]\\d\\d[:;.,]\\d\\d[:;.,]\\d\\d$"));
    ImportRead read;
    const QStringList lines = TextLines(DecodeText(bytes));
    // The event being read, its record IN (where a marker sits), and whether the lines after
    // it made it a marker.
    ImportEntry* event = nullptr;
    QString recordIn;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString line = lines.at(n).trimmed();
        if (line.isEmpty())
            continue;
        const QStringList tokens = line.split(QRegularExpression(QStringLiteral("\\s+")));
        bool isNumber = false;
        tokens.first().toInt(&isNumber);
        if (isNumber && tokens.first().size() <= 6) {
            event = nullptr;
            if (tokens.size() < 8 || !label.match(tokens.at(tokens.size() - 4)).hasMatch() ||
                !label.match(tokens.at(tokens.size() - 1)).hasMatch()) {
                read.leftOut.append({LineWhere(n + 1), ImportSkipReason::Unreadable, QString()});
                continue;
            }
            // The last four fields are the source and record times, whatever stands between
            // (a transition's length, a second reel).
            ImportEntry e;
            e.where = LineWhere(n + 1);
            e.in = tokens.at(tokens.size() - 4);
            e.out = tokens.at(tokens.size() - 3);
            recordIn = tokens.at(tokens.size() - 2);
            read.entries.append(e);
            event = &read.entries.last();
            continue;
        }
        if (!event)
            continue; // the title, the FCM line, notes before the first event
        Marker marker;
        if (line.startsWith(QStringLiteral("* FROM CLIP NAME:"))) {
            event->spNo = line.mid(17).trimmed();
        } else if (line.startsWith(QStringLiteral("* COMMENT:"))) {
            const QString comment = line.mid(10).trimmed();
            event->remark = event->remark.isEmpty() ? comment : event->remark + ' ' + comment;
        } else if (ReadMarkerFields(line, &marker)) {
            // A marker sits at the event's record IN and lasts its own duration.
            event->in = recordIn;
            event->out.clear();
            bool readable = false;
            const Timecode at = ReadLabel(recordIn, rate, &readable);
            if (at && marker.frames > 0)
                event->out = QString::fromStdString(at.Plus(marker.frames).Text());
            event->spNo = marker.name;
            event->remark = marker.note;
        }
    }
    return read;
}
