#include "formats/export_markers.h"
#include "formats/marker_xml.h"

#include <QStringList>
#include <QXmlStreamWriter>

namespace {

// xmeml states a rate as a whole timebase and whether it runs at 1000/1001 of it.
void WriteRate(QXmlStreamWriter& xml, TimecodeRate rate) {
    xml.writeStartElement(QStringLiteral("rate"));
    xml.writeTextElement(QStringLiteral("timebase"), QString::number(rate.fps));
    xml.writeTextElement(QStringLiteral("ntsc"),
                         rate.DropFrame() ? QStringLiteral("TRUE") : QStringLiteral("FALSE"));
    xml.writeEndElement();
}

// A text element whose carriage returns survive: a reader turns a bare one into a line
// feed, a character reference it keeps.
void WriteText(QXmlStreamWriter& xml, const QString& name, const QString& text) {
    xml.writeStartElement(name);
    const QStringList parts = XmlSafe(text).split(QLatin1Char('\r'));
    for (qsizetype i = 0; i < parts.size(); ++i) {
        if (i > 0)
            xml.writeEntityReference(QStringLiteral("#13"));
        xml.writeCharacters(parts.at(i));
    }
    xml.writeEndElement();
}

} // namespace

ExportBuild BuildXmeml(const QVector<ListRowText>& rows, const QString& title, TimecodeRate rate) {
    const SpotEntries spots = CollectSpots(rows, rate);
    const Timecode start = TimelineStart(spots.entries, rate);
    const long long end = TimelineEnd(spots.entries, start);

    ExportBuild fcp;
    fcp.skippedRows = spots.skippedRows;
    fcp.changedRows = ChangedRows(spots.entries, &XmlSafe);
    QXmlStreamWriter xml(&fcp.bytes);
    StartMarkerXml(xml, QStringLiteral("xmeml"), QStringLiteral("4"));
    xml.writeStartElement(QStringLiteral("sequence"));
    xml.writeAttribute(QStringLiteral("id"), QStringLiteral("sequence-1"));
    xml.writeTextElement(QStringLiteral("name"), XmlSafe(title));
    xml.writeTextElement(QStringLiteral("duration"), QString::number(end - start.Frame()));
    WriteRate(xml, rate);
    xml.writeStartElement(QStringLiteral("timecode"));
    WriteRate(xml, rate);
    xml.writeTextElement(QStringLiteral("string"), TimecodeLabelText(start, QLatin1Char(';')));
    xml.writeTextElement(QStringLiteral("frame"), QString::number(start.Frame()));
    xml.writeTextElement(QStringLiteral("displayformat"),
                         rate.DropFrame() ? QStringLiteral("DF") : QStringLiteral("NDF"));
    xml.writeEndElement(); // timecode
    xml.writeStartElement(QStringLiteral("media"));
    xml.writeStartElement(QStringLiteral("video"));
    xml.writeStartElement(QStringLiteral("format"));
    xml.writeStartElement(QStringLiteral("samplecharacteristics"));
    WriteRate(xml, rate);
    xml.writeTextElement(QStringLiteral("width"), QStringLiteral("1920"));
    xml.writeTextElement(QStringLiteral("height"), QStringLiteral("1080"));
    xml.writeEndElement(); // samplecharacteristics
    xml.writeEndElement(); // format
    xml.writeEmptyElement(QStringLiteral("track"));
    xml.writeEndElement(); // video
    xml.writeEndElement(); // media
    for (const SpotEntry& e : spots.entries) {
        xml.writeStartElement(QStringLiteral("marker"));
        WriteText(xml, QStringLiteral("comment"), e.remark);
        WriteText(xml, QStringLiteral("name"), e.spNo);
        xml.writeTextElement(QStringLiteral("in"), QString::number(e.in.Frame() - start.Frame()));
        xml.writeTextElement(QStringLiteral("out"), QString::number(e.out.Frame() - start.Frame()));
        xml.writeEndElement();
    }
    xml.writeEndDocument();
    return fcp;
}
