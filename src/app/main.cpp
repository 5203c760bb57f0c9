#include "app/tarnwick_app.h"

#include <QApplication>
#include <QLibraryInfo>
#include <QTranslator>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral(TARNWICK_VERSION));
    // The interface is Japanese whatever the system's language, so the standard boxes and
    // dialogs (Yes/No, the file dialogs, the print dialog) speak Japanese as well.
    QTranslator qtJapanese;
    if (qtJapanese.load(QStringLiteral("qtbase_ja"),
                        QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        QApplication::installTranslator(&qtJapanese);
    }
    CTarnwickApp app;
    app.InitInstance();
    return 0;
}
