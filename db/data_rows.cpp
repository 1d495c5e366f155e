#include "db/data_rows.h"

#include <QDateTime>

#include <limits>

namespace {

constexpr qint64 MsPerDay = 86400000;
constexpr qint64 NoDate = std::numeric_limits<qint64>::min();

// A decimal text in the plain form the server writes ("-12.50", "0.05", "300"): its digits as a
// whole number and how many of them follow the point. False for anything whose text that pair
// would not give back exactly (exponents, a sign on zero, leading zeros, more than 18 digits).
bool plainDecimal(QLatin1String text, qint64 &number, quint8 &scale)
{
    qsizetype i = 0;
    const qsizetype n = text.size();
    const bool negative = n > 0 && text[0] == QLatin1Char('-');
    if (negative)
        ++i;
    const qsizetype intStart = i;
    qint64 digits = 0;
    int count = 0;
    while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
        digits = digits * 10 + (text[i].toLatin1() - '0');
        ++i;
        ++count;
    }
    const qsizetype intLength = i - intStart;
    if (intLength == 0 || (intLength > 1 && text[intStart] == QLatin1Char('0')))
        return false;
    int decimals = 0;
    if (i < n && text[i] == QLatin1Char('.')) {
        ++i;
        while (i < n && text[i] >= QLatin1Char('0') && text[i] <= QLatin1Char('9')) {
            digits = digits * 10 + (text[i].toLatin1() - '0');
            ++i;
            ++count;
            ++decimals;
        }
        if (decimals == 0)
            return false;
    }
    if (i != n || count > 18 || (negative && digits == 0))
        return false;
    number = negative ? -digits : digits;
    scale = quint8(decimals);
    return true;
}

QString decimalText(qint64 number, int scale)
{
    const bool negative = number < 0;
    QString digits = QString::number(negative ? -number : number);
    if (digits.size() <= scale)
        digits.prepend(QString(scale + 1 - digits.size(), QLatin1Char('0')));
    if (scale > 0)
        digits.insert(digits.size() - scale, QLatin1Char('.'));
    if (negative)
        digits.prepend(QLatin1Char('-'));
    return digits;
}

} // namespace

void DataRows::addColumn(Kind kind, const QMetaType &type)
{
    Column c;
    c.kind = kind;
    c.type = type;
    m_columns.append(std::move(c));
}

void DataRows::reserve(qsizetype rows)
{
    for (Column &c : m_columns) {
        switch (c.kind) {
        case Kind::Text: c.texts.reserve(size_t(rows)); break;
        case Kind::DecimalText: c.numbers.reserve(size_t(rows)); c.scales.reserve(size_t(rows)); break;
        case Kind::Variant: c.variants.reserve(rows); break;
        default: c.numbers.reserve(size_t(rows)); c.nulls.reserve(size_t(rows)); break;
        }
    }
}

void DataRows::appendNull(int column)
{
    Column &c = m_columns[column];
    switch (c.kind) {
    case Kind::Text: c.texts.push_back(NullText); break;
    case Kind::DecimalText: c.numbers.push_back(-1); c.scales.push_back(NoScale); break;
    case Kind::Variant: c.variants.append(QVariant()); break;
    default: c.numbers.push_back(0); c.nulls.push_back(true); break;
    }
}

void DataRows::appendText(int column, QStringView text)
{
    Column &c = m_columns[column];
    if (!c.texts.empty() && c.texts.back() != NullText && c.distinct.at(c.texts.back()) == text) {
        c.texts.push_back(c.texts.back());
        return;
    }
    c.texts.push_back(quint32(c.distinct.size()));
    c.distinct.append(text.toString());
}

void DataRows::appendLatin1(int column, QLatin1String text)
{
    Column &c = m_columns[column];
    qint64 number = 0;
    quint8 scale = 0;
    if (plainDecimal(text, number, scale)) {
        c.numbers.push_back(number);
        c.scales.push_back(scale);
        return;
    }
    c.numbers.push_back(c.distinct.size());
    c.scales.push_back(NoScale);
    c.distinct.append(QString(text));
}

void DataRows::appendInteger(int column, qint64 value)
{
    Column &c = m_columns[column];
    c.numbers.push_back(value);
    c.nulls.push_back(false);
}

void DataRows::appendUnsigned(int column, quint64 value)
{
    appendInteger(column, qint64(value));   // the same bits, read back as unsigned
}

void DataRows::appendDate(int column, const QDate &date)
{
    appendInteger(column, date.isValid() ? date.toJulianDay() : NoDate);
}

void DataRows::appendTime(int column, const QTime &time)
{
    appendInteger(column, time.isValid() ? time.msecsSinceStartOfDay() : -1);
}

void DataRows::appendDateTime(int column, const QDate &date, const QTime &time)
{
    appendInteger(column, date.isValid() && time.isValid() ? date.toJulianDay() * MsPerDay + time.msecsSinceStartOfDay()
                                                           : NoDate);
}

void DataRows::appendVariant(int column, const QVariant &value)
{
    m_columns[column].variants.append(value);
}

QVariant DataRows::value(int row, int column) const
{
    const Column &c = m_columns.at(column);
    switch (c.kind) {
    case Kind::Text: {
        const quint32 t = c.texts[size_t(row)];
        return t == NullText ? QVariant() : QVariant(c.distinct.at(t));
    }
    case Kind::DecimalText: {
        const quint8 scale = c.scales[size_t(row)];
        const qint64 number = c.numbers[size_t(row)];
        if (scale != NoScale)
            return decimalText(number, scale);
        return number < 0 ? QVariant() : QVariant(c.distinct.at(number));
    }
    case Kind::Variant:
        return c.variants.at(row);
    default:
        break;
    }
    if (c.nulls[size_t(row)]) {
        // The Qt driver gives a null small number as a null int (unsigned: uint).
        if (c.type.id() == QMetaType::Short)
            return QVariant(QMetaType::fromType<int>());
        if (c.type.id() == QMetaType::UShort)
            return QVariant(QMetaType::fromType<uint>());
        return QVariant(c.type);
    }
    const qint64 v = c.numbers[size_t(row)];
    switch (c.type.id()) {
    case QMetaType::Short: return QVariant(short(v));
    case QMetaType::UShort: return QVariant(ushort(v));
    case QMetaType::Int: return QVariant(int(v));
    case QMetaType::UInt: return QVariant(uint(v));
    case QMetaType::LongLong: return QVariant(qlonglong(v));
    case QMetaType::ULongLong: return QVariant(qulonglong(v));
    case QMetaType::QDate: return QVariant(v == NoDate ? QDate() : QDate::fromJulianDay(v));
    case QMetaType::QTime: return QVariant(v < 0 ? QTime() : QTime::fromMSecsSinceStartOfDay(int(v)));
    case QMetaType::QDateTime: {
        if (v == NoDate)
            return QVariant(QDateTime());
        const qint64 day = v >= 0 ? v / MsPerDay : (v - MsPerDay + 1) / MsPerDay;
        return QVariant(QDateTime(QDate::fromJulianDay(day), QTime::fromMSecsSinceStartOfDay(int(v - day * MsPerDay))));
    }
    default: return QVariant(c.type);
    }
}
