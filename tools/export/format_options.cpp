#include "format_options.h"

#include "convert.h"

#include "formats/list_export.h"

#include <QCoreApplication>
#include <QStringList>

#include <string>
#include <utility>

#include <algorithm>

namespace {

// The text is laid out for a terminal of 92 columns or more.
constexpr qsizetype WIDTH = 92;

// A text marked for the translation where it is defined.
QString Translated(const char* text) {
    return QCoreApplication::translate("Converter", text);
}

bool IsWide(char32_t c) {
    return (c >= 0x1100 && c <= 0x115F) || (c >= 0x2E80 && c <= 0xA4CF) ||
           (c >= 0xAC00 && c <= 0xD7A3) || (c >= 0xF900 && c <= 0xFAFF) ||
           (c >= 0xFE30 && c <= 0xFE4F) || (c >= 0xFF00 && c <= 0xFF60) ||
           (c >= 0xFFE0 && c <= 0xFFE6);
}

// A line starts with none of these: closing brackets, the ideographic comma and full stop, the
// middle dot, colon, semicolon and marks, the long vowel mark and the small kana.
bool StaysWithWhatPrecedes(char32_t c) {
    static const std::u32string others =
        U"\u3001\u3002\u30FB\uFF0C\uFF0E\uFF1A\uFF1B\uFF01\uFF1F\u30FC"
        U"\u3041\u3043\u3045\u3047\u3049\u3063\u3083\u3085\u3087"
        U"\u30A1\u30A3\u30A5\u30A7\u30A9\u30C3\u30E3\u30E5\u30E7";
    return QChar::category(c) == QChar::Punctuation_Close || others.find(c) != std::u32string::npos;
}

// Nor ends with an opening bracket.
bool StaysWithWhatFollows(char32_t c) {
    return QChar::category(c) == QChar::Punctuation_Open;
}

// Japanese has no spaces between words: a line may break between any two characters of which
// one is wide, as well as at a space.
struct Piece {
    QString text;
    bool spaceBefore = false;
};

QVector<Piece> Pieces(const QString& text) {
    QVector<Piece> pieces;
    Piece piece;
    bool space = false;
    char32_t previous = 0;
    for (const char32_t c : text.toUcs4()) {
        if (c == U' ') {
            if (!piece.text.isEmpty())
                pieces.append(std::exchange(piece, Piece{}));
            space = true;
            continue;
        }
        if (!piece.text.isEmpty() && (IsWide(c) || IsWide(previous)) && !StaysWithWhatPrecedes(c) &&
            !StaysWithWhatFollows(previous))
            pieces.append(std::exchange(piece, Piece{}));
        if (piece.text.isEmpty()) {
            piece.spaceBefore = space;
            space = false;
        }
        piece.text += QString::fromUcs4(&c, 1);
        previous = c;
    }
    if (!piece.text.isEmpty())
        pieces.append(piece);
    return pieces;
}

// Text as lines of at most WIDTH columns, the first starting at column start (after what is
// already on its line), the others indented to column indent; a word longer than a line has
// a line of its own.
QString Wrap(const QString& text, qsizetype start, qsizetype indent) {
    QString out;
    qsizetype column = start;
    bool lineHasWords = false;
    for (const Piece& piece : Pieces(text)) {
        const qsizetype width = TerminalWidth(piece.text);
        qsizetype gap = lineHasWords && piece.spaceBefore ? 1 : 0;
        if (lineHasWords && column + gap + width > WIDTH) {
            out += QLatin1Char('\n') + QString(indent, QLatin1Char(' '));
            column = indent;
            gap = 0;
        }
        if (gap) {
            out += QLatin1Char(' ');
            ++column;
        }
        out += piece.text;
        column += width;
        lineHasWords = true;
    }
    return out;
}

QString Option(const InterchangeFormat& format) {
    return QStringLiteral("--") + QLatin1String(format.option);
}

// "a, b or c": lastTwo joins the last two.
QString Listed(const QStringList& items, const QString& lastTwo) {
    if (items.size() < 2)
        return items.join(QString());
    return lastTwo.arg(items.mid(0, items.size() - 1).join(Converter::tr("、")), items.last());
}

const char HEAD[] = QT_TRANSLATE_NOOP(
    "Converter",
    "使い方: tarnwick-export 形式 [--rate N] [--non-drop] LIST.txt... [-o OUT | -d FOLDER]\n"
    "        tarnwick-export --to-list [--rate N] [--non-drop] FILE... [-o OUT | -d FOLDER]\n"
    "\n"
    "Tarnwickのリストファイルを、ほかのプログラムで使えるように変換します。各ファイルは\n"
    "「ﾌｧｲﾙ」の「開く」と同じように読み（コードページ932、DURATIONはINとOUTから計算し\n"
    "直し、行は0001～0040）、ウィンドウの書き出しと同じものを書きます。\n"
    "形式は次のいずれかです:\n"
    "\n");

const char OPTIONS[] = QT_TRANSLATE_NOOP(
    "Converter",
    "\n"
    "  --rate N       ラベルが数える1秒のフレーム数: 24、25または30（既定は30）。24か25で\n"
    "                 保存したリストファイルにはレートが書いてあり、そのレートで読みます。\n"
    "                 違う --rate を指定すると、そのファイルはエラーです\n"
    "  --non-drop     30のとき、ノンドロップで数えます（既定はドロップフレーム、29.97）\n"
    "  -o OUT         OUTに書きます（LISTが1つのときだけ）\n"
    "  -d FOLDER      FOLDERの中に書きます。なければ作ります\n"
    "  --to-list      逆向きの変換: 上のどの形式のFILEも（中身から、中身が文字の表でしか\n"
    "                 ないときは拡張子から判断して）ウィンドウの「読み込み...」と同じように\n"
    "                 --rate で読み、リストファイルとして書きます。名前はFILEの拡張子を.txt\n"
    "                 にしたものです。レートにないラベルを文字のまま残した行、読み込まな\n"
    "                 かったもの、41行目以降の行は注記で示します\n"
    "  --help         この説明を表示して終了します\n"
    "\n"
    "EDL、ログ、マーカーの項目にならない行（INかOUTがない、OUTがINより後でない、ドロップ\n"
    "フレームの00:01:00:00のようにレートにないラベル）は書き出さず、その行を示します。形式が\n"
    "書けない文字はその形式の規則で置き換え（EDL: 改行と制御文字は空白に。ログ: タブも。\n"
    "FCPXMLとxmeml: タブと行末以外の制御文字はU+FFFDに。EDLのマーカー: SP No.の '|' は\n"
    "U+FF5Cに）、置き換えた行を示します。CSV、Excelブック、OTIOはすべての文字を保ちます。\n");

const char TAIL[] = QT_TRANSLATE_NOOP(
    "Converter",
    "\n"
    "ファイルごとに1行、「LIST -> OUTPUT」を標準出力に書き、書き出さなかったものを、ウィンド\n"
    "ウが示すのと同じように括弧の中の注記で示します: 0001～0040の範囲外の番号の行、コード\n"
    "ページ932でないバイト（U+FFFDとして表示）、項目にならない行。変換できなかったファイル\n"
    "の行は標準エラー出力に書きます。\n"
    "\n"
    "終了ステータス: すべてのファイルを書けたとき0、書けないファイルがあったとき1、使い方\n"
    "の誤りのとき2。\n");

} // namespace

