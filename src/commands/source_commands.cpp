#include "commands/source_commands.h"

#include "commands/polling.h"
#include "commands/screen.h"
#include "list/spot_list.h"
#include "persist/profile.h"
#include "sources/port_name.h"
#include "sources/vtr_link.h"

#include <QCoreApplication>

SourceCommands::SourceCommands(VtrLink& link, AppSettings& settings, const QString& iniPath,
                               const SpotList& list, Screen& screen, Polling& polling,
                               VideoFile::FollowRate follow)
    : m_link(link), m_settings(settings), m_iniPath(iniPath), m_list(list), m_screen(screen),
      m_polling(polling), m_video(link, settings, iniPath, screen, polling, std::move(follow)) {}

void SourceCommands::OnTimer() {
    m_link.SetDeckRate(m_list.Rate());
    TakeReading(m_link.VtrReadTimecode());
}

void SourceCommands::TakeReading(const Timecode& reading) {
    m_timecode = reading;
    const QString caption = QString::fromUtf8(m_link.VtrSource().caption);
    m_screen.ShowTimecode(QString::fromStdString(m_timecode.Text()), caption);
    ShowSourceRate(caption);
    // A device that is missing or cannot be opened is named, so that dashes are not taken for
    // a silent source.
    const QString problem = QString::fromStdString(m_link.VtrDeviceProblem().value_or(""));
    if (problem != m_deviceNote) {
        m_deviceNote = problem;
        m_screen.ShowNote(StatusNote::Device, problem, QString());
    }
}

Timecode SourceCommands::CaptureTimecode(bool keepText, int64_t pressNs) const {
    if (keepText)
        return m_timecode;
    const int64_t at = pressNs != 0 ? pressNs : SteadyNowNs();
    return m_link.VtrTimecodeAt(at).value_or(m_timecode);
}

// A source heard at another frames a second than the list counts gives dashes; the note beside
// the frame-check label says so, so that the operator can tell it from a silent source and
// choose the list's rate.
void SourceCommands::ShowSourceRate(const QString& caption) {
    const std::optional<SignalRate> heard = m_link.VtrHeardRate();
    QString note, detail;
    if (heard && heard->rate.Fps() != m_list.FrameRate()) {
        note = QCoreApplication::translate("SourceCommands", "%1 %2（リストは%3フレーム）")
                   .arg(caption, QString::fromStdString(SignalRateText(*heard)))
                   .arg(m_list.FrameRate());
        detail = QCoreApplication::translate(
                     "SourceCommands", "タイムコードは%1フレーム、リストは%2フレームです。"
                                       "リストのメニューの「フレームレート」で合わせてください。")
                     .arg(heard->rate.Fps())
                     .arg(m_list.FrameRate());
    }
    if (m_rateNote != note) {
        m_rateNote = note;
        m_screen.ShowNote(StatusNote::Rate, note, detail);
    }
}

void SourceCommands::SelectPort(int port, int vtrType) {
    Polling::Pause pause(m_polling);
    const SourceRow& source = SourceRowOf(vtrType);
    if (source.make == nullptr) {
        m_video.OpenAtStart(); // the only source its chooser makes
        return;
    }
    QByteArray device;
    SourceSetting setting;
    if (source.section != nullptr) {
        // The source's own section, read afresh on every choice and never written.
        const QString section = QString::fromUtf8(source.section);
        device = ProfileGetString(section, QString::fromUtf8(source.deviceKey),
                                  QString::fromUtf8(source.noDevice), m_iniPath)
                     .toLocal8Bit();
        setting = [section, ini = m_iniPath](const char* key, int def) {
            return ProfileGetInt(section, QString::fromUtf8(key), def, ini);
        };
    } else {
        // Unix has no COM ports; the settings file may say which device stands for one
        // ("COM1=/dev/ttyUSB0" in [Ports]), else COMn is /dev/ttyS(n-1).
        const QString mapped =
            ProfileGetString(QStringLiteral("Ports"), ComPortName(port), QString(), m_iniPath);
        device = PortDevicePath(port, mapped).toLocal8Bit();
    }
    m_link.VtrOpen(device.constData(), vtrType, setting);
}

bool SourceCommands::IsComChecked(int com) const {
    return m_settings.com == com && SourceRowOf(m_settings.VtrType).section == nullptr;
}

void SourceCommands::ChooseCom(int com) {
    m_settings.com = com;
    SelectPort(com, m_settings.VtrType);
}

void SourceCommands::ChooseSource(int vtrType) {
    if (SourceRowOf(vtrType).make == nullptr) {
        m_video.Choose(); // a file first; the source changes only for one the list can count
        return;
    }
    m_settings.VtrType = vtrType;
    SelectPort(m_settings.com, vtrType);
}
