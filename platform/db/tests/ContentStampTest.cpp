// Answers kept while the tables they read are unchanged, and asked again after any way
// those tables can change.
#include "DbTestSupport.h"

#include "platform/db/StampedMemo.h"

#include <QFile>

#include <sqlite3.h>

#include <functional>

using namespace vorta::db;
using namespace vorta::db::testsupport;

namespace {

class ContentStampTest : public DbFolder {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        fillPeople();
    }
    Connection& conn() { return *db->connection(); }

    // The number of people, through the memo; counts how often it was really asked.
    int pessoas()
    {
        return memo.get(conn(), 0, [this] {
            ++asked;
            return scalar(QStringLiteral("select count(*) from Pessoa")).toInt();
        });
    }

    // Another connection of its own on the same file, as another program has.
    void outroPrograma(const char* sql)
    {
        sqlite3* other = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(folder + QStringLiteral("/vorta.db")).constData(), &other), SQLITE_OK);
        sqlite3_busy_timeout(other, 5000);
        EXPECT_EQ(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(other);
        sqlite3_close(other);
    }

    StampedMemo<int, int> memo{{QStringLiteral("pessoa")}};
    int asked = 0;
};

} // namespace

TEST_F(ContentStampTest, KeptWhileNothingChangesAndWritesToOtherTablesDoNotCount)
{
    EXPECT_EQ(pessoas(), 6);
    EXPECT_EQ(pessoas(), 6);
    db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values (1, 1)"));
    EXPECT_EQ(pessoas(), 6);
    EXPECT_EQ(asked, 1);
}

// Each way the table's rows can change makes the memo ask again, and the new answer is
// the one the table gives.
TEST_F(ContentStampTest, AskedAgainAfterEveryKindOfChange)
{
    struct Caso {
        const char* nome;
        std::function<void()> muda;
        int depois;
    };
    const Caso casos[] = {
        {"a row inserted through a table",
         [this] {
             auto p = table(QStringLiteral("Pessoa"));
             p->open();
             p->append();
             p->fieldByName(QStringLiteral("Id"))->setAsInteger(7);
             p->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Davi"));
             p->post();
         },
         7},
        {"rows deleted by a statement",
         [this] { db->execute(QStringLiteral("delete from Pessoa where Cidade = 'Palmas'")); }, 4},
        {"the whole table emptied at once",
         [this] { db->execute(QStringLiteral("delete from Pessoa")); }, 0},
        {"a row inserted and rolled back",
         [this] {
             db->startTransaction();
             db->execute(QStringLiteral("insert into Pessoa (Id, Nome) values (8, 'Eva')"));
             EXPECT_EQ(pessoas(), 7);
             db->rollback();
         },
         6},
        {"a row inserted by another program after a transaction of ours",
         [this] {
             db->startTransaction();
             EXPECT_EQ(pessoas(), 6);
             db->commit();
             outroPrograma("insert into Pessoa (Id, Nome) values (11, 'Gil')");
             // A transaction begun by a statement sees it as well.
             db->execute(QStringLiteral("BEGIN"));
             EXPECT_EQ(pessoas(), 7);
             db->execute(QStringLiteral("COMMIT"));
         },
         7},
        {"a row inserted by another program",
         [this] { outroPrograma("insert into Pessoa (Id, Nome) values (9, 'Fabio')"); }, 7},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        db->execute(QStringLiteral("delete from Pessoa"));
        fillPeople();
        memo.clear();
        EXPECT_EQ(pessoas(), 6);
        c.muda();
        EXPECT_EQ(pessoas(), c.depois);
        EXPECT_EQ(pessoas(), c.depois);
    }
}

// A connection closed and opened again is another connection: what was kept from the
// first is not taken for the second's, even when both saw the same writes.
TEST_F(ContentStampTest, AConnectionOpenedAgainDoesNotTakeTheFormersAnswers)
{
    StampedMemo<int, int> contas{{QStringLiteral("conta")}};
    auto conta = [&] {
        return contas.get(conn(), 0, [this] { return scalar(QStringLiteral("select count(*) from Conta")).toInt(); });
    };
    EXPECT_EQ(conta(), 0);
    db->close();
    outroPrograma("insert into Conta (Pessoa_Id, Numero) values (1, 1)");
    db->open();
    EXPECT_EQ(conta(), 1);
}
