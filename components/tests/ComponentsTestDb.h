#pragma once

#include "platform/core/Component.h"
#include "platform/db/Database.h"
#include "platform/db/DataSource.h"
#include "platform/db/Field.h"
#include "platform/db/Table.h"
#include "platform/ui/Form.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace brano70::testsupport {

// A folder with a small table of people, ordered by name through its index.
inline const char* kPeopleSchema = R"SQL(
CREATE TABLE vorta_catalog (table_name VARCHAR(128) NOT NULL PRIMARY KEY COLLATE NOCASE,
  major INTEGER NOT NULL DEFAULT 1, minor INTEGER NOT NULL DEFAULT 0);
CREATE TABLE Pessoa (
  Id INTEGER NOT NULL PRIMARY KEY,
  Nome VARCHAR(20),
  Cidade VARCHAR(20),
  Ativo VARCHAR(3),
  Casado BOOLEAN
);
CREATE INDEX Id_Nome ON Pessoa (Nome);
INSERT INTO Pessoa VALUES (1, 'Bento', 'Palmas', 'sim', 1);
INSERT INTO Pessoa VALUES (2, 'Carla', 'Gurupi', 'N', 0);
INSERT INTO Pessoa VALUES (3, 'Caio', 'Palmas', 'X', NULL);
INSERT INTO Pessoa VALUES (4, 'Davi', 'Araguaina', NULL, 1);
INSERT INTO Pessoa VALUES (5, 'Ana', 'Gurupi', 'S', 0);
)SQL";

// A form holding a table of that folder and a data source over it.
class PeopleForm : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QStringLiteral("/dados");
        vorta::db::createDatabase(folder, QString::fromUtf8(kPeopleSchema));
        database = std::make_unique<vorta::db::Database>();
        database->setDatabaseName(QStringLiteral("DB_Brano"));
        database->setDirectory(folder);
        database->open();
        form = new vorta::ui::Form(nullptr);
        form->resize(480, 320);
        pessoa = new vorta::db::Table(form);
        pessoa->setName(QStringLiteral("TbPessoa"));
        pessoa->setDatabaseName(QStringLiteral("DB_Brano"));
        pessoa->setTableName(QStringLiteral("Pessoa"));
        source = new vorta::db::DataSource(form);
        source->setDataSet(pessoa);
    }
    void TearDown() override
    {
        vorta::Component::free(form);
        database.reset();
    }
    // The stored value of a column of row id, read through a table of its own.
    QString stored(int id, const QString& column)
    {
        vorta::db::Table t;
        t.setDatabaseName(QStringLiteral("DB_Brano"));
        t.setTableName(QStringLiteral("Pessoa"));
        t.open();
        if (!t.locate(QStringLiteral("Id"), id))
            return QStringLiteral("<no row %1>").arg(id);
        return t.fieldByName(column)->asString();
    }
    int storedCount()
    {
        vorta::db::Table t;
        t.setDatabaseName(QStringLiteral("DB_Brano"));
        t.setTableName(QStringLiteral("Pessoa"));
        t.open();
        return t.recordCount();
    }
    QString current(const QString& column) { return pessoa->fieldByName(column)->asString(); }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<vorta::db::Database> database;
    vorta::ui::Form* form = nullptr;
    vorta::db::Table* pessoa = nullptr;
    vorta::db::DataSource* source = nullptr;
};

} // namespace brano70::testsupport
