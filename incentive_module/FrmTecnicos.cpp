#include "FrmTecnicos.h"

#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "UDM_MTC.h"
#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Query.h"
#include "platform/ui/Application.h"

vorta::Guarded<TFrmTecnicos> FrmTecnicos;

using vorta::db::DataSetState;
using vorta::db::FieldType;
using vorta::ui::Align;

namespace {
const QString TecCodigo = QStringLiteral("Tec_Codigo");
const QString TecCPF = QStringLiteral("Tec_CPF");
const QString TecCEP = QStringLiteral("Tec_CEP");
const QString TecUF = QStringLiteral("Tec_UF");
const QString MunCodigo = QStringLiteral("Mun_Codigo");
const char* const kMascaraFone = "!\\(99\\)9999-9999;0;_";
} // namespace

TFrmTecnicos::TFrmTecnicos(vorta::Component* owner) : TFtemplate(owner)
{
    setName(QStringLiteral("FrmTecnicos"));
    setObjectName(QStringLiteral("FrmTecnicos"));
    setCaption(QStringLiteral("Cadastro de Técnicos"));

    TblTecnicos = new vorta::db::Table(this);
    TblTecnicos->setName(QStringLiteral("TblTecnicos"));
    if (DM_MTC)
        TblTecnicos->setDatabase(DM_MTC->dbMTC);
    TblTecnicos->setTableName(QStringLiteral("Qel_Tecnico"));
    struct Def {
        const char* name;
        FieldType type;
        int size;
        const char* mask;
    };
    const Def defs[] = {
        {"Tec_Codigo", FieldType::Integer, 0, nullptr},
        {"Tec_Nome", FieldType::String, 50, nullptr},
        {"Tec_CPF", FieldType::String, 18, "999\\.999\\.999\\.99;0;_"},
        {"Tec_Endereco", FieldType::String, 50, nullptr},
        {"Tec_Bairro", FieldType::String, 30, nullptr},
        {"Tec_CEP", FieldType::String, 10, "99999\\-999;0;_"},
        {"Tec_Telefone", FieldType::String, 18, kMascaraFone},
        {"Tec_Celular", FieldType::String, 18, kMascaraFone},
        {"Tec_Fax", FieldType::String, 18, kMascaraFone},
        {"Tec_Conselho", FieldType::String, 10, nullptr},
        {"Tec_Nro_Conselho", FieldType::String, 10, nullptr},
        {"Mun_Codigo", FieldType::Integer, 0, nullptr},
        {"Tec_UF", FieldType::String, 2, nullptr},
    };
    for (const Def& d : defs) {
        vorta::db::Field* f = TblTecnicos->addField(QString::fromLatin1(d.name), d.type, d.size);
        if (d.mask)
            f->setEditMask(QString::fromLatin1(d.mask));
    }
    TblTecnicos->fieldByName(TecCodigo)->setRequired(true);
    TblTecnicos->OnNewRecord = [this](vorta::db::DataSet& ds) { TblTecnicosNewRecord(ds); };
    dsBase->setDataSet(TblTecnicos);

    RadioGroup_Tecnico = criaPainelBusca(
        QStringLiteral("Digite aqui para buscar o Responsável Técnico automaticamente"),
        QStringLiteral("RadioGroup_Tecnico"), QStringLiteral(" Busca de Técnicos"), {QStringLiteral("Por nome")}, 1, 200);

    // Left column: who and where; right column: documents, telephones and council.
    auto campo = [this](vorta::ui::Label** label, const char* labelName, const char* caption, const char* edit,
                        const char* field, int left, int top, int largura) {
        vorta::ui::DBEdit* e = criaCampo(label, labelName, caption, QString::fromLatin1(edit),
                                         QString::fromLatin1(field), left, top, largura);
        ligaDica(e, 90);
        return e;
    };
    dbedit_codigo = campo(&Label1, "Label1", "Código", "dbedit_codigo", "Tec_Codigo", 16, 8, 70);
    ligaDica(dbedit_codigo, 89);
    dbedit_codigo->setEnabled(false);
    dbedit_nome = campo(&Label2_Nome, "Label2_Nome", "Nome", "dbedit_nome", "Tec_Nome", 16, 48, 340);
    dbedit_endereco = campo(&Label3, "Label3", "Endereço", "dbedit_endereco", "Tec_Endereco", 16, 88, 340);
    dbedit_bairro = campo(&Label4, "Label4", "Bairro", "dbedit_bairro", "Tec_Bairro", 16, 128, 250);
    criaMunicipio(&Label5, "Label5", &DBLookupComboBox_Municipio, &btMuncipio,
                  DM_Comuns ? DM_Comuns->Ds_Municipio : nullptr, MunCodigo, 16, 168, 250);
    ligaDica(DBLookupComboBox_Municipio, 90);
    dbedit_uf = campo(&Label6, "Label6", "UF", "dbedit_uf", "Tec_UF", 16, 208, 30);
    Label6->resize(40, 16); // ends before the CEP's label
    dbedit_cep = campo(&Label7, "Label7", "CEP", "dbedit_cep", "Tec_CEP", 80, 208, 90);
    dbedit_cpf = campo(&Label8, "Label8", "CPF", "dbedit_cpf", "Tec_CPF", 400, 8, 130);
    dbedit_telefone = campo(&Label9, "Label9", "Telefone", "dbedit_telefone", "Tec_Telefone", 400, 48, 130);
    dbedit_celular = campo(&Label10, "Label10", "Celular", "dbedit_celular", "Tec_Celular", 400, 88, 130);
    dbedit_fax = campo(&Label11, "Label11", "Fax", "dbedit_fax", "Tec_Fax", 400, 128, 130);
    dbedit_conselho = campo(&Label12, "Label12", "Conselho", "dbedit_conselho", "Tec_Conselho", 400, 168, 100);
    dbedit_nro_conselho = campo(&Label13_Inscricao, "Label13_Inscricao", "Nº de Inscrição", "dbedit_nro_conselho",
                                "Tec_Nro_Conselho", 400, 208, 100);

    DBGrid->setColumns({{TecCodigo, QStringLiteral("Código")},
                        {QStringLiteral("Tec_Nome"), QStringLiteral("Nome"), 300},
                        {QStringLiteral("Tec_Conselho"), QStringLiteral("Tipo Conselho")},
                        {QStringLiteral("Tec_Nro_Conselho"), QStringLiteral("Nº Reg. Conselho")},
                        {QStringLiteral("Tec_Telefone"), QStringLiteral("Telefone")}});

    dbedit_cpf->OnExit = [this](QWidget* s) { dbedit_cpfExit(s); };
    btMuncipio->OnClick = [this](QWidget* s) { btMuncipioClick(s); };
    DBLookupComboBox_Municipio->OnClick = [this](QWidget* s) { DBLookupComboBox_MunicipioClick(s); };
}

