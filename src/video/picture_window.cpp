#include "video/picture_window.h"

#include <QCoreApplication>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QPainter>

PictureWindow::PictureWindow() : QWidget(nullptr, Qt::Window) {
    setWindowTitle(QCoreApplication::translate("PictureWindow", "ビデオ"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    font.setPixelSize(24);
    font.setBold(true);
    setFont(font);
    resize(640, 360 + LabelHeight());
    setMinimumSize(160, 90 + LabelHeight());
}

int PictureWindow::LabelHeight() const {
    return fontMetrics().height() + 8;
}

QRect PictureWindow::PictureRect() const {
    return QRect(0, 0, width(), qMax(0, height() - LabelHeight()));
}

QSize PictureWindow::PictureSize() const {
    return PictureRect().size() * devicePixelRatio();
}

void PictureWindow::SetFrame(const QImage& frame, const QString& label) {
    m_frame = frame;
    m_label = label;
    update();
}

void PictureWindow::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), Qt::black);
    const QRect picture = PictureRect();
    if (!m_frame.isNull()) {
        // The frame was drawn for this area (letterboxed by the player); a frame drawn for an
        // older size is scaled to it until the next one comes.
        painter.drawImage(picture, m_frame);
    }
    painter.setPen(Qt::white);
    painter.drawText(QRect(0, picture.bottom() + 1, width(), LabelHeight()), Qt::AlignCenter,
                     m_label);
}

void PictureWindow::ToggleFullScreen() {
    if (isFullScreen())
        showNormal();
    else
        showFullScreen();
}

bool PictureWindow::Forward(QKeyEvent* event) {
    return m_forward && m_forward(event);
}

namespace {

// F11 and Alt+Enter: the window's own, for full screen.
bool IsFullScreenKey(const QKeyEvent* event) {
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    return event->key() == Qt::Key_F11 || (enter && event->modifiers() == Qt::AltModifier);
}

} // namespace

void PictureWindow::keyPressEvent(QKeyEvent* event) {
    if (IsFullScreenKey(event)) {
        if (!event->isAutoRepeat())
            ToggleFullScreen();
        event->accept();
        return;
    }
    if (Forward(event))
        event->accept();
    else
        QWidget::keyPressEvent(event);
}

void PictureWindow::keyReleaseEvent(QKeyEvent* event) {
    if (IsFullScreenKey(event))
        event->accept();
    else if (Forward(event))
        event->accept();
    else
        QWidget::keyReleaseEvent(event);
}

void PictureWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (m_resized)
        m_resized();
}
