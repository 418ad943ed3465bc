// The cattle-raiser register, driven by the keyboard and the mouse as a user works it;
// what it stores is read back from the database.
#include "CadastroTestSupport.h"
#include "FrmCadMapas.h"
#include "T_Cad_Municipio.h"
#include "T_Cad_Pecuarista.h"
#include "T_DM_Comuns.h"
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
using zir_test::clicaItem;
using zir_test::mensagem;

namespace {

class CadPecuarista : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        CancelaContrib = QStringLiteral("antes");
        m_inst.installDatabase();
        zir_test::catalogoDeTeste(m_inst.folder(QStringLiteral("dados")),
                                  {15, 22, 33, 34, 35, 36, 37, 51, 53, 54, 55, 56, 58, 91, 92, 117, 118, 119, 495,
                                   496, 497, 1408, 1410, 1419});
        sql(QStringLiteral(
            "INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES (999010, 'UBERLANDIA', 'MG');"
            "INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, Mun_Propriedade,"
            " Con_UF, Con_UFEstab) VALUES"
            " ('286000008', 'ZELIA PRODUTORA', 'FAZENDA BOA ESPERA', 'IE', 1002, 1002, 'QX', 'QX'),"
            " ('281234566', 'BAZAR DO POVO', NULL, 'IE', 1001, NULL, 'QX', NULL)"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        if (DM_Comuns->Tb_Contribuinte->active() && DM_Comuns->Tb_Contribuinte->state() != DataSetState::Browse)
            DM_Comuns->Tb_Contribuinte->cancel();
        vorta::Component::free(Cad_Municipio);
        vorta::Component::free(Cad_Pecuarista);
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
    }
    void sql(const QString& text) { vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), text); }

    TCad_Pecuarista* abre(bool inclusao = false)
    {
        TCad_Pecuarista* f = vorta::createInto<TCad_Pecuarista>(Cad_Pecuarista, vorta::Application::instance());
        f->ModoInclusao = inclusao;
        f->show();
        user::activate(f);
        return f;
    }

    // A stored row of table Contribuinte: its columns by name, empty when there is none.
    QVariantMap linha(const QString& inscricao)
    {
        return zir_test::linhaGravada(
            DM_Comuns->DB_Comuns, QStringLiteral("select * from Contribuinte where Con_IECNPJCPF = :chave"), inscricao);
    }
    int linhas() { return zir_test::contaLinhas(DM_Comuns->DB_Comuns, QStringLiteral("Contribuinte")); }

    // From the registration edit of a new raiser: the kind, the registration, the name,
    // the municipality (its first letter in the list) and the property, each by typing.
    static void digita(TCad_Pecuarista* f, int item, const QString& inscricao, const QString& nome,
                       const QString& municipio, const QString& propriedade)
    {
        if (item != 0) {
            clicaItem(f->DBRadioGroup_ConTipo, item);
            user::tab();
        }
        ASSERT_EQ(f->DBEdit_Con_IECNPJCPF, user::focused());
        user::type(inscricao);
        user::tab();
        ASSERT_EQ(f->DBEdit_Nome, user::focused());
        user::type(nome);
        user::tab();
        ASSERT_EQ(f->DBLookupComboBox_Municipio, user::focused());
        if (!municipio.isEmpty())
            user::type(municipio);
        user::tab();
        ASSERT_EQ(f->DBEdit_Con_UFEstab, user::focused());
        user::tab();
        ASSERT_EQ(f->deEndereco, user::focused());
        user::type(propriedade);
    }

    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
};

