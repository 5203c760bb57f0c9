#include "platform/menu_open.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

namespace {

// The item a keyboard-opened menu starts on, as the menu's own Down key would choose it.
QAction* FirstSelectableItem(const QMenu* menu) {
    for (QAction* item : menu->actions()) {
        if (item->isVisible() && !item->isSeparator() && item->isEnabled()) {
            return item;
        }
    }
    return nullptr;
}

} // namespace

void QueueMenuOpen(QMenuBar* bar, int index) {
    // The bar is the timer's context: a bar gone by then cancels the opening.
    QTimer::singleShot(0, bar, [bar, index] {
        if (index < 0 || index >= bar->actions().size()) {
            return;
        }
        QAction* popup = bar->actions().at(index);
        QMenu* menu = popup->menu();
        if (!menu || !popup->isEnabled()) {
            return;
        }
        // Selecting a menu-bar entry pops its menu up at once, without a loop of its own,
        // but with nothing selected. A menu opened from the keyboard starts on its first
        // item, so that Enter runs it and Down moves to the second.
        bar->setActiveAction(popup);
        if (menu->isVisible()) {
            menu->setActiveAction(FirstSelectableItem(menu));
        }
    });
}
