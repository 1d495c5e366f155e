#include "timesheets/timesheet_look.h"

namespace TimesheetLook {

QStringList dayFields()
{
    QStringList fields;
    for (int d = 1; d <= 31; ++d)
        fields << QStringLiteral("d%1").arg(d);
    return fields;
}

int dayOfField(const QString &field)
{
    if (field.size() < 2 || field.size() > 3 || !field.startsWith(QLatin1Char('d')))
        return 0;
    bool ok = false;
    const int day = field.mid(1).toInt(&ok);
    return ok && day >= 1 && day <= 31 && field.at(1) != QLatin1Char('0') ? day : 0;
}

QColor dayTitle(const TimesheetMonth &month, int day)
{
    if (!month.contains(day))
        return Silver;
    return month.isWeekend(day) ? Weekend : QColor();
}

CellStyle shiftDayCell(const TimesheetMonth &month, int day, const QVariant &value)
{
    CellStyle style;
    if (!month.contains(day)) {
        style.foreground = Invisible;
        return style;
    }
    const bool weekend = month.isWeekend(day);
    if (weekend)
        style.foreground = Weekend;
    const qint64 hours = value.isNull() ? 0 : value.toLongLong();
    if (hours == 0) {
        if (!weekend)
            style.foreground = Silver;
    } else if (hours == 8) {
        style.bold = true;
    } else if (hours > 8) {
        style.bold = true;
        style.background = LongDay;
    }
    return style;
}

CellStyle pieceworkDayCell(const TimesheetMonth &month, int day)
{
    CellStyle style;
    if (month.contains(day) && month.isWeekend(day))
        style.foreground = Weekend;
    return style;
}

CellStyle totalCell()
{
    CellStyle style;
    style.bold = true;
    style.background = TotalBackground;
    return style;
}

} // namespace TimesheetLook
