#include "timesheets/shift_timesheet_statements.h"

#include "db/sql_statement.h"
#include "records/timesheet_row.h"

#include <QStringList>

namespace ShiftTimesheetStatements {

namespace {

// The row's hours of the month, a missing day counted as 0.
QString daySum()
{
    return QLatin1Char('(') + eachDay(QStringLiteral("coalesce(d%1,0)"), QStringLiteral("+")) + QLatin1Char(')');
}

} // namespace

QString grid(int shift)
{
    const QString text = QStringLiteral(
        "select person.s_caption fio, {daysum} as summ, case when {daysum}=0 then 0 else (sum(s.cena*(kol_vo-brak))/{daysum}) end ::numeric(10,2) as average_price, "
        "sum(s.cena*(kol_vo-brak))::numeric(10,2) as cena_all, h_tabel.* "
        "from accounts_dep.h_tabel, cmn_contractor.person, accounts_dep.smena s "
        "where h_tabel.w_id=person.s_code::integer and h_tabel.smena={k} and month=:mnth and s.w_id = h_tabel.w_id "
        "and h_tabel.year=:yea and s.data >=:date1 and s.data <:date2 "
        "group by person.s_caption,h_tabel.w_id,h_tabel.month,h_tabel.year,h_tabel.smena,h_tabel.id order by fio");
    return sqlStatement(QString(text).replace(QStringLiteral("{daysum}"), daySum()), {{"k", shift}});
}

QString day()
{
    return QStringLiteral(" select smena, w_id, sum(time) as tim from accounts_dep.smena where data=:data group by smena,w_id;");
}

} // namespace ShiftTimesheetStatements
