// The movement window driven by keys and clicks: the registration's checks, a new
// declarant typed with both addresses, the lookups, the taxpayer pick list, the save's
// failures, the summary with its producer filter, and the read-only opening.
#include "MovimentoTestSupport.h"
#include "T_Cad_Contabilista.h"
#include "T_Cad_Municipio.h"
#include "T_Cad_RespnsavelLegal.h"
#include "T_Sel_Contribuinte.h"
#include "UMovimento.h"

#include "platform/db/Field.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QTemporaryDir>

using namespace zir_test;
namespace user = vorta::testing::user;
using vorta::ui::MessageKind;

namespace {
const QString kNovo = valida("28300000");

QString digitoErrado(const QString& ie)
{
    return ie.left(8) + QString::number((ie.right(1).toInt() + 1) % 10);
}
} // namespace

class CadMovimentoTest : public MovimentoFixture {
protected:
    void SetUp() override
    {
        MovimentoFixture::SetUp();
        if (HasFatalFailure())
            return;
        exec("insert or replace into mensagem (Men_Codigo, Men_Descricao) values (33, 'M33')");
    }
    int movimentos() { return count(QStringLiteral("select count(*) from qel_movimento")); }
    QString decl(const char* campo, const QString& ie = kNovo)
    {
        return coluna(QStringLiteral("Contribuinte"), QString::fromLatin1(campo), QStringLiteral("Con_IECNPJCPF"), ie);
    }
    // From the year: year, month and the type left normal, on to the company name.
    void anoMes(TCadMovimento* cad, const char* ano, const char* mes)
    {
        EXPECT_EQ(user::focused(), cad->DBEdit_Ano);
        user::type(QString::fromLatin1(ano));
        user::tab();
        user::type(QString::fromLatin1(mes));
        user::tab(2);
        EXPECT_EQ(user::focused(), cad->DBEdit_Con_Nome);
    }
};

TEST_F(CadMovimentoTest, EachBadRegistrationIsRefusedAndTheEditKeepsTheFocus)
{
    const int antes = movimentos();
    struct Caso {
        QString texto;
        int mensagem;
    } casos[] = {{QStringLiteral("28123456"), 54},      {QStringLiteral("285000001"), 579},
                 {QStringLiteral("271234567"), 579},    {QStringLiteral("28A234567"), 54},
                 {digitoErrado(kDecl), 54},             {QStringLiteral("2812345678"), 54}};
    naLista(QLatin1Char('n'), [&](TCadMovimento* cad) {
        cad->PageControlEndereco->setActivePage(cad->TabSheetCorrespondencia);
        for (const Caso& c : casos) {
            SCOPED_TRACE(c.texto.toStdString());
            dialogs.expectMessage(MessageKind::Error, QStringLiteral("%1 - M%1").arg(c.mensagem), 1);
            user::type(c.texto); // the refusal left the text selected: typing replaces it
            user::tab();
            QApplication::processEvents();
            EXPECT_TRUE(dialogs.allAnswered());
            EXPECT_EQ(user::focused(), cad->DBEdit_Con_IECNPJCPF);
            EXPECT_EQ(cad->DBEdit_Con_IECNPJCPF->selectedText(), c.texto);
            EXPECT_EQ(cad->PageControlEndereco->activePage(), cad->TabSheetEstabelecimento);
            EXPECT_FALSE(cad->btContabilista->isEnabled());
        }
        // An unknown registration not created: the edit is emptied.
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("98 - M98"), 7);
        user::type(kNovo);
        user::tab();
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_EQ(user::focused(), cad->DBEdit_Con_IECNPJCPF);
        EXPECT_TRUE(cad->DBEdit_Con_IECNPJCPF->text().isEmpty());
        user::alt(QLatin1Char('c'));
    });
    EXPECT_EQ(janelas, 1);
    EXPECT_EQ(movimentos(), antes);
    EXPECT_TRUE(decl("Con_Tipo").isEmpty());
    EXPECT_FALSE(dm->dbMTC->inTransaction());
}