TEST_F(CadPecuarista, IncludingARaiserOfEachKindByTypingStoresHimWithHisMunicipality)
{
    struct Caso {
        const char* nome;
        int item;
        const char* digitado;
        const char* municipio;
        const char* tipo;
        const char* mun;
        const char* uf;
    };
    const Caso casos[] = {
        {"state registration", 0, "285000012", "R", "IE", "1004", "QX"},
        {"CNPJ", 1, "11222333000181", "S", "CNPJ", "1002", "QX"},
        {"CPF", 2, "11144477735", "B", "CPF", "1003", "QX"},
        {"other registration of one character", 3, "X", "U", "OI", "999010", "MG"},
        {"other registration of fifteen", 3, "ABCDEFGHIJKLMNO", "U", "OI", "999010", "MG"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const int antes = linhas();
        TCad_Pecuarista* f = abre();
        EXPECT_EQ(f->Edit_Busca, user::focused());
        user::alt(QLatin1Char('I'));
        ASSERT_EQ(DataSetState::Insert, DM_Comuns->Tb_Contribuinte->state());
        EXPECT_FALSE(f->Panel_Busca->isVisible());
        EXPECT_TRUE(f->DBRadioGroup_ConTipo->isEnabled());
        EXPECT_TRUE(f->btMuncipio->isEnabled());
        EXPECT_TRUE(f->DBEdit_Con_UFEstab->FieldControl::readOnly()) << "the UF comes with the municipality";
        digita(f, c.item, QString::fromLatin1(c.digitado), QStringLiteral("João Ávila"), QString::fromLatin1(c.municipio),
               QStringLiteral("Fazenda Três Irmãos"));
        EXPECT_EQ(QString::fromLatin1(c.uf), f->DBEdit_Con_UFEstab->text());
        user::alt(QLatin1Char('G'));
        EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_Contribuinte->state());
        EXPECT_EQ(antes + 1, linhas());
        const QVariantMap r = linha(QString::fromLatin1(c.digitado));
        EXPECT_EQ(QString::fromLatin1(c.tipo), r.value(QStringLiteral("Con_Tipo")));
        EXPECT_EQ(QStringLiteral("JOÃO ÁVILA"), r.value(QStringLiteral("Con_Nome")));
        EXPECT_EQ(QStringLiteral("FAZENDA TRÊS IRMÃOS"), r.value(QStringLiteral("Con_NomePropr")));
        for (const char* mun : {"Mun_Endereco", "Mun_Propriedade"})
            EXPECT_EQ(QString::fromLatin1(c.mun), r.value(QString::fromLatin1(mun))) << mun;
        for (const char* uf : {"Con_UF", "Con_UFEstab"})
            EXPECT_EQ(QString::fromLatin1(c.uf), r.value(QString::fromLatin1(uf))) << uf;
        EXPECT_EQ(QString::fromLatin1(c.digitado), CancelaContrib);
        EXPECT_TRUE(f->DBEdit_Nome->FieldControl::readOnly()) << "browsing again";
        EXPECT_FALSE(f->DBRadioGroup_ConTipo->isEnabled());
        EXPECT_FALSE(f->btMuncipio->isEnabled());
        EXPECT_EQ(f->DBEdit_Con_IECNPJCPF, user::focused());
        vorta::Component::free(f);
    }
}

TEST_F(CadPecuarista, SavingRefusesAMissingRegistrationAWrongLengthOrAMissingPropertyFirst)
{
    struct Caso {
        const char* nome;
        int item;
        const char* digitado;
        const char* propriedade;
        int mensagem;
        int foco; // 0 the registration, 1 the kind, 2 the property
    };
    const Caso casos[] = {
        {"nothing typed", 0, "", "FAZENDA", 1408, 0},
        {"blanks only", 3, "   ", "FAZENDA", 1408, 0},
        {"state registration of 8 digits", 0, "28500001", "FAZENDA", 117, 1},
        {"CNPJ of 13 digits, before the data module pads it", 1, "1122233300018", "FAZENDA", 118, 1},
        {"CPF of 10 digits", 2, "1114447773", "FAZENDA", 119, 1},
        {"no property name", 0, "285000012", "", 58, 2},
        {"a property name of blanks", 0, "285000012", "   ", 58, 2},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TCad_Pecuarista* f = abre();
        user::alt(QLatin1Char('I'));
        digita(f, c.item, QString::fromLatin1(c.digitado), QStringLiteral("JOAO"), QStringLiteral("R"),
               QString::fromLatin1(c.propriedade));
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Error, mensagem(c.mensagem), 1);
            user::alt(QLatin1Char('G'));
        }
        EXPECT_EQ(DataSetState::Insert, DM_Comuns->Tb_Contribuinte->state()) << "nothing saved";
        QWidget* foco = user::focused();
        if (c.foco == 1)
            EXPECT_TRUE(foco == f->DBRadioGroup_ConTipo || f->DBRadioGroup_ConTipo->isAncestorOf(foco));
        else
            EXPECT_EQ(c.foco == 0 ? static_cast<QWidget*>(f->DBEdit_Con_IECNPJCPF) : f->deEndereco, foco);
        EXPECT_EQ(2, linhas());
        user::alt(QLatin1Char('C'));
        vorta::Component::free(f);
    }
}

