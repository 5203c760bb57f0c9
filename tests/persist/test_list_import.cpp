#include "persist/list_export.h"
#include "persist/list_import.h"

#include <QtTest>

// Exported, then imported: every format gives the list back where it holds the field.

namespace {

ListRowText Row(const QString& spNo, const QString& in, const QString& out, const QString& remark) {
    return ListRowText{QString(), spNo, in, out, QString(), remark};
}

// A list every timeline format can hold whole: spots with IN before OUT, one before
// 01:00:00:00 (so the timelines start at it), Japanese, commas, quotes, a computed-looking
// remark, an empty SP No. and an empty remark.
QVector<ListRowText> SpotList(TimecodeRate rate) {
    const int last = rate.fps - 1;
    return {Row(QStringLiteral("0001"), QStringLiteral("00:59:50:00"),
                QStringLiteral("01:00:20:00"), QStringLiteral(" CM1, \"春\"")),
            Row(QString(), QStringLiteral("01:00:20:00"),
                QStringLiteral("01:00:21:%1").arg(last, 2, 10, QLatin1Char('0')),
                QStringLiteral(" =1+2")),
            Row(QStringLiteral("A-3"), QStringLiteral("01:09:59:%1").arg(last),
                QStringLiteral("01:10:00:00"), QStringLiteral(" ")),
            Row(QStringLiteral("0004"), QStringLiteral("12:00:00:01"),
                QStringLiteral("23:59:59:%1").arg(last), QStringLiteral(" 本編　終わり"))};
}

// The rows as the import gives them back: numbered, durations computed.
QVector<ListRowText> AsImported(QVector<ListRowText> rows, TimecodeRate rate) {
    for (int i = 0; i < rows.size(); ++i) {
        rows[i].no = RowLabel(i + 1);
        const ImportedList again =
            ImportListBytes(BuildCsv({Row({}, rows[i].in, rows[i].out, QStringLiteral(" x"))}),
                            ImportFormat::Csv, rate);
        rows[i].duration = again.rows.value(0).duration;
    }
    return rows;
}

QString RowsText(const QVector<ListRowText>& rows) {
    QStringList lines;
    for (const ListRowText& r : rows)
        lines << QStringList{r.no, r.spNo, r.in, r.out, r.duration, r.remark}.join('|');
    return lines.join('\n');
}

const TimecodeRate RATES[] = {{24, false}, {25, false}, {30, false}, {30, true}};

QString RateName(TimecodeRate rate) {
    return QStringLiteral("%1%2").arg(rate.fps).arg(rate.DropFrame() ? " drop" : "");
}

} // namespace

class TestListImport : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void tablesKeepTheirRowNumbers_data();
    void tablesKeepTheirRowNumbers();
    void spreadsheetSavesOfTheCsv_data();
    void spreadsheetSavesOfTheCsv();
    void leftOutAndWhy_data();
    void leftOutAndWhy();
    void formatsFromContent_data();
    void formatsFromContent();
    void foreignMarkers_data();
    void foreignMarkers();
    void fileThatCannotBeRead();
};

void TestListImport::roundTrip_data() {
    QTest::addColumn<int>("format");
    QTest::addColumn<TimecodeRate>("rate");
    for (ExportFormat f : ExportFormats()) {
        for (TimecodeRate rate : RATES) {
            QTest::addRow("%s at %s", qPrintable(ExportFileName({}, f)), qPrintable(RateName(rate)))
                << int(f) << rate;
        }
    }
}

void TestListImport::roundTrip() {
    QFETCH(int, format);
    QFETCH(TimecodeRate, rate);
    const ExportFormat f = ExportFormat(format);
    const QVector<ListRowText> list = SpotList(rate);
    const ExportBuild built = BuildExport(f, list, QStringLiteral("/x/spots.txt"), rate);
    QVERIFY(built.ok);
    QCOMPARE(built.skippedRows, QVector<int>{});
    const ImportedList back = ImportListBytes(built.bytes, ImportFormat::Unknown, rate);
    QVERIFY2(back.read, qPrintable(back.error));
    QCOMPARE(ImportLeftOutMessage(back.leftOut), QString());

    QVector<ListRowText> expected = AsImported(list, rate);
    // An EDL of events has no empty SP No. or remark to tell from none, and no other field
    // is lost; a log names the clip by its SP No. as given.
    QCOMPARE(RowsText(back.rows), RowsText(expected));
}

void TestListImport::tablesKeepTheirRowNumbers_data() {
    QTest::addColumn<bool>("workbook");
    QTest::newRow("CSV") << false;
    QTest::newRow("workbook") << true;
}

