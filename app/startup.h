#pragma once

#include <QStringList>

class QApplication;

// Makes the program speak Russian whatever the machine's language: Qt's own Russian texts for
// standard buttons, calendars and dialogs, and Russian date and number formats.
void installRussian(QApplication &app);

// Start-up: connection from the command line (arguments after the program name), login window,
// event loop. Returns the program's exit code.
int runProgram(QApplication &app, const QStringList &arguments);
