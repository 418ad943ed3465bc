#include "platform/core/Format.h"

#include "platform/core/DecimalDigits.h"

#include "platform/core/Exceptions.h"

#include <QLocale>

#include <cmath>
#include <cstdint>
#include <optional>

namespace vorta {

namespace {

const QChar kDecimal = QLatin1Char(',');
const QChar kThousands = QLatin1Char('.');
const QString kCurrency = QStringLiteral("R$");
constexpr int kMaxPrecision = 18;

[[noreturn]] void raiseInvalid(const QString& format)
{
    throw EConvertError(QStringLiteral("Format '%1' invalid or incompatible with argument").arg(format.left(31)));
}

[[noreturn]] void raiseMissing(const QString& format)
{
    throw EConvertError(QStringLiteral("No argument for format '%1'").arg(format.left(31)));
}

struct Integer {
    std::int64_t value = 0;
    bool wide = false; // 64-bit, so x and u do not cut it to 32 bits
};

std::optional<Integer> asInteger(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::Int:
    case QMetaType::Short:
    case QMetaType::UShort:
    case QMetaType::SChar:
    case QMetaType::UChar:
    case QMetaType::Long:
        return Integer{v.toLongLong(), v.typeId() == QMetaType::Long && sizeof(long) == 8};
    case QMetaType::UInt:
        return Integer{static_cast<std::int64_t>(v.toUInt()), false};
    case QMetaType::LongLong:
        return Integer{v.toLongLong(), true};
    case QMetaType::ULong:
    case QMetaType::ULongLong:
        return Integer{static_cast<std::int64_t>(v.toULongLong()), true};
    default:
        return std::nullopt;
    }
}

std::optional<double> asFloat(const QVariant& v)
{
    if (v.typeId() == QMetaType::Double || v.typeId() == QMetaType::Float)
        return v.toDouble();
    return std::nullopt;
}

std::optional<QString> asText(const QVariant& v)
{
    switch (v.typeId()) {
    case QMetaType::QString:
        return v.toString();
    case QMetaType::QByteArray:
        return QString::fromUtf8(v.toByteArray());
    case QMetaType::QChar:
        return QString(v.toChar());
    case QMetaType::Char:
        return QString(QLatin1Char(static_cast<char>(v.value<char>())));
    default:
        return std::nullopt;
    }
}

// A finite double as decimal digits: value = 0.d1d2d3... * 10^point, taken from the
// shortest text that reads back as the same double, so 1.005 rounds as people expect.
using Decimal = DecimalDigits;

Decimal toDecimal(double value)
{
    Decimal d;
    d.negative = std::signbit(value);
    if (value == 0)
        return d;
    const QString text = QString::number(std::fabs(value), 'e', QLocale::FloatingPointShortest);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    QString mantissa = text.left(e);
    mantissa.remove(QLatin1Char('.'));
    d.digits = mantissa;
    d.point = text.mid(e + 1).toInt() + 1;
    while (d.digits.endsWith(QLatin1Char('0')))
        d.digits.chop(1);
    return d;
}

QString groupThousands(const QString& integerPart)
{
    QString out;
    const qsizetype n = integerPart.size();
    for (qsizetype i = 0; i < n; ++i) {
        if (i > 0 && (n - i) % 3 == 0)
            out += kThousands;
        out += integerPart.at(i);
    }
    return out;
}

// Unsigned fixed-point text with `decimals` places.
QString fixedDigits(Decimal d, int decimals, bool thousands, bool& isZero)
{
    roundDigits(d, d.point + decimals);
    isZero = d.digits.isEmpty();
    QString integerPart;
    for (int i = 0; i < d.point; ++i)
        integerPart += digitAt(d, i);
    if (integerPart.isEmpty())
        integerPart = QStringLiteral("0");
    if (thousands)
        integerPart = groupThousands(integerPart);
    if (decimals == 0)
        return integerPart;
    QString fraction;
    for (int i = 0; i < decimals; ++i)
        fraction += digitAt(d, d.point + i);
    return integerPart + kDecimal + fraction;
}

QString exponentText(int exponent)
{
    return (exponent < 0 ? QStringLiteral("E-") : QStringLiteral("E+"))
           + QString::number(std::abs(exponent)).rightJustified(3, QLatin1Char('0'));
}

QString specialValue(double value)
{
    if (std::isnan(value))
        return QStringLiteral("NAN");
    return value < 0 ? QStringLiteral("-INF") : QStringLiteral("INF");
}

QString formatFloat(QChar type, double value, int precision)
{
    if (!std::isfinite(value))
        return specialValue(value);
    const Decimal d = toDecimal(value);
    switch (type.unicode()) {
    case 'f':
    case 'n': {
        bool zero = false;
        const QString body = fixedDigits(d, precision < 0 ? 2 : std::min(precision, kMaxPrecision), type == QLatin1Char('n'), zero);
        return (d.negative && !zero ? QStringLiteral("-") : QString()) + body;
    }
    case 'm': {
        bool zero = false;
        const QString body = fixedDigits(d, precision < 0 ? 2 : std::min(precision, kMaxPrecision), true, zero);
        return (d.negative && !zero ? QStringLiteral("-") : QString()) + kCurrency + QLatin1Char(' ') + body;
    }
    case 'e': {
        const int digits = std::clamp(precision < 0 ? 15 : precision, 1, kMaxPrecision);
        Decimal r = d;
        roundDigits(r, digits);
        QString mantissa = digitAt(r, 0);
        if (digits > 1) {
            mantissa += kDecimal;
            for (int i = 1; i < digits; ++i)
                mantissa += digitAt(r, i);
        }
        const int exponent = r.digits.isEmpty() ? 0 : r.point - 1;
        return (d.negative && !r.digits.isEmpty() ? QStringLiteral("-") : QString()) + mantissa + exponentText(exponent);
    }
    default: { // 'g': fixed while it fits the precision, else scientific; no trailing zeros
        const int digits = std::clamp(precision < 0 ? 15 : precision, 1, kMaxPrecision);
        Decimal r = d;
        roundDigits(r, digits);
        if (r.digits.isEmpty())
            return QStringLiteral("0");
        const QString sign = d.negative ? QStringLiteral("-") : QString();
        if (r.point > digits || std::fabs(value) < 0.00001) {
            QString mantissa = r.digits.left(1);
            if (r.digits.size() > 1)
                mantissa += kDecimal + r.digits.mid(1);
            return sign + mantissa + exponentText(r.point - 1);
        }
        QString integerPart;
        for (int i = 0; i < r.point; ++i)
            integerPart += digitAt(r, i);
        if (integerPart.isEmpty())
            integerPart = QStringLiteral("0");
        QString fraction;
        for (int i = std::max(r.point, 0); i < r.digits.size(); ++i)
            fraction += r.digits.at(i);
        if (r.point < 0)
            fraction.prepend(QString(-r.point, QLatin1Char('0')));
        return sign + integerPart + (fraction.isEmpty() ? QString() : kDecimal + fraction);
    }
    }
}

QString formatInteger(QChar type, const Integer& n, int precision)
{
    QString body;
    bool negative = false;
    if (type == QLatin1Char('d')) {
        negative = n.value < 0;
        // Negating via unsigned keeps the lowest 64-bit value intact.
        const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(n.value) : static_cast<std::uint64_t>(n.value);
        body = QString::number(magnitude);
    } else {
        const std::uint64_t bits = n.wide ? static_cast<std::uint64_t>(n.value)
                                          : static_cast<std::uint64_t>(static_cast<std::uint32_t>(n.value));
        body = type == QLatin1Char('x') ? QString::number(bits, 16).toUpper() : QString::number(bits);
    }
    if (precision > body.size())
        body = body.rightJustified(precision, QLatin1Char('0'));
    return negative ? QLatin1Char('-') + body : body;
}

} // namespace

