#include "FastStrings.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"

#include <QList>

#include <gtest/gtest.h>

#include <random>

namespace {

QByteArray b(const char* s) { return QByteArray(s); }
QByteArray cp(const QString& s) { return vorta::toCp1252(s); }

// Plain reference searches, 1-based, 0 when absent.
int refPos(const QByteArray& s, const QByteArray& f, int start, bool fold)
{
    const auto& up = FastStringsUpcase();
    for (int p = start; p + f.size() - 1 <= s.size(); ++p) {
        bool ok = true;
        for (int k = 0; k < f.size() && ok; ++k) {
            unsigned char a = static_cast<unsigned char>(s[p - 1 + k]), c = static_cast<unsigned char>(f[k]);
            ok = fold ? up[a] == up[c] : a == c;
        }
        if (ok)
            return p;
    }
    return 0;
}

int refPosBack(const QByteArray& s, const QByteArray& f, int start, bool fold)
{
    int first = (start <= 0 || start + f.size() > s.size()) ? int(s.size() - f.size() + 1) : start;
    for (int p = first; p >= 1; --p)
        if (refPos(s, f, p, fold) == p)
            return p;
    return 0;
}

} // namespace

TEST(FastStringsCase, FoldsTheCodePageLetters)
{
    const auto& up = FastStringsUpcase();
    EXPECT_EQ(up['a'], 'A');
    EXPECT_EQ(up['Z'], 'Z');
    EXPECT_EQ(up['1'], '1');
    EXPECT_EQ(up[0xE7], 0xC7); // ç
    EXPECT_EQ(up[0xE3], 0xC3); // ã
    EXPECT_EQ(up[0xFF], 0x9F); // ÿ
    EXPECT_EQ(up[0x9A], 0x8A); // š
    EXPECT_EQ(up[0xDF], 0xDF); // ß has no single capital
    EXPECT_EQ(up[0xB5], 0xB5); // µ's capital lies outside the code page
    EXPECT_EQ(up[0xF7], 0xF7); // ÷
}

TEST(FastStringsTable, SkipsByTheLastOccurrenceBeforeTheEnd)
{
    TBMJumpTable t;
    MakeBMTable("abcab", 5, t);
    EXPECT_EQ(t['a'], 1);
    EXPECT_EQ(t['b'], 3);
    EXPECT_EQ(t['c'], 2);
    EXPECT_EQ(t['z'], 5);
    MakeBMTable("x", 1, t);
    EXPECT_EQ(t['x'], 0);
    EXPECT_EQ(t['y'], 1);
    MakeBMTableNoCase("aB", 2, t);
    EXPECT_EQ(t['A'], 1);
    EXPECT_EQ(t['B'], 2);
    try {
        MakeBMTable("", 0, t);
        FAIL();
    } catch (const vorta::Exception& e) {
        EXPECT_EQ(e.message(), "BufferLen is 0");
    }
}

TEST(FastStringsSearch, AgreesWithAPlainSearchOverRandomTextsAtEveryOffset)
{
    std::mt19937 rng(12345);
    const char alphabet[] = "abAB\xe7\xc7 ";
    for (int round = 0; round < 300; ++round) {
        QByteArray s, f;
        // Long texts too, so the wide comparisons meet matches at every place in a block.
        const int n = 1 + int(rng() % (round % 2 ? 40 : 200)), m = 1 + int(rng() % 5);
        for (int i = 0; i < n; ++i) s += alphabet[rng() % 7];
        for (int i = 0; i < m; ++i) f += alphabet[rng() % 7];
        for (int start = 1; start <= n + 1; ++start) {
            ASSERT_EQ(FastPos(s, f, n, m, start), refPos(s, f, start, false)) << s.toStdString() << "|" << f.toStdString() << "@" << start;
            ASSERT_EQ(FastPosNoCase(s, f, n, m, start), refPos(s, f, start, true)) << s.toStdString() << "|" << f.toStdString();
        }
        for (int start = 0; start <= n + 1; ++start) {
            ASSERT_EQ(FastPosBack(s, f, n, m, start), refPosBack(s, f, start, false)) << s.toStdString() << "|" << f.toStdString() << "@" << start;
            ASSERT_EQ(FastPosBackNoCase(s, f, n, m, start), refPosBack(s, f, start, true));
        }
        const char c = alphabet[rng() % 7];
        for (int start = 1; start <= n + 1; ++start) {
            ASSERT_EQ(FastCharPos(s, c, start), refPos(s, QByteArray(1, c), start, false));
            ASSERT_EQ(FastCharPosNoCase(s, c, start), refPos(s, QByteArray(1, c), start, true));
        }
    }
}

