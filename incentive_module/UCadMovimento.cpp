#include "UCadMovimento.h"

#include "DmValidar.h"
#include "DialogsX.h"
#include "FrmSelMapas.h"
#include "T_Cad_Contabilista.h"
#include "T_Cad_Municipio.h"
#include "T_Cad_RespnsavelLegal.h"
#include "T_DM_Comuns.h"
#include "T_Sel_Contribuinte.h"
#include "UBuscaMovimento.h"
#include "UDM_MTC.h"
#include "UMovimento.h"
#include "UResumoMovimento.h"
#include "UValidar.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/core/QtGuard.h"
#include "platform/os/Calculator.h"
#include "platform/report/TextFormat.h"
#include "platform/db/Field.h"

#include <QTimer>

vorta::Guarded<TCadMovimento> CadMovimento;
std::function<bool(const QString& inscricao)> AbreSelMapas = AbreMapasDoFrigorifico;

using vorta::ui::DBEdit;
using vorta::ui::Label;
using vorta::ui::SpeedButton;

namespace {
const QString kIE = QStringLiteral("con_iecnpjcpf");

bool editando(vorta::db::DataSet* ds)
{
    return ds->state() == vorta::db::DataSetState::Edit || ds->state() == vorta::db::DataSetState::Insert;
}

// A register form shown modally in lookup mode over the table; its choice is the
// table's current row.
void mostraConsulta(TFtemplate* cadastro, vorta::db::Table* tabela)
{
    if (!tabela->active())
        tabela->open();
    cadastro->dsBase->setDataSet(tabela);
    cadastro->ModoSelecao = true;
    cadastro->showModal();
}

// Runs an action when the widget is asked for its context menu.
class AoMenuDeContexto : public QObject {
public:
    AoMenuDeContexto(QWidget* w, std::function<void()> acao) : QObject(w), m_acao(std::move(acao))
    {
        w->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject*, QEvent* event) override
    {
        if (event->type() == QEvent::ContextMenu)
            vorta::guardQt([this] { m_acao(); });
        return false;
    }

private:
    std::function<void()> m_acao;
};
} // namespace

