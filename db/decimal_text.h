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
