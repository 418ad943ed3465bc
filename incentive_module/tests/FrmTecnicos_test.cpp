// The technicians' register, driven by the keyboard and the mouse as a user works it;
// what it stores is read back from the database.
#include "CadMapasTestSupport.h"
#include "CadastroTestSupport.h"
#include "FrmTecnicos.h"
#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "UDM_MTC.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/ui/Application.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QImage>

#include <gtest/gtest.h>

using vorta::db::DataSetState;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;
namespace user = vorta::testing::user;
using zir_test::mensagem;

namespace {

// What the user types into a new technician, field by field in tab order; the
// municipality is the first letter typed into its list (empty: none chosen).
struct Tecnico {
    const char* nome = "DRA. ANA";
    const char* endereco = "RUA DAS FLORES, 10";
    const char* bairro = "CENTRO";
    const char* municipio = "R";
    const char* cep = ""; // typed only where the municipality lets it be typed
    const char* uf = "";
    const char* cpf = "11144477735";
    const char* telefone = "6332140000";
    const char* celular = "6384001234";
    const char* fax = "";
    const char* conselho = "CRMV";
    const char* numero = "1234";
};

class CadTecnicos : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_inst.installDatabase();
        zir_test::catalogoDeTeste(m_inst.folder(QStringLiteral("dados")),
                                  {15, 28, 33, 89, 90, 91, 92, 119, 1419, 1671, 1672, 1673, 1675});
        sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES (999010, 'UBERLANDIA', 'MG')"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
        vorta::ui::createForm(DM_MTC);
        ASSERT_TRUE(DM_MTC);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        if (FrmTecnicos && FrmTecnicos->TblTecnicos->active()
            && FrmTecnicos->TblTecnicos->state() != DataSetState::Browse)
            FrmTecnicos->TblTecnicos->cancel();
        vorta::Component::free(Cad_Municipio);
        vorta::Component::free(FrmTecnicos);
        vorta::Component::free(DM_MTC);
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
    }
    void sql(const QString& text) { vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), text); }
    void tecnicoGravado(int codigo, const QString& nome, const QString& cpf)
    {
        sql(QStringLiteral("INSERT INTO Qel_Tecnico (Tec_Codigo, Tec_Nome, Tec_CPF, Tec_Endereco, Tec_Conselho, "
                           "Tec_Nro_Conselho) VALUES (%1, '%2', '%3', 'RUA A', 'CRMV', '99')")
                .arg(codigo)
                .arg(nome, cpf));
    }

    TFrmTecnicos* abre(bool inclusao = false)
    {
        TFrmTecnicos* f = vorta::createInto<TFrmTecnicos>(FrmTecnicos, vorta::Application::instance());
        f->ModoInclusao = inclusao;
        f->show();
        user::activate(f);
        return f;
    }

    // A stored technician: his columns by name, empty when there is none.
    QVariantMap linha(int codigo)
    {
        return zir_test::linhaGravada(DM_MTC->dbMTC, QStringLiteral("select * from Qel_Tecnico where Tec_Codigo = :chave"),
                                      codigo);
    }
    int linhas() { return zir_test::contaLinhas(DM_MTC->dbMTC, QStringLiteral("Qel_Tecnico")); }

    // Types a technician from the name edit on, Tab after Tab, as a new one is entered.
    static void digita(TFrmTecnicos* f, const Tecnico& t)
    {
        auto campo = [](QWidget* esperado, const char* texto) {
            ASSERT_EQ(esperado, user::focused());
            user::type(QString::fromUtf8(texto));
            user::tab();
        };
        campo(f->dbedit_nome, t.nome);
        campo(f->dbedit_endereco, t.endereco);
        campo(f->dbedit_bairro, t.bairro);
        campo(f->DBLookupComboBox_Municipio, t.municipio);
        campo(f->dbedit_uf, t.uf);
        campo(f->dbedit_cep, t.cep);
        campo(f->dbedit_cpf, t.cpf);
        campo(f->dbedit_telefone, t.telefone);
        campo(f->dbedit_celular, t.celular);
        campo(f->dbedit_fax, t.fax);
        campo(f->dbedit_conselho, t.conselho);
        campo(f->dbedit_nro_conselho, t.numero);
    }

    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
};

