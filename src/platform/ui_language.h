#pragma once

#include <QString>

// The language of every text the operator reads. Japanese is the program's own: its texts are
// the source texts, and English comes from the translation built into the program, Qt's own
// dialogs following. Files are the same in either language.
enum class UiLanguage { Japanese, English };

// The value of the settings key that names a language ("ja", "en"), and back; anything else
// names none.
QString UiLanguageKey(UiLanguage language);
bool UiLanguageFromKey(const QString& key, UiLanguage* language);

// The language chosen by the settings key when it names one, else by the locale's name
// (LC_ALL, LC_MESSAGES or LANG, the first set): Japanese for a Japanese locale and for C,
// POSIX or none, where the program has always been Japanese; English for any other.
UiLanguage ChooseUiLanguage(const QString& setting, const QString& localeName);
QString LocaleNameFromEnvironment();

// Puts the language's translators in place, ours and Qt's, replacing the last ones; every
// widget is then told the language changed. Returns false when a translation could not be
// loaded (the texts it holds stay Japanese or Qt's English).
bool InstallUiLanguage(UiLanguage language);
UiLanguage CurrentUiLanguage();
