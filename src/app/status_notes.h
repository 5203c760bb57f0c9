#pragma once

#include "commands/screen.h"

#include <QString>

class QLabel;

// The notes of the timecode line (see StatusNote), shown right of the label given.

// The names their labels go by, for whoever looks for them.
constexpr char TRANSPORT_NOTE_NAME[] = "transportNote";
constexpr char DOCUMENT_NOTE_NAME[] = "documentNote";
constexpr char RATE_NOTE_NAME[] = "rateNote";
constexpr char DEVICE_NOTE_NAME[] = "deviceNote";
constexpr char RECOVERY_INDICATOR_NAME[] = "recoveryIndicator";

// Shows the note's text with detail as its tooltip; an empty text hides it.
void ShowStatusNote(QLabel* besides, StatusNote note, const QString& text, const QString& detail);
