#pragma once

#include "formats/interchange_formats.h"

#include <QCommandLineParser>
#include <QString>
#include <QVector>

// The converter's formats: one option per row of the interchange formats, named by the row,
// and the --help text that describes them.

// Adds --csv, --edl etc. to the parser.
void AddFormatOptions(QCommandLineParser& parser);

// The formats whose options the parsed command line gave, in the table's order.
QVector<const InterchangeFormat*> FormatsGiven(const QCommandLineParser& parser);

// The usage error when not exactly one was given, naming every option.
QString FormatChoiceError();

// The whole --help text, in the language installed.
QString ConverterHelp();

// The columns a text takes on a terminal: two for a wide (Japanese) character.
qsizetype TerminalWidth(const QString& text);
