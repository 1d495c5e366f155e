#pragma once

#include "ui/data_set_model.h"
#include "timesheets/timesheet_month.h"

#include <QColor>
#include <QString>
#include <QStringList>
#include <QVariant>

// How the timesheet grids draw their day columns: a decision about a cell's value and the month,
// made here so that a test can ask what a cell looks like without painting it.
namespace TimesheetLook {

const QColor Weekend(255, 0, 0);           // Saturday and Sunday: titles and values
const QColor Silver(192, 192, 192);        // a day without hours; titles of days past the month's end
const QColor LongDay(192, 220, 192);       // background of a day of more than 8 hours
const QColor TotalBackground(225, 228, 255);
// Values of the days past the month's end do not show.
const QColor Invisible(Qt::transparent);

// 6 for "d6"; 0 for any field that is not a day cell.
int dayOfField(const QString &field);
// "d1" ... "d31".
QStringList dayFields();
// What a day column shows whole at any font: the last day's title and a day's most hours.
inline QStringList widestDayTexts() { return {QStringLiteral("31"), QStringLiteral("24")}; }

// The title colour of a day column: red on a weekend, silver past the month's end, otherwise
// none of its own.
QColor dayTitle(const TimesheetMonth &month, int day);

// A day cell of the timesheet by shifts holding `value` (a missing value counts as 0): a 0 is
// silver on weekdays and stays red on weekends; 8 is bold; more than 8 is bold on light green;
// 1 to 7 take the column's colour. Days past the month's end are invisible, whatever they hold.
CellStyle shiftDayCell(const TimesheetMonth &month, int day, const QVariant &value);

// A day cell of the piecework timesheet: red on weekends, otherwise plain.
CellStyle pieceworkDayCell(const TimesheetMonth &month, int day);

// The total columns: bold on their own background.
CellStyle totalCell();

} // namespace TimesheetLook
