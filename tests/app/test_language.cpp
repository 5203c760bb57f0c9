// The operator's language: which one a start chooses, and the window's key texts in each,
// switched from the list's own menu.
#include "app/status_notes.h"
#include "app/tarnwick_dlg.h"
#include "box_answers.h"
#include "platform/ui_language.h"
#include "work_folder.h"

#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QMenuBar>
#include <QRegularExpression>
#include <QtTest>

class TestLanguage : public QObject {
    Q_OBJECT
private slots:
    void cleanup() { InstallUiLanguage(UiLanguage::Japanese); }

    void choice_data() {
        QTest::addColumn<QString>("setting");
        QTest::addColumn<QString>("locale");
        QTest::addColumn<bool>("english");
        QTest::newRow("no locale is Japanese") << ""
                                               << "" << false;
        QTest::newRow("C is Japanese") << ""
                                       << "C" << false;
        QTest::newRow("C.UTF-8 is Japanese") << ""
                                             << "C.UTF-8" << false;
        QTest::newRow("POSIX is Japanese") << ""
                                           << "POSIX" << false;
        QTest::newRow("a Japanese locale") << ""
                                           << "ja_JP.UTF-8" << false;
        QTest::newRow("an English locale") << ""
                                           << "en_US.UTF-8" << true;
        QTest::newRow("any other language is English") << ""
                                                       << "fr_FR@euro" << true;
        QTest::newRow("the key wins over the locale") << "ja"
                                                      << "de_DE.UTF-8" << false;
        QTest::newRow("the key chooses English") << "en"
                                                 << "ja_JP.UTF-8" << true;
        QTest::newRow("the key in capitals") << " EN "
                                             << "C" << true;
        QTest::newRow("an unknown key leaves it to the locale") << "fr"
                                                                << "ja_JP" << false;
    }
    void choice() {
        QFETCH(QString, setting);
        QFETCH(QString, locale);
        QFETCH(bool, english);
        QCOMPARE(ChooseUiLanguage(setting, locale) == UiLanguage::English, english);
    }

