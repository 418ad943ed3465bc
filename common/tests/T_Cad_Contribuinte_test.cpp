// The taxpayer register, driven by the keyboard and the mouse as a user works it;
// what it stores is read back from the database.
#include "T_Cad_Contribuinte.h"
#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/ui/Application.h"
#include "testing/LayoutCheck.h"
#include "testing/ScriptedDialogs.h"
#include "testing/Screenshots.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"
#include "testing/VirtualXServer.h"

#include <QCoreApplication>
#include <QGuiApplication>

#include <QDir>
#include <QImage>
#include <QRadioButton>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

using vorta::db::DataSetState;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;
namespace user = vorta::testing::user;

namespace {

void clicaItem(vorta::ui::RadioGroup* grupo, int item)
{
    QWidget* b = grupo->button(item);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(6, b->height() / 2));
    ASSERT_EQ(item, grupo->itemIndex());
}

// Clicks the tab of page p, as the user switches pages.
void clicaAba(vorta::ui::TabSheet* p)
{
    QTabBar* barra = p->pageControl()->tabBar();
    for (int i = 0; i < barra->count(); ++i)
        if (barra->tabText(i) == p->caption())
            QTest::mouseClick(barra, Qt::LeftButton, Qt::NoModifier, barra->tabRect(i).center());
    ASSERT_EQ(p, p->pageControl()->activePage());
}

class CadContribuinte : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_title = vorta::Application::instance()->title();
        vorta::Application::instance()->setTitle(QStringLiteral("Vorta_Mod"));
        m_inst.installDatabase();
        QString mensagens =
            QStringLiteral("DELETE FROM mensagem; INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES (0, 'M0')");
        for (int n : {15, 19, 22, 23, 34, 35, 36, 37, 38, 51, 615, 1408, 1410, 1419})
            mensagens += QStringLiteral(",(%1, 'M%1')").arg(n);
        sql(mensagens);
        sql(QStringLiteral(
            "INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, Con_UF) VALUES"
            " ('286000008', 'ZELIA PRODUTORA', 'FAZENDA BOA ESPERA', 'IE', 1002, 'QX'),"
            " ('281234566', 'BAZAR DO POVO', NULL, 'IE', 1001, 'QX'),"
            " ('11144477735', 'MARIA PESSOA', NULL, 'CPF', 1001, 'QX')"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        if (DM_Comuns->Tb_Contribuinte->active() && DM_Comuns->Tb_Contribuinte->state() != DataSetState::Browse)
            DM_Comuns->Tb_Contribuinte->cancel();
        vorta::Component::free(Cad_Municipio);
        vorta::Component::free(Cad_Contribuinte);
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
        vorta::Application::instance()->setTitle(m_title);
    }
    void sql(const QString& text) { vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), text); }

    TCad_Contribuinte* abre()
    {
        TCad_Contribuinte* f = vorta::createInto<TCad_Contribuinte>(Cad_Contribuinte, vorta::Application::instance());
        f->show();
        user::activate(f);
        return f;
    }
    QString valor(const QString& inscricao, const char* coluna)
    {
        vorta::db::Query q;
        q.setDatabase(DM_Comuns->DB_Comuns);
        q.setSql(QStringLiteral("select * from Contribuinte where Con_IECNPJCPF = :i"));
        q.paramByName(QStringLiteral("i"))->setValue(inscricao);
        q.open();
        return q.isEmpty() ? QStringLiteral("<none>") : q.fieldByName(QString::fromLatin1(coluna))->asString();
    }
    // Types into the focused control and moves on.
    static void campo(QWidget* esperado, const QString& texto)
    {
        QWidget* foco = user::focused();
        EXPECT_EQ(esperado->objectName().toStdString(),
                  foco ? (foco->objectName().isEmpty() && foco->parentWidget() ? foco->parentWidget() : foco)
                             ->objectName()
                             .toStdString()
                       : std::string())
            << (foco ? foco->metaObject()->className() : "none");
        if (!texto.isEmpty())
            user::type(texto);
        user::tab();
    }
    void foto(TCad_Contribuinte* f, const QString& nome)
    {
        const QString pasta = QDir::tempPath() + QStringLiteral("/vorta-contribuinte");
        QDir().mkpath(pasta);
        EXPECT_TRUE(f->grab().toImage().save(pasta + QLatin1Char('/') + nome + QStringLiteral(".png")));
    }

    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
    QString m_title;
};

