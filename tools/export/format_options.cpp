#include "format_options.h"

#include "formats/list_export.h"

#include <QStringList>

#include <algorithm>

namespace {

// The text is laid out for a terminal of 92 columns or more.
constexpr qsizetype WIDTH = 92;

// Text as lines of at most WIDTH columns, the first starting at column start (after what is
// already on its line), the others indented to column indent; a word longer than a line has
// a line of its own.
QString Wrap(const QString& text, qsizetype start, qsizetype indent) {
    QString out;
    qsizetype column = start;
    bool lineHasWords = false;
    for (const QString& word : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        if (lineHasWords && column + 1 + word.size() > WIDTH) {
            out += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
            lineHasWords = false;
        }
        if (lineHasWords) {
            out += QLatin1Char(' ');
            ++column;
        }
        out += word;
        column += word.size();
        lineHasWords = true;
    }
    return out;
}

QString Option(const InterchangeFormat& format) {
    return QStringLiteral("--") + QLatin1String(format.option);
}

// "a, b or c".
QString Listed(const QStringList& items, const QString& last) {
    if (items.size() < 2)
        return items.join(QString());
    return items.mid(0, items.size() - 1).join(QStringLiteral(", ")) + last + items.last();
}

const char HEAD[] =
    R"(Usage: tarnwick-export FORMAT [--rate N] [--non-drop] LIST.txt... [-o OUT | -d FOLDER]
       tarnwick-export --to-list [--rate N] [--non-drop] FILE... [-o OUT | -d FOLDER]

Converts Tarnwick list files for other programs. Each file is read as File > Open reads it
(code page 932, durations computed again from IN and OUT, rows 0001 to 0040), and the
output is what the window's export writes. FORMAT is one of:

)";

const char OPTIONS[] = R"(
  --rate N       frames a second the labels count: 24, 25 or 30 (default 30); a list
                 file saved at 24 or 25 says its rate and is read at it, and a --rate
                 that says another is an error for that file
  --non-drop     at 30, count non-drop (default: drop-frame, 29.97)
  -o OUT         write to OUT (with a single LIST only)
  -d FOLDER      write into FOLDER, created when missing
  --to-list      the other way: read each FILE of any format above (told by its content,
                 or by its extension when the content is no more than a table of text)
                 as the window's import reads it, at --rate, and write it as a list file,
                 FILE's name with .txt; notes name each line kept with a label the rate
                 lacks (as text), each thing left out and rows past the 40th
  --help         show this text and exit

Rows that cannot become an entry of an EDL, a log or markers (no IN or OUT, an OUT not after
its IN, a label the rate does not have, such as 00:01:00:00 in drop-frame) are left out and
named. Text a format cannot hold is replaced by its rule (EDL: line breaks and control
characters become spaces; log: tabs too; FCPXML and xmeml: control characters other than
tab and line ends become U+FFFD; markers in an EDL: '|' in the SP No. becomes U+FF5C), and
the rows so changed are named. CSV, the workbook and OTIO keep every character.
)";

const char TAIL[] = R"(
One line per file: "LIST -> OUTPUT" on standard output, with notes in brackets on what
was left out, as the window would show it: lines numbered outside 0001 to 0040, bytes
that are not code page 932 (shown as U+FFFD), rows that make no entry. A file that
could not be converted gets its line on standard error.

Exit status: 0 when every file was written, 1 when any file failed, 2 on a usage error.
)";

} // namespace

void AddFormatOptions(QCommandLineParser& parser) {
    for (const InterchangeFormat& format : InterchangeFormats())
        parser.addOption(QCommandLineOption(QLatin1String(format.option)));
}

QVector<const InterchangeFormat*> FormatsGiven(const QCommandLineParser& parser) {
    QVector<const InterchangeFormat*> given;
    for (const InterchangeFormat& format : InterchangeFormats()) {
        if (parser.isSet(QLatin1String(format.option)))
            given << &format;
    }
    return given;
}

QString FormatChoiceError() {
    QStringList options;
    for (const InterchangeFormat& format : InterchangeFormats())
        options << Option(format);
    return QStringLiteral("give one of ") + Listed(options, QStringLiteral(" and "));
}

QString ConverterHelp() {
    qsizetype longest = 0;
    for (const InterchangeFormat& format : InterchangeFormats())
        longest = std::max(longest, Option(format).size());
    // The descriptions start where the other options' do, or further for a long option.
    const qsizetype column = std::max<qsizetype>(17, 2 + longest + 2);

    QString help = QString::fromUtf8(HEAD);
    QStringList outputs;
    for (const InterchangeFormat& format : InterchangeFormats()) {
        const QString lead = (QStringLiteral("  ") + Option(format)).leftJustified(column);
        help += lead + Wrap(QString::fromUtf8(format.help), column, column) + QLatin1Char('\n');
        outputs << ExportFileName(QStringLiteral("spots.txt"), format);
    }
    help += QString::fromUtf8(OPTIONS);
    help += QLatin1Char('\n') +
            Wrap(QStringLiteral("Without -o or -d, each output goes beside its input with the new "
                                "extension: spots.txt gives %1. An existing output is replaced "
                                "whole, and only once the new one is complete on disk; every "
                                "output is on disk when the program ends. An input is never "
                                "overwritten, and of two inputs that would give the same output "
                                "only the first is converted. An output that is a symbolic link "
                                "(given to -o, or standing in FOLDER) is followed: the plain file "
                                "it names is replaced as safely, and the link stays. A link that "
                                "leads to anything else (nowhere, a loop, a device, a FIFO, a "
                                "folder) is refused, never replaced by a file. Only plain files "
                                "are read: a FIFO, a device or a folder given as a LIST is refused "
                                "at once.")
                     .arg(Listed(outputs, QStringLiteral(" or "))),
                 0, 0) +
            QLatin1Char('\n');
    help += QString::fromUtf8(TAIL);
    return help;
}