QString Format(const QString& format, const QVariantList& args)
{
    QString out;
    out.reserve(format.size());
    qsizetype argIndex = 0;
    const qsizetype n = format.size();

    auto nextArg = [&]() -> const QVariant& {
        if (argIndex < 0 || argIndex >= args.size())
            raiseMissing(format);
        return args.at(argIndex++);
    };
    auto starValue = [&]() -> int {
        const auto v = asInteger(nextArg());
        if (!v)
            raiseInvalid(format);
        return static_cast<int>(v->value);
    };

    qsizetype i = 0;
    while (i < n) {
        const QChar c = format.at(i);
        if (c != QLatin1Char('%')) {
            out += c;
            ++i;
            continue;
        }
        ++i;
        if (i < n && format.at(i) == QLatin1Char('%')) {
            out += QLatin1Char('%');
            ++i;
            continue;
        }
        // Reads digits or "*"; nothing read gives no value.
        auto readNumber = [&]() -> std::optional<int> {
            if (i < n && format.at(i) == QLatin1Char('*')) {
                ++i;
                return starValue();
            }
            if (i >= n || !format.at(i).isDigit())
                return std::nullopt;
            int value = 0;
            while (i < n && format.at(i).isDigit() && format.at(i).unicode() < 128) {
                value = std::min(value * 10 + (format.at(i).unicode() - '0'), 1 << 20);
                ++i;
            }
            return value;
        };

        bool leftAlign = false;
        std::optional<int> width;
        int precision = -1;

        std::optional<int> first;
        if (i < n && format.at(i) != QLatin1Char('-'))
            first = readNumber();
        if (first && i < n && format.at(i) == QLatin1Char(':')) {
            ++i;
            argIndex = *first;
            first.reset();
        }
        if (first) {
            width = first;
        } else {
            if (i < n && format.at(i) == QLatin1Char('-')) {
                leftAlign = true;
                ++i;
            }
            width = readNumber();
        }
        if (i < n && format.at(i) == QLatin1Char('.')) {
            ++i;
            precision = readNumber().value_or(0);
        }
        if (i >= n)
            raiseInvalid(format);
        const QChar type = format.at(i).toLower();
        ++i;

        QString piece;
        switch (type.unicode()) {
        case 'd':
        case 'u':
        case 'x': {
            const auto v = asInteger(nextArg());
            if (!v)
                raiseInvalid(format);
            piece = formatInteger(type, *v, precision);
            break;
        }
        case 'f':
        case 'n':
        case 'e':
        case 'g':
        case 'm': {
            const auto v = asFloat(nextArg());
            if (!v)
                raiseInvalid(format);
            piece = formatFloat(type, *v, precision);
            break;
        }
        case 's': {
            const auto v = asText(nextArg());
            if (!v)
                raiseInvalid(format);
            piece = precision >= 0 ? v->left(precision) : *v;
            break;
        }
        default:
            raiseInvalid(format);
        }
        if (width && *width > piece.size())
            piece = leftAlign ? piece.leftJustified(*width) : piece.rightJustified(*width);
        out += piece;
    }
    return out;
}

} // namespace vorta
