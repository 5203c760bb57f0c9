#include "print/print_document_name.h"

#include <QFileInfo>

QString PrintDocumentName(const QString& listPath) {
    const QString name = QFileInfo(listPath).completeBaseName();
    return name.isEmpty() ? QStringLiteral("印刷") : name;
}
