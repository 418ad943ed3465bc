#include "T_Cad_Pecuarista.h"

#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/Application.h"

vorta::Guarded<TCad_Pecuarista> Cad_Pecuarista;

using vorta::ui::Align;
using vorta::ui::DBEdit;
using vorta::ui::Label;

namespace {
const QString ConIECNPJCPF = QStringLiteral("Con_IECNPJCPF");
const QString ConTipo = QStringLiteral("Con_Tipo");
const QString ConNome = QStringLiteral("Con_Nome");
const QString MunEndereco = QStringLiteral("Mun_Endereco");
const QString MunPropriedade = QStringLiteral("Mun_Propriedade");
const QString ConUF = QStringLiteral("Con_UF");
const QString ConUFEstab = QStringLiteral("Con_UFEstab");
} // namespace

TCad_Pecuarista::TCad_Pecuarista(vorta::Component* owner) : TFtemplate(owner)
{
    setName(QStringLiteral("Cad_Pecuarista"));
    setObjectName(QStringLiteral("Cad_Pecuarista"));
    setCaption(QStringLiteral("Cadastro de Pecuaristas"));

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
    DBEdit_Nome = criaCampo(&Label3, "Label3", "Nome / Razão Social", QStringLiteral("DBEdit_Nome"), ConNome, 16, 118,
                            300);

    criaMunicipio(&Label4, "Label4", &DBLookupComboBox_Municipio, &btMuncipio,
                  DM_Comuns ? DM_Comuns->Ds_Municipio : nullptr, MunPropriedade, 16, 158, 300);

    // The UF beside the municipality it comes with.
    DBEdit_Con_UFEstab = criaCampo(&Label6, "Label6", "UF", QStringLiteral("DBEdit_Con_UFEstab"), ConUFEstab, 410, 158,
                                   30);
    Label6->resize(40, 16);
    deEndereco = criaCampo(&Label7, "Label7", "Nome da Propriedade", QStringLiteral("deEndereco"),
                           QStringLiteral("Con_NomePropr"), 16, 198, 300);

    // The address municipality: the raiser's property municipality is copied into it.
    DBGrid->setColumns({{QStringLiteral("Calc_IECNPJCPF"), QStringLiteral("IE/CNPJ/CPF/OI")},
                        {ConNome, QString(), 217},
                        {QStringLiteral("Lk_MunEndereco"), QStringLiteral("Município")},
                        {ConUF, QStringLiteral("UF"), 23}});

    ligaDica(DBRadioGroup_ConTipo, 36);
    ligaDica(DBLookupComboBox_Municipio, 51);
    DBEdit_Con_IECNPJCPF->OnEnter = [this](QWidget*) {
        mascaraDoTipo();
        if (const int dica = DicaDoConTipo(baseDataSet().fieldByName(ConTipo)->asString()))
            msgStatus->setPanelText(0, GetErrorMessage(dica));
        else
            msgStatus->setPanelText(0, QString());
    };
    for (DBEdit* nome : {DBEdit_Nome, deEndereco})
        nome->OnEnter = [this](QWidget*) {
            mascaraDoTipo();
            const int dica = DicaDoConTipo(baseDataSet().fieldByName(ConTipo)->asString());
            msgStatus->setPanelText(0, GetErrorMessage(dica ? dica : 37));
        };
    DBEdit_Con_IECNPJCPF->OnExit = [this](QWidget* s) { DBEdit_Con_IECNPJCPFExit(s); };
    btMuncipio->OnClick = [this](QWidget* s) { btMuncipioClick(s); };
    DBLookupComboBox_Municipio->OnClick = [this](QWidget* s) { DBLookupComboBox_MunicipioClick(s); };
    DBLookupComboBox_Municipio->OnKeyPress = [this](QWidget* s, QChar& k) { DBLookupComboBox_MunicipioKeyPress(s, k); };
    DBLookupComboBox_Municipio->OnExit = [this](QWidget* s) { DBLookupComboBox_MunicipioExit(s); };

    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_Contribuinte);
}

