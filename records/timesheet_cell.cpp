#include "records/timesheet_cell.h"

#include <QStringList>

QString TimesheetCell::cellEmptying() const
{
    return QStringLiteral("update accounts_dep.h_tabel set %1=null where %2").arg(cellName(), rowCondition());
}

QString TimesheetCell::rowsWithHours() const
{
    QStringList cells;
    for (int d = 1; d <= 31; ++d)
        cells << QStringLiteral("d%1").arg(d);
    return QStringLiteral("select count(w_id) as cnt from accounts_dep.h_tabel where %1 and coalesce(%2) is not null")
        .arg(rowCondition(), cells.join(QStringLiteral(", ")));
}
