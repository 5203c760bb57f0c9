#include "file_helpers.h"
#include "persist/list_file.h"
#include "persist/profile.h"
#include "platform/codepage.h"

#include <QRandomGenerator>
#include <QTemporaryDir>
#include <QtTest>

// Malformed input of every kind must neither crash nor hang the readers, and what they give
// back must keep the shape the grid relies on. Seeded, so a failure can be repeated.

namespace {

constexpr quint32 SEED = 20240611;

// Bytes that matter to the formats turn up far more often than in plain random data.
QByteArray RandomBytes(QRandomGenerator& rng, int maxLength) {
    static const char interesting[] = "0123456789 \t\r\n-+/:=[];\"'\x81\x82\x9f\xe0\xfc\xff\x80";
    QByteArray b;
    const int n = rng.bounded(maxLength + 1);
    b.reserve(n);
    for (int i = 0; i < n; ++i) {
        if (rng.bounded(2) == 0)
            b.append(interesting[rng.bounded(int(sizeof interesting) - 1)]);
        else
            b.append(char(rng.bounded(256)));
    }
    return b;
}

QByteArray ValidFile(QRandomGenerator& rng) {
    QVector<ListRowText> rows(40);
    for (int i = 0; i < rows.size(); ++i) {
        if (rng.bounded(3) == 0)
            continue;
        rows[i].no = QString::asprintf("%04d", i + 1);
        rows[i].spNo = QString::asprintf("%04d", rng.bounded(10000));
        rows[i].in = QString::asprintf("%02d:%02d:%02d:%02d", rng.bounded(24), rng.bounded(60),
                                       rng.bounded(60), rng.bounded(30));
        rows[i].out = rows[i].in;
        rows[i].duration = QStringLiteral("00:00:00:00");
        rows[i].remark = QString::fromUtf16(u" 本編 CM ") + QString::number(i);
    }
    return BuildListFile(rows, nullptr);
}

QByteArray Mutate(QRandomGenerator& rng, QByteArray b) {
    const int edits = 1 + rng.bounded(8);
    for (int e = 0; e < edits && !b.isEmpty(); ++e) {
        const int at = rng.bounded(int(b.size()));
        switch (rng.bounded(5)) {
        case 0:
            b[at] = char(rng.bounded(256));
            break;
        case 1:
            b.remove(at, rng.bounded(20));
            break;
        case 2:
            b.insert(at, RandomBytes(rng, 40));
            break;
        case 3:
            b.insert(at, QByteArray(rng.bounded(5000), char(rng.bounded(256))));
            break;
        case 4:
            b.insert(at, QByteArray::number(qint64(rng.generate64()) * (rng.bounded(2) ? 1 : -1)));
            break;
        }
    }
    return b;
}

QString RandomText(QRandomGenerator& rng) {
    QString s;
    const int n = rng.bounded(12);
    for (int i = 0; i < n; ++i) {
        switch (rng.bounded(4)) {
        case 0:
            s.append(QChar(char16_t(0x20 + rng.bounded(0x5F))));
            break;
        case 1:
            s.append(QChar(char16_t(0x3000 + rng.bounded(0x100))));
            break;
        case 2:
            s.append(QChar(char16_t(rng.bounded(0x10000))));
            break; // lone surrogates too
        case 3:
            s.append(QString::fromUtf16(u"😀"));
            break;
        }
    }
    return s;
}

} // namespace

class TestPersistFuzz : public QObject {
    Q_OBJECT
private slots:
    void listReaderSurvivesMalformedFiles();
    void lineWriterSurvivesAnyText();
    void profileSurvivesMalformedFiles();
};

void TestPersistFuzz::listReaderSurvivesMalformedFiles() {
    QRandomGenerator rng(SEED);
    for (int iteration = 0; iteration < 3000; ++iteration) {
        const QByteArray file =
            iteration % 2 ? RandomBytes(rng, 3000) : Mutate(rng, ValidFile(rng));
        const int gridRows = 1 + rng.bounded(40);
        const ListFileContents c = ReadListFile(file, gridRows);
        QVERIFY(c.dataRows >= gridRows && c.dataRows <= LIST_FILE_MAX_ROWS);
        QCOMPARE(c.rows.size(), c.dataRows);
        for (const ListRowText& r : c.rows) {
            QVERIFY(r.no.isEmpty() && r.duration.isEmpty());
            QVERIFY(r.remark.isEmpty() || r.remark.startsWith(QLatin1Char(' ')));
            QVERIFY(!r.spNo.startsWith(QLatin1Char('-')));
        }
        // Whatever was read can be written again as one line per row.
        const QByteArray again = BuildListFile(c.rows, nullptr);
        QVERIFY(again.count("\r\n") <= c.dataRows);
    }
}

void TestPersistFuzz::lineWriterSurvivesAnyText() {
    QRandomGenerator rng(SEED + 1);
    for (int iteration = 0; iteration < 5000; ++iteration) {
        const ListRowText any{RandomText(rng), RandomText(rng), RandomText(rng),
                              RandomText(rng), RandomText(rng), RandomText(rng)};
        QByteArray line;
        bool complete = true;
        if (FormatListLine(any, Placeholders::File, &line, &complete))
            QVERIFY(!line.contains('\n'));

        // With known fields around it, the SP No. field can be found: at most five bytes,
        // a head of the encoded text, never ending inside a character.
        const QString spNo = RandomText(rng);
        if (spNo.isEmpty())
            continue;
        const ListRowText row{"0001", spNo, "00:00:00:00", "00:00:00:01", "00:00:00:01", " R"};
        QVERIFY(FormatListLine(row, Placeholders::File, &line, &complete));
        const QByteArray tail = " 00:00:00:00/00:00:00:01/00:01 R";
        QVERIFY(line.startsWith("0001 ") && line.endsWith(tail));
        const QByteArray field = line.mid(5, line.size() - 5 - tail.size());
        QString written = spNo + ' ';
        written.replace(QLatin1Char('\r'), QLatin1Char(' '))
            .replace(QLatin1Char('\n'), QLatin1Char(' '));
        const QByteArray full = Cp932Encode(written);
        QVERIFY(field.size() <= 5);
        QVERIFY(field.size() >= std::min<qsizetype>(full.size(), 4));
        QVERIFY(full.startsWith(field));
        QVERIFY(!Cp932Decode(field).contains(QChar(0xFFFD)));
    }
}

void TestPersistFuzz::profileSurvivesMalformedFiles() {
    QTemporaryDir dir;
    const QString path = dir.filePath("default.ini");
    QRandomGenerator rng(SEED + 2);
    for (int iteration = 0; iteration < 400; ++iteration) {
        QByteArray bytes = RandomBytes(rng, 600);
        if (iteration % 2)
            bytes.prepend("[Default]\r\nWidth0=5\r\n");
        WriteBytes(path, bytes);
        ProfileFile profile;
        QVERIFY(profile.Load(path));
        profile.GetInt("Default", "Width0", 7);
        profile.WriteString("Default", "Width0", "1234");
        QVERIFY(profile.Save());
        // Once written, the key reads back as written, whatever the file held before.
        QCOMPARE(ProfileGetInt("Default", "Width0", 7, path), 1234);
    }
}

QTEST_GUILESS_MAIN(TestPersistFuzz)
#include "test_persist_fuzz.moc"
