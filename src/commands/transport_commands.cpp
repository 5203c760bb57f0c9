#include "commands/transport_commands.h"

#include "commands/polling.h"
#include "commands/screen.h"
#include "commands/transport_caption.h"
#include "list/spot_list.h"
#include "persist/app_settings.h"
#include "platform/message_box.h"
#include "sources/live_timecode.h"
#include "sources/source_table.h"
#include "sources/victor.h"
#include "sources/vtr_link.h"

#include <QCoreApplication>
#include <algorithm>
#include <cmath>

namespace {

constexpr double TOP_SHUTTLE_SPEED = 16.0;
constexpr int64_t CUE_NOTE_SHOWN_NS = 3'000'000'000;

bool IsStopped(TransportMode mode) {
    switch (mode) {
    case TransportMode::Stop:
    case TransportMode::Still:
    case TransportMode::Cueing:
    case TransportMode::CueDone:
    case TransportMode::TapeOut:
    case TransportMode::Standby:
    case TransportMode::Local:
        return true;
    default:
        return false;
    }
}

} // namespace

TransportCommands::TransportCommands(VtrLink& link, const SpotList& list,
                                     const AppSettings& settings, Screen& screen, Polling& polling)
    : m_link(link), m_list(list), m_settings(settings), m_screen(screen), m_polling(polling) {}

Transport* TransportCommands::Current() const {
    return m_link.VtrTransport();
}

bool TransportCommands::Offers(TransportVerb verb) const {
    const Transport* transport = Current();
    return transport != nullptr && transport->Offers(verb);
}

QString TransportCommands::WhyNot() const {
    if (Current() != nullptr)
        return QString();
    if (m_settings.VtrType == VTR_VICTOR)
        return QCoreApplication::translate(
            "TransportCommands", "Victor のデッキとは時刻の読み取りだけを交わします。"
                                 "推測のコードを実機に送らないよう、トランスポートは使えません。");
    return QCoreApplication::translate(
               "TransportCommands",
               "%1 はタイムコードを聞くだけのソースで、動かすことはできません。")
        .arg(QString::fromUtf8(SourceRowOf(m_settings.VtrType).caption));
}

void TransportCommands::Send(const TransportRequest& request) {
    Transport* transport = Current();
    if (transport == nullptr || !transport->Offers(request.verb))
        return;
    transport->Request(request);
    m_sentNs = SteadyNowNs();
}

void TransportCommands::Send(TransportVerb verb, double speed) {
    TransportRequest request;
    request.verb = verb;
    request.speed = speed;
    Send(request);
}

void TransportCommands::Halt(TransportVerb verb) {
    m_speed = 0.0;
    Send(verb);
}

double TransportCommands::Speed() const {
    const Transport* transport = Current();
    if (transport == nullptr)
        return 0.0;
    const TransportState state = transport->State();
    // Stopped, cued or played from the deck's own buttons since the last key: its state wins.
    if (state.changedNs > m_sentNs) {
        if (IsStopped(state.mode))
            return 0.0;
        if (state.mode == TransportMode::Play)
            return 1.0;
    }
    return m_speed;
}

// Play in the key's direction, or double the speed already going that way.
void TransportCommands::Shuttle(double direction) {
    const double speed = Speed();
    if (speed * direction <= 0.0) {
        m_speed = direction;
    } else {
        m_speed = std::clamp(speed * 2.0, -TOP_SHUTTLE_SPEED, TOP_SHUTTLE_SPEED);
    }
    if (m_speed == 1.0)
        Send(TransportVerb::Play);
    else
        Send(TransportVerb::Shuttle, m_speed);
}

void TransportCommands::OnL() {
    if (m_kHeld) {
        OnStepForward();
        return;
    }
    Shuttle(1.0);
}

void TransportCommands::OnJ() {
    if (m_kHeld) {
        OnStepBack();
        return;
    }
    Shuttle(-1.0);
}

void TransportCommands::OnK(bool held) {
    m_kHeld = held;
    Halt(TransportVerb::Still);
}

void TransportCommands::OnKReleased() {
    m_kHeld = false;
}

void TransportCommands::OnPlayStill() {
    if (Speed() != 0.0) {
        Halt(TransportVerb::Still);
    } else {
        m_speed = 1.0;
        Send(TransportVerb::Play);
    }
}

void TransportCommands::OnFastForward() {
    Halt(TransportVerb::FastForward);
}

void TransportCommands::OnRewind() {
    Halt(TransportVerb::Rewind);
}

void TransportCommands::OnStop() {
    Halt(TransportVerb::Stop);
}

void TransportCommands::OnStepForward() {
    Halt(TransportVerb::StepForward);
}

void TransportCommands::OnStepBack() {
    Halt(TransportVerb::StepBack);
}

void TransportCommands::OnStandby() {
    m_standby = !m_standby;
    Send(m_standby ? TransportVerb::StandbyOn : TransportVerb::StandbyOff);
}

void TransportCommands::OnEject() {
    if (!Offers(TransportVerb::Eject))
        return;
    Polling::Pause pause(m_polling);
    if (TwMessageBox(m_screen.Owner(),
                     QCoreApplication::translate("TransportCommands", "テープを取り出しますか？"),
                     BoxButtons::YesNo) == BoxAnswer::Yes) {
        Halt(TransportVerb::Eject);
    }
}

void TransportCommands::OnCueToRow() {
    CueRow(false);
}

void TransportCommands::OnCueToRowAndPlay() {
    CueRow(true);
}

void TransportCommands::CueRow(bool thenPlay) {
    if (Current() == nullptr)
        return;
    const long col = m_list.Col() == COL_OUT ? COL_OUT : COL_IN;
    const QString text = m_list.Cell(m_list.Row(), col);
    const Timecode at = Timecode::FromText(text.toStdString(), m_list.Rate());
    if (!at) {
        m_shown = QCoreApplication::translate("TransportCommands",
                                              "行 %1 の %2 にタイムコードがありません")
                      .arg(m_list.Row())
                      .arg(col == COL_OUT ? QStringLiteral("OUT") : QStringLiteral("IN"));
        m_shownDetail = QString();
        m_noteUntilNs = SteadyNowNs() + CUE_NOTE_SHOWN_NS;
        m_screen.ShowNote(StatusNote::Transport, m_shown, m_shownDetail);
        return;
    }
    TransportRequest request;
    request.verb = thenPlay ? TransportVerb::CueThenPlay : TransportVerb::CueTo;
    const int preroll = std::clamp(m_settings.Preroll, 0, PREROLL_MAX_SECONDS);
    request.at = thenPlay ? at.Plus(-static_cast<long long>(preroll) * m_list.FrameRate()) : at;
    m_speed = 0.0;
    Send(request);
}

void TransportCommands::ShowState(int64_t nowNs) {
    // A cue that found no timecode is said long enough to be read.
    if (nowNs < m_noteUntilNs)
        return;
    const Transport* transport = Current();
    QString text, detail;
    if (transport != nullptr) {
        const TransportState state = transport->State();
        text = TransportCaption(state, nowNs);
        detail = TransportDetail(state);
    }
    if (text != m_shown || detail != m_shownDetail) {
        m_shown = text;
        m_shownDetail = detail;
        m_screen.ShowNote(StatusNote::Transport, text, detail);
    }
}
