#include "T_DM_Comuns.h"
#include "platform/ipc/ExceptionReporter.h"

#include "uDmVortaModule.h"

#include "installation/InstallParametros.h"

#include "platform/ui/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/ui/DbControls.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QWidget>

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using vorta::db::DataSet;
using vorta::db::DataSetState;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

const char* const kTaxpayer = "281234566"; // a state registration with a valid check digit
const char* const kOther = "286000008";

// An installed data folder with the messages the module shows, and a module made
// the way ZIR makes it (kept, owned by the application).
class DmComuns : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_inst.installDatabase();
        vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), QStringLiteral(
            "DELETE FROM mensagem WHERE Men_Codigo IN (21, 33, 52, 84, 9001);"
            "INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES"
            " (21, 'Contabilista em uso'), (33, 'Erro ao gravar'), (52, 'Contribuinte em uso'),"
            " (84, 'Municipio em uso'), (9001, 'Campo recusado')"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
        dm = DM_Comuns;
    }
    void TearDown() override
    {
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
    }

    void sql(const QString& text, const QVariantList& params = {}) { dm->DB_Comuns->execute(text, params); }
    QString scalar(const QString& text, const QVariantList& params = {})
    {
        vorta::db::Query q;
        q.setDatabase(dm->DB_Comuns);
        q.setSql(text);
        for (int i = 0; i < params.size(); ++i)
            q.params(i)->setValue(params[i]);
        q.open();
        return q.isEmpty() ? QStringLiteral("<none>") : q.fields(0)->asString();
    }
    int count(const QString& table) { return scalar(QStringLiteral("select count(*) from ") + table).toInt(); }
    void addTaxpayer(const QString& ie, const QString& tipo = QStringLiteral("IE"), int munEndereco = 0,
                     int munPropriedade = 0, const QString& respCpf = QString())
    {
        sql(QStringLiteral("INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_Tipo, Mun_Endereco, "
                           "Mun_Propriedade, Resp_CPF) VALUES (?1, ?2, ?3, ?4, ?5, ?6)"),
            {ie, QStringLiteral("CONTRIBUINTE ") + ie, tipo, munEndereco ? QVariant(munEndereco) : QVariant(),
             munPropriedade ? QVariant(munPropriedade) : QVariant(), respCpf});
    }
    // Opens ds on the row whose field holds value.
    void openOn(DataSet* ds, const QString& field, const QVariant& value)
    {
        ds->open();
        ASSERT_TRUE(ds->locate(field, value)) << value.toString().toStdString();
    }

    vorta::testing::TempInstallation m_inst;
    TDM_Comuns* dm = nullptr;

private:
    QString m_savedDirDados;
};

// ---- Lifetime ------------------------------------------------------------------------

TEST_F(DmComuns, CreationConnectsToTheDataFolderWithEveryDatasetClosed)
{
    EXPECT_TRUE(dm->DB_Comuns->connected());
    EXPECT_EQ(DirDados, m_inst.folder(QStringLiteral("dados")));
    EXPECT_EQ(dm->DB_Comuns->directory(), DirDados);
    EXPECT_FALSE(dm->DB_Backup->connected());
    for (vorta::Component* c : dm->components()) {
        if (auto* ds = dynamic_cast<DataSet*>(c)) {
            EXPECT_FALSE(ds->active()) << ds->name().toStdString();
        }
    }
    // Every table of the module opens on the installed tables (the KOB ones are another
    // module's and are not installed here).
    for (vorta::Component* c : dm->components())
        if (auto* t = dynamic_cast<vorta::db::Table*>(c); t && t->tableName() != QLatin1String("KOB")) {
            EXPECT_NO_THROW(t->open()) << t->name().toStdString();
            t->close();
        }
    // So do the queries with a statement of their own.
    for (vorta::db::Query* q : {dm->Q_Contribuinte, dm->Q_Parametros}) {
        EXPECT_NO_THROW(q->open()) << q->name().toStdString();
        q->close();
    }
}

TEST_F(DmComuns, EachCommandThroughTheFormOwnerGetsAFreshModuleThatGoesWithIt)
{
    vorta::Component::free(DM_Comuns);
    ASSERT_FALSE(DM_Comuns);
    for (int command = 0; command < 2; ++command) {
        SCOPED_TRACE(command);
        auto owner = TFormAutoDestroyer::Create();
        TDM_Comuns* module = owner->CreateForm(DM_Comuns, vorta::Application::instance());
        ASSERT_EQ(module, DM_Comuns.get());
        EXPECT_TRUE(module->DB_Comuns->connected());
        EXPECT_TRUE(module->InscricaoPadrao.isEmpty());
        EXPECT_FALSE(module->TipoAlterado);
        module->InscricaoPadrao = QStringLiteral("281234566");
        module->TipoAlterado = true;
        owner.reset();
        EXPECT_FALSE(DM_Comuns);
    }
    vorta::ui::createForm(DM_Comuns);
    dm = DM_Comuns;
}

// ---- New rows ------------------------------------------------------------------------

TEST_F(DmComuns, NewTaxpayerAndSenderRowsStartWithThePresetRegistration)
{
    for (vorta::db::Table* t : {dm->Tb_Contribuinte, dm->Tb_RemDest}) {
        SCOPED_TRACE(t->name().toStdString());
        t->open();
        CancelaContrib = QStringLiteral("anterior");
        dm->InscricaoPadrao = QString::fromLatin1(kTaxpayer);
        t->append();
        EXPECT_EQ(t->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString(), kTaxpayer);
        EXPECT_TRUE(CancelaContrib.isEmpty());
        if (t == dm->Tb_Contribuinte) {
            EXPECT_EQ(t->fieldByName(QStringLiteral("Con_TipoCPFCNPJ"))->asString(), "CPF");
            EXPECT_FALSE(t->fieldByName(QStringLiteral("CTs_RevendaEmissora"))->isNull());
            EXPECT_FALSE(t->fieldByName(QStringLiteral("CTs_RevendaEmissora"))->asBoolean());
        }
        // A cancelled insert keeps the preset; a post clears it.
        t->cancel();
        EXPECT_EQ(dm->InscricaoPadrao, kTaxpayer);
        t->append();
        t->fieldByName(QStringLiteral("Con_Nome"))->setAsString(QStringLiteral("FULANO"));
        t->fieldByName(QStringLiteral("Con_Tipo"))->setAsString(QStringLiteral("IE"));
        t->fieldByName(QStringLiteral("Con_UF"))->setAsString(QStringLiteral("QX"));
        t->fieldByName(QStringLiteral("Mun_Endereco"))->setAsInteger(1001);
        t->post();
        EXPECT_TRUE(dm->InscricaoPadrao.isEmpty());
        EXPECT_EQ(scalar(QStringLiteral("select Con_Nome from Contribuinte where Con_IECNPJCPF = :ie"),
                         {QString::fromLatin1(kTaxpayer)}),
                  "FULANO");
        sql(QStringLiteral("DELETE FROM Contribuinte"));
        t->close();
    }
}

