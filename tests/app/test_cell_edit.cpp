// In-place editing and the keys that reach the cell editor, typed as the operator types them.
#include "list_window.h"

#include <QClipboard>
#include <QInputMethodEvent>
#include <QMenu>
#include <QPushButton>

namespace {
// An IN edit showing 01:00:10:05 with the caret at the given place.
void OpenInEdit(ListWindow& w, int caret) {
    w.Press(Qt::Key_Return);
    QCOMPARE(w.dlg->Editor().Edit().text(), QStringLiteral("01:00:10:05"));
    w.dlg->Editor().Edit().setCursorPosition(caret);
    w.dlg->Editor().SetCaret(caret);
}

// A digit-row key with Shift as a real keyboard sends it: the symbol, and (on X and Wayland)
// the key code of the digit key, 11 for the 2 key.
void SendShifted2(QWidget* to, Qt::Key symbol, const QString& text, quint32 scanCode) {
    QKeyEvent press(QEvent::KeyPress, symbol, Qt::ShiftModifier, scanCode, 0, 0, text);
    QApplication::sendEvent(to, &press);
}
} // namespace

class TestCellEdit : public QObject {
    Q_OBJECT
private slots:
    void overwriteMaskKeepsAValidTimecode_data() {
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("caretAfter");
        QTest::addColumn<int>("fps");
        QTest::newRow("2 at 9 makes frames 25") << 9 << int(Qt::Key_2) << "01:00:10:25" << 10 << 30;
        QTest::newRow("3 at 9 would make frames 35")
            << 9 << int(Qt::Key_3) << "01:00:10:05" << 9 << 30;
        QTest::newRow("2 at 1 steps over the colon")
            << 1 << int(Qt::Key_2) << "02:00:10:05" << 3 << 30;
        QTest::newRow("5 at 0 would make hours 51")
            << 0 << int(Qt::Key_5) << "01:00:10:05" << 0 << 30;
        QTest::newRow("the last frame digit keeps the caret")
            << 10 << int(Qt::Key_9) << "01:00:10:09" << 10 << 30;
        QTest::newRow("a digit after the end is no timecode")
            << 11 << int(Qt::Key_1) << "01:00:10:05" << 11 << 30;
        QTest::newRow("frames 25 at 25 are refused")
            << 9 << int(Qt::Key_2) << "01:00:10:05" << 9 << 25;
        QTest::newRow("frames 24 at 25 are taken")
            << 10 << int(Qt::Key_4) << "01:00:10:04" << 10 << 25;
        QTest::newRow("frames 25 at 24 are refused")
            << 9 << int(Qt::Key_2) << "01:00:10:05" << 9 << 24;
    }
    void overwriteMaskKeepsAValidTimecode() {
        QFETCH(int, caret);
        QFETCH(int, key);
        QFETCH(QString, text);
        QFETCH(int, caretAfter);
        QFETCH(int, fps);
        ListWindow w;
        w.dlg->GetSession().List().SetFrameRate(fps);
        OpenInEdit(w, caret);
        w.Press(key);
        QCOMPARE(w.dlg->Editor().Edit().text(), text);
        QCOMPARE(w.dlg->Editor().Edit().cursorPosition(), caretAfter);
        w.Press(Qt::Key_Return);
        QCOMPARE(w.Cell(1, COL_IN), text);
        QCOMPARE(w.dlg->Grid().GetCol(), long(COL_OUT));
    }

    void arrowsStepOverColons_data() {
        QTest::addColumn<int>("caret");
        QTest::addColumn<int>("key");
        QTest::addColumn<int>("caretAfter");
        QTest::newRow("Left from 3") << 3 << int(Qt::Key_Left) << 1;
        QTest::newRow("Left from 4") << 4 << int(Qt::Key_Left) << 3;
        QTest::newRow("Right from 1") << 1 << int(Qt::Key_Right) << 3;
        QTest::newRow("Right from 0") << 0 << int(Qt::Key_Right) << 1;
        QTest::newRow("Left at 0") << 0 << int(Qt::Key_Left) << 0;
        QTest::newRow("Right at 10") << 10 << int(Qt::Key_Right) << 10;
        QTest::newRow("Right at 11") << 11 << int(Qt::Key_Right) << 11;
        QTest::newRow("Left from 11") << 11 << int(Qt::Key_Left) << 9;
    }
    void arrowsStepOverColons() {
        QFETCH(int, caret);
        QFETCH(int, key);
        QFETCH(int, caretAfter);
        ListWindow w;
        OpenInEdit(w, caret);
        w.Press(key);
        QCOMPARE(w.dlg->Editor().Edit().cursorPosition(), caretAfter);
    }