TCadMovimento::TCadMovimento(vorta::Component* owner) : vorta::ui::Form(owner)
{
    setName(QStringLiteral("CadMovimento"));
    setObjectName(QStringLiteral("CadMovimento"));
    setCaption(QStringLiteral("Movimentação de  Mapas de Tipificação de Carcaça"));
    setClientSize(760, 640);
    keyPreview = true;
    OnKeyPress = [this](vorta::ui::Form*, QChar& key) {
        if (key == QChar(13)) {
            key = QChar(0);
            selectNext(activeControl(), true, true);
        }
    };

    auto button = [](QWidget* parent, const char* caption, const char* name, int x, int y, int w) {
        return BotaoMovimento(parent, caption, name, x, y, w);
    };
    // The header strip: what the movement is, and the window's commands.
    int x = 4;
    auto cabecalho = [&](const char* caption, const char* name, const char* field, int wl, int w) {
        auto* l = new Label(this, QString::fromUtf8(caption));
        l->setGeometry(x, 10, wl, 16);
        auto* t = new vorta::ui::DBText(this, QString::fromLatin1(name));
        t->setGeometry(x + wl + 2, 10, w, 16);
        t->setDataSource(DM_MTC->dsMTC);
        t->setDataField(QString::fromLatin1(field));
        x += wl + w + 8;
        return t;
    };
    DBText_Inscricao = cabecalho("Inscrição:", "DBText_Inscricao", "con_iecnpjcpf", 58, 70);
    DBText_Ano = cabecalho("Ano:", "DBText_Ano", "mov_ano_referencia", 26, 32);
    DBText_Tipo = cabecalho("Tipo:", "DBText_Tipo", "mov_tipo", 30, 12);
    DBText_Mes = cabecalho("Mês:", "DBText_Mes", "mov_mes_referencia", 28, 20);
    BtAtualizar = button(this, "Visualizar Resumo", "BtAtualizar", 344, 4, 128);
    SpeedButton6 = button(this, "Calc.", "SpeedButton6", 476, 4, 36);
    SpeedButton6->setHint(QStringLiteral("Calculadora"));
    btVerErros = button(this, "&Ver Erros", "btVerErros", 516, 4, 76);
    btRetornar = button(this, "&Retornar", "btRetornar", 596, 4, 76);
    Botao_Fecha = button(this, "&Sair", "Botao_Fecha", 676, 4, 76);

    PageControlLMC = new vorta::ui::PageControl(this, QStringLiteral("PageControlLMC"));
    PageControlLMC->setGeometry(4, 34, 752, 602);
    PageControlLMC->tabBar()->setFocusPolicy(Qt::NoFocus);
    TabSheetContribuinte = new vorta::ui::TabSheet(PageControlLMC, QStringLiteral("Contribuinte"),
                                                   QStringLiteral("TabSheetContribuinte"));
    TabSheetLeitura = new vorta::ui::TabSheet(PageControlLMC, QStringLiteral("Resumo Movimento"),
                                              QStringLiteral("TabSheetLeitura"));
    DM_MTC->TabSheetContribuinte = TabSheetContribuinte;
    DM_MTC->TabSheetLeitura = TabSheetLeitura;

    // Fields are made in tab order: caption above, control below.
    auto rotulo = [](QWidget* p, const char* caption, int x, int y, int w, QWidget* buddy) {
        auto* l = new Label(p, QString::fromUtf8(caption));
        l->setGeometry(x, y, w, 16);
        l->setBuddy(buddy);
    };
    auto edit = [&](QWidget* p, const char* caption, const char* name, vorta::db::DataSource* ds, const char* field,
                    int x, int y, int w) {
        auto* e = new DBEdit(p, QString::fromLatin1(name));
        e->setGeometry(x, y + 16, w, 21);
        e->setDataSource(ds);
        e->setDataField(QString::fromLatin1(field));
        rotulo(p, caption, x, y, w, e);
        return e;
    };
    auto lista = [&](QWidget* p, const char* caption, const char* name, const char* field,
                     vorta::db::DataSource* fonte, const char* chave, const char* mostra, int x, int y, int w) {
        auto* c = new vorta::ui::DBLookupComboBox(p, QString::fromLatin1(name));
        c->setGeometry(x, y + 16, w, 21);
        c->setListSource(fonte);
        c->setKeyField(QString::fromLatin1(chave));
        c->setListField(QString::fromLatin1(mostra));
        c->setDataSource(DM_MTC->DsContribuinteMTC);
        c->setDataField(QString::fromLatin1(field));
        rotulo(p, caption, x, y, w, c);
        return c;
    };
    auto painel = [](QWidget* p, const char* name, int x, int y, int w, int h) {
        auto* pn = new vorta::ui::Panel(p, QString::fromLatin1(name));
        pn->setGeometry(x, y, w, h);
        pn->setFrameShape(QFrame::NoFrame);
        return pn;
    };

    QWidget* c = TabSheetContribuinte;
    vorta::db::DataSource* mov = DM_MTC->dsMTC;
    vorta::db::DataSource* decl = DM_MTC->DsContribuinteMTC;
    DBEdit_Con_IECNPJCPF = edit(c, "Inscrição Estadual", "DBEdit_Con_IECNPJCPF", mov, "con_iecnpjcpf", 8, 8, 100);
    DBEdit_Ano = edit(c, "Ano", "DBEdit_Ano", mov, "mov_ano_referencia", 116, 8, 50);
    DBEdit_Mes = edit(c, "Mês", "DBEdit_Mes", mov, "mov_mes_referencia", 174, 8, 40);
    DBRadioGroup_Tipo = new vorta::ui::DBRadioGroup(c, QStringLiteral("DBRadioGroup_Tipo"));
    DBRadioGroup_Tipo->setCaption(QStringLiteral("Tipo do Movimento:"));
    DBRadioGroup_Tipo->setItems({QStringLiteral("Normal"), QStringLiteral("Retificação")});
    DBRadioGroup_Tipo->setValues({QStringLiteral("N"), QStringLiteral("R")});
    DBRadioGroup_Tipo->setColumns(2);
    DBRadioGroup_Tipo->setGeometry(222, 0, 240, 50);
    DBRadioGroup_Tipo->setDataSource(mov);
    DBRadioGroup_Tipo->setDataField(QStringLiteral("mov_tipo"));

    PanelContribuinte = painel(c, "PanelContribuinte", 4, 54, 740, 176);
    QWidget* p = PanelContribuinte;
    DBEdit_Con_Nome = edit(p, "Razão Social", "DBEdit_Con_Nome", decl, "Con_Nome", 4, 0, 340);
    DBEdit_Con_NomePropr = edit(p, "Nome Fantasia", "DBEdit_Con_NomePropr", decl, "Con_NomePropr", 352, 0, 340);
    DBEdit_End_CPF = edit(p, "CNPJ", "DBEdit_End_CPF", decl, "End_CPF", 4, 42, 130);
    DBEdit_Con_NIRE = edit(p, "NIRE (original)", "DBEdit_Con_NIRE", decl, "Con_NIRE", 142, 42, 120);
    DBEdit_cco_num_sif = edit(p, "SIF", "DBEdit_cco_num_sif", DM_MTC->dsContribuinteComplemento, "cco_num_sif", 270,
                              42, 80);
    DBEdit_mov_responsavel =
        edit(p, "Responsável pela Digitação", "DBEdit_mov_responsavel", mov, "mov_responsavel", 358, 42, 334);
    DBEdit_Con_DDDFone = edit(p, "DDD", "DBEdit_Con_DDDFone", decl, "Con_DDDFone", 4, 84, 30);
    DBEdit_Con_Fone = edit(p, "Fone", "DBEdit_Con_Fone", decl, "Con_Fone", 40, 84, 90);
    DBEdit_Con_DDD2 = edit(p, "DDD", "DBEdit_Con_DDD2", decl, "Con_DDD2", 140, 84, 30);
    DBEdit_Con_Fone2 = edit(p, "Fone 2", "DBEdit_Con_Fone2", decl, "Con_Fone2", 176, 84, 90);
    DBEdit_Con_DDDFax = edit(p, "DDD", "DBEdit_Con_DDDFax", decl, "Con_DDDFax", 276, 84, 30);
    DBEdit_Con_FAX = edit(p, "Fax", "DBEdit_Con_FAX", decl, "Con_FAX", 312, 84, 90);
    DBLookupComboBox_Contabilista = lista(p, "Contabilista Responsável", "DBLookupComboBox_Contabilista", "Resp_CPF",
                                          DM_MTC->DsResp, "Resp_CPF", "Resp_Nome", 4, 126, 220);
    btContabilista = button(p, "Responsável ", "btContabilista", 228, 141, 96);
    DBLookupComboBox_RespEmpresa =
        lista(p, "Responsável legal pela Empresa", "DBLookupComboBox_RespEmpresa", "ResEmp_CPF",
              DM_MTC->DsRespEmpresa, "ResEmp_CPF", "ResEmp_Nome", 332, 126, 240);
    btRespEmpresa = button(p, "Res&ponsável Empresa", "btRespEmpresa", 576, 141, 150);

    PageControlEndereco = new vorta::ui::PageControl(c, QStringLiteral("PageControlEndereco"));
    PageControlEndereco->setGeometry(4, 232, 740, 160);
    PageControlEndereco->tabBar()->setFocusPolicy(Qt::NoFocus);
    TabSheetEstabelecimento = new vorta::ui::TabSheet(PageControlEndereco, QStringLiteral("Endereço do Estabelecimento"),
                                                      QStringLiteral("TabSheetEstabelecimento"));
    TabSheetCorrespondencia = new vorta::ui::TabSheet(
        PageControlEndereco, QStringLiteral(" Endereço para Correspondência "), QStringLiteral("TabSheetCorrespondencia"));
    // The two addresses have the same fields; the establishment's end in "Estab".
    struct Endereco {
        vorta::ui::DBLookupComboBox *tipLog, *tipBai, *municipio;
        DBEdit *logradouro, *numero, *complemento, *bairro, *uf, *cep, *email, *cxPostal;
        SpeedButton* btMunicipio;
    };
    auto endereco = [&](QWidget* p, bool estab, const char* comboMunicipio, const char* botaoMunicipio) {
        auto n = [estab](const char* base) {
            return QByteArray(base) + (estab ? "Estab" : "");
        };
        auto nome = [&](const char* base) { return "DBEdit_" + n(base); };
        Endereco e{};
        e.tipLog = lista(p, "Tipo Log.", ("DBLookupComboBox_TipLog" + QByteArray(estab ? "Estab" : "")).constData(),
                         estab ? "TipLog_CodigoEstab" : "TipLog_Codigo", DM_MTC->DsTipoLogr, "TipLog_Codigo",
                         "TipLog_Descricao", 4, 4, 100);
        e.logradouro = edit(p, "Logradouro", nome("Con_Logradouro").constData(), decl, n("Con_Logradouro").constData(),
                            110, 4, 260);
        e.numero = edit(p, "Número", nome("Con_Numero").constData(), decl, n("Con_Numero").constData(), 376, 4, 50);
        e.complemento = edit(p, "Complemento", nome("Con_Complemento").constData(), decl,
                             n("Con_Complemento").constData(), 432, 4, 250);
        e.tipBai = lista(p, "Tipo Bai.", ("DBLookupComboBox_TipBai" + QByteArray(estab ? "Estab" : "")).constData(),
                         estab ? "Tip_Bai_CodigoEstab" : "TipBai_Codigo", DM_MTC->DsTipoBairr, "TipBai_Codigo",
                         "TipBai_Descricao", 4, 46, 100);
        e.bairro = edit(p, "Bairro", nome("Con_Bairro").constData(), decl, n("Con_Bairro").constData(), 110, 46, 200);
        e.municipio = lista(p, "Município", comboMunicipio, estab ? "Mun_Propriedade" : "Mun_Endereco",
                            DM_MTC->DsMunicipio, "Mun_Codigo", "Mun_Descricao", 316, 46, 220);
        e.btMunicipio = button(p, "&Município", botaoMunicipio, 540, 61, 90);
        e.uf = edit(p, "UF", nome("Con_UF").constData(), decl, n("Con_UF").constData(), 636, 46, 30);
        e.uf->setEnabled(false);
        e.cep = edit(p, "CEP", nome("Con_CEP").constData(), decl, n("Con_CEP").constData(), 672, 46, 62);
        e.email = edit(p, "E-mail", nome("Con_Email").constData(), decl, n("Con_Email").constData(), 4, 88, 300);
        e.cxPostal = edit(p, "Cx. Postal", nome("Con_CxPostal").constData(), decl, n("Con_CxPostal").constData(), 310,
                          88, 60);
        return e;
    };
    PanelEstabelecimento = painel(TabSheetEstabelecimento, "PanelEstabelecimento", 0, 0, 736, 132);
    const Endereco es = endereco(PanelEstabelecimento, true, "DBLookupComboBox4", "btMunicipioEstabelecimento");
    DBLookupComboBox_TipLogEstab = es.tipLog;
    DBEdit_Con_LogradouroEstab = es.logradouro;
    DBEdit_Con_NumeroEstab = es.numero;
    DBEdit_Con_ComplementoEstab = es.complemento;
    DBLookupComboBox_TipBaiEstab = es.tipBai;
    DBEdit_Con_BairroEstab = es.bairro;
    DBLookupComboBox4 = es.municipio;
    btMunicipioEstabelecimento = es.btMunicipio;
    DBEdit_Con_UFEstab = es.uf;
    DBEdit_Con_CEPEstab = es.cep;
    DBEdit_Con_EmailEstab = es.email;
    DBEdit_Con_CxPostalEstab = es.cxPostal;
    PanelCorrespondencia = painel(TabSheetCorrespondencia, "PanelCorrespondencia", 0, 0, 736, 132);
    const Endereco co = endereco(PanelCorrespondencia, false, "DBLookupComboBox3", "btMuncipio");
    DBLookupComboBox_TipLog = co.tipLog;
    DBEdit_Con_Logradouro = co.logradouro;
    DBEdit_Con_Numero = co.numero;
    DBEdit_Con_Complemento = co.complemento;
    DBLookupComboBox_TipBai = co.tipBai;
    DBEdit_Con_Bairro = co.bairro;
    DBLookupComboBox3 = co.municipio;
    btMuncipio = co.btMunicipio;
    DBEdit_Con_UF = co.uf;
    DBEdit_Con_CEP = co.cep;
    DBEdit_Con_Email = co.email;
    DBEdit_Con_CxPostal = co.cxPostal;

    btGravar = button(c, "   &Gravar", "btGravar", 8, 404, 100);
    btCancelar = button(c, "   &Cancelar", "btCancelar", 112, 404, 100);
    BtAlterar = button(c, "Alterar", "BtAlterar", 216, 404, 100);

    // The summary page: an optional producer, a row per class with the totals of each
    // sex, and the animals not classified.
    QWidget* r = TabSheetLeitura;
    auto texto = [r](const QString& caption, int x, int y, int w, Qt::Alignment a = Qt::AlignLeft) {
        auto* l = new Label(r, caption);
        l->setGeometry(x, y, w, 16);
        l->setAlignment(a);
        return l;
    };
    texto(QStringLiteral("Produtor"), 8, 8, 100);
    dbedit_con_remetente = new vorta::ui::Edit(r, QStringLiteral("dbedit_con_remetente"));
    dbedit_con_remetente->setGeometry(8, 24, 100, 21);
    dbedit_nome = new vorta::ui::Edit(r, QStringLiteral("dbedit_nome"));
    dbedit_nome->setGeometry(112, 24, 320, 21);
    dbedit_nome->setReadOnly(true);
    dbedit_nome->setFocusPolicy(Qt::NoFocus);
    SpeedButton_Visualizar = button(r, "Visualizar", "SpeedButton_Visualizar", 436, 22, 90);

    const char* titulos[] = {"Classe", "Cabeças", "Peso (kg)", "Arrobas", "Repasse"};
    for (int col = 0; col < 5; ++col)
        texto(QString::fromUtf8(titulos[col]), 8 + col * 120, 56, 110, col ? Qt::AlignRight : Qt::AlignLeft);
    int y = 74;
    auto linha = [&](const QString& classe, QList<Label*>& destino) {
        texto(classe, 8, y, 110);
        for (int col = 1; col < 5; ++col)
            destino << texto(col == 1 ? QStringLiteral("0") : QStringLiteral("0,00"), 8 + col * 120, y, 110,
                             Qt::AlignRight);
        y += 18;
    };
    auto sexo = [&](const char* titulo, std::initializer_list<const char*> classes) {
        texto(QString::fromUtf8(titulo), 8, y, 200);
        y += 18;
        for (const char* cl : classes)
            linha(QString::fromLatin1(cl), Resumo);
        linha(QStringLiteral("Total"), ResumoTotais);
        y += 4;
    };
    sexo("MACHOS", {"JD", "J2", "J4", "TD", "T2"});
    sexo("FÊMEAS", {"JFD", "JF2", "JF4"});
    texto(QStringLiteral("Quantidade Total de Animais"), 8, y, 230);
    LQtdTotal = texto(QStringLiteral("0"), 248, y, 110, Qt::AlignRight);
    LQtdTotal->setName(QStringLiteral("LQtdTotal"));
    y += 18;
    texto(QStringLiteral("Valor Total do Repasse"), 8, y, 230);
    LRepasseTotal = texto(QStringLiteral("0,00"), 248, y, 110, Qt::AlignRight);
    LRepasseTotal->setName(QStringLiteral("LRepasseTotal"));
    y += 28;
    texto(QStringLiteral("RESUMO ANIMAIS NÃO CLASSIFICADOS"), 8, y, 400);
    y += 18;
    texto(QStringLiteral("MACHOS"), 8, y, 200);
    texto(QStringLiteral("FÊMEAS"), 248, y, 200);
    y += 18;
    const char* machos[] = {"JD", "J2/J4", "TD", "T2/T4", "I", "A", "TOTAL"};
    const char* femeas[] = {"JFD", "JF2/JF4", "IF", "AF", "TOTAL"};
    for (int i = 0; i < 7; ++i) {
        texto(QString::fromLatin1(machos[i]), 8, y + i * 18, 80);
        NaoClassificados << texto(QStringLiteral("0"), 90, y + i * 18, 80, Qt::AlignRight);
    }
    for (int i = 0; i < 5; ++i) {
        texto(QString::fromLatin1(femeas[i]), 248, y + i * 18, 80);
        NaoClassificados << texto(QStringLiteral("0"), 330, y + i * 18, 80, Qt::AlignRight);
    }

    // Until the opener says otherwise, only the registration is open.
    HabilitaPaineis(false);
    HabilitaBotoes(false);
    for (QWidget* w : std::initializer_list<QWidget*>{DBEdit_Ano, DBEdit_Mes, DBRadioGroup_Tipo, BtAtualizar})
        w->setEnabled(false);

    DBEdit_Con_IECNPJCPF->OnExit = [this](QWidget* s) { DBEdit_Con_IECNPJCPFExit(s); };
    btGravar->OnClick = [this](QWidget* s) { btGravarClick(s); };
    btCancelar->OnClick = [this](QWidget* s) { btCancelarClick(s); };
    BtAlterar->OnClick = [this](QWidget* s) { BtAlterarClick(s); };
    BtAtualizar->OnClick = [this](QWidget* s) { BtAtualizarClick(s); };
    btVerErros->OnClick = [this](QWidget* s) { btVerErrosClick(s); };
    SpeedButton6->OnClick = [this](QWidget* s) { SpeedButton6Click(s); };
    btRetornar->OnClick = [this](QWidget* s) { btRetornarClick(s); };
    Botao_Fecha->OnClick = [this](QWidget* s) { Botao_FechaClick(s); };
    btContabilista->OnClick = [this](QWidget* s) { btContabilistaClick(s); };
    btRespEmpresa->OnClick = [this](QWidget* s) { btRespEmpresaClick(s); };
    btMuncipio->OnClick = [this](QWidget* s) { btMuncipioClick(s); };
    btMunicipioEstabelecimento->OnClick = [this](QWidget* s) { btMunicipioEstabelecimentoClick(s); };
    DBLookupComboBox3->OnClick = [this](QWidget* s) { DBLookupComboBox3Click(s); };
    DBLookupComboBox4->OnClick = [this](QWidget* s) { DBLookupComboBox4Click(s); };
    // The context menu key or right button on a municipality list applies its rule too.
    new AoMenuDeContexto(DBLookupComboBox3, [this] { DBLookupComboBox3Click(DBLookupComboBox3); });
    new AoMenuDeContexto(DBLookupComboBox4, [this] { DBLookupComboBox4Click(DBLookupComboBox4); });
    dbedit_con_remetente->OnExit = [this](QWidget* s) { dbedit_con_remetenteExit(s); };
    dbedit_con_remetente->OnChange = [this](QWidget* s) { dbedit_con_remetenteChange(s); };
    SpeedButton_Visualizar->OnClick = [this](QWidget* s) { SpeedButton_VisualizarClick(s); };
    PageControlLMC->OnChange = [this](QWidget* s) { PageControlLMCChange(s); };
    OnShow = [this](vorta::ui::Form* f) { FormShow(f); };
    OnClose = [this](vorta::ui::Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
}

void TCadMovimento::HabilitaPaineis(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{PanelContribuinte, PanelEstabelecimento, PanelCorrespondencia})
        w->setEnabled(on);
}

