#include "records/shift_timesheet_cell.h"

#include "db/sql_text.h"

ShiftTimesheetCell::ShiftTimesheetCell(int worker, const QDate &date, int mode)
    : TimesheetCell(date), m_worker(worker), m_mode(mode)
{
}

QString ShiftTimesheetCell::rowCondition() const
{
    return QStringLiteral("w_id=%1 and smena=%2 and month=%3 and year=%4")
        .arg(m_worker)
        .arg(m_mode)
        .arg(month())
        .arg(year());
}

QString ShiftTimesheetCell::lookUp() const
{
    return QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel where ") + rowCondition();
}

QString ShiftTimesheetCell::totalHours() const
{
    return QStringLiteral("select sum(time) as tim from accounts_dep.smena where w_id=%1 and smena=%2 and "
                          "data=to_date('%3', 'DD.MM.YYYY') group by w_id, smena, data")
        .arg(m_worker)
        .arg(m_mode)
        .arg(sqlDate(date()));
}

QString ShiftTimesheetCell::cellUpdate(int hours) const
{
    return QStringLiteral("update accounts_dep.h_tabel set %1=%2 where %3").arg(cellName()).arg(hours).arg(rowCondition());
}

QString ShiftTimesheetCell::rowInsert(int hours) const
{
    return QStringLiteral("insert into accounts_dep.h_tabel(smena, w_id, month, year, %1) values(%2, %3, %4, %5, %6)")
        .arg(cellName())
        .arg(m_mode)
        .arg(m_worker)
        .arg(month())
        .arg(year())
        .arg(hours);
}

QString ShiftTimesheetCell::rowRemoval() const
{
    return QStringLiteral("delete from accounts_dep.h_tabel where ") + rowCondition();
}

QString ShiftTimesheetCell::lockName() const
{
    return QStringLiteral("h_tabel smena=%1 w_id=%2 %3.%4").arg(m_mode).arg(m_worker).arg(month()).arg(year());
}
