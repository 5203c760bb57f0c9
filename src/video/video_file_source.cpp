#include "video/video_file_source.h"

#include "video/mpv_player.h"
#include "video/picture_window.h"
#include "video/video_probe.h"

#include <QCoreApplication>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

// How many drawn frames are remembered for key presses: seconds of play, far more than a key
// press can be late.
constexpr size_t SHOWN_HISTORY = 240;
// Faster than this, forward, the player is not asked to decode every frame: the picture goes
// by exact seeks at the speed's pace, as in reverse.
constexpr double PLAYED_SPEED_LIMIT = 2.0;
// Fast forward and rewind, in multiples of play speed.
constexpr double WIND_SPEED = 10.0;
// While the window is hidden frames are still drawn (the player waits for each to be drawn),
// but this small.
const QSize HIDDEN_PICTURE(64, 36);

std::string FileName(const std::string& path) {
    return std::filesystem::path(path).filename().string();
}

} // namespace

VideoFileSource::VideoFileSource(const std::string& audioOutput)
    : m_player(std::make_unique<MpvPlayer>(audioOutput)),
      m_window(std::make_unique<::PictureWindow>()) {
    connect(m_player.get(), &MpvPlayer::FrameReady, this, &VideoFileSource::OnFrameReady);
    connect(m_player.get(), &MpvPlayer::SeekDone, this, &VideoFileSource::OnSeekDone);
    connect(m_player.get(), &MpvPlayer::Failed, this, &VideoFileSource::OnFailed);
    connect(m_player.get(), &MpvPlayer::EndReached, this, &VideoFileSource::OnEndReached);
    connect(&m_pace, &QTimer::timeout, this, &VideoFileSource::OnPaceTick);
    m_pace.setTimerType(Qt::PreciseTimer);
    m_window->SetResized([this] {
        if (m_open)
            Draw();
    });
    m_window->SetFrame(QImage(), QString::fromLatin1(NO_TIMECODE_TEXT));
}

VideoFileSource::~VideoFileSource() {
    m_pace.stop();
    // The player goes before the window it draws into.
    m_player.reset();
}

bool VideoFileSource::IsReady() const {
    return m_player->IsReady();
}

VideoFileFacts VideoFileSource::ProbeFile(const std::string& path) const {
    return ProbeVideoFile(path);
}

int VideoFileSource::Open(const char* path) {
    Close();
    m_path = path ? path : "";
    m_facts = ProbeVideoFile(m_path);
    if (m_facts.usable && !m_startOverride.empty()) {
        bool drop = false;
        const Timecode start = ParseFileTimecode(m_startOverride, m_facts.rate.rate.Fps(), &drop);
        if (start) {
            m_facts.start = start;
            m_facts.rate.rate.drop = drop;
            m_facts.startFromFile = false;
            m_facts.note.clear();
        } else {
            m_facts.note =
                QCoreApplication::translate("VideoFileSource",
                                            "StartTimecode「%1」は%2のタイムコードではありません："
                                            "ファイルのタイムコードを使います")
                    .arg(QString::fromStdString(m_startOverride),
                         QString::fromStdString(SignalRateText(m_facts.rate)))
                    .toStdString();
        }
    }
    if (!m_facts.usable)
        return 0;
    if (!m_player->IsReady()) {
        m_facts.usable = false;
        m_facts.note =
            QCoreApplication::translate("VideoFileSource",
                                        "「%1」を再生できません：プレーヤー(libmpv)が起動しません")
                .arg(QString::fromStdString(FileName(m_path)))
                .toStdString();
        return 0;
    }
    m_open = true;
    m_loading = true;
    m_window->setWindowTitle(QCoreApplication::translate("VideoFileSource", "ビデオ — %1")
                                 .arg(QString::fromStdString(FileName(m_path))));
    m_player->Load(m_path);
    SetMode(TransportMode::Still, 0.0, TransportReply::None);
    return 1;
}

