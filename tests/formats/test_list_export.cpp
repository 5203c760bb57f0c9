#include "formats/export_csv.h"
#include "formats/export_edl.h"
#include "formats/list_export.h"

#include <QtTest>

namespace {

const QByteArray CSV_HEAD = QByteArrayLiteral("\xEF\xBB\xBFNo,SP No.,IN,OUT,DURATION,REMARK\r\n");

ListRowText Row(const QString& spNo, const QString& in, const QString& out, const QString& duration,
                const QString& remark) {
    return ListRowText{QString(), spNo, in, out, duration, remark};
}

// "IN/OUT" per row; an empty span is an empty row.
QVector<ListRowText> SpanRows(const QStringList& spans) {
    QVector<ListRowText> rows;
    for (const QString& s : spans) {
        const QStringList t = s.split(QLatin1Char('/'));
        rows << (s.isEmpty() ? ListRowText{} : Row(QString(), t.value(0), t.value(1), {}, {}));
    }
    return rows;
}

// The record IN and OUT of every event line: its last two fields.
QStringList RecordTimes(const QByteArray& edl) {
    QStringList times;
    for (const QByteArray& line : edl.split('\n')) {
        const QList<QByteArray> f = line.trimmed().split(' ');
        if (!line.isEmpty() && line.at(0) >= '0' && line.at(0) <= '9')
            times << QString::fromLatin1(f.at(f.size() - 2) + ' ' + f.last());
    }
    return times;
}

} // namespace

class TestListExport : public QObject {
    Q_OBJECT
private slots:
    void csvLine_data();
    void csvLine();
    void edlEvents_data();
    void edlEvents();
    void markerEvents_data();
    void markerEvents();
    void edlLayoutKeepsEachTextOnItsLine();
    void oneSpotLayouts_data();
    void oneSpotLayouts();
    void exportNames_data();
    void exportNames();
};

// Commas, quotes and Japanese are read back by Python's csv module in the converter's test.
void TestListExport::csvLine_data() {
    QTest::addColumn<QString>("spNo");
    QTest::addColumn<QString>("remark");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("plain fields unquoted, leading space of the remark dropped")
        << "0001"
        << " CM1" << QByteArray("0002,0001,01:00:00:00,01:00:30:00,00:00:30:00,CM1\r\n");
    QTest::newRow("line breaks and quotes stay inside a quoted field")
        << "1\"A"
        << " one\r\ntwo\nthree\r"
        << QByteArray(
               "0002,\"1\"\"A\",01:00:00:00,01:00:30:00,00:00:30:00,\"one\r\ntwo\nthree\r\"\r\n");
    QTest::newRow("cells a spreadsheet would compute get an apostrophe, others keep their bytes")
        << "-5"
        << " =1+2" << QByteArray("0002,'-5,01:00:00:00,01:00:30:00,00:00:30:00,'=1+2\r\n");
    QTest::newRow("apostrophes of the cell's own before a computed text get one more")
        << "'-5"
        << " ''=1" << QByteArray("0002,''-5,01:00:00:00,01:00:30:00,00:00:30:00,'''=1\r\n");
    QTest::newRow("an apostrophe goes inside the quotes")
        << "@x"
        << " \tA,\"B\""
        << QByteArray("0002,'@x,01:00:00:00,01:00:30:00,00:00:30:00,\"'\tA,\"\"B\"\"\"\r\n");
    QTest::newRow("only the first space of the remark is the cell's")
        << ""
        << "  indented" << QByteArray("0002,,01:00:00:00,01:00:30:00,00:00:30:00, indented\r\n");
}

void TestListExport::csvLine() {
    QFETCH(QString, spNo);
    QFETCH(QString, remark);
    QFETCH(QByteArray, line);
    // Row 1 holds nothing but the cell's space (the file skips it); row 3 nothing at all.
    const QVector<ListRowText> rows = {Row({}, {}, {}, {}, QStringLiteral(" ")),
                                       Row(spNo, QStringLiteral("01:00:00:00"),
                                           QStringLiteral("01:00:30:00"),
                                           QStringLiteral("00:00:30:00"), remark),
                                       ListRowText{}};
    QCOMPARE(BuildCsv(rows), CSV_HEAD + line);
}

