#include "FastStrings.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"

#include <QString>

#include <algorithm>
#include <cstring>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

[[noreturn]] void assertionFailed(int line)
{
    throw vorta::EAssertionFailed(QStringLiteral("Assertion failed (FastStrings.cpp, line %1)").arg(line));
}

#define FAST_ASSERT(cond) \
    do {                  \
        if (!(cond))      \
            assertionFailed(__LINE__); \
    } while (0)

inline unsigned char ub(char c) { return static_cast<unsigned char>(c); }

void makeTable(const char* buffer, int bufferLen, TBMJumpTable& table, bool fold)
{
    if (bufferLen == 0)
        throw vorta::Exception(QStringLiteral("BufferLen is 0"));
    const auto& up = FastStringsUpcase();
    table.fill(bufferLen);
    for (int i = 0; i < bufferLen - 1; ++i) {
        const unsigned char b = fold ? up[ub(buffer[i])] : ub(buffer[i]);
        table[b] = bufferLen - 1 - i;
    }
    if (bufferLen == 1)
        table[fold ? up[ub(buffer[0])] : ub(buffer[0])] = 0;
}

#if defined(__x86_64__)
// Case-sensitive search that tests many window positions at once on the pattern's
// first and last bytes and compares the rest only where both agree; it finds the same
// first match as the skip-table search, several times faster on long texts.
template <class Vec, int Width, class Load, class Eq, class Mask>
const char* vectorSearch(const char* s, int n, const char* p, int m, Load load, Eq eq, Mask mask, Vec first, Vec last)
{
    int i = 0;
    for (; i + Width + m - 1 <= n; i += Width) {
        unsigned bits = mask(eq(load(s + i), first), eq(load(s + i + m - 1), last));
        while (bits) {
            const int bit = __builtin_ctz(bits);
            if (std::memcmp(s + i + bit + 1, p + 1, static_cast<size_t>(m - 2)) == 0)
                return s + i + bit;
            bits &= bits - 1;
        }
    }
    for (; i <= n - m; ++i)
        if (s[i] == p[0] && s[i + m - 1] == p[m - 1] && std::memcmp(s + i + 1, p + 1, static_cast<size_t>(m - 2)) == 0)
            return s + i;
    return nullptr;
}

const char* searchSse2(const char* s, int n, const char* p, int m)
{
    return vectorSearch<__m128i, 16>(
        s, n, p, m, [](const char* a) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(a)); },
        [](__m128i a, __m128i b) { return _mm_cmpeq_epi8(a, b); },
        [](__m128i a, __m128i b) { return static_cast<unsigned>(_mm_movemask_epi8(_mm_and_si128(a, b))); },
        _mm_set1_epi8(p[0]), _mm_set1_epi8(p[m - 1]));
}

__attribute__((target("avx2"))) const char* searchAvx2(const char* s, int n, const char* p, int m)
{
    const __m256i first = _mm256_set1_epi8(p[0]);
    const __m256i last = _mm256_set1_epi8(p[m - 1]);
    int i = 0;
    for (; i + 32 + m - 1 <= n; i += 32) {
        const __m256i a = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i));
        const __m256i b = _mm256_loadu_si256(reinterpret_cast<const __m256i*>(s + i + m - 1));
        unsigned bits = static_cast<unsigned>(
            _mm256_movemask_epi8(_mm256_and_si256(_mm256_cmpeq_epi8(a, first), _mm256_cmpeq_epi8(b, last))));
        while (bits) {
            const int bit = __builtin_ctz(bits);
            if (std::memcmp(s + i + bit + 1, p + 1, static_cast<size_t>(m - 2)) == 0)
                return s + i + bit;
            bits &= bits - 1;
        }
    }
    return searchSse2(s + i, n - i, p, m);
}

const char* exactSearch(const char* s, int n, const char* p, int m)
{
    static const bool avx2 = __builtin_cpu_supports("avx2");
    return avx2 ? searchAvx2(s, n, p, m) : searchSse2(s, n, p, m);
}
#endif

