#include "DbTestSupport.h"

#include "platform/db/Connection.h"

#include <functional>
#include <string>

using namespace vorta::db;
using namespace vorta::db::testsupport;

// Datasets opened again and again keep what they derived from the table's shape; each
// way the shape can change between two opens must show at the next one.
class Reopening : public DbFolder {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        db->execute(QStringLiteral("INSERT INTO Conta (Pessoa_Id, Numero, Descricao) VALUES (7, 3, 'poupança')"));
    }

    struct ShapeChange {
        const char* name;
        std::function<void(Reopening&)> change;
    };

    static const char* addSaldo() { return "ALTER TABLE Conta ADD COLUMN Saldo FLOAT DEFAULT 1.5"; }

    static std::vector<ShapeChange> shapeChanges()
    {
        return {
            {"another program", [](Reopening& t) { t.anotherProgram(addSaldo()); }},
            {"this connection's own statement", [](Reopening& t) { t.db->connection()->exec(QString::fromLatin1(addSaldo())); }},
            {"a query's statement", [](Reopening& t) {
                 auto q = t.query(QString::fromLatin1(addSaldo()));
                 q->execSql();
             }},
        };
    }
};

TEST_F(Reopening, TablesAndQueriesShowAColumnAddedOrDroppedBetweenTwoOpens)
{
    auto t = table(QStringLiteral("Conta"));
    auto q = query(QStringLiteral("select * from Conta where Pessoa_Id = :p"));
    q->paramByName(QStringLiteral("p"))->setAsInteger(7);
    const std::vector<DataSet*> both{t.get(), q.get()};
    const auto saldoShown = [&] {
        std::vector<bool> shown;
        for (DataSet* ds : both) {
            ds->open();
            shown.push_back(ds->findField(QStringLiteral("Saldo")) != nullptr);
            EXPECT_EQ(ds->fieldByName(QStringLiteral("Descricao"))->asString(), QStringLiteral("poupança"));
            if (shown.back()) {
                EXPECT_EQ(ds->fieldByName(QStringLiteral("Saldo"))->dataType(), FieldType::Float);
                EXPECT_DOUBLE_EQ(ds->fieldByName(QStringLiteral("Saldo"))->asFloat(), 1.5);
            }
            ds->close();
        }
        return shown;
    };
    for (const ShapeChange& c : shapeChanges()) {
        SCOPED_TRACE(c.name);
        EXPECT_EQ(saldoShown(), (std::vector<bool>{false, false}));
        c.change(*this);
        EXPECT_EQ(saldoShown(), (std::vector<bool>{true, true}));
        // A new row goes into the new shape's columns.
        t->open();
        t->append();
        t->fieldByName(QStringLiteral("Pessoa_Id"))->setAsInteger(8);
        t->fieldByName(QStringLiteral("Numero"))->setAsInteger(1);
        t->fieldByName(QStringLiteral("Saldo"))->setAsFloat(9.25);
        t->post();
        t->close();
        EXPECT_EQ(scalar(QStringLiteral("select Saldo from Conta where Pessoa_Id = 8")), QStringLiteral("9,25"));
        anotherProgram("DELETE FROM Conta WHERE Pessoa_Id = 8; ALTER TABLE Conta DROP COLUMN Saldo");
    }
    EXPECT_EQ(saldoShown(), (std::vector<bool>{false, false}));
}

TEST_F(Reopening, ATableMadeAgainWithItsColumnsMovedReadsEachIntoItsField)
{
    auto t = table(QStringLiteral("Conta"));
    auto q = query(QStringLiteral("select * from Conta"));
    t->open();
    t->close();
    q->open();
    q->close();
    anotherProgram("DROP TABLE Conta;"
                   "CREATE TABLE Conta (Descricao INTEGER, Numero INTEGER NOT NULL, Pessoa_Id INTEGER NOT NULL,"
                   " PRIMARY KEY (Pessoa_Id, Numero));"
                   "INSERT INTO Conta VALUES (42, 3, 7);");
    for (DataSet* ds : {static_cast<DataSet*>(t.get()), static_cast<DataSet*>(q.get())}) {
        ds->open();
        ASSERT_EQ(ds->fieldCount(), 3);
        EXPECT_EQ(ds->fields(0)->fieldName(), QStringLiteral("Descricao"));
        EXPECT_EQ(ds->fieldByName(QStringLiteral("Descricao"))->dataType(), FieldType::Integer);
        EXPECT_EQ(ds->fieldByName(QStringLiteral("Descricao"))->asInteger(), 42);
        EXPECT_EQ(ds->fieldByName(QStringLiteral("Pessoa_Id"))->asInteger(), 7);
        EXPECT_EQ(ds->fieldByName(QStringLiteral("Numero"))->asInteger(), 3);
        ds->close();
    }
}