void TCadMovimento::HabilitaBotoes(bool on)
{
    for (QWidget* w : std::initializer_list<QWidget*>{btContabilista, btRespEmpresa, btMuncipio,
                                                      btMunicipioEstabelecimento})
        w->setEnabled(on);
}

void TCadMovimento::FormShow(vorta::ui::Form*)
{
    if (DM_Comuns)
        for (auto* t : {DM_Comuns->Tb_Municipio, DM_Comuns->Tb_MunicipioPro}) {
            t->close();
            t->open();
        }
    for (auto* t : {DM_MTC->TblMunicipio, DM_MTC->TblTipoLogr, DM_MTC->TblTipoBairr, DM_MTC->TblResp,
                    DM_MTC->TblRespEmpresa, DM_MTC->TblContribuinteComplemento})
        if (!t->active())
            t->open();
    if (DBEdit_Con_IECNPJCPF->isEnabled())
        DBEdit_Con_IECNPJCPF->setFocus();
    if (!DM_MTC->dbMTC->inTransaction())
        DM_MTC->dbMTC->startTransaction();
}

void TCadMovimento::FormClose(vorta::ui::Form*, vorta::ui::CloseAction&)
{
    for (auto* t : {DM_MTC->TblContribuinteComplemento, DM_MTC->TblContribuinteMTC, DM_MTC->TblMTC})
        if (editando(t))
            t->cancel();
    if (DM_MTC->dbMTC->inTransaction())
        DM_MTC->dbMTC->rollback();
}

