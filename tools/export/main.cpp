// tarnwick-export: converts folders of list files to CSV or EDL, as the window exports them.

#include "convert.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>

#include <cstdio>

namespace {

const char HELP[] =
    R"(Usage: tarnwick-export (--csv | --edl) [--non-drop] LIST.txt... [-o OUT | -d FOLDER]

Converts Tarnwick list files to CSV, for spreadsheets, or to an EDL (CMX 3600), for
editing systems. Each file is read as File > Open reads it (code page 932, durations
computed again from IN and OUT, rows 0001 to 0040), and the output is what the window's
export writes.

  --csv         CSV: UTF-8 with a byte-order mark, CR LF, a header line, then one line
                per row that holds anything
  --edl         EDL: one event per row with a valid IN and a later OUT, record times
                back to back from 01:00:00:00, SP No. and remark as notes
  --non-drop    count durations and record times non-drop (default: drop-frame)
  -o OUT        write to OUT (with a single LIST only)
  -d FOLDER     write into FOLDER, created when missing
  --help        show this text and exit

Without -o or -d, each output goes beside its input with the new extension:
spots.txt gives spots.csv or spots.edl. An existing output is replaced whole, and only
once the new one is complete. An input is never overwritten, and of two inputs that would
give the same output only the first is converted.

One line per file: "LIST -> OUTPUT" on standard output, with notes in brackets on what
was left out, as the window would show it: lines numbered outside 0001 to 0040, bytes
that are not code page 932 (shown as U+FFFD), rows that make no EDL event. A file that
could not be converted gets its line on standard error.

Exit status: 0 when every file was written, 1 when any file failed, 2 on a usage error.
)";

int Usage(const QString& message) {
    std::fprintf(stderr, "tarnwick-export: %s\nTry 'tarnwick-export --help'.\n",
                 qPrintable(message));
    return 2;
}

// Which file a path names, for telling outputs from inputs: symbolic links resolved, and a
// file yet to be written named by its resolved folder.
QString FileIdentity(const QString& path) {
    const QFileInfo info(path);
    QString id = info.exists() ? info.canonicalFilePath() : QString();
    if (id.isEmpty()) {
        const QString dir = QFileInfo(info.absolutePath()).canonicalFilePath();
        id = dir.isEmpty() ? QDir::cleanPath(info.absoluteFilePath())
                           : dir + QLatin1Char('/') + info.fileName();
    }
#ifdef Q_OS_WIN
    id = id.toCaseFolded(); // names differing in case are one file there
#endif
    return id;
}

// Beside the input: its own folder prefix, as typed, with the export's name.
QString OutputBeside(const QString& input, ExportFormat format) {
    const QString name = QFileInfo(input).fileName();
    return input.left(input.size() - name.size()) + ExportFileName(input, format);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnwick-export"));

    QCommandLineParser parser;
    const QCommandLineOption csvOpt(QStringLiteral("csv"));
    const QCommandLineOption edlOpt(QStringLiteral("edl"));
    const QCommandLineOption nonDropOpt(QStringLiteral("non-drop"));
    const QCommandLineOption outOpt(QStringLiteral("o"), QString(), QStringLiteral("OUT"));
    const QCommandLineOption dirOpt(QStringLiteral("d"), QString(), QStringLiteral("FOLDER"));
    const QCommandLineOption helpOpt(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({csvOpt, edlOpt, nonDropOpt, outOpt, dirOpt, helpOpt});
    if (!parser.parse(QCoreApplication::arguments()))
        return Usage(parser.errorText());
    if (parser.isSet(helpOpt)) {
        std::fputs(HELP, stdout);
        return 0;
    }

    const QStringList inputs = parser.positionalArguments();
    if (parser.isSet(csvOpt) == parser.isSet(edlOpt))
        return Usage(QStringLiteral("give one of --csv and --edl"));
    if (inputs.isEmpty())
        return Usage(QStringLiteral("no list file given"));
    if (parser.isSet(outOpt) && parser.isSet(dirOpt))
        return Usage(QStringLiteral("give -o or -d, not both"));
    if (parser.values(outOpt).size() > 1 || parser.values(dirOpt).size() > 1)
        return Usage(QStringLiteral("-o and -d may be given once"));
    if (parser.isSet(outOpt) && inputs.size() > 1)
        return Usage(QStringLiteral("-o takes a single list file; use -d for several"));

    const ExportFormat format = parser.isSet(csvOpt) ? ExportFormat::Csv : ExportFormat::Edl;
    const TimecodeRate rate = TimecodeRate::Thirty(!parser.isSet(nonDropOpt));
    const QString folder = parser.value(dirOpt);
    if (!folder.isEmpty() && !QDir().mkpath(folder)) {
        std::fprintf(stderr, "tarnwick-export: cannot create folder %s\n", qPrintable(folder));
        return 1;
    }

    QSet<QString> inputIds;
    for (const QString& input : inputs)
        inputIds.insert(FileIdentity(input));

    QSet<QString> outputIds;
    bool failed = false;
    for (const QString& input : inputs) {
        QString output;
        if (parser.isSet(outOpt))
            output = parser.value(outOpt);
        else if (!folder.isEmpty())
            output = QDir(folder).filePath(ExportFileName(input, format));
        else
            output = OutputBeside(input, format);

        const QString outputId = FileIdentity(output);
        ConversionResult result;
        if (inputIds.contains(outputId))
            result.error = QStringLiteral("%1 is an input, not overwritten").arg(output);
        else if (outputIds.contains(outputId))
            result.error = QStringLiteral("%1 written for an earlier input already").arg(output);
        else
            result = ConvertListFile(input, output, format, rate);
        outputIds.insert(outputId);

        if (result.written) {
            const QString notes =
                result.notes.isEmpty()
                    ? QString()
                    : QStringLiteral(" (%1)").arg(result.notes.join(QStringLiteral("; ")));
            std::printf("%s -> %s%s\n", qPrintable(input), qPrintable(output), qPrintable(notes));
        } else {
            failed = true;
            std::fflush(stdout);
            std::fprintf(stderr, "tarnwick-export: %s: %s\n", qPrintable(input),
                         qPrintable(result.error));
        }
    }
    return failed ? 1 : 0;
}
