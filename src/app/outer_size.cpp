#include "app/outer_size.h"

#include <QWidget>
#include <QWindow>

#include <algorithm>

QSize UsableOuterSize(QSize stored, QSize minimum) {
    const int w = stored.width() > 0 ? stored.width() : DEFAULT_WINDOW_WIDTH;
    const int h = stored.height() > 0 ? stored.height() : DEFAULT_WINDOW_HEIGHT;
    return QSize(std::max(w, minimum.width()), std::max(h, minimum.height()));
}

OuterSize::OuterSize(QWidget& window, FrameSource frame)
    : m_window(window), m_frame(std::move(frame)) {}

QMargins OuterSize::Frame() const {
    if (m_frame) {
        return m_frame();
    }
    return m_window.windowHandle() ? m_window.windowHandle()->frameMargins() : QMargins();
}

QSize OuterSize::Target(const QMargins& frame) const {
    const QSize frameSize(frame.left() + frame.right(), frame.top() + frame.bottom());
    return UsableOuterSize(m_requested, m_minInner + frameSize);
}

void OuterSize::Prepare(QSize outer, QSize minInner) {
    m_window.resize(UsableOuterSize(outer, minInner));
}

void OuterSize::Apply(QSize outer, QSize minInner) {
    m_requested = UsableOuterSize(outer, QSize());
    m_minInner = minInner;
    if (!m_pending) {
        m_ownSizes.clear();
    }
    // The window system may still report the size the window had before.
    m_ownSizes.append(m_window.size());
    m_pending = true;
    m_applied = true;
    Resize();
}

void OuterSize::Resize() {
    const QMargins frame = Frame();
    m_appliedFrame = frame;
    const QSize target = Target(frame);
    const QSize inner(std::max(1, target.width() - frame.left() - frame.right()),
                      std::max(1, target.height() - frame.top() - frame.bottom()));
    m_ownSizes.append(inner);
    m_window.resize(inner);
}

void OuterSize::FrameMayHaveChanged() {
    // Once per change of the frame, so it never fights a window manager that will not take
    // the size.
    if (!m_pending || (!m_frame && !m_window.windowHandle()) || m_window.isMinimized() ||
        m_window.isMaximized()) {
        return;
    }
    const QMargins frame = Frame();
    if (frame != m_appliedFrame && !frame.isNull()) {
        Resize();
    }
}

bool OuterSize::Measure(QSize* outer) {
    if (!m_applied) {
        return false;
    }
    FrameMayHaveChanged();
    const QMargins frame = Frame();
    if (m_pending) {
        if (m_ownSizes.contains(m_window.size())) {
            *outer = Target(frame);
            return true;
        }
        m_pending = false; // sized by the user since
        m_ownSizes.clear();
    }
    *outer = QSize(m_window.width() + frame.left() + frame.right(),
                   m_window.height() + frame.top() + frame.bottom());
    return true;
}
