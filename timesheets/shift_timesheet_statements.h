#pragma once

#include <QString>

// The queries of the timesheet by shifts, as the plant's other software knows them.
namespace ShiftTimesheetStatements {

// The grid of shift 1, 2 or 3 (shiftGrid1..3), parameters mnth, yea, date1 (the month's first day)
// and date2 (the next month's first day): one row per timesheet row of the shift whose worker has
// a production record of any shift in the month, with the row's hours summ, its earnings and their
// hourly average, and the row's own columns d1..d31.
QString grid(int shift);

// The day query dt of the rebuild, parameter data: the hours of each worker in each journal mode
// on that date. The other software sends it with a leading blank and a closing semicolon, and so
// does this program.
QString day();

} // namespace ShiftTimesheetStatements
