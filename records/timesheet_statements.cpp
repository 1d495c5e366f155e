#include "records/timesheet_statements.h"

#include "db/sql_statement.h"

#include <QStringList>

namespace TimesheetStatements {

namespace {

// The columns that pick a row out of accounts_dep.h_tabel, as the cell emptying and the test for
// a row left without hours (the program's own statements) name them.
QString rowCondition(const TimesheetRowKey &k)
{
    if (k.isProduction())
        return sqlStatement(QStringLiteral("w_id={w} and smena={mode} and month={month} and year={year}"),
                            {{"w", k.worker}, {"mode", k.shift}, {"month", k.month}, {"year", k.year}});
    return sqlStatement(QStringLiteral("w_id={worker} and i_type={kind} and month={m} and year={y} and i_night={night}"),
                        {{"worker", k.worker}, {"kind", k.kind}, {"m", k.month}, {"y", k.year}, {"night", k.night}});
}

} // namespace

QString rowCount(const TimesheetRowKey &k, Wording wording)
{
    if (k.isProduction()) {
        if (wording == Wording::MonthRebuild)
            return sqlStatement(QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel h_tabel where w_id={w} and smena={s} and month={m} and year={y}"),
                                {{"w", k.worker}, {"s", k.shift}, {"m", k.month}, {"y", k.year}});
        return sqlStatement(QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel where w_id={w} and smena={mode} and month={month} and year={year}"),
                            {{"w", k.worker}, {"mode", k.shift}, {"month", k.month}, {"year", k.year}});
    }
    if (wording == Wording::MonthRebuild)
        return sqlStatement(QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel h_tabel where w_id={p} and i_type={o} and i_night={f} and month={m} and year={y}"),
                            {{"p", k.worker}, {"o", k.kind}, {"f", k.night}, {"m", k.month}, {"y", k.year}});
    return sqlStatement(QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel where w_id={worker} and i_type={kind} and month={m} and year={y} and i_night={night}"),
                        {{"worker", k.worker}, {"kind", k.kind}, {"m", k.month}, {"y", k.year}, {"night", k.night}});
}

QString cellUpdate(const TimesheetRowKey &k, int day, qint64 hours, Wording wording)
{
    if (k.isProduction()) {
        if (wording == Wording::MonthRebuild)
            return sqlStatement(QStringLiteral("update accounts_dep.h_tabel set d{i}='{h}' where w_id={w} and smena={s} and month={m} and year={y}"),
                                {{"i", day}, {"h", hours}, {"w", k.worker}, {"s", k.shift}, {"m", k.month}, {"y", k.year}});
        return sqlStatement(QStringLiteral("update accounts_dep.h_tabel set d{day}={tim} where w_id={w} and smena={mode} and month={month} and year={year}"),
                            {{"day", day}, {"tim", hours}, {"w", k.worker}, {"mode", k.shift}, {"month", k.month}, {"year", k.year}});
    }
    if (wording == Wording::MonthRebuild)
        return sqlStatement(QStringLiteral("update accounts_dep.h_tabel set d{i}={h} where w_id={p} and i_type={o} and i_night={f} and month={m} and year={y}"),
                            {{"i", day}, {"h", hours}, {"p", k.worker}, {"o", k.kind}, {"f", k.night}, {"m", k.month}, {"y", k.year}});
    return sqlStatement(QStringLiteral("update accounts_dep.h_tabel set d{dd}={h} where w_id={worker} and i_type={kind} and month={m} and year={y} and i_night={night}"),
                        {{"dd", day}, {"h", hours}, {"worker", k.worker}, {"kind", k.kind}, {"m", k.month}, {"y", k.year}, {"night", k.night}});
}

QString cellUpdateAfterDeletion(const TimesheetRowKey &k, int day, qint64 hours)
{
    if (k.isProduction())
        return cellUpdate(k, day, hours);
    return sqlStatement(QStringLiteral("update accounts_dep.h_tabel set d{dd}={h} where w_id={worker} and i_night={night} and i_type={kind} and month={m} and year={y}"),
                        {{"dd", day}, {"h", hours}, {"worker", k.worker}, {"night", k.night}, {"kind", k.kind}, {"m", k.month}, {"y", k.year}});
}

QString rowInsert(const TimesheetRowKey &k, int day, qint64 hours, Wording wording)
{
    if (k.isProduction()) {
        if (wording == Wording::MonthRebuild)
            return sqlStatement(QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, d{i}) values({s}, {w}, {m}, {y}, {h})"),
                                {{"i", day}, {"s", k.shift}, {"w", k.worker}, {"m", k.month}, {"y", k.year}, {"h", hours}});
        return sqlStatement(QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, d{day}) values({mode}, {w}, {month}, {year}, {tim})"),
                            {{"day", day}, {"mode", k.shift}, {"w", k.worker}, {"month", k.month}, {"year", k.year}, {"tim", hours}});
    }
    if (wording == Wording::MonthRebuild)
        return sqlStatement(QStringLiteral("insert into accounts_dep.h_tabel(i_type, w_id, i_night, month, year, d{i}) values({o}, {p}, {f}, {m}, {y}, {h})"),
                            {{"i", day}, {"o", k.kind}, {"p", k.worker}, {"f", k.night}, {"m", k.month}, {"y", k.year}, {"h", hours}});
    return sqlStatement(QStringLiteral("insert into accounts_dep.h_tabel(i_type, w_id, month, year, d{dd}, i_night) values({kind}, {worker}, {m}, {y}, {h}, {night})"),
                        {{"dd", day}, {"kind", k.kind}, {"worker", k.worker}, {"m", k.month}, {"y", k.year}, {"h", hours}, {"night", k.night}});
}

