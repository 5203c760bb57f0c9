#include "sources/live_input.h"

#include "sources/live_timecode.h"

#include <alsa/asoundlib.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

// What the inputs do, as met so far:
// - A FIFO opened for reading without blocking reports nothing until a writer comes; once
//   the writer has gone it reports a hang-up on every poll until the next one comes, so its
//   end is taken as the input gone rather than waited on.
// - A raw MIDI port that is unplugged fails its reads with ENODEV.
// - ALSA reports every failed open on standard error by itself, once a second while no sound
//   card is there; its reports are silenced, since the display already says it.
// - ALSA's file plugin with an input file is not paced: it delivers as fast as it is read,
//   and past the end of its file it repeats what its buffer held.
// - A regular file is always readable, to its end and past it; only its growth is worth
//   waiting for. Recorded audio in one plays at its rate only when we pace it ourselves.
// - A folder opens for reading like a file, and fails every read with EISDIR.

namespace {

// A regular file that has reached its end is looked at again this often.
constexpr int FILE_GROWTH_POLL_MS = 20;
// A paced file is handed over this much at a time, as a capture period would be.
constexpr int PACE_CHUNK_MS = 5;
constexpr int64_t NS_PER_SECOND = 1000000000LL;
// The capture period: short, so that a frame reaches the decoder soon after its last bit.
constexpr unsigned int CAPTURE_PERIOD_US = 5000;
constexpr unsigned int CAPTURE_BUFFER_US = 200000;

void QuietAlsa(const char*, int, const char*, int, const char*, ...) {}

} // namespace

WakePipe::WakePipe() {
    if (::pipe2(m_fds, O_CLOEXEC | O_NONBLOCK) != 0)
        m_fds[0] = m_fds[1] = -1;
}

WakePipe::~WakePipe() {
    for (int fd : m_fds)
        if (fd >= 0)
            ::close(fd);
}

void WakePipe::Raise() {
    const char one = 1;
    if (m_fds[1] >= 0)
        (void)!::write(m_fds[1], &one, 1);
}

StreamInput::~StreamInput() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool StreamInput::Open(const std::string& path, int* error) {
    // Without blocking, so that a FIFO opens before its writer is there.
    m_fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    int failure = m_fd < 0 ? errno : 0;
    struct stat st = {};
    if (m_fd >= 0 && ::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(m_fd);
        m_fd = -1;
        failure = EISDIR;
    }
    if (m_fd < 0) {
        if (error != nullptr)
            *error = failure;
        return false;
    }
    m_regular = S_ISREG(st.st_mode);
    return true;
}

int StreamInput::Read(uint8_t* buffer, int size, const WakePipe& wake, int64_t* lastByteNs) {
    const bool paced = m_regular && m_bytesPerSecond > 0;
    if (paced)
        size = std::min(size, std::max(1, m_bytesPerSecond / (1000 / PACE_CHUNK_MS)));
    for (;;) {
        pollfd fds[2] = {{wake.Fd(), POLLIN, 0}, {m_fd, POLLIN, 0}};
        // A paced file is read at once and waited on by Pace; only its end waits here.
        const int polled = paced       ? ::poll(fds, 1, m_atEnd ? FILE_GROWTH_POLL_MS : 0)
                           : m_regular ? ::poll(fds, 1, FILE_GROWTH_POLL_MS)
                                       : ::poll(fds, 2, -1);
        if (polled < 0 && errno != EINTR)
            return -1;
        if (fds[0].revents != 0)
            return 0;
        if (!m_regular && fds[1].revents == 0)
            continue;
        const ssize_t n = ::read(m_fd, buffer, size_t(size));
        if (n > 0) {
            if (paced)
                return Pace(int(n), wake, lastByteNs);
            if (lastByteNs != nullptr)
                *lastByteNs = SteadyNowNs();
            return int(n);
        }
        if (n == 0 && m_regular) {
            m_atEnd = true;
            continue;
        }
        if (n < 0 && (errno == EAGAIN || errno == EINTR))
            continue;
        return -1;
    }
}

// Holds bytes just read until the moment they would have come from a device playing the file
// since its first read. The moments follow from the count of bytes, not from when each read
// returned, so a worker that runs late catches up rather than falls behind. After a wait at
// the end of the file, what the file grew by plays from when it came.
int StreamInput::Pace(int count, const WakePipe& wake, int64_t* lastByteNs) {
    const int64_t bps = m_bytesPerSecond;
    const auto dueAfter = [&](int64_t bytes) {
        return m_playStartNs + bytes / bps * NS_PER_SECOND + bytes % bps * NS_PER_SECOND / bps;
    };
    const int64_t now = SteadyNowNs();
    if (m_playStartNs == 0 || m_atEnd) {
        m_playStartNs = m_playStartNs == 0 ? now : std::max(now, dueAfter(m_bytesPlayed));
        m_bytesPlayed = 0;
        m_atEnd = false;
    }
    m_bytesPlayed += count;
    const int64_t due = dueAfter(m_bytesPlayed);
    for (int64_t left = due - now; left > 0; left = due - SteadyNowNs()) {
        pollfd wakeFd = {wake.Fd(), POLLIN, 0};
        const int ms = int((left + 999999) / 1000000);
        if (::poll(&wakeFd, 1, ms) < 0 && errno != EINTR)
            return -1;
        if (wakeFd.revents != 0)
            return 0;
    }
    if (lastByteNs != nullptr)
        *lastByteNs = due;
    return count;
}

AlsaCapture::~AlsaCapture() {
    if (m_pcm != nullptr)
        snd_pcm_close(m_pcm);
}

