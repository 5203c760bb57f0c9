#include "app/view_commands.h"

#include "app/about_dlg.h"
#include "app/resource.h"
#include "commands/polling.h"
#include "grid/msflexgrid.h"
#include "platform/help.h"
#include "platform/modal.h"

#include <QMenu>

ViewCommands::ViewCommands(QWidget& window, CMSFlexGrid& grid, Polling& polling)
    : m_window(window), m_grid(grid), m_polling(polling) {}

void ViewCommands::OnAbout() {
    Polling::Pause pause(m_polling);
    CAboutDlg about(&m_window);
    TwDoModal(about);
}

void ViewCommands::OnHelpContents() {
    // Help is not modal: the polling keeps running.
    TwWinHelp(&m_window);
}

void ViewCommands::OnSysCommand(int id) {
    if ((id & 0xFFF0) == IDM_ABOUTBOX) {
        OnAbout();
    }
}

void ViewCommands::OnGridContextMenu(QMenu* menu, QPoint at) {
    if (at == KEYBOARD_MENU_POINT) {
        // From the keyboard the menu opens at the current cell, below its left edge.
        at = m_grid.mapToGlobal(QPoint(
            int(m_grid.GetCellLeft() / CMSFlexGrid::TWIPS_PER_PIXEL),
            int((m_grid.GetCellTop() + m_grid.GetCellHeight()) / CMSFlexGrid::TWIPS_PER_PIXEL)));
    }
    menu->exec(at);
}

void ViewCommands::OnSmallButton() {
    m_grid.setFocus();
}
