#include "platform/db/TextTable.h"

#include "platform/core/Cp1252.h"

#include <QDate>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace vorta::db {

namespace {

struct TypeName {
    const char* name;
    FieldType type;
};
constexpr TypeName kTypes[] = {
    {"CHAR", FieldType::String},    {"LONGINT", FieldType::Integer}, {"SHORTINT", FieldType::SmallInt},
    {"NUMBER", FieldType::Float},   {"FLOAT", FieldType::Float},     {"BOOL", FieldType::Boolean},
    {"DATE", FieldType::Date},
};

QString typeName(FieldType t)
{
    for (const TypeName& n : kTypes)
        if (n.type == t)
            return QString::fromLatin1(n.name);
    throw EDatabaseError(QStringLiteral("Field type not supported by text tables"));
}

FieldType typeOf(const QString& name)
{
    for (const TypeName& n : kTypes)
        if (name.compare(QLatin1String(n.name), Qt::CaseInsensitive) == 0)
            return n.type;
    throw EDatabaseError(QStringLiteral("Invalid field type in schema: %1").arg(name));
}

// The values of one delimited line: separators inside delimiters belong to the text.
QStringList splitVarying(const QString& line, QChar delim, QChar sep)
{
    QStringList out;
    QString cur;
    bool quoted = false;
    for (int i = 0; i < line.size(); ++i) {
        const QChar c = line.at(i);
        if (!delim.isNull() && c == delim) {
            if (quoted && i + 1 < line.size() && line.at(i + 1) == delim) {
                cur += c;
                ++i;
            } else {
                quoted = !quoted;
            }
        } else if (c == sep && !quoted) {
            out << cur;
            cur.clear();
        } else {
            cur += c;
        }
    }
    out << cur;
    return out;
}

} // namespace

TextTable::TextTable(Component* owner) : DataSet(owner) {}

TextTable::~TextTable()
{
    closeQuietly();
}

QString TextTable::dataFileName() const
{
    return QDir(m_folder).filePath(m_tableName);
}

QString TextTable::schemaFileName() const
{
    return QDir(m_folder).filePath(QFileInfo(m_tableName).completeBaseName() + QStringLiteral(".sch"));
}

void TextTable::createTable()
{
    if (active())
        throw EDatabaseError(QStringLiteral("Cannot perform this operation on an open dataset"));
    if (m_tableName.isEmpty())
        throw EDatabaseError(QStringLiteral("Table name is missing"));
    if (fieldDefs.isEmpty())
        throw EDatabaseError(QStringLiteral("Field definitions are missing"));
    QString text = QStringLiteral("[%1]\r\n").arg(QFileInfo(m_tableName).completeBaseName().toUpper());
    text += fileType == FileType::Fixed ? QStringLiteral("FILETYPE=FIXED\r\n") : QStringLiteral("FILETYPE=VARYING\r\n");
    text += QStringLiteral("CHARSET=ANSI\r\n");
    if (fileType == FileType::Varying) {
        text += QStringLiteral("DELIMITER=") + delimiter + QStringLiteral("\r\n");
        text += QStringLiteral("SEPARATOR=") + separator + QStringLiteral("\r\n");
    }
    int offset = 0;
    for (int i = 0; i < fieldDefs.size(); ++i) {
        const FieldDef& d = fieldDefs.at(i);
        if (d.name.isEmpty() || d.width <= 0)
            throw EDatabaseError(QStringLiteral("Invalid field definition %1").arg(i + 1));
        text += QStringLiteral("Field%1=%2,%3,%4,%5,%6\r\n")
                    .arg(i + 1)
                    .arg(d.name, typeName(d.type))
                    .arg(d.width)
                    .arg(d.decimals, 2, 10, QLatin1Char('0'))
                    .arg(fileType == FileType::Fixed ? offset : 0, 2, 10, QLatin1Char('0'));
        offset += d.width;
    }
    if (!QDir(m_folder).exists())
        throw EDatabaseError(QStringLiteral("Directory does not exist: %1").arg(m_folder));
    QSaveFile f(schemaFileName());
    const QByteArray bytes = toCp1252(text);
    if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size() || !f.commit())
        throw EDatabaseError(QStringLiteral("Cannot create file %1").arg(schemaFileName()));
}

