#include "app/main_controls.h"

#include "app/dialog_units.h"
#include "app/resource.h"
#include "grid/msflexgrid.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

namespace {

// Template rectangles of the main dialog's controls, in dialog units.
struct ControlTemplate {
    int id;
    int x, y, cx, cy;
};
constexpr ControlTemplate kTemplate[] = {
    {IDC_VITC_LABEL, 2, 7, 16, 8},
    {IDC_TC_DISPLAY, 20, 5, 51, 12},
    {IDC_IN, 25, 255, 22, 15},
    {IDC_OUT, 48, 255, 22, 15},
    {IDC_INS, 86, 255, 22, 15},
    {IDC_DEL, 109, 255, 22, 15},
    {IDC_ENTER, 231, 16, 53, 14},
    {IDC_CELL_EDIT, 141, 257, 35, 14},
    {IDC_FRAMECHECK_LABEL, 88, 7, 87, 8},
    {IDC_BTN_PLUS, 205, 1, 13, 14},
    {IDC_BTN_SQUARE, 191, 1, 13, 14},
    {IDC_BTN_MINUS, 177, 1, 13, 14},
    {IDC_GRID, 0, 24, 223, 113},
};
constexpr int kDialogWidthDu = 366;
constexpr int kDialogHeightDu = 278;

QPushButton* MakeButton(QWidget* parent, const QString& caption) {
    auto* button = new QPushButton(caption, parent);
    button->setAutoDefault(false); // Enter is routed by the dialog itself
    button->setFocusPolicy(Qt::StrongFocus);
    return button;
}

} // namespace

QWidget* MainControls::ById(int id) const {
    switch (id) {
    case IDC_GRID:
        return grid;
    case IDC_TC_DISPLAY:
        return tcDisplay;
    case IDC_IN:
        return in;
    case IDC_OUT:
        return out;
    case IDC_VITC_LABEL:
        return vitcLabel;
    case IDC_INS:
        return ins;
    case IDC_DEL:
        return del;
    case IDC_ENTER:
        return enter;
    case IDC_CELL_EDIT:
        return editCell;
    case IDC_FRAMECHECK_LABEL:
        return frameCheckLabel;
    case IDC_BTN_PLUS:
        return plus;
    case IDC_BTN_SQUARE:
        return square;
    case IDC_BTN_MINUS:
        return minus;
    default:
        return nullptr;
    }
}

QSize CreateMainControls(QWidget* window, CMSFlexGrid* grid, QLineEdit* editCell,
                         const std::function<QString(int)>& caption, MainControls* c) {
    c->client = new QWidget(window);
    const DialogBaseUnits base = DialogBaseUnitsOf(window->font());

    c->vitcLabel = new QLabel(QStringLiteral("VITC"), c->client);
    c->tcDisplay = new QLabel(QStringLiteral("--:--:--:--"), c->client);
    c->tcDisplay->setAlignment(Qt::AlignCenter);
    c->tcDisplay->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    c->frameCheckLabel = new QLabel(
        QCoreApplication::translate("ListCommands", "ﾌﾚｰﾑﾁｪｯｸ=%1(Drop)").arg(3), c->client);
    const auto button = [&](int id) { return MakeButton(c->client, caption(id)); };
    c->in = button(IDC_IN);
    c->out = button(IDC_OUT);
    c->ins = button(IDC_INS);
    c->del = button(IDC_DEL);
    c->enter = button(IDC_ENTER);
    c->enter->hide();
    c->plus = button(IDC_BTN_PLUS);
    c->square = button(IDC_BTN_SQUARE);
    c->minus = button(IDC_BTN_MINUS);

    // The edit box precedes the grid in the Z order so that it covers the cell it edits.
    c->grid = grid;
    c->editCell = editCell;
    grid->setParent(c->client);
    editCell->setParent(c->client);
    editCell->hide();
    editCell->setFrame(true);
    // Text typed into the cell editor is drawn red; no other control changes colour.
    QPalette editPalette = editCell->palette();
    editPalette.setColor(QPalette::Text, QColor(255, 0, 0));
    editCell->setPalette(editPalette);

    for (const ControlTemplate& t : kTemplate) {
        if (QWidget* w = c->ById(t.id)) {
            w->setGeometry(MapDialogRect(base, t.x, t.y, t.cx, t.cy));
        }
    }
    editCell->raise();
    return MapDialogRect(base, 0, 0, kDialogWidthDu, kDialogHeightDu).size();
}