TEST_F(DmComuns, NewMunicipalityCodesFollowTheLargestFromTheFirstUserCode)
{
    struct Case {
        const char* what;
        int largest; // 0: empty table
        int expected;
    };
    const Case cases[] = {
        {"empty table", 0, 999002},
        {"official codes only", 1005, 999002},
        {"just below the user codes", 999000, 999002},
        {"the last official code", 999001, 999002},
        {"user codes", 999002, 999003},
        {"further user codes", 999417, 999418},
    };
    for (vorta::db::Table* t : {dm->Tb_Municipio, dm->Tb_MunicipioPro}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(t->name().toStdString() + ": " + c.what);
            sql(QStringLiteral("DELETE FROM Municipio"));
            if (c.largest)
                sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES "
                                   "(1, 'A', 'QX'), (?1, 'B', 'QX')"),
                    {c.largest});
            t->open();
            t->append();
            EXPECT_EQ(t->fieldByName(QStringLiteral("Mun_Codigo"))->asInteger(), c.expected);
            t->cancel();
            t->close();
            EXPECT_FALSE(dm->Q_Geral->active());
        }
    }
}

TEST_F(DmComuns, NewMunicipalityDisablesTheCodeEditOfAnOpenMunicipalityForm)
{
    QWidget form;
    auto* codigo = new QLineEdit(&form);
    codigo->setObjectName(QStringLiteral("DBEdit_Mun_Codigo"));
    dm->Tb_Municipio->open();
    dm->Tb_Municipio->append(); // no form yet: nothing to disable
    dm->Tb_Municipio->cancel();
    EXPECT_TRUE(codigo->isEnabled());
    dm->FormMunicipio = &form;
    dm->Tb_Municipio->append();
    EXPECT_FALSE(codigo->isEnabled());
    dm->Tb_Municipio->cancel();
}

TEST_F(DmComuns, ForeignMunicipalityHidesTheCepRangeOfAnOpenMunicipalityForm)
{
    const char* const names[] = {"Label5", "DBEdit_Mun_CEPInicial", "Label6", "DBEdit_Mun_CEPFinal"};
    auto form = std::make_unique<QWidget>();
    QList<QWidget*> range;
    for (const char* n : names) {
        auto* w = n[0] == 'L' ? static_cast<QWidget*>(new QLabel(form.get())) : new QLineEdit(form.get());
        w->setObjectName(QString::fromLatin1(n));
        range << w;
    }
    auto shown = [&] {
        int n = 0;
        for (QWidget* w : range)
            n += w->isVisibleTo(form.get()) ? 1 : 0;
        return n;
    };
    for (vorta::db::Table* t : {dm->Tb_Municipio, dm->Tb_MunicipioPro}) {
        SCOPED_TRACE(t->name().toStdString());
        dm->FormMunicipio = form.get();
        t->open();
        t->append();
        t->fieldByName(QStringLiteral("Mun_UF"))->setAsString(QStringLiteral("EX"));
        EXPECT_EQ(shown(), 0);
        t->fieldByName(QStringLiteral("Mun_UF"))->setAsString(QStringLiteral("QX"));
        EXPECT_EQ(shown(), 4);
        t->cancel();
        t->close();
    }
    // Once the form is gone the change touches nothing.
    form.reset();
    EXPECT_FALSE(dm->FormMunicipio);
    dm->Tb_Municipio->open();
    dm->Tb_Municipio->append();
    EXPECT_NO_THROW(dm->Tb_Municipio->fieldByName(QStringLiteral("Mun_UF"))->setAsString(QStringLiteral("EX")));
    dm->Tb_Municipio->cancel();
}

// ---- Filtered tables and lookups -------------------------------------------------------

TEST_F(DmComuns, FilteredTablesShowTheirShareOfTheRows)
{
    sql(QStringLiteral("DELETE FROM NaturezaOperacao"));
    sql(QStringLiteral("INSERT INTO NaturezaOperacao (NatOpe_Codigo, NatOpe_Descricao, NatOpe_Status) VALUES "
                       "(10, 'A10', 'A'), (20, 'I20', 'I'), (49, 'A49', 'A'), (50, 'A50', 'A'), "
                       "(51, 'A51', 'A'), (60, 'I60', 'I'), (70, 'A70', 'A')"));
    sql(QStringLiteral("DELETE FROM Municipio"));
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES "
                       "(1, 'CASA', 'QX'), (2, 'FORA', 'SP'), (3, 'LONGE', 'EX'), (4, 'OUTRA CASA', 'QX')"));
    auto values = [](DataSet* ds, const char* field) {
        QStringList out;
        ds->open();
        for (ds->first(); !ds->eof(); ds->next())
            out << ds->fieldByName(QString::fromLatin1(field))->asString();
        ds->close();
        out.sort();
        return out.join(QLatin1Char(','));
    };
    struct Case {
        DataSet* table;
        const char* field;
        const char* shown;
    };
    const Case cases[] = {
        {dm->Tb_NatOpeTodas, "NatOpe_Codigo", "10,49,50,51,70"},
        {dm->Tb_NatOpeEntrada, "NatOpe_Codigo", "10,49"},
        {dm->Tb_NatOpeSaida, "NatOpe_Codigo", "51,70"}, // 50 is neither an entry nor an exit
        {dm->Tb_MunicipioPro, "Mun_Descricao", "CASA,OUTRA CASA"},
        {dm->Tb_Municipio, "Mun_Descricao", "CASA,FORA,LONGE,OUTRA CASA"},
        {dm->Tb_C_Municipio, "Mun_Descricao", "CASA,FORA,LONGE,OUTRA CASA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table->name().toStdString());
        EXPECT_EQ(values(c.table, c.field), c.shown);
    }
}

