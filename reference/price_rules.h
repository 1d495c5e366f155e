#pragma once

#include "db/sql_statement.h"

#include <QString>

// What a piece and an hour of household work are paid, and how prices are written.
namespace PriceRules {

// The journal's circumstances that raise a piece price: the day off of the main window and its
// journal mode. The record dialog hands them to the operation price picker.
struct PieceSurcharges {
    bool dayOff = false;
    int journalMode = 1;
};

// The price paid for a piece: doubled on a day off, then raised by a fifth in shift 3 or by half in
// overtime (journal mode 4). A day-off overtime piece is paid three times the base price.
double pieceUnitPrice(double basePrice, const PieceSurcharges &surcharges);

// Rounds to 4 decimals; an exact half goes to the even neighbour.
double roundTo4(double value);
// The unit price as the statements carry it: rounded to 4 decimals, in its shortest form, with a
// point whatever the workstation uses (12.34567 is 12.3457, 30 is 30).
QString pieceUnitPriceText(double price);
SqlValue pieceUnitPriceValue(double price);

// The price of an hour of household work or of average-piecework work: the kind's norm price,
// doubled on a day off, then raised by a fifth at night.
double hourPrice(double normPrice, bool holiday, bool night);

} // namespace PriceRules

// What the operation price list hands back in picker mode (mode 1) to the production record dialog.
struct OperationPriceChoice {
    int id = 0;              // the operation price (accounts_dep.oper.id)
    qint64 productId = 0;    // its product (i_id)
    int naimen = 0;          // its product kind
    QString description;     // "mark; kind; product kind", as the dialog's "Операция" field shows it
    double basePrice = 0;    // the lowest norm price of the operation price
    double unitPrice = 0;    // the base price with the day-off, shift-3 and overtime factors
};
