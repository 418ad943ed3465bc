#include "DbTestSupport.h"

#include "platform/db/DataSource.h"

#include <functional>

#include <string>
#include <vector>

using namespace vorta::db;
using namespace vorta::db::testsupport;

namespace {

// Records every dataset event by name.
struct Recorder {
    std::vector<std::string> log;
    void attach(DataSet& ds)
    {
        auto rec = [this](const char* name) { return [this, name](DataSet&) { log.push_back(name); }; };
        ds.BeforeOpen = rec("BeforeOpen");
        ds.AfterOpen = rec("AfterOpen");
        ds.BeforeClose = rec("BeforeClose");
        ds.AfterClose = rec("AfterClose");
        ds.BeforeScroll = rec("BeforeScroll");
        ds.AfterScroll = rec("AfterScroll");
        ds.BeforeInsert = rec("BeforeInsert");
        ds.AfterInsert = rec("AfterInsert");
        ds.BeforeEdit = rec("BeforeEdit");
        ds.AfterEdit = rec("AfterEdit");
        ds.BeforePost = rec("BeforePost");
        ds.AfterPost = rec("AfterPost");
        ds.BeforeCancel = rec("BeforeCancel");
        ds.AfterCancel = rec("AfterCancel");
        ds.BeforeDelete = rec("BeforeDelete");
        ds.AfterDelete = rec("AfterDelete");
        ds.OnNewRecord = rec("OnNewRecord");
    }
    std::vector<std::string> take()
    {
        auto out = log;
        log.clear();
        return out;
    }
};

using Log = std::vector<std::string>;

} // namespace

class DataSetEvents : public DbFolder {
protected:
    void SetUp() override
    {
        DbFolder::SetUp();
        fillPeople();
        t = table("Pessoa", "Id_Nome");
        rec.attach(*t);
        t->open();
        rec.take();
    }
    int rows() { return scalar("select count(*) from Pessoa").toInt(); }
    std::unique_ptr<Table> t;
    Recorder rec;
};

TEST_F(DataSetEvents, OpenAndCloseOrder)
{
    t->close();
    EXPECT_EQ(rec.take(), (Log{"BeforeClose", "AfterClose"}));
    t->open();
    EXPECT_EQ(rec.take(), (Log{"BeforeOpen", "AfterOpen", "AfterScroll"}));
    EXPECT_EQ(t->state(), DataSetState::Browse);
}

TEST_F(DataSetEvents, InsertAndPostOrderAndNewRecordDefaults)
{
    t->OnNewRecord = [&](DataSet& ds) {
        rec.log.push_back("OnNewRecord");
        ds.fieldByName("Cidade")->setAsString("Palmas");
    };
    t->insert();
    EXPECT_EQ(rec.take(), (Log{"BeforeInsert", "BeforeScroll", "OnNewRecord", "AfterInsert", "AfterScroll"}));
    EXPECT_EQ(t->state(), DataSetState::Insert);
    EXPECT_FALSE(t->modified()) << "values set by OnNewRecord do not count as a change";
    EXPECT_EQ(t->fieldByName("Cidade")->asString(), "Palmas");
    t->fieldByName("Id")->setAsInteger(10);
    t->fieldByName("Nome")->setAsString("Zeca");
    t->post();
    EXPECT_EQ(rec.take(), (Log{"BeforePost", "AfterPost"}));
    EXPECT_EQ(t->state(), DataSetState::Browse);
    EXPECT_EQ(rows(), 7);
    EXPECT_EQ(t->fieldByName("Nome")->asString(), "Zeca") << "the posted record stays current";
    EXPECT_EQ(t->recNo(), 5) << "and takes its place in the index order (upper case sorts first)";
    t->append();
    t->cancel();
    EXPECT_EQ(t->fieldByName("Nome")->asString(), "Zeca") << "a cancelled append returns to the posted record";
}

