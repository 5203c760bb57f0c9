#pragma once

#include <QString>
#include <functional>

class QWidget;

// Message boxes: every failure reaches the user this way, always with the caption
// "Tarnwick". Tests answer boxes through the hook instead of a person. The buttons and
// answers are spelled apart from the platform's MB_ and ID macros, so that a Windows build
// can include both.
enum class BoxButtons { Ok, YesNo };
enum class BoxAnswer { Ok, Yes, No };

struct MessageBoxRequest {
    QWidget* owner;
    QString text;
    QString caption;
    BoxButtons type;
};

// When set, called instead of showing a box; its result is the button pressed.
using MessageBoxHook = std::function<BoxAnswer(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);

// Shows a modal box with the given text, the caption "Tarnwick" and the given buttons.
BoxAnswer TwMessageBox(QWidget* owner, const QString& text, BoxButtons type = BoxButtons::Ok);
