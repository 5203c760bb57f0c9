#include "persist/list_line.h"

#include "platform/codepage.h"

#include <QVector>

namespace {

constexpr int SPNO_FIELD_BYTES = 5;
constexpr int DURATION_FIELD_BYTES = 5;

bool IsLeadByte(unsigned char b) {
    return (b >= 0x81 && b <= 0x9F) || (b >= 0xE0 && b <= 0xFC);
}

// Offsets at which a character of well-formed code page 932 text starts, and the end.
QVector<int> CharStarts(const QByteArray& bytes) {
    QVector<int> starts;
    int i = 0;
    while (i < bytes.size()) {
        starts.append(i);
        i += (IsLeadByte(static_cast<unsigned char>(bytes.at(i))) && i + 1 < bytes.size()) ? 2 : 1;
    }
    starts.append(int(bytes.size()));
    return starts;
}

// The longest head of at most max bytes that ends between characters.
QByteArray HeadBytes(const QByteArray& bytes, int max) {
    int cut = 0;
    for (int s : CharStarts(bytes)) {
        if (s > max)
            break;
        cut = s;
    }
    return bytes.left(cut);
}

// The longest tail of at most max bytes that starts at a character.
QByteArray TailBytes(const QByteArray& bytes, int max) {
    for (int s : CharStarts(bytes)) {
        if (bytes.size() - s <= max)
            return bytes.mid(s);
    }
    return QByteArray();
}

// The cell text without its first character (the space a REMARK cell starts with).
QString WithoutFirstChar(const QString& text) {
    if (text.isEmpty())
        return text;
    const bool pair =
        text.size() > 1 && text.at(0).isHighSurrogate() && text.at(1).isLowSurrogate();
    return text.mid(pair ? 2 : 1);
}

class FieldEncoder {
public:
    QByteArray operator()(QString text) {
        text.replace(QLatin1Char('\r'), QLatin1Char(' '));
        text.replace(QLatin1Char('\n'), QLatin1Char(' '));
        bool ok = true;
        QByteArray bytes = Cp932Encode(text, &ok);
        m_complete = m_complete && ok;
        return bytes;
    }
    bool complete() const { return m_complete; }

private:
    bool m_complete = true;
};

} // namespace

bool ListRowHoldsAnything(const ListRowText& row) {
    return !row.spNo.isEmpty() || !row.in.isEmpty() || !row.out.isEmpty() ||
           !row.duration.isEmpty() || !WithoutFirstChar(row.remark).isEmpty();
}

bool FormatListLine(const ListRowText& row, Placeholders kind, QByteArray* line) {
    return FormatListLine(row, kind, line, nullptr);
}

bool FormatListLine(const ListRowText& row, Placeholders kind, QByteArray* line, bool* complete) {
    line->clear();
    if (complete)
        *complete = true;
    if (!ListRowHoldsAnything(row))
        return false;
    const QString remark = WithoutFirstChar(row.remark);

    const bool file = kind == Placeholders::File;
    const QByteArray noTime = file ? QByteArrayLiteral("--:--:--:--") : QByteArray(11, ' ');
    FieldEncoder encode;

    const QByteArray spNo = row.spNo.isEmpty()
                                ? (file ? QByteArrayLiteral("---- ") : QByteArray(5, ' '))
                                : HeadBytes(encode(row.spNo + QLatin1Char(' ')), SPNO_FIELD_BYTES);
    const QByteArray in = row.in.isEmpty() ? noTime : encode(row.in);
    const QByteArray out = row.out.isEmpty() ? noTime : encode(row.out);
    const QByteArray duration =
        TailBytes(row.duration.isEmpty() ? noTime : encode(row.duration), DURATION_FIELD_BYTES);

    *line =
        encode(row.no) + ' ' + spNo + ' ' + in + '/' + out + '/' + duration + ' ' + encode(remark);
    if (complete)
        *complete = encode.complete();
    return true;
}
