#include "db/sql_statement.h"

#include <QRegularExpression>
#include <QSet>

QString sqlDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}

QString sqlLiteral(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return QLatin1Char('\'') + out + QLatin1Char('\'');
}

SqlValue::SqlValue(const QDate &date) : m_sql(sqlDate(date))
{
    if (!date.isValid())
        throw std::invalid_argument("no date for the statement");
}

SqlValue SqlValue::text(const QString &value)
{
    return SqlValue(sqlLiteral(value), 0);
}

SqlValue SqlValue::decimal(const QString &value)
{
    static const QRegularExpression form(QStringLiteral("^-?[0-9]+(\\.[0-9]+)?$"));
    if (!form.match(value).hasMatch())
        throw std::invalid_argument(("not a decimal number: " + value).toStdString());
    return SqlValue(value, 0);
}

SqlValue SqlValue::number(double value)
{
    // 'g' with 15 digits is the shortest exact form of what a user types; the C locale's point.
    QString text = QString::number(value, 'g', 15);
    if (text.contains(QLatin1Char('e')) || text.contains(QLatin1Char('E')))
        text = QString::number(value, 'f', 15).remove(QRegularExpression(QStringLiteral("\\.?0+$")));
    return SqlValue(text, 0);
}

SqlValue SqlValue::null()
{
    return SqlValue(QStringLiteral("null"), 0);
}

QString sqlStatement(const QString &text, std::initializer_list<SqlArg> values)
{
    QString out;
    out.reserve(text.size() + 16 * int(values.size()));
    QSet<QString> used;
    int pos = 0;
    while (pos < text.size()) {
        const int open = text.indexOf(QLatin1Char('{'), pos);
        if (open < 0) {
            out += QStringView(text).mid(pos);
            break;
        }
        const int close = text.indexOf(QLatin1Char('}'), open + 1);
        if (close < 0)
            throw std::logic_error(("unclosed mark in statement: " + text).toStdString());
        out += QStringView(text).mid(pos, open - pos);
        const QString name = text.mid(open + 1, close - open - 1);
        const SqlValue *value = nullptr;
        for (const SqlArg &arg : values)
            if (name == QLatin1String(arg.first))
                value = &arg.second;
        if (!value)
            throw std::logic_error(("no value for {" + name + "} in: " + text).toStdString());
        out += value->sql();
        used.insert(name);
        pos = close + 1;
    }
    for (const SqlArg &arg : values)
        if (!used.contains(QLatin1String(arg.first)))
            throw std::logic_error(("value without a mark {" + QString::fromLatin1(arg.first) + "} in: " + text).toStdString());
    return out;
}

namespace {

QString paramLiteral(const QVariant &value)
{
    if (!value.isValid() || value.isNull())
        return QStringLiteral("null");
    switch (value.metaType().id()) {
    case QMetaType::QDate:
        return sqlLiteral(sqlDate(value.toDate()));
    case QMetaType::QDateTime:
        return sqlLiteral(value.toDateTime().toString(QStringLiteral("dd.MM.yyyy hh:mm:ss.zzz")));
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
        return value.toString();
    case QMetaType::Double:
    case QMetaType::Float:
        return SqlValue::number(value.toDouble()).sql();
    default:
        return sqlLiteral(value.toString());
    }
}

bool isNameChar(QChar c)
{
    return (c >= QLatin1Char('a') && c <= QLatin1Char('z')) || (c >= QLatin1Char('A') && c <= QLatin1Char('Z'))
        || (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || c == QLatin1Char('_');
}

} // namespace

QString sqlWithParams(const QString &sql, const QHash<QString, QVariant> &params)
{
    QHash<QString, QString> literals;
    for (auto it = params.cbegin(); it != params.cend(); ++it)
        literals.insert(it.key().toLower(), paramLiteral(it.value()));
    QString out;
    out.reserve(sql.size() + 16 * int(params.size()));
    QChar quote;
    int i = 0;
    while (i < sql.size()) {
        const QChar c = sql.at(i);
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();   // a doubled quote closes and opens again: still inside
            out += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char('\'') || c == QLatin1Char('"')) {
            quote = c;
            out += c;
            ++i;
            continue;
        }
        if (c == QLatin1Char(':')) {
            // "::" is a cast: both colons stay as they are.
            if (i + 1 < sql.size() && sql.at(i + 1) == QLatin1Char(':')) {
                out += QLatin1String("::");
                i += 2;
                continue;
            }
            int end = i + 1;
            while (end < sql.size() && isNameChar(sql.at(end)))
                ++end;
            if (end > i + 1 && !sql.at(i + 1).isDigit()) {
                out += literals.value(sql.mid(i + 1, end - i - 1).toLower(), QStringLiteral("null"));
                i = end;
                continue;
            }
        }
        out += c;
        ++i;
    }
    return out;
}
