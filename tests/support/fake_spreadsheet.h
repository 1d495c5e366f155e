#pragma once

#include "reports/spreadsheet_application.h"

#include <QStringList>

// A spreadsheet application that opens nothing and remembers what it was asked to open; the
// system's launcher is back in place when it goes.
struct FakeSpreadsheet {
    bool available = true;   // whether the workstation has one at all
    bool opens = true;       // whether it starts when asked to open a workbook
    QStringList opened;      // the paths it was asked to open, in order

    FakeSpreadsheet();
    ~FakeSpreadsheet();
    FakeSpreadsheet(const FakeSpreadsheet &) = delete;
    FakeSpreadsheet &operator=(const FakeSpreadsheet &) = delete;

private:
    SpreadsheetApplication::Launcher m_previous;
};
