#include "reference/worker_statements.h"

#include "db/sql_statement.h"

namespace WorkerStatements {

QString list()
{
    return QStringLiteral("select * from accounts_dep.person order by fio");
}

QString insert(const QString &fio, const QString &department)
{
    return sqlStatement(QStringLiteral("INSERT INTO accounts_dep.person (fio, s_staffpos_hl)VALUES({fio}, {department})"),
                        {{"fio", SqlValue::text(fio)}, {"department", SqlValue::text(department)}});
}

QString update(int id, const QString &fio, const QString &department)
{
    return sqlStatement(QStringLiteral("UPDATE accounts_dep.person SET fio={fio}, s_staffpos_hl={department} where accounts_dep.person.id={id}"),
                        {{"fio", SqlValue::text(fio)}, {"department", SqlValue::text(department)}, {"id", id}});
}

QString deletion(int id)
{
    return sqlStatement(QStringLiteral("delete from accounts_dep.person where id ={id}"), {{"id", id}});
}

} // namespace WorkerStatements