void TCad_Pecuarista::mascaraDoTipo()
{
    vorta::db::DataSet* ds = dsBase->dataSet();
    if (!ds || !ds->active())
        return;
    const QString mascara = MascaraDesteConTipo(ds->fieldByName(ConTipo)->asString());
    ds->fieldByName(ConIECNPJCPF)->setEditMask(mascara);
    // The edit shows what is typed under the new mask at once.
    DBEdit_Con_IECNPJCPF->setEditMask(mascara);
}

void TCad_Pecuarista::FormCreate(Form* sender)
{
    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_Contribuinte);
    TFtemplate::FormCreate(sender);
}

void TCad_Pecuarista::FormShow(Form* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    // The data module's refusals focus this form's controls while it is open.
    LigaFocoDoCampo(this);
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

void TCad_Pecuarista::FormClose(Form* sender, vorta::ui::CloseAction& action)
{
    TFtemplate::FormClose(sender, action);
    // The preset belongs to this opening only: a later new taxpayer must not start from it.
    if (DM_Comuns)
        DM_Comuns->InscricaoPadrao.clear();
}

void TCad_Pecuarista::btConsultaSimplesClick(QWidget* sender)
{
    TFtemplate::btConsultaSimplesClick(sender);
    Panel_Busca->hide();
}

void TCad_Pecuarista::btConsultaGridClick(QWidget* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    TFtemplate::btConsultaGridClick(sender);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TCad_Pecuarista::btIncluirClick(QWidget* sender)
{
    TFtemplate::btIncluirClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    baseDataSet().fieldByName(ConTipo)->setAsString(QStringLiteral("IE"));
    DBEdit_Con_UFEstab->FieldControl::setReadOnly(true);
    btMuncipio->setEnabled(true);
    DBRadioGroup_ConTipo->setEnabled(true);
    setFocus();
    DBEdit_Con_IECNPJCPF->setFocus();
    DBEdit_Con_IECNPJCPF->selectAll();
}

void TCad_Pecuarista::modoAlteracao(bool foca)
{
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    DBEdit_Con_IECNPJCPF->FieldControl::setReadOnly(true);
    // The kind is fixed once a raiser exists, unless he has none.
    DBRadioGroup_ConTipo->setEnabled(baseDataSet().fieldByName(ConTipo)->asString().isEmpty());
    DBEdit_Con_UFEstab->FieldControl::setReadOnly(true);
    btMuncipio->setEnabled(true);
    if (foca) {
        DBEdit_Nome->setFocus();
        DBEdit_Nome->selectAll();
    }
}

void TCad_Pecuarista::btAlterarClick(QWidget* sender)
{
    TFtemplate::btAlterarClick(sender);
    modoAlteracao(true);
}

void TCad_Pecuarista::btGravarClick(QWidget* sender)
{
    // Leaving the edit runs its exit step before anything is checked.
    m_saidaRecusada = false;
    ScrollBox1->setFocus();
    if (m_saidaRecusada)
        vorta::Abort();
    vorta::db::DataSet& ds = baseDataSet();
    if (DBEdit_Con_IECNPJCPF->maskedText().trimmed().isEmpty()) {
        MsgErroBD(1408);
        DBEdit_Con_IECNPJCPF->setFocus();
        vorta::Abort();
    }
    if (const int mensagem =
            MensagemTamanhoDoConTipo(ds.fieldByName(ConTipo)->asString(), ds.fieldByName(ConIECNPJCPF)->asString())) {
        MsgErroBD(mensagem);
        DBRadioGroup_ConTipo->setFocus();
        vorta::Abort();
    }
    if (const TDM_Comuns::Checagem c = TDM_Comuns::ChecaObrig(deEndereco->maskedText(), 58)) {
        MsgErroBD(c->mensagem);
        deEndereco->setFocus();
        vorta::Abort();
    }
    TFtemplate::btGravarClick(sender);
    modoNavegacao(true);
    CancelaContrib = ds.fieldByName(ConIECNPJCPF)->asString();
}

void TCad_Pecuarista::modoNavegacao(bool foca)
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

void TCad_Pecuarista::btCancelarClick(QWidget* sender)
{
    TFtemplate::btCancelarClick(sender);
    modoNavegacao(true);
}

void TCad_Pecuarista::btExcluirClick(QWidget* sender)
{
    TFtemplate::btExcluirClick(sender);
    DesabilitaReadOnly(this);
}

void TCad_Pecuarista::btSairClick(QWidget* sender)
{
    TFtemplate::btSairClick(sender);
}

void TCad_Pecuarista::DBEdit_Con_IECNPJCPFExit(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    if (ds.state() != vorta::db::DataSetState::Insert || !DM_Comuns)
        return;
    const QString r = DBEdit_Con_IECNPJCPF->maskedText().trimmed();
    if (r.isEmpty() || !DM_Comuns->ExisteContribuinte(r))
        return;
    const bool alterar = MsgSimNaoBD(1419) == vorta::ui::mrYes;
    m_saidaRecusada = true;
    // The new raiser is given up either way and the form shows the existing one; the
    // focus is on its way elsewhere, so it is left alone.
    TFtemplate::btCancelarClick(btCancelar);
    modoNavegacao(false);
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

void TCad_Pecuarista::copiaMunicipio(bool propriedade)
{
    vorta::db::DataSet& ds = baseDataSet();
    // Only a record being edited takes the choice.
    if (!emEdicao(ds) || !DM_Comuns)
        return;
    vorta::db::DataSet& municipio = *DM_Comuns->Tb_Municipio;
    QVariant codigo;
    QString uf;
    if (municipio.active() && !municipio.isEmpty()) {
        codigo = municipio.fieldByName(QStringLiteral("Mun_Codigo"))->value();
        uf = municipio.fieldByName(QStringLiteral("Mun_UF"))->asString();
    }
    ds.fieldByName(MunEndereco)->setValue(codigo);
    ds.fieldByName(ConUF)->setAsString(uf);
    if (propriedade) {
        ds.fieldByName(MunPropriedade)->setValue(codigo);
        ds.fieldByName(ConUFEstab)->setAsString(uf);
    }
}

void TCad_Pecuarista::btMuncipioClick(QWidget*)
{
    vorta::ui::createForm(Cad_Municipio);
    Cad_Municipio->ModoSelecao = true;
    Cad_Municipio->showModal();
    copiaMunicipio(true);
}

void TCad_Pecuarista::DBLookupComboBox_MunicipioClick(QWidget*)
{
    copiaMunicipio(false);
}

void TCad_Pecuarista::DBLookupComboBox_MunicipioKeyPress(QWidget*, QChar&)
{
    copiaMunicipio(false);
}

void TCad_Pecuarista::DBLookupComboBox_MunicipioExit(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    if (!emEdicao(ds) || !DM_Comuns)
        return;
    // The municipality the list holds, whatever the common table stands on now.
    const QVariant escolhido = ds.fieldByName(MunPropriedade)->value();
    vorta::db::DataSet& municipio = *DM_Comuns->Tb_Municipio;
    if (escolhido.isNull() || !municipio.active()
        || !municipio.locate(QStringLiteral("Mun_Codigo"), escolhido)) {
        ds.fieldByName(MunEndereco)->clear();
        ds.fieldByName(MunPropriedade)->clear();
        ds.fieldByName(ConUF)->clear();
        ds.fieldByName(ConUFEstab)->clear();
        return;
    }
    copiaMunicipio(true);
}

void TCad_Pecuarista::Edit_BuscaChange(QWidget*)
{
    if (!hasRecords())
        return;
    const int item = RadioGroup_Contribuinte->itemIndex();
    if (item == 0 || item == 1)
        baseDataSet().locate(item == 0 ? ConIECNPJCPF : ConNome, Edit_Busca->text(), vorta::db::loPartialKey);
}

void AbreCadastroPecuarista()
{
    TCad_Pecuarista* f = vorta::ui::createForm(Cad_Pecuarista);
    f->ModoInclusao = true;
    f->showModal();
    // Closed with Free: the modal run has freed it already.
    vorta::Component::free(Cad_Pecuarista);
}
