#include "reference/price_statements.h"

#include <QStringList>

namespace PriceStatements {

QString list()
{
    return QStringLiteral(
        "select izdel.MARKA, vid_oper.VID, oper.NAIMEN, (SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn,\n"
        "count(o_id) norma, min(price)::numeric cena,\n"
        "oper.id, oper.i_id, oper.VID as oper_vid from accounts_dep.norm,accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where OPER.i_id=IZDEL.id and norm.o_id=oper.id\n"
        "and oper.vid=vid_oper.id group by izdel.MARKA, vid_oper.VID, oper.NAIMEN, oper.id, oper.i_id, oper.VID order by izdel.marka, vid_oper.vid, oper.naimen");
}

QString exportList()
{
    return QStringLiteral(
        "select izdel.MARKA, vid_oper.VID, oper.NAIMEN,(SELECT (CASE naimen WHEN 0 THEN 'Готовая продукция' ELSE 'Заготовки' END)) as nmn, oper.CENA_new as cena, oper.id, oper.i_id,\n"
        " oper.VID as oper_vid from accounts_dep.OPER,accounts_dep.IZDEL,accounts_dep.VID_OPER where OPER.i_id=IZDEL.id \n"
        "and oper.vid=vid_oper.id order by izdel.marka, vid_oper.vid, oper.naimen");
}

QString productMark(qint64 productId)
{
    return sqlStatement(QStringLiteral("select marka from accounts_dep.izdel where id={i_id}"), {{"i_id", productId}});
}

QString basePrice(int priceId)
{
    return sqlStatement(QStringLiteral("select min(price)::numeric as cena from accounts_dep.norm where o_id={o_id}"),
                        {{"o_id", priceId}});
}

QString duplicateCount(int kind, int naimen, qint64 product)
{
    return sqlStatement(QStringLiteral("select count(ID) as cnt from accounts_dep.OPER where vid={kind} and naimen={naimen} and i_id={product}"),
                        {{"kind", kind}, {"naimen", naimen}, {"product", product}});
}

QString duplicateCountOnChange(int kind, int naimen, qint64 product, int id)
{
    return sqlStatement(QStringLiteral("select count(*) as cnt from accounts_dep.OPER where vid={kind} and naimen={naimen} and i_id={product} and id<>{id}"),
                        {{"kind", kind}, {"naimen", naimen}, {"product", product}, {"id", id}});
}

QString insert(int kind, int naimen, qint64 product)
{
    return sqlStatement(QStringLiteral("insert into accounts_dep.oper(vid, naimen, i_id, cena_new)values ({kind}, {naimen}, {product}, 0) returning id"),
                        {{"kind", kind}, {"naimen", naimen}, {"product", product}});
}

QString firstNorm(int priceId, const SqlValue &price)
{
    return sqlStatement(QStringLiteral("insert into accounts_dep.norm(o_id, norma, prize, price) values ({o_id}, 0, 0, {price})"),
                        {{"o_id", priceId}, {"price", price}});
}

QString update(int id, int kind, int naimen, qint64 product)
{
    return sqlStatement(QStringLiteral("update accounts_dep.oper set vid={kind}, naimen={naimen},  i_id={product} where id={id}"),
                        {{"kind", kind}, {"naimen", naimen}, {"product", product}, {"id", id}});
}

QString deletion()
{
    return QStringLiteral("delete from accounts_dep.oper where id=:id");
}

QString norms()
{
    return QStringLiteral("select id, o_id, norma, prize, price, xmin::text as version from accounts_dep.norm where o_id=:o_id order by norma, id");
}

QString normCount(int priceId)
{
    return sqlStatement(QStringLiteral("select count(*) as cnt from accounts_dep.norm where o_id={o_id}"), {{"o_id", priceId}});
}

QString normInsert(int priceId, const SqlValue &norma, const SqlValue &price, const SqlValue &prize)
{
    return sqlStatement(QStringLiteral("insert into accounts_dep.norm(o_id, norma, price, prize) values ({o_id}, {norma}, {price}, {prize}) returning id"),
                        {{"o_id", priceId}, {"norma", norma}, {"price", price}, {"prize", prize}});
}

QString normUpdate(qint64 id, const QList<QPair<QString, SqlValue>> &changes)
{
    // The columns are the table's own names; the values are typed numbers or null.
    QStringList sets;
    for (const auto &change : changes)
        sets << change.first + QLatin1Char('=') + change.second.sql();
    return QStringLiteral("update accounts_dep.norm set ") + sets.join(QStringLiteral(", "))
        + sqlStatement(QStringLiteral(" where id={id}"), {{"id", id}});
}

QString normDeletion(qint64 id)
{
    return sqlStatement(QStringLiteral("delete from accounts_dep.norm where id={id}"), {{"id", id}});
}

} // namespace PriceStatements
