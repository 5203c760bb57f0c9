#include "formats/export_edl.h"

#include <algorithm>

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString Heading(const QString& title, TimecodeRate rate) {
    return QStringLiteral("TITLE: ") + OneLine(title) + CRLF +
           (rate.DropFrame() ? QStringLiteral("FCM: DROP FRAME")
                             : QStringLiteral("FCM: NON-DROP FRAME")) +
           CRLF + CRLF;
}

// Drop-frame labels carry ';' before the frames: readers that ignore the FCM line still
// count them right.
QString Label(const Timecode& tc) {
    return TimecodeLabelText(tc, QLatin1Char(';'));
}

QString EventLine(int event, const QString& reel, const Timecode& srcIn, const Timecode& srcOut,
                  const Timecode& recIn, const Timecode& recOut) {
    return QString::asprintf("%03d  %-8s V     C        ", event, qPrintable(reel)) + Label(srcIn) +
           QLatin1Char(' ') + Label(srcOut) + QLatin1Char(' ') + Label(recIn) + QLatin1Char(' ') +
           Label(recOut) + CRLF;
}

// A marker's name runs up to the next '|'.
QString MarkerName(const QString& text) {
    QString field = EdlText(text);
    field.replace(QLatin1Char('|'), QChar(0xFF5C));
    return field;
}

} // namespace

QString EdlTitle(const QString& listPath) {
    return ListTitle(listPath);
}

ExportBuild BuildEdl(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate) {
    const SpotEntries spots = CollectSpots(rows, rate);
    ExportBuild edl;
    edl.skippedRows = spots.skippedRows;
    QString text = Heading(title, rate);
    // The record timeline has one day: an event past its last frame would wrap round.
    const long long lastFrame = FramesPerDay(rate) - 1;
    Timecode recordIn = Timecode::FromLabel({1, 0, 0, 0}, rate);
    int event = 0;
    for (const SpotEntry& e : spots.entries) {
        const int length = e.out.Frame() - e.in.Frame();
        if (recordIn.Frame() + static_cast<long long>(length) > lastFrame) {
            edl.skippedRows.append(e.row);
            continue;
        }
        const Timecode recordOut = recordIn.Plus(length);
        text += EventLine(++event, QStringLiteral("AX"), e.in, e.out, recordIn, recordOut);
        // Every event names its clip, even with no name: readers without the line name the
        // clip after the event's number.
        text += QStringLiteral("* FROM CLIP NAME: ") + EdlText(e.spNo) + CRLF;
        if (!e.remark.isEmpty())
            text += QStringLiteral("* COMMENT: ") + EdlText(e.remark) + CRLF;
        recordIn = recordOut;
    }
    std::sort(edl.skippedRows.begin(), edl.skippedRows.end());
    edl.changedRows = ChangedRows(spots.entries, &EdlText);
    for (const int row : edl.skippedRows)
        edl.changedRows.removeOne(row);
    edl.bytes = text.toUtf8();
    return edl;
}

ExportBuild BuildMarkerEdl(const QVector<ListRowText>& rows, const QString& title,
                           TimecodeRate rate) {
    const SpotEntries spots = CollectSpots(rows, rate);
    ExportBuild edl;
    edl.skippedRows = spots.skippedRows;
    QString text = Heading(title, rate);
    // Timelines take events in time order; spots at the same IN stay in row order.
    QVector<SpotEntry> entries = spots.entries;
    std::stable_sort(entries.begin(), entries.end(), [](const SpotEntry& a, const SpotEntry& b) {
        return a.in.Frame() < b.in.Frame();
    });
    const long long day = FramesPerDay(rate);
    long long nextFree = 0; // the first record frame no earlier event holds
    int event = 0;
    for (const SpotEntry& e : entries) {
        // A marker sits at its IN, on the source side always; the record side holds the
        // same frame unless an earlier marker took it, then the next free one, so that
        // record times never overlap. The frame after the day's last is the day's first.
        const long long record = std::max<long long>(e.in.Frame(), nextFree);
        nextFree = record + 1;
        const Timecode recordIn = Timecode::AtFrame(record % day, rate);
        ++event;
        text += EventLine(event, QString::asprintf("%03d", event), e.in, e.in.Plus(1), recordIn,
                          recordIn.Plus(1));
        // One line of fields after a space, which CMX readers take as a note: the remark
        // rides last, in its own field, so whatever it starts with it never reads as an
        // event, a statement or a clip name.
        text += QStringLiteral(" |C:") + QLatin1String(MARKER_EDL_COLOUR) + QStringLiteral(" |M:") +
                MarkerName(e.spNo) + QStringLiteral(" |D:") +
                QString::number(e.out.Frame() - e.in.Frame()) + QStringLiteral(" |N:") +
                EdlText(e.remark) + CRLF;
    }
    edl.bytes = text.toUtf8();
    edl.changedRows = ChangedRows(spots.entries, &EdlText);
    for (const SpotEntry& e : spots.entries) {
        if (e.spNo.contains(QLatin1Char('|')) && !edl.changedRows.contains(e.row))
            edl.changedRows.append(e.row);
    }
    std::sort(edl.changedRows.begin(), edl.changedRows.end());
    return edl;
}
