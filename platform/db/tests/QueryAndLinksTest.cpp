#include "DbTestSupport.h"

#include <functional>

#include "platform/db/Connection.h"
#include "platform/db/SqlText.h"

#include <sqlite3.h>

#include <string>
#include <vector>

using namespace vorta::db;
using namespace vorta::db::testsupport;

class Queries : public DbFolder {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        fillPeople();
    }
};

TEST_F(Queries, ParametersByNameAndByPosition)
{
    auto q = query("select Nome from Pessoa\nwhere Cidade = :cidade and Idade > :IDADE\norder by Nome");
    ASSERT_EQ(q->paramCount(), 2);
    EXPECT_EQ(q->params(0)->name(), "cidade");
    q->paramByName("Cidade")->setAsString("Palmas");
    q->params(1)->setAsInteger(35);
    q->open();
    EXPECT_EQ(q->recordCount(), 1);
    EXPECT_EQ(q->fieldByName("Nome")->asString(), "Carla");
    EXPECT_THROW(q->paramByName("nada"), EDatabaseError);
}

TEST_F(Queries, RepeatedNameIsOneParameterAndValuesAreNeverPasted)
{
    auto q = query("select count(*) as n from Pessoa where Nome = :v or Cidade = :v");
    EXPECT_EQ(q->paramCount(), 1);
    q->paramByName("v")->setAsString("x' or '1'='1");
    q->open();
    EXPECT_EQ(q->fieldByName("n")->asInteger(), 0);
}

TEST_F(Queries, LinesJoinAndExecuteCountsRows)
{
    auto q = query("");
    q->clearSql();
    q->addSql("Update Pessoa set Cidade = 'X' ");
    q->addSql("where Cidade =:c");
    q->paramByName("c")->setAsString("Gurupi");
    q->execSql();
    EXPECT_EQ(q->rowsAffected(), 2);
    q->setSql("delete from Pessoa where Id = :id");
    q->paramByName("id")->setAsInteger(99);
    q->execSql();
    EXPECT_EQ(q->rowsAffected(), 0);
}

TEST_F(Queries, ExpressionColumnsAndDuplicateNames)
{
    auto q = query("select max(p.Id) max_seq, count(*) as n, avg(p.Idade) media, p.Nome, c.Nome from Pessoa p, Pessoa c "
                   "where p.Id = 1 and c.Id = 2");
    q->open();
    EXPECT_EQ(q->fieldByName("max_seq")->asInteger(), 1);
    EXPECT_EQ(q->fieldByName("max_seq")->dataType(), FieldType::Integer);
    EXPECT_EQ(q->fieldByName("media")->dataType(), FieldType::Float);
    EXPECT_EQ(q->fieldByName("Nome")->asString(), "Ana");
    EXPECT_EQ(q->fieldByName("Nome_1")->asString(), "bruno");
    auto empty = query("select max(Numero) as UltimoCodigo from Conta");
    empty->open();
    EXPECT_TRUE(empty->fieldByName("UltimoCodigo")->isNull());
    EXPECT_EQ(empty->fieldByName("UltimoCodigo")->asInteger(), 0);
}

TEST_F(Queries, BareColumnOfTwoJoinedTablesIsTheFirstTables)
{
    auto q = query("select Nome, b.Nome as outro from Pessoa a, Pessoa as b where a.Id = :x and b.Id = 2 and Idade > 0");
    q->paramByName("x")->setAsInteger(1);
    q->open();
    EXPECT_EQ(q->fieldByName("Nome")->asString(), "Ana");
    EXPECT_EQ(q->fieldByName("outro")->asString(), "bruno");
}

TEST_F(Queries, ExtractAndEmptyComparisons)
{
    db->execute("update Pessoa set Cadastro = '2024-03-15 10:00:00' where Id in (1, 2)");
    db->execute("update Pessoa set Cadastro = '2023-03-01 00:00:00' where Id = 3");
    auto q = query("select Nome from Pessoa where EXTRACT(MONTH FROM Cadastro) = :m and EXTRACT(YEAR FROM Cadastro) = :a order by Id");
    q->paramByName("m")->setAsInteger(3);
    q->paramByName("a")->setAsInteger(2024);
    q->open();
    EXPECT_EQ(q->recordCount(), 2);
    auto e = query("select Nome from Pessoa where Cidade = ''");
    e->open();
    EXPECT_EQ(e->fieldByName("Nome")->asString(), "Caio");
    auto b = query("select count(*) as n from Pessoa where Ativo = false or Ativo is null");
    b->open();
    EXPECT_EQ(b->fieldByName("n")->asInteger(), 6);
    auto d = query("select count(*) as n from Pessoa where Cadastro >= :ini and Cadastro < :fim");
    d->paramByName("ini")->setAsDateTime(QDateTime(QDate(2024, 3, 1), QTime(0, 0)));
    d->paramByName("fim")->setAsDate(QDate(2024, 4, 1));
    d->open();
    EXPECT_EQ(d->fieldByName("n")->asInteger(), 2);
    auto day = query("select Nome from Pessoa where Cadastro = :dia");
    day->paramByName("dia")->setAsDate(QDate(2023, 3, 1));
    day->open();
    EXPECT_EQ(day->fieldByName("Nome")->asString(), "Carla") << "a date equals the midnight of a date-time";
}