TEST_F(CadTecnicos, IncludingATechnicianByTypingStoresEveryFieldWithoutTheMasksLiterals)
{
    TFrmTecnicos* f = abre();
    EXPECT_EQ(f->Edit_Busca, user::focused());
    user::alt(QLatin1Char('I'));
    ASSERT_EQ(DataSetState::Insert, f->TblTecnicos->state());
    EXPECT_FALSE(f->Panel_Busca->isVisible());
    EXPECT_EQ(QStringLiteral("1"), f->dbedit_codigo->text()) << "the first technician of an empty table";
    EXPECT_FALSE(f->dbedit_codigo->isEnabled());
    Tecnico t;
    t.fax = "6332140001";
    digita(f, t);
    EXPECT_EQ(QStringLiteral("QX"), f->dbedit_uf->text()) << "Rio Claro has a single CEP";
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(DataSetState::Browse, f->TblTecnicos->state());
    const QVariantMap r = linha(1);
    const std::pair<const char*, const char*> esperado[] = {
        {"Tec_Nome", "DRA. ANA"},       {"Tec_Endereco", "RUA DAS FLORES, 10"}, {"Tec_Bairro", "CENTRO"},
        {"Mun_Codigo", "1004"},         {"Tec_UF", "QX"},                       {"Tec_CEP", "77400000"},
        {"Tec_CPF", "11144477735"},     {"Tec_Telefone", "6332140000"},         {"Tec_Celular", "6384001234"},
        {"Tec_Fax", "6332140001"},      {"Tec_Conselho", "CRMV"},               {"Tec_Nro_Conselho", "1234"},
    };
    for (const auto& [coluna, valor] : esperado)
        EXPECT_EQ(QString::fromUtf8(valor), r.value(QString::fromLatin1(coluna)).toString()) << coluna;
    EXPECT_TRUE(f->dbedit_nome->FieldControl::readOnly()) << "browsing again";
    EXPECT_FALSE(f->btMuncipio->isEnabled());
}

TEST_F(CadTecnicos, ANewTechnicianTakesTheLargestCodePlusOne)
{
    struct Caso {
        std::vector<int> gravados;
        const char* novo;
    };
    const Caso casos[] = {{{}, "1"}, {{1, 2, 5}, "6"}, {{7}, "8"}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.novo);
        sql(QStringLiteral("DELETE FROM Qel_Tecnico"));
        for (int codigo : c.gravados)
            tecnicoGravado(codigo, QStringLiteral("TEC %1").arg(codigo), QStringLiteral("0000000000%1").arg(codigo));
        TFrmTecnicos* f = abre();
        user::alt(QLatin1Char('I'));
        EXPECT_EQ(QString::fromLatin1(c.novo), f->dbedit_codigo->text());
        user::alt(QLatin1Char('C'));
        EXPECT_EQ(int(c.gravados.size()), linhas());
        vorta::Component::free(f);
    }
}

