// Records inserted one after another through one table, as an import does: each row is
// stored with its own values and types, each new record starts from its own old values,
// and the tables' stamps follow every write.
#include "DbTestSupport.h"

#include <functional>
#include <optional>

using namespace vorta::db;
using namespace vorta::db::testsupport;

namespace {

class SuccessiveInserts : public DbFolder {
protected:
    // typeof:value of a column of a person, or NULL.
    QString stored(int id, const char* column)
    {
        return scalar(QStringLiteral("select coalesce(typeof(%1) || ':' || %1, 'NULL') from Pessoa where Id = %2")
                          .arg(QLatin1String(column))
                          .arg(id));
    }
    Connection& conn() { return *db->connection(); }

    // The accounts of the person the source shows, in their owner's order.
    std::unique_ptr<Table> contasDe(DataSource& fonte)
    {
        auto contas = table(QStringLiteral("Conta"));
        contas->setMasterSource(&fonte);
        contas->setMasterFields(QStringLiteral("Id"));
        contas->setIndexFieldNames(QStringLiteral("Pessoa_Id"));
        contas->open();
        return contas;
    }
};

} // namespace

// Every row binds all of its values again: a null after a text, a short text after a
// long one or a text beyond the room kept for texts is stored as given, never a value
// of the row before.
TEST_F(SuccessiveInserts, EachRowIsStoredWithItsOwnValuesAndTypes)
{
    const QString longo = QString(700, QLatin1Char('x'));
    struct Linha {
        const char* nome;
        std::optional<QString> cidade;
        std::optional<qint64> idade;
        std::optional<double> peso;
        QString obs;
        const char* cidadeGuardada;
        const char* idadeGuardada;
        const char* pesoGuardado;
    };
    const Linha linhas[] = {
        {"Ana", QStringLiteral("Palmas"), 30, 61.5, QString(), "text:Palmas", "integer:30", "real:61.5"},
        {"Bia", std::nullopt, std::nullopt, std::nullopt, QString(), "NULL", "NULL", "NULL"},
        {"Caio", QStringLiteral("Gurupi"), 0, 0.25, longo, "text:Gurupi", "integer:0", "real:0.25"},
        {"Davi", QStringLiteral(""), 41, std::nullopt, longo + longo, "NULL", "integer:41", "NULL"},
        {"Eva", QStringLiteral("Araguaína"), std::nullopt, 70.0, QString(), "text:Araguaína", "NULL", "real:70.0"},
        {"Fé", QStringLiteral("P"), 7, 1e-3, QStringLiteral("ç"), "text:P", "integer:7", "real:0.001"},
    };
    auto t = table(QStringLiteral("Pessoa"));
    t->open();
    int id = 0;
    for (const Linha& l : linhas) {
        t->append();
        t->fieldByName(QStringLiteral("Id"))->setAsInteger(++id);
        t->fieldByName(QStringLiteral("Nome"))->setAsString(QString::fromUtf8(l.nome));
        if (l.cidade)
            t->fieldByName(QStringLiteral("Cidade"))->setAsString(*l.cidade);
        if (l.idade)
            t->fieldByName(QStringLiteral("Idade"))->setAsInteger(*l.idade);
        if (l.peso)
            t->fieldByName(QStringLiteral("Peso"))->setAsFloat(*l.peso);
        if (!l.obs.isEmpty())
            t->fieldByName(QStringLiteral("Obs"))->setAsString(l.obs);
        t->post();
    }
    id = 0;
    for (const Linha& l : linhas) {
        SCOPED_TRACE(l.nome);
        ++id;
        EXPECT_EQ(stored(id, "Nome"), QStringLiteral("text:") + QString::fromUtf8(l.nome));
        EXPECT_EQ(stored(id, "Cidade"), QString::fromUtf8(l.cidadeGuardada));
        EXPECT_EQ(stored(id, "Idade"), QString::fromUtf8(l.idadeGuardada));
        EXPECT_EQ(stored(id, "Peso"), QString::fromUtf8(l.pesoGuardado));
        EXPECT_EQ(scalar(QStringLiteral("select coalesce(Obs, 'NULL') from Pessoa where Id = %1").arg(id)),
                  l.obs.isEmpty() ? QStringLiteral("NULL") : l.obs);
    }
}

