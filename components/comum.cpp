#include "comum.h"

#include "FastStrings.h"

#include "platform/core/Format.h"
#include "platform/core/TextNumbers.h"
#include "platform/db/DbTypes.h"
#include "platform/db/EngineConfig.h"

#include "platform/os/FileDescriptor.h"
#include "platform/core/Conversions.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"

#include <QFile>
#include <QIODevice>
#include <QRegularExpression>

#include <array>
#include <cmath>
#include <cstdio>
#include <cerrno>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define VORTA_CRC_CLMUL 1
#endif

namespace {

// ---- CRC-32 tables ----

constexpr std::uint32_t kPoly = 0xEDB88320u;
constexpr int kSlices = 16;
constexpr std::size_t kBlock = 32768;

using SliceTables = std::array<std::array<std::uint32_t, 256>, kSlices>;

// Row 0 is the byte table of the polynomial; row k advances a byte by k more zero
// bytes, so sixteen bytes take one lookup each.
constexpr SliceTables makeSliceTables()
{
    SliceTables t{};
    for (std::uint32_t i = 0; i < 256; ++i) {
        std::uint32_t c = i;
        for (int bit = 0; bit < 8; ++bit)
            c = (c & 1) ? (c >> 1) ^ kPoly : c >> 1;
        t[0][i] = c;
    }
    for (int k = 1; k < kSlices; ++k)
        for (int i = 0; i < 256; ++i)
            t[k][i] = (t[k - 1][i] >> 8) ^ t[0][t[k - 1][i] & 0xFF];
    return t;
}

constexpr SliceTables kTables = makeSliceTables();

inline std::uint32_t load32(const unsigned char* p)
{
    return std::uint32_t(p[0]) | std::uint32_t(p[1]) << 8 | std::uint32_t(p[2]) << 16
           | std::uint32_t(p[3]) << 24;
}

#ifdef VORTA_CRC_CLMUL

// Folding constants in the bit-reflected domain: x^e mod P, reflected and shifted
// one bit left, and for the final Barrett step P itself and floor(x^64 / P).
constexpr std::uint64_t kPolyNormal = 0x104C11DB7ull;

constexpr std::uint64_t reflect(std::uint64_t v, int bits)
{
    std::uint64_t r = 0;
    for (int i = 0; i < bits; ++i)
        if (v & (std::uint64_t(1) << i))
            r |= std::uint64_t(1) << (bits - 1 - i);
    return r;
}

constexpr std::uint64_t foldConstant(int exponent)
{
    std::uint64_t r = 1;
    for (int i = 0; i < exponent; ++i) {
        r <<= 1;
        if (r & (std::uint64_t(1) << 32))
            r ^= kPolyNormal;
    }
    return reflect(r, 32) << 1;
}

constexpr std::uint64_t barrettQuotient()
{
    // floor(x^64 / P) by long division over GF(2), one dividend bit at a time; 33 bits.
    std::uint64_t rem = 0;
    std::uint64_t q = 0;
    for (int bit = 64; bit >= 0; --bit) {
        rem = (rem << 1) | (bit == 64 ? 1u : 0u);
        q <<= 1;
        if (rem & (std::uint64_t(1) << 32)) {
            rem ^= kPolyNormal;
            q |= 1;
        }
    }
    return reflect(q, 33);
}

constexpr std::uint64_t kFold4Lo = foldConstant(4 * 128 + 32);
constexpr std::uint64_t kFold4Hi = foldConstant(4 * 128 - 32);
constexpr std::uint64_t kFold1Lo = foldConstant(128 + 32);
constexpr std::uint64_t kFold1Hi = foldConstant(128 - 32);
constexpr std::uint64_t kFold64 = foldConstant(64);
constexpr std::uint64_t kBarrettP = reflect(kPolyNormal, 33);
constexpr std::uint64_t kBarrettU = barrettQuotient();
static_assert(kBarrettP == 0x1DB710641ull && kBarrettU == 0x1F7011641ull);

__attribute__((target("pclmul,sse4.1"))) inline __m128i pair(std::uint64_t lo, std::uint64_t hi)
{
    return _mm_set_epi64x(static_cast<long long>(hi), static_cast<long long>(lo));
}

// One 128-bit lane carried forward over the distance that k encodes, then the next data.
__attribute__((target("pclmul,sse4.1"))) inline __m128i fold(__m128i acc, __m128i k, __m128i next)
{
    const __m128i lo = _mm_clmulepi64_si128(acc, k, 0x00);
    const __m128i hi = _mm_clmulepi64_si128(acc, k, 0x11);
    return _mm_xor_si128(_mm_xor_si128(lo, hi), next);
}

// count >= 64 and a multiple of 16.
__attribute__((target("pclmul,sse4.1"))) std::uint32_t foldBlocks(std::uint32_t reg, const unsigned char* p,
                                                                  std::size_t count)
{
    auto load = [](const unsigned char* q) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(q)); };
    __m128i a = _mm_xor_si128(load(p), _mm_cvtsi32_si128(static_cast<int>(reg)));
    __m128i b = load(p + 16);
    __m128i c = load(p + 32);
    __m128i d = load(p + 48);
    p += 64;
    count -= 64;

    // Four independent lanes keep the multipliers busy.
    const __m128i k4 = pair(kFold4Lo, kFold4Hi);
    while (count >= 64) {
        a = fold(a, k4, load(p));
        b = fold(b, k4, load(p + 16));
        c = fold(c, k4, load(p + 32));
        d = fold(d, k4, load(p + 48));
        p += 64;
        count -= 64;
    }

    const __m128i k1 = pair(kFold1Lo, kFold1Hi);
    a = fold(a, k1, b);
    a = fold(a, k1, c);
    a = fold(a, k1, d);
    while (count >= 16) {
        a = fold(a, k1, load(p));
        p += 16;
        count -= 16;
    }

    // 128 bits to 96, then to 64.
    const __m128i low32 = _mm_setr_epi32(-1, 0, -1, 0);
    a = _mm_xor_si128(_mm_srli_si128(a, 8), _mm_clmulepi64_si128(a, k1, 0x10));
    const __m128i k64 = pair(kFold64, 0);
    a = _mm_xor_si128(_mm_srli_si128(a, 4), _mm_clmulepi64_si128(_mm_and_si128(a, low32), k64, 0x00));

    // Barrett reduction to the 32-bit register.
    const __m128i barrett = pair(kBarrettP, kBarrettU);
    __m128i t = _mm_clmulepi64_si128(_mm_and_si128(a, low32), barrett, 0x10);
    t = _mm_clmulepi64_si128(_mm_and_si128(t, low32), barrett, 0x00);
    a = _mm_xor_si128(a, t);
    return static_cast<std::uint32_t>(_mm_extract_epi32(a, 1));
}

