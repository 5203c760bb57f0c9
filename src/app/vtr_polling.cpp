// The dialog's side of the VTR link: choosing port and protocol, the polling timer and the
// timecode display, the frame-check label and when the items of the two menus are checked.

#include "app/tarnwick_dlg.h"

#include "app/status_notes.h"

#include "persist/profile.h"
#include "sources/port_name.h"
#include "sources/vtr_link.h"

#include <QAction>
#include <QLabel>

namespace {

void SetLabelText(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
}

} // namespace

void CTarnwickDlg::OnTimer() {
    m_vtrLink.SetDeckRate(m_list.Rate());
    m_timecode = m_vtrLink.VtrReadTimecode();
    SetLabelText(GetDlgItem(IDC_TC_DISPLAY), QString::fromStdString(m_timecode.Text()));
    ShowSourceRate();
}

// The caption names the source: VITC from a deck, LTC or MTC. A source heard at another
// frames a second than the list counts gives dashes; the note beside the frame-check label
// says so, so that the operator can tell it from a silent source and choose the list's rate.
void CTarnwickDlg::ShowSourceRate() {
    const int type = m_vtrLink.VtrType();
    const QString caption = type == VTR_LTC   ? QStringLiteral("LTC")
                            : type == VTR_MTC ? QStringLiteral("MTC")
                                              : QStringLiteral("VITC");
    if (m_vitcLabel->text() != caption)
        m_vitcLabel->setText(caption);
    const std::optional<SignalRate> heard = m_vtrLink.VtrHeardRate();
    QString note, detail;
    if (heard && heard->rate.Fps() != m_list.FrameRate()) {
        note = QStringLiteral("%1 %2（リストは%3フレーム）")
                   .arg(caption, QString::fromStdString(SignalRateText(*heard)))
                   .arg(m_list.FrameRate());
        detail = QStringLiteral("タイムコードは%1フレーム、リストは%2フレームです。"
                                "リストのメニューの「フレームレート」で合わせてください。")
                     .arg(heard->rate.Fps())
                     .arg(m_list.FrameRate());
    }
    if (m_rateNote != note) {
        m_rateNote = note;
        ShowStatusNote(m_frameCheckLabel, StatusNote::Rate, note, detail);
    }
}

void CTarnwickDlg::SelectPort(int port, int vtrType) {
    PollPause pause(*this);
    QByteArray device;
    if (vtrType == VTR_LTC) {
        // The user's own sections, read afresh on every choice and never written.
        device = ProfileGetString(QStringLiteral("LTC"), QStringLiteral("Device"),
                                  QStringLiteral("default"), m_szIniPath)
                     .toLocal8Bit();
        m_vtrLink.SetLtcChannel(
            ProfileGetInt(QStringLiteral("LTC"), QStringLiteral("Channel"), 1, m_szIniPath));
    } else if (vtrType == VTR_MTC) {
        device = ProfileGetString(QStringLiteral("MTC"), QStringLiteral("Device"), QString(),
                                  m_szIniPath)
                     .toLocal8Bit();
    } else {
        // Unix has no COM ports; the settings file may say which device stands for one
        // ("COM1=/dev/ttyUSB0" in [Ports]), else COMn is /dev/ttyS(n-1).
        const QString mapped =
            ProfileGetString(QStringLiteral("Ports"), ComPortName(port), QString(), m_szIniPath);
        device = PortDevicePath(port, mapped).toLocal8Bit();
    }
    m_vtrLink.VtrOpen(device.constData(), vtrType);
}

void CTarnwickDlg::ShowFrameCheck() {
    const QString text = m_settings.Drop != 0 && IsDropFrameOffered()
                             ? QStringLiteral("ﾌﾚｰﾑﾁｪｯｸ=%1(Drop)")
                             : QStringLiteral("ﾌﾚｰﾑﾁｪｯｸ=%1(NonDrop)");
    SetLabelText(GetDlgItem(IDC_FRAMECHECK_LABEL), text.arg(m_settings.FrameCheck));
}

// A frame-check item is checked when its gap and counting are the settings': NonDrop items
// for Drop 0, Drop items for any other value; a gap the menu does not offer checks none.
bool CTarnwickDlg::IsFrameCheckItemChecked(int id) const {
    const bool dropItem = id == ID_FRAMECHECK_3_DROP || id == ID_FRAMECHECK_4_DROP;
    const int gap = id == ID_FRAMECHECK_3_NONDROP || id == ID_FRAMECHECK_3_DROP ? 3 : 4;
    const bool drop = m_settings.Drop != 0 && IsDropFrameOffered();
    return dropItem == drop && m_settings.FrameCheck == gap;
}

// Drop-frame exists at 30 frames only: at 24 and 25 the Drop items are greyed, the list counts
// non-drop, and the Drop setting waits for a return to 30.
bool CTarnwickDlg::IsDropFrameOffered() const {
    return RateHasDropFrame(m_list.FrameRate());
}

bool CTarnwickDlg::IsComItemChecked(int id) const {
    return m_settings.com == id - ID_COM1 + 1;
}

bool CTarnwickDlg::IsVtrItemChecked(int id) const {
    return m_settings.VtrType == (id == ID_VTR_SONY ? VTR_SONY : VTR_VICTOR);
}

// The frame-check choice applies to the next computation; the list keeps its text.
void CTarnwickDlg::ChooseFrameCheck(int frameCheck, int drop) {
    m_settings.FrameCheck = frameCheck;
    m_settings.Drop = drop;
    ShowFrameCheck();
}

// Choosing the port that is open already opens it afresh.
void CTarnwickDlg::ChooseCom(int com) {
    m_settings.com = com;
    SelectPort(com, m_settings.VtrType);
}

void CTarnwickDlg::ChooseVtr(int vtrType) {
    m_settings.VtrType = vtrType;
    SelectPort(m_settings.com, vtrType);
}

void CTarnwickDlg::OnVtrVictor() {
    ChooseVtr(VTR_VICTOR);
}

void CTarnwickDlg::OnVtrSony() {
    ChooseVtr(VTR_SONY);
}
