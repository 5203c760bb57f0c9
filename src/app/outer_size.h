#pragma once

#include <QMargins>
#include <QSize>

class QWidget;

// The main window's outer size, frame included, as the settings keep it. The window manager
// frames a window some time after it is shown and reports the frame's size later still, so
// the size asked for is applied again once the frame is known: a run that changes nothing
// writes back exactly the size it read.
class OuterSize {
public:
    explicit OuterSize(QWidget& window) : m_window(window) {}

    // Sizes the window before it is first shown, as near this outer size as can be told
    // without a frame. The window manager then maps it at that size: a window mapped at
    // another size and resized while it is being framed may have the resize overtaken by the
    // window manager's answer to the mapping, which would then pass for the operator's.
    void Prepare(QSize outer);
    // Sizes the window to this outer size (the deferred start-up step).
    void Apply(QSize outer);
    // Shown, activated or moved: the frame may have become known.
    void FrameMayHaveChanged();
    // The outer size to record after a resize. False until Apply has run: until then the
    // window has its template size, which is not the operator's.
    bool Measure(QSize* outer);

private:
    QMargins Frame() const;

    QWidget& m_window;
    QSize m_requested;
    QMargins m_appliedFrame;
    bool m_pending = false; // the requested size is still to be kept against the frame
    bool m_applied = false;
};