TEST_F(CadMovimentoTest, ANewDeclarantIsTypedWithBothAddressesAndReadBack)
{
    naLista(QLatin1Char('n'), [&](TCadMovimento* cad) {
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("98 - M98"), 6);
        user::type(kNovo);
        user::tab();
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_TRUE(cad->btContabilista->isEnabled());
        EXPECT_TRUE(cad->btMuncipio->isEnabled());
        anoMes(cad, "2027", "1");
        for (const char* texto : {"Frigorifico Novo", "Novo", "11222333000181", "12345", "777", "Ciclano", "63",
                                  "32150000"}) {
            user::type(QString::fromUtf8(texto));
            user::enter(); // Enter moves on as Tab does
        }
        user::tab(4);
        EXPECT_EQ(user::focused(), cad->DBLookupComboBox_Contabilista);
        user::tab(2);
        // The establishment: street type by its first letters, the municipality with a
        // range of CEPs leaves the CEP to be typed.
        EXPECT_EQ(user::focused(), cad->DBLookupComboBox_TipLogEstab);
        user::type(QStringLiteral("RUA"));
        user::tab();
        user::type(QStringLiteral("Principal"));
        user::tab();
        user::type(QStringLiteral("100"));
        user::tab(2);
        user::type(QStringLiteral("CEN"));
        user::tab();
        user::type(QStringLiteral("Centro"));
        user::tab();
        EXPECT_EQ(user::focused(), cad->DBLookupComboBox4);
        user::type(QStringLiteral("P"));
        EXPECT_EQ(cad->DBEdit_Con_UFEstab->text(), QStringLiteral("TO"));
        EXPECT_TRUE(cad->DBEdit_Con_CEPEstab->isEnabled());
        user::tab();
        EXPECT_EQ(user::focused(), cad->DBEdit_Con_CEPEstab);
        user::type(QStringLiteral("77000500"));
        // The correspondence: a municipality with one CEP fills and locks it.
        clicaAba(cad->PageControlEndereco, cad->TabSheetCorrespondencia);
        user::clickAndType(cad->DBEdit_Con_Logradouro, QStringLiteral("Rua Dois"));
        user::tab(4);
        user::type(QStringLiteral("Vila"));
        user::tab();
        EXPECT_EQ(user::focused(), cad->DBLookupComboBox3);
        user::type(QStringLiteral("U"));
        EXPECT_EQ(cad->DBEdit_Con_UF->text(), QStringLiteral("GO"));
        EXPECT_EQ(cad->DBEdit_Con_CEP->text(), QStringLiteral("75500000"));
        EXPECT_FALSE(cad->DBEdit_Con_CEP->isEnabled());
        cad->grab().save(vorta::testing::screenshotFolder() + QStringLiteral("/zir_cadmovimento_correspondencia.png"));
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1688 - M1688"), 7);
        user::alt(QLatin1Char('g'));
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_FALSE(cad->PanelContribuinte->isEnabled());
        EXPECT_TRUE(cad->BtAlterar->isEnabled());
        EXPECT_TRUE(cad->TabSheetLeitura->tabVisible());
    });
    const std::pair<const char*, const char*> esperado[] = {
        {"Con_Tipo", "IE"},          {"Con_Nome", "Frigorifico Novo"}, {"Con_NomePropr", "Novo"},
        {"End_CPF", "11222333000181"}, {"Con_NIRE", "12345"},         {"Con_DDDFone", "63"},
        {"Con_Fone", "32150000"},    {"TipLog_CodigoEstab", "R"},      {"Con_LogradouroEstab", "Principal"},
        {"Con_NumeroEstab", "100"},  {"Tip_Bai_CodigoEstab", "CEN"},   {"Con_BairroEstab", "Centro"},
        {"Mun_Propriedade", "1"},    {"Con_UFEstab", "TO"},            {"Con_CEPEstab", "77000500"},
        {"Con_Logradouro", "Rua Dois"}, {"Con_Bairro", "Vila"},        {"Mun_Endereco", "3"},
        {"Con_UF", "GO"},            {"Con_CEP", "75500000"}};
    for (const auto& [campo, valor] : esperado)
        EXPECT_EQ(decl(campo), QString::fromUtf8(valor)) << campo;
    EXPECT_EQ(coluna(QStringLiteral("Qel_Contribuinte_Complemento"), QStringLiteral("cco_num_sif"),
                     QStringLiteral("con_iecnpjcpf"), kNovo),
              QStringLiteral("777"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where con_iecnpjcpf = ?1 and "
                                   "mov_ano_referencia = 2027 and mov_mes_referencia = 1 and mov_tipo = 'N' and "
                                   "mov_responsavel = 'Ciclano' and mov_situacao = '?'"),
                    {kNovo}),
              1);
    EXPECT_TRUE(mapasAbertos.isEmpty());
}

