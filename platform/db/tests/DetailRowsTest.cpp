// A table's rows and its emptiness, kept between a master's posts and scrolls and
// between inserts, always as the database holds them when they are shown.
#include "DbTestSupport.h"

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>

using namespace vorta::db;
using namespace vorta::db::testsupport;

namespace {

class DetailRows : public DbFolder {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        fillPeople();
        master = table("Pessoa", "Id_Cidade");
        master->open();
        source.setDataSet(master.get());
    }
    void resetAccounts()
    {
        db->execute("delete from Conta");
        db->execute("insert into Conta (Pessoa_Id, Numero, Descricao) values "
                    "(1, 1, 'Palmas'), (3, 1, 'Palmas'), (2, 1, 'Gurupi')");
    }
    void run(const QString& sql)
    {
        auto q = query(sql);
        q->execSql();
    }
    // "Pessoa_Id/Numero" of each row, in the table's order.
    static std::string rows(Table& t)
    {
        std::string out;
        for (t.first(); !t.eof(); t.next())
            out += (out.empty() ? "" : " ") + t.fieldByName("Pessoa_Id")->asString().toStdString() + "/"
                + t.fieldByName("Numero")->asString().toStdString();
        return out;
    }
    std::unique_ptr<Table> master;
    DataSource source;
    std::unique_ptr<Table> detail;
};

} // namespace

// The accounts follow the person's city. Whatever changed the rows since the detail read
// them shows once the master posts or moves to another person of the same city.
TEST_F(DetailRows, ADetailShowsItsRowsAsTheyAreAfterItsMasterPostsOrScrolls)
{
    struct Event {
        const char* name;
        std::function<void()> happen;
    };
    const Event events[] = {
        {"master posts",
         [&] {
             master->edit();
             master->fieldByName("Idade")->setAsInteger(master->fieldByName("Idade")->asInteger() + 1);
             master->post();
         }},
        {"master moves within the city",
         [&] {
             master->next(); // Carla
             ASSERT_EQ(master->fieldByName("Cidade")->asString(), "Palmas");
         }},
    };
    struct Case {
        const char* name;
        std::function<void(const Event&)> change;
        const char* rows;
    };
    const Case cases[] = {
        {"nothing written", [](const Event&) {}, "1/1 3/1"},
        {"a query inserts", [&](const Event&) { run("insert into Conta values (5, 1, 'Palmas')"); }, "1/1 3/1 5/1"},
        {"a query alters a shown row", [&](const Event&) { run("update Conta set Numero = 7 where Pessoa_Id = 3"); },
         "1/1 3/7"},
        {"a query deletes", [&](const Event&) { run("delete from Conta where Pessoa_Id = 1"); }, "3/1"},
        {"the table emptied at once", [&](const Event&) { db->execute("delete from Conta"); }, ""},
        {"another table posts",
         [&](const Event&) {
             auto other = table("Conta");
             other->open();
             ASSERT_TRUE(other->locate("Pessoa_Id;Numero", QVariantList{1, 1}));
             other->edit();
             other->fieldByName("Numero")->setAsInteger(4);
             other->post();
         },
         "1/4 3/1"},
        {"another program inserts",
         [&](const Event&) { anotherProgram("insert into Conta values (6, 2, 'Palmas')"); }, "1/1 3/1 6/2"},
        {"another program alters a shown row",
         [&](const Event&) { anotherProgram("update Conta set Numero = 8 where Pessoa_Id = 1"); }, "1/8 3/1"},
        {"another program alters the row the detail inserted",
         [&](const Event&) {
             detail->append();
             detail->fieldByName("Pessoa_Id")->setAsInteger(0);
             detail->fieldByName("Numero")->setAsInteger(1);
             detail->post();
             anotherProgram("update Conta set Numero = 6 where Pessoa_Id = 0");
         },
         "0/6 1/1 3/1"},
        {"a query's insert rolled back",
         [&](const Event& e) {
             db->startTransaction();
             run("insert into Conta values (5, 1, 'Palmas')");
             e.happen();
             master->locate("Id", 1);
             EXPECT_EQ(rows(*detail), "1/1 3/1 5/1") << "inside the transaction";
             db->rollback();
         },
         "1/1 3/1"},
    };
    for (const Event& e : events)
        for (const Case& c : cases) {
            SCOPED_TRACE(std::string(e.name) + ", " + c.name);
            resetAccounts();
            master->locate("Id", 1); // Ana, Palmas
            detail = table("Conta");
            detail->setMasterSource(&source);
            detail->setMasterFields("Cidade");
            detail->setDetailFields("Descricao");
            detail->open();
            ASSERT_EQ(rows(*detail), "1/1 3/1");
            c.change(e);
            e.happen();
            EXPECT_EQ(rows(*detail), c.rows);
            EXPECT_EQ(detail->recordCount(), int(std::count(c.rows, c.rows + std::strlen(c.rows), '/')));
            detail.reset();
        }
}