TEST_F(CadContribuinte, PersonsCompaniesAndOtherRegistrationsAreIncludedByTypingEveryField)
{
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_CEPInicial, Mun_CEPFinal, Mun_UF) "
                       "VALUES (999010, 'UBERLANDIA', '38400000', '38415999', 'MG')"));
    struct Caso {
        const char* nome;
        int item;
        const char* digitado;
        const char* gravada;
        const char* tipo;
        const char* municipio;
        const char* cep;
        const char* mun;
        const char* uf;
    };
    const Caso casos[] = {
        {"CPF", 2, "52998224725", "52998224725", "CPF", "P", "77000100", "1001", "QX"},
        {"CNPJ", 1, "11222333000181", "11222333000181", "CNPJ", "S", "77300100", "1002", "QX"},
        {"other registration", 3, "MG12345", "MG12345", "OI", "U", "38400100", "999010", "MG"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TCad_Contribuinte* f = abre();
        user::alt(QLatin1Char('I'));
        ASSERT_EQ(DataSetState::Insert, DM_Comuns->Tb_Contribuinte->state());
        clicaItem(f->DBRadioGroup_ConTipo, c.item);
        f->DBEdit_Con_IECNPJCPF->setFocus();
        campo(f->DBEdit_Con_IECNPJCPF, QString::fromLatin1(c.digitado));
        // These kinds show only the correspondence page.
        EXPECT_EQ(QStringList{QStringLiteral("Endereço para Correspondência")}, f->PageControl1->visibleTabs());
        EXPECT_FALSE(f->Panel_Endereco->isVisible());
        campo(f->DBEdit2, QStringLiteral("José da Silva"));
        campo(f->DBEdit_DDD, QStringLiteral("63"));
        campo(f->DBEdit14, QStringLiteral("32151234"));
        campo(f->DBEdit1, QStringLiteral("63"));
        campo(f->DBEdit3, QStringLiteral("99998888"));
        campo(f->DBEdit15, QString());
        campo(f->DBEdit16, QString());
        campo(f->DBLookupComboBox1, QStringLiteral("R"));
        campo(f->DBEdit5, QStringLiteral("das Flores"));
        campo(f->DBEdit6, QStringLiteral("10"));
        campo(f->DBEdit7, QStringLiteral("casa"));
        campo(f->DBLookupComboBox_2, QStringLiteral("S"));
        campo(f->DBEdit_Bairro, QStringLiteral("Norte"));
        campo(f->DBLookupComboBox_Municipio, QString::fromLatin1(c.municipio));
        EXPECT_EQ(QString::fromLatin1(c.uf), f->DBEdit_Con_UF->text()) << "the UF comes with the municipality";
        campo(f->DBEdit_CEP, QString::fromLatin1(c.cep));
        campo(f->DBEdit17, QStringLiteral("jose@exemplo.com.br"));
        campo(f->DBEdit4, QStringLiteral("123"));
        foto(f, QStringLiteral("inclusao_") + QString::fromLatin1(c.tipo));
        user::alt(QLatin1Char('G'));
        EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_Contribuinte->state());
        const QString k = QString::fromLatin1(c.gravada);
        EXPECT_EQ(c.tipo, valor(k, "Con_Tipo"));
        EXPECT_EQ("JOSÉ DA SILVA", valor(k, "Con_Nome"));
        EXPECT_EQ("63", valor(k, "Con_DDDFone"));
        EXPECT_EQ("32151234", valor(k, "Con_Fone"));
        EXPECT_EQ("99998888", valor(k, "Con_Fone2"));
        EXPECT_EQ("R", valor(k, "TipLog_Codigo"));
        EXPECT_EQ("DAS FLORES", valor(k, "Con_Logradouro"));
        EXPECT_EQ("10", valor(k, "Con_Numero"));
        EXPECT_EQ("CASA", valor(k, "Con_Complemento"));
        EXPECT_EQ("SET", valor(k, "TipBai_Codigo"));
        EXPECT_EQ("NORTE", valor(k, "Con_Bairro"));
        EXPECT_EQ(c.mun, valor(k, "Mun_Endereco"));
        EXPECT_EQ(c.uf, valor(k, "Con_UF"));
        EXPECT_EQ(c.cep, valor(k, "Con_CEP"));
        EXPECT_EQ("jose@exemplo.com.br", valor(k, "Con_Email"));
        EXPECT_EQ("123", valor(k, "Con_CxPostal"));
        EXPECT_EQ(k, CancelaContrib);
        EXPECT_TRUE(f->DBEdit_Con_IECNPJCPF->FieldControl::readOnly()) << "browsing again";
        vorta::Component::free(f);
    }
}