#endif

// ---- Files ----

[[noreturn]] void raiseInOut(int error)
{
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        throw vorta::EInOutError(QStringLiteral("File not found"));
    case EACCES:
    case EPERM:
    case EISDIR:
        throw vorta::EInOutError(QStringLiteral("File access denied"));
    default:
        throw vorta::EInOutError(QStringLiteral("I/O error %1").arg(error));
    }
}

using FileHandle = vorta::os::FileDescriptor;

// ---- Digits ----

int digitValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    // The library's own conversion error, with its text.
    return vorta::StrToInt(vorta::fromCp1252(QByteArray(1, c)));
}

// 1-based character of a text, as the library indexes them.
char charAt(const QByteArray& text, qsizetype position)
{
    if (position < 1 || position > text.size())
        throw vorta::ERangeError(QStringLiteral("Range check error"));
    return text.at(position - 1);
}

int mod11Digit(int sum)
{
    const int d = 11 - sum % 11;
    return d > 9 ? 0 : d;
}

QString ieDigit(const QByteArray& ie)
{
    int sum = 0;
    for (int i = 0; i < 8; ++i)
        sum += digitValue(charAt(ie, i + 1)) * (i + 2);
    const int r = (sum * 10) % 11;
    return r <= 1 ? QStringLiteral("0") : QString::number(11 - r);
}

int digitSum(int n)
{
    int s = 0;
    for (; n > 0; n /= 10)
        s += n % 10;
    return s;
}

} // namespace

