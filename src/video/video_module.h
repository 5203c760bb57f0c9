#pragma once

#include "video/video_source.h"

#include <QString>
#include <QStringList>

#include <memory>

// Loads the video module (tarnwick_video, which holds libmpv and libavformat) on first use and
// keeps it loaded; the program itself links neither. Looked for, in order: the file named by
// the environment variable TARNWICK_VIDEO_MODULE, then beside the program where the build and
// the installation put it (the library folder's tarnwick/ seen from the program's folder).
class VideoModule {
public:
    // A new source, or null with *why saying what failed (no module, no factory, the player
    // would not start), for the operator.
    static std::unique_ptr<VideoSource> CreateSource(QString* why = nullptr);
    // Whether the module has been loaded in this process: deck, LTC and MTC users never load it.
    static bool IsLoaded();
    // Where the module is looked for, in order.
    static QStringList Candidates();
    // Where the build and the installation put the module, for a program in programDir.
    static QString PathBeside(const QString& programDir);
};
