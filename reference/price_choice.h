#pragma once

#include <QString>

// What the operation price list hands back in picker mode (mode 1) to the production record dialog.
struct OperationPriceChoice {
    int id = 0;              // the operation price (accounts_dep.oper.id)
    qint64 productId = 0;    // its product (i_id)
    int naimen = 0;          // its product kind
    QString description;     // "mark; kind; product kind", as the dialog's "Операция" field shows it
    double basePrice = 0;    // the lowest norm price of the operation price
    double unitPrice = 0;    // the base price with the day-off, shift-3 and overtime factors
};

// The price paid for a piece: doubled on a day off, then raised by a fifth in shift 3 or by half in
// overtime (journal mode 4). A day-off overtime piece is paid three times the base price.
inline double pieceUnitPrice(double basePrice, bool dayOff, int journalMode)
{
    double price = basePrice;
    if (dayOff)
        price *= 2;
    if (journalMode == 3)
        price *= 1.2;
    else if (journalMode == 4)
        price *= 1.5;
    return price;
}