TEST_F(CadContribuinte, AnEstablishmentIsIncludedOnItsOwnPages)
{
    TCad_Contribuinte* f = abre();
    user::alt(QLatin1Char('I'));
    f->DBEdit_Con_IECNPJCPF->setFocus();
    campo(f->DBEdit_Con_IECNPJCPF, QStringLiteral("281111111"));
    EXPECT_EQ(f->TBSEstabelecimento, f->PageControl1->activePage());
    campo(f->DBEdit2, QStringLiteral("Loja Nova"));
    campo(f->DBEdit_Con_NomePropr, QStringLiteral("Loja"));
    campo(f->DBEdit21, QStringLiteral("11222333000181"));
    campo(f->DBEdit_Con_NIRE, QString());
    campo(f->DBEdit_DDD, QStringLiteral("63"));
    campo(f->DBEdit14, QStringLiteral("32151234"));
    f->DBLookupComboBox3->setFocus();
    campo(f->DBLookupComboBox3, QStringLiteral("A"));
    campo(f->DBEdit8, QStringLiteral("Central"));
    campo(f->DBEdit9, QStringLiteral("100"));
    campo(f->DBEdit10, QString());
    campo(f->DBLookupComboBox7, QStringLiteral("B"));
    campo(f->DBEdit11, QStringLiteral("Norte"));
    // A municipality of a single CEP fills it and takes its edit away.
    campo(f->lkMun_Propriedade, QStringLiteral("R"));
    EXPECT_EQ(QStringLiteral("77400000"), DM_Comuns->Tb_Contribuinte->fieldByName(QStringLiteral("Con_CEPEstab"))->asString());
    EXPECT_FALSE(f->DBEdit_CepEstab->isEnabled());
    foto(f, QStringLiteral("inclusao_IE"));
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_Contribuinte->state());
    const QString k = QStringLiteral("281111111");
    EXPECT_EQ("IE", valor(k, "Con_Tipo"));
    EXPECT_EQ("LOJA NOVA", valor(k, "Con_Nome"));
    EXPECT_EQ("LOJA", valor(k, "Con_NomePropr"));
    EXPECT_EQ("11222333000181", valor(k, "End_CPF"));
    EXPECT_EQ("CNPJ", valor(k, "Con_TipoCPFCNPJ"));
    EXPECT_EQ("AL", valor(k, "TipLog_CodigoEstab"));
    EXPECT_EQ("CENTRAL", valor(k, "Con_LogradouroEstab"));
    EXPECT_EQ("1004", valor(k, "Mun_Propriedade"));
    EXPECT_EQ("QX", valor(k, "Con_UFEstab"));
    EXPECT_EQ("77400000", valor(k, "Con_CEPEstab"));
}