// Texts written by a table arrive whole, row after row, whether short, accented, empty
// or longer than what a row's texts are kept in.
TEST_F(Queries, TextsOfInsertedRowsAreStoredAsTyped)
{
    struct Case {
        int id;
        QString nome;
        QString cidade;
        QString obs;
    };
    const QString longa = QString(700, QLatin1Char('x')) + QStringLiteral("fim");
    const Case cases[] = {
        {20, QStringLiteral("Zé"), QStringLiteral("Palmas"), QStringLiteral("a")},
        {21, QStringLiteral("Ana"), QString(), QStringLiteral("b")},
        {22, QStringLiteral("Rui"), QStringLiteral("Gurupi"), longa},
        {23, QStringLiteral("Lia"), QStringLiteral("Porto Nacional"), longa + longa},
        {24, QStringLiteral("Eva"), QStringLiteral("São Félix"), QStringLiteral("ção")},
    };
    auto t = table("Pessoa");
    t->open();
    for (const Case& c : cases) {
        t->append();
        t->fieldByName("Id")->setAsInteger(c.id);
        t->fieldByName("Nome")->setAsString(c.nome);
        t->fieldByName("Cidade")->setAsString(c.cidade);
        t->fieldByName("Obs")->setAsString(c.obs);
        t->post();
    }
    for (const Case& c : cases) {
        const QString where = QStringLiteral(" from Pessoa where Id = %1").arg(c.id);
        EXPECT_EQ(scalar("select Nome" + where), c.nome) << c.id;
        EXPECT_EQ(scalar("select Obs" + where), c.obs) << c.id;
        if (c.cidade.isEmpty())
            EXPECT_EQ(scalar("select count(*)" + where + " and Cidade is null"), "1") << c.id;
        else
            EXPECT_EQ(scalar("select Cidade" + where), c.cidade) << c.id;
    }
}

TEST_F(Queries, LiveQueryWritesBackAndOtherQueriesAreReadOnly)
{
    auto q = query("select * from Pessoa where Cidade = :c");
    q->setRequestLive(true);
    q->paramByName("c")->setAsString("Palmas");
    q->open();
    EXPECT_TRUE(q->live());
    q->first();
    q->edit();
    q->fieldByName("Idade")->setAsInteger(31);
    q->post();
    q->append();
    q->fieldByName("Id")->setAsInteger(50);
    q->fieldByName("Nome")->setAsString("Novo");
    q->post();
    EXPECT_EQ(scalar("select Idade from Pessoa where Id = 1"), "31");
    EXPECT_EQ(scalar("select Nome from Pessoa where Id = 50"), "Novo");
    q->locate("Id", 50);
    q->deleteRecord();
    EXPECT_EQ(scalar("select count(*) from Pessoa where Id = 50"), "0");

    auto join = query("select p.Nome, c.Descricao from Pessoa p, Conta c where p.Id = c.Pessoa_Id");
    join->setRequestLive(true);
    join->open();
    EXPECT_FALSE(join->live());
    EXPECT_THROW(join->append(), EDatabaseError);
    auto plain = query("select * from Pessoa");
    plain->open();
    EXPECT_THROW(plain->edit(), EDatabaseError);
}

TEST_F(Queries, EngineErrorsCarryTheEngineText)
{
    auto q = query("select * from Inexistente");
    try {
        q->open();
        FAIL();
    } catch (const EDBEngineError& e) {
        EXPECT_TRUE(e.message().contains("no such table")) << e.message().toStdString();
    }
    EXPECT_FALSE(q->active());
    auto folderQuery = std::make_unique<Query>();
    folderQuery->setDatabaseName(folder + "/"); // the folder itself as database
    folderQuery->setSql("select count(*) as n from Pessoa");
    folderQuery->open();
    EXPECT_EQ(folderQuery->fieldByName("n")->asInteger(), 6);
}

