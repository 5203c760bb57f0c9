#include "formats/list_export.h"
#include "formats/list_import.h"
#include "formats/workbook_text.h"
#include "timecode/duration.h"

#include <QtTest>

// Exported, then imported: every format gives the list back where it holds the field.

namespace {

ListRowText Row(const QString& spNo, const QString& in, const QString& out, const QString& remark) {
    return ListRowText{QString(), spNo, in, out, QString(), remark};
}

// A list every timeline format can hold whole: spots with IN before OUT, one before
// 01:00:00:00 (so the timelines start at it), Japanese, commas, quotes, a computed-looking
// remark, an empty SP No. and an empty remark. A table (CSV, workbook) also keeps the rows
// that make no spot where they were: empty rows, an OUT before its IN, a remark alone, an IN
// alone, and cells a spreadsheet would compute, with and without apostrophes of their own.
QVector<ListRowText> SpotList(TimecodeRate rate, bool table) {
    const QString last = QString::number(rate.fps - 1);
    QVector<ListRowText> rows = {Row("0001", "00:59:50:00", "01:00:20:00", " CM1, \"春\""),
                                 Row({}, "01:00:20:00", "01:00:21:" + last, " =1+2"),
                                 Row("A-3", "01:09:59:" + last, "01:10:00:00", " "),
                                 Row("0004", "12:00:00:01", "23:59:59:" + last, " 本編　終わり")};
    // Texts once lost or changed on the way: remarks a CMX reader took for an event, a
    // statement or a clip name, control characters, text like a workbook escape, spaces at
    // the ends, tabs and line breaks; each in a spot of its own, SP No. and remark.
    const QStringList texts =
        QStringLiteral("1 シーン§001 差し替え§12§-5§+81 3§* note§TITLE: x§FCM: DROP FRAME§"
                       "|C:Red |M:x |D:1§a\u0007b\u001Bc§_x000D_§_x0041_ _X005f_§_x0041§"
                       "  前後　 §a\tb§line\nbreak\r\n§0001§a|b§\uFFFE")
            .split(QChar(u'§'));
    for (int i = 0; i < texts.size(); ++i)
        rows << Row(texts.at((i + 3) % texts.size()), QStringLiteral("13:%1:10:00").arg(10 + i),
                    QStringLiteral("13:%1:20:00").arg(10 + i), " " + texts.at(i));
    if (table)
        rows << ListRowText{} << Row("-5", "01:00:02:00", "01:00:01:00", " @SUM(A1)\n2行目")
             << ListRowText{} << Row({}, {}, {}, "  only a remark")
             << Row("+6", "01:00:06:00", {}, " ") << Row("'-7", {}, {}, " '=1");
    return rows;
}

// The rows as the import gives them back: numbered, durations computed.
QVector<ListRowText> AsImported(QVector<ListRowText> rows, TimecodeRate rate) {
    for (int i = 0; i < rows.size(); ++i) {
        rows[i].no = RowLabel(i + 1);
        const std::optional<int> frames =
            RowDuration(TimecodeCell::Read(rows[i].in.toStdString(), rate),
                        TimecodeCell::Read(rows[i].out.toStdString(), rate), rate);
        rows[i].duration = frames ? QString::fromStdString(FormatDuration(*frames, rate)) : "";
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

// What each format keeps of a text, stated apart from the exports.
QString AsKept(const QString& option, QString text, bool isSpNo) {
    for (QChar& c : text) {
        const char16_t u = c.unicode();
        const bool control = u < 0x20 || (u >= 0x7F && u < 0xA0);
        if (((option == "edl" || option == "markers-edl") && control && u != '\t') ||
            (option == "ale" && control))
            c = ' ';
        else if ((option == "fcpxml" || option == "xmeml") &&
                 ((control && u < 0x20 && u != '\t' && u != '\n' && u != '\r') || u >= 0xFFFE))
            c = QChar::ReplacementCharacter;
        else if (option == "markers-edl" && isSpNo && u == '|')
            c = QChar(0xFF5C);
    }
    return text;
}

} // namespace

class TestListImport : public QObject {
    Q_OBJECT
private slots:
    void roundTrip_data();
    void roundTrip();
    void workbookEscapes_data();
    void workbookEscapes();
    void othersFiles_data();
    void othersFiles();
    void leftOutAndWhy_data();
    void leftOutAndWhy();
    void fileThatCannotBeRead();
};

void TestListImport::roundTrip_data() {
    QTest::addColumn<int>("format"); // its row in the table
    QTest::addColumn<TimecodeRate>("rate");
    for (const InterchangeFormat& f : InterchangeFormats()) {
        for (TimecodeRate rate : RATES) {
            QTest::addRow("%s at %d%s", qPrintable(ExportFileName({}, f)), rate.fps,
                          rate.DropFrame() ? " drop" : "")
                << int(&f - InterchangeFormats().data()) << rate;
        }
    }
}

void TestListImport::roundTrip() {
    QFETCH(int, format);
    QFETCH(TimecodeRate, rate);
    const InterchangeFormat& f = InterchangeFormats()[format];
    const QVector<ListRowText> list = SpotList(rate, !ExportLeavesOutRows(f));
    const ExportBuild built = BuildExport(f, list, QStringLiteral("/x/spots.txt"), rate);
    QVERIFY(built.ok);
    QCOMPARE(built.skippedRows, QVector<int>{});
    const ImportedList back = ImportListBytes(built.bytes, ImportFormat::Unknown, rate);
    QVERIFY2(back.read, qPrintable(back.error));
    QCOMPARE(ImportLeftOutMessage(back.leftOut), QString());

    // Every cell comes back, its text as the format keeps it; the rows it changed are named.
    QVector<ListRowText> expected = AsImported(list, rate);
    QVector<int> changed;
    for (ListRowText& r : expected) {
        const QString option = QLatin1String(f.option), spNo = r.spNo, remark = r.remark;
        r.spNo = AsKept(option, spNo, true);
        r.remark = AsKept(option, remark, false);
        if ((r.spNo != spNo || r.remark != remark) && ListRowHoldsAnything(r))
            changed << r.no.toInt();
    }
    QCOMPARE(RowsText(back.rows).split('\n'), RowsText(expected).split('\n'));
    QCOMPARE(built.changedRows, changed);
}

// A cell's text as the workbook holds it, both ways, also as a spreadsheet saves it again.
void TestListImport::workbookEscapes_data() {
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("written");
    QTest::newRow("control characters, a carriage return") << "a\u0007\r\n"
                                                           << "a_x0007__x000D_\n";
    QTest::newRow("escape-looking text protected") << "_x0041_ _x000d_"
                                                   << "_x005F_x0041_ _x005F_x000d_";
    QTest::newRow("escape-looking before a control character") << "_x0041\u0007"
                                                               << "_x005F_x0041_x0007_";
    QTest::newRow("no escape without its closing '_'") << "_x0041 _x12G4_"
                                                       << "_x0041 _x12G4_";
    QTest::newRow("an escaped '_' before an escape") << "_x005F_"
                                                     << "_x005F_x005F_";
}

void TestListImport::workbookEscapes() {
    QFETCH(QString, text);
    QFETCH(QString, written);
    QCOMPARE(WorkbookEscaped(text), written);
    QCOMPARE(WorkbookUnescaped(written), text);
}

// Files other programs wrote: a spreadsheet's saves of the CSV, and markers placed as other
// systems place them (on clips inside the timeline, points without duration, a second track).
void TestListImport::othersFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("format");
    QTest::addColumn<QString>("rows");
    const QString spot = "0001|1|00:59:50:00|01:00:20:00|00:00:30:00| CM1; 春";
    const QString table = "No;SP No.;IN;OUT;DURATION;REMARK\r\n"
                          "1;1;00:59:50:00;01:00:20:00;00:00:30:00;\"CM1; 春\"\r\n";
    QTest::newRow("CSV with semicolons, no byte-order mark")
        << table.toUtf8() << int(ImportFormat::Csv) << spot;
    QTest::newRow("CSV in code page 932")
        << QByteArray("No,SP No.,IN,OUT,DURATION,REMARK\r\n1,1,00:59:50:00,01:00:20:00,,"
                      "\"CM1; \x8f\x74\"\n")
        << int(ImportFormat::Csv) << spot;
    const QString tabs = "REMARK\tOUT\tIN\tSP No.\r\nCM1; 春\t01:00:20:00\t00:59:50:00\t1\r\n";
    QTest::newRow("CSV in UTF-16 with tabs, columns reordered")
        << QByteArray("\xFF\xFE") +
               QByteArray(reinterpret_cast<const char*>(tabs.utf16()), 2 * tabs.size())
        << int(ImportFormat::Csv) << spot;
    QTest::newRow("FCPXML marker on a clip after a gap")
        << QByteArray(R"(<fcpxml version="1.11"><library><event><project><sequence format="r1"
            tcStart="3600s"><spine><gap offset="3600s" start="0s" duration="10s"/>
            <asset-clip offset="3610s" start="100s" duration="5s"><marker start="102s"
            duration="1/25s" value="M" note="n"/><marker start="103s" value="P"/></asset-clip>
            </spine></sequence></project></event></library></fcpxml>)")
        << int(ImportFormat::Fcpxml)
        << "0001|M|01:00:12:00|01:00:12:01|00:00:00:01| n\n"
           "0002|P|01:00:13:00||| ";
    QTest::newRow("xmeml point marker")
        << QByteArray("<xmeml version=\"5\"><sequence><rate><timebase>25</timebase><ntsc>FALSE"
                      "</ntsc></rate><timecode><frame>90000</frame></timecode><marker><name>A"
                      "</name><comment>c</comment><in>50</in><out>-1</out></marker></sequence>"
                      "</xmeml>")
        << int(ImportFormat::Xmeml) << "0001|A|01:00:02:00||| c";
    QTest::newRow("OTIO marker on a clip after a gap")
        << QByteArray(R"({"OTIO_SCHEMA":"Timeline.1","global_start_time":{"rate":25,"value":90000},
            "tracks":{"OTIO_SCHEMA":"Stack.1","children":[{"OTIO_SCHEMA":"Track.1","children":[
            {"OTIO_SCHEMA":"Gap.1","source_range":{"start_time":{"rate":25,"value":0},
            "duration":{"rate":25,"value":50}}},
            {"OTIO_SCHEMA":"Clip.2","source_range":{"start_time":{"rate":25,"value":1000},
            "duration":{"rate":25,"value":100}},"markers":[{"OTIO_SCHEMA":"Marker.2","name":"C",
            "marked_range":{"start_time":{"rate":25,"value":1010},"duration":{"rate":25,
            "value":25}}}]}]}]}})")
        << int(ImportFormat::Otio) << "0001|C|01:00:02:10|01:00:03:10|00:00:01:00| ";
}

