#include "reference/kind_statements.h"

#include "db/sql_statement.h"

namespace KindStatements {

QString list()
{
    return QStringLiteral("select * from accounts_dep.VID_OPER order by vid");
}

QString duplicateCount(const QString &upperKind)
{
    return sqlStatement(QStringLiteral("select count(*) as cnt from accounts_dep.vid_oper where upper(vid)={KIND}"),
                        {{"KIND", SqlValue::text(upperKind)}});
}

QString duplicateCountOnChange(const QString &upperKind, int id)
{
    return sqlStatement(QStringLiteral("select count(*) as cnt from accounts_dep.vid_oper where upper(vid)={KIND} and id<>{id}"),
                        {{"KIND", SqlValue::text(upperKind)}, {"id", id}});
}

QString insert(const QString &kind)
{
    return sqlStatement(QStringLiteral("insert into accounts_dep.vid_oper(vid) values({vid}) returning id"),
                        {{"vid", SqlValue::text(kind)}});
}

QString update(int id, const QString &kind)
{
    return sqlStatement(QStringLiteral("update accounts_dep.vid_oper set vid={vid} where id={id}"),
                        {{"vid", SqlValue::text(kind)}, {"id", id}});
}

QString deletion(int id)
{
    return sqlStatement(QStringLiteral("delete from accounts_dep.vid_oper where id={id}"), {{"id", id}});
}

} // namespace KindStatements