TEST_F(CadTecnicos, SavingRefusesEachMissingFieldInOrderAndFocusesIt)
{
    struct Caso {
        const char* nome;
        Tecnico tecnico;
        QStringList mensagens; // error messages shown in turn
        QWidget* (*foco)(TFrmTecnicos*);
    };
    auto sem = [](auto campo) {
        Tecnico t;
        t.*campo = "";
        return t;
    };
    Tecnico cpf10;
    cpf10.cpf = "1114447773";
    const Caso casos[] = {
        {"no name", sem(&Tecnico::nome), {mensagem(28)}, [](TFrmTecnicos* f) -> QWidget* { return f->dbedit_nome; }},
        {"no CPF", sem(&Tecnico::cpf), {mensagem(15)}, [](TFrmTecnicos* f) -> QWidget* { return f->dbedit_cpf; }},
        {"a CPF of 10 digits", cpf10, {mensagem(119), QStringLiteral("Número informado não é um CPF!")},
         [](TFrmTecnicos* f) -> QWidget* { return f->dbedit_cpf; }},
        {"no address", sem(&Tecnico::endereco), {mensagem(1673)},
         [](TFrmTecnicos* f) -> QWidget* { return f->dbedit_endereco; }},
        {"no council", sem(&Tecnico::conselho), {mensagem(1672)},
         [](TFrmTecnicos* f) -> QWidget* { return f->dbedit_conselho; }},
        {"no council number", sem(&Tecnico::numero), {mensagem(1671)},
         [](TFrmTecnicos* f) -> QWidget* { return f->dbedit_nro_conselho; }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TFrmTecnicos* f = abre();
        user::alt(QLatin1Char('I'));
        digita(f, c.tecnico);
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Error, c.mensagens.at(0), 1);
            if (c.mensagens.size() > 1)
                dialogs.expectMessage(MessageKind::SystemBox, c.mensagens.at(1), 1);
            user::alt(QLatin1Char('G'));
        }
        EXPECT_EQ(DataSetState::Insert, f->TblTecnicos->state()) << "nothing saved";
        EXPECT_EQ(c.foco(f), user::focused());
        EXPECT_EQ(0, linhas());
        user::alt(QLatin1Char('C'));
        vorta::Component::free(f);
    }
}

TEST_F(CadTecnicos, AnExistingCPFTypedForANewTechnicianAsksAndOpensTheStoredOne)
{
    tecnicoGravado(1, QStringLiteral("DR. BENTO"), QStringLiteral("11144477735"));
    tecnicoGravado(2, QStringLiteral("DRA. CIDA"), QStringLiteral("52998224725"));
    for (int resposta : {int(vorta::ui::mrYes), int(vorta::ui::mrNo)}) {
        SCOPED_TRACE(resposta);
        TFrmTecnicos* f = abre();
        user::alt(QLatin1Char('I'));
        user::tab(6);
        ASSERT_EQ(f->dbedit_cpf, user::focused());
        user::type(QStringLiteral("52998224725"));
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Confirmation, mensagem(1419), resposta);
            user::tab();
        }
        vorta::db::DataSet& ds = *f->TblTecnicos;
        EXPECT_EQ(2, ds.fieldByName(QStringLiteral("Tec_Codigo"))->asInteger()) << "the stored technician";
        if (resposta == vorta::ui::mrYes) {
            ASSERT_EQ(DataSetState::Edit, ds.state());
            EXPECT_TRUE(f->dbedit_codigo->FieldControl::readOnly());
            EXPECT_FALSE(f->dbedit_nome->FieldControl::readOnly());
            user::click(f->dbedit_conselho);
            user::key(Qt::Key_End);
            user::type(QStringLiteral("-TO"));
            user::alt(QLatin1Char('G'));
            EXPECT_EQ(QStringLiteral("CRMV-TO"), linha(2).value(QStringLiteral("Tec_Conselho")).toString());
        } else {
            EXPECT_EQ(DataSetState::Browse, ds.state());
            EXPECT_TRUE(f->dbedit_nome->FieldControl::readOnly());
            EXPECT_TRUE(f->btIncluir->isEnabled());
        }
        EXPECT_EQ(2, linhas());
        vorta::Component::free(f);
    }
}