// The Horspool search; a zero skip (a one-byte pattern) moves one byte on.
template <bool Fold>
const char* bmSearch(const char* source, const char* find, int sourceLen, int findLen, const TBMJumpTable& table)
{
    if (findLen < 1 || sourceLen < findLen)
        return nullptr;
    const auto& up = FastStringsUpcase();
    const auto fold = [&up](char c) { return Fold ? up[ub(c)] : ub(c); };
    const unsigned char* const end = reinterpret_cast<const unsigned char*>(source) + sourceLen;
    const unsigned char* const pat = reinterpret_cast<const unsigned char*>(find);
    const unsigned char last = fold(find[findLen - 1]);
    const unsigned char* window = reinterpret_cast<const unsigned char*>(source) + findLen - 1;
    if (!Fold && findLen == 1) {
        const void* hit = std::memchr(source, find[0], static_cast<size_t>(sourceLen));
        return static_cast<const char*>(hit);
    }
#if defined(__x86_64__)
    if (!Fold)
        return exactSearch(source, sourceLen, find, findLen);
#endif
    while (window < end) {
        const unsigned char w = Fold ? up[*window] : *window;
        if (w == last) {
            int k = 1;
            while (k < findLen && (Fold ? up[window[-k]] : window[-k]) == (Fold ? up[pat[findLen - 1 - k]] : pat[findLen - 1 - k]))
                ++k;
            if (k == findLen)
                return reinterpret_cast<const char*>(window - (findLen - 1));
        }
        const int skip = table[w];
        window += skip > 0 ? skip : 1;
    }
    return nullptr;
}

template <bool Fold>
int fastPos(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos)
{
    FAST_ASSERT(startPos >= 1);
    sourceLen = std::min(sourceLen, static_cast<int>(source.size()));
    findLen = std::min(findLen, static_cast<int>(find.size()));
    if (findLen < 1 || findLen > sourceLen || startPos > sourceLen)
        return 0;
    TBMJumpTable table;
    makeTable(find.constData(), findLen, table, Fold);
    const char* from = source.constData() + (startPos - 1);
    const char* hit = bmSearch<Fold>(from, find.constData(), sourceLen - (startPos - 1), findLen, table);
    return hit ? static_cast<int>(hit - source.constData()) + 1 : 0;
}

template <bool Fold>
int fastPosBack(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos)
{
    sourceLen = std::min(sourceLen, static_cast<int>(source.size()));
    findLen = std::min(findLen, static_cast<int>(find.size()));
    if (findLen < 1 || sourceLen < findLen)
        return 0;
    const auto& up = FastStringsUpcase();
    const auto fold = [&up](char c) { return Fold ? up[ub(c)] : ub(c); };
    int pos = (startPos <= 0 || startPos + findLen > sourceLen) ? sourceLen - findLen + 1 : startPos;
    const char* s = source.constData();
    const char* f = find.constData();
    for (; pos >= 1; --pos) {
        if (fold(s[pos - 1]) != fold(f[0]))
            continue;
        int k = 1;
        while (k < findLen && fold(s[pos - 1 + k]) == fold(f[k]))
            ++k;
        if (k == findLen)
            return pos;
    }
    return 0;
}

// A growing output buffer that keeps the capacity rules of the replacements.
class Output {
public:
    explicit Output(qsizetype capacity) { m_data.resize(std::max<qsizetype>(capacity, 0)); }
    qsizetype written() const { return m_used; }
    qsizetype capacity() const { return m_data.size(); }
    void reserveFor(qsizetype extra, double factor)
    {
        if (m_used + extra <= m_data.size())
            return;
        qsizetype grown = static_cast<qsizetype>(static_cast<double>(m_data.size()) * factor + 0.5);
        if (grown < m_used + extra)
            grown = static_cast<qsizetype>(static_cast<double>(m_used + extra) * factor + 0.5);
        m_data.resize(grown);
    }
    void append(const char* data, qsizetype count)
    {
        if (count <= 0)
            return;
        reserveFor(count, 1.5);
        std::memcpy(m_data.data() + m_used, data, static_cast<size_t>(count));
        m_used += count;
    }
    QByteArray take()
    {
        m_data.truncate(m_used);
        return std::move(m_data);
    }

private:
    QByteArray m_data;
    qsizetype m_used = 0;
};

