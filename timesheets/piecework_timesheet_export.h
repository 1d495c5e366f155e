#pragma once

#include "reports/spreadsheet_export.h"
#include "timesheets/piecework_view.h"

#include <QString>

class DataSet;
class SpreadsheetWriter;

// One view of the piecework timesheet on sheet 1 of an open workbook: the title "Ноябрь 2026"
// in row 1, the headings in row 2, then one row per row of the view's query. The sheet puts the
// hours (column 34) before the earnings (35), unlike the grid; column 2 holds the day/night mark
// of the household views only, and the general view has no column 36 ("Час (р.)"). Hours go in
// as whole numbers and money in its shortest decimal form with the workstation's separator, so
// that the spreadsheet takes both as numbers.
namespace PieceworkTimesheetExport {

int write(SpreadsheetWriter &writer, const DataSet &rows, const PieceworkView &view, const QString &title,
          const SpreadsheetExport::Progress &progress = {});

} // namespace PieceworkTimesheetExport
