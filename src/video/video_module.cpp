#include "video/video_module.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>

namespace {

QLibrary* g_module = nullptr;

} // namespace

QStringList VideoModule::Candidates() {
    QStringList paths;
    const QString chosen = qEnvironmentVariable("TARNWICK_VIDEO_MODULE");
    if (!chosen.isEmpty())
        paths << chosen;
    paths << PathBeside(QCoreApplication::applicationDirPath());
    return paths;
}

QString VideoModule::PathBeside(const QString& programDir) {
    // The same relative place in the build tree and in an installation.
    return QDir::cleanPath(
        QDir(programDir).filePath(QStringLiteral(TARNWICK_VIDEO_MODULE_RELPATH)));
}

bool VideoModule::IsLoaded() {
    return g_module && g_module->isLoaded();
}

std::unique_ptr<VideoSource> VideoModule::CreateSource(QString* why) {
    QString failures;
    if (!IsLoaded()) {
        for (const QString& path : Candidates()) {
            auto library = std::make_unique<QLibrary>(path);
            if (library->load()) {
                g_module = library.release();
                break;
            }
            failures += library->errorString() + QLatin1Char('\n');
        }
    }
    if (!IsLoaded()) {
        if (why)
            *why =
                QCoreApplication::translate("VideoModule", "ビデオモジュールを読み込めません：") +
                failures.trimmed();
        return nullptr;
    }
    const auto factory =
        reinterpret_cast<VideoSourceFactory>(g_module->resolve(VIDEO_SOURCE_FACTORY_NAME));
    if (!factory) {
        if (why)
            *why = QCoreApplication::translate("VideoModule", "ビデオモジュールが違います：") +
                   g_module->fileName();
        return nullptr;
    }
    std::unique_ptr<VideoSource> source(factory(VIDEO_SOURCE_ABI));
    if (!source && why)
        *why =
            QCoreApplication::translate("VideoModule", "ビデオプレーヤー(libmpv)を起動できません");
    return source;
}
