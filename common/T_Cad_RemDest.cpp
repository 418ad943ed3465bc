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

TCad_RemDest::TCad_RemDest(vorta::Component* owner) : TFtemplate(owner)
{
    setName(QStringLiteral("Cad_RemDest"));
    setObjectName(QStringLiteral("Cad_RemDest"));
    setCaption(QStringLiteral("Cadastro de destinatário e remetente"));
    helpContext = 12300;

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
                  DM_Comuns ? DM_Comuns->Ds_Municipio : nullptr, MunEndereco, 16, 158, 300);

    DBEdit_Con_UF = criaCampo(&Label6, "Label6", "UF", QStringLiteral("DBEdit_Con_UF"), ConUF, 16, 198, 30);

    DBGrid->setColumns({{QStringLiteral("Calc_IECNPJCPF"), QString()},
                        {QStringLiteral("Con_Nome"), QString(), 217},
                        {QStringLiteral("Lk_Municipio"), QString()},
                        {ConUF, QString(), 23}});

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

    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_RemDest);
}

void TCad_RemDest::mascaraDoTipo()
{
    vorta::db::DataSet* ds = dsBase->dataSet();
    if (!ds || !ds->active())
        return;
    const QString mascara = MascaraDesteConTipo(ds->fieldByName(ConTipo)->asString());
    ds->fieldByName(ConIECNPJCPF)->setEditMask(mascara);
    // The edit shows what is typed under the new mask at once.
    DBEdit_Con_IECNPJCPF->setEditMask(mascara);
}

int TCad_RemDest::dicaDoTipo() const
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

void TCad_RemDest::FormShow(Form* sender)
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

void TCad_RemDest::btPrimeiroClick(QWidget* sender)
{
    TFtemplate::btPrimeiroClick(sender);
    btMuncipio->setEnabled(false);
}

void TCad_RemDest::btAnteriorClick(QWidget* sender)
{
    TFtemplate::btAnteriorClick(sender);
    btMuncipio->setEnabled(false);
}

void TCad_RemDest::btProximoClick(QWidget* sender)
{
    TFtemplate::btProximoClick(sender);
    btMuncipio->setEnabled(false);
}

void TCad_RemDest::btUltimoClick(QWidget* sender)
{
    TFtemplate::btUltimoClick(sender);
    btMuncipio->setEnabled(false);
}

void TCad_RemDest::btConsultaSimplesClick(QWidget* sender)
{
    TFtemplate::btConsultaSimplesClick(sender);
    Panel_Busca->hide();
    DBRadioGroup_ConTipo->setEnabled(false);
    btMuncipio->setEnabled(false);
}

void TCad_RemDest::btConsultaGridClick(QWidget* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    TFtemplate::btConsultaGridClick(sender);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TCad_RemDest::btIncluirClick(QWidget* sender)
{
    TFtemplate::btIncluirClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    baseDataSet().fieldByName(ConTipo)->setAsString(QStringLiteral("IE"));
    DBEdit_Con_UF->FieldControl::setReadOnly(true);
    btMuncipio->setEnabled(true);
    DBRadioGroup_ConTipo->setEnabled(true);
    setFocus();
    DBEdit_Con_IECNPJCPF->setFocus();
    DBEdit_Con_IECNPJCPF->selectAll();
}

void TCad_RemDest::modoAlteracao(bool foca)
{
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    DBEdit_Con_IECNPJCPF->FieldControl::setReadOnly(true);
    // The kind is fixed once a row exists, unless it has none.
    DBRadioGroup_ConTipo->setEnabled(baseDataSet().fieldByName(ConTipo)->asString().isEmpty());
    DBEdit_Con_UF->FieldControl::setReadOnly(true);
    btMuncipio->setEnabled(true);
    if (foca) {
        DBEdit_Nome->setFocus();
        DBEdit_Nome->selectAll();
    }
}

void TCad_RemDest::btAlterarClick(QWidget* sender)
{
    TFtemplate::btAlterarClick(sender);
    modoAlteracao(true);
}

void TCad_RemDest::btGravarClick(QWidget* sender)
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
    TFtemplate::btGravarClick(sender);
    DesabilitaReadOnly(this);
    btMuncipio->setEnabled(false);
    DBRadioGroup_ConTipo->setEnabled(false);
    CancelaContrib = baseDataSet().fieldByName(ConIECNPJCPF)->asString();
    setFocus();
    DBEdit_Con_IECNPJCPF->setEnabled(true);
    DBEdit_Con_IECNPJCPF->setFocus();
    DBEdit_Con_IECNPJCPF->selectAll();
}

void TCad_RemDest::modoNavegacao(bool foca)
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

void TCad_RemDest::btCancelarClick(QWidget* sender)
{
    TFtemplate::btCancelarClick(sender);
    modoNavegacao(true);
    CancelaContrib.clear();
}

void TCad_RemDest::btExcluirClick(QWidget* sender)
{
    TFtemplate::btExcluirClick(sender);
    DesabilitaReadOnly(this);
}

void TCad_RemDest::DBEdit_Con_IECNPJCPFExit(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    if (ds.state() != vorta::db::DataSetState::Insert || !DM_Comuns)
        return;
    const QString r = DBEdit_Con_IECNPJCPF->maskedText().trimmed();
    vorta::db::Query* q = DM_Comuns->Q_Geral;
    q->close();
    q->setSqlLines({QStringLiteral("select Con_IECNPJCPF from Contribuinte "),
                    QStringLiteral("where Con_IECNPJCPF   =:IECNPJCPF")});
    q->paramByName(QStringLiteral("IECNPJCPF"))->setAsString(r);
    q->open();
    const bool existe = !q->isEmpty();
    q->close();
    if (!existe)
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

void TCad_RemDest::copiaMunicipio(vorta::db::DataSet& municipio)
{
    vorta::db::DataSet& ds = baseDataSet();
    // Only a record being edited takes the choice.
    if (!emEdicao(ds) || !municipio.active() || municipio.isEmpty())
        return;
    ds.fieldByName(MunEndereco)->setValue(municipio.fieldByName(QStringLiteral("Mun_Codigo"))->value());
    ds.fieldByName(ConUF)->setAsString(municipio.fieldByName(QStringLiteral("Mun_UF"))->asString());
    if (ds.fieldByName(MunEndereco)->asString().isEmpty())
        ds.fieldByName(ConUF)->clear();
}

void TCad_RemDest::btMuncipioClick(QWidget*)
{
    vorta::ui::createForm(Cad_Municipio);
    Cad_Municipio->ModoSelecao = true;
    Cad_Municipio->showModal();
    if (DM_Comuns)
        copiaMunicipio(*DM_Comuns->Tb_Municipio);
}

void TCad_RemDest::DBLookupComboBox_MunicipioClick(QWidget*)
{
    if (DM_Comuns)
        copiaMunicipio(*DM_Comuns->Tb_Municipio);
}

void TCad_RemDest::DBLookupComboBox_MunicipioKeyPress(QWidget*, QChar&)
{
    if (DM_Comuns)
        copiaMunicipio(*DM_Comuns->Tb_Municipio);
}

void TCad_RemDest::Edit_BuscaChange(QWidget*)
{
    if (!hasRecords())
        return;
    const QString campo = RadioGroup_Contribuinte->itemIndex() == 0 ? ConIECNPJCPF : QStringLiteral("Con_Nome");
    if (RadioGroup_Contribuinte->itemIndex() == 0 || RadioGroup_Contribuinte->itemIndex() == 1)
        baseDataSet().locate(campo, Edit_Busca->text(), vorta::db::loPartialKey);
}