TEST(FastStringsSearch, EdgesAndClampedLengths)
{
    const QByteArray s = b("abcabc");
    EXPECT_EQ(FastPos(s, b("bc"), 6, 2, 1), 2);
    EXPECT_EQ(FastPos(s, b("bc"), 6, 2, 3), 5);
    EXPECT_EQ(FastPos(s, b(""), 6, 0, 1), 0);
    EXPECT_EQ(FastPos(s, b("abcabcx"), 6, 7, 1), 0);
    // Lengths larger than the strings are cut to them: nothing is read past the end.
    EXPECT_EQ(FastPos(s, b("c"), 1000, 50, 1), 3);
    EXPECT_EQ(FastPos(s, b("cx"), 1000, 50, 1), 0);
    EXPECT_EQ(FastPosBack(s, b("ab"), 1000, 2, 0), 4);
    EXPECT_EQ(FastPosBack(s, b("ab"), 6, 2, 0), 4);
    EXPECT_EQ(FastPosBack(s, b("ab"), 6, 2, 3), 1);
    EXPECT_EQ(FastPosBack(s, b("ab"), 6, 2, 4), 4);
    EXPECT_EQ(FastPosNoCase(cp("São JOSÉ"), cp("josé"), 8, 4, 1), 5);
    EXPECT_EQ(FastCharPos(b(""), 'a', 1), 0);
    EXPECT_EQ(FastCharPos(s, 'a', 7), 0);
    EXPECT_EQ(FastCharPosNoCase(s, 'C', 0), 3);
    EXPECT_THROW(FastPos(s, b("a"), 6, 1, 0), vorta::EAssertionFailed);
    EXPECT_THROW(FastPosNoCase(s, b("a"), 6, 1, 0), vorta::EAssertionFailed);
    EXPECT_THROW(FastCharPos(s, 'a', 0), vorta::EAssertionFailed);
    EXPECT_EQ(SmartPos(b("bc"), s, true, 1, true), 2);
    EXPECT_EQ(SmartPos(b("BC"), s, false, 0, false), 5);
    EXPECT_EQ(SmartPos(b("BC"), s, true, 0, false), 0);
}

TEST(FastStringsMove, CopiesCountBytes)
{
    char dest[6] = "-----";
    FastCharMove("abc", dest, 3);
    EXPECT_STREQ(dest, "abc--");
    FastCharMove("xyz", dest, 0);
    EXPECT_STREQ(dest, "abc--");
}

TEST(FastStringsReplace, Table)
{
    struct Case { const char* source; const char* find; const char* replace; bool cs; const char* result; };
    const Case cases[] = {
        {"aaa", "aa", "b", true, "ba"},
        {"abcabc", "b", "XYZW", true, "aXYZWcaXYZWc"},
        {"abcABC", "b", "", false, "acAC"},
        {"abcABC", "b", "-", true, "a-cABC"},
        {"", "a", "b", true, ""},
        {"abc", "", "b", true, "abc"},
        {"ab", "abc", "x", true, "ab"},
        {"x", "x", "", true, ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(FastReplace(c.source, c.find, c.replace, c.cs), QByteArray(c.result)) << c.source;
    // Growing well past the first estimate.
    EXPECT_EQ(FastReplace(QByteArray(1000, 'a'), "a", "bcd", true), QByteArray("bcd").repeated(1000));
}

TEST(FastStringsReplace, AnsiReplaceFirstOrAllAndCaseAndNul)
{
    EXPECT_EQ(FastAnsiReplace("aXbxc", "x", "-", 0), QByteArray("aXb-c"));
    EXPECT_EQ(FastAnsiReplace("aXbxc", "x", "-", rfIgnoreCase), QByteArray("a-bxc"));
    EXPECT_EQ(FastAnsiReplace("aXbxc", "x", "-", rfIgnoreCase | rfReplaceAll), QByteArray("a-b-c"));
    EXPECT_EQ(FastAnsiReplace("Ab ab AB", "ab", "cd", rfReplaceAll), QByteArray("Ab cd AB"));
    EXPECT_EQ(FastAnsiReplace(cp("Ação AÇÃO"), cp("ção"), cp("x"), rfIgnoreCase | rfReplaceAll), cp("Ax Ax"));
    const QByteArray withNul("a\0ba\0b", 6);
    EXPECT_EQ(FastAnsiReplace(withNul, "b", "c", rfReplaceAll), QByteArray("a\0ca\0c", 6));
    EXPECT_EQ(FastAnsiReplace("ab", "abc", "x", rfReplaceAll), QByteArray("ab"));
    EXPECT_EQ(FastAnsiReplace("aaaa", "aa", "b", rfReplaceAll), QByteArray("bb"));
}

TEST(FastStringsReplace, TagReplaceHandsEachTagToTheCallback)
{
    QList<QByteArray> seen;
    const auto proc = [&](QByteArray& tag, int data) {
        seen << tag;
        tag = tag == "nome" ? QByteArray("Maria") : QByteArray::number(data);
    };
    EXPECT_EQ(FastTagReplace("Olá <%nome%>, item <%n%>!", "<%", "%>", proc, 7), QByteArray("Olá Maria, item 7!"));
    EXPECT_EQ(seen, (QList<QByteArray>{"nome", "n"}));
    EXPECT_EQ(FastTagReplace("sem tags", "<%", "%>", proc, 0), QByteArray("sem tags"));
    EXPECT_EQ(FastTagReplace("a<%b", "<%", "%>", proc, 0), QByteArray("a<%b"));
    EXPECT_EQ(FastTagReplace("[x][y]", "[", "]", [](QByteArray& t, int) { t.clear(); }, 0), QByteArray(""));
    EXPECT_EQ(FastTagReplace("", "[", "]", proc, 0), QByteArray(""));
    EXPECT_THROW(FastTagReplace("a", "[", "]", TFastTagReplaceProc(), 0), vorta::EAssertionFailed);
}
