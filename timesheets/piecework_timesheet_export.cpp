#include "timesheets/piecework_timesheet_export.h"

#include "db/dataset.h"
#include "db/decimal_text.h"
#include "reports/spreadsheet_writer.h"

namespace PieceworkTimesheetExport {

int write(SpreadsheetWriter &writer, const DataSet &rows, const PieceworkView &view, const QString &title,
          const SpreadsheetExport::Progress &progress)
{
    writer.writeFormattedCell(1, 1, 1, title, true, true, true);
    writer.writeFormattedCell(1, 1, 2, QStringLiteral("Фамилия И.О."), true, true, true);
    for (int d = 1; d <= 31; ++d)
        writer.writeFormattedCell(1, d + 2, 2, QString::number(d), false, true, true);
    writer.writeFormattedCell(1, 34, 2, QStringLiteral("Итого (ч.)"), true, true, true);
    writer.writeFormattedCell(1, 35, 2, QStringLiteral("Итого (р.)"), true, true, true);
    if (view.showsAverage())
        writer.writeFormattedCell(1, 36, 2, QStringLiteral("Час (р.)"), true, true, true);

    // Decimals arrive as exact text, whole numbers as integers; an empty value writes nothing.
    const auto number = [](const QVariant &v) {
        return v.isNull() ? QString() : shownDecimal(v.toString());
    };
    return SpreadsheetExport::run(
        rows, 3,
        [&](const DataSet &data, int i, int row) {
            const auto value = [&](const QString &field) { return data.valueAt(i, field); };
            writer.writeFormattedCell(1, 1, row, value(QStringLiteral("fio")).toString().trimmed(), true, true, false);
            if (view.showsNight())
                writer.writeFormattedCell(1, 2, row, value(QStringLiteral("s_night")).toString().trimmed(), true, true, false);
            for (int d = 1; d <= 31; ++d)
                writer.writeFormattedCell(1, d + 2, row, number(value(QStringLiteral("d%1").arg(d))), false, true, false);
            writer.writeFormattedCell(1, 34, row, number(value(QStringLiteral("i_time"))), false, true, false);
            writer.writeFormattedCell(1, 35, row, number(value(QStringLiteral("f_price"))), false, true, false);
            if (view.showsAverage())
                writer.writeFormattedCell(1, 36, row, number(value(QStringLiteral("average_price"))), false, true, false);
        },
        progress);
}

} // namespace PieceworkTimesheetExport