TEST_F(CadContribuinte, PanelsAndTabsFollowTheKindOfTheRow)
{
    struct Caso {
        const char* inscricao;
        QStringList abas;
        bool cpfCnpj, nire, respLegal;
    };
    const Caso casos[] = {
        {"286000008",
         {QStringLiteral("Endereço para Correspondência"),
          QStringLiteral("Endereço do Estabelecimento / Dados da Propriedade"), QStringLiteral("Responsáveis")},
         true, false, false},
        {"281234566",
         {QStringLiteral("Endereço do Estabelecimento / Dados da Propriedade"), QStringLiteral("Especificações"),
          QStringLiteral("Responsáveis")},
         false, true, true},
        {"11144477735", {QStringLiteral("Endereço para Correspondência")}, false, false, false},
    };
    TCad_Contribuinte* f = abre();
    clicaItem(f->RadioGroup_Contribuinte, 0);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.inscricao);
        f->Edit_Busca->setFocus();
        user::key(Qt::Key_End);
        for (int i = 0; i < 12; ++i)
            user::key(Qt::Key_Backspace);
        user::type(QString::fromLatin1(c.inscricao));
        ASSERT_EQ(QString::fromLatin1(c.inscricao),
                  DM_Comuns->Tb_Contribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
        user::click(f->btConsultaSimples);
        EXPECT_EQ(c.abas, f->PageControl1->visibleTabs());
        EXPECT_EQ(c.cpfCnpj, f->DBRadioGroup1->isVisible());
        EXPECT_EQ(c.nire, f->DBEdit_Con_NIRE->isVisible());
        EXPECT_EQ(c.respLegal, f->LK_RespEmpresa->isVisibleTo(f->tbSResponsavel));
        foto(f, QStringLiteral("detalhe_") + QString::fromLatin1(c.inscricao));
        user::click(f->btConsultaGrid);
    }
}

TEST_F(CadContribuinte, RefusedSaveShowsThePageAndFieldOfTheRule)
{
    TCad_Contribuinte* f = abre();
    user::alt(QLatin1Char('I'));
    f->DBEdit_Con_IECNPJCPF->setFocus();
    campo(f->DBEdit_Con_IECNPJCPF, QStringLiteral("281111111"));
    campo(f->DBEdit2, QStringLiteral("LOJA NOVA"));
    f->PageControl1->setActivePage(f->TbSEspecificacao);
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("615 - M615"), 1);
        user::alt(QLatin1Char('G'));
    }
    EXPECT_EQ(DataSetState::Insert, DM_Comuns->Tb_Contribuinte->state());
    EXPECT_EQ(f->TBSEstabelecimento, f->PageControl1->activePage());
    EXPECT_EQ(f->lkMun_Propriedade, user::focused());
    user::type(QStringLiteral("S"));
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_Contribuinte->state());
    EXPECT_EQ("1002", valor(QStringLiteral("281111111"), "Mun_Propriedade"));
}

TEST_F(CadContribuinte, AnExistingRegistrationIsOpenedOrLeftAfterTheQuestion)
{
    for (const bool sim : {false, true}) {
        SCOPED_TRACE(sim);
        TCad_Contribuinte* f = abre();
        user::alt(QLatin1Char('I'));
        f->DBEdit_Con_IECNPJCPF->setFocus();
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1419 - M1419"),
                                  sim ? vorta::ui::mrYes : vorta::ui::mrNo);
            user::type(QStringLiteral("281234566"));
            user::tab();
        }
        EXPECT_EQ(sim ? DataSetState::Edit : DataSetState::Browse, DM_Comuns->Tb_Contribuinte->state());
        EXPECT_EQ("281234566", DM_Comuns->Tb_Contribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
        EXPECT_TRUE(f->DBEdit_Con_IECNPJCPF->FieldControl::readOnly());
        if (sim)
            user::alt(QLatin1Char('C'));
        vorta::Component::free(f);
    }
}

