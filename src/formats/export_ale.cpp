#include "formats/export_ale.h"

#include <QStringList>

namespace {

const QString CRLF = QStringLiteral("\r\n");

QString Line(const QStringList& fields) {
    return fields.join(QLatin1Char('\t')) + CRLF;
}

} // namespace

QString AleFps(TimecodeRate rate) {
    if (rate.DropFrame())
        return QStringLiteral("29.97");
    return QString::number(rate.fps);
}

ExportBuild BuildAle(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate) {
    const SpotEntries spots = CollectSpots(rows, rate);
    ExportBuild ale;
    ale.skippedRows = spots.skippedRows;
    ale.changedRows = ChangedRows(spots.entries, &OneLine);
    const QChar separator = QLatin1Char(';');
    QString text = QStringLiteral("Heading") + CRLF;
    text += Line({QStringLiteral("FIELD_DELIM"), QStringLiteral("TABS")});
    text += Line({QStringLiteral("VIDEO_FORMAT"), QStringLiteral("1080")});
    text += Line({QStringLiteral("AUDIO_FORMAT"), QStringLiteral("48khz")});
    text += Line({QStringLiteral("FPS"), AleFps(rate)});
    text += CRLF + QStringLiteral("Column") + CRLF;
    text += Line({QStringLiteral("Name"), QStringLiteral("Tracks"), QStringLiteral("Start"),
                  QStringLiteral("End"), QStringLiteral("Tape"), QStringLiteral("Comments")});
    text += CRLF + QStringLiteral("Data") + CRLF;
    const QString tape = OneLine(title);
    for (const SpotEntry& e : spots.entries) {
        text += Line({OneLine(e.spNo), QStringLiteral("V"), TimecodeLabelText(e.in, separator),
                      TimecodeLabelText(e.out, separator), tape, OneLine(e.remark)});
    }
    ale.bytes = text.toUtf8();
    return ale;
}
