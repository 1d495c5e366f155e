#pragma once

#include "timesheets/timesheet_month.h"

#include <functional>

class DataModule;

// Rebuilds one month of timesheet rows from what was recorded, by the day-cell rule applied to
// every day at once: the month's rows of the family are removed, then each row is written once
// with all its day cells from one grouped read of the month (production rows: one statement per
// journal mode). The rows are exactly those that writing each day's hours cell by cell leaves;
// the tests hold the two side by side.
//
// The whole rebuild is one transaction under the month's lock, taken alone: a failure part-way (a
// refused statement, a lost server, a lock not granted in time) leaves the month's rows as they
// were, and a record or entry saved or deleted on another workstation meanwhile waits for the
// rebuild to end (or the rebuild for it) and then finds its cell, so neither change is lost. Set
// out this way the month is held for a few statements, not for a statement per worker and day.
class MonthRebuild {
public:
    enum class Family {
        Shifts,    // rows of journal modes 1 to 4, from the production records
        Household, // rows of shift 0 by kind and day/night, from the household-work entries
    };
    // Told of each day of the month in turn as the statements that write it go through.
    using Progress = std::function<void(int day)>;

    MonthRebuild(DataModule &module, Family family);

    // Runs the rebuild of `month`; throws DbError when the server refuses any of it (after
    // rolling it all back). Returns the number of statements sent.
    int run(const TimesheetMonth &month, const Progress &progress = {});

private:
    DataModule &m_module;
    Family m_family;
};
