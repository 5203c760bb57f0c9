#pragma once

#include "sources/transport.h"

#include <QString>

#include <cstdint>

class Polling;
class Screen;
class SpotList;
class VtrLink;
struct AppSettings;

// Moving the picture from the list: J/K/L as editing systems have them, Space for play and
// still, and a cue to the current row's IN or OUT. Every command goes to the source's own
// worker and returns at once; what the source is doing is shown on the timecode line each
// tick. A source that only listens (LTC, MTC) or whose protocol has no safe transport (Victor)
// has none: the commands are greyed, and say why.
class TransportCommands {
public:
    TransportCommands(VtrLink& link, const SpotList& list, const AppSettings& settings,
                      Screen& screen, Polling& polling);

    // L plays forward, and again doubles the speed up to 16× (a shuttle); J does the same in
    // reverse. With K held they step one frame instead.
    void OnL();
    void OnJ();
    // K stops on the frame shown; pressed as a key, it is held until released.
    void OnK(bool held);
    void OnKReleased();
    void OnPlayStill();
    void OnFastForward();
    void OnRewind();
    void OnStop();
    void OnStepForward();
    void OnStepBack();
    // G: to the current row's IN, or its OUT when the OUT column is current, on that frame.
    void OnCueToRow();
    // Shift+G: to the preroll point before that frame, then play, so the spot comes at speed.
    void OnCueToRowAndPlay();
    void OnStandby();
    // Asks first: a tape thrown out mid-session is minutes lost.
    void OnEject();

    // Whether the source can do this now; WhyNot says why not, for the greyed item's tip.
    bool Offers(TransportVerb verb) const;
    QString WhyNot() const;

    // The polling tick: what the source is doing, on the timecode line.
    void ShowState(int64_t nowNs);

private:
    Transport* Current() const;
    void Send(const TransportRequest& request);
    void Send(TransportVerb verb, double speed = 0.0);
    // A command after which the source no longer runs at the speed last asked for.
    void Halt(TransportVerb verb);
    // The speed the source runs at, as far as the last commands and its state tell.
    double Speed() const;
    void Shuttle(double direction);
    void CueRow(bool thenPlay);

    VtrLink& m_link;
    const SpotList& m_list;
    const AppSettings& m_settings;
    Screen& m_screen;
    Polling& m_polling;
    bool m_kHeld = false;
    double m_speed = 0.0; // the speed last asked for; 0 after a still or a cue
    int64_t m_sentNs = 0; // when it was asked for, on the steady clock
    bool m_standby = false;
    int64_t m_noteUntilNs = 0; // a note of a cue that went nowhere stays until then
    QString m_shown, m_shownDetail;
};