TEST_F(CadContribuinte, ModesAdmitTheirOwnRangeOfStateRegistrations)
{
    sql(QStringLiteral("INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES (476, 'M476'), (579, 'M579')"));
    struct Caso {
        bool produtor;
        const char* caption;
        const char* recusada;
        int mensagem;
    };
    for (const Caso& c : {Caso{true, "Cadastro de Produtor", "281111111", 476},
                          Caso{false, "Cadastro de Contribuinte", "286000000", 579}}) {
        SCOPED_TRACE(c.caption);
        TCad_Contribuinte* f =
            vorta::createInto<TCad_Contribuinte>(Cad_Contribuinte, vorta::Application::instance());
        f->ModoProdutor = c.produtor;
        f->ModoContribuinte = !c.produtor;
        f->show();
        user::activate(f);
        EXPECT_EQ(QString::fromUtf8(c.caption), f->caption());
        EXPECT_EQ(QStringList{QStringLiteral("Insc. Estadual")}, f->DBRadioGroup_ConTipo->items());
        user::alt(QLatin1Char('I'));
        f->DBEdit_Con_IECNPJCPF->setFocus();
        user::type(QString::fromLatin1(c.recusada));
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Error, QStringLiteral("%1 - M%1").arg(c.mensagem), 1);
            user::alt(QLatin1Char('G'));
        }
        EXPECT_EQ(DataSetState::Insert, DM_Comuns->Tb_Contribuinte->state());
        EXPECT_EQ(f->DBEdit_Con_IECNPJCPF, user::focused());
        user::alt(QLatin1Char('C'));
        vorta::Component::free(f);
    }
}

TEST_F(CadContribuinte, ResellerRegisterIsReduced)
{
    TCad_Contribuinte* f = vorta::createInto<TCad_Contribuinte>(Cad_Contribuinte, vorta::Application::instance());
    f->ModoRevenda = true;
    f->show();
    user::activate(f);
    EXPECT_EQ(QStringLiteral("Cadastro de Revenda"), f->caption());
    EXPECT_TRUE(f->DBCheckBox_CTs_RevendaEmissora->isVisibleTo(f->pagina1));
    int visiveis = 0;
    for (const vorta::ui::GridColumn& c : f->DBGrid->columns())
        visiveis += c.visible ? 1 : 0;
    EXPECT_EQ(3, visiveis);
    EXPECT_EQ(QStringLiteral("Nome Fantasia"), f->DBGrid->columns().at(2).title);
    user::alt(QLatin1Char('I'));
    f->DBEdit_Con_IECNPJCPF->setFocus();
    user::type(QStringLiteral("281111111"));
    user::tab();
    EXPECT_FALSE(f->PageControl1->isVisible());
    EXPECT_FALSE(f->Panel_Fones->isVisible());
    EXPECT_TRUE(DM_Comuns->ModoRevenda) << "the rules read the mode";
    user::alt(QLatin1Char('C'));
}

// Every visible control lies inside its container and none covers another.
void confereLayout(QWidget* container)
{
    QList<QWidget*> controles;
    for (QWidget* w : container->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisibleTo(container) && !w->objectName().isEmpty())
            controles << w;
    for (QWidget* w : controles) {
        EXPECT_TRUE(container->rect().contains(w->geometry()))
            << container->objectName().toStdString() << ": " << w->objectName().toStdString();
        for (QWidget* o : controles) {
            if (o != w) {
                EXPECT_FALSE(w->geometry().intersects(o->geometry()))
                    << w->objectName().toStdString() << " / " << o->objectName().toStdString();
            }
        }
    }
}

