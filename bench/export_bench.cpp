// Times tarnwick-export over 1,000 full list files (40 rows each, Japanese remarks, code
// page 932), as a user would run it on a folder of old lists: one process, every file read,
// exported and written safely (every output on disk before it replaces anything, and the
// replacements on disk before the program ends), in every format. The first run of a format
// writes new files, the later ones replace them. Beside it, a plain copy of the same 1,000
// list files (cp, then one sync of the folder's file system) shows what the disk alone costs.
// The processor time shows how much of the wall time is waiting for the disk.
#include "platform/codepage.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>
#include <sys/resource.h>

namespace {

double ChildrenCpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_CHILDREN, &usage);
    return double(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           double(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

constexpr int FILES = 1000;
constexpr int ROWS = 40;

QByteArray ListFile(int n) {
    QString text;
    for (int r = 1; r <= ROWS; ++r) {
        const int second = r * 31 + n % 60;
        text +=
            QString::asprintf("%04d %04d  01:%02d:%02d:00/01:%02d:%02d:15/30:15 ", r, r,
                              second / 60, second % 60, (second + 30) / 60, (second + 30) % 60) +
            QStringLiteral("ＣＭ素材 %1, \"差し替え\"\r\n").arg(r);
    }
    return Cp932Encode(text);
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    if (!dir.isValid())
        return 1;
    QStringList inputs;
    for (int n = 0; n < FILES; ++n) {
        const QString path = dir.filePath(QStringLiteral("list%1.txt").arg(n, 4, 10, QChar('0')));
        QFile f(path);
        if (!f.open(QIODevice::WriteOnly) || f.write(ListFile(n)) < 0)
            return 1;
        inputs << path;
    }
    for (int run = 1; run <= 3; ++run) {
        const QString copies = dir.filePath(QStringLiteral("copy"));
        QDir().mkpath(copies);
        QElapsedTimer timer;
        timer.start();
        // A shell for the glob: one cp for the lot, as a user would copy a folder.
        const int status =
            QProcess::execute(QStringLiteral("sh"), {QStringLiteral("-c"),
                                                     QStringLiteral("cp -f \"$0\"/list*.txt "
                                                                    "\"$1\" && sync -f \"$1\""),
                                                     dir.path(), copies});
        if (status != 0)
            return 1;
        std::printf("plain copy run %d: %d files in %.0f ms\n", run, FILES,
                    double(timer.nsecsElapsed()) / 1e6);
    }
    for (const char* format :
         {"--csv", "--xlsx", "--edl", "--ale", "--markers-edl", "--fcpxml", "--xmeml", "--otio"}) {
        for (int run = 1; run <= 3; ++run) {
            QProcess p;
            p.setProcessChannelMode(QProcess::ForwardedErrorChannel);
            const double cpuBefore = ChildrenCpuSeconds();
            QElapsedTimer timer;
            timer.start();
            p.start(QStringLiteral(TARNWICK_EXPORT), QStringList{QString::fromLatin1(format)}
                                                         << inputs << QStringLiteral("-d")
                                                         << dir.filePath(QStringLiteral("out")));
            if (!p.waitForFinished(600000) || p.exitCode() != 0)
                return 1;
            const double ms = double(timer.nsecsElapsed()) / 1e6;
            const double cpuMs = (ChildrenCpuSeconds() - cpuBefore) * 1000;
            std::printf("%s run %d: %d files of %d rows in %.0f ms (%.2f ms a file), %.0f ms of "
                        "processor time\n",
                        format + 2, run, FILES, ROWS, ms, ms / FILES, cpuMs);
        }
    }
    return 0;
}
