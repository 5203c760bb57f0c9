// The video file source through its module, as the program loads it: cue and step exactness
// against the frame number drawn in the picture, capture accuracy still and at play speed, and
// the cost of a one-hour 1080p H.264 file. Prints figures; asserts nothing. Clips are made with
// ffmpeg under TMPDIR and removed afterwards.
//   video_bench [--cues N] [--captures N] [--hour-file PATH] [--no-hour]
// Run offscreen (QT_QPA_PLATFORM=offscreen) or with a display.
#include "test_clips.h"
#include "video/video_module.h"

#include <QApplication>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <QWidget>

#include <cstdio>
#include <map>
#include <random>
#include <sys/resource.h>

namespace {

using test_clips::Clip;

struct Rate {
    const char* name;
    Clip clip;
};

int64_t CpuNs() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    auto ns = [](const timeval& t) { return int64_t(t.tv_sec) * 1'000'000'000 + t.tv_usec * 1000; };
    return ns(usage.ru_utime) + ns(usage.ru_stime);
}

// The process's resident memory, and its peak, in MiB.
std::pair<double, double> MemoryMiB() {
    QFile status(QStringLiteral("/proc/self/status"));
    double rss = 0, peak = 0;
    if (status.open(QIODevice::ReadOnly)) {
        for (const QByteArray& line : status.readAll().split('\n')) {
            const QList<QByteArray> fields = line.simplified().split(' ');
            if (fields.size() >= 2 && fields[0] == "VmRSS:")
                rss = fields[1].toDouble() / 1024;
            if (fields.size() >= 2 && fields[0] == "VmHWM:")
                peak = fields[1].toDouble() / 1024;
        }
    }
    return {rss, peak};
}

bool WaitFor(const std::function<bool()>& condition, int ms = 10000) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 2);
    }
    return true;
}

// Lets the window's thread run for a while, as it does between a key going down and its
// handling.
void Spin(int ms) {
    QElapsedTimer timer;
    timer.start();
    while (timer.elapsed() < ms)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 1);
}

int CodeShown(VideoSource& source, bool* labelMatches = nullptr) {
    Timecode label;
    const int code = test_clips::ReadCode(source.PictureShown(&label));
    if (labelMatches)
        *labelMatches = label == source.Facts().start.Plus(code);
    return code;
}

std::unique_ptr<VideoSource> OpenFile(const QString& path, QSize picture) {
    QString why;
    std::unique_ptr<VideoSource> source = VideoModule::CreateSource(&why);
    if (!source) {
        std::fprintf(stderr, "no source: %s\n", qPrintable(why));
        return nullptr;
    }
    source->PictureWindow()->resize(picture.width(), picture.height() + 32);
    source->ShowPicture(true);
    if (source->Open(path.toUtf8().constData()) != 1) {
        std::fprintf(stderr, "%s\n", source->Facts().note.c_str());
        return nullptr;
    }
    if (!WaitFor([&] { return source->ReadTimecode().IsValid(); }))
        return nullptr;
    return source;
}

void Histogram(const char* title, const std::map<int, int>& counts) {
    std::printf("  %-34s", title);
    for (int d = -2; d <= 2; ++d) {
        auto it = counts.find(d);
        std::printf(" %+d:%-4d", d, it == counts.end() ? 0 : it->second);
    }
    int outside = 0;
    for (const auto& [d, n] : counts)
        if (d < -2 || d > 2)
            outside += n;
    std::printf(" beyond:%d\n", outside);
}

