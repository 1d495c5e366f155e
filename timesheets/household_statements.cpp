#include "timesheets/household_statements.h"

#include "db/sql_statement.h"
#include "timesheets/timesheet_month.h"

namespace HouseholdStatements {

namespace {
// 1 when the flag is set, else 0, as the entry's columns hold it.
int flag(bool set)
{
    return set ? 1 : 0;
}
} // namespace

QString list()
{
    // The cross join with accounts_dep.oper needs one household price (i_id and vid both 7777 or
    // more) to list anything; distinct folds the copies it makes.
    return QStringLiteral("select distinct vo.vid, p.fio, i.s_caption, (f.cnt*f.price) as summ,  f.*, case when f.i_holiday=0 then '' else '+' end as s_holiday, case when f.i_night=0 then '' else '+' end as s_night from accounts_dep.fatigue f, cmn_classifier.item i, accounts_dep.person p,accounts_dep.vid_oper vo, accounts_dep.oper o where f.id_nom =i.id and p.id=f.id_p and vo.id = f.id_o and o.i_id >=7777 and o.vid >=7777 and f.d_date = :d_date order by p.fio, f.id");
}

QString workTypes()
{
    return QStringLiteral("select vo.id, vo.vid, n.price, (n.price*:cnt) as summ from accounts_dep.vid_oper vo,accounts_dep.norm n, accounts_dep.oper o where n.o_id =o.id and o.vid=vo.id and (vo.id = 7777 or vo.id = 7778)");
}

QString insert(const HouseholdEntry &e)
{
    return sqlStatement(QStringLiteral("INSERT INTO accounts_dep.fatigue(id_nom, id_o, id_p, d_date, i_mnth, i_year, i_smena, cnt, price, i_holiday, i_night)VALUES({group}, {kind} ,{worker}, '{date}', {m}, {y}, {shift}, {hours}, {price}, {holiday}, {night})"),
                        {{"group", e.group}, {"kind", e.kind}, {"worker", e.worker}, {"date", e.date}, {"m", e.date.month()},
                         {"y", e.date.year()}, {"shift", e.shift}, {"hours", e.hours}, {"price", SqlValue::number(e.price)},
                         {"holiday", flag(e.holiday)}, {"night", flag(e.night)}});
}

QString update(const HouseholdEntry &e)
{
    return sqlStatement(QStringLiteral("UPDATE accounts_dep.fatigue SET id_nom={group}, id_o={kind}, id_p={worker}, cnt={hours}, price={price}, i_holiday={holiday}, i_night={night} where id={id}"),
                        {{"group", e.group}, {"kind", e.kind}, {"worker", e.worker}, {"hours", e.hours}, {"price", SqlValue::number(e.price)},
                         {"holiday", flag(e.holiday)}, {"night", flag(e.night)}, {"id", e.id}});
}

QString deletion(int id)
{
    return sqlStatement(QStringLiteral("delete from accounts_dep.fatigue where id={id}"), {{"id", id}});
}

QString averagePrices(int month, int year)
{
    const QDate next = TimesheetMonth{month, year}.nextFirstDay();
    return sqlStatement(QStringLiteral("UPDATE accounts_dep.fatigue f SET price=coalesce((select case when coalesce(sum(s.time),0)::numeric(10,2)=0 then 0 else  coalesce(sum((s.kol_vo-s.brak)*(s.cena+s.cena*f.i_holiday))/sum(time),0)::numeric(10,2) end as price  from cmn_classifier.item i, accounts_dep.smena s, accounts_dep.izdel gas, accounts_dep.person p where i.id_level =2 and s.i_id = gas.id and gas.id_class_item =i.id  and s.data<'01.{n}.{ny}' and s.data>='01.{m}.{y}' and p.id=s.w_id and p.id=f.id_p and i.id=f.id_nom group by i.s_caption, i.id, p.id order by fio),0) where i_mnth = {m} and i_year = {y} and id_o =7778"),
                        {{"n", next.month()}, {"ny", next.year()}, {"m", month}, {"y", year}});
}

} // namespace HouseholdStatements