namespace crc32_detail {

std::uint32_t updateSliced(std::uint32_t reg, const unsigned char* p, std::size_t count)
{
    const auto& t = kTables;
    while (count >= 16) {
        const std::uint32_t a = load32(p) ^ reg;
        const std::uint32_t b = load32(p + 4);
        const std::uint32_t c = load32(p + 8);
        const std::uint32_t d = load32(p + 12);
        reg = t[15][a & 0xFF] ^ t[14][(a >> 8) & 0xFF] ^ t[13][(a >> 16) & 0xFF] ^ t[12][a >> 24]
              ^ t[11][b & 0xFF] ^ t[10][(b >> 8) & 0xFF] ^ t[9][(b >> 16) & 0xFF] ^ t[8][b >> 24]
              ^ t[7][c & 0xFF] ^ t[6][(c >> 8) & 0xFF] ^ t[5][(c >> 16) & 0xFF] ^ t[4][c >> 24]
              ^ t[3][d & 0xFF] ^ t[2][(d >> 8) & 0xFF] ^ t[1][(d >> 16) & 0xFF] ^ t[0][d >> 24];
        p += 16;
        count -= 16;
    }
    while (count--)
        reg = t[0][(*p++ ^ reg) & 0xFF] ^ (reg >> 8);
    return reg;
}

bool clmulAvailable()
{
#ifdef VORTA_CRC_CLMUL
    static const bool available = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse4.1");
    return available;
#else
    return false;
#endif
}

std::uint32_t updateClmul(std::uint32_t reg, const unsigned char* p, std::size_t count)
{
#ifdef VORTA_CRC_CLMUL
    if (count >= 64) {
        const std::size_t folded = count & ~std::size_t(15);
        reg = foldBlocks(reg, p, folded);
        p += folded;
        count -= folded;
    }
#endif
    return updateSliced(reg, p, count);
}

} // namespace crc32_detail

std::uint32_t UpdateCRC32(std::uint32_t reg, const void* data, std::int64_t count)
{
    if (count <= 0)
        return reg;
    const auto* p = static_cast<const unsigned char*>(data);
    const auto n = static_cast<std::size_t>(count);
    return crc32_detail::clmulAvailable() ? crc32_detail::updateClmul(reg, p, n)
                                          : crc32_detail::updateSliced(reg, p, n);
}

std::uint32_t ComputeStreamCRC32(QIODevice& stream)
{
    std::vector<char> buffer(kBlock);
    std::uint32_t reg = 0xFFFFFFFFu;
    for (;;) {
        const qint64 got = stream.read(buffer.data(), static_cast<qint64>(kBlock));
        if (got < 0)
            throw vorta::EInOutError(QStringLiteral("Stream read error"));
        reg = UpdateCRC32(reg, buffer.data(), got);
        if (got < static_cast<qint64>(kBlock))
            break;
    }
    return ~reg;
}

std::uint32_t ComputeStrCRC32(const QString& text)
{
    const QByteArray bytes = vorta::toCp1252(text);
    return ~UpdateCRC32(0xFFFFFFFFu, bytes.constData(), bytes.size());
}

std::uint32_t ComputeFileCRC32(const QString& fileName)
{
    const FileHandle file(::open(QFile::encodeName(fileName).constData(), O_RDONLY | O_CLOEXEC));
    if (file.fd() < 0)
        raiseInOut(errno);
    struct stat st {};
    if (::fstat(file.fd(), &st) != 0)
        raiseInOut(errno);
    if (S_ISDIR(st.st_mode))
        raiseInOut(EISDIR);
    std::vector<unsigned char> buffer(kBlock);
    std::uint32_t reg = 0xFFFFFFFFu;
    for (;;) {
        const ssize_t got = ::read(file.fd(), buffer.data(), kBlock);
        if (got < 0) {
            if (errno == EINTR)
                continue;
            raiseInOut(errno);
        }
        if (got == 0)
            break;
        reg = UpdateCRC32(reg, buffer.data(), got);
    }
    return ~reg;
}

bool ChecaCRCInterno(const QString& fileName, const QString& checksum)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw vorta::EFOpenError(
            QStringLiteral("Cannot open file \"%1\". %2").arg(fileName, file.errorString()));
    const QByteArray content = file.readAll();

    // Lines end at CR LF, LF or CR, as the library's string lists read them.
    QList<QByteArray> lines;
    qsizetype start = 0;
    for (qsizetype i = 0; i < content.size(); ++i) {
        const char ch = content.at(i);
        if (ch != '\r' && ch != '\n')
            continue;
        lines.append(content.mid(start, i - start));
        if (ch == '\r' && i + 1 < content.size() && content.at(i + 1) == '\n')
            ++i;
        start = i + 1;
    }
    if (start < content.size())
        lines.append(content.mid(start));

    const QByteArray wanted = vorta::toCp1252(checksum).toUpper();
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (lines.at(i).compare("<CABECALHO>", Qt::CaseInsensitive) != 0)
            continue;
        // A header on the last line carries no checksum.
        if (i + 1 >= lines.size())
            return false;
        return lines.at(i + 1).left(8) == wanted;
    }
    return false;
}