// Kept statements are found again by their text's storage: each text must still get its
// own statement when texts are built, changed, freed and built again at the same place.
TEST_F(Queries, KeptStatementsAnswerForTheirOwnText)
{
    Connection& c = *db->connection();
    const auto ask = [&](const QString& sql) {
        sqlite3_stmt* st = c.prepare(sql);
        StatementReset reset(st);
        sqlite3_bind_int(st, 1, 2);
        EXPECT_EQ(sqlite3_step(st), SQLITE_ROW) << sql.toStdString();
        return QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(st, 0)));
    };
    QString nome = QStringLiteral("select Nome from Pessoa where Id = ?1");
    const QString esperado = ask(nome);
    QString cidade = nome;
    cidade.replace(QStringLiteral("Nome"), QStringLiteral("Cidade"));
    EXPECT_NE(ask(cidade), esperado);
    EXPECT_EQ(ask(nome), esperado);
    for (int i = 0; i < 40; ++i) {
        // A fresh text each turn, of one length, so freed storage is taken again by a
        // different text.
        const QString texto = QStringLiteral("select %1 from Pessoa where Id = ?1")
                                  .arg(i % 2 ? QStringLiteral("Idade") : QStringLiteral("Id+00"));
        EXPECT_EQ(ask(texto), i % 2 ? scalar("select Idade from Pessoa where Id = 2") : QStringLiteral("2")) << i;
        if (i % 10 == 9)
            c.clearStatements();
    }
    EXPECT_EQ(ask(nome), esperado);
}

