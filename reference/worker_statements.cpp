#include "reference/worker_statements.h"

#include "db/sql_statement.h"

namespace WorkerStatements {

QString list()
{
    return QStringLiteral("select * from accounts_dep.person order by fio");
}

QString departments()
{
    return QStringLiteral("select * from cmn_department.department order by s_caption");
}

QString staffPositions()
{
    return QStringLiteral("select * from hrms_staffpos.staffpos order by s_caption");
}

QString roles()
{
    return QStringLiteral("select * from adm_role.roles order by s_caption");
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