TEST_F(CadContribuinte, RuralProducerRegisterPutsThePropertyFirst)
{
    // A program of the suite other than the base module: the common checks only.
    vorta::Application::instance()->setTitle(QStringLiteral("WOP"));
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_CEPInicial, Mun_CEPFinal, Mun_UF) "
                       "VALUES (999010, 'UBERLANDIA', '38400000', '38415999', 'MG')"));
    TCad_Contribuinte* f = vorta::createInto<TCad_Contribuinte>(Cad_Contribuinte, vorta::Application::instance());
    f->ModoProdutorRural = true;
    f->show();
    user::activate(f);
    EXPECT_EQ(QStringLiteral("Cadastro de Produtor"), f->caption());
    EXPECT_EQ(QStringLiteral("IE Produtor Rural"), f->Label3->text());
    EXPECT_EQ(QStringLiteral("Complemento/Via de acesso à Propriedade"), f->Label_ComplEstab->text());
    // The property's municipality above its access route, at the top of the page.
    EXPECT_EQ(23, f->LabelMun_Codigo->y());
    EXPECT_EQ(38, f->lkMun_Propriedade->y());
    EXPECT_EQ(64, f->Label_ComplEstab->y());
    EXPECT_EQ(78, f->DBEdit10->y());
    EXPECT_LT(f->lkMun_Propriedade->geometry().bottom(), f->Label_ComplEstab->y());

    user::alt(QLatin1Char('I'));
    f->DBEdit_Con_IECNPJCPF->setFocus();
    // Outside the rural range the property may lie in any state.
    user::type(QStringLiteral("281111111"));
    user::tab();
    EXPECT_EQ(QString(), DM_Comuns->Tb_MunicipioPro->filter());
    f->DBEdit_Con_IECNPJCPF->FieldControl::setReadOnly(false);
    f->DBEdit_Con_IECNPJCPF->setFocus();
    user::key(Qt::Key_End);
    for (int i = 0; i < 12; ++i)
        user::key(Qt::Key_Backspace);
    campo(f->DBEdit_Con_IECNPJCPF, QStringLiteral("286100002"));
    EXPECT_EQ(QStringLiteral("Mun_UF = 'QX'"), DM_Comuns->Tb_MunicipioPro->filter()) << "home-state municipalities";
    EXPECT_EQ(f->TBSCorrespondencia, f->PageControl1->activePage());
    EXPECT_EQ((QStringList{QStringLiteral("Endereço para Correspondência"),
                           QStringLiteral("Endereço do Estabelecimento / Dados da Propriedade")}),
              f->PageControl1->visibleTabs());
    EXPECT_FALSE(f->lkAge_Codigo->isVisibleTo(f->TBSEstabelecimento));
    EXPECT_FALSE(f->btMunicipioEstab->isVisibleTo(f->TBSEstabelecimento));
    campo(f->DBEdit2, QStringLiteral("Joao do Campo"));
    campo(f->DBEdit_Con_NomePropr, QStringLiteral("Sitio Boa Vista"));

    // On the property's page the municipality is typed first, then the access route.
    clicaAba(f->TBSEstabelecimento);
    f->DBEdit16->setFocus();
    user::tab();
    campo(f->lkMun_Propriedade, QStringLiteral("R"));
    campo(f->DBEdit10, QStringLiteral("Estrada do Rio km 5"));
    campo(f->DBLookupComboBox3, QString());
    EXPECT_EQ("", vorta::testing::layoutOffenders(f).join(QLatin1Char('\n')).toStdString());
    confereLayout(f->TBSEstabelecimento);
    foto(f, QStringLiteral("produtor_rural"));
    EXPECT_TRUE(f->grab().toImage().save(vorta::testing::screenshotFolder()
                                         + QStringLiteral("/T_Cad_Contribuinte_ProdutorRural%1.png")
                                               .arg(vorta::testing::screenshotSuffix())));
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_Contribuinte->state());
    const QString k = QStringLiteral("286100002");
    EXPECT_EQ("JOAO DO CAMPO", valor(k, "Con_Nome"));
    EXPECT_EQ("SITIO BOA VISTA", valor(k, "Con_NomePropr"));
    EXPECT_EQ("1004", valor(k, "Mun_Propriedade"));
    EXPECT_EQ("77400000", valor(k, "Con_CEPEstab"));
    EXPECT_EQ("ESTRADA DO RIO KM 5", valor(k, "Con_ComplementoEstab"));
}

