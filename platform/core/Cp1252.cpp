#include "platform/core/Cp1252.h"

#include <array>

namespace vorta {

namespace {
// 0x80..0x9F; 0 marks the five unassigned bytes (read as the C1 control of that value).
constexpr char16_t kHigh[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
    0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0,      0x017D, 0,
    0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
    0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};
} // namespace

unsigned char cp1252Byte(QChar c)
{
    const char16_t u = c.unicode();
    if (u < 0x80 || (u >= 0xA0 && u <= 0xFF))
        return static_cast<unsigned char>(u);
    for (int i = 0; i < 32; ++i)
        if (kHigh[i] != 0 && kHigh[i] == u)
            return static_cast<unsigned char>(0x80 + i);
    if (u >= 0x80 && u < 0xA0 && kHigh[u - 0x80] == 0)
        return static_cast<unsigned char>(u);
    return '?';
}

QByteArray toCp1252(const QString& text)
{
    QByteArray out;
    out.resize(text.size());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = static_cast<char>(cp1252Byte(text.at(i)));
    return out;
}

QString fromCp1252(const QByteArray& bytes)
{
    QString out;
    out.resize(bytes.size());
    // Written through the text's own storage: indexing it would check for sharing at each letter.
    QChar* d = out.data();
    const char* p = bytes.constData();
    for (qsizetype i = 0; i < bytes.size(); ++i) {
        const auto b = static_cast<unsigned char>(p[i]);
        char16_t u = b;
        if (b >= 0x80 && b < 0xA0 && kHigh[b - 0x80] != 0)
            u = kHigh[b - 0x80];
        d[i] = QChar(u);
    }
    return out;
}

unsigned char cp1252Upper(unsigned char byte)
{
    static const auto table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const QChar c = fromCp1252(QByteArray(1, static_cast<char>(i))).at(0);
            const QChar upper = c.toUpper();
            const unsigned char b = cp1252Byte(upper);
            // A letter whose capital lies outside the code page stays as it is.
            t[static_cast<size_t>(i)] = (b == '?' && upper != QLatin1Char('?')) ? static_cast<unsigned char>(i) : b;
        }
        return t;
    }();
    return table[byte];
}

} // namespace vorta
