#include "platform/core/TextNumbers.h"

#include "platform/core/DecimalDigits.h"

#include "platform/core/Exceptions.h"

#include <cmath>

namespace vorta {

namespace {

bool isTrimmed(QChar c)
{
    return c.unicode() <= 32;
}

bool isAsciiDigit(QChar c)
{
    return c.unicode() >= '0' && c.unicode() <= '9';
}

// A parsed number text: value = 0.digits * 10^point.
using DecimalText = DecimalDigits;

std::optional<DecimalText> parseNumber(const QString& text)
{
    const QString t = Trim(text);
    qsizetype i = 0;
    DecimalText d;
    if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
        d.negative = t.at(i) == QLatin1Char('-');
        ++i;
    }
    QString mantissa;
    int integerDigits = 0;
    bool seenComma = false;
    for (; i < t.size(); ++i) {
        const QChar c = t.at(i);
        if (isAsciiDigit(c)) {
            mantissa += c;
            if (!seenComma)
                ++integerDigits;
        } else if (c == QLatin1Char(',') && !seenComma) {
            seenComma = true;
        } else {
            break;
        }
    }
    if (mantissa.isEmpty())
        return std::nullopt;
    int exponent = 0;
    if (i < t.size() && (t.at(i) == QLatin1Char('e') || t.at(i) == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < t.size() && (t.at(i) == QLatin1Char('-') || t.at(i) == QLatin1Char('+'))) {
            negativeExponent = t.at(i) == QLatin1Char('-');
            ++i;
        }
        const qsizetype start = i;
        while (i < t.size() && isAsciiDigit(t.at(i))) {
            if (exponent < 100000)
                exponent = exponent * 10 + (t.at(i).unicode() - '0');
            ++i;
        }
        // Beyond the library's extended range nothing is a number.
        if (i == start || exponent > 4951)
            return std::nullopt;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i != t.size())
        return std::nullopt;
    d.point = integerDigits + exponent;
    qsizetype lead = 0;
    while (lead < mantissa.size() && mantissa.at(lead) == QLatin1Char('0')) {
        ++lead;
        --d.point;
    }
    d.digits = mantissa.mid(lead);
    while (d.digits.endsWith(QLatin1Char('0')))
        d.digits.chop(1);
    if (d.digits.isEmpty())
        d.point = 0;
    return d;
}


} // namespace

QString TrimLeft(const QString& text)
{
    qsizetype i = 0;
    while (i < text.size() && isTrimmed(text.at(i)))
        ++i;
    return text.mid(i);
}

QString TrimRight(const QString& text)
{
    qsizetype n = text.size();
    while (n > 0 && isTrimmed(text.at(n - 1)))
        --n;
    return text.left(n);
}

QString Trim(const QString& text)
{
    return TrimLeft(TrimRight(text));
}

std::optional<double> tryStrToFloat(const QString& text)
{
    const auto d = parseNumber(text);
    if (!d)
        return std::nullopt;
    if (d->digits.isEmpty())
        return d->negative ? -0.0 : 0.0;
    // The C library reads the canonical form exactly rounded, whatever the locale's
    // separators, since it carries no decimal point.
    const QByteArray canonical = QStringLiteral("%1%2e%3")
                                     .arg(d->negative ? QStringLiteral("-") : QString(), d->digits)
                                     .arg(d->point - d->digits.size())
                                     .toLatin1();
    const double value = std::strtod(canonical.constData(), nullptr);
    if (!std::isfinite(value))
        return std::nullopt;
    return value;
}

int Val(const QString& text, double& value)
{
    value = 0;
    const qsizetype n = text.size();
    qsizetype i = 0;
    while (i < n && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    QString mantissa;
    int integerDigits = 0;
    bool seenPoint = false;
    for (; i < n; ++i) {
        const QChar c = text.at(i);
        if (isAsciiDigit(c)) {
            mantissa += c;
            if (!seenPoint)
                ++integerDigits;
        } else if (c == QLatin1Char('.') && !seenPoint) {
            seenPoint = true;
        } else {
            break;
        }
    }
    if (mantissa.isEmpty())
        return int(i) + 1;
    int exponent = 0;
    if (i < n && (text.at(i) == QLatin1Char('e') || text.at(i) == QLatin1Char('E'))) {
        ++i;
        bool negativeExponent = false;
        if (i < n && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
            negativeExponent = text.at(i) == QLatin1Char('-');
            ++i;
        }
        const qsizetype start = i;
        while (i < n && isAsciiDigit(text.at(i))) {
            if (exponent < 100000)
                exponent = exponent * 10 + (text.at(i).unicode() - '0');
            ++i;
        }
        if (i == start)
            return int(i) + 1;
        if (negativeExponent)
            exponent = -exponent;
    }
    if (i < n)
        return int(i) + 1;
    const QByteArray canonical =
        QStringLiteral("%1%2e%3").arg(negative ? QStringLiteral("-") : QString(), mantissa)
            .arg(qint64(integerDigits) + exponent - mantissa.size())
            .toLatin1();
    const double v = std::strtod(canonical.constData(), nullptr);
    if (!std::isfinite(v))
        return int(n);
    value = v;
    return 0;
}

double StrToFloat(const QString& text)
{
    if (const auto v = tryStrToFloat(text))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(text));
}

std::optional<QString> tryFixedText(const QString& numberText, int decimals)
{
    auto parsed = parseNumber(numberText);
    if (!parsed)
        return std::nullopt;
    DecimalText d = *parsed;
    if (decimals < 0)
        decimals = 0;
    roundDigits(d, d.point + decimals);
    QString integerPart;
    for (int i = 0; i < d.point; ++i)
        integerPart += digitAt(d, i);
    if (integerPart.isEmpty())
        integerPart = QStringLiteral("0");
    QString out = (d.negative && !d.digits.isEmpty()) ? QStringLiteral("-") + integerPart : integerPart;
    if (decimals > 0) {
        out += QLatin1Char('.');
        for (int i = 0; i < decimals; ++i)
            out += digitAt(d, d.point + i);
    }
    return out;
}

} // namespace vorta
