// The main window as the operator meets it: start-up state, layout, shut-down sequence.
#include "app/about_dlg.h"
#include "app/tarnwick_dlg.h"
#include "platform/file_dialog.h"
#include "platform/help.h"
#include "platform/message_box.h"
#include "platform/modal.h"
#include "work_folder.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QLabel>
#include <QMenuBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

namespace {
void RunDeferred(CTarnwickDlg& dlg) {
    QCoreApplication::sendPostedEvents(&dlg, WM_DEFERRED_INIT);
}

QString IniText(const WorkFolder& folder) {
    QFile file(folder.ini());
    file.open(QIODevice::ReadOnly);
    return QString::fromUtf8(file.readAll());
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
        QCOMPARE(dlg.m_grid.GetRows(), 31L);
        QCOMPARE(dlg.m_grid.GetCols(), 6L);
        const QStringList titles = {"No.", "SP No.", "IN", "OUT", "DURATION", "REMARK"};
        for (int c = 0; c < 6; ++c) {
            QCOMPARE(dlg.m_grid.GetTextMatrix(0, c), titles[c]);
        }
        for (long r = 1; r <= 30; ++r) {
            QCOMPARE(dlg.m_grid.GetTextMatrix(r, COL_NO), QString::asprintf("%04ld", r));
            QCOMPARE(dlg.m_grid.GetCellBackColorAt(r, COL_NO), COLOR_NUMBER_CELL);
            for (int c = COL_IN; c <= COL_REMARK; ++c) {
                QCOMPARE(dlg.m_grid.GetTextMatrix(r, c), QString());
            }
        }
        QCOMPARE(dlg.m_grid.GetTextMatrix(1, COL_SPNO), QStringLiteral("0001"));
        QCOMPARE(dlg.m_grid.GetTextMatrix(2, COL_SPNO), QString());
        QCOMPARE(dlg.m_grid.GetRow(), 1L);
        QCOMPARE(dlg.m_grid.GetCol(), long(COL_IN));
        QCOMPARE(QByteArray(dlg.m_szTimecode), QByteArray("00000000"));
        QCOMPARE(dlg.m_bModified, 0);

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
        QCOMPARE(dlg.m_editCell.palette().color(QPalette::Text), QColor(255, 0, 0));
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
        WorkFolder folder("[Default]\nWindowWidth=800\nWindowHeight=600\nWidth0=900\n"
                          "Width5=3000\n");
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        QCOMPARE(dlg.frameGeometry().size(), QSize(800, 600));
        QCOMPARE(dlg.m_grid.GetColWidth(0), 900L);
        QCOMPARE(dlg.m_grid.GetColWidth(1), 720L);
        QCOMPARE(dlg.m_grid.GetColWidth(5), 3000L);
        QCOMPARE(dlg.m_settings.WindowWidth, 800);
        QCOMPARE(dlg.m_settings.WindowHeight, 600);
        QVERIFY(dlg.m_grid.hasFocus() || QApplication::focusWidget() == &dlg.m_grid ||
                dlg.m_grid.hasFocus() == dlg.isActiveWindow());
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
        QCOMPARE(dlg.m_settings.WindowWidth, dlg.frameGeometry().width());

        // A tiny window gives the grid no height, never a negative one.
        const int visible = dlg.m_nVisibleRows;
        QVERIFY(visible > 0);
        dlg.resize(300, 60);
        QCOMPARE(dlg.ControlRect(IDC_GRID).height(), 0);
        QCOMPARE(dlg.m_nVisibleRows, visible);
    }

