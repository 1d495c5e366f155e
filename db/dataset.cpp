#include "db/dataset.h"

#include "db/data_rows.h"

#include "db/connection.h"
#include "db/db_error.h"
#include "db/sql_statement.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QScopeGuard>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlField>
#include <QSqlRecord>
#include <QSqlResult>

#include <sql.h>
#include <sqlext.h>

QString sqlErrorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    // psqlODBC puts a line of its own after the server's message ("ERROR: ...;\nError while
    // executing the query"), which says nothing the box's first line does not and is in English:
    // the server's text ends before it. A message of the driver's alone is kept.
    static const QStringList driverLines = {
        QStringLiteral("Error while executing the query"),
        QStringLiteral("Error while preparing parameters"),
        QStringLiteral("Error while fetching the next result"),
    };
    for (const QString &line : driverLines) {
        const QString tail = QStringLiteral(";\n") + line;
        if (text.endsWith(tail) && text.size() > tail.size())
            text.chop(tail.size());
    }
    text = text.trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

namespace {

StatementObserver statementObserver;

// Sends a statement as it stands, its parameters written in as literals: one round trip, nothing
// prepared, whether or not it has parameters.
QSqlQuery runQuery(const QString &connection, const QString &statement,
                   const QHash<QString, QVariant> &params)
{
    QSqlDatabase db = Connection::use(connection);
    const QString sql = params.isEmpty() ? statement : sqlWithParams(statement, params);
    if (statementObserver)
        statementObserver(connection, sql);
    QElapsedTimer clock;
    clock.start();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    if (!q.exec(sql))
        throw Connection::failure(connection, q.lastError(), clock.elapsed());
    return q;
}

// How the values of one column are read from the driver: the same values, of the same types, as
// the Qt driver gives (texts as UTF-16, decimals as their exact text), without its per-value
// bookkeeping.
enum class ColumnRead { Text, DecimalText, Short, UShort, Int, UInt, BigInt, UBigInt, Date, Time, DateTime };

bool columnReads(const QSqlRecord &rec, QVector<ColumnRead> &reads, QVector<QMetaType> &types)
{
    for (int i = 0; i < rec.count(); ++i) {
        const QMetaType type = rec.field(i).metaType();
        types << type;
        switch (type.id()) {
        case QMetaType::QString: reads << ColumnRead::Text; break;
        case QMetaType::Double: reads << ColumnRead::DecimalText; break;
        case QMetaType::Short: reads << ColumnRead::Short; break;
        case QMetaType::UShort: reads << ColumnRead::UShort; break;
        case QMetaType::Int: reads << ColumnRead::Int; break;
        case QMetaType::UInt: reads << ColumnRead::UInt; break;
        case QMetaType::LongLong: reads << ColumnRead::BigInt; break;
        case QMetaType::ULongLong: reads << ColumnRead::UBigInt; break;
        case QMetaType::QDate: reads << ColumnRead::Date; break;
        case QMetaType::QTime: reads << ColumnRead::Time; break;
        case QMetaType::QDateTime: reads << ColumnRead::DateTime; break;
        default: return false;   // anything else is read through the Qt driver
        }
    }
    return true;
}

SQLHANDLE statementHandle(const QSqlQuery &q)
{
    // The Qt driver hands its statement handle over as a pointer.
    const QVariant h = q.result() ? q.result()->handle() : QVariant();
    if (!h.isValid() || h.metaType() != QMetaType::fromType<SQLHANDLE>())
        return SQL_NULL_HANDLE;
    return *static_cast<const SQLHANDLE *>(h.constData());
}

QSqlError fetchError(SQLHANDLE statement)
{
    SQLCHAR state[6] = {0};
    SQLCHAR message[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLGetDiagRec(SQL_HANDLE_STMT, statement, 1, state, &native, message, sizeof message, &length);
    return QSqlError(QStringLiteral("Unable to fetch"), QString::fromUtf8(reinterpret_cast<const char *>(message)),
                     QSqlError::StatementError, QString::number(native));
}

// One value of the current row, appended to the column `column` of `rows`; false when the driver
// failed.
bool readValue(SQLHANDLE statement, int column, ColumnRead read, QVector<char> &buffer, DataRows &rows)
{
    const SQLUSMALLINT number = SQLUSMALLINT(column + 1);
    SQLLEN indicator = 0;
    SQLRETURN rc = SQL_SUCCESS;
    const auto fixed = [&](SQLSMALLINT target, void *data, SQLLEN size) {
        rc = SQLGetData(statement, number, target, data, size, &indicator);
        if (SQL_SUCCEEDED(rc) && indicator != SQL_NULL_DATA)
            return true;
        rows.appendNull(column);
        return false;
    };
    switch (read) {
    case ColumnRead::Text:
    case ColumnRead::DecimalText: {
        const bool wide = read == ColumnRead::Text;
        const SQLSMALLINT target = wide ? SQL_C_WCHAR : SQL_C_CHAR;
        const int unit = wide ? int(sizeof(SQLWCHAR)) : 1;
        QString text;
        bool pieces = false;
        for (;;) {
            rc = SQLGetData(statement, number, target, buffer.data(), buffer.size(), &indicator);
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc))
                return false;
            if (indicator == SQL_NULL_DATA) {
                rows.appendNull(column);   // as the Qt driver gives a null text
                return true;
            }
            // A longer text comes in pieces, each filling the buffer but for its terminator.
            const bool more = rc == SQL_SUCCESS_WITH_INFO
                && (indicator == SQL_NO_TOTAL || indicator >= buffer.size());
            const qsizetype units = more ? (buffer.size() / unit - 1) : qsizetype(indicator / unit);
            if (!more && !pieces) {
                if (wide)
                    rows.appendText(column, QStringView(reinterpret_cast<const char16_t *>(buffer.constData()), units));
                else
                    rows.appendLatin1(column, QLatin1String(buffer.constData(), units));
                return true;
            }
            pieces = true;
            if (wide)
                text += QStringView(reinterpret_cast<const char16_t *>(buffer.constData()), units);
            else
                text += QLatin1String(buffer.constData(), units);
            if (!more)
                break;
        }
        if (wide)
            rows.appendText(column, text);
        else
            rows.appendLatin1(column, QLatin1String(text.toLatin1()));
        return true;
    }
    case ColumnRead::Short: {
        SQLSMALLINT v = 0;
        if (fixed(SQL_C_SSHORT, &v, 0))
            rows.appendInteger(column, v);
        break;
    }
    case ColumnRead::UShort: {
        SQLUSMALLINT v = 0;
        if (fixed(SQL_C_USHORT, &v, 0))
            rows.appendInteger(column, v);
        break;
    }
    case ColumnRead::Int: {
        SQLINTEGER v = 0;
        if (fixed(SQL_C_SLONG, &v, 0))
            rows.appendInteger(column, v);
        break;
    }
    case ColumnRead::UInt: {
        SQLUINTEGER v = 0;
        if (fixed(SQL_C_ULONG, &v, 0))
            rows.appendInteger(column, v);
        break;
    }
    case ColumnRead::BigInt: {
        SQLBIGINT v = 0;
        if (fixed(SQL_C_SBIGINT, &v, 0))
            rows.appendInteger(column, v);
        break;
    }
    case ColumnRead::UBigInt: {
        SQLUBIGINT v = 0;
        if (fixed(SQL_C_UBIGINT, &v, 0))
            rows.appendUnsigned(column, v);
        break;
    }
    case ColumnRead::Date: {
        DATE_STRUCT d{};
        if (fixed(SQL_C_TYPE_DATE, &d, sizeof d))
            rows.appendDate(column, QDate(d.year, d.month, d.day));
        break;
    }
    case ColumnRead::Time: {
        TIME_STRUCT t{};
        if (fixed(SQL_C_TYPE_TIME, &t, sizeof t))
            rows.appendTime(column, QTime(t.hour, t.minute, t.second));
        break;
    }
    case ColumnRead::DateTime: {
        TIMESTAMP_STRUCT t{};
        if (fixed(SQL_C_TYPE_TIMESTAMP, &t, sizeof t))
            rows.appendDateTime(column, QDate(t.year, t.month, t.day),
                                QTime(t.hour, t.minute, t.second, int(t.fraction / 1000000)));
        break;
    }
    }
    return SQL_SUCCEEDED(rc);
}