TEST(SqlRewriter, Cases)
{
    struct Case {
        const char* in;
        const char* out;
    };
    const Case cases[] = {
        {"select * from t where a = :x and b=:Y", "select * from t where a = ?1 and b=?2"},
        {"select * from t where a = :x or c = :X", "select * from t where a = ?1 or c = ?1"},
        {"select ':no' from t where d = '10:00'", "select ':no' from t where d = '10:00'"},
        {"where EXTRACT(MONTH FROM map_data) = :m", "where CAST(strftime('%m', map_data) AS INTEGER) = ?1"},
        {"where EXTRACT(YEAR FROM (m.map_data)) = 1", "where CAST(strftime('%Y', (m.map_data)) AS INTEGER) = 1"},
        {"where c.Cidade = '' and x <> ''", "where (c.Cidade IS NULL OR c.Cidade = '') and (x IS NOT NULL AND x <> '')"},
        {"CREATE INDEX Id_Nome ON Municipio (Mun_Descricao)", "CREATE INDEX \"Municipio$Id_Nome\" ON Municipio (Mun_Descricao)"},
        {"DROP INDEX Municipio.Id_Nome", "DROP INDEX \"Municipio$Id_Nome\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(rewriteSql(QString::fromUtf8(c.in)).sql, QString::fromUtf8(c.out)) << c.in;
    EXPECT_EQ(splitSqlScript("a; b ';' ; -- c;\n d").size(), 3);
}

// Master-detail: a table following its master by fields, a query by its parameters.
class MasterDetail : public DbFolder {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        fillPeople();
        db->execute("insert into Conta (Pessoa_Id, Numero, Descricao) values (1, 1, 'A1'), (1, 2, 'A2'), (3, 1, 'C1')");
        master = table("Pessoa");
        master->open();
        source.setDataSet(master.get());
    }
    std::unique_ptr<Table> master;
    DataSource source;

    // The accounts in number order, with their owner's name looked up in the master.
    std::unique_ptr<Table> contasComNome(Field*& nome)
    {
        auto contas = table("Conta");
        contas->setIndexFieldNames("Numero");
        for (const char* f : {"Pessoa_Id", "Numero"})
            contas->addField(f, FieldType::Integer);
        contas->addField("Descricao", FieldType::String, 30);
        nome = contas->addLookupField("NomePessoa", FieldType::String, 20, "Pessoa_Id", master.get(), "Id", "Nome");
        return contas;
    }
};

TEST_F(MasterDetail, TableFollowsItsMaster)
{
    auto detail = table("Conta");
    detail->setMasterSource(&source);
    detail->setMasterFields("Id");
    detail->open();
    EXPECT_EQ(detail->recordCount(), 2);
    master->next(); // bruno
    EXPECT_EQ(detail->recordCount(), 0);
    master->next(); // Carla
    EXPECT_EQ(detail->recordCount(), 1);
    EXPECT_EQ(detail->fieldByName("Descricao")->asString(), "C1");
    detail->append();
    EXPECT_EQ(detail->fieldByName("Pessoa_Id")->asInteger(), 3) << "a new detail row takes the master's key";
    detail->fieldByName("Numero")->setAsInteger(2);
    detail->post();
    EXPECT_EQ(detail->recordCount(), 2);
    master->disableControls();
    master->first();
    EXPECT_EQ(detail->recordCount(), 2) << "details wait while the master's controls are disabled";
    master->enableControls();
    EXPECT_EQ(detail->recordCount(), 2);
    EXPECT_EQ(detail->fieldByName("Pessoa_Id")->asInteger(), 1);
}

TEST_F(MasterDetail, QueryTakesParametersFromItsDataSource)
{
    auto detail = query("select * from Conta where Pessoa_Id = :Id order by Numero");
    detail->setDataSource(&source);
    detail->open();
    EXPECT_EQ(detail->recordCount(), 2);
    master->locate("Id", 3);
    EXPECT_EQ(detail->recordCount(), 1);
    detail->paramByName("Id")->setAsInteger(1); // a value set by hand wins
    detail->close();
    detail->open();
    EXPECT_EQ(detail->recordCount(), 2);
}

namespace {

struct RecordingLink : DataLink {
    std::vector<std::string> log;
    std::function<void()> onUpdate;
    void activeChanged() override { log.push_back(active() ? "active" : "inactive"); }
    void recordChanged(Field* f) override { log.push_back(f ? "field " + f->fieldName().toStdString() : "record"); }
    void dataSetChanged() override { log.push_back("dataset"); }
    void dataSetScrolled(int d) override { log.push_back("scrolled " + std::to_string(d)); }
    void editingChanged() override { log.push_back(editing() ? "editing" : "browsing"); }
    void updateData() override
    {
        log.push_back("updateData");
        if (onUpdate)
            onUpdate();
    }
};

} // namespace

TEST_F(MasterDetail, DataLinksSeeTheDataSetsLife)
{
    RecordingLink link;
    link.setDataSource(&source);
    EXPECT_EQ(link.log, (std::vector<std::string>{"active"}));
    link.log.clear();
    master->next();
    EXPECT_EQ(link.log, (std::vector<std::string>{"scrolled 1"}));
    link.log.clear();
    EXPECT_TRUE(link.edit()) << "auto-edit puts the dataset into edit state";
    EXPECT_EQ(master->state(), DataSetState::Edit);
    master->fieldByName("Cidade")->setAsString("Nova");
    link.modified();
    link.onUpdate = [&] { master->fieldByName("Idade")->setAsInteger(77); };
    master->post();
    EXPECT_EQ(scalar("select Idade from Pessoa where Id = 2"), "77") << "the control's value is written before the post";
    EXPECT_EQ(link.log, (std::vector<std::string>{"editing", "record", "field Cidade", "updateData", "browsing", "dataset"}));
    link.log.clear();
    source.setAutoEdit(false);
    EXPECT_FALSE(link.edit());
    source.setEnabled(false);
    EXPECT_FALSE(link.active());
    source.setEnabled(true);
    master->close();
    EXPECT_EQ(link.log, (std::vector<std::string>{"inactive", "active", "inactive"}));
}

TEST_F(MasterDetail, DisabledControlsHearOneChangeAtTheEnd)
{
    RecordingLink link;
    link.setDataSource(&source);
    int stateChanges = 0;
    source.OnStateChange = [&](DataSource&) { ++stateChanges; };
    // The source outlives this test's counter: the handler must go with the counter.
    struct Unhook {
        DataSource& s;
        ~Unhook() { s.OnStateChange = nullptr; }
    } unhook{source};
    link.log.clear();
    master->disableControls();
    for (int i = 0; i < 3; ++i)
        master->next();
    master->edit();
    master->cancel();
    EXPECT_TRUE(link.log.empty());
    EXPECT_EQ(stateChanges, 0) << "edit and cancel while disabled are not heard";
    master->enableControls();
    EXPECT_EQ(link.log, (std::vector<std::string>{"dataset"}));
    EXPECT_EQ(stateChanges, 0) << "the state at the end is the state at the start";
    master->disableControls();
    master->edit();
    master->enableControls();
    EXPECT_EQ(stateChanges, 1) << "a state that differs at the end is heard once";
    master->cancel();
    EXPECT_EQ(stateChanges, 2);
}

TEST_F(MasterDetail, DetailOutlivesItsMasterSource)
{
    auto detail = table("Conta");
    {
        DataSource temporary;
        temporary.setDataSet(master.get());
        detail->setMasterSource(&temporary);
        detail->setMasterFields("Id");
        detail->open();
        EXPECT_EQ(detail->recordCount(), 2);
    }
    EXPECT_EQ(detail->masterSource(), nullptr);
    detail->refresh();
    EXPECT_EQ(detail->recordCount(), 3) << "without a master every row shows";
}

TEST_F(Queries, QueriesOfOneTextKeepTheirOwnParametersAndFilters)
{
    // Two queries of the same text share one prepared statement; each still reads
    // with its own parameters, filter and after the other's rerun.
    auto a = query("select Nome from Pessoa where Cidade = :c order by Nome");
    auto b = query("select Nome from Pessoa where Cidade = :c order by Nome");
    a->paramByName("c")->setAsString("Palmas");
    b->paramByName("c")->setAsString("Gurupi");
    for (int round = 0; round < 3; ++round) {
        SCOPED_TRACE(round);
        a->close();
        a->open();
        b->close();
        b->open();
        EXPECT_EQ(a->recordCount(), 2);
        EXPECT_EQ(a->fieldByName("Nome")->asString(), "Ana");
        EXPECT_EQ(b->recordCount(), 2);
        EXPECT_EQ(b->fieldByName("Nome")->asString(), "bruno");
    }
    b->setFilter("Nome = 'b*'");
    b->setFiltered(true);
    a->close();
    a->open();
    EXPECT_EQ(b->recordCount(), 1);
    EXPECT_EQ(a->recordCount(), 2);
    // Text set line by line reads as the joined text.
    auto c = query("");
    c->clearSql();
    c->addSql("select count(*) as n from Pessoa");
    c->addSql(" where Cidade = :c");
    c->paramByName("c")->setAsString("Palmas");
    c->open();
    EXPECT_EQ(c->fieldByName("n")->asInteger(), 2);
}

// The first value read without opening is what opening would show in that field,
// asked again of the database at each call.
TEST_F(Queries, FirstValueReadsWhatOpeningShowsWithoutOpening)
{
    struct Case {
        const char* sql;
        QVariant param;
        const char* column;
        bool live;
        bool filtered;
    };
    const Case cases[] = {
        {"select max(Idade) as UltimoCodigo from Pessoa where Cidade = :c", "Palmas", "UltimoCodigo", false, false},
        {"select max(Idade) as UltimoCodigo from Pessoa where Cidade = :c", "Nada", "ultimocodigo", false, false},
        {"select Id, Nome, Idade from Pessoa where Cidade = :c order by Nome", "Gurupi", "Nome", false, false},
        {"select Id, Nome, Idade from Pessoa where Cidade = :c order by Nome", "Gurupi", "IDADE", false, false},
        {"select Nome, Idade from Pessoa where Cidade = :c order by Nome", "Palmas", "Nome", false, true},
        {"select Nome, Idade from Pessoa where Id = :c", 3, "Idade", true, false},
        {"select avg(Idade) as m from Pessoa where Cidade = :c;", "Gurupi", "m", false, false},
        {"select Id from Pessoa where Id > :c", 100, "Id", false, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.sql) + " / " + c.param.toString().toStdString());
        auto opened = query(QString::fromLatin1(c.sql));
        auto read = query(QString::fromLatin1(c.sql));
        for (Query* q : {opened.get(), read.get()}) {
            q->setRequestLive(c.live);
            q->params(0)->setValue(c.param);
            if (c.filtered) {
                q->setFilter("Nome = 'C*'");
                q->setFiltered(true);
            }
        }
        opened->open();
        const QVariant expected =
            opened->isEmpty() ? QVariant() : opened->fieldByName(QString::fromLatin1(c.column))->value();
        const QVariant got = read->firstValue(QString::fromLatin1(c.column));
        EXPECT_FALSE(read->active());
        EXPECT_EQ(got.isValid() && !got.isNull(), expected.isValid() && !expected.isNull());
        if (!expected.isNull()) {
            EXPECT_EQ(got.typeId(), expected.typeId());
            EXPECT_EQ(got, expected);
        }
    }

    // One query asked again sees each write, with each new parameter value.
    auto q = query("select max(Idade) as UltimoCodigo from Pessoa where Cidade = :c");
    q->paramByName("c")->setAsString("Palmas");
    EXPECT_EQ(q->firstValue("UltimoCodigo").toLongLong(), 41);
    db->execute("insert into Pessoa (Id, Nome, Cidade, Idade) values (7, 'Dora', 'Palmas', 60)");
    EXPECT_EQ(q->firstValue("UltimoCodigo").toLongLong(), 60);
    q->paramByName("c")->setAsString("Gurupi");
    EXPECT_EQ(q->firstValue("UltimoCodigo").toLongLong(), 55);
    db->execute("delete from Pessoa where Cidade = 'Gurupi'");
    EXPECT_TRUE(q->firstValue("UltimoCodigo").isNull());
    EXPECT_THROW(q->firstValue("Nada"), EDatabaseError);
    q->setSql("update Pessoa set Idade = 1");
    EXPECT_THROW(q->firstValue("Idade"), EDatabaseError);
}