// A new record's old values are the row it started with (the master's key for a
// detail), whatever is set in it afterwards; once posted they are the values posted,
// and the next new record starts from its own again.
TEST_F(SuccessiveInserts, ANewRecordsOldValuesAreTheRowItStartedWith)
{
    fillPeople();
    auto pessoas = table(QStringLiteral("Pessoa"));
    pessoas->open();
    ASSERT_TRUE(pessoas->locate(QStringLiteral("Id"), 3));
    DataSource fonte;
    fonte.setDataSet(pessoas.get());
    auto contas = contasDe(fonte);
    Field* pessoa = contas->fieldByName(QStringLiteral("Pessoa_Id"));
    Field* numero = contas->fieldByName(QStringLiteral("Numero"));
    Field* descricao = contas->fieldByName(QStringLiteral("Descricao"));
    for (int n = 1; n <= 3; ++n) {
        SCOPED_TRACE(n);
        contas->append();
        EXPECT_EQ(pessoa->oldValue(), QVariant(qint64(3)));
        EXPECT_FALSE(numero->oldValue().isValid());
        numero->setAsInteger(n);
        descricao->setAsString(QStringLiteral("conta %1").arg(n));
        EXPECT_EQ(numero->value(), QVariant(qint64(n)));
        EXPECT_FALSE(numero->oldValue().isValid()) << "the old values do not follow the record";
        EXPECT_FALSE(descricao->oldValue().isValid());
        EXPECT_EQ(pessoa->oldValue(), QVariant(qint64(3)));
        contas->post();
        EXPECT_EQ(numero->oldValue(), QVariant(qint64(n)));
        EXPECT_EQ(descricao->oldValue().toString(), QStringLiteral("conta %1").arg(n));
    }
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(Pessoa_Id || '/' || Numero || '/' || Descricao, ' ') "
                                    "from (select * from Conta order by Numero)")),
              QStringLiteral("3/1/conta 1 3/2/conta 2 3/3/conta 3"));
}

// The required fields are checked on the values of the record being posted: a value
// that reads as null (nothing set, an empty text) is refused, any other (a zero) is taken.
TEST_F(SuccessiveInserts, RequiredFieldsRefuseOnlyNullValues)
{
    struct Caso {
        const char* nome;
        std::optional<QString> valor;
        bool aceito;
    };
    const Caso casos[] = {
        {"nothing set", std::nullopt, false},
        {"an empty text", QStringLiteral(""), false},
        {"a zero", QStringLiteral("0"), true},
        {"a name", QStringLiteral("Ana"), true},
    };
    auto t = table(QStringLiteral("Pessoa"));
    t->open();
    int id = 0;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        t->append();
        t->fieldByName(QStringLiteral("Id"))->setAsInteger(++id);
        if (c.valor)
            t->fieldByName(QStringLiteral("Nome"))->setAsString(*c.valor);
        if (c.aceito) {
            EXPECT_NO_THROW(t->post());
            EXPECT_EQ(stored(id, "Nome"), QStringLiteral("text:") + *c.valor);
        } else {
            try {
                t->post();
                ADD_FAILURE() << "posted";
            } catch (const EDatabaseError& e) {
                EXPECT_EQ(e.message(), QStringLiteral("Field 'Nome' must have a value"));
            }
            EXPECT_EQ(t->state(), DataSetState::Insert);
            t->cancel();
            EXPECT_EQ(stored(id, "Nome"), QString());
        }
    }
    // A required number of zero is a value too.
    t->append();
    t->fieldByName(QStringLiteral("Id"))->setAsInteger(0);
    t->fieldByName(QStringLiteral("Nome"))->setAsString(QStringLiteral("Zero"));
    EXPECT_NO_THROW(t->post());
    EXPECT_EQ(stored(0, "Id"), QStringLiteral("integer:0"));
}

// A table's stamp changes with each of its writes and with no other table's, while
// writes move from table to table and tables are written for the first time.
TEST_F(SuccessiveInserts, TableStampsFollowWritesAsTheyMoveBetweenTables)
{
    constexpr int kTabelas = 24;
    for (int i = 0; i < kTabelas; ++i)
        db->execute(QStringLiteral("create table T%1 (v integer)").arg(i));
    const QStringList pessoa{QStringLiteral("Pessoa")};
    auto stamp = [&](const QStringList& tables) { return conn().contentStamps(tables).front(); };
    auto inserePessoa = [&](int id) {
        db->execute(QStringLiteral("insert into Pessoa (Id, Nome) values (?1, 'x')"), {id});
    };
    inserePessoa(1);
    ContentStamp antes = stamp(pessoa);
    for (int i = 0; i < kTabelas; ++i) {
        SCOPED_TRACE(i);
        const QStringList ti{QStringLiteral("t%1").arg(i)};
        const ContentStamp tAntes = stamp(ti);
        db->execute(QStringLiteral("insert into T%1 (v) values (1)").arg(i));
        EXPECT_FALSE(stamp(ti) == tAntes);
        EXPECT_TRUE(stamp(pessoa) == antes) << "another table's write";
        inserePessoa(100 + i);
        const ContentStamp depois = stamp(pessoa);
        EXPECT_FALSE(depois == antes) << "a write after another table's";
        const ContentStamp tDepois = stamp(ti);
        inserePessoa(200 + i);
        EXPECT_FALSE(stamp(pessoa) == depois) << "a second write in a row";
        EXPECT_TRUE(stamp(ti) == tDepois);
        antes = stamp(pessoa);
    }
}