bool IsNumber(const QString& text)
{
    if (text.isEmpty())
        return false;
    for (const QChar c : text)
        if (c < QLatin1Char('0') || c > QLatin1Char('9'))
            return false;
    return true;
}

QString RemoveMascara(const QString& text)
{
    QString out;
    out.reserve(text.size());
    for (const QChar c : text)
        if (c >= QLatin1Char('0') && c <= QLatin1Char('9'))
            out.append(c);
    return out;
}

QString LimpaLixo(const QString& text)
{
    return RemoveMascara(text);
}

QString StrFill(const QString& text, int n, QChar c, bool right)
{
    if (n <= 0)
        return QString();
    if (text.size() >= n)
        return right ? text.left(n) : text.right(n);
    const QString fill(n - text.size(), c);
    return right ? text + fill : fill + text;
}

bool ChkDigIE(const QString& ie)
{
    const QByteArray b = vorta::toCp1252(ie);
    if (b.size() != 9)
        return false;
    const QString expected = ieDigit(b);
    return QChar::fromLatin1(b.at(8)) == expected.at(0);
}

QString GenDigIE(const QString& ie)
{
    return ieDigit(vorta::toCp1252(ie));
}

QString IEdoArquivo(const QString& stored)
{
    try {
        const QString body = stored.mid(1, 7);
        for (const char* prefix : {"28", "58"}) {
            const QString candidate = QLatin1String(prefix) + body;
            if (ChkDigIE(candidate))
                return candidate;
        }
    } catch (const vorta::Exception&) {
    }
    return QString();
}

QString DVMun(const QString& code)
{
    const QByteArray b = vorta::toCp1252(code);
    if (b.size() != 5)
        return QString();
    try {
        int sum = 0;
        for (int i = 0; i < 5; ++i)
            sum += digitValue(b.at(i)) * (6 - i);
        return QString::number(mod11Digit(sum));
    } catch (const vorta::Exception&) {
        return QStringLiteral("#");
    }
}

QString DVNFP(const QString& number, const QString& date)
{
    const QByteArray a = vorta::toCp1252(number);
    if (a.size() != 10)
        return QString();
    try {
        const QByteArray d = vorta::toCp1252(date);
        auto digit = [](const QByteArray& text, qsizetype position) { return digitValue(charAt(text, position)); };

        int sum = 0;
        for (int i = 0; i < 7; ++i)
            sum += digit(a, 4 + i) * (8 - i);
        const int dv1 = mod11Digit(sum);

        // Number, day, month, the year's last two digits and DV1; doubled from the
        // right, every second digit, each product counted by its digits.
        int seq[17];
        for (int i = 0; i < 10; ++i)
            seq[i] = digit(a, i + 1);
        seq[10] = digit(d, 7);
        seq[11] = digit(d, 8);
        seq[12] = digit(d, 5);
        seq[13] = digit(d, 6);
        seq[14] = digit(d, 3);
        seq[15] = digit(d, 4);
        seq[16] = dv1;
        // The year's first two characters are not summed but must still be digits.
        digit(d, 1);
        digit(d, 2);
        sum = 0;
        for (int i = 16; i >= 0; --i)
            sum += ((16 - i) % 2 == 0) ? digitSum(seq[i] * 2) : seq[i];
        int dv2 = 10 - sum % 10;
        if (dv2 == 10)
            dv2 = 0;

        const QByteArray t = a + QByteArray::number(dv1) + QByteArray::number(dv2);
        sum = 0;
        for (int i = 0; i < 4; ++i)
            sum += digit(t, i + 1) * (5 - i);
        for (int i = 0; i < 8; ++i)
            sum += digit(t, i + 5) * (9 - i);
        const int dv3 = mod11Digit(sum);

        int dv4 = digitSum(dv1 + dv2 + dv3 + 10);
        if (dv4 > 9)
            dv4 = digitSum(dv4);

        const QByteArray u = t + QByteArray::number(dv3) + QByteArray::number(dv4);
        sum = 0;
        for (int i = 0; i < 6; ++i)
            sum += digit(u, i + 1) * (7 - i);
        for (int i = 0; i < 8; ++i)
            sum += digit(u, i + 7) * (9 - i);
        const int dv5 = mod11Digit(sum);

        return QString::number(dv1) + QString::number(dv2) + QString::number(dv3) + QString::number(dv4)
               + QString::number(dv5);
    } catch (const vorta::Exception& e) {
        throw vorta::Exception(QStringLiteral("DVNFP ") + e.message());
    }
}

