#include "formats/marker_xml.h"

#include <QXmlStreamWriter>

void StartMarkerXml(QXmlStreamWriter& xml, const QString& root, const QString& version) {
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDTD(QStringLiteral("<!DOCTYPE ") + root + QStringLiteral(">"));
    xml.writeStartElement(root);
    xml.writeAttribute(QStringLiteral("version"), version);
}
