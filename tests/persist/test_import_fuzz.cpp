#include "persist/list_export.h"
#include "persist/list_import.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

#include <zip.h>

// Hostile files must neither crash nor hang the readers of lists that come in, nor make them
// take unbounded memory, and what they give back must have the list's shape. Seeded, so a
// failure can be repeated; run under the sanitizers too.

namespace {

constexpr quint32 SEED = 20261207;
const TimecodeRate RATES[] = {{24, false}, {25, false}, {30, false}, {30, true}};

QVector<ListRowText> RandomList(QRandomGenerator& rng) {
    QVector<ListRowText> rows(1 + rng.bounded(40));
    for (ListRowText& r : rows) {
        if (rng.bounded(4) == 0)
            continue;
        r.spNo = QString::number(rng.bounded(100000));
        r.in = QString::asprintf("%02d:%02d:%02d:%02d", rng.bounded(24), rng.bounded(60),
                                 rng.bounded(60), rng.bounded(24));
        r.out = QString::asprintf("%02d:%02d:%02d:%02d", rng.bounded(24), rng.bounded(60),
                                  rng.bounded(60), rng.bounded(24));
        r.remark = QStringLiteral(" 本編, \"CM\" =%1\n|x").arg(rng.bounded(100));
    }
    return rows;
}

QByteArray Mutate(QRandomGenerator& rng, QByteArray b) {
    const int edits = 1 + rng.bounded(6);
    for (int e = 0; e < edits && !b.isEmpty(); ++e) {
        const int at = rng.bounded(int(b.size()));
        switch (rng.bounded(4)) {
        case 0:
            b[at] = char(rng.bounded(256));
            break;
        case 1:
            b.remove(at, rng.bounded(40));
            break;
        case 2:
            b.insert(at, b.mid(rng.bounded(int(b.size())), rng.bounded(200)));
            break;
        case 3:
            b.insert(at, QByteArray::number(qint64(rng.generate64())));
            break;
        }
    }
    return b;
}

// Whatever came back has the list's shape: at most 40 rows, numbered, labels that exist at
// the rate, remarks with the cell's space.
void CheckShape(const ImportedList& list, TimecodeRate rate) {
    QVERIFY(list.rows.size() <= MAX_LIST_ROWS);
    for (int i = 0; i < list.rows.size(); ++i) {
        const ListRowText& r = list.rows.at(i);
        QCOMPARE(r.no, RowLabel(i + 1));
        for (const QString& label : {r.in, r.out}) {
            if (!label.isEmpty())
                QVERIFY2(Timecode::FromText(label.toStdString(), rate).IsValid(),
                         qPrintable(label));
        }
        QVERIFY(r.remark.isEmpty() || r.remark.startsWith(QLatin1Char(' ')));
    }
    QVERIFY(list.read || list.rows.isEmpty());
}

// A zip written by libzip, entries stored deflated.
QByteArray Zip(const QVector<QPair<QByteArray, QByteArray>>& entries) {
    QTemporaryDir dir;
    const QByteArray path = QFile::encodeName(dir.filePath(QStringLiteral("z.xlsx")));
    int error = 0;
    zip_t* z = zip_open(path.constData(), ZIP_CREATE | ZIP_TRUNCATE, &error);
    if (!z)
        return {};
    for (const auto& e : entries) {
        zip_source_t* s =
            zip_source_buffer(z, e.second.constData(), zip_uint64_t(e.second.size()), 0);
        zip_file_add(z, e.first.constData(), s, ZIP_FL_OVERWRITE);
    }
    if (zip_close(z) != 0)
        return {};
    QFile f(QString::fromLocal8Bit(path));
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const QByteArray WORKBOOK_RELS =
    R"(<Relationships><Relationship Id="rId1" Target="worksheets/sheet1.xml"/></Relationships>)";
const QByteArray WORKBOOK =
    R"(<workbook><sheets><sheet name="a" r:id="rId1"/></sheets></workbook>)";

} // namespace

class TestImportFuzz : public QObject {
    Q_OBJECT
private slots:
    void mutatedExportsKeepTheListsShape();
    void randomBytesKeepTheListsShape();
    void hostileFiles_data();
    void hostileFiles();
};

void TestImportFuzz::mutatedExportsKeepTheListsShape() {
    QRandomGenerator rng(SEED);
    const QVector<ExportFormat> formats = ExportFormats();
    for (int iteration = 0; iteration < 600; ++iteration) {
        const TimecodeRate rate = RATES[rng.bounded(4)];
        const ExportFormat format = formats.at(rng.bounded(int(formats.size())));
        const ExportBuild built =
            BuildExport(format, RandomList(rng), QStringLiteral("l.txt"), rate);
        QVERIFY(built.ok);
        const QByteArray bytes = iteration % 5 == 0 ? built.bytes : Mutate(rng, built.bytes);
        CheckShape(ImportListBytes(bytes, ImportFormat::Unknown, rate), rate);
        if (QTest::currentTestFailed())
            qWarning() << "iteration" << iteration << ExportExtension(format);
    }
}

void TestImportFuzz::randomBytesKeepTheListsShape() {
    QRandomGenerator rng(SEED + 1);
    static const char* const heads[] = {"",
                                        "PK\x03\x04",
                                        "<fcpxml>",
                                        "<xmeml><sequence>",
                                        "{\"OTIO_SCHEMA\":\"Timeline.1\",",
                                        "Heading\nColumn\n",
                                        "TITLE: x\n001 "};
    for (int iteration = 0; iteration < 2000; ++iteration) {
        QByteArray bytes = heads[iteration % 7];
        const int n = rng.bounded(2000);
        static const char interesting[] = "0123456789:;,\t\r\n \"'<>/=|{}[]-";
        for (int i = 0; i < n; ++i)
            bytes.append(rng.bounded(3) ? interesting[rng.bounded(int(sizeof interesting) - 1)]
                                        : char(rng.bounded(256)));
        for (TimecodeRate rate : RATES)
            CheckShape(ImportListBytes(bytes, ImportFormat::Unknown, rate), rate);
    }
}

void TestImportFuzz::hostileFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<bool>("read");
    QTest::addColumn<int>("rows");