TEST_F(CadMovimentoTest, AnEmptyRegistrationIsChosenFromTheTaxpayerList)
{
    exec("update Contribuinte set Con_Nome = 'FRIGO DOIS' where Con_IECNPJCPF = ?1", {kDecl2});
    int listas = 0;
    bool escolhe = false;
    outroModal = [&](vorta::ui::Form& f) {
        ++listas;
        auto* sel = dynamic_cast<TSel_Contribuinte*>(&f);
        EXPECT_TRUE(sel);
        if (!sel)
            return int(vorta::ui::mrCancel);
        // Only state registrations below the producers' range are offered.
        vorta::db::DataSet* ds = sel->DBGrid->dataSource()->dataSet();
        EXPECT_EQ(ds->recordCount(), 4);
        EXPECT_FALSE(ds->locate(QStringLiteral("Con_IECNPJCPF"), kPecuarista));
        sel->grab().save(vorta::testing::screenshotFolder() + QStringLiteral("/zir_cadmovimento_selcontribuinte.png"));
        if (escolhe) {
            user::type(QStringLiteral("FRIGO D"));
            user::enter();
        } else {
            user::alt(QLatin1Char('c'));
        }
        return int(vorta::ui::mrNone);
    };
    naLista(QLatin1Char('n'), [&](TCadMovimento* cad) {
        user::tab();
        EXPECT_EQ(listas, 1);
        user::activate(cad);
        EXPECT_EQ(user::focused(), cad->DBEdit_Con_IECNPJCPF);
        EXPECT_TRUE(dm->TblMTC->fieldByName(QStringLiteral("con_iecnpjcpf"))->asString().isEmpty());
        EXPECT_FALSE(cad->btContabilista->isEnabled());
        escolhe = true;
        user::tab();
        EXPECT_EQ(listas, 2);
        user::activate(cad);
        EXPECT_EQ(dm->TblMTC->fieldByName(QStringLiteral("con_iecnpjcpf"))->asString(), kDecl2);
        EXPECT_EQ(cad->DBEdit_Con_Nome->text(), QStringLiteral("FRIGO DOIS"));
        EXPECT_EQ(dm->TblContribuinteMTC->state(), vorta::db::DataSetState::Edit);
        EXPECT_TRUE(cad->btContabilista->isEnabled());
        user::alt(QLatin1Char('c'));
    });
    EXPECT_EQ(listas, 2);
}

