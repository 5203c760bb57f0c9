#include "video/mpv_player.h"

#include <mpv/client.h>
#include <mpv/render.h>

#include <clocale>
#include <cstdio>

MpvPlayer::MpvPlayer(const std::string& audioOutput, QObject* parent) : QObject(parent) {
    // mpv refuses to start unless numbers are read and written the C way.
    std::setlocale(LC_NUMERIC, "C");
    m_mpv = mpv_create();
    if (!m_mpv)
        return;
    const std::pair<const char*, const char*> options[] = {
        {"vo", "libmpv"},
        {"hwdec", "no"},
        // Exact seeks always, and every frame up to the target decoded, not dropped.
        {"hr-seek", "yes"},
        {"hr-seek-framedrop", "no"},
        // Frames are handed to the picture at their display time, not ahead of it: the
        // position mpv reports then belongs to the frame being drawn.
        {"video-timing-offset", "0"},
        // At the end the last frame stays, paused, rather than the file being closed.
        {"keep-open", "always"},
        {"pause", "yes"},
        // Nothing of the user's mpv set-up, no terminal, no keys, no scripts, no network.
        {"config", "no"},
        {"terminal", "no"},
        {"input-default-bindings", "no"},
        {"input-vo-keyboard", "no"},
        {"osc", "no"},
        {"load-scripts", "no"},
        {"ytdl", "no"},
        {"osd-level", "0"},
        {"sid", "no"},
        {"idle", "yes"},
    };
    for (const auto& [name, value] : options)
        mpv_set_option_string(m_mpv, name, value);
    if (!audioOutput.empty())
        mpv_set_option_string(m_mpv, "ao", audioOutput.c_str());
    if (mpv_initialize(m_mpv) < 0) {
        mpv_terminate_destroy(m_mpv);
        m_mpv = nullptr;
        return;
    }
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_API_TYPE, const_cast<char*>(MPV_RENDER_API_TYPE_SW)},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    if (mpv_render_context_create(&m_render, m_mpv, params) < 0) {
        m_render = nullptr;
        mpv_terminate_destroy(m_mpv);
        m_mpv = nullptr;
        return;
    }
    mpv_observe_property(m_mpv, 0, "eof-reached", MPV_FORMAT_FLAG);
    mpv_set_wakeup_callback(m_mpv, &MpvPlayer::OnWakeup, this);
    mpv_render_context_set_update_callback(m_render, &MpvPlayer::OnRenderUpdate, this);
}

MpvPlayer::~MpvPlayer() {
    // The render context goes first, as the API asks; then no callback can come any more.
    if (m_render)
        mpv_render_context_free(m_render);
    if (m_mpv) {
        mpv_set_wakeup_callback(m_mpv, nullptr, nullptr);
        mpv_terminate_destroy(m_mpv);
    }
}

void MpvPlayer::OnWakeup(void* self) {
    auto* player = static_cast<MpvPlayer*>(self);
    if (!player->m_eventsQueued.exchange(true))
        QMetaObject::invokeMethod(player, &MpvPlayer::DrainEvents, Qt::QueuedConnection);
}

void MpvPlayer::OnRenderUpdate(void* self) {
    auto* player = static_cast<MpvPlayer*>(self);
    if (!player->m_frameQueued.exchange(true))
        QMetaObject::invokeMethod(player, &MpvPlayer::CheckFrame, Qt::QueuedConnection);
}

void MpvPlayer::CheckFrame() {
    m_frameQueued = false;
    // mpv's picture thread waits until the frame it handed over is drawn, so it is drawn now.
    if (m_render && (mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME))
        emit FrameReady();
}