TEST_F(CadPecuarista, TheCommonTaxpayerRulesRefuseWhatTheRegisterLetsThrough)
{
    struct Caso {
        const char* nome;
        int item;
        const char* digitado;
        const char* pessoa;
        const char* municipio;
        int mensagem;
        QWidget* (*foco)(TCad_Pecuarista*); // null: the focus stays where it was
    };
    const Caso casos[] = {
        {"a state registration with a wrong check digit", 0, "285000011", "JOAO", "R", 54,
         [](TCad_Pecuarista* f) -> QWidget* { return f->DBEdit_Con_IECNPJCPF; }},
        {"a name of two letters", 0, "285000012", "JO", "R", 56,
         [](TCad_Pecuarista* f) -> QWidget* { return f->DBEdit_Nome; }},
        {"an other registration in the home state", 3, "X", "JOAO", "R", 496, nullptr},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TCad_Pecuarista* f = abre();
        user::alt(QLatin1Char('I'));
        digita(f, c.item, QString::fromLatin1(c.digitado), QString::fromLatin1(c.pessoa),
               QString::fromLatin1(c.municipio), QStringLiteral("FAZENDA"));
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Error, mensagem(c.mensagem), 1);
            user::alt(QLatin1Char('G'));
        }
        EXPECT_EQ(DataSetState::Insert, DM_Comuns->Tb_Contribuinte->state());
        EXPECT_TRUE(f->btGravar->isEnabled()) << "still editing";
        if (c.foco) {
            EXPECT_EQ(c.foco(f), user::focused());
        }
        EXPECT_TRUE(CancelaContrib.isEmpty()) << "nothing handed over";
        user::alt(QLatin1Char('C'));
        vorta::Component::free(f);
    }
    EXPECT_EQ(2, linhas());
}

TEST_F(CadPecuarista, AnExistingRegistrationTypedForANewRaiserAsksAndOnYesOpensHimForChange)
{
    TCad_Pecuarista* f = abre();
    user::alt(QLatin1Char('I'));
    user::type(QStringLiteral("286000008"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, mensagem(1419), vorta::ui::mrYes);
        user::tab();
    }
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Contribuinte;
    ASSERT_EQ(DataSetState::Edit, ds.state());
    EXPECT_EQ(QStringLiteral("286000008"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    EXPECT_TRUE(f->DBEdit_Con_IECNPJCPF->FieldControl::readOnly());
    EXPECT_FALSE(f->DBEdit_Nome->FieldControl::readOnly());
    EXPECT_FALSE(f->DBRadioGroup_ConTipo->isEnabled()) << "the kind of a stored raiser stays";
    EXPECT_EQ(f->DBEdit_Nome, user::focused());
    user::type(QStringLiteral("ZELIA NOVA"));
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(DataSetState::Browse, ds.state());
    const QVariantMap r = linha(QStringLiteral("286000008"));
    EXPECT_EQ(QStringLiteral("ZELIA NOVA"), r.value(QStringLiteral("Con_Nome")));
    EXPECT_EQ(QStringLiteral("FAZENDA BOA ESPERA"), r.value(QStringLiteral("Con_NomePropr")));
    EXPECT_EQ(QStringLiteral("286000008"), CancelaContrib);
    EXPECT_EQ(2, linhas());
}

TEST_F(CadPecuarista, AnExistingRegistrationAnsweredNoShowsHimWhileBrowsingAndStopsASave)
{
    TCad_Pecuarista* f = abre();
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Contribuinte;
    for (char gesto : {'T', 'G'}) {
        SCOPED_TRACE(gesto);
        user::alt(QLatin1Char('I'));
        user::type(QStringLiteral("281234566"));
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Confirmation, mensagem(1419), vorta::ui::mrNo);
            if (gesto == 'T')
                user::tab();
            else
                user::alt(QLatin1Char('G'));
        }
        EXPECT_EQ(DataSetState::Browse, ds.state());
        EXPECT_EQ(QStringLiteral("BAZAR DO POVO"), ds.fieldByName(QStringLiteral("Con_Nome"))->asString());
        EXPECT_TRUE(f->btIncluir->isEnabled());
        EXPECT_FALSE(f->btGravar->isEnabled());
        EXPECT_TRUE(f->DBEdit_Nome->FieldControl::readOnly());
    }
    EXPECT_EQ(2, linhas());
}