TEST_F(DmComuns, PropertyMunicipalityLooksUpHomeStateMunicipalitiesOnly)
{
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES "
                       "(999010, 'CASA', 'QX'), (999011, 'FORA', 'SP')"));
    struct Case {
        int endereco;
        int propriedade;
        const char* munEndereco;
        const char* munPropriedade;
        const char* ufPropriedade;
    };
    const Case cases[] = {
        {999010, 999010, "CASA", "CASA", "QX"},
        {999011, 999011, "FORA", "", ""}, // another state's municipality is no property municipality
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.propriedade);
        sql(QStringLiteral("DELETE FROM Contribuinte"));
        addTaxpayer(QString::fromLatin1(kTaxpayer), QStringLiteral("IE"), c.endereco, c.propriedade);
        for (DataSet* lookup : {static_cast<DataSet*>(dm->Tb_Municipio), static_cast<DataSet*>(dm->Tb_MunicipioPro)})
            lookup->open();
        openOn(dm->Tb_Contribuinte, QStringLiteral("Con_IECNPJCPF"), QString::fromLatin1(kTaxpayer));
        EXPECT_EQ(dm->Tb_Contribuinte->fieldByName(QStringLiteral("Lk_MunEndereco"))->asString(), c.munEndereco);
        EXPECT_EQ(dm->Tb_Contribuinte->fieldByName(QStringLiteral("Lk_MunPropriedade"))->asString(), c.munPropriedade);
        EXPECT_EQ(dm->Tb_Contribuinte->fieldByName(QStringLiteral("LK_UFPropriedade"))->asString(), c.ufPropriedade);
        dm->Tb_Contribuinte->close();
    }
}

// ---- Masks -----------------------------------------------------------------------------

TEST_F(DmComuns, RegistrationsShowTheMaskOfTheirKind)
{
    struct Case {
        const char* registration;
        const char* kind;
        const char* shown;
        const char* mask;
    };
    const Case cases[] = {
        {"281234566", "IE", "28.123.456-6", "99.999.999-9;0; "},
        {"11222333000181", "CNPJ", "11.222.333/0001-81", "99.999.999/9999-99;0; "},
        {"52998224725", "CPF", "529.982.247-25", "999.999.999-99;0; "},
        {"X12", "OI", "X12               ", "aaaaaaaaaaaaaaaaaa;0; "}, // blanks for the empty positions
    };
    for (const Case& c : cases)
        addTaxpayer(QString::fromLatin1(c.registration), QString::fromLatin1(c.kind));
    sql(QStringLiteral("UPDATE Contribuinte SET Con_TipoCPFCNPJ = 'CNPJ' WHERE Con_Tipo = 'IE'"));
    dm->Q_Contribuinte->open();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        for (DataSet* ds : {static_cast<DataSet*>(dm->Tb_Contribuinte), static_cast<DataSet*>(dm->Tb_RemDest),
                            static_cast<DataSet*>(dm->Q_Contribuinte)}) {
            SCOPED_TRACE(ds->name().toStdString());
            ds->open();
            ASSERT_TRUE(ds->locate(QStringLiteral("Con_IECNPJCPF"), QString::fromLatin1(c.registration)));
            EXPECT_EQ(ds->fieldByName(QStringLiteral("Calc_IECNPJCPF"))->asString(), c.shown);
            if (ds != dm->Q_Contribuinte) {
                EXPECT_EQ(ds->fieldByName(QStringLiteral("Con_IECNPJCPF"))->editMask(), c.mask);
            }
        }
        const QString endMask = QString::fromLatin1(c.kind) == QLatin1String("IE")
                                    ? QStringLiteral("99.999.999/9999-99;0; ")
                                    : QStringLiteral("aaaaaaaaaaaaaaaaaa;0; ");
        EXPECT_EQ(dm->Tb_Contribuinte->fieldByName(QStringLiteral("End_CPF"))->editMask(), endMask);
        EXPECT_EQ(dm->Q_Contribuinte->fieldByName(QStringLiteral("End_CPF"))->editMask(), endMask);
    }
}

// ---- Refusals before delete ------------------------------------------------------------

// One reference of another module's table to a taxpayer.
struct Reference {
    const char* what;
    const char* table;
    const char* create;
    const char* reference; // inserts a row naming ?1
};

const Reference kReferences[] = {
    {"invoice recipient", "nota",
     "CREATE TABLE nota (NF_Numero INTEGER, Con_Remetente VARCHAR(18), Con_Destinatario VARCHAR(18), "
     "Con_tipo VARCHAR(4), NF_Digitou VARCHAR(1))",
     "INSERT INTO nota (NF_Numero, Con_Remetente, Con_Destinatario) VALUES (1, '999', ?1)"},
    {"invoice issuer", "nota",
     "CREATE TABLE nota (NF_Numero INTEGER, Con_Remetente VARCHAR(18), Con_Destinatario VARCHAR(18), "
     "Con_tipo VARCHAR(4), NF_Digitou VARCHAR(1))",
     "INSERT INTO nota (NF_Numero, Con_Remetente, Con_Destinatario) VALUES (1, ?1, '999')"},
    {"producer declaration", "KOB", "CREATE TABLE KOB (Con_Produtor VARCHAR(18), KOB_Status VARCHAR(1))",
     "INSERT INTO KOB (Con_Produtor, KOB_Status) VALUES (?1, 'N')"},
    {"TUV declaration", "TUV", "CREATE TABLE TUV (Contrib_InscEstad VARCHAR(18), Tuv_Gerada VARCHAR(1))",
     "INSERT INTO TUV (Contrib_InscEstad, Tuv_Gerada) VALUES (?1, 'N')"},
    {"incentive movement", "qel_movimento",
     "CREATE TABLE qel_movimento (mov_codigo INTEGER PRIMARY KEY, con_iecnpjcpf VARCHAR(18))",
     "INSERT INTO qel_movimento (mov_codigo, con_iecnpjcpf) VALUES (1, ?1)"},
    {"animal-health raiser", "Qrn2", "CREATE TABLE Qrn2 (Con_IEPecuarista VARCHAR(18), Con_IERevenda VARCHAR(18))",
     "INSERT INTO Qrn2 (Con_IEPecuarista, Con_IERevenda) VALUES (?1, '999')"},
    {"animal-health reseller", "Qrn2", "CREATE TABLE Qrn2 (Con_IEPecuarista VARCHAR(18), Con_IERevenda VARCHAR(18))",
     "INSERT INTO Qrn2 (Con_IEPecuarista, Con_IERevenda) VALUES ('999', ?1)"},
    {"reseller", "Qrn1", "CREATE TABLE Qrn1 (Con_IERevenda VARCHAR(18))",
     "INSERT INTO Qrn1 (Con_IERevenda) VALUES (?1)"},
    {"raiser of a carcass map", "qel_mapas",
     "CREATE TABLE qel_mapas (map_codigo INTEGER PRIMARY KEY, con_iecnpjcpf VARCHAR(9), ie_pecuarista VARCHAR(18))",
     "INSERT INTO qel_mapas (map_codigo, con_iecnpjcpf, ie_pecuarista) VALUES (1, '282222222', ?1)"},
};