TEST_F(MasterDetail, EmptinessFollowsInsertsAndDeletesOfADetail)
{
    auto detail = table("Conta");
    detail->setMasterSource(&source);
    detail->setMasterFields("Id");
    detail->open();
    master->next(); // bruno, no accounts
    EXPECT_TRUE(detail->isEmpty());
    detail->append();
    detail->fieldByName("Numero")->setAsInteger(1);
    detail->post();
    EXPECT_FALSE(detail->isEmpty()) << "after its first row";
    EXPECT_EQ(detail->recordCount(), 1);
    detail->deleteRecord();
    EXPECT_TRUE(detail->isEmpty());
    master->next(); // Carla
    EXPECT_FALSE(detail->isEmpty());
    detail->setFilter("Descricao = 'X*'");
    detail->setFiltered(true);
    EXPECT_TRUE(detail->isEmpty()) << "the filter counts";
}

TEST_F(MasterDetail, TheDetailsConditionFollowsEveryChangeAfterAnInsert)
{
    // Each case posts a row for Ana (so the detail asks the engine again), answers once,
    // then changes what the detail's condition is made of.
    auto other = table("Pessoa");
    other->open();
    other->locate("Id", 3); // Carla, one account
    DataSource otherSource;
    otherSource.setDataSet(other.get());
    struct Case {
        const char* name;
        std::function<void(Table&)> before;
        std::function<void(Table&)> change;
        bool emptyBefore;
        bool empty;
        int count;
    };
    auto none = [](Table&) {};
    const Case cases[] = {
        {"master moves unseen", none, [&](Table&) { master->disableControls(); master->next(); }, false, true, 0},
        {"master key edited unseen", none,
         [&](Table&) {
             master->disableControls();
             master->edit();
             master->fieldByName("Id")->setAsInteger(3);
         },
         false, false, 1},
        {"master closed unseen", none, [&](Table&) { master->disableControls(); master->close(); }, false, false, 4},
        {"master source replaced", none, [&](Table& d) { d.setMasterSource(&otherSource); }, false, false, 1},
        {"master fields", none, [&](Table& d) { d.setMasterFields("Idade"); }, false, true, 0},
        {"detail fields", none, [&](Table& d) { d.setDetailFields("Numero"); }, false, false, 2},
        {"range", none, [&](Table& d) { d.setRange({1, 2}, {1, 9}); }, false, false, 2},
        {"range cancelled", [&](Table& d) { d.setRange({1, 2}, {1, 2}); }, [&](Table& d) { d.cancelRange(); }, false, false, 3},
        {"range on another index", [&](Table& d) {
             d.setIndexFieldNames("Pessoa_Id;Numero");
             d.setRange({1, 2}, {1, 9});
         },
         [&](Table& d) { d.setIndexFieldNames("Descricao;Numero"); }, false, true, 0},
        {"filter", none,
         [&](Table& d) {
             d.setFilter("Descricao = 'A*'");
             d.setFiltered(true);
         },
         false, false, 2},
        {"filter text", [&](Table& d) {
             d.setFilter("Descricao = 'A*'");
             d.setFiltered(true);
         },
         [&](Table& d) { d.setFilter("Descricao = 'N*'"); }, false, false, 1},
        {"filter options", [&](Table& d) {
             d.setFilter("Descricao = 'a1'");
             d.setFiltered(true);
         },
         [&](Table& d) { d.setFilterOptions(foCaseInsensitive); }, true, false, 1},
        {"filter off", [&](Table& d) {
             d.setFilter("Descricao = 'A1'");
             d.setFiltered(true);
         },
         [&](Table& d) { d.setFiltered(false); }, false, false, 3},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        db->execute("delete from Conta where Numero = 9");
        master->enableControls();
        if (!master->active())
            master->open();
        master->cancel();
        master->first(); // Ana
        auto detail = table("Conta");
        detail->setMasterSource(&source);
        detail->setMasterFields("Id");
        detail->setDetailFields("Pessoa_Id");
        detail->open();
        c.before(*detail);
        detail->append();
        detail->fieldByName("Numero")->setAsInteger(9);
        detail->fieldByName("Descricao")->setAsString("N9");
        detail->post();
        EXPECT_EQ(detail->isEmpty(), c.emptyBefore);
        c.change(*detail);
        EXPECT_EQ(detail->isEmpty(), c.empty);
        EXPECT_EQ(detail->recordCount(), c.count);
    }
    master->enableControls();
}

