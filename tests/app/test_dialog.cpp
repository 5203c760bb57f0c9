// The main window as the operator meets it: start-up state, layout, shut-down sequence.
#include "app/about_dlg.h"
#include "app/outer_size.h"
#include "app/tarnwick_dlg.h"
#include "box_answers.h"
#include "list_rows.h"
#include "platform/file_dialog.h"
#include "platform/help.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "poll_timer.h"
#include "sources/victor.h"
#include "work_folder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QtTest>

// The communication menu's deck items, as the sources table numbers them.
const int ID_VTR_VICTOR = SourceRowOf(VTR_VICTOR).commandId;
const int ID_VTR_SONY = SourceRowOf(VTR_SONY).commandId;

namespace {
void RunDeferred(CTarnwickDlg& dlg) {
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
}

QString IniText(const WorkFolder& folder) {
    QFile file(folder.ini());
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
}

// "m-1" and the like: a size relative to the least usable one, m, or plain numbers.
QSize SizeOf(const QString& text, QSize m) {
    const QStringList wh = text.split(QLatin1Char(','));
    const auto one = [](const QString& t, int least) {
        return t.startsWith(QLatin1Char('m')) ? least + t.mid(1).toInt() : t.toInt();
    };
    return QSize(one(wh.at(0), m.width()), one(wh.at(1), m.height()));
}
} // namespace

class TestDialog : public QObject {
    Q_OBJECT
private slots:
    void cleanup() {
        SetMessageBoxHook(nullptr);
        SetFileDialogHook(nullptr);
        SetModalHook(nullptr);
    }

