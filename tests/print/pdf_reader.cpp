#include "pdf_reader.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QXmlStreamReader>

namespace {
QByteArray Run(const QString& program, const QStringList& args) {
    QProcess process;
    process.start(program, args);
    if (!process.waitForFinished(60000) || process.exitCode() != 0) {
        return {};
    }
    return process.readAllStandardOutput();
}
} // namespace

bool PdfToolsInstalled() {
    return !QStandardPaths::findExecutable(QStringLiteral("pdfinfo")).isEmpty() &&
           !QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty();
}

int PdfPageCount(const QString& path) {
    const QString info = QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {path}));
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Pages:\\s+(\\d+)"), QRegularExpression::MultilineOption)
            .match(info);
    return m.hasMatch() ? m.captured(1).toInt() : -1;
}

QSizeF PdfPageSize(const QString& path) {
    const QString info = QString::fromUtf8(Run(QStringLiteral("pdfinfo"), {path}));
    const QRegularExpressionMatch m =
        QRegularExpression(QStringLiteral("^Page size:\\s+([\\d.]+) x ([\\d.]+) pts"),
                           QRegularExpression::MultilineOption)
            .match(info);
    return m.hasMatch() ? QSizeF(m.captured(1).toDouble(), m.captured(2).toDouble()) : QSizeF();
}

QStringList PdfTextPages(const QString& path) {
    const QString text = QString::fromUtf8(
        Run(QStringLiteral("pdftotext"), {QStringLiteral("-layout"), path, QStringLiteral("-")}));
    QStringList pages = text.split(QLatin1Char('\f'));
    if (!pages.isEmpty() && pages.last().trimmed().isEmpty()) {
        pages.removeLast();
    }
    return pages;
}

QList<PdfWord> PdfWords(const QString& path) {
    QXmlStreamReader xml(Run(QStringLiteral("pdftotext"),
                             {QStringLiteral("-bbox-layout"), path, QStringLiteral("-")}));
    QList<PdfWord> words;
    int page = 0;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) {
            continue;
        }
        if (xml.name() == QLatin1String("page")) {
            ++page;
        } else if (xml.name() == QLatin1String("word")) {
            const QXmlStreamAttributes a = xml.attributes();
            const double x = a.value(QLatin1String("xMin")).toDouble();
            const double y = a.value(QLatin1String("yMin")).toDouble();
            const double right = a.value(QLatin1String("xMax")).toDouble();
            words.append({page, x, y, right, xml.readElementText()});
        }
    }
    return words;
}

QStringList SimplifiedLines(const QString& page) {
    QStringList lines;
    for (const QString& line : page.split(QLatin1Char('\n'))) {
        if (!line.trimmed().isEmpty()) {
            lines << line.simplified();
        }
    }
    return lines;
}
