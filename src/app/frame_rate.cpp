// The list's frame rate: the context menu's choice of 24, 25 or 30 frames, and the rules the
// list counts by.
#include "app/tarnwick_dlg.h"

#include "formats/list_export.h"
#include "platform/message_box.h"

CountingRules CTarnwickDlg::ListRules() const {
    return CountingRules{m_settings.FrameCheck, m_settings.Drop == 1};
}

bool CTarnwickDlg::IsFrameRateItemChecked(int id) const {
    const int fps = id == ID_FRAMERATE_24 ? 24 : id == ID_FRAMERATE_25 ? 25 : 30;
    return m_list.FrameRate() == fps;
}

// Applies at once, as one step that undo takes back. Labels the new rate cannot hold keep
// their text and make no duration, and the operator is told where they are.
void CTarnwickDlg::ChooseFrameRate(int fps) {
    const QVector<int> beyond = m_list.SetFrameRate(fps);
    ShowFrameCheck();
    m_grid.setFocus();
    if (!beyond.isEmpty()) {
        PollPause pause(*this);
        TwMessageBox(this,
                     QStringLiteral("次の行のINまたはOUTは%1フレームにないタイムコードのため、"
                                    "DURATIONを計算していません（タイムコードはそのままです）。\n"
                                    "対象のNo: %2")
                         .arg(fps)
                         .arg(RowNumberList(beyond)));
    }
}
