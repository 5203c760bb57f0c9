#include "app/status_notes.h"

#include <QEvent>
#include <QLabel>

namespace {

constexpr int GAP_PX = 8;
constexpr char PLACER_NAME[] = "statusNotesPlacer";
constexpr StatusNote ORDER[] = {StatusNote::Transport, StatusNote::Document, StatusNote::Rate,
                                StatusNote::Device, StatusNote::Recovery};

QLatin1String NameOf(StatusNote note) {
    switch (note) {
    case StatusNote::Transport:
        return QLatin1String(TRANSPORT_NOTE_NAME);
    case StatusNote::Document:
        return QLatin1String(DOCUMENT_NOTE_NAME);
    case StatusNote::Rate:
        return QLatin1String(RATE_NOTE_NAME);
    case StatusNote::Device:
        return QLatin1String(DEVICE_NOTE_NAME);
    case StatusNote::Recovery:
        break;
    }
    return QLatin1String(RECOVERY_INDICATOR_NAME);
}

QLabel* Find(const QLabel* besides, StatusNote note) {
    return besides->parentWidget()->findChild<QLabel*>(NameOf(note), Qt::FindDirectChildrenOnly);
}

// One after the other, the hidden ones taking no room, on the neighbour's line, centred on it
// whatever the fonts' heights.
void Place(const QLabel* besides) {
    int x = besides->geometry().right() + 1 + GAP_PX;
    for (StatusNote note : ORDER) {
        QLabel* label = Find(besides, note);
        if (!label || label->isHidden())
            continue;
        label->adjustSize();
        label->move(x, besides->geometry().center().y() - label->height() / 2);
        x += label->width() + GAP_PX;
    }
}

// Keeps the notes beside their neighbour, which the layout moves as the window is sized.
class Beside : public QObject {
public:
    explicit Beside(QLabel* besides) : QObject(besides), m_besides(besides) {
        setObjectName(QLatin1String(PLACER_NAME));
        besides->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == m_besides && (e->type() == QEvent::Move || e->type() == QEvent::Resize))
            Place(m_besides);
        return false;
    }

private:
    QLabel* m_besides;
};

} // namespace

void ShowStatusNote(QLabel* besides, StatusNote note, const QString& text, const QString& detail) {
    QLabel* label = Find(besides, note);
    if (!label) {
        if (text.isEmpty())
            return;
        label = new QLabel(besides->parentWidget());
        label->setObjectName(NameOf(note));
        label->setFocusPolicy(Qt::NoFocus);
        label->setFont(besides->font());
        // What the picture does and which list is open are no warnings: only the others are
        // red.
        if (note != StatusNote::Document && note != StatusNote::Transport) {
            QPalette red = label->palette();
            red.setColor(QPalette::WindowText, QColor(255, 0, 0));
            label->setPalette(red);
        }
        if (!besides->findChild<QObject*>(QLatin1String(PLACER_NAME), Qt::FindDirectChildrenOnly))
            new Beside(besides);
    }
    label->setText(text);
    label->setToolTip(detail);
    label->setVisible(!text.isEmpty());
    Place(besides);
}
