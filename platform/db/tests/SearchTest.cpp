#include "DbTestSupport.h"

using namespace vorta::db;
using namespace vorta::db::testsupport;

// The same searches on a table (searched by the engine) and on a query (searched in
// the rows it holds).
class Search : public DbFolder, public ::testing::WithParamInterface<bool> {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        fillPeople();
        if (GetParam()) {
            auto t = table("Pessoa", "Id_Nome");
            ds = std::move(t);
        } else {
            ds = query("select * from Pessoa order by Nome");
        }
        ds->open();
    }
    QString current() { return ds->fieldByName("Nome")->asString(); }
    std::unique_ptr<DataSet> ds;
};

INSTANTIATE_TEST_SUITE_P(TableAndQuery, Search, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Table" : "Query"; });

TEST_P(Search, LocateOptions)
{
    struct Case {
        const char* fields;
        QVariantList values;
        LocateOptions options;
        const char* found; // nullptr: not found
    };
    const Case cases[] = {
        {"Nome", {"Carla"}, 0, "Carla"},
        {"Nome", {"carla"}, 0, nullptr},
        {"Nome", {"carla"}, loCaseInsensitive, "Carla"},
        {"Nome", {"Bru"}, 0, nullptr},
        {"Nome", {"Bru"}, loPartialKey, "Bruna"},
        {"Nome", {"bru"}, loPartialKey, "bruno"},
        {"Nome", {"bru"}, loPartialKey | loCaseInsensitive, "Bruna"},
        {"Nome", {QString::fromUtf8("álv")}, loPartialKey | loCaseInsensitive, "Álvaro"},
        {"Cidade;Idade", {"Palmas", 41}, 0, "Carla"},
        {" Cidade ; Idade ", {"Palmas", "30"}, 0, "Ana"},
        {"Cidade;Idade", {"Palmas", 99}, 0, nullptr},
        {"Cidade", {""}, 0, "Caio"},
        {"Idade", {55}, 0, "Álvaro"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.fields) + " " + c.values.first().toString().toStdString());
        ds->last();
        const QString before = current();
        const bool ok = ds->locate(QString::fromUtf8(c.fields), c.values, c.options);
        EXPECT_EQ(ok, c.found != nullptr);
        EXPECT_EQ(current(), c.found ? QString::fromUtf8(c.found) : before) << "a failed locate leaves the cursor";
    }
}

TEST_P(Search, LocateFiresScrollEventsOnlyWhenFound)
{
    int before = 0, after = 0;
    ds->BeforeScroll = [&](DataSet&) { ++before; };
    ds->AfterScroll = [&](DataSet&) { ++after; };
    EXPECT_FALSE(ds->locate("Nome", "ninguem"));
    EXPECT_EQ(after, 0);
    EXPECT_TRUE(ds->locate("Nome", "Caio"));
    EXPECT_EQ(after, 1);
    EXPECT_EQ(before, 2);
}

TEST_P(Search, LookupDoesNotMove)
{
    ds->first();
    EXPECT_EQ(ds->lookup("Id", {3}, "Nome").toString(), "Carla");
    EXPECT_EQ(ds->lookup("Cidade;Nome", {"Gurupi", "bruno"}, "Idade").toLongLong(), 25);
    const QVariant two = ds->lookup("Id", {5}, "Nome;Cidade");
    EXPECT_EQ(two.toList().value(1).toString(), "Gurupi");
    EXPECT_FALSE(ds->lookup("Id", {99}, "Nome").isValid());
    EXPECT_EQ(current(), "Ana");
}

TEST_P(Search, Bookmarks)
{
    ds->locate("Nome", "Carla");
    const Bookmark b = ds->bookmark();
    ds->first();
    EXPECT_TRUE(ds->bookmarkValid(b));
    ds->gotoBookmark(b);
    EXPECT_EQ(current(), "Carla");
}

