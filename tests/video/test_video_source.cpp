// The video file source through the module, as the program loads it: cues, steps and
// captures checked against the frame number drawn in the picture that is on screen, at each
// rate; play and reverse; the picture window's keys and geometry; files it refuses.
#include "test_clips.h"
#include "video/video_module.h"

#include <QKeyEvent>
#include <QTemporaryDir>
#include <QWidget>
#include <QtTest>

#include <memory>

using test_clips::Clip;

namespace {

// Long enough for the player to decode a group of frames on a busy machine.
constexpr int WAIT_MS = 15000;

const Clip CLIPS[] = {
    {"24000/1001", "01:00:00:00", 4},
    {"25", "10:00:00:00", 4},
    // Across a minute whose first two labels drop-frame skips, with sound beside the picture.
    {"30000/1001", "00:00:59;00", 4, "mov", {}, true},
    {"30", "23:59:58:00", 4},
};

} // namespace

class TestVideoSource : public QObject {
    Q_OBJECT

private slots:
    void initTestCase();
    void moduleLoadsOnlyWhenAsked();
    void moduleLiesWhereTheProgramLooks();
    void cueStepCapture_data();
    void cueStepCapture();
    void cueAskedWhileOpening();
    void captureAtPlaySpeed();
    void reverseShuttleStepsBack();
    void cueThenPlay();
    void refusals_data();
    void refusals();
    void startOverride_data();
    void startOverride();
    void keysGoToTheList();
    void geometryComesBack();

private:
    // A source with the clip open and its picture shown on its first frame.
    std::unique_ptr<VideoSource> OpenClip(int clip);
    // The frame number drawn in the picture on screen, and whether its label is that frame's.
    static int CodeShown(VideoSource& source, bool* labelMatches = nullptr);
    static bool WaitFor(const std::function<bool()>& condition, int ms = WAIT_MS);

    QTemporaryDir m_dir;
    QStringList m_clips;
};

bool TestVideoSource::WaitFor(const std::function<bool()>& condition, int ms) {
    QDeadlineTimer deadline(ms);
    while (!condition()) {
        if (deadline.hasExpired())
            return false;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QTest::qWait(1);
    }
    return true;
}

void TestVideoSource::initTestCase() {
    qputenv("TARNWICK_VIDEO_MODULE", VIDEO_MODULE_PATH);
    qputenv("TARNWICK_VIDEO_AO", "null");
    QVERIFY(m_dir.isValid());
    for (const Clip& clip : CLIPS) {
        const QString path = m_dir.filePath(QStringLiteral("clip%1.mov").arg(m_clips.size()));
        const QString error = test_clips::Make(clip, path);
        QVERIFY2(error.isEmpty(), qPrintable(error));
        m_clips << path;
    }
}

std::unique_ptr<VideoSource> TestVideoSource::OpenClip(int clip) {
    QString why;
    std::unique_ptr<VideoSource> source = VideoModule::CreateSource(&why);
    if (!source) {
        qWarning("%s", qPrintable(why));
        return nullptr;
    }
    source->ShowPicture(true);
    if (source->Open(m_clips[clip].toUtf8().constData()) != 1)
        return nullptr;
    if (!WaitFor([&] { return CodeShown(*source) == 0; }))
        return nullptr;
    return source;
}

int TestVideoSource::CodeShown(VideoSource& source, bool* labelMatches) {
    Timecode label;
    const int code = test_clips::ReadCode(source.PictureShown(&label));
    if (labelMatches)
        *labelMatches = label == source.Facts().start.Plus(code);
    return code;
}

void TestVideoSource::moduleLoadsOnlyWhenAsked() {
    QCOMPARE(VideoModule::IsLoaded(), false);
    QString why;
    std::unique_ptr<VideoSource> source = VideoModule::CreateSource(&why);
    QVERIFY2(source, qPrintable(why));
    QCOMPARE(VideoModule::IsLoaded(), true);
    QCOMPARE(source->IsOpen(), false);
    QCOMPARE(source->ReadTimecode(), Timecode());
    QCOMPARE(source->GetTransport(), static_cast<Transport*>(source.get()));
}