DataRows::Kind keptAs(ColumnRead read)
{
    switch (read) {
    case ColumnRead::Text: return DataRows::Kind::Text;
    case ColumnRead::DecimalText: return DataRows::Kind::DecimalText;
    case ColumnRead::UBigInt: return DataRows::Kind::UnsignedInteger;
    case ColumnRead::Date: return DataRows::Kind::Date;
    case ColumnRead::Time: return DataRows::Kind::Time;
    case ColumnRead::DateTime: return DataRows::Kind::DateTime;
    default: return DataRows::Kind::Integer;
    }
}

// Results carry a local date-time in every row. With TZ unset the C library looks at
// /etc/localtime again for each of them; naming the workstation's zone once, as the link there
// names it, keeps the same zone without that. A TZ the user set is left alone.
void nameLocalTimeZone()
{
    if (qEnvironmentVariableIsSet("TZ"))
        return;
    const QString target = QFileInfo(QStringLiteral("/etc/localtime")).symLinkTarget();
    const int at = int(target.indexOf(QLatin1String("/zoneinfo/")));
    if (at >= 0 && QFileInfo::exists(target))
        qputenv("TZ", target.mid(at + 10).toLocal8Bit());
}
Q_CONSTRUCTOR_FUNCTION(nameLocalTimeZone)

} // namespace

