#pragma once

#include <QString>
#include <functional>

class QWidget;

// Message boxes: every failure reaches the user this way, always with the caption
// "Tarnwick". Tests answer boxes through the hook instead of a person.
constexpr int MB_OK = 0x0;
constexpr int MB_YESNO = 0x4;
constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDYES = 6;
constexpr int IDNO = 7;

struct MessageBoxRequest {
    QWidget* owner;
    QString text;
    QString caption;
    int type;
};

// When set, called instead of showing a box; its result is the button pressed.
using MessageBoxHook = std::function<int(const MessageBoxRequest&)>;
void SetMessageBoxHook(MessageBoxHook hook);

// Shows a modal box with the given text, the caption "Tarnwick" and the buttons of
// type (MB_OK or MB_YESNO). Returns IDOK, IDYES or IDNO.
int TwMessageBox(QWidget* owner, const QString& text, int type = MB_OK);