bool ChkRenavam(const QString& renavam)
{
    const QByteArray b = vorta::toCp1252(renavam);
    if (b.size() > 9)
        return false;
    try {
        const qsizetype len = b.size();
        int sum = 0;
        for (qsizetype i = 0; i + 1 < len; ++i)
            sum += digitValue(b.at(i)) * static_cast<int>(len - i);
        return mod11Digit(sum) == digitValue(charAt(b, len));
    } catch (const vorta::Exception&) {
        return false;
    }
}

QString DVDaeqx(std::int32_t number)
{
    const QString text = vorta::IntToStr(number);
    if (text.size() > 9)
        return QString();
    if (number < 0)
        return QString();
    // Below 100 the remainder is negative and its last two characters are the check
    // pair; only where those hold the minus sign is there no result.
    const QString check = StrFill(QString::number((number - 100) % 97), 2, QLatin1Char('0'), false);
    if (check.contains(QLatin1Char('-')))
        return QString();
    return StrFill(text, 9, QLatin1Char('0'), false) + check;
}

QString Modulo10CEF(const QString& digits)
{
    const QByteArray b = vorta::toCp1252(digits);
    if (b.isEmpty())
        return QStringLiteral(" ");
    int sum = 0;
    for (qsizetype i = 0; i < b.size(); ++i)
        sum += digitSum(digitValue(b.at(i)) * (i % 2 == 0 ? 2 : 1));
    const QString dv = QString::number(10 - sum % 10);
    return dv.right(1);
}

QString FEBRABANBarCode(const QString& value, const QDateTime& date, const QString& s, QChar c)
{
    const QString v = StrFill(LimpaLixo(value), 11, QLatin1Char('0'), false);
    const QString day = date.isValid() ? date.toString(QStringLiteral("yyyyMMdd")) : QString();
    const QString tail = QStringLiteral("0012") + day + s + c + QStringLiteral("00000");
    const QString body = QStringLiteral("856") + v + tail;
    if (body.size() != 43)
        throw vorta::Exception(QStringLiteral("Erro ao gerar FEBRABAN"));
    return QStringLiteral("856") + Modulo10CEF(body) + v + tail;
}

QString FEBRABANText(const QString& code)
{
    QStringList blocks;
    for (int i = 0; i < 4; ++i) {
        const QString block = code.mid(i * 11, 11);
        blocks.append(block + QLatin1Char('-') + Modulo10CEF(block));
    }
    return blocks.join(QLatin1Char(' '));
}

// ---- Texts ----

namespace {

struct Markers {
    qsizetype start;
    qsizetype end;
};

Markers findMarkers(const QString& text, const QString& ini, const QString& fim)
{
    const qsizetype start = text.indexOf(ini);
    if (start < 0)
        throw vorta::Exception(QStringLiteral("Parâmetro inicial não foi encontrado."));
    const qsizetype end = text.indexOf(fim);
    if (end < 0)
        throw vorta::Exception(QStringLiteral("Parâmetro final não foi encontrado."));
    return {start, end};
}

void dropLeading(QString& text, const QString& delimiters)
{
    qsizetype skip = 0;
    while (skip < text.size() && delimiters.contains(text.at(skip)))
        ++skip;
    text.remove(0, skip);
}

} // namespace

QString PegarTexto(const QString& text, const QString& ini, const QString& fim)
{
    const Markers m = findMarkers(text, ini, fim);
    const qsizetype from = m.start + ini.size();
    return m.end < from ? QString() : text.mid(from, m.end - from);
}

void ApagarTexto(QString& text, const QString& ini, const QString& fim)
{
    const Markers m = findMarkers(text, ini, fim);
    const qsizetype count = m.end + fim.size() - m.start;
    if (count > 0)
        text.remove(m.start, count);
}

