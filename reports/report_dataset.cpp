#include "reports/report_dataset.h"

#include "reports/report_format.h"

#include "db/data_rows.h"
#include "db/dataset.h"

#include <atomic>
#include <stdexcept>

int ReportColumn::indexIn(const ReportDataSet &data) const
{
    if (m_columnsSeen != data.columnsId() || data.columnsId() == 0) {
        m_index = data.columnIndex(m_name);
        m_columnsSeen = data.columnsId();
    }
    return m_index;
}

bool ReportRow::isValid() const
{
    return m_data && m_index >= 0 && m_index < m_data->rowCount();
}

QVariant ReportRow::value(const ReportColumn &column) const
{
    const int c = m_data ? column.indexIn(*m_data) : -1;
    if (m_data && c < 0)
        throw std::invalid_argument(
            QStringLiteral("В данных отчета нет поля \"%1\"").arg(column.name()).toStdString());
    return valueAt(c);
}

double ReportRow::number(const ReportColumn &column) const
{
    double n = 0;
    return ReportFormat::toNumber(value(column), &n) ? n : 0.0;
}

QVariant ReportRow::valueAt(int column) const
{
    if (!isValid())
        return QVariant();
    return m_data->valueAt(m_index, column);
}

double ReportRow::numberAt(int column) const
{
    double n = 0;
    return ReportFormat::toNumber(valueAt(column), &n) ? n : 0.0;
}

ReportDataSet::ReportDataSet(const QStringList &columns) : m_columns(columns)
{
    static std::atomic<quint64> lastColumnsId{0};
    m_columnsId = ++lastColumnsId;
    // The first of two equally named columns wins, as a query's result is read by name.
    for (int i = int(columns.size()) - 1; i >= 0; --i)
        m_index.insert(columns.at(i).toLower(), i);
}

ReportDataSet ReportDataSet::fromDataSet(const DataSet &data)
{
    const QStringList names = data.fieldNames();
    ReportDataSet out(names);
    for (const QString &name : names)
        out.m_decimal << data.isDecimalField(name);
    out.m_store = data.rows();
    out.m_storeRows = data.visibleRows();
    if (!out.m_store)
        out.m_storeRows.clear();
    return out;
}

QVariant ReportDataSet::valueAt(int row, int column) const
{
    double n = 0;
    if (m_store && m_decimal.value(column) && m_store->exactDouble(m_storeRows.at(row), column, n))
        return n;
    const QVariant v = m_store ? m_store->value(m_storeRows.at(row), column) : m_rows.at(row).at(column);
    if (m_decimal.value(column) && ReportFormat::toNumber(v, &n))
        return n;
    return v;
}

int ReportDataSet::columnIndex(const QString &column) const
{
    QString name = column.trimmed();
    const int dot = name.lastIndexOf(QLatin1Char('.'));
    if (dot >= 0)
        name = name.mid(dot + 1);
    return m_index.value(name.toLower(), -1);
}

void ReportDataSet::appendRow(const QVariantList &values)
{
    if (values.size() != m_columns.size())
        throw std::invalid_argument(QStringLiteral("Строка данных отчета: %1 значений вместо %2")
                                        .arg(values.size())
                                        .arg(m_columns.size())
                                        .toStdString());
    if (m_store) {   // rows of a data set first, then the ones appended
        for (int r : std::as_const(m_storeRows)) {
            QVariantList row;
            for (int c = 0; c < m_columns.size(); ++c)
                row << m_store->value(r, c);
            m_rows << row;
        }
        m_store.reset();
        m_storeRows.clear();
    }
    m_rows << values;
}

ReportDataSet ReportDataSet::filtered(const std::function<bool(const ReportRow &)> &keep) const
{
    ReportDataSet out(m_columns);
    out.m_columnsId = m_columnsId;
    out.m_decimal = m_decimal;
    out.m_store = m_store;
    for (int i = 0; i < rowCount(); ++i) {
        if (!keep(row(i)))
            continue;
        if (m_store)
            out.m_storeRows << m_storeRows.at(i);
        else
            out.m_rows << m_rows.at(i);
    }
    return out;
}
