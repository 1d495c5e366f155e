#include "app/startup.h"

#include <QApplication>

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    installRussian(app);
    return runProgram(app, app.arguments().mid(1));
}
