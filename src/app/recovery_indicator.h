#pragma once

#include <QString>

class QLabel;

// The name the indicator's label goes by, for whoever looks for it.
constexpr char RECOVERY_INDICATOR_NAME[] = "recoveryIndicator";

// Shows text in red on the timecode line, just right of the label given, with detail as its
// tooltip; an empty text hides it. It never takes the focus and asks nothing: the operator
// sees it when looking at the timecode, and goes on working.
void ShowRecoveryIndicator(QLabel* besides, const QString& text, const QString& detail);
