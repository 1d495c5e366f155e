#pragma once

#include <QHash>
#include <QList>
#include <QSharedPointer>
#include <QString>
#include <QStringList>
#include <QVariant>

#include <functional>

class DataRows;
class DataSet;
class ReportDataSet;

// A column as a layout names it ("summa", "t_Report.f_sum7"), matched against a data set's
// columns the first time it is read from that data set and by its position after that: a layout
// reads the same few columns for every row, and a name looked up per value would cost more than
// the value.
class ReportColumn {
public:
    ReportColumn() = default;
    ReportColumn(const QString &name) : m_name(name) {}
    ReportColumn(const char *name) : m_name(QString::fromLatin1(name)) {}

    const QString &name() const { return m_name; }
    bool isEmpty() const { return m_name.isEmpty(); }
    // The column's position in the data set; -1 when it has no such column.
    int indexIn(const ReportDataSet &data) const;

private:
    QString m_name;
    mutable quint64 m_columnsSeen = 0; // the data set's columns the position was matched in
    mutable int m_index = -1;
};

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
    QVariant value(const ReportColumn &column) const;
    // The column's value as a number; null, empty and non-numeric values count as 0.
    double number(const ReportColumn &column) const;
    // The same by the column's position in the data set.
    QVariant valueAt(int column) const;
    double numberAt(int column) const;

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
    // Names the set of columns: data sets with equal columns share it, others never do.
    quint64 columnsId() const { return m_columnsId; }
    // -1 when the data set has no such column (same matching rules as ReportRow::value).
    int columnIndex(const QString &column) const;
    // The value of a row's column as the report reads it.
    QVariant valueAt(int row, int column) const;

    // Throws std::invalid_argument when the number of values differs from the number of columns.
    void appendRow(const QVariantList &values);
    int rowCount() const { return m_store ? int(m_storeRows.size()) : int(m_rows.size()); }
    bool isEmpty() const { return rowCount() == 0; }
    ReportRow row(int index) const { return ReportRow(this, index); }

    // The rows for which keep() is true, in their order (the product-kind filter of the reports).
    ReportDataSet filtered(const std::function<bool(const ReportRow &)> &keep) const;

private:
    QStringList m_columns;
    quint64 m_columnsId = 0;
    QHash<QString, int> m_index; // lower-case column name -> position
    QList<bool> m_decimal;       // columns whose exact decimal texts are read as numbers
    QList<QVariantList> m_rows;                 // rows appended one by one
    QSharedPointer<const DataRows> m_store;     // or the rows of a data set, shared with it
    QList<int> m_storeRows;                     // the store's row of each row
};
