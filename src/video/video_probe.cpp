#include "video/video_probe.h"

extern "C" {
#include <libavformat/avformat.h>
#include <libavutil/dict.h>
}

#include <QCoreApplication>
#include <QString>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string_view>
#include <sys/stat.h>
#include <vector>

namespace {

// A note's words in the operator's language; arg fills its %1. The note is the file's name
// followed by these words, which read so in either language.
std::string Tr(const char* words, const std::string& arg = {}) {
    QString text = QCoreApplication::translate("VideoProbe", words);
    if (text.contains(QLatin1String("%1")))
        text = text.arg(QString::fromStdString(arg));
    return text.toStdString();
}

// The file as the operator knows it: its name, in the note's quotes.
std::string Named(const std::string& path) {
    const std::string name = std::filesystem::path(path).filename().string();
    return Tr(QT_TRANSLATE_NOOP("VideoProbe", "「%1」"), name.empty() ? path : name);
}

VideoFileFacts Refused(const std::string& path, const std::string& why) {
    VideoFileFacts facts;
    facts.note = Named(path) + why;
    return facts;
}

struct CloseInput {
    void operator()(AVFormatContext* context) const { avformat_close_input(&context); }
};
using Input = std::unique_ptr<AVFormatContext, CloseInput>;

// The rates a list counts, by their exact pace.
struct KnownRate {
    int num;
    int den;
    int fps;
    bool pulledDown;
};
constexpr KnownRate KNOWN_RATES[] = {
    {24000, 1001, 24, true}, {24, 1, 24, false}, {25, 1, 25, false},
    {30000, 1001, 30, true}, {30, 1, 30, false},
};

// Paces closer than this count as one: a container's rounded rate (23.98, 29.97 in
// milliseconds) still names its rate, while 23.976 and 24 (0.1 % apart) stay two.
constexpr double RATE_TOLERANCE = 0.0004;

const KnownRate* MatchRate(double fps) {
    for (const KnownRate& known : KNOWN_RATES) {
        const double exact = double(known.num) / known.den;
        if (std::fabs(fps / exact - 1.0) < RATE_TOLERANCE)
            return &known;
    }
    return nullptr;
}

// "50", "59.94", "12.5": as few decimals as say the rate.
std::string RateText(double fps) {
    char text[32];
    std::snprintf(text, sizeof text, "%.3f", fps);
    std::string out = text;
    while (!out.empty() && out.back() == '0')
        out.pop_back();
    if (!out.empty() && out.back() == '.')
        out.pop_back();
    return out;
}

// Whether the first bytes look like a container libavformat knows, by their content alone: a
// file it knows that will not open is damaged, anything else is no video file at all.
bool LooksLikeMedia(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::vector<unsigned char> head(64 * 1024 + AVPROBE_PADDING_SIZE, 0);
    in.read(reinterpret_cast<char*>(head.data()), 64 * 1024);
    const std::streamsize got = in.gcount();
    if (got <= 0)
        return false;
    AVProbeData probe{};
    probe.filename = ""; // not the extension: a text file named .mov is still text
    probe.buf = head.data();
    probe.buf_size = int(got);
    int score = 0;
    return av_probe_input_format2(&probe, 1, &score) != nullptr;
}

// The tag that carries the start timecode: the video stream's, a timecode track's (QuickTime
// and MP4 tmcd), then the container's.
std::string TimecodeTag(const AVFormatContext* input, const AVStream* video) {
    auto tag = [](const AVDictionary* metadata) -> std::string {
        const AVDictionaryEntry* entry = av_dict_get(metadata, "timecode", nullptr, 0);
        return entry ? entry->value : "";
    };
    std::string text = tag(video->metadata);
    for (unsigned i = 0; text.empty() && i < input->nb_streams; ++i)
        text = tag(input->streams[i]->metadata);
    if (text.empty())
        text = tag(input->metadata);
    return text;
}

} // namespace

Timecode ParseFileTimecode(const std::string& text, int fps, bool* dropMarked) {
    // HH:MM:SS, then the frames after ':' (non-drop) or ';', '.', ',' (drop-frame).
    if (text.size() != 11 || text[2] != ':' || text[5] != ':')
        return Timecode();
    const char separator = text[8];
    const bool drop = separator == ';' || separator == '.' || separator == ',';
    if (!drop && separator != ':')
        return Timecode();
    if (dropMarked)
        *dropMarked = drop;
    std::string plain = text;
    plain[8] = ':';
    return Timecode::FromText(plain, TimecodeRate{fps, drop});
}

