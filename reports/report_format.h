#pragma once

#include <QString>
#include <QVariant>

// How printed reports turn values into text. Reports are read on Russian workstations, so
// numbers always carry a decimal comma, whatever the locale of the machine that prints them;
// this keeps a printed report identical on every workstation.
namespace ReportFormat {

// The separator printed between the whole and the fractional part of a number.
inline constexpr QChar DecimalSeparator = QLatin1Char(',');

// Reads a number from an integer, a floating-point value or a text such as "12.50" or
// "12,5" (the database hands decimals over as text). Empty and null values are not numbers.
bool toNumber(const QVariant &value, double *number);

// The shortest decimal form of a number, up to 15 significant digits, no exponent,
// no trailing zeros: 12.5 -> "12,5", 150 -> "150", 0.1 + 0.2 -> "0,3".
QString plainNumber(double number);

// Applies a number mask such as "#0", "#0.00" or "#0.000": a '0' is a digit always printed,
// a '#' a digit printed only when needed, ',' before the point groups thousands with a blank.
// Rounds half away from zero on the decimal digits, so 2.675 with "#0.00" gives "2,68".
// Throws std::invalid_argument on a mask it does not understand.
QString applyMask(double number, const QString &mask);

// Checks a mask without formatting anything; throws std::invalid_argument when it is bad.
void checkMask(const QString &mask);

// The text of one printed value.
// - null values print nothing;
// - with a mask, anything that reads as a number is masked; other values print as they are;
// - without a mask, integers and floating-point values print in their plain form, texts as
//   they are, unless asNumber asks for texts that read as numbers to print as numbers too;
// - dates print day first (DD.MM.YYYY).
QString format(const QVariant &value, const QString &mask = QString(), bool asNumber = false);

} // namespace ReportFormat
