#include "records/record_commands.h"

#include "db/data_module.h"
#include "db/row_version.h"
#include "db/unit_of_work.h"
#include "db/plant.h"
#include "records/day_cell_rule.h"
#include "records/record_statements.h"

namespace RecordCommands {

namespace {
QString recordLockSpace()
{
    return QStringLiteral("accounts_dep.smena");
}
} // namespace

bool save(DataModule &module, const ProductionRecord &record, const ProductionRecord *before, const QDate &today)
{
    {
        UnitOfWork work(module);
        // The duplicate check and the write are two statements: the key's lock keeps a second
        // workstation from saving the same record between them.
        work.lock(recordLockSpace(), RecordStatements::keyLockName(record));
        // A change writes every column: it goes only over the record as the dialog read it.
        if (before)
            RowVersion::checkUnchanged(module, QStringLiteral("accounts_dep.smena"), before->id, before->version);
        const QString duplicates = before ? RecordStatements::duplicateCountOnChange(record)
                                          : RecordStatements::duplicateCount(record);
        if (module.countCheck(duplicates, QStringLiteral("Позиция с такими параметрами уже заведена!")))
            return false;

        SqlCommand SmenaIU(module.connectionName());
        SmenaIU.execute(before ? RecordStatements::update(record, today) : RecordStatements::insert(record, today));

        DayCellRule rule(module);
        rule.recomputeAfterSave(record.worker, record.date, record.mode);
        // A change that moves the record to another worker or date takes its hours out of the cell
        // it counted in before, so that the timesheet stays right without waiting for a rebuild.
        if (before && (before->worker != record.worker || before->date != record.date))
            rule.recomputeAfterDeletion(before->worker, before->date, record.mode);
        work.commit();
    }
    module.shiftGrid1->close();
    module.shiftGrid2->close();
    module.shiftGrid3->close();
    return true;
}

void remove(DataModule &module, int id, int worker, const QDate &date, int mode)
{
    UnitOfWork work(module);
    module.deleteCommand.execute(RecordStatements::deletion(id));
    DayCellRule(module).recomputeAfterDeletion(worker, date, mode);
    work.commit();
}

QString toggledState(const QString &state)
{
    return Plant::isAccepted(state) ? Plant::stateEntered() : Plant::stateAccepted();
}

} // namespace RecordCommands