// Key stamps of two tables asked in turn, with names of the same text in storage of their
// own or shared: each answers for its own table's rows of that key.
TEST_F(SuccessiveInserts, KeyStampsAskedInTurnAnswerForTheirOwnTable)
{
    fillPeople();
    const QString contaTabela = QStringLiteral("Conta");
    const QString contaColuna = QStringLiteral("Pessoa_Id");
    auto contaDe1 = [&](bool sameStorage) {
        return sameStorage ? conn().keyStamps({contaTabela}, contaColuna, 1).front()
                           : conn().keyStamps({QString::fromLatin1("conta")}, QString::fromLatin1("pessoa_id"), 1).front();
    };
    auto pessoa1 = [&] { return conn().keyStamps({QStringLiteral("Pessoa")}, QStringLiteral("Id"), 1).front(); };
    // The first question of a watch leaves every stamp behind: both are asked once first.
    contaDe1(true);
    pessoa1();
    for (bool sameStorage : {true, false}) {
        SCOPED_TRACE(sameStorage ? "names in the same storage" : "names made again");
        const ContentStamp c0 = contaDe1(sameStorage);
        const ContentStamp p0 = pessoa1();
        EXPECT_TRUE(contaDe1(!sameStorage) == c0) << "the same names in other storage: the same watch";
        db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values (1, ?1)"), {sameStorage ? 1 : 2});
        const ContentStamp c1 = contaDe1(sameStorage);
        EXPECT_FALSE(c1 == c0);
        EXPECT_TRUE(pessoa1() == p0) << "a write to the other table";
        db->execute(QStringLiteral("update Pessoa set Idade = Idade + 1 where Id = 1"));
        EXPECT_FALSE(pessoa1() == p0);
        EXPECT_TRUE(contaDe1(sameStorage) == c1);
        db->execute(QStringLiteral("insert into Conta (Pessoa_Id, Numero) values (2, ?1)"), {sameStorage ? 1 : 2});
        EXPECT_TRUE(contaDe1(sameStorage) == c1) << "a row of another key";
    }
}

// A detail's new records take the key of the master shown now: after the master moves,
// after its source shows another dataset and after the master opens on other columns.
TEST_F(SuccessiveInserts, NewDetailRecordsTakeTheKeyOfTheMasterShownNow)
{
    fillPeople();
    db->execute(QStringLiteral("create table Outra (Nome varchar(10), Id varchar(10))"));
    db->execute(QStringLiteral("insert into Outra (Nome, Id) values ('z', '9')"));
    auto pessoas = table(QStringLiteral("Pessoa"));
    pessoas->open();
    auto outras = table(QStringLiteral("Pessoa"));
    outras->open();
    DataSource fonte;
    fonte.setDataSet(pessoas.get());
    auto contas = contasDe(fonte);
    Field* pessoa = contas->fieldByName(QStringLiteral("Pessoa_Id"));
    auto novo = [&] {
        contas->append();
        const qint64 id = pessoa->asInteger();
        contas->cancel();
        return id;
    };
    struct Passo {
        const char* nome;
        std::function<void()> faz;
        qint64 chave;
    };
    const Passo passos[] = {
        {"the first person", [] {}, 1},
        {"the master moved", [&] { pessoas->locate(QStringLiteral("Id"), 4); }, 4},
        {"the source shows another dataset",
         [&] {
             outras->locate(QStringLiteral("Id"), 5);
             fonte.setDataSet(outras.get());
         },
         5},
        {"the master opened on other columns",
         [&] {
             outras->close();
             outras->setTableName(QStringLiteral("Outra"));
             outras->open();
         },
         9},
    };
    for (const Passo& p : passos) {
        SCOPED_TRACE(p.nome);
        p.faz();
        EXPECT_EQ(novo(), p.chave);
        EXPECT_EQ(novo(), p.chave);
    }
}
