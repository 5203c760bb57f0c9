#include "formats/export_markers.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {

QJsonObject Time(long long frames, TimecodeRate rate) {
    return {{QStringLiteral("OTIO_SCHEMA"), QStringLiteral("RationalTime.1")},
            {QStringLiteral("rate"), FramesPerSecond(rate)},
            {QStringLiteral("value"), double(frames)}};
}

QJsonObject Range(long long start, long long duration, TimecodeRate rate) {
    return {{QStringLiteral("OTIO_SCHEMA"), QStringLiteral("TimeRange.1")},
            {QStringLiteral("start_time"), Time(start, rate)},
            {QStringLiteral("duration"), Time(duration, rate)}};
}

// The members every Item (Track, Stack, Gap) serializes.
QJsonObject Item(const QString& schema, const QString& name, const QJsonValue& sourceRange,
                 const QJsonArray& markers) {
    return {{QStringLiteral("OTIO_SCHEMA"), schema},
            {QStringLiteral("metadata"), QJsonObject()},
            {QStringLiteral("name"), name},
            {QStringLiteral("source_range"), sourceRange},
            {QStringLiteral("effects"), QJsonArray()},
            {QStringLiteral("markers"), markers},
            {QStringLiteral("enabled"), true}};
}

} // namespace

ExportBuild BuildOtio(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate) {
    const SpotEntries spots = CollectSpots(rows, rate);
    const Timecode start = TimelineStart(spots.entries, rate);
    const long long length = TimelineEnd(spots.entries, start) - start.Frame();

    // Marked ranges are in the track's own time, which starts at 0 at the global start time.
    QJsonArray markers;
    for (const SpotEntry& e : spots.entries) {
        markers.append(
            QJsonObject{{QStringLiteral("OTIO_SCHEMA"), QStringLiteral("Marker.2")},
                        {QStringLiteral("metadata"), QJsonObject()},
                        {QStringLiteral("name"), e.spNo},
                        {QStringLiteral("color"), QStringLiteral("BLUE")},
                        {QStringLiteral("marked_range"),
                         Range(e.in.Frame() - start.Frame(), e.out.Frame() - e.in.Frame(), rate)},
                        {QStringLiteral("comment"), e.remark}});
    }
    QJsonObject gap = Item(QStringLiteral("Gap.1"), QString(), Range(0, length, rate), {});
    QJsonObject track =
        Item(QStringLiteral("Track.1"), QStringLiteral("Spots"), QJsonValue(), markers);
    track.insert(QStringLiteral("kind"), QStringLiteral("Video"));
    track.insert(QStringLiteral("children"), QJsonArray{gap});
    QJsonObject stack = Item(QStringLiteral("Stack.1"), QStringLiteral("tracks"), QJsonValue(), {});
    stack.insert(QStringLiteral("children"), QJsonArray{track});
    const QJsonObject timeline{{QStringLiteral("OTIO_SCHEMA"), QStringLiteral("Timeline.1")},
                               {QStringLiteral("metadata"), QJsonObject()},
                               {QStringLiteral("name"), title},
                               {QStringLiteral("global_start_time"), Time(start.Frame(), rate)},
                               {QStringLiteral("tracks"), stack}};
    ExportBuild otio;
    otio.skippedRows = spots.skippedRows;
    otio.bytes = QJsonDocument(timeline).toJson(QJsonDocument::Indented);
    return otio;
}