void TestListExport::edlEvents_data() {
    QTest::addColumn<QStringList>("spans");
    QTest::addColumn<int>("drop");
    QTest::addColumn<QStringList>("records");
    QTest::addColumn<QVector<int>>("skipped");
    const QStringList acrossMinute = {"00:00:00:00/00:00:59:29", "00:10:00:00/00:10:00:03"};
    QTest::newRow("drop-frame record times skip 01:01:00:00 and :01")
        << acrossMinute << 1 << QStringList{"01:00:00;00 01:00:59;29", "01:00:59;29 01:01:00;04"}
        << QVector<int>{};
    QTest::newRow("non-drop record times do not")
        << acrossMinute << 0 << QStringList{"01:00:00:00 01:00:59:29", "01:00:59:29 01:01:00:02"}
        << QVector<int>{};
    QTest::newRow("rows without an event are named, empty rows are not")
        << QStringList{"00:00:01:00/",
                       "/00:00:02:00",
                       "",
                       "00:00:03:00/00:00:04:00",
                       "00:00:05:00/00:00:05:00",
                       "00:00:06:00/00:00:05:00",
                       "24:00:00:00/24:00:01:00",
                       "--:--:--:--/00:00:09:00"}
        << 1 << QStringList{"01:00:00;00 01:00:01;00"} << QVector<int>{1, 2, 5, 6, 7, 8};
    QTest::newRow("an event past the record day is skipped, the next still fits")
        << QStringList{"00:00:00:00/23:00:00:00", "00:00:00:00/00:00:00:01"} << 0
        << QStringList{"01:00:00:00 01:00:00:01"} << QVector<int>{1};
}

void TestListExport::edlEvents() {
    QFETCH(QStringList, spans);
    QFETCH(int, drop);
    QFETCH(QStringList, records);
    QFETCH(QVector<int>, skipped);
    const EdlBuild edl =
        BuildEdl(SpanRows(spans), QStringLiteral("t"), TimecodeRate::Thirty(drop == 1));
    QCOMPARE(RecordTimes(edl.bytes), records);
    QCOMPARE(edl.skippedRows, skipped);
}

// Marker events in time order, a frame long at their IN; on the record side a marker whose
// frame an earlier one holds moves to the next free frame (the import reads the source side).
void TestListExport::markerEvents_data() {
    QTest::addColumn<QStringList>("spans");
    QTest::addColumn<QStringList>("records");
    QTest::newRow("list order is not time order")
        << QStringList{"01:00:10:00/01:00:11:00", "01:00:02:00/01:00:03:00"}
        << QStringList{"01:00:02;00 01:00:02;01", "01:00:10;00 01:00:10;01"};
    QTest::newRow("equal INs kept apart, in row order")
        << QStringList{"01:00:05:00/01:00:06:00", "01:00:05:00/01:00:07:00",
                       "01:00:05:01/01:00:07:00"}
        << QStringList{"01:00:05;00 01:00:05;01", "01:00:05;01 01:00:05;02",
                       "01:00:05;02 01:00:05;03"};
    QTest::newRow("equal INs near midnight: the record side ends at the day's first frame")
        << QStringList{"23:59:59:28/23:59:59:29", "23:59:59:28/23:59:59:29"}
        << QStringList{"23:59:59;28 23:59:59;29", "23:59:59;29 00:00:00;00"};
}

void TestListExport::markerEvents() {
    QFETCH(QStringList, spans);
    QFETCH(QStringList, records);
    const ExportBuild edl =
        BuildMarkerEdl(SpanRows(spans), QStringLiteral("t"), TimecodeRate::Thirty(true));
    QCOMPARE(RecordTimes(edl.bytes), records);
}

void TestListExport::edlLayoutKeepsEachTextOnItsLine() {
    QVector<ListRowText> rows = {
        Row(QStringLiteral("SP\r\n1"), QStringLiteral("1:2:3:4 x"), QStringLiteral("01:02:04:04"),
            {}, QStringLiteral(" first\nsecond\u2028third\tend")),
        Row({}, QStringLiteral("01:02:05:00"), QStringLiteral("01:02:06:00"), {}, {})};
    const QByteArray expected =
        QStringLiteral("TITLE: two lines\r\n"
                       "FCM: NON-DROP FRAME\r\n"
                       "\r\n"
                       "001  AX       V     C        01:02:03:04 01:02:04:04 "
                       "01:00:00:00 01:00:01:00\r\n"
                       "* FROM CLIP NAME: SP  1\r\n"
                       "* COMMENT: first second third\tend\r\n"
                       "002  AX       V     C        01:02:05:00 01:02:06:00 "
                       "01:00:01:00 01:00:02:00\r\n"
                       "* FROM CLIP NAME: \r\n")
            .toUtf8();
    QCOMPARE(BuildEdl(rows, EdlTitle(QStringLiteral("/lists/two\nlines.txt")),
                      TimecodeRate::Thirty(false))
                 .bytes,
             expected);
    QVERIFY(BuildEdl(rows, EdlTitle(QString()), TimecodeRate::Thirty(true))
                .bytes.startsWith("TITLE: Tarnwick\r\nFCM: DROP"));
}

