#include "sources/vtr_link.h"

#include "sources/sony9pin.h"
#include "sources/victor.h"

namespace {

// At most one attempt a second, so an absent device costs nothing noticeable.
constexpr int kReopenIntervalMs = VTR_REOPEN_INTERVAL_MS;

} // namespace

VtrLink::VtrLink()
    : m_sony(m_line, SONY_9PIN, m_deckRate), m_victor(m_line, VICTOR_SA_K37, m_deckRate) {}

VtrLink::~VtrLink() {
    VtrClose();
}

TimecodeSource& VtrLink::Source() {
    return const_cast<TimecodeSource&>(static_cast<const VtrLink*>(this)->Source());
}

const TimecodeSource& VtrLink::Source() const {
    switch (m_nVtrType) {
    case VTR_VICTOR:
        return m_victor;
    case VTR_LTC:
        return m_ltc;
    case VTR_MTC:
        return m_mtc;
    default:
        return m_sony;
    }
}

int VtrLink::VtrOpen(const char* portName, int vtrType) {
    // An open port is let go first, so choosing it again from the menu reopens it; a failed
    // open then leaves no port at all.
    Source().Close();
    // Stored before the open, so that a failed open still switches the exchanges over.
    m_nVtrType = vtrType;
    m_chosen.wanted = portName != nullptr && *portName != '\0';
    m_chosen.device = portName != nullptr ? portName : "";
    m_chosen.nextAttempt.setRemainingTime(kReopenIntervalMs);
    return Source().Open(portName);
}

void VtrLink::VtrClose() {
    // Closing on purpose ends the attempts to win the device back.
    m_chosen.wanted = false;
    Source().Close();
}

Timecode VtrLink::VtrReadTimecode() {
    RecoverSource();
    return Source().ReadTimecode();
}

std::optional<Timecode> VtrLink::VtrTimecodeAt(int64_t steadyNs) {
    return Source().TimecodeAt(steadyNs);
}

Timecode VtrLink::VtrLatestTimecode() {
    return Source().LatestTimecode();
}

void VtrLink::VtrPausePolling(bool paused) {
    // Every source hears it, so that one opened while paused starts paused.
    m_sony.PausePolling(paused);
    m_victor.PausePolling(paused);
    m_ltc.PausePolling(paused);
    m_mtc.PausePolling(paused);
}

int VtrLink::VtrPolls() const {
    if (&Source() == &m_sony)
        return m_sony.Polls();
    if (&Source() == &m_victor)
        return m_victor.Polls();
    return 0;
}

// Lets go of a device that has gone away and, once a second, tries the chosen one again.
void VtrLink::RecoverSource() {
    if (!m_chosen.wanted || Source().ReopensByItself() || Source().IsOpen() ||
        !m_chosen.nextAttempt.hasExpired())
        return;
    m_chosen.nextAttempt.setRemainingTime(kReopenIntervalMs);
    Source().Open(m_chosen.device.c_str());
}

void VtrLink::SetDeckRate(TimecodeRate rate) {
    m_deckRate = rate;
    m_ltc.SetListRate(rate);
    m_mtc.SetListRate(rate);
}

std::optional<SignalRate> VtrLink::VtrHeardRate() const {
    switch (m_nVtrType) {
    case VTR_LTC:
        return m_ltc.HeardRate();
    case VTR_MTC:
        return m_mtc.HeardRate();
    default:
        return std::nullopt;
    }
}
