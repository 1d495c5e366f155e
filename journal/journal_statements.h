#pragma once

#include <QString>

// Statements of the four journal lists (modes 1 to 4), as the journal sends them.
QString journalStatement(int mode);
