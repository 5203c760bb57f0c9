#include "platform/help.h"

#include "platform/ui_language.h"

#include <QCoreApplication>
#include <QDialog>
#include <QEvent>
#include <QFile>
#include <QPointer>
#include <QTextBrowser>
#include <QVBoxLayout>

namespace {

// The help in the language in place, again whenever it changes.
class HelpWindow : public QDialog {
public:
    explicit HelpWindow(QWidget* owner) : QDialog(owner, Qt::Window) {
        setAttribute(Qt::WA_DeleteOnClose);
        auto* layout = new QVBoxLayout(this);
        layout->setContentsMargins(0, 0, 0, 0);
        m_browser = new QTextBrowser(this);
        layout->addWidget(m_browser);
        resize(560, 600);
        ShowTexts();
    }

protected:
    void changeEvent(QEvent* e) override {
        QDialog::changeEvent(e);
        if (e->type() == QEvent::LanguageChange)
            ShowTexts();
    }

private:
    void ShowTexts() {
        setWindowTitle(QCoreApplication::translate("Help", "Tarnwick ヘルプ"));
        QFile page(CurrentUiLanguage() == UiLanguage::English
                       ? QStringLiteral(":/res/help_en.html")
                       : QStringLiteral(":/res/help_ja.html"));
        if (page.open(QIODevice::ReadOnly))
            m_browser->setHtml(QString::fromUtf8(page.readAll()));
    }

    QTextBrowser* m_browser = nullptr;
};

QPointer<QDialog> g_window;

} // namespace

QWidget* TwHelpWindow() {
    return g_window;
}

void TwWinHelp(QWidget* owner) {
    if (!g_window)
        g_window = new HelpWindow(owner);
    g_window->show();
    g_window->raise();
    g_window->activateWindow();
}
