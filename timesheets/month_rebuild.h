#pragma once

#include "timesheets/timesheet_month.h"

#include <functional>

class DataSet;
class DataModule;

// Rebuilds one month of timesheet rows from what was recorded, by the day-cell rule applied to
// every day at once: the month's rows of the family are removed, then each day's query gives the
// hours of each row key on that day, and each of them is written into its cell (the row updated,
// or inserted with that cell only).
//
// The whole rebuild is one transaction under the month's lock, taken alone: a failure part-way (a
// refused statement, a lost server, a lock not granted in time) leaves the month's rows as they
// were, and a record or entry saved or deleted on another workstation meanwhile waits for the
// rebuild to end (or the rebuild for it) and then finds its cell, so neither change is lost.
class MonthRebuild {
public:
    enum class Family {
        Shifts,    // rows of journal modes 1 to 4, from the production records; day query columns smena, w_id, tim
        Household, // rows of shift 0 by kind and day/night, from the entries; day query columns id_p, id_o, i_night, tim
    };
    // Told after each day of the month is written.
    using Progress = std::function<void(int day)>;

    // `dayQuery` is the day query (parameter data) of the family, its text already set.
    MonthRebuild(DataModule &module, DataSet &dayQuery, Family family);

    // Runs the rebuild of `month`; throws DbError when the server refuses any of it (after
    // rolling it all back). Returns the number of statements sent.
    int run(const TimesheetMonth &month, const Progress &progress = {});

private:
    DataModule &m_module;
    DataSet &m_dayQuery;
    Family m_family;
};
