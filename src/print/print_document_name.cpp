#include "print/print_document_name.h"

#include <QCoreApplication>
#include <QFileInfo>

QString PrintDocumentName(const QString& listPath) {
    const QString name = QFileInfo(listPath).completeBaseName();
    return name.isEmpty() ? QCoreApplication::translate("PrintDocumentName", "印刷") : name;
}
