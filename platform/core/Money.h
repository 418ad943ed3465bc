#pragma once

#include <QString>

#include <compare>
#include <cstdint>

namespace vorta {

// An amount held at two decimal places, as integer cents. Every operation that yields
// more places rounds back to cents half away from zero, computed exactly in decimal;
// binary floating point enters only at the edges (fromDouble, toDouble).
class Money {
public:
    constexpr Money() = default;

    static constexpr Money fromCents(std::int64_t cents) { return Money(cents); }
    static constexpr Money fromUnits(std::int64_t units) { return Money(units * 100); }
    // The value that the double's shortest decimal text denotes, rounded to cents: 0.125
    // gives 0.13, 2.675 (held as 2.67499999...) gives 2.68 as its text says.
    // Raises EConvertError for infinities, NaN and values beyond the cents range.
    static Money fromDouble(double value);
    // Decimal text with "." or "," as the separator, without thousands separators,
    // optional sign; more places round. Raises EConvertError for anything else.
    static Money fromString(const QString& text);

    constexpr std::int64_t cents() const { return m_cents; }
    // The nearest double, as it is stored in a float column.
    double toDouble() const { return double(m_cents) / 100.0; }
    // "-1234.56": always two places, "." as the separator.
    QString toString() const;
    constexpr bool isZero() const { return m_cents == 0; }

    constexpr Money operator-() const { return Money(-m_cents); }
    Money operator+(Money o) const;
    Money operator-(Money o) const;
    Money& operator+=(Money o) { return *this = *this + o; }
    Money& operator-=(Money o) { return *this = *this - o; }
    Money operator*(std::int64_t factor) const;

    // this × factor, rounded to cents.
    Money times(Money factor) const;
    // this × percent / 100, rounded to cents.
    Money percent(Money percent) const;
    // this / divisor, rounded to cents; raises EConvertError for a divisor of 0.
    Money dividedBy(std::int64_t divisor) const;

    constexpr bool operator==(const Money&) const = default;
    constexpr auto operator<=>(const Money&) const = default;

private:
    explicit constexpr Money(std::int64_t cents) : m_cents(cents) {}
    std::int64_t m_cents = 0;
};

constexpr Money min(Money a, Money b) { return b < a ? b : a; }

} // namespace vorta