// A database failure while saving rolls everything back, shows 33 and leaves the
// window in a transaction of its own, so the user can save again.
TEST_F(CadMovimentoTest, AFailedSaveShows33AndTheNextSaveStores)
{
    exec("create trigger falha before insert on qel_movimento begin select raise(abort, 'disco cheio'); end");
    naLista(QLatin1Char('n'), [&](TCadMovimento* cad) {
        user::type(kDecl);
        user::tab();
        anoMes(cad, "2027", "1");
        user::key(Qt::Key_A, Qt::ControlModifier);
        user::type(QStringLiteral("Outro Nome"));
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("33 - M33"), 1);
        user::alt(QLatin1Char('g'));
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_TRUE(dm->dbMTC->inTransaction());
        EXPECT_EQ(decl("Con_Nome", kDecl), QStringLiteral("Frigorifico"));
        EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where mov_ano_referencia = 2027")), 0);
        EXPECT_TRUE(cad->btGravar->isEnabled());

        exec("drop trigger falha");
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1688 - M1688"), 7);
        user::alt(QLatin1Char('g'));
        EXPECT_TRUE(dialogs.allAnswered());
    });
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where mov_ano_referencia = 2027 and "
                                   "con_iecnpjcpf = ?1"),
                    {kDecl}),
              1);
    EXPECT_EQ(decl("Con_Nome", kDecl), QStringLiteral("Outro Nome"));
}

// A window whose declarant table another opener left closed reaches the registration
// check: 34 rolls back and the window goes on in a new transaction.
TEST_F(CadMovimentoTest, ASaveWithoutRegistrationShows34AndStartsANewTransaction)
{
    const int antes = movimentos();
    auto* cad = vorta::createInto<TCadMovimento>(CadMovimento, vorta::Application::instance());
    dm->TblContribuinteMTC->close();
    dm->TblMTC->open();
    dm->TblMTC->insert();
    cad->HabilitaPaineis(true);
    cad->DBEdit_Ano->setEnabled(true);
    cad->DBEdit_Mes->setEnabled(true);
    cad->DBEdit_Con_IECNPJCPF->setEnabled(false);
    cad->show();
    user::activate(cad);
    ASSERT_TRUE(dm->dbMTC->inTransaction());
    user::clickAndType(cad->DBEdit_Ano, QStringLiteral("2027"));
    user::tab();
    user::type(QStringLiteral("1"));
    dialogs.expectMessage(MessageKind::Error, QStringLiteral("34 - M34"), 1);
    user::alt(QLatin1Char('g'));
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_TRUE(dm->dbMTC->inTransaction());
    EXPECT_EQ(dm->TblMTC->state(), vorta::db::DataSetState::Browse);
    user::alt(QLatin1Char('c'));
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(movimentos(), antes);
    vorta::Component::free(CadMovimento.get());
}