void TCadMovimento::recusaInscricao(int code)
{
    MsgErroBD(code);
    PageControlLMC->setActivePage(TabSheetContribuinte);
    PageControlEndereco->setActivePage(TabSheetEstabelecimento);
    DBEdit_Con_IECNPJCPF->setEnabled(true);
    DBEdit_Con_IECNPJCPF->setFocus();
    // The edit's own focus-out, still to come, drops a selection made now.
    QTimer::singleShot(0, DBEdit_Con_IECNPJCPF, [e = DBEdit_Con_IECNPJCPF] { e->selectAll(); });
    vorta::Abort();
}

void TCadMovimento::DBEdit_Con_IECNPJCPFExit(QWidget*)
{
    vorta::db::DataSet* mov = DM_MTC->TblMTC;
    const QString ie = DBEdit_Con_IECNPJCPF->text().trimmed();
    if (ie.isEmpty()) {
        // Only a movement being typed asks for its declarant, not a window closing.
        if (editando(mov) && isVisible())
            escolheContribuinte();
        return;
    }
    // A registration that is not all digits fails its check digit.
    if (ie.size() != 9 || !IsNumber(ie))
        recusaInscricao(54);
    if (ie < QLatin1String("280000000") || ie > QLatin1String("285000000"))
        recusaInscricao(579);
    insc = ie.mid(2, 7);
    ie2 = ie.left(2).toInt();
    if (ie2 != 28)
        recusaInscricao(53);
    if (!ChkINSC(insc))
        recusaInscricao(54);

    if (!editando(mov))
        return;
    mov->fieldByName(kIE)->setAsString(ie);
    if (!editaDeclarante(ie)) {
        mov->fieldByName(kIE)->clear();
        DBEdit_Con_IECNPJCPF->setFocus();
    }
}

