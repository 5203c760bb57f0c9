// The dialog's side of the VTR link: choosing port and protocol, the polling timer and the
// timecode display, the frame-check label and the check marks of the two menus.

#include "app/tarnwick_dlg.h"

#include "persist/profile.h"
#include "vtr/port_name.h"
#include "vtr/vtr_link.h"

#include <QAction>
#include <QLabel>

namespace {

constexpr int kFrameCheckItems[] = {ID_FRAMECHECK_3_NONDROP, ID_FRAMECHECK_4_NONDROP,
                                    ID_FRAMECHECK_3_DROP, ID_FRAMECHECK_4_DROP};
constexpr int kComItems[] = {ID_COM1, ID_COM2, ID_COM3, ID_COM4, ID_COM5};

void SetLabelText(QWidget* control, const QString& text) {
    if (auto* label = qobject_cast<QLabel*>(control))
        label->setText(text);
}

void SetCheck(QAction* item, bool checked) {
    if (item != nullptr)
        item->setChecked(checked);
}

} // namespace

void CTarnwickDlg::OnTimer() {
    m_vtrLink.SetDeckRate(TimecodeRate::Thirty(m_settings.Drop == 1));
    m_timecode = m_vtrLink.VtrReadTimecode();
    SetLabelText(GetDlgItem(IDC_TC_DISPLAY), QString::fromStdString(m_timecode.Text()));
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
    const QString text = m_settings.Drop != 0 ? QStringLiteral("ﾌﾚｰﾑﾁｪｯｸ=%1(Drop)")
                                              : QStringLiteral("ﾌﾚｰﾑﾁｪｯｸ=%1(NonDrop)");
    SetLabelText(GetDlgItem(IDC_FRAMECHECK_LABEL), text.arg(m_settings.FrameCheck));
}

void CTarnwickDlg::CheckFrameCheckMenu(int frameCheck, int drop) {
    for (int id : kFrameCheckItems)
        SetCheck(MenuItem(id), false);
    if (drop == 0) {
        if (frameCheck == 3)
            SetCheck(MenuItem(ID_FRAMECHECK_3_NONDROP), true);
        else if (frameCheck == 4)
            SetCheck(MenuItem(ID_FRAMECHECK_4_NONDROP), true);
    } else {
        if (frameCheck == 3)
            SetCheck(MenuItem(ID_FRAMECHECK_3_DROP), true);
        else if (frameCheck == 4)
            SetCheck(MenuItem(ID_FRAMECHECK_4_DROP), true);
    }
}

void CTarnwickDlg::CheckComMenu(int com) {
    for (int id : kComItems)
        SetCheck(MenuItem(id), false);
    if (com >= 1 && com <= 5)
        SetCheck(MenuItem(ID_COM1 + com - 1), true);
}

void CTarnwickDlg::CheckVtrMenu(int vtrType) {
    SetCheck(MenuItem(ID_VTR_VICTOR), false);
    SetCheck(MenuItem(ID_VTR_SONY), false);
    if (vtrType == VTR_SONY)
        SetCheck(MenuItem(ID_VTR_SONY), true);
    else if (vtrType == VTR_VICTOR)
        SetCheck(MenuItem(ID_VTR_VICTOR), true);
}

// The frame-check choice applies to the next computation; the list keeps its text.
void CTarnwickDlg::ChooseFrameCheck(int frameCheck, int drop) {
    m_settings.FrameCheck = frameCheck;
    m_settings.Drop = drop;
    ShowFrameCheck();
    CheckFrameCheckMenu(m_settings.FrameCheck, m_settings.Drop);
}

// Choosing the port that is open already opens it afresh.
void CTarnwickDlg::ChooseCom(int com) {
    m_settings.com = com;
    SelectPort(com, m_settings.VtrType);
    CheckComMenu(m_settings.com);
}

void CTarnwickDlg::ChooseVtr(int vtrType) {
    m_settings.VtrType = vtrType;
    SelectPort(m_settings.com, vtrType);
    CheckVtrMenu(m_settings.VtrType);
}

void CTarnwickDlg::OnVtrVictor() {
    ChooseVtr(VTR_VICTOR);
}

void CTarnwickDlg::OnVtrSony() {
    ChooseVtr(VTR_SONY);
}
