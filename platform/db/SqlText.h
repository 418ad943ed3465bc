#pragma once

#include "platform/db/DbTypes.h"

#include <QStringList>

#include <functional>

namespace vorta::db {

struct RewrittenSql {
    QString sql;            // text for the engine, parameters as ?N
    QStringList paramNames; // distinct parameter names in order of first use
};

// Turns the suite's SQL into the engine's: ":name" parameters become numbered ones
// (one per distinct name, case-insensitive), EXTRACT(MONTH|YEAR|DAY FROM x) becomes a
// date-part of the ISO text, "x = ''" and "x <> ''" test for the empty (NULL) value,
// and index names are made unique per table ("CREATE INDEX Id_Nome ON T" names the
// index "T$Id_Nome"; "DROP INDEX T.Id_Nome" drops it).
RewrittenSql rewriteSql(const QString& sql);

// Statements of a script separated by ";" outside literals and comments.
QStringList splitSqlScript(const QString& script);

struct TranslatedFilter {
    QString where;       // SQL condition with ?N parameters starting at firstParam
    QVariantList params;
};

// Looks up a field of a filter by name: its type and the SQL expression of its column;
// raises EDatabaseError "Field 'X' not found" for an unknown name.
using FilterFieldResolver = std::function<QPair<FieldType, QString>(const QString& name)>;

// Translates a filter expression of the engine's syntax into a SQL condition: comparisons
// (= <> < > <= >=), IS [NOT] NULL, AND, OR, NOT, parentheses; a string literal ending
// in "*" is a prefix match; "= ''" matches the empty value. Raises EDatabaseError on a
// syntax error.
TranslatedFilter translateFilter(const QString& filter, FilterOptions options,
                                 const FilterFieldResolver& resolve, int firstParam = 1);

// Parses a date, time or date-time typed by a user or written in a filter
// ("dd/mm/yyyy", "dd/mm/yyyy hh:nn[:ss]", ISO); invalid when it is none of those.
QDateTime parseUserDateTime(const QString& text, bool* ok);

QString quoteIdentifier(const QString& name);

// For an unqualified column that more than one table of the FROM list has: the SQL with
// that column qualified by the first table (or alias) that has it, as the suite's engine
// reads it; empty when nothing can be done.
QString qualifyAmbiguousColumn(const QString& sql, const QString& column,
                               const std::function<bool(const QString& table, const QString& column)>& hasColumn);

} // namespace vorta::db
