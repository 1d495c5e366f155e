#pragma once

#include <QHash>
#include <QList>
#include <QMetaType>
#include <QString>
#include <QVariant>

#include <vector>

// The rows of a query result, held column by column in their own types: whole numbers, dates and
// times as plain numbers, exact decimal texts as a whole number and the count of its decimals,
// texts as a number into the column's distinct texts (a name, product or operation repeated over
// a long result is held once). A value becomes a QVariant only when it is read, the same QVariant the Qt
// driver would give. A long report's result is held in a fraction of what one QVariant per
// value would take, at the moment the driver still holds the whole result as well.
class DataRows {
public:
    // How a column's values are kept.
    enum class Kind { Text, DecimalText, Integer, UnsignedInteger, Date, Time, DateTime, Variant };

    void addColumn(Kind kind, const QMetaType &type);
    int columnCount() const { return int(m_columns.size()); }
    int rowCount() const { return m_rows; }
    void reserve(qsizetype rows);

    // Values of the row being appended, one per column in order, then endRow().
    void appendNull(int column);
    void appendText(int column, QStringView text);
    void appendLatin1(int column, QLatin1String text);   // a decimal column's exact text
    void appendInteger(int column, qint64 value);
    void appendUnsigned(int column, quint64 value);
    void appendDate(int column, const QDate &date);
    void appendTime(int column, const QTime &time);
    void appendDateTime(int column, const QDate &date, const QTime &time);
    void appendVariant(int column, const QVariant &value);
    void endRow() { ++m_rows; }

    QVariant value(int row, int column) const;
    // A decimal column's value as the nearest double, as reading its text would give; false when
    // it is null or not held as a plain number small enough for that (then read its text).
    bool exactDouble(int row, int column, double &number) const;

private:
    struct Column {
        Kind kind = Kind::Variant;
        QMetaType type;
        std::vector<qint64> numbers;   // Integer, Date (Julian day), Time, DateTime (ms), wide Decimal
        // Decimals: the digits as a whole number, in 32 bits until one needs more; the count of
        // decimals once for the column until one differs, then per value. Null and texts that are
        // not plain numbers are marked in the digits and kept aside.
        std::vector<qint32> small;
        bool wide = false;
        int commonScale = -1;
        std::vector<quint8> scales;
        QHash<int, int> special;       // row -> position in distinct, -1 for null
        std::vector<quint32> texts;    // Text: position in distinct
        std::vector<bool> nulls;
        QList<QString> distinct;       // Text and decimals that are not plain numbers
        QHash<QString, quint32> known; // Text: position of each distinct text, while it pays
        bool indexed = true;
        QList<QVariant> variants;
    };
    static constexpr quint32 NullText = 0xffffffffu;
    static void appendDecimal(Column &c, qint64 digits, int scale);
    void appendSpecialDecimal(Column &c, int text);
    static bool decimalAt(const Column &c, int row, qint64 &digits, int &scale);

    QList<Column> m_columns;
    int m_rows = 0;
};
