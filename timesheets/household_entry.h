#pragma once

#include "db/plant.h"
#include "records/timesheet_row.h"

#include <QDate>
#include <QString>

class DataSet;

// One household-work entry (accounts_dep.fatigue): hours of household work (kind 7777) or of work
// paid at the worker's average piecework rate (kind 7778), done by a worker for a product group on
// one date, with the price of an hour and the day-off and night flags. Its hours count in the
// worker's timesheet row of that kind and day/night flag.
struct HouseholdEntry {
    int id = 0;                              // the entry's id; 0 for an entry not yet saved
    qint64 group = 0;                        // product group: cmn_classifier.item.id (level 2)
    int kind = Plant::HouseholdWorkKind;     // 7777 or 7778
    int worker = 0;                          // accounts_dep.person.id
    QDate date;
    int shift = 1;                           // always 1
    qint64 hours = 0;
    double price = 0;                        // price of an hour, surcharges included
    bool holiday = false;
    bool night = false;
    QString version;                         // the stored row's version as read, for a change (RowVersion)

    // The entry of the current row of the household-work list (an entry of no kind, worker or group when
    // the list has no rows).
    static HouseholdEntry fromList(const DataSet &list);

    // The timesheet row the entry's hours count in.
    TimesheetRowKey rowKey() const { return TimesheetRowKey::household(worker, date, kind, night); }
};