void CuesAndSteps(const Rate& rate, const QString& path, int cues, int captures) {
    std::unique_ptr<VideoSource> source = OpenFile(path, QSize(640, 360));
    if (!source)
        return;
    const int64_t frames = source->Facts().frameCount;
    const Timecode start = source->Facts().start;
    std::mt19937 random(29);
    std::uniform_int_distribution<int64_t> anywhere(1, frames - 2);
    int wrongCue = 0, wrongNext = 0, wrongBack = 0, mislabelled = 0, unsettled = 0;
    QElapsedTimer timer;
    qint64 cueNs = 0, stepNs = 0;
    auto settle = [&] {
        if (!WaitFor([&] { return source->Settled(); }, 5000))
            ++unsettled;
    };
    auto check = [&](int64_t want, int& wrong) {
        bool labelMatches = false;
        const int code = CodeShown(*source, &labelMatches);
        if (code != want) {
            ++wrong;
            if (qEnvironmentVariableIsSet("VIDEO_BENCH_VERBOSE"))
                std::fprintf(stderr, "wanted %lld, drawn %d, label %lld\n", (long long)want, code,
                             (long long)(source->ReadTimecode().Frame() - start.Frame()));
        }
        if (!labelMatches)
            ++mislabelled;
    };
    for (int i = 0; i < cues; ++i) {
        const int64_t target = anywhere(random);
        timer.start();
        source->Request({TransportVerb::CueTo, 0.0, start.Plus(target)});
        settle();
        cueNs += timer.nsecsElapsed();
        check(target, wrongCue);
        timer.start();
        source->Request({TransportVerb::StepForward, 0.0, Timecode()});
        settle();
        check(target + 1, wrongNext);
        source->Request({TransportVerb::StepBack, 0.0, Timecode()});
        settle();
        stepNs += timer.nsecsElapsed();
        check(target, wrongBack);
    }
    std::printf("%-10s %5d cues: wrong %d, +1 step wrong %d, -1 step wrong %d; label not the "
                "picture's %d; not settled %d; cue %.1f ms, step %.1f ms (mean)\n",
                rate.name, cues, wrongCue, wrongNext, wrongBack, mislabelled, unsettled,
                cueNs / 1e6 / cues, stepNs / 1e6 / (2 * cues));

    // Captures: the frame drawn when the key went down against the capture made after the
    // window's thread was busy 0 to 30 ms.
    std::uniform_int_distribution<int> busy(0, 30), gap(50, 250);
    std::map<int, int> still, playing;
    for (int i = 0; i < captures; ++i) {
        source->Request({TransportVerb::CueTo, 0.0, start.Plus(anywhere(random))});
        settle();
        const int64_t pressNs = SteadyNowNs();
        const int drawn = CodeShown(*source);
        Spin(busy(random));
        const std::optional<Timecode> captured = source->TimecodeAt(pressNs);
        ++still[captured ? captured->Frame() - start.Plus(drawn).Frame() : 99];
    }
    source->Request({TransportVerb::CueThenPlay, 0.0, start.Plus(30)});
    WaitFor([&] { return source->State().mode == TransportMode::Play; });
    Spin(300);
    int mislabelledPlaying = 0;
    for (int i = 0; i < captures; ++i) {
        const int64_t pressNs = SteadyNowNs();
        bool labelMatches = false;
        const int drawn = CodeShown(*source, &labelMatches);
        mislabelledPlaying += labelMatches ? 0 : 1;
        Spin(busy(random));
        const std::optional<Timecode> captured = source->TimecodeAt(pressNs);
        ++playing[captured ? captured->Frame() - start.Plus(drawn).Frame() : 99];
        Spin(gap(random));
    }
    source->Request({TransportVerb::Still, 0.0, Timecode()});
    Histogram("  capture - picture, still:", still);
    Histogram("  capture - picture, 1x:", playing);
    std::printf("    pictures at 1x whose label was not their frame's: %d of %d\n",
                mislabelledPlaying, captures);
}