TEST_F(CadPecuarista, TheMapFormOpensItOnTheTypedRegistrationAndGetsTheSavedRaiserBack)
{
    DM_Comuns->InscricaoPadrao = QStringLiteral("285000012");
    int mostrado = 0;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        ++mostrado;
        auto* f = dynamic_cast<TCad_Pecuarista*>(&form);
        EXPECT_NE(nullptr, f);
        if (!f)
            return int(vorta::ui::mrCancel);
        user::activate(f);
        vorta::db::DataSet& ds = *DM_Comuns->Tb_Contribuinte;
        EXPECT_EQ(DataSetState::Insert, ds.state());
        EXPECT_EQ(QStringLiteral("IE"), ds.fieldByName(QStringLiteral("Con_Tipo"))->asString());
        EXPECT_EQ(QStringLiteral("285000012"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
        EXPECT_EQ(f->DBEdit_Con_IECNPJCPF, user::focused());
        user::tab();
        user::type(QStringLiteral("NOVO PECUARISTA"));
        user::tab();
        user::type(QStringLiteral("R"));
        user::tab(2);
        user::type(QStringLiteral("SITIO NOVO"));
        user::alt(QLatin1Char('G'));
        user::alt(QLatin1Char('R'));
        return int(vorta::ui::mrNone);
    });
    AbreCadastroPecuarista();
    vorta::ui::setModalHook(nullptr);
    EXPECT_EQ(1, mostrado);
    EXPECT_FALSE(Cad_Pecuarista) << "the register is gone once closed";
    const QVariantMap r = linha(QStringLiteral("285000012"));
    EXPECT_EQ(QStringLiteral("NOVO PECUARISTA"), r.value(QStringLiteral("Con_Nome")));
    EXPECT_EQ(QStringLiteral("SITIO NOVO"), r.value(QStringLiteral("Con_NomePropr")));
    EXPECT_EQ(QStringLiteral("1004"), r.value(QStringLiteral("Mun_Propriedade")));
    EXPECT_EQ(QStringLiteral("285000012"), CancelaContrib);
}

TEST_F(CadPecuarista, ClosingAfterACancelLeavesNoPresetForTheNextNewTaxpayer)
{
    DM_Comuns->InscricaoPadrao = QStringLiteral("285000012");
    TCad_Pecuarista* f = abre(true);
    EXPECT_EQ(QStringLiteral("285000012"),
              DM_Comuns->Tb_Contribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    user::alt(QLatin1Char('C'));
    EXPECT_TRUE(CancelaContrib.isEmpty()) << "a cancel hands over no registration";
    user::alt(QLatin1Char('R'));
    EXPECT_TRUE(DM_Comuns->InscricaoPadrao.isEmpty());
    vorta::Component::free(Cad_Pecuarista);

    // The next new raiser, opened from anywhere, starts empty.
    f = abre();
    user::alt(QLatin1Char('I'));
    EXPECT_TRUE(DM_Comuns->Tb_Contribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString().isEmpty());
    EXPECT_TRUE(f->DBEdit_Con_IECNPJCPF->maskedText().trimmed().isEmpty());
    user::alt(QLatin1Char('C'));
}

TEST_F(CadPecuarista, EachFieldShowsTheHintOfTheKind)
{
    struct Caso {
        int item;
        int registro; // hint of the registration (0: none)
        int nome;     // hint of the name and of the property
    };
    const Caso casos[] = {{0, 34, 34}, {1, 35, 35}, {2, 15, 15}, {3, 0, 37}};
    TCad_Pecuarista* f = abre();
    user::alt(QLatin1Char('I'));
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.item);
        clicaItem(f->DBRadioGroup_ConTipo, c.item);
        EXPECT_EQ(mensagem(36), f->msgStatus->panel(0).text);
        user::click(f->DBEdit_Con_IECNPJCPF);
        EXPECT_EQ(c.registro ? mensagem(c.registro) : QString(), f->msgStatus->panel(0).text);
        EXPECT_EQ(MascaraDesteConTipo(DM_Comuns->Tb_Contribuinte->fieldByName(QStringLiteral("Con_Tipo"))->asString()),
                  DM_Comuns->Tb_Contribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->editMask());
        user::tab();
        EXPECT_EQ(mensagem(c.nome), f->msgStatus->panel(0).text);
        user::tab();
        EXPECT_EQ(mensagem(51), f->msgStatus->panel(0).text);
        user::tab(2);
        ASSERT_EQ(f->deEndereco, user::focused());
        EXPECT_EQ(mensagem(c.nome), f->msgStatus->panel(0).text);
    }
    user::alt(QLatin1Char('C'));
}

