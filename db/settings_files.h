#pragma once

#include <QString>

#include <memory>

class QSettings;

// Where a workstation's settings live, in one place for every reader and writer.
// - The system file belongs to the plant's IT department (one per machine, written by the
//   package's installation): which server and database the program uses.
// - The user file is the user's own: a server or database of their own, and what the windows
//   remember from one run to the next.
// Both are INI files. The environment may point elsewhere (tests, a trial set-up).
QString systemSettingsPath(); // TABEL_SYSTEM_CONFIG, else /etc/tabel/tabel.conf
QString userSettingsPath();   // TABEL_USER_CONFIG, else <user's config folder>/tabel/tabel.conf

// The files opened for reading and writing (a missing file reads as empty).
std::unique_ptr<QSettings> openSystemSettings();
std::unique_ptr<QSettings> openUserSettings();