QVector<TextTable::SchemaField> TextTable::readSchema(FileType& type, QChar& delim, QChar& sep) const
{
    QFile f(schemaFileName());
    if (!f.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Table does not exist: %1").arg(schemaFileName()));
    type = FileType::Fixed;
    delim = QLatin1Char('"');
    sep = QLatin1Char(',');
    QVector<SchemaField> fields;
    const QStringList lines = fromCp1252(f.readAll()).split(QLatin1Char('\n'));
    for (QString line : lines) {
        line = line.trimmed();
        const int eq = line.indexOf(QLatin1Char('='));
        if (line.isEmpty() || line.startsWith(QLatin1Char('[')) || eq < 0)
            continue;
        const QString key = line.left(eq).trimmed().toUpper();
        const QString value = line.mid(eq + 1);
        if (key == QLatin1String("FILETYPE")) {
            type = value.trimmed().compare(QLatin1String("VARYING"), Qt::CaseInsensitive) == 0 ? FileType::Varying
                                                                                                 : FileType::Fixed;
        } else if (key == QLatin1String("DELIMITER")) {
            delim = value.isEmpty() ? QChar() : value.at(0);
        } else if (key == QLatin1String("SEPARATOR")) {
            sep = value.isEmpty() ? QLatin1Char(',') : value.at(0);
        } else if (key.startsWith(QLatin1String("FIELD"))) {
            const QStringList parts = value.split(QLatin1Char(','));
            bool okWidth = false, okDec = true, okOff = true;
            SchemaField s;
            if (parts.size() >= 3) {
                s.def.name = parts.at(0).trimmed();
                s.def.type = typeOf(parts.at(1).trimmed());
                s.def.width = parts.at(2).trimmed().toInt(&okWidth);
                if (parts.size() > 3)
                    s.def.decimals = parts.at(3).trimmed().toInt(&okDec);
                if (parts.size() > 4)
                    s.offset = parts.at(4).trimmed().toInt(&okOff);
            }
            if (s.def.name.isEmpty() || !okWidth || !okDec || !okOff || s.def.width <= 0 || s.offset < 0)
                throw EDatabaseError(QStringLiteral("Invalid field definition in schema: %1").arg(line));
            fields.append(s);
        }
    }
    if (fields.isEmpty())
        throw EDatabaseError(QStringLiteral("Schema file has no fields: %1").arg(schemaFileName()));
    return fields;
}

QVariant TextTable::convert(const SchemaField& f, const QString& raw, int line) const
{
    // Text keeps its leading blanks, as fixed columns are padded on the right.
    QString text = raw;
    if (f.def.type == FieldType::String) {
        while (!text.isEmpty() && text.back().isSpace())
            text.chop(1);
    } else {
        text = text.trimmed();
    }
    if (text.isEmpty())
        return QVariant();
    bool ok = true;
    QVariant v;
    switch (f.def.type) {
    case FieldType::String:
        v = text;
        break;
    case FieldType::Integer:
    case FieldType::SmallInt:
        v = text.toLongLong(&ok);
        break;
    case FieldType::Float:
        v = text.toDouble(&ok);
        break;
    case FieldType::Boolean: {
        const QString u = text.toUpper();
        ok = u == QLatin1String("T") || u == QLatin1String("F") || u == QLatin1String("TRUE") || u == QLatin1String("FALSE");
        v = u.startsWith(QLatin1Char('T'));
        break;
    }
    case FieldType::Date: {
        const QDate d = QDate::fromString(text, QStringLiteral("dd/MM/yyyy"));
        ok = d.isValid();
        v = d.startOfDay();
        break;
    }
    default:
        ok = false;
    }
    if (!ok)
        throw EDatabaseError(
            QStringLiteral("'%1' is not a valid value for field '%2' (line %3)").arg(text, f.def.name).arg(line));
    return v;
}

void TextTable::openCursor()
{
    FileType type;
    QChar delim, sep;
    const QVector<SchemaField> schema = readSchema(type, delim, sep);
    QFile f(dataFileName());
    if (!f.open(QIODevice::ReadOnly))
        throw EDatabaseError(QStringLiteral("Table does not exist: %1").arg(dataFileName()));
    m_columns.clear();
    for (const SchemaField& s : schema)
        m_columns.append(ColumnDef{s.def.name, s.def.type, s.def.type == FieldType::String ? s.def.width : 0, false});
    m_rows.clear();
    QString text = fromCp1252(f.readAll());
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        const QString& line = lines.at(i);
        if (line.isEmpty() || line == QStringLiteral("\x1a"))
            continue;
        Row row(schema.size());
        if (type == FileType::Fixed) {
            for (int c = 0; c < schema.size(); ++c)
                row[c] = convert(schema.at(c), line.mid(schema.at(c).offset, schema.at(c).def.width), i + 1);
        } else {
            const QStringList values = splitVarying(line, delim, sep);
            for (int c = 0; c < schema.size(); ++c)
                row[c] = convert(schema.at(c), c < values.size() ? values.at(c) : QString(), i + 1);
        }
        m_rows.append(row);
    }
}

void TextTable::closeCursor()
{
    m_rows.clear();
}

bool TextTable::fetchByKey(qint64 key, Row& row)
{
    if (positionOfKey(key) < 0)
        return false;
    row = m_rows.at(int(key));
    return true;
}

qint64 TextTable::writeRow(bool, qint64, const Row&, const Row&)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

void TextTable::deleteRow(qint64)
{
    throw EDatabaseError(QStringLiteral("Cannot modify a read-only dataset"));
}

} // namespace vorta::db