void VideoFileSource::Close() {
    m_pace.stop();
    if (m_open)
        m_player->Unload();
    m_open = false;
    m_playbackNote.clear();
    m_shownFrame = -1;
    m_history.clear();
    m_loading = false;
    m_seeking = false;
    m_wantFrame.reset();
    m_cueing = false;
    m_playAfterCue = false;
    m_window->SetFrame(QImage(), QString::fromLatin1(NO_TIMECODE_TEXT));
    SetMode(TransportMode::Unknown, 0.0, TransportReply::None);
}

bool VideoFileSource::IsOpen() const {
    return m_open;
}

Timecode VideoFileSource::LabelOf(int64_t frame) const {
    return m_facts.start.Plus(frame);
}

Timecode VideoFileSource::ReadTimecode() {
    return m_shownFrame >= 0 ? LabelOf(m_shownFrame) : Timecode();
}

std::optional<Timecode> VideoFileSource::TimecodeAt(int64_t steadyNs) {
    if (m_shownFrame < 0 || m_history.empty())
        return std::nullopt;
    // The frame on screen at that moment: the last one drawn before it.
    for (auto it = m_history.rbegin(); it != m_history.rend(); ++it) {
        if (it->ns <= steadyNs)
            return LabelOf(it->frame);
    }
    return LabelOf(m_history.front().frame);
}

void VideoFileSource::OnFrameReady() {
    if (m_open)
        Draw();
}

void VideoFileSource::Draw() {
    const QSize size = m_window->isVisible() ? m_window->PictureSize() : HIDDEN_PICTURE;
    // The player goes on only once its frame is drawn, so it is drawn whatever follows.
    const MpvPlayer::Rendered drawn = m_player->Render(size);
    // While a seek is under way the position is its target, not the frame drawn: the picture on
    // screen stays, with its own label, until the seek has landed.
    if (!drawn.seconds || m_seeking || m_loading)
        return;
    const double frames = *drawn.seconds * m_facts.rateNum / m_facts.rateDen;
    const int64_t frame = Clamp(std::llround(frames));
    m_window->SetFrame(drawn.image, QString::fromStdString(LabelOf(frame).Text()));
    m_player->Present();
    if (frame != m_shownFrame) {
        m_shownFrame = frame;
        m_history.push_back({SteadyNowNs(), frame});
        if (m_history.size() > SHOWN_HISTORY)
            m_history.pop_front();
        Changed();
    }
}

int64_t VideoFileSource::Clamp(int64_t frame) const {
    return std::clamp<int64_t>(frame, 0, std::max<int64_t>(0, m_facts.frameCount - 1));
}

std::optional<int64_t> VideoFileSource::FrameOfLabel(const Timecode& label) const {
    if (!label || !m_facts.start)
        return std::nullopt;
    // The label as the file counts: a list at another rate names the same label, not the
    // same moment.
    const TimecodeRate rate = m_facts.start.Rate();
    const Timecode at = Timecode::FromLabel(label.Label(), rate);
    if (!at)
        return std::nullopt;
    const int day = FramesPerDay(rate);
    const int64_t frame = ((int64_t(at.Frame()) - m_facts.start.Frame()) % day + day) % day;
    if (frame >= m_facts.frameCount)
        return std::nullopt;
    return frame;
}

int64_t VideoFileSource::StepBase() const {
    if (m_wantFrame)
        return *m_wantFrame;
    if (m_seeking)
        return m_seekFrame;
    return std::max<int64_t>(0, m_shownFrame);
}

void VideoFileSource::SeekTo(int64_t frame) {
    frame = Clamp(frame);
    if (m_seeking || m_loading) {
        m_wantFrame = frame;
        return;
    }
    m_seeking = true;
    m_seekFrame = frame;
    m_wantFrame.reset();
    // mpv keeps the first frame not before the target (less 5 ms): half a frame before this
    // one's time lands on it, whatever the rounding of the file's time stamps.
    const double seconds =
        frame == 0 ? 0.0 : (double(frame) - 0.5) * m_facts.rateDen / m_facts.rateNum;
    m_player->SeekExact(seconds);
}

