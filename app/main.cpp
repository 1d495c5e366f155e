#include "db/build_stamp.h"
#include "app/startup.h"
#include "ui/remembered_state.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    setCurrentBuildStamp(programBuildStamp);
    QApplication app(argc, argv);
    // Ties the windows to the desktop entry the workstation package installs (its icon, its name).
    QGuiApplication::setDesktopFileName(QStringLiteral("ru.tabel.Tabel"));
    installRussian(app);
    // The windows come back as the user left them (the user's settings file). Only the program
    // itself remembers: tests that start it through runProgram leave the settings alone.
    RememberedState::setEnabled(true);
    return runProgram(app, app.arguments().mid(1));
}
