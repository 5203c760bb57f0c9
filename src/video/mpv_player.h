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

    // Draws the current frame at the size given (the picture letterboxed in it) and returns it
    // with the time it belongs to. The image shares this player's buffer: it holds until the next
    // render.
    struct Rendered {
        QImage image;
        std::optional<double> seconds;
    };
    Rendered Render(QSize size);

signals:
    // A new frame is ready to be drawn (or the picture must be drawn again).
    void FrameReady();
    // The file is open and its first frame on its way.
    void Loaded();
    // A seek has landed and its frame is on its way.
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
    std::vector<unsigned char> m_buffer;
    unsigned char* m_pixels = nullptr;
    QSize m_size;
    size_t m_stride = 0;
};
