#include "T_Cad_Contabilista.h"

#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"

vorta::Guarded<TCad_Contabilista> Cad_Contabilista;

using vorta::ui::Align;
using vorta::ui::DBEdit;
using vorta::ui::DBLookupComboBox;
using vorta::ui::Label;

namespace {

bool editando(const vorta::db::DataSet& ds)
{
    return ds.state() == vorta::db::DataSetState::Edit || ds.state() == vorta::db::DataSetState::Insert;
}

} // namespace

TCad_Contabilista::TCad_Contabilista(vorta::Component* owner) : TFtemplate(owner)
{
    setName(QStringLiteral("Cad_Contabilista"));
    setObjectName(QStringLiteral("Cad_Contabilista"));
    setCaption(QStringLiteral("Cadastro de Contabilista"));
    helpContext = 12200;

    QWidget* box = ScrollBox1->contents();
    Panel_Busca = new vorta::ui::Panel(box, QStringLiteral("Panel_Busca"));
    Panel_Busca->resize(718, 48);
    Panel_Busca->setAlign(Align::Top);
    Label_Busca = new Label(Panel_Busca, QStringLiteral("Digite aqui para buscar o contabilista automaticamente"),
                            QStringLiteral("Label_Busca"));
    Label_Busca->setGeometry(8, 4, 330, 16);
    Edit_Busca = new vorta::ui::Edit(Panel_Busca, QStringLiteral("Edit_Busca"));
    Edit_Busca->charCase = vorta::ui::CharCase::Upper;
    Edit_Busca->setGeometry(8, 22, 330, 21);
    RadioGroup_Contabilista = new vorta::ui::RadioGroup(Panel_Busca, QStringLiteral("RadioGroup_Contabilista"));
    RadioGroup_Contabilista->setCaption(QStringLiteral(" Busca de Contabilista"));
    RadioGroup_Contabilista->setItems({QStringLiteral("Por CRC"), QStringLiteral("Por nome")});
    RadioGroup_Contabilista->setColumns(2);
    RadioGroup_Contabilista->setItemIndex(0);
    RadioGroup_Contabilista->setGeometry(350, 2, 260, 44);
    Label_Busca->setBuddy(Edit_Busca);

    auto hint = [this](QWidget* w, int n) {
        if (auto* c = vorta::ui::Control::of(w))
            c->OnEnter = [this, n](QWidget*) { msgStatus->setPanelText(0, GetErrorMessage(n)); };
    };
    struct CampoEdit {
        const char* caption;
        const char* field;
        int hint;
        DBEdit** target;
    };
    DBEdit* semAlvo = nullptr;
    const CampoEdit edits[] = {
        {"CPF", "Resp_CPF", 15, &DBEdit_Resp_CPF},
        {"CRC", "Resp_CRC", 16, &semAlvo},
        {"Nome", "Resp_Nome", 17, &semAlvo},
        {"Logradouro", "Resp_Logradouro", 41, &semAlvo},
        {"Número", "Resp_Numero", 42, &semAlvo},
        {"Complemento", "Resp_Complemento", 43, &semAlvo},
        {"Bairro", "Resp_Bairro", 45, &DBEdit_Resp_Bairro},
        {"UF", "Resp_UF", 0, &DBEdit_Resp_UF},
        {"CEP", "Resp_CEP", 67, &DBEditCEP},
        {"DDD", "Resp_DDDFone", 18, &semAlvo},
        {"Fone", "Resp_Fone", 19, &semAlvo},
        {"Email", "Resp_Email", 20, &semAlvo},
        {"DDD", "Resp_DDDFAX", 71, &semAlvo},
        {"Fax", "Resp_FAX", 47, &semAlvo},
        {"CRC do Escritório", "Resp_CRC_Empresa", 576, &semAlvo},
        {"Nome do Escritório", "Resp_NomeEscritorio", 578, &semAlvo},
    };
    int top = 8;
    for (const CampoEdit& c : edits) {
        auto* l = new Label(pagina1, QString::fromUtf8(c.caption));
        l->setGeometry(16, top, 140, 16);
        const QString nome = QString::fromLatin1(c.field) == QLatin1String("Resp_CEP")
                                 ? QStringLiteral("DBEditCEP")
                                 : QStringLiteral("DBEdit_") + QString::fromLatin1(c.field);
        auto* e = new DBEdit(pagina1, nome);
        e->setGeometry(160, top, 300, 21);
        e->setDataSource(dsBase);
        e->setDataField(QString::fromLatin1(c.field));
        e->charCase = vorta::ui::CharCase::Upper;
        if (c.hint)
            hint(e, c.hint);
        l->setBuddy(e);
        *c.target = e;
        top += 24;
    }
    auto* hintFone = new Label(pagina1, QStringLiteral("(0 XX )"), QStringLiteral("Label_DDD"));
    hintFone->setGeometry(470, 8 + 9 * 24, 60, 16);
    // UF is filled from the municipality; any change of it shows its hint.
    DBEdit_Resp_UF->OnChange = [this](QWidget*) { msgStatus->setPanelText(0, GetErrorMessage(66)); };

    struct CampoLookup {
        const char* caption;
        const char* name;
        const char* field;
        int hint;
        DBLookupComboBox** target;
        vorta::db::DataSource* lista;
        const char* chave;
        const char* mostra;
    };
    const CampoLookup lookups[] = {
        {"Tipo de Logradouro", "DBLookup_Logradouro", "LK_Logradouro", 40, &DBLookup_Logradouro,
         DM_Comuns ? DM_Comuns->Ds_Logradouro : nullptr, "TipLog_Codigo", "TipLog_Descricao"},
        {"Tipo de Bairro", "DBLookup_Bairro", "Lk_Bairro", 44, &DBLookup_Bairro,
         DM_Comuns ? DM_Comuns->Ds_Bairro : nullptr, "TipBai_Codigo", "TipBai_Descricao"},
        {"Município", "DBLookup_Municipio", "LK_Municipio", 51, &DBLookup_Municipio,
         DM_Comuns ? DM_Comuns->Ds_C_Municipio : nullptr, "Mun_Codigo", "Mun_Descricao"},
        {"Tipo do CRC", "DBLookup_TipoResp", "Lk_TipoResp", 577, &DBLookup_TipoResp, nullptr, "TipoResp_Codigo",
         "TipoResp_Descricao"},
    };
    for (const CampoLookup& c : lookups) {
        auto* l = new Label(pagina1, QString::fromUtf8(c.caption));
        l->setGeometry(16, top, 140, 16);
        auto* k = new DBLookupComboBox(pagina1, QString::fromLatin1(c.name));
        k->rxKind = true;
        k->setGeometry(160, top, 300, 21);
        k->setDataSource(dsBase);
        k->setDataField(QString::fromLatin1(c.field));
        k->setKeyField(QString::fromLatin1(c.chave));
        k->setListField(QString::fromLatin1(c.mostra));
        if (c.lista)
            k->setListSource(c.lista);
        hint(k, c.hint);
        l->setBuddy(k);
        *c.target = k;
        top += 24;
    }
    btMuncipio = new vorta::ui::SpeedButton(pagina1, QStringLiteral("btMuncipio"));
    btMuncipio->setCaption(QStringLiteral("&Município"));
    btMuncipio->setGeometry(470, top - 3 * 24, 80, 21);
    btMuncipio->setEnabled(false);

    if (DM_Comuns) {
        dsBase->setDataSet(DM_Comuns->Tb_Responsavel);
        auto* tipos = new vorta::db::DataSource(this);
        tipos->setDataSet(DM_Comuns->Tb_TipoResp);
        DBLookup_TipoResp->setListSource(tipos);
    }
    QList<vorta::ui::GridColumn> colunas;
    for (const char* f : {"Resp_CPF", "Resp_CRC", "Resp_Nome", "Resp_DDDFone", "Resp_Fone", "Resp_Email",
                          "Resp_TipoCRC", "Resp_DDDFAX", "Resp_FAX", "Resp_CRC_Empresa", "Resp_NomeEscritorio",
                          "Resp_TipoCRCEmpresa", "Lk_TipoResp", "TipLog_Codigo", "LK_Logradouro", "Resp_Logradouro",
                          "Resp_Numero", "Resp_Complemento", "TipBai_Codigo", "Lk_Bairro", "Resp_Bairro", "Resp_CEP",
                          "Mun_Endereco", "Resp_UF", "LK_Municipio"})
        colunas.append({QString::fromLatin1(f), QString()});
    DBGrid->setColumns(colunas);

    OnShow = [this](Form* f) { FormShow(f); };
    OnClose = [this](Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
    OnKeyDown = [this](Form* f, int& key, Qt::KeyboardModifiers s) { FormKeyDown(f, key, s); };
    OnKeyUp = [this](Form* f, int& key, Qt::KeyboardModifiers s) { FormKeyUp(f, key, s); };
    OnKeyPress = [this](Form* f, QChar& key) { FormKeyPress(f, key); };
    DBGrid->OnDblClick = [this](QWidget* s) { DBGridDblClick(s); };
    DBGrid->OnKeyDown = [this](QWidget* s, int& key, Qt::KeyboardModifiers m) { DBGridKeyDown(s, key, m); };
    DBGrid->OnKeyUp = [this](QWidget* s, int& key, Qt::KeyboardModifiers m) { DBGridKeyUp(s, key, m); };
    DBGrid->OnKeyPress = [this](QWidget* s, QChar& key) { DBGridKeyPress(s, key); };
    btConsultaSimples->OnClick = [this](QWidget* s) { btConsultaSimplesClick(s); };
    btConsultaGrid->OnClick = [this](QWidget* s) { btConsultaGridClick(s); };
    btIncluir->OnClick = [this](QWidget* s) { btIncluirClick(s); };
    btAlterar->OnClick = [this](QWidget* s) { btAlterarClick(s); };
    btExcluir->OnClick = [this](QWidget* s) { btExcluirClick(s); };
    btGravar->OnClick = [this](QWidget* s) { btGravarClick(s); };
    btCancelar->OnClick = [this](QWidget* s) { btCancelarClick(s); };
    btSair->OnClick = [this](QWidget* s) { btSairClick(s); };
    btMuncipio->OnClick = [this](QWidget* s) { btMuncipioClick(s); };
    Edit_Busca->OnChange = [this](QWidget* s) { Edit_BuscaChange(s); };
    DBLookup_Municipio->OnClick = [this](QWidget* s) { DBLookup_MunicipioEscolha(s); };
    DBLookup_Municipio->OnKeyPress = [this](QWidget* s, QChar&) { DBLookup_MunicipioEscolha(s); };
    DBLookup_Municipio->OnExit = [this](QWidget* s) { DBLookup_MunicipioExit(s); };
    DBLookup_Bairro->OnExit = [this](QWidget* s) { DBLookup_BairroExit(s); };
}

void TCad_Contabilista::FormShow(Form* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    if (DM_Comuns) {
        DM_Comuns->FocaCampo = [this](const QString&, const QString& campo) { FocaControleDoCampo(this, campo); };
        DM_Comuns->Tb_TipoResp->open();
    }
    TFtemplate::FormShow(sender);
    DesabilitaReadOnly(this);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TCad_Contabilista::FormClose(Form* sender, vorta::ui::CloseAction& action)
{
    TFtemplate::FormClose(sender, action);
    action = vorta::ui::CloseAction::Free;
}

void TCad_Contabilista::FormKeyDown(Form* sender, int& key, Qt::KeyboardModifiers shift)
{
    if (!ModoSelecao)
        TFtemplate::FormKeyDown(sender, key, shift);
}

void TCad_Contabilista::FormKeyUp(Form* sender, int& key, Qt::KeyboardModifiers shift)
{
    if (!ModoSelecao)
        TFtemplate::FormKeyUp(sender, key, shift);
}

void TCad_Contabilista::FormKeyPress(Form*, QChar& key)
{
    if (key == QChar(13) && focusWidget() != DBGrid) {
        key = QChar(0);
        selectNext();
    }
}

void TCad_Contabilista::DBGridDblClick(QWidget* sender)
{
    TFtemplate::DBGridDblClick(sender);
    if (ModoSelecao)
        close();
}

void TCad_Contabilista::DBGridKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift)
{
    if (!ModoSelecao)
        TFtemplate::DBGridKeyDown(sender, key, shift);
}

void TCad_Contabilista::DBGridKeyUp(QWidget* sender, int& key, Qt::KeyboardModifiers shift)
{
    if (!ModoSelecao)
        TFtemplate::DBGridKeyUp(sender, key, shift);
}

void TCad_Contabilista::DBGridKeyPress(QWidget* sender, QChar& key)
{
    TFtemplate::DBGridKeyPress(sender, key);
    if (ModoSelecao)
        close();
}

void TCad_Contabilista::btConsultaSimplesClick(QWidget* sender)
{
    Panel_Busca->hide();
    TFtemplate::btConsultaSimplesClick(sender);
}

void TCad_Contabilista::btConsultaGridClick(QWidget* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    TFtemplate::btConsultaGridClick(sender);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TCad_Contabilista::btIncluirClick(QWidget* sender)
{
    TFtemplate::btIncluirClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    btMuncipio->setEnabled(true);
    baseDataSet().fieldByName(QStringLiteral("Resp_CPF"))->clear();
    DBEdit_Resp_CPF->setFocus();
    DBEdit_Resp_CPF->selectAll();
}

void TCad_Contabilista::btAlterarClick(QWidget* sender)
{
    TFtemplate::btAlterarClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    btMuncipio->setEnabled(true);
    DBEdit_Resp_CPF->FieldControl::setReadOnly(true);
}

void TCad_Contabilista::btExcluirClick(QWidget* sender)
{
    TFtemplate::btExcluirClick(sender);
    DesabilitaReadOnly(this);
}

void TCad_Contabilista::btGravarClick(QWidget* sender)
{
    TFtemplate::btGravarClick(sender);
    DesabilitaReadOnly(this);
    btMuncipio->setEnabled(false);
}

void TCad_Contabilista::btCancelarClick(QWidget* sender)
{
    TFtemplate::btCancelarClick(sender);
    DesabilitaReadOnly(this);
    btMuncipio->setEnabled(false);
}

void TCad_Contabilista::btSairClick(QWidget*)
{
    close();
}

void TCad_Contabilista::copiaMunicipio(vorta::db::DataSet& municipio)
{
    vorta::db::DataSet& ds = baseDataSet();
    // Only a record being edited takes the choice.
    if (!editando(ds) || !municipio.active() || municipio.isEmpty())
        return;
    ds.fieldByName(QStringLiteral("Mun_Endereco"))
        ->setAsInteger(municipio.fieldByName(QStringLiteral("Mun_Codigo"))->asInteger());
    ds.fieldByName(QStringLiteral("Resp_UF"))->setAsString(municipio.fieldByName(QStringLiteral("Mun_UF"))->asString());
    const QString inicial = municipio.fieldByName(QStringLiteral("Mun_CEPInicial"))->asString();
    const QString final_ = municipio.fieldByName(QStringLiteral("Mun_CEPFinal"))->asString();
    if (inicial != final_) {
        ds.fieldByName(QStringLiteral("Resp_CEP"))->clear();
        DBEditCEP->setEnabled(true);
    } else {
        ds.fieldByName(QStringLiteral("Resp_CEP"))->setAsString(inicial);
        DBEditCEP->setEnabled(false);
    }
}

void TCad_Contabilista::btMuncipioClick(QWidget*)
{
    vorta::ui::createForm(Cad_Municipio);
    Cad_Municipio->ModoSelecao = true;
    Cad_Municipio->showModal();
    if (DM_Comuns)
        copiaMunicipio(*DM_Comuns->Tb_Municipio);
}

void TCad_Contabilista::DBLookup_MunicipioEscolha(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    if (!editando(ds) || !DM_Comuns)
        return;
    if (DM_Comuns->Tb_C_Municipio->active()
        && DM_Comuns->Tb_C_Municipio->locate(QStringLiteral("Mun_Codigo"),
                                             ds.fieldByName(QStringLiteral("Mun_Endereco"))->value()))
        copiaMunicipio(*DM_Comuns->Tb_C_Municipio);
    if (ds.fieldByName(QStringLiteral("Mun_Endereco"))->asString().isEmpty()) {
        ds.fieldByName(QStringLiteral("Resp_CEP"))->clear();
        ds.fieldByName(QStringLiteral("Resp_UF"))->clear();
    }
}

void TCad_Contabilista::DBLookup_MunicipioExit(QWidget*)
{
    if (DBEditCEP->isEnabled()) {
        DBEditCEP->setFocus();
        DBEditCEP->selectAll();
    }
}

void TCad_Contabilista::DBLookup_BairroExit(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    if (ds.active() && ds.fieldByName(QStringLiteral("TipBai_Codigo"))->asString() == QLatin1String("CTO")) {
        if (editando(ds))
            ds.fieldByName(QStringLiteral("Resp_Bairro"))->clear();
        DBEdit_Resp_Bairro->setEnabled(false);
        DBLookup_Municipio->setFocus();
    } else {
        DBEdit_Resp_Bairro->setEnabled(true);
    }
}

void TCad_Contabilista::Edit_BuscaChange(QWidget*)
{
    if (!hasRecords())
        return;
    switch (RadioGroup_Contabilista->itemIndex()) {
    case 0:
        baseDataSet().locate(QStringLiteral("Resp_CRC"), Edit_Busca->text(), vorta::db::loPartialKey);
        break;
    case 1:
        baseDataSet().locate(QStringLiteral("Resp_Nome"), Edit_Busca->text(), vorta::db::loPartialKey);
        break;
    default:
        break;
    }
}