VideoFileFacts ProbeVideoFile(const std::string& path) {
    av_log_set_level(AV_LOG_QUIET);
    struct stat status {};
    if (path.empty() || ::stat(path.c_str(), &status) != 0) {
        const int error = errno;
        if (path.empty() || error == ENOENT || error == ENOTDIR)
            return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe", "が見つかりません")));
        return Refused(
            path, Tr(QT_TRANSLATE_NOOP("VideoProbe", "を開けません（%1）"), std::strerror(error)));
    }
    if (!S_ISREG(status.st_mode))
        return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe", "はファイルではありません")));

    AVFormatContext* raw = nullptr;
    const int opened = avformat_open_input(&raw, path.c_str(), nullptr, nullptr);
    Input input(raw);
    if (opened < 0) {
        if (opened == AVERROR(EACCES))
            return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe", "を読む権限がありません")));
        if (!LooksLikeMedia(path))
            return Refused(path,
                           Tr(QT_TRANSLATE_NOOP("VideoProbe", "はビデオファイルではありません")));
        return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe", "は壊れているため読めません")));
    }
    if (avformat_find_stream_info(input.get(), nullptr) < 0)
        return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe", "は壊れているため読めません")));

    // A cover picture in a sound file is a "video" stream of one frame: not a picture to spot.
    const AVStream* video = nullptr;
    bool hasAudio = false;
    for (unsigned i = 0; i < input->nb_streams; ++i) {
        const AVStream* stream = input->streams[i];
        const AVMediaType type = stream->codecpar->codec_type;
        if (type == AVMEDIA_TYPE_AUDIO)
            hasAudio = true;
        if (type == AVMEDIA_TYPE_VIDEO && !video &&
            !(stream->disposition & AV_DISPOSITION_ATTACHED_PIC))
            video = stream;
    }
    if (!video)
        return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe", "には映像がありません")));
    const AVCodecParameters* codec = video->codecpar;
    if (codec->codec_id == AV_CODEC_ID_NONE || codec->width <= 0 || codec->height <= 0)
        return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe", "は壊れているため読めません")));

    // r_frame_rate is the pace every time stamp fits; the average departs from it when frames
    // come at uneven times.
    const AVRational base = video->r_frame_rate;
    const AVRational average = video->avg_frame_rate;
    if (base.num <= 0 || base.den <= 0)
        return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe",
                                                  "はフレームレートが分からないため使えません")));
    const double fps = av_q2d(base);
    if (average.num > 0 && average.den > 0 && std::fabs(av_q2d(average) / fps - 1.0) > 0.001)
        return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe",
                                                  "はフレームレートが一定でないため使えません")));
    const KnownRate* known = MatchRate(fps);
    if (!known)
        return Refused(
            path, Tr(QT_TRANSLATE_NOOP(
                         "VideoProbe",
                         "は%1フレーム/秒です：使えるのは23.976・24・25・29.97・30フレーム/秒の"
                         "ファイルです"),
                     RateText(fps)));

    VideoFileFacts facts;
    facts.usable = true;
    facts.rateNum = known->num;
    facts.rateDen = known->den;
    facts.width = codec->width;
    facts.height = codec->height;
    facts.hasAudio = hasAudio;

    bool drop = false;
    const std::string tag = TimecodeTag(input.get(), video);
    Timecode start = tag.empty() ? Timecode() : ParseFileTimecode(tag, known->fps, &drop);
    if (start) {
        facts.startFromFile = true;
    } else {
        drop = false;
        start = Timecode::AtFrame(0, TimecodeRate{known->fps, false});
        facts.note =
            Named(path) +
            (tag.empty()
                 ? Tr(QT_TRANSLATE_NOOP("VideoProbe",
                                        "にはタイムコードがありません：00:00:00:00から数えます"))
                 : Tr(QT_TRANSLATE_NOOP(
                          "VideoProbe",
                          "のタイムコード「%1」は読めません：00:00:00:00から数えます"),
                      tag));
    }
    facts.start = start;
    facts.rate.rate = TimecodeRate{known->fps, drop};
    facts.rate.periodNs = FramePeriodNs(known->fps, known->pulledDown);

    // The container's count where it keeps one, else the duration at the pace.
    if (video->nb_frames > 0) {
        facts.frameCount = video->nb_frames;
    } else {
        double seconds = 0.0;
        if (video->duration != AV_NOPTS_VALUE && video->duration > 0)
            seconds = double(video->duration) * av_q2d(video->time_base);
        else if (input->duration > 0)
            seconds = double(input->duration) / AV_TIME_BASE;
        facts.frameCount = int64_t(std::llround(seconds * known->num / known->den));
    }
    if (facts.frameCount <= 0)
        return Refused(path, Tr(QT_TRANSLATE_NOOP("VideoProbe", "には映像のフレームがありません")));
    return facts;
}
