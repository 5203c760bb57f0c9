#include "sources/vtr_link.h"

#include "sources/serial_source.h"
#include "sources/sony9pin.h"

namespace {

// What a source made by its chooser holds until it is given: nothing to read.
class NoSource final : public TimecodeSource {
public:
    int Open(const char*) override { return 0; }
    void Close() override {}
    bool IsOpen() const override { return false; }
    bool ReopensByItself() const override { return true; }
    Timecode ReadTimecode() override { return Timecode(); }
};

// At most one attempt a second, so an absent device costs nothing noticeable.
constexpr int kReopenIntervalMs = VTR_REOPEN_INTERVAL_MS;

} // namespace

VtrLink::VtrLink() : m_source(SourceRowOf(VTR_SONY).make({m_line, m_deckRate, {}})) {}

VtrLink::~VtrLink() {
    VtrClose();
}

int VtrLink::VtrOpen(const char* portName, int vtrType, const SourceSetting& setting,
                     std::unique_ptr<TimecodeSource> made) {
    // The source open is let go first, so choosing it again from the menu reopens it; a failed
    // open then leaves no device at all.
    m_source->Close();
    // Stored before the open, so that a failed open still switches the exchanges over.
    m_nVtrType = vtrType;
    const SourceRow& row = SourceRowOf(vtrType);
    if (made)
        m_source = std::move(made);
    else if (row.make != nullptr)
        m_source = row.make({m_line, m_deckRate, setting});
    else
        m_source = std::make_unique<NoSource>();
    m_source->SetListRate(m_deckRate);
    m_source->PausePolling(m_paused);
    m_chosen.wanted = portName != nullptr && *portName != '\0';
    m_chosen.device = portName != nullptr ? portName : "";
    m_chosen.nextAttempt.setRemainingTime(kReopenIntervalMs);
    return m_source->Open(portName);
}

void VtrLink::VtrClose() {
    // Closing on purpose ends the attempts to win the device back.
    m_chosen.wanted = false;
    m_source->Close();
}

Timecode VtrLink::VtrReadTimecode() {
    RecoverSource();
    return m_source->ReadTimecode();
}

std::optional<Timecode> VtrLink::VtrTimecodeAt(int64_t steadyNs) {
    return m_source->TimecodeAt(steadyNs);
}

Timecode VtrLink::VtrLatestTimecode() {
    return m_source->LatestTimecode();
}

void VtrLink::VtrPausePolling(bool paused) {
    // Kept, so that a source opened while paused starts paused.
    m_paused = paused;
    m_source->PausePolling(paused);
}

// Lets go of a device that has gone away and, once a second, tries the chosen one again.
void VtrLink::RecoverSource() {
    if (!m_chosen.wanted || m_source->ReopensByItself() || m_source->IsOpen() ||
        !m_chosen.nextAttempt.hasExpired())
        return;
    m_chosen.nextAttempt.setRemainingTime(kReopenIntervalMs);
    m_source->Open(m_chosen.device.c_str());
}

void VtrLink::SetDeckRate(TimecodeRate rate) {
    m_deckRate = rate;
    m_source->SetListRate(rate);
}

std::optional<std::string> VtrLink::VtrDeviceProblem() const {
    const std::optional<std::string> problem = m_source->DeviceProblem();
    if (!problem)
        return std::nullopt;
    return std::string(VtrSource().caption) + " " + *problem;
}
