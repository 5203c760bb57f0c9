#include "file_helpers.h"
#include "persist/list_file.h"
#include "persist/list_read_notes.h"
#include "platform/codepage.h"
#include "platform/replace_file.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QtTest>

#include <sys/stat.h>

namespace {

ListRowText Row(const char* no, const char* spNo, const char* in, const char* out,
                const char* duration, const char* remark) {
    return ListRowText{QString::fromUtf8(no),       QString::fromUtf8(spNo),
                       QString::fromUtf8(in),       QString::fromUtf8(out),
                       QString::fromUtf8(duration), QString::fromUtf8(remark)};
}

QVector<ListRowText> EmptyRows(int n) {
    QVector<ListRowText> rows(n);
    for (int i = 0; i < n; ++i)
        rows[i].no = QString::asprintf("%04d", i + 1);
    return rows;
}

} // namespace

Q_DECLARE_METATYPE(ListRowText)

class TestListFile : public QObject {
    Q_OBJECT
private slots:
    void formatLine_data();
    void formatLine();
    void emptyRowsAreSkipped_data();
    void emptyRowsAreSkipped();
    void printPlaceholders();
    void wholeFiles_data();
    void wholeFiles();
    void readBack();
    void japaneseRemarkRoundTripsByteExact();
    void readFile_data();
    void readFile();
    void longLinesAndTokensReadWhole();
    void unstorableCharactersReported();
    void writeFailureKeepsPreviousFile_data();
    void writeFailureKeepsPreviousFile();
    void readRefusesWhatIsNoListFile();
    void oddFilesGiveTheSameRows_data();
    void oddFilesGiveTheSameRows();
    void everyLineNotReadIsNamed_data();
    void everyLineNotReadIsNamed();
    void lineRangesStayShort();
};

namespace {

// Twelve rows as the program writes them, Japanese remarks and gaps included.
QByteArray TwelveRows() {
    QVector<ListRowText> rows = EmptyRows(30);
    for (int i = 0; i < 12; ++i) {
        const int r = i < 6 ? i : i + 3; // rows 1 to 6 and 10 to 15
        rows[r] = Row(qPrintable(RowLabel(r + 1)), qPrintable(RowLabel(i + 1)),
                      qPrintable(QStringLiteral("01:00:%1:00").arg(10 + i)),
                      qPrintable(QStringLiteral("01:00:%1:15").arg(10 + i)), "00:00:00:15",
                      i % 2 ? " 本編ＣＭ　①ｶﾅ" : " spot A, 春");
    }
    return BuildListFile(rows, nullptr);
}

// Each line not read: its number in the file, why, the No. it held and the line read instead.
QString Describe(const QVector<SkippedLine>& skipped) {
    QStringList parts;
    for (const SkippedLine& s : skipped) {
        const QString line = QString::number(s.line);
        if (s.why == SkippedLine::Why::OutOfRange)
            parts << line + ":range:" + QString::number(s.number);
        else if (s.why == SkippedLine::Why::NumberRepeated)
            parts << line + ":again:" + QString::number(s.number) + '>' +
                         QString::number(s.readLine);
        else
            parts << line + ":norow";
    }
    return parts.join(' ');
}

} // namespace

