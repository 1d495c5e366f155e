#pragma once

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

    // Whether day `day` of the month is a Saturday or a Sunday. The plant's timesheets reckon it
    // from the weekday of the 1st, counted Sunday = 1 to Saturday = 7: day d is a weekend day when
    // (d + w) mod 7 is 1 (Saturday) or 2 (Sunday).
    bool isWeekend(int day) const
    {
        const int w = firstDay().dayOfWeek() % 7 + 1;   // Qt counts Monday = 1 to Sunday = 7
        const int r = (day + w) % 7;
        return r == 1 || r == 2;
    }

    bool operator==(const TimesheetMonth &o) const { return month == o.month && year == o.year; }
    bool operator!=(const TimesheetMonth &o) const { return !(*this == o); }
};
