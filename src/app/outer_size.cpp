#include "app/outer_size.h"

#include <QWidget>
#include <QWindow>

#include <algorithm>

QMargins OuterSize::Frame() const {
    return m_window.windowHandle() ? m_window.windowHandle()->frameMargins() : QMargins();
}

void OuterSize::Prepare(QSize outer) {
    const QMargins frame = Frame();
    m_window.resize(std::max(1, outer.width() - frame.left() - frame.right()),
                    std::max(1, outer.height() - frame.top() - frame.bottom()));
}

void OuterSize::Apply(QSize outer) {
    const QMargins frame = Frame();
    m_requested = outer;
    m_appliedFrame = frame;
    m_pending = true;
    m_applied = true;
    const int w = std::max(1, outer.width() - frame.left() - frame.right());
    const int h = std::max(1, outer.height() - frame.top() - frame.bottom());
    m_window.resize(w, h);
}

void OuterSize::FrameMayHaveChanged() {
    // Once per change of the frame, so it never fights a window manager that will not take
    // the size.
    if (!m_pending || !m_window.windowHandle() || m_window.isMinimized() ||
        m_window.isMaximized()) {
        return;
    }
    const QMargins frame = Frame();
    if (frame != m_appliedFrame && !frame.isNull()) {
        Apply(m_requested);
    }
}

bool OuterSize::Measure(QSize* outer) {
    if (!m_applied) {
        return false;
    }
    FrameMayHaveChanged();
    const QMargins frame = Frame();
    *outer = QSize(m_window.width() + frame.left() + frame.right(),
                   m_window.height() + frame.top() + frame.bottom());
    if (m_pending && *outer != m_requested && frame == m_appliedFrame) {
        m_pending = false; // sized by the user since
    }
    return true;
}
