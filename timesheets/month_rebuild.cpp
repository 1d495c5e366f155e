#include "timesheets/month_rebuild.h"

#include "db/data_module.h"
#include "db/unit_of_work.h"
#include "records/timesheet_row.h"
#include "records/timesheet_statements.h"

#include <QStringList>

MonthRebuild::MonthRebuild(DataModule &module, Family family) : m_module(module), m_family(family) {}

int MonthRebuild::run(const TimesheetMonth &month, const Progress &progress)
{
    const bool production = m_family == Family::Shifts;
    QStringList writes;
    if (production) {
        for (int mode = 1; mode <= 4; ++mode)
            writes << TimesheetStatements::monthProductionRows(mode, month.month, month.year);
    } else {
        writes << TimesheetStatements::monthHouseholdRows(month.month, month.year);
    }

    UnitOfWork work(m_module);
    work.lock(timesheetLockSpace(), TimesheetRowKey::monthLockName(production, month.month, month.year));
    m_module.deleteCommand.execute(TimesheetStatements::monthRemoval(production, month.month, month.year));
    // The bar goes through the month's days as the statements go through: the removal and each
    // write take an equal share.
    const int steps = writes.size() + 1;
    int reported = 0;
    const auto advance = [&](int step) {
        const int upTo = month.days() * step / steps;
        while (progress && reported < upTo)
            progress(++reported);
    };
    advance(1);
    for (int i = 0; i < writes.size(); ++i) {
        m_module.timesheetCommand.execute(writes.at(i));
        advance(i + 2);
    }
    work.commit();
    return 2 + writes.size();   // the month's lock, the removal, the writes
}
