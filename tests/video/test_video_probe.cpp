// What a video file says of itself: rate, start timecode and the notes for files the list
// cannot count, read from clips that ffmpeg makes here. No display, no player.
#include "test_clips.h"
#include "video/video_probe.h"

#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

using test_clips::Clip;
Q_DECLARE_METATYPE(Clip)

class TestVideoProbe : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void probe_data();
    void probe();
    void parseTimecode_data();
    void parseTimecode();

private:
    // Makes the file a row names; its path.
    QString MakeFile(const QString& kind, const Clip& clip);

    QTemporaryDir m_dir;
    int m_made = 0;
};

void TestVideoProbe::initTestCase() {
    QVERIFY(m_dir.isValid());
}

QString TestVideoProbe::MakeFile(const QString& kind, const Clip& clip) {
    const QString path =
        m_dir.filePath(QStringLiteral("clip%1.%2").arg(++m_made).arg(clip.extension));
    if (kind == "missing")
        return m_dir.filePath("no such clip.mov");
    if (kind == "folder") {
        QDir(m_dir.path()).mkdir("a folder.mov");
        return m_dir.filePath("a folder.mov");
    }
    if (kind == "text") {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly))
            file.write("0001 0001  00:59:50:00/01:00:20:00/30:00 CM1\r\n");
        return path;
    }
    if (kind == "sound") {
        const QString error = test_clips::RunFfmpeg(
            {"-f", "lavfi", "-i", "sine=frequency=440:d=1", "-c:a", "aac", path});
        return error.isEmpty() ? path : QString();
    }
    const QString error = test_clips::Make(clip, path);
    if (!error.isEmpty()) {
        qWarning("%s", qPrintable(error));
        return QString();
    }
    if (kind == "cut") {
        // The container's index is written last: half the file is a file without it.
        QFile file(path);
        if (!file.open(QIODevice::ReadWrite) || !file.resize(file.size() / 2))
            return QString();
    }
    return path;
}

void TestVideoProbe::probe_data() {
    QTest::addColumn<QString>("kind");
    QTest::addColumn<Clip>("clip");
    QTest::addColumn<bool>("usable");
    QTest::addColumn<QString>("rateText");
    QTest::addColumn<QString>("start");
    QTest::addColumn<qlonglong>("frames");
    QTest::addColumn<QString>("note");

    const QStringList vfr{"-vf", "select='not(eq(mod(n\\,3)\\,2))'", "-fps_mode", "vfr"};
    // clang-format off
    QTest::newRow("23.976 counts 24-frame labels at 23.976 pace")
        << "clip" << Clip{"24000/1001", "01:00:00:00", 2} << true << "23.976" << "01:00:00:00" << 48LL << "";
    QTest::newRow("24") << "clip" << Clip{"24", "10:00:00:00", 2} << true << "24" << "10:00:00:00" << 48LL << "";
    QTest::newRow("25") << "clip" << Clip{"25", "00:59:59:00", 2} << true << "25" << "00:59:59:00" << 50LL << "";
    QTest::newRow("29.97 with a drop-frame track is drop-frame")
        << "clip" << Clip{"30000/1001", "01:00:00;00", 2} << true << "29.97 DF" << "01:00:00:00" << 60LL << "";
    QTest::newRow("29.97 with a non-drop track is non-drop")
        << "clip" << Clip{"30000/1001", "01:00:00:00", 2} << true << "29.97 NDF" << "01:00:00:00" << 60LL << "";
    QTest::newRow("30") << "clip" << Clip{"30", "23:59:59:00", 2} << true << "30 NDF" << "23:59:59:00" << 60LL << "";
    QTest::newRow("an MP4's timecode track")
        << "clip" << Clip{"25", "10:00:00:00", 1, "mp4"} << true << "25" << "10:00:00:00" << 25LL << "";
    QTest::newRow("a Matroska file's timecode tag")
        << "clip" << Clip{"25", "", 1, "mkv", {"-metadata", "timecode=02:00:00:10"}} << true << "25"
        << "02:00:00:10" << 25LL << "";
    QTest::newRow("no timecode track starts at zero with a note")
        << "clip" << Clip{"25", "", 1, "mp4"} << true << "25" << "00:00:00:00" << 25LL
        << "にはタイムコードがありません";
    QTest::newRow("50 frames a second is refused")
        << "clip" << Clip{"50", "01:00:00:00", 1} << false << "" << "" << 0LL << "は50フレーム/秒です";
    QTest::newRow("59.94 is refused")
        << "clip" << Clip{"60000/1001", "01:00:00;00", 1} << false << "" << "" << 0LL << "は59.94フレーム/秒です";
    QTest::newRow("60 is refused")
        << "clip" << Clip{"60", "", 1} << false << "" << "" << 0LL << "は60フレーム/秒です";
    QTest::newRow("a variable rate is refused")
        << "clip" << Clip{"25", "", 2, "mov", vfr} << false << "" << "" << 0LL << "はフレームレートが一定でない";
    QTest::newRow("a missing file") << "missing" << Clip{} << false << "" << "" << 0LL << "「no such clip.mov」が見つかりません";
    QTest::newRow("a folder") << "folder" << Clip{} << false << "" << "" << 0LL << "「a folder.mov」はファイルではありません";
    QTest::newRow("a text file") << "text" << Clip{"25", "", 1, "mov"} << false << "" << "" << 0LL << "はビデオファイルではありません";
    QTest::newRow("a damaged file") << "cut" << Clip{"25", "01:00:00:00", 2} << false << "" << "" << 0LL << "は壊れているため読めません";
    QTest::newRow("sound without picture") << "sound" << Clip{"25", "", 1, "m4a"} << false << "" << "" << 0LL << "には映像がありません";
    // clang-format on
}