void setStatementObserver(const StatementObserver &observer)
{
    statementObserver = observer;
}

DataSet::DataSet(const QString &connectionName, QObject *parent)
    : QObject(parent), m_connection(connectionName)
{
}

void DataSet::setParam(const QString &name, const QVariant &value)
{
    QString key = name;
    if (key.startsWith(QLatin1Char(':')))
        key.remove(0, 1);
    m_params[key] = value;
}

void DataSet::open()
{
    if (m_open)
        return;
    QSqlQuery q = runQuery(m_connection, m_sql, m_params);
    const QSqlRecord rec = q.record();
    m_fields.clear();
    m_fieldIndex.clear();
    m_decimal.clear();
    for (int i = 0; i < rec.count(); ++i) {
        const QString name = rec.fieldName(i).toLower();
        m_fields << name;
        const int type = rec.field(i).metaType().id();
        m_decimal << (type == QMetaType::Double || type == QMetaType::Float);
        if (!m_fieldIndex.contains(name))
            m_fieldIndex.insert(name, i);
    }
    m_rows.reset();
    m_visible.clear();
    // A result that fails half-way leaves nothing behind, not even rows already shown.
    auto failed = qScopeGuard([this] {
        const bool shown = m_open;
        m_open = false;
        m_rows.reset();
        m_visible.clear();
        m_current = -1;
        if (shown) {
            emit rowsReset();
            emit currentChanged(0);
        }
    });
    const int columns = rec.count();
    const SQLHANDLE statement = columns > 0 ? statementHandle(q) : SQL_NULL_HANDLE;
    // The driver holds the whole result by now and knows its length (-1 where it does not).
    SQLLEN length = -1;
    if (statement != SQL_NULL_HANDLE && !SQL_SUCCEEDED(SQLRowCount(statement, &length)))
        length = -1;
    const int paintAt = m_letPaint && m_firstRows > 0 && (length < 0 || length > m_longResult) ? m_firstRows : 0;
    // A new store each time: reports made from the rows before keep theirs.
    auto rows = QSharedPointer<DataRows>::create();
    m_rows = rows;
    const auto rowDone = [this, paintAt, &rows] {
        rows->endRow();
        if (paintAt > 0 && rows->rowCount() == paintAt)
            showRowsSoFar();
    };
    QVector<ColumnRead> reads;
    QVector<QMetaType> types;
    if (statement != SQL_NULL_HANDLE && columnReads(rec, reads, types)) {
        for (int i = 0; i < columns; ++i)
            rows->addColumn(keptAs(reads[i]), types[i]);
        if (length > 0)
            rows->reserve(length);
        // Straight from the driver, column by column: how each column is read was settled once
        // for the whole result.
        QVector<char> buffer(4096);
        for (;;) {
            const SQLRETURN rc = SQLFetch(statement);
            if (rc == SQL_NO_DATA)
                break;
            if (!SQL_SUCCEEDED(rc))
                throw Connection::failure(m_connection, fetchError(statement), 0);
            for (int i = 0; i < columns; ++i)
                if (!readValue(statement, i, reads[i], buffer, *rows))
                    throw Connection::failure(m_connection, fetchError(statement), 0);
            rowDone();
        }
    } else {
        for (int i = 0; i < columns; ++i)
            rows->addColumn(DataRows::Kind::Variant, rec.field(i).metaType());
        while (q.next()) {
            for (int i = 0; i < columns; ++i)
                rows->appendVariant(i, q.value(i));
            rowDone();
        }
    }
    failed.dismiss();
    m_open = true;
    applyFilter();
}

