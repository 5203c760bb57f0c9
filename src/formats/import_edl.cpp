// Edit decision lists that come in: CMX 3600 events (source IN and OUT, the clip name and
// comment notes) and markers written in the EDL layout (the fields after each event).
#include "formats/import_entries.h"

#include <QRegularExpression>

namespace {

struct Marker {
    QString note, name;
    int frames = -1;
};

// The text after a note's heading: one space after the colon is the layout's, the rest is
// the text's own.
QString NoteText(const QString& line, qsizetype headingLength) {
    QString text = line.mid(headingLength);
    if (text.startsWith(QLatin1Char(' ')))
        text.remove(0, 1);
    return text;
}

// "note |C:colour |M:name |D:frames |N:note", the fields in any order after the note; "N:"
// comes last and runs to the end of the line, whatever it holds.
bool ReadMarkerFields(const QString& line, Marker* marker) {
    static const QRegularExpression field(QStringLiteral("\\|\\s*[CMDN]:"));
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    if (bar < 0 || !line.contains(field))
        return false;
    marker->note = line.left(bar).trimmed();
    QString fields = line.mid(bar + 1);
    static const QRegularExpression noteField(QStringLiteral("(^|\\|)\\s*N:"));
    const QRegularExpressionMatch note = noteField.match(fields);
    if (note.hasMatch()) {
        marker->note = fields.mid(note.capturedEnd());
        fields.truncate(note.capturedStart());
    }
    for (const QString& part : fields.split(QLatin1Char('|'))) {
        const QString value = part.trimmed();
        if (value.startsWith(QStringLiteral("M:"))) {
            // The layout's one space before the next field is not the name's.
            QString name = part.mid(part.indexOf(QLatin1Char(':')) + 1);
            if (name.endsWith(QLatin1Char(' ')))
                name.chop(1);
            marker->name = name;
        } else if (value.startsWith(QStringLiteral("D:"))) {
            bool number = false;
            const int frames = value.mid(2).trimmed().toInt(&number);
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
    // The event being read: the lines after it name it, or make it a marker.
    ImportEntry* event = nullptr;
    for (qsizetype n = 0; n < lines.size(); ++n) {
        const QString& raw = lines.at(n);
        const QString line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const QStringList tokens = line.split(QRegularExpression(QStringLiteral("\\s+")));
        bool isNumber = false;
        tokens.first().toInt(&isNumber);
        const bool eventForm = isNumber && tokens.first().size() <= 6 && tokens.size() >= 8 &&
                               label.match(tokens.at(tokens.size() - 4)).hasMatch() &&
                               label.match(tokens.at(tokens.size() - 1)).hasMatch();
        // A marker's fields after an event come before the event test: its note may start
        // with anything. A '*' line is a note of the event, whatever it holds.
        const bool note = line.startsWith(QLatin1Char('*'));
        Marker marker;
        if (!eventForm && event && !note && ReadMarkerFields(raw, &marker)) {
            // A marker sits at the event's source IN (the record side may have moved on to
            // keep events apart) and lasts its own duration.
            event->out.clear();
            bool readable = false;
            const Timecode at = ReadLabel(event->in, rate, &readable);
            if (at && marker.frames > 0)
                event->out = QString::fromStdString(at.Plus(marker.frames).Text());
            event->spNo = marker.name;
            event->remark = marker.note;
            continue;
        }
        if (isNumber && tokens.first().size() <= 6) {
            event = nullptr;
            if (!eventForm) {
                read.leftOut.append({LineWhere(n + 1), ImportSkipReason::Unreadable, QString()});
                continue;
            }
            // The last four fields are the source and record times, whatever stands between
            // (a transition's length, a second reel).
            ImportEntry e;
            e.where = LineWhere(n + 1);
            e.in = tokens.at(tokens.size() - 4);
            e.out = tokens.at(tokens.size() - 3);
            read.entries.append(e);
            event = &read.entries.last();
            continue;
        }
        if (!event)
            continue; // the title, the FCM line, notes before the first event
        const qsizetype indent = raw.indexOf(line.at(0));
        if (line.startsWith(QStringLiteral("* FROM CLIP NAME:"))) {
            event->spNo = NoteText(raw, indent + 17);
        } else if (line.startsWith(QStringLiteral("* COMMENT:"))) {
            const QString comment = NoteText(raw, indent + 10);
            event->remark = event->remark.isEmpty() ? comment : event->remark + ' ' + comment;
        }
    }
    return read;
}
