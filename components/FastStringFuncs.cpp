#include "FastStringFuncs.h"

#include "FastStrings.h"

#include "platform/core/Cp1252.h"
#include "platform/core/Exceptions.h"

#include <QFileInfo>
#include <QRandomGenerator>

namespace {

const char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int base64Value(unsigned char c)
{
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

bool isBlank(unsigned char c)
{
    return c == '\r' || c == '\n' || c == ' ' || c == '\t';
}

QString crypt(const QString& s, std::uint16_t key, bool encrypt)
{
    QByteArray bytes = vorta::toCp1252(s);
    for (char& c : bytes) {
        const auto in = static_cast<unsigned char>(c);
        const auto out = static_cast<unsigned char>(in ^ (key >> 8));
        c = static_cast<char>(out);
        const unsigned cipher = encrypt ? out : in;
        key = static_cast<std::uint16_t>((cipher + key) * 52845u + 22719u);
    }
    return vorta::fromCp1252(bytes);
}

QString extract(const QString& s, bool html)
{
    int depth = 0;
    QString out;
    for (QChar c : s) {
        if (c == QLatin1Char('<')) {
            ++depth;
            if (html && depth == 1)
                out += c;
        } else if (c == QLatin1Char('>')) {
            --depth;
            if (html && depth == 0)
                out += c;
        } else {
            if (depth < 0)
                depth = 0;
            if (html ? depth > 0 : depth < 1)
                out += c;
        }
    }
    QByteArray bytes = vorta::toCp1252(out);
    const std::pair<const char*, const char*> entities[] = {
        {"&nbsp;", " "}, {"&amp;", "&"}, {"&lt;", "<"}, {"&gt;", ">"}, {"&quot;", "\""}};
    for (const auto& [entity, plain] : entities)
        bytes = FastReplace(bytes, entity, plain, false);
    return vorta::fromCp1252(bytes);
}

bool isWordChar(QChar c)
{
    const char16_t u = c.unicode();
    return (u >= '0' && u <= '9') || (u >= 'A' && u <= 'Z') || (u >= 'a' && u <= 'z');
}

int soundexCode(char16_t u)
{
    static const char codes[] = "01230120022455012623010202";
    if (u >= 'A' && u <= 'Z')
        return codes[u - 'A'] - '0';
    if (u >= 'a' && u <= 'z')
        return codes[u - 'a'] - '0';
    return 0;
}

} // namespace

QString Base64Encode(const QString& s)
{
    const QByteArray in = vorta::toCp1252(s);
    QByteArray out;
    out.reserve((in.size() + 2) / 3 * 4);
    for (qsizetype i = 0; i < in.size(); i += 3) {
        const qsizetype n = std::min<qsizetype>(3, in.size() - i);
        std::uint32_t group = 0;
        for (qsizetype k = 0; k < 3; ++k)
            group = (group << 8) | (k < n ? static_cast<unsigned char>(in[i + k]) : 0u);
        for (int k = 0; k < 4; ++k)
            out += k <= n ? kAlphabet[(group >> (18 - 6 * k)) & 63] : '=';
    }
    return QString::fromLatin1(out);
}

QString Base64Decode(const QString& s)
{
    QByteArray in;
    for (char c : vorta::toCp1252(s))
        if (!isBlank(static_cast<unsigned char>(c)))
            in += c;
    QByteArray out;
    out.reserve(in.size() / 4 * 3);
    for (qsizetype i = 0; i + 4 <= in.size(); i += 4) {
        std::uint32_t group = 0;
        int valid = 0;
        for (int k = 0; k < 4; ++k) {
            const int v = base64Value(static_cast<unsigned char>(in[i + k]));
            group = (group << 6) | static_cast<std::uint32_t>(v < 0 ? 0 : v);
            if (v >= 0)
                ++valid;
        }
        for (int k = 0; k < valid - 1; ++k)
            out += static_cast<char>((group >> (16 - 8 * k)) & 0xFF);
    }
    return vorta::fromCp1252(out);
}

QString Encrypt(const QString& s, std::uint16_t key) { return crypt(s, key, true); }
QString Decrypt(const QString& s, std::uint16_t key) { return crypt(s, key, false); }

QString ExtractHTML(const QString& s) { return extract(s, true); }
QString ExtractNonHTML(const QString& s) { return extract(s, false); }

QString CopyStr(const QString& s, int index, int count)
{
    if (s.isEmpty() || index < 1 || count < 1 || index > s.size())
        return {};
    return s.mid(index - 1, count);
}

QString LeftStr(const QString& s, int count)
{
    if (count < 1)
        return {};
    return count >= s.size() ? s : s.left(count);
}

QString RightStr(const QString& s, int count)
{
    if (count < 1)
        return {};
    return count >= s.size() ? s : s.right(count);
}

QString ReverseStr(const QString& s)
{
    QString out(s);
    std::reverse(out.begin(), out.end());
    return out;
}

std::int64_t HexToInt(const QString& s)
{
    static const QString digits = QStringLiteral("0123456789ABCDEF");
    std::uint64_t value = 0;
    std::uint64_t weight = 1;
    for (qsizetype i = s.size() - 1; i >= 0; --i) {
        const qsizetype d = digits.indexOf(s.at(i).toUpper());
        if (d < 0)
            throw vorta::Exception(QStringLiteral("Invalid hex character ") + s.at(i));
        value += static_cast<std::uint64_t>(d) * weight;
        weight *= 16;
    }
    return static_cast<std::int64_t>(value);
}

std::uint32_t RGBToColor(const QString& s)
{
    QString text = s;
    if (text.size() >= 6 && text.startsWith(QLatin1Char('#')))
        text.remove(0, 1);
    bool ok = text.size() == 6;
    for (QChar c : text)
        ok = ok && QStringLiteral("0123456789ABCDEFabcdef").contains(c);
    if (!ok)
        throw vorta::EConvertError(QStringLiteral("Not a valid RGB value"));
    const auto rgb = static_cast<std::uint32_t>(HexToInt(text));
    const std::uint32_t r = (rgb >> 16) & 0xFF, g = (rgb >> 8) & 0xFF, b = rgb & 0xFF;
    return r | (g << 8) | (b << 16);
}

bool StringMatches(const QString& value, const QString& pattern)
{
    const qsizetype star = pattern.indexOf(QLatin1Char('*'));
    if (star < 0)
        return value == pattern;
    if (value.left(star) != pattern.left(star))
        return false;
    QString rest = value.mid(star);
    const QString after = pattern.mid(star + 1);
    const qsizetype next = after.indexOf(QLatin1Char('*'));
    const QString sub = next < 0 ? after : after.left(next);
    if (!sub.isEmpty()) {
        const qsizetype at = rest.indexOf(sub);
        if (at < 0)
            return false;
        rest = rest.mid(at);
    }
    if (after.isEmpty())
        return true;
    return StringMatches(rest, after);
}

QString MissingText(const QString& templateText, const QString& text, const QString& placeholder)
{
    const qsizetype at = templateText.indexOf(placeholder);
    if (at < 0 || placeholder.isEmpty())
        return {};
    const QString before = templateText.left(at);
    const QString after = templateText.mid(at + placeholder.size(), text.size());
    if (before.isEmpty())
        return {};
    qsizetype from = before.size() + placeholder.size() - 1;
    while (true) {
        const qsizetype q = text.indexOf(after, from, Qt::CaseInsensitive);
        if (q < 0)
            return {};
        // Before must lie wholly in front of the occurrence of After.
        if (q >= before.size()) {
            const qsizetype b = text.lastIndexOf(before, q - before.size(), Qt::CaseInsensitive);
            if (b >= 0)
                return text.mid(b + before.size(), q - (b + before.size()));
        }
        from = q + placeholder.size();
    }
}

QString RandomStr(int length)
{
    QString out;
    for (int i = 0; i < length; ++i)
        out += QChar(u'A' + QRandomGenerator::global()->bounded(26));
    return out;
}

namespace {

QString folderOf(const QString& fileName)
{
    const qsizetype slash = fileName.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? QString() : fileName.left(slash + 1);
}

QString extensionOf(const QString& fileName)
{
    const QString name = fileName.mid(folderOf(fileName).size());
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot < 0 ? QString() : name.mid(dot);
}

} // namespace

QString RandomFileName(const QString& fileName)
{
    QString candidate;
    do
        candidate = folderOf(fileName) + RandomStr(32) + extensionOf(fileName);
    while (QFileInfo::exists(candidate));
    return candidate;
}

QString UniqueFilename(const QString& fileName)
{
    if (!QFileInfo::exists(fileName))
        return fileName;
    const QString ext = extensionOf(fileName);
    const QString stem = fileName.left(fileName.size() - ext.size());
    for (int n = 2;; ++n) {
        const QString candidate = stem + QString::number(n) + ext;
        if (!QFileInfo::exists(candidate))
            return candidate;
    }
}

void Split(const QString& s, QChar separator, QStringList& strings)
{
    strings.clear();
    QString piece;
    for (QChar c : s) {
        if (c == separator) {
            strings << piece;
            piece.clear();
        } else {
            piece += c;
        }
    }
    if (!piece.isEmpty())
        strings << piece;
}

int StringCount(const QString& source, const QString& find, bool caseSensitive)
{
    if (source.isEmpty() || find.isEmpty())
        return 0;
    const QByteArray src = vorta::toCp1252(source);
    const QByteArray pat = vorta::toCp1252(find);
    TBMJumpTable table;
    if (caseSensitive)
        MakeBMTable(pat.constData(), static_cast<int>(pat.size()), table);
    else
        MakeBMTableNoCase(pat.constData(), static_cast<int>(pat.size()), table);
    int count = 0;
    const char* rest = src.constData();
    const char* const end = rest + src.size();
    while (end - rest >= pat.size()) {
        const int len = static_cast<int>(end - rest);
        const char* hit = caseSensitive ? BMPos(rest, pat.constData(), len, static_cast<int>(pat.size()), table)
                                        : BMPosNoCase(rest, pat.constData(), len, static_cast<int>(pat.size()), table);
        if (!hit)
            break;
        ++count;
        rest = hit + pat.size();
    }
    return count;
}

int SoundEx(const QString& s)
{
    if (s.isEmpty())
        return 0;
    const QByteArray bytes = vorta::toCp1252(s);
    int value = vorta::cp1252Upper(static_cast<unsigned char>(bytes[0]));
    int multiplier = 26;
    int previous = 0;
    for (qsizetype i = 1; i < bytes.size(); ++i) {
        const auto c = static_cast<unsigned char>(bytes[i]);
        if (c < 'A' || c > 'z')
            continue;
        const int code = soundexCode(c);
        if (code != 0 && code != previous) {
            value += code * multiplier;
            if (multiplier == 936)
                break;
            multiplier *= 6;
            previous = code;
        }
    }
    return value;
}

QString URLToText(const QString& s)
{
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s.at(i) == QLatin1Char('%')) {
            const QString hex = s.mid(i + 1, 2);
            const QByteArray byte(1, static_cast<char>(HexToInt(hex) & 0xFF));
            out += vorta::fromCp1252(byte);
            i += hex.size();
        } else {
            out += s.at(i);
        }
    }
    return out;
}

QString WordAt(const QString& text, int position)
{
    if (position < 1 || position > text.size())
        return {};
    qsizetype right = position - 1;
    while (right < text.size() && isWordChar(text.at(right)))
        ++right;
    qsizetype left = position - 1;
    while (left > 0 && isWordChar(text.at(left - 1)))
        --left;
    return text.mid(left, right - left);
}
