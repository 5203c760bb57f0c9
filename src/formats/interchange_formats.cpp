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
         "CSV: UTF-8 with a byte-order mark, CR LF, a header line, then one line per row that "
         "holds anything; a cell starting with = + - @, a tab or a carriage return (or with "
         "apostrophes before one of those) gets an apostrophe before it, so that a spreadsheet "
         "shows it as text",
         E::Row, &MakeCsv, I::Csv, &ReadCsvAt},
        {32798, QT_TRANSLATE_NOOP("CTarnwickDlg", "EDL形式で書き出し..."), "edl", "EDL Files", "", "edl",
         "EDL (CMX 3600): one event per row with a valid IN and a later OUT, record times back "
         "to back from 01:00:00:00, SP No. and remark as notes (a clip-name line for every "
         "event), drop-frame labels with ';' before the frames",
         E::Event, &BuildEdl, I::Edl, &ReadEdl},
        {32805, QT_TRANSLATE_NOOP("CTarnwickDlg", "Excel形式で書き出し..."), "xlsx", "Excel Files", "", "xlsx",
         "Excel workbook: the CSV's columns, every cell text, the header bold and frozen (the "
         "lossless way into a spreadsheet)",
         E::Row, &MakeXlsx, I::Xlsx, &ReadXlsxAt},
        {32806, QT_TRANSLATE_NOOP("CTarnwickDlg", "ALE形式(ログ)で書き出し..."), "ale", "ALE Files", "", "ale",
         "Avid Log Exchange: one clip per row with a valid IN and a later OUT (Name = SP No., "
         "Start = IN, End = OUT, Comments = remark), the rate in the heading",
         E::Clip, &BuildAle, I::Ale, &ReadAleAt},
        // Beside the EDL of events, not in its place.
        {32807, QT_TRANSLATE_NOOP("CTarnwickDlg", "マーカーをEDLで書き出し..."), "edl", "EDL Files", "-markers", "markers-edl",
         "markers in an EDL: one event per row at its IN, in time order, then a line of the "
         "marker's colour, name (SP No.), duration (OUT - IN) and, last, comment (remark)",
         E::Marker, &BuildMarkerEdl, I::Edl, &ReadEdl},
        {32808, QT_TRANSLATE_NOOP("CTarnwickDlg", "マーカーをFCPXMLで書き出し..."), "fcpxml", "FCPXML Files", "", "fcpxml",
         "markers in FCPXML 1.11: a project whose sequence starts at 01:00:00:00 (or at the "
         "earliest IN before that) with the markers on one gap",
         E::Marker, &BuildFcpxml, I::Fcpxml, &ReadFcpxml},
        {32809, QT_TRANSLATE_NOOP("CTarnwickDlg", "マーカーをFCP7 XMLで書き出し..."), "xml", "Final Cut Pro 7 XML Files", "", "xmeml",
         "markers in Final Cut Pro 7 XML (xmeml 4), on one sequence",
         E::Marker, &BuildXmeml, I::Xmeml, &ReadXmeml},
        {32810, QT_TRANSLATE_NOOP("CTarnwickDlg", "マーカーをOTIOで書き出し..."), "otio", "OpenTimelineIO Files", "", "otio",
         "markers in OpenTimelineIO JSON, on one track of a timeline",
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
