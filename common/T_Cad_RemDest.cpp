#include "T_Cad_RemDest.h"

#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"

vorta::Guarded<TCad_RemDest> Cad_RemDest;

using vorta::ui::Align;
using vorta::ui::DBEdit;
using vorta::ui::Label;

namespace {
const QString ConIECNPJCPF = QStringLiteral("Con_IECNPJCPF");
const QString ConTipo = QStringLiteral("Con_Tipo");
const QString MunEndereco = QStringLiteral("Mun_Endereco");
const QString ConUF = QStringLiteral("Con_UF");
} // namespace

TCad_Inscricao::TCad_Inscricao(vorta::Component* owner, const QString& campoMunicipio) : TFtemplate(owner)
{
    RadioGroup_Contribuinte = criaPainelBusca(
        QStringLiteral("Digite aqui para buscar o contribuinte automaticamente"),
        QStringLiteral("RadioGroup_Contribuinte"), QStringLiteral(" Busca de Contribuinte"),
        {QStringLiteral("Por inscrição"), QStringLiteral("Por nome")}, 2, 260);
    RadioGroup_Contribuinte->setItemIndex(1);
    Label5 = Label_Busca;
    Label5->setName(QStringLiteral("Label5"));
    Label5->setObjectName(QStringLiteral("Label5"));

    DBRadioGroup_ConTipo = criaTipoInscricao(pagina1);
    DBRadioGroup_ConTipo->setGeometry(16, 8, 560, 62);

    DBEdit_Con_IECNPJCPF = criaCampo(&Label1, "Label1", "IE / CNPJ / CPF / Outras",
                                     QStringLiteral("DBEdit_Con_IECNPJCPF"), ConIECNPJCPF, 16, 78, 160);
    DBEdit_Nome = criaCampo(&Label3, "Label3", "Nome / Razão Social", QStringLiteral("DBEdit_Nome"),
                            QStringLiteral("Con_Nome"), 16, 118, 300);

    criaMunicipio(&Label4, "Label4", &DBLookupComboBox_Municipio, &btMuncipio,
                  DM_Comuns ? DM_Comuns->Ds_Municipio : nullptr, campoMunicipio, 16, 158, 300);

    ligaDica(DBRadioGroup_ConTipo, 36);
    ligaDica(DBLookupComboBox_Municipio, 51);
    DBEdit_Con_IECNPJCPF->OnEnter = [this](QWidget*) {
        mascaraDoTipo();
        const int dica = dicaDoTipo();
        if (dica)
            msgStatus->setPanelText(0, GetErrorMessage(dica));
    };
    DBEdit_Nome->OnEnter = [this](QWidget*) {
        mascaraDoTipo();
        msgStatus->setPanelText(0, GetErrorMessage(37));
        if (const int dica = dicaDoTipo())
            msgStatus->setPanelText(0, GetErrorMessage(dica));
    };
    DBEdit_Con_IECNPJCPF->OnExit = [this](QWidget* s) { DBEdit_Con_IECNPJCPFExit(s); };
    btMuncipio->OnClick = [this](QWidget* s) { btMuncipioClick(s); };
    DBLookupComboBox_Municipio->OnClick = [this](QWidget* s) { DBLookupComboBox_MunicipioClick(s); };
    DBLookupComboBox_Municipio->OnKeyPress = [this](QWidget* s, QChar& k) { DBLookupComboBox_MunicipioKeyPress(s, k); };
}

TCad_RemDest::TCad_RemDest(vorta::Component* owner) : TCad_Inscricao(owner, MunEndereco)
{
    setName(QStringLiteral("Cad_RemDest"));
    setObjectName(QStringLiteral("Cad_RemDest"));
    setCaption(QStringLiteral("Cadastro de destinatário e remetente"));
    helpContext = 12300;

    DBEdit_Con_UF = criaCampo(&Label6, "Label6", "UF", QStringLiteral("DBEdit_Con_UF"), ConUF, 16, 198, 30);
    m_uf = DBEdit_Con_UF;

    DBGrid->setColumns({{QStringLiteral("Calc_IECNPJCPF"), QString()},
                        {QStringLiteral("Con_Nome"), QString(), 217},
                        {QStringLiteral("Lk_Municipio"), QString()},
                        {ConUF, QString(), 23}});

    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_RemDest);
}

