#include "platform/help.h"

#include "platform/ui_language.h"

#include <QCoreApplication>
#include <QDialog>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {
QPointer<QDialog> g_window;
}

QWidget* TwHelpWindow() {
    return g_window;
}

void TwWinHelp(QWidget* owner) {
    if (!g_window) {
        g_window = new QDialog(owner, Qt::Window);
        g_window->setAttribute(Qt::WA_DeleteOnClose);
        g_window->setWindowTitle(QCoreApplication::translate("Help", "Tarnwick ヘルプ"));
        auto* layout = new QVBoxLayout(g_window);
        layout->setContentsMargins(0, 0, 0, 0);
        auto* browser = new QTextBrowser(g_window);
        QFile page(CurrentUiLanguage() == UiLanguage::English
                       ? QStringLiteral(":/res/help_en.html")
                       : QStringLiteral(":/res/help_ja.html"));
        if (page.open(QIODevice::ReadOnly)) {
            browser->setHtml(QString::fromUtf8(page.readAll()));
        }
        layout->addWidget(browser);
        g_window->resize(560, 600);
    }
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
}