enum class TableState { Absent, Unreferenced, Referenced };

class TaxpayerDelete : public DmComuns, public ::testing::WithParamInterface<bool> {
protected:
    vorta::db::Table* table() { return GetParam() ? dm->Tb_Contribuinte : dm->Tb_RemDest; }
};

INSTANTIATE_TEST_SUITE_P(Registers, TaxpayerDelete, ::testing::Values(true, false),
                         [](const auto& info) { return info.param ? "Taxpayer" : "SenderRecipient"; });

TEST_P(TaxpayerDelete, RefusedWhileAnotherModuleReferencesTheRow)
{
    for (const Reference& ref : kReferences) {
        for (TableState state : {TableState::Absent, TableState::Unreferenced, TableState::Referenced}) {
            SCOPED_TRACE(std::string(ref.what) + " / " + std::to_string(int(state)));
            // Only this case's table is there, holding a row for someone else.
            for (const char* t : {"nota", "KOB", "TUV", "Qrn1", "Qrn2", "qel_movimento", "qel_mapas"})
                sql(QStringLiteral("DROP TABLE IF EXISTS ") + QString::fromLatin1(t));
            if (state != TableState::Absent) {
                sql(QString::fromLatin1(ref.create));
                sql(QString::fromLatin1(ref.reference), {QStringLiteral("282222222")});
            }
            if (state == TableState::Referenced)
                sql(QString::fromLatin1(ref.reference).replace(QLatin1String("(1,"), QLatin1String("(2,")),
                    {QString::fromLatin1(kTaxpayer)});
            addTaxpayer(QString::fromLatin1(kTaxpayer));
            openOn(table(), QStringLiteral("Con_IECNPJCPF"), QString::fromLatin1(kTaxpayer));
            {
                ScriptedDialogs dialogs;
                if (state == TableState::Referenced) {
                    dialogs.expectMessage(MessageKind::Error, QStringLiteral("52 - Contribuinte em uso"), 1);
                    EXPECT_THROW(table()->deleteRecord(), vorta::EAbort);
                    EXPECT_EQ(table()->state(), DataSetState::Browse);
                    EXPECT_EQ(table()->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString(), kTaxpayer);
                } else {
                    EXPECT_NO_THROW(table()->deleteRecord());
                }
            }
            EXPECT_EQ(count(QStringLiteral("Contribuinte")), state == TableState::Referenced ? 1 : 0);
            EXPECT_FALSE(dm->Q_Geral->active());
            table()->close();
            sql(QStringLiteral("DELETE FROM Contribuinte"));
        }
    }
}

TEST_P(TaxpayerDelete, MovementProbeComparesTheTrimmedRegistration)
{
    sql(QStringLiteral("INSERT INTO qel_movimento (mov_codigo, con_iecnpjcpf) VALUES (1, 'A1')"));
    addTaxpayer(QStringLiteral(" A1 "), QStringLiteral("OI"));
    openOn(table(), QStringLiteral("Con_IECNPJCPF"), QStringLiteral(" A1 "));
    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Error, QStringLiteral("52 - Contribuinte em uso"), 1);
    EXPECT_THROW(table()->deleteRecord(), vorta::EAbort);
    EXPECT_EQ(count(QStringLiteral("Contribuinte")), 1);
}

TEST_F(DmComuns, AccountantNamedByATaxpayerIsNotDeleted)
{
    sql(QStringLiteral("INSERT INTO Responsavel (Resp_CPF, Resp_Nome) VALUES ('52998224725', 'A'), "
                       "('11144477735', 'B')"));
    addTaxpayer(QString::fromLatin1(kTaxpayer), QStringLiteral("IE"), 0, 0, QStringLiteral("52998224725"));
    openOn(dm->Tb_Responsavel, QStringLiteral("Resp_CPF"), QStringLiteral("52998224725"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("21 - Contabilista em uso"), 1);
        EXPECT_THROW(dm->Tb_Responsavel->deleteRecord(), vorta::EAbort);
    }
    EXPECT_FALSE(dm->Q_Geral->active());
    ASSERT_TRUE(dm->Tb_Responsavel->locate(QStringLiteral("Resp_CPF"), QStringLiteral("11144477735")));
    dm->Tb_Responsavel->deleteRecord();
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(Resp_CPF) from Responsavel")), "52998224725");
}

TEST_F(DmComuns, MunicipalityOfAnAddressOrAPropertyIsNotDeleted)
{
    struct Case {
        const char* what;
        int endereco;
        int propriedade;
        int contador; // the accountant's address
        bool refused;
    };
    const Case cases[] = {
        {"mailing address", 1001, 0, 0, true},
        {"property only", 0, 1001, 0, true},
        {"an accountant's address", 1002, 1002, 1001, true},
        {"another municipality", 1002, 1002, 1002, false},
    };
    for (vorta::db::Table* t : {dm->Tb_Municipio, dm->Tb_MunicipioPro}) {
        for (const Case& c : cases) {
            SCOPED_TRACE(t->name().toStdString() + ": " + c.what);
            addTaxpayer(QString::fromLatin1(kTaxpayer), QStringLiteral("IE"), c.endereco, c.propriedade);
            sql(QStringLiteral("DELETE FROM Responsavel"));
            sql(QStringLiteral("INSERT INTO Responsavel (Resp_CPF, Resp_Nome, Mun_Endereco) VALUES ('52998224725', 'A', ?1)"),
                {c.contador ? QVariant(c.contador) : QVariant()});
            openOn(t, QStringLiteral("Mun_Codigo"), 1001);
            {
                ScriptedDialogs dialogs;
                if (c.refused) {
                    dialogs.expectMessage(MessageKind::Error, QStringLiteral("84 - Municipio em uso"), 1);
                    EXPECT_THROW(t->deleteRecord(), vorta::EAbort);
                } else {
                    t->deleteRecord();
                }
            }
            EXPECT_EQ(scalar(QStringLiteral("select count(*) from Municipio where Mun_Codigo = 1001")),
                      c.refused ? "1" : "0");
            t->close();
            sql(QStringLiteral("DELETE FROM Contribuinte"));
            sql(QStringLiteral("INSERT OR IGNORE INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) "
                               "VALUES (1001, 'PORTO DAS ARAUCARIAS', 'QX')"));
        }
    }
}

