#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QVariant>

#include <initializer_list>
#include <stdexcept>
#include <utility>

// Statements are sent as text with their values written in as literals. A statement is written
// once, as one text with a mark {name} where each value goes, so that it reads like the statement
// the plant's other software knows; sqlStatement() puts the values in. Only typed values go in:
// whole numbers as plain digits, dates day first (DD.MM.YYYY, the server's date order), decimals
// with a point, and texts as complete quoted literals. No text typed by a user is ever pasted into
// a statement in any other way.
class SqlValue {
public:
    SqlValue(int value) : m_sql(QString::number(value)) {}
    SqlValue(qint64 value) : m_sql(QString::number(value)) {}
    // Day first, DD.MM.YYYY: digits and points only, written between the statement's own quotes
    // (to_date('{date}', 'DD.MM.YYYY')) or compared as a quoted day-first text.
    SqlValue(const QDate &date);

    // A text as a complete literal: 'O''Brien'. The connection runs with standard conforming
    // strings, so a backslash is an ordinary character inside it.
    static SqlValue text(const QString &value);
    // A decimal number written with a point; `value` must already be one (an optional minus,
    // digits, at most one point followed by digits). Throws std::invalid_argument otherwise.
    static SqlValue decimal(const QString &value);
    // A floating-point number in its shortest form with a point: 12.5, 30, 0.0001.
    static SqlValue number(double value);
    // No value: SQL null.
    static SqlValue null();

    const QString &sql() const { return m_sql; }

private:
    explicit SqlValue(QString sql, int) : m_sql(std::move(sql)) {}
    QString m_sql;
};

// A mark of the statement text paired with its value.
using SqlArg = std::pair<const char *, SqlValue>;

// Puts each value at its marks {name}. Every mark of the text must have a value and every value
// a mark: a statement is never sent with a mark left in it (std::logic_error).
QString sqlStatement(const QString &text, std::initializer_list<SqlArg> values = {});

// The literal of a text, for the few places that build a value list themselves.
QString sqlLiteral(const QString &value);

// Dates in statements are written day first, DD.MM.YYYY.
QString sqlDate(const QDate &date);

// A query's statement with its named parameters (:name) written in as literals, so that it goes
// to the server as it stands, in one round trip, like every other statement: a date day first
// and quoted, a whole number as digits, a floating-point number as SqlValue::number writes it, a
// text as a complete literal, no value (or a mark without a parameter) as null. Marks are looked
// for only outside quoted texts and names, and a cast (::type) is not one. Names are matched
// whatever their case.
QString sqlWithParams(const QString &sql, const QHash<QString, QVariant> &params);