TEST_F(DataSetEvents, AbortingBeforePostKeepsStateAndValues)
{
    t->BeforePost = [&](DataSet&) {
        rec.log.push_back("BeforePost");
        vorta::Abort();
    };
    t->append();
    t->fieldByName("Id")->setAsInteger(11);
    t->fieldByName("Nome")->setAsString("Rui");
    rec.take();
    EXPECT_THROW(t->post(), vorta::EAbort);
    EXPECT_EQ(rec.take(), (Log{"BeforePost"}));
    EXPECT_EQ(t->state(), DataSetState::Insert);
    EXPECT_EQ(t->fieldByName("Nome")->asString(), "Rui");
    EXPECT_EQ(rows(), 6);
    t->BeforePost = nullptr;
    t->post();
    EXPECT_EQ(rows(), 7);
    t->append();
    t->cancel();
    EXPECT_EQ(t->fieldByName("Nome")->asString(), "Rui") << "a cancelled append returns to the posted record";
}

TEST_F(DataSetEvents, CancelLeavesNothingAndRestoresValues)
{
    t->append();
    t->fieldByName("Id")->setAsInteger(12);
    t->fieldByName("Nome")->setAsString("Nina");
    rec.take();
    t->cancel();
    EXPECT_EQ(rec.take(), (Log{"BeforeCancel", "AfterCancel", "AfterScroll"})) << "an insert's cancel scrolls back";
    EXPECT_EQ(rows(), 6);

    t->first();
    const QString before = t->fieldByName("Nome")->asString();
    t->edit();
    t->fieldByName("Nome")->setAsString("Trocado");
    rec.take();
    t->cancel();
    EXPECT_EQ(rec.take(), (Log{"BeforeCancel", "AfterCancel"})) << "an edit's cancel stays on its record";
    EXPECT_EQ(t->fieldByName("Nome")->asString(), before);
    EXPECT_EQ(scalar("select count(*) from Pessoa where Nome = 'Trocado'"), "0");
}

TEST_F(DataSetEvents, RefusingBeforeDeleteKeepsTheRow)
{
    t->BeforeDelete = [&](DataSet&) {
        rec.log.push_back("BeforeDelete");
        vorta::Abort();
    };
    t->first();
    rec.take();
    EXPECT_THROW(t->deleteRecord(), vorta::EAbort);
    EXPECT_EQ(rec.take(), (Log{"BeforeDelete"}));
    EXPECT_EQ(rows(), 6);
    EXPECT_EQ(t->fieldByName("Nome")->asString(), "Ana");

    t->BeforeDelete = [&](DataSet&) { rec.log.push_back("BeforeDelete"); };
    t->deleteRecord();
    EXPECT_EQ(rec.take(), (Log{"BeforeDelete", "BeforeScroll", "AfterDelete", "AfterScroll"}));
    EXPECT_EQ(rows(), 5);
    EXPECT_EQ(t->fieldByName("Nome")->asString(), "Bruna") << "the next record becomes current";
}

TEST_F(DataSetEvents, MovingWhileEditingPostsAModifiedRecordAndCancelsAnUnmodifiedOne)
{
    t->first();
    t->edit();
    t->fieldByName("Cidade")->setAsString("Porto");
    rec.take();
    t->next();
    EXPECT_EQ(rec.take(), (Log{"BeforePost", "AfterPost", "BeforeScroll", "AfterScroll"}));
    EXPECT_EQ(scalar("select Cidade from Pessoa where Nome = 'Ana'"), "Porto");

    t->edit();
    rec.take();
    t->next();
    EXPECT_EQ(rec.take(), (Log{"BeforeCancel", "AfterCancel", "BeforeScroll", "AfterScroll"}));

    // A new record with only its defaults is dropped, not stored.
    t->append();
    rec.take();
    t->first();
    EXPECT_EQ(rec.take(), (Log{"BeforeCancel", "AfterCancel", "AfterScroll", "BeforeScroll", "AfterScroll"}));
    EXPECT_EQ(rows(), 6);
}

