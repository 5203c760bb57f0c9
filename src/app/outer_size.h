#pragma once

#include <QMargins>
#include <QSize>
#include <QVector>

#include <functional>

class QWidget;

constexpr int DEFAULT_WINDOW_WIDTH = 640;
constexpr int DEFAULT_WINDOW_HEIGHT = 480;

// The outer size to open at, from the one the settings hold, dimension by dimension: zero or
// less (a damaged or hand-edited file) takes the default, and a size below the minimum is
// raised to it, so the window can always be used.
QSize UsableOuterSize(QSize stored, QSize minimum);

// The main window's outer size, frame included, as the settings keep it. The window manager
// frames a window some time after it is shown and reports the frame's size later still, so
// the size asked for is applied again once the frame is known. Until the user sizes the
// window, the size recorded is the one asked for: notices of sizes the program set itself,
// which the window system may deliver late and out of step with the frame, are not the user's.
class OuterSize {
public:
    // The frame around the window; by default what the window system reports.
    using FrameSource = std::function<QMargins()>;
    explicit OuterSize(QWidget& window, FrameSource frame = {});

    // Sizes the window before it is first shown, as near this outer size made usable as can
    // be told without a frame, so that the window manager maps it at that size rather than
    // at the template's and the sizing that follows has less to correct.
    void Prepare(QSize outer, QSize minInner);
    // Sizes the window to this outer size made usable (the deferred start-up step);
    // minInner is the least size inside the frame at which the window can be used.
    void Apply(QSize outer, QSize minInner);
    // Shown, activated or moved: the frame may have become known.
    void FrameMayHaveChanged();
    // The outer size to record after a resize. False until Apply has run: until then the
    // window has its template size, which is not the operator's.
    bool Measure(QSize* outer);

private:
    QMargins Frame() const;
    QSize Target(const QMargins& frame) const;
    void Resize();

    QWidget& m_window;
    FrameSource m_frame;
    QSize m_requested; // as read, zero or less already replaced by the default
    QSize m_minInner;
    QMargins m_appliedFrame;
    QVector<QSize> m_ownSizes; // sizes inside the frame the program gave the window
    bool m_pending = false;    // the requested size is still to be kept against the frame
    bool m_applied = false;
};
