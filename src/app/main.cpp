#include "app/tarnwick_app.h"

#include <QApplication>

int main(int argc, char* argv[]) {
    QApplication application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarnwick"));
    QApplication::setApplicationVersion(QStringLiteral("1.0.0.1"));
    CTarnwickApp app;
    app.InitInstance();
    return 0;
}
