#include "platform/db/SqlText.h"

#include <QDateTime>
#include <QHash>

namespace vorta::db {

namespace {

enum class Tok { Space, Ident, QuotedIdent, String, Number, Param, Punct, Comment };

struct Token {
    Tok type;
    QString text;
};

bool isIdentStart(QChar c) { return c.isLetter() || c == QLatin1Char('_'); }
bool isIdentPart(QChar c) { return c.isLetterOrNumber() || c == QLatin1Char('_') || c == QLatin1Char('$'); }

QVector<Token> tokenize(const QString& s)
{
    QVector<Token> out;
    int i = 0;
    const int n = int(s.size());
    while (i < n) {
        const QChar c = s[i];
        const int start = i;
        if (c.isSpace()) {
            while (i < n && s[i].isSpace())
                ++i;
            out.append({Tok::Space, s.mid(start, i - start)});
        } else if (c == QLatin1Char('\'')) {
            ++i;
            while (i < n) {
                if (s[i] == QLatin1Char('\'')) {
                    if (i + 1 < n && s[i + 1] == QLatin1Char('\'')) {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            out.append({Tok::String, s.mid(start, i - start)});
        } else if (c == QLatin1Char('"') || c == QLatin1Char('[')) {
            const QChar close = c == QLatin1Char('"') ? QLatin1Char('"') : QLatin1Char(']');
            ++i;
            while (i < n && s[i] != close)
                ++i;
            ++i;
            out.append({Tok::QuotedIdent, s.mid(start, std::min(i, n) - start)});
        } else if (c == QLatin1Char('-') && i + 1 < n && s[i + 1] == QLatin1Char('-')) {
            while (i < n && s[i] != QLatin1Char('\n'))
                ++i;
            out.append({Tok::Comment, s.mid(start, i - start)});
        } else if (c == QLatin1Char('/') && i + 1 < n && s[i + 1] == QLatin1Char('*')) {
            const int end = s.indexOf(QLatin1String("*/"), i + 2);
            i = end < 0 ? n : end + 2;
            out.append({Tok::Comment, s.mid(start, i - start)});
        } else if (c == QLatin1Char(':') && i + 1 < n && isIdentStart(s[i + 1])
                   && !(i > 0 && s[i - 1] == QLatin1Char(':'))) {
            ++i;
            while (i < n && isIdentPart(s[i]))
                ++i;
            out.append({Tok::Param, s.mid(start + 1, i - start - 1)});
        } else if (isIdentStart(c)) {
            while (i < n && isIdentPart(s[i]))
                ++i;
            out.append({Tok::Ident, s.mid(start, i - start)});
        } else if (c.isDigit() || (c == QLatin1Char('.') && i + 1 < n && s[i + 1].isDigit())) {
            while (i < n && (s[i].isDigit() || s[i] == QLatin1Char('.')))
                ++i;
            if (i < n && (s[i] == QLatin1Char('e') || s[i] == QLatin1Char('E'))) {
                ++i;
                if (i < n && (s[i] == QLatin1Char('+') || s[i] == QLatin1Char('-')))
                    ++i;
                while (i < n && s[i].isDigit())
                    ++i;
            }
            out.append({Tok::Number, s.mid(start, i - start)});
        } else {
            // Two-character operators stay together.
            if (i + 1 < n) {
                const QString two = s.mid(i, 2);
                if (two == QLatin1String("<>") || two == QLatin1String("<=") || two == QLatin1String(">=")
                    || two == QLatin1String("!=") || two == QLatin1String("||")) {
                    out.append({Tok::Punct, two});
                    i += 2;
                    continue;
                }
            }
            out.append({Tok::Punct, QString(c)});
            ++i;
        }
    }
    return out;
}

bool isWord(const Token& t, const char* word)
{
    return t.type == Tok::Ident && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

QString unquoteIdent(const Token& t)
{
    if (t.type == Tok::QuotedIdent)
        return t.text.mid(1, t.text.size() - 2);
    return t.text;
}

// Index of the next token that is not blank or comment, from i on.
int nextSolid(const QVector<Token>& toks, int i)
{
    while (i < toks.size() && (toks[i].type == Tok::Space || toks[i].type == Tok::Comment))
        ++i;
    return i;
}

} // namespace

QString quoteIdentifier(const QString& name)
{
    QString n = name;
    n.replace(QLatin1Char('"'), QLatin1String("\"\""));
    return QLatin1Char('"') + n + QLatin1Char('"');
}

namespace {

RewrittenSql rewriteSqlText(const QString& sql)
{
    RewrittenSql result;
    const QVector<Token> toks = tokenize(sql);
    QString out;
    out.reserve(sql.size() + 32);
    auto paramIndex = [&](const QString& name) {
        for (int k = 0; k < result.paramNames.size(); ++k)
            if (result.paramNames[k].compare(name, Qt::CaseInsensitive) == 0)
                return k + 1;
        result.paramNames << name;
        return int(result.paramNames.size());
    };
    // Emits tokens [from, to) with the same rewriting (used for EXTRACT's operand).
    std::function<QString(int, int)> emitRange = [&](int from, int to) -> QString {
        QString o;
        for (int i = from; i < to; ++i) {
            const Token& t = toks[i];
            if (t.type == Tok::Param) {
                o += QLatin1Char('?') + QString::number(paramIndex(t.text));
                continue;
            }
            if (isWord(t, "EXTRACT")) {
                const int open = nextSolid(toks, i + 1);
                const int unit = nextSolid(toks, open + 1);
                const int from = nextSolid(toks, unit + 1);
                if (open < to && toks[open].text == QLatin1String("(") && unit < to && from < to
                    && isWord(toks[from], "FROM")) {
                    int depth = 1;
                    int k = from + 1;
                    for (; k < to; ++k) {
                        if (toks[k].text == QLatin1String("("))
                            ++depth;
                        else if (toks[k].text == QLatin1String(")") && --depth == 0)
                            break;
                    }
                    const QString u = toks[unit].text.toUpper();
                    QString fmt;
                    if (u == QLatin1String("YEAR"))
                        fmt = QStringLiteral("%Y");
                    else if (u == QLatin1String("MONTH"))
                        fmt = QStringLiteral("%m");
                    else if (u == QLatin1String("DAY"))
                        fmt = QStringLiteral("%d");
                    else if (u == QLatin1String("HOUR"))
                        fmt = QStringLiteral("%H");
                    else if (u == QLatin1String("MINUTE"))
                        fmt = QStringLiteral("%M");
                    else if (u == QLatin1String("SECOND"))
                        fmt = QStringLiteral("%S");
                    if (!fmt.isEmpty() && k < to) {
                        o += QStringLiteral("CAST(strftime('%1', %2) AS INTEGER)").arg(fmt, emitRange(from + 1, k).trimmed());
                        i = k;
                        continue;
                    }
                }
            }
            // name = ''  /  name <> ''  (the empty value is kept as NULL)
            if (t.type == Tok::Ident || t.type == Tok::QuotedIdent) {
                int k = i;
                QString name = t.text;
                while (k + 2 < to && toks[k + 1].text == QLatin1String(".")
                       && (toks[k + 2].type == Tok::Ident || toks[k + 2].type == Tok::QuotedIdent)) {
                    name += QLatin1Char('.') + toks[k + 2].text;
                    k += 2;
                }
                const int op = nextSolid(toks, k + 1);
                const int lit = nextSolid(toks, op + 1);
                if (op < to && lit < to && toks[lit].type == Tok::String && toks[lit].text == QLatin1String("''")
                    && (toks[op].text == QLatin1String("=") || toks[op].text == QLatin1String("<>")
                        || toks[op].text == QLatin1String("!="))) {
                    if (toks[op].text == QLatin1String("="))
                        o += QStringLiteral("(%1 IS NULL OR %1 = '')").arg(name);
                    else
                        o += QStringLiteral("(%1 IS NOT NULL AND %1 <> '')").arg(name);
                    i = lit;
                    continue;
                }
            }
            o += t.text;
        }
        return o;
    };

    // CREATE [UNIQUE] INDEX [IF NOT EXISTS] name ON table / DROP INDEX [IF EXISTS] table.name
    int first = nextSolid(toks, 0);
    if (first < toks.size() && isWord(toks[first], "CREATE")) {
        int k = nextSolid(toks, first + 1);
        if (k < toks.size() && isWord(toks[k], "UNIQUE"))
            k = nextSolid(toks, k + 1);
        if (k < toks.size() && isWord(toks[k], "INDEX")) {
            int nameAt = nextSolid(toks, k + 1);
            if (nameAt < toks.size() && isWord(toks[nameAt], "IF")) {
                nameAt = nextSolid(toks, nameAt + 1); // NOT
                nameAt = nextSolid(toks, nameAt + 1); // EXISTS
                nameAt = nextSolid(toks, nameAt + 1);
            }
            const int on = nextSolid(toks, nameAt + 1);
            const int table = nextSolid(toks, on + 1);
            if (table < toks.size() && isWord(toks[on], "ON")) {
                const QString indexName = unquoteIdent(toks[nameAt]);
                const QString tableName = unquoteIdent(toks[table]);
                const QString full = indexName.contains(QLatin1Char('$')) ? indexName : tableName + QLatin1Char('$') + indexName;
                out = emitRange(0, nameAt) + quoteIdentifier(full)
                    + emitRange(nameAt + 1, int(toks.size()));
                result.sql = out;
                return result;
            }
        }
    }
    if (first < toks.size() && isWord(toks[first], "DROP")) {
        const int k = nextSolid(toks, first + 1);
        if (k < toks.size() && isWord(toks[k], "INDEX")) {
            int t = nextSolid(toks, k + 1);
            if (t < toks.size() && isWord(toks[t], "IF"))
                t = nextSolid(toks, nextSolid(toks, t + 1) + 1);
            if (t + 2 < toks.size() && toks[t + 1].text == QLatin1String(".")) {
                out = emitRange(0, t) + quoteIdentifier(unquoteIdent(toks[t]) + QLatin1Char('$') + unquoteIdent(toks[t + 2]))
                    + emitRange(t + 3, int(toks.size()));
                result.sql = out;
                return result;
            }
        }
    }
    result.sql = emitRange(0, int(toks.size()));
    return result;
}

} // namespace

RewrittenSql rewriteSql(const QString& sql)
{
    // The same few statements are rewritten again and again (a query's text is set line
    // by line, then opened for each record): each text is rewritten once.
    thread_local QHash<QString, RewrittenSql> done;
    const auto it = done.constFind(sql);
    if (it != done.constEnd())
        return *it;
    if (done.size() >= 512)
        done.clear();
    return *done.insert(sql, rewriteSqlText(sql));
}

QString qualifyAmbiguousColumn(const QString& sql, const QString& column,
                               const std::function<bool(const QString&, const QString&)>& hasColumn)
{
    const QVector<Token> toks = tokenize(sql);
    // The first table (by alias) of the top-level FROM list that has the column.
    QString owner;
    int depth = 0;
    for (int i = 0; i < toks.size() && owner.isEmpty(); ++i) {
        if (toks[i].text == QLatin1String("("))
            ++depth;
        else if (toks[i].text == QLatin1String(")"))
            --depth;
        if (depth != 0 || !isWord(toks[i], "FROM"))
            continue;
        int k = nextSolid(toks, i + 1);
        while (k < toks.size() && (toks[k].type == Tok::Ident || toks[k].type == Tok::QuotedIdent)) {
            const QString table = unquoteIdent(toks[k]);
            QString alias = table;
            int n = nextSolid(toks, k + 1);
            if (n < toks.size() && isWord(toks[n], "AS"))
                n = nextSolid(toks, n + 1);
            if (n < toks.size() && toks[n].type == Tok::Ident && !isWord(toks[n], "WHERE") && !isWord(toks[n], "ORDER")
                && !isWord(toks[n], "GROUP") && !isWord(toks[n], "JOIN") && !isWord(toks[n], "INNER")
                && !isWord(toks[n], "LEFT") && !isWord(toks[n], "ON")) {
                alias = toks[n].text;
                n = nextSolid(toks, n + 1);
            }
            if (hasColumn(table, column)) {
                owner = alias;
                break;
            }
            if (n < toks.size() && toks[n].text == QLatin1String(",")) {
                k = nextSolid(toks, n + 1);
                continue;
            }
            break;
        }
    }
    if (owner.isEmpty())
        return {};
    QString out;
    bool changed = false;
    for (int i = 0; i < toks.size(); ++i) {
        const Token& t = toks[i];
        const bool qualified = i > 0 && toks[i - 1].text == QLatin1String(".");
        const int next = nextSolid(toks, i + 1);
        const bool call = next < toks.size() && toks[next].text == QLatin1String("(");
        const bool prefix = next < toks.size() && toks[next].text == QLatin1String(".");
        int prev = i - 1;
        while (prev >= 0 && (toks[prev].type == Tok::Space || toks[prev].type == Tok::Comment))
            --prev;
        const bool aliasName = prev >= 0 && isWord(toks[prev], "AS");
        if (t.type == Tok::Ident && t.text.compare(column, Qt::CaseInsensitive) == 0 && !qualified && !call && !prefix
            && !aliasName) {
            out += owner + QLatin1Char('.') + t.text;
            changed = true;
            continue;
        }
        out += t.type == Tok::Param ? QLatin1Char(':') + t.text : t.text;
    }
    return changed ? out : QString();
}

QStringList splitSqlScript(const QString& script)
{
    QStringList out;
    QString current;
    for (const Token& t : tokenize(script)) {
        if (t.type == Tok::Punct && t.text == QLatin1String(";")) {
            if (!current.trimmed().isEmpty())
                out << current.trimmed();
            current.clear();
            continue;
        }
        if (t.type == Tok::Comment)
            continue;
        current += t.type == Tok::Param ? QLatin1Char(':') + t.text : t.text;
    }
    if (!current.trimmed().isEmpty())
        out << current.trimmed();
    return out;
}

QDateTime parseUserDateTime(const QString& text, bool* ok)
{
    const QString t = text.trimmed();
    static const char* formats[] = {"dd/MM/yyyy HH:mm:ss", "dd/MM/yyyy HH:mm", "dd/MM/yyyy", "d/M/yyyy",
                                    "dd/MM/yy", "yyyy-MM-dd HH:mm:ss.zzz", "yyyy-MM-dd HH:mm:ss",
                                    "yyyy-MM-ddTHH:mm:ss", "yyyy-MM-dd"};
    for (const char* f : formats) {
        QDateTime dt = QDateTime::fromString(t, QLatin1String(f));
        if (dt.isValid()) {
            if (QLatin1String(f) == QLatin1String("dd/MM/yy") && dt.date().year() < 1950)
                dt = dt.addYears(100);
            if (ok)
                *ok = true;
            return dt;
        }
    }
    if (ok)
        *ok = false;
    return {};
}

namespace {

class FilterParser {
public:
    FilterParser(const QString& text, FilterOptions opts, const FilterFieldResolver& resolve, int firstParam)
        : m_text(text), m_opts(opts), m_resolve(resolve), m_next(firstParam)
    {
        for (const Token& t : tokenize(text))
            if (t.type != Tok::Space && t.type != Tok::Comment)
                m_toks.append(t);
    }

    TranslatedFilter run()
    {
        TranslatedFilter f;
        if (m_toks.isEmpty()) {
            f.where = QStringLiteral("1");
            return f;
        }
        f.where = orExpr();
        if (m_pos < m_toks.size())
            error();
        f.params = m_params;
        return f;
    }

private:
    struct Operand {
        bool isField = false;
        FieldType type = FieldType::Unknown;
        QString sql;       // field expression, or literal placeholder
        bool isString = false;
        QString stringValue;
        QVariant value;
        bool isNull = false;
    };

    [[noreturn]] void error() const
    {
        throw EDatabaseError(QStringLiteral("Filter expression incorrectly formatted: %1").arg(m_text));
    }
    const Token* peek() const { return m_pos < m_toks.size() ? &m_toks[m_pos] : nullptr; }
    bool acceptWord(const char* w)
    {
        if (peek() && isWord(*peek(), w)) {
            ++m_pos;
            return true;
        }
        return false;
    }
    bool acceptPunct(const char* p)
    {
        if (peek() && peek()->type == Tok::Punct && peek()->text == QLatin1String(p)) {
            ++m_pos;
            return true;
        }
        return false;
    }
    QString param(const QVariant& v)
    {
        m_params.append(v);
        return QLatin1Char('?') + QString::number(m_next++);
    }

    QString orExpr()
    {
        QString s = andExpr();
        while (acceptWord("OR"))
            s = QStringLiteral("(%1 OR %2)").arg(s, andExpr());
        return s;
    }
    QString andExpr()
    {
        QString s = notExpr();
        while (acceptWord("AND"))
            s = QStringLiteral("(%1 AND %2)").arg(s, notExpr());
        return s;
    }
    QString notExpr()
    {
        if (acceptWord("NOT"))
            return QStringLiteral("(NOT %1)").arg(notExpr());
        if (acceptPunct("(")) {
            // A parenthesis opens either a group or an operand; groups are what filters use.
            QString s = orExpr();
            if (!acceptPunct(")"))
                error();
            return QStringLiteral("(%1)").arg(s);
        }
        return comparison();
    }

    Operand operand()
    {
        const Token* t = peek();
        if (!t)
            error();
        Operand o;
        ++m_pos;
        if (t->type == Tok::String) {
            o.isString = true;
            o.stringValue = t->text.mid(1, t->text.size() - 2).replace(QLatin1String("''"), QLatin1String("'"));
            return o;
        }
        if (t->type == Tok::Number) {
            o.value = t->text.contains(QLatin1Char('.')) ? QVariant(t->text.toDouble()) : QVariant(t->text.toLongLong());
            return o;
        }
        if (t->type == Tok::Punct && (t->text == QLatin1String("-")) && peek() && peek()->type == Tok::Number) {
            const QString num = QLatin1Char('-') + peek()->text;
            ++m_pos;
            o.value = num.contains(QLatin1Char('.')) ? QVariant(num.toDouble()) : QVariant(num.toLongLong());
            return o;
        }
        if (t->type == Tok::Ident && (isWord(*t, "TRUE") || isWord(*t, "FALSE"))) {
            o.value = qint64(isWord(*t, "TRUE") ? 1 : 0);
            return o;
        }
        if (t->type == Tok::Ident && isWord(*t, "NULL")) {
            o.isNull = true;
            return o;
        }
        if (t->type == Tok::Ident || t->type == Tok::QuotedIdent) {
            const auto r = m_resolve(unquoteIdent(*t));
            o.isField = true;
            o.type = r.first;
            o.sql = r.second;
            return o;
        }
        error();
    }

    QString literalSql(const Operand& lit, FieldType against)
    {
        if (lit.isNull)
            return QStringLiteral("NULL");
        if (!lit.isString)
            return param(lit.value);
        switch (against) {
        case FieldType::Date:
        case FieldType::DateTime:
        case FieldType::Time: {
            bool ok = false;
            const QDateTime dt = parseUserDateTime(lit.stringValue, &ok);
            if (ok) {
                if (against == FieldType::Date)
                    return param(toStorage(dt.date()));
                if (against == FieldType::Time)
                    return param(timeToIso(dt.time()));
                return param(dateTimeToIso(dt));
            }
            return param(lit.stringValue);
        }
        case FieldType::Boolean:
            return param(normalizeValue(FieldType::Boolean, lit.stringValue).toBool() ? 1 : 0);
        default:
            return param(lit.stringValue);
        }
    }

    QString comparison()
    {
        Operand left = operand();
        if (acceptWord("IS")) {
            const bool neg = acceptWord("NOT");
            if (!acceptWord("NULL"))
                error();
            return QStringLiteral("(%1 IS %2NULL)").arg(left.isField ? left.sql : literalSql(left, FieldType::Unknown),
                                                        neg ? QStringLiteral("NOT ") : QString());
        }
        const Token* t = peek();
        if (!t || t->type != Tok::Punct)
            error();
        QString op = t->text;
        if (op == QLatin1String("!="))
            op = QStringLiteral("<>");
        if (op != QLatin1String("=") && op != QLatin1String("<>") && op != QLatin1String("<")
            && op != QLatin1String(">") && op != QLatin1String("<=") && op != QLatin1String(">="))
            error();
        ++m_pos;
        Operand right = operand();
        bool swapped = false;
        if (!left.isField && right.isField) {
            std::swap(left, right);
            swapped = true;
            if (op == QLatin1String("<"))
                op = QStringLiteral(">");
            else if (op == QLatin1String(">"))
                op = QStringLiteral("<");
            else if (op == QLatin1String("<="))
                op = QStringLiteral(">=");
            else if (op == QLatin1String(">="))
                op = QStringLiteral("<=");
        }
        Q_UNUSED(swapped);
        const bool ci = (m_opts & foCaseInsensitive) != 0;
        if (left.isField && right.isString) {
            const bool textual = left.type == FieldType::String || left.type == FieldType::Memo
                || left.type == FieldType::Unknown;
            if (right.stringValue.isEmpty() && (op == QLatin1String("=") || op == QLatin1String("<>"))) {
                return op == QLatin1String("=") ? QStringLiteral("(%1 IS NULL OR %1 = '')").arg(left.sql)
                                                : QStringLiteral("(%1 IS NOT NULL AND %1 <> '')").arg(left.sql);
            }
            if (!(m_opts & foNoPartialCompare) && right.stringValue.endsWith(QLatin1Char('*'))
                && (op == QLatin1String("=") || op == QLatin1String("<>"))) {
                const QString prefix = right.stringValue.left(right.stringValue.size() - 1);
                QString cond;
                if (prefix.isEmpty())
                    cond = QStringLiteral("1");
                else {
                    const QString col = QStringLiteral("substr(CAST(%1 AS TEXT), 1, %2)").arg(left.sql).arg(prefix.size());
                    cond = ci ? QStringLiteral("(vorta_fold(%1) = vorta_fold(%2))").arg(col, param(prefix))
                              : QStringLiteral("(%1 = %2)").arg(col, param(prefix));
                }
                return op == QLatin1String("=") ? cond : QStringLiteral("(NOT %1)").arg(cond);
            }
            const QString lit = literalSql(right, left.type);
            // The empty value is kept as NULL: compared with a text it is the empty text.
            const QString col = textual ? QStringLiteral("coalesce(%1, '')").arg(left.sql) : left.sql;
            if (ci && textual)
                return QStringLiteral("(vorta_fold(%1) %2 vorta_fold(%3))").arg(col, op, lit);
            return QStringLiteral("(%1 %2 %3)").arg(col, op, lit);
        }
        const QString l = left.isField ? left.sql : literalSql(left, FieldType::Unknown);
        const QString r = right.isField ? right.sql : literalSql(right, left.isField ? left.type : FieldType::Unknown);
        return QStringLiteral("(%1 %2 %3)").arg(l, op, r);
    }

    QString m_text;
    FilterOptions m_opts;
    const FilterFieldResolver& m_resolve;
    int m_next;
    QVector<Token> m_toks;
    int m_pos = 0;
    QVariantList m_params;
};

} // namespace

TranslatedFilter translateFilter(const QString& filter, FilterOptions options,
                                 const FilterFieldResolver& resolve, int firstParam)
{
    return FilterParser(filter, options, resolve, firstParam).run();
}

} // namespace vorta::db
