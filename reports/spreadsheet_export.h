#pragma once

#include <QString>
#include <QStringList>
#include <functional>

class DataSet;
class SpreadsheetWriter;

// The loop every export shares: the rows of a result, one sheet row each, written by the
// export's own row writer, with the progress reported after every row. Pending paint events get
// their turn between rows so that a progress caption repaints; the user's input waits until the
// export is over, so that no second command pulls the rows from under it.
namespace SpreadsheetExport {

// Writes sheet row `sheetRow` from visible row `index` of `rows`.
using RowWriter = std::function<void(const DataSet &rows, int index, int sheetRow)>;
// Told after each row: `written` rows of `total` are done (and once with 0 before the first).
using Progress = std::function<void(int written, int total)>;

// Writes every visible row of `rows`, the first on sheet row `firstRow`. Returns the row count.
int run(const DataSet &rows, int firstRow, const RowWriter &write, const Progress &progress = {});

// The caption of an export button while it runs: "Excel (12 из 40)".
QString caption(int written, int total);

// Headings in one row of sheet 1, with writeCell, from column 1 on.
void writePlainHeadings(SpreadsheetWriter &writer, int row, const QStringList &headings);

} // namespace SpreadsheetExport
