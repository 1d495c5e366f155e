#include "db/dataset.h"

#include "db/connection.h"
#include "db/db_error.h"

#include <QElapsedTimer>

#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QSqlField>
#include <QSqlRecord>

QString sqlErrorText(const QSqlError &error)
{
    QString text = error.databaseText().trimmed();
    if (text.isEmpty())
        text = error.driverText().trimmed();
    if (text.isEmpty())
        text = error.text().trimmed();
    return text;
}

namespace {

QSqlQuery runQuery(const QString &connection, const QString &sql,
                   const QHash<QString, QVariant> &params)
{
    QSqlDatabase db = Connection::use(connection);
    QElapsedTimer clock;
    clock.start();
    QSqlQuery q(db);
    q.setForwardOnly(true);
    q.setNumericalPrecisionPolicy(QSql::HighPrecision);
    bool ok;
    if (params.isEmpty()) {
        ok = q.exec(sql);
    } else {
        ok = q.prepare(sql);
        if (ok) {
            for (auto it = params.cbegin(); it != params.cend(); ++it)
                q.bindValue(QLatin1Char(':') + it.key(), it.value());
            ok = q.exec();
        }
    }
    if (!ok)
        throw Connection::failure(connection, q.lastError(), clock.elapsed());
    return q;
}

// The statement with its quoted parts (texts and quoted names) blanked out: a parameter mark
// is only ever looked for outside them, so that a text such as "Сборка :dt" stays a text.
QString outsideQuotes(const QString &sql)
{
    QString out = sql;
    QChar quote;
    for (int i = 0; i < out.size(); ++i) {
        const QChar c = out.at(i);
        if (quote.isNull()) {
            if (c == QLatin1Char('\'') || c == QLatin1Char('"'))
                quote = c;
        } else if (c == quote) {
            quote = QChar();   // a doubled quote closes and opens again: still inside
        } else {
            out[i] = QLatin1Char(' ');
        }
    }
    return out;
}

// Only the parameters the statement names are bound.
QHash<QString, QVariant> usedParams(const QString &statement, const QHash<QString, QVariant> &params)
{
    QHash<QString, QVariant> used;
    if (params.isEmpty())
        return used;
    const QString sql = outsideQuotes(statement);
    for (auto it = params.cbegin(); it != params.cend(); ++it) {
        const QString name = QLatin1Char(':') + it.key();
        int pos = 0;
        while ((pos = sql.indexOf(name, pos, Qt::CaseInsensitive)) >= 0) {
            const int end = pos + name.size();
            const bool wholeName = end >= sql.size() || !(sql.at(end).isLetterOrNumber() || sql.at(end) == QLatin1Char('_'));
            const bool notCast = pos == 0 || sql.at(pos - 1) != QLatin1Char(':');
            if (wholeName && notCast) {
                used.insert(it.key(), it.value());
                break;
            }
            pos = end;
        }
    }
    return used;
}

} // namespace

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
    QSqlQuery q = runQuery(m_connection, m_sql, usedParams(m_sql, m_params));
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
    m_rows.clear();
    while (q.next()) {
        Row row(rec.count());
        for (int i = 0; i < rec.count(); ++i)
            row[i] = q.value(i);
        m_rows.append(std::move(row));
    }
    m_open = true;
    applyFilter();
}

void DataSet::close()
{
    if (!m_open && m_rows.isEmpty())
        return;
    m_open = false;
    m_rows.clear();
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
        const QVariant &v = m_rows[m_visible[i]][col];
        if (v == value || (!v.isNull() && v.toString() == value.toString())) {
            setRecNo(i + 1);
            return true;
        }
    }
    return false;
}

int DataSet::fieldIndex(const QString &field) const
{
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
    const int col = fieldIndex(field);
    if (col < 0 || row < 0 || row >= m_visible.size())
        return {};
    return m_rows[m_visible[row]][col];
}

QVariant DataSet::rawValue(int rawRow, const QString &field) const
{
    const int col = fieldIndex(field);
    if (col < 0 || rawRow < 0 || rawRow >= m_rows.size())
        return {};
    return m_rows[rawRow][col];
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
    m_visible.reserve(m_rows.size());
    for (int i = 0; i < m_rows.size(); ++i)
        if (!m_filter || m_filter(*this, i))
            m_visible.append(i);
    m_current = m_visible.isEmpty() ? -1 : 0;
    emit rowsReset();
    emit currentChanged(recNo());
}

int SqlCommand::execute()
{
    QSqlQuery q = runQuery(m_connection, m_sql, usedParams(m_sql, m_params));
    return q.numRowsAffected();
}