void TestListFile::formatLine_data() {
    QTest::addColumn<ListRowText>("row");
    QTest::addColumn<QByteArray>("line");
    QTest::newRow("full row") << Row("0001", "0001", "00:59:50:00", "01:00:20:00", "00:00:30:00",
                                     " CM1")
                              << QByteArray("0001 0001  00:59:50:00/01:00:20:00/30:00 CM1");
    QTest::newRow("IN only: placeholders and a trailing space")
        << Row("0002", "", "01:00:20:00", "", "", "")
        << QByteArray("0002 ----  01:00:20:00/--:--:--:--/--:-- ");
    QTest::newRow("short SP No. not padded further")
        << Row("0003", "12", "", "", "", " x")
        << QByteArray("0003 12  --:--:--:--/--:--:--:--/--:-- x");
    QTest::newRow("long SP No. cut to five")
        << Row("0004", "ABCDEF", "", "", "", " x")
        << QByteArray("0004 ABCDE --:--:--:--/--:--:--:--/--:-- x");
    QTest::newRow("negative duration loses its sign and hours")
        << Row("0005", "0005", "01:00:10:00", "01:00:00:00", "-00:00:10:00", "")
        << QByteArray("0005 0005  01:00:10:00/01:00:00:00/10:00 ");
    QTest::newRow("remark with spaces")
        << Row("0006", "0006", "", "", "", " spot A ")
        << QByteArray("0006 0006  --:--:--:--/--:--:--:--/--:-- spot A ");
    QTest::newRow("double-byte SP No. that fits five bytes")
        << Row("0007", "Aあい", "", "", "", "")
        << QByteArray("0007 A\x82\xa0\x82\xa2 --:--:--:--/--:--:--:--/--:-- ");
    QTest::newRow("SP No. cut before a split character")
        << Row("0008", "あいう", "", "", "", "")
        << QByteArray("0008 \x82\xa0\x82\xa2 --:--:--:--/--:--:--:--/--:-- ");
    QTest::newRow("SP No. cut before a split character after four bytes")
        << Row("0009", "ABCDあ", "", "", "", "")
        << QByteArray("0009 ABCD --:--:--:--/--:--:--:--/--:-- ");
    QTest::newRow("line breaks in a cell become spaces")
        << Row("0010", "", "", "", "", " a\r\nb")
        << QByteArray("0010 ----  --:--:--:--/--:--:--:--/--:-- a  b");
    QTest::newRow("No. written as the cell holds it")
        << Row("", "1", "", "", "", "") << QByteArray(" 1  --:--:--:--/--:--:--:--/--:-- ");
}

void TestListFile::formatLine() {
    QFETCH(ListRowText, row);
    QFETCH(QByteArray, line);
    QByteArray out = "stale";
    QVERIFY(FormatListLine(row, Placeholders::File, &out));
    QCOMPARE(out, line);
}

void TestListFile::emptyRowsAreSkipped_data() {
    QTest::addColumn<ListRowText>("row");
    QTest::newRow("nothing") << Row("", "", "", "", "", "");
    QTest::newRow("No. only") << Row("0001", "", "", "", "", "");
    QTest::newRow("remark of one space") << Row("0001", "", "", "", "", " ");
    QTest::newRow("remark of one character is its lead space") << Row("0001", "", "", "", "", "x");
}

void TestListFile::emptyRowsAreSkipped() {
    QFETCH(ListRowText, row);
    QByteArray out = "stale";
    QVERIFY(!FormatListLine(row, Placeholders::File, &out));
    QVERIFY(out.isEmpty());
}

void TestListFile::printPlaceholders() {
    QByteArray out;
    QVERIFY(FormatListLine(Row("0002", "", "", "", "", " a"), Placeholders::Print, &out));
    QCOMPARE(out, QByteArray("0002       " + QByteArray(11, ' ') + "/" + QByteArray(11, ' ') +
                             "/      a"));
    QVERIFY(FormatListLine(Row("0002", "1", "", "", "00:01:15:00", ""), Placeholders::Print, &out));
    QCOMPARE(out,
             QByteArray("0002 1  " + QByteArray(11, ' ') + "/" + QByteArray(11, ' ') + "/15:00 "));
}

