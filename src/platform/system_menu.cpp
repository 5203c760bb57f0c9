#include "platform/system_menu.h"

#include <QWidget>

#ifdef Q_OS_WIN
#include <QAbstractNativeEventFilter>
#include <QCoreApplication>
#include <windows.h>

namespace {
class SysCommandFilter : public QAbstractNativeEventFilter {
public:
    SysCommandFilter(HWND hwnd, int id, std::function<void(int)> cb)
        : m_hwnd(hwnd), m_id(id), m_cb(std::move(cb)) {}
    bool nativeEventFilter(const QByteArray&, void* message, qintptr*) override {
        const MSG* msg = static_cast<const MSG*>(message);
        if (msg->hwnd == m_hwnd && msg->message == WM_SYSCOMMAND &&
            static_cast<int>(msg->wParam & 0xFFF0) == m_id) {
            m_cb(static_cast<int>(msg->wParam));
            return true;
        }
        return false;
    }

private:
    HWND m_hwnd;
    int m_id;
    std::function<void(int)> m_cb;
};
} // namespace

void AddAboutToSystemMenu(QWidget* window, int commandId, const QString& text,
                          std::function<void(int)> onCommand) {
    if (text.isEmpty()) {
        return;
    }
    HWND hwnd = reinterpret_cast<HWND>(window->winId());
    HMENU menu = GetSystemMenu(hwnd, FALSE);
    if (!menu) {
        return;
    }
    const auto label = reinterpret_cast<LPCWSTR>(text.utf16());
    // Asked again (the language changed), the entry is renamed, not added twice.
    if (GetMenuState(menu, commandId, MF_BYCOMMAND) != static_cast<UINT>(-1)) {
        ModifyMenuW(menu, commandId, MF_BYCOMMAND | MF_STRING, commandId, label);
        return;
    }
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING, commandId, label);
    QCoreApplication::instance()->installNativeEventFilter(
        new SysCommandFilter(hwnd, commandId, std::move(onCommand)));
}
#else
void AddAboutToSystemMenu(QWidget*, int, const QString&, std::function<void(int)>) {}
#endif
