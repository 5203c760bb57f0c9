#include "platform/message_box.h"

#include <QApplication>
#include <QMessageBox>

namespace {
MessageBoxHook g_hook;
}

void SetMessageBoxHook(MessageBoxHook hook) {
    g_hook = std::move(hook);
}

BoxAnswer TwMessageBox(QWidget* owner, const QString& text, BoxButtons type) {
    const QString caption = QStringLiteral("Tarnwick");
    if (g_hook) {
        return g_hook(MessageBoxRequest{owner, text, caption, type});
    }
    QMessageBox box(owner);
    box.setWindowTitle(caption);
    box.setText(text);
    box.setIcon(QMessageBox::NoIcon);
    if (type == BoxButtons::YesNo) {
        box.setStandardButtons(QMessageBox::Yes | QMessageBox::No);
        box.setDefaultButton(QMessageBox::Yes);
        return box.exec() == QMessageBox::Yes ? BoxAnswer::Yes : BoxAnswer::No;
    }
    box.setStandardButtons(QMessageBox::Ok);
    box.exec();
    return BoxAnswer::Ok;
}
