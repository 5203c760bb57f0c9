#pragma once

#include <QSize>

#include <functional>

class CMSFlexGrid;
class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The main window's controls as its template lays them out: the timecode line above the
// list, the buttons below it, and the cell editor over it. Made once, owned by the client
// area they sit on.
struct MainControls {
    QWidget* client = nullptr;
    QLabel* vitcLabel = nullptr;
    QLabel* tcDisplay = nullptr;
    QLabel* frameCheckLabel = nullptr;
    QPushButton* in = nullptr;
    QPushButton* out = nullptr;
    QPushButton* ins = nullptr;
    QPushButton* del = nullptr;
    QPushButton* enter = nullptr; // hidden: the default button Enter clicks
    QPushButton* plus = nullptr;
    QPushButton* square = nullptr;
    QPushButton* minus = nullptr;
    CMSFlexGrid* grid = nullptr;
    QLineEdit* editCell = nullptr;

    // The control of a template id (resource.h); null for none.
    QWidget* ById(int id) const;
};

// Makes the controls on a new client area of window, at the template's rectangles mapped
// from dialog units by the window's font; grid and editCell are the window's own. caption
// gives each button's caption by its id, translated. Returns the client size of the template.
QSize CreateMainControls(QWidget* window, CMSFlexGrid* grid, QLineEdit* editCell,
                         const std::function<QString(int)>& caption, MainControls* controls);
