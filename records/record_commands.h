#pragma once

#include "records/production_record.h"

#include <QDate>
#include <QString>

class DataModule;

// The commands that write production records. Each is one unit of work: the record's statement
// and the day cells it moves are written together or not at all.
namespace RecordCommands {

// Saves a new record (`before` null) or the change of the record `before` into `record`: the
// duplicate check, the insert or update, and the worker's day cell of the record's date and
// journal mode. A change that moves the record to another worker or date also recomputes the cell
// it counted in before. Returns false, with the duplicate message shown and nothing written, when
// a record with the same key exists; throws (nothing written) when the record changed or went on
// another workstation since `before` was read. Afterwards the timesheet-by-shifts grids are closed, so that
// they read their rows again when next shown.
bool save(DataModule &module, const ProductionRecord &record, const ProductionRecord *before,
          const QDate &today = QDate::currentDate());

// Deletes a record and recomputes the day cell it counted in (its worker, date and journal mode).
void remove(DataModule &module, int id, int worker, const QDate &date, int mode);

// The state a toggle gives a record in `state`: an accepted record ("ok", "да") goes back to
// "no", any other becomes "ok".
QString toggledState(const QString &state);

} // namespace RecordCommands