QString rowRemoval(const TimesheetRowKey &k)
{
    if (k.isProduction())
        return sqlStatement(QStringLiteral("delete from accounts_dep.h_tabel where w_id={w} and smena={mode} and month={month} and year={year}"),
                            {{"w", k.worker}, {"mode", k.shift}, {"month", k.month}, {"year", k.year}});
    return sqlStatement(QStringLiteral("delete from accounts_dep.h_tabel where w_id={worker} and i_night={night} and i_type={kind} and month={m} and year={y}"),
                        {{"worker", k.worker}, {"night", k.night}, {"kind", k.kind}, {"m", k.month}, {"y", k.year}});
}

QString cellEmptying(const TimesheetRowKey &k, int day)
{
    return QStringLiteral("update accounts_dep.h_tabel set %1=null where %2").arg(dayCellName(day), rowCondition(k));
}

QString rowsWithHours(const TimesheetRowKey &k)
{
    return QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel where %1 and coalesce(%2) is not null")
        .arg(rowCondition(k), eachDay(QStringLiteral("d%1"), QStringLiteral(", ")));
}

QString dayHours(const TimesheetRowKey &k, const QDate &date)
{
    if (k.isProduction())
        return sqlStatement(QStringLiteral("select sum(time) as tim from accounts_dep.smena where w_id={w} and smena={mode} and data=to_date('{date}', 'DD.MM.YYYY') group by w_id, smena, data"),
                            {{"w", k.worker}, {"mode", k.shift}, {"date", date}});
    return sqlStatement(QStringLiteral("select sum(f.cnt) as tim from accounts_dep.fatigue f where f.id_p ={worker}  and f.id_o={kind} and i_night={night} and f.d_date =to_date('{date}', 'DD.MM.YYYY') group by f.id_p, f.d_date"),
                        {{"worker", k.worker}, {"kind", k.kind}, {"night", k.night}, {"date", date}});
}

QString monthRemoval(bool production, int month, int year)
{
    if (production)
        return sqlStatement(QStringLiteral("delete from accounts_dep.h_tabel where smena>0 and month={m} and year={y}"),
                            {{"m", month}, {"y", year}});
    return sqlStatement(QStringLiteral("delete from accounts_dep.h_tabel where smena=0 and month={m} and year={y}"),
                        {{"m", month}, {"y", year}});
}

namespace {

// The day cells d1 ... d{days} of a month, each the value of `t.tim` on its date in the grouped
// read `t` (one row per key and date, or none).
QString monthCells(int month, int year, QStringList &columns)
{
    const QDate first(year, month, 1);
    QStringList cells;
    for (int day = 1; day <= first.daysInMonth(); ++day) {
        columns << dayCellName(day);
        cells << sqlStatement(QStringLiteral("max(t.tim) filter (where t.day='{date}')"), {{"date", first.addDays(day - 1)}});
    }
    return cells.join(QStringLiteral(", "));
}

} // namespace

QString monthProductionRows(int mode, int month, int year)
{
    const QDate first(year, month, 1);
    QStringList columns{QStringLiteral("smena"), QStringLiteral("w_id"), QStringLiteral("month"), QStringLiteral("year")};
    const QString cells = monthCells(month, year, columns);
    const QString modes = mode >= 4 ? QStringLiteral("s.smena>=4") : QStringLiteral("s.smena=%1").arg(mode);
    return sqlStatement(QStringLiteral("insert into accounts_dep.h_tabel(%1) "
                                       "select t.smena, t.w_id, {m}, {y}, %2 "
                                       "from (select s.smena, coalesce(s.w_id, 0) as w_id, s.data as day, coalesce(sum(s.time), 0) as tim "
                                       "from accounts_dep.smena s where s.data>='{first}' and s.data<'{next}' and %3 "
                                       "group by s.smena, coalesce(s.w_id, 0), s.data) t "
                                       "group by t.smena, t.w_id")
                            .arg(columns.join(QStringLiteral(", ")), cells, modes),
                        {{"m", month}, {"y", year}, {"first", first}, {"next", first.addMonths(1)}});
}

QString monthHouseholdRows(int month, int year)
{
    const QDate first(year, month, 1);
    QStringList columns{QStringLiteral("i_type"), QStringLiteral("w_id"), QStringLiteral("i_night"), QStringLiteral("month"), QStringLiteral("year")};
    const QString cells = monthCells(month, year, columns);
    return sqlStatement(QStringLiteral("insert into accounts_dep.h_tabel(%1) "
                                       "select t.id_o, t.id_p, t.i_night, {m}, {y}, %2 "
                                       "from (select f.id_o::integer as id_o, coalesce(f.id_p, 0)::integer as id_p, "
                                       "case when coalesce(f.i_night, 0)=0 then 0 else 1 end as i_night, f.d_date as day, coalesce(sum(f.cnt), 0) as tim "
                                       "from accounts_dep.fatigue f where f.d_date>='{first}' and f.d_date<'{next}' and f.id_o<>0 "
                                       "group by 1, 2, 3, f.d_date) t "
                                       "group by t.id_o, t.id_p, t.i_night")
                            .arg(columns.join(QStringLiteral(", ")), cells),
                        {{"m", month}, {"y", year}, {"first", first}, {"next", first.addMonths(1)}});
}

} // namespace TimesheetStatements