// A list at 24 or 25 carries its rate in a line that starts with no number, so that a reader
// that knows no rates (it reads the rows by their numbers and passes over any other line)
// finds the very rows of a 30-frame file; this reader takes the rate and names no line.
void TestListFile::wholeFiles_data() {
    QTest::addColumn<QVector<ListRowText>>("rows");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("fps");

    QVector<ListRowText> two = EmptyRows(30);
    two[0] = Row("0001", "0001", "00:59:50:00", "01:00:20:00", "00:00:30:00", " CM1");
    two[1] = Row("0002", "", "01:00:20:00", "", "", "");
    const QByteArray twoRows = "0001 0001  00:59:50:00/01:00:20:00/30:00 CM1\r\n"
                               "0002 ----  01:00:20:00/--:--:--:--/--:-- \r\n";
    QTest::newRow("two rows") << two << twoRows << 30;
    two[3] = Row("0004", "A", "01:00:20:24", "", "", "");
    const QByteArray fourth = "0004 A  01:00:20:24/--:--:--:--/--:-- \r\n";
    QTest::newRow("at 25, the rate first") << two << "#FrameRate=25\r\n" + twoRows + fourth << 25;
    QTest::newRow("at 24, the rate first") << two << "#FrameRate=24\r\n" + twoRows + fourth << 24;

    QVector<ListRowText> gaps = EmptyRows(30);
    gaps[2] = Row("0003", "0003", "00:00:01:00", "00:00:02:00", "00:00:01:00", " a");
    gaps[6] = Row("0007", "X", "", "", "", " b");
    gaps[9].remark = " "; // a remark of one space is no content
    QTest::newRow("skipped rows") << gaps
                                  << QByteArray("0003 0003  00:00:01:00/00:00:02:00/01:00 a\r\n"
                                                "0007 X  --:--:--:--/--:--:--:--/--:-- b\r\n")
                                  << 30;
    QTest::newRow("empty list gives 0 bytes") << EmptyRows(30) << QByteArray() << 30;
}

void TestListFile::wholeFiles() {
    QFETCH(QVector<ListRowText>, rows);
    QFETCH(QByteArray, file);
    QFETCH(int, fps);
    QVector<int> notStored;
    QCOMPARE(BuildListFile(rows, &notStored, fps), file);
    QVERIFY(notStored.isEmpty());
    const ListFileContents c = ReadListFile(file, 30);
    QCOMPARE(c.fps, fps);
    QCOMPARE(c.rateMarked, fps != 30);
    QCOMPARE(Describe(c.skipped), QString());
    for (int i = 0; i < rows.size(); ++i)
        QCOMPARE(c.rows.at(i).in, rows.at(i).in);

    QTemporaryDir dir;
    const QString path = dir.filePath("list.txt");
    QVERIFY(ReplaceFileContent(path, BuildListFile(rows, nullptr, fps)));
    QCOMPARE(ReadBytes(path), file);
    QVERIFY(QFileInfo::exists(path));
}

void TestListFile::readBack() {
    const QByteArray file = "0001 0001  00:59:50:00/01:00:20:00/30:00 CM1\r\n"
                            "0002 ----  01:00:20:00/--:--:--:--/--:-- \r\n"
                            "0007 X  --:--:--:--/--:--:--:--/--:-- spot A  \r\n";
    const ListFileContents c = ReadListFile(file, 30);
    QCOMPARE(c.dataRows, 30);
    QVERIFY(!c.outOfRange);
    QCOMPARE(c.rows.size(), 30);
    QCOMPARE(c.rows[0].spNo, QStringLiteral("0001"));
    QCOMPARE(c.rows[0].in, QStringLiteral("00:59:50:00"));
    QCOMPARE(c.rows[0].out, QStringLiteral("01:00:20:00"));
    QCOMPARE(c.rows[0].remark, QStringLiteral(" CM1"));
    QCOMPARE(c.rows[1].spNo, QString());
    QCOMPARE(c.rows[1].in, QStringLiteral("01:00:20:00"));
    QCOMPARE(c.rows[1].out, QString());
    QCOMPARE(c.rows[1].remark, QStringLiteral(" "));
    // The whole remark comes back, its own spaces included, not just its first word.
    QCOMPARE(c.rows[6].remark, QStringLiteral(" spot A  "));
    for (const ListRowText& r : c.rows) {
        QCOMPARE(r.no, QString());
        QCOMPARE(r.duration, QString());
    }
    QCOMPARE(c.rows[2].remark, QString());
}

