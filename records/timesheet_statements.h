#pragma once

#include "records/timesheet_row.h"

#include <QDate>
#include <QString>

// The statements that keep one timesheet row, keyed by its TimesheetRowKey: rows kept from
// production records and rows kept from household-work entries differ in the columns that pick
// the row and in where a day's hours come from, and nothing else.
//
// The plant's other software knows two wordings of each: the one a save or a deletion sends for
// one day cell, and the one a month rebuild sends for every cell of the month (with the table
// aliased in the count and, for production rows, the hours quoted in the update). Both are kept
// as they are.
namespace TimesheetStatements {

enum class Wording { DayCell, MonthRebuild };

// One row with the integer column cnt: how many rows of this key exist.
QString rowCount(const TimesheetRowKey &key, Wording wording = Wording::DayCell);
QString cellUpdate(const TimesheetRowKey &key, int day, qint64 hours, Wording wording = Wording::DayCell);
// The update sent after a deletion: household rows name their columns in another order then.
QString cellUpdateAfterDeletion(const TimesheetRowKey &key, int day, qint64 hours);
QString rowInsert(const TimesheetRowKey &key, int day, qint64 hours, Wording wording = Wording::DayCell);
QString rowRemoval(const TimesheetRowKey &key);
// Empties the day cell, so that the day counts no hours.
QString cellEmptying(const TimesheetRowKey &key, int day);
// One row with cnt: how many rows of this key still hold a value in any day cell.
QString rowsWithHours(const TimesheetRowKey &key);

// One row with the whole-number column tim, the hours recorded on the date for the row's key: the
// production records of the worker in the row's journal mode, or his household-work entries of
// the row's kind and day/night flag. No row when nothing is recorded.
QString dayHours(const TimesheetRowKey &key, const QDate &date);

// A month rebuild starts by removing the month's rows of its family.
QString monthRemoval(bool production, int month, int year);

// A month rebuild then writes each row of the month once, with every day cell, from one grouped
// read of what was recorded: a cell holds the day's total (0 where the day's records carry no
// hours), a day without records stays empty, and a key without records in the month gets no row.
// These are the rows that writing day after day, one cell at a time, leaves.
//
// The production rows of journal mode `mode` (1, 2 or 3; 4 takes overtime and any higher mode), so
// that each mode is its own statement. Records of mode 0 or below, which no journal shows, are
// left out: they would land among the household rows, which this rebuild leaves alone.
QString monthProductionRows(int mode, int month, int year);
// The household rows of the month: one per worker, kind and day/night flag (any flag other than 0
// counts as night), from the household-work entries; entries without a kind are left out.
QString monthHouseholdRows(int month, int year);

} // namespace TimesheetStatements
