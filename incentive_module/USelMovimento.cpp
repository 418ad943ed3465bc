#include "USelMovimento.h"

#include "UBuscaMovimento.h"
#include "UCadMovimento.h"
#include "UDM_MTC.h"
#include "UMovimento.h"
#include "USelValidaMovimento.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/db/Field.h"
#include "platform/ui/StatusBar.h"

vorta::Guarded<TSelMovimento> SelMovimento;

using vorta::ui::SpeedButton;

TSelMovimento::TSelMovimento(vorta::Component* owner) : vorta::ui::Form(owner)
{
    setName(QStringLiteral("SelMovimento"));
    setObjectName(QStringLiteral("SelMovimento"));
    setCaption(QStringLiteral("Seleção para acesso ao Movimento"));
    setClientSize(640, 460);
    keyPreview = true;
    OnKeyPress = [this](vorta::ui::Form*, QChar& key) {
        if (key == QChar(13)) {
            key = QChar(0);
            selectNext(activeControl(), true, true);
        }
    };

    QryContribuinte = new vorta::db::Query(this);
    QryContribuinte->setName(QStringLiteral("QryContribuinte"));
    QryContribuinte->setDatabase(DM_MTC->dbMTC);
    QryContribuinte->setSql(QStringLiteral(
        "Select Con_IECNPJCPF, Con_Nome, Con_NomePropr From Contribuinte Where Con_IECNPJCPF > '280000000' and "
        "Con_IECNPJCPF < '285000000' and con_tipo = 'IE' and not (Con_NomePropr is null) order by Con_IECNPJCPF"));
    DsContribuinte = new vorta::db::DataSource(this);
    DsContribuinte->setDataSet(QryContribuinte);
    QryMovimento = new vorta::db::Query(this);
    QryMovimento->setName(QStringLiteral("QryMovimento"));
    QryMovimento->setDatabase(DM_MTC->dbMTC);
    QryMovimento->setSql(QStringLiteral(
        "Select mov_codigo,con_iecnpjcpf, mov_Ano_referencia, mov_Mes_referencia, mov_Tipo, mov_Situacao From "
        "Qel_Movimento Where Qel_Movimento.con_iecnpjcpf = :Con_IECNPJCPF Order By mov_Ano_referencia, "
        "mov_Mes_referencia, mov_Tipo"));
    QryMovimento->setDataSource(DsContribuinte);
    QryMovimento->addField(QStringLiteral("str_Situacao"), vorta::db::FieldType::String, 20,
                           vorta::db::FieldKind::Calculated);
    QryMovimento->OnCalcFields = [](vorta::db::DataSet& ds) {
        ds.fieldByName(QStringLiteral("str_Situacao"))
            ->setAsString(TextoSituacao(ds.fieldByName(QStringLiteral("mov_Situacao"))->asString()));
    };
    DsMovimento = new vorta::db::DataSource(this);
    DsMovimento->setDataSet(QryMovimento);

    RadioGroup_Ordem = new vorta::ui::RadioGroup(this, QStringLiteral("RadioGroup_Ordem"));
    RadioGroup_Ordem->setCaption(QStringLiteral(" Busca de Contribuinte "));
    RadioGroup_Ordem->setItems({QStringLiteral("Por Inscrição"), QStringLiteral("Por Razão Social")});
    RadioGroup_Ordem->setColumns(2);
    RadioGroup_Ordem->setItemIndex(1);
    RadioGroup_Ordem->setGeometry(8, 2, 300, 54);
    Edit_Busca = new vorta::ui::Edit(this, QStringLiteral("Edit_Busca"));
    Edit_Busca->setGeometry(316, 24, 316, 21);

    DBGrid = GradeMovimento(this, "DBGrid", DsContribuinte, 60, 140);
    auto* lFantasia = new vorta::ui::Label(this, QStringLiteral("Nome Fantasia:"));
    lFantasia->setGeometry(8, 204, 90, 16);
    DBText_NomePropr = new vorta::ui::DBText(this, QStringLiteral("DBText_NomePropr"));
    DBText_NomePropr->setGeometry(100, 204, 532, 16);
    DBText_NomePropr->setDataSource(DsContribuinte);
    DBText_NomePropr->setDataField(QStringLiteral("Con_NomePropr"));
    DBGrid->setColumns({{QStringLiteral("Con_IECNPJCPF"), QStringLiteral("Inscrição Estadual"), 120},
                        {QStringLiteral("Con_Nome"), QStringLiteral("Razão Social"), 400}});
    GridLMC = GradeMovimento(this, "GridLMC", DsMovimento, 226, 170);
    GridLMC->setColumns({{QStringLiteral("mov_Ano_referencia"), QStringLiteral("Ano"), 60},
                         {QStringLiteral("mov_Mes_referencia"), QStringLiteral("Mês"), 50},
                         {QStringLiteral("mov_Tipo"), QStringLiteral("Tipo ( Normal / Retificador)"), 180},
                         {QStringLiteral("str_Situacao"), QStringLiteral("Situação"), 120}});

    auto button = [this](const char* caption, const char* name, int x, int w) {
        return BotaoMovimento(this, caption, name, x, 404, w);
    };
    BtMovimento = button("&Movimento", "BtMovimento", 8, 90);
    BtNovo = button("&Novo", "BtNovo", 102, 80);
    BtExcluir = button("Excluir", "BtExcluir", 186, 80);
    btValidar = button("&Validar", "btValidar", 270, 80);
    BtRetornar = button("&Retornar", "BtRetornar", 460, 84);
    Botao_Fecha = button("&Sair", "Botao_Fecha", 548, 84);

    msgStatus = new vorta::ui::StatusBar(this);
    msgStatus->addPanel({QString(), 640});
    msgStatus->setGeometry(0, 436, 640, 24);

    BtMovimento->OnClick = [this](QWidget* s) { BtMovimentoClick(s); };
    BtNovo->OnClick = [this](QWidget* s) { BtNovoClick(s); };
    BtExcluir->OnClick = [this](QWidget* s) { BtExcluirClick(s); };
    btValidar->OnClick = [this](QWidget* s) { btValidarClick(s); };
    BtRetornar->OnClick = [this](QWidget* s) { BtRetornarClick(s); };
    Botao_Fecha->OnClick = [this](QWidget* s) { Botao_FechaClick(s); };
    Edit_Busca->OnKeyDown = [this](QWidget* s, int& k, Qt::KeyboardModifiers m) { Edit_BuscaKeyDown(s, k, m); };
    Edit_Busca->OnExit = [this](QWidget* s) { Edit_BuscaExit(s); };
    OnShow = [this](vorta::ui::Form* f) { FormShow(f); };
}

