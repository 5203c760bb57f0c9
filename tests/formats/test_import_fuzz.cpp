#include "formats/list_export.h"
#include "formats/list_import.h"

#include <QRandomGenerator>
#include <QRegularExpression>
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
        for (QString* label : {&r.in, &r.out})
            *label = QString::asprintf("%02d:%02d:%02d:%02d", rng.bounded(24), rng.bounded(60),
                                       rng.bounded(60), rng.bounded(24));
        r.remark = QStringLiteral(" 本編, \"CM\" =%1\n|x").arg(rng.bounded(100));
    }
    return rows;
}

// The one generator of hostile files: a start (an export, or a format's first bytes) with one
// to six edits, each up to 39 bytes replaced by nothing, a byte, a span of the file, a number,
// or a run of the characters that readers look for.
QByteArray Fuzz(QRandomGenerator& rng, QByteArray b) {
    static const char interesting[] = "0123456789:;,\t\r\n \"'<>/=|{}[]-";
    for (int edits = 1 + rng.bounded(6); edits > 0; --edits) {
        const int kind = rng.bounded(5);
        QByteArray piece;
        if (kind == 1)
            piece = QByteArray(1, char(rng.bounded(256)));
        else if (kind == 2)
            piece = b.mid(rng.bounded(int(b.size()) + 1), rng.bounded(200));
        else if (kind == 3)
            piece = QByteArray::number(qint64(rng.generate64()));
        for (int n = kind == 4 ? rng.bounded(500) : 0; n > 0; --n)
            piece += rng.bounded(3) ? interesting[rng.bounded(int(sizeof interesting) - 1)]
                                    : char(rng.bounded(256));
        b.replace(rng.bounded(int(b.size()) + 1), rng.bounded(40), piece);
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
        // A label of the rate, or one it lacks kept as the window keeps a typed one.
        static const QRegularExpression typed(QStringLiteral("^\\d\\d:\\d\\d:\\d\\d:\\d\\d$"));
        for (const QString& label : {r.in, r.out}) {
            if (!label.isEmpty())
                QVERIFY2(Timecode::FromText(label.toStdString(), rate).IsValid() ||
                             typed.match(label).hasMatch(),
                         qPrintable(label));
        }
        QVERIFY(r.remark.isEmpty() || r.remark.startsWith(QLatin1Char(' ')));
    }
    QVERIFY(list.read || list.rows.isEmpty());
}

// A zip written by libzip, entries stored deflated.
QByteArray Zip(const QVector<QPair<QByteArray, QByteArray>>& entries) {
    QTemporaryDir dir;
    QFile file(dir.filePath(QStringLiteral("z.xlsx")));
    int error = 0;
    zip_t* z = zip_open(QFile::encodeName(file.fileName()).constData(), ZIP_CREATE, &error);
    if (!z)
        return {}; // empty bytes, which no row takes for a workbook
    for (const auto& e : entries) {
        zip_file_add(z, e.first.constData(),
                     zip_source_buffer(z, e.second.constData(), zip_uint64_t(e.second.size()), 0),
                     ZIP_FL_OVERWRITE);
    }
    return zip_close(z) == 0 && file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

const QByteArray WORKBOOK_RELS =
    R"(<Relationships><Relationship Id="rId1" Target="worksheets/sheet1.xml"/></Relationships>)";
const QByteArray WORKBOOK =
    R"(<workbook><sheets><sheet name="a" r:id="rId1"/></sheets></workbook>)";

QByteArray Workbook(const QByteArray& shared, const QByteArray& sheet) {
    return Zip({{"xl/workbook.xml", WORKBOOK},
                {"xl/_rels/workbook.xml.rels", WORKBOOK_RELS},
                {"xl/sharedStrings.xml", shared},
                {"xl/worksheets/sheet1.xml", sheet}});
}

// A sheet whose IN and OUT are the first shared string in every row.
QByteArray SharedLabels(int rows) {
    return "<worksheet><sheetData>" +
           QByteArray(R"(<row><c r="C1" t="s"><v>0</v></c><c r="D1" t="s"><v>0</v></c></row>)")
               .repeated(rows) +
           "</sheetData></worksheet>";
}

const QByteArray MILLION(1000000, '0');
const QByteArray LOG = "Heading\nFIELD_DELIM\tTABS\n\nColumn\nName\tStart\tEnd\n\nData\n";
// An entity of 4,000 characters, below any bound on one entity, referenced 100,000 times.
const QByteArray ENTITY = "[<!ENTITY e \"" + QByteArray(4000, 'a') + "\">]>";
const QByteArray REFERENCES = QByteArray("&e;").repeated(100000);

} // namespace

