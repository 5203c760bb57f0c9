#pragma once

#include "sources/timecode_source.h"
#include "sources/transport.h"
#include "video/video_file_facts.h"

#include <QByteArray>
#include <QImage>

#include <functional>
#include <string>

class QKeyEvent;
class QWidget;

// A video file as the timecode source, with its picture in a window of its own. It lives in the
// module tarnwick_video, which the program loads only when a file is chosen (video_module.h), so
// that nothing of the player is paid for by deck, LTC and MTC users. Every call is made on the
// window's thread, and none waits for the player.
//
// As a TimecodeSource: Open takes a file's path. ReadTimecode is the timecode of the frame on
// screen, in the file's own labels (Facts().rate), TimecodeAt the frame that was on screen at a
// moment on the steady clock: exact while still or stepping, within a frame at play speed.
// GetTransport gives the source itself.
class VideoSource : public TimecodeSource, public Transport {
public:
    // What ProbeFile would say of the file last given to Open.
    virtual const VideoFileFacts& Facts() const = 0;
    // What a file says of itself, without opening it here: whether the list can count it, its
    // rate, its start and a note. For a file dropped or chosen before it replaces the current one.
    virtual VideoFileFacts ProbeFile(const std::string& path) const = 0;
    // A label ("HH:MM:SS:FF", ';' before the frames for drop-frame) for the first frame in place
    // of the file's own, from the next Open; empty for the file's own. A label the file's rate has
    // not is passed over, and Facts().note says so.
    virtual void SetStartOverride(const std::string& label) = 0;
    // A file that opened but could not be played (its frames are damaged): why, naming the file.
    // Empty while it plays.
    virtual std::string PlaybackNote() const = 0;
    // Whether the picture has come to rest on a frame: no cue or step under way, not playing,
    // not shuttling. A cue's or a step's frame is on screen by then.
    virtual bool Settled() const = 0;
    // Called after the frame on screen, the transport's state or a note changed.
    virtual void SetChangedCallback(std::function<void()> changed) = 0;

    // The picture window: a top-level window, hidden until shown.
    virtual void ShowPicture(bool shown) = 0;
    virtual bool IsPictureShown() const = 0;
    virtual void SetPictureFullScreen(bool fullScreen) = 0;
    // Its place, size and full-screen state, for the settings; restoring an empty or foreign
    // value does nothing and gives false.
    virtual QByteArray PictureGeometry() const = 0;
    virtual bool RestorePictureGeometry(const QByteArray& geometry) = 0;
    // Every key the window does not keep for itself (F11 and Alt+Enter, full screen), pressed
    // and released, is handed to this with its own event, its time stamp intact; it says
    // whether it took the key.
    virtual void SetKeyForwarder(std::function<bool(QKeyEvent*)> forward) = 0;
    virtual QWidget* PictureWindow() = 0;
    // The frame on screen as drawn (a copy), and the label shown under it.
    virtual QImage PictureShown(Timecode* label = nullptr) const = 0;
};

// The module's one entry point, a C function looked up by name: it makes a source, or gives
// null when the module was built for another interface (abiVersion) or the player cannot start.
// The caller owns the source and deletes it before the module is let go.
extern "C" {
typedef VideoSource* (*VideoSourceFactory)(int abiVersion);
}
constexpr char VIDEO_SOURCE_FACTORY_NAME[] = "tarnwick_video_create_source";
constexpr int VIDEO_SOURCE_ABI = 1;
