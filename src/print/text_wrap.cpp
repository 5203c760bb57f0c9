#include "print/text_wrap.h"

#include "platform/codepage.h"

#include <QTextBoundaryFinder>

namespace {

QString WithoutTrailingSpaces(QString text) {
    while (text.endsWith(QLatin1Char(' ')))
        text.chop(1);
    return text;
}

// Collects the lines, a piece at a time.
class LineFiller {
public:
    explicit LineFiller(int columns) : m_columns(columns < 1 ? 1 : columns) {}

    // A piece between two places where a line may break, its trailing spaces included: they may
    // hang past the end of a line, since they are dropped there.
    void Add(const QString& piece) {
        const int width = TextColumns(WithoutTrailingSpaces(piece));
        if (m_used + width > m_columns)
            Break();
        if (width <= m_columns) {
            Append(piece);
            return;
        }
        // A word wider than a whole line: cut between its characters.
        QTextBoundaryFinder graphemes(QTextBoundaryFinder::Grapheme, piece);
        int start = 0;
        for (int end = graphemes.toNextBoundary(); end > 0; end = graphemes.toNextBoundary()) {
            const QString cluster = piece.mid(start, end - start);
            start = end;
            if (m_used + TextColumns(cluster) > m_columns && cluster != QLatin1String(" "))
                Break();
            Append(cluster);
        }
    }

    QStringList Lines() {
        Break();
        return m_lines;
    }

private:
    void Append(const QString& text) {
        m_line += text;
        m_used += TextColumns(text);
    }

    // A line of nothing but spaces is not worth one.
    void Break() {
        const QString line = WithoutTrailingSpaces(m_line);
        if (!line.isEmpty())
            m_lines << line;
        m_line.clear();
        m_used = 0;
    }

    int m_columns;
    int m_used = 0;
    QString m_line;
    QStringList m_lines;
};

} // namespace

int TextColumns(const QString& text) {
    return int(Cp932Encode(text).size());
}

QStringList WrapToColumns(const QString& text, int columns) {
    if (text.isEmpty())
        return {};
    if (TextColumns(text) <= columns)
        return {text};
    // The line-breaking rules of Unicode, as Qt's text layout follows them.
    LineFiller filler(columns);
    QTextBoundaryFinder breaks(QTextBoundaryFinder::Line, text);
    int start = 0;
    for (int end = breaks.toNextBoundary(); end > 0; end = breaks.toNextBoundary()) {
        filler.Add(text.mid(start, end - start));
        start = end;
    }
    return filler.Lines();
}