void TestListImport::tablesKeepTheirRowNumbers() {
    QFETCH(bool, workbook);
    const TimecodeRate rate{30, true};
    // Rows 2 and 4 are empty, row 5 holds only a remark, row 6 an IN without OUT, row 7 a
    // label drop-frame skips: a table keeps them all where they were.
    QVector<ListRowText> list(7);
    list[0] = Row(QStringLiteral("0001"), QStringLiteral("01:00:00:00"),
                  QStringLiteral("01:00:01:00"), QStringLiteral(" a"));
    list[2] = Row(QStringLiteral("-5"), QStringLiteral("01:00:02:00"),
                  QStringLiteral("01:00:01:00"), QStringLiteral(" @SUM(A1)\n2行目"));
    list[4] = Row({}, {}, {}, QStringLiteral("  only a remark"));
    list[5] = Row(QStringLiteral("+6"), QStringLiteral("01:00:06:00"), {}, QStringLiteral(" "));
    list[6] = Row(QStringLiteral("0007"), QStringLiteral("01:00:06:00"),
                  QStringLiteral("01:00:07:00"), QStringLiteral(" "));
    const ExportBuild built =
        BuildExport(workbook ? ExportFormat::Xlsx : ExportFormat::Csv, list, {}, rate);
    const ImportedList back = ImportListBytes(built.bytes, ImportFormat::Unknown, rate);
    QVERIFY(back.read);
    QCOMPARE(back.leftOut.size(), 0);
    QVector<ListRowText> expected = AsImported(list, rate);
    expected[1] = expected[3] = ListRowText{};
    expected[1].no = RowLabel(2);
    expected[3].no = RowLabel(4);
    QCOMPARE(RowsText(back.rows), RowsText(expected));
}

void TestListImport::spreadsheetSavesOfTheCsv_data() {
    QTest::addColumn<QByteArray>("bytes");
    const QString table = QStringLiteral("No;SP No.;IN;OUT;DURATION;REMARK\r\n"
                                         "1;1;00:59:50:00;01:00:20:00;00:00:30:00;\"CM1; 春\"\r\n");
    QTest::newRow("semicolons, no byte-order mark") << table.toUtf8();
    QTest::newRow("code page 932")
        << QByteArray("No,SP No.,IN,OUT,DURATION,REMARK\r\n1,1,00:59:50:00,01:00:20:00,,"
                      "\"CM1; \x8f\x74\"\n");
    const QString tabs = QStringLiteral("REMARK\tOUT\tIN\tSP No.\r\nCM1; 春\t01:00:20:00\t"
                                        "00:59:50:00\t1\r\n");
    QTest::newRow("UTF-16 with tabs, columns reordered")
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(tabs.utf16()), 2 * tabs.size());
}

void TestListImport::spreadsheetSavesOfTheCsv() {
    QFETCH(QByteArray, bytes);
    const ImportedList back = ImportListBytes(bytes, ImportFormat::Unknown, {30, true});
    QCOMPARE(int(back.format), int(ImportFormat::Csv));
    QCOMPARE(RowsText(back.rows),
             QStringLiteral("0001|1|00:59:50:00|01:00:20:00|00:00:30:00| CM1; 春"));
}

void TestListImport::leftOutAndWhy_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<TimecodeRate>("rate");
    QTest::addColumn<int>("rows");
    QTest::addColumn<QString>("message");
    QByteArray many = "No,SP No.,IN,OUT\r\n";
    for (int i = 1; i <= 43; ++i)
        many += QByteArray::number(i) + ",S,01:00:00:00,01:00:01:00\r\n";
    QTest::newRow("more than 40 rows") << many << TimecodeRate{30, false} << 40
                                       << "次のものは読み込みませんでした。\n"
                                          "42行目から: リストは40行までのため、3件";
    QTest::newRow("labels the rate does not have")
        << QByteArray("TITLE: x\r\nFCM: DROP FRAME\r\n\r\n"
                      "001  AX  V  C  00:01:00:00 00:01:00:25 01:00:00:00 01:00:00:05\r\n"
                      "002  AX  V  C  00:00:10:00 00:00:11:00 01:00:00:05 01:00:01:05\r\n"
                      "003  AX  V  C  00:00:10:00 00:00:10:29 01:00:00:05 01:00:01:05\r\n"
                      "004  AX  V  C  00:00:10:00 01:00:00\r\n")
        << TimecodeRate{25, false} << 1
        << "次のものは読み込みませんでした。\n"
           "4行目: 00:01:00:25 はこのフレームレートにないタイムコードです\n"
           "6行目: 00:00:10:29 はこのフレームレートにないタイムコードです\n"
           "7行目: 読み取れませんでした";
    QTest::newRow("a drop-frame label that does not exist")
        << QByteArray("No,SP No.,IN,OUT\r\n1,,00:02:00:01,00:02:00:05\r\n2,,junk,\r\n")
        << TimecodeRate{30, true} << 0
        << "次のものは読み込みませんでした。\n"
           "2行目: 00:02:00:01 はこのフレームレートにないタイムコードです\n"
           "3行目: junk はタイムコードとして読み取れません";
}