TEST_P(Search, Filters)
{
    struct Case {
        const char* filter;
        FilterOptions options;
        const char* names; // in dataset order
    };
    const Case cases[] = {
        {"Cidade = 'Palmas'", 0, "Ana,Carla"},
        {"Nome = 'B*'", 0, "Bruna"},
        {"Nome = 'b*'", foCaseInsensitive, "Bruna,bruno"},
        {"Nome <> 'C*'", 0, "Ana,Bruna,bruno,Álvaro"},
        {"Nome = 'B*'", foNoPartialCompare, ""},
        {"Cidade = ''", 0, "Caio"},
        {"Cidade <> ''", 0, "Ana,Bruna,Carla,bruno,Álvaro"},
        {"Idade >= 30 and Idade < 50", 0, "Ana,Caio,Carla"},
        {"(Cidade = 'Gurupi') or (Idade < 20)", 0, "Bruna,bruno,Álvaro"},
        {"not (Cidade = 'Gurupi') and Idade > 30", 0, "Caio,Carla"},
        {"Cidade is null", 0, "Caio"},
        {"cidade = 'palmas'", foCaseInsensitive, "Ana,Carla"},
        {"", 0, "Ana,Bruna,Caio,Carla,bruno,Álvaro"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.filter);
        ds->setFilterOptions(c.options);
        ds->setFilter(QString::fromUtf8(c.filter));
        ds->setFiltered(true);
        QStringList names;
        for (ds->first(); !ds->eof(); ds->next())
            names << current();
        EXPECT_EQ(names.join(","), QString::fromUtf8(c.names));
        EXPECT_EQ(ds->recordCount(), names.size());
        ds->setFiltered(false);
        EXPECT_EQ(ds->recordCount(), 6) << "the switch turns the filter off";
    }
}

TEST_P(Search, FilterErrors)
{
    ds->setFilter("Nome = ");
    EXPECT_THROW(ds->setFiltered(true), EDatabaseError);
    ds->setFiltered(false);
    ds->setFilter("Sumido = 1");
    try {
        ds->setFiltered(true);
        FAIL();
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.message(), "Field 'Sumido' not found");
    }
}

TEST_P(Search, LocateWithinAFilter)
{
    ds->setFilter("Cidade = 'Gurupi'");
    ds->setFiltered(true);
    EXPECT_FALSE(ds->locate("Nome", "Ana")) << "filtered-out rows are not found";
    EXPECT_TRUE(ds->locate("Nome", "bruno"));
}

class TableKeys : public DbFolder {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        fillPeople();
        t = table("Pessoa");
    }
    QStringList walk()
    {
        QStringList names;
        for (t->first(); !t->eof(); t->next())
            names << t->fieldByName("Nome")->asString();
        return names;
    }
    std::unique_ptr<Table> t;
};

TEST_F(TableKeys, IndexesByNameAndByFields)
{
    t->open();
    EXPECT_EQ(walk().join(","), QString::fromUtf8("Ana,bruno,Carla,Bruna,Álvaro,Caio")) << "primary order";
    EXPECT_EQ(t->primaryIndexFields(), QStringList{"Id"});
    t->setIndexName("id_nome");
    EXPECT_EQ(walk().first(), "Ana");
    t->setIndexFieldNames("Cidade;Nome");
    EXPECT_EQ(walk().join(","), QString::fromUtf8("Caio,Bruna,bruno,Álvaro,Ana,Carla"));
    EXPECT_THROW(t->setIndexName("Id_Nada"), EDatabaseError);
    QStringList names = t->indexNames();
    names.sort();
    EXPECT_EQ(names, (QStringList{"Id_Cidade", "Id_Nome"})) << "names as the suite spells them";
}

TEST_F(TableKeys, SameIndexNameOnTwoTables)
{
    auto contas = table("Conta", "Id_Nome");
    contas->open();
    db->execute("insert into Conta (Pessoa_Id, Numero, Descricao) values (1, 1, 'Zeta'), (1, 2, 'Alfa')");
    contas->refresh();
    contas->first();
    EXPECT_EQ(contas->fieldByName("Descricao")->asString(), "Alfa");
    EXPECT_EQ(contas->indexFields(), QStringList{"Descricao"});
}