    void otherKeysDoNothingInATimecodeEdit_data() {
        QTest::addColumn<int>("key");
        QTest::newRow("Backspace") << int(Qt::Key_Backspace);
        QTest::newRow("Delete") << int(Qt::Key_Delete);
        QTest::newRow("letter A") << int(Qt::Key_A);
        QTest::newRow("Home") << int(Qt::Key_Home);
        QTest::newRow("Insert") << int(Qt::Key_Insert);
        QTest::newRow("I") << int(Qt::Key_I);
        QTest::newRow("F1") << int(Qt::Key_F1);
        QTest::newRow("Shift+2 as @ from the 2 key") << -1;
        QTest::newRow("Shift+2 as \" with no key code") << -2;
    }
    void otherKeysDoNothingInATimecodeEdit() {
        QFETCH(int, key);
        ListWindow w;
        OpenInEdit(w, 4);
        if (key == -1) {
            SendShifted2(&w.dlg->Editor().Edit(), Qt::Key_At, QStringLiteral("@"), 11);
        } else if (key == -2) {
            SendShifted2(&w.dlg->Editor().Edit(), Qt::Key_QuoteDbl, QStringLiteral("\""), 0);
        } else {
            w.Press(key);
        }
        QCoreApplication::processEvents();
        QCOMPARE(w.dlg->Editor().Edit().text(), QStringLiteral("01:00:10:05"));
        QCOMPARE(w.dlg->Editor().Edit().cursorPosition(), 4);
        QVERIFY(w.dlg->Editor().Edit().hasFocus());
        QCOMPARE(QApplication::activePopupWidget(), nullptr);
        QCOMPARE(w.dlg->Grid().GetRows(), 31L);
        QCOMPARE(w.dlg->Grid().GetCol(), long(COL_IN));
    }

    void shortcutsNeverActWhileEditing_data() {
        QTest::addColumn<int>("col");
        QTest::newRow("SP No.") << COL_SPNO;
        QTest::newRow("OUT") << COL_OUT;
        QTest::newRow("REMARK") << COL_REMARK;
    }
    void shortcutsNeverActWhileEditing() {
        QFETCH(int, col);
        ListWindow w;
        w.MoveTo(3, col);
        w.Press(Qt::Key_Return);
        for (int key : {Qt::Key_I, Qt::Key_O, Qt::Key_R, Qt::Key_Insert, Qt::Key_Delete}) {
            w.Press(key);
        }
        QCOMPARE(w.dlg->Grid().GetRows(), 31L);
        QCOMPARE(w.dlg->Grid().GetRow(), 3L);
        QCOMPARE(w.dlg->Grid().GetCol(), long(col));
        QCOMPARE(w.Cell(3, COL_IN), QString());
        QVERIFY(w.dlg->Editor().Edit().hasFocus());
    }

    void spotNumberTakesFiveCharacters() {
        ListWindow w;
        w.MoveTo(1, COL_SPNO);
        w.Press(Qt::Key_Return);
        QCOMPARE(w.dlg->Editor().Edit().cursorPosition(), 4);
        w.Type(QStringLiteral("AB"));
        QCOMPARE(w.dlg->Editor().Edit().text(), QStringLiteral("0001A"));
        w.Press(Qt::Key_Backspace);
        w.Press(Qt::Key_Left);
        w.Press(Qt::Key_Delete);
        w.Press(Qt::Key_Space); // not a key of this column
        w.Press(Qt::Key_Return);
        QCOMPARE(w.Cell(1, COL_SPNO), QStringLiteral("000"));
        QCOMPARE(w.dlg->Grid().GetCol(), long(COL_SPNO));
        QVERIFY(w.GridFocused());
    }

