#pragma once

#include <QString>

// The name a print of the list goes by, in the spooler and as the PDF file offered: the list
// file's name without its extension ("spots" for /x/spots.txt), or 印刷 for a list that has no
// file yet.
QString PrintDocumentName(const QString& listPath);
