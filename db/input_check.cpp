#include "db/input_check.h"

#include <QRegularExpression>

qint64 wholeNumber(const QString &text, const QString &field, qint64 min, qint64 max)
{
    const QString t = text.trimmed();
    static const QRegularExpression digits(QStringLiteral("^-?[0-9]{1,18}$"));
    const auto range = [&] {
        return InputError(QStringLiteral("Поле «%1»: нужно целое число от %2 до %3.").arg(field).arg(min).arg(max));
    };
    if (!digits.match(t).hasMatch())
        throw range();
    const qint64 value = t.toLongLong();
    if (value < min || value > max)
        throw range();
    return value;
}

QString decimalNumber(const QString &text, const QString &field, int integerDigits, int fractionDigits)
{
    QString t = text.trimmed();
    t.replace(QLatin1Char(','), QLatin1Char('.'));
    const QRegularExpression form(QStringLiteral("^-?([0-9]{1,%1})(\\.([0-9]{1,%2}))?$").arg(integerDigits).arg(qMax(1, fractionDigits)));
    const auto match = form.match(t);
    if (!match.hasMatch() || (fractionDigits == 0 && match.capturedLength(2) > 0))
        throw InputError(QStringLiteral("Поле «%1»: нужно число, не больше %2 знаков до запятой и %3 после.")
                             .arg(field).arg(integerDigits).arg(fractionDigits));
    return t;
}
