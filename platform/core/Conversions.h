#pragma once

#include <QString>

#include <cstdint>
#include <optional>

namespace vorta {

// The class library's integer conversions: leading blanks are skipped and trailing
// ones refused, an optional sign, "$" or "0x" for hexadecimal; StrToInt keeps to the
// 32-bit range, tryStrToInt64 to the 64-bit one.
std::optional<std::int32_t> tryStrToInt(QStringView text);
// Raises EConvertError "'<text>' is not a valid integer value".
std::int32_t StrToInt(const QString& text);
std::int32_t StrToIntDef(const QString& text, std::int32_t def);
std::optional<std::int64_t> tryStrToInt64(QStringView text);
QString IntToStr(std::int64_t value);

} // namespace vorta
