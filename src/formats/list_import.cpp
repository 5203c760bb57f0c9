#include "formats/list_import.h"

#include "formats/import_entries.h"
#include "formats/interchange_formats.h"
#include "persist/list_read_notes.h"
#include "platform/codepage.h"
#include "platform/regular_file.h"
#include "timecode/duration.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QStringConverter>
#include <algorithm>

namespace {

// The most reasons the box lists one by one; the rest are counted.
constexpr int MAX_LISTED_SKIPS = 15;
// A hostile label is quoted no longer than this.
constexpr int MAX_DETAIL = 40;

ImportRead ReadAs(ImportFormat format, const QByteArray& bytes, TimecodeRate rate) {
    if (const ImportReader read = InterchangeReader(format))
        return read(bytes, rate);
    ImportRead none;
    none.read = false;
    return none;
}

long long PlaceNumber(const QString& where) {
    qsizetype digits = 0;
    while (digits < where.size() && digits < 18 && where.at(digits).isDigit())
        ++digits;
    return where.left(digits).toLongLong();
}

// A cell's label, checked at the rate and written as the list writes it. A label the rate
// does not have stays in its cell as text ("HH:MM:SS:FF"), as the window keeps a typed one;
// anything else that is no label leaves the cell empty, since a cell of the list file holds
// a label's characters only. Either is noted, and the row is kept: its SP No. and remark are
// worth more than the label.
void CheckLabel(const ImportEntry& e, QString* label, TimecodeRate rate,
                QVector<ImportSkip>* notes) {
    if (label->isEmpty())
        return;
    bool readable = false;
    const Timecode tc = ReadLabel(*label, rate, &readable);
    if (tc) {
        *label = QString::fromStdString(tc.Text());
        return;
    }
    notes->append({e.where,
                   readable ? ImportSkipReason::KeptNoSuchLabel : ImportSkipReason::KeptUnreadable,
                   QStringView(*label).trimmed().left(MAX_DETAIL).toString()});
    if (!readable) {
        label->clear();
        return;
    }
    QStringList fields = label->trimmed().split(QRegularExpression(QStringLiteral("[:;.,]")));
    for (QString& f : fields)
        f = f.rightJustified(2, QLatin1Char('0'));
    *label = fields.join(QLatin1Char(':'));
}

} // namespace

QString LineWhere(qsizetype line) {
    return QCoreApplication::translate("ListImport", "%1行目").arg(line);
}

QString MarkerWhere(qsizetype marker) {
    return QCoreApplication::translate("ListImport", "%1番目のマーカー").arg(marker);
}

QString DecodeText(const QByteArray& bytes) {
    if (bytes.startsWith("\xEF\xBB\xBF"))
        return QString::fromUtf8(bytes.mid(3));
    if (bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF")) {
        QStringDecoder utf16(bytes.startsWith("\xFF\xFE") ? QStringConverter::Utf16LE
                                                          : QStringConverter::Utf16BE);
        return utf16.decode(bytes.mid(2));
    }
    QStringDecoder utf8(QStringConverter::Utf8, QStringConverter::Flag::Stateless);
    const QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    return Cp932Decode(bytes);
}