TEST_F(CadTecnicos, ATechnicianNamedOnAMapIsNotDeleted)
{
    tecnicoGravado(1, QStringLiteral("DR. BENTO"), QStringLiteral("11144477735"));
    tecnicoGravado(2, QStringLiteral("DRA. CIDA"), QStringLiteral("52998224725"));
    sql(QStringLiteral("INSERT INTO qel_mapas (map_codigo, Tec_Codigo) VALUES (7, 1)"));
    TFrmTecnicos* f = abre();
    ASSERT_EQ(1, f->TblTecnicos->fieldByName(QStringLiteral("Tec_Codigo"))->asInteger());
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, mensagem(1675), 1);
        user::click(f->btExcluir);
    }
    EXPECT_EQ(2, linhas());
    user::click(f->btProximo);
    ASSERT_EQ(2, f->TblTecnicos->fieldByName(QStringLiteral("Tec_Codigo"))->asInteger());
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, mensagem(92), vorta::ui::mrYes);
        user::click(f->btExcluir);
    }
    EXPECT_EQ(1, linhas());
    EXPECT_TRUE(linha(2).isEmpty());
    EXPECT_FALSE(linha(1).isEmpty());
}

TEST_F(CadTecnicos, TheMunicipalityGivesItsSingleCEPAndUFOrLeavesBothToType)
{
    struct Caso {
        const char* nome;
        const char* municipio;
        const char* uf;  // typed when it can be
        const char* cep; // typed when it can be
        bool travados;
        const char* ufGravada;
        const char* cepGravado;
        const char* codigo;
    };
    const Caso casos[] = {
        {"a single CEP", "R", "GO", "11111111", true, "QX", "77400000", "1004"},
        {"a CEP range", "P", "QX", "77001000", false, "QX", "77001000", "1001"},
        {"no CEP at all", "U", "MG", "38400000", false, "MG", "38400000", "999010"},
    };
    int codigo = 0;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TFrmTecnicos* f = abre();
        user::alt(QLatin1Char('I'));
        ++codigo;
        Tecnico t;
        t.municipio = c.municipio;
        t.uf = c.uf;
        t.cep = c.cep;
        t.cpf = codigo == 1 ? "11144477735" : codigo == 2 ? "52998224725" : "39053344705";
        digita(f, t);
        EXPECT_EQ(c.travados, f->dbedit_cep->FieldControl::readOnly());
        EXPECT_EQ(c.travados, f->dbedit_uf->FieldControl::readOnly());
        user::alt(QLatin1Char('G'));
        const QVariantMap r = linha(codigo);
        EXPECT_EQ(QString::fromLatin1(c.codigo), r.value(QStringLiteral("Mun_Codigo")).toString());
        EXPECT_EQ(QString::fromLatin1(c.ufGravada), r.value(QStringLiteral("Tec_UF")).toString());
        EXPECT_EQ(QString::fromLatin1(c.cepGravado), r.value(QStringLiteral("Tec_CEP")).toString());
        vorta::Component::free(f);
    }
}

TEST_F(CadTecnicos, TheMunicipalityRegisterReplacesTheCEPOnlyWhileEditing)
{
    tecnicoGravado(1, QStringLiteral("DR. BENTO"), QStringLiteral("11144477735"));
    sql(QStringLiteral("UPDATE Qel_Tecnico SET Mun_Codigo = 1001, Tec_CEP = '77001000', Tec_UF = 'QX'"));
    TFrmTecnicos* f = abre();
    user::alt(QLatin1Char('T'));
    EXPECT_FALSE(f->btMuncipio->isEnabled()) << "browsing";
    user::alt(QLatin1Char('A'));
    ASSERT_EQ(DataSetState::Edit, f->TblTecnicos->state());
    EXPECT_EQ(f->dbedit_nome, user::focused());
    int mostrado = 0;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        auto* lookup = dynamic_cast<TCad_Municipio*>(&form);
        EXPECT_TRUE(lookup && lookup->ModoSelecao);
        ++mostrado;
        DM_Comuns->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), 1005);
        return int(vorta::ui::mrOk);
    });
    user::alt(QLatin1Char('M'));
    vorta::ui::setModalHook(nullptr);
    user::activate(f);
    EXPECT_EQ(1, mostrado);
    EXPECT_TRUE(f->dbedit_cep->FieldControl::readOnly());
    user::alt(QLatin1Char('G'));
    const QVariantMap r = linha(1);
    EXPECT_EQ(QStringLiteral("1005"), r.value(QStringLiteral("Mun_Codigo")).toString());
    EXPECT_EQ(QStringLiteral("77410000"), r.value(QStringLiteral("Tec_CEP")).toString());
    EXPECT_EQ(QStringLiteral("QX"), r.value(QStringLiteral("Tec_UF")).toString());
}

