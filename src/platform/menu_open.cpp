#include "platform/menu_open.h"

#include <QAction>
#include <QMenuBar>
#include <QTimer>

void QueueMenuOpen(QMenuBar* bar, int index) {
    // The bar is the timer's context: a bar gone by then cancels the opening.
    QTimer::singleShot(0, bar, [bar, index] {
        if (index < 0 || index >= bar->actions().size()) {
            return;
        }
        QAction* popup = bar->actions().at(index);
        if (popup->menu() && popup->isEnabled()) {
            // Selecting a menu-bar entry pops its menu up at once, without a loop of its own.
            bar->setActiveAction(popup);
        }
    });
}