void TestVideoSource::moduleLiesWhereTheProgramLooks() {
    QCOMPARE(VideoModule::PathBeside(PROGRAM_DIR), QStringLiteral(VIDEO_MODULE_PATH));
    QCOMPARE(VideoModule::Candidates().first(), QStringLiteral(VIDEO_MODULE_PATH));
}

void TestVideoSource::cueStepCapture_data() {
    QTest::addColumn<int>("clip");
    QTest::addColumn<QString>("cueLabel");
    QTest::addColumn<int>("cueFrame");

    QTest::newRow("23.976") << 0 << "01:00:01:13" << 37;
    QTest::newRow("25") << 1 << "10:00:02:11" << 61;
    QTest::newRow("29.97 drop-frame, past a skipped label") << 2 << "00:01:00:02" << 30;
    QTest::newRow("30, past midnight") << 3 << "00:00:00:05" << 65;
}

void TestVideoSource::cueStepCapture() {
    QFETCH(int, clip);
    QFETCH(QString, cueLabel);
    QFETCH(int, cueFrame);

    std::unique_ptr<VideoSource> source = OpenClip(clip);
    QVERIFY(source);
    bool labelMatches = false;
    QCOMPARE(CodeShown(*source, &labelMatches), 0);
    QVERIFY(labelMatches);
    QCOMPARE(source->ReadTimecode(), source->Facts().start);

    const TimecodeRate rate = source->Facts().rate.rate;
    const Timecode target = Timecode::FromText(cueLabel.toStdString(), rate);
    QVERIFY(target);
    source->Request({TransportVerb::CueTo, 0.0, target});
    QCOMPARE(source->State().mode, TransportMode::Cueing);
    QCOMPARE(source->Settled(), false);
    QVERIFY(WaitFor([&] { return source->State().mode == TransportMode::CueDone; }));
    // Done means on the frame, drawn.
    QCOMPARE(source->Settled(), true);
    QCOMPARE(source->ReadTimecode(), target);
    QCOMPARE(CodeShown(*source, &labelMatches), cueFrame);
    QVERIFY(labelMatches);
    const int64_t onCue = SteadyNowNs();

    source->Request({TransportVerb::StepForward, 0.0, Timecode()});
    QVERIFY(WaitFor([&] { return source->Settled(); }));
    QCOMPARE(CodeShown(*source), cueFrame + 1);
    QCOMPARE(source->ReadTimecode(), target.Plus(1));
    // Two steps back asked at once land two frames back, on the frame drawn.
    source->Request({TransportVerb::StepBack, 0.0, Timecode()});
    source->Request({TransportVerb::StepBack, 0.0, Timecode()});
    QVERIFY(WaitFor([&] { return source->Settled(); }));
    QCOMPARE(CodeShown(*source, &labelMatches), cueFrame - 1);
    QVERIFY(labelMatches);

    // A capture takes the frame that was on screen when the key went down.
    QCOMPARE(source->TimecodeAt(SteadyNowNs()), std::optional<Timecode>(target.Plus(-1)));
    QCOMPARE(source->TimecodeAt(onCue), std::optional<Timecode>(target));
}

void TestVideoSource::cueAskedWhileOpening() {
    std::unique_ptr<VideoSource> source = VideoModule::CreateSource();
    QVERIFY(source);
    source->ShowPicture(true);
    QCOMPARE(source->Open(m_clips[2].toUtf8().constData()), 1);
    // Before the file's first frame is on screen: the cue waits for it, then goes.
    const Timecode target = source->Facts().start.Plus(75);
    source->Request({TransportVerb::CueTo, 0.0, target});
    QVERIFY(WaitFor([&] { return source->Settled(); }));
    bool labelMatches = false;
    QCOMPARE(CodeShown(*source, &labelMatches), 75);
    QVERIFY(labelMatches);
    QCOMPARE(source->State().mode, TransportMode::CueDone);
}

