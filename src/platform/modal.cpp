#include "platform/modal.h"

#include <QDialog>

namespace {
ModalHook g_hook;
}

void SetModalHook(ModalHook hook) {
    g_hook = std::move(hook);
}

int TwDoModal(QDialog& dialog) {
    if (g_hook) {
        return g_hook(dialog);
    }
    return dialog.exec();
}
