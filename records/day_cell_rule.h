#pragma once

#include "records/timesheet_row.h"

#include <QDate>

class DataModule;
class UnitOfWork;

// The rule "a timesheet day cell equals the worker's total hours of that date": it brings one day
// cell up to date after a production record or a household-work entry is saved or deleted. The
// statements come from TimesheetStatements keyed by the row's key, so rows kept from production
// records and rows kept from household-work entries share this one rule. All statements go through
// the data module: look-ups through lookUpQuery, updates and inserts through timesheetCommand, row removals
// through deleteCommand.
//
// Every workstation shares the timesheet rows, and the look-up and the insert that follows it are
// two statements. So each recompute runs in a unit of work (the caller's, when it has one: the
// record and its day cells are written together or not at all) and first takes two advisory
// locks: the month of the row's family shared, which a month rebuild holds alone, and the row's
// own key. A second workstation recomputing the same row waits until the first has committed and
// then finds its row; a rebuild waits for recomputes under way and they wait for it. The locks go
// with the transaction, never held between commands.
class DayCellRule {
public:
    explicit DayCellRule(DataModule &module);

    // After a save: the cell becomes the day's total; a missing row is inserted with that cell only.
    void recomputeAfterSave(const TimesheetRowKey &key, const QDate &date);
    // After a deletion: the cell becomes the day's total; with no hours left the cell is emptied,
    // and a row left without any day value is removed. A missing row is not created.
    void recomputeAfterDeletion(const TimesheetRowKey &key, const QDate &date);

    // Production records: a record of `worker` dated `date` in journal mode `mode`.
    void recomputeAfterSave(int worker, const QDate &date, int mode)
    {
        recomputeAfterSave(TimesheetRowKey::production(worker, date, mode), date);
    }
    void recomputeAfterDeletion(int worker, const QDate &date, int mode)
    {
        recomputeAfterDeletion(TimesheetRowKey::production(worker, date, mode), date);
    }

private:
    void lockRow(UnitOfWork &work, const TimesheetRowKey &key);
    qint64 dayHours(const TimesheetRowKey &key, const QDate &date);

    DataModule &m_module;
};