    // The limits stop what the operator types or pastes; a longer text from a list file is
    // shown and stored whole.
    void limitsStopInputButNotLoadedText_data() {
        QTest::addColumn<int>("col");
        QTest::addColumn<QString>("cell");
        QTest::addColumn<QString>("typed"); // "\b" is Backspace
        QTest::addColumn<QString>("pasted");
        QTest::addColumn<QString>("stored");
        const QString spNo7 = QStringLiteral("ABCDEFG");
        const QString remark300 = QLatin1Char(' ') + QString(300, QLatin1Char('r'));
        const QString remark255 = QLatin1Char(' ') + QString(255, QLatin1Char('r'));
        QTest::newRow("SP No. of 7 stored unchanged")
            << COL_SPNO << spNo7 << QString() << QString() << spNo7;
        QTest::newRow("SP No. of 7 refuses a letter") << COL_SPNO << spNo7 << "X"
                                                      << "" << spNo7;
        QTest::newRow("SP No. of 7 refuses a paste") << COL_SPNO << spNo7 << ""
                                                     << "XY" << spNo7;
        QTest::newRow("SP No. of 7 takes Backspace") << COL_SPNO << spNo7 << "\b"
                                                     << "" << QStringLiteral("ABCDEF");
        QTest::newRow("SP No. of 5 refuses a letter") << COL_SPNO << "ABCDE"
                                                      << "X"
                                                      << ""
                                                      << "ABCDE";
        QTest::newRow("SP No. of 3 takes a paste up to 5") << COL_SPNO << "ABC"
                                                           << ""
                                                           << "XYZ"
                                                           << "ABCXY";
        QTest::newRow("remark of 300 stored unchanged")
            << COL_REMARK << remark300 << QString() << QString() << remark300;
        QTest::newRow("remark of 300 refuses typing") << COL_REMARK << remark300 << "x"
                                                      << "" << remark300;
        QTest::newRow("remark of 300 refuses a paste") << COL_REMARK << remark300 << ""
                                                       << "xy" << remark300;
        QTest::newRow("remark of 255 refuses typing") << COL_REMARK << remark255 << "x"
                                                      << "" << remark255;
    }
    void limitsStopInputButNotLoadedText() {
        QFETCH(int, col);
        QFETCH(QString, cell);
        QFETCH(QString, typed);
        QFETCH(QString, pasted);
        QFETCH(QString, stored);
        ListWindow w;
        LayCell(w.dlg->GetSession().List(), 2, col, cell);
        w.MoveTo(2, col);
        w.Press(Qt::Key_Return);
        QLineEdit& edit = w.dlg->Editor().Edit();
        QCOMPARE(edit.text(), col == COL_REMARK ? cell.mid(1) : cell);
        w.Type(typed);
        if (!pasted.isEmpty()) {
            QApplication::clipboard()->setText(pasted);
            edit.paste();
        }
        QVERIFY(edit.cursorPosition() <= edit.text().size());
        w.Press(Qt::Key_Return);
        QCOMPARE(w.Cell(2, col), stored);
    }

    void remarkEditEndsOnTheNextInCell_data() {
        QTest::addColumn<long>("row");
        QTest::addColumn<int>("endKey");
        QTest::addColumn<QString>("stored");
        QTest::addColumn<long>("rowAfter");
        QTest::newRow("commit") << 4L << int(Qt::Key_Return) << " abc" << 5L;
        QTest::newRow("commit on the last row") << 30L << int(Qt::Key_Return) << " abc" << 30L;
        QTest::newRow("Esc") << 4L << int(Qt::Key_Escape) << "" << 5L;
    }
    void remarkEditEndsOnTheNextInCell() {
        QFETCH(long, row);
        QFETCH(int, endKey);
        QFETCH(QString, stored);
        QFETCH(long, rowAfter);
        ListWindow w;
        w.MoveTo(row, COL_REMARK);
        w.Press(Qt::Key_Return);
        w.Type(QStringLiteral("abc"));
        w.Press(endKey);
        QCOMPARE(w.Cell(row, COL_REMARK), stored);
        QCOMPARE(w.dlg->Grid().GetRow(), rowAfter);
        QCOMPARE(w.dlg->Grid().GetCol(), long(COL_IN));
        QVERIFY(!w.dlg->Editor().Edit().isVisible());
        QVERIFY(w.dlg->isVisible());
        QVERIFY(w.GridFocused());
    }