TEST_F(DataSetEvents, PostErrorAnswers)
{
    struct Case {
        DataAction action;
        bool expectAbort;
        bool expectFail;
        int rowsAfter;
    };
    const Case cases[] = {
        {DataAction::Fail, false, true, 6},
        {DataAction::Abort, true, false, 6},
        {DataAction::Retry, false, false, 7},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(int(c.action));
        int calls = 0;
        QString seen;
        t->OnPostError = [&](DataSet& ds, EDatabaseError& e, DataAction& action) {
            ++calls;
            seen = e.message();
            action = c.action;
            if (c.action == DataAction::Retry)
                ds.fieldByName("Nome")->setAsString("Preenchido");
        };
        t->append();
        t->fieldByName("Id")->setAsInteger(20);
        if (c.expectFail)
            EXPECT_THROW(t->post(), EDatabaseError);
        else if (c.expectAbort)
            EXPECT_THROW(t->post(), vorta::EAbort);
        else
            EXPECT_NO_THROW(t->post());
        EXPECT_EQ(calls, 1);
        EXPECT_TRUE(seen.contains("must have a value")) << seen.toStdString();
        EXPECT_EQ(rows(), c.rowsAfter);
        if (t->state() == DataSetState::Insert) {
            EXPECT_EQ(t->fieldByName("Id")->asInteger(), 20) << "a refused post keeps the values";
            t->cancel();
        }
    }
}

TEST_F(DataSetEvents, EngineErrorsReachThePostErrorHandler)
{
    QString seen;
    t->OnPostError = [&](DataSet&, EDatabaseError& e, DataAction& a) {
        seen = e.message();
        a = DataAction::Abort;
    };
    t->append();
    t->fieldByName("Id")->setAsInteger(1); // taken
    t->fieldByName("Nome")->setAsString("Dup");
    EXPECT_THROW(t->post(), vorta::EAbort);
    EXPECT_TRUE(seen.contains("UNIQUE")) << seen.toStdString();
    EXPECT_EQ(t->state(), DataSetState::Insert);
}

// Each insert stores its own values only: none is left from a row the engine refused,
// nor lost when the table gains a column while the dataset is open.
TEST_F(DataSetEvents, InsertsStoreTheirOwnValuesAfterARefusalAndAShapeChange)
{
    t->append();
    t->fieldByName("Id")->setAsInteger(1); // taken
    t->fieldByName("Nome")->setAsString("Dup");
    t->fieldByName("Cidade")->setAsString("Recusada");
    t->fieldByName("Idade")->setAsInteger(99);
    EXPECT_THROW(t->post(), EDatabaseError);
    t->cancel();
    t->append();
    t->fieldByName("Id")->setAsInteger(20);
    t->fieldByName("Nome")->setAsString("Novo");
    t->post();
    EXPECT_EQ(scalar("select coalesce(Cidade, '-') || '/' || coalesce(Idade, '-') from Pessoa where Id = 20").toStdString(), "-/-");

    db->execute("alter table Pessoa add column Extra INTEGER");
    t->append();
    t->fieldByName("Id")->setAsInteger(21);
    t->fieldByName("Nome")->setAsString("Depois");
    t->fieldByName("Idade")->setAsInteger(7);
    t->post();
    EXPECT_EQ(scalar("select Nome || '/' || Idade || '/' || coalesce(Extra, '-') from Pessoa where Id = 21").toStdString(), "Depois/7/-");
    EXPECT_EQ(rows(), 8);
}

// A record deleted behind the dataset's back (another component, another process) is
// not silently "saved": the post fails and the edit stays as typed.
TEST_F(DataSetEvents, PostingARecordDeletedMeanwhileFails)
{
    auto q = query("select * from Pessoa order by Nome");
    q->setRequestLive(true);
    q->open();
    for (DataSet* ds : {static_cast<DataSet*>(t.get()), static_cast<DataSet*>(q.get())}) {
        SCOPED_TRACE(ds == t.get() ? "table" : "live query");
        ds == t.get() ? ds->first() : ds->last();
        const qint64 id = ds->fieldByName("Id")->asInteger();
        ds->edit();
        ds->fieldByName("Cidade")->setAsString("Nova");
        db->execute("delete from Pessoa where Id = ?1", {id});
        try {
            ds->post();
            ADD_FAILURE() << "the edit of a deleted record was reported as saved";
        } catch (const EDBEngineError& e) {
            EXPECT_TRUE(e.message().contains("deleted")) << e.message().toStdString();
        }
        EXPECT_EQ(ds->state(), DataSetState::Edit);
        EXPECT_EQ(ds->fieldByName("Cidade")->asString(), "Nova");
        ds->cancel();
    }
    EXPECT_EQ(rows(), 4);
}