TEST_F(CadTecnicos, HintsAndTheSearchByName)
{
    tecnicoGravado(1, QStringLiteral("DR. BENTO"), QStringLiteral("11144477735"));
    tecnicoGravado(2, QStringLiteral("DRA. CIDA"), QStringLiteral("52998224725"));
    TFrmTecnicos* f = abre();
    user::type(QStringLiteral("dra"));
    EXPECT_EQ(2, f->TblTecnicos->fieldByName(QStringLiteral("Tec_Codigo"))->asInteger());
    user::alt(QLatin1Char('A'));
    EXPECT_EQ(mensagem(90), f->msgStatus->panel(0).text);
    EXPECT_FALSE(f->dbedit_codigo->isEnabled()) << "the code is never typed";
    for (QWidget* w : std::initializer_list<QWidget*>{f->dbedit_cpf, f->dbedit_fax, f->DBLookupComboBox_Municipio}) {
        f->msgStatus->setPanelText(0, QString());
        user::click(w);
        EXPECT_EQ(mensagem(90), f->msgStatus->panel(0).text) << w->objectName().toStdString();
    }
    user::escape(); // the list opened by the click
    user::alt(QLatin1Char('C'));
}

// The lookup of the map form: the technician current when the register closes is
// handed over; none when the register has none.
TEST_F(CadTecnicos, ALookupHandsOverTheTechnicianChosenInTheGrid)
{
    tecnicoGravado(1, QStringLiteral("DR. BENTO"), QStringLiteral("11144477735"));
    tecnicoGravado(2, QStringLiteral("DRA. CIDA"), QStringLiteral("52998224725"));
    tecnicoGravado(3, QStringLiteral("DR. DIRCEU"), QStringLiteral("39053344705"));
    enum class Gesto { Enter, DuploClique, Retornar };
    struct Caso {
        const char* nome;
        Gesto gesto;
        std::optional<int> escolhido;
    };
    const Caso casos[] = {
        {"Enter in the grid", Gesto::Enter, 2},
        {"a double-click in the grid", Gesto::DuploClique, 2},
        {"leaving with Retornar", Gesto::Retornar, 2},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        DM_MTC->TecnicoSelecionado = 99;
        int mostrado = 0;
        vorta::ui::setModalHook([&](vorta::ui::Form& form) {
            ++mostrado;
            auto* f = dynamic_cast<TFrmTecnicos*>(&form);
            EXPECT_TRUE(f && f->ModoSelecao);
            if (!f)
                return int(vorta::ui::mrCancel);
            user::activate(f);
            user::click(f->DBGrid);
            user::key(Qt::Key_Down);
            EXPECT_EQ(2, f->TblTecnicos->fieldByName(QStringLiteral("Tec_Codigo"))->asInteger());
            if (c.gesto == Gesto::Enter)
                user::enter();
            else if (c.gesto == Gesto::DuploClique)
                user::doubleClick(f->DBGrid->viewport());
            else
                user::alt(QLatin1Char('R'));
            return int(vorta::ui::mrNone);
        });
        AbreTecnicos(true);
        vorta::ui::setModalHook(nullptr);
        EXPECT_EQ(1, mostrado);
        EXPECT_FALSE(FrmTecnicos) << "the register frees itself";
        EXPECT_EQ(c.escolhido, DM_MTC->TecnicoSelecionado);
    }

    // An empty register hands over none, not a code 0.
    sql(QStringLiteral("DELETE FROM Qel_Tecnico"));
    vorta::ui::setModalHook([](vorta::ui::Form& form) {
        user::activate(&form);
        user::alt(QLatin1Char('R'));
        return int(vorta::ui::mrNone);
    });
    AbreTecnicos(true);
    vorta::ui::setModalHook(nullptr);
    EXPECT_FALSE(DM_MTC->TecnicoSelecionado.has_value());
}

