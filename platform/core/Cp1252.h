#pragma once

#include <QByteArray>
#include <QString>

namespace vorta {

// The one converter between QString and Windows code page 1252 bytes. Characters
// with no place in the code page become '?'.
QByteArray toCp1252(const QString& text);
QString fromCp1252(const QByteArray& bytes);
// The byte of one character, '?' when it has none.
unsigned char cp1252Byte(QChar c);
// The upper-case byte of a byte of the code page (the byte itself when it has none).
unsigned char cp1252Upper(unsigned char byte);

} // namespace vorta
