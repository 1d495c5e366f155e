#include "records/day_cell_rule.h"

#include "db/data_module.h"
#include "db/unit_of_work.h"
#include "db/input_check.h"
#include "records/timesheet_statements.h"

DayCellRule::DayCellRule(DataModule &module) : m_module(module) {}

void DayCellRule::lockRow(UnitOfWork &work, const TimesheetRowKey &key)
{
    work.lock(timesheetLockSpace(), key.monthLockName(), true);
    work.lock(timesheetLockSpace(), key.lockName());
}

qint64 DayCellRule::dayHours(const TimesheetRowKey &key, const QDate &date)
{
    // No row: nothing is recorded for that date any more, which counts as 0. The total is read
    // whole (a sum of int hours may pass the int range); a cell holds a smallint, so a total it
    // cannot hold stops the command before anything of it is written.
    const qint64 hours = m_module.lookUp(TimesheetStatements::dayHours(key, date), QStringLiteral("tim")).toLongLong();
    if (hours > ColumnRange::SmallMax || hours < -ColumnRange::SmallMax - 1)
        throw InputError(QStringLiteral("За %1 у работника набирается %2 ч.: в ячейку табеля помещается не больше %3.")
                             .arg(date.toString(QStringLiteral("dd.MM.yyyy")))
                             .arg(hours)
                             .arg(ColumnRange::SmallMax));
    return hours;
}

void DayCellRule::recomputeAfterSave(const TimesheetRowKey &key, const QDate &date)
{
    UnitOfWork work(m_module);
    lockRow(work, key);
    const bool exists = m_module.lookUp(TimesheetStatements::rowCount(key), QStringLiteral("cnt")).toLongLong() != 0;
    const qint64 hours = dayHours(key, date);
    m_module.timesheetCommand.execute(exists ? TimesheetStatements::cellUpdate(key, date.day(), hours)
                                        : TimesheetStatements::rowInsert(key, date.day(), hours));
    work.commit();
}

void DayCellRule::recomputeAfterDeletion(const TimesheetRowKey &key, const QDate &date)
{
    UnitOfWork work(m_module);
    lockRow(work, key);
    const qint64 hours = dayHours(key, date);
    if (hours != 0) {
        m_module.timesheetCommand.execute(TimesheetStatements::cellUpdateAfterDeletion(key, date.day(), hours));
    } else {
        m_module.timesheetCommand.execute(TimesheetStatements::cellEmptying(key, date.day()));
        if (m_module.lookUp(TimesheetStatements::rowsWithHours(key), QStringLiteral("cnt")).toLongLong() == 0)
            m_module.deleteCommand.execute(TimesheetStatements::rowRemoval(key));
    }
    work.commit();
}