Q_DECLARE_METATYPE(ImportLimit)

class TestImportFuzz : public QObject {
    Q_OBJECT
private slots:
    void fuzzedFilesKeepTheListsShape_data();
    void fuzzedFilesKeepTheListsShape();
    void hostileFiles_data();
    void hostileFiles();
    void filesPastTheBudget_data();
    void filesPastTheBudget();
};

// One row per start of the files fuzzed: exports of random lists (one in five left whole),
// or a format's first bytes.
void TestImportFuzz::fuzzedFilesKeepTheListsShape_data() {
    QTest::addColumn<int>("format");      // the export each file starts from (its row), or -1
    QTest::addColumn<QByteArray>("head"); // else its first bytes
    for (int f = 0; f < int(InterchangeFormats().size()); ++f)
        QTest::addRow("%s", qPrintable(ExportFileName({}, InterchangeFormats()[f])))
            << f << QByteArray();
    for (const char* head :
         {"", "PK\x03\x04", "<fcpxml>", "<xmeml><sequence>", "{\"OTIO_SCHEMA\":\"Timeline.1\",",
          "Heading\nColumn\n", "TITLE: x\n001 "})
        QTest::addRow("after \"%s\"", QByteArray(head).toPercentEncoding(" <>{}\":,").constData())
            << -1 << QByteArray(head);
}

void TestImportFuzz::fuzzedFilesKeepTheListsShape() {
    QFETCH(int, format);
    QFETCH(QByteArray, head);
    QRandomGenerator rng(SEED ^ qHash(QByteArray(QTest::currentDataTag())));
    // A workbook takes some milliseconds to write: fewer of them.
    for (int iteration = 0; iteration < (format < 0 ? 1000 : 80); ++iteration) {
        const TimecodeRate rate = RATES[iteration % 4];
        const ExportBuild built = format < 0
                                      ? ExportBuild{head, {}, true, {}}
                                      : BuildExport(InterchangeFormats()[format], RandomList(rng),
                                                    QStringLiteral("l.txt"), rate);
        QVERIFY(built.ok);
        const QByteArray bytes =
            format >= 0 && iteration % 5 == 0 ? built.bytes : Fuzz(rng, built.bytes);
        CheckShape(ImportListBytes(bytes, ImportFormat::Unknown, rate), rate);
        if (QTest::currentTestFailed()) {
            qWarning("iteration %d", iteration);
            return;
        }
    }
}