// One spot in the marker EDL (the marker fields after each event, as timelines that take
// markers from an EDL read them) and in the log, texts that would break a line or a field made
// safe; the layouts at every rate are held against the published ones by the converter's check.
void TestListExport::oneSpotLayouts_data() {
    QTest::addColumn<QString>("format"); // the converter's option
    QTest::addColumn<TimecodeRate>("rate");
    QTest::addColumn<QString>("text");
    QTest::newRow("markers in an EDL at 25")
        << "markers-edl" << TimecodeRate{25, false}
        << "TITLE: reel 1\r\nFCM: NON-DROP FRAME\r\n\r\n001  001      V     C        "
           "01:00:00:00 01:00:00:01 01:00:00:00 01:00:00:01\r\n"
           " |C:ResolveColorBlue |M:S｜1 |D:30 |N:a|b c\td\r\n";
    QTest::newRow("log at 30 drop-frame, labels marked with ';'")
        << "ale" << TimecodeRate{30, true}
        << "Heading\r\nFIELD_DELIM\tTABS\r\nVIDEO_FORMAT\t1080\r\nAUDIO_FORMAT\t48khz\r\n"
           "FPS\t29.97\r\n\r\nColumn\r\nName\tTracks\tStart\tEnd\tTape\tComments\r\n\r\n"
           "Data\r\nS|1\tV\t01:00:00;00\t01:00:01;05\treel 1\ta|b c d\r\n";
}

void TestListExport::oneSpotLayouts() {
    QFETCH(QString, format);
    QFETCH(TimecodeRate, rate);
    QFETCH(QString, text);
    const InterchangeFormat* f = InterchangeFormatOfOption(format);
    QVERIFY(f);
    const QVector<ListRowText> rows = {Row("S|1", "01:00:00:00", "01:00:01:05", {}, " a|b\nc\td"),
                                       Row({}, "23:59:59:23", "23:59:59:30", {}, {})};
    const ExportBuild built = BuildExport(*f, rows, "/d/reel 1.txt", rate);
    QCOMPARE(QString::fromUtf8(built.bytes), text);
    QCOMPARE(built.skippedRows, QVector<int>{2});
}

void TestListExport::exportNames_data() {
    QTest::addColumn<QString>("listPath");
    QTest::addColumn<QString>("format");
    QTest::addColumn<QString>("proposed");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("completed");
    QTest::newRow("no file yet") << "" << QStringLiteral("csv") << "spotlist.csv"
                                 << "/out/a"
                                 << "/out/a.csv";
    QTest::newRow("only the last extension goes")
        << "/d/spots.v2.txt" << QStringLiteral("edl") << "spots.v2.edl"
        << "/out/a.b"
        << "/out/a.b";
    QTest::newRow("a trailing dot gets no second one") << "/d/x" << QStringLiteral("edl") << "x.edl"
                                                       << "/out/a."
                                                       << "/out/a.edl";
    QTest::newRow("markers in an EDL do not take the events' name")
        << "/d/spots.txt" << QStringLiteral("markers-edl") << "spots-markers.edl"
        << "/out/a"
        << "/out/a.edl";
    QTest::newRow("Final Cut Pro 7 XML") << "" << QStringLiteral("xmeml") << "spotlist.xml"
                                         << "/out/a"
                                         << "/out/a.xml";
    QTest::newRow("dotted folder, bare name")
        << "/d/.txt" << QStringLiteral("csv") << "spotlist.csv"
        << "/out.d/a"
        << "/out.d/a.csv";
}

void TestListExport::exportNames() {
    QFETCH(QString, listPath);
    QFETCH(QString, format);
    QFETCH(QString, proposed);
    QFETCH(QString, typed);
    QFETCH(QString, completed);
    const InterchangeFormat* f = InterchangeFormatOfOption(format);
    QVERIFY(f);
    QCOMPARE(ExportFileName(listPath, *f), proposed);
    QCOMPARE(WithExportExtension(typed, *f), completed);
}

QTEST_GUILESS_MAIN(TestListExport)
#include "test_list_export.moc"
