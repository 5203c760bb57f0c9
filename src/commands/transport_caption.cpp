#include "commands/transport_caption.h"

#include <QStringList>

#include <cmath>

namespace {

// The speed as a deck's display shows it: +4×, −2×, +0.5×.
QString SpeedText(double speed) {
    const double size = std::fabs(speed);
    const QString digits = size >= 1.0 && std::fabs(size - std::round(size)) < 0.05
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
    {0x01, "未定義コマンド"}, {0x04, "チェックサムエラー"}, {0x10, "パリティエラー"},
    {0x20, "オーバーラン"},   {0x40, "フレーミングエラー"}, {0x80, "タイムアウト"},
};

QString NakText(int bits) {
    QStringList reasons;
    for (const NakReason& reason : NAK_REASONS) {
        if (bits & reason.bit)
            reasons << QString::fromUtf8(reason.text);
    }
    return reasons.join(QStringLiteral("・"));
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
        reply = QStringLiteral("応答なし");
        break;
    }
    if (mode.isEmpty())
        return reply;
    return reply.isEmpty() ? mode : mode + QStringLiteral("  ") + reply;
}

QString TransportDetail(const TransportState& state) {
    switch (state.reply) {
    case TransportReply::Nak:
        return QStringLiteral("最後のコマンドは拒否されました（%1）。")
            .arg(NakText(state.nakBits).isEmpty() ? QStringLiteral("理由不明")
                                                  : NakText(state.nakBits));
    case TransportReply::Silent:
        return QStringLiteral("最後のコマンドに応答がありません。ケーブルとデッキのリモート設定を"
                              "確かめてください。");
    default:
        break;
    }
    if (state.mode == TransportMode::Local)
        return QStringLiteral("デッキがローカルです。リモートに切り替えてください。");
    if (state.mode == TransportMode::TapeOut)
        return QStringLiteral("テープが入っていません。");
    return QString();
}
