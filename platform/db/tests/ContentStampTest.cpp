// Answers kept while the tables they read are unchanged, and asked again after any way
// those tables can change.
#include "DbTestSupport.h"

#include "platform/db/StampedMemo.h"

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

    void outroPrograma(const char* sql) { anotherProgram(sql); }

    // An account typed into an open table of accounts.
    static void poeConta(Table& contas, int pessoa, int numero)
    {
        contas.append();
        contas.fieldByName(QStringLiteral("Pessoa_Id"))->setAsInteger(pessoa);
        contas.fieldByName(QStringLiteral("Numero"))->setAsInteger(numero);
        contas.post();
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

// Answers kept by key: each person's accounts. A write asks again for the persons whose
// rows it touched, before or after it, and for every person when it cannot be told.
TEST_F(ContentStampTest, KeptByKeyUntilARowOfThatKeyChanges)
{
    StampedMemo<int, int> contas{{QStringLiteral("Conta")}, QStringLiteral("pessoa_id")};
    int askedFor[3] = {0, 0, 0};
    auto contasDe = [&](int pessoa) {
        return contas.get(conn(), pessoa, [&] {
            ++askedFor[pessoa];
            return scalar(QStringLiteral("select count(*) from Conta where Pessoa_Id = %1").arg(pessoa)).toInt();
        });
    };
    auto verdade = [this](int pessoa) {
        return scalar(QStringLiteral("select count(*) from Conta where Pessoa_Id = %1").arg(pessoa)).toInt();
    };
    // Whether a person's answer must be asked again, must be kept, or may be either.
    enum Pergunta { Sim, Nao, Tanto };
    struct Caso {
        const char* nome;
        std::function<void()> muda;
        Pergunta pessoa1;
        Pergunta pessoa2;
    };
    const Caso casos[] = {
        {"nothing written", [] {}, Nao, Nao},
        {"an account of person 2 inserted",
         [this] { db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values (2, 9)")); }, Nao, Sim},
        {"accounts of many other people inserted, then one of person 2",
         [this] {
             db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values (2, 8)"));
             for (int p = 10; p < 200; ++p)
                 db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values (?1, 1)"), {p});
             db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values (2, 9)"));
         },
         Nao, Sim},
        {"the key written as text",
         [this] { db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values ('2', 9)")); }, Nao, Sim},
        {"another column of person 1's account changed",
         [this] { db->execute(QStringLiteral("update Conta set Descricao = 'x' where Pessoa_Id = 1")); }, Sim, Nao},
        {"an account moved from person 1 to person 2",
         [this] { db->execute(QStringLiteral("update Conta set Pessoa_Id = 2 where Pessoa_Id = 1 and Numero = 2")); },
         Sim, Sim},
        {"an account of person 2 deleted",
         [this] { db->execute(QStringLiteral("delete from Conta where Pessoa_Id = 2")); }, Nao, Sim},
        {"the whole table emptied at once", [this] { db->execute(QStringLiteral("delete from Conta")); }, Sim, Sim},
        {"an account of person 1 inserted through a table",
         [this] {
             auto c = table(QStringLiteral("Conta"));
             c->open();
             poeConta(*c, 1, 5);
         },
         Sim, Nao},
        {"accounts of many other people inserted through a table, then one of person 2",
         [this] {
             auto c = table(QStringLiteral("Conta"));
             c->open();
             for (int p = 10; p < 200; ++p)
                 poeConta(*c, p, 1);
             poeConta(*c, 2, 9);
         },
         Nao, Sim},
        {"a table inserts for person 1 and a trigger for person 2",
         [this] {
             db->execute(QStringLiteral("create trigger copia before insert on Conta when new.Pessoa_Id = 1 begin "
                                        "insert into Conta (Pessoa_Id, Numero) values (2, new.Numero + 100); end"));
             auto c = table(QStringLiteral("Conta"));
             c->open();
             poeConta(*c, 1, 5);
             c.reset();
             db->execute(QStringLiteral("drop trigger copia"));
         },
         Sim, Sim},
        {"an account of person 2 inserted and rolled back",
         [&] {
             db->startTransaction();
             db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values (2, 8)"));
             EXPECT_EQ(contasDe(2), 2);
             db->rollback();
         },
         Tanto, Sim},
        {"an account of person 1 inserted by another program",
         [this] { outroPrograma("insert into Conta (Pessoa_Id, Numero) values (1, 7)"); }, Sim, Tanto},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        db->execute(QStringLiteral("delete from Conta"));
        db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values (1, 1), (1, 2), (2, 1)"));
        contas.clear();
        EXPECT_EQ(contasDe(1), 2);
        EXPECT_EQ(contasDe(2), 1);
        c.muda();
        const int antes[3] = {0, askedFor[1], askedFor[2]};
        EXPECT_EQ(contasDe(1), verdade(1));
        EXPECT_EQ(contasDe(2), verdade(2));
        for (int p : {1, 2}) {
            const Pergunta esperada = p == 1 ? c.pessoa1 : c.pessoa2;
            if (esperada != Tanto) {
                EXPECT_EQ(askedFor[p] - antes[p], esperada == Sim ? 1 : 0) << "person " << p;
            }
        }
        EXPECT_EQ(contasDe(1), verdade(1));
        EXPECT_EQ(contasDe(2), verdade(2));
    }
}

// Text keys meet whatever their case, since the suite's searches ignore it.
TEST_F(ContentStampTest, TextKeysMeetWhateverTheirCase)
{
    StampedMemo<QString, int> porCidade{{QStringLiteral("pessoa")}, QStringLiteral("Cidade")};
    auto palmenses = [&] {
        return porCidade.get(conn(), QStringLiteral("Palmas"), [this] {
            return scalar(QStringLiteral("select count(*) from Pessoa where Cidade = 'Palmas' collate nocase")).toInt();
        });
    };
    const int antes = palmenses();
    db->execute(QStringLiteral("update Pessoa set Cidade = 'PALMAS' where Cidade <> 'Palmas' and Id = "
                               "(select min(Id) from Pessoa where Cidade <> 'Palmas')"));
    EXPECT_EQ(palmenses(), antes + 1);
}

// A key column the table lacks is an error, not a stamp that never changes.
TEST_F(ContentStampTest, AKeyColumnTheTableLacksIsRefused)
{
    EXPECT_THROW(conn().keyStamps({QStringLiteral("Conta")}, QStringLiteral("Nada"), 1), EDBEngineError);
}
