#include "wDatabase.h"

#include "ComponentsTestDb.h"

#include "platform/db/Query.h"
#include "platform/db/Table.h"

using vorta::db::EDatabaseError;
using vorta::db::Table;

namespace {

// A database of its own with its three events written down, and tables on it.
class WDatabaseTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        vorta::db::createDatabase(dir.path() + QStringLiteral("/dados"),
                                  QString::fromUtf8(brano70::testsupport::kPeopleSchema));
        db = std::make_unique<TwDatabase>();
        db->setDatabaseName(QStringLiteral("DBCadastro"));
        db->setDirectory(dir.path() + QStringLiteral("/dados"));
        db->AfterStartTransaction = [this](TwDatabase* d) { events << QStringLiteral("start ") + d->databaseName(); };
        db->AfterCommit = [this](TwDatabase* d) { events << QStringLiteral("commit ") + d->databaseName(); };
        db->AfterRollback = [this](TwDatabase* d) { events << QStringLiteral("rollback ") + d->databaseName(); };
        db->open();
    }
    void TearDown() override
    {
        tables.clear();
        db.reset();
    }
    Table* cachedTable(const QString& name, const QString& database = QStringLiteral("DBCadastro"))
    {
        auto t = std::make_unique<Table>();
        t->setName(name);
        t->setDatabaseName(database);
        t->setTableName(QStringLiteral("Pessoa"));
        t->setCachedUpdates(true);
        t->open();
        tables.push_back(std::move(t));
        return tables.back().get();
    }
    static void rename(Table* t, int id, const QString& nome)
    {
        ASSERT_TRUE(t->locate(QStringLiteral("Id"), id));
        t->edit();
        t->fieldByName(QStringLiteral("Nome"))->setAsString(nome);
        t->post();
    }
    QString storedName(int id)
    {
        vorta::db::Query q;
        q.setDatabase(db.get());
        q.setSql(QStringLiteral("SELECT Nome FROM Pessoa WHERE Id = %1").arg(id));
        q.open();
        return q.fields(0)->asString();
    }

    QTemporaryDir dir;
    std::unique_ptr<TwDatabase> db;
    std::vector<std::unique_ptr<Table>> tables;
    QStringList events;
};

TEST_F(WDatabaseTest, EachTransactionStepFiresItsEventAfterTheStep)
{
    db->StartTransaction();
    EXPECT_TRUE(db->inTransaction());
    db->Commit();
    EXPECT_FALSE(db->inTransaction());
    db->StartTransaction();
    db->Rollback();
    EXPECT_EQ(QStringList({QStringLiteral("start DBCadastro"), QStringLiteral("commit DBCadastro"),
                           QStringLiteral("start DBCadastro"), QStringLiteral("rollback DBCadastro")}),
              events);
    // A step that fails fires nothing.
    events.clear();
    EXPECT_THROW(db->Commit(), EDatabaseError);
    EXPECT_THROW(db->Rollback(), EDatabaseError);
    db->StartTransaction();
    EXPECT_THROW(db->StartTransaction(), EDatabaseError);
    db->Rollback();
    EXPECT_EQ(QStringList({QStringLiteral("start DBCadastro"), QStringLiteral("rollback DBCadastro")}), events);
}

TEST_F(WDatabaseTest, ApplyingNoDatasetsStartsAndCommitsAnEmptyTransaction)
{
    db->ApplyUpdates({});
    EXPECT_EQ(QStringList({QStringLiteral("start DBCadastro"), QStringLiteral("commit DBCadastro")}), events);
    EXPECT_FALSE(db->inTransaction());
}

TEST_F(WDatabaseTest, CachedUpdatesOfSeveralDatasetsAreStoredTogether)
{
    Table* a = cachedTable(QStringLiteral("TbPessoa"));
    Table* b = cachedTable(QStringLiteral("TbOutra"));
    rename(a, 1, QStringLiteral("Bento A"));
    rename(b, 2, QStringLiteral("Carla B"));
    EXPECT_EQ(QStringLiteral("Bento"), storedName(1));
    db->ApplyUpdates({a, b});
    EXPECT_EQ(QStringLiteral("Bento A"), storedName(1));
    EXPECT_EQ(QStringLiteral("Carla B"), storedName(2));
    EXPECT_FALSE(a->updatesPending());
    EXPECT_FALSE(b->updatesPending());
    EXPECT_EQ(QStringList({QStringLiteral("start DBCadastro"), QStringLiteral("commit DBCadastro")}), events);
    // Forgotten after the commit: a rollback later brings nothing back.
    db->StartTransaction();
    db->Rollback();
    EXPECT_FALSE(a->updatesPending());
}

// A dataset of another connection ends the apply: the datasets before it keep their
// cached updates, and nothing is stored.
TEST_F(WDatabaseTest, ADatasetOfAnotherConnectionRollsTheApplyBack)
{
    QTemporaryDir otherDir;
    vorta::db::createDatabase(otherDir.path() + QStringLiteral("/dados"),
                              QString::fromUtf8(brano70::testsupport::kPeopleSchema));
    TwDatabase other;
    other.setDatabaseName(QStringLiteral("DBOutro"));
    other.setDirectory(otherDir.path() + QStringLiteral("/dados"));
    other.open();
    Table* mine = cachedTable(QStringLiteral("TbPessoa"));
    Table* foreign = cachedTable(QStringLiteral("TbOutra"), QStringLiteral("DBOutro"));
    rename(mine, 1, QStringLiteral("Bento A"));
    rename(foreign, 2, QStringLiteral("Carla B"));
    try {
        db->ApplyUpdates({mine, foreign});
        ADD_FAILURE() << "applied";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(QStringLiteral("TbOutra não pertence a DBCadastro"), e.message());
    }
    EXPECT_EQ(QStringList({QStringLiteral("start DBCadastro"), QStringLiteral("rollback DBCadastro")}), events);
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(QStringLiteral("Bento"), storedName(1));
    EXPECT_TRUE(mine->updatesPending());
    EXPECT_TRUE(foreign->updatesPending());
    EXPECT_EQ(QStringLiteral("Bento A"), mine->fieldByName(QStringLiteral("Nome"))->asString());
    // Applied again without the stranger, the changes are stored.
    events.clear();
    db->ApplyUpdates({mine});
    EXPECT_EQ(QStringLiteral("Bento A"), storedName(1));
    tables.clear();
}

} // namespace