TEST_F(DataSetEvents, FieldValidateAndChange)
{
    Field* nome = t->fieldByName("Nome");
    std::vector<std::string> seen;
    nome->OnValidate = [&](Field& f) {
        seen.push_back("validate " + f.asString().toStdString());
        if (f.asString() == "X")
            vorta::Abort();
    };
    nome->OnChange = [&](Field& f) { seen.push_back("change " + f.asString().toStdString()); };
    t->first();
    t->edit();
    nome->setAsString("Ok");
    EXPECT_THROW(nome->setAsString("X"), vorta::EAbort);
    EXPECT_EQ(nome->asString(), "Ok") << "a refused value is not taken";
    EXPECT_EQ(seen, (std::vector<std::string>{"validate Ok", "change Ok", "validate X"}));
}

// Every kind of setter validates the new value in place, puts the old one back when it
// is refused and tells the links and OnChange only of values that stay.
TEST_F(DataSetEvents, EverySetterValidatesBeforeTheValueStays)
{
    struct FieldLink : DataLink {
        std::vector<std::string>* seen = nullptr;
        void recordChanged(Field* f) override
        {
            if (f)
                seen->push_back("link " + f->fieldName().toStdString() + " " + f->asString().toStdString());
        }
    };
    struct Case {
        const char* field;
        std::function<void(Field&)> good;
        const char* goodText;
        std::function<void(Field&)> refused;
    };
    const Case cases[] = {
        {"Nome", [](Field& f) { f.setAsString("Ok"); }, "Ok", [](Field& f) { f.setAsString("X"); }},
        {"Nome", [](Field& f) { f.setText("Nome comprido demais!!"); }, "Nome comprido demais",
         [](Field& f) { f.setValue(QStringLiteral("X")); }},
        {"Idade", [](Field& f) { f.setAsInteger(30); }, "30", [](Field& f) { f.setAsInteger(99); }},
        {"Idade", [](Field& f) { f.setAsString("31"); }, "31", [](Field& f) { f.setText("99"); }},
        {"Idade", [](Field& f) { f.setValue(32); }, "32", [](Field& f) { f.clear(); }},
        {"Peso", [](Field& f) { f.setText("72,5"); }, "72,5", [](Field& f) { f.setAsFloat(99); }},
        {"Peso", [](Field& f) { f.setAsFloat(1.25); }, "1,25", [](Field& f) { f.setAsString(""); }},
        {"Obs", [](Field& f) { f.setAsString("nota"); }, "nota", [](Field& f) { f.setAsString("X"); }},
    };
    t->first();
    t->edit();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.field);
        Field* f = t->fieldByName(QString::fromLatin1(c.field));
        std::vector<std::string> seen;
        DataSource source;
        source.setDataSet(t.get());
        FieldLink link;
        link.seen = &seen;
        link.setDataSource(&source);
        f->OnValidate = [&](Field& v) {
            seen.push_back("validate " + v.asString().toStdString());
            if (v.isNull() || v.asString() == "X" || v.asString() == "99")
                vorta::Abort();
        };
        f->OnChange = [&](Field& v) { seen.push_back("change " + v.asString().toStdString()); };
        c.good(*f);
        const std::string good = c.goodText;
        EXPECT_EQ(seen, (std::vector<std::string>{"validate " + good, "link " + std::string(c.field) + " " + good,
                                                  "change " + good}));
        seen.clear();
        EXPECT_THROW(c.refused(*f), vorta::EAbort);
        EXPECT_EQ(seen.size(), 1u) << "only the validator heard of the refused value";
        EXPECT_EQ(f->asString().toStdString(), good) << "a refused value is not taken";
        f->OnValidate = nullptr;
        f->OnChange = nullptr;
    }
    t->post();
    EXPECT_EQ(scalar("select Nome || ' ' || Idade || ' ' || Peso || ' ' || Obs from Pessoa where Id = "
                     + t->fieldByName("Id")->asString()),
              "Nome comprido demais 32 1.25 nota");
}

