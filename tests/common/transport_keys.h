#pragma once

#include "app/status_notes.h"

#include <QCoreApplication>
#include <QLabel>
#include <QStringList>
#include <QTest>
#include <QWidget>

// Transport keys as an operator types them on the list: "G", "Shift+G", "Space", "K+L" (K held
// while L is pressed), one stroke after another.
inline void TypeTransportKeys(QWidget* list, const QString& keys) {
    const auto key = [](const QString& name) {
        return name == QLatin1String("Space") ? Qt::Key_Space
                                              : Qt::Key(Qt::Key_A + (name.at(0).unicode() - 'A'));
    };
    for (const QString& stroke : keys.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const QStringList parts = stroke.split(QLatin1Char('+'));
        if (parts.first() == QLatin1String("Shift")) {
            QTest::keyClick(list, key(parts.last()), Qt::ShiftModifier);
        } else if (parts.size() == 2) {
            QTest::keyPress(list, key(parts.first()));
            QTest::keyClick(list, key(parts.last()));
            QTest::keyRelease(list, key(parts.first()));
        } else {
            QTest::keyClick(list, key(stroke));
        }
        QCoreApplication::processEvents();
    }
}

// The transport note of the timecode line as shown; empty while hidden.
inline QString TransportNoteText(const QWidget& window) {
    const auto* note = window.findChild<QLabel*>(QLatin1String(TRANSPORT_NOTE_NAME));
    return note != nullptr && !note->isHidden() ? note->text() : QString();
}
