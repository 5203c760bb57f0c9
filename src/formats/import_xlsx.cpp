// Workbooks that come in: the first sheet of an .xlsx, read as a table. The file is a zip of
// XML parts; every size is bounded (entries, bytes unpacked in total, the text of each use of a
// shared string), so that no file can make the reader run long or take much memory.
#include "formats/import_entries.h"
#include "formats/workbook_text.h"

#include <QXmlStreamReader>

#include <zip.h>

#include <memory>

namespace {

// A sheet of 41 rows takes a few kilobytes; these bounds leave room for any honest workbook.
constexpr zip_int64_t MAX_ENTRIES = 10000;
constexpr int MAX_SHEET_COLUMNS = 64;
constexpr int MAX_SHARED_STRINGS = 1000000;

struct ZipDeleter {
    void operator()(zip_t* z) const { zip_discard(z); }
};
struct ZipFileDeleter {
    void operator()(zip_file_t* f) const { zip_fclose(f); }
};

class Workbook {
public:
    explicit Workbook(const QByteArray& bytes) : m_bytes(bytes) {
        zip_error_t error;
        zip_error_init(&error);
        // The source reads from our bytes, which live as long as this object; libzip must not
        // free them.
        zip_source_t* source =
            zip_source_buffer_create(m_bytes.constData(), zip_uint64_t(m_bytes.size()), 0, &error);
        if (source) {
            m_zip.reset(zip_open_from_source(source, ZIP_RDONLY | ZIP_CHECKCONS, &error));
            if (!m_zip)
                zip_source_free(source);
        }
        zip_error_fini(&error);
        if (m_zip && zip_get_num_entries(m_zip.get(), 0) > MAX_ENTRIES)
            m_zip.reset();
    }
    bool IsOpen() const { return m_zip != nullptr; }

    // A part, whole, or false when it is missing, damaged or passes the budget. The bytes
    // unpacked are counted, not the size the archive claims.
    bool Part(const char* name, QByteArray* bytes, ImportBudget* budget) const {
        bytes->clear();
        if (!m_zip)
            return false;
        std::unique_ptr<zip_file_t, ZipFileDeleter> file(zip_fopen(m_zip.get(), name, 0));
        if (!file)
            return false;
        char buffer[65536];
        for (;;) {
            const zip_int64_t n = zip_fread(file.get(), buffer, sizeof buffer);
            if (n < 0)
                return false;
            if (n == 0)
                return true;
            if (!budget->TakeText(n))
                return false;
            bytes->append(buffer, qsizetype(n));
        }
    }

private:
    QByteArray m_bytes;
    std::unique_ptr<zip_t, ZipDeleter> m_zip;
};

// The text of an element and its descendants' <t> elements, phonetic guides (<rPh>) left out:
// a Japanese spreadsheet keeps the reading of a word beside it.
QString RunText(QXmlStreamReader& xml) {
    QString text;
    int depth = 1;
    bool phonetic = false;
    int phoneticDepth = 0;
    while (depth > 0 && !xml.atEnd()) {
        switch (xml.readNext()) {
        case QXmlStreamReader::StartElement:
            ++depth;
            if (xml.name() == QLatin1String("rPh") && !phonetic) {
                phonetic = true;
                phoneticDepth = depth;
            }
            break;
        case QXmlStreamReader::EndElement:
            if (phonetic && depth == phoneticDepth)
                phonetic = false;
            --depth;
            break;
        case QXmlStreamReader::Characters:
            if (!phonetic)
                text += xml.text();
            break;
        default:
            break;
        }
    }
    return text;
}

QStringList SharedStrings(const QByteArray& bytes, ImportBudget* budget) {
    QStringList strings;
    if (!AcceptXml(bytes, budget))
        return strings;
    QXmlStreamReader xml(bytes);
    while (!xml.atEnd() && strings.size() < MAX_SHARED_STRINGS) {
        if (NextXmlToken(xml, budget) == QXmlStreamReader::StartElement &&
            xml.name() == QLatin1String("si"))
            strings << RunText(xml);
    }
    return strings;
}

// "xl/worksheets/sheet1.xml" for the first sheet of the workbook, by its relationship.
QByteArray FirstSheetPath(const Workbook& book, ImportBudget* budget) {
    QByteArray workbook, rels;
    QString id;
    if (book.Part("xl/workbook.xml", &workbook, budget) && AcceptXml(workbook, budget)) {
        QXmlStreamReader xml(workbook);
        while (!xml.atEnd() && id.isEmpty()) {
            if (NextXmlToken(xml, budget) == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("sheet")) {
                for (const QXmlStreamAttribute& a : xml.attributes()) {
                    if (a.name() == QLatin1String("id"))
                        id = a.value().toString();
                }
            }
        }
    }
    if (!id.isEmpty() && book.Part("xl/_rels/workbook.xml.rels", &rels, budget) &&
        AcceptXml(rels, budget)) {
        QXmlStreamReader xml(rels);
        while (!xml.atEnd()) {
            if (NextXmlToken(xml, budget) == QXmlStreamReader::StartElement &&
                xml.name() == QLatin1String("Relationship") &&
                xml.attributes().value(QLatin1String("Id")) == id) {
                QString target = xml.attributes().value(QLatin1String("Target")).toString();
                if (target.startsWith(QLatin1Char('/')))
                    target = target.mid(1);
                else
                    target.prepend(QStringLiteral("xl/"));
                return target.toUtf8();
            }
        }
    }
    return QByteArrayLiteral("xl/worksheets/sheet1.xml");
}

// "B12" -> column 1 (counted from 0); -1 when the reference has no letters or too many.
int ColumnOfReference(QStringView reference) {
    int column = 0;
    int letters = 0;
    for (QChar c : reference) {
        if (c < QLatin1Char('A') || c > QLatin1Char('Z'))
            break;
        column = column * 26 + (c.unicode() - 'A' + 1);
        if (++letters > 3)
            return -1;
    }
    return letters == 0 ? -1 : column - 1;
}

} // namespace

