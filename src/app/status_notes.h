#pragma once

#include <QString>

class QLabel;

// Short notes in red on the timecode line, right of the label given, in this order: what a
// timecode source is heard at when the list counts another rate, and whether the recovery copy
// is kept. They never take the focus and ask nothing: the operator sees them when looking at
// the timecode, and goes on working.
enum class StatusNote { Rate, Recovery };

// The names their labels go by, for whoever looks for them.
constexpr char RATE_NOTE_NAME[] = "rateNote";
constexpr char RECOVERY_INDICATOR_NAME[] = "recoveryIndicator";

// Shows the note's text with detail as its tooltip; an empty text hides it.
void ShowStatusNote(QLabel* besides, StatusNote note, const QString& text, const QString& detail);
