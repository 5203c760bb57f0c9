// Time and peak memory of an import, file by file: the hostile files a sender could make (a
// FIFO, a workbook whose one shared string fills 100,000 rows, entities referenced millions of
// times, EDL comments and titles by the hundred thousand, millions of short lines) and, for
// each format, a large honest file (10,000 spots exported by the program itself). Each file is
// read in a child process of its own, so that the peak memory is that file's alone; a child
// gets at most MEMORY_CAP of address space and WALL_CAP of time. The child is this program
// started afresh (--read FILE), so that nothing of the parent counts in its memory.
#include "formats/interchange_formats.h"
#include "formats/list_export.h"
#include "formats/list_import.h"

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <zip.h>

#include <csignal>
#include <cstdio>
#include <functional>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

constexpr rlim_t MEMORY_CAP = 4ull << 30;
constexpr int WALL_CAP_MS = 20000;
constexpr TimecodeRate RATE{25, false};

struct Case {
    const char* name;
    std::function<QByteArray()> bytes; // nothing: a FIFO stands under the name
};

QByteArray Zip(const QVector<QPair<QByteArray, QByteArray>>& entries) {
    QTemporaryDir dir;
    const QByteArray name = QFile::encodeName(dir.filePath(QStringLiteral("z.xlsx")));
    int error = 0;
    zip_t* z = zip_open(name.constData(), ZIP_CREATE, &error);
    if (!z)
        return {};
    for (const auto& e : entries) {
        zip_file_add(z, e.first.constData(),
                     zip_source_buffer(z, e.second.constData(), zip_uint64_t(e.second.size()), 0),
                     ZIP_FL_OVERWRITE);
    }
    QFile file(QString::fromLocal8Bit(name));
    return zip_close(z) == 0 && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QByteArray Workbook(const QByteArray& shared, const QByteArray& sheet) {
    return Zip(
        {{"xl/workbook.xml", R"(<workbook><sheets><sheet r:id="rId1"/></sheets></workbook>)"},
         {"xl/_rels/workbook.xml.rels",
          R"(<Relationships><Relationship Id="rId1" Target="worksheets/sheet1.xml"/>)"
          R"(</Relationships>)"},
         {"xl/sharedStrings.xml", shared},
         {"xl/worksheets/sheet1.xml", sheet}});
}

// One shared string of a million characters, as IN and OUT of 100,000 rows.
QByteArray SharedStringEverywhere(bool spaces) {
    const QByteArray text = QByteArray(1000000, 'A');
    const QByteArray shared = "<sst><si><t xml:space=\"preserve\">" +
                              (spaces ? " " + text + " " : text) + "</t></si></sst>";
    QByteArray sheet = "<worksheet><sheetData>";
    for (int r = 1; r <= 100000; ++r) {
        const QByteArray n = QByteArray::number(r);
        sheet += "<row r=\"" + n + "\"><c r=\"C" + n + "\" t=\"s\"><v>0</v></c><c r=\"D" + n +
                 "\" t=\"s\"><v>0</v></c></row>";
    }
    return Workbook(shared, sheet + "</sheetData></worksheet>");
}

const QByteArray ENTITY_DTD = "<!ENTITY e \"" + QByteArray(4000, 'A') + "\">";

QByteArray EntityFcpxml(int references) {
    return "<?xml version=\"1.0\"?><!DOCTYPE fcpxml [" + ENTITY_DTD +
           "]><fcpxml><marker start=\"3600s\" value=\"" + QByteArray("&e;").repeated(references) +
           "\"/></fcpxml>";
}

QByteArray EntityXmeml(int references) {
    return "<?xml version=\"1.0\"?><!DOCTYPE xmeml [" + ENTITY_DTD +
           "]><xmeml><sequence><rate><timebase>25</timebase></rate><marker><in>0</in><comment>" +
           QByteArray("&e;").repeated(references) + "</comment></marker></sequence></xmeml>";
}

QByteArray EntityWorkbook(int references) {
    return Workbook("<?xml version=\"1.0\"?><!DOCTYPE sst [" + ENTITY_DTD + "]><sst><si><t>" +
                        QByteArray("&e;").repeated(references) + "</t></si></sst>",
                    R"(<worksheet><sheetData><row r="1"><c r="F1" t="s"><v>0</v></c></row>)"
                    R"(</sheetData></worksheet>)");
}

const QByteArray EVENT = "001  AX V C 01:00:00:00 01:00:01:00 01:00:00:00 01:00:01:00\n";

// An honest large file: 10,000 spots with remarks, exported by the program itself.
QByteArray Honest(const InterchangeFormat& format) {
    QVector<ListRowText> rows;
    for (int i = 0; i < 10000; ++i) {
        const int s = i * 7;
        rows.append({QString(), QString::number(i + 1),
                     QString::asprintf("%02d:%02d:%02d:00", 1 + s / 3600, s / 60 % 60, s % 60),
                     QString::asprintf("%02d:%02d:%02d:10", 1 + s / 3600, s / 60 % 60, s % 60),
                     QString(), QStringLiteral(" 本編 カット%1, \"差し替え\" 確認済み").arg(i)});
    }
    return BuildExport(format, rows, QStringLiteral("honest.txt"), RATE).bytes;
}

QVector<Case> Cases() {
    QVector<Case> cases = {
        {"FIFO without a writer", nullptr},
        {"workbook: 1M-char shared string x 200,000 uses, spaced",
         [] { return SharedStringEverywhere(true); }},
        {"workbook: 1M-char shared string x 200,000 uses",
         [] { return SharedStringEverywhere(false); }},
        {"FCPXML: 4,000-char entity x 100,000 (300 KB)", [] { return EntityFcpxml(100000); }},
        {"FCPXML: 4,000-char entity x 4,000,000 (12 MB)", [] { return EntityFcpxml(4000000); }},
        {"FCPXML: parameter entity x 100,000 in its DTD (300 KB)",
         [] {
             return "<?xml version=\"1.0\"?><!--<fcpxml--><!DOCTYPE fcpxml [<!ENTITY % a '" +
                    ENTITY_DTD + "'>" + QByteArray("%a;").repeated(100000) + "]><fcpxml/>";
         }},
        {"xmeml: 4,000-char entity x 100,000 (300 KB)", [] { return EntityXmeml(100000); }},
        {"workbook: 4,000-char entity x 100,000", [] { return EntityWorkbook(100000); }},
        {"EDL: 200,000 COMMENT lines",
         [] { return "TITLE: x\n" + EVENT + QByteArray("* COMMENT: a note\n").repeated(200000); }},
        {"EDL: 14 MB of TITLE lines",
         [] { return QByteArray("TITLE: a title\n").repeated(933000); }},
        {"ALE: 8,000,000 data lines",
         [] {
             return "Heading\nFIELD_DELIM\tTABS\n\nColumn\nName\tStart\tEnd\n\nData\n" +
                    QByteArray("x\n").repeated(8000000);
         }},
        {"EDL: 8,000,000 one-character lines",
         [] { return "TITLE: x\n" + QByteArray("1\n").repeated(8000000); }},
        // Near the size limit, each format's cheapest way to many things.
        {"OTIO: 15 MB of numbers in one array",
         [] {
             return "{\"OTIO_SCHEMA\":\"Timeline.1\",\"x\":[" + QByteArray("0,").repeated(7800000) +
                    "0]}";
         }},
        {"OTIO: 15 MB of markers",
         [] {
             return R"({"OTIO_SCHEMA":"Timeline.1","tracks":{"markers":[)" +
                    QByteArray(R"({"marked_range":{"start_time":{"rate":25,"value":1},)"
                               R"("duration":{"rate":25,"value":1}}},)")
                        .repeated(180000) +
                    "{}]}}";
         }},
        {"FCPXML: 15 MB of markers",
         [] {
             return "<fcpxml>" + QByteArray("<marker start=\"1s\" value=\"m\"/>").repeated(480000) +
                    "</fcpxml>";
         }},
        {"OTIO: 15 MB of empty objects",
         [] {
             return "{\"OTIO_SCHEMA\":\"Timeline.1\",\"x\":[" +
                    QByteArray("{},").repeated(5000000) + "{}]}";
         }},
        {"EDL: an event line of 7,500,000 fields",
         [] { return "TITLE: x\n001 " + QByteArray("a ").repeated(7500000) + "\n"; }},
        {"ALE: a column line of 15,000,000 tabs",
         [] { return "Heading\n\nColumn\n" + QByteArray(15000000, '\t') + "Start\n\nData\nx\n"; }},
        {"CSV: 15 MB of separators", [] { return "IN,OUT\n" + QByteArray(15000000, ','); }},
        {"workbook: a sheet of 1 GB of blanks, zipped",
         [] {
             return Workbook("<sst/>", "<worksheet>" + QByteArray(1 << 30, ' ') + "</worksheet>");
         }},
    };
    for (const InterchangeFormat& f : InterchangeFormats()) {
        static QByteArray names[16];
        QByteArray& name = names[&f - InterchangeFormats().data()];
        name = "honest: 10,000 spots, " + ExportFileName({}, f).toUtf8();
        cases.append({name.constData(), [&f] { return Honest(f); }});
    }
    return cases;
}

// The peak memory of a process since it last started a program (VmHWM), in kB; 0 unknown.
double PeakKb(const QString& process) {
    QFile status(QStringLiteral("/proc/%1/status").arg(process));
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            if (line.startsWith("VmHWM:"))
                return line.mid(6).trimmed().split(' ').value(0).toDouble();
        }
    }
    return 0;
}

