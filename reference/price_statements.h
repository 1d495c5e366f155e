#pragma once

#include "db/sql_statement.h"

#include <QList>
#include <QPair>
#include <QString>

// The statements of the operation price list, the price dialog and the price export
// (accounts_dep.oper with its norm rows in accounts_dep.norm).
namespace PriceStatements {

// The list: operation prices that have norm rows, with the lowest norm price and their count.
QString list();
// The export: every operation price, its price taken from cena_new.
QString exportList();
// The mark of a product, for the description the picker hands back.
QString productMark(qint64 productId);
// The lowest norm price of an operation price ("Цена база" of a record opened for change).
QString basePrice(int priceId);

// One row with cnt: operation prices of the same kind, product kind and product; a change leaves
// the operation price itself out.
QString duplicateCount(int kind, int naimen, qint64 product);
QString duplicateCountOnChange(int kind, int naimen, qint64 product, int id);
// The new row's id is read back for its first norm row.
QString insert(int kind, int naimen, qint64 product);
QString firstNorm(int priceId, const SqlValue &price);
QString update(int id, int kind, int naimen, qint64 product);
// Parameter id.
QString deletion();

// The norms window: the rows of one operation price (parameter o_id), and their writes.
QString norms();
// One row with cnt: the norm rows of an operation price.
QString normCount(int priceId);
QString normInsert(int priceId, const SqlValue &norma, const SqlValue &price, const SqlValue &prize);
// The changed columns of a norm row (norma, price, prize) with their new values.
QString normUpdate(qint64 id, const QList<QPair<QString, SqlValue>> &changes);
QString normDeletion(qint64 id);

} // namespace PriceStatements