void TCad_Inscricao::mascaraDoTipo()
{
    vorta::db::DataSet* ds = dsBase->dataSet();
    if (!ds || !ds->active())
        return;
    const QString mascara = MascaraDesteConTipo(ds->fieldByName(ConTipo)->asString());
    ds->fieldByName(ConIECNPJCPF)->setEditMask(mascara);
    // The edit shows what is typed under the new mask at once.
    DBEdit_Con_IECNPJCPF->setEditMask(mascara);
}

int TCad_Inscricao::dicaDoTipo() const
{
    vorta::db::DataSet* ds = dsBase->dataSet();
    if (!ds || !ds->active())
        return 0;
    return DicaDoConTipo(ds->fieldByName(ConTipo)->asString());
}

void TCad_RemDest::FormCreate(Form* sender)
{
    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_RemDest);
    TFtemplate::FormCreate(sender);
}

void TCad_Inscricao::FormShow(Form* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    // Open before the grid's rows are read, so they show their municipality.
    if (DM_Comuns && !DM_Comuns->Tb_Municipio->active())
        DM_Comuns->Tb_Municipio->open();
    TFtemplate::FormShow(sender);
    DesabilitaReadOnly(this);
    btMuncipio->setEnabled(false);
    if (ModoInclusao) {
        btIncluir->click();
        if (DM_Comuns && !DM_Comuns->InscricaoPadrao.isEmpty())
            baseDataSet().fieldByName(ConIECNPJCPF)->setAsString(DM_Comuns->InscricaoPadrao);
    } else {
        Edit_Busca->setFocus();
        Edit_Busca->selectAll();
    }
}

void TCad_Inscricao::btPrimeiroClick(QWidget* sender)
{
    TFtemplate::btPrimeiroClick(sender);
    btMuncipio->setEnabled(false);
}

void TCad_Inscricao::btAnteriorClick(QWidget* sender)
{
    TFtemplate::btAnteriorClick(sender);
    btMuncipio->setEnabled(false);
}

void TCad_Inscricao::btProximoClick(QWidget* sender)
{
    TFtemplate::btProximoClick(sender);
    btMuncipio->setEnabled(false);
}

void TCad_Inscricao::btUltimoClick(QWidget* sender)
{
    TFtemplate::btUltimoClick(sender);
    btMuncipio->setEnabled(false);
}

void TCad_Inscricao::btConsultaSimplesClick(QWidget* sender)
{
    TFtemplate::btConsultaSimplesClick(sender);
    Panel_Busca->hide();
    DBRadioGroup_ConTipo->setEnabled(false);
    btMuncipio->setEnabled(false);
}

