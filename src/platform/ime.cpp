#include "platform/ime.h"

#include <QGuiApplication>
#include <QInputMethod>
#include <QWidget>

#ifdef Q_OS_WIN
#include <windows.h>

#include <imm.h>

// Qt keeps one native window per top-level window, so the box's input context is that of
// its window.
bool ImeGetOpenStatus(const QWidget* edit) {
    const HWND hwnd = reinterpret_cast<HWND>(edit->window()->winId());
    const HIMC context = ImmGetContext(hwnd);
    if (!context) {
        return false;
    }
    const bool open = ImmGetOpenStatus(context) != FALSE;
    ImmReleaseContext(hwnd, context);
    return open;
}

void ImeSetOpenStatus(QWidget* edit, bool open) {
    // The box must take input-method text for the switch to mean anything.
    edit->setAttribute(Qt::WA_InputMethodEnabled, true);
    const HWND hwnd = reinterpret_cast<HWND>(edit->window()->winId());
    const HIMC context = ImmGetContext(hwnd);
    if (!context) {
        return;
    }
    ImmSetOpenStatus(context, open ? TRUE : FALSE);
    ImmReleaseContext(hwnd, context);
}

bool ImeOperatorCanOpen() {
    return true;
}

#else

bool ImeGetOpenStatus(const QWidget* edit) {
    return edit->testAttribute(Qt::WA_InputMethodEnabled);
}

void ImeSetOpenStatus(QWidget* edit, bool open) {
    if (edit->testAttribute(Qt::WA_InputMethodEnabled) == open) {
        return;
    }
    edit->setAttribute(Qt::WA_InputMethodEnabled, open);
    // A focused box must be announced again, or the framework keeps converting (or keeps
    // ignoring) its keys as it did when the box got the focus.
    if (edit->hasFocus()) {
        QGuiApplication::inputMethod()->update(Qt::ImEnabled);
    }
}

bool ImeOperatorCanOpen() {
    return false;
}

#endif
