#include "app/dialog_units.h"

#include <QFontInfo>
#include <QFontMetrics>

namespace {
// Multiplies and divides with rounding to nearest, as dialog templates are mapped.
int MulDiv(int number, int numerator, int denominator) {
    const long long product = static_cast<long long>(number) * numerator;
    const long long half = denominator / 2;
    return static_cast<int>(product >= 0 ? (product + half) / denominator
                                         : (product - half) / denominator);
}
} // namespace

DialogBaseUnits DialogBaseUnitsOf(const QFont& font) {
    const QFontMetrics metrics(font);
    // The average width of the 52 letters, rounded: the rule templates were designed by.
    const int letters = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    // The vertical unit is the font's em height: the faces layouts were designed with have
    // no extra line gap, while the fallback faces add a large one that would stretch every
    // control.
    const int em = QFontInfo(font).pixelSize();
    return DialogBaseUnits{(letters / 26 + 1) / 2, em > 0 ? em : metrics.height()};
}

QRect MapDialogRect(const DialogBaseUnits& base, int x, int y, int cx, int cy) {
    return QRect(MulDiv(x, base.x, 4), MulDiv(y, base.y, 8), MulDiv(cx, base.x, 4),
                 MulDiv(cy, base.y, 8));
}
