#include "commands/transport_caption.h"

#include "sources/sony9pin_transport.h"

#include <QCoreApplication>
#include <QStringList>

#include <cmath>

namespace {

// The speed as a deck's display shows it: +4×, −2×, +0.5×. A deck's speed data comes in steps
// of about 7 %, so 2.05× is the 2× asked for.
QString SpeedText(double speed) {
    const double size = std::fabs(speed);
    const QString digits = size >= 1.0 && std::fabs(size - std::round(size)) < 0.08 * size
                               ? QString::number(std::lround(size))
                               : QString::number(size, 'g', 2);
    return (speed < 0 ? QStringLiteral("−") : QStringLiteral("+")) + digits + QStringLiteral("×");
}

QString ModeText(const TransportState& state) {
    switch (state.mode) {
    case TransportMode::Unknown:
        return QString();
    case TransportMode::Stop:
        return QStringLiteral("STOP");
    case TransportMode::Play:
        return QStringLiteral("PLAY");
    case TransportMode::Still:
        return QStringLiteral("STILL");
    case TransportMode::FastForward:
        return QStringLiteral("FF");
    case TransportMode::Rewind:
        return QStringLiteral("REW");
    case TransportMode::Shuttle:
        return QStringLiteral("SHUTTLE ") + SpeedText(state.speed);
    case TransportMode::Jog:
        return QStringLiteral("JOG ") + SpeedText(state.speed);
    case TransportMode::Cueing:
        return QStringLiteral("CUE…");
    case TransportMode::CueDone:
        return QStringLiteral("CUE OK");
    case TransportMode::TapeOut:
        return QStringLiteral("TAPE OUT");
    case TransportMode::Standby:
        return QStringLiteral("STANDBY");
    case TransportMode::Local:
        return QStringLiteral("LOCAL");
    }
    return QString();
}

// The error bits a 9-pin NAK carries, in the order of its byte.
struct NakReason {
    int bit;
    const char* text;
};
constexpr NakReason NAK_REASONS[] = {
    {SONY_NAK_UNDEFINED_COMMAND, QT_TRANSLATE_NOOP("TransportCaption", "未定義コマンド")},
    {SONY_NAK_CHECKSUM_ERROR, QT_TRANSLATE_NOOP("TransportCaption", "チェックサムエラー")},
    {SONY_NAK_PARITY_ERROR, QT_TRANSLATE_NOOP("TransportCaption", "パリティエラー")},
    {SONY_NAK_OVERRUN, QT_TRANSLATE_NOOP("TransportCaption", "オーバーラン")},
    {SONY_NAK_FRAMING_ERROR, QT_TRANSLATE_NOOP("TransportCaption", "フレーミングエラー")},
    {SONY_NAK_TIME_OUT, QT_TRANSLATE_NOOP("TransportCaption", "タイムアウト")},
};

QString NakText(int bits) {
    QStringList reasons;
    for (const NakReason& reason : NAK_REASONS) {
        if (bits & reason.bit)
            reasons << QCoreApplication::translate("TransportCaption", reason.text);
    }
    return reasons.join(QCoreApplication::translate("TransportCaption", "・"));
}

} // namespace

QString TransportCaption(const TransportState& state, int64_t nowNs) {
    const QString mode = ModeText(state);
    QString reply;
    switch (state.reply) {
    case TransportReply::None:
        break;
    case TransportReply::Ack:
        if (nowNs - state.changedNs < TRANSPORT_ACK_SHOWN_NS)
            reply = QStringLiteral("ACK");
        break;
    case TransportReply::Nak:
        reply = QStringLiteral("NAK");
        if (const QString why = NakText(state.nakBits); !why.isEmpty())
            reply += QStringLiteral(" ") + why;
        break;
    case TransportReply::Silent:
        reply = QCoreApplication::translate("TransportCaption", "応答なし");
        break;
    }
    if (mode.isEmpty())
        return reply;
    return reply.isEmpty() ? mode : mode + QStringLiteral("  ") + reply;
}

QString TransportDetail(const TransportState& state) {
    switch (state.reply) {
    case TransportReply::Nak:
        return QCoreApplication::translate("TransportCaption",
                                           "最後のコマンドは拒否されました（%1）。")
            .arg(NakText(state.nakBits).isEmpty()
                     ? QCoreApplication::translate("TransportCaption", "理由不明")
                     : NakText(state.nakBits));
    case TransportReply::Silent:
        return QCoreApplication::translate(
            "TransportCaption", "最後のコマンドに応答がありません。ケーブルとデッキのリモート設定を"
                                "確かめてください。");
    default:
        break;
    }
    if (state.mode == TransportMode::Local)
        return QCoreApplication::translate("TransportCaption",
                                           "デッキがローカルです。リモートに切り替えてください。");
    if (state.mode == TransportMode::TapeOut)
        return QCoreApplication::translate("TransportCaption", "テープが入っていません。");
    return QString();
}
