#include "list/current_timecode.h"

QString CurrentTimecodeText(const char* szTimecode) {
    QString text;
    for (int i = 0; i < 8 && szTimecode[i] != '\0'; ++i) {
        if (i == 2 || i == 4 || i == 6) {
            text += QLatin1Char(':');
        }
        text += QLatin1Char(szTimecode[i]);
    }
    return text;
}