    // The window as it opens in each language, and as the switch leaves it: the same texts,
    // and the switch kept in default.ini at once (no key without one).
    void keyTexts_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<bool>("switched");
        QTest::addColumn<QStringList>("menus");
        QTest::addColumn<QString>("document");
        QTest::addColumn<QString>("frameCheck");
        QTest::addColumn<QString>("switchItem");
        QTest::addColumn<QString>("askToSave");
        QTest::addColumn<QString>("kept");
        const QStringList ja = {"ﾌｧｲﾙ(F1)", "ﾌﾚｰﾑﾁｪｯｸ(F2)", "通信(F3)", "ヘルプ(F4)"};
        const QStringList en = {"File(F1)", "Frame Check(F2)", "Comm(F3)", "Help(F4)"};
        QTest::newRow("Japanese as it always was") << false << false << ja << "新規リスト *"
                                                   << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)"
                                                   << "English"
                                                   << "変更されています。保存しますか？"
                                                   << "";
        QTest::newRow("English") << true << false << en << "New list *"
                                 << "Frame check=3(Drop)"
                                 << "日本語"
                                 << "The list has changed. Save it?"
                                 << "";
        QTest::newRow("switched to English at once") << false << true << en << "New list *"
                                                     << "Frame check=3(Drop)"
                                                     << "日本語"
                                                     << "The list has changed. Save it?"
                                                     << "Language=en";
        QTest::newRow("switched back to Japanese") << true << true << ja << "新規リスト *"
                                                   << "ﾌﾚｰﾑﾁｪｯｸ=3(Drop)"
                                                   << "English"
                                                   << "変更されています。保存しますか？"
                                                   << "Language=ja";
    }
    void keyTexts() {
        QFETCH(bool, english);
        QFETCH(bool, switched);
        QFETCH(QStringList, menus);
        QFETCH(QString, document);
        QFETCH(QString, frameCheck);
        QFETCH(QString, switchItem);
        QFETCH(QString, askToSave);
        QFETCH(QString, kept);
        WorkFolder folder;
        QVERIFY(InstallUiLanguage(english ? UiLanguage::English : UiLanguage::Japanese));
        BoxAnswers boxes;
        CTarnwickDlg dlg;
        if (switched) {
            dlg.Dispatch(ID_SWITCH_LANGUAGE, Notify::Command);
        }
        QFile ini(folder.ini());
        const QString iniText =
            ini.open(QIODevice::ReadOnly) ? QString::fromUtf8(ini.readAll()) : QString();
        QCOMPARE(iniText.contains(QLatin1String("Language=")), !kept.isEmpty());
        QVERIFY2(iniText.contains(kept), qPrintable(iniText));
        dlg.Dispatch(IDC_IN, Notify::Clicked); // a change, so that closing asks
        QStringList titles;
        for (QAction* menu : dlg.MenuBar()->actions()) {
            titles << menu->text();
        }
        QCOMPARE(titles, menus);
        const auto* note = dlg.findChild<QLabel*>(QLatin1String(DOCUMENT_NOTE_NAME));
        QVERIFY(note);
        QCOMPARE(note->text(), document);
        QCOMPARE(static_cast<QLabel*>(dlg.GetDlgItem(IDC_FRAMECHECK_LABEL))->text(), frameCheck);
        QCOMPARE(dlg.MenuItem(ID_SWITCH_LANGUAGE)->text(), switchItem);
        dlg.GetSession().OnClose();
        QCOMPARE(boxes.messages.value(0), askToSave);
    }

    // In English no item of any menu is left Japanese, the rows of the sources' and the
    // formats' tables included.
    void noJapaneseLeftInEnglishMenus_data() {
        QTest::addColumn<bool>("contextMenu");
        QTest::newRow("the menu bar's menus") << false;
        QTest::newRow("the list's menu and its submenus") << true;
    }
    void noJapaneseLeftInEnglishMenus() {
        QFETCH(bool, contextMenu);
        WorkFolder folder;
        InstallUiLanguage(UiLanguage::English);
        CTarnwickDlg dlg;
        QList<QMenu*> menus;
        if (contextMenu) {
            menus << dlg.ContextMenu();
        } else {
            for (QAction* title : dlg.MenuBar()->actions()) {
                menus << title->menu();
            }
        }
        QStringList japanese;
        while (!menus.isEmpty()) {
            QMenu* menu = menus.takeFirst();
            for (QAction* item : menu->actions()) {
                if (item->menu() != nullptr) {
                    menus << item->menu();
                }
                if (item->text().contains(QRegularExpression(QStringLiteral(
                        "[\\x{3040}-\\x{30ff}\\x{4e00}-\\x{9fff}\\x{ff61}-\\x{ff9f}]"))) &&
                    item->data().toInt() != ID_SWITCH_LANGUAGE) {
                    japanese << item->text();
                }
            }
        }
        QCOMPARE(japanese, QStringList());
    }

    // The frame-check label holds its longest text in either language, unclipped.
    void frameCheckFits_data() {
        QTest::addColumn<bool>("english");
        QTest::addColumn<int>("choice");
        QTest::newRow("Japanese, NonDrop") << false << ID_FRAMECHECK_4_NONDROP;
        QTest::newRow("English, NonDrop") << true << ID_FRAMECHECK_4_NONDROP;
        QTest::newRow("English, Drop") << true << ID_FRAMECHECK_4_DROP;
    }
    void frameCheckFits() {
        QFETCH(bool, english);
        QFETCH(int, choice);
        WorkFolder folder;
        InstallUiLanguage(english ? UiLanguage::English : UiLanguage::Japanese);
        CTarnwickDlg dlg;
        dlg.Dispatch(choice, Notify::Command);
        const auto* label = static_cast<QLabel*>(dlg.GetDlgItem(IDC_FRAMECHECK_LABEL));
        QVERIFY(label->text().contains(QLatin1String("Drop)")));
        QCOMPARE(std::min(label->fontMetrics().horizontalAdvance(label->text()),
                          label->contentsRect().width()),
                 label->fontMetrics().horizontalAdvance(label->text()));
    }
};

QTEST_MAIN(TestLanguage)
#include "test_language.moc"
