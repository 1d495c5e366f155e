#pragma once

#include <QDate>

class TDataModule6;
class TimesheetCell;

// The rule "a timesheet day cell equals the worker's total hours of that date": it brings one day
// cell up to date after a record is saved or deleted, and writes the cells of a month rebuild.
// The statements come from the cell (TimesheetCell), so rows kept from production records and
// rows kept from household-work entries share this one rule. All statements go through the data
// module: look-ups through Control, updates and inserts through H_Tabel_ins, row removals through
// DelSmena.
//
// Every workstation shares the timesheet rows. The look-up and the insert that follows it are two
// statements, so each recompute runs in a transaction of its own that first takes a server-side
// advisory lock named after the row's key; a second workstation recomputing the same row waits
// until the first has committed and then finds its row. The lock is released at commit or
// rollback, never held between commands. Callers must not be inside a transaction themselves.
class DayCellRule {
public:
    explicit DayCellRule(TDataModule6 &module);

    // Production records (journal modes 1 to 4): after a record of `worker` dated `date` in
    // journal mode `mode` was inserted or updated, or after it was deleted.
    void recomputeAfterSave(int worker, const QDate &date, int mode);
    void recomputeAfterDeletion(int worker, const QDate &date, int mode);

    // Any kind of timesheet row.
    // After a save: the cell becomes the day's total; a missing row is inserted with that cell only.
    void recomputeAfterSave(const TimesheetCell &cell);
    // After a deletion: the cell becomes the day's total; with no hours left the cell is emptied,
    // and a row left without any day value is removed. A missing row is not created.
    void recomputeAfterDeletion(const TimesheetCell &cell);
    // Writes known hours into the cell (a month rebuild): updates the row, or inserts it.
    void write(const TimesheetCell &cell, int hours);

private:
    int totalHours(const TimesheetCell &cell);
    bool rowExists(const TimesheetCell &cell);
    void updateOrInsert(const TimesheetCell &cell, bool exists, int hours);

    TDataModule6 &m_module;
};
