#include "platform/message_box.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QMessageBox>

namespace {
MessageBoxHook g_hook;

// A question that only Yes or No can answer. Qt makes No the escape button of a Yes/No box,
// so Esc, the close button and Alt+F4 would all answer No: at the exit question that throws
// the list away. Here they do nothing, and the close button is not offered where the window
// system lets a window go without one.
class YesNoBox : public QMessageBox {
public:
    explicit YesNoBox(QWidget* owner) : QMessageBox(owner) {
        setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint);
    }

protected:
    void keyPressEvent(QKeyEvent* e) override {
        if (e->matches(QKeySequence::Cancel)) {
            e->accept();
            return;
        }
        QMessageBox::keyPressEvent(e);
    }
    void closeEvent(QCloseEvent* e) override { e->ignore(); }
    // A button ends the box through done(); nothing else may.
    void reject() override {}
};
} // namespace

void SetMessageBoxHook(MessageBoxHook hook) {
    g_hook = std::move(hook);
}

BoxAnswer TwMessageBox(QWidget* owner, const QString& text, BoxButtons type) {
    const QString caption = QStringLiteral("Tarnwick");
    if (g_hook) {
        return g_hook(MessageBoxRequest{owner, text, caption, type});
    }
    if (type == BoxButtons::YesNo) {
        YesNoBox box(owner);
        box.setWindowTitle(caption);
        box.setText(text);
        box.setIcon(QMessageBox::NoIcon);
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    }
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(QMessageBox::NoIcon);
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return BoxAnswer::Ok;
}
