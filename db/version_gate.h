#pragma once

#include "db/build_stamp.h"

class DataModule;

// Compares this build's stamp with the version row of the database, the only thing copies of the
// program on different workstations share. A newer build records itself; an older one learns that
// it is outdated. Also refreshes the module's decimal delimiter. Throws DbError on server errors.
// Returns true when a newer build has already run against this database.
bool versionGateOutdated(DataModule &module, const BuildStamp &build);