TEST_F(CadContribuinte, ResellerOpenedOnANewRowUnderTheCTsTitle)
{
    vorta::Application::instance()->setTitle(QStringLiteral("CTs"));
    struct Caso {
        const char* nome;
        bool vazia;
        const char* inscricao;
        const char* mostrada;
        const char* emissora;
    };
    // The first reseller registered is the one that issues the documents.
    for (const Caso& c : {Caso{"no taxpayer yet", true, "281111111", "28.111.111-1", "True"},
                          Caso{"taxpayers there", false, "282222227", "28.222.222-7", "False"}}) {
        SCOPED_TRACE(c.nome);
        if (c.vazia)
            sql(QStringLiteral("DELETE FROM Contribuinte"));
        else
            sql(QStringLiteral("INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_Tipo) "
                               "VALUES ('281234566', 'BAZAR DO POVO', 'IE')"));
        DM_Comuns->InscricaoPadrao = QString::fromLatin1(c.inscricao);
        TCad_Contribuinte* f =
            vorta::createInto<TCad_Contribuinte>(Cad_Contribuinte, vorta::Application::instance());
        f->ModoRevenda = true;
        f->ModoInclusao = true;
        f->show();
        user::activate(f);
        ASSERT_EQ(DataSetState::Insert, DM_Comuns->Tb_Contribuinte->state());
        EXPECT_EQ(QString::fromLatin1(c.mostrada), f->DBEdit_Con_IECNPJCPF->text());
        EXPECT_EQ(c.vazia, f->DBCheckBox_CTs_RevendaEmissora->isChecked());
        EXPECT_EQ(f->DBEdit_Con_IECNPJCPF, user::focused());
        user::tab();
        campo(f->DBEdit2, QStringLiteral("Revenda Central"));
        campo(f->DBEdit_Con_NomePropr, QStringLiteral("Central"));
        // The reduced form: the CNPJ and its kind, no phones, no address pages.
        EXPECT_FALSE(f->PageControl1->isVisible());
        EXPECT_FALSE(f->Panel_Fones->isVisible());
        EXPECT_TRUE(f->DBRadioGroup1->isVisible());
        EXPECT_FALSE(f->DBRadioGroup1->isEnabled());
        EXPECT_FALSE(f->DBEdit_Con_NumeroCPR->isVisible());
        EXPECT_FALSE(f->DBEdit_Con_NIRE->isVisible());
        EXPECT_EQ(52, f->GroupBox1->height());
        EXPECT_EQ(QStringLiteral("CNPJ"), f->Label_CPFCNPJ->text());
        EXPECT_EQ(400, f->height());
        EXPECT_EQ("", vorta::testing::layoutOffenders(f).join(QLatin1Char('\n')).toStdString());
        for (QWidget* w : {static_cast<QWidget*>(f->pagina1), static_cast<QWidget*>(f->GroupBox1),
                           static_cast<QWidget*>(f->Panel_Endereco)})
            confereLayout(w);
        foto(f, QStringLiteral("revenda_") + QLatin1String(c.vazia ? "primeira" : "seguinte"));
        if (c.vazia) {
            EXPECT_TRUE(f->grab().toImage().save(vorta::testing::screenshotFolder()
                                                 + QStringLiteral("/T_Cad_Contribuinte_Revenda%1.png")
                                                       .arg(vorta::testing::screenshotSuffix())));
        }
        campo(f->DBCheckBox_CTs_RevendaEmissora, QString());
        EXPECT_EQ(f->DBEdit21, user::focused());
        user::type(QStringLiteral("11222333000181"));
        user::alt(QLatin1Char('G'));
        EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_Contribuinte->state());
        const QString k = QString::fromLatin1(c.inscricao);
        EXPECT_EQ("REVENDA CENTRAL", valor(k, "Con_Nome"));
        EXPECT_EQ("11222333000181", valor(k, "End_CPF"));
        EXPECT_EQ(c.emissora, valor(k, "CTs_RevendaEmissora"));
        EXPECT_EQ(k, CancelaContrib);
        vorta::Component::free(f);
    }
}