bool TCadMovimento::editaDeclarante(const QString& ie)
{
    vorta::db::Table* decl = DM_MTC->TblContribuinteMTC;
    vorta::db::Table* compl_ = DM_MTC->TblContribuinteComplemento;
    if (!decl->active())
        decl->open();
    if (!compl_->active())
        compl_->open();
    if (decl->locate(QStringLiteral("Con_IECNPJCPF"), ie, vorta::db::loCaseInsensitive)) {
        decl->edit();
        if (compl_->isEmpty()) {
            compl_->insert();
            compl_->fieldByName(kIE)->setAsString(ie);
        } else {
            compl_->edit();
        }
    } else if (MsgSimNaoBD(98) == vorta::ui::mrYes) {
        decl->insert();
        decl->fieldByName(QStringLiteral("Con_Tipo"))->setAsString(QStringLiteral("IE"));
        decl->fieldByName(QStringLiteral("Con_IECNPJCPF"))->setAsString(ie);
        compl_->insert();
        compl_->fieldByName(kIE)->setAsString(ie);
    } else {
        return false;
    }
    HabilitaBotoes(true);
    return true;
}

void TCadMovimento::escolheContribuinte()
{
    vorta::db::Query q;
    q.setDatabase(DM_MTC->dbMTC);
    q.setSql(QStringLiteral("Select * from contribuinte Where Con_Tipo = 'IE' and Con_IECNPJCPF < '285000000' Order "
                            "by Con_IECNPJCPF"));
    q.open();
    vorta::db::DataSource ds;
    ds.setDataSet(&q);
    CancelaProd = false;
    auto* sel = vorta::createInto<TSel_Contribuinte>(Sel_Contribuinte, vorta::Application::instance());
    sel->DBGrid->setDataSource(&ds);
    sel->DBGrid->setColumns({{QStringLiteral("Con_IECNPJCPF"), QStringLiteral("IE/CNPJ/CPF")},
                             {QStringLiteral("Con_Nome"), QStringLiteral("Razão Social")},
                             {QStringLiteral("Con_NomePropr"), QStringLiteral("Nome Fantasia")}});
    sel->showModal();
    vorta::Component::free(Sel_Contribuinte);
    vorta::db::DataSet* mov = DM_MTC->TblMTC;
    if (CancelaProd && !q.isEmpty()) {
        const QString ie = q.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString();
        mov->fieldByName(kIE)->setAsString(ie);
        if (editaDeclarante(ie))
            return;
    }
    mov->fieldByName(kIE)->clear();
    DBEdit_Con_IECNPJCPF->setFocus();
}

