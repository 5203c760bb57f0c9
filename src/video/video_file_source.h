#pragma once

#include "video/video_source.h"

#include <QObject>
#include <QTimer>

#include <deque>
#include <memory>
#include <optional>

class MpvPlayer;
class PictureWindow;

// The video file source: libmpv plays the file, every frame it draws goes to the picture
// window with its own label, and the frames shown are kept with the moment they were drawn so
// that a key press finds the frame that was on screen.
class VideoFileSource final : public QObject, public VideoSource {
    Q_OBJECT
public:
    // audioOutput: mpv's "ao" ("null" for silence, empty for mpv's choice).
    explicit VideoFileSource(const std::string& audioOutput = std::string());
    ~VideoFileSource() override;

    // Whether the player could start.
    bool IsReady() const;

    // TimecodeSource
    int Open(const char* path) override;
    void Close() override;
    bool IsOpen() const override;
    bool ReopensByItself() const override { return true; }
    Timecode ReadTimecode() override;
    bool HoldsLatestTimecode() const override { return m_shownFrame >= 0; }
    Timecode LatestTimecode() override { return ReadTimecode(); }
    std::optional<Timecode> TimecodeAt(int64_t steadyNs) override;
    Transport* GetTransport() override { return this; }
    // The file's own rate, so that a list counting another says so.
    std::optional<SignalRate> HeardRate() const override;
    // Why the file is not played, or what was assumed of it (no timecode of its own).
    std::optional<std::string> DeviceProblem() const override;

    // Transport
    void Request(const TransportRequest& request) override;
    TransportState State() const override { return m_state; }
    bool Offers(TransportVerb verb) const override;

    // VideoSource
    const VideoFileFacts& Facts() const override { return m_facts; }
    VideoFileFacts ProbeFile(const std::string& path) const override;
    void SetStartOverride(const std::string& label) override { m_startOverride = label; }
    std::string PlaybackNote() const override { return m_playbackNote; }
    bool Settled() const override;
    void SetChangedCallback(std::function<void()> changed) override {
        m_changed = std::move(changed);
    }
    void ShowPicture(bool shown) override;
    bool IsPictureShown() const override;
    void SetPictureFullScreen(bool fullScreen) override;
    QByteArray PictureGeometry() const override;
    bool RestorePictureGeometry(const QByteArray& geometry) override;
    void SetKeyForwarder(std::function<bool(QKeyEvent*)> forward) override;
    QWidget* PictureWindow() override;
    QImage PictureShown(Timecode* label) const override;

    // The frame on screen, counted from the file's first (0); -1 before the first is drawn.
    int64_t ShownFrame() const { return m_shownFrame; }

private:
    void OnFrameReady();
    void OnSeekDone();
    void OnFailed(const QString& why);
    void OnEndReached();
    void OnPaceTick();
    void Draw();
    void SeekTo(int64_t frame);
    void StartPace(double speed);
    void StopPace();
    void Halt();
    int64_t Clamp(int64_t frame) const;
    int64_t StepBase() const;
    std::optional<int64_t> FrameOfLabel(const Timecode& label) const;
    Timecode LabelOf(int64_t frame) const;
    void SetMode(TransportMode mode, double speed, TransportReply reply);
    void Changed();

    std::unique_ptr<MpvPlayer> m_player;
    std::unique_ptr<class PictureWindow> m_window;
    VideoFileFacts m_facts;
    std::string m_path;
    std::string m_startOverride;
    std::string m_playbackNote;
    bool m_open = false;
    std::function<void()> m_changed;

    int64_t m_shownFrame = -1;
    // The frames drawn lately, with the steady-clock moment each was drawn, oldest first.
    struct Shown {
        int64_t ns;
        int64_t frame;
    };
    std::deque<Shown> m_history;

    // One seek at a time: the one under way, and the frame wanted after it (a later request
    // replaces an earlier one, so held keys never pile up).
    // Until the file's first frame has landed, mpv's first "restart" is the opening's own.
    bool m_loading = false;
    bool m_seeking = false;
    int64_t m_seekFrame = 0;
    std::optional<int64_t> m_wantFrame;
    bool m_playAfterCue = false;
    bool m_cueing = false;

    // Speeds the player does not play (reverse, and faster than it decodes) by exact seeks at
    // the speed's pace: the frame due is counted from where the speed was asked for.
    QTimer m_pace;
    double m_paceSpeed = 0.0;
    int64_t m_paceFromFrame = 0;
    int64_t m_paceFromNs = 0;

    TransportState m_state;
};
