#include "timesheets/month_rebuild.h"

#include "db/data_module.h"
#include "db/unit_of_work.h"
#include "db/dataset.h"
#include "records/day_cell_rule.h"
#include "records/timesheet_row.h"
#include "reports/report_holder.h"

MonthRebuild::MonthRebuild(DataModule &module, DataSet &dayQuery, Family family)
    : m_module(module), m_dayQuery(dayQuery), m_family(family)
{
}

int MonthRebuild::run(const TimesheetMonth &month, const Progress &progress)
{
    const bool production = m_family == Family::Shifts;
    QueryCloser closer(&m_dayQuery);
    UnitOfWork work(m_module);
    MonthCellWriter writer(m_module, work, production, month.month, month.year);
    int statements = 1;   // the month's lock
    writer.removeMonth();
    for (int day = 1; day <= month.days(); ++day) {
        const QDate date = month.date(day);
        m_dayQuery.close();
        m_dayQuery.setParam(QStringLiteral("data"), date);
        m_dayQuery.open();
        ++statements;
        for (int row = 0; row < m_dayQuery.recordCount(); ++row) {
            const auto value = [&](const char *field) { return m_dayQuery.valueAt(row, QLatin1String(field)); };
            const TimesheetRowKey key = production
                ? TimesheetRowKey::production(value("w_id").toInt(), date, value("smena").toInt())
                : TimesheetRowKey::household(value("id_p").toInt(), date, value("id_o").toInt(), value("i_night").toInt());
            writer.write(key, day, value("tim").toLongLong());
        }
        m_dayQuery.close();
        if (progress)
            progress(day);
    }
    work.commit();
    return statements + writer.statementCount();
}
