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

// Whether a '|' is followed (blanks between) by "C:", "M:" or "D:".
bool HasMarkerField(QStringView line) {
    for (qsizetype i = line.indexOf(QLatin1Char('|')); i >= 0;
         i = line.indexOf(QLatin1Char('|'), i + 1)) {
        qsizetype k = i + 1;
        while (k < line.size() && line.at(k).isSpace())
            ++k;
        if (k + 1 < line.size() && line.at(k + 1) == QLatin1Char(':') &&
            (line.at(k) == QLatin1Char('C') || line.at(k) == QLatin1Char('M') ||
             line.at(k) == QLatin1Char('D')))
            return true;
    }
    return false;
}

// "note |C:colour |M:name |D:frames", the fields in any order after the note.
bool ReadMarkerFields(QStringView line, Marker* marker) {
    const qsizetype bar = line.indexOf(QLatin1Char('|'));
    if (bar < 0 || !HasMarkerField(line))
        return false;
    marker->note = line.left(bar).trimmed().toString();
    for (QStringView part : line.mid(bar + 1).tokenize(u'|')) {
        const QStringView field = part.trimmed();
        if (field.startsWith(QStringLiteral("M:")))
            marker->name = field.mid(2).trimmed().toString();
        else if (field.startsWith(QStringLiteral("D:"))) {
            bool number = false;
            const int frames = field.mid(2).trimmed().toInt(&number);
            marker->frames = number && frames >= 0 ? frames : -1;
        }
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
    // The event being read, its record IN (where a marker sits), and whether the lines after
    // it made it a marker.
    ImportEntry* event = nullptr;
    QString recordIn;
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
        if (IsEventNumber(line.left(firstEnd))) {
            event = nullptr;
            bool readable = LastFields(line, fields) >= 8;
            if (readable) {
                bool in = false, out = false;
                ReadLabel(fields[0], rate, &in);
                ReadLabel(fields[3], rate, &out);
                readable = in && out;
            }
            if (!readable) {
                read.LeaveOut({LineWhere(lines.Number()), ImportSkipReason::Unreadable, QString()});
                continue;
            }
            // The last four fields are the source and record times, whatever stands between
            // (a transition's length, a second reel).
            ImportEntry e;
            e.where = LineWhere(lines.Number());
            e.in = fields[0].toString();
            e.out = fields[1].toString();
            recordIn = fields[2].toString();
            if (read.Add(e))
                event = &read.entries.last();
            continue;
        }
        if (!event)
            continue; // the title, the FCM line, notes before the first event
        Marker marker;
        if (line.startsWith(QStringLiteral("* FROM CLIP NAME:"))) {
            event->spNo = line.mid(17).trimmed().toString();
        } else if (line.startsWith(QStringLiteral("* COMMENT:"))) {
            // Appended in place: a remark of many comment lines grows once, not line by line.
            const QStringView comment = line.mid(10).trimmed();
            if (!event->remark.isEmpty())
                event->remark += QLatin1Char(' ');
            event->remark += comment;
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
