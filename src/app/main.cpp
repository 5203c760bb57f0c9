#include "app/tarnwick_app.h"
#include "persist/app_settings.h"
#include "persist/settings_io.h"
#include "platform/ui_language.h"

#include <QApplication>
#include <QDir>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));
    // The language is in place before the first window is made, the standard boxes and
    // dialogs (Yes/No, the file dialogs, the print dialog) following it whatever the locale.
    AppSettings settings;
    LoadAppSettings(QDir::currentPath() + QStringLiteral("/default.ini"), &settings);
    InstallUiLanguage(ChooseUiLanguage(settings.Language, LocaleNameFromEnvironment()));
    CTarnwickApp app;
    app.InitInstance();
    return 0;
}
