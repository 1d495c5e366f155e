#pragma once

#include <QString>
#include <functional>

// The workstation's spreadsheet application, reached through the desktop's association for
// .xlsx files (LibreOffice Calc on Debian, or whatever the user chose). Tests put their own
// launcher in place so that no window opens.
class SpreadsheetApplication {
public:
    struct Launcher {
        // Whether any application on this workstation can open .xlsx files.
        std::function<bool()> available;
        // Opens a saved workbook in that application; false when it could not be started.
        std::function<bool(const QString &filePath)> open;
    };

    static bool available();
    static bool open(const QString &filePath);

    // The launcher used from now on; a launcher with empty members restores the system one.
    // Returns the launcher that was in place before.
    static Launcher replace(const Launcher &launcher);
    static Launcher system();

    static const QString &xlsxMimeType();
};