void TestVideoSource::captureAtPlaySpeed() {
    std::unique_ptr<VideoSource> source = OpenClip(1);
    QVERIFY(source);
    source->Request({TransportVerb::Play, 0.0, Timecode()});
    QCOMPARE(source->State().mode, TransportMode::Play);
    QVERIFY(WaitFor([&] { return CodeShown(*source) >= 5; }));
    // Presses while it plays: each capture within a frame of the frame drawn then.
    for (int press = 0; press < 10; ++press) {
        const std::optional<Timecode> captured = source->TimecodeAt(SteadyNowNs());
        bool labelMatches = false;
        const int code = CodeShown(*source, &labelMatches);
        QVERIFY(labelMatches);
        QVERIFY(captured);
        const int capturedFrame = captured->Frame() - source->Facts().start.Frame();
        QVERIFY2(std::abs(capturedFrame - code) <= 1,
                 qPrintable(QStringLiteral("captured %1, drawn %2").arg(capturedFrame).arg(code)));
        QTest::qWait(37);
    }
    source->Request({TransportVerb::Still, 0.0, Timecode()});
    QCOMPARE(source->State().mode, TransportMode::Still);
    // Once still, exact again.
    QVERIFY(WaitFor([&] {
        const std::optional<Timecode> captured = source->TimecodeAt(SteadyNowNs());
        return captured && *captured == source->Facts().start.Plus(CodeShown(*source));
    }));
}

void TestVideoSource::reverseShuttleStepsBack() {
    std::unique_ptr<VideoSource> source = OpenClip(1);
    QVERIFY(source);
    const Timecode from = source->Facts().start.Plus(80);
    source->Request({TransportVerb::CueTo, 0.0, from});
    QVERIFY(WaitFor([&] { return CodeShown(*source) == 80; }));
    source->Request({TransportVerb::Shuttle, -2.0, Timecode()});
    QCOMPARE(source->State().mode, TransportMode::Shuttle);
    QCOMPARE(source->State().speed, -2.0);
    QVERIFY(WaitFor([&] { return CodeShown(*source) < 70; }));
    bool labelMatches = false;
    QVERIFY(CodeShown(*source, &labelMatches) >= 0);
    QVERIFY(labelMatches);
    // At the file's first frame it stops, as a tape at its end.
    QVERIFY(WaitFor([&] { return source->State().mode == TransportMode::Still; }));
    QVERIFY(WaitFor([&] { return CodeShown(*source) == 0; }));
}

void TestVideoSource::cueThenPlay() {
    std::unique_ptr<VideoSource> source = OpenClip(0);
    QVERIFY(source);
    source->Request({TransportVerb::CueThenPlay, 0.0, source->Facts().start.Plus(40)});
    QVERIFY(WaitFor([&] { return source->State().mode == TransportMode::Play; }));
    QVERIFY(WaitFor([&] { return CodeShown(*source) > 42; }));
    // Playing into the end leaves the last frame still.
    source->Request({TransportVerb::CueThenPlay, 0.0, source->Facts().start.Plus(90)});
    QVERIFY(WaitFor([&] { return source->State().mode == TransportMode::Still; }));
    QCOMPARE(CodeShown(*source), int(source->Facts().frameCount - 1));
}

void TestVideoSource::refusals_data() {
    QTest::addColumn<int>("verb");
    QTest::addColumn<QString>("at");

    QTest::newRow("eject") << int(TransportVerb::Eject) << "";
    QTest::newRow("standby") << int(TransportVerb::StandbyOn) << "";
    QTest::newRow("a cue past the file's end") << int(TransportVerb::CueTo) << "10:00:04:01";
    QTest::newRow("a cue before its start") << int(TransportVerb::CueThenPlay) << "09:59:59:24";
    QTest::newRow("a cue to no timecode") << int(TransportVerb::CueTo) << "";
}

void TestVideoSource::refusals() {
    QFETCH(int, verb);
    QFETCH(QString, at);

    std::unique_ptr<VideoSource> source = OpenClip(1);
    QVERIFY(source);
    source->Request({TransportVerb::CueTo, 0.0, source->Facts().start.Plus(20)});
    QVERIFY(WaitFor([&] { return CodeShown(*source) == 20; }));
    const TransportMode before = source->State().mode;
    source->Request({TransportVerb(verb), 0.0,
                     Timecode::FromText(at.toStdString(), source->Facts().rate.rate)});
    QCOMPARE(source->State().reply, TransportReply::Nak);
    QCOMPARE(source->State().mode, before);
    QCOMPARE(source->Offers(TransportVerb(verb)),
             verb == int(TransportVerb::CueTo) || verb == int(TransportVerb::CueThenPlay));
    QCOMPARE(CodeShown(*source), 20);
}

