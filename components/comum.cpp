#include "comum.h"

#include "platform/os/FileDescriptor.h"
#include "platform/core/Conversions.h"
#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"

#include <QFile>
#include <QIODevice>

#include <array>
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
    // A negative number or remainder would put a minus sign into the result.
    if (number < 0)
        return QString();
    const int r = (number - 100) % 97;
    if (r < 0)
        return QString();
    return StrFill(text, 9, QLatin1Char('0'), false) + StrFill(QString::number(r), 2, QLatin1Char('0'), false);
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
