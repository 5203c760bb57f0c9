#include "responder.h"

#include "tape_motion.h"

#include "timecode/timecode_value.h"

#include <cmath>

namespace vtrsim {

namespace {

// A Sony block whose bytes stop coming for this long is dropped, so that a stray byte on
// the line cannot swallow the next request.
constexpr int64_t SONY_BLOCK_GAP_NS = 50'000'000;

// Sony NAK data bits.
constexpr uint8_t NAK_UNKNOWN_COMMAND = 0x01;
constexpr uint8_t NAK_CHECKSUM_ERROR = 0x04;

constexpr uint8_t VICTOR_TIMECODE_REQUEST = 0xDE;

constexpr uint8_t SONY_STATUS_BYTES = 16;
constexpr size_t MAX_SENSES_KEPT = 200000; // status bytes the deck keeps; most are zero

// Jog and shuttle speed data: 10^(N/32 − 2) times play speed; 0 holds the picture.
double SpeedOf(uint8_t data) {
    return data == 0 ? 0.0 : std::pow(10.0, data / 32.0 - 2.0);
}

int FromBcd(uint8_t bcd) {
    return (bcd >> 4) * 10 + (bcd & 0x0F);
}

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

Responder::Responder(const ResponderConfig& config)
    : m_config(config), m_local(config.local), m_motion(std::make_unique<TapeMotion>(config.tape)) {
    if (m_config.faultEvery < 1)
        m_config.faultEvery = 1;
}

Responder::~Responder() = default;

std::vector<int> Responder::ReceivedWords() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_received;
}

std::vector<int64_t> Responder::ReceivedTimes() const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_receivedNs;
}

int64_t Responder::FrameAt(int64_t elapsedNs) const {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_motion->FrameAt(elapsedNs);
}

void Responder::InsertTape(int64_t elapsedNs) {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_motion->Insert(elapsedNs);
}

bool Responder::FaultsAll(Fault fault) const {
    return m_config.fault == fault && m_config.faultEvery == 1 && m_config.fixedReply.empty();
}

void Responder::Receive(const uint8_t* data, size_t size, int64_t elapsedNs,
                        std::vector<uint8_t>* reply) {
    std::lock_guard<std::mutex> lock(m_mutex);
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
    const int word = m_block[0] << 8 | m_block[1];
    // A deck left running for days keeps every command, and the senses of its first hours.
    if ((word != 0x610C && word != 0x6120) || m_received.size() < MAX_SENSES_KEPT) {
        m_received.push_back(word);
        m_receivedNs.push_back(elapsedNs);
    }
    const auto answer = [reply](const std::vector<uint8_t>& bytes) {
        reply->insert(reply->end(), bytes.begin(), bytes.end());
    };
    if (SonyChecksum(m_block.data(), last) != m_block[last]) {
        answer(SonyNak(NAK_CHECKSUM_ERROR));
        return;
    }
    if (word == 0x610C) {
        // Current time sense: 01 asks for LTC (74 04), anything else gets VITC (74 06).
        const uint8_t code = m_block[2] == 0x01 ? 0x04 : 0x06;
        AnswerTimecode(SonyTimeData(code, elapsedNs), reply);
        return;
    }
    // A deck that is silent, or refuses, on every request does so on everything.
    if (FaultsAll(Fault::Silent))
        return;
    if (FaultsAll(Fault::Nak)) {
        answer(SonyNak(NAK_UNKNOWN_COMMAND));
        return;
    }
    if (word == 0x6120) {
        answer(SonyStatusData(m_block[2], elapsedNs));
        return;
    }
    if (Obey(word, elapsedNs)) {
        answer({0x10, 0x01, 0x11});
        return;
    }
    answer(SonyNak(NAK_UNKNOWN_COMMAND));
}

