#include "reports/report_format.h"

#include <QDate>
#include <QDateTime>

#include <charconv>
#include <cmath>
#include <stdexcept>

namespace ReportFormat {

namespace {

struct Mask {
    int minWholeDigits = 1;
    int minDecimals = 0;
    int maxDecimals = 0;
    bool grouping = false;
};

Mask parseMask(const QString &text)
{
    const auto bad = [&text]() {
        return std::invalid_argument(
            QStringLiteral("Неверная маска числа в отчете: \"%1\"").arg(text).toStdString());
    };
    if (text.isEmpty())
        throw bad();
    Mask mask;
    const int point = text.indexOf(QLatin1Char('.'));
    const QString whole = point < 0 ? text : text.left(point);
    const QString fraction = point < 0 ? QString() : text.mid(point + 1);
    int zeros = 0;
    bool seenZero = false;
    for (const QChar c : whole) {
        if (c == QLatin1Char('0')) {
            ++zeros;
            seenZero = true;
        } else if (c == QLatin1Char('#')) {
            if (seenZero)
                throw bad();
        } else if (c == QLatin1Char(',')) {
            mask.grouping = true;
        } else {
            throw bad();
        }
    }
    bool seenHash = false;
    for (const QChar c : fraction) {
        if (c == QLatin1Char('0')) {
            if (seenHash)
                throw bad();
            ++mask.minDecimals;
        } else if (c == QLatin1Char('#')) {
            seenHash = true;
        } else {
            throw bad();
        }
        ++mask.maxDecimals;
    }
    if (zeros == 0 && mask.maxDecimals == 0 && !whole.contains(QLatin1Char('#')))
        throw bad();
    mask.minWholeDigits = zeros;
    return mask;
}

// A number split into its decimal digits, without exponent.
struct Decimal {
    bool negative = false;
    QString whole;    // at least one digit
    QString fraction; // possibly empty
};

Decimal toDecimal(double number)
{
    Decimal d;
    if (!std::isfinite(number)) {
        d.whole = QStringLiteral("0");
        return d;
    }
    // 15 significant digits are what a double holds reliably: they hide the binary noise of
    // sums such as 0.1 + 0.2 and keep every decimal that came from the database.
    const QString text = QString::number(number, 'e', 14); // d.dddddddddddddde±XX
    d.negative = text.startsWith(QLatin1Char('-'));
    const QString body = d.negative ? text.mid(1) : text;
    const int e = body.indexOf(QLatin1Char('e'));
    QString digits = body.left(e);
    digits.remove(QLatin1Char('.'));
    const int exponent = body.mid(e + 1).toInt();
    const int wholeCount = exponent + 1; // digits before the point
    if (wholeCount <= 0) {
        d.whole = QStringLiteral("0");
        d.fraction = QString(-wholeCount, QLatin1Char('0')) + digits;
    } else if (wholeCount >= digits.size()) {
        d.whole = digits + QString(wholeCount - digits.size(), QLatin1Char('0'));
    } else {
        d.whole = digits.left(wholeCount);
        d.fraction = digits.mid(wholeCount);
    }
    while (d.fraction.endsWith(QLatin1Char('0')))
        d.fraction.chop(1);
    while (d.whole.size() > 1 && d.whole.startsWith(QLatin1Char('0')))
        d.whole.remove(0, 1);
    return d;
}

// Rounds half away from zero to the given number of decimals.
void roundTo(Decimal &d, int decimals)
{
    if (d.fraction.size() <= decimals)
        return;
    const bool up = d.fraction.at(decimals) >= QLatin1Char('5');
    d.fraction.truncate(decimals);
    if (!up)
        return;
    QString all = d.whole + d.fraction;
    int i = all.size() - 1;
    for (; i >= 0; --i) {
        if (all[i] == QLatin1Char('9')) {
            all[i] = QLatin1Char('0');
        } else {
            all[i] = QChar(all[i].unicode() + 1);
            break;
        }
    }
    if (i < 0)
        all.prepend(QLatin1Char('1'));
    d.whole = all.left(all.size() - decimals);
    d.fraction = all.right(decimals);
}

bool isZero(const Decimal &d)
{
    for (const QChar c : d.whole + d.fraction)
        if (c != QLatin1Char('0'))
            return false;
    return true;
}

QString group(const QString &whole)
{
    QString out;
    const int n = whole.size();
    for (int i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += QLatin1Char(' ');
        out += whole.at(i);
    }
    return out;
}

QString compose(Decimal d, const Mask &mask)
{
    roundTo(d, mask.maxDecimals);
    while (d.fraction.size() > mask.minDecimals && d.fraction.endsWith(QLatin1Char('0')))
        d.fraction.chop(1);
    while (d.fraction.size() < mask.minDecimals)
        d.fraction += QLatin1Char('0');
    // "#" before the point prints no leading zero: 0.5 with "#.00" is ",50".
    if (d.whole == QLatin1String("0") && mask.minWholeDigits == 0)
        d.whole.clear();
    while (d.whole.size() < mask.minWholeDigits)
        d.whole.prepend(QLatin1Char('0'));
    QString out = mask.grouping ? group(d.whole) : d.whole;
    if (!d.fraction.isEmpty())
        out += DecimalSeparator + d.fraction;
    if (d.negative && !isZero(d))
        out.prepend(QLatin1Char('-'));
    return out;
}

bool isNumericType(const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::Double:
    case QMetaType::Float:
        return true;
    default:
        return false;
    }
}

bool isIntegerType(const QVariant &value)
{
    return isNumericType(value) && value.typeId() != QMetaType::Double
        && value.typeId() != QMetaType::Float;
}

} // namespace

