#pragma once

// A main window ready for the operator: its own working folder, shown, started, active, with
// the grid focused. The poll timer is stopped so that the timecode a test sets stays until
// the next capture.
#include "app/tarnwick_dlg.h"
#include "list_rows.h"
#include "work_folder.h"

#include <QApplication>
#include <QtTest>

#include <memory>

struct ListWindow {
    WorkFolder folder;
    std::unique_ptr<CTarnwickDlg> dlg;

    ListWindow() {
        dlg = std::make_unique<CTarnwickDlg>();
        dlg->show();
        QCoreApplication::sendPostedEvents(dlg.get(), WM_DEFERRED_INIT);
        dlg->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(dlg.get()));
        dlg->GetSession().Poll().KillTimer(dlg->GetSession().Poll().Timer());
        dlg->GetSession().Settings().FrameCheck = 3;
        dlg->GetSession().Settings().Drop = 0;
        SetTimecode("01:00:10:05");
    }
    ~ListWindow() {
        // Closed before it goes, as the program's own window is: destroying it while the
        // editor still has the focus would run the editor's focus handler on the way.
        dlg->hide();
        dlg.reset();
    }

    // The last reading, as the next tick would leave it; an empty text is a silent VTR.
    void SetTimecode(const char* text) {
        dlg->GetSession().Source().TakeReading(
            Timecode::FromText(text, TimecodeRate::Thirty(false)));
    }
    // A key typed by the operator: it goes to whatever has the focus, through the hook.
    void Press(int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QTest::keyClick(QApplication::focusWidget(), Qt::Key(key), mods);
    }
    void Type(const QString& text) { QTest::keyClicks(QApplication::focusWidget(), text); }
    QString Cell(long row, long col) const { return dlg->Grid().GetTextMatrix(row, col); }
    void MoveTo(long row, long col) { dlg->GetSession().List().SetCurrentCell(row, col); }
    // Opens an edit on the cell with Enter, types the text and commits it with Enter.
    void EditCell(long row, long col, const QString& text) {
        MoveTo(row, col);
        Press(Qt::Key_Return);
        Type(text);
        Press(Qt::Key_Return);
    }
    bool GridFocused() const { return QApplication::focusWidget() == &dlg->Grid(); }
};