TEST_F(CadMovimentoTest, TheLookupButtonsFillTheDeclarantBeingAltered)
{
    exec("update qel_movimento set mov_situacao = 'N' where mov_codigo = 1");
    exec("insert into Responsavel (Resp_CPF, Resp_Nome) values ('52998224725', 'Contador Um')");
    exec("insert into RespEmpresa (ResEmp_CPF, ResEmp_Nome) values ('11144477735', 'Diretor Um')");
    QStringList abertos;
    outroModal = [&](vorta::ui::Form& f) {
        abertos << f.objectName();
        auto escolhe = [](TFtemplate* t, vorta::db::DataSet* ds, const char* campo, const QVariant& valor) {
            EXPECT_TRUE(t->ModoSelecao);
            EXPECT_TRUE(ds->locate(QString::fromLatin1(campo), valor));
            t->DBGridDblClick(t->DBGrid);
        };
        if (auto* c = dynamic_cast<TCad_Contabilista*>(&f))
            escolhe(c, DM_Comuns->Tb_Responsavel, "Resp_CPF", QStringLiteral("52998224725"));
        else if (auto* r = dynamic_cast<TCad_RespnsavelLegal*>(&f))
            escolhe(r, DM_Comuns->Tb_RespEmpresa, "ResEmp_CPF", QStringLiteral("11144477735"));
        else if (auto* m = dynamic_cast<TCad_Municipio*>(&f))
            escolhe(m, m->dsBase->dataSet(), "Mun_Codigo", 3);
        return int(vorta::ui::mrNone);
    };
    naLista(QLatin1Char('m'), [&](TCadMovimento* cad) {
        // Opened for change: the register data waits for "Alterar".
        EXPECT_FALSE(cad->PanelContribuinte->isEnabled());
        EXPECT_FALSE(cad->btContabilista->isEnabled());
        EXPECT_FALSE(cad->DBEdit_Con_IECNPJCPF->isEnabled());
        user::click(cad->BtAlterar);
        EXPECT_TRUE(cad->PanelContribuinte->isEnabled());
        EXPECT_FALSE(cad->DBEdit_Ano->isEnabled());
        user::click(cad->btContabilista);
        user::activate(cad);
        EXPECT_EQ(cad->DBLookupComboBox_Contabilista->currentText(), QStringLiteral("Contador Um"));
        EXPECT_EQ(user::focused(), cad->DBLookupComboBox_Contabilista);
        user::alt(QLatin1Char('p'));
        user::activate(cad);
        EXPECT_EQ(cad->DBLookupComboBox_RespEmpresa->currentText(), QStringLiteral("Diretor Um"));
        clicaAba(cad->PageControlEndereco, cad->TabSheetCorrespondencia);
        user::alt(QLatin1Char('m'));
        user::activate(cad);
        EXPECT_EQ(cad->DBLookupComboBox3->currentText(), QStringLiteral("Unico"));
        EXPECT_FALSE(cad->DBEdit_Con_CEP->isEnabled());
        // The context menu of a municipality list applies the rule of the municipality
        // it shows: one CEP stays filled and locked, a range empties and opens the CEP.
        auto menu = [](QWidget* w) {
            QContextMenuEvent e(QContextMenuEvent::Keyboard, QPoint(5, 5), w->mapToGlobal(QPoint(5, 5)));
            QApplication::sendEvent(w, &e);
        };
        menu(cad->DBLookupComboBox3);
        EXPECT_EQ(cad->DBEdit_Con_UF->text(), QStringLiteral("GO"));
        EXPECT_EQ(cad->DBEdit_Con_CEP->text(), QStringLiteral("75500000"));
        EXPECT_FALSE(cad->DBEdit_Con_CEP->isEnabled());
        clicaAba(cad->PageControlEndereco, cad->TabSheetEstabelecimento);
        menu(cad->DBLookupComboBox4);
        EXPECT_TRUE(cad->DBEdit_Con_CEPEstab->text().isEmpty());
        EXPECT_TRUE(cad->DBEdit_Con_CEPEstab->isEnabled());
        EXPECT_EQ(cad->DBEdit_Con_UFEstab->text(), QStringLiteral("TO"));
        user::clickAndType(cad->DBEdit_Con_CEPEstab, QStringLiteral("77000300"));
        user::alt(QLatin1Char('g'));
    });
    EXPECT_EQ(abertos, (QStringList{QStringLiteral("Cad_Contabilista"), QStringLiteral("Cad_RespnsavelLegal"),
                                    QStringLiteral("Cad_Municipio")}));
    EXPECT_EQ(decl("Resp_CPF", kDecl), QStringLiteral("52998224725"));
    EXPECT_EQ(decl("ResEmp_CPF", kDecl), QStringLiteral("11144477735"));
    EXPECT_EQ(decl("Mun_Endereco", kDecl), QStringLiteral("3"));
    EXPECT_EQ(decl("Con_UF", kDecl), QStringLiteral("GO"));
    EXPECT_EQ(decl("Con_CEP", kDecl), QStringLiteral("75500000"));
    EXPECT_EQ(decl("Con_CEPEstab", kDecl), QStringLiteral("77000300"));
    EXPECT_EQ(situacao(1), QStringLiteral("?")); // a changed movement waits for a new validation
    EXPECT_FALSE(dm->dbMTC->inTransaction());
}

