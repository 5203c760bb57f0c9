#include "formats/interchange_formats.h"

#include <QtGlobal>

#include "formats/export_ale.h"
#include "formats/export_csv.h"
#include "formats/export_edl.h"
#include "formats/export_markers.h"
#include "formats/export_xlsx.h"
#include "formats/import_entries.h"

namespace {

// The builders and readers that need less than a row gives them.
ExportBuild MakeCsv(const QVector<ListRowText>& rows, const QString&, TimecodeRate) {
    return ExportBuild{BuildCsv(rows), {}, true, {}};
}

ExportBuild MakeXlsx(const QVector<ListRowText>& rows, const QString& title, TimecodeRate) {
    return BuildXlsx(rows, title);
}

ImportRead ReadCsvAt(const QByteArray& bytes, TimecodeRate) {
    return ReadCsv(bytes);
}

ImportRead ReadAleAt(const QByteArray& bytes, TimecodeRate) {
    return ReadAle(bytes);
}

ImportRead ReadXlsxAt(const QByteArray& bytes, TimecodeRate) {
    return ReadXlsx(bytes);
}

} // namespace

const std::vector<InterchangeFormat>& InterchangeFormats() {
    // The command ids stay those first assigned (32797, 32798, then 32805 and up): the two
    // spreadsheets' and the EDL's come first in the menu as they always did.
    using E = ExportEntry;
    using I = ImportFormat;
    // clang-format off
    static const std::vector<InterchangeFormat> formats = {
        {32797, QT_TRANSLATE_NOOP("CTarnwickDlg", "CSV形式で書き出し..."), "csv", "CSV Files", "", "csv",
         QT_TRANSLATE_NOOP("Converter",
         "CSV: BOM付きのUTF-8、改行はCR LF。見出しの行に続けて、何か入っている行を1行ずつ。"
         "= + - @、タブ、復帰で始まるセル（その前にアポストロフィがあるものも）には前にアポスト"
         "ロフィを付け、表計算ソフトが文字として表示するようにします"),
         E::Row, &MakeCsv, I::Csv, &ReadCsvAt},
        {32798, QT_TRANSLATE_NOOP("CTarnwickDlg", "EDL形式で書き出し..."), "edl", "EDL Files", "", "edl",
         QT_TRANSLATE_NOOP("Converter",
         "EDL (CMX 3600): 正しい IN とそれより後の OUT がある行ごとに1イベント。レコードの時間"
         "は 01:00:00:00 から隙間なく並べ、SP No. と REMARK はノートに（どのイベントにもクリッ"
         "プ名の行を付けます）、ドロップフレームのラベルはフレームの前を ';' にします"),
         E::Event, &BuildEdl, I::Edl, &ReadEdl},
        {32805, QT_TRANSLATE_NOOP("CTarnwickDlg", "Excel形式で書き出し..."), "xlsx", "Excel Files", "", "xlsx",
         QT_TRANSLATE_NOOP("Converter",
         "Excelブック: CSVと同じ列で、どのセルも文字列、見出しは太字で固定（表計算ソフトへ何も"
         "失わずに渡す方法）"),
         E::Row, &MakeXlsx, I::Xlsx, &ReadXlsxAt},
        {32806, QT_TRANSLATE_NOOP("CTarnwickDlg", "ALE形式(ログ)で書き出し..."), "ale", "ALE Files", "", "ale",
         QT_TRANSLATE_NOOP("Converter",
         "Avid Log Exchange: 正しい IN とそれより後の OUT がある行ごとに1クリップ（Name "
         "= SP No.、Start = IN、End = OUT、Comments = REMARK）。レートは見出しに書きます"),
         E::Clip, &BuildAle, I::Ale, &ReadAleAt},
        // Beside the EDL of events, not in its place.
        {32807, QT_TRANSLATE_NOOP("CTarnwickDlg", "マーカーをEDLで書き出し..."), "edl", "EDL Files", "-markers", "markers-edl",
         QT_TRANSLATE_NOOP("Converter",
         "EDLのマーカー: 行ごとにその IN に1イベント、時間順。続く行にマーカーの色、"
         "名前（SP No.）、長さ（OUT - IN）、最後にコメント（REMARK）"),
         E::Marker, &BuildMarkerEdl, I::Edl, &ReadEdl},
        {32808, QT_TRANSLATE_NOOP("CTarnwickDlg", "マーカーをFCPXMLで書き出し..."), "fcpxml", "FCPXML Files", "", "fcpxml",
         QT_TRANSLATE_NOOP("Converter",
         "FCPXML 1.11のマーカー: 01:00:00:00（それより前の IN があれば最も早い IN）から始まるシ"
         "ーケンスのプロジェクトで、マーカーは1つのギャップの上に"),
         E::Marker, &BuildFcpxml, I::Fcpxml, &ReadFcpxml},
        {32809, QT_TRANSLATE_NOOP("CTarnwickDlg", "マーカーをFCP7 XMLで書き出し..."), "xml", "Final Cut Pro 7 XML Files", "", "xmeml",
         QT_TRANSLATE_NOOP("Converter",
         "Final Cut Pro 7 XML（xmeml 4）のマーカー、1つのシーケンスの上に"),
         E::Marker, &BuildXmeml, I::Xmeml, &ReadXmeml},
        {32810, QT_TRANSLATE_NOOP("CTarnwickDlg", "マーカーをOTIOで書き出し..."), "otio", "OpenTimelineIO Files", "", "otio",
         QT_TRANSLATE_NOOP("Converter",
         "OpenTimelineIO JSONのマーカー、タイムラインの1つのトラックの上に"),
         E::Marker, &BuildOtio, I::Otio, &ReadOtio},
    };
    // clang-format on
    return formats;
}

const InterchangeFormat* InterchangeFormatOfOption(const QString& option) {
    for (const InterchangeFormat& format : InterchangeFormats()) {
        if (option == QLatin1String(format.option))
            return &format;
    }
    return nullptr;
}

ImportReader InterchangeReader(ImportFormat format) {
    if (format == ImportFormat::Unknown)
        return nullptr;
    for (const InterchangeFormat& row : InterchangeFormats()) {
        if (row.readsAs == format)
            return row.read;
    }
    return nullptr;
}