QByteArray upperCased(const QByteArray& s)
{
    const auto& up = FastStringsUpcase();
    QByteArray out(s);
    for (char& c : out)
        c = static_cast<char>(up[ub(c)]);
    return out;
}

} // namespace

const std::array<unsigned char, 256>& FastStringsUpcase()
{
    static const std::array<unsigned char, 256> table = [] {
        std::array<unsigned char, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<size_t>(i)] = vorta::cp1252Upper(static_cast<unsigned char>(i));
        return t;
    }();
    return table;
}

void MakeBMTable(const char* buffer, int bufferLen, TBMJumpTable& jumpTable)
{
    makeTable(buffer, bufferLen, jumpTable, false);
}

void MakeBMTableNoCase(const char* buffer, int bufferLen, TBMJumpTable& jumpTable)
{
    makeTable(buffer, bufferLen, jumpTable, true);
}

const char* BMPos(const char* source, const char* find, int sourceLen, int findLen, const TBMJumpTable& jumpTable)
{
    return bmSearch<false>(source, find, sourceLen, findLen, jumpTable);
}

const char* BMPosNoCase(const char* source, const char* find, int sourceLen, int findLen, const TBMJumpTable& jumpTable)
{
    return bmSearch<true>(source, find, sourceLen, findLen, jumpTable);
}

int FastCharPos(const QByteArray& source, char c, int startPos)
{
    FAST_ASSERT(startPos >= 1);
    if (source.isEmpty() || startPos > source.size())
        return 0;
    const void* hit = std::memchr(source.constData() + startPos - 1, c, static_cast<size_t>(source.size() - (startPos - 1)));
    return hit ? static_cast<int>(static_cast<const char*>(hit) - source.constData()) + 1 : 0;
}

int FastCharPosNoCase(const QByteArray& source, char c, int startPos)
{
    if (startPos < 1)
        startPos = 1;
    if (source.isEmpty() || startPos > source.size())
        return 0;
    const auto& up = FastStringsUpcase();
    const unsigned char want = up[ub(c)];
    for (qsizetype i = startPos - 1; i < source.size(); ++i)
        if (up[ub(source[i])] == want)
            return static_cast<int>(i) + 1;
    return 0;
}

int FastPos(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos)
{
    return fastPos<false>(source, find, sourceLen, findLen, startPos);
}

int FastPosNoCase(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos)
{
    return fastPos<true>(source, find, sourceLen, findLen, startPos);
}

int FastPosBack(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos)
{
    return fastPosBack<false>(source, find, sourceLen, findLen, startPos);
}

int FastPosBackNoCase(const QByteArray& source, const QByteArray& find, int sourceLen, int findLen, int startPos)
{
    return fastPosBack<true>(source, find, sourceLen, findLen, startPos);
}

void FastCharMove(const char* source, char* dest, int count)
{
    if (count <= 0)
        return;
    std::memmove(dest, source, static_cast<size_t>(count));
}

QByteArray FastReplace(const QByteArray& source, const QByteArray& find, const QByteArray& replace, bool caseSensitive)
{
    if (source.isEmpty() || find.isEmpty())
        return source;
    qsizetype capacity = replace.size() > find.size() ? source.size() * replace.size() / find.size() : source.size();
    if (capacity == 0)
        capacity = static_cast<qsizetype>(static_cast<double>(source.size() + replace.size()) * 1.5);
    Output out(capacity);
    TBMJumpTable table;
    makeTable(find.constData(), static_cast<int>(find.size()), table, !caseSensitive);
    const char* rest = source.constData();
    const char* const end = rest + source.size();
    while (end - rest >= find.size()) {
        const char* hit = caseSensitive
            ? BMPos(rest, find.constData(), static_cast<int>(end - rest), static_cast<int>(find.size()), table)
            : BMPosNoCase(rest, find.constData(), static_cast<int>(end - rest), static_cast<int>(find.size()), table);
        if (!hit)
            break;
        out.append(rest, hit - rest);
        out.append(replace.constData(), replace.size());
        rest = hit + find.size();
    }
    out.append(rest, end - rest);
    return out.take();
}

