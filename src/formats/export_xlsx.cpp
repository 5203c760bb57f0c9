#include "formats/export_xlsx.h"

#include "formats/export_csv.h"
#include "formats/workbook_text.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <xlsxwriter.h>

#include <algorithm>

namespace {

// Closes the workbook whatever happens: closing is what writes it.
class Workbook {
public:
    Workbook(const QByteArray& path, const QByteArray& scratch) {
        lxw_workbook_options options{};
        options.tmpdir = const_cast<char*>(scratch.constData());
        m_book = workbook_new_opt(path.constData(), &options);
    }
    ~Workbook() {
        if (m_book)
            workbook_close(m_book);
    }
    Workbook(const Workbook&) = delete;
    Workbook& operator=(const Workbook&) = delete;
    lxw_workbook* get() const { return m_book; }
    bool Close() {
        lxw_workbook* book = m_book;
        m_book = nullptr;
        return workbook_close(book) == LXW_NO_ERROR;
    }

private:
    lxw_workbook* m_book = nullptr;
};

// Where the workbook's parts are put together: a folder in memory where the system has one,
// since a file written and deleted at once costs a wait for the disk on some systems, and a
// batch of workbooks writes and deletes a dozen each.
QString ScratchFolder() {
    for (const QString& folder :
         {qEnvironmentVariable("XDG_RUNTIME_DIR"), QStringLiteral("/dev/shm")}) {
        const QFileInfo info(folder);
        if (!folder.isEmpty() && info.isDir() && info.isWritable())
            return folder;
    }
    return QDir::tempPath();
}

// A sheet name may not hold []:*?/\ nor be longer than 31 characters.
QString SheetName(const QString& title) {
    QString name = OneLine(title);
    for (QChar& c : name) {
        if (QStringLiteral("[]:*?/\\").contains(c))
            c = QLatin1Char('_');
    }
    name = name.left(31).trimmed();
    // An apostrophe may not start or end it.
    while (name.startsWith(QLatin1Char('\'')))
        name.remove(0, 1);
    while (name.endsWith(QLatin1Char('\'')))
        name.chop(1);
    return name.isEmpty() ? QStringLiteral("Spots") : name;
}

bool IsWide(char32_t u) {
    return (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF) ||
           (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF) ||
           (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) ||
           (u >= 0xFFE0 && u <= 0xFFE6) || (u >= 0x1F300 && u <= 0x1FAFF) ||
           (u >= 0x20000 && u <= 0x3FFFD);
}

} // namespace

int SpreadsheetTextWidth(const QString& text) {
    int width = 0;
    int line = 0;
    for (char32_t u : text.toUcs4()) {
        if (u == '\n') { // a cell's lines stand one under the other
            width = std::max(width, line);
            line = 0;
            continue;
        }
        line += IsWide(u) ? 2 : 1;
    }
    return std::max(width, line);
}

ExportBuild BuildXlsx(const QVector<ListRowText>& rows, const QString& title) {
    ExportBuild xlsx;
    // libxlsxwriter writes to a file only.
    QTemporaryDir dir(ScratchFolder() + QStringLiteral("/tarnwick-xlsx-XXXXXX"));
    if (!dir.isValid()) {
        xlsx.ok = false;
        return xlsx;
    }
    const QString path = dir.filePath(QStringLiteral("list.xlsx"));
    {
        Workbook book(QFile::encodeName(path), QFile::encodeName(dir.path()));
        if (!book.get()) {
            xlsx.ok = false;
            return xlsx;
        }
        lxw_worksheet* sheet =
            workbook_add_worksheet(book.get(), SheetName(title).toUtf8().constData());
        lxw_format* text = workbook_add_format(book.get());
        format_set_num_format(text, "@");
        lxw_format* header = workbook_add_format(book.get());
        format_set_num_format(header, "@");
        format_set_bold(header);
        if (!sheet || !text || !header) {
            xlsx.ok = false;
            return xlsx;
        }

        QVector<QStringList> table = ListTableRows(rows);
        table.prepend(ListTableHeader());
        QVector<int> widths(table.first().size(), 0);
        for (int r = 0; r < table.size(); ++r) {
            for (int c = 0; c < table.at(r).size(); ++c) {
                const QString& cell = table.at(r).at(c);
                widths[c] = std::max(widths[c], SpreadsheetTextWidth(cell));
                if (cell.isEmpty())
                    continue; // an empty cell is no cell
                // A string cell is text whatever it starts with: no formula, no number.
                worksheet_write_string(sheet, lxw_row_t(r), lxw_col_t(c),
                                       WorkbookEscaped(cell).toUtf8().constData(),
                                       r == 0 ? header : text);
            }
        }
        for (int c = 0; c < widths.size(); ++c) {
            // Room for the bold header too; 255 is the widest a column may be.
            const double width = std::min(255.0, widths.at(c) * 1.1 + 2);
            worksheet_set_column(sheet, lxw_col_t(c), lxw_col_t(c), width, text);
        }
        worksheet_freeze_panes(sheet, 1, 0);
        if (!book.Close()) {
            xlsx.ok = false;
            return xlsx;
        }
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        xlsx.ok = false;
        return xlsx;
    }
    xlsx.bytes = file.readAll();
    return xlsx;
}
