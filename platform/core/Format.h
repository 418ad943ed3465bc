#pragma once

#include <QString>
#include <QVariant>
#include <QVariantList>

namespace vorta {

// The class library's Format: "%" [index ":"] ["-"] [width] ["." precision] type,
// with "*" for index, width or precision taken from the arguments and "%%" for a
// percent sign. Types: d (integer), u (unsigned), x (hexadecimal, upper case),
// f, n (with thousands), e, g, m (money) for floating-point values, s for texts.
// Numbers follow the Brazilian convention (',' decimals, '.' thousands).
//
// Arguments are strictly typed as the library's array of const: integers for d/u/x
// and "*", floating-point values for f/n/e/g/m, texts (QString, QByteArray, QChar)
// for s. A mismatch raises EConvertError "Format '<format>' invalid or incompatible
// with argument", a missing argument "No argument for format '<format>'" (the
// format quoted up to its first 31 characters). Extra arguments are ignored.
QString Format(const QString& format, const QVariantList& args);

} // namespace vorta
