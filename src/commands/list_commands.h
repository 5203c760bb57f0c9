#pragma once

#include "commands/trigger.h"
#include "list/spot_list.h"
#include "persist/app_settings.h"
#include "sources/live_timecode.h"

class Polling;
class Screen;
class SourceCommands;

// The list's commands: capture, rows, undo, the frame check and the frame rate. The list
// library does the work; these keep the keyboard on the list and scroll the view to the row
// an operation worked on.
class ListCommands {
public:
    ListCommands(SpotList& list, AppSettings& settings, const SourceCommands& source,
                 Screen& screen, Polling& polling);

    // The rules the list counts by, besides its rate, as the settings hold them now.
    CountingRules ListRules() const;

    // The flag is the list's own: every change sets it. This call is for what counts as a
    // change without being one (Enter, R), and for saving and opening, which clear it.
    void SetModified(int modified);

    void OnIn(const Trigger& trigger);
    void OnOut(const Trigger& trigger);
    // keepText: an edit has just written the cell; the capture numbers the row and moves on.
    void CaptureIn(bool keepText, int64_t pressNs = 0);
    void CaptureOut(bool keepText, int64_t pressNs = 0);
    void OnIns() { InsertRow(); }
    void OnDel() { DeleteRow(); }
    void InsertRow();
    void DeleteRow();
    void OnEnterKeyDown();
    void OnEditUndo();
    void OnEditRedo();
    bool CanUndo() const { return m_list.CanUndo(); }
    bool CanRedo() const { return m_list.CanRedo(); }

    // The frame check: the least gap and the counting, applied to the next computation.
    void ChooseFrameCheck(int frameCheck, Counting counting);
    bool IsFrameCheckChecked(int frameCheck, Counting item) const;
    bool IsDropFrameOffered() const;
    void ShowFrameCheck();

    // The list's frame rate, 24, 25 or 30: applies at once, as one step that undo takes back.
    void ChooseFrameRate(int fps);
    bool IsFrameRateChecked(int fps) const { return m_list.FrameRate() == fps; }
    // The list counts as a picture chosen as the source does: its rate as the rate menu sets
    // it, and at 30 the picture's drop-frame or non-drop counting.
    void FollowRate(const SignalRate& heard);

private:
    void AfterHistoryStep();

    SpotList& m_list;
    AppSettings& m_settings;
    const SourceCommands& m_source;
    Screen& m_screen;
    Polling& m_polling;
};