void TestListFile::japaneseRemarkRoundTripsByteExact() {
    QVector<ListRowText> rows = EmptyRows(30);
    rows[0] =
        Row("0001", "0001", "00:00:00:00", "00:00:15:00", "00:00:15:00", " 本編ＣＭ　〜①ｶﾅ￥ 次");
    const QByteArray file = BuildListFile(rows, nullptr);
    QCOMPARE(file, QByteArray("0001 0001  00:00:00:00/00:00:15:00/15:00 "
                              "\x96\x7b\x95\xd2\x82\x62\x82\x6c\x81\x40\x81\x60\x87\x40\xb6\xc5"
                              "\x81\x8f\x20\x8e\x9f\r\n"));
    const ListFileContents c = ReadListFile(file, 30);
    QCOMPARE(c.rows[0].remark, QString::fromUtf16(u" 本編ＣＭ　～①ｶﾅ￥ 次"));
    // Read back and written again (with No. and DURATION as the dialog restores them).
    QVector<ListRowText> again = c.rows;
    again[0].no = "0001";
    again[0].duration = "00:00:15:00";
    QCOMPARE(BuildListFile(again, nullptr), file);

    // Single bytes outside the published table, which Windows reads and writes all the same.
    const QByteArray odd = "0002 ----  --:--:--:--/--:--:--:--/--:-- \x80\xa0\xfd\xfe\xff\r\n";
    QVector<ListRowText> oddRows = ReadListFile(odd, 30).rows;
    oddRows[1].no = "0002";
    QVector<int> notStored;
    QCOMPARE(BuildListFile(oddRows, &notStored), odd);
    QVERIFY(notStored.isEmpty());
}

void TestListFile::readFile_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<int>("gridRows");
    QTest::addColumn<int>("dataRows");
    QTest::addColumn<bool>("outOfRange");
    QTest::addColumn<QString>("placed"); // "row=SP No." for every row that gets a line

    QTest::newRow("empty file") << QByteArray() << 30 << 30 << false << "";
    QTest::newRow("no numbered line")
        << QByteArray("spot\r\n\r\n  \r\n-\r\n") << 30 << 30 << false << "";
    QTest::newRow("LF line ends") << QByteArray("0001 A  x\n0002 B  x") << 30 << 30 << false
                                  << "1=A 2=B";
    QTest::newRow("last line 35 grows the grid")
        << QByteArray("0001 A  x\r\n0035 B  x\r\n") << 30 << 35 << false << "1=A 35=B";
    QTest::newRow("grid never shrinks")
        << QByteArray("0001 A  x\r\n") << 38 << 38 << false << "1=A";
    QTest::newRow("line 41: message, grid of 40")
        << QByteArray("0001 A  x\r\n0041 B  x\r\n0040 C  x\r\n") << 30 << 40 << true << "1=A 40=C";
    QTest::newRow("huge number: message, no overflow")
        << QByteArray("99999999999999999999999 A  x\r\n0002 B  x\r\n") << 30 << 40 << true << "2=B";
    QTest::newRow("huge negative number")
        << QByteArray("-99999999999999999999999 A  x\r\n0002 B  x\r\n") << 30 << 30 << true
        << "2=B";
    QTest::newRow("4294967297 is not 1")
        << QByteArray("4294967297 A  x\r\n") << 30 << 40 << true << "";
    // Every line in range is placed, also after a line numbered 0 or below.
    QTest::newRow("0 and negative numbers")
        << QByteArray("0001 A  x\r\n0002 B  x\r\n0000 C  x\r\n0003 D  x\r\n-5 E  x\r\n") << 30 << 30
        << true << "1=A 2=B 3=D";
    // A hand-edited file numbered 1 to 10 and then 3 keeps lines 4 to 10; the later 3 wins.
    QTest::newRow("repeated number")
        << QByteArray(
               "1 A\r\n2 B\r\n3 C\r\n4 D\r\n5 E\r\n6 F\r\n7 G\r\n8 H\r\n9 I\r\n10 J\r\n3 K\r\n")
        << 30 << 30 << false << "1=A 2=B 3=K 4=D 5=E 6=F 7=G 8=H 9=I 10=J";
    QTest::newRow("sign and blanks before the number")
        << QByteArray("  +3 A  x\r\n\t4 B\r\n") << 30 << 30 << false << "3=A 4=B";
    QTest::newRow("number prefix of a token")
        << QByteArray("5abc A  x\r\n") << 30 << 30 << false << "5=A";
}

