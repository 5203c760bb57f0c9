#include "list/cell_text.h"

#include <algorithm>

namespace {

bool IsColonAt(const QString& text, int p) {
    return p >= 0 && p < text.size() && text.at(p) == QLatin1Char(':');
}

} // namespace

QString CaptureCellText(const Timecode& live) {
    return live ? QString::fromStdString(live.Text()) : QStringLiteral("00:00:00:00");
}

TimecodeCell ReadCell(const QString& text, TimecodeRate rate) {
    return TimecodeCell::Read(text.toStdString(), rate);
}

QString CellText(const TimecodeCell& cell) {
    return QString::fromStdString(cell.Text());
}

bool IsTimecodeEditText(const QString& text, int fps) {
    // Read non-drop: the exact form with every field in range, the labels drop-frame skips
    // included. Any character beyond ASCII becomes bytes that are no digit.
    return Timecode::FromText(text.toStdString(), TimecodeRate{fps, false}).IsValid();
}

int CommonPrefixLength(const QString& a, const QString& b) {
    int n = 0;
    while (n < a.size() && n < b.size() && a.at(n) == b.at(n)) {
        ++n;
    }
    return n;
}

QString InsertedText(const QString& before, const QString& after) {
    const int prefix = CommonPrefixLength(before, after);
    int suffix = 0;
    while (suffix < before.size() - prefix && suffix < after.size() - prefix &&
           before.at(before.size() - 1 - suffix) == after.at(after.size() - 1 - suffix)) {
        ++suffix;
    }
    return after.mid(prefix, after.size() - prefix - suffix);
}

QString LimitEditChange(const QString& before, const QString& after, int limit, int* caret) {
    const int prefix = CommonPrefixLength(before, after);
    const QString inserted = InsertedText(before, after);
    const int room = std::max(0, limit - int(after.size() - inserted.size()));
    int taken = std::min(int(inserted.size()), room);
    if (taken > 0 && taken < inserted.size() && inserted.at(taken - 1).isHighSurrogate()) {
        --taken; // never half a character
    }
    *caret = prefix + taken;
    if (taken == inserted.size()) {
        return after;
    }
    return after.left(prefix) + inserted.left(taken) + after.mid(prefix + inserted.size());
}

int TimecodeCaretBeforeMove(const QString& text, int s, bool left) {
    int p = 0;
    if (left) {
        if (s > 0) {
            p = s - 1;
            if (IsColonAt(text, p)) {
                --p;
            }
            ++p;
        } else {
            p = 1;
        }
    } else {
        if (s < TIMECODE_LAST_CARET) {
            p = s + 1;
            if (IsColonAt(text, p)) {
                ++p;
            }
            --p;
        } else {
            p = s - 1;
        }
    }
    return std::clamp(p, 0, TIMECODE_LAST_CARET);
}