TEST_F(MasterDetail, CachedLookupsFollowWritesThroughTheLookupDataSet)
{
    auto contas = table("Conta");
    for (const char* f : {"Pessoa_Id", "Numero"})
        contas->addField(f, FieldType::Integer);
    contas->addField("Descricao", FieldType::String, 30);
    Field* nome = contas->addLookupField("NomePessoa", FieldType::String, 20, "Pessoa_Id", master.get(), "Id", "Nome");
    nome->setLookupCache(true);
    contas->open();
    EXPECT_EQ(nome->asString(), "Ana");
    // Written through the lookup dataset: read again.
    master->first();
    master->edit();
    master->fieldByName("Nome")->setAsString("Anabela");
    master->post();
    contas->first();
    EXPECT_EQ(nome->asString(), "Anabela");
    contas->last();
    EXPECT_EQ(nome->asString(), "Carla");
    // Refreshed or reopened: read again.
    db->execute("update Pessoa set Nome = 'Carlota' where Id = 3");
    master->refresh();
    contas->first();
    contas->last();
    EXPECT_EQ(nome->asString(), "Carlota");
    db->execute("update Pessoa set Nome = 'Ana' where Id = 1");
    master->close();
    master->open();
    contas->first();
    EXPECT_EQ(nome->asString(), "Ana");
    // Without the cache every row reads the table as it stands.
    nome->setLookupCache(false);
    db->execute("update Pessoa set Nome = 'Ana Maria' where Id = 1");
    contas->last();
    contas->first();
    EXPECT_EQ(nome->asString(), "Ana Maria");
}

