#include "db/data_rows.h"

#include <QDateTime>

#include <limits>

namespace {

constexpr qint64 MsPerDay = 86400000;
constexpr qint64 NoDate = std::numeric_limits<qint64>::min();
// Marks of a decimal kept aside (null, or a text that is not a plain number) among the digits.
constexpr qint32 SmallMark = std::numeric_limits<qint32>::min();
constexpr qint64 SmallLimit = std::numeric_limits<qint32>::max();
constexpr qint64 WideMark = std::numeric_limits<qint64>::min();
// A decimal column's count of decimals: none seen yet (every value so far null), or one per value.
constexpr int NoScaleYet = -1;
constexpr int ScalePerValue = -2;

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
        case Kind::DecimalText: c.small.reserve(size_t(rows)); break;
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
    case Kind::DecimalText: appendSpecialDecimal(c, -1); break;
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
    QString copy = text.toString();
    if (c.indexed) {
        const auto it = c.known.constFind(copy);
        if (it != c.known.cend()) {
            c.texts.push_back(*it);
            return;
        }
        // A column of mostly different texts (remarks) is not worth the index.
        if (c.distinct.size() > 4096 && c.distinct.size() * 2 > qsizetype(c.texts.size())) {
            c.indexed = false;
            c.known = {};
        } else {
            c.known.insert(copy, quint32(c.distinct.size()));
        }
    }
    c.texts.push_back(quint32(c.distinct.size()));
    c.distinct.append(std::move(copy));
}

void DataRows::appendLatin1(int column, QLatin1String text)
{
    Column &c = m_columns[column];
    qint64 number = 0;
    quint8 scale = 0;
    if (plainDecimal(text, number, scale)) {
        appendDecimal(c, number, scale);
        return;
    }
    appendSpecialDecimal(c, int(c.distinct.size()));
    c.distinct.append(QString(text));
}

void DataRows::appendDecimal(Column &c, qint64 digits, int scale)
{
    const size_t count = c.wide ? c.numbers.size() : c.small.size();
    if (c.commonScale == NoScaleYet)
        c.commonScale = scale;
    if (c.commonScale >= 0 && scale != c.commonScale) {
        c.scales.reserve(c.small.capacity() > count ? c.small.capacity() : count + 1);
        c.scales.assign(count, quint8(c.commonScale));
        c.commonScale = ScalePerValue;
    }
    if (c.commonScale == ScalePerValue)
        c.scales.push_back(quint8(scale));
    if (!c.wide && (digits > SmallLimit || digits <= -SmallLimit)) {
        std::vector<qint64> numbers;
        numbers.reserve(c.small.capacity() > count ? c.small.capacity() : count + 1);
        for (qint32 v : c.small)
            numbers.push_back(v == SmallMark ? WideMark : v);
        std::vector<qint32>().swap(c.small);
        c.numbers = std::move(numbers);
        c.wide = true;
    }
    if (c.wide)
        c.numbers.push_back(digits);
    else
        c.small.push_back(qint32(digits));
}

void DataRows::appendSpecialDecimal(Column &c, int text)
{
    c.special.insert(m_rows, text);
    if (c.wide)
        c.numbers.push_back(WideMark);
    else
        c.small.push_back(SmallMark);
    if (c.commonScale == ScalePerValue)
        c.scales.push_back(0);
}

bool DataRows::decimalAt(const Column &c, int row, qint64 &digits, int &scale)
{
    digits = c.wide ? c.numbers[size_t(row)] : c.small[size_t(row)];
    if (c.wide ? digits == WideMark : digits == SmallMark)
        return false;
    scale = c.commonScale >= 0 ? c.commonScale : c.scales[size_t(row)];
    return true;
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

bool DataRows::exactDouble(int row, int column, double &number) const
{
    // Both operands exact (below 2^53, a power of ten up to 1e22), so the one division rounds
    // correctly, as reading the text does.
    static constexpr double Powers[] = {1e0, 1e1, 1e2, 1e3, 1e4, 1e5, 1e6, 1e7, 1e8, 1e9, 1e10, 1e11,
                                        1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18};
    const Column &c = m_columns.at(column);
    if (c.kind != Kind::DecimalText)
        return false;
    qint64 v = 0;
    int scale = 0;
    if (!decimalAt(c, row, v, scale) || v > (qint64(1) << 53) || v < -(qint64(1) << 53))
        return false;
    number = double(v) / Powers[scale];
    return true;
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
        qint64 digits = 0;
        int scale = 0;
        if (decimalAt(c, row, digits, scale))
            return decimalText(digits, scale);
        const int text = c.special.value(row, -1);
        return text < 0 ? QVariant() : QVariant(c.distinct.at(text));
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