QByteArray FastAnsiReplace(const QByteArray& s, const QByteArray& oldPattern, const QByteArray& newPattern,
                           TReplaceFlags flags)
{
    if (s.isEmpty() || oldPattern.isEmpty() || oldPattern.size() > s.size())
        return s;
    const bool ignoreCase = flags & rfIgnoreCase;
    // The search runs over the upper-case forms; the bytes copied come from s.
    const QByteArray searched = ignoreCase ? upperCased(s) : s;
    const QByteArray pattern = ignoreCase ? upperCased(oldPattern) : oldPattern;
    qsizetype capacity = newPattern.size() > oldPattern.size() ? s.size() * newPattern.size() / oldPattern.size() : s.size();
    capacity = std::min(capacity, s.size() * 10);
    Output out(capacity);
    const qsizetype lastStart = s.size() - oldPattern.size();
    qsizetype pos = 0;
    while (pos <= lastStart) {
        // Length-aware, so a NUL byte in the text does not end the search.
        const qsizetype hit = searched.indexOf(pattern, pos);
        if (hit < 0)
            break;
        out.append(s.constData() + pos, hit - pos);
        out.append(newPattern.constData(), newPattern.size());
        pos = hit + oldPattern.size();
        if (!(flags & rfReplaceAll))
            break;
    }
    out.append(s.constData() + pos, s.size() - pos);
    return out.take();
}

QByteArray FastTagReplace(const QByteArray& source, const QByteArray& startTag, const QByteArray& endTag,
                          const TFastTagReplaceProc& proc, int userData)
{
    FAST_ASSERT(proc);
    if (source.isEmpty() || startTag.isEmpty() || endTag.isEmpty())
        return source;
    Output out(source.size());
    const int sourceLen = static_cast<int>(source.size());
    const int bothLimit = sourceLen - static_cast<int>(startTag.size() + endTag.size()) + 1;
    const int endLimit = sourceLen - static_cast<int>(endTag.size()) + 1;
    int pos = 1;
    while (pos <= bothLimit) {
        const int start = FastPos(source, startTag, sourceLen, static_cast<int>(startTag.size()), pos);
        if (start == 0 || start > bothLimit)
            break;
        const int afterStart = start + static_cast<int>(startTag.size());
        const int endPos = FastPos(source, endTag, sourceLen, static_cast<int>(endTag.size()), afterStart);
        if (endPos == 0 || endPos > endLimit)
            break;
        out.append(source.constData() + pos - 1, start - pos);
        QByteArray tag = source.mid(afterStart - 1, endPos - afterStart);
        proc(tag, userData);
        out.append(tag.constData(), tag.size());
        pos = endPos + static_cast<int>(endTag.size());
    }
    if (pos <= sourceLen)
        out.append(source.constData() + pos - 1, sourceLen - pos + 1);
    return out.take();
}

int SmartPos(const QByteArray& searchString, const QByteArray& sourceString, bool caseSensitive, int startPos,
             bool forward)
{
    const int sourceLen = static_cast<int>(sourceString.size());
    const int findLen = static_cast<int>(searchString.size());
    if (forward)
        return caseSensitive ? FastPos(sourceString, searchString, sourceLen, findLen, startPos)
                             : FastPosNoCase(sourceString, searchString, sourceLen, findLen, startPos);
    return caseSensitive ? FastPosBack(sourceString, searchString, sourceLen, findLen, startPos)
                         : FastPosBackNoCase(sourceString, searchString, sourceLen, findLen, startPos);
}
