#pragma once

#include "records/timesheet_cell.h"

// A day cell of a worker's timesheet row kept from production records: one row per worker,
// journal mode (shifts 1 to 3, overtime 4), month and year; the cell holds the worker's hours of
// that date and mode summed over accounts_dep.smena.
class ShiftTimesheetCell : public TimesheetCell {
public:
    ShiftTimesheetCell(int worker, const QDate &date, int mode);

    int worker() const { return m_worker; }
    int mode() const { return m_mode; }

    QString lookUp() const override;
    QString totalHours() const override;
    QString cellUpdate(int hours) const override;
    QString rowInsert(int hours) const override;
    QString rowRemoval() const override;
    QString rowCondition() const override;
    QString lockName() const override;

private:
    int m_worker;
    int m_mode;
};