void VideoFileSource::OnSeekDone() {
    if (!m_open)
        return;
    if (m_loading) {
        // The file's first frame: a cue or step asked meanwhile goes now.
        m_loading = false;
        Draw();
        if (m_wantFrame) {
            const int64_t next = *m_wantFrame;
            m_wantFrame.reset();
            SeekTo(next);
        }
        return;
    }
    if (!m_seeking)
        return;
    m_seeking = false;
    Draw();
    if (m_wantFrame && *m_wantFrame != m_seekFrame) {
        const int64_t next = *m_wantFrame;
        m_wantFrame.reset();
        SeekTo(next);
        return;
    }
    m_wantFrame.reset();
    if (!m_cueing)
        return;
    m_cueing = false;
    if (m_playAfterCue) {
        m_playAfterCue = false;
        m_player->Play(1.0);
        SetMode(TransportMode::Play, 1.0, TransportReply::Ack);
    } else {
        SetMode(TransportMode::CueDone, 0.0, TransportReply::Ack);
    }
}

void VideoFileSource::OnFailed(const QString& why) {
    m_playbackNote = QCoreApplication::translate("VideoFileSource", "「%1」を再生できません（%2）")
                         .arg(QString::fromStdString(FileName(m_path)), why)
                         .toStdString();
    m_pace.stop();
    m_open = false;
    SetMode(TransportMode::Unknown, 0.0, TransportReply::None);
}

void VideoFileSource::OnEndReached() {
    const TransportMode mode = m_state.mode;
    if (mode == TransportMode::Play || mode == TransportMode::Shuttle ||
        mode == TransportMode::Jog || mode == TransportMode::FastForward)
        if (!m_pace.isActive())
            SetMode(TransportMode::Still, 0.0, m_state.reply);
}

void VideoFileSource::Halt() {
    StopPace();
    m_cueing = false;
    m_playAfterCue = false;
    m_player->Pause();
}

void VideoFileSource::StartPace(double speed) {
    m_player->Pause();
    m_paceSpeed = speed;
    m_paceFromFrame = StepBase();
    m_paceFromNs = SteadyNowNs();
    m_pace.start(int(std::max<int64_t>(10, m_facts.rate.periodNs / 1'000'000)));
}

void VideoFileSource::StopPace() {
    m_pace.stop();
}

void VideoFileSource::OnPaceTick() {
    const double elapsedFrames =
        double(SteadyNowNs() - m_paceFromNs) / double(m_facts.rate.periodNs);
    const int64_t due = m_paceFromFrame + std::llround(m_paceSpeed * elapsedFrames);
    const int64_t frame = Clamp(due);
    const int64_t heading = m_wantFrame ? *m_wantFrame : m_seeking ? m_seekFrame : m_shownFrame;
    if (frame != heading)
        SeekTo(frame);
    // At either end of the file the picture stops, as a tape does at its end.
    if (frame != due) {
        StopPace();
        SetMode(TransportMode::Still, 0.0, m_state.reply);
    }
}

bool VideoFileSource::Settled() const {
    const TransportMode mode = m_state.mode;
    const bool moving = mode == TransportMode::Play || mode == TransportMode::Shuttle ||
                        mode == TransportMode::Jog || mode == TransportMode::FastForward ||
                        mode == TransportMode::Rewind || mode == TransportMode::Cueing;
    return m_open && m_shownFrame >= 0 && !m_loading && !m_seeking && !m_wantFrame &&
           !m_pace.isActive() && !moving;
}

bool VideoFileSource::Offers(TransportVerb verb) const {
    switch (verb) {
    case TransportVerb::StandbyOn:
    case TransportVerb::StandbyOff:
    case TransportVerb::Eject:
        return false;
    default:
        return true;
    }
}

