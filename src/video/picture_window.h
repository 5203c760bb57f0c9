#pragma once

#include <QImage>
#include <QString>
#include <QWidget>

#include <functional>

// The picture of a video file in a window of its own: the frame, letterboxed, and under it the
// timecode of that very frame. F11 and Alt+Enter switch full screen; every other key goes to
// the forwarder, so that the list's keys work with this window in front.
class PictureWindow : public QWidget {
    Q_OBJECT
public:
    PictureWindow();

    // The frame and its label, shown together: they change only together.
    void SetFrame(const QImage& frame, const QString& label);
    const QImage& Frame() const { return m_frame; }
    const QString& Label() const { return m_label; }
    // The size, in device pixels, that a frame should be drawn at to fill the picture's area.
    QSize PictureSize() const;

    void SetKeyForwarder(std::function<bool(QKeyEvent*)> forward) {
        m_forward = std::move(forward);
    }
    void SetResized(std::function<void()> resized) { m_resized = std::move(resized); }
    void ToggleFullScreen();

protected:
    void paintEvent(QPaintEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    int LabelHeight() const;
    QRect PictureRect() const;
    bool Forward(QKeyEvent* event);

    QImage m_frame;
    QString m_label;
    std::function<bool(QKeyEvent*)> m_forward;
    std::function<void()> m_resized;
};
