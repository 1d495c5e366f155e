#pragma once

#include <QString>
#include <stdexcept>

// A value typed by the user that its column cannot hold. Its text names the field, in Russian, and
// is shown as the command's error; nothing has been sent when it is thrown.
class InputError : public std::runtime_error {
public:
    explicit InputError(const QString &text) : std::runtime_error(text.toStdString()) {}
    QString text() const { return QString::fromUtf8(what()); }
};

// The ranges of the columns typed numbers go into.
namespace ColumnRange {
constexpr qint64 IntMax = 2147483647;       // int columns (quantities, hours, colour codes)
constexpr qint64 SmallMax = 32767;          // smallint columns (timesheet day cells)
} // namespace ColumnRange

// The whole number typed into `field` (its caption, "Кол-во"), checked to lie in min..max before
// anything is sent. Blanks around it are ignored. Throws InputError when the text is not a whole
// number or out of range.
qint64 wholeNumber(const QString &text, const QString &field, qint64 min = 0, qint64 max = ColumnRange::IntMax);

// A decimal typed into `field`, with a point or a comma, as a statement writes it: an optional
// minus, digits, at most one point and then digits; at most `integerDigits` digits before the
// point and `fractionDigits` after it (the column's precision). Throws InputError otherwise.
QString decimalNumber(const QString &text, const QString &field, int integerDigits, int fractionDigits);
