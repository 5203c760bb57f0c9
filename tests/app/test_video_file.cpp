// A video file as the window's source: named by the settings, chosen from the menu, refused
// when the list cannot count it, and the list's rate following it. The clips are made here
// by ffmpeg; the player plays them with no sound.
#include "app/tarnwick_dlg.h"
#include "box_answers.h"
#include "list_rows.h"
#include "test_clips.h"
#include "video/video_source.h"
#include "work_folder.h"

#include <QLabel>
#include <QtTest>

namespace {

QString TcDisplay(CTarnwickDlg& dlg) {
    return qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_TC_DISPLAY))->text();
}

void Tick(CTarnwickDlg& dlg) {
    dlg.GetSession().Source().OnTimer();
}

} // namespace

class TestVideoFile : public QObject {
    Q_OBJECT
    QTemporaryDir m_clips;
    QString Clip(const char* name) const { return m_clips.filePath(QString::fromUtf8(name)); }

private slots:
    void initTestCase() {
        qputenv("TARNWICK_VIDEO_MODULE", VIDEO_MODULE_PATH);
        qputenv("TARNWICK_VIDEO_AO", "null");
        using test_clips::Clip;
        QCOMPARE(test_clips::Make(Clip("25", "10:00:00:00", 2.0), this->Clip("pal.mov")),
                 QString());
        QCOMPARE(test_clips::Make(Clip("50", "10:00:00:00", 1.0), this->Clip("fifty.mov")),
                 QString());
        QFile pal(this->Clip("pal.mov"));
        QVERIFY(pal.open(QIODevice::ReadOnly));
        QFile cut(this->Clip("cut.mov"));
        QVERIFY(cut.open(QIODevice::WriteOnly));
        cut.write(pal.read(pal.size() / 3));
        cut.close();
        QFile text(this->Clip("notes.mov"));
        QVERIFY(text.open(QIODevice::WriteOnly));
        text.write("not a video\n");
    }

    // Named by default.ini: its own timecode shows, the list counts at its rate, and I and O
    // take its frames, also pressed while the picture has the keyboard.
    void aFileNamedInTheSettingsIsTheSource() {
        WorkFolder folder("VtrType=4\n[Video]\nFile=" + Clip("pal.mov").toUtf8() + "\n");
        CTarnwickDlg dlg;
        dlg.show();
        QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
        dlg.GetSession().Poll().KillTimer(dlg.GetSession().Poll().Timer());
        QCOMPARE(dlg.List().FrameRate(), 25);
        QTRY_VERIFY_WITH_TIMEOUT((Tick(dlg), TcDisplay(dlg) == QLatin1String("10:00:00:00")),
                                 10000);
        QCOMPARE(qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_VITC_LABEL))->text(),
                 QStringLiteral("FILE"));
        dlg.Grid().setFocus();
        QTest::keyClick(&dlg.Grid(), Qt::Key_I);
        QCOMPARE(dlg.List().Cell(1, COL_IN), QStringLiteral("10:00:00:00"));
        auto* source = dynamic_cast<VideoSource*>(&dlg.GetSession().Link().VtrSourceObject());
        QVERIFY(source && source->IsPictureShown());
        QTest::keyClick(source->PictureWindow(), Qt::Key_O);
        QCOMPARE(dlg.List().Cell(1, COL_OUT), QStringLiteral("10:00:00:00"));
    }

    // A file the list cannot count is named in a box with why; the source and the list stay.
    void filesTheListCannotCountAreRefused_data() {
        QTest::addColumn<QString>("file");
        QTest::newRow("50 frames a second") << "fifty.mov";
        QTest::newRow("damaged") << "cut.mov";
        QTest::newRow("a text file") << "notes.mov";
        QTest::newRow("missing") << "gone.mov";
    }
    void filesTheListCannotCountAreRefused() {
        QFETCH(QString, file);
        WorkFolder folder;
        CTarnwickDlg dlg;
        BoxAnswers answers;
        LayRow(dlg.GetSession().List(), 1, "0001", "01:00:00:00", "01:00:01:00", " kept", true);
        const QVector<ListRowText> rows = dlg.List().Rows();
        answers.files << m_clips.filePath(file);
        dlg.MenuItem(SourceRowOf(VTR_VIDEO).commandId)->trigger();
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY2(answers.messages.first().contains(file), qPrintable(answers.messages.first()));
        QCOMPARE(dlg.GetSession().Settings().VtrType, VTR_SONY);
        QCOMPARE(dlg.List().Rows(), rows);
    }

    // Chosen over a 30-frame list with spots: the list counts at 25 as one step undo takes
    // back, and a box says the spots were taken at the rate before.
    void theListRateFollowsTheFile() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        BoxAnswers answers;
        LayRow(dlg.GetSession().List(), 1, "0001", "01:00:00:00", "01:00:01:00", " ", true);
        answers.files << Clip("pal.mov");
        dlg.MenuItem(SourceRowOf(VTR_VIDEO).commandId)->trigger();
        QCOMPARE(dlg.GetSession().Settings().VtrType, VTR_VIDEO);
        QCOMPARE(dlg.List().FrameRate(), 25);
        QCOMPARE(answers.messages.size(), 1);
        QVERIFY(answers.messages.first().contains(QStringLiteral("25")));
        QVERIFY(folder.Text().contains("File=" + Clip("pal.mov").toUtf8()));
        dlg.MenuItem(ID_EDIT_UNDO)->trigger();
        QCOMPARE(dlg.List().FrameRate(), 30);
    }
};

QTEST_MAIN(TestVideoFile)
#include "test_video_file.moc"