TEST_F(CadMovimentoTest, TheSummaryShowsTheDeclarantsMonthAndOneProducersMaps)
{
    // Map 10 is the declarant's, of the raiser; map 11 the declarant's, of another
    // supplier; map 20 another slaughterhouse's.
    exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado, map_num_lote) "
         "values (11, ?1, ?2, ?3, 'F', '01/02')",
         {kDecl, QDateTime(kDia, QTime(0, 0)), kOutroFrigorifico});
    exec("insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, itm_classificado, aca_codigo, "
         "mat_codigo, itm_peso) values (11, 1, 'B', 'S', 3, 'JFD', 200)");
    auto resumo = [&](int mapa, const char* mat, int qtd, double peso, double arr, double repasse, int reprovada) {
        exec("insert into qel_mapas_resumo (map_codigo, mat_codigo, mre_qtd_cabecas, mre_peso_kg, mre_qtd_arroba, "
             "mre_vlr_repasse, mre_qtd_reprovada) values (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
             {mapa, QString::fromLatin1(mat), qtd, peso, arr, repasse, reprovada});
    };
    resumo(10, "JD", 3, 750, 50, 100, 0);
    resumo(10, "J2", 1, 250, 16.67, 20, 1);
    resumo(10, "T4", 0, 0, 0, 0, 2);
    resumo(11, "JFD", 2, 400, 26.67, 60, 0);
    resumo(11, "IF", 0, 0, 0, 0, 1);
    resumo(20, "JD", 5, 1250, 83.33, 500, 4);

    auto mostrado = [](TCadMovimento* cad) {
        QStringList l;
        for (auto* lista : {&cad->Resumo, &cad->ResumoTotais, &cad->NaoClassificados})
            for (vorta::ui::Label* x : *lista)
                l << x->caption();
        return l << cad->LQtdTotal->caption() << cad->LRepasseTotal->caption();
    };
    const QStringList zero4 = {"0", "0,00", "0,00", "0,00"};
    auto linhas = [&](std::initializer_list<QStringList> classes, std::initializer_list<const char*> resto) {
        QStringList l;
        for (const QStringList& c : classes)
            l << c;
        for (const char* r : resto)
            l << QString::fromUtf8(r);
        return l;
    };
    const QStringList jd = {"3", "750,00", "50,00", "100,00"}, j2 = {"1", "250,00", "16,67", "20,00"},
                      jfd = {"2", "400,00", "26,67", "60,00"};
    const QStringList todos = linhas({jd, j2, zero4, zero4, zero4, jfd, zero4, zero4,
                                      {"4", "1.000,00", "66,67", "120,00"}, jfd},
                                     {"0", "1", "0", "2", "0", "0", "3", "0", "0", "1", "0", "1", "6", "180,00"});
    const QStringList doPecuarista = linhas({jd, j2, zero4, zero4, zero4, zero4, zero4, zero4,
                                             {"4", "1.000,00", "66,67", "120,00"}, zero4},
                                            {"0", "1", "0", "2", "0", "0", "3", "0", "0", "0", "0", "0", "4", "120,00"});
    naLista(QLatin1Char('m'), [&](TCadMovimento* cad) {
        clicaAba(cad->PageControlLMC, cad->TabSheetLeitura);
        EXPECT_EQ(mostrado(cad), todos);
        user::clickAndType(cad->dbedit_con_remetente, kPecuarista);
        for (int vez = 0; vez < 2; ++vez) {
            user::click(cad->SpeedButton_Visualizar);
            EXPECT_EQ(cad->dbedit_nome->text(), QStringLiteral("Pecuarista"));
            EXPECT_EQ(mostrado(cad), doPecuarista) << vez;
        }
        cad->grab().save(vorta::testing::screenshotFolder() + QStringLiteral("/zir_cadmovimento_resumo.png"));
        // Another registration empties the name; one nobody has is refused.
        user::clickAndType(cad->dbedit_con_remetente, QStringLiteral("9"));
        EXPECT_TRUE(cad->dbedit_nome->text().isEmpty());
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("1685 - M1685"), 1);
        user::click(cad->SpeedButton_Visualizar);
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_EQ(user::focused(), cad->dbedit_con_remetente);
        EXPECT_EQ(mostrado(cad), doPecuarista);
    });
}

