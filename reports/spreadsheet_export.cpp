#include "reports/spreadsheet_export.h"

#include "db/dataset.h"
#include "reports/spreadsheet_writer.h"

#include <QCoreApplication>

namespace SpreadsheetExport {

int run(const DataSet &rows, int firstRow, const RowWriter &write, const Progress &progress)
{
    const int total = rows.recordCount();
    if (progress)
        progress(0, total);
    for (int i = 0; i < total; ++i) {
        write(rows, i, firstRow + i);
        if (progress)
            progress(i + 1, total);
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
    return total;
}

QString caption(int written, int total)
{
    return QStringLiteral("Excel (%1 из %2)").arg(written).arg(total);
}

void writePlainHeadings(SpreadsheetWriter &writer, int row, const QStringList &headings)
{
    for (int c = 0; c < headings.size(); ++c)
        writer.writeCell(1, c + 1, row, headings.at(c));
}

} // namespace SpreadsheetExport
