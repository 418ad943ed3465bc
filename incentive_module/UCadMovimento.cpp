#include "UCadMovimento.h"

#include "DmValidar.h"
#include "DialogsX.h"
#include "UBuscaMovimento.h"
#include "UDM_MTC.h"
#include "UMovimento.h"
#include "UResumoMovimento.h"
#include "UValidar.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/report/TextFormat.h"
#include "platform/db/Field.h"

vorta::Guarded<TCadMovimento> CadMovimento;
std::function<void()> AbreSelMapas;

using vorta::ui::DBEdit;
using vorta::ui::Label;
using vorta::ui::SpeedButton;

namespace {
const QString kIE = QStringLiteral("con_iecnpjcpf");

bool editando(vorta::db::DataSet* ds)
{
    return ds->state() == vorta::db::DataSetState::Edit || ds->state() == vorta::db::DataSetState::Insert;
}
} // namespace

TCadMovimento::TCadMovimento(vorta::Component* owner) : vorta::ui::Form(owner)
{
    setName(QStringLiteral("CadMovimento"));
    setObjectName(QStringLiteral("CadMovimento"));
    setCaption(QStringLiteral("Movimentação de  Mapas de Tipificação de Carcaça"));
    setClientSize(640, 500);
    keyPreview = true;
    OnKeyPress = [this](vorta::ui::Form*, QChar& key) {
        if (key == QChar(13)) {
            key = QChar(0);
            selectNext(activeControl(), true, true);
        }
    };

    auto button = [this](const char* caption, const char* name, int x, int y, int w) {
        return BotaoMovimento(this, caption, name, x, y, w);
    };
    Botao_Fecha = button("&Sair", "Botao_Fecha", 548, 4, 84);
    btRetornar = button("&Retornar", "btRetornar", 460, 4, 84);
    btVerErros = button("&Ver Erros", "btVerErros", 372, 4, 84);
    BtAtualizar = button("Visualizar Resumo", "BtAtualizar", 240, 4, 128);

    PageControlLMC = new vorta::ui::PageControl(this, QStringLiteral("PageControlLMC"));
    PageControlLMC->setGeometry(4, 34, 632, 462);
    TabSheetContribuinte = new vorta::ui::TabSheet(PageControlLMC, QStringLiteral("Contribuinte"),
                                                   QStringLiteral("TabSheetContribuinte"));
    TabSheetLeitura = new vorta::ui::TabSheet(PageControlLMC, QStringLiteral("Resumo Movimento"),
                                              QStringLiteral("TabSheetLeitura"));
    DM_MTC->TabSheetContribuinte = TabSheetContribuinte;
    DM_MTC->TabSheetLeitura = TabSheetLeitura;

    QWidget* p = TabSheetContribuinte;
    int y = 8;
    auto edit = [&](const char* caption, const char* name, vorta::db::DataSource* ds, const char* field, int w) {
        auto* l = new Label(p, QString::fromUtf8(caption));
        l->setGeometry(8, y, 200, 16);
        auto* e = new DBEdit(p, QString::fromLatin1(name));
        e->setGeometry(8, y + 16, w, 21);
        e->setDataSource(ds);
        e->setDataField(QString::fromLatin1(field));
        l->setBuddy(e);
        y += 42;
        return e;
    };
    DBEdit_Con_IECNPJCPF = edit("Inscrição Estadual", "DBEdit_Con_IECNPJCPF", DM_MTC->dsMTC, "con_iecnpjcpf", 100);
    DBEdit_Con_Nome = edit("Razão Social", "DBEdit_Con_Nome", DM_MTC->DsContribuinteMTC, "Con_Nome", 320);
    DBEdit_Con_NomePropr = edit("Nome Fantasia", "DBEdit_Con_NomePropr", DM_MTC->DsContribuinteMTC, "Con_NomePropr", 320);
    DBEdit_mov_responsavel =
        edit("Responsável pela Digitação", "DBEdit_mov_responsavel", DM_MTC->dsMTC, "mov_responsavel", 320);
    DBEdit_Ano = edit("Ano", "DBEdit_Ano", DM_MTC->dsMTC, "mov_ano_referencia", 60);
    DBEdit_Mes = edit("Mês", "DBEdit_Mes", DM_MTC->dsMTC, "mov_mes_referencia", 40);
    DBRadioGroup_Tipo = new vorta::ui::DBRadioGroup(p, QStringLiteral("DBRadioGroup_Tipo"));
    DBRadioGroup_Tipo->setCaption(QStringLiteral("Tipo do Movimento:"));
    DBRadioGroup_Tipo->setItems({QStringLiteral("Normal"), QStringLiteral("Retificação")});
    DBRadioGroup_Tipo->setValues({QStringLiteral("N"), QStringLiteral("R")});
    DBRadioGroup_Tipo->setColumns(2);
    DBRadioGroup_Tipo->setGeometry(8, y, 240, 40);
    DBRadioGroup_Tipo->setDataSource(DM_MTC->dsMTC);
    DBRadioGroup_Tipo->setDataField(QStringLiteral("mov_tipo"));
    y += 46;
    auto* lm = new Label(p, QStringLiteral("Município para correspondência"));
    lm->setGeometry(8, y, 240, 16);
    DBLookupComboBox3 = new vorta::ui::DBLookupComboBox(p, QStringLiteral("DBLookupComboBox3"));
    DBLookupComboBox3->setGeometry(8, y + 16, 240, 21);
    DBLookupComboBox3->setKeyField(QStringLiteral("Mun_Codigo"));
    DBLookupComboBox3->setListField(QStringLiteral("Mun_Descricao"));
    DBLookupComboBox3->setListSource(DM_MTC->DsMunicipio);
    DBLookupComboBox3->setDataSource(DM_MTC->DsContribuinteMTC);
    DBLookupComboBox3->setDataField(QStringLiteral("Mun_Endereco"));
    btGravar = button("   &Gravar", "btGravar", 8, 400, 100);
    btCancelar = button("   &Cancelar", "btCancelar", 112, 400, 100);
    BtAlterar = button("Alterar", "BtAlterar", 216, 400, 100);
    for (SpeedButton* b : {btGravar, btCancelar, BtAlterar})
        b->setParent(p), b->show();

    // The summary page: a row per class, then the totals.
    QWidget* r = TabSheetLeitura;
    const char* titulos[] = {"Classe", "Cabeças", "Peso (kg)", "Arrobas", "Repasse"};
    for (int c = 0; c < 5; ++c)
        (new Label(r, QString::fromUtf8(titulos[c])))->setGeometry(8 + c * 110, 8, 100, 16);
    const char* classes[] = {"JD", "J2", "J4", "TD", "T2", "JFD", "JF2", "JF4"};
    for (int i = 0; i < 8; ++i) {
        (new Label(r, QString::fromLatin1(classes[i])))->setGeometry(8, 28 + i * 20, 100, 16);
        for (int c = 1; c < 5; ++c) {
            auto* l = new Label(r, QStringLiteral("0"));
            l->setAlignment(Qt::AlignRight);
            l->setGeometry(8 + c * 110, 28 + i * 20, 100, 16);
            Resumo << l;
        }
    }
    (new Label(r, QStringLiteral("Quantidade Total de Animais")))->setGeometry(8, 200, 220, 16);
    LQtdTotal = new Label(r, QStringLiteral("0"), QStringLiteral("LQtdTotal"));
    LQtdTotal->setGeometry(230, 200, 100, 16);
    (new Label(r, QStringLiteral("Valor Total do Repasse")))->setGeometry(8, 220, 220, 16);
    LRepasseTotal = new Label(r, QStringLiteral("0,00"), QStringLiteral("LRepasseTotal"));
    LRepasseTotal->setGeometry(230, 220, 100, 16);

    DBEdit_Con_IECNPJCPF->OnExit = [this](QWidget* s) { DBEdit_Con_IECNPJCPFExit(s); };
    btGravar->OnClick = [this](QWidget* s) { btGravarClick(s); };
    btCancelar->OnClick = [this](QWidget* s) { btCancelarClick(s); };
    BtAlterar->OnClick = [this](QWidget* s) { BtAlterarClick(s); };
    BtAtualizar->OnClick = [this](QWidget* s) { BtAtualizarClick(s); };
    btVerErros->OnClick = [this](QWidget* s) { btVerErrosClick(s); };
    btRetornar->OnClick = [this](QWidget* s) { btRetornarClick(s); };
    Botao_Fecha->OnClick = [this](QWidget* s) { Botao_FechaClick(s); };
    PageControlLMC->OnChange = [this](QWidget* s) {
        if (PageControlLMC->activePage() == TabSheetLeitura)
            BtAtualizarClick(s);
    };
    OnShow = [this](vorta::ui::Form* f) { FormShow(f); };
    OnClose = [this](vorta::ui::Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
}

void TCadMovimento::FormShow(vorta::ui::Form*)
{
    for (auto* t : {DM_MTC->TblMunicipio, DM_MTC->TblContribuinteComplemento})
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
    DBEdit_Con_IECNPJCPF->setEnabled(true);
    DBEdit_Con_IECNPJCPF->setFocus();
    DBEdit_Con_IECNPJCPF->selectAll();
    vorta::Abort();
}

void TCadMovimento::DBEdit_Con_IECNPJCPFExit(QWidget*)
{
    const QString ie = DBEdit_Con_IECNPJCPF->text().trimmed();
    if (ie.isEmpty())
        return;
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

    vorta::db::DataSet* mov = DM_MTC->TblMTC;
    if (!editando(mov))
        return;
    mov->fieldByName(kIE)->setAsString(ie);
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
        return;
    }
    if (MsgSimNaoBD(98) == vorta::ui::mrYes) {
        decl->insert();
        decl->fieldByName(QStringLiteral("Con_Tipo"))->setAsString(QStringLiteral("IE"));
        decl->fieldByName(QStringLiteral("Con_IECNPJCPF"))->setAsString(ie);
        compl_->insert();
        compl_->fieldByName(kIE)->setAsString(ie);
    } else {
        mov->fieldByName(kIE)->clear();
        DBEdit_Con_IECNPJCPF->setFocus();
    }
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
    try {
        for (auto* t : {decl, compl_})
            if (editando(t))
                t->post();
        if (editando(mov)) {
            mov->fieldByName(QStringLiteral("mov_situacao"))->setAsString(QStringLiteral("?"));
            mov->post();
        }
        db->commit(true);
    } catch (const vorta::EAbort&) {
        if (db->inTransaction())
            db->rollback();
        db->startTransaction();
        throw;
    } catch (...) {
        if (db->inTransaction())
            db->rollback();
        db->startTransaction();
        MsgErroBD(33);
        vorta::Abort();
    }
    travaGravado();
    if (Modo == QLatin1String("I") && MsgSimNaoBD(1688) == vorta::ui::mrYes && AbreSelMapas)
        AbreSelMapas();
}