bool AlsaCapture::Open(const std::string& name, int channel, int* error) {
    // Whatever fails once the device is open is a setting the device cannot take.
    if (error != nullptr)
        *error = EINVAL;
    if (channel < 1)
        return false;
    snd_lib_error_set_handler(&QuietAlsa);
    // Without blocking: a device that another program holds fails at once.
    if (const int opened =
            snd_pcm_open(&m_pcm, name.c_str(), SND_PCM_STREAM_CAPTURE, SND_PCM_NONBLOCK);
        opened < 0) {
        m_pcm = nullptr;
        if (error != nullptr)
            *error = -opened;
        return false;
    }
    snd_pcm_hw_params_t* hw = nullptr;
    snd_pcm_hw_params_alloca(&hw);
    if (snd_pcm_hw_params_any(m_pcm, hw) < 0 ||
        snd_pcm_hw_params_set_access(m_pcm, hw, SND_PCM_ACCESS_RW_INTERLEAVED) < 0)
        return false;
    // The device's own rate: no resampling in between, 48 kHz only as the first choice.
    snd_pcm_hw_params_set_rate_resample(m_pcm, hw, 0);
    const snd_pcm_format_t formats[] = {SND_PCM_FORMAT_S16_LE, SND_PCM_FORMAT_S32_LE,
                                        SND_PCM_FORMAT_FLOAT_LE};
    bool formatSet = false;
    for (snd_pcm_format_t format : formats) {
        if (snd_pcm_hw_params_set_format(m_pcm, hw, format) == 0) {
            m_format = format;
            m_bytesPerSample = snd_pcm_format_physical_width(format) / 8;
            formatSet = true;
            break;
        }
    }
    m_channels = unsigned(channel);
    m_rate = 48000;
    int dir = 0;
    unsigned int period = CAPTURE_PERIOD_US;
    unsigned int buffer = CAPTURE_BUFFER_US;
    if (!formatSet || snd_pcm_hw_params_set_channels_near(m_pcm, hw, &m_channels) < 0 ||
        m_channels < unsigned(channel) ||
        snd_pcm_hw_params_set_rate_near(m_pcm, hw, &m_rate, &dir) < 0 || m_rate < 8000)
        return false;
    snd_pcm_hw_params_set_period_time_near(m_pcm, hw, &period, &dir);
    snd_pcm_hw_params_set_buffer_time_near(m_pcm, hw, &buffer, &dir);
    if (snd_pcm_hw_params(m_pcm, hw) < 0)
        return false;
    m_channel = unsigned(channel - 1);
    return snd_pcm_start(m_pcm) >= 0 || snd_pcm_state(m_pcm) == SND_PCM_STATE_RUNNING;
}

int AlsaCapture::Read(int16_t* out, int max, int64_t* lastSampleNs, const WakePipe& wake) {
    const int count = snd_pcm_poll_descriptors_count(m_pcm);
    if (count <= 0 || count > 16)
        return -1;
    pollfd fds[17] = {};
    fds[0] = {wake.Fd(), POLLIN, 0};
    for (;;) {
        snd_pcm_poll_descriptors(m_pcm, fds + 1, unsigned(count));
        if (::poll(fds, nfds_t(count + 1), -1) < 0 && errno != EINTR)
            return -1;
        if (fds[0].revents != 0)
            return 0;
        unsigned short events = 0;
        snd_pcm_poll_descriptors_revents(m_pcm, fds + 1, unsigned(count), &events);
        if (events & (POLLERR | POLLNVAL | POLLHUP)) {
            const snd_pcm_state_t state = snd_pcm_state(m_pcm);
            if (state != SND_PCM_STATE_XRUN && state != SND_PCM_STATE_SUSPENDED)
                return -1;
        }
        const int got = Take(out, max, lastSampleNs);
        if (got != 0)
            return got;
    }
}

// Reads what the device has; 0 when it has nothing yet or has just recovered from an
// overrun (the samples lost are lost: the decoder finds the next whole frame).
int AlsaCapture::Take(int16_t* out, int max, int64_t* lastSampleNs) {
    const size_t frameBytes = size_t(m_channels) * size_t(m_bytesPerSample);
    m_buffer.resize(size_t(max) * frameBytes);
    const snd_pcm_sframes_t n = snd_pcm_readi(m_pcm, m_buffer.data(), snd_pcm_uframes_t(max));
    if (n == -EAGAIN)
        return 0;
    if (n == -EPIPE || n == -ESTRPIPE) {
        if (snd_pcm_recover(m_pcm, int(n), 1) < 0)
            return -1;
        snd_pcm_start(m_pcm);
        return 0;
    }
    if (n < 0)
        return -1;
    // The delay is what the device has heard and we have not read yet.
    snd_pcm_sframes_t delay = 0;
    if (snd_pcm_delay(m_pcm, &delay) < 0 || delay < 0)
        delay = 0;
    *lastSampleNs = SteadyNowNs() - int64_t(delay) * 1000000000LL / m_rate;
    const char* frame = m_buffer.data() + size_t(m_channel) * size_t(m_bytesPerSample);
    for (snd_pcm_sframes_t i = 0; i < n; ++i, frame += frameBytes) {
        if (m_format == SND_PCM_FORMAT_S16_LE) {
            std::memcpy(&out[i], frame, 2);
        } else if (m_format == SND_PCM_FORMAT_S32_LE) {
            int32_t v = 0;
            std::memcpy(&v, frame, 4);
            out[i] = int16_t(v >> 16);
        } else {
            float v = 0;
            std::memcpy(&v, frame, 4);
            v = v > 1.0f ? 1.0f : (v < -1.0f ? -1.0f : v);
            out[i] = int16_t(v * 32767.0f);
        }
    }
    return int(n);
}