void TestListImport::othersFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, format);
    QFETCH(QString, rows);
    const ImportedList back = ImportListBytes(bytes, ImportFormat::Unknown, {25, false});
    QVERIFY(back.read);
    QCOMPARE(int(back.format), format);
    QCOMPARE(ImportLeftOutMessage(back.leftOut), QString());
    QCOMPARE(RowsText(back.rows), rows);
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
        << TimecodeRate{25, false} << 3
        << "次のものは読み込みませんでした。\n"
           "7行目: 読み取れませんでした\n\n"
           "次の行は読み込みましたが、使えないタイムコードがあります。\n"
           "4行目: 00:01:00:25 はこのフレームレートにないため、文字のまま入れました\n"
           "6行目: 00:00:10:29 はこのフレームレートにないため、文字のまま入れました";
    QTest::newRow("a drop-frame label that does not exist")
        << QByteArray("No,SP No.,IN,OUT\r\n1,,00:02:00:01,00:02:00:05\r\n2,,junk,\r\n")
        << TimecodeRate{30, true} << 2
        << "次の行は読み込みましたが、使えないタイムコードがあります。\n"
           "2行目: 00:02:00:01 はこのフレームレートにないため、文字のまま入れました\n"
           "3行目: junk はタイムコードとして読み取れないため、空欄にしました";
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

void TestListImport::fileThatCannotBeRead() {
    const ImportedList back = ImportListFile(QStringLiteral("/nonexistent/x.csv"), {30, true});
    QVERIFY(!back.read);
    QCOMPARE(back.error, QStringLiteral("ファイル読み込みできませんでした"));
}

QTEST_GUILESS_MAIN(TestListImport)
#include "test_list_import.moc"
