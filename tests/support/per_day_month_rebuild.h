#pragma once

#include "timesheets/month_rebuild.h"

class DataModule;
class UnitOfWork;
struct TimesheetRowKey;

// The month rebuild as the plant's other software sends it, kept as the reference the program's
// set-based rebuild is held against: the month's rows of the family removed, then for each day of
// the month the day query (dt), and for each of its rows a count of the row's key and an update
// of its day cell or an insert of the row with that cell only. One transaction under the month's
// lock, like the program's.
class PerDayMonthRebuild {
public:
    using Family = MonthRebuild::Family;
    PerDayMonthRebuild(DataModule &module, Family family);

    // Returns the number of statements sent.
    int run(const TimesheetMonth &month, const MonthRebuild::Progress &progress = {});

private:
    DataModule &m_module;
    Family m_family;
};

// The writes of the per-day rebuild, inside the caller's unit of work: the month's lock taken
// alone once, the month's rows of the family removed, and each cell then written without a lock
// of its own.
class MonthCellWriter {
public:
    MonthCellWriter(DataModule &module, UnitOfWork &work, bool production, int month, int year);

    void removeMonth();
    // Known hours into a cell: the row updated, or inserted with that cell only.
    void write(const TimesheetRowKey &key, int day, qint64 hours);

    int statementCount() const { return m_statements; }

private:
    DataModule &m_module;
    bool m_production;
    int m_month;
    int m_year;
    int m_statements = 0;
};
