#pragma once

#include "timesheets/household_entry.h"

class DataModule;

// The commands that write household-work entries. A save and a deletion are each one unit of work:
// the entry's statement and the day cells it moves are written together or not at all, so a
// refused timesheet statement leaves no entry behind that the timesheet does not count.
namespace HouseholdCommands {

// Saves a new entry (`before` null) or the change of the entry `before` into `entry`, and brings
// the day cell of the entry's worker, kind and day/night flag up to date. A change that moves the
// entry to another worker or kind also recomputes the cell it counted in before.
void save(DataModule &module, const HouseholdEntry &entry, const HouseholdEntry *before);

// Deletes the entry and recomputes the day cell it counted in.
void remove(DataModule &module, const HouseholdEntry &entry);

// Recomputes the prices of the month's average-piecework entries from the piecework journal. The
// timesheet rows do not change: only prices do.
void computeAveragePrices(DataModule &module, int month, int year);

} // namespace HouseholdCommands