void TestListFile::readFile() {
    QFETCH(QByteArray, file);
    QFETCH(int, gridRows);
    QFETCH(int, dataRows);
    QFETCH(bool, outOfRange);
    QFETCH(QString, placed);
    const ListFileContents c = ReadListFile(file, gridRows);
    QCOMPARE(c.dataRows, dataRows);
    QCOMPARE(c.outOfRange, outOfRange);
    QCOMPARE(c.rows.size(), dataRows);
    QStringList got;
    for (int r = 1; r <= c.rows.size(); ++r) {
        if (!c.rows[r - 1].remark.isEmpty())
            got << QStringLiteral("%1=%2").arg(r).arg(c.rows[r - 1].spNo);
    }
    QCOMPARE(got.join(' '), placed);
}

void TestListFile::longLinesAndTokensReadWhole() {
    // The remark runs past 1023 bytes, and at that place holds what looks like a line of
    // its own; the SP No. and IN/OUT tokens are longer than their old fields.
    QByteArray remark =
        QByteArray(1019, 'r') + "0005 Z  00:00:00:00/00:00:01:00/01:00 boo" + QByteArray(3000, 'q');
    const QByteArray longSp(40, 'S');
    const QByteArray file = "0001 " + longSp + " 00:00:00:00/00:00:01:00/" + QByteArray(100, '9') +
                            " " + remark + "\r\n0002 B  x\r\n";
    const ListFileContents c = ReadListFile(file, 30);
    QCOMPARE(c.rows[0].spNo, QString::fromLatin1(longSp));
    QCOMPARE(c.rows[0].in, QStringLiteral("00:00:00:00"));
    QCOMPARE(c.rows[0].out, QStringLiteral("00:00:01:00"));
    QCOMPARE(c.rows[0].remark, " " + QString::fromLatin1(remark));
    QCOMPARE(c.rows[1].spNo, QStringLiteral("B"));
    QCOMPARE(c.rows[4].remark, QString());
}

void TestListFile::unstorableCharactersReported() {
    QVector<ListRowText> rows = EmptyRows(30);
    rows[2] = Row("0003", "0003", "", "", "", " café");
    rows[4] = Row("0005", "0005", "", "", "", " ok");
    rows[6] = Row("0007", "한", "", "", "", "");
    QVector<int> notStored;
    const QByteArray file = BuildListFile(rows, &notStored);
    QCOMPARE(notStored, (QVector<int>{3, 7}));
    QVERIFY(file.contains("caf?\r\n"));
    QVERIFY(file.contains("0007 ?  --"));
}

void TestListFile::writeFailureKeepsPreviousFile_data() {
    QTest::addColumn<QString>("target");
    QTest::addColumn<int>("sizeLimit"); // 0: none
    QTest::addColumn<int>("size");
    QTest::newRow("missing directory") << "missing/list.txt" << 0 << 100;
    QTest::newRow("target is a directory") << "adir" << 0 << 100;
    QTest::newRow("disk full part-way") << "list.txt" << 4096 << 200000;
    // Small enough to sit in the write buffer until the end: the failure comes at the flush.
    QTest::newRow("disk full at the last flush") << "list.txt" << 200 << 1800;
}

void TestListFile::writeFailureKeepsPreviousFile() {
    QFETCH(QString, target);
    QFETCH(int, sizeLimit);
    QFETCH(int, size);
    QTemporaryDir dir;
    QVERIFY(QDir(dir.path()).mkdir("adir"));
    const QString path = dir.filePath(target);
    const QByteArray previous = "0001 0001  00:00:00:00/00:00:01:00/01:00 old\r\n";
    if (sizeLimit)
        QVERIFY(ReplaceFileContent(path, previous));
    const QStringList entriesBefore =
        QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);

    const QByteArray content(size, 'x');
    bool written = false;
    if (sizeLimit) {
        WithFileSizeLimit(rlim_t(sizeLimit), [&] { written = ReplaceFileContent(path, content); });
        QCOMPARE(ReadBytes(path), previous);
    } else {
        written = ReplaceFileContent(path, content);
    }
    QVERIFY(!written);
    QCOMPARE(QDir(dir.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot), entriesBefore);
}