// Two rows are inserted through a table limited by its master or a range, and it is asked
// after each whether it is empty; then the rows change in some other way, and the answer
// follows them.
TEST_F(DetailRows, EmptinessAfterInsertsFollowsEveryLaterChange)
{
    auto byMaster = [&](int id) {
        return [this, id](Table& t) {
            master->setIndexName("");
            master->locate("Id", id);
            t.setMasterSource(&source);
            t.setMasterFields("Id");
        };
    };
    auto ranged = [](int id) { return [id](Table& t) { t.setRange({id}, {id}); }; };
    struct Case {
        const char* name;
        std::function<void(Table&)> limit;
        int insertedId; // Pessoa_Id of the two rows inserted
        bool emptyAfterInserts;
        std::function<void(Table&)> change;
        bool empty;
    };
    const Case cases[] = {
        {"a query deletes the master's rows", byMaster(1), 1, false,
         [&](Table&) { run("delete from Conta where Pessoa_Id = 1"); }, true},
        {"another program deletes the master's rows", byMaster(1), 1, false,
         [&](Table&) { anotherProgram("delete from Conta where Pessoa_Id = 1"); }, true},
        {"the table emptied at once", byMaster(1), 1, false, [&](Table&) { db->execute("delete from Conta"); }, true},
        {"the inserts rolled back",
         [&](Table& t) {
             byMaster(4)(t); // Bruna, no accounts
             db->startTransaction();
         },
         4, false, [&](Table&) { db->rollback(); }, true},
        {"a query moves the rows to another master", byMaster(3), 3, false,
         [&](Table&) { run("update Conta set Pessoa_Id = 6 where Pessoa_Id = 3"); }, true},
        {"deleted through the table down to none", byMaster(3), 3, false,
         [&](Table& t) {
             t.first();
             while (!t.isEmpty())
                 t.deleteRecord();
         },
         true},
        {"rows given another master's key", byMaster(4), 9, true,
         [&](Table&) { anotherProgram("insert into Conta values (4, 5, 'x')"); }, false},
        {"inserted outside an empty range", ranged(4), 5, true, [](Table&) {}, true},
        {"inserted outside a range whose rows a query deletes", ranged(1), 5, false,
         [&](Table&) { run("delete from Conta where Pessoa_Id = 1"); }, true},
        {"inserted outside a range whose rows another program deletes", ranged(1), 5, false,
         [&](Table&) { anotherProgram("delete from Conta where Pessoa_Id = 1"); }, true},
        {"inserted outside a range whose last row is moved out", ranged(3), 5, false,
         [&](Table& t) {
             t.first();
             t.edit();
             t.fieldByName("Pessoa_Id")->setAsInteger(6);
             t.post();
         },
         true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        resetAccounts();
        auto t = table("Conta");
        t->open();
        c.limit(*t);
        for (int numero : {9, 10}) {
            t->append();
            t->fieldByName("Pessoa_Id")->setAsInteger(c.insertedId);
            t->fieldByName("Numero")->setAsInteger(numero);
            t->post();
            EXPECT_EQ(t->isEmpty(), c.emptyAfterInserts) << "after the row " << numero;
        }
        c.change(*t);
        EXPECT_EQ(t->isEmpty(), c.empty);
        EXPECT_EQ(t->recordCount() == 0, c.empty);
        if (db->inTransaction())
            db->rollback();
    }
}

// A detail ordered by the field its master holds to one value shows its rows in the order
// they were written, though the key's index reads them in another; a search finds the
// first of them in that order.
TEST_F(DetailRows, RowsHeldToOneMasterValueComeInTheOrderWritten)
{
    db->execute("delete from Conta");
    db->execute("insert into Conta (Pessoa_Id, Numero, Descricao) values "
                "(1, 3, 'A'), (1, 1, 'B'), (2, 5, 'A'), (1, 2, 'A')");
    master->locate("Id", 1);
    struct Case {
        const char* name;
        const char* index;
        const char* rows;
        const char* firstA;
    };
    // Ordered by the whole key, the row order is the key's; by its first field only, the
    // order written.
    const Case cases[] = {{"whole key", "Pessoa_Id;Numero", "1/1 1/2 1/3", "1/2"},
                          {"first key field", "Pessoa_Id", "1/3 1/1 1/2", "1/3"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        detail = table("Conta");
        detail->setIndexFieldNames(c.index);
        detail->setMasterSource(&source);
        detail->setMasterFields("Id");
        detail->open();
        EXPECT_EQ(rows(*detail), c.rows);
        ASSERT_TRUE(detail->locate("Descricao", "A"));
        EXPECT_EQ(detail->fieldByName("Pessoa_Id")->asString() + "/" + detail->fieldByName("Numero")->asString(),
                  c.firstA);
        // Another person's rows, in the same order.
        master->locate("Id", 2);
        EXPECT_EQ(rows(*detail), "2/5");
        master->locate("Id", 1);
        detail.reset();
    }
}
