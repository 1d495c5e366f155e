#include "app/build_stamp.h"
#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    setCurrentBuildStamp(programBuildStamp);
    QApplication app(argc, argv);
    installRussian(app);
    return runProgram(app, app.arguments().mid(1));
}
