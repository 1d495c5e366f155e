#pragma once

#include "db/build_stamp.h"
#include "db/roles.h"

#include <QString>

class DataModule;

// What the "О программе" window tells: the program, where it works and with what.
struct ProgramFacts {
    QString version;        // the program's version, with its build stamp: 1.0.0+20261211.45296
    BuildStamp stamp;
    QString server;         // the database server and database the connection uses
    QString database;
    QString role;           // the role of the login, in words
    QString qtVersion;      // the Qt the program runs with
    QString driver;         // the ODBC driver's file and version, as the driver tells them
    QString serverVersion;  // select version()
    QString systemSettings; // the settings files (db/settings_files.h)
    QString userSettings;
};

// The role in words, as the About window shows it.
QString roleName(Role role);

// Asks the connection of the module for the driver's and the server's versions (one statement,
// "select version()"); what cannot be asked reads "неизвестно".
ProgramFacts gatherProgramFacts(DataModule &module, Role role);
