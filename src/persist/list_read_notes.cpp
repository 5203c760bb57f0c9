#include "persist/list_read_notes.h"

#include <QCoreApplication>
#include <algorithm>

namespace {

// Enough to find each line in an editor; a file of junk should not make a box the height of
// the screen.
constexpr int MAX_RANGES = 12;

QVector<int> LinesWhy(const ListFileContents& c, SkippedLine::Why why) {
    QVector<int> lines;
    for (const SkippedLine& s : c.skipped) {
        if (s.why == why)
            lines.append(s.line);
    }
    return lines;
}

QString Megabytes() {
    return QString::number(MAX_LIST_FILE_BYTES / (1024 * 1024));
}

} // namespace

QString LineRanges(QVector<int> lines, const QString& dash, int maxRanges, const QString& more) {
    std::sort(lines.begin(), lines.end());
    QStringList ranges;
    int shown = 0;
    for (int i = 0; i < lines.size() && ranges.size() < maxRanges;) {
        int j = i;
        while (j + 1 < lines.size() && lines.at(j + 1) == lines.at(j) + 1)
            ++j;
        ranges << (i == j ? QString::number(lines.at(i))
                          : QString::number(lines.at(i)) + dash + QString::number(lines.at(j)));
        shown += j - i + 1;
        i = j + 1;
    }
    QString text = ranges.join(QStringLiteral(", "));
    if (shown < lines.size())
        text += more.arg(lines.size() - shown);
    return text;
}

QString ListReadNotice(const ListFileContents& c) {
    QStringList parts;
    if (c.outOfRange) {
        parts << QCoreApplication::translate(
                     "ListReadNotes",
                     "Noは0001から%1の間にしてください、範囲外のNoは読み込めません")
                     .arg(MAX_LIST_ROWS, 4, 10, QLatin1Char('0'));
    }
    const auto lines = [](const QVector<int>& l) {
        return QCoreApplication::translate("ListReadNotes", "%1行目")
            .arg(LineRanges(l, QCoreApplication::translate("ListReadNotes", "～"), MAX_RANGES,
                            QCoreApplication::translate("ListReadNotes", " ほか%1行")));
    };
    QStringList skipped;
    if (const QVector<int> l = LinesWhy(c, SkippedLine::Why::OutOfRange); !l.isEmpty()) {
        skipped << QCoreApplication::translate("ListReadNotes", "・%1: Noが0001～%2の範囲外です")
                       .arg(lines(l))
                       .arg(MAX_LIST_ROWS, 4, 10, QLatin1Char('0'));
    }
    if (const QVector<int> l = LinesWhy(c, SkippedLine::Why::NumberRepeated); !l.isEmpty())
        skipped << QCoreApplication::translate("ListReadNotes",
                                               "・%1: 後に同じNoの行があり、そちらを読み込みました")
                       .arg(lines(l));
    if (const QVector<int> l = LinesWhy(c, SkippedLine::Why::NotARow); !l.isEmpty())
        skipped << QCoreApplication::translate("ListReadNotes",
                                               "・%1: Noで始まらないため、リストの行ではありません")
                       .arg(lines(l));
    if (!skipped.isEmpty())
        parts << QCoreApplication::translate("ListReadNotes", "次の行は読み込みませんでした。\n") +
                     skipped.join(QLatin1Char('\n'));
    if (c.encoding == ListEncoding::Utf8) {
        parts << QCoreApplication::translate(
            "ListReadNotes", "このファイルは先頭にBOMがあるため、UTF-8として読み込みました。\n"
                             "保存するとShift-JIS（コードページ932）で書き込みます。");
    }
    return parts.join(QStringLiteral("\n\n"));
}

QStringList ListReadNotes(const ListFileContents& c) {
    QStringList notes;
    const auto lines = [](const QVector<int>& l) {
        return LineRanges(l, QStringLiteral("-"), MAX_RANGES,
                          QCoreApplication::translate("ListReadNotes", "、ほか%1行"));
    };
    if (c.encoding == ListEncoding::Utf8) {
        notes << QCoreApplication::translate(
            "ListReadNotes", "BOMがあるためUTF-8として読み込み（Tarnwickはコードページ932で保存）");
    }
    if (const QVector<int> l = LinesWhy(c, SkippedLine::Why::OutOfRange); !l.isEmpty()) {
        notes << QCoreApplication::translate("ListReadNotes",
                                             "Noが0001～%1の範囲外のため読み込まなかった行: %2")
                     .arg(MAX_LIST_ROWS, 4, 10, QLatin1Char('0'))
                     .arg(lines(l));
    }
    if (const QVector<int> l = LinesWhy(c, SkippedLine::Why::NumberRepeated); !l.isEmpty())
        notes << QCoreApplication::translate("ListReadNotes",
                                             "後に同じNoの行があるため読み込まなかった行: %1")
                     .arg(lines(l));
    if (const QVector<int> l = LinesWhy(c, SkippedLine::Why::NotARow); !l.isEmpty())
        notes << QCoreApplication::translate("ListReadNotes",
                                             "リストの行ではないため読み込まなかった行: %1")
                     .arg(lines(l));
    return notes;
}

QString ListTooLargeMessage() {
    return QCoreApplication::translate("ListReadNotes",
                                       "ファイルが大きすぎるため読み込めませんでした。"
                                       "リストファイルは%1 MB（%2バイト）までです。")
        .arg(Megabytes())
        .arg(MAX_LIST_FILE_BYTES);
}

QString NotPlainFileMessage() {
    return QCoreApplication::translate(
        "ListReadNotes",
        "通常のファイルではないため読み込めません（FIFO、デバイス、フォルダなど）");
}

QString ListTooLargeNote() {
    return QCoreApplication::translate("ListReadNotes",
                                       "リストファイルの上限%1 MiB（%2バイト）を超えています")
        .arg(Megabytes())
        .arg(MAX_LIST_FILE_BYTES);
}
