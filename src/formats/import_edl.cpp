// Edit decision lists that come in: CMX 3600 events (source IN and OUT, the clip name and
// comment notes) and markers written in the EDL layout (the fields after each event). One pass
// over the lines, each looked at once, without a pattern.
#include "formats/import_entries.h"

#include <algorithm>

namespace {

struct Marker {
    QString note, name;
    int frames = -1;
};

// Where the field after the '|' at bar starts ("C:" after blanks), and its letter; 0 when
// no "X:" follows.
QChar FieldAt(QStringView line, qsizetype bar, qsizetype* start) {
    qsizetype k = bar + 1;
    while (k < line.size() && line.at(k).isSpace())
        ++k;
    *start = k;
    return k + 1 < line.size() && line.at(k + 1) == QLatin1Char(':') ? line.at(k) : QChar();
}

// Whether a '|' is followed (blanks between) by "C:", "M:", "D:" or "N:".
bool HasMarkerField(QStringView line) {
    qsizetype start = 0;
    for (qsizetype i = line.indexOf(QLatin1Char('|')); i >= 0;
         i = line.indexOf(QLatin1Char('|'), i + 1)) {
        const QChar c = FieldAt(line, i, &start);
        if (c == QLatin1Char('C') || c == QLatin1Char('M') || c == QLatin1Char('D') ||
            c == QLatin1Char('N'))
            return true;
    }
    return false;
}

// The text after a note's heading: one space after the colon is the layout's, the rest is
// the text's own.
QString NoteText(QStringView text) {
    return (text.startsWith(QLatin1Char(' ')) ? text.mid(1) : text).toString();
}

// "note |C:colour |M:name |D:frames |N:note", the fields in any order after the note; "N:"
// runs to the end of the line, whatever it holds.
bool ReadMarkerFields(QStringView line, Marker* marker) {
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    if (bar < 0 || !HasMarkerField(line))
        return false;
    marker->note = line.left(bar).trimmed().toString();
    for (qsizetype i = bar; i >= 0;) {
        qsizetype start = 0;
        const QChar c = FieldAt(line, i, &start);
        if (c == QLatin1Char('N')) {
            marker->note = line.mid(start + 2).toString();
            break;
        }
        const qsizetype next = line.indexOf(QLatin1Char('|'), i + 1);
        QStringView value = line.mid(start + 2, next < 0 ? -1 : next - start - 2);
        if (c == QLatin1Char('M')) {
            // The layout's one space before the next field is not the name's.
            marker->name = (value.endsWith(QLatin1Char(' ')) ? value.chopped(1) : value).toString();
        } else if (c == QLatin1Char('D')) {
            bool number = false;
            const int frames = value.trimmed().toInt(&number);
            marker->frames = number && frames >= 0 ? frames : -1;
        }
        i = next;
    }
    return true;
}

// How many fields a line has, split at blanks, and its last four (last[3] the last): an event
// needs no more, and a line of millions of fields is counted, not kept.
qsizetype LastFields(QStringView line, QStringView (&last)[4]) {
    qsizetype count = 0;
    qsizetype i = 0;
    while (i < line.size()) {
        while (i < line.size() && line.at(i).isSpace())
            ++i;
        const qsizetype start = i;
        while (i < line.size() && !line.at(i).isSpace())
            ++i;
        if (i > start) {
            std::rotate(last, last + 1, last + 4);
            last[3] = line.sliced(start, i - start);
            ++count;
        }
    }
    return count;
}

bool IsEventNumber(QStringView token) {
    if (token.isEmpty() || token.size() > 6)
        return false;
    bool number = false;
    static_cast<void>(token.toInt(&number));
    return number;
}

} // namespace

ImportRead ReadEdl(const QByteArray& bytes, TimecodeRate rate) {
    ImportRead read;
    const QString text = DecodeText(bytes);
    LineReader lines(text);
    // The event being read: the lines after it name it, or make it a marker.
    ImportEntry* event = nullptr;
    QStringView fields[4];
    QStringView raw;
    while (lines.Next(&raw) && !read.budget.Passed()) {
        const QStringView line = raw.trimmed();
        if (line.isEmpty())
            continue;
        const qsizetype firstEnd = [&] {
            qsizetype k = 0;
            while (k < line.size() && !line.at(k).isSpace())
                ++k;
            return k;
        }();
        const bool number = IsEventNumber(line.left(firstEnd));
        bool eventForm = number && LastFields(line, fields) >= 8;
        if (eventForm) {
            bool in = false, out = false;
            ReadLabel(fields[0], rate, &in);
            ReadLabel(fields[3], rate, &out);
            eventForm = in && out;
        }
        // A marker's fields after an event come before the event test: its note may start
        // with anything. A '*' line is a note of the event, whatever it holds.
        Marker marker;
        if (!eventForm && event && !line.startsWith(QLatin1Char('*')) &&
            ReadMarkerFields(raw, &marker)) {
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
        if (number) {
            event = nullptr;
            if (!eventForm) {
                read.LeaveOut({LineWhere(lines.Number()), ImportSkipReason::Unreadable, QString()});
                continue;
            }
            // The last four fields are the source and record times, whatever stands between
            // (a transition's length, a second reel).
            ImportEntry e;
            e.where = LineWhere(lines.Number());
            e.in = fields[0].toString();
            e.out = fields[1].toString();
            if (read.Add(e))
                event = &read.entries.last();
            continue;
        }
        if (!event)
            continue; // the title, the FCM line, notes before the first event
        // The notes' text as written, up to the line's end: spaces at its ends are its own.
        const QStringView rest = raw.mid(raw.indexOf(line.at(0)));
        if (line.startsWith(QStringLiteral("* FROM CLIP NAME:"))) {
            event->spNo = NoteText(rest.mid(17));
        } else if (line.startsWith(QStringLiteral("* COMMENT:"))) {
            // Appended in place: a remark of many comment lines grows once, not line by line.
            if (!event->remark.isEmpty())
                event->remark += QLatin1Char(' ');
            event->remark += NoteText(rest.mid(10));
        }
    }
    return read;
}