// A generated movement opens by its delivery row: a sent file allows no change; a copied
// or queued one, or none at all, asks, and "Sim" opens it for change.
TEST_F(CadMovimentoTest, AGeneratedMovementOpensByItsDeliveryState)
{
    exec("update qel_movimento set mov_situacao = 'G' where mov_codigo = 1");
    const QString chave = ChaveMovimento(kDecl, 2026, 12, QStringLiteral("N"), 1);
    struct Caso {
        const char* nome;
        const char* copia;
        const char* entrega;
        bool linha;
        MessageKind tipo;
        int mensagem, resposta;
        bool alteravel;
    } casos[] = {
        {"sent", "2026-12-11T10:00:00", "2026-12-12T10:00:00", true, MessageKind::Information, 1496, 1, false},
        {"copied, no", "2026-12-11T10:00:00", nullptr, true, MessageKind::Confirmation, 1497, 7, false},
        {"queued, yes", nullptr, nullptr, true, MessageKind::Confirmation, 1498, 6, true},
        {"no row, yes", nullptr, nullptr, false, MessageKind::Confirmation, 1499, 6, true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        exec("delete from Entrega");
        if (c.linha)
            exec("insert into Entrega (Sistema, Versao, Arquivo, Chave, Data_Copia, Data_Entrega) "
                 "values ('ZIR', '1.0', 'a.zir', ?1, ?2, ?3)",
                 {chave, c.copia ? QVariant(QString::fromLatin1(c.copia)) : QVariant(),
                  c.entrega ? QVariant(QString::fromLatin1(c.entrega)) : QVariant()});
        dialogs.expectMessage(c.tipo, QStringLiteral("%1 - M%1").arg(c.mensagem), c.resposta);
        naLista(QLatin1Char('m'), [&](TCadMovimento* cad) {
            EXPECT_TRUE(dialogs.allAnswered());
            EXPECT_EQ(cad->BtAlterar->isEnabled(), c.alteravel);
            EXPECT_EQ(cad->btVerErros->isEnabled(), c.alteravel);
            EXPECT_EQ(dm->TblMTC->state() == vorta::db::DataSetState::Edit, c.alteravel);
            for (QWidget* w : std::initializer_list<QWidget*>{cad->btGravar, cad->btCancelar,
                                                              cad->DBEdit_Con_IECNPJCPF, cad->PanelContribuinte,
                                                              cad->PanelCorrespondencia})
                EXPECT_FALSE(w->isEnabled()) << w->objectName().toStdString();
            EXPECT_TRUE(cad->BtAtualizar->isEnabled());
            EXPECT_TRUE(cad->TabSheetLeitura->tabVisible());
            // "&Sair" asks first; "Não" keeps the program going.
            dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("440 - M440"), 7);
            user::alt(QLatin1Char('s'));
            EXPECT_TRUE(dialogs.allAnswered());
            EXPECT_EQ(cad->modalResult(), vorta::ui::mrNone);
            user::alt(QLatin1Char('r'));
            EXPECT_NE(cad->modalResult(), vorta::ui::mrNone);
        });
        EXPECT_FALSE(dm->dbMTC->inTransaction());
        EXPECT_EQ(situacao(1), QStringLiteral("G"));
    }
    EXPECT_EQ(janelas, 4);
}

