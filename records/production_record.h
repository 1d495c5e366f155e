#pragma once

#include <QDate>
#include <QString>

// One production record (accounts_dep.smena) as the record dialog saves it: who made what, how
// many pieces and rejects, at which unit price, for how many hours, on which date and in which
// journal mode. The amount of a record is (quantity - rejects) * unit price.
struct ProductionRecord {
    int id = 0;                 // the record's id; 0 for a record not yet saved
    int worker = 0;             // accounts_dep.person.id
    int operationPrice = 0;     // accounts_dep.oper.id
    qint64 product = 0;         // accounts_dep.izdel.id
    double unitPrice = 0;       // price per good piece, surcharges included
    qint64 quantity = 0;
    qint64 rejects = 0;
    qint64 hours = 0;
    qint64 colour = 0;          // colour code of a painting operation, 0 otherwise
    QDate date;
    int mode = 1;               // journal mode: shifts 1 to 3, overtime 4
    QString version;            // the stored row's version as read, for a change (RowVersion)
};
