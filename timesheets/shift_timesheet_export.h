#pragma once

#include "reports/spreadsheet_export.h"

#include <QString>

class DataSet;
class SpreadsheetWriter;

// The monthly timesheet by shifts on sheet 1 of an open workbook: the title "Ноябрь 2026" in row
// 1, the headings in row 2, then one row per worker name of the monthly report query (fio,
// sd1..sd31) with the hours of each day and the month's total.
namespace ShiftTimesheetExport {

// Writes the sheet from the open query's rows; `progress` is told after each row. Returns the
// number of rows written.
int write(SpreadsheetWriter &writer, const DataSet &rows, const QString &title,
          const SpreadsheetExport::Progress &progress = {});

} // namespace ShiftTimesheetExport
