#pragma once

#include <QDate>
#include <QList>
#include <QStringList>

// What the month and year lists of the timesheet windows offer.
namespace MonthSelection {

// "Январь" to "Декабрь": entry m - 1 is month m.
QStringList monthNames();
QString monthName(int month);

// The plant keeps timesheets from 2007 on.
constexpr int FirstYear = 2007;

// The years of the timesheet by shifts: 2007 through the year of `today`, ascending. A fixed list
// would run out and leave the current month unreachable.
QList<int> years(const QDate &today = QDate::currentDate());

// The entry of `years` to select for `year`: its own, or the nearest one when the list has none
// (a date before 2007 selects the first year, one after the list the last). -1 for an empty list.
int yearIndex(const QList<int> &years, int year);

} // namespace MonthSelection