void TestListFile::readRefusesWhatIsNoListFile() {
    QTemporaryDir dir;
    QByteArray bytes = "stale";
    QCOMPARE(ReadListFileBytes(dir.filePath("missing.txt"), &bytes), FileFault::Missing);
    QCOMPARE(ReadListFileBytes(dir.path(), &bytes), FileFault::NotRegular);
    QCOMPARE(ReadListFileBytes(QStringLiteral("/dev/zero"), &bytes), FileFault::NotRegular);
    // A FIFO without a writer: opening it to read would wait for ever.
    const QString fifo = dir.filePath("fifo.txt");
    QCOMPARE(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    QCOMPARE(ReadListFileBytes(fifo, &bytes), FileFault::NotRegular);
    const QString huge = dir.filePath("huge.txt");
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::WriteOnly));
        QVERIFY(f.resize(64 * 1024 * 1024)); // sparse: takes no disk space
        QVERIFY(f.resize(MAX_LIST_FILE_BYTES + 1));
    }
    QCOMPARE(ReadListFileBytes(huge, &bytes), FileFault::TooLarge);
    QCOMPARE(bytes, QByteArray("stale"));
    {
        QFile f(huge);
        QVERIFY(f.open(QIODevice::ReadWrite));
        QVERIFY(f.resize(MAX_LIST_FILE_BYTES)); // the largest read
    }
    QCOMPARE(ReadListFileBytes(huge, &bytes), FileFault::None);
    QCOMPARE(bytes.size(), MAX_LIST_FILE_BYTES);
    QVERIFY(ReplaceFileContent(dir.filePath("ok.txt"), "0001 A\r\n"));
    QVERIFY(QFile::link(dir.filePath("ok.txt"), dir.filePath("link.txt")));
    QCOMPARE(ReadListFileBytes(dir.filePath("link.txt"), &bytes), FileFault::None);
    QCOMPARE(bytes, QByteArray("0001 A\r\n"));
    WriteBytes(dir.filePath("empty.txt"), QByteArray());
    QCOMPARE(ReadListFileBytes(dir.filePath("empty.txt"), &bytes), FileFault::None);
    QCOMPARE(bytes, QByteArray());
}

// Files that reach a spotting room by other roads read as the same rows as the file the
// program writes: through the reader that Open and the converter share.
void TestListFile::oddFilesGiveTheSameRows_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<bool>("utf8");
    const QByteArray crlf = TwelveRows();
    QByteArray lf = crlf;
    lf.replace("\r\n", "\n");
    QByteArray cr = crlf;
    cr.replace("\r\n", "\r");
    const int half = int(crlf.indexOf("0010 "));
    const QByteArray mixed = crlf.left(half) + QByteArray(crlf.mid(half)).replace("\r\n", "\r");
    const QByteArray utf8 = "\xEF\xBB\xBF" + Cp932Decode(crlf).toUtf8();
    QTest::newRow("CR LF, as written") << crlf << false;
    QTest::newRow("LF alone") << lf << false;
    QTest::newRow("lone CR (old Mac editors, mail)") << cr << false;
    QTest::newRow("CR LF then lone CR") << mixed << false;
    QTest::newRow("CR CR LF (converted twice)")
        << QByteArray(crlf).replace("\r\n", "\r\r\n") << false;
    QTest::newRow("UTF-8 with a byte-order mark") << utf8 << true;
    QTest::newRow("UTF-8 with a byte-order mark and lone CR")
        << QByteArray(utf8).replace("\r\n", "\r") << true;
}