// Kept answers are found again by their key alone: more keys than are kept at hand,
// coming back in another order, keys of text that differ only in case, and a number
// that reads like a text key each get their own answer.
TEST_F(MasterDetail, CachedLookupsAnswerEachKeyAsKeysComeAndGo)
{
    db->execute("delete from Conta");
    for (int id = 10; id < 24; ++id)
        db->execute("insert into Pessoa (Id, Nome, Cidade) values (?1, ?2, ?3)",
                    {id, QStringLiteral("P%1").arg(id), id % 2 ? QStringLiteral("ana") : QStringLiteral("Ana")});
    // Accounts pointing at people in a changing order, with their name as description.
    const int order[] = {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 21, 22, 23, 10, 23, 11, 22, 12, 12, 10, 1, 3};
    int numero = 0;
    for (int id : order)
        db->execute("insert into Conta (Pessoa_Id, Numero, Descricao) values (?1, ?2, ?3)",
                    {id, ++numero, id % 2 ? QStringLiteral("ana") : QStringLiteral("Ana")});
    master->refresh();
    auto cidades = table("Pessoa");
    cidades->open();
    Field* nome = nullptr;
    auto contas = contasComNome(nome);
    // By text: the first person whose Cidade is the description, as the lookup finds it.
    Field* porTexto = contas->addLookupField("PrimeiroId", FieldType::Integer, 0, "Descricao", cidades.get(), "Cidade", "Id");
    nome->setLookupCache(true);
    porTexto->setLookupCache(true);
    contas->open();
    const QString primeiroAna = scalar("select min(Id) from Pessoa where Cidade = 'Ana'");
    const QString primeiroAnaMinusculo = scalar("select min(Id) from Pessoa where Cidade = 'ana'");
    ASSERT_NE(primeiroAna, primeiroAnaMinusculo);
    for (int i = 0; i < 2; ++i)
        for (contas->first(); !contas->eof(); contas->next()) {
            const int id = int(contas->fieldByName("Pessoa_Id")->asInteger());
            EXPECT_EQ(nome->asString(), scalar(QStringLiteral("select Nome from Pessoa where Id = %1").arg(id))) << id;
            EXPECT_EQ(porTexto->asString(), id % 2 ? primeiroAnaMinusculo : primeiroAna) << id;
        }
}

