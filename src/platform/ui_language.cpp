#include "platform/ui_language.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QTranslator>

#include <memory>

namespace {

UiLanguage g_current = UiLanguage::Japanese;
std::unique_ptr<QTranslator> g_ours;
std::unique_ptr<QTranslator> g_qt;

void Remove(std::unique_ptr<QTranslator>& translator) {
    if (translator) {
        QCoreApplication::removeTranslator(translator.get());
        translator.reset();
    }
}

// A translator loaded from the file, installed; none when the file is not there.
bool Install(std::unique_ptr<QTranslator>& slot, const QString& name, const QString& folder) {
    auto translator = std::make_unique<QTranslator>();
    if (!translator->load(name, folder)) {
        return false;
    }
    QCoreApplication::installTranslator(translator.get());
    slot = std::move(translator);
    return true;
}

} // namespace

QString UiLanguageKey(UiLanguage language) {
    return language == UiLanguage::English ? QStringLiteral("en") : QStringLiteral("ja");
}

bool UiLanguageFromKey(const QString& key, UiLanguage* language) {
    const QString k = key.trimmed().toLower();
    if (k == QLatin1String("ja")) {
        *language = UiLanguage::Japanese;
        return true;
    }
    if (k == QLatin1String("en")) {
        *language = UiLanguage::English;
        return true;
    }
    return false;
}

UiLanguage ChooseUiLanguage(const QString& setting, const QString& localeName) {
    UiLanguage chosen;
    if (UiLanguageFromKey(setting, &chosen)) {
        return chosen;
    }
    // "ja_JP.UTF-8", "ja", "C.UTF-8", "POSIX": the language is what comes before the
    // territory, the code set and the modifier.
    const QString language = localeName.section(QLatin1Char('_'), 0, 0)
                                 .section(QLatin1Char('.'), 0, 0)
                                 .section(QLatin1Char('@'), 0, 0);
    if (language.isEmpty() || language == QLatin1String("C") ||
        language == QLatin1String("POSIX") || language == QLatin1String("ja")) {
        return UiLanguage::Japanese;
    }
    return UiLanguage::English;
}

QString LocaleNameFromEnvironment() {
    for (const char* name : {"LC_ALL", "LC_MESSAGES", "LANG"}) {
        const QString value = qEnvironmentVariable(name);
        if (!value.isEmpty()) {
            return value;
        }
    }
    return QString();
}

bool InstallUiLanguage(UiLanguage language) {
    Remove(g_ours);
    Remove(g_qt);
    g_current = language;
    // The source texts are Japanese and Qt's own are English: each language needs one
    // translator only.
    if (language == UiLanguage::English) {
        return Install(g_ours, QStringLiteral("tarnwick_en"), QStringLiteral(":/i18n"));
    }
    return Install(g_qt, QStringLiteral("qtbase_ja"),
                   QLibraryInfo::path(QLibraryInfo::TranslationsPath));
}

UiLanguage CurrentUiLanguage() {
    return g_current;
}