void TCadMovimento::btGravarClick(QWidget*)
{
    vorta::db::DataSet* mov = DM_MTC->TblMTC;
    vorta::db::DataSet* decl = DM_MTC->TblContribuinteMTC;
    vorta::db::DataSet* compl_ = DM_MTC->TblContribuinteComplemento;
    vorta::db::Database* db = DM_MTC->dbMTC;
    // What the edit with the focus holds counts: the buttons do not take the focus.
    for (auto* t : {mov, decl, compl_})
        if (editando(t))
            t->dataEvent(vorta::db::DataEvent::UpdateRecord);
    if (decl->active() && decl->fieldByName(QStringLiteral("Con_NomePropr"))->asString().trimmed().isEmpty()) {
        PageControlEndereco->setActivePage(TabSheetCorrespondencia);
        MessageDlg(QStringLiteral("Informe o Nome de Fantasia !"), mtInformation, TMsgDlgButtons{mbOK}, 0);
        DBEdit_Con_NomePropr->setFocus();
        vorta::Abort();
    }
    const int ano = int(mov->fieldByName(QStringLiteral("mov_ano_referencia"))->asInteger());
    const int mes = int(mov->fieldByName(QStringLiteral("mov_mes_referencia"))->asInteger());
    if (ano == 0) {
        MsgErroBD(1666);
        DBEdit_Ano->setFocus();
        vorta::Abort();
    }
    if (mes == 0) {
        MsgErroBD(1665);
        DBEdit_Mes->setFocus();
        vorta::Abort();
    }
    if (decl->active() && decl->fieldByName(QStringLiteral("Mun_Endereco"))->asInteger() < 1) {
        PageControlEndereco->setActivePage(TabSheetCorrespondencia);
        MessageDlg(QStringLiteral("Informe o município para correspondência !"), mtInformation, TMsgDlgButtons{mbOK}, 0);
        DBLookupComboBox3->setFocus();
        vorta::Abort();
    }
    if (!ExisteParametroMensal(db, ano, mes)) {
        MsgErroBD(1667);
        vorta::Abort();
    }
    const QString ie = mov->fieldByName(kIE)->asString().trimmed();
    if (mov->state() == vorta::db::DataSetState::Insert && DBRadioGroup_Tipo->value() == QLatin1String("N")
        && ExisteMovimentoNormal(db, ie, ano, mes)) {
        MsgErroBD(1668);
        vorta::Abort();
    }
    if (ie.isEmpty()) {
        MsgErroBD(34);
        for (auto* t : {compl_, decl, mov})
            if (editando(t))
                t->cancel();
        db->rollback();
        // The window goes on inside a transaction of its own.
        db->startTransaction();
        vorta::Abort();
    }
    // What the user typed survives a failed save: the rollback undoes the rows, and the
    // records posted before the failure are put back into edit with their values.
    struct Pendente {
        vorta::db::DataSet* ds;
        QString chave;
        bool inserindo;
        QVariantList valores;
    };
    QList<Pendente> pendentes;
    const std::pair<vorta::db::DataSet*, QString> registros[] = {
        {decl, QStringLiteral("Con_IECNPJCPF")}, {compl_, kIE}, {mov, QStringLiteral("mov_codigo")}};
    for (const auto& [t, chave] : registros)
        if (editando(t)) {
            if (t == mov)
                mov->fieldByName(QStringLiteral("mov_situacao"))->setAsString(QStringLiteral("?"));
            Pendente p{t, chave, t->state() == vorta::db::DataSetState::Insert, {}};
            for (int i = 0; i < t->fieldCount(); ++i)
                p.valores << t->fields(i)->value();
            pendentes << p;
        }
    auto desfaz = [&] {
        if (db->inTransaction())
            db->rollback();
        db->startTransaction();
        for (const Pendente& p : pendentes) {
            if (editando(p.ds))
                continue;
            p.ds->refresh();
            const QVariant chave = p.valores[p.ds->fieldByName(p.chave)->index()];
            if (!p.inserindo && p.ds->locate(p.chave, chave))
                p.ds->edit();
            else
                p.ds->insert();
            for (int i = 0; i < p.ds->fieldCount(); ++i)
                if (vorta::db::Field* f = p.ds->fields(i); f->fieldKind() == vorta::db::FieldKind::Data)
                    f->setValue(p.valores[i]);
        }
    };
    try {
        // The declarant before the movement that names it.
        for (const Pendente& p : pendentes)
            p.ds->post();
        db->commit(true);
    } catch (const vorta::EAbort&) {
        desfaz();
        throw;
    } catch (...) {
        desfaz();
        MsgErroBD(33);
        vorta::Abort();
    }
    travaGravado();
    if (Modo == QLatin1String("I") && MsgSimNaoBD(1688) == vorta::ui::mrYes && AbreSelMapas)
        AbreSelMapas(ie);
}

