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
