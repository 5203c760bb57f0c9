#pragma once

#include "persist/app_settings.h"

#include <QString>

#include <functional>

class Polling;
class Screen;
class VideoSource;
class VtrLink;
struct SignalRate;

// A video file as the source: chosen in a dialog from the communication menu, dropped onto
// the window, or named by the settings at start-up ([Video] File=, with VtrType=4). The player
// is a module loaded only now. A file the list cannot count (a rate it has not, no picture, a
// damaged or missing file) is refused with a note naming it and why, and the source stays as
// it was; one it can count becomes the source, shows its picture, and the list's rate follows
// the file's.
class VideoFile {
public:
    // The list's rate follows the file's: chosen by the operator, as a step undo takes back;
    // at start-up, quietly, before the list holds anything.
    using FollowRate = std::function<void(const SignalRate& rate, bool chosen)>;
    VideoFile(VtrLink& link, AppSettings& settings, const QString& iniPath, Screen& screen,
              Polling& polling, FollowRate follow);

    // The menu item: asks for a file, then opens it.
    void Choose();
    // A file chosen or dropped: true when it became the source.
    bool OpenFile(const QString& path);
    // Start-up: the file the settings name, without a box; a problem shows on the timecode line.
    void OpenAtStart();
    // Exit: the picture window's place and size, for the next start.
    void SaveSettings();

private:
    bool Open(const QString& path, bool interactive);
    void Refuse(const QString& why, bool interactive);

    VtrLink& m_link;
    AppSettings& m_settings;
    const QString& m_iniPath;
    Screen& m_screen;
    Polling& m_polling;
    FollowRate m_follow;
    VideoSource* m_source = nullptr; // the link owns it, while it is the source
};
