#pragma once

class QWidget;

// The input method of a text box: open, typed keys go through its conversion (Japanese
// input); closed, they reach the box as typed.
//
// On Windows the open status is the input method's own on/off switch of the window's input
// context, which the operator also flips with the 半角/全角 key. Elsewhere the input-method
// framework (IBus, Fcitx) keeps that switch to itself and offers no way to read or set it;
// a program can only decide whether a widget takes input-method text at all, so that is the
// open status there. A box closed that way cannot be opened by the operator's key.
bool ImeGetOpenStatus(const QWidget* edit);
void ImeSetOpenStatus(QWidget* edit, bool open);

// True when a closed box can still be opened by the operator (Windows); false where closing
// shuts the input method out until the program opens it again.
bool ImeOperatorCanOpen();
