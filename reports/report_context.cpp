#include "reports/report_context.h"

double ReportContext::sum(const ReportColumn &column) const
{
    // Checks the column even when nothing is summed, so a misspelt name never passes as 0.
    const int c = column.indexIn(m_data);
    if (c < 0)
        m_data.row(-1).value(column);
    return sumAt(c);
}

double ReportContext::sumAt(int column) const
{
    double total = 0;
    for (int i = m_first; i < m_end; ++i)
        total += m_data.row(i).numberAt(column);
    return total;
}

double ReportContext::sum(const RowValue &value) const
{
    double total = 0;
    for (int i = m_first; i < m_end; ++i)
        total += value(m_data.row(i));
    return total;
}