void MpvPlayer::DrainEvents() {
    m_eventsQueued = false;
    while (m_mpv) {
        const mpv_event* event = mpv_wait_event(m_mpv, 0);
        switch (event->event_id) {
        case MPV_EVENT_NONE:
            return;
        case MPV_EVENT_FILE_LOADED:
            emit Loaded();
            break;
        case MPV_EVENT_PLAYBACK_RESTART:
            emit SeekDone();
            break;
        case MPV_EVENT_END_FILE: {
            const auto* end = static_cast<const mpv_event_end_file*>(event->data);
            if (end->reason == MPV_END_FILE_REASON_ERROR)
                emit Failed(QString::fromUtf8(mpv_error_string(end->error)));
            break;
        }
        case MPV_EVENT_PROPERTY_CHANGE: {
            const auto* property = static_cast<const mpv_event_property*>(event->data);
            if (property->format == MPV_FORMAT_FLAG && *static_cast<int*>(property->data))
                emit EndReached();
            break;
        }
        default:
            break;
        }
    }
}

void MpvPlayer::Command(std::initializer_list<const char*> words) {
    if (!m_mpv)
        return;
    std::vector<const char*> args(words);
    args.push_back(nullptr);
    mpv_command_async(m_mpv, 0, args.data());
}

void MpvPlayer::SetProperty(const char* name, const char* value) {
    if (m_mpv)
        mpv_set_property_async(m_mpv, 0, name, MPV_FORMAT_STRING, &value);
}

void MpvPlayer::Load(const std::string& path) {
    SetProperty("pause", "yes");
    Command({"loadfile", path.c_str(), "replace"});
}

void MpvPlayer::Unload() {
    Command({"stop"});
}

void MpvPlayer::SeekExact(double seconds) {
    char text[40];
    std::snprintf(text, sizeof text, "%.9f", seconds);
    Command({"seek", text, "absolute+exact"});
}

void MpvPlayer::Play(double speed) {
    char text[40];
    std::snprintf(text, sizeof text, "%.6f", speed);
    SetProperty("speed", text);
    // Sound belongs to play speed alone: sped up, slowed down it only confuses.
    SetProperty("mute", speed == 1.0 ? "no" : "yes");
    SetProperty("pause", "no");
}

void MpvPlayer::Pause() {
    SetProperty("pause", "yes");
}

std::optional<double> MpvPlayer::TimePos() const {
    double seconds = 0.0;
    if (!m_mpv || mpv_get_property(m_mpv, "time-pos", MPV_FORMAT_DOUBLE, &seconds) < 0)
        return std::nullopt;
    return seconds;
}

MpvPlayer::Rendered MpvPlayer::Render(QSize size) {
    Rendered out;
    if (!m_render || size.isEmpty())
        return out;
    Buffer& buffer = m_buffers[m_back];
    if (size != buffer.size) {
        // Rows and the first pixel on 64 bytes, for mpv's fast conversion paths.
        buffer.stride = (size_t(size.width()) * 4 + 63) / 64 * 64;
        buffer.bytes.assign(buffer.stride * size_t(size.height()) + 64, 0);
        const auto address = reinterpret_cast<uintptr_t>(buffer.bytes.data());
        buffer.pixels = buffer.bytes.data() + ((64 - address % 64) % 64);
        buffer.size = size;
    }
    int dimensions[2] = {size.width(), size.height()};
    char format[] = "rgb0";
    mpv_render_param params[] = {
        {MPV_RENDER_PARAM_SW_SIZE, dimensions},       {MPV_RENDER_PARAM_SW_FORMAT, format},
        {MPV_RENDER_PARAM_SW_STRIDE, &buffer.stride}, {MPV_RENDER_PARAM_SW_POINTER, buffer.pixels},
        {MPV_RENDER_PARAM_INVALID, nullptr},
    };
    // The frame is drawn before the position is asked: after a seek mpv's core waits for its
    // first frame to be drawn and only then answers. The position follows the frame mpv hands
    // over, so a frame handed over while this one was drawn would be taken for it: then that
    // frame is drawn in its place. (While a seek is under way the position is the seek's
    // target, whatever is drawn: see SeekDone.)
    for (int attempt = 0; attempt < 3; ++attempt) {
        mpv_render_context_render(m_render, params);
        out.seconds = TimePos();
        if (!(mpv_render_context_update(m_render) & MPV_RENDER_UPDATE_FRAME))
            break;
    }
    out.image = QImage(buffer.pixels, size.width(), size.height(), qsizetype(buffer.stride),
                       QImage::Format_RGBX8888);
    return out;
}
