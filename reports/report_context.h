#pragma once

#include "reports/report_dataset.h"

#include <functional>

// What a computed item of a report sees while its band is printed: the current row and the
// detail rows its sums run over.
//
// The current row is the row the band belongs to: a detail band's own row, a group header's
// first row, a group footer's last row (so a footer reads a per-group column such as f_sum7
// from its group), a page band's most recently printed row. On an empty data set it is a row
// that answers null.
//
// Sums run over the detail rows printed since the band was last printed, or over all detail
// rows printed so far for items that run over the whole report. A group footer therefore sums
// its own group; the footer of a group without expression, printed once at the end, sums all.
class ReportContext {
public:
    using RowValue = std::function<double(const ReportRow &)>;

    ReportContext(const ReportDataSet &data, int row, int firstSummed, int endSummed, int page)
        : m_data(data), m_row(row), m_first(firstSummed), m_end(endSummed), m_page(page)
    {
    }

    ReportRow row() const { return m_data.row(m_row); }
    QVariant value(const ReportColumn &column) const { return row().value(column); }
    double number(const ReportColumn &column) const { return row().number(column); }

    // Sum of a column (null and non-numeric values count as 0) or of a value of each row.
    double sum(const ReportColumn &column) const;
    double sum(const RowValue &value) const;
    // Sum of the column at that position in the data set.
    double sumAt(int column) const;
    // Number of the rows the sums run over.
    int count() const { return m_end - m_first; }

    int pageNumber() const { return m_page; }

private:
    const ReportDataSet &m_data;
    int m_row;
    int m_first;
    int m_end;
    int m_page;
};
