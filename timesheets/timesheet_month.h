#pragma once

#include "db/plant.h"

#include <QDate>

// One month of the timesheets, as the month and year lists select it. A month is the half-open
// range of dates from its first day to the first day of the next month; the queries take both
// bounds as dates and the month and year as plain numbers.
struct TimesheetMonth {
    int month = 1;   // 1 to 12
    int year = 2007; // four digits

    QDate firstDay() const { return QDate(year, month, 1); }
    // The upper bound, not part of the month: 1 January of the next year for December.
    QDate nextFirstDay() const { return month == 12 ? QDate(year + 1, 1, 1) : QDate(year, month + 1, 1); }
    int days() const { return firstDay().daysInMonth(); }
    bool contains(int day) const { return day >= 1 && day <= days(); }
    QDate date(int day) const { return QDate(year, month, day); }

    // Whether day `day` of the month is a Saturday or a Sunday, reckoned on from the 1st (days
    // past the month's end fall in the next month's week as they would on the calendar).
    bool isWeekend(int day) const { return Plant::isWeekend(firstDay().addDays(day - 1)); }

    bool operator==(const TimesheetMonth &o) const { return month == o.month && year == o.year; }
    bool operator!=(const TimesheetMonth &o) const { return !(*this == o); }
};
