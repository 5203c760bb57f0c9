#include "formats/export_spots.h"

#include "persist/list_line.h"
#include "timecode/timecode.h"
#include "timecode/timecode_scan.h"

#include <QFileInfo>

#include <algorithm>

Timecode CellTimecode(const QString& cell, TimecodeRate rate) {
    const QByteArray bytes = cell.toLatin1();
    int f[4] = {};
    if (!IsTimecodeTextAt(bytes.constData(), rate.fps) ||
        ScanTimecodeFields(bytes.constData(), f) < 4)
        return Timecode();
    return Timecode::FromLabel({f[0], f[1], f[2], f[3]}, rate);
}

SpotEntries CollectSpots(const QVector<ListRowText>& rows, TimecodeRate rate) {
    SpotEntries spots;
    for (int i = 0; i < rows.size(); ++i) {
        const ListRowText& row = rows.at(i);
        if (!ListRowHoldsAnything(row))
            continue;
        const Timecode in = CellTimecode(row.in, rate);
        const Timecode out = CellTimecode(row.out, rate);
        if (!in || !out || out.Frame() <= in.Frame()) {
            spots.skippedRows.append(i + 1);
            continue;
        }
        spots.entries.append(SpotEntry{i + 1, row.spNo, RemarkAsShown(row.remark), in, out});
    }
    return spots;
}

Timecode TimelineStart(const QVector<SpotEntry>& entries, TimecodeRate rate) {
    Timecode start = Timecode::FromLabel({1, 0, 0, 0}, rate);
    for (const SpotEntry& e : entries) {
        if (e.in.Frame() < start.Frame())
            start = e.in;
    }
    return start;
}

long long TimelineEnd(const QVector<SpotEntry>& entries, const Timecode& start) {
    long long end = start.Frame();
    for (const SpotEntry& e : entries)
        end = std::max<long long>(end, e.out.Frame());
    return end;
}

FrameLength FrameLengthOf(TimecodeRate rate) {
    if (rate.DropFrame())
        return {1001, 30000};
    return {100, 100 * rate.fps};
}

double FramesPerSecond(TimecodeRate rate) {
    const FrameLength f = FrameLengthOf(rate);
    return double(f.denominator) / double(f.numerator);
}

namespace {

QString SpacedControls(const QString& text, bool keepTabs) {
    QString line = text;
    for (QChar& c : line) {
        const QChar::Category cat = c.category();
        if ((cat == QChar::Other_Control || cat == QChar::Separator_Line ||
             cat == QChar::Separator_Paragraph) &&
            !(keepTabs && c == QLatin1Char('\t')))
            c = QLatin1Char(' ');
    }
    return line;
}

} // namespace

QString OneLine(const QString& text) {
    return SpacedControls(text, false);
}

QString EdlText(const QString& text) {
    return SpacedControls(text, true);
}

QVector<int> ChangedRows(const QVector<SpotEntry>& entries, QString (*rule)(const QString& text)) {
    QVector<int> rows;
    for (const SpotEntry& e : entries) {
        if (rule(e.spNo) != e.spNo || rule(e.remark) != e.remark)
            rows.append(e.row);
    }
    std::sort(rows.begin(), rows.end());
    return rows;
}

QString TimecodeLabelText(const Timecode& tc, QChar dropSeparator) {
    QString text = QString::fromStdString(tc.Text());
    if (tc.IsValid() && tc.Rate().DropFrame())
        text[8] = dropSeparator;
    return text;
}

QString ListTitle(const QString& listPath, const QString& fallback) {
    const QString base = listPath.isEmpty() ? QString() : QFileInfo(listPath).completeBaseName();
    return base.isEmpty() ? fallback : base;
}

QString XmlSafe(const QString& text) {
    QString safe;
    safe.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text.at(i);
        if (c.isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            safe += c;
            safe += text.at(++i);
            continue;
        }
        const char16_t u = c.unicode();
        const bool bad = (u < 0x20 && u != 0x09 && u != 0x0A && u != 0x0D) || c.isSurrogate() ||
                         u == 0xFFFE || u == 0xFFFF;
        safe += bad ? QChar(QChar::ReplacementCharacter) : c;
    }
    return safe;
}
