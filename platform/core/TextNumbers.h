#pragma once

#include <QString>

#include <optional>

namespace vorta {

// The class library's Trim family: characters up to and including the blank (all
// control characters) go from the ends.
QString Trim(const QString& text);
QString TrimLeft(const QString& text);
QString TrimRight(const QString& text);

// The class library's text-to-float conversion with the Brazilian decimal comma:
// blanks around the number, an optional sign, digits with at most one ',' and an
// optional exponent ("1,5E3"). No thousands separators.
std::optional<double> tryStrToFloat(const QString& text);
// Raises EConvertError "'<text>' is not a valid floating point value".
double StrToFloat(const QString& text);

// The language's Val for real numbers: leading blanks, an optional sign, digits with
// at most one '.', an optional exponent ("1.5E3"), nothing after. Returns 0 and sets
// value on success, else the 1-based position of the first character that does not
// fit (value is then 0).
int Val(const QString& text, double& value);

// A number text in the same syntax written in fixed notation with the given
// decimals ('.' as decimal point, as the library's Str writes it), rounded half
// away from zero on its decimal digits, so no digit of a long number is lost.
// Empty when the text is not a number.
std::optional<QString> tryFixedText(const QString& numberText, int decimals);

} // namespace vorta
