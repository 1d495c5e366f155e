#pragma once

#include "records/production_record.h"

#include <QString>

// The statements of the production record commands, each built from the record it acts on.
namespace RecordStatements {

// One row with cnt: the records with the same key (worker, operation price, product, date,
// journal mode and colour); a change leaves the record itself out.
QString duplicateCount(const ProductionRecord &record);
QString duplicateCountOnChange(const ProductionRecord &record);
// The record as a new one, in state "no", entered today.
QString insert(const ProductionRecord &record, const QDate &today);
// The record's new values; its state stays, its bonus and document references go back to 0.
QString update(const ProductionRecord &record, const QDate &today);
QString deletion(int id);
// Sets the state of one record: parameters ok (text) and id (integer).
QString stateChange();

// The condition that the stored record still has the values of `record` (for RowVersion::read).
QString sameValues(const ProductionRecord &record);

// Names a record's key alike on every workstation: two workstations saving the same record
// wait for each other, and the second finds the first one's record.
QString keyLockName(const ProductionRecord &record);

} // namespace RecordStatements
