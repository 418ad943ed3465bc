#include "T_Cad_Contabilista.h"

#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"

#include <QGroupBox>

vorta::Guarded<TCad_Contabilista> Cad_Contabilista;

using vorta::ui::Align;
using vorta::ui::DBEdit;
using vorta::ui::DBLookupComboBox;
using vorta::ui::Label;

TCad_Contabilista::TCad_Contabilista(vorta::Component* owner) : TFtemplate(owner)
{
    setName(QStringLiteral("Cad_Contabilista"));
    setObjectName(QStringLiteral("Cad_Contabilista"));
    setCaption(QStringLiteral("Cadastro de Contabilista"));
    helpContext = 12200;

    RadioGroup_Contabilista = criaPainelBusca(
        QStringLiteral("Digite aqui para buscar o contabilista automaticamente"),
        QStringLiteral("RadioGroup_Contabilista"), QStringLiteral(" Busca de Contabilista"),
        {QStringLiteral("Por CRC"), QStringLiteral("Por nome")}, 2, 260);

    // The detail page in its two groups, in tab order: each field's column, row and
    // width. A lookup list edits the key field of its lookup (LK_Logradouro through
    // TipLog_Codigo), so a choice is stored.
    GroupBox_Contabilista = new QGroupBox(QStringLiteral("Informações do Contabilista"), pagina1);
    GroupBox_Contabilista->setObjectName(QStringLiteral("GroupBox_Contabilista"));
    GroupBox_Contabilista->setGeometry(4, 4, 706, 240);
    GroupBox_Escritorio = new QGroupBox(QStringLiteral("Informações sobre o Escritório / Empresa Contabíl"), pagina1);
    GroupBox_Escritorio->setObjectName(QStringLiteral("GroupBox_Escritorio"));
    GroupBox_Escritorio->setGeometry(4, 250, 706, 72);

    struct CampoDoGrupo {
        QGroupBox* grupo;
        int coluna;
        int linha;
        int largura;
        const char* caption;
        const char* nome;
        const char* field;
        int hint;
        // Lookups only: the list and its key and shown fields.
        vorta::db::DataSource* lista = nullptr;
        const char* chave = nullptr;
        const char* mostra = nullptr;
    };
    vorta::db::DataSource* tipos = nullptr;
    if (DM_Comuns) {
        tipos = new vorta::db::DataSource(this);
        tipos->setDataSet(DM_Comuns->Tb_TipoResp);
    }
    QGroupBox* const pessoa = GroupBox_Contabilista;
    QGroupBox* const escritorio = GroupBox_Escritorio;
    const CampoDoGrupo campos[] = {
        {pessoa, 0, 0, 110, "CPF", "DBEdit_Resp_CPF", "Resp_CPF", 15},
        {pessoa, 0, 1, 110, "CRC", "DBEdit_Resp_CRC", "Resp_CRC", 16},
        {pessoa, 0, 2, 220, "Nome", "DBEdit_Resp_Nome", "Resp_Nome", 17},
        {pessoa, 0, 3, 150, "Tipo de Logradouro", "DBLookup_Logradouro", "TipLog_Codigo", 40,
         DM_Comuns ? DM_Comuns->Ds_Logradouro : nullptr, "TipLog_Codigo", "TipLog_Descricao"},
        {pessoa, 0, 4, 220, "Logradouro", "DBEdit_Resp_Logradouro", "Resp_Logradouro", 41},
        {pessoa, 0, 5, 60, "Número", "DBEdit_Resp_Numero", "Resp_Numero", 42},
        {pessoa, 0, 6, 220, "Complemento", "DBEdit_Resp_Complemento", "Resp_Complemento", 43},
        {pessoa, 0, 7, 150, "Tipo de Bairro", "DBLookup_Bairro", "TipBai_Codigo", 44,
         DM_Comuns ? DM_Comuns->Ds_Bairro : nullptr, "TipBai_Codigo", "TipBai_Descricao"},
        {pessoa, 1, 0, 200, "Bairro", "DBEdit_Resp_Bairro", "Resp_Bairro", 45},
        {pessoa, 1, 1, 150, "Município", "DBLookup_Municipio", "Mun_Endereco", 51,
         DM_Comuns ? DM_Comuns->Ds_C_Municipio : nullptr, "Mun_Codigo", "Mun_Descricao"},
        {pessoa, 1, 2, 30, "UF", "DBEdit_Resp_UF", "Resp_UF", 0},
        {pessoa, 1, 3, 80, "CEP", "DBEditCEP", "Resp_CEP", 67},
        {pessoa, 1, 4, 30, "DDD", "DBEdit_Resp_DDDFone", "Resp_DDDFone", 18},
        {pessoa, 1, 5, 100, "Fone", "DBEdit_Resp_Fone", "Resp_Fone", 19},
        {pessoa, 1, 6, 200, "Email", "DBEdit_Resp_Email", "Resp_Email", 20},
        {pessoa, 1, 7, 30, "DDD", "DBEdit_Resp_DDDFAX", "Resp_DDDFAX", 71},
        {pessoa, 1, 8, 100, "Fax", "DBEdit_Resp_FAX", "Resp_FAX", 47},
        {escritorio, 0, 0, 110, "CRC do Escritório", "DBEdit_Resp_CRC_Empresa", "Resp_CRC_Empresa", 576},
        {escritorio, 1, 0, 150, "Tipo do CRC", "DBLookup_TipoResp", "Resp_TipoCRCEmpresa", 577, tipos, "TipoResp_Codigo",
         "TipoResp_Descricao"},
        {escritorio, 0, 1, 220, "Nome do Escritório", "DBEdit_Resp_NomeEscritorio", "Resp_NomeEscritorio", 578},
    };
    for (const CampoDoGrupo& c : campos) {
        const int x = c.coluna == 0 ? 8 : 356;
        const int top = 18 + c.linha * 24;
        auto* l = new Label(c.grupo, QString::fromUtf8(c.caption));
        l->setGeometry(x, top + 3, 108, 16);
        QWidget* w = nullptr;
        if (c.chave) {
            auto* k = new DBLookupComboBox(c.grupo, QString::fromLatin1(c.nome));
            k->rxKind = true;
            k->setKeyField(QString::fromLatin1(c.chave));
            k->setListField(QString::fromLatin1(c.mostra));
            if (c.lista)
                k->setListSource(c.lista);
            k->setDataSource(dsBase);
            k->setDataField(QString::fromLatin1(c.field));
            w = k;
        } else {
            auto* e = new DBEdit(c.grupo, QString::fromLatin1(c.nome));
            e->setDataSource(dsBase);
            e->setDataField(QString::fromLatin1(c.field));
            e->charCase = vorta::ui::CharCase::Upper;
            w = e;
        }
        w->setGeometry(x + 112, top, c.largura, 21);
        if (c.hint)
            ligaDica(w, c.hint);
        l->setBuddy(w);
        if (QLatin1String(c.field) == QLatin1String("Mun_Endereco")) {
            btMuncipio = new vorta::ui::SpeedButton(c.grupo, QStringLiteral("btMuncipio"));
            btMuncipio->setCaption(QStringLiteral("&Município"));
            btMuncipio->setGeometry(x + 112 + c.largura + 4, top, 76, 21);
            btMuncipio->setEnabled(false);
        }
        if (QLatin1String(c.field) == QLatin1String("Resp_DDDFone")) {
            auto* hintFone = new Label(c.grupo, QStringLiteral("(0 XX )"), QStringLiteral("Label_DDD"));
            hintFone->setGeometry(x + 112 + c.largura + 6, top + 3, 50, 16);
        }
    }
    DBEdit_Resp_CPF = findChild<DBEdit*>(QStringLiteral("DBEdit_Resp_CPF"));
    DBEdit_Resp_Bairro = findChild<DBEdit*>(QStringLiteral("DBEdit_Resp_Bairro"));
    DBEdit_Resp_UF = findChild<DBEdit*>(QStringLiteral("DBEdit_Resp_UF"));
    DBEditCEP = findChild<DBEdit*>(QStringLiteral("DBEditCEP"));
    DBLookup_Logradouro = findChild<DBLookupComboBox*>(QStringLiteral("DBLookup_Logradouro"));
    DBLookup_Bairro = findChild<DBLookupComboBox*>(QStringLiteral("DBLookup_Bairro"));
    DBLookup_Municipio = findChild<DBLookupComboBox*>(QStringLiteral("DBLookup_Municipio"));
    DBLookup_TipoResp = findChild<DBLookupComboBox*>(QStringLiteral("DBLookup_TipoResp"));
    // UF is filled from the municipality; any change of it shows its hint.
    DBEdit_Resp_UF->OnChange = [this](QWidget*) { msgStatus->setPanelText(0, GetErrorMessage(66)); };

    fimDaSelecao = {.duploClique = true, .enterNaGrade = false, .teclaNaGrade = true, .teclasDoForm = false};

    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_Responsavel);
    QList<vorta::ui::GridColumn> colunas;
    for (const char* f : {"Resp_CPF", "Resp_CRC", "Resp_Nome", "Resp_DDDFone", "Resp_Fone", "Resp_Email",
                          "Resp_TipoCRC", "Resp_DDDFAX", "Resp_FAX", "Resp_CRC_Empresa", "Resp_NomeEscritorio",
                          "Resp_TipoCRCEmpresa", "Lk_TipoResp", "TipLog_Codigo", "LK_Logradouro", "Resp_Logradouro",
                          "Resp_Numero", "Resp_Complemento", "TipBai_Codigo", "Lk_Bairro", "Resp_Bairro", "Resp_CEP",
                          "Mun_Endereco", "Resp_UF", "LK_Municipio"})
        colunas.append({QString::fromLatin1(f), QString()});
    DBGrid->setColumns(colunas);

    btMuncipio->OnClick = [this](QWidget* s) { btMuncipioClick(s); };
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
        LigaFocoDoCampo(this);
        DM_Comuns->Tb_TipoResp->open();
        // The lookups show their descriptions and lists only over open tables.
        for (vorta::db::Table* lista : {DM_Comuns->Tb_Logradouro, DM_Comuns->Tb_Bairro, DM_Comuns->Tb_C_Municipio})
            if (!lista->active())
                lista->open();
    }
    TFtemplate::FormShow(sender);
    DesabilitaReadOnly(this);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
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

void TCad_Contabilista::copiaMunicipio(vorta::db::DataSet& municipio)
{
    vorta::db::DataSet& ds = baseDataSet();
    // Only a record being edited takes the choice.
    if (!emEdicao(ds) || !municipio.active() || municipio.isEmpty())
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
    ConsultaMunicipio();
    if (DM_Comuns)
        copiaMunicipio(*DM_Comuns->Tb_Municipio);
}

void TCad_Contabilista::DBLookup_MunicipioEscolha(QWidget*)
{
    vorta::db::DataSet& ds = baseDataSet();
    if (!emEdicao(ds) || !DM_Comuns)
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
        if (emEdicao(ds))
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
