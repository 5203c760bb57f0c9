// A video file as the window's source: named by the settings, chosen from the menu, refused
// when the list cannot count it, and the list's rate following it. The clips are made here
// by ffmpeg; the player plays them with no sound.
#include "app/status_notes.h"
#include "app/tarnwick_dlg.h"
#include "box_answers.h"
#include "list_rows.h"
#include "test_clips.h"
#include "transport_keys.h"
#include "video/video_source.h"
#include "work_folder.h"

#include "sources/live_timecode.h"

#include <QLabel>
#include <QtTest>

namespace {

QString TcDisplay(CTarnwickDlg& dlg) {
    return qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_TC_DISPLAY))->text();
}

void Tick(CTarnwickDlg& dlg) {
    dlg.GetSession().Source().OnTimer();
    dlg.GetSession().TransportCommand().ShowState(SteadyNowNs());
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

    // J/K/L, Space and G from the list move the file, and the timecode line says how; the
    // frame then on screen is the one named.
    void theListDrivesTheFile_data() {
        QTest::addColumn<long>("col");
        QTest::addColumn<QString>("keys");
        QTest::addColumn<QString>("mode");
        QTest::addColumn<QString>("frame"); // once settled; empty while moving
        // clang-format off
        QTest::newRow("G on the OUT column cues to the OUT") << long(COL_OUT) << "G" << "CUE OK" << "10:00:01:12";
        QTest::newRow("K held with L steps a frame on") << long(COL_IN) << "G K+L" << "STILL" << "10:00:01:01";
        QTest::newRow("L again shuttles at twice the speed") << long(COL_IN) << "G L L" << "SHUTTLE +2×" << "";
        QTest::newRow("J runs backwards") << long(COL_IN) << "G J" << "SHUTTLE −1×" << "";
        QTest::newRow("Space plays, Space again stills") << long(COL_IN) << "G Space Space" << "STILL" << "";
        QTest::newRow("Shift+G plays from the preroll point") << long(COL_IN) << "Shift+G" << "PLAY" << "";
        QTest::newRow("a row with no IN cues nothing") << long(-1) << "G" << "行 2 の IN にタイムコードがありません" << "";
        // clang-format on
    }
    void theListDrivesTheFile() {
        QFETCH(long, col);
        QFETCH(QString, keys);
        QFETCH(QString, mode);
        QFETCH(QString, frame);
        WorkFolder folder("VtrType=4\nPreroll=1\n[Video]\nFile=" + Clip("pal.mov").toUtf8() + "\n");
        CTarnwickDlg dlg;
        dlg.show();
        QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
        dlg.GetSession().Poll().KillTimer(dlg.GetSession().Poll().Timer());
        QTRY_VERIFY_WITH_TIMEOUT((Tick(dlg), TcDisplay(dlg) == QLatin1String("10:00:00:00")),
                                 10000);
        LayRow(dlg.GetSession().List(), 1, "0001", "10:00:01:00", "10:00:01:12", " ", true);
        dlg.GetSession().List().SetCurrentCell(col < 0 ? 2 : 1, col < 0 ? COL_IN : col);
        dlg.Grid().setFocus();
        TypeTransportKeys(&dlg.Grid(), keys);
        QTRY_VERIFY2_WITH_TIMEOUT((Tick(dlg), TransportNoteText(dlg).startsWith(mode)),
                                  qPrintable(TransportNoteText(dlg)), 10000);
        if (!frame.isEmpty()) {
            QTRY_COMPARE_WITH_TIMEOUT((Tick(dlg), TcDisplay(dlg)), frame, 10000);
        }
        QVERIFY(dlg.List().Cell(1, COL_REMARK).trimmed().isEmpty()); // no key typed into the list
    }

    // A source with no transport greys the submenu's items and says why; its keys do nothing.
    void sourcesWithoutTransportGreyItAndSayWhy_data() {
        QTest::addColumn<QByteArray>("defaults");
        QTest::addColumn<QString>("why");
        QTest::newRow("Victor: no safe codes") << QByteArray("VtrType=1\n") << "Victor";
        QTest::newRow("LTC only listens") << QByteArray("VtrType=2\n") << "LTC";
    }
    void sourcesWithoutTransportGreyItAndSayWhy() {
        QFETCH(QByteArray, defaults);
        QFETCH(QString, why);
        WorkFolder folder(defaults);
        CTarnwickDlg dlg;
        dlg.Dispatch(ID_FRAMERATE_30, Notify::Command); // the items' states afresh
        for (int id : {ID_TRANSPORT_PLAY, ID_TRANSPORT_CUE, ID_TRANSPORT_EJECT}) {
            QVERIFY(!dlg.MenuItem(id)->isEnabled());
            QVERIFY2(dlg.MenuItem(id)->toolTip().contains(why),
                     qPrintable(dlg.MenuItem(id)->toolTip()));
        }
        dlg.Grid().setFocus();
        TypeTransportKeys(&dlg.Grid(), QStringLiteral("L G"));
        QCOMPARE(TransportNoteText(dlg), QString());
    }
};

QTEST_MAIN(TestVideoFile)
#include "test_video_file.moc"
