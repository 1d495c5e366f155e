#include "timesheets/piecework_timesheet_statements.h"

#include "db/sql_statement.h"
#include "records/timesheet_row.h"

#include <QStringList>

namespace PieceworkTimesheetStatements {

namespace {

// The day cells of all the worker's matching rows added up per day.
QString hourSums()
{
    return eachDay(QStringLiteral("sum(h. d%1) as d%1"), QStringLiteral(", "));
}

QString withHourSums(const QString &text)
{
    return QString(text).replace(QStringLiteral("{hsum}"), hourSums());
}

} // namespace

QString piecework()
{
    return withHourSums(QStringLiteral(
        "select p.s_caption fio, p.id,h.i_type, "
        "(select sum(s.time) from accounts_dep.smena s where s.data<:d_date1 and s.data>=:d_date2 and s.w_id=p.id) i_time, "
        "(select sum((s.kol_vo-s.brak)*s.cena)::numeric(10,2)from accounts_dep.smena s where s.data<:d_date3 and s.data>=:d_date4 and s.w_id=p.id) f_price, "
        "(select case when coalesce(sum(s.time),0)::numeric(10,2)=0 then 0 else coalesce(sum((s.kol_vo-s.brak)*s.cena)/sum(time),0)::numeric(10,2) end "
        "from accounts_dep.smena s where s.data<:d_date5 and s.data>=:d_date6 and s.w_id=p.id) average_price, "
        "{hsum} from  cmn_contractor.person p, accounts_dep.h_tabel h "
        "where h.year=:i_year and h.month=:i_month and h.w_id=p.id and i_type=0 group by p.id, p.s_caption, h.i_type order by fio"));
}

QString household(int kind)
{
    return sqlStatement(withHourSums(QStringLiteral(
        "select p.s_caption fio, p.id,h.i_type, case when h.i_night=0 then 'дн.' else 'ноч.' end as s_night, h.i_night, "
        "(select sum(f.cnt) from accounts_dep.fatigue f where f.d_date<:d_date1 and f.d_date>=:d_date2 and f.id_p=p.id and f.id_o={t} and f.i_night=h.i_night) i_time, "
        "(select sum(f.cnt*f.price)::numeric(10,2) from accounts_dep.fatigue f where f.d_date<:d_date3 and f.d_date>=:d_date4 and f.id_p=p.id and f.id_o={t} and f.i_night=h.i_night) f_price, "
        "(select case when coalesce(sum(f.cnt),0)::numeric(10,2)=0 then 0 else coalesce(sum((f.cnt*f.price))/sum(f.cnt),0)::numeric(10,2) end "
        "from accounts_dep.fatigue f where f.d_date<:d_date5 and f.d_date>=:d_date6 and f.id_p=p.id and f.id_o={t} and f.i_night=h.i_night) average_price, "
        "{hsum} from  cmn_contractor.person p, accounts_dep.h_tabel h "
        "where h.year=:i_year and h.month=:i_month and h.w_id=p.id and i_type={t} group by p.id, p.s_caption, h.i_type, h.i_night order by fio")),
        {{"t", kind}});
}

QString general()
{
    return withHourSums(QStringLiteral(
        "select p.s_caption fio, p.id, "
        "coalesce((select sum(s.time) from accounts_dep.smena s where s.data<:d_date1 and s.data>=:d_date2 and s.w_id=p.id),0)+ "
        "coalesce((select sum(f.cnt) from accounts_dep.fatigue f where f.d_date<:d_date7 and f.d_date>=:d_date8 and f.id_p=p.id),0) i_time, "
        "coalesce((select sum((s.kol_vo-s.brak)*s.cena)::numeric(10,2)from accounts_dep.smena s where s.data<:d_date3 and s.data>=:d_date4 and s.w_id=p.id),0)+ "
        "coalesce((select sum(f.cnt*f.price)::numeric(10,2)from accounts_dep.fatigue f where f.d_date<:d_date5 and f.d_date>=:d_date6 and f.id_p=p.id),0) f_price, "
        "{hsum} from  cmn_contractor.person p, accounts_dep.h_tabel h "
        "where h.year=:i_year and h.month=:i_month and h.w_id=p.id group by p.id, p.s_caption order by fio"));
}

QString years()
{
    return QStringLiteral("select distinct ht.year from accounts_dep.h_tabel ht order by year");
}

QString pieceworkTotal()
{
    return QStringLiteral("select sum((s.kol_vo-s.brak)*s.cena)::numeric(100,2) as price from accounts_dep.smena s "
                          "where s.data<:d_date1 and s.data>=:d_date2 and s.cena>0 and s.kol_vo>0");
}

QString householdTotal(int kind)
{
    return sqlStatement(QStringLiteral("select sum(f.cnt*f.price)::numeric(100,2) as price from accounts_dep.fatigue f "
                                       "where f.d_date<:d_date1 and f.d_date>=:d_date2 and f.cnt>0 and f.price>0 and f.id_o={kind}"),
                        {{"kind", kind}});
}

QString allTotal()
{
    return QStringLiteral(
        "select (coalesce((select sum((s.kol_vo-s.brak)*s.cena) from accounts_dep.smena s where s.data<:d_date1 and s.data>=:d_date2 and s.cena>0 and s.kol_vo>0),0)"
        "+coalesce((select sum(f.cnt*f.price) from accounts_dep.fatigue f where f.d_date<:d_date3 and f.d_date>=:d_date4 and f.cnt>0 and f.price>0),0))"
        "::numeric(20,2) as price");
}

QString day()
{
    return QStringLiteral(" select f.id_p, f.id_o, f.i_night, sum(f.cnt) as tim from accounts_dep.fatigue f where f.d_date =:data group by f.id_p, f.id_o, f.i_night order by id_p;");
}

} // namespace PieceworkTimesheetStatements