TEST_F(Reopening, AColumnAddedInARolledBackTransactionIsGoneAfterTheRollback)
{
    auto t = table(QStringLiteral("Conta"));
    auto q = query(QStringLiteral("select * from Conta"));
    db->startTransaction();
    db->connection()->exec(QString::fromLatin1(addSaldo()));
    for (DataSet* ds : {static_cast<DataSet*>(t.get()), static_cast<DataSet*>(q.get())}) {
        ds->open();
        EXPECT_NE(ds->findField(QStringLiteral("Saldo")), nullptr);
        ds->close();
    }
    db->rollback();
    for (DataSet* ds : {static_cast<DataSet*>(t.get()), static_cast<DataSet*>(q.get())}) {
        ds->open();
        EXPECT_EQ(ds->findField(QStringLiteral("Saldo")), nullptr);
        EXPECT_EQ(ds->fieldCount(), 3);
        ds->close();
    }
}

TEST_F(Reopening, ATableNamedAgainShowsItsOwnIndexes)
{
    auto t = table(QStringLiteral("Pessoa"), QStringLiteral("Id_Cidade"));
    t->open();
    t->close();
    // Read while closed, another table's definition must not stay for the first one.
    t->setTableName(QStringLiteral("Conta"));
    EXPECT_EQ(t->primaryIndexFields(), (QStringList{QStringLiteral("Pessoa_Id"), QStringLiteral("Numero")}));
    t->setTableName(QStringLiteral("Pessoa"));
    t->setIndexName(QString());
    t->open();
    EXPECT_EQ(t->primaryIndexFields(), QStringList{QStringLiteral("Id")});
    EXPECT_NO_THROW(t->setIndexName(QStringLiteral("Id_Cidade")));
    EXPECT_EQ(t->indexFields(), (QStringList{QStringLiteral("Cidade"), QStringLiteral("Nome")}));
    EXPECT_NE(t->findField(QStringLiteral("Nascimento")), nullptr);
}

TEST_F(Reopening, FieldsAndResultsThatChangeBetweenOpensAreBoundAgain)
{
    struct Case {
        const char* name;
        const char* sql;
        std::function<void(Query&)> between;
        const char* field;
        FieldType type;
        const char* value;
    };
    const Case cases[] = {
        {"a calculated field added", "select Numero from Conta",
         [](Query& q) {
             q.addField(QStringLiteral("Dobro"), FieldType::Integer, 0, FieldKind::Calculated);
             q.OnCalcFields = [](DataSet& ds) {
                 ds.fieldByName(QStringLiteral("Dobro"))->setAsInteger(2 * ds.fieldByName(QStringLiteral("Numero"))->asInteger());
             };
         },
         "Dobro", FieldType::Integer, "6"},
        {"another text of as many columns", "select count(*) as quantidade from Conta",
         [](Query& q) { q.setSql(QStringLiteral("select max(Descricao) as valor from Conta")); }, "valor",
         FieldType::String, "poupança"},
        {"an expression that holds a real now", "select max(Numero) as maior from Conta",
         [this](Query&) { db->execute(QStringLiteral("UPDATE Conta SET Numero = 2.5")); }, "maior",
         FieldType::Float, "2,5"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto q = query(QString::fromLatin1(c.sql));
        q->open();
        q->close();
        c.between(*q);
        q->open();
        Field* f = q->findField(QString::fromLatin1(c.field));
        ASSERT_NE(f, nullptr);
        EXPECT_EQ(f->dataType(), c.type);
        EXPECT_EQ(f->asString(), QString::fromUtf8(c.value));
        q->close();
    }
}
