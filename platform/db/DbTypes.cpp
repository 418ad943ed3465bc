#include "platform/db/DbTypes.h"

#include <QDateTime>
#include <QHash>
#include <QRegularExpression>

#include <utility>

namespace vorta::db {

namespace {

FieldType typeFromDecl(const QString& declared, int* size)
{
    const QString d = declared.trimmed().toUpper();
    if (size)
        *size = 0;
    static const QRegularExpression width(QStringLiteral("\\(\\s*(\\d+)"));
    auto takeWidth = [&](int def) {
        const auto m = width.match(d);
        if (size)
            *size = m.hasMatch() ? m.captured(1).toInt() : def;
    };
    if (d.startsWith(QLatin1String("VARCHAR")) || d.startsWith(QLatin1String("CHAR"))
        || d.startsWith(QLatin1String("NVARCHAR")) || d.startsWith(QLatin1String("STRING"))) {
        takeWidth(20);
        return FieldType::String;
    }
    if (d.startsWith(QLatin1String("SMALLINT")) || d.startsWith(QLatin1String("WORD")))
        return FieldType::SmallInt;
    if (d.startsWith(QLatin1String("INT")) || d.startsWith(QLatin1String("BIGINT"))
        || d.startsWith(QLatin1String("AUTOINC")))
        return FieldType::Integer;
    if (d.startsWith(QLatin1String("FLOAT")) || d.startsWith(QLatin1String("REAL"))
        || d.startsWith(QLatin1String("DOUBLE")))
        return FieldType::Float;
    if (d.startsWith(QLatin1String("MONEY")) || d.startsWith(QLatin1String("CURRENCY"))
        || d.startsWith(QLatin1String("DECIMAL")) || d.startsWith(QLatin1String("NUMERIC")))
        return FieldType::Currency;
    if (d.startsWith(QLatin1String("BOOL")))
        return FieldType::Boolean;
    if (d.startsWith(QLatin1String("DATETIME")) || d.startsWith(QLatin1String("TIMESTAMP")))
        return FieldType::DateTime;
    if (d.startsWith(QLatin1String("DATE")))
        return FieldType::Date;
    if (d.startsWith(QLatin1String("TIME")))
        return FieldType::Time;
    if (d.startsWith(QLatin1String("MEMO")) || d.startsWith(QLatin1String("TEXT"))
        || d.startsWith(QLatin1String("CLOB")))
        return FieldType::Memo;
    if (d.startsWith(QLatin1String("BLOB")) || d.startsWith(QLatin1String("GRAPHIC"))
        || d.startsWith(QLatin1String("BYTES")))
        return FieldType::Blob;
    return FieldType::Unknown;
}

} // namespace

FieldType fieldTypeFromDecl(const QString& declared, int* size)
{
    // Read for every column of every query opened: the same few declarations.
    static thread_local QHash<QString, std::pair<FieldType, int>> known;
    auto it = known.constFind(declared);
    if (it == known.constEnd()) {
        if (known.size() > 512)
            known.clear();
        int width = 0;
        const FieldType type = typeFromDecl(declared, &width);
        it = known.insert(declared, {type, width});
    }
    if (size)
        *size = it->second;
    return it->first;
}

QString dateToIso(const QDate& d)
{
    return d.toString(QStringLiteral("yyyy-MM-dd"));
}

QString timeToIso(const QTime& t)
{
    return t.msec() ? t.toString(QStringLiteral("HH:mm:ss.zzz")) : t.toString(QStringLiteral("HH:mm:ss"));
}

QString dateTimeToIso(const QDateTime& dt)
{
    return dateToIso(dt.date()) + QLatin1Char(' ') + timeToIso(dt.time());
}

QDateTime dateTimeFromIso(const QString& text)
{
    QString t = text.trimmed();
    if (t.size() == 10)
        return QDateTime(QDate::fromString(t, QStringLiteral("yyyy-MM-dd")), QTime(0, 0));
    t.replace(QLatin1Char('T'), QLatin1Char(' '));
    const QDate date = QDate::fromString(t.left(10), QStringLiteral("yyyy-MM-dd"));
    const QString tp = t.mid(11);
    QTime time = QTime::fromString(tp, tp.size() > 8 ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss"));
    if (!time.isValid())
        time = QTime::fromString(tp, QStringLiteral("HH:mm"));
    return QDateTime(date, time.isValid() ? time : QTime(0, 0));
}

QVariant toStorage(const QVariant& value)
{
    if (!value.isValid() || value.isNull())
        return {};
    switch (value.typeId()) {
    case QMetaType::QString:
        return value.toString().isEmpty() ? QVariant() : value;
    case QMetaType::QDate:
        // Dates are kept as midnight date-times, so a date equals a date-time column's day.
        return dateTimeToIso(QDateTime(value.toDate(), QTime(0, 0)));
    case QMetaType::QTime:
        return timeToIso(value.toTime());
    case QMetaType::QDateTime:
        return dateTimeToIso(value.toDateTime());
    case QMetaType::Bool:
        return qint64(value.toBool() ? 1 : 0);
    default:
        return value;
    }
}

bool isWholeNumberType(int typeId)
{
    switch (typeId) {
    case QMetaType::Int:
    case QMetaType::LongLong:
    case QMetaType::UInt:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return true;
    default:
        return false;
    }
}

QVariant normalizeValue(FieldType type, const QVariant& value)
{
    // The type read without the library calls: set for every value of every field.
    const auto& d = value.data_ptr();
    if (d.is_null || !d.typeInterface())
        return {};
    const int id = d.typeId();
    // Values already in their canonical form, the common case, are kept as they are;
    // those types hold no pointer, so they are not null here.
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Unknown:
        if (id == QMetaType::QString)
            return static_cast<const QString*>(value.constData())->isEmpty() ? QVariant() : value;
        break;
    case FieldType::Integer:
    case FieldType::SmallInt:
        if (id == QMetaType::LongLong)
            return value;
        break;
    case FieldType::Float:
    case FieldType::Currency:
        if (id == QMetaType::Double)
            return value;
        break;
    default:
        break;
    }
    if (value.isNull())
        return {};
    switch (type) {
    case FieldType::String:
    case FieldType::Memo:
    case FieldType::Unknown: {
        QString s = value.typeId() == QMetaType::QDate ? dateToIso(value.toDate()) : value.toString();
        return s.isEmpty() ? QVariant() : QVariant(s);
    }
    case FieldType::Integer:
    case FieldType::SmallInt:
        return QVariant(value.toLongLong());
    case FieldType::Float:
    case FieldType::Currency:
        return QVariant(value.toDouble());
    case FieldType::Boolean:
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString().trimmed().toUpper();
            return QVariant(s == QLatin1String("TRUE") || s == QLatin1String("T") || s == QLatin1String("1")
                            || s == QLatin1String("S") || s == QLatin1String("Y"));
        }
        return QVariant(value.toBool());
    case FieldType::Date:
        if (value.typeId() == QMetaType::QString)
            return QVariant(dateTimeFromIso(value.toString()).date());
        return QVariant(value.toDate());
    case FieldType::Time:
        if (value.typeId() == QMetaType::QString) {
            const QString s = value.toString();
            return QVariant(QTime::fromString(s, s.size() > 8 ? QStringLiteral("HH:mm:ss.zzz") : QStringLiteral("HH:mm:ss")));
        }
        if (value.typeId() == QMetaType::QDateTime)
            return QVariant(value.toDateTime().time());
        return QVariant(value.toTime());
    case FieldType::DateTime:
        if (value.typeId() == QMetaType::QString)
            return QVariant(dateTimeFromIso(value.toString()));
        if (value.typeId() == QMetaType::QDate)
            return QVariant(QDateTime(value.toDate(), QTime(0, 0)));
        return QVariant(value.toDateTime());
    case FieldType::Blob:
        return QVariant(value.toByteArray());
    }
    return value;
}

QStringList splitFieldNames(const QString& names)
{
    // The same few lists are split for every record read or written.
    static thread_local QHash<QString, QStringList> known;
    auto it = known.constFind(names);
    if (it != known.constEnd())
        return *it;
    if (known.size() > 512)
        known.clear();
    QStringList out;
    for (const QString& part : names.split(QLatin1Char(';'))) {
        const QString t = part.trimmed();
        if (!t.isEmpty())
            out << t;
    }
    known.insert(names, out);
    return out;
}

} // namespace vorta::db