    void remarkOpensWithoutItsSpaceAndAnEmptyOneStoresNothing() {
        ListWindow w;
        LayCell(w.dlg->GetSession().List(), 2, COL_IN, QStringLiteral("01:00:00:00"));
        w.MoveTo(3, COL_IN);
        w.Press(Qt::Key_R); // an empty row below a filled one: the filled row's remark
        QCOMPARE(w.dlg->Grid().GetRow(), 2L);
        w.Type(QStringLiteral("x"));
        w.Press(Qt::Key_Return);
        w.MoveTo(2, COL_REMARK);
        w.Press(Qt::Key_Return);
        QCOMPARE(w.dlg->Editor().Edit().text(), QStringLiteral("x"));
        w.Press(Qt::Key_Backspace);
        w.Press(Qt::Key_Return);
        QCOMPARE(w.Cell(2, COL_REMARK), QString());
    }

    void enterMarksTheListModifiedEvenWhenCancelled() {
        ListWindow w;
        w.Press(Qt::Key_Return);
        QVERIFY(w.dlg->Editor().Edit().hasFocus());
        w.Press(Qt::Key_Escape);
        QCOMPARE(w.dlg->GetSession().List().IsModified(), true);
        QCOMPARE(w.Cell(1, COL_IN), QStringLiteral("01:00:10:05")); // the pre-filled timecode
        QCOMPARE(w.Cell(1, COL_DURATION), QString());
        QCOMPARE(w.dlg->Grid().GetCol(), long(COL_IN));
    }

    void editorCoversTheCellOnePixelWider() {
        ListWindow w;
        w.MoveTo(2, COL_OUT);
        w.Press(Qt::Key_Return);
        const CMSFlexGrid& grid = w.dlg->Grid();
        const QRect cell(grid.pos() +
                             QPoint(int(grid.GetCellLeft() / 15), int(grid.GetCellTop() / 15)),
                         QSize(int(grid.GetCellWidth() / 15), int(grid.GetCellHeight() / 15)));
        QCOMPARE(w.dlg->Editor().Edit().geometry(), cell.adjusted(-1, -1, 1, 1));
    }

    // A change the mask cannot take one character at a time ends where it began.
    void severalCharactersAtOnceAreUndone_data() {
        QTest::addColumn<int>("select");
        QTest::addColumn<QString>("clipboard");
        QTest::addColumn<QString>("text");
        const QString before = QStringLiteral("01:00:10:05");
        QTest::newRow("cut") << 5 << QString() << before;
        QTest::newRow("paste over two characters") << 2 << QStringLiteral("7") << before;
        QTest::newRow("paste of a whole timecode")
            << 11 << QStringLiteral("12:34:56:07") << QStringLiteral("12:34:56:07");
        QTest::newRow("paste of a whole invalid one")
            << 11 << QStringLiteral("12:34:56:37") << before;
        // The editor takes only one more character than the timecode holds.
        QTest::newRow("paste into the text is typed as its first character")
            << 0 << QStringLiteral("12") << QStringLiteral("01:10:10:05");
    }
    void severalCharactersAtOnceAreUndone() {
        QFETCH(int, select);
        QFETCH(QString, clipboard);
        QFETCH(QString, text);
        ListWindow w;
        OpenInEdit(w, 3);
        QLineEdit& edit = w.dlg->Editor().Edit();
        if (select == 11) {
            edit.selectAll();
        } else if (select > 0) {
            edit.setSelection(3, select);
        }
        if (clipboard.isEmpty()) {
            edit.cut();
        } else {
            QApplication::clipboard()->setText(clipboard);
            edit.paste();
        }
        QCOMPARE(edit.text(), text);
        if (text == QStringLiteral("01:00:10:05")) {
            QCOMPARE(edit.cursorPosition(), 3); // where it was
        }
    }

    void typingOverASelectionIsTestedToo() {
        ListWindow w;
        OpenInEdit(w, 9);
        w.Press(Qt::Key_Right, Qt::ShiftModifier); // selects the first frame digit
        QCOMPARE(w.dlg->Editor().Edit().selectedText(), QStringLiteral("0"));
        w.Press(Qt::Key_5);
        QCOMPARE(w.dlg->Editor().Edit().text(), QStringLiteral("01:00:10:05"));
        w.Press(Qt::Key_Return);
        QCOMPARE(w.Cell(1, COL_IN), QStringLiteral("01:00:10:05"));
    }

