#pragma once

#include <QString>
#include <QStringList>

// The width of text in columns of the fixed-pitch print font: one for a single-byte character
// of code page 932 (half-width katakana among them), two for a double-byte one.
int TextColumns(const QString& text);

// Breaks text into lines of at most columns columns, where a line may break in Japanese or
// Latin text (between words, between Japanese characters but not before closing punctuation),
// and within a word only where that word alone is wider than a line. Spaces at a break are
// dropped. Text that fits comes back whole; empty text gives no line.
QStringList WrapToColumns(const QString& text, int columns);
