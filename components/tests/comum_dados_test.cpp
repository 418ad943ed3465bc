#include "ComponentsTestDb.h"
#include "Input1.h"
#include "fInput.h"
#include "comum.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Query.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/DbGrid.h"
#include "platform/os/Registry.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QApplication>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorta::testing;

namespace {

QByteArray written(const std::function<void(QIODevice&)>& write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return buffer.data();
}

TEST(XlsWriterTest, RecordsByteForByte)
{
    struct Case { const char* what; std::function<void(QIODevice&)> write; QByteArray bytes; };
    const Case cases[] = {
        {"BOF", [](QIODevice& s) { XlsBeginStream(s, 0x1234); },
         QByteArray("\x09\x08\x08\x00\x00\x00\x10\x00\x34\x12\x00\x00", 12)},
        {"EOF", [](QIODevice& s) { XlsEndStream(s); }, QByteArray("\x0A\x00\x00\x00", 4)},
        {"LABEL", [](QIODevice& s) { XlsWriteCellLabel(s, 2, 1, QStringLiteral("Sé")); },
         QByteArray("\x04\x02\x0A\x00\x01\x00\x02\x00\x00\x00\x02\x00S\xE9", 14)},
        {"NUMBER", [](QIODevice& s) { XlsWriteCellNumber(s, 1, 3, 1.5); },
         QByteArray("\x03\x02\x0E\x00\x03\x00\x01\x00\x00\x00" "\x00\x00\x00\x00\x00\x00\xF8\x3F", 18)},
        {"RK 5", [](QIODevice& s) { XlsWriteCellRk(s, 0, 0, 5); },
         QByteArray("\x7E\x02\x0A\x00\x00\x00\x00\x00\x00\x00\x16\x00\x00\x00", 14)},
        {"RK -1", [](QIODevice& s) { XlsWriteCellRk(s, 0, 0, -1); },
         QByteArray("\x7E\x02\x0A\x00\x00\x00\x00\x00\x00\x00\xFE\xFF\xFF\xFF", 14)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(written(c.write).toHex(' '), c.bytes.toHex(' ')) << c.what;

    const QByteArray smallest = written([](QIODevice& s) {
        XlsBeginStream(s, 0);
        XlsWriteCellLabel(s, 0, 0, "A");
        XlsEndStream(s);
    });
    EXPECT_EQ(smallest.size(), 29);
}

TEST(XlsWriterTest, RefusesTooLongALabelAndAClosedStream)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_NO_THROW(XlsWriteCellLabel(buffer, 0, 0, QString(65527, 'x')));
    EXPECT_THROW(XlsWriteCellLabel(buffer, 0, 0, QString(65528, 'x')), vorta::ERangeError);
    QBuffer closed;
    EXPECT_THROW(XlsEndStream(closed), vorta::EInOutError);
}

TEST(XlsWriterTest, ASpreadsheetProgramReadsTheCellsBack)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    QTemporaryDir dir;
    QFile file(dir.path() + "/planilha.xls");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    XlsBeginStream(file, 0);
    XlsWriteCellLabel(file, 0, 0, QStringLiteral("Município"));
    XlsWriteCellLabel(file, 1, 0, "Cabeças");
    XlsWriteCellLabel(file, 0, 1, "Palmas");
    XlsWriteCellRk(file, 1, 1, 42);
    XlsWriteCellLabel(file, 0, 2, "Gurupi");
    XlsWriteCellNumber(file, 1, 2, 2.5);
    XlsWriteCellRk(file, 2, 2, -7);
    XlsEndStream(file);
    file.close();

    QProcess office;
    office.setWorkingDirectory(dir.path());
    office.start(soffice, {"-env:UserInstallation=file://" + dir.path() + "/profile", "--headless",
                           "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir", dir.path(),
                           file.fileName()});
    ASSERT_TRUE(office.waitForFinished(180000)) << "soffice did not finish";
    QFile csv(dir.path() + "/planilha.csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << office.readAllStandardError().constData();
    const QString text = QString::fromUtf8(csv.readAll()).replace("\r\n", "\n");
    EXPECT_EQ(text, QStringLiteral("Município,Cabeças,\nPalmas,42,\nGurupi,2.5,-7\n"));
}

class RecordLogTest : public brano70::testsupport::PeopleForm {
protected:
    void TearDown() override
    {
        SetRecordLogFolder(QString());
        vorta::setClock({});
        PeopleForm::TearDown();
    }
};

TEST_F(RecordLogTest, EachUpdateAppendsOneRecordByteForByte)
{
    TempInstallation inst;
    vorta::setClock([] { return QDateTime(QDate(2004, 3, 9), QTime(8, 5, 7, 42)); });
    auto* q = new vorta::db::Query(form);
    q->setName("QPessoa");
    q->setDatabaseName("DB_Brano");
    q->setSql("SELECT Id, Nome FROM Pessoa WHERE Id = 2");
    q->open();
    TUpdateAction action = uaApplied;
    LogRecord(q, ukDelete, action);
    q->close();
    q->setSql("SELECT Nome, Cidade FROM Pessoa WHERE Id = 4");
    q->open();
    LogRecord(q, ukModify, action);
    LogRecord(q, ukInsert, action);
    LogRecord(q, 7, action);
    EXPECT_EQ(action, uaApplied);

    // By default beside the data folder: the installation's "log" folder.
    QFile log(inst.path() + "log/QPessoa.mlog");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QByteArray("09/03/04 08:05:07:042 D 2\x0E" "Carla\x0E"
                                        "09/03/04 08:05:07:042 M Davi\x0E" "Araguaina\x0E"
                                        "09/03/04 08:05:07:042 I Davi\x0E" "Araguaina\x0E"
                                        "09/03/04 08:05:07:042 U Davi\x0E" "Araguaina\x0E"));
}

TEST_F(RecordLogTest, TheFolderCanBeConfigured)
{
    TempInstallation inst;
    QTemporaryDir other;
    {
        vorta::os::Registry reg;
        reg.openKey("\\Software\\Kalvi\\Vorta\\", true);
        reg.writeString("LogPath", other.path() + "/registos");
    }
    EXPECT_EQ(RecordLogFolder(), other.path() + "/registos/");
    pessoa->open();
    TUpdateAction action = uaFail;
    LogRecord(pessoa, ukInsert, action);
    EXPECT_TRUE(QFile::exists(other.path() + "/registos/TbPessoa.mlog"));

    SetRecordLogFolder(other.path() + "/dito");
    EXPECT_EQ(RecordLogFolder(), other.path() + "/dito/");
    SetRecordLogFolder(QString());
    QFile blocker(other.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    SetRecordLogFolder(blocker.fileName()); // a file where the folder should be
    EXPECT_THROW(LogRecord(pessoa, ukInsert, action), vorta::EInOutError);
}

using DataSetHelpersTest = brano70::testsupport::PeopleForm;

TEST_F(DataSetHelpersTest, RecordNumbersOpeningAndRefreshing)
{
    EXPECT_THROW(GetRecordNumber(pessoa), vorta::db::EDatabaseError);
    ActivateDataSet(pessoa);
    EXPECT_TRUE(pessoa->active());
    EXPECT_EQ(GetRecordNumber(pessoa), 1);
    pessoa->next();
    pessoa->next();
    EXPECT_EQ(GetRecordNumber(pessoa), 3);
    ActivateDataSet(pessoa); // already open: stays where it is
    EXPECT_EQ(GetRecordNumber(pessoa), 3);
    database->execute("DELETE FROM Pessoa");
    RefreshDataSet(pessoa);
    EXPECT_EQ(GetRecordNumber(pessoa), 0);
}

TEST_F(DataSetHelpersTest, CopyOneRecordAndCompareRecord)
{
    auto* source = new vorta::db::Query(form);
    source->setDatabaseName("DB_Brano");
    source->setSql("SELECT 9 AS Id, Nome, Cidade, 'extra' AS Outra FROM Pessoa WHERE Id = 3");
    EXPECT_TRUE(CopyOneRecord(source, pessoa));
    ASSERT_TRUE(pessoa->locate("Id", 9));
    EXPECT_EQ(pessoa->fieldByName("Nome")->asString(), "Caio");
    EXPECT_EQ(pessoa->fieldByName("Cidade")->asString(), "Palmas");
    EXPECT_TRUE(pessoa->fieldByName("Ativo")->isNull());

    auto* copy = new vorta::db::Query(form);
    copy->setDatabaseName("DB_Brano");
    copy->setSql("SELECT Nome, Cidade FROM Pessoa WHERE Id = 9");
    EXPECT_TRUE(CompareRecord(source, copy));
    auto* other = new vorta::db::Query(form);
    other->setDatabaseName("DB_Brano");
    other->setSql("SELECT Nome, Ativo AS Cidade FROM Pessoa WHERE Id = 3");
    try {
        CompareRecord(source, other);
        ADD_FAILURE() << "no difference found";
    } catch (const vorta::Exception& e) {
        EXPECT_EQ(e.message(), "Campos diferentes");
    }
    auto* unknown = new vorta::db::Query(form);
    unknown->setDatabaseName("DB_Brano");
    unknown->setSql("SELECT Ativo FROM Pessoa WHERE Id = 3");
    EXPECT_THROW(CompareRecord(source, unknown), vorta::db::EDatabaseError);
}

// The user of Input1: types the text and presses Enter, or Escape without text.
class InputUser {
public:
    explicit InputUser(QStringList answers)
    {
        vorta::ui::setModalHook([this, answers](vorta::ui::Form& shown) mutable {
            labels << static_cast<TInput1&>(shown).Label1->caption();
            user::activate(&shown);
            const QString answer = answers.takeFirst();
            if (answer.isNull()) {
                user::escape();
            } else {
                user::key(Qt::Key_A, Qt::ControlModifier);
                user::key(Qt::Key_Delete);
                user::type(answer);
                user::enter();
            }
            return int(vorta::ui::mrNone);
        });
    }
    ~InputUser() { vorta::ui::setModalHook(nullptr); }
    QStringList labels;
};

TEST_F(DataSetHelpersTest, DFilterKeepsOneLinePerFieldAndCancelClearsThem)
{
    pessoa->open();
    pessoa->setFiltered(true);
    vorta::db::Field* cidade = pessoa->fieldByName("Cidade");
    vorta::db::Field* nome = pessoa->fieldByName("Nome");
    cidade->setDisplayLabel("Cidade do cliente");
    QStringList lines;
    InputUser input({"Gurupi", "Ana", "Palmas", "D'Avila", QString()});

    EXPECT_TRUE(DFilter(pessoa, lines, cidade));
    EXPECT_EQ(lines, QStringList({"Cidade = 'Gurupi'"}));
    EXPECT_EQ(pessoa->filter(), " Cidade = 'Gurupi'");
    EXPECT_EQ(pessoa->recordCount(), 2);

    DFilter(pessoa, lines, nome);
    EXPECT_EQ(lines, QStringList({"Cidade = 'Gurupi'", " and Nome = 'Ana'"}));
    EXPECT_EQ(pessoa->filter(), " Cidade = 'Gurupi'  and Nome = 'Ana'");
    EXPECT_EQ(pessoa->recordCount(), 1);

    DFilter(pessoa, lines, cidade); // the first field again: its line is replaced
    EXPECT_EQ(lines, QStringList({"Cidade = 'Palmas'", " and Nome = 'Ana'"}));
    EXPECT_EQ(pessoa->recordCount(), 0);

    DFilter(pessoa, lines, nome); // a typed quote stays inside the literal
    EXPECT_EQ(lines.at(1), " and Nome = 'D''Avila'");
    EXPECT_EQ(pessoa->recordCount(), 0);

    DFilter(pessoa, lines, nome); // cancelled
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(cidade->tag, 0);
    EXPECT_EQ(nome->tag, 0);
    EXPECT_EQ(pessoa->filter(), "");
    EXPECT_EQ(pessoa->recordCount(), 5);
    EXPECT_EQ(input.labels.first(), "Cidade do cliente");

    EXPECT_TRUE(DFilter(pessoa, lines, pessoa->fieldByName("Id"))); // numbers: nothing asked
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(DataSetHelpersTest, GetMaskFieldValueAnswersOnlyForASenderOfTheActiveControlsKind)
{
    pessoa->open();
    auto* dbEdit = new vorta::ui::DBEdit(form, "EdNome");
    dbEdit->setDataSource(source);
    dbEdit->setDataField("Nome");
    auto* mask = new vorta::ui::Edit(form, "MeData");
    mask->setEditMask("99/99/9999;1;_");
    dbEdit->setGeometry(5, 5, 120, 22);
    mask->setGeometry(5, 40, 120, 22);
    form->show();
    user::activate(form);
    user::click(mask);
    user::key(Qt::Key_Home);
    user::type("31122026");
    const auto activate = [&](QWidget* w) { form->setActiveControl(w); };

    activate(dbEdit);
    EXPECT_EQ(GetMaskFieldValue(dbEdit), "Bento");
    EXPECT_EQ(GetMaskFieldValue(mask), ""); // not a data-aware edit: no field to read
    activate(mask);
    EXPECT_EQ(GetMaskFieldValue(mask), "31/12/2026");
    EXPECT_EQ(GetMaskFieldValue(dbEdit), ""); // the data-aware edit is not a mask edit
    EXPECT_EQ(GetMaskFieldValue(nullptr), "");
}

} // namespace

// A grid over a dataset of the people's folder, with one column per field named.
vorta::ui::DBGrid* gridOver(vorta::ui::Form* form, vorta::db::DataSet* ds, const QStringList& fields)
{
    auto* source = new vorta::db::DataSource(form);
    source->setDataSet(ds);
    auto* grid = new vorta::ui::DBGrid(form, QStringLiteral("Grid"));
    for (const QString& f : fields)
        grid->addColumn(f);
    grid->setDataSource(source);
    return grid;
}

TEST_F(DataSetHelpersTest, TitleLocateOnAQuerySetsOnlyTheOrderByPartAndLocatesTheTypedText)
{
    struct Case {
        const char* what;
        QStringList sql;
        QStringList sorted; // the lines after the click on "Cidade"
    } cases[] = {
        {"no order yet", {"SELECT * FROM Pessoa", "WHERE Id > 0"},
         {"SELECT * FROM Pessoa", "WHERE Id > 0", "ORDER BY Cidade"}},
        {"another order on a line of its own", {"SELECT * FROM Pessoa", "ORDER BY Nome"},
         {"SELECT * FROM Pessoa", "ORDER BY Cidade"}},
        {"the order at the end of the select line, in lower case", {"SELECT * FROM Pessoa order by Id"},
         {"SELECT * FROM Pessoa ORDER BY Cidade"}},
        {"already by that column", {"SELECT * FROM Pessoa", "ORDER BY Cidade"},
         {"SELECT * FROM Pessoa", "ORDER BY Cidade"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        auto* q = new vorta::db::Query(form);
        q->setDatabaseName("DB_Brano");
        q->setSqlLines(c.sql);
        q->open();
        q->setFiltered(true);
        vorta::ui::DBGrid* grid = gridOver(form, q, {"Nome", "Cidade"});
        InputUser input({"gur"});
        DbGridTitleLocate(TColumnRef{grid, 1}, true);
        EXPECT_EQ(q->sqlLines(), c.sorted);
        EXPECT_TRUE(q->active());
        EXPECT_EQ(q->filter(), "Cidade= 'gur*'");
        EXPECT_EQ(q->recordCount(), 0) << "the filter compares case by case";
        EXPECT_EQ(grid->titleColor(1), QApplication::palette().color(QPalette::Dark));
        EXPECT_EQ(grid->titleColor(0), QApplication::palette().color(QPalette::Button));
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
        vorta::Component::free(grid);
    }
}

TEST_F(DataSetHelpersTest, TitleLocateFiltersByTheFieldsTypeWithQuotesDoubled)
{
    pessoa->open();
    pessoa->setFiltered(true);
    vorta::ui::DBGrid* grid = gridOver(form, pessoa, {"Id", "Nome", "Cidade"});
    {
        InputUser input({"Gu"});
        DbGridTitleLocate(TColumnRef{grid, 2}, true);
        EXPECT_EQ(pessoa->filter(), "Cidade= 'Gu*'");
        EXPECT_EQ(pessoa->recordCount(), 2);
        EXPECT_EQ(pessoa->fieldByName("Cidade")->asString(), "Gurupi");
        EXPECT_EQ(input.labels, QStringList({"Cidade"}));
    }
    {
        InputUser input({"D'Av"});
        DbGridTitleLocate(TColumnRef{grid, 1}, false);
        EXPECT_EQ(pessoa->filter(), "Nome= 'D''Av*'");
        EXPECT_EQ(pessoa->recordCount(), 0);
    }
    {
        InputUser input({"4"});
        DbGridTitleLocate(TColumnRef{grid, 0}, false);
        EXPECT_EQ(pessoa->filter(), "Id= 4");
        EXPECT_EQ(pessoa->fieldByName("Nome")->asString(), "Davi");
    }
    {
        // Not a number: the bad filter is swallowed, the cursor is the default again.
        InputUser input({"x"});
        DbGridTitleLocate(TColumnRef{grid, 0}, false);
        EXPECT_EQ(QApplication::overrideCursor(), nullptr);
    }
    {
        InputUser input({QString()}); // cancelled: the filter stays
        pessoa->setFilter("Id= 4");
        DbGridTitleLocate(TColumnRef{grid, 1}, false);
        EXPECT_EQ(pessoa->filter(), "Id= 4");
    }
}

TEST_F(DataSetHelpersTest, TitleLocateOnATableTakesTheLastIndexNamingTheField)
{
    pessoa->open();
    vorta::ui::DBGrid* grid = gridOver(form, pessoa, {"Id", "Nome"});
    InputUser input({"Ca", "3"});
    DbGridTitleLocate(TColumnRef{grid, 1}, true);
    EXPECT_EQ(pessoa->indexName(), "Id_Nome");
    pessoa->first();
    EXPECT_EQ(pessoa->fieldByName("Nome")->asString(), "Ana");
    DbGridTitleLocate(TColumnRef{grid, 0}, true);
    EXPECT_EQ(pessoa->indexName(), "") << "the primary index";
    pessoa->first();
    EXPECT_EQ(pessoa->fieldByName("Nome")->asString(), "Bento");
}

TEST_F(DataSetHelpersTest, TitleLocateOnALookupFieldLocatesByItsKey)
{
    database->execute("CREATE TABLE Cidade (Cid_Codigo VARCHAR(20), Cid_Nome VARCHAR(30))");
    database->execute("INSERT INTO Cidade VALUES ('Gurupi', 'GURUPI DO SUL'), ('Palmas', 'PALMAS CAPITAL')");
    auto* cidades = new vorta::db::Table(form);
    cidades->setDatabaseName("DB_Brano");
    cidades->setTableName("Cidade");
    cidades->open();
    auto* q = new vorta::db::Query(form);
    q->setDatabaseName("DB_Brano");
    q->setSql("SELECT Id, Nome, Cidade FROM Pessoa ORDER BY Id");
    q->addField("Id", vorta::db::FieldType::Integer);
    q->addField("Nome", vorta::db::FieldType::String, 20);
    q->addField("Cidade", vorta::db::FieldType::String, 20);
    q->addLookupField("NomeCidade", vorta::db::FieldType::String, 30, "Cidade", cidades, "Cid_Codigo", "Cid_Nome");
    q->open();
    q->setFiltered(true);
    vorta::ui::DBGrid* grid = gridOver(form, q, {"Nome", "NomeCidade"});
    InputUser input({"palmas c", "nada"});
    DbGridTitleLocate(TColumnRef{grid, 1}, true);
    EXPECT_EQ(q->sqlLines(), QStringList({"SELECT Id, Nome, Cidade FROM Pessoa ORDER BY Id"})) << "lookups do not sort";
    EXPECT_EQ(q->filter(), "Cidade= 'Palmas*'");
    EXPECT_EQ(q->fieldByName("Nome")->asString(), "Bento");
    // Nothing of that name: nothing is filtered or located.
    DbGridTitleLocate(TColumnRef{grid, 1}, true);
    EXPECT_EQ(q->filter(), "Cidade= 'Palmas*'");
}

TEST_F(DataSetHelpersTest, CreateTablesMakesTheMissingOnesAndCreateIndexesTheirPrimaryIndex)
{
    auto* module = new vorta::Component(form);
    auto* nova = new vorta::db::Table(module);
    nova->setDatabaseName("DB_Brano");
    nova->setTableName("Nota");
    nova->addField("Not_Numero", vorta::db::FieldType::Integer)->setRequired(true);
    nova->addField("Not_Emitente", vorta::db::FieldType::String, 14);
    nova->addField("Not_Valor", vorta::db::FieldType::Currency);
    nova->addField("Not_Data", vorta::db::FieldType::Date);
    nova->addField("Calc", vorta::db::FieldType::String, 5, vorta::db::FieldKind::Calculated);
    auto* existente = new vorta::db::Table(module);
    existente->setDatabaseName("DB_Brano");
    existente->setTableName("Pessoa");
    existente->open();

    CreateTables(module);
    EXPECT_FALSE(existente->active());
    EXPECT_FALSE(nova->active());
    ASSERT_TRUE(nova->exists());
    const vorta::db::TableInfo& info = database->connection()->tableInfo("Nota");
    QStringList columns;
    for (const auto& c : info.columns)
        columns << c.name + " " + c.declaredType + (c.notNull ? " NOT NULL" : "");
    EXPECT_EQ(columns, QStringList({"Not_Numero INTEGER NOT NULL", "Not_Emitente VARCHAR(14)", "Not_Valor MONEY",
                                    "Not_Data DATE"}));
    CreateTables(module); // nothing missing now
    pessoa->open();
    EXPECT_EQ(pessoa->recordCount(), 5) << "an existing table keeps its rows";
    pessoa->close();

    CreateIndexes(module);
    EXPECT_EQ(nova->primaryIndexFields(), QStringList({"Not_Numero"}));
    EXPECT_EQ(existente->primaryIndexFields(), QStringList({"Id"})) << "already its primary index";
    nova->open();
    nova->insert();
    nova->fieldByName("Not_Numero")->setAsInteger(7);
    nova->post();
    nova->insert();
    nova->fieldByName("Not_Numero")->setAsInteger(7);
    EXPECT_THROW(nova->post(), vorta::db::EDatabaseError) << "the primary index keeps the numbers unique";
    nova->cancel();
    CreateIndexes(module); // again: nothing to add
    EXPECT_EQ(nova->primaryIndexFields(), QStringList({"Not_Numero"}));

    auto* semCampos = new vorta::db::Table(module);
    semCampos->setDatabaseName("DB_Brano");
    semCampos->setTableName("Vazia");
    EXPECT_THROW(CreateTables(module), vorta::db::EDatabaseError);
}
