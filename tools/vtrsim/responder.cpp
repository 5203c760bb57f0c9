#include "responder.h"

#include "timecode/timecode_value.h"

namespace vtrsim {

namespace {

// A Sony block whose bytes stop coming for this long is dropped, so that a stray byte on
// the line cannot swallow the next request.
constexpr int64_t SONY_BLOCK_GAP_NS = 50'000'000;

// Sony NAK data bits.
constexpr uint8_t NAK_UNKNOWN_COMMAND = 0x01;
constexpr uint8_t NAK_CHECKSUM_ERROR = 0x04;

constexpr uint8_t VICTOR_TIMECODE_REQUEST = 0xDE;

uint8_t Bcd(int value) {
    return uint8_t(((value / 10) << 4) | (value % 10));
}

std::vector<uint8_t> SonyBlock(std::vector<uint8_t> bytes) {
    bytes.push_back(SonyChecksum(bytes.data(), bytes.size()));
    return bytes;
}

std::vector<uint8_t> SonyNak(uint8_t reason) {
    return SonyBlock({0x11, 0x12, reason});
}

} // namespace

uint8_t SonyChecksum(const uint8_t* data, size_t size) {
    unsigned int sum = 0;
    for (size_t i = 0; i < size; ++i)
        sum += data[i];
    return uint8_t(sum & 0xFF);
}

int64_t TapeClock::FramesAfter(int64_t elapsedNs) const {
    if (!running || elapsedNs <= 0)
        return 0;
    // To the nanosecond, so that a frame begins where it does; a year of running at 30 frames
    // stays far inside 64 bits.
    return elapsedNs * Rate().Fps() / (Slowed() ? 1001000000LL : 1000000000LL);
}

void TapeClock::LabelAt(int64_t elapsedMs, int* hours, int* minutes, int* seconds,
                        int* frames) const {
    LabelAtNs(elapsedMs * 1'000'000, hours, minutes, seconds, frames);
}

void TapeClock::LabelAtNs(int64_t elapsedNs, int* hours, int* minutes, int* seconds,
                          int* frames) const {
    const TimecodeLabel label =
        Timecode::AtFrame(int64_t(startFrames) + FramesAfter(elapsedNs), Rate()).Label();
    *hours = label.hours;
    *minutes = label.minutes;
    *seconds = label.seconds;
    *frames = label.frames;
}

Responder::Responder(const ResponderConfig& config) : m_config(config) {
    if (m_config.faultEvery < 1)
        m_config.faultEvery = 1;
}

void Responder::Receive(const uint8_t* data, size_t size, int64_t elapsedNs,
                        std::vector<uint8_t>* reply) {
    for (size_t i = 0; i < size; ++i) {
        if (m_config.protocol == Protocol::Sony) {
            ReceiveSony(data[i], elapsedNs, reply);
        } else if (data[i] == VICTOR_TIMECODE_REQUEST) {
            // The controller keeps quiet about command bytes it does not know.
            AnswerTimecode(VictorTimeData(elapsedNs), reply);
        }
    }
}

void Responder::ReceiveSony(uint8_t byte, int64_t elapsedNs, std::vector<uint8_t>* reply) {
    if (!m_block.empty() && elapsedNs - m_blockStart > SONY_BLOCK_GAP_NS)
        m_block.clear();
    if (m_block.empty())
        m_blockStart = elapsedNs;
    m_block.push_back(byte);
    // Command byte 1's low four bits count the data bytes between command byte 2 and the
    // checksum.
    const size_t length = 3 + (m_block[0] & 0x0F);
    if (m_block.size() < length)
        return;
    AnswerSonyBlock(elapsedNs, reply);
    m_block.clear();
}

void Responder::AnswerSonyBlock(int64_t elapsedNs, std::vector<uint8_t>* reply) {
    const size_t last = m_block.size() - 1;
    if (SonyChecksum(m_block.data(), last) != m_block[last]) {
        const std::vector<uint8_t> nak = SonyNak(NAK_CHECKSUM_ERROR);
        reply->insert(reply->end(), nak.begin(), nak.end());
        return;
    }
    if (m_block[0] == 0x61 && m_block[1] == 0x0C) {
        // Current time sense: 01 asks for LTC (74 04), anything else gets VITC (74 06).
        const uint8_t code = m_block[2] == 0x01 ? 0x04 : 0x06;
        AnswerTimecode(SonyTimeData(code, elapsedNs), reply);
        return;
    }
    const std::vector<uint8_t> nak = SonyNak(NAK_UNKNOWN_COMMAND);
    reply->insert(reply->end(), nak.begin(), nak.end());
}

void Responder::AnswerTimecode(std::vector<uint8_t> answer, std::vector<uint8_t>* reply) {
    const int request = ++m_requests;
    if (!m_config.fixedReply.empty()) {
        reply->insert(reply->end(), m_config.fixedReply.begin(), m_config.fixedReply.end());
        return;
    }
    const bool sony = m_config.protocol == Protocol::Sony;
    Fault fault = request % m_config.faultEvery == 0 ? m_config.fault : Fault::None;
    if (!sony && (fault == Fault::Nak || fault == Fault::BadChecksum))
        fault = Fault::None;
    switch (fault) {
    case Fault::None:
        break;
    case Fault::Silent:
        return;
    case Fault::Nak:
        answer = SonyNak(NAK_UNKNOWN_COMMAND);
        break;
    case Fault::BadChecksum:
        answer.back() = uint8_t(answer.back() + 1);
        break;
    case Fault::Short:
        answer.pop_back();
        break;
    case Fault::Long:
        // The start of another reply: a reader that lets these two bytes through reads the
        // next reply out of step.
        answer.push_back(answer[0]);
        answer.push_back(answer[1]);
        break;
    case Fault::Garbage:
        for (uint8_t& b : answer)
            b = NextGarbage();
        break;
    }
    reply->insert(reply->end(), answer.begin(), answer.end());
}

std::vector<uint8_t> Responder::SonyTimeData(uint8_t code, int64_t elapsedNs) const {
    int h = 0, m = 0, s = 0, f = 0;
    m_config.tape.LabelAtNs(elapsedNs, &h, &m, &s, &f);
    // Bit 6 of the frames byte flags drop-frame time, as the VTR sends it.
    const uint8_t dropFlag = m_config.tape.Rate().DropFrame() ? 0x40 : 0x00;
    return SonyBlock({0x74, code, uint8_t(Bcd(f) | dropFlag), Bcd(s), Bcd(m), Bcd(h)});
}

std::vector<uint8_t> Responder::VictorTimeData(int64_t elapsedNs) const {
    int h = 0, m = 0, s = 0, f = 0;
    m_config.tape.LabelAtNs(elapsedNs, &h, &m, &s, &f);
    std::vector<uint8_t> digits;
    for (int field : {h, m, s, f}) {
        digits.push_back(uint8_t('0' + field / 10 % 10));
        digits.push_back(uint8_t('0' + field % 10));
    }
    return digits;
}

uint8_t Responder::NextGarbage() {
    // xorshift32: repeatable noise, so a run can be told again.
    m_garbage ^= m_garbage << 13;
    m_garbage ^= m_garbage >> 17;
    m_garbage ^= m_garbage << 5;
    return uint8_t(m_garbage);
}

} // namespace vtrsim
