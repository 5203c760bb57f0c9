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

QString EventLine(int event, const QString& reel, const Timecode& srcIn, const Timecode& srcOut,
                  const Timecode& recIn, const Timecode& recOut) {
    return QString::asprintf("%03d  %-8s V     C        %s %s %s %s", event, qPrintable(reel),
                             srcIn.Text().c_str(), srcOut.Text().c_str(), recIn.Text().c_str(),
                             recOut.Text().c_str()) +
           CRLF;
}

// A marker field runs up to the next '|'.
QString MarkerField(const QString& text) {
    QString field = OneLine(text);
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
        if (!e.spNo.isEmpty())
            text += QStringLiteral("* FROM CLIP NAME: ") + OneLine(e.spNo) + CRLF;
        if (!e.remark.isEmpty())
            text += QStringLiteral("* COMMENT: ") + OneLine(e.remark) + CRLF;
        recordIn = recordOut;
    }
    std::sort(edl.skippedRows.begin(), edl.skippedRows.end());
    edl.bytes = text.toUtf8();
    return edl;
}

ExportBuild BuildMarkerEdl(const QVector<ListRowText>& rows, const QString& title,
                           TimecodeRate rate) {
    const SpotEntries spots = CollectSpots(rows, rate);
    ExportBuild edl;
    edl.skippedRows = spots.skippedRows;
    QString text = Heading(title, rate);
    int event = 0;
    for (const SpotEntry& e : spots.entries) {
        // A marker is a point on the record side; the event around it is one frame, and
        // the frame after the day's last is the day's first.
        const Timecode next = e.in.Plus(1);
        ++event;
        text += EventLine(event, QString::asprintf("%03d", event), e.in, next, e.in, next);
        text += MarkerField(e.remark) + QStringLiteral(" |C:") + QLatin1String(MARKER_EDL_COLOUR) +
                QStringLiteral(" |M:") + MarkerField(e.spNo) + QStringLiteral(" |D:") +
                QString::number(e.out.Frame() - e.in.Frame()) + CRLF;
    }
    edl.bytes = text.toUtf8();
    return edl;
}
