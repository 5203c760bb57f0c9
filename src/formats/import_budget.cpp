#include "formats/import_budget.h"

#include <QCoreApplication>

bool ImportBudget::TakeText(qint64 chars) {
    m_text += chars;
    if (m_text > MAX_IMPORT_TEXT)
        Refuse(ImportLimit::Text);
    return !Passed();
}

bool ImportBudget::TakeEntry() {
    if (++m_entries > MAX_IMPORT_ENTRIES)
        Refuse(ImportLimit::Entries);
    return !Passed();
}

bool ImportBudget::TakeLeftOut() {
    if (++m_leftOut > MAX_IMPORT_LEFT_OUT)
        Refuse(ImportLimit::LeftOut);
    return !Passed();
}

void ImportBudget::Refuse(ImportLimit why) {
    // The first limit passed is the one the box names: what follows is its consequence.
    if (m_passed == ImportLimit::None)
        m_passed = why;
}

QString ImportLimitMessage(ImportLimit limit) {
    switch (limit) {
    case ImportLimit::FileSize:
        return QCoreApplication::translate("ImportBudget",
                                           "ファイルが大きすぎるため読み込めません（%1 MBまで）")
            .arg(MAX_IMPORT_BYTES / (1024 * 1024));
    case ImportLimit::Text:
        return QCoreApplication::translate(
                   "ImportBudget", "展開した内容が大きすぎるため読み込めません（%1 MB相当まで）")
            .arg(MAX_IMPORT_TEXT / (1024 * 1024));
    case ImportLimit::Entries:
        return QCoreApplication::translate("ImportBudget",
                                           "項目が多すぎるため読み込めません（%1件まで）")
            .arg(MAX_IMPORT_ENTRIES);
    case ImportLimit::LeftOut:
        return QCoreApplication::translate(
                   "ImportBudget",
                   "読み取れない行やマーカーが多すぎるため読み込めません（%1件まで）")
            .arg(MAX_IMPORT_LEFT_OUT);
    case ImportLimit::Dtd:
        return QCoreApplication::translate("ImportBudget",
                                           "宣言を含むDTD（文書型定義）のあるXMLは読み込めません");
    case ImportLimit::None:
        break;
    }
    return QString();
}