void TestListFile::oddFilesGiveTheSameRows() {
    QFETCH(QByteArray, file);
    QFETCH(bool, utf8);
    QTemporaryDir dir;
    WriteBytes(dir.filePath("odd.txt"), file);
    QByteArray bytes;
    QCOMPARE(ReadListFileBytes(dir.filePath("odd.txt"), &bytes), FileFault::None);
    const ListFileContents expected = ReadListFile(TwelveRows(), 30);
    const ListFileContents c = ReadListFile(bytes, 30);
    QCOMPARE(c.encoding, utf8 ? ListEncoding::Utf8 : ListEncoding::Cp932);
    QCOMPARE(Describe(c.skipped), QString());
    QCOMPARE(c.dataRows, 30);
    const auto text = [](const ListFileContents& read) {
        QStringList rows;
        for (const ListRowText& r : read.rows)
            rows << r.spNo + '|' + r.in + '|' + r.out + '|' + r.remark;
        return rows;
    };
    QCOMPARE(text(c), text(expected));
    QCOMPARE(c.rows.at(14).remark, QStringLiteral(" 本編ＣＭ　①ｶﾅ"));
    QCOMPARE(c.rows.at(0).remark, QStringLiteral(" spot A, 春"));
}

void TestListFile::everyLineNotReadIsNamed_data() {
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("skipped"); // line:why, in file order
    QTest::addColumn<QString>("placed");  // row=SP No.
    QTest::newRow("blank lines are nothing") << QByteArray("\r\n  \t\r\n0001 A  x\r\n\r\n") << ""
                                             << "1=A";
    QTest::newRow("numbered outside 0001 to 0040")
        << QByteArray("0001 A  x\r\n0041 B  x\r\n0000 C  x\r\n-3 D\r\n0040 E  x\r\n")
        << "2:range:41 3:range:0 4:range:-3"
        << "1=A 40=E";
    QTest::newRow("the same number twice: the later is read")
        << QByteArray("0001 A\r\n0003 B\r\n0002 C\r\n0003 D\r\n0003 E\r\n")
        << "2:again:3>4 4:again:3>5"
        << "1=A 2=C 3=E";
    QTest::newRow("lines that are no rows")
        << QByteArray("spots of reel 2\r\n0001 A\r\n----\r\n\xEF\xBB\xBF"
                      "0002 B\r\n")
        << "1:norow 3:norow 4:norow"
        << "1=A";
    QTest::newRow("a rate no list has is no rate")
        << QByteArray("#FrameRate=60\r\n0001 A  x\r\n") << "1:norow"
        << "1=A";
    QTest::newRow("lone CR counts lines as an editor does")
        << QByteArray("0001 A\r\rjunk\r0042 B\r") << "3:norow 4:range:42"
        << "1=A";
}

void TestListFile::everyLineNotReadIsNamed() {
    QFETCH(QByteArray, file);
    QFETCH(QString, skipped);
    QFETCH(QString, placed);
    const ListFileContents c = ReadListFile(file, 30);
    QCOMPARE(Describe(c.skipped), skipped);
    QCOMPARE(c.outOfRange, skipped.contains("range"));
    QCOMPARE(c.fps, 30); // no line here names a list's rate
    QStringList got;
    for (int r = 1; r <= c.rows.size(); ++r) {
        if (!c.rows[r - 1].remark.isEmpty())
            got << QStringLiteral("%1=%2").arg(r).arg(c.rows[r - 1].spNo);
    }
    QCOMPARE(got.join(' '), placed);
}

void TestListFile::lineRangesStayShort() {
    QCOMPARE(LineRanges({9, 1, 2, 3, 5}, "-", 12, " and %1 more"), QStringLiteral("1-3, 5, 9"));
    QVector<int> every;
    for (int i = 1; i <= 200; i += 2)
        every << i;
    QCOMPARE(LineRanges(every, "-", 3, " and %1 more"), QStringLiteral("1, 3, 5 and 97 more"));
    QCOMPARE(LineRanges({}, "-", 3, " and %1 more"), QString());
}

QTEST_GUILESS_MAIN(TestListFile)
#include "test_list_file.moc"