TEST_F(TableKeys, FindKeyFindNearestAndRanges)
{
    t->setIndexName("Id_Nome");
    t->open();
    EXPECT_TRUE(t->findKey({"Carla"}));
    EXPECT_EQ(t->fieldByName("Id")->asInteger(), 3);
    EXPECT_FALSE(t->findKey({"Car"}));
    EXPECT_EQ(t->fieldByName("Id")->asInteger(), 3) << "no move without a match";
    t->findNearest({"Bz"});
    EXPECT_EQ(t->fieldByName("Nome")->asString(), "Caio");
    t->findNearest({"zzz"});
    EXPECT_EQ(t->fieldByName("Nome")->asString(), QString::fromUtf8("Álvaro")) << "byte order of the text";
    t->findNearest({QString::fromUtf8("ÿ")});
    EXPECT_TRUE(t->eof()) << "past the last key: the last record";

    t->setIndexName("Id_Cidade");
    EXPECT_TRUE(t->findKey({"Gurupi", "bruno"}));
    EXPECT_EQ(t->fieldByName("Id")->asInteger(), 2);
    t->setRange({"Gurupi"}, {"Palmas"});
    EXPECT_EQ(walk().join(","), QString::fromUtf8("bruno,Álvaro,Ana,Carla"));
    t->cancelRange();
    EXPECT_EQ(t->recordCount(), 6);
}

TEST_F(TableKeys, MissingTableIsAnEngineError)
{
    auto missing = table("Nota");
    EXPECT_FALSE(missing->exists());
    try {
        missing->open();
        FAIL();
    } catch (const EDBEngineError& e) {
        EXPECT_TRUE(e.message().contains("Nota"));
    }
    EXPECT_FALSE(missing->active());
    auto dat = table("Pessoa.DAT");
    EXPECT_TRUE(dat->exists());
}

TEST_F(TableKeys, UserVersionsAndListing)
{
    EXPECT_EQ(t->userMajorVersion(), 1);
    EXPECT_EQ(t->userMinorVersion(), 2);
    auto c = table("Conta");
    EXPECT_EQ(c->userMajorVersion(), 0) << "no catalogue row";
    c->setUserVersion(3, 4);
    EXPECT_EQ(c->userMajorVersion(), 3);
    EXPECT_EQ(c->userMinorVersion(), 4);
    EXPECT_EQ(db->tableNames(), (QStringList{"Conta", "Pessoa"})) << "the catalogue is not listed";
    EXPECT_FALSE(db->tableExists("vorta_catalog"));

    // Name order ignores case, as a folder of table files lists them; creation order
    // does not count.
    db->execute("CREATE TABLE qel_Mapas (Id INTEGER)");
    db->execute("CREATE TABLE agencia (Id INTEGER)");
    db->execute("CREATE TABLE Entrega (Id INTEGER)");
    EXPECT_EQ(db->tableNames(), (QStringList{"agencia", "Conta", "Entrega", "Pessoa", "qel_Mapas"}));
}

TEST_F(TableKeys, APostedRecordTheFilterNoLongerAdmitsLeavesTheView)
{
    t->open();
    t->setFilter("Cidade = 'Gurupi'");
    t->setFiltered(true);
    ASSERT_EQ(2, t->recordCount());
    t->first();
    const QString first = t->fieldByName("Nome")->asString();
    t->edit();
    t->fieldByName("Cidade")->setAsString("Palmas");
    t->post();
    EXPECT_EQ(1, t->recordCount());
    EXPECT_NE(first, t->fieldByName("Nome")->asString()) << "the other record of the filter is current";
    EXPECT_EQ("Gurupi", t->fieldByName("Cidade")->asString());
    EXPECT_FALSE(t->eof());
    t->edit();
    t->fieldByName("Cidade")->setAsString("Palmas");
    t->post();
    EXPECT_TRUE(t->isEmpty());
    EXPECT_TRUE(t->eof());
}