// Rows posted one after another (an import, with no recalculation at each value set)
// show their own looked-up values whenever they are read: right after the post, as old
// values, after another record was looked at, after a cancelled edit; a calculation
// handler still runs at the post itself.
TEST_F(MasterDetail, APostedRecordShowsItsOwnLookedUpValues)
{
    for (bool cached : {false, true}) {
        SCOPED_TRACE(cached ? "cached" : "not cached");
        Field* nome = nullptr;
        auto contas = contasComNome(nome);
        nome->setLookupCache(cached);
        contas->open();
        contas->autoCalcFields = false;
        const auto posta = [&](int pessoa, int numero) {
            contas->append();
            contas->fieldByName("Pessoa_Id")->setAsInteger(pessoa);
            contas->fieldByName("Numero")->setAsInteger(numero);
            contas->post();
        };
        posta(3, 7);
        EXPECT_EQ(nome->asString(), "Carla");
        EXPECT_EQ(nome->oldValue().toString(), "Carla");
        posta(1, 8);
        contas->peekRecord(0, [&] { EXPECT_EQ(nome->asString(), "Ana"); });
        EXPECT_EQ(nome->asString(), "Ana");
        posta(3, 9);
        // Another record looked at before this one is read.
        contas->peekRecord(0, [&] { EXPECT_EQ(contas->fieldByName("Pessoa_Id")->asInteger(), 1); });
        EXPECT_EQ(nome->asString(), "Carla");
        posta(1, 10);
        contas->edit();
        EXPECT_EQ(nome->asString(), "Ana");
        contas->cancel();
        EXPECT_EQ(nome->asString(), "Ana");
        contas->close();
        db->execute("delete from Conta where Numero > 6");
    }
    auto contas = table("Conta");
    contas->open();
    int calculados = 0;
    contas->OnCalcFields = [&](DataSet&) { ++calculados; };
    contas->append();
    contas->fieldByName("Pessoa_Id")->setAsInteger(3);
    contas->fieldByName("Numero")->setAsInteger(7);
    const int antes = calculados;
    contas->post();
    EXPECT_GT(calculados, antes);
}

TEST_F(MasterDetail, LookupKeysFollowTheirDefinition)
{
    auto contas = table("Conta");
    for (const char* f : {"Pessoa_Id", "Numero"})
        contas->addField(f, FieldType::Integer);
    Field* nome = contas->addLookupField("NomePessoa", FieldType::String, 20, "Pessoa_Id", master.get(), "Id", "Nome");
    contas->open();
    contas->last(); // (3, 1)
    EXPECT_EQ(nome->asString(), "Carla");
    nome->setKeyFields("Numero");
    contas->prior(); // (1, 2)
    EXPECT_EQ(nome->asString(), "bruno");
    contas->close();
    contas->addField("Descricao", FieldType::String, 30);
    nome->setKeyFields("Pessoa_Id");
    contas->open();
    contas->last();
    EXPECT_EQ(nome->asString(), "Carla") << "reopened with other fields";
    contas->close();
    nome->setKeyFields("Numero");
    contas->open();
    contas->last();
    EXPECT_EQ(nome->asString(), "Ana");
}

// Rows are read in blocks: a table whose last block holds only a few rows, or that is
// short altogether, shows every row with its own values, walked either way, with a row
// gone under it read as an empty one.
TEST_F(Queries, EveryRowOfLongAndShortTablesReadsItsOwnValues)
{
    for (int linhas : {3, 131, 256 + 5}) {
        SCOPED_TRACE(linhas);
        db->execute("delete from Conta");
        for (int n = 1; n <= linhas; ++n)
            db->execute("insert into Conta (Pessoa_Id, Numero, Descricao) values (1, ?1, ?2)",
                        {n, QStringLiteral("D%1").arg(n)});
        auto contas = table("Conta");
        contas->setIndexFieldNames("Pessoa_Id;Numero");
        contas->open();
        const auto confere = [&] {
            const int n = int(contas->fieldByName("Numero")->asInteger());
            EXPECT_EQ(contas->fieldByName("Descricao")->asString(), QStringLiteral("D%1").arg(n));
            return n;
        };
        int esperado = 0;
        for (contas->first(); !contas->eof(); contas->next())
            EXPECT_EQ(confere(), ++esperado);
        EXPECT_EQ(esperado, linhas);
        contas->close();
        contas->open();
        for (contas->last(); !contas->bof(); contas->prior())
            EXPECT_EQ(confere(), esperado--);
        EXPECT_EQ(esperado, 0);
        contas->close();
        if (linhas < 128)
            continue;
        // A row of the last block deleted by another writer after the rows' keys were
        // read, before its block was.
        const int inicio = (linhas - 1) / 128 * 128 + 1;
        contas->open();
        for (contas->first(); contas->fieldByName("Numero")->asInteger() < inicio - 1;)
            contas->next();
        db->connection()->exec(QStringLiteral("delete from Conta where Numero = %1").arg(inicio + 1));
        contas->next();
        EXPECT_EQ(confere(), inicio);
        contas->next();
        EXPECT_TRUE(contas->fieldByName("Descricao")->isNull());
        contas->next();
        EXPECT_EQ(confere(), inicio + 2);
        contas->close();
    }
}