QStringList TextLines(const QString& text) {
    QString unified = text;
    unified.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    unified.replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QStringList lines = unified.split(QLatin1Char('\n'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

Timecode ReadLabel(QStringView text, TimecodeRate rate, bool* readable) {
    // By hand rather than by a pattern: a field of a million characters is refused by its
    // length, not searched.
    const QStringView t = text.trimmed();
    *readable = false;
    const qsizetype hourDigits = t.size() - 9;
    if (hourDigits < 1 || hourDigits > 2)
        return Timecode();
    int fields[4] = {};
    qsizetype at = 0;
    for (int f = 0; f < 4; ++f) {
        if (f > 0) {
            const QChar separator = t.at(at++);
            if (separator != QLatin1Char(':') && separator != QLatin1Char(';') &&
                separator != QLatin1Char('.') && separator != QLatin1Char(','))
                return Timecode();
        }
        for (qsizetype d = 0; d < (f == 0 ? hourDigits : 2); ++d) {
            const char16_t c = t.at(at++).unicode();
            if (c < u'0' || c > u'9')
                return Timecode();
            fields[f] = fields[f] * 10 + (c - u'0');
        }
    }
    *readable = true;
    return Timecode::FromLabel({fields[0], fields[1], fields[2], fields[3]}, rate);
}

QString FrameLabel(long long frame, TimecodeRate rate) {
    return QString::fromStdString(Timecode::AtFrame(frame, rate).Text());
}

ImportFormat ImportFormatOf(const QByteArray& bytes) {
    if (bytes.startsWith("PK\x03\x04"))
        return ImportFormat::Xlsx;
    const QString head = DecodeText(bytes.left(4096)).trimmed();
    if (head.startsWith(QLatin1Char('<'))) {
        if (head.contains(QStringLiteral("<fcpxml")))
            return ImportFormat::Fcpxml;
        if (head.contains(QStringLiteral("<xmeml")))
            return ImportFormat::Xmeml;
        return ImportFormat::Unknown;
    }
    if (head.startsWith(QLatin1Char('{')))
        return head.contains(QStringLiteral("OTIO_SCHEMA")) ? ImportFormat::Otio
                                                            : ImportFormat::Unknown;
    const QStringList lines = TextLines(head);
    const QString first = lines.value(0).trimmed();
    if (first.compare(QStringLiteral("Heading"), Qt::CaseInsensitive) == 0)
        return ImportFormat::Ale;
    static const QRegularExpression event(QStringLiteral(
        "^\\d{1,6}\\s+\\S+\\s+\\S+\\s+\\S+.*\\d\\d[:;.,]\\d\\d[:;.,]\\d\\d[:;.,]\\d\\d\\s*$"));
    for (const QString& line : lines) {
        if (line.startsWith(QStringLiteral("TITLE:")) || line.startsWith(QStringLiteral("FCM:")) ||
            event.match(line).hasMatch())
            return ImportFormat::Edl;
    }
    return bytes.isEmpty() ? ImportFormat::Unknown : ImportFormat::Csv;
}

ImportedList ImportListBytes(const QByteArray& bytes, ImportFormat format, TimecodeRate rate) {
    ImportedList list;
    list.format = format == ImportFormat::Unknown ? ImportFormatOf(bytes) : format;
    if (bytes.size() > MAX_IMPORT_BYTES) {
        list.limit = ImportLimit::FileSize;
        list.error = ImportLimitMessage(list.limit);
        return list;
    }
    const ImportRead read = ReadAs(list.format, bytes, rate);
    if (read.budget.Passed()) {
        list.limit = read.budget.Limit();
        list.error = ImportLimitMessage(list.limit);
        return list;
    }
    if (!read.read) {
        list.error =
            QCoreApplication::translate("ListImport", "このファイルは読み込める形式ではありません");
        return list;
    }
    list.read = true;
    list.leftOut = read.leftOut;

    // Each entry takes the row its No. names when that row is still free and after the
    // last one taken, else the next row; past the 40th it is left out.
    int last = 0;
    int tooMany = 0;
    QString firstTooMany;
    for (ImportEntry e : read.entries) {
        CheckLabel(e, &e.in, rate, &list.leftOut);
        CheckLabel(e, &e.out, rate, &list.leftOut);
        const int row = e.row > last && e.row <= MAX_LIST_ROWS ? e.row : last + 1;
        if (row > MAX_LIST_ROWS) {
            if (tooMany++ == 0)
                firstTooMany = e.where;
            continue;
        }
        while (list.rows.size() < row)
            list.rows.append(ListRowText{RowLabel(list.rows.size() + 1), {}, {}, {}, {}, {}});
        ListRowText& r = list.rows[row - 1];
        r.spNo = e.spNo;
        r.in = e.in;
        r.out = e.out;
        r.remark = QLatin1Char(' ') + e.remark;
        if (!r.in.isEmpty() && !r.out.isEmpty()) {
            if (const std::optional<int> diff =
                    RowDuration(TimecodeCell::Read(r.in.toStdString(), rate),
                                TimecodeCell::Read(r.out.toStdString(), rate), rate))
                r.duration = QString::fromStdString(FormatDuration(*diff, rate));
        }
        last = row;
    }
    if (tooMany > 0)
        list.leftOut.append({firstTooMany, ImportSkipReason::TooMany, QString::number(tooMany)});
    // The box names them in file order: every place starts with its number ("12行目",
    // "3番目のマーカー").
    std::stable_sort(list.leftOut.begin(), list.leftOut.end(),
                     [](const ImportSkip& a, const ImportSkip& b) {
                         return PlaceNumber(a.where) < PlaceNumber(b.where);
                     });
    return list;
}

ImportedList ImportListFile(const QString& path, TimecodeRate rate) {
    ImportedList list;
    QByteArray bytes;
    switch (ReadRegularFile(path, MAX_IMPORT_BYTES, LinkPolicy::Follow, &bytes)) {
    case FileFault::None:
        return ImportListBytes(bytes, ImportFormat::Unknown, rate);
    case FileFault::TooLarge:
        list.limit = ImportLimit::FileSize;
        list.error = ImportLimitMessage(list.limit);
        return list;
    case FileFault::NotRegular:
        list.error = NotPlainFileMessage();
        return list;
    default:
        list.error = QCoreApplication::translate("ListImport", "ファイル読み込みできませんでした");
        return list;
    }
}

QString ImportFilter() {
    QStringList extensions;
    for (const InterchangeFormat& format : InterchangeFormats()) {
        const QString pattern = QStringLiteral("*.") + QLatin1String(format.extension);
        if (format.read && !extensions.contains(pattern))
            extensions << pattern;
    }
    return QCoreApplication::translate("ListImport", "リスト (%1)|%2|All Files (*.*)|*.*||")
        .arg(extensions.join(QLatin1Char(' ')), extensions.join(QLatin1Char(';')));
}

namespace {

QString SkipLines(const QString& heading, const QVector<ImportSkip>& leftOut) {
    QStringList lines{heading};
    for (int i = 0; i < leftOut.size() && i < MAX_LISTED_SKIPS; ++i) {
        const ImportSkip& s = leftOut.at(i);
        switch (s.reason) {
        case ImportSkipReason::TooMany:
            lines << QCoreApplication::translate("ListImport",
                                                 "%1から: リストは%2行までのため、%3件")
                         .arg(s.where)
                         .arg(MAX_LIST_ROWS)
                         .arg(s.detail);
            break;
        case ImportSkipReason::Unreadable:
            lines << (s.detail.isEmpty()
                          ? QCoreApplication::translate("ListImport", "%1: 読み取れませんでした")
                                .arg(s.where)
                          : QCoreApplication::translate("ListImport",
                                                        "%1: %2 はタイムコードとして読み取れません")
                                .arg(s.where, s.detail));
            break;
        case ImportSkipReason::KeptNoSuchLabel:
            lines << QCoreApplication::translate(
                         "ListImport",
                         "%1: %2 はこのフレームレートにないため、文字のまま入れました")
                         .arg(s.where, s.detail);
            break;
        case ImportSkipReason::KeptUnreadable:
            lines << QCoreApplication::translate(
                         "ListImport",
                         "%1: %2 はタイムコードとして読み取れないため、空欄にしました")
                         .arg(s.where, s.detail);
            break;
        }
    }
    if (leftOut.size() > MAX_LISTED_SKIPS)
        lines << QCoreApplication::translate("ListImport", "ほか%1件")
                     .arg(leftOut.size() - MAX_LISTED_SKIPS);
    return lines.join(QLatin1Char('\n'));
}

} // namespace

QString ImportLeftOutMessage(const QVector<ImportSkip>& leftOut) {
    QVector<ImportSkip> skipped, kept;
    for (const ImportSkip& s : leftOut) {
        const bool isKept = s.reason == ImportSkipReason::KeptNoSuchLabel ||
                            s.reason == ImportSkipReason::KeptUnreadable;
        (isKept ? kept : skipped).append(s);
    }
    QStringList sections;
    if (!skipped.isEmpty())
        sections << SkipLines(
            QCoreApplication::translate("ListImport", "次のものは読み込みませんでした。"), skipped);
    if (!kept.isEmpty())
        sections << SkipLines(
            QCoreApplication::translate(
                "ListImport", "次の行は読み込みましたが、使えないタイムコードがあります。"),
            kept);
    return sections.join(QStringLiteral("\n\n"));
}
