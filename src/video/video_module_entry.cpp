// The module's one exported function; everything else in it stays inside.
#include "video/video_file_source.h"

#include <QtGlobal>

#include <memory>

extern "C" Q_DECL_EXPORT VideoSource* tarnwick_video_create_source(int abiVersion) {
    if (abiVersion != VIDEO_SOURCE_ABI)
        return nullptr;
    // TARNWICK_VIDEO_AO picks mpv's sound output ("null" for none: tests, machines without
    // sound); unset, mpv chooses.
    auto source =
        std::make_unique<VideoFileSource>(qEnvironmentVariable("TARNWICK_VIDEO_AO").toStdString());
    if (!source->IsReady())
        return nullptr;
    return source.release();
}