QString GetXMLToken(const QString& text, const QString& tag)
{
    const QString open = QLatin1Char('<') + tag + QLatin1Char('>');
    const qsizetype start = text.indexOf(open);
    const qsizetype end = text.indexOf(QStringLiteral("</") + tag + QLatin1Char('>'));
    if (start < 0 || end < 0)
        return QString();
    const qsizetype from = start + open.size();
    return end > from ? text.mid(from, end - from) : QString();
}

QString GetToken(QString& text, const QString& delimiters)
{
    qsizetype i = 0;
    while (i < text.size() && !delimiters.contains(text.at(i)))
        ++i;
    const QString token = text.left(i);
    text.remove(0, std::min(i + 1, text.size()));
    dropLeading(text, delimiters);
    return token;
}

QString GetTokenStr(QString& text, const QString& delimiters, QChar quote)
{
    if (text.isEmpty() || text.at(0) != quote)
        throw vorta::Exception(QStringLiteral("Expected ") + quote + QStringLiteral(" but ")
                               + (text.isEmpty() ? QString() : QString(text.at(0))) + QStringLiteral(" found."));
    text.remove(0, 1);
    QString result;
    while (true) {
        const qsizetype close = text.indexOf(quote);
        if (close < 0)
            throw vorta::Exception(QStringLiteral("Unexpected end of string."));
        result += text.left(close);
        text.remove(0, close + 1);
        if (!text.startsWith(quote))
            break;
        result += quote;
        text.remove(0, 1);
    }
    dropLeading(text, delimiters);
    return result;
}

QString ClearString(const QString& text, const QString& keep)
{
    QString out;
    for (QChar c : text)
        if (keep.contains(c))
            out += c;
    return out;
}

QString CaracEspec(const QString& text)
{
    QString out = text;
    for (QChar& c : out) {
        const char16_t u = c.unicode();
        if (u >= 192 && u <= 195) c = u'A';
        else if (u == 199) c = u'C';
        else if (u == 201 || u == 202) c = u'E';
        else if (u >= 204 && u <= 206) c = u'I';
        else if (u >= 210 && u <= 213) c = u'O';
        else if (u == 218 || u == 220) c = u'U';
        else if (u >= 224 && u <= 227) c = u'a';
        else if (u == 231) c = u'c';
        else if (u == 233 || u == 234) c = u'e';
        else if (u >= 236 && u <= 238) c = u'i';
        else if (u >= 242 && u <= 245) c = u'o';
        else if (u == 250 || u == 252) c = u'u';
    }
    return out;
}

QString CompareStrings(const QString& first, const QString& second)
{
    if (second.size() < first.size())
        return QString();
    qsizetype k = 0;
    while (k < first.size() && first.at(k) == second.at(k))
        ++k;
    return second.mid(k);
}

bool PassMask(const QString& mask, const QString& text)
{
    if (mask.isEmpty())
        return false;
    const auto upper = [](const QString& s) {
        QByteArray b = vorta::toCp1252(s);
        for (char& c : b)
            c = static_cast<char>(vorta::cp1252Upper(static_cast<unsigned char>(c)));
        return b;
    };
    const QByteArray m = upper(mask);
    const QByteArray t = upper(text);
    // Glob matching that goes back to the last star on a mismatch.
    qsizetype mi = 0, ti = 0, star = -1, resume = 0;
    while (ti < t.size()) {
        if (mi < m.size() && (m[mi] == '?' || (m[mi] != '*' && m[mi] == t[ti]))) {
            ++mi;
            ++ti;
        } else if (mi < m.size() && m[mi] == '*') {
            star = mi++;
            resume = ti;
        } else if (star >= 0) {
            mi = star + 1;
            ti = ++resume;
        } else {
            return false;
        }
    }
    while (mi < m.size() && m[mi] == '*')
        ++mi;
    return mi == m.size();
}

QString StringReplaceNew(const QString& text, const QString& oldPattern, const QString& newPattern, int flags)
{
    return vorta::fromCp1252(FastAnsiReplace(vorta::toCp1252(text), vorta::toCp1252(oldPattern),
                                             vorta::toCp1252(newPattern), flags));
}

