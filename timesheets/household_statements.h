#pragma once

#include "timesheets/household_entry.h"

#include <QString>

// The statements of the household-work windows, each built from the entry or the month it acts
// on. The entries' timesheet rows are kept by the day-cell rule (records/day_cell_rule.h).
namespace HouseholdStatements {

// The entries of one date (parameter d_date) with the kind's name vid, the worker's fio, the
// group's s_caption, the amount summ (hours x price) and "+" in s_holiday and s_night.
QString list();
// The two kinds 7777 and 7778 with the price of an hour of their norm (parameter cnt, a decimal).
QString workTypes();

// The entry as a new one; its month and year are those of its date.
QString insert(const HouseholdEntry &entry);
// The entry's new values; its date, month, year and shift stay as they were.
QString update(const HouseholdEntry &entry);
QString deletion(int id);

// Sets the price of every average-piecework entry of the month to the worker's piecework earnings
// per hour in that month on the products of the entry's group (doubled for a day off), 0 where he
// has no hours there. The month runs from its first day to the first day of the next month, both
// written without a leading zero in the month.
QString averagePrices(int month, int year);

} // namespace HouseholdStatements