// ---- After a post ----------------------------------------------------------------------

TEST_F(DmComuns, SavingATaxpayerMarksItsUngeneratedDeclarations)
{
    // Without the other modules' tables the save just happens.
    addTaxpayer(QString::fromLatin1(kTaxpayer));
    openOn(dm->Tb_Contribuinte, QStringLiteral("Con_IECNPJCPF"), QString::fromLatin1(kTaxpayer));
    dm->Tb_Contribuinte->edit();
    EXPECT_NO_THROW(dm->Tb_Contribuinte->post());

    sql(QStringLiteral("CREATE TABLE TUV (Contrib_InscEstad VARCHAR(18), Tuv_Gerada VARCHAR(1), Id INTEGER)"));
    sql(QStringLiteral("CREATE TABLE KOB (Con_Produtor VARCHAR(18), KOB_Status VARCHAR(1), Id INTEGER)"));
    const char* const rows[][2] = {{kTaxpayer, "N"}, {kTaxpayer, "S"}, {kTaxpayer, "?"}, {kOther, "N"}};
    for (int i = 0; i < 4; ++i) {
        sql(QStringLiteral("INSERT INTO TUV VALUES (?1, ?2, ?3)"),
            {QString::fromLatin1(rows[i][0]), QString::fromLatin1(rows[i][1]), i});
        sql(QStringLiteral("INSERT INTO KOB VALUES (?1, ?2, ?3)"),
            {QString::fromLatin1(rows[i][0]), QString::fromLatin1(rows[i][1]), i});
    }
    const QString expected = QStringLiteral("?,S,?,N");
    // An unchanged taxpayer saved again.
    dm->Tb_Contribuinte->edit();
    dm->Tb_Contribuinte->post();
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(Tuv_Gerada) from (select * from TUV order by Id)")), expected);
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(KOB_Status) from (select * from KOB order by Id)")), expected);
    EXPECT_FALSE(dm->Q_Geral->active());

    // A new taxpayer too.
    sql(QStringLiteral("UPDATE TUV SET Tuv_Gerada = 'N' WHERE Id = 3"));
    dm->Tb_Contribuinte->append();
    dm->Tb_Contribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->setAsString(QString::fromLatin1(kOther));
    dm->Tb_Contribuinte->fieldByName(QStringLiteral("Con_Tipo"))->setAsString(QStringLiteral("IE"));
    dm->Tb_Contribuinte->fieldByName(QStringLiteral("Con_Nome"))->setAsString(QStringLiteral("OUTRO"));
    dm->Tb_Contribuinte->post();
    EXPECT_EQ(scalar(QStringLiteral("select group_concat(Tuv_Gerada) from (select * from TUV order by Id)")),
              "?,S,?,?");
}

// A declaration table that is there but lacks the marked column: the error reaches the
// caller, and the taxpayer, already written, stays written.
TEST_F(DmComuns, MarkingATableOfAnotherShapeRaisesAfterTheTaxpayerIsWritten)
{
    const char* const shapes[][2] = {
        {"TUV", "CREATE TABLE TUV (Contrib_InscEstad VARCHAR(18))"},
        {"KOB", "CREATE TABLE KOB (Con_Produtor VARCHAR(18))"},
    };
    for (const auto& [table, create] : shapes) {
        SCOPED_TRACE(table);
        sql(QString::fromLatin1(create));
        dm->InscricaoPadrao = QString::fromLatin1(kTaxpayer);
        dm->Tb_Contribuinte->open();
        dm->Tb_Contribuinte->append();
        dm->Tb_Contribuinte->fieldByName(QStringLiteral("Con_Tipo"))->setAsString(QStringLiteral("IE"));
        dm->Tb_Contribuinte->fieldByName(QStringLiteral("Con_Nome"))->setAsString(QStringLiteral("FULANO"));
        bool raised = false;
        try {
            dm->Tb_Contribuinte->post();
        } catch (const vorta::EAbort&) {
            ADD_FAILURE() << "silent abort instead of the engine's error";
        } catch (const vorta::Exception&) {
            raised = true;
        }
        EXPECT_TRUE(raised);
        EXPECT_EQ(scalar(QStringLiteral("select Con_Nome from Contribuinte where Con_IECNPJCPF = :ie"),
                         {QString::fromLatin1(kTaxpayer)}),
                  "FULANO");
        EXPECT_TRUE(dm->InscricaoPadrao.isEmpty());
        dm->Tb_Contribuinte->close();
        sql(QStringLiteral("DELETE FROM Contribuinte"));
        sql(QStringLiteral("DROP TABLE ") + QString::fromLatin1(table));
    }
}

TEST_F(DmComuns, SavingAnAccountantOrAHomeMunicipalityRefreshesTheirListTables)
{
    dm->Tb_C_Responsavel->open();
    dm->Tb_Responsavel->open();
    dm->Tb_Responsavel->append();
    dm->Tb_Responsavel->fieldByName(QStringLiteral("Resp_CPF"))->setAsString(QStringLiteral("52998224725"));
    dm->Tb_Responsavel->fieldByName(QStringLiteral("Resp_CRC"))->setAsString(QStringLiteral("SP123456O5"));
    dm->Tb_Responsavel->fieldByName(QStringLiteral("Resp_Nome"))->setAsString(QStringLiteral("CONTADOR"));
    dm->Tb_Responsavel->fieldByName(QStringLiteral("Resp_Email"))->setAsString(QStringLiteral("contador@exemplo.com.br"));
    dm->Tb_Responsavel->post();
    EXPECT_TRUE(dm->Tb_C_Responsavel->locate(QStringLiteral("Resp_CPF"), QStringLiteral("52998224725")));

    dm->Tb_C_Municipio->open();
    const int before = dm->Tb_C_Municipio->recordCount();
    dm->Tb_MunicipioPro->open();
    dm->Tb_MunicipioPro->append();
    dm->Tb_MunicipioPro->fieldByName(QStringLiteral("Mun_Descricao"))->setAsString(QStringLiteral("NOVA"));
    dm->Tb_MunicipioPro->fieldByName(QStringLiteral("Mun_UF"))->setAsString(QStringLiteral("QX"));
    dm->Tb_MunicipioPro->fieldByName(QStringLiteral("Mun_CEPInicial"))->setAsString(QStringLiteral("77600000"));
    dm->Tb_MunicipioPro->fieldByName(QStringLiteral("Mun_CEPFinal"))->setAsString(QStringLiteral("77600000"));
    dm->Tb_MunicipioPro->post();
    EXPECT_EQ(dm->Tb_C_Municipio->recordCount(), before + 1);
    EXPECT_TRUE(dm->Tb_C_Municipio->locate(QStringLiteral("Mun_Codigo"), 999002));
}

