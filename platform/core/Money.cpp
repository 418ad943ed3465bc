#include "platform/core/Money.h"

#include "platform/core/Exceptions.h"

#include <charconv>
#include <cmath>
#include <limits>
#include <string>

namespace vorta {

namespace {

__extension__ typedef __int128 Wide;

constexpr std::int64_t kMax = std::numeric_limits<std::int64_t>::max();

[[noreturn]] void outOfRange()
{
    throw EConvertError(QStringLiteral("Amount out of range"));
}

std::int64_t narrow(Wide v)
{
    if (v > Wide(kMax) || v < -Wide(kMax))
        outOfRange();
    return std::int64_t(v);
}

// num / den rounded half away from zero; den > 0.
std::int64_t roundedQuotient(Wide num, Wide den)
{
    Wide q = num / den;
    Wide r = num % den;
    if (r < 0)
        r = -r;
    if (2 * r >= den)
        q += num < 0 ? -1 : 1;
    return narrow(q);
}

// Cents of (sign) digits × 10^shift, rounding away the places below a cent.
std::int64_t centsOfDigits(bool negative, std::string digits, int shift)
{
    const auto nonZero = digits.find_first_not_of('0');
    if (nonZero == std::string::npos)
        return 0;
    digits.erase(0, nonZero);
    const int length = int(digits.size());
    Wide value = 0;
    if (shift >= 0) {
        if (length + shift > 19)
            outOfRange();
        for (char c : digits)
            value = value * 10 + (c - '0');
        for (int i = 0; i < shift; ++i)
            value *= 10;
    } else {
        const int keep = length + shift;
        if (keep > 19)
            outOfRange();
        for (int i = 0; i < keep; ++i)
            value = value * 10 + (digits[size_t(i)] - '0');
        // The tail dropped is at least half a cent exactly when its first digit is 5 or more.
        if (keep >= 0 && digits[size_t(keep)] >= '5')
            value += 1;
    }
    return narrow(negative ? -value : value);
}

// Cents of the double's shortest round-trip text, read digit by digit.
std::int64_t centsOfShortestText(double value)
{
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value, std::chars_format::scientific);
    const std::string text(buffer, result.ptr);
    // Shortest round-trip form: [-]d[.ddd]e(+|-)xx
    size_t i = 0;
    const bool negative = text[0] == '-';
    if (negative)
        ++i;
    std::string digits;
    const auto e = text.find('e');
    for (; i < e; ++i)
        if (text[i] != '.')
            digits += text[i];
    const int exponent = std::stoi(text.substr(e + 1));
    return centsOfDigits(negative, digits, exponent - int(digits.size()) + 1 + 2);
}

} // namespace

Money Money::fromDouble(double value)
{
    if (!std::isfinite(value))
        throw EConvertError(QStringLiteral("Invalid amount"));
    // The shortest text and the double itself lie within one part in 2^52 of each other:
    // away from half a cent both round to the same cent, and the double is rounded
    // directly. Only near a half, or beyond the doubles that hold whole cents, is the
    // text needed.
    const double hundredths = std::fabs(value) * 100.0;
    if (hundredths < 0x1p52) {
        const double whole = std::floor(hundredths);
        const double fraction = hundredths - whole;
        if (std::fabs(fraction - 0.5) > hundredths * 0x1p-40) {
            const std::int64_t cents = std::int64_t(whole) + (fraction > 0.5 ? 1 : 0);
            return Money(value < 0 ? -cents : cents);
        }
    }
    return Money(centsOfShortestText(value));
}

Money Money::fromString(const QString& text)
{
    const QString t = text.trimmed();
    int i = 0;
    bool negative = false;
    if (i < t.size() && (t[i] == QLatin1Char('-') || t[i] == QLatin1Char('+'))) {
        negative = t[i] == QLatin1Char('-');
        ++i;
    }
    std::string digits;
    int places = 0;
    bool separator = false;
    for (; i < t.size(); ++i) {
        const QChar c = t[i];
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9')) {
            digits += char(c.unicode());
            if (separator)
                ++places;
        } else if ((c == QLatin1Char('.') || c == QLatin1Char(',')) && !separator) {
            separator = true;
        } else {
            digits.clear();
            break;
        }
    }
    if (digits.empty())
        throw EConvertError(QStringLiteral("'%1' is not a valid amount").arg(text));
    return Money(centsOfDigits(negative, digits, 2 - places));
}

QString Money::toString() const
{
    const Wide magnitude = m_cents < 0 ? -Wide(m_cents) : Wide(m_cents);
    const auto units = qulonglong(magnitude / 100);
    const int rest = int(magnitude % 100);
    return QStringLiteral("%1%2.%3")
        .arg(m_cents < 0 ? QStringLiteral("-") : QString())
        .arg(units)
        .arg(rest, 2, 10, QLatin1Char('0'));
}

Money Money::operator+(Money o) const
{
    return Money(narrow(Wide(m_cents) + o.m_cents));
}

Money Money::operator-(Money o) const
{
    return Money(narrow(Wide(m_cents) - o.m_cents));
}

Money Money::operator*(std::int64_t factor) const
{
    return Money(narrow(Wide(m_cents) * factor));
}

Money Money::times(Money factor) const
{
    return Money(roundedQuotient(Wide(m_cents) * factor.m_cents, 100));
}

Money Money::percent(Money percent) const
{
    return Money(roundedQuotient(Wide(m_cents) * percent.m_cents, 10000));
}

Money Money::dividedBy(std::int64_t divisor) const
{
    if (divisor == 0)
        throw EConvertError(QStringLiteral("Division by zero"));
    Wide num = m_cents;
    Wide den = divisor;
    if (den < 0) {
        num = -num;
        den = -den;
    }
    return Money(roundedQuotient(num, den));
}

} // namespace vorta
