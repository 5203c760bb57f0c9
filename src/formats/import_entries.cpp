// What the readers share beyond the list's own import: the budget's bookkeeping, lines and
// labels read without copies, and XML without a DTD.
#include "formats/import_entries.h"

#include <QStringDecoder>

namespace {

// A label is at most "HH:MM:SS:FF"; a field kept longer than this is quoted in the box and
// read as no label.
constexpr qsizetype MAX_LABEL_FIELD = 64;

} // namespace

bool ImportRead::Add(const ImportEntry& entry) {
    if (!budget.TakeEntry())
        return false;
    entries.append(entry);
    return true;
}

bool ImportRead::LeaveOut(const ImportSkip& skip) {
    if (!budget.TakeLeftOut())
        return false;
    leftOut.append(skip);
    return true;
}

bool LineReader::Next(QStringView* line) {
    const qsizetype size = m_text.size();
    if (m_at >= size)
        return false;
    qsizetype end = m_at;
    while (end < size && m_text.at(end) != QLatin1Char('\n') && m_text.at(end) != QLatin1Char('\r'))
        ++end;
    *line = m_text.sliced(m_at, end - m_at);
    m_at = end + 1;
    if (end + 1 < size && m_text.at(end) == QLatin1Char('\r') &&
        m_text.at(end + 1) == QLatin1Char('\n'))
        ++m_at;
    ++m_number;
    return true;
}

QString LabelText(QStringView field) {
    return field.trimmed().left(MAX_LABEL_FIELD).toString();
}

namespace {

// Whether the prolog of XML (UTF-8 or another encoding that keeps ASCII) holds a document type
// declaration with an internal subset. Comments and processing instructions before it are
// skipped whole; the first element ends the prolog.
bool DeclaresInProlog(const QByteArray& xml) {
    for (qsizetype at = xml.indexOf('<'); at >= 0; at = xml.indexOf('<', at + 1)) {
        const QByteArrayView rest = QByteArrayView(xml).sliced(at);
        if (rest.startsWith("<?")) {
            at = xml.indexOf("?>", at);
        } else if (rest.startsWith("<!--")) {
            at = xml.indexOf("-->", at);
        } else if (rest.startsWith("<!DOCTYPE")) {
            // Up to its end, quoted names skipped: a '>' in one ends nothing.
            char quote = 0;
            for (const char c : rest) {
                if (quote)
                    quote = c == quote ? 0 : quote;
                else if (c == '"' || c == '\'')
                    quote = c;
                else if (c == '[' || c == '>')
                    return c == '[';
            }
            return false;
        } else {
            return false;
        }
        if (at < 0)
            return false;
    }
    return false;
}

} // namespace

bool AcceptXml(const QByteArray& bytes, ImportBudget* budget) {
    // UTF-16 (by its byte-order mark, or a zero byte in the first two) is looked at as UTF-8.
    const bool wide = bytes.startsWith("\xFF\xFE") || bytes.startsWith("\xFE\xFF") ||
                      (bytes.size() >= 2 && (bytes.at(0) == 0 || bytes.at(1) == 0));
    QByteArray ascii = bytes;
    if (wide) {
        QStringDecoder utf16(bytes.startsWith("\xFE\xFF") || bytes.at(0) == 0
                                 ? QStringConverter::Utf16BE
                                 : QStringConverter::Utf16LE);
        ascii = QString(utf16.decode(bytes)).toUtf8();
    }
    const bool declares = DeclaresInProlog(ascii);
    if (declares)
        budget->Refuse(ImportLimit::Dtd);
    return !declares;
}

QXmlStreamReader::TokenType NextXmlToken(QXmlStreamReader& xml, ImportBudget* budget) {
    const QXmlStreamReader::TokenType token = xml.readNext();
    // "<!DOCTYPE fcpxml>" names the format and declares nothing: editing systems write it.
    // Declarations of its own would be expanded at every reference, however often: such a
    // file is refused before the first one.
    if (token != QXmlStreamReader::DTD || !xml.text().contains(QLatin1Char('[')))
        return token;
    budget->Refuse(ImportLimit::Dtd);
    xml.raiseError(QStringLiteral("DTD"));
    return QXmlStreamReader::Invalid;
}
