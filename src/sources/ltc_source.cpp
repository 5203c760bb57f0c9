#include "sources/ltc_source.h"

#include "sources/ltc_decoder.h"

#include <cstring>
#include <vector>

namespace {

// Raw audio files hold 48 kHz 16-bit mono; a tenth of a second at most per read (a paced
// file hands over less).
constexpr int LTC_FILE_RATE = 48000;
constexpr int FILE_READ_BYTES = 9600;
// An ALSA read takes at most this many frames; the device hands over a period at a time.
constexpr int CAPTURE_READ_FRAMES = 4800;

void Publish(const std::vector<TimecodeAnchor>& anchors, LiveTimecode& live) {
    if (!anchors.empty())
        live.Publish(anchors.back());
}

} // namespace

// A regular file is paced as the sound card would deliver it, so its frames are dated as they
// would be heard; a FIFO brings its own pace, and its bytes are dated as they come.
void LtcSource::RunFile(const std::string& path, const WakePipe& wake, LiveTimecode& live) {
    StreamInput input;
    int error = 0;
    if (!input.Open(path, &error)) {
        OpenFailed(path, error);
        return;
    }
    Opened();
    input.SetPace(LTC_FILE_RATE * 2);
    LtcDecoder decoder(LTC_FILE_RATE);
    std::vector<uint8_t> bytes(FILE_READ_BYTES + 1);
    std::vector<int16_t> samples(FILE_READ_BYTES / 2 + 1);
    std::vector<TimecodeAnchor> anchors;
    size_t held = 0; // the odd byte of a sample split between two reads
    for (;;) {
        int64_t lastByteNs = 0;
        const int n = input.Read(bytes.data() + held, FILE_READ_BYTES, wake, &lastByteNs);
        if (n <= 0)
            return;
        const size_t total = held + size_t(n);
        const size_t count = total / 2;
        std::memcpy(samples.data(), bytes.data(), count * 2);
        held = total % 2;
        if (held != 0)
            bytes[0] = bytes[total - 1];
        anchors.clear();
        decoder.Write(samples.data(), count, lastByteNs, &anchors);
        Publish(anchors, live);
    }
}

void LtcSource::RunCapture(const std::string& name, const WakePipe& wake, LiveTimecode& live) {
    AlsaCapture capture;
    int error = 0;
    if (!capture.Open(name, m_channel, &error)) {
        OpenFailed(name, error);
        return;
    }
    Opened();
    LtcDecoder decoder(capture.Rate());
    std::vector<int16_t> samples(CAPTURE_READ_FRAMES);
    std::vector<TimecodeAnchor> anchors;
    for (;;) {
        int64_t lastSampleNs = 0;
        const int n = capture.Read(samples.data(), CAPTURE_READ_FRAMES, &lastSampleNs, wake);
        if (n <= 0)
            return;
        anchors.clear();
        decoder.Write(samples.data(), size_t(n), lastSampleNs, &anchors);
        Publish(anchors, live);
    }
}

void LtcSource::Run(const std::string& device, const WakePipe& wake, LiveTimecode& live) {
    static const std::string kFilePrefix = "file:";
    if (device.compare(0, kFilePrefix.size(), kFilePrefix) == 0)
        RunFile(device.substr(kFilePrefix.size()), wake, live);
    else
        RunCapture(device, wake, live);
}
