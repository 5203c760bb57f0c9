#pragma once

#include <QPoint>

class CMSFlexGrid;
class Polling;
class QMenu;
class QWidget;

// From the keyboard the list's menu opens at the current cell.
constexpr QPoint KEYBOARD_MENU_POINT(-1, -1);

// The window's own commands: the about box, help, the list's context menu and the small
// buttons that only give the list the keyboard back.
class ViewCommands {
public:
    ViewCommands(QWidget& window, CMSFlexGrid& grid, Polling& polling);

    void OnAbout();
    void OnHelpContents();
    void OnSysCommand(int id);
    // at: where on the screen it was asked for; KEYBOARD_MENU_POINT from the keyboard.
    void OnGridContextMenu(QMenu* menu, QPoint at);
    void OnSmallButton();

private:
    QWidget& m_window;
    CMSFlexGrid& m_grid;
    Polling& m_polling;
};