void TCadMovimento::travaGravado()
{
    for (QWidget* w : std::initializer_list<QWidget*>{DBEdit_Con_IECNPJCPF, DBEdit_Ano, DBEdit_Mes, DBRadioGroup_Tipo,
                                                      btGravar, btCancelar})
        w->setEnabled(false);
    HabilitaPaineis(false);
    for (QWidget* w : std::initializer_list<QWidget*>{BtAlterar, btRetornar, Botao_Fecha, BtAtualizar})
        w->setEnabled(true);
    TabSheetLeitura->setTabVisible(true);
}

void TCadMovimento::BtAlterarClick(QWidget*)
{
    if (!DM_MTC->dbMTC->inTransaction())
        DM_MTC->dbMTC->startTransaction();
    Modo = QStringLiteral("A");
    DBRadioGroup_Tipo->setEnabled(false);
    if (!editando(DM_MTC->TblMTC))
        DM_MTC->TblMTC->edit();
    DM_MTC->TblContribuinteMTC->edit();
    vorta::db::Table* compl_ = DM_MTC->TblContribuinteComplemento;
    if (!compl_->active())
        compl_->open();
    if (compl_->isEmpty()) {
        compl_->insert();
        compl_->fieldByName(kIE)->setAsString(DM_MTC->TblContribuinteMTC->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    } else {
        compl_->edit();
    }
    btGravar->setEnabled(true);
    btCancelar->setEnabled(true);
    BtAlterar->setEnabled(false);
    HabilitaPaineis(true);
    HabilitaBotoes(true);
    DBEdit_Ano->setEnabled(false);
    DBEdit_Mes->setEnabled(false);
    DBEdit_Con_NomePropr->setFocus();
}

void TCadMovimento::btCancelarClick(QWidget*)
{
    for (auto* t : {DM_MTC->TblContribuinteComplemento, DM_MTC->TblContribuinteMTC})
        if (editando(t))
            t->cancel();
    if (DM_MTC->TblMTC->state() == vorta::db::DataSetState::Insert) {
        DM_MTC->TblMTC->cancel();
    } else {
        btGravar->setEnabled(false);
        btCancelar->setEnabled(false);
        BtAlterar->setEnabled(true);
        HabilitaPaineis(false);
    }
    close();
}

void TCadMovimento::escolheMunicipio(vorta::db::Table* municipios, const char* codigo, const char* uf,
                                     const char* cep, DBEdit* editCep, vorta::ui::DBLookupComboBox* lista,
                                     vorta::ui::TabSheet* pagina)
{
    mostraConsulta(vorta::ui::createForm(Cad_Municipio), municipios);
    // A municipality registered meanwhile shows in the lists.
    DM_MTC->TblMunicipio->refresh();
    PageControlEndereco->setActivePage(pagina);
    vorta::db::DataSet* decl = DM_MTC->TblContribuinteMTC;
    if (!editando(decl))
        return;
    CopiaMunicipio(*decl, *municipios, QString::fromLatin1(codigo), QString::fromLatin1(uf), QString::fromLatin1(cep),
                   editCep);
    lista->setFocus();
}

void TCadMovimento::btMuncipioClick(QWidget*)
{
    if (!DM_Comuns)
        return;
    escolheMunicipio(DM_Comuns->Tb_Municipio, "Mun_Endereco", "Con_UF", "Con_CEP", DBEdit_Con_CEP, DBLookupComboBox3,
                     TabSheetCorrespondencia);
}

void TCadMovimento::btMunicipioEstabelecimentoClick(QWidget*)
{
    if (!DM_Comuns)
        return;
    escolheMunicipio(DM_Comuns->Tb_MunicipioPro, "Mun_Propriedade", "Con_UFEstab", "Con_CEPEstab", DBEdit_Con_CEPEstab,
                     DBLookupComboBox4, TabSheetEstabelecimento);
}

void TCadMovimento::aplicaMunicipio(const QString& codigo, const QString& uf, const QString& cep, DBEdit* editCep)
{
    vorta::db::DataSet* decl = DM_MTC->TblContribuinteMTC;
    vorta::db::Table* municipios = DM_MTC->TblMunicipio;
    if (!decl->active() || !municipios->active())
        return;
    // The list's current row is the address's municipality, not the one seen last.
    if (!municipios->locate(QStringLiteral("Mun_Codigo"), decl->fieldByName(codigo)->value()))
        return;
    CopiaMunicipio(*decl, *municipios, codigo, uf, cep, editCep);
}

void TCadMovimento::DBLookupComboBox3Click(QWidget*)
{
    aplicaMunicipio(QStringLiteral("Mun_Endereco"), QStringLiteral("Con_UF"), QStringLiteral("Con_CEP"),
                    DBEdit_Con_CEP);
}

void TCadMovimento::DBLookupComboBox4Click(QWidget*)
{
    aplicaMunicipio(QStringLiteral("Mun_Propriedade"), QStringLiteral("Con_UFEstab"), QStringLiteral("Con_CEPEstab"),
                    DBEdit_Con_CEPEstab);
}

void TCadMovimento::escolheResponsavel(TFtemplate* cadastro, vorta::db::Table* tabela, vorta::db::Table* lista,
                                       const QString& campo, QWidget* foco)
{
    mostraConsulta(cadastro, tabela);
    // One registered meanwhile shows in the list.
    lista->refresh();
    vorta::db::DataSet* decl = DM_MTC->TblContribuinteMTC;
    if (editando(decl) && tabela->active() && !tabela->isEmpty()) {
        decl->fieldByName(campo)->setAsString(tabela->fieldByName(campo)->asString());
        foco->setFocus();
    }
}

void TCadMovimento::btContabilistaClick(QWidget*)
{
    if (!DM_Comuns)
        return;
    escolheResponsavel(vorta::ui::createForm(Cad_Contabilista), DM_Comuns->Tb_Responsavel, DM_MTC->TblResp,
                       QStringLiteral("Resp_CPF"), DBLookupComboBox_Contabilista);
}

void TCadMovimento::btRespEmpresaClick(QWidget*)
{
    if (!DM_Comuns)
        return;
    escolheResponsavel(vorta::ui::createForm(Cad_RespnsavelLegal), DM_Comuns->Tb_RespEmpresa, DM_MTC->TblRespEmpresa,
                       QStringLiteral("ResEmp_CPF"), DBLookupComboBox_RespEmpresa);
}

void TCadMovimento::SpeedButton6Click(QWidget*)
{
    if (!vorta::os::startSystemCalculator())
        MessageDlg(QStringLiteral("Não foi possível iniciar a calculadora do sistema."), mtError,
                   TMsgDlgButtons{mbOK}, 0);
}

void TCadMovimento::dbedit_con_remetenteExit(QWidget*)
{
    const QString ie = dbedit_con_remetente->text().trimmed();
    if (ie.isEmpty() || !DM_Comuns)
        return;
    vorta::db::Table* rd = DM_Comuns->Tb_RemDest;
    rd->close();
    rd->setFilter(QStringLiteral("(Con_Tipo = 'IE') or (Con_Tipo = 'CNPJ') "));
    rd->setFiltered(true);
    rd->open();
    if (rd->locate(QStringLiteral("Con_IECNPJCPF"), ie, vorta::db::loCaseInsensitive))
        dbedit_nome->setText(rd->fieldByName(QStringLiteral("Con_Nome"))->asString());
}

void TCadMovimento::dbedit_con_remetenteChange(QWidget*)
{
    dbedit_nome->clear();
}

void TCadMovimento::SpeedButton_VisualizarClick(QWidget*)
{
    // The button does not take the focus: what is typed is looked up first.
    dbedit_con_remetenteExit(dbedit_con_remetente);
    if (!dbedit_con_remetente->text().trimmed().isEmpty() && dbedit_nome->text().isEmpty()) {
        MsgErroBD(1685);
        dbedit_con_remetente->setFocus();
        vorta::Abort();
    }
    BtAtualizarClick(SpeedButton_Visualizar);
}

void TCadMovimento::PageControlLMCChange(QWidget* sender)
{
    if (PageControlLMC->activePage() == TabSheetLeitura)
        BtAtualizarClick(sender);
}

void TCadMovimento::BtAtualizarClick(QWidget*)
{
    vorta::db::DataSet* mov = DM_MTC->TblMTC;
    TResumoMovimento r;
    const QString produtor = dbedit_con_remetente->text().trimmed();
    // A producer typed but not found has no maps to show.
    if (produtor.isEmpty() || !dbedit_nome->text().isEmpty())
        r.Calcula(DM_MTC.get(), mov->fieldByName(kIE)->asString(),
                  int(mov->fieldByName(QStringLiteral("mov_ano_referencia"))->asInteger()),
                  int(mov->fieldByName(QStringLiteral("mov_mes_referencia"))->asInteger()), produtor);
    const QString formato = QStringLiteral("###,###,##0.00");
    auto mostra = [&formato](const QList<Label*>& labels, int i, const TClasseMes& c) {
        labels[i * 4]->setCaption(QString::number(c.Qtd()));
        labels[i * 4 + 1]->setCaption(vorta::report::formatFloat(formato, c.Peso().toDouble()));
        labels[i * 4 + 2]->setCaption(vorta::report::formatFloat(formato, c.QtdArr().toDouble()));
        labels[i * 4 + 3]->setCaption(vorta::report::formatFloat(formato, c.Incentivo().toDouble()));
    };
    const TClasseMes* classes[] = {&r.JD, &r.J2, &r.J4, &r.TD, &r.T2, &r.JFD, &r.JF2, &r.JF4};
    for (int i = 0; i < 8; ++i)
        mostra(Resumo, i, *classes[i]);
    mostra(ResumoTotais, 0, r.TotalM);
    mostra(ResumoTotais, 1, r.TotalF);
    LQtdTotal->setCaption(QString::number(r.QtdTotal));
    LRepasseTotal->setCaption(vorta::report::formatFloat(formato, r.IncentivoTotal.toDouble()));
    const int nc[] = {r.NcJD, r.NcJ2J4, r.NcTD, r.NcT2T4, r.NcI, r.NcA, r.NcTotalM,
                      r.NcJFD, r.NcJF2JF4, r.NcIF, r.NcAF, r.NcTotalF};
    for (int i = 0; i < 12; ++i)
        NaoClassificados[i]->setCaption(QString::number(nc[i]));
}

bool TCadMovimento::MapaAprovado(int map)
{
    return DM_MTC->MapaAprovado(map);
}

void TCadMovimento::btVerErrosClick(QWidget*)
{
    vorta::db::DataSet* mov = DM_MTC->TblMTC;
    TFormAutoDestroyer formas;
    TValidar* v = formas.CreateForm(Validar, this);
    v->UmMovimento = true;
    v->TipoValidacao = QStringLiteral("Movimento");
    Dm_Validar->MovCodigo = int(mov->fieldByName(QStringLiteral("mov_codigo"))->asInteger());
    Dm_Validar->MovInscricao = mov->fieldByName(kIE)->asString();
    Dm_Validar->MovAno = mov->fieldByName(QStringLiteral("mov_ano_referencia"))->asString();
    Dm_Validar->MovMes = mov->fieldByName(QStringLiteral("mov_mes_referencia"))->asString();
    Dm_Validar->MovTipo = mov->fieldByName(QStringLiteral("mov_tipo"))->asString();
    v->showModal();
}

void TCadMovimento::btRetornarClick(QWidget*)
{
    close();
}

void TCadMovimento::Botao_FechaClick(QWidget*)
{
    if (MsgSimNaoBD(440) == vorta::ui::mrYes)
        vorta::Application::instance()->terminate();
}