void TFrmTecnicos::FormShow(Form* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    if (DM_Comuns) {
        for (vorta::db::Table* t : {DM_Comuns->Tb_Municipio, DM_Comuns->Tb_Agenfa})
            if (!t->active())
                t->open();
    }
    TFtemplate::FormShow(sender);
    DesabilitaReadOnly(this);
    btMuncipio->setEnabled(false);
    if (ModoInclusao) {
        btIncluir->click();
    } else {
        Edit_Busca->setFocus();
        Edit_Busca->selectAll();
    }
}

void TFrmTecnicos::FormClose(Form* sender, vorta::ui::CloseAction& action)
{
    TFtemplate::FormClose(sender, action);
    // With no technician there is nothing to hand over: the map keeps its own.
    if (DM_MTC)
        DM_MTC->TecnicoSelecionado = hasRecords()
                                         ? std::optional<int>(int(TblTecnicos->fieldByName(TecCodigo)->asInteger()))
                                         : std::nullopt;
}

void TFrmTecnicos::FormKeyDown(Form* sender, int& key, Qt::KeyboardModifiers shift)
{
    if (focusWidget() != DBGrid)
        TFtemplate::FormKeyDown(sender, key, shift);
}

void TFrmTecnicos::FormKeyUp(Form* sender, int& key, Qt::KeyboardModifiers shift)
{
    if (focusWidget() != DBGrid)
        TFtemplate::FormKeyUp(sender, key, shift);
}