void TCad_Inscricao::btConsultaGridClick(QWidget* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    TFtemplate::btConsultaGridClick(sender);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TCad_Inscricao::btIncluirClick(QWidget* sender)
{
    TFtemplate::btIncluirClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    baseDataSet().fieldByName(ConTipo)->setAsString(QStringLiteral("IE"));
    if (m_uf)
        m_uf->FieldControl::setReadOnly(true);
    btMuncipio->setEnabled(true);
    DBRadioGroup_ConTipo->setEnabled(true);
    setFocus();
    DBEdit_Con_IECNPJCPF->setFocus();
    DBEdit_Con_IECNPJCPF->selectAll();
}

void TCad_Inscricao::modoAlteracao(bool foca)
{
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    DBEdit_Con_IECNPJCPF->FieldControl::setReadOnly(true);
    // The kind is fixed once a row exists, unless it has none.
    DBRadioGroup_ConTipo->setEnabled(baseDataSet().fieldByName(ConTipo)->asString().isEmpty());
    if (m_uf)
        m_uf->FieldControl::setReadOnly(true);
    btMuncipio->setEnabled(true);
    if (foca) {
        DBEdit_Nome->setFocus();
        DBEdit_Nome->selectAll();
    }
}

void TCad_Inscricao::btAlterarClick(QWidget* sender)
{
    TFtemplate::btAlterarClick(sender);
    modoAlteracao(true);
}

void TCad_Inscricao::btGravarClick(QWidget* sender)
{
    // Leaving the edit runs its exit step before anything is checked.
    m_saidaRecusada = false;
    ScrollBox1->setFocus();
    if (m_saidaRecusada)
        vorta::Abort();
    if (DBEdit_Con_IECNPJCPF->maskedText().trimmed().isEmpty()) {
        MsgErroBD(1408);
        DBEdit_Con_IECNPJCPF->setFocus();
        vorta::Abort();
    }
    vorta::db::DataSet& ds = baseDataSet();
    const int mensagem =
        MensagemTamanhoDoConTipo(ds.fieldByName(ConTipo)->asString(), ds.fieldByName(ConIECNPJCPF)->asString());
    if (mensagem) {
        MsgErroBD(mensagem);
        DBRadioGroup_ConTipo->setFocus();
        vorta::Abort();
    }
    checaGravacao();
    TFtemplate::btGravarClick(sender);
    modoNavegacao(true);
    CancelaContrib = ds.fieldByName(ConIECNPJCPF)->asString();
}

void TCad_Inscricao::modoNavegacao(bool foca)
{
    DesabilitaReadOnly(this);
    btMuncipio->setEnabled(false);
    DBRadioGroup_ConTipo->setEnabled(false);
    if (!foca)
        return;
    setFocus();
    DBEdit_Con_IECNPJCPF->setEnabled(true);
    DBEdit_Con_IECNPJCPF->setFocus();
    DBEdit_Con_IECNPJCPF->selectAll();
}

void TCad_Inscricao::btCancelarClick(QWidget* sender)
{
    TFtemplate::btCancelarClick(sender);
    modoNavegacao(true);
}

void TCad_RemDest::btCancelarClick(QWidget* sender)
{
    TCad_Inscricao::btCancelarClick(sender);
    CancelaContrib.clear();
}

void TCad_Inscricao::btExcluirClick(QWidget* sender)
{
    TFtemplate::btExcluirClick(sender);
    DesabilitaReadOnly(this);
}

void TCad_Inscricao::DBEdit_Con_IECNPJCPFExit(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    if (ds.state() != vorta::db::DataSetState::Insert || !DM_Comuns)
        return;
    const QString r = DBEdit_Con_IECNPJCPF->maskedText().trimmed();
    if (r.isEmpty() || !DM_Comuns->ExisteContribuinte(r))
        return;
    const bool alterar = MsgSimNaoBD(1419) == vorta::ui::mrYes;
    m_saidaRecusada = true;
    // The new row is given up either way and the form browses the existing one; the
    // focus is on its way elsewhere, so it is left alone.
    TFtemplate::btCancelarClick(btCancelar);
    modoNavegacao(false);
    CancelaContrib.clear();
    const bool achou = ds.locate(ConIECNPJCPF, r, vorta::db::loCaseInsensitive);
    if (alterar) {
        if (!achou) {
            // Not in this list: no other row may be opened in its place.
            MsgErroBD(22);
            vorta::Abort();
        }
        TFtemplate::btAlterarClick(btAlterar);
        modoAlteracao(false);
    }
    vorta::Abort();
}

void TCad_Inscricao::copiaMunicipio(bool propriedade)
{
    vorta::db::DataSet& ds = baseDataSet();
    // Only a record being edited takes the choice.
    if (!DM_Comuns || !emEdicao(ds))
        return;
    vorta::db::DataSet& municipio = *DM_Comuns->Tb_Municipio;
    if (!municipio.active() || municipio.isEmpty())
        return;
    const QVariant codigo = municipio.fieldByName(QStringLiteral("Mun_Codigo"))->value();
    const QString uf = municipio.fieldByName(QStringLiteral("Mun_UF"))->asString();
    ds.fieldByName(MunEndereco)->setValue(codigo);
    ds.fieldByName(ConUF)->setAsString(uf);
    if (ds.fieldByName(MunEndereco)->asString().isEmpty())
        ds.fieldByName(ConUF)->clear();
    if (propriedade) {
        ds.fieldByName(QStringLiteral("Mun_Propriedade"))->setValue(codigo);
        ds.fieldByName(QStringLiteral("Con_UFEstab"))->setAsString(uf);
    }
}

void TCad_Inscricao::btMuncipioClick(QWidget*)
{
    vorta::ui::createForm(Cad_Municipio);
    Cad_Municipio->ModoSelecao = true;
    Cad_Municipio->showModal();
    copiaMunicipio(m_municipioDaPropriedade);
}

void TCad_Inscricao::DBLookupComboBox_MunicipioClick(QWidget*)
{
    copiaMunicipio(false);
}

void TCad_Inscricao::DBLookupComboBox_MunicipioKeyPress(QWidget*, QChar&)
{
    copiaMunicipio(false);
}

void TCad_Inscricao::Edit_BuscaChange(QWidget*)
{
    if (!hasRecords())
        return;
    const int item = RadioGroup_Contribuinte->itemIndex();
    if (item == 0 || item == 1)
        baseDataSet().locate(item == 0 ? ConIECNPJCPF : QStringLiteral("Con_Nome"), Edit_Busca->text(),
                             vorta::db::loPartialKey);
}
