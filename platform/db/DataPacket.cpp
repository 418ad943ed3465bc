#include "platform/db/DataPacket.h"

#include "platform/core/Cp1252.h"
#include "platform/db/DataSet.h"
#include "platform/db/Query.h"

#include <QDateTime>
#include <QtEndian>

#include <cmath>
#include <cstring>
#include <limits>

// Choices on the points the format description leaves at medium or low confidence:
// - nested fields carry the count of every descriptor below them (not only their
//   direct children), as the header's column count carries every descriptor [M];
// - a nested value is a UINT32 row count followed by the rows themselves [M];
// - nested datasets are declared the way the dataset writer declares them
//   (0x050E0000 | count), each nested level with its own empty parameter list [M];
// - Booleans are written as the 16-bit value 1 for true [M];
// - no LCID or other level parameter is written [M/L];
// - nested fields follow every scalar column of their level [L].

namespace vorta::db {

namespace {

using namespace packet;

constexpr int kHeaderSize = 24;
constexpr std::uint32_t kPropMetadata = 1, kPropDataOffset = 2;
constexpr std::uint32_t kSizeMask = 0x0000FFFFu, kCodeMask = 0x003F0000u;
constexpr std::uint32_t kVarying = 0x00400000u, kArray = 0x00800000u;
constexpr std::uint32_t kPseudo = 0x01000000u, kEmbedded = 0x04000000u;
constexpr int kCodeNested = 14;
constexpr double kMsPerDay = 86400000.0;
// Julian day of 0001-01-01 (proleptic Gregorian), day 1 of the packet's day numbers.
constexpr qint64 kJulianDayOne = 1721426;

int typeCode(std::uint32_t word) { return int((word & kCodeMask) >> 16); }
int typeSize(std::uint32_t word) { return int(word & kSizeMask); }

[[noreturn]] void fail(const QString& text) { throw EDataPacketError(text); }

class Writer {
public:
    QByteArray bytes;
    void u8(std::uint8_t v) { bytes.append(char(v)); }
    void u16(std::uint16_t v) { put(qToLittleEndian(v)); }
    void u32(std::uint32_t v) { put(qToLittleEndian(v)); }
    void i16(std::int16_t v) { put(qToLittleEndian(v)); }
    void i32(std::int32_t v) { put(qToLittleEndian(v)); }
    void f64(double v)
    {
        std::uint64_t raw;
        std::memcpy(&raw, &v, 8);
        put(qToLittleEndian(raw));
    }
    void raw(const QByteArray& b) { bytes.append(b); }
    void name(const QByteArray& n)
    {
        u8(std::uint8_t(n.size()));
        bytes.append(n);
    }
    void patch16(int at, std::uint16_t v) { qToLittleEndian(v, bytes.data() + at); }
    void patch32(int at, std::uint32_t v) { qToLittleEndian(v, bytes.data() + at); }

private:
    template <class T> void put(T v) { bytes.append(reinterpret_cast<const char*>(&v), sizeof v); }
};

PacketParam stringParam(const QString& name, const QByteArray& text, std::uint32_t flags = 0)
{
    // String parameters count their terminating zero.
    QByteArray v;
    const int len = int(text.size()) + 1;
    v.append(char(len & 0xFF));
    v.append(char(len >> 8));
    v.append(text);
    v.append('\0');
    return {name, kString2 | flags, v};
}

PacketParam uint16Param(const QString& name, int value)
{
    QByteArray v(2, '\0');
    qToLittleEndian(std::uint16_t(value), v.data());
    return {name, kUInt16, v};
}

int stringPrefix(int width) { return width + 1 < 255 ? 1 : 2; }

// The type word and the field parameters of a field, as the dataset writer declares
// the library's field types.
std::uint32_t declare(const PacketField& f, std::vector<PacketParam>& params)
{
    if (f.nested)
        return kNested | std::uint32_t(f.nested->descriptorCount());
    switch (f.type) {
    case FieldType::String:
        if (f.width <= 0 || f.width > 32767)
            fail(QStringLiteral("Field '%1' has no valid width").arg(f.name));
        params.push_back(uint16Param(QStringLiteral("WIDTH"), f.width));
        return stringPrefix(f.width) == 1 ? kString1 : kString2;
    case FieldType::Integer: return kInt32;
    case FieldType::SmallInt: return kInt16;
    case FieldType::Float: return kDouble;
    case FieldType::Currency:
        params.push_back(stringParam(QStringLiteral("SUBTYPE"), "Money"));
        return kDouble;
    case FieldType::Boolean: return kBool;
    case FieldType::Date: return kDate;
    case FieldType::Time: return kTime;
    case FieldType::DateTime: return kTimeStamp;
    case FieldType::Memo:
        params.push_back(stringParam(QStringLiteral("SUBTYPE"), "Text"));
        return kBlob;
    case FieldType::Blob:
        params.push_back(stringParam(QStringLiteral("SUBTYPE"), "Binary"));
        return kBlob;
    case FieldType::Unknown: break;
    }
    fail(QStringLiteral("Field '%1' has a type the data packet cannot hold").arg(f.name));
}

void writeParams(Writer& w, const std::vector<PacketParam>& params)
{
    w.u16(std::uint16_t(params.size()));
    for (const PacketParam& p : params) {
        w.name(p.name.toLatin1());
        w.u32(p.typeWord);
        w.raw(p.value);
    }
}

void writeLevel(Writer& w, const PacketLevel& level)
{
    for (const PacketField& f : level.fields) {
        QByteArray name = f.name.toLatin1();
        if (name.isEmpty() || f.name.compare(QLatin1String("RowState"), Qt::CaseInsensitive) == 0)
            fail(QStringLiteral("Invalid field name '%1'").arg(f.name));
        std::vector<PacketParam> params;
        const std::uint32_t word = declare(f, params);
        if (name.size() > 31) {
            params.push_back(stringParam(QStringLiteral("FIELDNAME"), name, kRoundTrip));
            name.truncate(31);
        }
        w.name(name);
        w.u32(word);
        w.u16(f.required ? kAttrRequired : 0);
        writeParams(w, params);
        if (f.nested)
            writeLevel(w, *f.nested);
    }
    writeParams(w, level.params);
}

bool hasNested(const PacketLevel& level)
{
    for (const PacketField& f : level.fields)
        if (f.nested)
            return true;
    return false;
}

void writeRows(Writer& w, const PacketLevel& level, const std::vector<PacketRow>& rows);

template <class T> T inRange(const PacketField& f, const QVariant& v)
{
    const qint64 n = v.toLongLong();
    if (n < std::numeric_limits<T>::min() || n > std::numeric_limits<T>::max())
        fail(QStringLiteral("Value %1 of field '%2' is out of range").arg(n).arg(f.name));
    return T(n);
}

void writeValue(Writer& w, const PacketField& f, const QVariant& v)
{
    switch (f.type) {
    case FieldType::String: {
        // A value longer than its column is cut at the column's width, as a string
        // field of that size holds it.
        QByteArray b = toCp1252(v.toString());
        if (b.size() > f.width)
            b.truncate(f.width);
        if (stringPrefix(f.width) == 1)
            w.u8(std::uint8_t(b.size()));
        else
            w.u16(std::uint16_t(b.size()));
        w.raw(b);
        return;
    }
    case FieldType::Integer: w.i32(inRange<std::int32_t>(f, v)); return;
    case FieldType::SmallInt: w.i16(inRange<std::int16_t>(f, v)); return;
    case FieldType::Float:
    case FieldType::Currency: w.f64(v.toDouble()); return;
    case FieldType::Boolean: w.u16(v.toBool() ? 1 : 0); return;
    case FieldType::Date: {
        const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
        w.i32(packetDayNumber(d));
        return;
    }
    case FieldType::Time: w.i32(v.toTime().msecsSinceStartOfDay()); return;
    case FieldType::DateTime: {
        const QDateTime dt = v.toDateTime();
        w.f64(double(packetDayNumber(dt.date())) * kMsPerDay + dt.time().msecsSinceStartOfDay());
        return;
    }
    case FieldType::Memo: {
        const QByteArray b = toCp1252(v.toString());
        w.u32(std::uint32_t(b.size()));
        w.raw(b);
        return;
    }
    case FieldType::Blob: {
        const QByteArray b = v.toByteArray();
        w.u32(std::uint32_t(b.size()));
        w.raw(b);
        return;
    }
    case FieldType::Unknown: break;
    }
    fail(QStringLiteral("Field '%1' has a type the data packet cannot hold").arg(f.name));
}

bool isNullValue(const PacketField& f, const QVariant& v)
{
    if (!v.isValid() || v.isNull())
        return true;
    // The store keeps empty strings as NULL; the packet says the same.
    if ((f.type == FieldType::String || f.type == FieldType::Memo) && v.toString().isEmpty())
        return true;
    if (f.type == FieldType::Date || f.type == FieldType::DateTime) {
        const QDate d = v.typeId() == QMetaType::QDateTime ? v.toDateTime().date() : v.toDate();
        return !d.isValid();
    }
    return false;
}

void writeRow(Writer& w, const PacketLevel& level, const PacketRow& row)
{
    const size_t n = level.fields.size();
    if (row.values.size() != n || (!row.details.empty() && row.details.size() != n))
        fail(QStringLiteral("A row does not match its %1 fields").arg(n));
    w.u8(row.status);
    QByteArray bitmap(int((n + 3) / 4), '\0');
    for (size_t k = 0; k < n; ++k)
        if (!level.fields[k].nested && isNullValue(level.fields[k], row.values[k]))
            bitmap[int(k / 4)] = char(bitmap[int(k / 4)] | (1 << (2 * (k % 4))));
    w.raw(bitmap);
    static const std::vector<PacketRow> none;
    for (size_t k = 0; k < n; ++k) {
        const PacketField& f = level.fields[k];
        if (f.nested) {
            const auto& details = row.details.empty() ? none : row.details[k];
            w.u32(std::uint32_t(details.size()));
            writeRows(w, *f.nested, details);
        } else if (!isNullValue(f, row.values[k])) {
            writeValue(w, f, row.values[k]);
        }
    }
}

void writeRows(Writer& w, const PacketLevel& level, const std::vector<PacketRow>& rows)
{
    for (const PacketRow& row : rows)
        writeRow(w, level, row);
}

// ---- reading ---------------------------------------------------------------

class Reader {
public:
    explicit Reader(const QByteArray& b) : m_b(b) {}
    qsizetype pos = 0;
    qsizetype left() const { return m_b.size() - pos; }
    void need(qsizetype n, const char* what) const
    {
        if (n < 0 || left() < n)
            fail(QStringLiteral("Data packet truncated at offset %1 (%2)").arg(pos).arg(QLatin1String(what)));
    }
    std::uint8_t u8(const char* what)
    {
        need(1, what);
        return std::uint8_t(m_b[pos++]);
    }
    std::uint16_t u16(const char* what) { return get<std::uint16_t>(what); }
    std::uint32_t u32(const char* what) { return get<std::uint32_t>(what); }
    std::int32_t i32(const char* what) { return get<std::int32_t>(what); }
    double f64(const char* what)
    {
        const std::uint64_t raw = get<std::uint64_t>(what);
        double v;
        std::memcpy(&v, &raw, 8);
        return v;
    }
    QByteArray take(qsizetype n, const char* what)
    {
        need(n, what);
        QByteArray r = m_b.mid(pos, n);
        pos += n;
        return r;
    }
    qint64 uintOfSize(int size, const char* what)
    {
        switch (size) {
        case 1: return u8(what);
        case 2: return u16(what);
        case 4: return u32(what);
        default: fail(QStringLiteral("Invalid length prefix width %1 at offset %2").arg(size).arg(pos));
        }
    }

private:
    template <class T> T get(const char* what)
    {
        need(sizeof(T), what);
        const T v = qFromLittleEndian<T>(m_b.constData() + pos);
        pos += sizeof(T);
        return v;
    }
    const QByteArray& m_b;
};

std::vector<PacketParam> readParams(Reader& r)
{
    const int count = r.u16("parameter count");
    std::vector<PacketParam> params;
    for (int i = 0; i < count; ++i) {
        PacketParam p;
        const int len = r.u8("parameter name");
        if (len == 0)
            fail(QStringLiteral("Empty parameter name at offset %1").arg(r.pos - 1));
        p.name = QString::fromLatin1(r.take(len, "parameter name"));
        p.typeWord = r.u32("parameter type");
        const int size = typeSize(p.typeWord);
        const qsizetype start = r.pos;
        if (p.typeWord & kArray) {
            const std::uint32_t n = r.u32("parameter array count");
            r.take(qsizetype(n) * size, "parameter array");
        } else if (p.typeWord & kVarying) {
            r.take(r.uintOfSize(size, "parameter length"), "parameter value");
        } else {
            r.take(size, "parameter value");
        }
        const qsizetype end = r.pos;
        r.pos = start;
        p.value = r.take(end - start, "parameter value");
        params.push_back(p);
    }
    return params;
}

QString stringParamText(const PacketParam& p)
{
    // Varying string: prefix, then the text and its terminating zero.
    QByteArray v = p.value.mid(typeSize(p.typeWord));
    if (v.endsWith('\0'))
        v.chop(1);
    return fromCp1252(v);
}

int intParamValue(const PacketParam& p)
{
    const int size = typeSize(p.typeWord);
    if ((p.typeWord & (kVarying | kArray)) || p.value.size() != size)
        fail(QStringLiteral("Parameter %1 is not an integer").arg(p.name));
    switch (size) {
    case 1: return std::uint8_t(p.value[0]);
    case 2: return qFromLittleEndian<std::uint16_t>(p.value.constData());
    case 4: return int(qFromLittleEndian<std::int32_t>(p.value.constData()));
    default: fail(QStringLiteral("Parameter %1 is not an integer").arg(p.name));
    }
}

FieldType fieldTypeOfWord(const PacketField& f)
{
    const std::uint32_t w = f.typeWord;
    const int size = typeSize(w);
    const bool varying = w & kVarying;
    switch (typeCode(w)) {
    case 1:
        if (varying || (size != 1 && size != 2 && size != 4 && size != 8))
            break;
        return size == 2 ? FieldType::SmallInt : FieldType::Integer;
    case 2:
        if (varying || (size != 1 && size != 2 && size != 4))
            break;
        return FieldType::Integer;
    case 3:
        if (varying || (size != 1 && size != 2 && size != 4))
            break;
        return FieldType::Boolean;
    case 4:
        if (varying || size != 8)
            break;
        return f.subtype == QLatin1String("Money") ? FieldType::Currency : FieldType::Float;
    case 6:
        if (w != kDate)
            break;
        return FieldType::Date;
    case 7:
        if (w != kTime)
            break;
        return FieldType::Time;
    case 8:
        if (w != kTimeStamp)
            break;
        return FieldType::DateTime;
    case 9:
        if (!varying || (size != 1 && size != 2))
            break;
        return FieldType::String;
    case 11:
        if (!varying || size != 4)
            break;
        return f.subtype == QLatin1String("Text") ? FieldType::Memo : FieldType::Blob;
    default: break;
    }
    fail(QStringLiteral("Field '%1' has an unsupported type word 0x%2")
             .arg(f.name)
             .arg(w, 8, 16, QLatin1Char('0')));
}

void readLevel(Reader& r, int expected, PacketLevel& level)
{
    while (expected > 0) {
        PacketField f;
        const int len = r.u8("field name");
        if (len == 0)
            fail(QStringLiteral("Empty field name at offset %1").arg(r.pos - 1));
        f.name = QString::fromLatin1(r.take(len, "field name"));
        f.typeWord = r.u32("field type");
        f.attributes = r.u16("field attributes");
        f.required = f.attributes & kAttrRequired;
        f.params = readParams(r);
        for (const PacketParam& p : f.params) {
            if (p.name == QLatin1String("WIDTH"))
                f.width = intParamValue(p);
            else if (p.name == QLatin1String("SUBTYPE"))
                f.subtype = stringParamText(p);
            else if (p.name == QLatin1String("FIELDNAME"))
                f.name = stringParamText(p);
        }
        --expected;
        if (typeCode(f.typeWord) == kCodeNested) {
            if (!(f.typeWord & kPseudo))
                fail(QStringLiteral("Nested field '%1' is not marked composite").arg(f.name));
            const int below = typeSize(f.typeWord);
            if (below > expected)
                fail(QStringLiteral("Nested field '%1' claims %2 descriptors where %3 remain")
                         .arg(f.name)
                         .arg(below)
                         .arg(expected));
            expected -= below;
            f.nested = std::make_shared<PacketLevel>();
            readLevel(r, below, *f.nested);
        } else {
            f.type = fieldTypeOfWord(f);
        }
        level.fields.push_back(std::move(f));
    }
    level.params = readParams(r);
}

void readRows(Reader& r, const PacketLevel& level, std::uint32_t count, std::vector<PacketRow>& out);

QVariant readValue(Reader& r, const PacketField& f)
{
    const int size = typeSize(f.typeWord);
    switch (f.type) {
    case FieldType::String:
    case FieldType::Memo: {
        const qint64 n = r.uintOfSize(f.type == FieldType::Memo ? 4 : size, "string length");
        if (f.type == FieldType::String && f.width > 0 && n > f.width)
            fail(QStringLiteral("Value of '%1' is longer than its width").arg(f.name));
        QByteArray b = r.take(n, "string value");
        // The dataset writer's empty string is one zero byte.
        if (b.size() == 1 && b[0] == '\0')
            b.clear();
        return fromCp1252(b);
    }
    case FieldType::Blob: return r.take(r.u32("blob length"), "blob value");
    case FieldType::SmallInt: return qint64(qint16(r.u16("integer")));
    case FieldType::Integer: {
        const QByteArray b = r.take(size, "integer");
        if (typeCode(f.typeWord) == 2) {
            quint64 v = 0;
            for (int i = size - 1; i >= 0; --i)
                v = (v << 8) | std::uint8_t(b[i]);
            return qint64(v);
        }
        qint64 v = 0;
        for (int i = size - 1; i >= 0; --i)
            v = (v << 8) | std::uint8_t(b[i]);
        if (size < 8 && (b[size - 1] & 0x80))
            v -= qint64(1) << (8 * size);
        return v;
    }
    case FieldType::Boolean: {
        const qint64 v = r.uintOfSize(size, "boolean");
        if (v != 0 && v != 1)
            fail(QStringLiteral("Boolean '%1' holds %2").arg(f.name).arg(v));
        return v == 1;
    }
    case FieldType::Float:
    case FieldType::Currency: return r.f64("float");
    case FieldType::Date: return packetDate(r.i32("date"));
    case FieldType::Time: {
        const std::int32_t ms = r.i32("time");
        if (ms < 0 || ms >= 86400000)
            fail(QStringLiteral("Time '%1' out of range").arg(f.name));
        return QTime::fromMSecsSinceStartOfDay(ms);
    }
    case FieldType::DateTime: {
        const double v = r.f64("timestamp");
        if (!std::isfinite(v) || v < kMsPerDay)
            fail(QStringLiteral("Timestamp '%1' out of range").arg(f.name));
        const qint64 total = qint64(std::llround(v));
        const QDate d = packetDate(std::int32_t(total / qint64(kMsPerDay)));
        return QDateTime(d, QTime::fromMSecsSinceStartOfDay(int(total % qint64(kMsPerDay))));
    }
    case FieldType::Unknown: break;
    }
    fail(QStringLiteral("Field '%1' cannot be read").arg(f.name));
}

void readRows(Reader& r, const PacketLevel& level, std::uint32_t count, std::vector<PacketRow>& out)
{
    const size_t n = level.fields.size();
    const qsizetype bitmapSize = qsizetype((n + 3) / 4);
    // Every row takes at least its status byte and bitmap.
    if (qsizetype(count) > r.left() / (1 + bitmapSize))
        fail(QStringLiteral("Row count %1 at offset %2 exceeds the packet").arg(count).arg(r.pos));
    out.reserve(out.size() + count);
    for (std::uint32_t i = 0; i < count; ++i) {
        PacketRow row;
        row.status = r.u8("row status");
        const QByteArray bitmap = r.take(bitmapSize, "null bitmap");
        row.values.resize(n);
        row.details.resize(n);
        for (size_t k = 0; k < n; ++k) {
            const int bits = (std::uint8_t(bitmap[int(k / 4)]) >> (2 * (k % 4))) & 3;
            if (bits & 2) {
                if (!(row.status & 0x08))
                    fail(QStringLiteral("Unchanged column in an unmodified row at offset %1").arg(r.pos));
                continue;
            }
            if (bits & 1)
                continue;
            const PacketField& f = level.fields[k];
            if (f.nested) {
                const std::uint32_t nested = r.u32("nested row count");
                if (nested & 0x80000000u)
                    fail(QStringLiteral("Nested rows of '%1' were not fetched").arg(f.name));
                readRows(r, *f.nested, nested, row.details[k]);
            } else {
                row.values[k] = readValue(r, f);
            }
        }
        out.push_back(std::move(row));
    }
}

// ---- provider --------------------------------------------------------------

PacketLevel levelOf(const PacketSource& s)
{
    PacketLevel level;
    if (!s.dataSet->active())
        s.dataSet->open();
    for (int i = 0; i < s.dataSet->fieldCount(); ++i) {
        const Field* f = s.dataSet->fields(i);
        if (f->fieldKind() != FieldKind::Data)
            continue;
        PacketField pf;
        pf.name = f->fieldName();
        pf.type = f->dataType();
        pf.width = f->size();
        pf.required = f->required();
        level.fields.push_back(pf);
    }
    for (const PacketSource& d : s.details) {
        PacketField pf;
        pf.name = d.name;
        pf.nested = std::make_shared<PacketLevel>(levelOf(d));
        level.fields.push_back(pf);
    }
    return level;
}

std::vector<PacketRow> rowsOf(const PacketSource& s)
{
    DataSet* ds = s.dataSet;
    if (!ds->active())
        ds->open();
    std::vector<const Field*> data;
    for (int i = 0; i < ds->fieldCount(); ++i)
        if (ds->fields(i)->fieldKind() == FieldKind::Data)
            data.push_back(ds->fields(i));
    std::vector<PacketRow> rows;
    // Moving the master reopens its details for the new row.
    for (ds->first(); !ds->eof(); ds->next()) {
        PacketRow row;
        row.values.reserve(data.size() + s.details.size());
        for (const Field* f : data)
            row.values.push_back(f->isNull() ? QVariant() : f->value());
        row.details.resize(data.size());
        for (const PacketSource& d : s.details) {
            // The tree's controls are disabled: each detail is brought to this row here,
            // once, rather than by every notification of its master.
            d.dataSet->close();
            d.dataSet->open();
            row.values.emplace_back();
            row.details.push_back(rowsOf(d));
        }
        rows.push_back(std::move(row));
    }
    return rows;
}

void collectDetails(PacketSource& node, const std::vector<Query*>& candidates)
{
    for (Query* q : candidates) {
        if (q == node.dataSet || !q->dataSource() || q->dataSource()->dataSet() != node.dataSet)
            continue;
        PacketSource child{q, q->name(), {}};
        collectDetails(child, candidates);
        node.details.push_back(std::move(child));
    }
}

} // namespace

int PacketLevel::descriptorCount() const
{
    int n = 0;
    for (const PacketField& f : fields)
        n += 1 + (f.nested ? f.nested->descriptorCount() : 0);
    return n;
}

std::int32_t packetDayNumber(const QDate& date) { return std::int32_t(date.toJulianDay() - kJulianDayOne + 1); }

QDate packetDate(std::int32_t dayNumber)
{
    if (dayNumber < 1)
        fail(QStringLiteral("Day number %1 out of range").arg(dayNumber));
    return QDate::fromJulianDay(kJulianDayOne + dayNumber - 1);
}

namespace {

// Header and metadata; the row count is patched in by the caller.
void writeHead(Writer& w, const PacketLevel& meta, std::uint32_t rowCount)
{
    const int columns = meta.descriptorCount();
    if (columns > 0xFFFF)
        fail(QStringLiteral("Too many fields for a data packet"));
    w.u32(kMagic);
    // Version 2 once a type above 11 (the nested dataset) is declared.
    w.u16(hasNested(meta) ? 2 : 1);
    w.u16(0);
    w.u32(kHeaderSize);
    w.u16(std::uint16_t(columns));
    w.u32(rowCount);
    w.u32(kPropMetadata | kPropDataOffset);
    w.u16(0);
    writeLevel(w, meta);
    const qsizetype dataOffset = w.bytes.size();
    if (dataOffset <= 0xFFFF)
        w.patch16(22, std::uint16_t(dataOffset));
    else
        w.patch32(18, kPropMetadata);
}

// The rows of a dataset and its details written as the datasets are walked; returns
// how many rows were written.
std::uint32_t streamRows(Writer& w, const PacketSource& s, const PacketLevel& level)
{
    DataSet* ds = s.dataSet;
    if (!ds->active())
        ds->open();
    std::vector<const Field*> data;
    for (int i = 0; i < ds->fieldCount(); ++i)
        if (ds->fields(i)->fieldKind() == FieldKind::Data)
            data.push_back(ds->fields(i));
    const size_t n = level.fields.size();
    if (data.size() + s.details.size() != n)
        fail(QStringLiteral("Dataset %1 changed its fields while written").arg(s.name));
    std::vector<QVariant> values(data.size());
    std::uint32_t count = 0;
    for (ds->first(); !ds->eof(); ds->next()) {
        QByteArray bitmap(int((n + 3) / 4), '\0');
        for (size_t k = 0; k < data.size(); ++k) {
            values[k] = data[k]->isNull() ? QVariant() : data[k]->value();
            if (isNullValue(level.fields[k], values[k]))
                bitmap[int(k / 4)] = char(bitmap[int(k / 4)] | (1 << (2 * (k % 4))));
        }
        w.u8(0);
        w.raw(bitmap);
        for (size_t k = 0; k < data.size(); ++k)
            if (!isNullValue(level.fields[k], values[k]))
                writeValue(w, level.fields[k], values[k]);
        for (size_t j = 0; j < s.details.size(); ++j) {
            const PacketSource& d = s.details[j];
            // The tree's controls are disabled: each detail is brought to this row
            // here, once, rather than by every notification of its master.
            d.dataSet->close();
            d.dataSet->open();
            const int at = int(w.bytes.size());
            w.u32(0);
            w.patch32(at, streamRows(w, d, *level.fields[data.size() + j].nested));
        }
        ++count;
    }
    return count;
}

// Disables the controls of every dataset of the tree for the guard's life.
class TreeControlsOff {
public:
    explicit TreeControlsOff(const PacketSource& root) { collect(root); }
    ~TreeControlsOff()
    {
        for (DataSet* ds : m_tree)
            ds->enableControls();
    }

private:
    void collect(const PacketSource& s)
    {
        s.dataSet->disableControls();
        m_tree.push_back(s.dataSet);
        for (const PacketSource& d : s.details)
            collect(d);
    }
    std::vector<DataSet*> m_tree;
};

} // namespace

QByteArray writeDataPacket(const DataPacket& packet)
{
    Writer w;
    writeHead(w, packet.meta, std::uint32_t(packet.rows.size()));
    writeRows(w, packet.meta, packet.rows);
    return w.bytes;
}

QByteArray writeDataPacket(const PacketSource& source)
{
    const PacketLevel meta = levelOf(source);
    Writer w;
    writeHead(w, meta, 0);
    TreeControlsOff off(source);
    w.patch32(14, streamRows(w, source, meta));
    return w.bytes;
}

DataPacket readDataPacket(const QByteArray& bytes)
{
    Reader r(bytes);
    DataPacket p;
    if (r.u32("header") != kMagic)
        fail(QStringLiteral("Not a binary data packet"));
    p.majorVersion = r.u16("header");
    p.minorVersion = r.u16("header");
    const std::uint32_t headerSize = r.u32("header");
    p.columnCount = r.u16("header");
    const std::uint32_t rowCount = r.u32("header");
    p.properties = r.u32("header");
    p.dataOffset = r.u16("header");
    if (p.majorVersion > 3 || p.minorVersion > 3)
        fail(QStringLiteral("Unsupported data packet version %1.%2").arg(p.majorVersion).arg(p.minorVersion));
    if (!(p.properties & kPropMetadata) || (p.properties & 0x8000))
        fail(QStringLiteral("Data packet contains no meta data"));
    if (headerSize < kHeaderSize || headerSize > std::uint32_t(bytes.size()))
        fail(QStringLiteral("Invalid header size %1").arg(headerSize));
    r.pos = headerSize;
    readLevel(r, p.columnCount, p.meta);
    if ((p.properties & kPropDataOffset) && r.pos != p.dataOffset)
        fail(QStringLiteral("Rows start at %1, the header says %2").arg(r.pos).arg(p.dataOffset));
    readRows(r, p.meta, rowCount, p.rows);
    if (r.left() != 0)
        fail(QStringLiteral("%1 bytes left over after the last row").arg(r.left()));
    return p;
}

PacketSource packetSourceTree(DataSet* master, const std::vector<Query*>& candidates)
{
    PacketSource root{master, master->name(), {}};
    collectDetails(root, candidates);
    return root;
}

DataPacket packetFromDataSets(const PacketSource& source)
{
    DataPacket p;
    p.meta = levelOf(source);
    TreeControlsOff off(source);
    p.rows = rowsOf(source);
    return p;
}

} // namespace vorta::db