void TFrmTecnicos::FormKeyPress(Form* sender, QChar& key)
{
    if (key == QChar(13) && focusWidget() == DBGrid) {
        fechaSelecao();
        return;
    }
    TFtemplate::FormKeyPress(sender, key);
}

void TFrmTecnicos::TblTecnicosNewRecord(vorta::db::DataSet& ds)
{
    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("Select Max(Tec_Codigo) max_seq from qel_tecnico"));
    q->open();
    // An empty table gives a null maximum, read as 0.
    const qint64 maior = q->isEmpty() ? 0 : q->fieldByName(QStringLiteral("max_seq"))->asInteger();
    q->close();
    ds.fieldByName(TecCodigo)->setAsInteger(maior + 1);
    dbedit_codigo->setEnabled(false);
}

void TFrmTecnicos::modoEdicao()
{
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    dbedit_codigo->FieldControl::setReadOnly(true);
    btMuncipio->setEnabled(true);
    dbedit_nome->setFocus();
    dbedit_nome->selectAll();
}

void TFrmTecnicos::btIncluirClick(QWidget* sender)
{
    TFtemplate::btIncluirClick(sender);
    modoEdicao();
}

void TFrmTecnicos::btAlterarClick(QWidget* sender)
{
    TFtemplate::btAlterarClick(sender);
    modoEdicao();
}

void TFrmTecnicos::btCancelarClick(QWidget* sender)
{
    TFtemplate::btCancelarClick(sender);
    DesabilitaReadOnly(this);
    btMuncipio->setEnabled(false);
}

void TFrmTecnicos::btConsultaSimplesClick(QWidget* sender)
{
    TFtemplate::btConsultaSimplesClick(sender);
    Panel_Busca->hide();
}

