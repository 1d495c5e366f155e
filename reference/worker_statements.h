#pragma once

#include <QString>

// The statements of the worker list and dialog (accounts_dep.person).
namespace WorkerStatements {

QString list();
// A new worker: his name and, as "Должность", the caption of his department.
QString insert(const QString &fio, const QString &department);
QString update(int id, const QString &fio, const QString &department);
QString deletion(int id);

} // namespace WorkerStatements
