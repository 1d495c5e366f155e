#pragma once

#include <QString>

// The statements of the worker list and dialog (accounts_dep.person).
namespace WorkerStatements {

QString list();
// The look-up lists of the worker dialog, each listed by s_caption and keyed by id.
QString departments();
QString staffPositions();
QString roles();
// A new worker: his name and, as "Должность", the caption of his department.
QString insert(const QString &fio, const QString &department);
QString update(int id, const QString &fio, const QString &department);
QString deletion(int id);

} // namespace WorkerStatements