void TSelMovimento::reabre(const QString& inscricao)
{
    QryMovimento->close();
    QryContribuinte->close();
    QryContribuinte->open();
    QryMovimento->open();
    if (!inscricao.isEmpty())
        QryContribuinte->locate(QStringLiteral("Con_IECNPJCPF"), inscricao);
}

void TSelMovimento::FormShow(vorta::ui::Form*)
{
    reabre();
    QryMovimento->last();
}

void TSelMovimento::Edit_BuscaKeyDown(QWidget*, int& key, Qt::KeyboardModifiers)
{
    if (key == vorta::ui::VK_RETURN)
        Edit_BuscaExit(Edit_Busca);
}

void TSelMovimento::Edit_BuscaExit(QWidget*)
{
    if (Edit_Busca->text().isEmpty())
        return;
    BuscaPorFiltro(QryContribuinte,
                   RadioGroup_Ordem->itemIndex() == 0 ? QStringLiteral("Con_IECNPJCPF") : QStringLiteral("Con_Nome"),
                   Edit_Busca->text());
}

void TSelMovimento::Desabilita(TCadMovimento* f)
{
    for (QWidget* w : std::initializer_list<QWidget*>{f->btVerErros, f->btGravar, f->BtAlterar, f->btCancelar,
                                                      f->DBEdit_Con_IECNPJCPF})
        w->setEnabled(false);
    f->HabilitaPaineis(false);
}

void TSelMovimento::Habilita(TCadMovimento* f)
{
    f->btGravar->setEnabled(false);
    f->btCancelar->setEnabled(false);
    f->BtAlterar->setEnabled(true);
    // A stored movement keeps its declarant; "Alterar" opens the register data.
    f->DBEdit_Con_IECNPJCPF->setEnabled(false);
}

