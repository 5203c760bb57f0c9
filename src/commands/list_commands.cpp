#include "commands/list_commands.h"

#include "commands/polling.h"
#include "commands/screen.h"
#include "commands/source_commands.h"
#include "formats/list_export.h"
#include "platform/message_box.h"

#include <QCoreApplication>

ListCommands::ListCommands(SpotList& list, AppSettings& settings, const SourceCommands& source,
                           Screen& screen, Polling& polling)
    : m_list(list), m_settings(settings), m_source(source), m_screen(screen), m_polling(polling) {}

// The Drop setting counts drop-frame when it is exactly 1; the menu and the label show Drop
// for any value but 0, so a file's Drop=2 shows Drop and counts non-drop, as it always has.
CountingRules ListCommands::ListRules() const {
    return CountingRules{m_settings.FrameCheck, m_settings.Drop == 1};
}

void ListCommands::SetModified(int modified) {
    if (modified != 0) {
        m_list.MarkModified();
    } else {
        m_list.MarkSaved();
    }
}

// A click takes the frame of the moment the button went down, not of its release; a key, of
// the moment the key went down.
void ListCommands::OnIn(const Trigger& trigger) {
    CaptureIn(false, trigger.pressNs);
}

void ListCommands::OnOut(const Trigger& trigger) {
    CaptureOut(false, trigger.pressNs);
}

void ListCommands::CaptureIn(bool keepText, int64_t pressNs) {
    const long row = m_list.Row();
    m_list.CaptureIn(m_source.CaptureTimecode(keepText, pressNs), keepText);
    m_screen.ScrollToRow(row);
    m_screen.FocusList();
}

void ListCommands::CaptureOut(bool keepText, int64_t pressNs) {
    const long row = m_list.Row();
    m_list.CaptureOut(m_source.CaptureTimecode(keepText, pressNs), keepText);
    m_screen.ScrollToRow(row);
    m_screen.FocusList();
}

// At the limits nothing changes, the focus included.
void ListCommands::InsertRow() {
    if (m_list.InsertRow()) {
        m_screen.FocusList();
    }
}

void ListCommands::DeleteRow() {
    if (m_list.DeleteRow()) {
        m_screen.FocusList();
    }
}

// Enter has always counted as a change to save, whether it opens an edit, commits one or
// clicks a focused button: the flag is set before the window's own Enter handling does that.
void ListCommands::OnEnterKeyDown() {
    SetModified(1);
}

void ListCommands::OnEditUndo() {
    if (m_list.Undo()) {
        AfterHistoryStep();
    }
}

void ListCommands::OnEditRedo() {
    if (m_list.Redo()) {
        AfterHistoryStep();
    }
}

// Undo and redo put back the cells, the rows and the current cell of a step.
void ListCommands::AfterHistoryStep() {
    ShowFrameCheck(); // a step may have been a change of the frame rate
    m_screen.ScrollToRow(m_list.Row());
    m_screen.FocusList();
}

void ListCommands::ChooseFrameCheck(int frameCheck, Counting counting) {
    m_settings.FrameCheck = frameCheck;
    m_settings.Drop = counting == Counting::DropFrame ? 1 : 0;
    ShowFrameCheck();
}

// A frame-check item is checked when its gap and counting are the settings': NonDrop items
// for Drop 0, Drop items for any other value; a gap the menu does not offer checks none.
bool ListCommands::IsFrameCheckChecked(int frameCheck, Counting item) const {
    const bool drop = m_settings.Drop != 0 && IsDropFrameOffered();
    return (item == Counting::DropFrame) == drop && m_settings.FrameCheck == frameCheck;
}

// Drop-frame exists at 30 frames only: at 24 and 25 the Drop items are greyed, the list counts
// non-drop, and the Drop setting waits for a return to 30.
bool ListCommands::IsDropFrameOffered() const {
    return RateHasDropFrame(m_list.FrameRate());
}

void ListCommands::ShowFrameCheck() {
    const QString text = m_settings.Drop != 0 && IsDropFrameOffered()
                             ? QCoreApplication::translate("ListCommands", "ﾌﾚｰﾑﾁｪｯｸ=%1(Drop)")
                             : QCoreApplication::translate("ListCommands", "ﾌﾚｰﾑﾁｪｯｸ=%1(NonDrop)");
    m_screen.ShowFrameCheck(text.arg(m_settings.FrameCheck));
}

// Labels the new rate cannot hold keep their text and make no duration, and the operator is
// told where they are.
void ListCommands::ChooseFrameRate(int fps) {
    const QVector<int> beyond = m_list.SetFrameRate(fps);
    ShowFrameCheck();
    m_screen.FocusList();
    if (!beyond.isEmpty()) {
        Polling::Pause pause(m_polling);
        TwMessageBox(m_screen.Owner(),
                     QCoreApplication::translate(
                         "ListCommands",
                         "次の行のINまたはOUTは%1フレームにないタイムコードのため、"
                         "DURATIONを計算していません（タイムコードはそのままです）。\n"
                         "対象のNo: %2")
                         .arg(fps)
                         .arg(RowNumberList(beyond)));
    }
}

void ListCommands::FollowRate(const SignalRate& heard) {
    const TimecodeRate rate = heard.rate;
    const int fps = rate.Fps();
    const bool drop = rate.DropFrame();
    const bool dropNow = m_settings.Drop != 0 && IsDropFrameOffered();
    if (fps == m_list.FrameRate() && (fps != 30 || drop == dropNow)) {
        return;
    }
    bool labels = false;
    for (const ListRowText& row : m_list.Rows()) {
        labels = labels || !row.in.isEmpty() || !row.out.isEmpty();
    }
    if (fps != m_list.FrameRate()) {
        ChooseFrameRate(fps);
    }
    if (fps == 30) {
        m_settings.Drop = drop ? 1 : 0;
        ShowFrameCheck();
    }
    if (labels) {
        Polling::Pause pause(m_polling);
        TwMessageBox(m_screen.Owner(),
                     QCoreApplication::translate(
                         "ListCommands",
                         "リストのフレームレートをビデオファイルに合わせて%1にしました"
                         "（元に戻すで戻せます）。\n"
                         "入力済みのタイムコードは前のレートで入力されたものです。")
                         .arg(QString::fromStdString(SignalRateText(heard))));
    }
}
