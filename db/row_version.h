#pragma once

#include <QString>

class DataModule;

// Tells that a row was changed or deleted on another workstation since a window read it, so that
// a change dialog never writes its stale copy over another workstation's change. The row's
// version is the server's xmin, which every update of the row renews: read when the dialog opens,
// and checked with the row locked inside the save's own transaction, before its statements.
namespace RowVersion {

// The row's version; empty when there is no such row (or, with `condition`, when the row no longer
// has the values the window shows: "w_id=5 and kol_vo=10").
QString read(DataModule &module, const QString &table, qint64 id, const QString &condition = QString());

// Inside the caller's unit of work: locks the row until the transaction ends and throws DbError,
// with the text the user reads, when the row has gone or has another version.
void checkUnchanged(DataModule &module, const QString &table, qint64 id, const QString &version);

QString changedText();
QString deletedText();

} // namespace RowVersion
