#include "formats/workbook_text.h"

namespace {

int HexValue(QChar c) {
    const char16_t u = c.unicode();
    if (u >= '0' && u <= '9')
        return u - '0';
    if (u >= 'a' && u <= 'f')
        return u - 'a' + 10;
    if (u >= 'A' && u <= 'F')
        return u - 'A' + 10;
    return -1;
}

// The unit an escape at `at` stands for, or -1 when none starts there. The end is checked
// on the text as written (escapedEnd: whether what follows the four digits is written
// starting with '_').
int EscapeAt(const QString& text, qsizetype at, bool escapedEnd) {
    if (at + 6 > text.size() || text.at(at) != QLatin1Char('_') ||
        (text.at(at + 1) != QLatin1Char('x') && text.at(at + 1) != QLatin1Char('X')))
        return -1;
    int unit = 0;
    for (qsizetype i = at + 2; i < at + 6; ++i) {
        const int digit = HexValue(text.at(i));
        if (digit < 0)
            return -1;
        unit = unit * 16 + digit;
    }
    return escapedEnd ? unit : -1;
}

bool WrittenEscaped(QChar c) {
    const char16_t u = c.unicode();
    return (u < 0x20 && u != 0x09 && u != 0x0A) || u == 0xFFFE || u == 0xFFFF;
}

} // namespace

QString WorkbookEscaped(const QString& text) {
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (WrittenEscaped(c)) {
            out += QStringLiteral("_x") +
                   QString::number(c.unicode(), 16).rightJustified(4, QLatin1Char('0')).toUpper() +
                   QLatin1Char('_');
            continue;
        }
        // What follows four hex digits closes an escape when it is written starting with '_'.
        const bool closes = i + 6 < text.size() &&
                            (text.at(i + 6) == QLatin1Char('_') || WrittenEscaped(text.at(i + 6)));
        if (EscapeAt(text, i, closes) >= 0)
            out += QStringLiteral("_x005F");
        out += c;
    }
    return out;
}

QString WorkbookUnescaped(const QString& text) {
    if (!text.contains(QLatin1Char('_')))
        return text;
    QString out;
    out.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool closes = i + 6 < text.size() && text.at(i + 6) == QLatin1Char('_');
        const int unit = EscapeAt(text, i, closes);
        if (unit >= 0) {
            out += QChar(char16_t(unit));
            i += 6;
            continue;
        }
        out += text.at(i);
    }
    return out;
}
