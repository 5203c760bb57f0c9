#include "persist/settings_io.h"

#include "persist/profile.h"

#include <algorithm>
#include <cstddef>

namespace {

const QString kSection = QStringLiteral("Default");
const QString kLanguageKey = QStringLiteral("Language");

// The folder the file dialogs first open in: the system drive's root on Windows; elsewhere
// none, which is the working folder.
#ifdef Q_OS_WIN
const QString DEFAULT_INITIAL_DIR = QStringLiteral("C:\\");
#else
const QString DEFAULT_INITIAL_DIR;
#endif

// The integer keys after InitialDirSave, in the order of the file, with their defaults.
struct IntKey {
    const char* name;
    int AppSettings::*field;
    int def;
};

const IntKey kWindowKeys[] = {
    {"WindowWidth", &AppSettings::WindowWidth, 640},
    {"WindowHeight", &AppSettings::WindowHeight, 480},
};
const IntKey kWidthKeys[LIST_COLS] = {
    {"Width0", &AppSettings::Width0, 660},  {"Width1", &AppSettings::Width1, 720},
    {"Width2", &AppSettings::Width2, 1530}, {"Width3", &AppSettings::Width3, 1530},
    {"Width4", &AppSettings::Width4, 1530}, {"Width5", &AppSettings::Width5, 2500},
};
const IntKey kMenuKeys[] = {
    {"FrameCheck", &AppSettings::FrameCheck, 3}, {"com", &AppSettings::com, 1},
    {"VtrType", &AppSettings::VtrType, 0},       {"Drop", &AppSettings::Drop, 1},
    {"FrameRate", &AppSettings::FrameRate, 30},
};

template <std::size_t N>
void ReadKeys(const ProfileFile& file, const IntKey (&keys)[N], AppSettings* s) {
    for (const IntKey& key : keys)
        s->*key.field = file.GetInt(kSection, QLatin1String(key.name), key.def);
}

template <std::size_t N>
void WriteKeys(ProfileFile* file, const IntKey (&keys)[N], const AppSettings& s) {
    for (const IntKey& key : keys)
        file->WriteString(kSection, QLatin1String(key.name), QString::number(s.*key.field));
}

} // namespace

void LoadAppSettings(const QString& iniPath, AppSettings* settings) {
    ProfileFile file;
    file.Load(iniPath); // an unreadable file reads as an empty one: every default
    settings->InitialDirSave =
        file.GetString(kSection, QStringLiteral("InitialDirSave"), DEFAULT_INITIAL_DIR);
    ReadKeys(file, kWindowKeys, settings);
    ReadKeys(file, kWidthKeys, settings);
    ReadKeys(file, kMenuKeys, settings);
    settings->Preroll =
        std::clamp(file.GetInt(kSection, QStringLiteral("Preroll"), 5), 0, PREROLL_MAX_SECONDS);
    settings->Language = file.GetString(kSection, kLanguageKey, QString());
}

bool SaveAppSettings(const QString& iniPath, AppSettings* settings, const int widths[LIST_COLS]) {
    for (int i = 0; i < LIST_COLS; ++i)
        settings->*kWidthKeys[i].field =
            widths[i] < SETTINGS_MIN_COLUMN_WIDTH ? SETTINGS_MIN_COLUMN_WIDTH : widths[i];

    ProfileFile file;
    if (!file.Load(iniPath))
        return false;
    file.WriteString(kSection, QStringLiteral("InitialDirSave"), settings->InitialDirSave);
    WriteKeys(&file, kWindowKeys, *settings);
    WriteKeys(&file, kWidthKeys, *settings);
    WriteKeys(&file, kMenuKeys, *settings);
    if (!settings->Language.isEmpty())
        file.WriteString(kSection, kLanguageKey, settings->Language);
    return file.Save();
}

bool SaveLanguageSetting(const QString& iniPath, const QString& language) {
    ProfileFile file;
    if (!file.Load(iniPath))
        return false;
    file.WriteString(kSection, kLanguageKey, language);
    return file.Save();
}