void TestVideoSource::startOverride_data() {
    QTest::addColumn<QString>("override");
    QTest::addColumn<QString>("start");
    QTest::addColumn<QString>("note");

    QTest::newRow("a label replaces the file's") << "10:00:00:00"
                                                 << "10:00:00:00"
                                                 << "";
    QTest::newRow("a label the rate lacks is passed over") << "10:00:00:29"
                                                           << "10:00:00:00"
                                                           << "StartTimecode「10:00:00:29」";
}

void TestVideoSource::startOverride() {
    QFETCH(QString, override);
    QFETCH(QString, start);
    QFETCH(QString, note);

    std::unique_ptr<VideoSource> source = VideoModule::CreateSource();
    QVERIFY(source);
    source->SetStartOverride(override.toStdString());
    QCOMPARE(source->Open(m_clips[1].toUtf8().constData()), 1);
    QCOMPARE(QString::fromStdString(source->Facts().start.Text()), start);
    QVERIFY(QString::fromStdString(source->Facts().note).startsWith(note));
    QVERIFY(WaitFor([&] { return source->ReadTimecode().IsValid(); }));
    QCOMPARE(QString::fromStdString(source->ReadTimecode().Text()), start);
}

void TestVideoSource::keysGoToTheList() {
    std::unique_ptr<VideoSource> source = OpenClip(1);
    QVERIFY(source);
    QList<QPair<int, QEvent::Type>> forwarded;
    source->SetKeyForwarder([&](QKeyEvent* event) {
        forwarded.append({event->key(), event->type()});
        return true;
    });
    QWidget* window = source->PictureWindow();
    QTest::keyClick(window, Qt::Key_I);
    QTest::keyClick(window, Qt::Key_F10, Qt::ShiftModifier);
    const QList<QPair<int, QEvent::Type>> expected{
        {Qt::Key_I, QEvent::KeyPress},     {Qt::Key_I, QEvent::KeyRelease},
        {Qt::Key_Shift, QEvent::KeyPress}, {Qt::Key_F10, QEvent::KeyPress},
        {Qt::Key_F10, QEvent::KeyRelease}, {Qt::Key_Shift, QEvent::KeyRelease}};
    QCOMPARE(forwarded, expected);

    // The window's own keys stay with it; the Alt key itself goes on, as any modifier.
    forwarded.clear();
    QTest::keyClick(window, Qt::Key_F11);
    QVERIFY(WaitFor([&] { return window->isFullScreen(); }));
    QTest::keyClick(window, Qt::Key_Return, Qt::AltModifier);
    QVERIFY(WaitFor([&] { return !window->isFullScreen(); }));
    QCOMPARE(forwarded, (QList<QPair<int, QEvent::Type>>{{Qt::Key_Alt, QEvent::KeyPress},
                                                         {Qt::Key_Alt, QEvent::KeyRelease}}));
}

void TestVideoSource::geometryComesBack() {
    std::unique_ptr<VideoSource> source = OpenClip(1);
    QVERIFY(source);
    QWidget* window = source->PictureWindow();
    window->setGeometry(120, 80, 500, 330);
    const QByteArray saved = source->PictureGeometry();
    window->setGeometry(10, 10, 200, 150);
    std::unique_ptr<VideoSource> later = VideoModule::CreateSource();
    QVERIFY(later);
    QVERIFY(later->RestorePictureGeometry(saved));
    QCOMPARE(later->PictureWindow()->geometry(), QRect(120, 80, 500, 330));
    QCOMPARE(later->RestorePictureGeometry(QByteArray("not a geometry")), false);
    QCOMPARE(later->RestorePictureGeometry(QByteArray()), false);
    // The picture drawn fills the window's new size.
    QVERIFY(WaitFor([&] { return source->PictureShown().width() == 200; }));
}

QTEST_MAIN(TestVideoSource)
#include "test_video_source.moc"
