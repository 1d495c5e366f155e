#pragma once

#include <QHash>
#include <QObject>
#include <QSharedPointer>
#include <QStringList>
#include <QVariant>
#include <QVector>
#include <functional>

class DataRows;
class QSqlRecord;

// A query whose result is read whole into memory, with a current row, an optional row filter and
// named parameters: the shape every list and journal of the program works with. Rows are numbered
// from 1 (recNo), as the user sees them; 0 means "no current row". Parameters are written into the
// statement as literals (sqlWithParams). Values are read by column name, or by a column index
// resolved once (column()); decimals arrive as exact text (high precision), never through a float.
class DataSet : public QObject {
    Q_OBJECT
public:
    using Row = QVector<QVariant>;
    using Filter = std::function<bool(const DataSet &, int rawRow)>;

    explicit DataSet(const QString &connectionName, QObject *parent = nullptr);

    void setSql(const QString &sql) { m_sql = sql; }
    const QString &sql() const { return m_sql; }
    // Parameters are bound by name (":data"); they keep their values across close and open.
    void setParam(const QString &name, const QVariant &value);
    QVariant param(const QString &name) const { return m_params.value(name); }

    void open();    // throws DbError; the first row becomes current
    // A long result shows its first rows before the rest is read: once `rows` rows are in, the
    // data set tells its grids (rowsReset) and calls `letPaint`, which lets the window paint them
    // (but takes no user input), then reads on. Commands never see a half-read result: open()
    // returns when every row is in. `rows` 0 turns it off. A result the driver says holds no more
    // than `longerThan` rows is read whole first: painting it twice would cost more than the
    // rest of the reading it would hide.
    void showFirstRows(int rows, const std::function<void()> &letPaint, int longerThan = 0)
    {
        m_firstRows = rows;
        m_letPaint = letPaint;
        m_longResult = longerThan;
    }
    void close();
    void reopen() { close(); open(); }
    // Reads the rows again and makes the same row number current again (clamped to the rows
    // there are), as a list does after a command changed what it shows.
    void reopenKeepingRow()
    {
        const int row = recNo();
        reopen();
        if (row > 0)
            setRecNo(row);
    }
    bool isOpen() const { return m_open; }

    int recordCount() const { return m_visible.size(); }
    bool isEmpty() const { return m_visible.isEmpty(); }
    int recNo() const { return m_current + 1; }
    // Moves to row n (1-based), clamped to the rows there are.
    void setRecNo(int n);
    void first() { setRecNo(1); }
    bool next();
    bool prior();
    // Makes the first row whose field equals value current; false when there is none.
    bool locate(const QString &field, const QVariant &value);

    bool hasField(const QString &field) const;
    QStringList fieldNames() const { return m_fields; }
    // True for floating-point and decimal columns (their values arrive as exact text).
    bool isDecimalField(const QString &field) const;
    // Value of the current row; invalid when there is none.
    QVariant value(const QString &field) const;
    // Value of visible row `row` (0-based).
    QVariant valueAt(int row, const QString &field) const;
    // The same by the field's index (column()), for reading many rows: resolve it once.
    QVariant valueAt(int row, int column) const;
    // All values of visible row `row` (0-based).
    Row rowValues(int row) const;
    // The rows as read (unfiltered), shared with whoever keeps them past the next open, and the
    // raw row of each visible one.
    QSharedPointer<const DataRows> rows() const { return m_rows; }
    const QVector<int> &visibleRows() const { return m_visible; }
    // Index of a field in the rows (-1: no such field); stays valid until the next open.
    int column(const QString &field) const { return fieldIndex(field); }
    QString text(const QString &field) const { return value(field).toString(); }
    int toInt(const QString &field) const { return value(field).toInt(); }
    // Value of raw (unfiltered) row, for filters.
    QVariant rawValue(int rawRow, const QString &field) const;

    void setFilter(const Filter &filter);
    void clearFilter() { setFilter(nullptr); }
    bool isFiltered() const { return bool(m_filter); }

signals:
    // The rows changed (opened, closed, filtered): a grid must re-read everything.
    void rowsReset();
    void currentChanged(int recNo);

private:
    void applyFilter();
    void showRowsSoFar();
    int fieldIndex(const QString &field) const;

    QString m_connection;
    QString m_sql;
    QHash<QString, QVariant> m_params;
    bool m_open = false;
    QStringList m_fields;
    QHash<QString, int> m_fieldIndex;
    QVector<bool> m_decimal;
    QSharedPointer<DataRows> m_rows;   // null until opened
    QVector<int> m_visible;
    int m_current = -1;
    Filter m_filter;
    int m_firstRows = 0;
    int m_longResult = 0;
    std::function<void()> m_letPaint;
};

// A statement holder whose text is set before each use (deletes, inserts, updates).
class SqlCommand {
public:
    explicit SqlCommand(const QString &connectionName) : m_connection(connectionName) {}
    void setSql(const QString &sql) { m_sql = sql; }
    const QString &sql() const { return m_sql; }
    void setParam(const QString &name, const QVariant &value) { m_params[name] = value; }
    // Runs the statement; throws DbError with the server's text. Returns the rows affected.
    int execute();
    // Sets the text and runs it.
    int execute(const QString &sql)
    {
        setSql(sql);
        return execute();
    }

private:
    QString m_connection;
    QString m_sql;
    QHash<QString, QVariant> m_params;
};

// Message of a failed statement as the server gave it, without the driver's own closing line.
QString sqlErrorText(const class QSqlError &error);

// Sees every statement a data set or command sends, as it goes to the server (its parameters
// written in): the benchmarks replay what a command sent through a bare ODBC client. None is set
// in the program.
using StatementObserver = std::function<void(const QString &connectionName, const QString &sql)>;
void setStatementObserver(const StatementObserver &observer);