// ---- Registration kind -----------------------------------------------------------------

class KindChange : public DmComuns {
protected:
    void SetUp() override
    {
        DmComuns::SetUp();
        sql(QStringLiteral("CREATE TABLE nota (NF_Numero INTEGER, Con_Remetente VARCHAR(18), "
                           "Con_Destinatario VARCHAR(18), Con_tipo VARCHAR(4), NF_Digitou VARCHAR(1))"));
        // Typed 'D' the party is the issuer, typed 'R' the recipient.
        const char* const rows[][3] = {
            {"52998224725", "999", "D"}, {"52998224725", "999", "R"}, {"999", "52998224725", "R"},
            {"999", "52998224725", "D"}, {"111", "222", "D"},
        };
        int n = 0;
        for (const auto& r : rows)
            sql(QStringLiteral("INSERT INTO nota VALUES (?1, ?2, ?3, 'CPF', ?4)"),
                {++n, QString::fromLatin1(r[0]), QString::fromLatin1(r[1]), QString::fromLatin1(r[2])});
    }
    QString kinds()
    {
        return scalar(QStringLiteral("select group_concat(Con_tipo) from (select * from nota order by NF_Numero)"));
    }
};

TEST_F(KindChange, SenderWhoseKindChangedInAnEditRetypesItsInvoices)
{
    addTaxpayer(QStringLiteral("52998224725"), QStringLiteral("CPF"), 1001);
    openOn(dm->Tb_RemDest, QStringLiteral("Con_IECNPJCPF"), QStringLiteral("52998224725"));
    dm->Tb_RemDest->edit();
    dm->Tb_RemDest->fieldByName(QStringLiteral("Con_Tipo"))->setAsString(QStringLiteral("OI"));
    EXPECT_TRUE(dm->TipoAlterado);
    dm->Tb_RemDest->post();
    EXPECT_EQ(kinds(), "OI,CPF,OI,CPF,CPF");
    // The flag stays for the next edit, which re-types again.
    EXPECT_TRUE(dm->TipoAlterado);
    sql(QStringLiteral("UPDATE nota SET Con_tipo = 'CPF'"));
    dm->Tb_RemDest->edit();
    dm->Tb_RemDest->fieldByName(QStringLiteral("Con_Nome"))->setAsString(QStringLiteral("OUTRO NOME"));
    dm->Tb_RemDest->post();
    EXPECT_EQ(kinds(), "OI,CPF,OI,CPF,CPF");
}

TEST_F(KindChange, KindSetOnANewRowChangesNothing)
{
    dm->TipoAlterado = true;
    for (vorta::db::Table* t : {dm->Tb_RemDest, dm->Tb_Contribuinte}) {
        t->open();
        t->append();
        t->fieldByName(QStringLiteral("Con_Tipo"))->setAsString(QStringLiteral("CNPJ"));
        EXPECT_FALSE(dm->TipoAlterado) << t->name().toStdString();
        t->cancel();
    }
    addTaxpayer(QStringLiteral("52998224725"), QStringLiteral("CPF"));
    dm->Tb_RemDest->refresh();
    dm->Tb_RemDest->append();
    dm->Tb_RemDest->fieldByName(QStringLiteral("Con_IECNPJCPF"))->setAsString(QStringLiteral("11222333000181"));
    dm->Tb_RemDest->fieldByName(QStringLiteral("Con_Tipo"))->setAsString(QStringLiteral("CNPJ"));
    dm->Tb_RemDest->fieldByName(QStringLiteral("Con_Nome"))->setAsString(QStringLiteral("EMPRESA"));
    dm->Tb_RemDest->fieldByName(QStringLiteral("Mun_Endereco"))->setAsInteger(1001);
    dm->Tb_RemDest->post();
    EXPECT_EQ(kinds(), "CPF,CPF,CPF,CPF,CPF");
}

TEST_F(KindChange, RegistrationsAreValuesNotPartsOfTheStatement)
{
    dm->AtualizarConTipoNotas(QStringLiteral("x' or '1'='1"), QStringLiteral("OI"));
    EXPECT_EQ(kinds(), "CPF,CPF,CPF,CPF,CPF");
    dm->AtualizarConTipoNotas(QStringLiteral("52998224725"), QStringLiteral("O'I"));
    EXPECT_EQ(kinds(), "O'I,CPF,O'I,CPF,CPF");
}

TEST_F(DmComuns, KindOfASenderChangesWithoutTheInvoiceTable)
{
    addTaxpayer(QStringLiteral("52998224725"), QStringLiteral("CPF"), 1001);
    openOn(dm->Tb_RemDest, QStringLiteral("Con_IECNPJCPF"), QStringLiteral("52998224725"));
    dm->Tb_RemDest->edit();
    dm->Tb_RemDest->fieldByName(QStringLiteral("Con_Tipo"))->setAsString(QStringLiteral("OI"));
    EXPECT_NO_THROW(dm->Tb_RemDest->post());
    EXPECT_EQ(dm->Tb_RemDest->state(), DataSetState::Browse);
    EXPECT_EQ(scalar(QStringLiteral("select Con_Tipo from Contribuinte")), "OI");
    EXPECT_NO_THROW(dm->AtualizarConTipoNotas(QStringLiteral("52998224725"), QStringLiteral("CPF")));
}

