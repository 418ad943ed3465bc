#pragma once

#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <sqlite3.h>

#include <memory>

namespace vorta::db::testsupport {

// A folder with a small database of its own.
inline const char* kPeopleSchema = R"SQL(
CREATE TABLE vorta_catalog (table_name VARCHAR(128) NOT NULL PRIMARY KEY COLLATE NOCASE,
  major INTEGER NOT NULL DEFAULT 1, minor INTEGER NOT NULL DEFAULT 0);
CREATE TABLE Pessoa (
  Id INTEGER NOT NULL PRIMARY KEY,
  Nome VARCHAR(20) NOT NULL,
  Cidade VARCHAR(20),
  Idade INTEGER,
  Peso FLOAT,
  Ativo BOOLEAN,
  Nascimento DATE,
  Cadastro TIMESTAMP,
  Hora TIME,
  Saldo MONEY,
  Obs MEMO,
  Foto BLOB,
  Nivel SMALLINT
);
CREATE INDEX Id_Nome ON Pessoa (Nome);
CREATE INDEX Id_Cidade ON Pessoa (Cidade, Nome);
CREATE TABLE Conta (
  Pessoa_Id INTEGER NOT NULL,
  Numero INTEGER NOT NULL,
  Descricao VARCHAR(30),
  PRIMARY KEY (Pessoa_Id, Numero)
);
CREATE INDEX Id_Nome ON Conta (Descricao);
INSERT INTO vorta_catalog (table_name, major, minor) VALUES ('Pessoa', 1, 2);
)SQL";

struct PeopleRow {
    int id;
    const char* nome;
    const char* cidade;
    int idade;
};

inline const PeopleRow kPeople[] = {
    {1, "Ana", "Palmas", 30},
    {2, "bruno", "Gurupi", 25},
    {3, "Carla", "Palmas", 41},
    {4, "Bruna", "Araguaina", 19},
    {5, "Álvaro", "Gurupi", 55},
    {6, "Caio", "", 33},
};

class DbFolder : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        folder = dir.path() + QStringLiteral("/dados");
        createDatabase(folder, QString::fromUtf8(kPeopleSchema));
        db = std::make_unique<Database>();
        db->setDatabaseName(QStringLiteral("DB_Test"));
        db->setDirectory(folder);
        db->open();
    }
    void TearDown() override { db.reset(); }

    void fillPeople()
    {
        for (const PeopleRow& p : kPeople)
            db->execute(QStringLiteral("INSERT INTO Pessoa (Id, Nome, Cidade, Idade) VALUES (?1, ?2, ?3, ?4)"),
                        {p.id, QString::fromUtf8(p.nome), QString::fromUtf8(p.cidade), p.idade});
    }
    std::unique_ptr<Table> table(const QString& name, const QString& index = QString())
    {
        auto t = std::make_unique<Table>();
        t->setDatabaseName(QStringLiteral("DB_Test"));
        t->setTableName(name);
        if (!index.isEmpty())
            t->setIndexName(index);
        return t;
    }
    std::unique_ptr<Query> query(const QString& sql)
    {
        auto q = std::make_unique<Query>();
        q->setDatabaseName(QStringLiteral("DB_Test"));
        q->setSql(sql);
        return q;
    }
    QString scalar(const QString& sql)
    {
        auto q = query(sql);
        q->open();
        return q->fields(0)->asString();
    }
    // A connection of its own on the same file, as another program has.
    void anotherProgram(const char* sql)
    {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(folder + QStringLiteral("/vorta.db")).constData(), &other), SQLITE_OK);
        sqlite3_busy_timeout(other, 5000);
        EXPECT_EQ(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(other);
        sqlite3_close(other);
    }

    QTemporaryDir dir;
    QString folder;
    std::unique_ptr<Database> db;
};

} // namespace vorta::db::testsupport
