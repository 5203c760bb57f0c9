// Driving a Sony deck through the serial source against the simulator on a pseudo-terminal:
// how soon a key's request is on the line, how exactly and how fast cues land, how often the
// time is still asked while shuttling, and how close a capture at play speed comes after a
// cue.

#include "serve.h"
#include "sources/live_timecode.h"
#include "sources/serial_source.h"
#include "sources/sony9pin.h"
#include "sources/sony9pin_transport.h"

#include <QCoreApplication>
#include <QThread>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <random>
#include <vector>

namespace {

constexpr TimecodeRate kRate = TimecodeRate::Thirty(true);

vtrsim::ResponderConfig Tape(bool running) {
    vtrsim::ResponderConfig config;
    config.tape.running = running;
    config.tape.startFrames = Timecode::FromText("01:00:00:00", kRate).Frame();
    return config;
}

struct Driven {
    explicit Driven(bool running) : vtr(Tape(running)), source(line, SONY_9PIN, rate) {
        source.Open(vtr.SlavePath().c_str());
    }
    Transport& Deck() { return *source.GetTransport(); }

    vtrsim::PtyResponder vtr;
    SerialLine line;
    TimecodeRate rate = kRate;
    SerialSource source;
};

// Waits, a millisecond at a time, until done() or the deadline in seconds; false at the
// deadline.
template <typename Done> bool WaitFor(Done done, double seconds) {
    const int64_t until = SteadyNowNs() + int64_t(seconds * 1e9);
    while (!done()) {
        if (SteadyNowNs() > until)
            return false;
        QThread::msleep(1);
    }
    return true;
}

double Median(std::vector<double> values) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Percentile(std::vector<double> values, double p) {
    if (values.empty())
        return 0;
    std::sort(values.begin(), values.end());
    return values[std::min(values.size() - 1, size_t(p * double(values.size())))];
}

double Worst(const std::vector<double>& values) {
    return values.empty() ? 0 : *std::max_element(values.begin(), values.end());
}

// Keys pressed at uneven moments, against the time and status requests going on.
void KeyToWire() {
    Driven deck(true);
    std::mt19937 random(7);
    std::vector<double> ms;
    constexpr int kKeys = 200;
    for (int i = 0; i < kKeys; ++i) {
        QThread::msleep(20 + random() % 60);
        const size_t before = deck.vtr.ReceivedWords().size();
        const TransportVerb verb = i % 2 ? TransportVerb::Still : TransportVerb::Play;
        const int word = verb == TransportVerb::Play ? SONY_PLAY : SONY_SHUTTLE_FORWARD;
        const int64_t pressed = SteadyNowNs();
        deck.Deck().Request(TransportRequest{verb, 0.0, Timecode()});
        size_t found = 0;
        WaitFor(
            [&] {
                const std::vector<int> words = deck.vtr.ReceivedWords();
                for (size_t k = before; k < words.size(); ++k)
                    if (words[k] == word)
                        found = k + 1;
                return found != 0;
            },
            2.0);
        if (found == 0)
            continue;
        ms.push_back(double(deck.vtr.ReceivedAtNs()[found - 1] - pressed) / 1e6);
    }
    std::printf("%-40s median %6.2f ms  95th %6.2f ms  worst %6.2f ms  (%zu/%d keys)\n",
                "Key to command on the wire", Median(ms), Percentile(ms, 0.95), Worst(ms),
                ms.size(), kKeys);
}

// Cues to random frames within five minutes either side of where the tape stands.
void Cues() {
    Driven deck(false);
    std::mt19937 random(11);
    const Timecode origin = Timecode::FromText("01:00:00:00", kRate);
    std::vector<double> seconds;
    std::vector<double> off;
    int exact = 0;
    constexpr int kCues = 100;
    for (int i = 0; i < kCues; ++i) {
        const Timecode target = origin.Plus(long(random() % 18000) - 9000);
        const int64_t asked = SteadyNowNs();
        deck.Deck().Request(TransportRequest{TransportVerb::CueTo, 0.0, target});
        if (!WaitFor([&] { return deck.Deck().State().mode == TransportMode::Cueing; }, 2.0) ||
            !WaitFor([&] { return deck.Deck().State().mode == TransportMode::CueDone; }, 10.0))
            continue;
        seconds.push_back(double(SteadyNowNs() - asked) / 1e9);
        // The time read after the cue has arrived.
        const int polls = deck.source.Polls();
        WaitFor([&] { return deck.source.Polls() > polls; }, 2.0);
        const int frames = std::abs(deck.source.ReadTimecode().Frame() - target.Frame());
        off.push_back(frames);
        exact += frames == 0;
    }
    std::printf("%-40s %d/%d on their frame, worst %.0f frames off\n", "100 cues: frames off",
                exact, kCues, Worst(off));
    std::printf("%-40s median %6.3f s  worst %6.3f s\n", "100 cues: time to cue-up complete",
                Median(seconds), Worst(seconds));
}

void TimeRequestsWhileShuttling() {
    Driven deck(true);
    deck.Deck().Request(TransportRequest{TransportVerb::Shuttle, 8.0, Timecode()});
    WaitFor([&] { return deck.Deck().State().mode == TransportMode::Shuttle; }, 2.0);
    const int requests = deck.vtr.Requests();
    const int64_t from = SteadyNowNs();
    QThread::sleep(3);
    const double span = double(SteadyNowNs() - from) / 1e9;
    std::printf("%-40s %.1f a second (%d in %.1f s)\n", "Time requests while shuttling 8x",
                (deck.vtr.Requests() - requests) / span, deck.vtr.Requests() - requests, span);
}

// A cue, play from there, then captures at uneven moments as the window takes them.
void CaptureAfterCue() {
    Driven deck(false);
    const Timecode target = Timecode::FromText("01:02:00:02", kRate);
    deck.Deck().Request(TransportRequest{TransportVerb::CueThenPlay, 0.0, target});
    WaitFor([&] { return deck.Deck().State().mode == TransportMode::Play; }, 10.0);
    std::mt19937 random(3);
    std::vector<double> off;
    int exact = 0;
    constexpr int kCaptures = 50;
    // The first second of play is left to the readings to settle, as an operator would.
    QThread::msleep(1000);
    for (int i = 0; i < kCaptures; ++i) {
        QThread::msleep(30 + random() % 90);
        const int64_t pressed = SteadyNowNs();
        const std::optional<Timecode> captured = deck.source.TimecodeAt(pressed);
        const int64_t under = deck.vtr.FrameAt(pressed);
        const int frames = captured ? std::abs(int(captured->Frame() - under)) : 9999;
        off.push_back(frames);
        exact += frames == 0;
    }
    std::printf("%-40s %d/%d on the frame under the head, worst %.0f frames off\n",
                "Captures at 1x after a cue", exact, kCaptures, Worst(off));
}

} // namespace

int main(int argc, char* argv[]) {
    QCoreApplication app(argc, argv);
    KeyToWire();
    Cues();
    TimeRequestsWhileShuttling();
    CaptureAfterCue();
    return 0;
}