// An invoice table of another shape is the caller's error.
TEST_F(KindChange, InvoiceTableOfAnotherShapeRaises)
{
    sql(QStringLiteral("DROP TABLE nota"));
    sql(QStringLiteral("CREATE TABLE nota (NF_Numero INTEGER)"));
    EXPECT_THROW(dm->AtualizarConTipoNotas(QStringLiteral("52998224725"), QStringLiteral("CPF")), vorta::Exception);
}

// ---- Post errors ------------------------------------------------------------------------

TEST_F(DmComuns, EngineErrorWhileSavingShowsMessage33AndKeepsTheRowInEdit)
{
    struct Case {
        vorta::db::Table* table;
        const char* sqlTable;
        const char* nameField; // changed by the edit
        std::function<void(DataSet&)> fill;
    };
    auto set = [](DataSet& ds, const char* field, const QVariant& v) {
        ds.fieldByName(QString::fromLatin1(field))->setValue(v);
    };
    auto municipio = [set](DataSet& ds) {
        set(ds, "Mun_Descricao", QStringLiteral("NOVA VILA"));
        set(ds, "Mun_CEPInicial", QStringLiteral("77500000"));
        set(ds, "Mun_CEPFinal", QStringLiteral("77500999"));
        set(ds, "Mun_UF", QStringLiteral("QX"));
    };
    auto contribuinte = [set](DataSet& ds) {
        set(ds, "Con_IECNPJCPF", QString::fromLatin1(kTaxpayer));
        set(ds, "Con_Tipo", QStringLiteral("IE"));
        set(ds, "Con_Nome", QStringLiteral("FULANO DE TAL"));
        set(ds, "Con_UF", QStringLiteral("QX"));
        set(ds, "Mun_Endereco", 1001);
    };
    const Case cases[] = {
        {dm->Tb_Municipio, "Municipio", "Mun_Descricao", municipio},
        {dm->Tb_MunicipioPro, "Municipio", "Mun_Descricao", municipio},
        {dm->Tb_Contribuinte, "Contribuinte", "Con_Nome", contribuinte},
        {dm->Tb_RemDest, "Contribuinte", "Con_Nome", contribuinte},
        {dm->Tb_Responsavel, "Responsavel", "Resp_Nome",
         [set](DataSet& ds) {
             set(ds, "Resp_CPF", QStringLiteral("52998224725"));
             set(ds, "Resp_Nome", QStringLiteral("CONTADOR"));
             set(ds, "Resp_CRC", QStringLiteral("SP123456O5"));
             set(ds, "Resp_Email", QStringLiteral("contador@exemplo.com.br"));
         }},
    };
    auto refuse = [this](const char* when, const char* table) {
        sql(QStringLiteral("CREATE TRIGGER recusa BEFORE %1 ON %2 BEGIN SELECT RAISE(ABORT, 'disk full'); END")
                .arg(QString::fromLatin1(when), QString::fromLatin1(table)));
    };
    // The engine's own text goes to the log file, for support.
    QTemporaryDir logDir;
    auto& reporter = vorta::ipc::ExceptionReporter::instance();
    const QString previousLog = reporter.logFile();
    reporter.setLogFile(logDir.filePath(QStringLiteral("Vorta_Mod.log")));
    struct RestoreLog {
        QString file;
        ~RestoreLog() { vorta::ipc::ExceptionReporter::instance().setLogFile(file); }
    } restoreLog{previousLog};
    auto postFailsWith33 = [&reporter](DataSet& ds) {
        QFile::remove(reporter.logFile());
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("33 - Erro ao gravar"), 1);
        EXPECT_THROW(ds.post(), vorta::EAbort);
        QFile log(reporter.logFile());
        ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << "no log written";
        EXPECT_TRUE(log.readAll().contains("disk full"));
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.table->name().toStdString());
        const QString table = QString::fromLatin1(c.sqlTable);
        const QString nameField = QString::fromLatin1(c.nameField);
        const int rows = count(table);

        // A new row.
        refuse("INSERT", c.sqlTable);
        c.table->open();
        c.table->append();
        c.fill(*c.table);
        const QVariant first = c.table->fields(0)->value();
        postFailsWith33(*c.table);
        EXPECT_EQ(c.table->state(), DataSetState::Insert);
        EXPECT_EQ(c.table->fields(0)->value(), first);
        EXPECT_EQ(count(table), rows);
        c.table->cancel();
        sql(QStringLiteral("DROP TRIGGER recusa"));

        // A stored row being altered.
        c.table->append();
        c.fill(*c.table);
        c.table->post();
        const QString stored = c.table->fieldByName(nameField)->asString();
        refuse("UPDATE", c.sqlTable);
        c.table->edit();
        c.table->fieldByName(nameField)->setAsString(QStringLiteral("OUTRO NOME"));
        postFailsWith33(*c.table);
        EXPECT_EQ(c.table->state(), DataSetState::Edit);
        EXPECT_EQ(c.table->fieldByName(nameField)->asString(), "OUTRO NOME");
        EXPECT_EQ(scalar(QStringLiteral("select count(*) from %1 where %2 = :v").arg(table, nameField), {stored}),
                  "1");
        c.table->cancel();
        c.table->close();
        sql(QStringLiteral("DROP TRIGGER recusa"));
        sql(QStringLiteral("DELETE FROM %1 WHERE %2 = ?1").arg(table, nameField), {stored});
        EXPECT_EQ(count(table), rows);
    }
}

// ---- Field checks' failure step -------------------------------------------------------

TEST_F(DmComuns, RefusedFieldShowsTheMessageThenSwitchesPageAndFocus)
{
    QStringList calls;
    {
        ScriptedDialogs dialogs;
        dm->FocaCampo = [&](const QString& pagina, const QString& campo) {
            // The message comes before the form is touched.
            EXPECT_EQ(dialogs.messages.size(), 1);
            calls << pagina + QLatin1Char('/') + campo;
        };
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("9001 - Campo recusado"), 1);
        EXPECT_THROW(dm->RecusaCampo(9001, QStringLiteral("TBSEstabelecimento"), QStringLiteral("Con_CEPEstab")),
                     vorta::EAbort);
        EXPECT_EQ(dialogs.messages.size(), 1);
    }
    EXPECT_EQ(calls, QStringList{QStringLiteral("TBSEstabelecimento/Con_CEPEstab")});
    dm->FocaCampo = nullptr;
    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Error, QStringLiteral("9001 - Campo recusado"), 1);
    EXPECT_THROW(dm->RecusaCampo(9001, QString(), QStringLiteral("Con_Nome")), vorta::EAbort);
}

