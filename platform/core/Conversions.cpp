#include "platform/core/Conversions.h"

#include "platform/core/Exceptions.h"

#include <limits>

namespace vorta {

std::optional<std::int64_t> tryStrToInt64(QStringView text)
{
    // Leading blanks are skipped as the library's Val does; trailing ones are not.
    qsizetype i = 0;
    while (i < text.size() && text.at(i) == QLatin1Char(' '))
        ++i;
    bool negative = false;
    if (i < text.size() && (text.at(i) == QLatin1Char('-') || text.at(i) == QLatin1Char('+'))) {
        negative = text.at(i) == QLatin1Char('-');
        ++i;
    }
    int base = 10;
    if (i < text.size() && text.at(i) == QLatin1Char('$')) {
        base = 16;
        ++i;
    } else if (i + 1 < text.size() && text.at(i) == QLatin1Char('0')
               && (text.at(i + 1) == QLatin1Char('x') || text.at(i + 1) == QLatin1Char('X'))) {
        base = 16;
        i += 2;
    }
    if (i >= text.size())
        return std::nullopt;
    unsigned long long value = 0;
    for (; i < text.size(); ++i) {
        const int d = text.at(i).isDigit() && text.at(i).unicode() < 128 ? text.at(i).unicode() - '0'
                      : (base == 16 && QStringLiteral("abcdefABCDEF").contains(text.at(i)))
                          ? text.at(i).toLower().unicode() - 'a' + 10
                          : -1;
        if (d < 0)
            return std::nullopt;
        value = value * static_cast<unsigned>(base) + static_cast<unsigned>(d);
        if (value > static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max()) + 1)
            return std::nullopt;
    }
    if (!negative && value > static_cast<unsigned long long>(std::numeric_limits<std::int64_t>::max()))
        return std::nullopt;
    return negative ? -static_cast<std::int64_t>(value - 1) - 1 : static_cast<std::int64_t>(value);
}

std::optional<std::int32_t> tryStrToInt(QStringView text)
{
    const auto v = tryStrToInt64(text);
    if (!v || *v < std::numeric_limits<std::int32_t>::min() || *v > std::numeric_limits<std::int32_t>::max())
        return std::nullopt;
    return static_cast<std::int32_t>(*v);
}

std::int32_t StrToInt(const QString& text)
{
    if (const auto v = tryStrToInt(text))
        return *v;
    throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(text));
}

std::int32_t StrToIntDef(const QString& text, std::int32_t def)
{
    return tryStrToInt(text).value_or(def);
}

QString IntToStr(std::int64_t value)
{
    return QString::number(value);
}

} // namespace vorta