// The child: imports the file and prints its peak memory and what came of it.
int ReadOne(const char* path) {
    const rlimit cap{MEMORY_CAP, MEMORY_CAP};
    ::setrlimit(RLIMIT_AS, &cap);
    const ImportedList list = ImportListFile(QFile::decodeName(path), RATE);
    const QByteArray outcome = list.read ? QByteArray::number(list.rows.size()) + " rows, " +
                                               QByteArray::number(list.leftOut.size()) + " left out"
                                         : "refused: " + list.error.toUtf8();
    std::fputs((QByteArray::number(PeakKb(QStringLiteral("self"))) + '\t' + outcome).constData(),
               stdout);
    return 0;
}

void Run(const Case& c, const QString& path, const char* self) {
    const QByteArray name = QFile::encodeName(path);
    ::unlink(name.constData());
    qint64 size = 0;
    if (c.bytes) {
        const QByteArray bytes = c.bytes();
        size = bytes.size();
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
            return;
    } else if (::mkfifo(name.constData(), 0600) != 0) {
        return;
    }
    int report[2];
    if (::pipe(report) != 0)
        return;
    QElapsedTimer wall;
    wall.start();
    // Spawned, not forked: a forked child would count the parent's pages in its peak until
    // it runs the program afresh.
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addclose(&actions, report[0]);
    posix_spawn_file_actions_adddup2(&actions, report[1], STDOUT_FILENO);
    char* argv[] = {const_cast<char*>(self), const_cast<char*>("--read"),
                    const_cast<char*>(name.constData()), nullptr};
    pid_t child = 0;
    const int spawned = ::posix_spawn(&child, self, &actions, nullptr, argv, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0)
        return;
    ::close(report[1]);
    int status = 0;
    rusage usage{};
    bool killed = false;
    double killedPeakKb = 0;
    for (;;) {
        const pid_t done = ::wait4(child, &status, WNOHANG, &usage);
        if (done == child)
            break;
        if (!killed && wall.elapsed() > WALL_CAP_MS) {
            killedPeakKb = PeakKb(QString::number(child));
            ::kill(child, SIGKILL);
            killed = true;
        }
        ::usleep(2000);
    }
    const double ms = double(wall.nsecsElapsed()) / 1e6;
    char outcome[512] = {};
    const ssize_t got = ::read(report[0], outcome, sizeof outcome - 1);
    ::close(report[0]);
    QByteArray said = got > 0 ? QByteArray(outcome, int(got)) : QByteArray();
    // "kB<TAB>outcome" from a child that ended by itself; no figure from one that did not.
    const qsizetype tab = said.indexOf('\t');
    const double peakKb = tab > 0 ? said.left(tab).toDouble() : killedPeakKb;
    said = said.mid(tab + 1);
    if (killed)
        said = "did not end within " + QByteArray::number(WALL_CAP_MS / 1000) + " s";
    else if (said.isEmpty())
        said = WIFSIGNALED(status)
                   ? "died of signal " + QByteArray::number(WTERMSIG(status))
                   : "ran out of memory (" + QByteArray::number(qulonglong(MEMORY_CAP >> 30)) +
                         " GiB cap)";
    const double cpu = double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
                       double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
    // A child that ran out of memory gives no figure: it reached the cap.
    const QByteArray peak = peakKb > 0
                                ? QByteArray::number(peakKb / 1024, 'f', 1) + " MB"
                                : ">" + QByteArray::number(qulonglong(MEMORY_CAP >> 20)) + " MB";
    std::printf("%-58s %9.1f KB %9.0f ms %7.2f s %11s  %s\n", c.name, double(size) / 1024, ms, cpu,
                peak.constData(), said.constData());
    std::fflush(stdout);
    ::unlink(name.constData());
}

} // namespace

int main(int argc, char* argv[]) {
    if (argc == 3 && QByteArray(argv[1]) == "--read")
        return ReadOne(argv[2]);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    const QByteArray only = argc > 1 ? QByteArray(argv[1]) : QByteArray();
    std::printf("%-58s %12s %12s %9s %11s  %s\n", "file", "size", "wall", "CPU", "peak RSS",
                "outcome");
    for (const Case& c : Cases()) {
        if (only.isEmpty() || QByteArray(c.name).contains(only))
            Run(c, dir.filePath(QStringLiteral("import")), "/proc/self/exe");
    }
    return 0;
}