namespace {

// A report reads the exact decimal texts of its rows many times over (sums of every group):
// plain digits with a point or comma are read straight, anything else the general way.
bool fastNumber(const QString &text, double *number)
{
    char digits[48];
    const qsizetype n = text.size();
    if (n == 0 || n >= qsizetype(sizeof digits))
        return false;
    for (qsizetype i = 0; i < n; ++i) {
        const char16_t c = text.at(i).unicode();
        if (c == u',')
            digits[i] = '.';
        else if ((c >= u'0' && c <= u'9') || c == u'.' || c == u'-')
            digits[i] = char(c);
        else
            return false;
    }
    const auto [end, error] = std::from_chars(digits, digits + n, *number);
    return error == std::errc() && end == digits + n;
}

} // namespace

bool toNumber(const QVariant &value, double *number)
{
    if (value.isNull() || !value.isValid())
        return false;
    bool ok = false;
    double result = 0;
    if (isNumericType(value)) {
        result = value.toDouble(&ok);
    } else if (value.typeId() == QMetaType::QString && fastNumber(value.toString(), &result)) {
        ok = true;
    } else if (value.typeId() == QMetaType::QString || value.typeId() == QMetaType::QByteArray) {
        QString text = value.toString().trimmed();
        text.replace(QLatin1Char(','), QLatin1Char('.'));
        if (!text.isEmpty())
            result = text.toDouble(&ok);
    }
    if (ok && !std::isfinite(result))
        ok = false;
    if (ok && number)
        *number = result;
    return ok;
}

QString plainNumber(double number)
{
    Decimal d = toDecimal(number);
    QString out = d.whole;
    if (!d.fraction.isEmpty())
        out += DecimalSeparator + d.fraction;
    if (d.negative && !isZero(d))
        out.prepend(QLatin1Char('-'));
    return out;
}

QString applyMask(double number, const QString &mask)
{
    return compose(toDecimal(number), parseMask(mask));
}

void checkMask(const QString &mask)
{
    parseMask(mask);
}

QString format(const QVariant &value, const QString &mask, bool asNumber)
{
    if (!value.isValid() || value.isNull())
        return QString();
    double number = 0;
    if (!mask.isEmpty()) {
        if (toNumber(value, &number))
            return applyMask(number, mask);
        return format(value);
    }
    if (isIntegerType(value)) {
        // Whole numbers beyond the 15 digits of a double keep every digit.
        if (value.typeId() == QMetaType::ULongLong || value.typeId() == QMetaType::ULong)
            return QString::number(value.toULongLong());
        return QString::number(value.toLongLong());
    }
    if (isNumericType(value))
        return plainNumber(value.toDouble());
    switch (value.typeId()) {
    case QMetaType::QDate:
        return value.toDate().toString(QStringLiteral("dd.MM.yyyy"));
    case QMetaType::QDateTime: {
        const QDateTime dt = value.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("dd.MM.yyyy"));
        return dt.toString(QStringLiteral("dd.MM.yyyy hh:mm:ss"));
    }
    default:
        break;
    }
    if (asNumber && toNumber(value, &number))
        return plainNumber(number);
    return value.toString();
}

} // namespace ReportFormat