// Tables word the refusal as the engine does, since the programs translate that text.
TEST_F(DataSetEvents, WritingOutsideEditIsRefused)
{
    auto q = query("select * from Pessoa");
    q->setRequestLive(true);
    q->open();
    const struct {
        DataSet* ds;
        const char* text;
    } cases[] = {
        {t.get(), "Table is not in edit or insert mode"},
        {q.get(), "Dataset not in edit or insert mode"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.text);
        try {
            c.ds->fieldByName("Nome")->setAsString("Y");
            ADD_FAILURE() << "no error";
        } catch (const EDatabaseError& e) {
            EXPECT_EQ(e.message(), c.text);
        }
        EXPECT_EQ(c.ds->state(), DataSetState::Browse);
    }
    EXPECT_EQ(scalar("select count(*) from Pessoa where Nome = 'Y'"), "0");
}

TEST_F(DataSetEvents, NavigationFlags)
{
    t->first();
    EXPECT_TRUE(t->bof());
    EXPECT_FALSE(t->eof());
    EXPECT_EQ(t->moveBy(2), 2);
    EXPECT_EQ(t->recNo(), 3);
    EXPECT_EQ(t->moveBy(10), 3);
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->recNo(), 6);
    t->next();
    EXPECT_TRUE(t->eof());
    EXPECT_EQ(t->moveBy(-10), -5);
    EXPECT_TRUE(t->bof());
    t->last();
    EXPECT_TRUE(t->eof());
    t->prior();
    EXPECT_FALSE(t->eof());
    EXPECT_EQ(t->recNo(), 5);
    EXPECT_EQ(t->recordCount(), 6);
    EXPECT_FALSE(t->isEmpty());
}

TEST_F(DataSetEvents, EditOnEmptyDataSetInserts)
{
    auto c = table("Conta");
    c->open();
    EXPECT_TRUE(c->isEmpty());
    EXPECT_TRUE(c->bof() && c->eof());
    c->edit();
    EXPECT_EQ(c->state(), DataSetState::Insert);
    c->deleteRecord(); // deleting a record being inserted cancels it
    EXPECT_EQ(c->state(), DataSetState::Browse);
    EXPECT_THROW(c->deleteRecord(), EDatabaseError) << "nothing to delete";
}

TEST_F(DataSetEvents, CalculatedAndLookupFields)
{
    auto contas = table("Conta");
    contas->addField("Pessoa_Id", FieldType::Integer);
    contas->addField("Numero", FieldType::Integer);
    contas->addField("Descricao", FieldType::String, 30);
    contas->addField("Rotulo", FieldType::String, 40, FieldKind::Calculated);
    contas->addLookupField("NomePessoa", FieldType::String, 20, "Pessoa_Id", t.get(), "Id", "Nome");
    int calcs = 0;
    contas->OnCalcFields = [&](DataSet& ds) {
        ++calcs;
        EXPECT_EQ(ds.state(), DataSetState::CalcFields);
        ds.fieldByName("Rotulo")->setAsString(ds.fieldByName("Descricao")->asString() + "#" + ds.fieldByName("Numero")->asString());
    };
    contas->open();
    contas->append();
    contas->fieldByName("Pessoa_Id")->setAsInteger(3);
    contas->fieldByName("Numero")->setAsInteger(7);
    contas->fieldByName("Descricao")->setAsString("Poupança");
    EXPECT_EQ(contas->fieldByName("Rotulo")->asString(), QString::fromUtf8("Poupança#7")) << "recalculated on change";
    contas->post();
    EXPECT_EQ(contas->fieldByName("NomePessoa")->asString(), "Carla");
    EXPECT_EQ(contas->fieldByName("Rotulo")->asString(), QString::fromUtf8("Poupança#7"));
    EXPECT_GT(calcs, 0);
    EXPECT_EQ(t->fieldByName("Nome")->asString(), "Ana") << "a lookup does not move the lookup dataset";
}
