#pragma once

#include "commands/video_file.h"
#include "persist/app_settings.h"
#include "timecode/timecode_value.h"

#include <QString>

#include <cstdint>

class Polling;
class Screen;
class SpotList;
class VtrLink;

// The timecode sources: choosing port and source from the communication menu, the polling
// tick that shows the latest reading, and the timecode a capture takes.
class SourceCommands {
public:
    SourceCommands(VtrLink& link, AppSettings& settings, const QString& iniPath,
                   const SpotList& list, Screen& screen, Polling& polling,
                   VideoFile::FollowRate follow);

    // The polling tick: the latest reading, shown.
    void OnTimer();
    // A reading as the tick takes it: kept for captures and edits, and shown.
    void TakeReading(const Timecode& reading);
    // The last reading; none while the source is silent.
    const Timecode& Reading() const { return m_timecode; }
    // The frame a capture takes: under the head at pressNs (on the steady clock, 0 for now)
    // when the source can tell, else the last reading. An edit's commit keeps its text and
    // needs only to know whether there is a timecode at all.
    Timecode CaptureTimecode(bool keepText, int64_t pressNs) const;

    // A video file as the source: chosen, dropped, and its settings kept at exit.
    VideoFile& Video() { return m_video; }

    // Opens the source of vtrType; a deck on COMn, any other source on the device its own
    // settings section names.
    void SelectPort(int port, int vtrType);
    // Choosing the port or source that is open already opens it afresh.
    void ChooseCom(int com);
    void ChooseSource(int vtrType);
    // A port is ticked only while the source is a deck on it: LTC and MTC name their own
    // devices.
    bool IsComChecked(int com) const;
    bool IsSourceChecked(int vtrType) const { return m_settings.VtrType == vtrType; }

private:
    void ShowSourceRate(const QString& caption);

    VtrLink& m_link;
    AppSettings& m_settings;
    const QString& m_iniPath;
    const SpotList& m_list;
    Screen& m_screen;
    Polling& m_polling;
    VideoFile m_video;
    Timecode m_timecode;  // the last reading; none while the VTR is silent
    QString m_rateNote;   // the note on a source of another rate, as shown
    QString m_deviceNote; // the note on a device that cannot be read, as shown
};
