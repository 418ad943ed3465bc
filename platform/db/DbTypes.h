#pragma once

#include "platform/core/Exceptions.h"

#include <QString>
#include <QVariant>
#include <QVector>

namespace vorta::db {

// The null test of fields (!isValid() || isNull()) read inline for the common values:
// only a pointer type can hold a null beyond the variant's own flag.
inline bool isNullValue(const QVariant& v)
{
    const QVariant::Private& d = v.data_ptr();
    if (d.is_null || d.packedType == 0)
        return true;
    return (d.typeInterface()->flags & QMetaType::IsPointer) && v.isNull();
}

// Failures of the dataset layer (field and state errors) and of the engine.
VORTA_EXCEPTION_CLASS(EDatabaseError, Exception)

// A failure reported by the engine itself; errorCode is the engine's result code.
class EDBEngineError : public EDatabaseError {
public:
    EDBEngineError(const QString& message, int errorCode)
        : EDatabaseError(message), m_errorCode(errorCode) {}
    const char* className() const override { return "EDBEngineError"; }
    int errorCode() const { return m_errorCode; }

private:
    int m_errorCode;
};

enum class FieldType {
    Unknown, String, Integer, SmallInt, Float, Currency, Boolean,
    Date, Time, DateTime, Memo, Blob
};

enum class FieldKind { Data, Calculated, Lookup };

enum class DataSetState { Inactive, Browse, Edit, Insert, SetKey, CalcFields };

enum class DataAction { Fail, Abort, Retry };

enum class LocateOption { CaseInsensitive = 1, PartialKey = 2 };
using LocateOptions = int;
constexpr LocateOptions loCaseInsensitive = 1;
constexpr LocateOptions loPartialKey = 2;

enum class FilterOption { CaseInsensitive = 1, NoPartialCompare = 2 };
using FilterOptions = int;
constexpr FilterOptions foCaseInsensitive = 1;
constexpr FilterOptions foNoPartialCompare = 2;

using Row = QVector<QVariant>;

// Field type from a declared column type ("VARCHAR(40)" -> String, size 40).
FieldType fieldTypeFromDecl(const QString& declared, int* size);

// Values as the file keeps them: empty strings are NULL, dates and date-times sortable
// ISO text "yyyy-mm-dd hh:nn:ss" (a date at midnight), Booleans 0 and 1.
QVariant toStorage(const QVariant& value);
QString dateToIso(const QDate& d);
QString timeToIso(const QTime& t);
QString dateTimeToIso(const QDateTime& dt);
QDateTime dateTimeFromIso(const QString& text);

// The canonical in-memory value of a field type (QString, qint64, double, bool, QDate,
// QTime, QDateTime, QByteArray), or an invalid variant for NULL.
QVariant normalizeValue(FieldType type, const QVariant& value);

// Whether a variant of this type holds a whole number (of any width or sign).
bool isWholeNumberType(int typeId);

// Splits "a;b ; c" into trimmed names.
QStringList splitFieldNames(const QString& names);

} // namespace vorta::db
