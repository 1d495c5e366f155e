#include "timesheets/household_commands.h"

#include "db/data_module.h"
#include "db/row_version.h"
#include "db/unit_of_work.h"
#include "records/day_cell_rule.h"
#include "timesheets/household_statements.h"

namespace HouseholdCommands {

void save(DataModule &module, const HouseholdEntry &entry, const HouseholdEntry *before)
{
    UnitOfWork work(module);
    if (before)
        RowVersion::checkUnchanged(module, QStringLiteral("accounts_dep.fatigue"), before->id, before->version);
    module.command.execute(before ? HouseholdStatements::update(entry) : HouseholdStatements::insert(entry));
    DayCellRule rule(module);
    rule.recomputeAfterSave(entry.rowKey(), entry.date);
    // A change that moves the entry to another worker or kind takes its hours out of the row it
    // counted in before, so that the timesheet stays right without waiting for a rebuild.
    if (before && before->rowKey() != entry.rowKey())
        rule.recomputeAfterDeletion(before->rowKey(), before->date);
    work.commit();
}

void remove(DataModule &module, const HouseholdEntry &entry)
{
    UnitOfWork work(module);
    module.command.execute(HouseholdStatements::deletion(entry.id));
    DayCellRule(module).recomputeAfterDeletion(entry.rowKey(), entry.date);
    work.commit();
}

void computeAveragePrices(DataModule &module, int month, int year)
{
    module.command.execute(HouseholdStatements::averagePrices(month, year));
}

} // namespace HouseholdCommands