bool Responder::Obey(int word, int64_t ns) {
    // Command byte 1 counts the data; the block is whole here.
    const uint8_t* data = m_block.data() + 2;
    const size_t count = m_block.size() - 3;
    // The commands this deck knows; in local it takes them and stays put.
    static constexpr int kKnown[] = {0x2000, 0x2001, 0x2004, 0x2005, 0x200F, 0x2010, 0x2111, 0x2113,
                                     0x2014, 0x2020, 0x2121, 0x2123, 0x2024, 0x2030, 0x2431};
    bool known = false;
    for (int k : kKnown)
        known = known || k == word;
    if (!known)
        return false;
    if (m_local.load())
        return true;
    TapeMotion& tape = *m_motion;
    switch (word) {
    case 0x2000:
        tape.Stop(ns);
        break;
    case 0x2001:
        tape.Play(ns);
        break;
    case 0x2004:
        tape.SetStandby(ns, false);
        break;
    case 0x2005:
        tape.SetStandby(ns, true);
        break;
    case 0x200F:
        tape.Eject(ns);
        break;
    case 0x2010:
        tape.Move(ns, Motion::FastForward, 0);
        break;
    case 0x2020:
        tape.Move(ns, Motion::Rewind, 0);
        break;
    case 0x2111:
    case 0x2121:
        tape.Move(ns, Motion::Jog, (word == 0x2121 ? -1 : 1) * SpeedOf(count ? data[0] : 0));
        break;
    case 0x2113:
    case 0x2123:
        tape.Move(ns, Motion::Shuttle, (word == 0x2123 ? -1 : 1) * SpeedOf(count ? data[0] : 0));
        break;
    case 0x2014:
        tape.Step(ns, 1);
        break;
    case 0x2024:
        tape.Step(ns, -1);
        break;
    case 0x2030:
        tape.Preroll(ns);
        break;
    case 0x2431: {
        // Frames, seconds, minutes, hours, in BCD; flag bits as in time data.
        const TimecodeLabel label = {FromBcd(data[3] & 0x3F), FromBcd(data[2] & 0x7F),
                                     FromBcd(data[1] & 0x7F), FromBcd(data[0] & 0x3F)};
        const Timecode at = Timecode::FromLabel(label, m_config.tape.Rate());
        if (!at)
            return true; // taken, and no frame of this tape: nowhere to go
        tape.CueTo(ns, at.Frame());
        break;
    }
    }
    return true;
}

std::vector<uint8_t> Responder::SonyStatusData(uint8_t request, int64_t ns) const {
    const TapeMotion& tape = *m_motion;
    uint8_t bytes[SONY_STATUS_BYTES] = {};
    const Motion motion = tape.MotionAt(ns);
    const bool reverse = tape.SpeedAt(ns) < 0;
    bytes[0] = uint8_t((m_local.load() ? 0x01 : 0) | (tape.TapeOut() ? 0x20 : 0));
    uint8_t& mode = bytes[1];
    uint8_t& play = bytes[2];
    mode = tape.Standby() && !tape.TapeOut() ? 0x80 : 0;
    switch (motion) {
    case Motion::Stop:
        mode |= 0x20;
        break;
    case Motion::Play:
        mode |= 0x01;
        play |= 0x80; // servo lock
        break;
    case Motion::Still:
        play |= 0x02;
        break;
    case Motion::FastForward:
        mode |= 0x04;
        break;
    case Motion::Rewind:
        mode |= 0x08;
        break;
    case Motion::Shuttle:
        play |= 0x20;
        break;
    case Motion::Jog:
        play |= 0x10;
        break;
    case Motion::Cue:
        mode |= reverse ? 0x08 : 0x04; // a cue winds
        break;
    }
    if (reverse && (motion == Motion::Shuttle || motion == Motion::Jog))
        play |= 0x04;
    if (tape.CueDoneAt(ns))
        play |= 0x01;
    if (tape.Prerolling(ns))
        bytes[4] |= 0x01;
    // The request's high four bits say the first byte, the low four how many.
    const int first = request >> 4;
    const int count = request & 0x0F;
    std::vector<uint8_t> block = {uint8_t(0x70 | count), 0x20};
    for (int i = first; i < first + count; ++i)
        block.push_back(i < SONY_STATUS_BYTES ? bytes[i] : 0);
    return SonyBlock(block);
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
    const TimecodeLabel label =
        Timecode::AtFrame(m_motion->FrameAt(elapsedNs), m_config.tape.Rate()).Label();
    const int h = label.hours, m = label.minutes, s = label.seconds, f = label.frames;
    // Bit 6 of the frames byte flags drop-frame time, as the VTR sends it.
    const uint8_t dropFlag = m_config.tape.Rate().DropFrame() ? 0x40 : 0x00;
    return SonyBlock({0x74, code, uint8_t(Bcd(f) | dropFlag), Bcd(s), Bcd(m), Bcd(h)});
}

std::vector<uint8_t> Responder::VictorTimeData(int64_t elapsedNs) const {
    const TimecodeLabel label =
        Timecode::AtFrame(m_motion->FrameAt(elapsedNs), m_config.tape.Rate()).Label();
    const int h = label.hours, m = label.minutes, s = label.seconds, f = label.frames;
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
