#pragma once

#include "timesheets/month_rebuild.h"

class QProgressBar;

// A month rebuild as the timesheet windows run it: the progress bar shown from 1 to the month's
// days and moved after each day while the window repaints, hidden again however the rebuild
// ends; an error reaches the user after "Не удалось перестроить табель.". Returns whether the
// rebuild was committed.
bool rebuildWithProgress(MonthRebuild &rebuild, const TimesheetMonth &month, QProgressBar *bar);
