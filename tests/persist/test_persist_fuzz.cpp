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

// A settings file of random lines: sections and keys from a few names in random case, so
// names repeat; values of ASCII, code page 932 text and bytes that do not decode; comments,
// blank lines, and now and then a line end other than the file's.
const char* const kSections[] = {"Default", "Ports", "Other"};
const char* const kKeys[] = {"Width0", "com", "InitialDirSave"};

QByteArray RandomCase(QRandomGenerator& rng, const char* name) {
    QByteArray b(name);
    for (char& c : b)
        c = rng.bounded(2) ? char(toupper(c)) : char(tolower(c));
    return b;
}

QByteArray RandomValue(QRandomGenerator& rng) {
    static const char* const pieces[] = {"640",   "C:\\",     "x y",  "\x82\xa0\x8a\xbf", "\xb1",
                                         "\x81 ", "\x85\x40", "\xfc", "\xa0\xfd"};
    QByteArray v = "v";
    for (int n = rng.bounded(4); n > 0; --n)
        v += pieces[rng.bounded(int(std::size(pieces)))];
    return v + "e"; // no blank at either end: the value reads back as its bytes
}

QVector<QByteArray> RandomSettingsLines(QRandomGenerator& rng) {
    const QByteArray eol = rng.bounded(2) ? "\r\n" : "\n";
    const QByteArray otherEol = eol == "\n" ? "\r\n" : "\n";
    // A first line that is no UTF-8 makes the file one of code page 932.
    QVector<QByteArray> lines{"; \x90\xdd\x92\xe8" + eol};
    for (int n = rng.bounded(25); n > 0; --n) {
        QByteArray line;
        switch (rng.bounded(6)) {
        case 0:
            line = '[' + RandomCase(rng, kSections[rng.bounded(3)]) + ']';
            break;
        case 1:
            line = rng.bounded(2) ? "" : "; " + RandomValue(rng);
            break;
        default:
            line = RandomCase(rng, kKeys[rng.bounded(3)]) + '=' + RandomValue(rng);
        }
        lines << line + (rng.bounded(10) ? eol : otherEol);
    }
    if (lines.size() > 1 && rng.bounded(4) == 0)
        lines.last() = lines.last().trimmed(); // a last line without its line end
    return lines;
}

QVector<QByteArray> SplitLines(const QByteArray& bytes) {
    QVector<QByteArray> lines;
    for (qsizetype start = 0; start < bytes.size();) {
        qsizetype end = bytes.indexOf('\n', start);
        end = end < 0 ? bytes.size() : end + 1;
        lines << bytes.mid(start, end - start);
        start = end;
    }
    return lines;
}

// What each "section/key" reads by the first-section rule, and the line it stands on.
struct Expected {
    QMap<QString, QPair<QString, int>> values;
    QStringList sections;
    QString value(const QString& name) const {
        return values.value(name, qMakePair(QStringLiteral("(none)"), -1)).first;
    }
};

Expected FirstSectionValues(const QVector<QByteArray>& lines) {
    Expected e;
    QString section;
    bool first = false;
    for (int i = 0; i < lines.size(); ++i) {
        const QByteArray line = lines.at(i).trimmed();
        const int eq = line.indexOf('=');
        if (line.startsWith('[')) {
            section = QString::fromLatin1(line.mid(1, line.size() - 2)).toLower();
            first = !e.sections.contains(section);
            e.sections << section;
        } else if (first && eq > 0 && !line.startsWith(';')) {
            const QString name = (section + '/' + QString::fromLatin1(line.left(eq))).toLower();
            if (!e.values.contains(name))
                e.values[name] = qMakePair(Cp932Decode(line.mid(eq + 1)), i);
        }
    }
    return e;
}

} // namespace

class TestPersistFuzz : public QObject {
    Q_OBJECT
private slots:
    void listReaderSurvivesMalformedFiles();
    void lineWriterSurvivesAnyText();
    void profileSurvivesMalformedFiles();
    void generatedSettingsFilesKeepTheirBytes();
};

void TestPersistFuzz::listReaderSurvivesMalformedFiles() {
    QRandomGenerator rng(SEED);
    for (int iteration = 0; iteration < 3000; ++iteration) {
        const QByteArray file =
            iteration % 2 ? RandomBytes(rng, 3000) : Mutate(rng, ValidFile(rng));
        const int gridRows = 1 + rng.bounded(40);
        const ListFileContents c = ReadListFile(file, gridRows);
        QVERIFY(c.dataRows >= gridRows && c.dataRows <= MAX_LIST_ROWS);
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

void TestPersistFuzz::generatedSettingsFilesKeepTheirBytes() {
    QTemporaryDir dir;
    const QString path = dir.filePath("default.ini");
    QRandomGenerator rng(SEED + 3);
    const auto name = [](const char* section, const char* key) {
        return QString("%1/%2").arg(section, key).toLower();
    };
    for (int iteration = 0; iteration < 100; ++iteration) {
        const QVector<QByteArray> lines = RandomSettingsLines(rng);
        QByteArray before = lines.toList().join();
        WriteBytes(path, before);
        const Expected expected = FirstSectionValues(lines);

        // Every value reads by the first-section rule, and written back as read it changes
        // no byte, undecodable ones included; only a missing last line end is added.
        ProfileFile profile;
        QVERIFY(profile.Load(path));
        for (const char* section : kSections) {
            for (const char* key : kKeys) {
                const QString value = profile.GetString(section, key, "(none)");
                QCOMPARE(value, expected.value(name(section, key)));
                if (expected.values.contains(name(section, key)))
                    profile.WriteString(section, key, value);
            }
        }
        QVERIFY(profile.Save());
        if (!before.endsWith('\n'))
            before += lines.first().endsWith("\r\n") ? "\r\n" : "\n";
        QCOMPARE(ReadBytes(path), before);

        // New values in sections the file has: they read back, '?' for what the file cannot
        // hold, all else reads as before, and every line but the written ones keeps its bytes
        // and its order.
        QMap<QString, QString> written;
        QVector<QByteArray> untouched = SplitLines(before);
        for (const char* section : kSections) {
            for (const char* key : kKeys) {
                if (!expected.sections.contains(QString(section).toLower()) || rng.bounded(3))
                    continue;
                const QString value = QString::fromUtf16(rng.bounded(2) ? u"新しい値" : u"new 값");
                profile.WriteString(section, key, value);
                written[name(section, key)] = Cp932Decode(Cp932Encode(value));
                if (expected.values.contains(name(section, key)))
                    untouched[expected.values.value(name(section, key)).second].clear();
            }
        }
        untouched.removeAll(QByteArray());
        QVERIFY(profile.Save());
        ProfileFile again;
        QVERIFY(again.Load(path));
        for (const char* section : kSections) {
            for (const char* key : kKeys) {
                const QString n = name(section, key);
                QCOMPARE(again.GetString(section, key, "(none)"),
                         written.value(n, expected.value(n)));
            }
        }
        QVector<QByteArray> kept = SplitLines(ReadBytes(path));
        kept.removeIf([](const QByteArray& line) {
            return line.contains("=\x90\x56\x82\xb5\x82\xa2\x92\x6c") || line.contains("=new ?");
        });
        QCOMPARE(kept, untouched);
    }
}

QTEST_GUILESS_MAIN(TestPersistFuzz)
#include "test_persist_fuzz.moc"
