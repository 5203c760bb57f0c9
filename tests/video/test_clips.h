#pragma once

#include <QDir>
#include <QImage>
#include <QProcess>
#include <QString>
#include <QStringList>

#include <algorithm>

// Clips made with ffmpeg for the video tests and benchmarks: every frame carries its own
// number, counted from the file's first frame, as a row of CODE_BITS blocks across the top
// third of the picture (least significant bit on the left, a light block for 1), so the frame
// on screen can be read back exactly from a drawn picture at any size.
namespace test_clips {

constexpr int CODE_BITS = 20;
constexpr int WIDTH = 320; // 16 pixels a block
constexpr int HEIGHT = 180;
constexpr int CODE_ROWS = 60;

struct Clip {
    Clip() = default;
    Clip(QString rate, QString timecode, double seconds = 4.0, QString extension = "mov",
         QStringList extra = {}, bool audio = false)
        : rate(rate), timecode(timecode), seconds(seconds), extension(extension), extra(extra),
          audio(audio) {}

    QString rate;     // ffmpeg's frame rate: "24000/1001", "25", "30000/1001", "30"
    QString timecode; // "01:00:00;00" for a timecode track, empty for none
    double seconds = 4.0;
    QString extension = QStringLiteral("mov");
    QStringList extra;  // more ffmpeg output options
    bool audio = false; // a tone beside the picture
};

// The ffmpeg filter that draws the frame's number; frame numbers from the filter count from 0.
inline QString CodeFilter() {
    return QStringLiteral("geq=lum='if(lt(Y,%1),if(mod(floor(N/pow(2,floor(X/%2))),2),235,16),"
                          "128)':cb=128:cr=128")
        .arg(CODE_ROWS)
        .arg(WIDTH / CODE_BITS);
}

// Runs ffmpeg; the error output when it failed, else empty.
inline QString RunFfmpeg(const QStringList& arguments, int timeoutMs = 120000) {
    QProcess ffmpeg;
    ffmpeg.setProcessChannelMode(QProcess::MergedChannels);
    ffmpeg.start(QStringLiteral("ffmpeg"),
                 QStringList{"-hide_banner", "-loglevel", "error", "-nostdin", "-y"} + arguments);
    if (!ffmpeg.waitForStarted())
        return QStringLiteral("ffmpeg did not start (install the ffmpeg package)");
    if (!ffmpeg.waitForFinished(timeoutMs)) {
        ffmpeg.kill();
        ffmpeg.waitForFinished();
        return QStringLiteral("ffmpeg took too long");
    }
    if (ffmpeg.exitStatus() != QProcess::NormalExit || ffmpeg.exitCode() != 0)
        return QString::fromLocal8Bit(ffmpeg.readAll());
    return QString();
}

// Makes the clip at path; the error, or empty.
inline QString Make(const Clip& clip, const QString& path) {
    QStringList args{"-f", "lavfi", "-i",
                     QStringLiteral("color=c=black:s=%1x%2:r=%3:d=%4")
                         .arg(WIDTH)
                         .arg(HEIGHT)
                         .arg(clip.rate)
                         .arg(clip.seconds)};
    if (clip.audio)
        args << "-f"
             << "lavfi"
             << "-i"
             << QStringLiteral("sine=frequency=440:sample_rate=48000:d=%1").arg(clip.seconds);
    // Groups of 24 frames with B-frames: a seek decodes from a key frame it does not show.
    args << "-vf" << CodeFilter() << "-c:v"
         << "libx264"
         << "-preset"
         << "veryfast"
         << "-crf"
         << "12"
         << "-g"
         << "24"
         << "-pix_fmt"
         << "yuv420p";
    if (clip.audio)
        args << "-c:a"
             << "aac"
             << "-shortest";
    if (!clip.timecode.isEmpty())
        args << "-timecode" << clip.timecode;
    args << clip.extra << path;
    return RunFfmpeg(args);
}

// The frame number drawn in a picture that shows a clip's frame letterboxed (as the player
// draws it: scaled to fit, centred); -1 when a block is neither light nor dark.
inline int ReadCode(const QImage& picture) {
    if (picture.isNull())
        return -1;
    const QImage image = picture.convertToFormat(QImage::Format_RGB32);
    const double scale = std::min(double(image.width()) / WIDTH, double(image.height()) / HEIGHT);
    const double left = (image.width() - WIDTH * scale) / 2;
    const double top = (image.height() - HEIGHT * scale) / 2;
    const int block = WIDTH / CODE_BITS;
    int code = 0;
    for (int bit = 0; bit < CODE_BITS; ++bit) {
        const int x = int(left + (bit * block + block / 2.0) * scale);
        const int y = int(top + CODE_ROWS / 2.0 * scale);
        const int gray = qGray(
            image.pixel(std::clamp(x, 0, image.width() - 1), std::clamp(y, 0, image.height() - 1)));
        if (gray > 170)
            code |= 1 << bit;
        else if (gray > 80)
            return -1;
    }
    return code;
}

} // namespace test_clips