void HourFile(const QString& path) {
    for (QSize picture : {QSize(960, 540), QSize(1920, 1080)}) {
        QElapsedTimer timer;
        timer.start();
        std::unique_ptr<VideoSource> source = OpenFile(path, picture);
        if (!source)
            return;
        const double firstMs = timer.nsecsElapsed() / 1e6;
        std::printf("one hour 1080p H.264, picture %dx%d: open to first frame %.0f ms\n",
                    picture.width(), picture.height(), firstMs);
        // Cues across the hour.
        std::mt19937 random(7);
        std::uniform_int_distribution<int64_t> anywhere(0, source->Facts().frameCount - 1);
        timer.start();
        int settledCues = 0;
        for (int i = 0; i < 20; ++i) {
            source->Request(
                {TransportVerb::CueTo, 0.0, source->Facts().start.Plus(anywhere(random))});
            settledCues += WaitFor([&] { return source->Settled(); }, 10000) ? 1 : 0;
        }
        std::printf("  20 random cues: %.0f ms each (mean), %d landed\n",
                    timer.nsecsElapsed() / 1e6 / 20, settledCues);
        source->Request({TransportVerb::Play, 0.0, Timecode()});
        Spin(2000);
        const int64_t cpu0 = CpuNs();
        const int64_t frame0 = source->ReadTimecode().Frame();
        timer.start();
        Spin(10000);
        const double wallNs = double(timer.nsecsElapsed());
        const double cpu = (CpuNs() - cpu0) / wallNs * 100;
        const int64_t advanced = source->ReadTimecode().Frame() - frame0;
        const auto [rss, peak] = MemoryMiB();
        std::printf("  playing 10 s at 1x: CPU %.0f %% of one core, %.1f frames a second "
                    "shown, resident %.0f MiB (peak %.0f MiB)\n",
                    cpu, advanced * 1e9 / wallNs, rss, peak);
    }
}

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("TARNWICK_VIDEO_MODULE"))
        qputenv("TARNWICK_VIDEO_MODULE", VIDEO_MODULE_PATH);
    if (qEnvironmentVariableIsEmpty("TARNWICK_VIDEO_AO"))
        qputenv("TARNWICK_VIDEO_AO", "null");
    QApplication app(argc, argv);
    int cues = 1000, captures = 100;
    QString hourFile;
    bool hour = true;
    const QStringList args = app.arguments();
    for (int i = 1; i < args.size(); ++i) {
        if (args[i] == "--cues" && i + 1 < args.size())
            cues = args[++i].toInt();
        else if (args[i] == "--captures" && i + 1 < args.size())
            captures = args[++i].toInt();
        else if (args[i] == "--hour-file" && i + 1 < args.size())
            hourFile = args[++i];
        else if (args[i] == "--no-hour")
            hour = false;
    }

    const auto before = MemoryMiB();
    QElapsedTimer timer;
    timer.start();
    QString why;
    std::unique_ptr<VideoSource> first = VideoModule::CreateSource(&why);
    if (!first) {
        std::fprintf(stderr, "%s\n", qPrintable(why));
        return 1;
    }
    const double loadMs = timer.nsecsElapsed() / 1e6;
    first.reset();
    const auto loaded = MemoryMiB();
    std::printf("module loaded and a source made in %.1f ms; resident %.0f MiB before, %.0f "
                "MiB after\n",
                loadMs, before.first, loaded.first);

    QTemporaryDir dir;
    const Rate rates[] = {
        {"23.976", Clip("24000/1001", "01:00:00:00", 60)},
        {"25", Clip("25", "10:00:00:00", 60)},
        {"29.97 DF", Clip("30000/1001", "00:59:30;00", 60)},
        {"30", Clip("30", "01:00:00:00", 60)},
    };
    for (const Rate& rate : rates) {
        const QString path = dir.filePath(QString::fromLatin1(rate.name) + ".mov");
        const QString error = test_clips::Make(rate.clip, path);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s\n", qPrintable(error));
            return 1;
        }
        CuesAndSteps(rate, path, cues, captures);
        QFile::remove(path);
    }

    if (hour) {
        if (hourFile.isEmpty()) {
            // Twenty seconds encoded (preset fast), then copied end to end to an hour: the
            // player decodes an hour of H.264 either way.
            const QString part = dir.filePath("part.mov");
            const QString list = dir.filePath("list.txt");
            hourFile = dir.filePath("hour.mov");
            timer.start();
            QString error = test_clips::RunFfmpeg(
                {"-f",   "lavfi",   "-i",        "testsrc2=s=1920x1080:r=30000/1001:d=20",
                 "-f",   "lavfi",   "-i",        "sine=frequency=440:sample_rate=48000:d=20",
                 "-c:v", "libx264", "-preset",   "fast",
                 "-g",   "48",      "-pix_fmt",  "yuv420p",
                 "-c:a", "aac",     "-shortest", part},
                1800000);
            QFile listFile(list);
            if (error.isEmpty() && listFile.open(QIODevice::WriteOnly)) {
                for (int i = 0; i < 180; ++i)
                    listFile.write("file '" + part.toUtf8() + "'\n");
                listFile.close();
                error = test_clips::RunFfmpeg({"-f", "concat", "-safe", "0", "-i", list, "-c",
                                               "copy", "-timecode", "01:00:00;00", hourFile},
                                              600000);
            }
            if (!error.isEmpty()) {
                std::fprintf(stderr, "%s\n", qPrintable(error));
                return 1;
            }
            std::printf("one-hour file made in %.0f s\n", timer.nsecsElapsed() / 1e9);
        }
        HourFile(hourFile);
    }
    return 0;
}