void DataSet::showRowsSoFar()
{
    // Open for whoever looks meanwhile (a second open() returns at once); the user's input waits.
    m_open = true;
    applyFilter();
    m_letPaint();
}

void DataSet::close()
{
    if (!m_open && !m_rows)
        return;
    m_open = false;
    m_rows.reset();
    m_visible.clear();
    m_current = -1;
    emit rowsReset();
    emit currentChanged(0);
}

void DataSet::setRecNo(int n)
{
    const int target = m_visible.isEmpty() ? -1 : qBound(0, n - 1, int(m_visible.size()) - 1);
    if (target == m_current)
        return;
    m_current = target;
    emit currentChanged(recNo());
}

bool DataSet::next()
{
    if (m_current + 1 >= m_visible.size())
        return false;
    setRecNo(recNo() + 1);
    return true;
}

bool DataSet::prior()
{
    if (m_current <= 0)
        return false;
    setRecNo(recNo() - 1);
    return true;
}

bool DataSet::locate(const QString &field, const QVariant &value)
{
    const int col = fieldIndex(field);
    if (col < 0)
        return false;
    for (int i = 0; i < m_visible.size(); ++i) {
        const QVariant v = m_rows->value(m_visible[i], col);
        if (v == value || (!v.isNull() && v.toString() == value.toString())) {
            setRecNo(i + 1);
            return true;
        }
    }
    return false;
}

int DataSet::fieldIndex(const QString &field) const
{
    // Names are kept in lower case, as the callers mostly write them.
    const auto it = m_fieldIndex.constFind(field);
    if (it != m_fieldIndex.cend())
        return *it;
    return m_fieldIndex.value(field.toLower(), -1);
}

bool DataSet::isDecimalField(const QString &field) const
{
    const int col = fieldIndex(field);
    return col >= 0 && m_decimal.value(col);
}

bool DataSet::hasField(const QString &field) const
{
    return fieldIndex(field) >= 0;
}

QVariant DataSet::value(const QString &field) const
{
    return m_current < 0 ? QVariant() : valueAt(m_current, field);
}

QVariant DataSet::valueAt(int row, const QString &field) const
{
    return valueAt(row, fieldIndex(field));
}

QVariant DataSet::valueAt(int row, int column) const
{
    if (column < 0 || row < 0 || row >= m_visible.size())
        return {};
    return column < m_rows->columnCount() ? m_rows->value(m_visible[row], column) : QVariant();
}

QVariant DataSet::rawValue(int rawRow, const QString &field) const
{
    const int col = fieldIndex(field);
    if (col < 0 || rawRow < 0 || !m_rows || rawRow >= m_rows->rowCount())
        return {};
    return m_rows->value(rawRow, col);
}

void DataSet::setFilter(const Filter &filter)
{
    m_filter = filter;
    if (m_open)
        applyFilter();
}

void DataSet::applyFilter()
{
    m_visible.clear();
    const int rows = m_rows ? m_rows->rowCount() : 0;
    m_visible.reserve(rows);
    for (int i = 0; i < rows; ++i)
        if (!m_filter || m_filter(*this, i))
            m_visible.append(i);
    m_current = m_visible.isEmpty() ? -1 : 0;
    emit rowsReset();
    emit currentChanged(recNo());
}

int SqlCommand::execute()
{
    QSqlQuery q = runQuery(m_connection, m_sql, m_params);
    return q.numRowsAffected();
}

DataSet::Row DataSet::rowValues(int row) const
{
    Row values(m_rows->columnCount());
    for (int c = 0; c < values.size(); ++c)
        values[c] = m_rows->value(m_visible[row], c);
    return values;
}
