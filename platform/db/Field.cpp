#include "platform/db/Field.h"

#include "platform/db/DataSet.h"
#include "platform/db/DataSource.h"
#include "platform/db/SqlText.h"
#include "platform/core/EditMask.h"

#include <array>
#include <cmath>
#include <limits>

namespace vorta::db {

namespace {

QString floatToStr(double v)
{
    // Up to 15 significant digits, no exponent for ordinary magnitudes, "," for decimals.
    QString s = QString::number(v, 'g', 15);
    if (s.contains(QLatin1Char('e')) && std::fabs(v) < 1e15 && std::fabs(v) >= 1e-4)
        s = QString::number(v, 'f', 6);
    if (s.contains(QLatin1Char('.')) && !s.contains(QLatin1Char('e'))) {
        while (s.endsWith(QLatin1Char('0')))
            s.chop(1);
        if (s.endsWith(QLatin1Char('.')))
            s.chop(1);
    }
    s.replace(QLatin1Char('.'), QLatin1Char(','));
    return s;
}

// The type held, without the library call.
Q_ALWAYS_INLINE int typeOf(const QVariant& v)
{
    return v.data_ptr().typeInterface() ? v.data_ptr().typeId() : QMetaType::UnknownType;
}

template <typename T>
const T& payload(const QVariant& v)
{
    return *static_cast<const T*>(v.constData());
}

// Decimal digits of a whole number, as QString::number spells it. The small numbers that
// codes mostly are come as shared texts, without a heap block each.
QString wholeToString(qint64 x)
{
    static constexpr int kShared = 100;
    static const auto shared = [] {
        std::array<QString, kShared> texts;
        for (int i = 0; i < kShared; ++i)
            texts[i] = QString::number(i);
        return texts;
    }();
    if (x >= 0 && x < kShared)
        return shared[x];
    char16_t buf[24];
    qsizetype i = 24;
    quint64 u = x < 0 ? 0 - quint64(x) : quint64(x);
    do {
        buf[--i] = char16_t(u'0' + u % 10);
        u /= 10;
    } while (u);
    if (x < 0)
        buf[--i] = u'-';
    return QString(reinterpret_cast<const QChar*>(buf + i), 24 - i);
}

// Text that is only ASCII digits, with a leading minus at most, read directly: what
// QString::toLongLong reads of it. Declines anything else and what could overflow.
bool parsePlainWhole(const QString& text, qint64* out)
{
    const qsizetype n = text.size();
    const QChar* c = text.constData();
    const bool negative = n > 0 && c[0] == QLatin1Char('-');
    const qsizetype from = negative ? 1 : 0;
    if (n - from < 1 || n - from > 18)
        return false;
    qint64 x = 0;
    for (qsizetype i = from; i < n; ++i) {
        const char16_t ch = c[i].unicode();
        if (ch < u'0' || ch > u'9')
            return false;
        x = x * 10 + (ch - u'0');
    }
    *out = negative ? -x : x;
    return true;
}

// Plain decimal text as typed or imported ("123,456", "-7.5", "1.234,5"), read without
// building a copy of it. Declines (false) anything else, for the general reading below;
// what it takes, it reads as that one does: at most 15 digits, which both read exactly.
bool parsePlainDecimal(const QString& text, double* out)
{
    const qsizetype n = text.size();
    if (n == 0 || n > 40)
        return false;
    const QChar* c = text.constData();
    qsizetype from = 0, to = n;
    while (from < to && c[from] == QLatin1Char(' '))
        ++from;
    while (to > from && c[to - 1] == QLatin1Char(' '))
        --to;
    // A comma makes it the Brazilian spelling, points then group thousands.
    bool comma = false;
    for (qsizetype i = from; i < to && !comma; ++i)
        comma = c[i] == QLatin1Char(',');
    // At most 15 digits: the digits as a whole number and the power of ten both are
    // exact doubles, so their quotient is the correctly rounded value of the text.
    quint64 mantissa = 0;
    int digits = 0, points = 0, decimals = 0;
    bool negative = false, signSeen = false;
    bool digitAfterPoint = false, digitBeforePoint = false;
    for (qsizetype i = from; i < to; ++i) {
        const char16_t ch = c[i].unicode();
        if (ch >= u'0' && ch <= u'9') {
            if (++digits > 15)
                return false;
            mantissa = mantissa * 10 + (ch - u'0');
            signSeen = true;
            if (points) {
                digitAfterPoint = true;
                ++decimals;
            } else {
                digitBeforePoint = true;
            }
        } else if (ch == u'-' && !signSeen) {
            negative = signSeen = true;
        } else if (ch == (comma ? u',' : u'.')) {
            if (points++ || !digitBeforePoint)
                return false;
            signSeen = true;
        } else if (!(comma && ch == u'.')) {
            return false;
        }
    }
    if (!digitBeforePoint || (points && !digitAfterPoint))
        return false;
    static constexpr double kPowers[] = {1e0, 1e1, 1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                         1e8, 1e9, 1e10, 1e11, 1e12, 1e13, 1e14, 1e15};
    const double v = double(mantissa) / kPowers[decimals];
    *out = negative ? -v : v;
    return true;
}

bool parseFloat(const QString& text, double* out)
{
    if (parsePlainDecimal(text, out))
        return true;
    QString t = text.trimmed();
    if (t.contains(QLatin1Char(',')))
        t.replace(QLatin1Char('.'), QString()).replace(QLatin1Char(','), QLatin1Char('.'));
    bool ok = false;
    *out = t.toDouble(&ok);
    return ok && !t.isEmpty();
}

} // namespace

QString formatFloatBr(double value, const QString& format)
{
    const int dot = int(format.indexOf(QLatin1Char('.')));
    int decimals = 0;
    if (dot >= 0)
        for (int i = dot + 1; i < format.size() && (format[i] == QLatin1Char('0') || format[i] == QLatin1Char('#')); ++i)
            ++decimals;
    const bool thousands = format.left(dot < 0 ? format.size() : dot).contains(QLatin1Char(','));
    // Round half away from zero, as money is rounded in the suite.
    const double scale = std::pow(10.0, decimals);
    const double rounded = std::round(std::fabs(value) * scale + 1e-9) / scale;
    QString digits = QString::number(rounded, 'f', decimals);
    QString intPart = digits.section(QLatin1Char('.'), 0, 0);
    QString frac = decimals ? digits.section(QLatin1Char('.'), 1, 1) : QString();
    // Optional decimals ("#") drop trailing zeros.
    int optional = 0;
    for (int i = dot + 1; dot >= 0 && i < format.size() && format[i] == QLatin1Char('#'); ++i)
        ++optional;
    Q_UNUSED(optional);
    if (thousands)
        for (int i = int(intPart.size()) - 3; i > 0; i -= 3)
            intPart.insert(i, QLatin1Char('.'));
    const int minInt = int(format.left(dot < 0 ? format.size() : dot).count(QLatin1Char('0')));
    if (minInt == 0 && intPart == QLatin1String("0") && !frac.isEmpty())
        intPart.clear();
    QString s = intPart;
    if (!frac.isEmpty())
        s += QLatin1Char(',') + frac;
    if (value < 0 && rounded != 0)
        s.prepend(QLatin1Char('-'));
    return s;
}

void Field::setLookupCache(bool on)
{
    m_lookupCache = on;
    m_lookupStamp = 0;
    m_lookupValues.clear();
    m_recentLookupCount = 0;
}

Field::Field(DataSet* dataSet, const QString& fieldName, FieldType type, int size, FieldKind kind)
    : m_dataSet(dataSet), m_name(fieldName), m_type(type), m_size(size), m_kind(kind)
{
    if (type == FieldType::String && size <= 0)
        m_size = 20;
}

int Field::index() const
{
    for (int i = 0; i < m_dataSet->fieldCount(); ++i)
        if (m_dataSet->fields(i) == this)
            return i;
    return -1;
}

void Field::focusControl()
{
    const QVector<DataSource*> sources = m_dataSet->dataSources();
    for (DataSource* s : sources) {
        const QVector<DataLink*> links = s->links();
        for (DataLink* l : links)
            if (l->focusControl(this))
                return;
    }
}

void Field::setDataTypeFromColumn(FieldType type, int size)
{
    m_type = type;
    if (size > 0)
        m_size = size;
}

namespace {
const QVariant kNoValue;
} // namespace

inline const QVariant& Field::current() const
{
    if (m_slot < 0 || !m_dataSet->active())
        return kNoValue;
    return m_dataSet->slotValue(m_slot);
}

QVariant Field::value() const
{
    if (m_slot < 0 || !m_dataSet->active())
        return {};
    return m_dataSet->slotValue(m_slot);
}

QVariant Field::oldValue() const
{
    if (m_slot < 0 || !m_dataSet->active())
        return {};
    return m_dataSet->oldSlotValue(m_slot);
}

bool Field::isNull() const
{
    return isNullValue(current());
}

void Field::checkRange(qint64 x) const
{
    const qint64 lo = m_type == FieldType::SmallInt ? -32768 : std::numeric_limits<qint32>::min();
    const qint64 hi = m_type == FieldType::SmallInt ? 32767 : std::numeric_limits<qint32>::max();
    if (x < lo || x > hi)
        throw EDatabaseError(QStringLiteral("%1 is not a valid value for field '%2'. The allowed range is %3 to %4")
                                 .arg(x).arg(displayName()).arg(lo).arg(hi));
}

void Field::setValue(const QVariant& v)
{
    QVariant n = normalizeValue(m_type, v);
    if (n.isValid() && m_type == FieldType::String && m_size > 0) {
        // A string field holds its value as text (see normalizeValue).
        const QString& s = payload<QString>(n);
        if (s.size() > m_size)
            n = s.left(m_size);
    }
    if (n.isValid() && (m_type == FieldType::Integer || m_type == FieldType::SmallInt))
        checkRange(payload<qint64>(n));
    m_dataSet->setFieldValue(this, std::move(n));
}

// The setters below build the field's canonical value themselves (see normalizeValue)
// and hand it over as it is.

void Field::clear()
{
    m_dataSet->setFieldValue(this, QVariant());
}

void Field::setAsInteger(qint64 v)
{
    if (m_type != FieldType::Integer && m_type != FieldType::SmallInt) {
        setValue(QVariant(v));
        return;
    }
    checkRange(v);
    m_dataSet->setFieldValue(this, QVariant(v));
}

QString Field::asString() const
{
    // Read in place: asked for every code of every record.
    const QVariant& v = current();
    const int type = typeOf(v);
    // Text held as text, the common case: a null variant holds a null text.
    if (m_type == FieldType::String && type == QMetaType::QString)
        return payload<QString>(v);
    if (isNullValue(v))
        return {};
    switch (m_type) {
    case FieldType::Integer:
    case FieldType::SmallInt:
        return wholeToString(type == QMetaType::LongLong ? payload<qint64>(v) : v.toLongLong());
    case FieldType::Float:
    case FieldType::Currency:
        return floatToStr(v.toDouble());
    case FieldType::Boolean:
        return v.toBool() ? QStringLiteral("True") : QStringLiteral("False");
    case FieldType::Date:
        return v.toDate().toString(QStringLiteral("dd/MM/yyyy"));
    case FieldType::Time:
        return v.toTime().toString(QStringLiteral("HH:mm:ss"));
    case FieldType::DateTime: {
        const QDateTime dt = v.toDateTime();
        if (dt.time() == QTime(0, 0))
            return dt.date().toString(QStringLiteral("dd/MM/yyyy"));
        return dt.toString(QStringLiteral("dd/MM/yyyy HH:mm:ss"));
    }
    case FieldType::Blob:
        return QString::fromLatin1(v.toByteArray());
    default:
        if (v.typeId() == QMetaType::QString)
            return *static_cast<const QString*>(v.constData());
        return v.toString();
    }
}

void Field::setAsString(const QString& text)
{
    if (text.isEmpty() && m_type != FieldType::Blob) {
        m_dataSet->setFieldValue(this, QVariant());
        return;
    }
    switch (m_type) {
    case FieldType::Integer:
    case FieldType::SmallInt: {
        qint64 x = 0;
        if (!parsePlainWhole(text, &x)) {
            bool ok = false;
            x = text.trimmed().toLongLong(&ok);
            if (!ok)
                throw EDatabaseError(
                    QStringLiteral("'%1' is not a valid integer value for field '%2'").arg(text, displayName()));
        }
        checkRange(x);
        m_dataSet->setFieldValue(this, QVariant(x));
        return;
    }
    case FieldType::Float:
    case FieldType::Currency: {
        double d = 0;
        if (!parseFloat(text, &d))
            throw EDatabaseError(QStringLiteral("'%1' is not a valid floating point value for field '%2'").arg(text, displayName()));
        m_dataSet->setFieldValue(this, QVariant(d));
        return;
    }
    case FieldType::Boolean: {
        const QString t = text.trimmed().toUpper();
        if (t == QLatin1String("TRUE") || t == QLatin1String("T") || t == QLatin1String("1"))
            setValue(true);
        else if (t == QLatin1String("FALSE") || t == QLatin1String("F") || t == QLatin1String("0"))
            setValue(false);
        else
            throw EDatabaseError(QStringLiteral("'%1' is not a valid boolean value for field '%2'").arg(text, displayName()));
        return;
    }
    case FieldType::Date:
    case FieldType::DateTime: {
        bool ok = false;
        const QDateTime dt = parseUserDateTime(text, &ok);
        if (!ok)
            throw EConvertError(m_type == FieldType::Date ? QStringLiteral("'%1' is not a valid date").arg(text)
                                                          : QStringLiteral("'%1' is not a valid date and time").arg(text));
        setValue(m_type == FieldType::Date ? QVariant(dt.date()) : QVariant(dt));
        return;
    }
    case FieldType::Time: {
        QTime t = QTime::fromString(text.trimmed(), QStringLiteral("HH:mm:ss"));
        if (!t.isValid())
            t = QTime::fromString(text.trimmed(), QStringLiteral("HH:mm"));
        if (!t.isValid())
            throw EConvertError(QStringLiteral("'%1' is not a valid time").arg(text));
        setValue(t);
        return;
    }
    case FieldType::Blob:
        setValue(text.toLatin1());
        return;
    case FieldType::String:
        // Not empty here: held as the text, cut at the field's width.
        m_dataSet->setFieldValue(this, QVariant(m_size > 0 && text.size() > m_size ? text.left(m_size) : text));
        return;
    case FieldType::Memo:
    case FieldType::Unknown:
        m_dataSet->setFieldValue(this, QVariant(text));
        return;
    default:
        setValue(text);
    }
}

qint64 Field::asInteger() const
{
    const QVariant& v = current();
    // A whole number held as one, the common case: not null unless flagged so.
    if (typeOf(v) == QMetaType::LongLong && (m_type == FieldType::Integer || m_type == FieldType::SmallInt))
        return v.data_ptr().is_null ? 0 : payload<qint64>(v);
    if (isNullValue(v))
        return 0;
    if (m_type == FieldType::String || m_type == FieldType::Memo) {
        bool ok = false;
        const qint64 x = v.toString().trimmed().toLongLong(&ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid integer value").arg(v.toString()));
        return x;
    }
    if (m_type == FieldType::Float || m_type == FieldType::Currency)
        return qint64(std::llround(typeOf(v) == QMetaType::Double ? payload<double>(v) : v.toDouble()));
    return typeOf(v) == QMetaType::LongLong ? payload<qint64>(v) : v.toLongLong();
}

double Field::asFloat() const
{
    const QVariant& v = current();
    if (isNullValue(v))
        return 0;
    if (m_type == FieldType::String || m_type == FieldType::Memo) {
        double d = 0;
        if (!parseFloat(v.toString(), &d))
            throw EConvertError(QStringLiteral("'%1' is not a valid floating point value").arg(v.toString()));
        return d;
    }
    return typeOf(v) == QMetaType::Double ? payload<double>(v) : v.toDouble();
}

Money Field::asMoney() const
{
    const QVariant& v = current();
    if (isNullValue(v))
        return {};
    switch (m_type) {
    case FieldType::String:
    case FieldType::Memo:
        return Money::fromString(v.toString());
    case FieldType::Integer:
    case FieldType::SmallInt:
        return Money::fromUnits(v.toLongLong());
    default:
        return Money::fromDouble(asFloat());
    }
}

void Field::setAsMoney(Money v)
{
    if (m_type == FieldType::String || m_type == FieldType::Memo)
        setValue(v.toString());
    else
        setValue(v.toDouble());
}

bool Field::asBoolean() const
{
    const QVariant& v = current();
    if (isNullValue(v))
        return false;
    if (m_type == FieldType::String || m_type == FieldType::Memo)
        return normalizeValue(FieldType::Boolean, v).toBool();
    return v.toBool();
}

QDateTime Field::asDateTime() const
{
    const QVariant& v = current();
    if (isNullValue(v))
        return {};
    switch (m_type) {
    case FieldType::Date:
        return QDateTime(v.toDate(), QTime(0, 0));
    case FieldType::Time:
        return QDateTime(QDate(1899, 12, 30), v.toTime());
    case FieldType::DateTime:
        return v.toDateTime();
    default: {
        bool ok = false;
        const QDateTime dt = parseUserDateTime(v.toString(), &ok);
        if (!ok)
            throw EConvertError(QStringLiteral("'%1' is not a valid date").arg(v.toString()));
        return dt;
    }
    }
}

QByteArray Field::asBytes() const
{
    const QVariant& v = current();
    if (isNullValue(v))
        return {};
    return m_type == FieldType::Blob ? v.toByteArray() : v.toString().toUtf8();
}

QString Field::formatFloat(double v, const QString& format) const
{
    return formatFloatBr(v, format);
}

QString Field::text() const
{
    QString t = asString();
    if (OnGetText)
        OnGetText(const_cast<Field&>(*this), t, false);
    return t;
}

QString Field::displayText() const
{
    QString t;
    if (!isNull()) {
        if ((m_type == FieldType::Float || m_type == FieldType::Currency) && !m_displayFormat.isEmpty())
            t = formatFloat(asFloat(), m_displayFormat);
        else if (m_type == FieldType::Currency)
            t = formatFloat(asFloat(), QStringLiteral("#,##0.00"));
        else if ((m_type == FieldType::Integer || m_type == FieldType::SmallInt) && !m_displayFormat.isEmpty())
            t = formatFloat(double(asInteger()), m_displayFormat);
        else if ((m_type == FieldType::Date || m_type == FieldType::DateTime) && !m_displayFormat.isEmpty()) {
            // The class library's date letters: "mm" month, "nn" minutes.
            QString f = m_displayFormat;
            f.replace(QLatin1String("mm"), QLatin1String("MM"));
            f.replace(QLatin1String("nn"), QLatin1String("mm"));
            f.replace(QLatin1String("hh"), QLatin1String("HH"));
            t = asDateTime().toString(f);
        } else if (m_type == FieldType::String && !m_editMask.isEmpty())
            // A string shows through its edit mask, in grids and labels as in edits.
            t = EditMask(m_editMask).format(asString());
        else
            t = asString();
    }
    if (OnGetText)
        OnGetText(const_cast<Field&>(*this), t, true);
    return t;
}

} // namespace vorta::db
