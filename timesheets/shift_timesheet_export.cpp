#include "timesheets/shift_timesheet_export.h"

#include "db/dataset.h"
#include "reports/spreadsheet_writer.h"

namespace ShiftTimesheetExport {

int write(SpreadsheetWriter &writer, const DataSet &rows, const QString &title,
          const SpreadsheetExport::Progress &progress)
{
    writer.writeFormattedCell(1, 1, 1, title, true, true, true);
    writer.writeFormattedCell(1, 1, 2, QStringLiteral("Фамилия И.О."), true, true, true);
    // The day numbers are numbers to the spreadsheet; the name and total headings are text.
    for (int d = 1; d <= 31; ++d)
        writer.writeFormattedCell(1, d + 1, 2, QString::number(d), false, true, true);
    writer.writeFormattedCell(1, 33, 2, QStringLiteral("Итого"), true, true, true);

    QStringList dayFields;
    for (int d = 1; d <= 31; ++d)
        dayFields << QStringLiteral("sd%1").arg(d);
    return SpreadsheetExport::run(
        rows, 3,
        [&](const DataSet &data, int i, int row) {
            writer.writeFormattedCell(1, 1, row, data.valueAt(i, QStringLiteral("fio")).toString().trimmed(), true, true, false);
            qint64 total = 0;
            for (int d = 1; d <= 31; ++d) {
                const QVariant hours = data.valueAt(i, dayFields.at(d - 1));
                // An empty day writes nothing and leaves its cell empty.
                if (!hours.isNull()) {
                    total += hours.toLongLong();
                    writer.writeFormattedCell(1, d + 1, row, hours.toString(), false, true, false);
                }
            }
            writer.writeFormattedCell(1, 33, row, QString::number(total), false, true, false);
        },
        progress);
}

} // namespace ShiftTimesheetExport