void TestVideoProbe::probe() {
    QFETCH(QString, kind);
    QFETCH(Clip, clip);
    QFETCH(bool, usable);
    QFETCH(QString, rateText);
    QFETCH(QString, start);
    QFETCH(qlonglong, frames);
    QFETCH(QString, note);

    const QString path = MakeFile(kind, clip);
    QVERIFY2(!path.isEmpty(), "the clip could not be made");
    const VideoFileFacts facts = ProbeVideoFile(path.toStdString());
    QCOMPARE(facts.usable, usable);
    if (note.isEmpty())
        QCOMPARE(QString::fromStdString(facts.note), QString());
    else
        QVERIFY2(QString::fromStdString(facts.note).contains(note), facts.note.c_str());
    if (!usable)
        return;
    QCOMPARE(QString::fromStdString(SignalRateText(facts.rate)), rateText);
    QCOMPARE(QString::fromStdString(facts.start.Text()), start);
    QCOMPARE(facts.start.Rate(), facts.rate.rate);
    QCOMPARE(qlonglong(facts.frameCount), frames);
    QCOMPARE(facts.width, test_clips::WIDTH);
}

void TestVideoProbe::parseTimecode_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<int>("fps");
    QTest::addColumn<QString>("label");
    QTest::addColumn<bool>("drop");

    QTest::newRow("colons are non-drop") << "01:00:00:00" << 30 << "01:00:00:00" << false;
    QTest::newRow("a semicolon is drop-frame") << "01:00:00;00" << 30 << "01:00:00:00" << true;
    QTest::newRow("a full stop is drop-frame") << "00:10:00.00" << 30 << "00:10:00:00" << true;
    QTest::newRow("a label drop-frame skips is none")
        << "00:01:00;00" << 30 << "--:--:--:--" << true;
    QTest::newRow("frames past the rate are none") << "01:00:00:24" << 24 << "--:--:--:--" << false;
    QTest::newRow("drop-frame at 25 counts as non-drop")
        << "01:00:00;24" << 25 << "01:00:00:24" << true;
    QTest::newRow("another separator is none") << "01:00:00/00" << 30 << "--:--:--:--" << false;
    QTest::newRow("too short is none") << "1:00:00:00" << 30 << "--:--:--:--" << false;
}

void TestVideoProbe::parseTimecode() {
    QFETCH(QString, text);
    QFETCH(int, fps);
    QFETCH(QString, label);
    QFETCH(bool, drop);

    bool marked = !drop;
    const Timecode parsed = ParseFileTimecode(text.toStdString(), fps, &marked);
    QCOMPARE(QString::fromStdString(parsed.Text()), label);
    // The mark is told whenever the separator is one of the four.
    if (text.size() == 11 && QStringLiteral(":;.,").contains(text[8]))
        QCOMPARE(marked, drop);
}

QTEST_GUILESS_MAIN(TestVideoProbe)
#include "test_video_probe.moc"
