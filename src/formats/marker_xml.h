#pragma once

#include <QString>

class QXmlStreamWriter;

// The opening both XML marker formats share: the declaration, a bare DOCTYPE naming the root
// (as the editing systems' own files have, with nothing declared in it), and the root element
// with its version, left open for the caller.
void StartMarkerXml(QXmlStreamWriter& xml, const QString& root, const QString& version);
