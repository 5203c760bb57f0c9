// tarnwick-export: converts folders of list files to what the window exports: CSV, an Excel
// workbook, an EDL, a log, or markers for editing timelines; and, with --to-list, files of
// those formats back into list files.

#include "convert.h"
#include "format_options.h"
#include "persist/app_settings.h"
#include "persist/settings_io.h"
#include "platform/replace_files_batch.h"
#include "platform/ui_language.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QSet>
#include <QThread>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <functional>
#include <thread>
#include <vector>

#ifdef __GLIBC__
#include <malloc.h>
#endif

namespace {

// Outputs are written this many at a time: one wait for the disk per batch, and memory
// for no more than a batch's outputs.
constexpr int BATCH = 256;

int Usage(const QString& message) {
    std::fprintf(stderr, "tarnwick-export: %s\n%s\n", qPrintable(message),
                 qPrintable(Converter::tr("詳しくは 'tarnwick-export --help' を見てください。")));
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

// A link as an output is followed to a plain file; one that leads anywhere else is refused,
// where a file put in its place would not be where the link said.
bool LinkToNoPlainFile(const QString& path) {
    const QFileInfo info(path);
    return info.isSymLink() && !QFileInfo(info.canonicalFilePath()).isFile();
}

// Beside the input: its own folder prefix, as typed, with the output's name.
QString OutputBeside(const QString& input, const QString& outputName) {
    const QString name = QFileInfo(input).fileName();
    return input.left(input.size() - name.size()) + outputName;
}

// The list file a file read back becomes: its name with .txt for its extension.
QString ListFileName(const QString& input) {
    const QString base = QFileInfo(input).completeBaseName();
    return (base.isEmpty() ? QStringLiteral("spotlist") : base) + QStringLiteral(".txt");
}

struct Job {
    QString input, output;
    bool convert = false; // false: refused before conversion, result.error says why
    ConversionResult result;
};

void Report(const Job& job) {
    if (job.result.written) {
        const QString notes =
            job.result.notes.isEmpty()
                ? QString()
                : QStringLiteral(" (%1)").arg(job.result.notes.join(QStringLiteral("; ")));
        std::printf("%s -> %s%s\n", qPrintable(job.input), qPrintable(job.output),
                    qPrintable(notes));
    } else {
        std::fflush(stdout);
        std::fprintf(stderr, "tarnwick-export: %s: %s\n", qPrintable(job.input),
                     qPrintable(job.result.error));
        std::fflush(stderr);
    }
}

// Converts the batch's files on every processor: reading, exporting and building a workbook
// take processor time, and each file is a job of its own.
void ConvertAll(QVector<Job>* jobs,
                const std::function<ConversionResult(const QString&)>& convert) {
    std::atomic<int> next{0};
    const auto work = [&]() {
        for (int i = next++; i < jobs->size(); i = next++) {
            Job& job = (*jobs)[i];
            if (job.convert)
                job.result = convert(job.input);
        }
    };
    const int threads = std::clamp(QThread::idealThreadCount(), 1, 8);
    std::vector<std::thread> pool;
    for (int t = 1; t < threads; ++t)
        pool.emplace_back(work);
    work();
    for (std::thread& t : pool)
        t.join();
}

// Writes the batch's outputs together and reports each file in order; false when any failed.
bool Flush(QVector<Job>* jobs) {
    QVector<BatchFile> files;
    QVector<int> written;
    for (int i = 0; i < jobs->size(); ++i) {
        if (jobs->at(i).result.written) {
            files.append({jobs->at(i).output, jobs->at(i).result.bytes});
            written.append(i);
        }
    }
    const QVector<bool> done = ReplaceFilesBatch(files);
    bool failed = false;
    for (int k = 0; k < written.size(); ++k) {
        ConversionResult& r = (*jobs)[written.at(k)].result;
        if (!done.at(k)) {
            r.written = false;
            r.notes.clear();
            r.error = Converter::tr("%1 に書き込めません").arg(jobs->at(written.at(k)).output);
        }
    }
    for (const Job& job : *jobs) {
        failed = failed || !job.result.written;
        Report(job);
    }
    jobs->clear();
    return !failed;
}

} // namespace

int main(int argc, char* argv[]) {
#ifdef __GLIBC__
    // A workbook compresses each of its dozen parts with a fresh deflate state of a few hundred
    // kilobytes. Left to its defaults the allocator maps and unmaps each one, and a batch of
    // workbooks spends most of its time on page faults; kept in the heap, they are reused.
    mallopt(M_MMAP_THRESHOLD, 4 * 1024 * 1024);
    mallopt(M_TRIM_THRESHOLD, 64 * 1024 * 1024);
#endif
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarnwick-export"));
    // The window's language: default.ini's in the folder it runs in, else the locale's.
    AppSettings settings;
    LoadAppSettings(QDir::currentPath() + QStringLiteral("/default.ini"), &settings);
    InstallUiLanguage(ChooseUiLanguage(settings.Language, LocaleNameFromEnvironment()));

    QCommandLineParser parser;
    AddFormatOptions(parser);
    const QCommandLineOption rateOpt(QStringLiteral("rate"), QString(), QStringLiteral("N"));
    const QCommandLineOption nonDropOpt(QStringLiteral("non-drop"));
    const QCommandLineOption outOpt(QStringLiteral("o"), QString(), QStringLiteral("OUT"));
    const QCommandLineOption dirOpt(QStringLiteral("d"), QString(), QStringLiteral("FOLDER"));
    const QCommandLineOption toListOpt(QStringLiteral("to-list"));
    const QCommandLineOption helpOpt(QStringList{QStringLiteral("h"), QStringLiteral("help")});
    parser.addOptions({rateOpt, nonDropOpt, outOpt, dirOpt, toListOpt, helpOpt});
    if (!parser.parse(QCoreApplication::arguments()))
        return Usage(parser.errorText());
    if (parser.isSet(helpOpt)) {
        std::fputs(ConverterHelp().toUtf8().constData(), stdout);
        return 0;
    }

    const QStringList inputs = parser.positionalArguments();
    const QVector<const InterchangeFormat*> chosen = FormatsGiven(parser);
    const bool toList = parser.isSet(toListOpt);
    if (toList && !chosen.isEmpty())
        return Usage(Converter::tr("--to-list はどの形式も読みます。形式は指定しないでください"));
    if (!toList && chosen.size() != 1)
        return Usage(FormatChoiceError());
    if (inputs.isEmpty())
        return Usage(Converter::tr("リストファイルが指定されていません"));
    if (parser.isSet(outOpt) && parser.isSet(dirOpt))
        return Usage(Converter::tr("-o と -d はどちらか一方だけを指定してください"));
    if (parser.values(outOpt).size() > 1 || parser.values(dirOpt).size() > 1)
        return Usage(Converter::tr("-o と -d は1回だけ指定できます"));
    if (parser.isSet(outOpt) && inputs.size() > 1)
        return Usage(Converter::tr(
            "-o に指定できるリストファイルは1つです。複数のときは -d を使ってください"));
    int fps = 30;
    if (parser.isSet(rateOpt)) {
        bool number = false;
        fps = parser.value(rateOpt).toInt(&number);
        if (!number || !IsListFrameRate(fps))
            return Usage(Converter::tr("--rate には 24、25 または 30 を指定してください"));
    }

    const TimecodeRate rate{fps, RateHasDropFrame(fps) && !parser.isSet(nonDropOpt)};
    const bool rateGiven = parser.isSet(rateOpt);
    std::function<ConversionResult(const QString&)> convert;
    std::function<QString(const QString&)> outputName;
    if (toList) {
        convert = [rate](const QString& input) { return ConvertToListFile(input, rate); };
        outputName = &ListFileName;
    } else {
        const InterchangeFormat& format = *chosen.first();
        convert = [&format, rate, rateGiven](const QString& input) {
            return ConvertListFile(input, format, rate, rateGiven);
        };
        outputName = [&format](const QString& input) { return ExportFileName(input, format); };
    }
    const QString folder = parser.value(dirOpt);
    if (!folder.isEmpty() && !QDir().mkpath(folder)) {
        std::fprintf(stderr, "tarnwick-export: %s\n",
                     qPrintable(Converter::tr("フォルダ %1 を作れません").arg(folder)));
        return 1;
    }

    QSet<QString> inputIds;
    for (const QString& input : inputs)
        inputIds.insert(FileIdentity(input));

    QSet<QString> outputIds;
    bool failed = false;
    QVector<Job> jobs;
    for (const QString& input : inputs) {
        Job job;
        job.input = input;
        if (parser.isSet(outOpt))
            job.output = parser.value(outOpt);
        else if (!folder.isEmpty())
            job.output = QDir(folder).filePath(outputName(input));
        else
            job.output = OutputBeside(input, outputName(input));

        const QString outputId = FileIdentity(job.output);
        if (inputIds.contains(outputId))
            job.result.error =
                Converter::tr("%1 は入力ファイルのため上書きしません").arg(job.output);
        else if (outputIds.contains(outputId))
            job.result.error = Converter::tr("%1 は前の入力から書き出し済みです").arg(job.output);
        else if (LinkToNoPlainFile(job.output))
            job.result.error =
                Converter::tr("%1 は通常のファイルを指さないリンクのため置き換えません")
                    .arg(job.output);
        else
            job.convert = true;
        outputIds.insert(outputId);
        jobs.append(job);
        if (jobs.size() == BATCH) {
            ConvertAll(&jobs, convert);
            failed = !Flush(&jobs) || failed;
        }
    }
    ConvertAll(&jobs, convert);
    failed = !Flush(&jobs) || failed;
    return failed ? 1 : 0;
}