void AddFormatOptions(QCommandLineParser& parser) {
    for (const InterchangeFormat& format : InterchangeFormats())
        parser.addOption(QCommandLineOption(QLatin1String(format.option)));
}

QVector<const InterchangeFormat*> FormatsGiven(const QCommandLineParser& parser) {
    QVector<const InterchangeFormat*> given;
    for (const InterchangeFormat& format : InterchangeFormats()) {
        if (parser.isSet(QLatin1String(format.option)))
            given << &format;
    }
    return given;
}

QString FormatChoiceError() {
    QStringList options;
    for (const InterchangeFormat& format : InterchangeFormats())
        options << Option(format);
    return Converter::tr("%1 のどれか1つを指定してください")
        .arg(Listed(options, Converter::tr("%1、%2")));
}

QString ConverterHelp() {
    qsizetype longest = 0;
    for (const InterchangeFormat& format : InterchangeFormats())
        longest = std::max(longest, Option(format).size());
    // The descriptions start where the other options' do, or further for a long option.
    const qsizetype column = std::max<qsizetype>(17, 2 + longest + 2);

    QString help = Translated(HEAD);
    QStringList outputs;
    for (const InterchangeFormat& format : InterchangeFormats()) {
        const QString lead = (QStringLiteral("  ") + Option(format)).leftJustified(column);
        help += lead + Wrap(Translated(format.help), column, column) + QLatin1Char('\n');
        outputs << ExportFileName(QStringLiteral("spots.txt"), format);
    }
    help += Translated(OPTIONS);
    help +=
        QLatin1Char('\n') +
        Wrap(Converter::tr(
                 "-o も -d もないときは、出力はそれぞれ入力と同じフォルダに新しい拡張子で書きます: "
                 "spots.txtからは%1。すでにある出力はまるごと置き換え、それも新しい出力がディス"
                 "ク上にすべて書けてからです。プログラムが終わるとき、出力はすべてディスク上に"
                 "あります。入力を上書きすることはなく、同じ出力になる2つの入力は最初のものだけ"
                 "を変換します。シンボリックリンクである出力（-o に指定したもの、または FOLDER "
                 "の中にあるもの）はたどります: リンクが指す通常のファイルを同じように安全に置き"
                 "換え、リンクはそのまま残ります。それ以外のもの（どこでもない、ループ、デバイス"
                 "、FIFO、フォルダ）を指すリンクは拒み、ファイルで置き換えることはありません。読"
                 "むのは通常のファイルだけです: LIST に指定した FIFO、デバイス、フォルダはすぐに"
                 "拒みます。")
                 .arg(Listed(outputs, Converter::tr("%1または%2"))),
             0, 0) +
        QLatin1Char('\n');
    help += Translated(TAIL);
    return help;
}

qsizetype TerminalWidth(const QString& text) {
    qsizetype width = 0;
    for (const char32_t c : text.toUcs4())
        width += IsWide(c) ? 2 : 1;
    return width;
}