    void visibleRowCountGrowsWithTheWindow() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        dlg.resize(640, 300);
        const int small = dlg.m_nVisibleRows;
        dlg.resize(640, 700);
        QVERIFY2(dlg.m_nVisibleRows > small,
                 qPrintable(QStringLiteral("%1 -> %2").arg(small).arg(dlg.m_nVisibleRows)));
        // The count covers exactly the rows the grid reports visible from the top row.
        const long top = dlg.m_grid.GetTopRow();
        QVERIFY(dlg.m_grid.GetRowIsVisible(top + dlg.m_nVisibleRows - 1));
        if (top + dlg.m_nVisibleRows < dlg.m_grid.GetRows()) {
            QVERIFY(!dlg.m_grid.GetRowIsVisible(top + dlg.m_nVisibleRows));
        }
    }

    void scrollToRowBringsLowRowsToTheMiddle() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);

        // Nothing scrolls while no row is known to be visible.
        dlg.m_nVisibleRows = 0;
        dlg.m_grid.SetLeftCol(3);
        dlg.ScrollToRow(25, 0);
        QCOMPARE(dlg.m_grid.GetTopRow(), 1L);

        // TopRow 1, one fixed row, 11 visible: last 10, mid 5.
        dlg.m_nVisibleRows = 11;
        dlg.ScrollToRow(4, 0);
        QCOMPARE(dlg.m_grid.GetTopRow(), 1L);
        dlg.ScrollToRow(7, 0);
        QCOMPARE(dlg.m_grid.GetTopRow(), 3L);
        // A row above the middle leaves the view alone, even above the view.
        dlg.ScrollToRow(1, 0);
        QCOMPARE(dlg.m_grid.GetTopRow(), 3L);
    }

    void escapeNeverClosesTheWindow() {
        WorkFolder folder;
        CTarnwickDlg dlg;
        dlg.show();
        RunDeferred(dlg);
        QTest::keyClick(&dlg.m_grid, Qt::Key_Escape);
        QTest::keyClick(&dlg, Qt::Key_Escape);
        QMetaObject::invokeMethod(&dlg, "reject");
        QVERIFY(dlg.isVisible());
    }

    void closingAnUnmodifiedListAsksNothingAndWritesSettings() {
        WorkFolder folder;
        int boxes = 0;
        SetMessageBoxHook([&](const MessageBoxRequest&) {
            ++boxes;
            return IDNO;
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
        int answer = IDNO;
        SetMessageBoxHook([&](const MessageBoxRequest& r) -> int {
            questions << r.text;
            captions << r.caption;
            return r.type == MB_YESNO ? answer : IDOK;
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
        dlg.SetModified(1);

        // Yes, then a cancelled file dialog: the window stays, the list stays modified, and
        // closing again asks again.
        answer = IDYES;
        dlg.Dispatch(ID_FILE_EXIT, Notify::Command);
        QVERIFY(dlg.isVisible());
        QCOMPARE(dlg.m_bModified, 1);
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
        answer = IDNO;
        dlg.close();
        QVERIFY(!dlg.isVisible());
        QCOMPARE(fileDialogs, 2);
        QVERIFY(IniText(folder).contains(QStringLiteral("[Default]")));
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
            // Polling is stopped while the box is open: no tick reaches the dialog.
            const QByteArray before(dlg.m_szTimecode);
            dlg.m_szTimecode[0] = 'X';
            QTest::qWait(250);
            pollingDuringBox = dlg.m_szTimecode[0] == 'X' ? 0 : 1;
            dlg.m_szTimecode[0] = before[0];
            return 0;
        });
        dlg.Dispatch(ID_HELP_ABOUT, Notify::Command);
        QCOMPARE(title, QStringLiteral("Tarnwick"));
        QCOMPARE(caption, QStringLiteral("バージョン情報"));
        QCOMPARE(pollingDuringBox, 0);
        QCOMPARE(dlg.m_nPollTimer, POLL_TIMER_ID);
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
        QVERIFY(dlg.m_szHelpPath.endsWith(QStringLiteral("help.hlp")));
        // The window timer is still running.
        dlg.m_szTimecode[0] = 'X';
        QTRY_VERIFY_WITH_TIMEOUT(dlg.m_szTimecode[0] != 'X', 5000);
        help->close();
    }
};

QTEST_MAIN(TestDialog)
#include "test_dialog.moc"
