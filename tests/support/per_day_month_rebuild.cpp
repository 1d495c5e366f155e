#include "tests/support/per_day_month_rebuild.h"

#include "db/data_module.h"
#include "db/dataset.h"
#include "db/unit_of_work.h"
#include "records/timesheet_row.h"
#include "records/timesheet_statements.h"
#include "timesheets/piecework_timesheet_statements.h"
#include "timesheets/shift_timesheet_statements.h"

PerDayMonthRebuild::PerDayMonthRebuild(DataModule &module, Family family) : m_module(module), m_family(family) {}

int PerDayMonthRebuild::run(const TimesheetMonth &month, const MonthRebuild::Progress &progress)
{
    const bool production = m_family == Family::Shifts;
    DataSet dayQuery(m_module.connectionName());
    dayQuery.setSql(production ? ShiftTimesheetStatements::day() : PieceworkTimesheetStatements::day());
    UnitOfWork work(m_module);
    MonthCellWriter writer(m_module, work, production, month.month, month.year);
    int statements = 1;   // the month's lock
    writer.removeMonth();
    for (int day = 1; day <= month.days(); ++day) {
        const QDate date = month.date(day);
        dayQuery.close();
        dayQuery.setParam(QStringLiteral("data"), date);
        dayQuery.open();
        ++statements;
        for (int row = 0; row < dayQuery.recordCount(); ++row) {
            const auto value = [&](const char *field) { return dayQuery.valueAt(row, QLatin1String(field)); };
            const TimesheetRowKey key = production
                ? TimesheetRowKey::production(value("w_id").toInt(), date, value("smena").toInt())
                : TimesheetRowKey::household(value("id_p").toInt(), date, value("id_o").toInt(), value("i_night").toInt());
            writer.write(key, day, value("tim").toLongLong());
        }
        dayQuery.close();
        if (progress)
            progress(day);
    }
    work.commit();
    return statements + writer.statementCount();
}

MonthCellWriter::MonthCellWriter(DataModule &module, UnitOfWork &work, bool production, int month, int year)
    : m_module(module), m_production(production), m_month(month), m_year(year)
{
    work.lock(timesheetLockSpace(), TimesheetRowKey::monthLockName(production, month, year));
}

void MonthCellWriter::removeMonth()
{
    m_module.deleteCommand.execute(TimesheetStatements::monthRemoval(m_production, m_month, m_year));
    ++m_statements;
}

void MonthCellWriter::write(const TimesheetRowKey &key, int day, qint64 hours)
{
    using TimesheetStatements::Wording;
    const bool exists = m_module.lookUp(TimesheetStatements::rowCount(key, Wording::MonthRebuild), QStringLiteral("cnt")).toLongLong() != 0;
    m_module.timesheetCommand.execute(exists ? TimesheetStatements::cellUpdate(key, day, hours, Wording::MonthRebuild)
                                        : TimesheetStatements::rowInsert(key, day, hours, Wording::MonthRebuild));
    m_statements += 2;
}
