#include "records/record_statements.h"

#include "db/sql_statement.h"
#include "reference/price_rules.h"

namespace RecordStatements {

QString duplicateCount(const ProductionRecord &r)
{
    return sqlStatement(QStringLiteral("select count(id) as cnt from accounts_dep.SMENA where w_id={w} and o_id={o} and i_id={i} and data=to_date('{date}', 'DD.MM.YYYY') and smena={mode} and color={colour}"),
                        {{"w", r.worker}, {"o", r.operationPrice}, {"i", r.product}, {"date", r.date}, {"mode", r.mode}, {"colour", r.colour}});
}

QString duplicateCountOnChange(const ProductionRecord &r)
{
    return sqlStatement(QStringLiteral("select count(id) as cnt from accounts_dep.SMENA where w_id={w} and o_id={o} and i_id={i} and data=to_date('{date}', 'DD.MM.YYYY') and smena={mode} and id<>{id} and color={colour}"),
                        {{"w", r.worker}, {"o", r.operationPrice}, {"i", r.product}, {"date", r.date}, {"mode", r.mode}, {"id", r.id}, {"colour", r.colour}});
}

QString insert(const ProductionRecord &r, const QDate &today)
{
    return sqlStatement(QStringLiteral("insert into accounts_dep.SMENA(w_id, i_id, o_id, cena, kol_vo, brak, data, smena, color, time, vvod,ok, prize, id_doc, id_doc_item, f_gds_qty_use, id_gds_use, id_cons_use) values({w}, {i}, {o}, {price},{qty}, {brak}, to_date('{date}', 'DD.MM.YYYY HH24:MI:SS'), {mode}, {colour}, {hours}, '{today}', 'no', 0, 0, 0, 0, 0, 0)"),
                        {{"w", r.worker}, {"i", r.product}, {"o", r.operationPrice}, {"price", PriceRules::pieceUnitPriceValue(r.unitPrice)},
                         {"qty", r.quantity}, {"brak", r.rejects}, {"date", r.date}, {"mode", r.mode}, {"colour", r.colour},
                         {"hours", r.hours}, {"today", today}});
}

QString update(const ProductionRecord &r, const QDate &today)
{
    return sqlStatement(QStringLiteral("update accounts_dep.SMENA set w_id={w}, i_id={i}, o_id={o}, cena={price}, kol_vo={qty}, brak={brak}, data=to_date('{date}', 'DD.MM.YYYY'), smena={mode}, color={colour}, time={hours}, vvod='{today}', prize=0, id_doc=0, id_doc_item=0, f_gds_qty_use=0, id_gds_use=0, id_cons_use=0 where id={id}"),
                        {{"w", r.worker}, {"i", r.product}, {"o", r.operationPrice}, {"price", PriceRules::pieceUnitPriceValue(r.unitPrice)},
                         {"qty", r.quantity}, {"brak", r.rejects}, {"date", r.date}, {"mode", r.mode}, {"colour", r.colour},
                         {"hours", r.hours}, {"today", today}, {"id", r.id}});
}

QString deletion(int id)
{
    return sqlStatement(QStringLiteral("delete from accounts_dep.smena where id={id}"), {{"id", id}});
}

QString stateChange()
{
    return QStringLiteral("update accounts_dep.smena set ok=:ok where id=:id");
}

QString sameValues(const ProductionRecord &r)
{
    return sqlStatement(QStringLiteral("w_id={w} and i_id={i} and o_id={o} and kol_vo={qty} and brak={brak} and time={hours} and data=to_date('{date}', 'DD.MM.YYYY') and smena={mode} and color={colour}"),
                        {{"w", r.worker}, {"i", r.product}, {"o", r.operationPrice}, {"qty", r.quantity}, {"brak", r.rejects},
                         {"hours", r.hours}, {"date", r.date}, {"mode", r.mode}, {"colour", r.colour}});
}

QString keyLockName(const ProductionRecord &r)
{
    return QStringLiteral("smena w_id=%1 o_id=%2 i_id=%3 data=%4 smena=%5 color=%6")
        .arg(r.worker)
        .arg(r.operationPrice)
        .arg(r.product)
        .arg(sqlDate(r.date))
        .arg(r.mode)
        .arg(r.colour);
}

} // namespace RecordStatements
