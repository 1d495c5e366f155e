#include "reference/product_statements.h"

namespace ProductStatements {

QString list()
{
    return QStringLiteral("select *  from accounts_dep.IZDEL order by marka");
}

QString groups()
{
    return QStringLiteral("select * from cmn_classifier.item where id_level=2 order by s_caption");
}

QString duplicateCount(const QString &upperMark)
{
    return sqlStatement(QStringLiteral("select count(*) as cnt from accounts_dep.izdel where upper(marka)={MARK}"),
                        {{"MARK", SqlValue::text(upperMark)}});
}

QString duplicateCountOnChange(const QString &upperMark, qint64 id)
{
    return sqlStatement(QStringLiteral("select count(*) as cnt from accounts_dep.izdel where upper(marka)={MARK}and id<>{id}"),
                        {{"MARK", SqlValue::text(upperMark)}, {"id", id}});
}

QString insert(const QString &mark, const SqlValue &massa, qint64 group)
{
    return sqlStatement(QStringLiteral("INSERT INTO cmn_gds_and_srv.gds_and_srv(s_caption, s_description, id_msm_bs, massa, id_class_item)VALUES({mark}, '', 6, {massa},{group})"),
                        {{"mark", SqlValue::text(mark)}, {"massa", massa}, {"group", group}});
}

QString update(qint64 id, const QString &mark, const SqlValue &massa, qint64 group)
{
    return sqlStatement(QStringLiteral("UPDATE cmn_gds_and_srv.gds_and_srv SET s_caption={mark}, s_description='', id_msm_bs=6, massa={massa}, id_class_item={group} where id={id}"),
                        {{"mark", SqlValue::text(mark)}, {"massa", massa}, {"group", group}, {"id", id}});
}

QString recordsSinceCount()
{
    return QStringLiteral("select count(*) as cnt from accounts_dep.smena s where s.i_id =:id_ii and s.\"data\">=:dt");
}

QString pricesCount()
{
    return QStringLiteral("select count(*) as cnt from accounts_dep.oper o where o.i_id =:id_ii");
}

QString pricesDeletion(qint64 id)
{
    return sqlStatement(QStringLiteral("delete from accounts_dep.oper o where o.i_id ={id}"), {{"id", id}});
}

QString recordsDeletion(qint64 id)
{
    return sqlStatement(QStringLiteral("delete from accounts_dep.smena s where s.i_id ={id}"), {{"id", id}});
}

QString productDeletion(qint64 id)
{
    return sqlStatement(QStringLiteral("delete from cmn_gds_and_srv.gds_and_srv  where id={id}"), {{"id", id}});
}

} // namespace ProductStatements