void TestListImport::leftOutAndWhy() {
    QFETCH(QByteArray, bytes);
    QFETCH(TimecodeRate, rate);
    QFETCH(int, rows);
    QFETCH(QString, message);
    const ImportedList back = ImportListBytes(bytes, ImportFormat::Unknown, rate);
    QVERIFY(back.read);
    QCOMPARE(back.rows.size(), rows);
    QCOMPARE(ImportLeftOutMessage(back.leftOut), message);
}

void TestListImport::formatsFromContent_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("read");
    QTest::newRow("empty") << QByteArray() << int(ImportFormat::Unknown) << false;
    QTest::newRow("other XML") << QByteArray("<?xml version=\"1.0\"?><html/>")
                               << int(ImportFormat::Unknown) << false;
    QTest::newRow("other JSON") << QByteArray("{\"a\": 1}") << int(ImportFormat::Unknown) << false;
    QTest::newRow("a zip that is no workbook")
        << QByteArray("PK\x03\x04garbage", 12) << int(ImportFormat::Xlsx) << false;
    QTest::newRow("an event line without a title")
        << QByteArray("001  AX V C 01:00:00:00 01:00:01:00 01:00:00:00 01:00:01:00\n")
        << int(ImportFormat::Edl) << true;
    QTest::newRow("a log") << QByteArray("Heading\nFPS\t25\n\nColumn\nName\tStart\tEnd\n\nData\n")
                           << int(ImportFormat::Ale) << true;
}

void TestListImport::formatsFromContent() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, format);
    QFETCH(bool, read);
    const ImportedList back = ImportListBytes(bytes, ImportFormat::Unknown, {30, true});
    QCOMPARE(int(back.format), format);
    QCOMPARE(back.read, read);
    QCOMPARE(back.error.isEmpty(), read);
}

// Markers placed as other systems place them: on clips inside the timeline, points without
// duration, a second track.
void TestListImport::foreignMarkers_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<QString>("rows");
    QTest::newRow("FCPXML marker on a clip after a gap")
        << QByteArray(R"(<fcpxml version="1.11"><library><event><project><sequence format="r1"
            tcStart="3600s"><spine><gap offset="3600s" start="0s" duration="10s"/>
            <asset-clip offset="3610s" start="100s" duration="5s"><marker start="102s"
            duration="1/25s" value="M" note="n"/><marker start="103s" value="P"/></asset-clip>
            </spine></sequence></project></event></library></fcpxml>)")
        << "0001|M|01:00:12:00|01:00:12:01|00:00:00:01| n\n"
           "0002|P|01:00:13:00||| ";
    QTest::newRow("xmeml point marker")
        << QByteArray("<xmeml version=\"5\"><sequence><rate><timebase>25</timebase><ntsc>FALSE"
                      "</ntsc></rate><timecode><frame>90000</frame></timecode><marker><name>A"
                      "</name><comment>c</comment><in>50</in><out>-1</out></marker></sequence>"
                      "</xmeml>")
        << "0001|A|01:00:02:00||| c";
    QTest::newRow("OTIO marker on a clip after a gap")
        << QByteArray(R"({"OTIO_SCHEMA":"Timeline.1","global_start_time":{"rate":25,"value":90000},
            "tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1","children":[
            {"OTIO_SCHEMA":"Gap.1","source_range":{"start_time":{"rate":25,"value":0},
            "duration":{"rate":25,"value":50}}},
            {"OTIO_SCHEMA":"Clip.2","source_range":{"start_time":{"rate":25,"value":1000},
            "duration":{"rate":25,"value":100}},"markers":[{"OTIO_SCHEMA":"Marker.2","name":"C",
            "marked_range":{"start_time":{"rate":25,"value":1010},"duration":{"rate":25,
            "value":25}}}]}]}]}})")
        << "0001|C|01:00:02:10|01:00:03:10|00:00:01:00| ";
}

void TestListImport::foreignMarkers() {
    QFETCH(QByteArray, bytes);
    QFETCH(QString, rows);
    const ImportedList back = ImportListBytes(bytes, ImportFormat::Unknown, {25, false});
    QVERIFY(back.read);
    QCOMPARE(ImportLeftOutMessage(back.leftOut), QString());
    QCOMPARE(RowsText(back.rows), rows);
}

void TestListImport::fileThatCannotBeRead() {
    const ImportedList back = ImportListFile(QStringLiteral("/nonexistent/x.csv"), {30, true});
    QVERIFY(!back.read);
    QCOMPARE(back.error, QStringLiteral("ファイル読み込みできませんでした"));
}

QTEST_GUILESS_MAIN(TestListImport)
#include "test_list_import.moc"