void TCadMovimento::travaGravado()
{
    for (QWidget* w : std::initializer_list<QWidget*>{DBEdit_Con_IECNPJCPF, DBEdit_Ano, DBEdit_Mes, DBRadioGroup_Tipo,
                                                      btGravar, btCancelar})
        w->setEnabled(false);
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
    DM_MTC->TblMTC->edit();
    DM_MTC->TblContribuinteMTC->edit();
    if (DM_MTC->TblContribuinteComplemento->active() && !DM_MTC->TblContribuinteComplemento->isEmpty())
        DM_MTC->TblContribuinteComplemento->edit();
    btGravar->setEnabled(true);
    btCancelar->setEnabled(true);
    BtAlterar->setEnabled(false);
    DBEdit_Ano->setEnabled(false);
    DBEdit_Mes->setEnabled(false);
}

void TCadMovimento::btCancelarClick(QWidget*)
{
    close();
}

void TCadMovimento::BtAtualizarClick(QWidget*)
{
    vorta::db::DataSet* mov = DM_MTC->TblMTC;
    TResumoMovimento r;
    r.Calcula(DM_MTC.get(), mov->fieldByName(kIE)->asString(),
              int(mov->fieldByName(QStringLiteral("mov_ano_referencia"))->asInteger()),
              int(mov->fieldByName(QStringLiteral("mov_mes_referencia"))->asInteger()));
    const QString formato = QStringLiteral("###,###,##0.00");
    const TClasseMes* classes[] = {&r.JD, &r.J2, &r.J4, &r.TD, &r.T2, &r.JFD, &r.JF2, &r.JF4};
    for (int i = 0; i < 8; ++i) {
        Resumo[i * 4]->setCaption(QString::number(classes[i]->Qtd()));
        Resumo[i * 4 + 1]->setCaption(vorta::report::formatFloat(formato, classes[i]->Peso().toDouble()));
        Resumo[i * 4 + 2]->setCaption(vorta::report::formatFloat(formato, classes[i]->QtdArr().toDouble()));
        Resumo[i * 4 + 3]->setCaption(vorta::report::formatFloat(formato, classes[i]->Incentivo().toDouble()));
    }
    LQtdTotal->setCaption(QString::number(r.QtdTotal));
    LRepasseTotal->setCaption(vorta::report::formatFloat(formato, r.IncentivoTotal.toDouble()));
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
