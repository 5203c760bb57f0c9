#include "app/recovery_indicator.h"

#include <QEvent>
#include <QLabel>

namespace {

constexpr int GAP_PX = 8;

void Place(const QLabel* besides, QLabel* indicator) {
    indicator->adjustSize();
    // On the neighbour's line, centred on it whatever the two fonts' heights.
    indicator->move(besides->geometry().right() + 1 + GAP_PX,
                    besides->geometry().center().y() - indicator->height() / 2);
}

// Keeps the indicator beside its neighbour, which the layout moves as the window is sized.
class Beside : public QObject {
public:
    Beside(QLabel* besides, QLabel* indicator)
        : QObject(indicator), m_besides(besides), m_indicator(indicator) {
        besides->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == m_besides && (e->type() == QEvent::Move || e->type() == QEvent::Resize))
            Place(m_besides, m_indicator);
        return false;
    }

private:
    QLabel* m_besides;
    QLabel* m_indicator;
};

} // namespace

void ShowRecoveryIndicator(QLabel* besides, const QString& text, const QString& detail) {
    QWidget* line = besides->parentWidget();
    auto* indicator = line->findChild<QLabel*>(QLatin1String(RECOVERY_INDICATOR_NAME),
                                               Qt::FindDirectChildrenOnly);
    if (!indicator) {
        if (text.isEmpty())
            return;
        indicator = new QLabel(line);
        indicator->setObjectName(QLatin1String(RECOVERY_INDICATOR_NAME));
        indicator->setFocusPolicy(Qt::NoFocus);
        indicator->setFont(besides->font());
        QPalette red = indicator->palette();
        red.setColor(QPalette::WindowText, QColor(255, 0, 0));
        indicator->setPalette(red);
        new Beside(besides, indicator);
    }
    indicator->setText(text);
    indicator->setToolTip(detail);
    Place(besides, indicator);
    indicator->setVisible(!text.isEmpty());
}
