#pragma once

#include "platform/db/DataSet.h"

#include <QVector>

namespace vorta::db {

// A read-only table kept in a text file of a folder, described by a ".sch" schema file
// of the same base name: fixed-width columns, or delimited ones with a separator.
//
//   [MUNIC]
//   FILETYPE=FIXED            (or VARYING)
//   CHARSET=ANSI
//   DELIMITER="               (VARYING only: quotes around text values)
//   SEPARATOR=,               (VARYING only)
//   Field1=Codigo,LONGINT,7,00,00
//   Field2=Nome,CHAR,40,00,07     (name, type, width, decimals, offset)
//
// Types: CHAR, LONGINT, SHORTINT, NUMBER, FLOAT, BOOL, DATE (dd/mm/yyyy).
class TextTable : public DataSet {
public:
    enum class FileType { Fixed, Varying };
    struct FieldDef {
        QString name;
        FieldType type = FieldType::String;
        int width = 0;
        int decimals = 0;
    };

    explicit TextTable(Component* owner = nullptr);
    ~TextTable() override;

    // The folder of the files.
    QString databaseName() const { return m_folder; }
    void setDatabaseName(const QString& folder) { m_folder = folder; }
    // The data file's name ("MUNIC.TXT"); the schema is "MUNIC.sch" beside it.
    QString tableName() const { return m_tableName; }
    void setTableName(const QString& name) { m_tableName = name; }

    // The definitions written by createTable; open reads the schema file.
    QVector<FieldDef> fieldDefs;
    FileType fileType = FileType::Fixed;
    QChar delimiter = QLatin1Char('"');
    QChar separator = QLatin1Char(',');

    QString dataFileName() const;
    QString schemaFileName() const;
    // Writes the schema file from the definitions (replacing one that is there).
    void createTable();

protected:
    void openCursor() override;
    void closeCursor() override;
    int viewCount() override { return int(m_rows.size()); }
    qint64 keyAt(int pos) override { return pos; }
    int positionOfKey(qint64 key) override { return key >= 0 && key < m_rows.size() ? int(key) : -1; }
    void fetchRow(int pos, Row& row) override { row = m_rows.at(pos); }
    bool fetchByKey(qint64 key, Row& row) override;
    qint64 writeRow(bool inserting, qint64 key, const Row& values, const Row& old) override;
    void deleteRow(qint64 key) override;
    void invalidateView() override {}

private:
    struct SchemaField {
        FieldDef def;
        int offset = 0;
    };
    QVector<SchemaField> readSchema(FileType& type, QChar& delim, QChar& sep) const;
    QVariant convert(const SchemaField& f, const QString& text, int line) const;
    QString m_folder;
    QString m_tableName;
    QVector<Row> m_rows;
};

} // namespace vorta::db