void TFrmTecnicos::btConsultaGridClick(QWidget* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    TFtemplate::btConsultaGridClick(sender);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TFrmTecnicos::btExcluirClick(QWidget* sender)
{
    if (hasRecords()) {
        vorta::db::Query* q = DM_MTC->QryGeral;
        q->close();
        q->setSql(QStringLiteral("Select count(map_codigo) as Qtd from qel_mapas where Tec_Codigo = :vTecnico"));
        q->paramByName(QStringLiteral("vTecnico"))->setAsInteger(TblTecnicos->fieldByName(TecCodigo)->asInteger());
        q->open();
        const qint64 mapas = q->fieldByName(QStringLiteral("Qtd"))->asInteger();
        q->close();
        if (mapas > 0) {
            // The maps signed by him keep their technician.
            MsgErroBD(1675);
            return;
        }
    }
    TFtemplate::btExcluirClick(sender);
    DesabilitaReadOnly(this);
}

void TFrmTecnicos::btGravarClick(QWidget* sender)
{
    // Leaving the edit runs its exit step before anything is checked.
    m_saidaRecusada = false;
    ScrollBox1->setFocus();
    if (m_saidaRecusada)
        vorta::Abort();
    vorta::db::DataSet& ds = baseDataSet();
    auto exige = [&ds](vorta::ui::DBEdit* edit, int mensagem) {
        if (const TDM_Comuns::Checagem c = TDM_Comuns::ChecaObrig(ds.fieldByName(edit->dataField())->asString(),
                                                                  mensagem)) {
            MsgErroBD(c->mensagem);
            edit->setFocus();
            vorta::Abort();
        }
    };
    exige(dbedit_nome, 28);
    exige(dbedit_cpf, 15);
    if (ds.fieldByName(TecCPF)->asString().trimmed().length() != 11) {
        MsgErroBD(119);
        MsgErro(QStringLiteral("Número informado não é um CPF!"));
        dbedit_cpf->setFocus();
        vorta::Abort();
    }
    exige(dbedit_endereco, 1673);
    exige(dbedit_conselho, 1672);
    exige(dbedit_nro_conselho, 1671);
    TFtemplate::btGravarClick(sender);
    DesabilitaReadOnly(this);
    btMuncipio->setEnabled(false);
}

void TFrmTecnicos::dbedit_cpfExit(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    if (ds.state() != DataSetState::Insert || !DM_MTC)
        return;
    dbedit_cpf->dataLink().updateRecord();
    const QString cpf = ds.fieldByName(TecCPF)->asString().trimmed();
    if (cpf.isEmpty())
        return;
    vorta::db::Query* q = DM_MTC->QryGeral;
    q->close();
    q->setSql(QStringLiteral("select Tec_CPF from qel_tecnico where Tec_CPF = :vcpf"));
    q->paramByName(QStringLiteral("vcpf"))->setAsString(cpf);
    q->open();
    const bool existe = !q->isEmpty();
    q->close();
    if (!existe)
        return;
    const bool alterar = MsgSimNaoBD(1419) == vorta::ui::mrYes;
    m_saidaRecusada = true;
    // The new technician is given up either way and the form shows the existing one.
    TFtemplate::btCancelarClick(btCancelar);
    DesabilitaReadOnly(this);
    btMuncipio->setEnabled(false);
    ds.locate(QStringLiteral("TEC_CPF"), cpf);
    if (alterar) {
        TFtemplate::btAlterarClick(btAlterar);
        Panel_Busca->hide();
        HabilitaReadOnly(this);
        dbedit_codigo->FieldControl::setReadOnly(true);
        btMuncipio->setEnabled(true);
    }
    vorta::Abort();
}

void TFrmTecnicos::aplicaMunicipio()
{
    vorta::db::DataSet& ds = baseDataSet();
    if (!emEdicao(ds) || !DM_Comuns)
        return;
    vorta::db::DataSet& municipio = *DM_Comuns->Tb_Municipio;
    const bool escolhido = municipio.active() && !municipio.isEmpty();
    ds.fieldByName(MunCodigo)->setValue(escolhido ? municipio.fieldByName(MunCodigo)->value() : QVariant());
    const QString inicial = escolhido ? municipio.fieldByName(QStringLiteral("Mun_CEPInicial"))->asString() : QString();
    const QString final = escolhido ? municipio.fieldByName(QStringLiteral("Mun_CEPFinal"))->asString() : QString();
    // A municipality of one CEP gives it and its UF; a range is typed by the user, and
    // so is the CEP of a municipality that has none.
    const bool unico = escolhido && inicial == final && !inicial.trimmed().isEmpty();
    ds.fieldByName(TecCEP)->setAsString(unico ? inicial : QString());
    ds.fieldByName(TecUF)->setAsString(unico ? municipio.fieldByName(QStringLiteral("Mun_UF"))->asString() : QString());
    dbedit_cep->FieldControl::setReadOnly(unico);
    dbedit_uf->FieldControl::setReadOnly(unico);
}

void TFrmTecnicos::DBLookupComboBox_MunicipioClick(QWidget*)
{
    aplicaMunicipio();
}

void TFrmTecnicos::btMuncipioClick(QWidget*)
{
    ConsultaMunicipio();
    aplicaMunicipio();
}

void TFrmTecnicos::Edit_BuscaChange(QWidget*)
{
    if (hasRecords())
        baseDataSet().locate(QStringLiteral("Tec_Nome"), Edit_Busca->text(),
                             vorta::db::loPartialKey | vorta::db::loCaseInsensitive);
}

void AbreTecnicos(bool selecao)
{
    TFrmTecnicos* f = vorta::ui::createForm(FrmTecnicos);
    f->ModoSelecao = selecao;
    f->showModal();
    // Closed with Free: the modal run has freed it already.
    vorta::Component::free(FrmTecnicos);
}