    // A sheet that unpacks to 40 MiB from a few kilobytes: refused, not unpacked whole.
    QTest::newRow("workbook whose sheet unpacks past the bound")
        << Zip({{"xl/workbook.xml", WORKBOOK},
                {"xl/_rels/workbook.xml.rels", WORKBOOK_RELS},
                {"xl/worksheets/sheet1.xml", QByteArray(40 * 1024 * 1024, ' ')}})
        << false << 0;
    QVector<QPair<QByteArray, QByteArray>> many;
    for (int i = 0; i < 10001; ++i)
        many.append({"e" + QByteArray::number(i), QByteArray()});
    QTest::newRow("workbook of more entries than any") << Zip(many) << false << 0;
    QTest::newRow("workbook whose relationship points outside")
        << Zip({{"xl/workbook.xml", WORKBOOK},
                {"xl/_rels/workbook.xml.rels",
                 R"(<Relationships><Relationship Id="rId1" Target="/../../etc/passwd"/>)"
                 R"(</Relationships>)"}})
        << false << 0;
    QTest::newRow("workbook with shared strings out of range and a huge column")
        << Zip({{"xl/workbook.xml", WORKBOOK},
                {"xl/_rels/workbook.xml.rels", WORKBOOK_RELS},
                {"xl/sharedStrings.xml", "<sst><si><t>01:00:00:00</t></si></sst>"},
                {"xl/worksheets/sheet1.xml",
                 R"(<worksheet><sheetData><row r="1"><c r="C1" t="s"><v>0</v></c>)"
                 R"(<c r="D1" t="s"><v>99999999999</v></c><c r="ZZZZZZ1" t="s"><v>0</v></c>)"
                 R"(<c r="XFD1" t="s"><v>-1</v></c></row></sheetData></worksheet>)"}})
        << true << 1;
    QTest::newRow("entities that expand a billion times")
        << QByteArray(R"(<?xml version="1.0"?><!DOCTYPE fcpxml [<!ENTITY a "aaaaaaaaaa">)"
                      R"(<!ENTITY b "&a;&a;&a;&a;&a;&a;&a;&a;&a;&a;"><!ENTITY c "&b;&b;&b;&b;&b;)"
                      R"(&b;&b;&b;&b;&b;"><!ENTITY d "&c;&c;&c;&c;&c;&c;&c;&c;&c;&c;">)"
                      R"(<!ENTITY e "&d;&d;&d;&d;&d;&d;&d;&d;&d;&d;"><!ENTITY f "&e;&e;&e;&e;)"
                      R"(&e;&e;&e;&e;&e;&e;"><!ENTITY g "&f;&f;&f;&f;&f;&f;&f;&f;&f;&f;">]>)"
                      R"(<fcpxml><marker start="3600s" value="&g;"/></fcpxml>)")
        << true << 0;
    QTest::newRow("elements nested a million deep")
        << QByteArray("<fcpxml>") + QByteArray("<gap offset=\"1s\">").repeated(1000000) << true
        << 0;
    QTest::newRow("JSON nested a million deep")
        << QByteArray("{\"OTIO_SCHEMA\":\"Timeline.1\",\"x\":") + QByteArray("[").repeated(1000000)
        << false << 0;
    QTest::newRow("OTIO times past any day and not numbers")
        << QByteArray(R"({"OTIO_SCHEMA":"Timeline.1","global_start_time":{"rate":1e-300,)"
                      R"("value":1e300},"tracks":{"markers":[{"marked_range":{"start_time":)"
                      R"({"rate":0,"value":1},"duration":{"rate":25,"value":"x"}}},)"
                      R"({"marked_range":{"start_time":{"rate":25,"value":-5},)"
                      R"("duration":{"rate":25,"value":1}}}]}})")
        << true << 0;
    QTest::newRow("xmeml rate of nought and frames past any day")
        << QByteArray("<xmeml><sequence><rate><timebase>0</timebase></rate><marker><in>5</in>"
                      "</marker></sequence><sequence><rate><timebase>25</timebase></rate>"
                      "<marker><in>1e300</in></marker></sequence></xmeml>")
        << true << 0;
    QTest::newRow("a CSV field that never closes its quote")
        << QByteArray("No,SP No.,IN,OUT\r\n1,\"") + QByteArray(3 * 1024 * 1024, 'x') << true << 0;
    QTest::newRow("a CSV whose last row never closes its quote")
        << QByteArray("No,SP No.,IN,OUT\r\n1,,01:00:00:00,01:00:01:00\r\n2,\"x,01:00:00:00\r\n")
        << true << 1;
    QTest::newRow("an EDL event line of a hundred thousand fields")
        << QByteArray("TITLE: x\n001 ") + QByteArray("AX ").repeated(100000) +
               "01:00:00:00 01:00:01:00 01:00:00:00 01:00:01:00\n* FROM CLIP NAME: x\n"
        << true << 1;
}

void TestImportFuzz::hostileFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(bool, read);
    QFETCH(int, rows);
    QVERIFY(!bytes.isEmpty());
    const ImportedList list = ImportListBytes(bytes, ImportFormat::Unknown, {25, false});
    QCOMPARE(list.read, read);
    QCOMPARE(list.rows.size(), rows);
    CheckShape(list, {25, false});
}

QTEST_GUILESS_MAIN(TestImportFuzz)
#include "test_import_fuzz.moc"
