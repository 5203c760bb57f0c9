#include "formats/export_markers.h"
#include "formats/marker_xml.h"

#include <QXmlStreamWriter>

namespace {

// A count of frames as FCPXML states time: a fraction of a second, "0s" for none.
QString FcpTime(long long frames, FrameLength f) {
    if (frames == 0)
        return QStringLiteral("0s");
    return QStringLiteral("%1/%2s").arg(frames * f.numerator).arg(f.denominator);
}

// Names of the video formats editing systems know for 1080-line pictures at each rate.
QString FormatName(TimecodeRate rate) {
    if (rate.DropFrame())
        return QStringLiteral("FFVideoFormat1080p2997");
    return QStringLiteral("FFVideoFormat1080p%1").arg(rate.fps);
}

} // namespace

ExportBuild BuildFcpxml(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate) {
    const SpotEntries spots = CollectSpots(rows, rate);
    const Timecode start = TimelineStart(spots.entries, rate);
    const long long end = TimelineEnd(spots.entries, start);
    const FrameLength f = FrameLengthOf(rate);
    const QString name = XmlSafe(title);

    ExportBuild fcp;
    fcp.skippedRows = spots.skippedRows;
    fcp.changedRows = ChangedRows(spots.entries, &XmlSafe);
    QXmlStreamWriter xml(&fcp.bytes);
    StartMarkerXml(xml, QStringLiteral("fcpxml"), QLatin1String(FCPXML_VERSION));
    xml.writeStartElement(QStringLiteral("resources"));
    xml.writeEmptyElement(QStringLiteral("format"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("r1"));
    xml.writeAttribute(QStringLiteral("name"), FormatName(rate));
    xml.writeAttribute(QStringLiteral("frameDuration"), FcpTime(1, f));
    xml.writeAttribute(QStringLiteral("width"), QStringLiteral("1920"));
    xml.writeAttribute(QStringLiteral("height"), QStringLiteral("1080"));
    xml.writeEndElement(); // resources
    xml.writeStartElement(QStringLiteral("library"));
    xml.writeStartElement(QStringLiteral("event"));
    xml.writeAttribute(QStringLiteral("name"), name);
    xml.writeStartElement(QStringLiteral("project"));
    xml.writeAttribute(QStringLiteral("name"), name);
    xml.writeStartElement(QStringLiteral("sequence"));
    xml.writeAttribute(QStringLiteral("format"), QStringLiteral("r1"));
    xml.writeAttribute(QStringLiteral("duration"), FcpTime(end - start.Frame(), f));
    xml.writeAttribute(QStringLiteral("tcStart"), FcpTime(start.Frame(), f));
    xml.writeAttribute(QStringLiteral("tcFormat"),
                       rate.DropFrame() ? QStringLiteral("DF") : QStringLiteral("NDF"));
    xml.writeStartElement(QStringLiteral("spine"));
    // The gap's own time starts where the sequence does, so a marker's start is the IN's
    // frame of the day.
    xml.writeStartElement(QStringLiteral("gap"));
    xml.writeAttribute(QStringLiteral("name"), QStringLiteral("Gap"));
    xml.writeAttribute(QStringLiteral("offset"), FcpTime(start.Frame(), f));
    xml.writeAttribute(QStringLiteral("start"), FcpTime(start.Frame(), f));
    xml.writeAttribute(QStringLiteral("duration"), FcpTime(end - start.Frame(), f));
    for (const SpotEntry& e : spots.entries) {
        xml.writeEmptyElement(QStringLiteral("marker"));
        xml.writeAttribute(QStringLiteral("start"), FcpTime(e.in.Frame(), f));
        xml.writeAttribute(QStringLiteral("duration"), FcpTime(e.out.Frame() - e.in.Frame(), f));
        xml.writeAttribute(QStringLiteral("value"), XmlSafe(e.spNo));
        if (!e.remark.isEmpty())
            xml.writeAttribute(QStringLiteral("note"), XmlSafe(e.remark));
    }
    xml.writeEndDocument(); // closes gap, spine, sequence, project, event, library, fcpxml
    return fcp;
}
