#include "reports/report_context.h"

double ReportContext::sum(const QString &column) const
{
    // Checks the column even when nothing is summed, so a misspelt name never passes as 0.
    if (m_data.columnIndex(column) < 0)
        m_data.row(-1).value(column);
    double total = 0;
    for (int i = m_first; i < m_end; ++i)
        total += m_data.row(i).number(column);
    return total;
}

double ReportContext::sum(const RowValue &value) const
{
    double total = 0;
    for (int i = m_first; i < m_end; ++i)
        total += value(m_data.row(i));
    return total;
}
