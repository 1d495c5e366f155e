#pragma once

#include <QLocale>
#include <QString>

// Decimals arrive from the server as exact text ("12.500000"). Lists, dialogs and exports show
// their significant digits only.

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

// Exactly `places` decimals with the workstation's separator, as money is shown: "1357.8" ->
// "1357,80", "0" -> "0,00". A longer fraction is rounded. Texts that are not decimals stay as
// they are.
inline QString fixedDecimal(const QString &exact, int places, const QLocale &locale = QLocale())
{
    const QString text = exact.trimmed();
    bool ok = false;
    const double value = QLocale::c().toDouble(text, &ok);
    if (!ok)
        return text;
    const int point = text.indexOf(QLatin1Char('.'));
    const int have = point < 0 ? 0 : int(text.size()) - point - 1;
    QString out;
    if (have <= places) {
        out = text;
        if (places > 0)
            out += (point < 0 ? QStringLiteral(".") : QString()) + QString(places - have, QLatin1Char('0'));
    } else {
        out = QString::number(value, 'f', places);
    }
    return out.replace(QLatin1Char('.'), locale.decimalPoint());
}
