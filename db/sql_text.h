#pragma once

#include <QDate>
#include <QString>

// Values are written into statements as literals. Everything that goes between apostrophes passes
// through sqlText, so a name such as O'Brien or a mark such as 5'' is stored as typed and can never
// end the literal early.
inline QString sqlText(const QString &value)
{
    QString out = value;
    out.replace(QLatin1Char('\''), QLatin1String("''"));
    return out;
}

// Dates in statements are written day first, DD.MM.YYYY.
inline QString sqlDate(const QDate &date)
{
    return date.toString(QStringLiteral("dd.MM.yyyy"));
}