// The save's checks in their order, each leaving the window open on the field to
// correct; the corrected movement is saved.
TEST_F(CadMovimentoTest, TheSaveChecksStopInTheirOrderUntilAllIsRight)
{
    exec("update Contribuinte set Mun_Endereco = NULL where Con_IECNPJCPF = ?1", {kDecl});
    naLista(QLatin1Char('n'), [&](TCadMovimento* cad) {
        user::type(kDecl);
        user::tab();
        auto grava = [&](MessageKind tipo, const QString& texto, QWidget* foco) {
            dialogs.expectMessage(tipo, texto, 1);
            user::alt(QLatin1Char('g'));
            EXPECT_TRUE(dialogs.allAnswered()) << texto.toStdString();
            EXPECT_EQ(user::focused(), foco) << texto.toStdString();
            EXPECT_TRUE(dm->dbMTC->inTransaction());
        };
        grava(MessageKind::Error, QStringLiteral("1666 - M1666"), cad->DBEdit_Ano);
        user::type(QStringLiteral("2030"));
        user::tab();
        grava(MessageKind::Error, QStringLiteral("1665 - M1665"), cad->DBEdit_Mes);
        user::type(QStringLiteral("5"));
        grava(MessageKind::Information, QStringLiteral("Informe o município para correspondência !"),
              cad->DBLookupComboBox3);
        EXPECT_EQ(cad->PageControlEndereco->activePage(), cad->TabSheetCorrespondencia);
        user::type(QStringLiteral("P"));
        grava(MessageKind::Error, QStringLiteral("1667 - M1667"), cad->DBLookupComboBox3);
        user::click(cad->DBEdit_Ano);
        user::key(Qt::Key_A, Qt::ControlModifier);
        user::type(QStringLiteral("2027"));
        user::tab();
        user::key(Qt::Key_A, Qt::ControlModifier);
        user::type(QStringLiteral("1"));
        cad->PageControlEndereco->setActivePage(cad->TabSheetEstabelecimento);
        user::click(cad->DBEdit_Con_NomePropr);
        user::key(Qt::Key_A, Qt::ControlModifier);
        user::key(Qt::Key_Delete);
        grava(MessageKind::Information, QStringLiteral("Informe o Nome de Fantasia !"), cad->DBEdit_Con_NomePropr);
        EXPECT_EQ(cad->PageControlEndereco->activePage(), cad->TabSheetCorrespondencia);
        user::type(QStringLiteral("Frigo Novo"));
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1688 - M1688"), 7);
        user::alt(QLatin1Char('g'));
        EXPECT_TRUE(dialogs.allAnswered());
    });
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(decl("Con_NomePropr", kDecl), QStringLiteral("Frigo Novo"));
    EXPECT_EQ(decl("Mun_Endereco", kDecl), QStringLiteral("1"));
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where con_iecnpjcpf = ?1 and "
                                   "mov_ano_referencia = 2027 and mov_mes_referencia = 1"),
                    {kDecl}),
              1);
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where mov_ano_referencia = 2030")), 0);
}

// "Ver Erros" validates the window's movement alone; the calculator button starts the
// desktop's calculator or says that there is none.
TEST_F(CadMovimentoTest, SeeErrorsValidatesTheMovementAndTheCalculatorStarts)
{
    QStringList linhas;
    bool gerar = true;
    outroModal = [&](vorta::ui::Form& f) {
        auto* v = dynamic_cast<TValidar*>(&f);
        EXPECT_TRUE(v);
        if (!v)
            return int(vorta::ui::mrCancel);
        QApplication::processEvents();
        linhas = v->Linhas();
        gerar = v->btGerar->isEnabled();
        return int(vorta::ui::mrCancel);
    };
    QTemporaryDir tmp;
    const QString calc = tmp.filePath(QStringLiteral("calc"));
    {
        QFile f(calc);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("#!/bin/sh\nexit 0\n");
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }
    naLista(QLatin1Char('m'), [&](TCadMovimento* cad) {
        user::alt(QLatin1Char('v'));
        qputenv("VORTA_CALCULATOR", "nenhuma-calculadora-aqui");
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("Não foi possível iniciar a calculadora do sistema."),
                              1);
        user::click(cad->SpeedButton6);
        EXPECT_TRUE(dialogs.allAnswered());
        qputenv("VORTA_CALCULATOR", calc.toLocal8Bit());
        user::click(cad->SpeedButton6);
        qunsetenv("VORTA_CALCULATOR");
    });
    ASSERT_FALSE(linhas.isEmpty());
    EXPECT_TRUE(linhas.join(QLatin1Char('\n')).contains(mascara(kDecl))) << linhas.join(QLatin1Char('\n')).toStdString();
    EXPECT_FALSE(linhas.join(QLatin1Char('\n')).contains(mascara(kDecl2)));
    EXPECT_FALSE(gerar);
}