TEST_F(CadPecuarista, TheMunicipalityRegisterChoosesTheMunicipalityOnlyWhileEditing)
{
    TCad_Pecuarista* f = abre();
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Contribuinte;
    ASSERT_TRUE(ds.locate(QStringLiteral("Con_IECNPJCPF"), QStringLiteral("286000008")));
    user::alt(QLatin1Char('T'));
    EXPECT_FALSE(f->btMuncipio->isEnabled()) << "browsing";
    user::alt(QLatin1Char('A'));
    ASSERT_EQ(DataSetState::Edit, ds.state());
    EXPECT_EQ(f->DBEdit_Nome, user::focused());
    int mostrado = 0;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        auto* lookup = dynamic_cast<TCad_Municipio*>(&form);
        EXPECT_TRUE(lookup && lookup->ModoSelecao);
        ++mostrado;
        DM_Comuns->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), 999010);
        return int(vorta::ui::mrOk);
    });
    user::alt(QLatin1Char('M'));
    vorta::ui::setModalHook(nullptr);
    user::activate(f);
    EXPECT_EQ(1, mostrado);
    EXPECT_EQ(QStringLiteral("MG"), f->DBEdit_Con_UFEstab->text());
    user::alt(QLatin1Char('G'));
    const QVariantMap r = linha(QStringLiteral("286000008"));
    EXPECT_EQ(QStringLiteral("999010"), r.value(QStringLiteral("Mun_Endereco")));
    EXPECT_EQ(QStringLiteral("999010"), r.value(QStringLiteral("Mun_Propriedade")));
    EXPECT_EQ(QStringLiteral("MG"), r.value(QStringLiteral("Con_UF")));
    EXPECT_EQ(QStringLiteral("MG"), r.value(QStringLiteral("Con_UFEstab")));
}

TEST_F(CadPecuarista, TheSearchFindsByNameOrRegistrationAsTyped)
{
    TCad_Pecuarista* f = abre();
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Contribuinte;
    EXPECT_EQ(f->Edit_Busca, user::focused());
    EXPECT_EQ(1, f->RadioGroup_Contribuinte->itemIndex());
    user::type(QStringLiteral("ze"));
    EXPECT_EQ(QStringLiteral("286000008"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    clicaItem(f->RadioGroup_Contribuinte, 0);
    user::click(f->Edit_Busca);
    f->Edit_Busca->selectAll();
    user::type(QStringLiteral("2812"));
    EXPECT_EQ(QStringLiteral("281234566"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    user::alt(QLatin1Char('R'));
    EXPECT_EQ(QStringLiteral("antes"), CancelaContrib) << "leaving hands over nothing new";
}

TEST_F(CadPecuarista, PicturesOfTheGridAndDetailPages)
{
    TCad_Pecuarista* f = abre();
    const QImage grid = zir_test::fotografa(f, QStringLiteral("T_Cad_Pecuarista"), QStringLiteral("grid"));
    user::alt(QLatin1Char('I'));
    digita(f, 0, QStringLiteral("285000012"), QStringLiteral("JOAO AVILA"), QStringLiteral("R"),
           QStringLiteral("FAZENDA TRES IRMAOS"));
    const QImage detail = zir_test::fotografa(f, QStringLiteral("T_Cad_Pecuarista"), QStringLiteral("detail"));
    EXPECT_NE(grid, detail);
    user::alt(QLatin1Char('C'));
}

TEST(CadPecuaristaPictures, UnderAVirtualXServer)
{
    zir_test::fotografaSobXVirtual(QStringLiteral("CadPecuarista.PicturesOfTheGridAndDetailPages"),
                                   QStringLiteral("T_Cad_Pecuarista"));
}

} // namespace
