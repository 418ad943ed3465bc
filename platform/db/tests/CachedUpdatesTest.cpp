#include "DbTestSupport.h"

using namespace vorta::db;
using namespace vorta::db::testsupport;

namespace {

class CachedUpdates : public DbFolder {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        fillPeople();
        t = table(QStringLiteral("Pessoa"));
        t->setCachedUpdates(true);
        t->open();
    }
    void TearDown() override
    {
        t.reset();
        DbFolder::TearDown();
    }
    // Names as the dataset shows them, in its order.
    QStringList shown()
    {
        QStringList names;
        for (t->first(); !t->eof(); t->next())
            names << t->fieldByName(QStringLiteral("Nome"))->asString();
        return names;
    }
    QString stored() { return scalar(QStringLiteral("SELECT group_concat(Nome, ',') FROM (SELECT Nome FROM Pessoa ORDER BY Id)")); }
    void changeTheList()
    {
        ASSERT_TRUE(t->locate(QStringLiteral("Id"), 2));
        t->edit();
        t->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Bruno M"));
        t->post();
        ASSERT_TRUE(t->locate(QStringLiteral("Id"), 4));
        t->deleteRecord();
        t->append();
        t->fieldByName(QStringLiteral("Id"))->setAsInteger(7);
        t->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Zeca"));
        t->post();
    }

    std::unique_ptr<Table> t;
    const QString before = QStringLiteral("Ana,bruno,Carla,Bruna,Álvaro,Caio");
};

// Changes show at once and reach the file only when applied.
TEST_F(CachedUpdates, ChangesShowBeforeTheyAreStoredAndStoreWhenApplied)
{
    changeTheList();
    const QStringList afterChanges{QStringLiteral("Ana"), QStringLiteral("Bruno M"), QStringLiteral("Carla"),
                                   QStringLiteral("Álvaro"), QStringLiteral("Caio"), QStringLiteral("Zeca")};
    EXPECT_EQ(afterChanges, shown());
    EXPECT_EQ(6, t->recordCount());
    EXPECT_TRUE(t->updatesPending());
    EXPECT_EQ(before, stored());
    ASSERT_TRUE(t->locate(QStringLiteral("Nome"), QStringLiteral("Zeca")));
    EXPECT_EQ(6, t->recNo());
    // Editing a new record again keeps it new.
    t->edit();
    t->fieldByName(QStringLiteral("Cidade"))->setAsString(QStringLiteral("Palmas"));
    t->post();

    t->applyUpdates();
    EXPECT_EQ(QStringLiteral("Ana,Bruno M,Carla,Álvaro,Caio,Zeca"), stored());
    EXPECT_EQ(QStringLiteral("Palmas"), scalar(QStringLiteral("SELECT Cidade FROM Pessoa WHERE Id = 7")));
    EXPECT_FALSE(t->updatesPending());
    EXPECT_EQ(QStringLiteral("Zeca"), t->fieldByName(QStringLiteral("Nome"))->asString());
    EXPECT_EQ(afterChanges, shown());
    t->commitUpdates();
    EXPECT_EQ(afterChanges, shown());
    // Applying again writes nothing twice.
    t->applyUpdates();
    EXPECT_EQ(QStringLiteral("6"), scalar(QStringLiteral("SELECT count(*) FROM Pessoa")));
}

// A rollback of the transaction the changes were applied in brings them back as
// pending, so a second apply stores them; cancelling drops them.
TEST_F(CachedUpdates, RolledBackChangesArePendingAgainAndCancelDropsThem)
{
    changeTheList();
    db->startTransaction();
    t->applyUpdates();
    EXPECT_FALSE(t->updatesPending());
    db->rollback();
    EXPECT_TRUE(t->updatesPending());
    EXPECT_EQ(before, stored());
    EXPECT_EQ(6, t->recordCount());
    EXPECT_TRUE(t->locate(QStringLiteral("Nome"), QStringLiteral("Zeca")));
    t->applyUpdates();
    t->commitUpdates();
    EXPECT_EQ(QStringLiteral("Ana,Bruno M,Carla,Álvaro,Caio,Zeca"), stored());

    ASSERT_TRUE(t->locate(QStringLiteral("Id"), 1));
    t->deleteRecord();
    EXPECT_EQ(5, t->recordCount());
    t->cancelUpdates();
    EXPECT_EQ(6, t->recordCount());
    EXPECT_FALSE(t->updatesPending());
    EXPECT_TRUE(t->locate(QStringLiteral("Id"), 1));
}

// A failing write ends the apply with nothing stored and everything still pending.
TEST_F(CachedUpdates, AFailedApplyStoresNothing)
{
    changeTheList();
    t->append();
    t->fieldByName(QStringLiteral("Id"))->setAsInteger(1); // the key of Ana
    t->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Repetido"));
    t->post();
    EXPECT_THROW(t->applyUpdates(), EDatabaseError);
    EXPECT_EQ(before, stored());
    EXPECT_TRUE(t->updatesPending());
    EXPECT_EQ(7, t->recordCount());
    EXPECT_FALSE(db->inTransaction());
}

// Closing or switching the cache off forgets pending changes; without the cache every
// post is stored at once.
TEST_F(CachedUpdates, SwitchingOffForgetsPendingChanges)
{
    changeTheList();
    t->setCachedUpdates(false);
    EXPECT_EQ(6, t->recordCount());
    EXPECT_FALSE(t->locate(QStringLiteral("Nome"), QStringLiteral("Zeca")));
    ASSERT_TRUE(t->locate(QStringLiteral("Id"), 2));
    t->edit();
    t->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Beto"));
    t->post();
    EXPECT_EQ(QStringLiteral("Beto"), scalar(QStringLiteral("SELECT Nome FROM Pessoa WHERE Id = 2")));
    EXPECT_THROW(t->applyUpdates(), EDatabaseError);

    t->setCachedUpdates(true);
    changeTheList();
    t->close();
    t->open();
    EXPECT_EQ(6, t->recordCount());
    EXPECT_FALSE(t->updatesPending());
}

} // namespace