TEST_F(CadTecnicos, PicturesOfTheGridAndDetailPages)
{
    tecnicoGravado(1, QStringLiteral("DR. BENTO"), QStringLiteral("11144477735"));
    TFrmTecnicos* f = abre();
    const QImage grid = zir_test::fotografa(f, QStringLiteral("FrmTecnicos"), QStringLiteral("grid"));
    user::alt(QLatin1Char('I'));
    Tecnico t;
    t.cpf = "52998224725";
    t.fax = "6332140001";
    digita(f, t);
    const QImage detail = zir_test::fotografa(f, QStringLiteral("FrmTecnicos"), QStringLiteral("detail"));
    EXPECT_NE(grid, detail);
    user::alt(QLatin1Char('C'));
}

TEST(CadTecnicosPictures, UnderAVirtualXServer)
{
    zir_test::fotografaSobXVirtual(QStringLiteral("CadTecnicos.PicturesOfTheGridAndDetailPages"),
                                   QStringLiteral("FrmTecnicos"));
}

// The map form's veterinarian button with the real register behind it.
class CadMapasTecnico : public zir_test::CadMapasFixture {};

TEST_F(CadMapasTecnico, TheVeterinarianButtonTakesTheChosenTechnicianAndKeepsTheMapsOwnWhenNoneIsThere)
{
    exec("insert into Qel_Tecnico (Tec_Codigo, Tec_Nome) values (2, 'Dr. Segundo')");
    AbreTecnicosSelecao = [] { AbreTecnicos(true); };
    auto escolhe = [](bool segundo) {
        vorta::ui::setModalHook([segundo](vorta::ui::Form& form) {
            auto* t = dynamic_cast<TFrmTecnicos*>(&form);
            EXPECT_TRUE(t && t->ModoSelecao);
            if (!t)
                return int(vorta::ui::mrCancel);
            user::activate(t);
            user::click(t->DBGrid);
            if (segundo)
                user::key(Qt::Key_Down);
            user::enter();
            return int(vorta::ui::mrNone);
        });
    };
    TCadMapas* f = abre();
    inclui(f);
    pagina(f, 1);
    escolhe(true);
    user::click(f->btVeterinario);
    user::activate(f);
    EXPECT_EQ(2, dm->TblMapas->fieldByName(QStringLiteral("Tec_Codigo"))->asInteger());
    EXPECT_EQ(QStringLiteral("Dr. Segundo"), f->DBL_Tecnico->currentText());

    // With every technician gone the register hands none over and the map keeps his.
    exec("delete from Qel_Tecnico where Tec_Codigo = 1");
    {
        vorta::ui::setModalHook([](vorta::ui::Form& form) {
            user::activate(&form);
            user::alt(QLatin1Char('R'));
            return int(vorta::ui::mrNone);
        });
        exec("delete from Qel_Tecnico where Tec_Codigo = 2");
        user::click(f->btVeterinario);
        user::activate(f);
    }
    EXPECT_EQ(2, dm->TblMapas->fieldByName(QStringLiteral("Tec_Codigo"))->asInteger()) << "never 0";
    vorta::ui::setModalHook(nullptr);
    user::alt(QLatin1Char('C'));
}

} // namespace
