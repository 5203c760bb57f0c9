#include "commands/video_file.h"

#include "commands/polling.h"
#include "commands/screen.h"
#include "persist/profile.h"
#include "platform/file_dialog.h"
#include "platform/message_box.h"
#include "sources/vtr_link.h"
#include "video/video_module.h"

#include <QCoreApplication>
#include <QDir>

namespace {

const QString SECTION = QStringLiteral("Video");
const QString VIDEO_FILTER = QCoreApplication::translate(
    "VideoFile", "ビデオファイル (*.mov *.mp4 *.m4v *.mxf *.mkv *.avi *.mts *.m2ts *.webm)|"
                 "*.mov;*.mp4;*.m4v;*.mxf;*.mkv;*.avi;*.mts;*.m2ts;*.webm|"
                 "All Files (*.*)|*.*||");

} // namespace

VideoFile::VideoFile(VtrLink& link, AppSettings& settings, const QString& iniPath, Screen& screen,
                     Polling& polling, FollowRate follow)
    : m_link(link), m_settings(settings), m_iniPath(iniPath), m_screen(screen), m_polling(polling),
      m_follow(std::move(follow)) {}

void VideoFile::Choose() {
    QString chosen;
    {
        Polling::Pause pause(m_polling);
        FileDialogRequest request{false, VIDEO_FILTER, QString()};
        request.title = QCoreApplication::translate("VideoFile", "ビデオファイルを開く");
        chosen = TwFileDialog(m_screen.Owner(), request);
    }
    if (!chosen.isEmpty())
        OpenFile(chosen);
}

bool VideoFile::OpenFile(const QString& path) {
    return Open(path, true);
}

void VideoFile::OpenAtStart() {
    const QString path = ProfileGetString(SECTION, QStringLiteral("File"), QString(), m_iniPath);
    Open(path, false);
}

void VideoFile::Refuse(const QString& why, bool interactive) {
    if (interactive) {
        Polling::Pause pause(m_polling);
        TwMessageBox(m_screen.Owner(), why);
    } else {
        m_screen.ShowNote(StatusNote::Device, why, QString());
    }
}

bool VideoFile::Open(const QString& path, bool interactive) {
    QString why;
    std::unique_ptr<VideoSource> source = VideoModule::CreateSource(&why);
    if (!source) {
        Refuse(why, interactive);
        return false;
    }
    source->SetStartOverride(
        ProfileGetString(SECTION, QStringLiteral("StartTimecode"), QString(), m_iniPath)
            .toStdString());
    const QByteArray file = QDir::toNativeSeparators(path).toLocal8Bit();
    // Looked at before it replaces anything: a file the list cannot count leaves the source as
    // it was.
    const VideoFileFacts facts = source->ProbeFile(file.toStdString());
    if (!facts.usable || source->Open(file.constData()) != 1) {
        Refuse(QString::fromStdString(facts.usable ? source->Facts().note : facts.note),
               interactive);
        if (interactive)
            return false;
    }
    source->RestorePictureGeometry(QByteArray::fromBase64(
        ProfileGetString(SECTION, QStringLiteral("Picture"), QString(), m_iniPath).toLatin1()));
    // Every list key works while the picture has the focus too.
    source->SetKeyForwarder([this](QKeyEvent* key) { return m_screen.TakeKey(key); });
    VideoSource* shown = source.get();
    m_settings.VtrType = VTR_VIDEO;
    ProfileWriteString(SECTION, QStringLiteral("File"), QDir::toNativeSeparators(path), m_iniPath);
    m_link.VtrOpen(file.constData(), VTR_VIDEO, {}, std::move(source));
    m_source = shown;
    if (shown->Facts().usable) {
        shown->ShowPicture(true);
        m_follow(shown->Facts().rate, interactive);
    }
    return true;
}

void VideoFile::SaveSettings() {
    if (m_link.VtrType() != VTR_VIDEO || m_source == nullptr)
        return;
    ProfileWriteString(SECTION, QStringLiteral("Picture"),
                       QString::fromLatin1(m_source->PictureGeometry().toBase64()), m_iniPath);
}