// ---- Field visibility ------------------------------------------------------------------

// A data-aware control of a kind, on a field.
enum class Kind { Edit, RadioGroup, LookupComboBox, LookupCombo, CheckBox, Memo, Text };

QWidget* dataControl(QWidget* parent, const char* field, Kind kind = Kind::Edit)
{
    auto bind = [field](auto* control) {
        control->setDataField(QString::fromLatin1(field));
        return static_cast<QWidget*>(control);
    };
    switch (kind) {
    case Kind::Edit:
        return bind(new vorta::ui::DBEdit(parent));
    case Kind::RadioGroup:
        return bind(new vorta::ui::DBRadioGroup(parent));
    case Kind::LookupComboBox:
        return bind(new vorta::ui::DBLookupComboBox(parent));
    case Kind::LookupCombo: {
        auto* combo = new vorta::ui::DBLookupComboBox(parent);
        combo->rxKind = true;
        return bind(combo);
    }
    case Kind::CheckBox:
        return bind(new vorta::ui::DBCheckBox(parent));
    case Kind::Memo:
        return bind(new vorta::ui::DBMemo(parent));
    case Kind::Text:
        return bind(new vorta::ui::DBText(parent));
    }
    return nullptr;
}

class FieldVisibility : public DmComuns {
protected:
    void SetUp() override
    {
        DmComuns::SetUp();
        sql(QStringLiteral("INSERT INTO Parametros (Campo, Tabelas, VORTA_MOD, KOB) VALUES "
                           "('Campo_Sim', 'Teste', 1, 0), ('Campo_Nao', 'Teste', 0, 1), "
                           "('Campo_Outro', 'Outra', 0, 0)"));
    }
    bool shown(QWidget* w) { return w->isVisibleTo(&form); }
    QWidget form;
};

TEST_F(FieldVisibility, ControlsFollowTheColumnOfTheirFieldAndLabelsTheirControl)
{
    struct Case {
        const char* field;
        Kind kind;
        bool initiallyShown;
        bool shownAfter;
    };
    const Case cases[] = {
        {"Campo_Sim", Kind::Edit, false, true},
        {"campo_nao", Kind::RadioGroup, true, false}, // field names ignore case
        {"Campo_Nao", Kind::LookupComboBox, true, false},
        {"Campo_Sim", Kind::LookupCombo, false, true},
        {"Campo_Nao", Kind::CheckBox, true, true}, // other data-aware controls are left alone
        {"Campo_Nao", Kind::Memo, true, true},
        {"Campo_Sim", Kind::Text, false, false},
        {"Campo_Outro", Kind::Edit, true, true}, // a row of another register
        {"Sem_Linha", Kind::Edit, true, true},   // no row: as designed
        {"Sem_Linha", Kind::Edit, false, false},
    };
    // Each control gets a label placed before it and one after it.
    QList<QLabel*> before, after;
    QList<QWidget*> controls;
    for (const Case& c : cases) {
        auto* panel = new QWidget(&form);
        before << new QLabel(panel);
        controls << dataControl(panel, c.field, c.kind);
        after << new QLabel(panel);
        before.last()->setBuddy(controls.last());
        after.last()->setBuddy(controls.last());
        controls.last()->setVisible(c.initiallyShown);
    }
    auto* plain = new QLabel(&form); // a label without a control keeps its state
    plain->hide();

    dm->HabilitaDesabilitaControles(&form, QStringLiteral("Vorta_Mod"), QStringLiteral("Teste"));
    for (int i = 0; i < int(std::size(cases)); ++i) {
        SCOPED_TRACE(std::string(cases[i].field) + " " + std::to_string(int(cases[i].kind)));
        EXPECT_EQ(shown(controls[i]), cases[i].shownAfter);
        EXPECT_EQ(shown(before[i]), cases[i].shownAfter);
        EXPECT_EQ(shown(after[i]), cases[i].shownAfter);
    }
    EXPECT_FALSE(shown(plain));

    // Another column turns them round.
    dm->HabilitaDesabilitaControles(&form, QStringLiteral("KOB"), QStringLiteral("Teste"));
    EXPECT_FALSE(shown(controls[0]));
    EXPECT_TRUE(shown(controls[1]));
    EXPECT_TRUE(shown(before[1]));
}

TEST_F(FieldVisibility, AColumnTheTableLacksRaisesOnceARowIsFound)
{
    dataControl(&form, "Sem_Linha");
    EXPECT_NO_THROW(dm->HabilitaDesabilitaControles(&form, QStringLiteral("ZIR"), QStringLiteral("Teste")));
    dataControl(&form, "Campo_Sim");
    try {
        dm->HabilitaDesabilitaControles(&form, QStringLiteral("ZIR"), QStringLiteral("Teste"));
        FAIL() << "no error";
    } catch (const vorta::db::EDatabaseError& e) {
        EXPECT_EQ(e.message(), "Tb_Parametros: Field 'ZIR' not found");
    }
}

TEST_F(FieldVisibility, InstalledRowsShowEachProgramTheTaxpayerFieldsItNeeds)
{
    vorta::installation::installParametros(DirDados);
    struct Case {
        const char* field;
        const char* column;
        bool shown;
    };
    const Case cases[] = {
        {"Con_NIRE", "Vorta_Mod", true},     {"Con_NIRE", "KOB", false},        {"Con_NIRE", "TUV", true},
        {"Con_NumeroCPR", "DUX", true},      {"Con_NumeroCPR", "TUV", false},   {"Con_FormaEntrega", "KOB", false},
        {"Con_FormaEntrega", "TUV", true},   {"Age_Codigo", "KOB", true},       {"Con_Nome", "DestRem", true},
        {"Con_Logradouro", "DestRem", false}, {"Mun_Endereco", "DestRem", true}, {"Resp_CPF", "CPF", false},
        {"Resp_CPF", "IE_Maior500", true},   {"ResEmp_CPF", "IE_Maior500", false}, {"Con_NIRE", "IE_Menor500", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.field) + " " + c.column);
        QWidget taxpayerForm;
        QWidget* control = dataControl(&taxpayerForm, c.field);
        control->setVisible(!c.shown);
        dm->HabilitaDesabilitaControles(&taxpayerForm, QString::fromLatin1(c.column), QStringLiteral("Contribuinte"));
        EXPECT_EQ(control->isVisibleTo(&taxpayerForm), c.shown);
    }
}

} // namespace
