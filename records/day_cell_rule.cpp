#include "records/day_cell_rule.h"

#include "app/data_module.h"
#include "db/db_error.h"
#include "db/sql_text.h"
#include "records/shift_timesheet_cell.h"
#include "records/timesheet_cell.h"

#include <QSqlDatabase>
#include <QSqlError>

namespace {

// One recompute as one transaction holding the row's advisory lock. The driver rolls back only a
// failed statement, not the transaction, so any failure rolls the whole recompute back here: a
// half-done recompute never stays, and the lock goes with the transaction.
class RowLock {
public:
    RowLock(TDataModule6 &module, const TimesheetCell &cell)
        : m_db(QSqlDatabase::database(module.connectionName(), false))
    {
        if (!m_db.isOpen())
            throw DbError(QStringLiteral("Подключение к БД отсутсвует!!!"));
        if (!m_db.transaction())
            throw DbError(sqlErrorText(m_db.lastError()));
        try {
            // The key space (first key) keeps these locks apart from any other software's.
            module.SQL_exec.execute(
                QStringLiteral("select pg_advisory_xact_lock(hashtext('accounts_dep.h_tabel'), hashtext('%1'))")
                    .arg(sqlText(cell.lockName())));
        } catch (...) {
            m_db.rollback();
            throw;
        }
    }
    ~RowLock()
    {
        if (!m_done)
            m_db.rollback();
    }
    RowLock(const RowLock &) = delete;
    RowLock &operator=(const RowLock &) = delete;

    void commit()
    {
        m_done = true;
        if (!m_db.commit()) {
            const QString text = sqlErrorText(m_db.lastError());
            m_db.rollback();
            throw DbError(text);
        }
    }

private:
    QSqlDatabase m_db;
    bool m_done = false;
};

} // namespace

DayCellRule::DayCellRule(TDataModule6 &module) : m_module(module) {}

void DayCellRule::recomputeAfterSave(int worker, const QDate &date, int mode)
{
    recomputeAfterSave(ShiftTimesheetCell(worker, date, mode));
}

void DayCellRule::recomputeAfterDeletion(int worker, const QDate &date, int mode)
{
    recomputeAfterDeletion(ShiftTimesheetCell(worker, date, mode));
}

int DayCellRule::totalHours(const TimesheetCell &cell)
{
    // No row: nothing is recorded for that date any more, which counts as 0.
    return int(m_module.LookUp(cell.totalHours(), QStringLiteral("tim")).toLongLong());
}

bool DayCellRule::rowExists(const TimesheetCell &cell)
{
    return m_module.LookUp(cell.lookUp(), QStringLiteral("cnt")).toLongLong() != 0;
}

void DayCellRule::updateOrInsert(const TimesheetCell &cell, bool exists, int hours)
{
    m_module.H_Tabel_ins.execute(exists ? cell.cellUpdate(hours) : cell.rowInsert(hours));
}

void DayCellRule::recomputeAfterSave(const TimesheetCell &cell)
{
    RowLock lock(m_module, cell);
    const bool exists = rowExists(cell);
    updateOrInsert(cell, exists, totalHours(cell));
    lock.commit();
}

void DayCellRule::write(const TimesheetCell &cell, int hours)
{
    RowLock lock(m_module, cell);
    updateOrInsert(cell, rowExists(cell), hours);
    lock.commit();
}

void DayCellRule::recomputeAfterDeletion(const TimesheetCell &cell)
{
    RowLock lock(m_module, cell);
    const int hours = totalHours(cell);
    if (hours != 0) {
        m_module.H_Tabel_ins.execute(cell.cellUpdateAfterDeletion(hours));
    } else {
        m_module.H_Tabel_ins.execute(cell.cellEmptying());
        if (m_module.LookUp(cell.rowsWithHours(), QStringLiteral("cnt")).toLongLong() == 0)
            m_module.DelSmena.execute(cell.rowRemoval());
    }
    lock.commit();
}
