#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The inputs that signals carrying their own time arrive on, read on a worker thread. Every
// wait also watches a wake pipe, so that the worker can be told to stop at once instead of
// after its next sample.

// Raised once, from any thread, to wake a worker out of its waits.
class WakePipe {
public:
    WakePipe();
    ~WakePipe();
    WakePipe(const WakePipe&) = delete;
    WakePipe& operator=(const WakePipe&) = delete;

    void Raise();
    int Fd() const { return m_fds[0]; }

private:
    int m_fds[2] = {-1, -1};
};

// A file, FIFO or character device (a raw MIDI port) read as its bytes arrive.
class StreamInput {
public:
    StreamInput() = default;
    ~StreamInput();
    StreamInput(const StreamInput&) = delete;
    StreamInput& operator=(const StreamInput&) = delete;

    // False when the input cannot be read (a folder is refused at once); *error, if given, then
    // holds the errno that says why.
    bool Open(const std::string& path, int* error = nullptr);
    // Plays a regular file as a device would deliver it, bytesPerSecond a second from the first
    // read, rather than as fast as it can be read. A FIFO or device brings its own pace.
    void SetPace(int bytesPerSecond) { m_bytesPerSecond = bytesPerSecond; }
    // Waits for bytes and reads what there is, up to size. Returns the count read, 0 when
    // woken, -1 when the input has gone (a FIFO whose writer left, a device unplugged). A
    // regular file that has been read to its end is waited on to grow. *lastByteNs, if given,
    // is when the last of the bytes arrived: for a paced file, when it was due.
    int Read(uint8_t* buffer, int size, const WakePipe& wake, int64_t* lastByteNs = nullptr);

private:
    int Pace(int count, const WakePipe& wake, int64_t* lastByteNs);

    int m_fd = -1;
    bool m_regular = false;
    bool m_atEnd = false; // the last read of a regular file found nothing more
    int m_bytesPerSecond = 0;
    int64_t m_playStartNs = 0; // when the first byte played since the last wait at the end
    int64_t m_bytesPlayed = 0; // since then
};

struct _snd_pcm;

// One channel of an ALSA capture device, at the device's own rate.
class AlsaCapture {
public:
    AlsaCapture() = default;
    ~AlsaCapture();
    AlsaCapture(const AlsaCapture&) = delete;
    AlsaCapture& operator=(const AlsaCapture&) = delete;

    // Opens the PCM and starts it. channel counts from 1; a device with fewer channels
    // cannot be opened for it. *error, if given, holds the errno of a failure.
    bool Open(const std::string& name, int channel, int* error = nullptr);
    int Rate() const { return int(m_rate); }
    // Waits for samples and takes the chosen channel's into out, up to max. Returns the
    // count, 0 when woken, -1 when the device has failed for good. lastSampleNs is when the
    // last of them was heard.
    int Read(int16_t* out, int max, int64_t* lastSampleNs, const WakePipe& wake);

private:
    int Take(int16_t* out, int max, int64_t* lastSampleNs);

    _snd_pcm* m_pcm = nullptr;
    unsigned int m_rate = 0;
    unsigned int m_channels = 0;
    unsigned int m_channel = 0; // 0-based
    int m_format = 0;           // snd_pcm_format_t
    int m_bytesPerSample = 0;
    std::vector<char> m_buffer; // interleaved frames as the device gives them
};
