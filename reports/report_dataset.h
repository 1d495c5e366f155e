#pragma once

#include <QHash>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class DataSet;
class ReportDataSet;

// One row of a report's data: a light view into its data set. A row that does not exist (the
// current row of a report over an empty data set) answers null for every column.
class ReportRow {
public:
    ReportRow() = default;
    ReportRow(const ReportDataSet *data, int index) : m_data(data), m_index(index) {}

    bool isValid() const;
    int index() const { return m_index; }

    // The column's value; the name may carry the data set's name in front ("t_Report.f_sum7")
    // and is matched without regard to case. Throws std::invalid_argument for a column the
    // data set does not have, so that a misspelt layout fails loudly instead of printing blanks.
    QVariant value(const QString &column) const;
    // The column's value as a number; null, empty and non-numeric values count as 0.
    double number(const QString &column) const;

private:
    const ReportDataSet *m_data = nullptr;
    int m_index = -1;
};

// The rows a report is generated from, fetched in full before generation. Values keep the
// types they arrived with; decimals may be texts ("12.50"), which the report reads as numbers.
class ReportDataSet {
public:
    ReportDataSet() = default;
    explicit ReportDataSet(const QStringList &columns);

    // The visible (filtered) rows of an open data set, columns named as the query names them;
    // the rows are shared with the data set, not copied. Its decimal columns, which arrive as
    // exact text, are read as numbers, so that a value printed without a mask shows in its plain
    // form (12,5) rather than as stored (12.50).
    static ReportDataSet fromDataSet(const DataSet &data);

    const QStringList &columns() const { return m_columns; }
    // -1 when the data set has no such column (same matching rules as ReportRow::value).
    int columnIndex(const QString &column) const;
    // The value of a row's column as the report reads it.
    QVariant valueAt(int row, int column) const;

    // Throws std::invalid_argument when the number of values differs from the number of columns.
    void appendRow(const QVariantList &values);
    int rowCount() const { return int(m_rows.size()); }
    bool isEmpty() const { return m_rows.isEmpty(); }
    ReportRow row(int index) const { return ReportRow(this, index); }

    // The rows for which keep() is true, in their order (the product-kind filter of the reports).
    ReportDataSet filtered(const std::function<bool(const ReportRow &)> &keep) const;

private:
    QStringList m_columns;
    QHash<QString, int> m_index; // lower-case column name -> position
    // The names as layouts write them ("t_Report.f_sum7"), each matched once: a layout reads the
    // same few names for every row.
    mutable QHash<QString, int> m_written;
    QList<bool> m_decimal;       // columns whose exact decimal texts are read as numbers
    QList<QVariantList> m_rows;
};