void VideoFileSource::Request(const TransportRequest& request) {
    if (!m_open || !Offers(request.verb)) {
        SetMode(m_state.mode, m_state.speed, TransportReply::Nak);
        return;
    }
    auto wind = [this](double speed, TransportMode mode) {
        Halt();
        if (speed == 0.0) {
            SetMode(TransportMode::Still, 0.0, TransportReply::Ack);
            return;
        }
        if (speed > 0.0 && speed <= PLAYED_SPEED_LIMIT)
            m_player->Play(speed);
        else
            StartPace(speed);
        SetMode(mode, speed, TransportReply::Ack);
    };
    switch (request.verb) {
    case TransportVerb::Play:
        Halt();
        m_player->Play(1.0);
        SetMode(TransportMode::Play, 1.0, TransportReply::Ack);
        break;
    case TransportVerb::Still:
        Halt();
        SetMode(TransportMode::Still, 0.0, TransportReply::Ack);
        break;
    case TransportVerb::Stop:
        Halt();
        SetMode(TransportMode::Stop, 0.0, TransportReply::Ack);
        break;
    case TransportVerb::FastForward:
        wind(WIND_SPEED, TransportMode::FastForward);
        break;
    case TransportVerb::Rewind:
        wind(-WIND_SPEED, TransportMode::Rewind);
        break;
    case TransportVerb::Shuttle:
        wind(request.speed, TransportMode::Shuttle);
        break;
    case TransportVerb::Jog:
        wind(request.speed, TransportMode::Jog);
        break;
    case TransportVerb::StepForward:
    case TransportVerb::StepBack: {
        const int64_t base = StepBase();
        Halt();
        SeekTo(base + (request.verb == TransportVerb::StepForward ? 1 : -1));
        SetMode(TransportMode::Still, 0.0, TransportReply::Ack);
        break;
    }
    case TransportVerb::CueTo:
    case TransportVerb::CueThenPlay: {
        const std::optional<int64_t> frame = FrameOfLabel(request.at);
        if (!frame) {
            // Not in the file: the picture stays where it is.
            SetMode(m_state.mode, m_state.speed, TransportReply::Nak);
            return;
        }
        Halt();
        m_cueing = true;
        m_playAfterCue = request.verb == TransportVerb::CueThenPlay;
        SeekTo(*frame);
        SetMode(TransportMode::Cueing, 0.0, TransportReply::Ack);
        break;
    }
    default:
        SetMode(m_state.mode, m_state.speed, TransportReply::Nak);
        break;
    }
}

void VideoFileSource::SetMode(TransportMode mode, double speed, TransportReply reply) {
    const bool same = m_state.mode == mode && m_state.speed == speed && m_state.reply == reply;
    m_state.mode = mode;
    m_state.speed = speed;
    m_state.reply = reply;
    m_state.servoLock = mode == TransportMode::Play;
    if (!same) {
        m_state.changedNs = SteadyNowNs();
        Changed();
    }
}

void VideoFileSource::Changed() {
    if (m_changed)
        m_changed();
}

void VideoFileSource::ShowPicture(bool shown) {
    m_window->setVisible(shown);
    if (shown && m_open)
        Draw();
}

bool VideoFileSource::IsPictureShown() const {
    return m_window->isVisible();
}

void VideoFileSource::SetPictureFullScreen(bool fullScreen) {
    if (fullScreen != m_window->isFullScreen())
        m_window->ToggleFullScreen();
}

QByteArray VideoFileSource::PictureGeometry() const {
    return m_window->saveGeometry();
}

bool VideoFileSource::RestorePictureGeometry(const QByteArray& geometry) {
    return !geometry.isEmpty() && m_window->restoreGeometry(geometry);
}

void VideoFileSource::SetKeyForwarder(std::function<bool(QKeyEvent*)> forward) {
    m_window->SetKeyForwarder(std::move(forward));
}

QWidget* VideoFileSource::PictureWindow() {
    return m_window.get();
}

QImage VideoFileSource::PictureShown(Timecode* label) const {
    if (label)
        *label = m_shownFrame >= 0 ? LabelOf(m_shownFrame) : Timecode();
    return m_window->Frame().copy();
}

std::optional<SignalRate> VideoFileSource::HeardRate() const {
    if (!m_facts.usable)
        return std::nullopt;
    return m_facts.rate;
}

std::optional<std::string> VideoFileSource::DeviceProblem() const {
    if (!m_playbackNote.empty())
        return m_playbackNote;
    if (!m_facts.note.empty())
        return m_facts.note;
    return std::nullopt;
}
