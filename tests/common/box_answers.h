#pragma once

// Answers for the boxes a window test meets: each file dialog takes the next queued path
// (none left cancels), each message box is recorded and a Yes/No one answered with yesNo.
// Or, for the real thing, WhenUp.
#include "platform/file_dialog.h"
#include "platform/message_box.h"

#include <QApplication>
#include <QFile>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include <functional>

struct BoxAnswers {
    QStringList files;
    QList<FileDialogRequest> dialogs;
    QStringList messages;
    BoxAnswer yesNo = BoxAnswer::No;

    BoxAnswers() {
        SetFileDialogHook([this](const FileDialogRequest& r) {
            dialogs << r;
            return files.isEmpty() ? QString() : files.takeFirst();
        });
        SetMessageBoxHook([this](const MessageBoxRequest& r) {
            messages << r.text;
            return r.type == BoxButtons::YesNo ? yesNo : BoxAnswer::Ok;
        });
    }
    ~BoxAnswers() {
        SetFileDialogHook(nullptr);
        SetMessageBoxHook(nullptr);
    }
};

inline QByteArray FileBytes(const QString& path) {
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Runs look on the pop-up menu or modal box once it is up (inside its own loop), then closes
// it; gives up after some five seconds, so that it can close nothing of a later test.
inline void WhenUp(const std::function<void(QWidget*)>& look, int tries = 500) {
    QTimer::singleShot(10, [look, tries] {
        QWidget* up = QApplication::activePopupWidget() ? QApplication::activePopupWidget()
                                                        : QApplication::activeModalWidget();
        if (up) {
            look(up);
            up->close();
        } else if (tries > 0) {
            WhenUp(look, tries - 1);
        }
    });
}
