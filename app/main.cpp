#include "db/build_stamp.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    setCurrentBuildStamp(programBuildStamp);
    QApplication app(argc, argv);
    // Ties the windows to the desktop entry the workstation package installs (its icon, its name).
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.tabel.Tabel"));
    installRussian(app);
    return runProgram(app, app.arguments().mid(1));
}
