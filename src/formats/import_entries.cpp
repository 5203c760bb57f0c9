// What the readers share beyond the list's own import: the budget's bookkeeping, lines and
// labels read without copies, and XML without a DTD.
#include "formats/import_entries.h"

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
