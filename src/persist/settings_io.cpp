#include "persist/settings_io.h"

#include "persist/profile.h"

namespace {

const QString kSection = QStringLiteral("Default");

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
const IntKey kWidthKeys[] = {
    {"Width0", &AppSettings::Width0, 660},  {"Width1", &AppSettings::Width1, 720},
    {"Width2", &AppSettings::Width2, 1530}, {"Width3", &AppSettings::Width3, 1530},
    {"Width4", &AppSettings::Width4, 1530}, {"Width5", &AppSettings::Width5, 2500},
};
const IntKey kMenuKeys[] = {
    {"FrameCheck", &AppSettings::FrameCheck, 3},
    {"com", &AppSettings::com, 1},
    {"VtrType", &AppSettings::VtrType, 0},
    {"Drop", &AppSettings::Drop, 1},
};

void ReadKeys(const ProfileFile& file, const IntKey* keys, int n, AppSettings* s) {
    for (int i = 0; i < n; ++i)
        s->*keys[i].field = file.GetInt(kSection, QLatin1String(keys[i].name), keys[i].def);
}

void WriteKeys(ProfileFile* file, const IntKey* keys, int n, const AppSettings& s) {
    for (int i = 0; i < n; ++i)
        file->WriteString(kSection, QLatin1String(keys[i].name), QString::number(s.*keys[i].field));
}

} // namespace

void LoadAppSettings(const QString& iniPath, AppSettings* settings) {
    ProfileFile file;
    file.Load(iniPath); // an unreadable file reads as an empty one: every default
    settings->InitialDirSave =
        file.GetString(kSection, QStringLiteral("InitialDirSave"), QStringLiteral("C:\\"));
    ReadKeys(file, kWindowKeys, 2, settings);
    ReadKeys(file, kWidthKeys, 6, settings);
    ReadKeys(file, kMenuKeys, 4, settings);
}

bool SaveAppSettings(const QString& iniPath, AppSettings* settings, const int widths[6]) {
    for (int i = 0; i < 6; ++i)
        settings->*kWidthKeys[i].field =
            widths[i] < SETTINGS_MIN_COLUMN_WIDTH ? SETTINGS_MIN_COLUMN_WIDTH : widths[i];

    ProfileFile file;
    if (!file.Load(iniPath))
        return false;
    file.WriteString(kSection, QStringLiteral("InitialDirSave"), settings->InitialDirSave);
    WriteKeys(&file, kWindowKeys, 2, *settings);
    WriteKeys(&file, kWidthKeys, 6, *settings);
    WriteKeys(&file, kMenuKeys, 4, *settings);
    return file.Save();
}