// Files told by their content, and hostile ones: the format recognised, read or refused with
// a reason, and what was read in the list's shape.
void TestImportFuzz::hostileFiles_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<int>("format");
    QTest::addColumn<bool>("read");
    QTest::addColumn<int>("rows");
    const int none = int(ImportFormat::Unknown);
    QTest::newRow("empty") << QByteArray() << none << false << 0;
    QTest::newRow("other XML") << QByteArray("<?xml version=\"1.0\"?><html/>") << none << false
                               << 0;
    QTest::newRow("other JSON") << QByteArray("{\"a\": 1}") << none << false << 0;
    QTest::newRow("a zip that is no workbook")
        << QByteArray("PK\x03\x04garbage", 12) << int(ImportFormat::Xlsx) << false << 0;
    QTest::newRow("an event line without a title")
        << QByteArray("001  AX V C 01:00:00:00 01:00:01:00 01:00:00:00 01:00:01:00\n")
        << int(ImportFormat::Edl) << true << 1;
    QTest::newRow("a log without data")
        << QByteArray("Heading\nFPS\t25\n\nColumn\nName\tStart\tEnd\n\nData\n")
        << int(ImportFormat::Ale) << true << 0;

    // A sheet that unpacks to 40 MiB from a few kilobytes: refused, not unpacked whole.
    QTest::newRow("workbook whose sheet unpacks past the bound")
        << Zip({{"xl/workbook.xml", WORKBOOK},
                {"xl/_rels/workbook.xml.rels", WORKBOOK_RELS},
                {"xl/worksheets/sheet1.xml", QByteArray(40 * 1024 * 1024, ' ')}})
        << int(ImportFormat::Xlsx) << false << 0;
    QVector<QPair<QByteArray, QByteArray>> many;
    for (int i = 0; i < 10001; ++i)
        many.append({"e" + QByteArray::number(i), QByteArray()});
    QTest::newRow("workbook of more entries than any")
        << Zip(many) << int(ImportFormat::Xlsx) << false << 0;
    QTest::newRow("workbook whose relationship points outside")
        << Zip({{"xl/workbook.xml", WORKBOOK},
                {"xl/_rels/workbook.xml.rels",
                 R"(<Relationships><Relationship Id="rId1" Target="/../../etc/passwd"/>)"
                 R"(</Relationships>)"}})
        << int(ImportFormat::Xlsx) << false << 0;
    QTest::newRow("workbook with shared strings out of range and a huge column")
        << Zip({{"xl/workbook.xml", WORKBOOK},
                {"xl/_rels/workbook.xml.rels", WORKBOOK_RELS},
                {"xl/sharedStrings.xml", "<sst><si><t>01:00:00:00</t></si></sst>"},
                {"xl/worksheets/sheet1.xml",
                 R"(<worksheet><sheetData><row r="1"><c r="C1" t="s"><v>0</v></c>)"
                 R"(<c r="D1" t="s"><v>99999999999</v></c><c r="ZZZZZZ1" t="s"><v>0</v></c>)"
                 R"(<c r="XFD1" t="s"><v>-1</v></c></row></sheetData></worksheet>)"}})
        << int(ImportFormat::Xlsx) << true << 1;
    // Entities e1 to e9, each ten of the one before: e9 would be a billion characters.
    QByteArray laughs = R"(<?xml version="1.0"?><!DOCTYPE fcpxml [<!ENTITY e0 "a">)";
    for (int i = 1; i <= 9; ++i)
        laughs += "<!ENTITY e" + QByteArray::number(i) + " \"" +
                  ("&e" + QByteArray::number(i - 1) + ";").repeated(10) + "\">";
    QTest::newRow("entities that expand a billion times")
        << laughs + R"(]><fcpxml><marker start="3600s" value="&e9;"/></fcpxml>)"
        << int(ImportFormat::Fcpxml) << false << 0;
    QTest::newRow("elements nested 900,000 deep")
        << QByteArray("<fcpxml>") + QByteArray("<gap offset=\"1s\">").repeated(900000)
        << int(ImportFormat::Fcpxml) << true << 0;
    QTest::newRow("JSON nested 400,000 deep")
        << QByteArray("{\"OTIO_SCHEMA\":\"Timeline.1\",\"x\":") + QByteArray("[").repeated(400000)
        << int(ImportFormat::Otio) << false << 0;
    QTest::newRow("OTIO times past any day and not numbers")
        << QByteArray(R"({"OTIO_SCHEMA":"Timeline.1","global_start_time":{"rate":1e-300,)"
                      R"("value":1e300},"tracks":{"markers":[{"marked_range":{"start_time":)"
                      R"({"rate":0,"value":1},"duration":{"rate":25,"value":"x"}}},)"
                      R"({"marked_range":{"start_time":{"rate":25,"value":-5},)"
                      R"("duration":{"rate":25,"value":1}}}]}})")
        << int(ImportFormat::Otio) << true << 0;
    QTest::newRow("xmeml rate of nought and frames past any day")
        << QByteArray("<xmeml><sequence><rate><timebase>0</timebase></rate><marker><in>5</in>"
                      "</marker></sequence><sequence><rate><timebase>25</timebase></rate>"
                      "<marker><in>1e300</in></marker></sequence></xmeml>")
        << int(ImportFormat::Xmeml) << true << 0;
    QTest::newRow("a CSV field that never closes its quote")
        << QByteArray("No,SP No.,IN,OUT\r\n1,\"") + QByteArray(3 * 1024 * 1024, 'x')
        << int(ImportFormat::Csv) << true << 0;
    QTest::newRow("a CSV whose last row never closes its quote")
        << QByteArray("No,SP No.,IN,OUT\r\n1,,01:00:00:00,01:00:01:00\r\n2,\"x,01:00:00:00\r\n")
        << int(ImportFormat::Csv) << true << 1;
    QTest::newRow("an EDL event line of a hundred thousand fields")
        << QByteArray("TITLE: x\n001 ") + QByteArray("AX ").repeated(100000) +
               "01:00:00:00 01:00:01:00 01:00:00:00 01:00:01:00\n* FROM CLIP NAME: x\n"
        << int(ImportFormat::Edl) << true << 1;
    // Read in one pass: comments joined, titles skipped, a long shared string only quoted.
    QTest::newRow("an EDL event of 200,000 comment lines")
        << "TITLE: x\n001  AX V C 01:00:00:00 01:00:01:00 01:00:00:00 01:00:01:00\n" +
               QByteArray("* COMMENT: a\n").repeated(200000)
        << int(ImportFormat::Edl) << true << 1;
    QTest::newRow("an EDL of a million titles")
        << QByteArray("TITLE: t\n").repeated(1000000) << int(ImportFormat::Edl) << true << 0;
    QTest::newRow("a workbook of a million-character shared string in a few cells")
        << Workbook("<sst><si><t>" + MILLION + "</t></si></sst>", SharedLabels(5))
        << int(ImportFormat::Xlsx) << true << 5; // each row kept, its cells of no label empty
    QTest::newRow("a log of as many clips as taken")
        << LOG + QByteArray("x\t01:00:00:00\n").repeated(MAX_IMPORT_ENTRIES)
        << int(ImportFormat::Ale) << true << 40;
}