    void remarkRefusesWhatTheListFileCannotHold_data() {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("text");
        QTest::newRow("Japanese") << QStringLiteral("日本ｶﾅ") << QStringLiteral("ab日本ｶﾅ");
        QTest::newRow("Hangul") << QStringLiteral("한") << QStringLiteral("ab");
        QTest::newRow("emoji") << QStringLiteral("\U0001F600") << QStringLiteral("ab");
        QTest::newRow("Japanese with Hangul") << QStringLiteral("日한") << QStringLiteral("ab");
    }
    void remarkRefusesWhatTheListFileCannotHold() {
        QFETCH(QString, input);
        QFETCH(QString, text);
        ListWindow w;
        w.MoveTo(1, COL_REMARK);
        w.Press(Qt::Key_Return);
        QVERIFY(w.dlg->Editor().Edit().testAttribute(Qt::WA_InputMethodEnabled));
        w.Type(QStringLiteral("ab"));
        QInputMethodEvent commit; // text from the input method
        commit.setCommitString(input);
        QApplication::sendEvent(&w.dlg->Editor().Edit(), &commit);
        QCOMPARE(w.dlg->Editor().Edit().text(), text);
        QCOMPARE(w.dlg->Editor().Edit().cursorPosition(), int(text.size()));
        w.Press(Qt::Key_Return);
        QCOMPARE(w.Cell(1, COL_REMARK), QLatin1Char(' ') + text);
    }

    void inputMethodOnlyForRemarks() {
        ListWindow w;
        w.MoveTo(1, COL_REMARK);
        w.Press(Qt::Key_Return);
        w.Press(Qt::Key_Return);
        QCOMPARE(w.dlg->Editor().RemarkImeOpen(), 1); // the remark's state is remembered
        w.MoveTo(1, COL_SPNO);
        w.Press(Qt::Key_Return);
        QVERIFY(!w.dlg->Editor().Edit().testAttribute(Qt::WA_InputMethodEnabled));
        w.Press(Qt::Key_Escape);
        w.MoveTo(1, COL_IN);
        w.Press(Qt::Key_Return);
        QVERIFY(!w.dlg->Editor().Edit().testAttribute(Qt::WA_InputMethodEnabled));
    }

    void inButtonDuringARemarkEditCapturesOnTheNextRow() {
        ListWindow w;
        w.MoveTo(1, COL_REMARK);
        w.Press(Qt::Key_Return);
        w.Type(QStringLiteral("cm"));
        QTest::mouseClick(w.dlg->GetDlgItem(IDC_IN), Qt::LeftButton);
        QCOMPARE(w.Cell(1, COL_IN), QString());
        QCOMPARE(w.Cell(2, COL_IN), QStringLiteral("01:00:10:05"));
        QVERIFY(w.dlg->Editor().Edit().isVisible()); // left open without the focus
        QCOMPARE(w.dlg->Editor().Edit().text(), QStringLiteral("cm"));
        // Enter on the grid opens a new edit over the current cell, replacing the old text.
        w.Press(Qt::Key_Return);
        QCOMPARE(w.dlg->Editor().Edit().text(), QStringLiteral("01:00:10:05"));
    }

    void remarkContextMenuKeepsTheEditOnItsCell() {
        ListWindow w;
        w.MoveTo(1, COL_REMARK);
        w.Press(Qt::Key_Return);
        QMenu menu; // as the editor's own context menu would
        menu.addAction(QStringLiteral("x"));
        menu.popup(w.dlg->Editor().Edit().mapToGlobal(QPoint(2, 2)));
        QTRY_VERIFY(menu.isVisible());
        menu.hide();
        QCOMPARE(w.dlg->Grid().GetRow(), 1L);
        QCOMPARE(w.dlg->Grid().GetCol(), long(COL_REMARK));
    }

    void hiddenEditorCommitsNothing() {
        ListWindow w;
        w.EditCell(1, COL_REMARK, QStringLiteral("old"));
        w.dlg->GetDlgItem(IDC_IN)->setFocus();
        w.Press(Qt::Key_R); // opens nothing without the grid focused
        QCOMPARE(w.Cell(2, COL_REMARK), QString());
    }

    void damagedTimecodeCellIsEditedFromTheCurrentTimecode() {
        ListWindow w;
        LayCell(w.dlg->GetSession().List(), 1, COL_IN, QStringLiteral("99:99:99:99"));
        w.Press(Qt::Key_Return);
        QCOMPARE(w.dlg->Editor().Edit().text(), QStringLiteral("01:00:10:05"));
        w.Press(Qt::Key_Escape);
        QCOMPARE(w.Cell(1, COL_IN), QStringLiteral("99:99:99:99")); // kept until a commit
    }
};

QTEST_MAIN(TestCellEdit)
#include "test_cell_edit.moc"
