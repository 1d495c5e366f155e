#pragma once

#include "db/sql_statement.h"

#include <QDate>
#include <QString>

// The statements of the product list and dialog. Products are read through accounts_dep.izdel
// and written to the accounting software's goods table cmn_gds_and_srv.gds_and_srv.
namespace ProductStatements {

QString list();
// The product groups offered by the dialog: classifier items of level 2.
QString groups();
// One row with cnt: the products whose mark, in upper case, equals `upperMark`; a change leaves
// the product itself out.
QString duplicateCount(const QString &upperMark);
QString duplicateCountOnChange(const QString &upperMark, qint64 id);
QString insert(const QString &mark, const SqlValue &massa, qint64 group);
QString update(qint64 id, const QString &mark, const SqlValue &massa, qint64 group);

// The deletion: counts with the parameters id_ii (the product) and dt (the threshold date), then
// the deletions of the product's prices, of its records and of the product itself.
QString recordsSinceCount();
QString pricesCount();
QString pricesDeletion(qint64 id);
QString recordsDeletion(qint64 id);
QString productDeletion(qint64 id);

} // namespace ProductStatements
