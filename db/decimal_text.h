#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>

// Decimals arrive from the server as exact text ("12.500000"). Lists, dialogs and exports show
// their significant digits only; money and prices have shapes of their own (below). All of it
// works on the digits as text, so an amount never passes through a float on its way to the user.

// Trailing zeros of the fraction dropped, the point kept: "12.500" -> "12.5", "150.000" -> "150".
inline QString trimmedDecimal(const QString &exact)
{
    QString text = exact.trimmed();
    if (text.contains(QLatin1Char('.'))) {
        while (text.endsWith(QLatin1Char('0')))
            text.chop(1);
        if (text.endsWith(QLatin1Char('.')))
            text.chop(1);
    }
    return text;
}

// The same with the workstation's decimal separator, as a user reads and a spreadsheet takes it.
inline QString shownDecimal(const QString &exact, const QLocale &locale = QLocale())
{
    return trimmedDecimal(exact).replace(QLatin1Char('.'), locale.decimalPoint());
}

namespace DecimalText {

// A decimal written with a point, split into sign, whole digits and fraction digits; false for
// anything else (an exponent, letters, an empty text).
inline bool split(const QString &exact, bool *negative, QString *whole, QString *fraction)
{
    QString text = exact.trimmed();
    *negative = text.startsWith(QLatin1Char('-'));
    if (*negative || text.startsWith(QLatin1Char('+')))
        text.remove(0, 1);
    const int point = text.indexOf(QLatin1Char('.'));
    *whole = point < 0 ? text : text.left(point);
    *fraction = point < 0 ? QString() : text.mid(point + 1);
    if (whole->isEmpty() && fraction->isEmpty())
        return false;
    for (const QString *part : {whole, fraction})
        for (const QChar c : *part)
            if (c < QLatin1Char('0') || c > QLatin1Char('9'))
                return false;
    while (whole->size() > 1 && whole->startsWith(QLatin1Char('0')))
        whole->remove(0, 1);
    if (whole->isEmpty())
        *whole = QStringLiteral("0");
    return true;
}

// Rounds the fraction to `places` digits, an exact half away from zero, as the server's round()
// does with the amounts it hands over.
inline void round(QString *whole, QString *fraction, int places)
{
    if (fraction->size() <= places)
        return;
    const bool up = fraction->at(places) >= QLatin1Char('5');
    fraction->truncate(places);
    if (!up)
        return;
    QString all = *whole + *fraction;
    int i = int(all.size()) - 1;
    for (; i >= 0 && all[i] == QLatin1Char('9'); --i)
        all[i] = QLatin1Char('0');
    if (i < 0)
        all.prepend(QLatin1Char('1'));
    else
        all[i] = QChar(all[i].unicode() + 1);
    *whole = all.left(all.size() - places);
    *fraction = all.right(places);
}

// At least `minPlaces` and at most `maxPlaces` decimals (trailing zeros beyond the least
// dropped), the workstation's separator; no "-" before a value that rounds to zero.
inline QString shaped(const QString &exact, int minPlaces, int maxPlaces, const QLocale &locale)
{
    bool negative = false;
    QString whole, fraction;
    if (!split(exact, &negative, &whole, &fraction))
        return exact.trimmed();
    round(&whole, &fraction, maxPlaces);
    while (fraction.size() > minPlaces && fraction.endsWith(QLatin1Char('0')))
        fraction.chop(1);
    while (fraction.size() < minPlaces)
        fraction += QLatin1Char('0');
    const bool zero = (whole + fraction).count(QLatin1Char('0')) == whole.size() + fraction.size();
    QString out = (negative && !zero ? QStringLiteral("-") : QString()) + whole;
    if (!fraction.isEmpty())
        out += locale.decimalPoint() + fraction;
    return out;
}

// The digits of a value read from a result: decimals come as text already; a floating-point
// column gives its 15 significant digits (what a double holds reliably), without an exponent.
inline QString exact(const QVariant &value)
{
    if (value.typeId() == QMetaType::Double || value.typeId() == QMetaType::Float) {
        const QString general = QString::number(value.toDouble(), 'g', 15);
        return general.contains(QLatin1Char('e')) ? QString::number(value.toDouble(), 'f', 15) : general;
    }
    return value.toString();
}

} // namespace DecimalText

// Exactly `places` decimals with the workstation's separator: "1357.8" -> "1357,80", "0" ->
// "0,00". A longer fraction is rounded. Texts that are not decimals stay as they are.
inline QString fixedDecimal(const QString &exact, int places, const QLocale &locale = QLocale())
{
    return DecimalText::shaped(exact, places, places, locale);
}

// Money (amounts, totals, earnings) as an accountant reads it: exactly two decimals,
// "445.5" -> "445,50", "282.754" -> "282,75", "1078" -> "1078,00".
inline QString moneyText(const QString &exact, const QLocale &locale = QLocale())
{
    return fixedDecimal(exact, 2, locale);
}

// A unit price keeps every decimal it carries and shows at least two: "11" -> "11,00",
// "6.4000" -> "6,40", "3.3333" -> "3,3333".
inline QString priceText(const QString &exact, const QLocale &locale = QLocale())
{
    return DecimalText::shaped(exact, 2, 1000, locale);
}