void BreakText(QStringList& lines, int maxLength)
{
    if (maxLength < 1)
        return;
    const QString breakers = QStringLiteral(" ,-.;");
    for (qsizetype i = 0; i < lines.size(); ++i) {
        const QString line = lines.at(i);
        if (line.size() <= maxLength)
            continue;
        qsizetype keep;
        qsizetype restFrom;
        if (line.at(maxLength) == QLatin1Char(' ')) {
            qsizetype p = maxLength;
            while (p < line.size() - 1 && line.at(p) == QLatin1Char(' '))
                ++p;
            keep = p;
            restFrom = p;
        } else {
            qsizetype p = maxLength;
            while (p >= 0 && !breakers.contains(line.at(p)))
                --p;
            keep = p < 0 ? maxLength : p + 1;
            restFrom = keep;
        }
        lines[i] = line.left(keep);
        lines.insert(i + 1, line.mid(restFrom));
    }
}

QString HexToNum(const QString& hex)
{
    long double sum = 0;
    const qsizetype length = hex.size();
    for (qsizetype p = 0; p < length; ++p) {
        const char16_t u = hex.at(p).unicode();
        int v = -1;
        if (u >= '0' && u <= '9') v = u - '0';
        else if (u >= 'A' && u <= 'F') v = u - 'A' + 10;
        else if (u >= 'a' && u <= 'f') v = u - 'a' + 10;
        if (v >= 0)
            sum += v * std::pow(16.0L, static_cast<long double>(length - 1 - p));
    }
    char buffer[128];
    std::snprintf(buffer, sizeof buffer, "%0.0Lf", sum);
    return QString::fromLatin1(buffer);
}

double SemDizima(double value)
{
    return vorta::StrToFloat(vorta::Format(QStringLiteral("%.2f"), {value}));
}

namespace {

QString fitDigits(const QString& digits, int width, bool negative)
{
    QString out = (QString(std::max(width, 0), QLatin1Char('0')) + digits).right(std::max(width, 0));
    if (negative && !out.isEmpty())
        out[0] = QLatin1Char('-');
    return out;
}

} // namespace

QString FormatarNumeroSemSeparador(long double value, int width, int decimals, bool check)
{
    const bool negative = value < 0;
    // Rounded as a whole first, so 12.999 at two decimals is 13.00, not 12.00.
    const QString fixed = vorta::Format(QStringLiteral("%.*f"), {std::max(decimals, 0), static_cast<double>(std::fabs(value))});
    const qsizetype point = fixed.indexOf(QRegularExpression(QStringLiteral("[.,]")));
    const QString integerDigits = point < 0 ? fixed : fixed.left(point);
    const QString decimalDigits = point < 0 ? QString() : fixed.mid(point + 1);
    if (check) {
        const qsizetype needed = integerDigits.size() + std::max(decimals, 0);
        if (needed > width || (negative && needed == width))
            throw vorta::EIntOverflow(vorta::Format(QStringLiteral("O número %f excede o tamanho máximo!"),
                                                    {static_cast<double>(value)}));
    }
    return fitDigits(integerDigits + (decimals > 0 ? decimalDigits : QString()), width, negative);
}

QString FormatarInteiro(std::int64_t value, int width, bool check)
{
    const bool negative = value < 0;
    const std::uint64_t magnitude = negative ? 0 - static_cast<std::uint64_t>(value) : static_cast<std::uint64_t>(value);
    const QString digits = QString::number(magnitude);
    // A negative value needs room for its sign as well.
    if (check && digits.size() + (negative ? 1 : 0) > width)
        throw vorta::EIntOverflow(vorta::Format(QStringLiteral("O número %d excede o tamanho máximo!"),
                                                {static_cast<qlonglong>(value)}));
    return fitDigits(digits, width, negative);
}

QVariant IIF(bool condition, const QVariant& whenTrue, const QVariant& whenFalse)
{
    return condition ? whenTrue : whenFalse;
}

QString GetConfigParameter(const QString& parameter, std::uint16_t* counter)
{
    if (counter)
        *counter = 0;
    const qsizetype semicolon = parameter.indexOf(QLatin1Char(';'));
    if (semicolon < 0)
        throw vorta::db::EDatabaseError(QStringLiteral(
            "Invalid parameter passed tofunction.  There must be a semicolon delimited sting passed"));
    const QString path = parameter.left(semicolon);
    const QString entry = parameter.mid(semicolon + 1);
    QString result;
    for (const vorta::db::ConfigEntry& e : vorta::db::readEngineConfiguration(path)) {
        if (counter)
            ++*counter;
        if (e.nodeName == entry)
            result = e.value.left(128);
    }
    return result;
}
