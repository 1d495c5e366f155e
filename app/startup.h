#pragma once

#include <QStringList>

class QApplication;

// Makes the program speak Russian whatever the machine's language: Qt's own Russian texts for
// standard buttons, calendars and dialogs, and Russian date and number formats.
void installRussian(QApplication &app);

// Start-up: connection to the server and database the command line or the settings files name
// (arguments after the program name; db/connection_string.h), login window, event loop. Returns the program's exit code.
int runProgram(QApplication &app, const QStringList &arguments);
