#pragma once

#include "grid/msflexgrid.h"
#include "list/spot_list.h"

// The colours of the list's cells: the No. column, the current cell, and every other cell.
constexpr ColorRef COLOR_NUMBER_CELL = RgbColor(180, 180, 210);
constexpr ColorRef COLOR_CURRENT_CELL = RgbColor(210, 210, 210);
constexpr ColorRef COLOR_PLAIN_CELL = RgbColor(255, 255, 255);

// The grid as a view of the list: it shows the list's rows under the title row, its current
// cell shaded, and scrolls; it keeps nothing of the list itself. It redraws on every change
// of the list and follows its current cell; the operator's moves in the grid (arrows, mouse)
// move the list's current cell.
class ListView {
public:
    ListView(SpotList& list, CMSFlexGrid& grid);
    ListView(const ListView&) = delete;
    ListView& operator=(const ListView&) = delete;

    // Columns and titles.
    void SetUp();

    // The rows the grid shows from its top row, as the layout last counted them; 0 until then.
    int VisibleRows() const { return m_nVisibleRows; }
    void SetVisibleRows(int rows) { m_nVisibleRows = rows; }
    // Brings a row in the lower half of the view to its middle, and scrolls to leftCol.
    void ScrollToRow(int row, int leftCol);

    // The grid's current cell as it leaves and enters a cell: the shading follows it, and a
    // move the operator made becomes the list's.
    void OnLeaveCell();
    void OnEnterCell();

private:
    void Redraw();
    void FollowList();
    void ShadeCell(long row, long col);

    SpotList& m_list;
    CMSFlexGrid& m_grid;
    int m_nVisibleRows = 0;
    bool m_following = false; // the grid's cursor is being moved to the list's
};