    void startUpShowsAnEmptyNumberedList() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);

        QCOMPARE(dlg.windowTitle(), QStringLiteral("Tarnwick"));
        QCOMPARE(dlg.Grid().GetRows(), 31L);
        QCOMPARE(dlg.Grid().GetCols(), 6L);
        const QStringList titles = {"No.", "SP No.", "IN", "OUT", "DURATION", "REMARK"};
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(dlg.Grid().GetTextMatrix(0, c), titles[c]);
        }
        for (long r = 1; r <= 30; ++r) {
            QCOMPARE(dlg.Grid().GetTextMatrix(r, COL_NO), QString::asprintf("%04ld", r));
            QCOMPARE(dlg.Grid().GetCellBackColorAt(r, COL_NO), COLOR_NUMBER_CELL);
            for (int c = COL_IN; c <= COL_REMARK; ++c) {
                QCOMPARE(dlg.Grid().GetTextMatrix(r, c), QString());
            }
        }
        QCOMPARE(dlg.Grid().GetTextMatrix(1, COL_SPNO), QStringLiteral("0001"));
        QCOMPARE(dlg.Grid().GetTextMatrix(2, COL_SPNO), QString());
        QCOMPARE(dlg.Grid().GetRow(), 1L);
        QCOMPARE(dlg.Grid().GetCol(), long(COL_IN));
        QVERIFY(!dlg.GetSession().Source().Reading());
        QCOMPARE(dlg.GetSession().List().IsModified(), false);

        auto* display = qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_TC_DISPLAY));
        QVERIFY(display);
        QCOMPARE(qobject_cast<QLabel*>(dlg.GetDlgItem(IDC_VITC_LABEL))->text(),
                 QStringLiteral("VITC"));
        for (int id : {IDC_BTN_PLUS, IDC_BTN_SQUARE, IDC_BTN_MINUS, IDC_ENTER, IDC_CELL_EDIT}) {
            QVERIFY2(!dlg.GetDlgItem(id)->isVisible(), qPrintable(QString::number(id)));
        }
        for (int id : {IDC_IN, IDC_OUT, IDC_INS, IDC_DEL, IDC_GRID}) {
            QVERIFY2(dlg.GetDlgItem(id)->isVisible(), qPrintable(QString::number(id)));
        }
        // The editor's text is drawn red.
        QCOMPARE(dlg.Editor().Edit().palette().color(QPalette::Text), QColor(255, 0, 0));
    }

    void menusCarryTheirTextsAndIds_data() {
        QTest::addColumn<int>("id");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("popup");
        const QString file = QStringLiteral("ﾌｧｲﾙ(F1)");
        const QString frame = QStringLiteral("ﾌﾚｰﾑﾁｪｯｸ(F2)");
        const QString com = QStringLiteral("通信(F3)");
        const QString help = QStringLiteral("ヘルプ(F4)");
        QTest::newRow("open") << ID_FILE_OPEN << "開く" << file;
        QTest::newRow("save as") << ID_FILE_SAVEAS << "名前を付けて保存" << file;
        QTest::newRow("save") << ID_FILE_SAVE << "上書き保存" << file;
        QTest::newRow("print") << ID_FILE_PRINT << "印刷" << file;
        QTest::newRow("exit") << ID_FILE_EXIT << "終了" << file;
        QTest::newRow("3 nondrop") << ID_FRAMECHECK_3_NONDROP << "3 ﾌﾚｰﾑ (NonDrop)" << frame;
        QTest::newRow("4 nondrop") << ID_FRAMECHECK_4_NONDROP << "4 ﾌﾚｰﾑ (NonDrop)" << frame;
        QTest::newRow("3 drop") << ID_FRAMECHECK_3_DROP << "3 ﾌﾚｰﾑ (Drop)" << frame;
        QTest::newRow("4 drop") << ID_FRAMECHECK_4_DROP << "4 ﾌﾚｰﾑ (Drop)" << frame;
        QTest::newRow("com1") << ID_COM1 << "COM1" << com;
        QTest::newRow("com5") << ID_COM5 << "COM5" << com;
        QTest::newRow("victor") << ID_VTR_VICTOR << "Victor SA-K37 Control" << com;
        QTest::newRow("sony") << ID_VTR_SONY << "Sony 9 pin Control" << com;
        QTest::newRow("help") << ID_HELP_CONTENTS << "ヘルプ" << help;
        QTest::newRow("about") << ID_HELP_ABOUT << "バージョン情報" << help;
    }
    void menusCarryTheirTextsAndIds() {
        QFETCH(int, id);
        QFETCH(QString, text);
        QFETCH(QString, popup);
        WorkFolder folder;
        CTarnwickDlg dlg;
        QAction* item = dlg.MenuItem(id);
        QVERIFY(item);
        QCOMPARE(item->text(), text);
        QMenu* menu = qobject_cast<QMenu*>(item->parent());
        QVERIFY(menu);
        QCOMPARE(menu->title(), popup);
        QCOMPARE(dlg.MenuBar()->actions().size(), 4);
    }

    void deferredStepAppliesSavedSizeAndWidths() {
        WorkFolder folder("WindowWidth=800\nWindowHeight=600\nWidth0=900\n"
                          "Width5=3000\n");
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        QCOMPARE(dlg.frameGeometry().size(), QSize(800, 600));
        QCOMPARE(dlg.Grid().GetColWidth(0), 900L);
        QCOMPARE(dlg.Grid().GetColWidth(1), 720L);
        QCOMPARE(dlg.GetSession().Settings().WindowWidth, 800);
        QCOMPARE(dlg.GetSession().Settings().WindowHeight, 600);
        // The grid is the window's focus widget, whether or not the window is active yet.
        QCOMPARE(dlg.focusWidget(), static_cast<QWidget*>(&dlg.Grid()));
        // REMARK takes the room the window leaves it, beyond its own width, which is the
        // width the settings keep.
        long columns = 0;
        for (int c = 0; c < LIST_COLS; ++c)
            columns += dlg.Grid().GetColWidth(c);
        QCOMPARE(columns, dlg.Grid().viewport()->width() * CMSFlexGrid::TWIPS_PER_PIXEL);
        QVERIFY(dlg.Grid().GetColWidth(5) > 3000L);
        dlg.close();
        QVERIFY(IniText(folder).contains(QStringLiteral("Width5=3000")));
    }

    void layoutFollowsTheClientArea() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        const QRect inBefore = dlg.ControlRect(IDC_IN);
        const QRect labelBefore = dlg.ControlRect(IDC_FRAMECHECK_LABEL);

        dlg.resize(640, 400 + dlg.MenuBar()->sizeHint().height());
        QCOMPARE(dlg.Client()->size(), QSize(640, 400));
        QCOMPARE(dlg.ControlRect(IDC_GRID), QRect(0, 28, 640, 330));
        for (int id : {IDC_IN, IDC_OUT, IDC_INS, IDC_DEL}) {
            QCOMPARE(dlg.ControlRect(id).y(), 365);
        }
        QCOMPARE(dlg.ControlRect(IDC_TC_DISPLAY).y(), 2);
        QCOMPARE(dlg.ControlRect(IDC_VITC_LABEL).y(), 7);
        // Horizontal positions and sizes never change, however wide the window.
        dlg.resize(1500, 900);
        QCOMPARE(dlg.ControlRect(IDC_IN).x(), inBefore.x());
        QCOMPARE(dlg.ControlRect(IDC_IN).size(), inBefore.size());
        QCOMPARE(dlg.ControlRect(IDC_FRAMECHECK_LABEL).x(), labelBefore.x());
        QCOMPARE(dlg.ControlRect(IDC_GRID).width(), 1500);
        QCOMPARE(dlg.GetSession().Settings().WindowWidth, dlg.frameGeometry().width());

        // A tiny window gives the grid no height, never a negative one.
        const int visible = dlg.View().VisibleRows();
        QVERIFY(visible > 0);
        dlg.resize(300, 60);
        QCOMPARE(dlg.ControlRect(IDC_GRID).height(), 0);
        QCOMPARE(dlg.View().VisibleRows(), visible);
    }

    void visibleRowCountGrowsWithTheWindow() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        dlg.resize(640, 300);
        const int small = dlg.View().VisibleRows();
        dlg.resize(640, 700);
        QVERIFY2(dlg.View().VisibleRows() > small,
                 qPrintable(QStringLiteral("%1 -> %2").arg(small).arg(dlg.View().VisibleRows())));
        // The count covers exactly the rows the grid reports visible from the top row.
        const long top = dlg.Grid().GetTopRow();
        QVERIFY(dlg.Grid().GetRowIsVisible(top + dlg.View().VisibleRows() - 1));
        if (top + dlg.View().VisibleRows() < dlg.Grid().GetRows()) {
            QVERIFY(!dlg.Grid().GetRowIsVisible(top + dlg.View().VisibleRows()));
        }
    }

    void scrollToRowBringsLowRowsToTheMiddle() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);

        // Nothing scrolls while no row is known to be visible.
        dlg.View().SetVisibleRows(0);
        dlg.Grid().SetLeftCol(3);
        dlg.View().ScrollToRow(25, 0);
        QCOMPARE(dlg.Grid().GetTopRow(), 1L);

        // TopRow 1, one fixed row, 11 visible: last 10, mid 5.
        dlg.View().SetVisibleRows(11);
        dlg.View().ScrollToRow(4, 0);
        QCOMPARE(dlg.Grid().GetTopRow(), 1L);
        dlg.View().ScrollToRow(7, 0);
        QCOMPARE(dlg.Grid().GetTopRow(), 3L);
        // A row above the middle leaves the view alone, even above the view.
        dlg.View().ScrollToRow(1, 0);
        QCOMPARE(dlg.Grid().GetTopRow(), 3L);
    }

    void escapeNeverClosesTheWindow() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        QTest::keyClick(&dlg.Grid(), Qt::Key_Escape);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QMetaObject::invokeMethod(&dlg, "reject");
        QVERIFY(dlg.isVisible());
    }

    void closingAnUnmodifiedListAsksNothingAndWritesSettings() {
        WorkFolder folder;
        int boxes = 0;
        SetMessageBoxHook([&](const MessageBoxRequest&) {
            ++boxes;
            return BoxAnswer::No;
        });
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        dlg.close();
        QCOMPARE(boxes, 0);
        QVERIFY(!dlg.isVisible());
        const QString ini = IniText(folder);
        QVERIFY2(ini.contains(QStringLiteral("[Default]")), qPrintable(ini));
        QVERIFY2(ini.contains(QStringLiteral("WindowWidth=640")), qPrintable(ini));
        QVERIFY2(ini.contains(QStringLiteral("[Ports]")), qPrintable(ini));
    }

    void closingAModifiedListAsksAndRespectsTheAnswer() {
        WorkFolder folder;
        QStringList questions;
        QStringList captions;
        BoxAnswer answer = BoxAnswer::No;
        SetMessageBoxHook([&](const MessageBoxRequest& r) -> BoxAnswer {
            questions << r.text;
            captions << r.caption;
            return r.type == BoxButtons::YesNo ? answer : BoxAnswer::Ok;
        });
        int fileDialogs = 0;
        int openDialogs = 0;
        SetFileDialogHook([&](const FileDialogRequest& r) -> QString {
            ++fileDialogs;
            openDialogs += r.save ? 0 : 1;
            return QString(); // cancelled
        });
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        dlg.GetSession().List().MarkModified();

        // Yes, then a cancelled file dialog: the window stays, the list stays modified, and
        // closing again asks again.
        answer = BoxAnswer::Yes;
        dlg.Dispatch(ID_FILE_EXIT, Notify::Command);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.GetSession().List().IsModified(), true);
        QCOMPARE(fileDialogs, 1);
        QVERIFY(!QFile::exists(folder.dir.filePath("unused")));
        dlg.close();
        QVERIFY(dlg.isVisible());
        QCOMPARE(questions.size(), 2);
        QCOMPARE(questions.first(), QStringLiteral("変更されています。保存しますか？"));
        QCOMPARE(captions.first(), QStringLiteral("Tarnwick"));
        QCOMPARE(openDialogs, 0);

        // No: the program ends without the list but still writes its settings.
        QFile::remove(folder.ini());
        answer = BoxAnswer::No;
        dlg.close();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(fileDialogs, 2);
        QVERIFY(IniText(folder).contains(QStringLiteral("[Default]")));
    }

    // The real box, not the hook: Esc, the close button and Alt+F4 (a close event) leave the
    // exit question up, and only Yes or No answers it.
    void theExitQuestionCanOnlyBeAnswered() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        dlg.GetSession().List().MarkModified();
        QString question;
        QList<bool> upAfter;
        WhenUp([&](QWidget* up) {
            auto* box = qobject_cast<QMessageBox*>(up);
            question = box->text();
            QTest::keyClick(box, Qt::Key_Escape);
            upAfter << box->isVisible();
            QCloseEvent closing;
            QApplication::sendEvent(box, &closing);
            upAfter << box->isVisible();
            box->close();
            upAfter << box->isVisible();
            box->button(QMessageBox::No)->click();
        });
        dlg.close();
        QCOMPARE(question, QStringLiteral("変更されています。保存しますか？"));
        QCOMPARE(upAfter, (QList<bool>{true, true, true}));
        QVERIFY(!dlg.isVisible()); // No ends the program
    }

    void badWindowSizesOpenUsable_data() {
        // "width,height" stored -> opened; m is the least usable size
        QTest::addColumn<QString>("sizes");
        QTest::newRow("zero: the default") << "0,0 -> 640,480";
        QTest::newRow("negative: the default") << "-500,-1 -> 640,480";
        QTest::newRow("1 x 1: raised") << "1,1 -> m,m";
        QTest::newRow("just under: raised") << "m-1,m-1 -> m,m";
        QTest::newRow("the least") << "m,m -> m,m";
        QTest::newRow("just over") << "m+1,m+1 -> m+1,m+1";
        QTest::newRow("each side on its own") << "-5,m+7 -> 640,m+7";
    }
    void badWindowSizesOpenUsable() {
        QFETCH(QString, sizes);
        const QString stored = sizes.section(QStringLiteral(" -> "), 0, 0);
        const QString opened = sizes.section(QStringLiteral(" -> "), 1, 1);
        QSize least;
        {
            WorkFolder folder;
            CTarnwickDlg dlg;
            dlg.show();
            RunDeferred(dlg);
            least = dlg.MinimumWindowSize() + (dlg.frameGeometry().size() - dlg.size());
        }
        const QSize storedSize = SizeOf(stored, least);
        WorkFolder folder(QStringLiteral("WindowWidth=%1\nWindowHeight=%2\n")
                              .arg(storedSize.width())
                              .arg(storedSize.height())
                              .toUtf8());
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        QCOMPARE(dlg.frameGeometry().size(), SizeOf(opened, least));
        QCOMPARE(QSize(dlg.GetSession().Settings().WindowWidth,
                       dlg.GetSession().Settings().WindowHeight),
                 SizeOf(opened, least));
        // Usable: one whole grid row, the buttons and the timecode line inside the window.
        QVERIFY(dlg.Grid().GetRowIsVisible(1));
        const QRect client(QPoint(0, 0), dlg.Client()->size());
        for (int id : {IDC_DEL, IDC_FRAMECHECK_LABEL, IDC_TC_DISPLAY}) {
            QVERIFY2(client.contains(dlg.ControlRect(id)), qPrintable(QString::number(id)));
        }
        // What the user sizes by hand is written back exactly, however small.
        dlg.resize(200, 100);
        const QSize byHand = dlg.frameGeometry().size();
        dlg.close();
        QVERIFY2(IniText(folder).contains(QStringLiteral("WindowWidth=%1\nWindowHeight=%2")
                                              .arg(byHand.width())
                                              .arg(byHand.height())),
                 qPrintable(IniText(folder)));
    }

    // The window manager reports sizes late and frames the window later still. A late notice
    // of the size the window had before is not the user's sizing, and the frame, once known,
    // is taken out of the size asked for.
    void outerSizeKeepsTheSizeAskedForAgainstLateNotices() {
        QWidget window;
        window.resize(732, 548); // its template size
        window.show();
        QMargins frame;
        OuterSize outer(window, [&] { return frame; });
        outer.Apply(QSize(640, 480), QSize(100, 100));
        QSize recorded;
        window.resize(732, 548); // the notice of the template size, delivered late
        QVERIFY(outer.Measure(&recorded));
        QCOMPARE(recorded, QSize(640, 480));
        frame = QMargins(1, 20, 1, 5);
        window.resize(640, 480); // the notice of the size asked for, the frame known by now
        QVERIFY(outer.Measure(&recorded));
        QCOMPARE(recorded, QSize(640, 480));
        QCOMPARE(window.size(), QSize(638, 455));
        window.resize(700, 500); // the user's
        QVERIFY(outer.Measure(&recorded));
        QCOMPARE(recorded, QSize(702, 525));
    }

    void aboutBoxPausesPolling() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        QString title;
        QString caption;
        int pollingDuringBox = -1;
        SetModalHook([&](QDialog& box) {
            auto* about = qobject_cast<CAboutDlg*>(&box);
            title = about ? about->Title()->text() : QString();
            caption = box.windowTitle();
            // Polling is stopped while the box is open: no timer of the window runs.
            pollingDuringBox = RunningTimerIntervals(&dlg.GetSession().Poll()).size();
            return 0;
        });
        dlg.Dispatch(ID_HELP_ABOUT, Notify::Command);
        QCOMPARE(title, QStringLiteral("Tarnwick"));
        QCOMPARE(caption, QStringLiteral("バージョン情報"));
        QCOMPARE(pollingDuringBox, 0);
        QCOMPARE(RunningTimerIntervals(&dlg.GetSession().Poll()), QList<int>{POLL_INTERVAL_MS});
        QCOMPARE(dlg.GetSession().Poll().Timer(), POLL_TIMER_ID);
    }

    void helpOpensOwnWindowWithoutPausingPolling() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        dlg.Dispatch(ID_HELP_CONTENTS, Notify::Command);
        QWidget* help = TwHelpWindow();
        QVERIFY(help);
        QVERIFY(help->isVisible());
        QVERIFY(!help->isModal());
        QVERIFY(dlg.GetSession().HelpPath().endsWith(QStringLiteral("help.hlp")));
        // The window timer is still running.
        dlg.GetSession().Source().TakeReading(Timecode::AtFrame(5, TimecodeRate()));
        QTRY_VERIFY_WITH_TIMEOUT(!dlg.GetSession().Source().Reading(), 5000);
        help->close();
    }
};

QTEST_MAIN(TestDialog)
#include "test_dialog.moc"
