#pragma once

#include <QFont>
#include <QRect>

// Dialog units: a quarter of the dialog font's average character width horizontally and an
// eighth of its height vertically, so that layouts scale with the font.
struct DialogBaseUnits {
    int x;
    int y;
};

DialogBaseUnits DialogBaseUnitsOf(const QFont& font);
QRect MapDialogRect(const DialogBaseUnits& base, int x, int y, int cx, int cy);
