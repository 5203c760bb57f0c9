#pragma once

#include <QImage>
#include <QObject>

#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

struct mpv_handle;
struct mpv_render_context;

// libmpv, driven from the thread that made it: commands are sent without waiting, its events
// and its "a new frame is ready" come back as queued calls on that thread, and the frame is
// drawn into memory by mpv's software renderer, so no display and no OpenGL are needed.
class MpvPlayer : public QObject {
    Q_OBJECT
public:
    // audioOutput: an mpv "ao" value ("null" for none); empty for mpv's choice.
    explicit MpvPlayer(const std::string& audioOutput, QObject* parent = nullptr);
    ~MpvPlayer() override;

    // Whether mpv could be started at all; when not, nothing below does anything.
    bool IsReady() const { return m_render != nullptr; }

    // Opens the file, paused on its first frame.
    void Load(const std::string& path);
    void Unload();
    // To the frame whose time is at or just after seconds (mpv's exact seek keeps the first frame
    // not before its target); seekDone follows when it is shown.
    void SeekExact(double seconds);
    // Plays forward at the speed (muted unless 1), or pauses.
    void Play(double speed);
    void Pause();
    // The playback position as mpv keeps it: the time of the frame last handed to the picture.
    std::optional<double> TimePos() const;

    // Draws the current frame at the size given (the picture letterboxed in it) into a buffer of
    // its own and returns it with the time it belongs to. The image shares that buffer: once
    // Present is called, it holds until the render after next; until then the next render draws
    // into the same buffer again.
    struct Rendered {
        QImage image;
        std::optional<double> seconds;
    };
    Rendered Render(QSize size);
    // The image last rendered is on screen: the next render goes into the other buffer.
    void Present() { m_back = 1 - m_back; }

signals:
    // A new frame is ready to be drawn (or the picture must be drawn again).
    void FrameReady();
    // The file is open and its first frame on its way.
    void Loaded();
    // A seek (or the opening) has landed: its frame has been drawn, and from now on the position
    // is that frame's. mpv draws the first frame after a seek before its position follows, so
    // that frame must be drawn again now for its time to be known.
    void SeekDone();
    // The file could not be played; why, in mpv's words.
    void Failed(const QString& why);
    // Playing forward ran into the end: the last frame stays, paused.
    void EndReached();

private:
    static void OnWakeup(void* self);
    static void OnRenderUpdate(void* self);
    void DrainEvents();
    void CheckFrame();
    void Command(std::initializer_list<const char*> words);
    void SetProperty(const char* name, const char* value);

    mpv_handle* m_mpv = nullptr;
    mpv_render_context* m_render = nullptr;
    // mpv calls back on threads of its own; one queued call at a time carries each to ours.
    std::atomic<bool> m_eventsQueued{false};
    std::atomic<bool> m_frameQueued{false};
    // Two buffers, so that the one on screen is never drawn into.
    struct Buffer {
        std::vector<unsigned char> bytes;
        unsigned char* pixels = nullptr;
        QSize size;
        size_t stride = 0;
    };
    Buffer m_buffers[2];
    int m_back = 0;
};
