#pragma once

#include <QString>

// The statements of the operation kind list and dialog (accounts_dep.vid_oper).
namespace KindStatements {

QString list();
// One row with cnt: the kinds whose name, in upper case, equals `upperKind`; a change leaves the
// kind itself out.
QString duplicateCount(const QString &upperKind);
QString duplicateCountOnChange(const QString &upperKind, int id);
// The new row's id is read back, to show the new kind as the list's current row.
QString insert(const QString &kind);
QString update(int id, const QString &kind);
QString deletion(int id);

} // namespace KindStatements