ImportRead ReadXlsx(const QByteArray& bytes) {
    ImportRead read;
    read.read = false;
    const Workbook book(bytes);
    if (!book.IsOpen())
        return read;
    QByteArray sheet, shared;
    if (!book.Part(FirstSheetPath(book, &read.budget).constData(), &sheet, &read.budget))
        return read;
    const QStringList strings = book.Part("xl/sharedStrings.xml", &shared, &read.budget)
                                    ? SharedStrings(shared, &read.budget)
                                    : QStringList();
    shared.clear();

    // Each row goes to the table once its cells are read.
    TableReader table(&read);
    QStringList row;
    bool anyRow = false;
    if (!AcceptXml(sheet, &read.budget))
        return read;
    QXmlStreamReader xml(sheet);
    int rowNumber = 0;
    while (!xml.atEnd() && !read.budget.Passed()) {
        if (NextXmlToken(xml, &read.budget) != QXmlStreamReader::StartElement)
            continue;
        if (xml.name() == QLatin1String("row")) {
            if (anyRow && !table.Row(row, rowNumber))
                break;
            bool number = false;
            const int r = xml.attributes().value(QLatin1String("r")).toInt(&number);
            rowNumber = number && r > rowNumber ? r : rowNumber + 1;
            row.clear();
            anyRow = true;
        } else if (xml.name() == QLatin1String("c") && anyRow) {
            const int column = ColumnOfReference(xml.attributes().value(QLatin1String("r")));
            const QString type = xml.attributes().value(QLatin1String("t")).toString();
            QString value;
            QString inline_;
            // <v> holds the value (an index for a shared string); <is> an inline string.
            int depth = 1;
            while (depth > 0 && !xml.atEnd()) {
                const QXmlStreamReader::TokenType token = xml.readNext();
                if (token == QXmlStreamReader::StartElement) {
                    if (xml.name() == QLatin1String("v")) {
                        value = xml.readElementText(QXmlStreamReader::SkipChildElements);
                    } else if (xml.name() == QLatin1String("is")) {
                        inline_ = RunText(xml);
                    } else {
                        ++depth;
                    }
                } else if (token == QXmlStreamReader::EndElement) {
                    --depth;
                }
            }
            QString text;
            if (type == QLatin1String("s")) {
                bool number = false;
                const int index = value.toInt(&number);
                text = number && index >= 0 && index < strings.size()
                           ? WorkbookUnescaped(strings.at(index))
                           : QString();
                // One string used in many cells is read as many times: its text counts at
                // every use.
                if (!read.budget.TakeText(text.size()))
                    break;
            } else if (type == QLatin1String("inlineStr")) {
                text = WorkbookUnescaped(inline_);
            } else {
                text = value;
            }
            const int at = column >= 0 ? column : int(row.size());
            if (at < MAX_SHEET_COLUMNS) {
                while (row.size() <= at)
                    row << QString();
                row[at] = text;
            }
        }
    }
    if (anyRow && !read.budget.Passed())
        table.Row(row, rowNumber);
    read.read = !(xml.hasError() && !anyRow);
    return read;
}