void TestImportFuzz::hostileFiles() {
    QFETCH(QByteArray, bytes);
    QFETCH(int, format);
    QFETCH(bool, read);
    QFETCH(int, rows);
    const ImportedList list = ImportListBytes(bytes, ImportFormat::Unknown, {25, false});
    QCOMPARE(int(list.format), format);
    QCOMPARE(list.read, read);
    QCOMPARE(list.error.isEmpty(), read);
    QCOMPARE(list.rows.size(), rows);
    CheckShape(list, {25, false});
}

// Files that would cost more than any list: refused, with the box naming the limit.
void TestImportFuzz::filesPastTheBudget_data() {
    QTest::addColumn<QByteArray>("bytes");
    QTest::addColumn<ImportLimit>("limit");
    QTest::newRow("a file past the size limit")
        << QByteArray(MAX_IMPORT_BYTES + 1, '\n') << ImportLimit::FileSize;
    QTest::newRow("a million-character shared string as every IN and OUT")
        << Workbook("<sst><si><t xml:space=\"preserve\"> " + MILLION + " </t></si></sst>",
                    SharedLabels(100))
        << ImportLimit::Text;
    QTest::newRow("a sheet that unpacks past the bound")
        << Workbook("<sst/>", QByteArray(40 * 1024 * 1024, ' ')) << ImportLimit::Text;
    QTest::newRow("FCPXML with a quadratic entity")
        << "<!DOCTYPE fcpxml " + ENTITY + "<fcpxml><marker start=\"1s\" value=\"" + REFERENCES +
               "\"/></fcpxml>"
        << ImportLimit::Dtd;
    QTest::newRow("xmeml with a quadratic entity")
        << "<!DOCTYPE xmeml " + ENTITY + "<xmeml><sequence><marker><comment>" + REFERENCES +
               "</comment></marker></sequence></xmeml>"
        << ImportLimit::Dtd;
    QTest::newRow("FCPXML whose DTD expands a parameter entity")
        << "<!--<fcpxml--><!DOCTYPE fcpxml SYSTEM \"a>\" [<!ENTITY % a '" +
               ENTITY.mid(1, ENTITY.size() - 3) + "'>" + QByteArray("%a;").repeated(10000) +
               "]><fcpxml/>"
        << ImportLimit::Dtd;
    QTest::newRow("shared strings with a quadratic entity")
        << Workbook("<!DOCTYPE sst " + ENTITY + "<sst><si><t>" + REFERENCES + "</t></si></sst>",
                    SharedLabels(1))
        << ImportLimit::Dtd;
    QTest::newRow("a log of more clips than taken")
        << LOG + QByteArray("x\n").repeated(MAX_IMPORT_ENTRIES + 1) << ImportLimit::Entries;
    QTest::newRow("a CSV of more rows than taken")
        << QByteArray("1,,01:00:00:00,01:00:01:00\n").repeated(MAX_IMPORT_ENTRIES + 1)
        << ImportLimit::Entries;
    QTest::newRow("OTIO of more objects than markers need")
        << "{\"OTIO_SCHEMA\":\"Timeline.1\",\"x\":[" + QByteArray("{},").repeated(500000) + "{}]}"
        << ImportLimit::Entries;
    QTest::newRow("an EDL of more unreadable events than any")
        << "TITLE: x\n" + QByteArray("1\n").repeated(MAX_IMPORT_LEFT_OUT + 1)
        << ImportLimit::LeftOut;
}

void TestImportFuzz::filesPastTheBudget() {
    QFETCH(QByteArray, bytes);
    QFETCH(ImportLimit, limit);
    const ImportedList list = ImportListBytes(bytes, ImportFormat::Unknown, {25, false});
    QCOMPARE(list.limit, limit);
    QCOMPARE(list.read, false);
    QCOMPARE(list.error, ImportLimitMessage(limit));
    QCOMPARE(list.rows.size(), 0);
}

QTEST_GUILESS_MAIN(TestImportFuzz)
#include "test_import_fuzz.moc"
