#pragma once

#include "db/plant.h"

#include <QDate>
#include <QString>
#include <QStringList>

// The key of one timesheet row (accounts_dep.h_tabel): a worker's month, either of one journal mode
// (rows kept from production records: shift 1 to 4, kind 0, night 0) or of one household kind and
// day/night flag (rows kept from household-work entries: shift 0, kind 7777 or 7778, night 0 or 1).
// The plant's other software relies on exactly one row per key; the program keeps it so.
struct TimesheetRowKey {
    int worker = 0;
    int month = 0;
    int year = 0;
    int shift = 0;
    int kind = 0;
    int night = 0;

    static TimesheetRowKey production(int worker, const QDate &date, int mode)
    {
        return {worker, date.month(), date.year(), mode, 0, 0};
    }
    static TimesheetRowKey household(int worker, const QDate &date, int kind, int night)
    {
        return {worker, date.month(), date.year(), 0, kind, night ? 1 : 0};
    }

    bool isProduction() const { return kind == 0; }

    // Names the row alike on every workstation, for the lock that lets only one of them write it
    // at a time.
    QString lockName() const
    {
        return QStringLiteral("h_tabel smena=%1 i_type=%2 i_night=%3 w_id=%4 %5.%6")
            .arg(shift).arg(kind).arg(night).arg(worker).arg(month).arg(year);
    }
    // The month of the row's family (production rows or household rows), for the lock that a
    // month rebuild holds alone and every day-cell recompute holds shared.
    QString monthLockName() const { return monthLockName(isProduction(), month, year); }
    static QString monthLockName(bool production, int month, int year)
    {
        return QStringLiteral("h_tabel %1 %2.%3")
            .arg(production ? QStringLiteral("smena") : QStringLiteral("fatigue"))
            .arg(month)
            .arg(year);
    }

    bool operator==(const TimesheetRowKey &o) const
    {
        return worker == o.worker && month == o.month && year == o.year && shift == o.shift && kind == o.kind
            && night == o.night;
    }
    bool operator!=(const TimesheetRowKey &o) const { return !(*this == o); }
};

// Name of a day cell's column: d1 ... d31, never with a leading zero.
inline QString dayCellName(int day)
{
    return QStringLiteral("d") + QString::number(day);
}

// The 31 day columns written in one list, each as `pattern` with %1 the day ("sum(d%1) as sd%1"),
// joined by `separator`: the timesheet statements name every day cell this way.
inline QString eachDay(const QString &pattern, const QString &separator)
{
    QStringList terms;
    for (int d = 1; d <= 31; ++d)
        terms << pattern.arg(d);
    return terms.join(separator);
}

// The advisory locks of the timesheet rows live in their own key space.
inline QString timesheetLockSpace()
{
    return QStringLiteral("accounts_dep.h_tabel");
}