TEST_F(CadContribuinte, PicturesOfEachKind)
{
    TCad_Contribuinte* f = abre();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QString suffix = QGuiApplication::platformName() == QLatin1String("offscreen")
                               ? QString()
                               : QLatin1Char('_') + QGuiApplication::platformName();
    clicaItem(f->RadioGroup_Contribuinte, 0);
    for (const char* inscricao : {"286000008", "281234566", "11144477735"}) {
        SCOPED_TRACE(inscricao);
        f->Edit_Busca->setFocus();
        user::key(Qt::Key_End);
        for (int i = 0; i < 12; ++i)
            user::key(Qt::Key_Backspace);
        user::type(QString::fromLatin1(inscricao));
        user::click(f->btConsultaSimples);
        for (vorta::ui::TabSheet* p : {f->TBSCorrespondencia, f->TBSEstabelecimento, f->TbSEspecificacao,
                                       f->tbSResponsavel}) {
            if (!p->tabVisible())
                continue;
            f->PageControl1->setActivePage(p);
            EXPECT_TRUE(f->grab().toImage().save(
                folder + QStringLiteral("/T_Cad_Contribuinte_%1_%2%3.png").arg(QString::fromLatin1(inscricao), p->objectName(), suffix)));
            confereLayout(p);
            EXPECT_EQ("", vorta::testing::layoutOffenders(f).join(QLatin1Char('\n')).toStdString());
        }
        for (QWidget* c : {static_cast<QWidget*>(f->pagina1), static_cast<QWidget*>(f->GroupBox1),
                           static_cast<QWidget*>(f->Panel_Endereco), static_cast<QWidget*>(f->Panel_Fones)})
            confereLayout(c);
        user::click(f->btConsultaGrid);
    }
}

TEST(CadContribuintePictures, UnderAVirtualXServer)
{
    if (vorta::testing::onRealWindowSystem())
        GTEST_SKIP() << "already the run under the X server";
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    const QStringList pictures{folder + QStringLiteral("/T_Cad_Contribuinte_286000008_TBSEstabelecimento_xcb.png"),
                               folder + QStringLiteral("/T_Cad_Contribuinte_281234566_TbSEspecificacao_xcb.png"),
                               folder + QStringLiteral("/T_Cad_Contribuinte_11144477735_TBSCorrespondencia_xcb.png"),
                               folder + QStringLiteral("/T_Cad_Contribuinte_ProdutorRural_xcb.png"),
                               folder + QStringLiteral("/T_Cad_Contribuinte_Revenda_xcb.png")};
    const vorta::testing::VirtualXRun run = vorta::testing::rerunUnderVirtualXServer(
        QStringLiteral("CadContribuinte.PicturesOfEachKind:CadContribuinte.RuralProducerRegisterPutsThePropertyFirst:"
                       "CadContribuinte.ResellerOpenedOnANewRowUnderTheCTsTitle"),
        pictures);
    if (!run.available)
        GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_TRUE(run.finished) << "the run under the X server did not end";
    ASSERT_EQ(0, run.exitCode) << run.output.toStdString();
    for (const QString& p : pictures)
        EXPECT_FALSE(QImage(p).isNull()) << p.toStdString();
}

} // namespace