void TSelMovimento::BtNovoClick(QWidget*)
{
    msgStatus->setPanelText(0, QStringLiteral("Incluir novo movimento de combustíveis"));
    TFormAutoDestroyer formas;
    TCadMovimento* f = formas.CreateForm(CadMovimento, this);
    DM_MTC->dbMTC->startTransaction();
    f->Modo = QStringLiteral("I");
    f->btRetornar->setEnabled(false);
    f->Botao_Fecha->setEnabled(false);
    f->btGravar->setEnabled(true);
    f->btCancelar->setEnabled(true);
    f->BtAlterar->setEnabled(false);
    f->HabilitaPaineis(true);
    for (QWidget* w : std::initializer_list<QWidget*>{f->DBEdit_Ano, f->DBEdit_Mes, f->DBRadioGroup_Tipo})
        w->setEnabled(true);
    f->TabSheetLeitura->setTabVisible(false);
    DM_MTC->TblMTC->open();
    DM_MTC->TblContribuinteMTC->open();
    DM_MTC->TblMTC->insert();
    DM_MTC->TblMTC->fieldByName(QStringLiteral("mov_tipo"))->setAsString(QStringLiteral("N"));
    f->showModal();
    reabre(QryContribuinte->active() ? QryContribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString()
                                     : QString());
}

void TSelMovimento::BtMovimentoClick(QWidget*)
{
    if (!QryMovimento->active() || QryMovimento->isEmpty()) {
        MsgInfoBD(1683);
        return;
    }
    const QString ie = QryMovimento->fieldByName(QStringLiteral("con_iecnpjcpf"))->asString();
    const int codigo = int(QryMovimento->fieldByName(QStringLiteral("mov_codigo"))->asInteger());
    TFormAutoDestroyer formas;
    TCadMovimento* f = formas.CreateForm(CadMovimento, this);
    DM_MTC->TblMTC->open();
    DM_MTC->TblContribuinteMTC->open();
    DM_MTC->TblMTC->locate(QStringLiteral("mov_codigo"), codigo);
    DM_MTC->TblEntrega->open();
    vorta::db::DataSet* mov = DM_MTC->TblMTC;
    auto abreParaAlterar = [&] {
        if (!DM_MTC->dbMTC->inTransaction())
            DM_MTC->dbMTC->startTransaction();
        mov->edit();
        Habilita(f);
    };
    if (mov->fieldByName(QStringLiteral("mov_situacao"))->asString() != QLatin1String("G")) {
        abreParaAlterar();
    } else {
        const QString chave =
            ChaveMovimento(ie, int(mov->fieldByName(QStringLiteral("mov_ano_referencia"))->asInteger()),
                           int(mov->fieldByName(QStringLiteral("mov_mes_referencia"))->asInteger()),
                           mov->fieldByName(QStringLiteral("mov_tipo"))->asString(), codigo);
        if (AbreMovimentoGerado(DM_MTC->dbMTC, chave))
            abreParaAlterar();
        else
            Desabilita(f);
    }
    f->TabSheetLeitura->setTabVisible(true);
    f->BtAtualizar->setEnabled(true);
    f->showModal();
    DM_MTC->TblEntrega->close();
    reabre(ie);
}

void TSelMovimento::BtExcluirClick(QWidget*)
{
    if (!QryMovimento->active() || QryMovimento->isEmpty()) {
        MsgInfoBD(1683);
        return;
    }
    const QString ie = QryMovimento->fieldByName(QStringLiteral("con_iecnpjcpf"))->asString();
    ExcluiMovimento(DM_MTC->dbMTC, int(QryMovimento->fieldByName(QStringLiteral("mov_codigo"))->asInteger()), ie,
                    int(QryMovimento->fieldByName(QStringLiteral("mov_Ano_referencia"))->asInteger()),
                    int(QryMovimento->fieldByName(QStringLiteral("mov_Mes_referencia"))->asInteger()));
    reabre(ie);
}

void TSelMovimento::btValidarClick(QWidget*)
{
    {
        TFormAutoDestroyer formas;
        formas.CreateForm(SelValidaMovimento, this)->showModal();
    }
    reabre();
}

void TSelMovimento::BtRetornarClick(QWidget*)
{
    close();
}

void TSelMovimento::Botao_FechaClick(QWidget*)
{
    if (MsgSimNaoBD(440) == vorta::ui::mrYes)
        vorta::Application::instance()->terminate();
}
