#include "T_Cad_Contribuinte.h"

#include "T_Cad_Contabilista.h"
#include "T_Cad_Municipio.h"
#include "T_Cad_RespnsavelLegal.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/Application.h"

#include <QTabBar>

vorta::Guarded<TCad_Contribuinte> Cad_Contribuinte;

using vorta::db::DataSet;
using vorta::db::DataSetState;
using vorta::db::Field;
using vorta::ui::Align;
using vorta::ui::DBEdit;
using vorta::ui::DBLookupComboBox;
using vorta::ui::Label;

namespace {
const QString ConIECNPJCPF = QStringLiteral("Con_IECNPJCPF");
const QString ConTipo = QStringLiteral("Con_Tipo");

bool entre(const QString& r, const char* de, const char* ate)
{
    return QString::compare(r, QLatin1String(de)) > 0 && QString::compare(r, QLatin1String(ate)) < 0;
}

void mostra(std::initializer_list<QWidget*> ws, bool visivel, bool habilitado)
{
    for (QWidget* w : ws) {
        w->setVisible(visivel);
        w->setEnabled(habilitado);
    }
}
} // namespace

TCad_Contribuinte::TCad_Contribuinte(vorta::Component* owner) : TFtemplate(owner)
{
    setName(QStringLiteral("Cad_Contribuinte"));
    setObjectName(QStringLiteral("Cad_Contribuinte"));
    setCaption(QStringLiteral("Cadastro de Contribuinte"));
    helpContext = 16000;
    // Room for the identification, the phones and a whole address page.
    setClientSize(718, 600);

    RadioGroup_Contribuinte = criaPainelBusca(
        QStringLiteral("Digite aqui para buscar o contribuinte automaticamente"),
        QStringLiteral("RadioGroup_Contribuinte"), QStringLiteral(" Busca de Contribuinte"),
        {QStringLiteral("Por inscrição"), QStringLiteral("Por nome")}, 2, 260);
    RadioGroup_Contribuinte->setItemIndex(1);
    Label5 = Label_Busca;
    Label5->setName(QStringLiteral("Label5"));
    Label5->setObjectName(QStringLiteral("Label5"));

    auto edit = [this](QWidget* pai, Label** label, const char* nomeLabel, const char* caption, const char* nome,
                       const char* campo, int x, int y, int largura, int dica) {
        Label* l = new Label(pai, QString::fromUtf8(caption), QString::fromLatin1(nomeLabel));
        l->setGeometry(x, y, largura, 16);
        auto* e = new DBEdit(pai, QString::fromLatin1(nome));
        e->setGeometry(x, y + 16, largura, 21);
        e->setDataSource(dsBase);
        e->setDataField(QString::fromLatin1(campo));
        e->charCase = QByteArray(campo).contains("Email") ? vorta::ui::CharCase::Lower : vorta::ui::CharCase::Upper;
        l->setBuddy(e);
        if (dica)
            ligaDica(e, dica);
        if (label)
            *label = l;
        return e;
    };
    auto lista = [this](QWidget* pai, Label** label, const char* nomeLabel, const char* caption, const char* nome,
                        const char* campo, vorta::db::DataSource* fonte, const char* chave, const char* texto, int x,
                        int y, int largura, int dica) {
        Label* l = new Label(pai, QString::fromUtf8(caption), QString::fromLatin1(nomeLabel));
        l->setGeometry(x, y, largura, 16);
        auto* c = new DBLookupComboBox(pai, QString::fromLatin1(nome));
        c->setGeometry(x, y + 16, largura, 21);
        c->setKeyField(QString::fromLatin1(chave));
        c->setListField(QString::fromLatin1(texto));
        if (fonte)
            c->setListSource(fonte);
        c->setDataSource(dsBase);
        c->setDataField(QString::fromLatin1(campo));
        l->setBuddy(c);
        if (dica)
            ligaDica(c, dica);
        if (label)
            *label = l;
        return c;
    };
    auto botao = [](QWidget* pai, const char* nome, const char* caption, int x, int y) {
        auto* b = new vorta::ui::SpeedButton(pai, QString::fromLatin1(nome));
        b->setCaption(QString::fromUtf8(caption));
        b->setGeometry(x, y, 84, 21);
        b->setEnabled(false);
        return b;
    };
    TDM_Comuns* dm = DM_Comuns;
    auto fonte = [dm](vorta::db::DataSource* TDM_Comuns::*m) { return dm ? dm->*m : nullptr; };

    // Identification.
    DBRadioGroup_ConTipo = criaTipoInscricao(pagina1);
    DBRadioGroup_ConTipo->setGeometry(8, 2, 560, 56);
    ligaDica(DBRadioGroup_ConTipo, 36);

    DBEdit_Con_IECNPJCPF = edit(pagina1, &Label3, "Label3", "I.E./CNPJ/CPF/Outras", "DBEdit_Con_IECNPJCPF",
                                "Con_IECNPJCPF", 8, 58, 150, 0);
    DBEdit2 = edit(pagina1, &Label4, "Label4", "Nome / Razão Social", "DBEdit2", "Con_Nome", 166, 58, 300, 0);
    DBEdit_Con_NomePropr = edit(pagina1, &Labe_lNome_Propriedade, "Labe_lNome_Propriedade",
                                "Nome Propriedade / Nome Fantasia", "DBEdit_Con_NomePropr", "Con_NomePropr", 8, 98,
                                300, 38);

    DBCheckBox_CTs_RevendaEmissora = new vorta::ui::DBCheckBox(pagina1, QStringLiteral("DBCheckBox_CTs_RevendaEmissora"));
    DBCheckBox_CTs_RevendaEmissora->setCaption(QStringLiteral("Emissora de CTs"));
    DBCheckBox_CTs_RevendaEmissora->setGeometry(470, 74, 140, 17);
    DBCheckBox_CTs_RevendaEmissora->setDataSource(dsBase);
    DBCheckBox_CTs_RevendaEmissora->setDataField(QStringLiteral("CTs_RevendaEmissora"));
    DBCheckBox_CTs_RevendaEmissora->hide();

    GroupBox1 = new vorta::ui::Panel(pagina1, QStringLiteral("GroupBox1"));
    // Inside its border: the CPF/CNPJ row, then the phones; the reseller keeps the first row only.
    GroupBox1->setGeometry(8, 138, 600, 96);
    Panel_Endereco = new vorta::ui::Panel(GroupBox1, QStringLiteral("Panel_Endereco"));
    Panel_Endereco->setBevel(vorta::ui::Panel::Bevel::None);
    Panel_Endereco->setGeometry(1, 1, 598, 50);
    DBEdit21 = edit(Panel_Endereco, &Label_CPFCNPJ, "Label_CPFCNPJ", "CPF / CNPJ", "DBEdit21", "End_CPF", 0, 2, 140, 0);
    DBRadioGroup1 = new vorta::ui::DBRadioGroup(Panel_Endereco, QStringLiteral("DBRadioGroup1"));
    DBRadioGroup1->setCaption(QStringLiteral("Tipo"));
    DBRadioGroup1->setItems({QStringLiteral("CPF"), QStringLiteral("CNPJ")});
    DBRadioGroup1->setValues({QStringLiteral("CPF"), QStringLiteral("CNPJ")});
    DBRadioGroup1->setColumns(2);
    DBRadioGroup1->setGeometry(148, 0, 130, 48);
    DBRadioGroup1->setDataSource(dsBase);
    DBRadioGroup1->setDataField(QStringLiteral("Con_TipoCPFCNPJ"));
    DBEdit_Con_NumeroCPR = edit(Panel_Endereco, &Label_Con_NumeroCPR, "Label_Con_NumeroCPR", "Numero CPR",
                                "DBEdit_Con_NumeroCPR", "Con_NumeroCPR", 290, 2, 80, 0);
    DBEdit_Con_NIRE = edit(Panel_Endereco, &Label_Con_NIRE, "Label_Con_NIRE", "NIRE (original)", "DBEdit_Con_NIRE",
                           "Con_NIRE", 380, 2, 120, 583);
    Panel_Fones = new vorta::ui::Panel(GroupBox1, QStringLiteral("Panel_Fones"));
    Panel_Fones->setBevel(vorta::ui::Panel::Bevel::None);
    Panel_Fones->setGeometry(1, 51, 598, 44);
    DBEdit_DDD = edit(Panel_Fones, nullptr, "Label_DDD", "DDD", "DBEdit_DDD", "Con_DDDFone", 0, 2, 30, 18);
    DBEdit14 = edit(Panel_Fones, nullptr, "Label_Fone", "Fone", "DBEdit14", "Con_Fone", 36, 2, 90, 19);
    DBEdit1 = edit(Panel_Fones, nullptr, "Label_DDD2", "DDD", "DBEdit1", "Con_DDD2", 140, 2, 30, 582);
    DBEdit3 = edit(Panel_Fones, nullptr, "Label_Fone2", "Fone 2", "DBEdit3", "Con_Fone2", 176, 2, 90, 581);
    DBEdit15 = edit(Panel_Fones, nullptr, "Label_DDDFax", "DDD", "DBEdit15", "Con_DDDFax", 280, 2, 30, 18);
    DBEdit16 = edit(Panel_Fones, nullptr, "Label_Fax", "Fax", "DBEdit16", "Con_FAX", 316, 2, 90, 47);

    PageControl1 = new vorta::ui::PageControl(pagina1, QStringLiteral("PageControl1"));
    PageControl1->setGeometry(8, 238, 700, 270);
    // Tab and Enter go from the phones straight to the fields of the page.
    PageControl1->tabBar()->setFocusPolicy(Qt::NoFocus);
    TBSCorrespondencia = new vorta::ui::TabSheet(PageControl1, QStringLiteral("Endereço para Correspondência"),
                                                 QStringLiteral("TBSCorrespondencia"));
    TBSEstabelecimento = new vorta::ui::TabSheet(
        PageControl1, QStringLiteral("Endereço do Estabelecimento / Dados da Propriedade"),
        QStringLiteral("TBSEstabelecimento"));
    TbSEspecificacao = new vorta::ui::TabSheet(PageControl1, QStringLiteral("Especificações"),
                                               QStringLiteral("TbSEspecificacao"));
    tbSResponsavel = new vorta::ui::TabSheet(PageControl1, QStringLiteral("Responsáveis"),
                                             QStringLiteral("tbSResponsavel"));

    // Correspondence address.
    QWidget* c = TBSCorrespondencia;
    DBLookupComboBox1 = lista(c, nullptr, "Label_TipLog", "Tipo Log.", "DBLookupComboBox1", "TipLog_Codigo",
                              fonte(&TDM_Comuns::Ds_LogradouroEstab), "TipLog_Codigo", "TipLog_Descricao", 8, 4, 100,
                              40);
    DBEdit5 = edit(c, nullptr, "Label_Logradouro", "Logradouro", "DBEdit5", "Con_Logradouro", 114, 4, 260, 41);
    DBEdit6 = edit(c, nullptr, "Label_Numero", "Número", "DBEdit6", "Con_Numero", 380, 4, 50, 42);
    DBEdit7 = edit(c, nullptr, "Label_Complemento", "Complemento", "DBEdit7", "Con_Complemento", 436, 4, 150, 43);
    DBLookupComboBox_2 = lista(c, nullptr, "Label_TipBai", "Tipo Bai.", "DBLookupComboBox_2", "TipBai_Codigo",
                               fonte(&TDM_Comuns::Ds_BairroEstab), "TipBai_Codigo", "TipBai_Descricao", 8, 44, 100, 44);
    DBEdit_Bairro = edit(c, nullptr, "Label_Bairro", "Bairro", "DBEdit_Bairro", "Con_Bairro", 114, 44, 200, 45);
    DBLookupComboBox_Municipio = lista(c, nullptr, "Label_Municipio", "Município", "DBLookupComboBox_Municipio",
                                       "Mun_Endereco", fonte(&TDM_Comuns::Ds_Municipio), "Mun_Codigo",
                                       "Mun_Descricao", 8, 84, 250, 51);
    DBLookupComboBox_Municipio->setEmptyText(QStringLiteral("Não informado"));
    btMuncipio = botao(c, "btMuncipio", "&Município", 264, 100);
    DBEdit_Con_UF = edit(c, nullptr, "Label_UF", "UF", "DBEdit_Con_UF", "Con_UF", 356, 84, 30, 0);
    DBEdit_Con_UF->setEnabled(false);
    DBEdit_CEP = edit(c, nullptr, "Label_CEP", "CEP", "DBEdit_CEP", "Con_CEP", 394, 84, 90, 46);
    DBEdit17 = edit(c, nullptr, "Label_Email", "E-mail", "DBEdit17", "Con_Email", 8, 124, 300, 20);
    DBEdit4 = edit(c, nullptr, "Label_CxPostal", "Cx. Postal", "DBEdit4", "Con_CxPostal", 316, 124, 60, 584);

    // Establishment or property: where it lies on the left (the agency, the municipality,
    // the complement or access route), the street address on the right.
    QWidget* e = TBSEstabelecimento;
    lkAge_Codigo = lista(e, &LabelAge_Codigo, "LabelAge_Codigo", "AGENFA para Entrega do C.P.R.", "lkAge_Codigo",
                         "Age_Codigo", fonte(&TDM_Comuns::Ds_Agenfa), "Age_Codigo", "Age_Nome", 8, 4, 250, 49);
    DBLookupComboBox3 = lista(e, nullptr, "Label_TipLogEstab", "Tipo Log.", "DBLookupComboBox3", "TipLog_CodigoEstab",
                              fonte(&TDM_Comuns::Ds_LogradouroEstab), "TipLog_Codigo", "TipLog_Descricao", 360, 4, 90,
                              585);
    DBEdit8 = edit(e, nullptr, "Label_LogEstab", "Logradouro", "DBEdit8", "Con_LogradouroEstab", 456, 4, 170, 586);
    DBEdit9 = edit(e, nullptr, "Label_NumEstab", "Número", "DBEdit9", "Con_NumeroEstab", 632, 4, 50, 587);
    DBEdit10 = edit(e, &Label_ComplEstab, "Label_ComplEstab", "Complemento / Localização", "DBEdit10",
                    "Con_ComplementoEstab", 8, 84, 340, 588);
    DBLookupComboBox7 = lista(e, nullptr, "Label_TipBaiEstab", "Tipo Bai.", "DBLookupComboBox7", "Tip_Bai_CodigoEstab",
                              fonte(&TDM_Comuns::Ds_BairroEstab), "TipBai_Codigo", "TipBai_Descricao", 360, 44, 90,
                              589);
    DBEdit11 = edit(e, nullptr, "Label_BairroEstab", "Bairro", "DBEdit11", "Con_BairroEstab", 456, 44, 226, 590);
    lkMun_Propriedade = lista(e, &LabelMun_Codigo, "LabelMun_Codigo", "Município", "lkMun_Propriedade",
                              "Mun_Propriedade", fonte(&TDM_Comuns::Ds_MunicipioPro), "Mun_Codigo", "Mun_Descricao",
                              8, 44, 250, 48);
    btMunicipioEstab = botao(e, "btMunicipioEstab", "M&unicípio", 264, 60);
    DBEdit12 = edit(e, nullptr, "Label_UFEstab", "UF", "DBEdit12", "Con_UFEstab", 360, 84, 30, 0);
    DBEdit12->setEnabled(false);
    DBEdit_CepEstab = edit(e, nullptr, "Label_CEPEstab", "CEP", "DBEdit_CepEstab", "Con_CEPEstab", 396, 84, 90, 67);
    DBEdit18 = edit(e, nullptr, "Label_EmailEstab", "E-mail", "DBEdit18", "Con_EmailEstab", 8, 124, 340, 20);
    DBEdit19 = edit(e, nullptr, "Label_CxPostalEstab", "Cx. Postal", "DBEdit19", "Con_CxPostalEstab", 360, 124, 60,
                    584);

    // The periodicity and tax-regime page.
    Ds_FormaEntr = new vorta::db::DataSource(this);
    Ds_RegICMS = new vorta::db::DataSource(this);
    if (dm) {
        Ds_FormaEntr->setDataSet(dm->Tb_FormaEntr);
        Ds_RegICMS->setDataSet(dm->Tb_RegICMS);
    }
    QWidget* s = TbSEspecificacao;
    DBLookupComboBox2 = lista(s, nullptr, "Label_Periodicidade", "Periodicidade", "DBLookupComboBox2",
                              "Con_FormaEntrega", Ds_FormaEntr, "FormaEntr_Codigo", "FormaEntr_Descricao", 8, 4, 200,
                              592);
    DBLookupComboBox6 = lista(s, nullptr, "Label_Regime", "Regime de ICMS", "DBLookupComboBox6", "Con_RegICMS",
                              Ds_RegICMS, "RegICMS_Codigo", "RegICMS_Descricao", 216, 4, 200, 593);
    DBRadioGroup_EscrFiscal = new vorta::ui::DBRadioGroup(s, QStringLiteral("DBRadioGroup_EscrFiscal"));
    DBRadioGroup_EscrFiscal->setCaption(QStringLiteral(" O Contribuinte possui Escrita Contábil Regular ? "));
    DBRadioGroup_EscrFiscal->setItems(
        {QStringLiteral("Sim, na própria empresa."),
         QStringLiteral("Sim, mas centralizada na Matriz localizada dentro do estado de Orvania."),
         QStringLiteral("Sim, mas centralizada na Matriz localizada fora do estado de Orvania."),
         QStringLiteral("Não, somente escrita fiscal.")});
    DBRadioGroup_EscrFiscal->setValues({QStringLiteral("S"), QStringLiteral("D"), QStringLiteral("F"),
                                        QStringLiteral("N")});
    DBRadioGroup_EscrFiscal->setGeometry(8, 44, 600, 124);
    DBRadioGroup_EscrFiscal->setDataSource(dsBase);
    DBRadioGroup_EscrFiscal->setDataField(QStringLiteral("Con_EscritaFiscal"));
    ligaDica(DBRadioGroup_EscrFiscal, 594);
    DBdt_IEMatriz = edit(s, &Lbl_IEMatriz, "Lbl_IEMatriz", "Inscrição Estadual da Matriz", "DBdt_IEMatriz",
                         "Con_IEMatriz", 440, 4, 160, 0);
    DBRadioGroup_Outra = new vorta::ui::DBRadioGroup(s, QStringLiteral("DBRadioGroup_Outra"));
    DBRadioGroup_Outra->setCaption(QStringLiteral("Existe estabelecimento centralizador da apuração de ICMS?"));
    DBRadioGroup_Outra->setItems({QStringLiteral("Sim"), QStringLiteral("Não")});
    DBRadioGroup_Outra->setValues({QStringLiteral("S"), QStringLiteral("N")});
    DBRadioGroup_Outra->setColumns(2);
    DBRadioGroup_Outra->setGeometry(8, 172, 380, 56);
    DBRadioGroup_Outra->setDataSource(dsBase);
    DBRadioGroup_Outra->setDataField(QStringLiteral("Con_OutraEmpresa"));
    ligaDica(DBRadioGroup_Outra, 595);
    DBEdit_InscEstOutra = edit(s, &Lbl_InscOutra, "Lbl_InscOutra", "Inscrição do centralizador",
                               "DBEdit_InscEstOutra", "Con_InscOutra", 400, 180, 160, 596);

    // Responsibles.
    QWidget* r = tbSResponsavel;
    Lk_Contabilista = lista(r, &LabelRespContab, "LabelRespContab", "Contabilista", "Lk_Contabilista", "Resp_CPF",
                            fonte(&TDM_Comuns::Ds_C_Responsavel), "Resp_CPF", "Resp_Nome", 8, 4, 300, 50);
    btContabilista = botao(r, "btContabilista", "C&ontabilista", 316, 20);
    LK_RespEmpresa = lista(r, &LabelRespEmp, "LabelRespEmp", "Responsável Legal", "LK_RespEmpresa", "ResEmp_CPF",
                           fonte(&TDM_Comuns::ds_RespEmpresa), "ResEmp_CPF", "ResEmp_Nome", 8, 44, 300, 598);
    btRespEmpresa = botao(r, "btRespEmpresa", "&Responsável", 316, 60);

    DBGrid->setColumns({{QStringLiteral("Calc_IECNPJCPF"), QStringLiteral("IE/CNPJ/CPF/OI")},
                        {QStringLiteral("Con_Nome"), QStringLiteral("Razão Social / Nome")},
                        {QStringLiteral("Con_NomePropr"), QStringLiteral("Nome da Propriedade / Nome Fantasia")},
                        {QStringLiteral("Lk_Logradouro"), QStringLiteral("Tipo Log.")},
                        {QStringLiteral("Con_Logradouro"), QString()},
                        {QStringLiteral("Con_Numero"), QStringLiteral("Numero")},
                        {QStringLiteral("Con_Complemento"), QString()},
                        {QStringLiteral("Lk_Bairro"), QStringLiteral("Tipo Bai.")},
                        {QStringLiteral("Con_Bairro"), QString()},
                        {QStringLiteral("Lk_MunEndereco"), QString()},
                        {QStringLiteral("Con_UF"), QString()},
                        {QStringLiteral("Con_CEP"), QString()},
                        {QStringLiteral("Con_DDDFone"), QString()},
                        {QStringLiteral("Con_Fone"), QString()},
                        {QStringLiteral("Con_DDDFax"), QStringLiteral("DDD Fax")},
                        {QStringLiteral("Con_FAX"), QString()},
                        {QStringLiteral("Con_Email"), QStringLiteral("Email")},
                        {QStringLiteral("Lk_Agenfa"), QStringLiteral("Agenfa")},
                        {QStringLiteral("Lk_Responsavel"), QStringLiteral("Responsavel")},
                        {QStringLiteral("Lk_MunPropriedade"), QStringLiteral("Município Propriedade")}});

    DBEdit_Con_IECNPJCPF->OnEnter = [this](QWidget* w) { DBEdit_Con_IECNPJCPFEnter(w); };
    DBEdit2->OnEnter = [this](QWidget* w) {
        msgStatus->setPanelText(0, QString());
        DBEdit_Con_IECNPJCPFEnter(w);
    };
    DBEdit_Con_IECNPJCPF->OnExit = [this](QWidget* w) { DBEdit_Con_IECNPJCPFExit(w); };
    DBRadioGroup_ConTipo->OnExit = [this](QWidget*) { HabilitaPanel(); };
    DBRadioGroup1->OnExit = [this](QWidget*) {
        baseDataSet().fieldByName(QStringLiteral("End_CPF"))
            ->setEditMask(MascaraCPFCNPJ(DBRadioGroup1->itemIndex() == 1 ? QStringLiteral("CNPJ") : QStringLiteral("CPF")));
    };
    DBEdit_Con_NomePropr->OnExit = [this](QWidget*) {
        if (DBRadioGroup1->isVisible() && DBRadioGroup1->isEnabled())
            DBRadioGroup1->setFocus();
    };
    btMuncipio->OnClick = [this](QWidget* w) { btMuncipioClick(w); };
    btMunicipioEstab->OnClick = [this](QWidget* w) { btMunicipioEstabClick(w); };
    btContabilista->OnClick = [this](QWidget* w) { btContabilistaClick(w); };
    btRespEmpresa->OnClick = [this](QWidget* w) { btRespEmpresaClick(w); };
    auto municipio = [this](QWidget*) {
        if (DM_Comuns)
            copiaMunicipio(*DM_Comuns->Tb_Municipio, "Mun_Endereco", "Con_UF", "Con_CEP", DBEdit_CEP);
    };
    auto propriedade = [this](QWidget*) {
        if (DM_Comuns)
            copiaMunicipio(*DM_Comuns->Tb_MunicipioPro, "Mun_Propriedade", "Con_UFEstab", "Con_CEPEstab",
                           DBEdit_CepEstab);
    };
    DBLookupComboBox_Municipio->OnClick = municipio;
    DBLookupComboBox_Municipio->OnKeyPress = [municipio](QWidget* w, QChar&) { municipio(w); };
    lkMun_Propriedade->OnClick = propriedade;
    lkMun_Propriedade->OnKeyPress = [propriedade](QWidget* w, QChar&) { propriedade(w); };
    // A district type "CTO" has no district name.
    auto cto = [this](DBLookupComboBox* tipo, DBEdit* bairro, QWidget* seguinte) {
        tipo->OnExit = [this, tipo, bairro, seguinte](QWidget*) {
            DataSet& ds = baseDataSet();
            if (ds.fieldByName(tipo->dataField())->asString().trimmed() == QLatin1String("CTO")) {
                if (emEdicao(ds))
                    ds.fieldByName(bairro->dataField())->clear();
                bairro->setEnabled(false);
                seguinte->setFocus();
            } else {
                bairro->setEnabled(true);
            }
        };
    };
    cto(DBLookupComboBox_2, DBEdit_Bairro, DBLookupComboBox_Municipio);
    cto(DBLookupComboBox7, DBEdit11, lkMun_Propriedade);
    DBRadioGroup_Outra->OnChange = [this](QWidget*) { mostraOutra(); };
    DBRadioGroup_Outra->OnClick = [this](QWidget*) { mostraOutra(); };
    DBRadioGroup_EscrFiscal->OnChange = [this](QWidget*) { mostraMatriz(); };
    DBRadioGroup_EscrFiscal->OnClick = [this](QWidget*) { mostraMatriz(); };

    if (dm)
        dsBase->setDataSet(dm->Tb_Contribuinte);
}

TCad_Contribuinte::~TCad_Contribuinte()
{
    if (DM_Comuns) {
        DM_Comuns->ModoRevenda = false;
        DM_Comuns->ModoProdutorRural = false;
    }
}

void TCad_Contribuinte::mostraOutra()
{
    DataSet* ds = dsBase->dataSet();
    if (!ds || !ds->active())
        return;
    const bool sim = ds->fieldByName(QStringLiteral("Con_OutraEmpresa"))->asString() == QLatin1String("S");
    if (!sim && emEdicao(*ds) && !ds->fieldByName(QStringLiteral("Con_InscOutra"))->isNull())
        ds->fieldByName(QStringLiteral("Con_InscOutra"))->clear();
    mostra({DBEdit_InscEstOutra, Lbl_InscOutra}, sim, sim && emEdicao(*ds));
}

void TCad_Contribuinte::mostraMatriz()
{
    DataSet* ds = dsBase->dataSet();
    if (!ds || !ds->active())
        return;
    const bool d = ds->fieldByName(QStringLiteral("Con_EscritaFiscal"))->asString() == QLatin1String("D");
    if (!d && emEdicao(*ds) && !ds->fieldByName(QStringLiteral("Con_IEMatriz"))->isNull())
        ds->fieldByName(QStringLiteral("Con_IEMatriz"))->clear();
    mostra({DBdt_IEMatriz, Lbl_IEMatriz}, d, d);
}

vorta::ui::TabSheet* TCad_Contribuinte::paginaDeNome(const QString& nome) const
{
    for (vorta::ui::TabSheet* p : {TBSCorrespondencia, TBSEstabelecimento, TbSEspecificacao, tbSResponsavel})
        if (p->objectName() == nome)
            return p;
    return nullptr;
}

void TCad_Contribuinte::FormCreate(Form* sender)
{
    if (DM_Comuns)
        dsBase->setDataSet(DM_Comuns->Tb_Contribuinte);
    TFtemplate::FormCreate(sender);
    if (DM_Comuns)
        DM_Comuns->HabilitaDesabilitaControles(this, vorta::Application::instance()->title(),
                                               QStringLiteral("Contribuinte"));
}

void TCad_Contribuinte::FormShow(Form* sender)
{
    struct Modo {
        bool ligado;
        const char* caption;
        const char* busca;
        const char* dica;
    };
    const Modo modos[] = {
        {ModoProdutor, "Cadastro de Produtor", " Busca de Produtor ", "Digite aqui para buscar o produtor automaticamente"},
        {ModoContribuinte, "Cadastro de Contribuinte", " Busca de Contribuinte ",
         "Digite aqui para buscar o contribuinte automaticamente"},
        {ModoRevenda, "Cadastro de Revenda", " Busca de Revenda ", "Digite aqui para buscar a revenda automaticamente"},
        {ModoProdutorRural, "Cadastro de Produtor", " Busca de Produtor ",
         "Digite aqui para buscar o produtor automaticamente"},
    };
    for (const Modo& m : modos) {
        if (!m.ligado)
            continue;
        setCaption(QString::fromUtf8(m.caption));
        RadioGroup_Contribuinte->setCaption(QString::fromUtf8(m.busca));
        Label5->setText(QString::fromUtf8(m.dica));
        // Every mode registers state registrations only.
        DBRadioGroup_ConTipo->setItems({QStringLiteral("Insc. Estadual")});
        DBRadioGroup_ConTipo->setValues({QStringLiteral("IE")});
        Panel_Endereco->show();
        mostra({Labe_lNome_Propriedade, DBEdit_Con_NomePropr}, true, true);
    }
    if (ModoProdutor || ModoContribuinte)
        mostra({btContabilista}, true, true);
    if (ModoContribuinte)
        mostra({btRespEmpresa}, true, true);
    if (ModoRevenda) {
        Label3->setText(QStringLiteral("Inscrição Estadual"));
        Label4->setText(QStringLiteral("Razão Social"));
        Labe_lNome_Propriedade->setText(QStringLiteral("Nome Fantasia"));
        Label_CPFCNPJ->setText(QStringLiteral("CNPJ"));
        mostra({btContabilista}, false, false);
        mostra({DBCheckBox_CTs_RevendaEmissora}, true, true);
        QList<vorta::ui::GridColumn> colunas = DBGrid->columns();
        const char* titulos[] = {"Insc.Estadual", "Razão Social", "Nome Fantasia"};
        for (int i = 0; i < colunas.size(); ++i) {
            if (i < 3)
                colunas[i].title = QString::fromUtf8(titulos[i]);
            else
                colunas[i].visible = false;
        }
        colunas[0].width = 88;
        DBGrid->setColumns(colunas);
    } else {
        mostra({DBCheckBox_CTs_RevendaEmissora}, false, false);
    }
    if (ModoProdutorRural) {
        Label3->setText(QStringLiteral("IE Produtor Rural"));
        Labe_lNome_Propriedade->setText(QStringLiteral("Nome da Propriedade"));
        if (Label* l = findChild<Label*>(QStringLiteral("Label_Fone2")))
            l->setText(QStringLiteral("Celular/Fone 2"));
        Label_ComplEstab->setText(QStringLiteral("Complemento/Via de acesso à Propriedade"));
        // Where the property lies comes first on its page, and first to be typed.
        LabelMun_Codigo->setGeometry(LabelMun_Codigo->x(), 23, LabelMun_Codigo->width(), 15);
        lkMun_Propriedade->move(lkMun_Propriedade->x(), 38);
        Label_ComplEstab->setGeometry(Label_ComplEstab->x(), 64, Label_ComplEstab->width(), 14);
        DBEdit10->move(DBEdit10->x(), 78);
        QList<QWidget*> ordem{lkMun_Propriedade, DBEdit10};
        for (QWidget* w = nextInFocusChain(); w && w != this; w = w->nextInFocusChain())
            if (w->parentWidget() == TBSEstabelecimento && w->focusPolicy() != Qt::NoFocus && !ordem.contains(w))
                ordem << w;
        for (int i = 1; i < ordem.size(); ++i)
            QWidget::setTabOrder(ordem.at(i - 1), ordem.at(i));
        mostra({btContabilista}, false, false);
        QList<vorta::ui::GridColumn> colunas = DBGrid->columns();
        for (vorta::ui::GridColumn& c : colunas) {
            if (c.fieldName == QLatin1String("Con_FAX") || c.fieldName == QLatin1String("Con_Email")
                || c.fieldName == QLatin1String("Lk_Agenfa"))
                c.visible = false;
        }
        colunas[0].title = QStringLiteral("Insc.Estadual");
        colunas[0].width = 88;
        colunas[2].title = QStringLiteral("Nome Propriedade");
        DBGrid->setColumns(colunas);
    }
    if (DM_Comuns) {
        DM_Comuns->ModoRevenda = ModoRevenda;
        DM_Comuns->ModoProdutorRural = ModoProdutorRural;
    }

    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    if (DM_Comuns)
        for (DataSet* t : {static_cast<DataSet*>(DM_Comuns->Tb_Agenfa), static_cast<DataSet*>(DM_Comuns->Tb_Bairro),
                           static_cast<DataSet*>(DM_Comuns->Tb_BairroEstab), static_cast<DataSet*>(DM_Comuns->Tb_Logradouro),
                           static_cast<DataSet*>(DM_Comuns->Tb_LogradouroEstab),
                           static_cast<DataSet*>(DM_Comuns->Tb_C_Municipio), static_cast<DataSet*>(DM_Comuns->Tb_Municipio),
                           static_cast<DataSet*>(DM_Comuns->Tb_MunicipioPro),
                           static_cast<DataSet*>(DM_Comuns->Tb_C_Responsavel),
                           static_cast<DataSet*>(DM_Comuns->Tb_RespEmpresa),
                           static_cast<DataSet*>(DM_Comuns->Tb_FormaEntr), static_cast<DataSet*>(DM_Comuns->Tb_RegICMS),
                           static_cast<DataSet*>(DM_Comuns->Tb_Endereco)})
            if (!t->active())
                t->open();
    TFtemplate::FormShow(sender);
    HabilitaPanel();
    modoNavegacao();
    if (ModoInclusao) {
        btIncluir->click();
        DataSet* ds = dsBase->dataSet();
        if (ds && emEdicao(*ds) && vorta::Application::instance()->title() == QLatin1String("CTs")) {
            // The first reseller registered there issues the documents.
            if (ds->recordCount() == 0)
                ds->fieldByName(QStringLiteral("CTs_RevendaEmissora"))->setAsBoolean(ModoRevenda);
            if (DM_Comuns && !DM_Comuns->InscricaoPadrao.isEmpty())
                ds->fieldByName(ConIECNPJCPF)->setAsString(DM_Comuns->InscricaoPadrao);
        }
    } else {
        Edit_BuscaChange(Edit_Busca);
        Edit_Busca->setFocus();
        Edit_Busca->selectAll();
    }
}

void TCad_Contribuinte::habilitaBotoes(bool on)
{
    for (QWidget* b : {static_cast<QWidget*>(btMuncipio), static_cast<QWidget*>(btMunicipioEstab),
                       static_cast<QWidget*>(btContabilista), static_cast<QWidget*>(btRespEmpresa)})
        b->setEnabled(on);
}

void TCad_Contribuinte::modoNavegacao()
{
    DesabilitaReadOnly(this);
    habilitaBotoes(false);
    DBRadioGroup_ConTipo->setEnabled(false);
}

void TCad_Contribuinte::HabilitaPanel()
{
    mostra({btMuncipio, btContabilista, btRespEmpresa}, true, btMuncipio->isEnabled());
    DataSet* ds = dsBase->dataSet();
    if (!ds || !ds->active())
        return;
    const bool novo = ds->state() == DataSetState::Insert;
    const QString tipo = ds->fieldByName(ConTipo)->asString();
    const QString r = ds->fieldByName(ConIECNPJCPF)->asString().trimmed();
    const QList<QWidget*> contab = {LabelRespContab, Lk_Contabilista, btContabilista};
    const QList<QWidget*> respEmp = {LabelRespEmp, LK_RespEmpresa, btRespEmpresa};
    auto grupo = [](const QList<QWidget*>& ws, bool visivel, bool habilitado) {
        for (QWidget* w : ws) {
            w->setVisible(visivel);
            w->setEnabled(habilitado);
        }
    };
    auto abas = [this](bool corr, bool estab, bool espec, bool resp) {
        TBSCorrespondencia->setTabVisible(corr);
        TBSEstabelecimento->setTabVisible(estab);
        TbSEspecificacao->setTabVisible(espec);
        tbSResponsavel->setTabVisible(resp);
    };
    const bool editando = emEdicao(*ds);
    if (ModoProdutor) {
        TbSEspecificacao->setTabVisible(false);
        grupo(respEmp, false, false);
        grupo({Label_Con_NIRE, DBEdit_Con_NIRE}, false, false);
        if (novo)
            PageControl1->setActivePage(TBSEstabelecimento);
        return;
    }
    if (ModoContribuinte) {
        TBSCorrespondencia->setTabVisible(false);
        mostraOutra();
        mostraMatriz();
        btMunicipioEstab->setEnabled(true);
        btRespEmpresa->setEnabled(true);
        if (novo)
            PageControl1->setActivePage(TBSEstabelecimento);
        return;
    }
    if (r.isEmpty()) {
    } else if (tipo == QLatin1String("IE") && entre(r, "285000000", "290000000")) {
        grupo({DBRadioGroup1}, true, true);
        Label_CPFCNPJ->setText(QStringLiteral("CPF/CNPJ"));
        grupo({Label_Con_NumeroCPR, DBEdit_Con_NumeroCPR, Panel_Endereco, Labe_lNome_Propriedade, DBEdit_Con_NomePropr,
               LabelMun_Codigo, lkMun_Propriedade, LabelAge_Codigo, lkAge_Codigo},
              true, true);
        grupo(contab, true, editando);
        grupo(respEmp, false, false);
        grupo({Label_Con_NIRE, DBEdit_Con_NIRE}, false, false);
        abas(true, true, false, true);
        if (novo)
            PageControl1->setActivePage(TBSEstabelecimento);
    } else if (tipo == QLatin1String("IE") && entre(r, "279999999", "285000000")) {
        grupo({DBRadioGroup1}, false, false);
        Label_CPFCNPJ->setText(QStringLiteral("CNPJ"));
        grupo({Label_Con_NumeroCPR, DBEdit_Con_NumeroCPR, LabelAge_Codigo, lkAge_Codigo}, false, false);
        grupo({Label_Con_NIRE, DBEdit_Con_NIRE, Panel_Endereco, Labe_lNome_Propriedade, DBEdit_Con_NomePropr,
               LabelMun_Codigo, lkMun_Propriedade},
              true, true);
        grupo(respEmp, true, editando);
        grupo(contab, true, editando);
        btMuncipio->setEnabled(false);
        abas(false, true, true, true);
        mostraOutra();
        mostraMatriz();
        if (novo)
            PageControl1->setActivePage(TBSEstabelecimento);
    } else if (tipo.isEmpty() || tipo == QLatin1String("CPF") || tipo == QLatin1String("CNPJ")
               || tipo == QLatin1String("OI")) {
        grupo({Panel_Endereco, Label_Con_NIRE, DBEdit_Con_NIRE, Label_Con_NumeroCPR, DBEdit_Con_NumeroCPR,
               DBRadioGroup1, Labe_lNome_Propriedade, DBEdit_Con_NomePropr},
              false, false);
        grupo(contab, false, false);
        grupo(respEmp, false, false);
        abas(true, false, false, false);
        if (novo)
            PageControl1->setActivePage(TBSCorrespondencia);
    } else {
        Panel_Endereco->hide();
    }
    if (!editando) {
        habilitaBotoes(false);
    } else {
        btMuncipio->setEnabled(TBSCorrespondencia->tabVisible());
        btMunicipioEstab->setEnabled(TBSEstabelecimento->tabVisible());
    }
    if (ModoRevenda) {
        mostra({Panel_Fones}, false, false);
        mostra({DBRadioGroup1}, true, false);
        mostra({Label_Con_NumeroCPR, DBEdit_Con_NumeroCPR, Label_Con_NIRE, DBEdit_Con_NIRE}, false, false);
        GroupBox1->resize(GroupBox1->width(), 52);
        mostra({GroupBox1}, true, true);
        mostra({PageControl1}, false, false);
        setClientSize(718, 400);
    }
    if (ModoProdutorRural) {
        TBSCorrespondencia->setTabVisible(true);
        PageControl1->setActivePage(TBSCorrespondencia);
        TbSEspecificacao->setTabVisible(false);
        tbSResponsavel->setTabVisible(false);
        mostra({btMunicipioEstab, LabelAge_Codigo, lkAge_Codigo}, false, false);
        if (DM_Comuns) {
            DataSet* pro = DM_Comuns->Tb_MunicipioPro;
            pro->close();
            pro->setFilter(entre(r, "285000000", "290000000") ? QStringLiteral("Mun_UF = 'QX'") : QString());
            pro->setFiltered(true);
            pro->open();
        }
    }
}

int TCad_Contribuinte::dicaDoTipo() const
{
    return DicaDoConTipo(baseDataSet().fieldByName(ConTipo)->asString());
}

void TCad_Contribuinte::DBEdit_Con_IECNPJCPFEnter(QWidget*)
{
    DataSet* ds = dsBase->dataSet();
    if (!ds || !ds->active())
        return;
    const QString mascara = MascaraDesteConTipo(ds->fieldByName(ConTipo)->asString());
    ds->fieldByName(ConIECNPJCPF)->setEditMask(mascara);
    DBEdit_Con_IECNPJCPF->setEditMask(mascara);
    const int dica = dicaDoTipo();
    msgStatus->setPanelText(0, dica ? GetErrorMessage(dica) : QString());
}

void TCad_Contribuinte::DBEdit_Con_IECNPJCPFExit(QWidget*)
{
    DataSet& ds = baseDataSet();
    // The panels follow what was typed.
    if (emEdicao(ds) && !DBEdit_Con_IECNPJCPF->FieldControl::readOnly())
        DBEdit_Con_IECNPJCPF->dataLink().updateRecord();
    const QString r = DBEdit_Con_IECNPJCPF->maskedText().trimmed();
    if (ds.state() == DataSetState::Insert && DM_Comuns && !r.isEmpty() && DM_Comuns->ExisteContribuinte(r)) {
        const bool alterar = MsgSimNaoBD(1419) == vorta::ui::mrYes;
        m_saidaRecusada = true;
        // The new row is given up; Yes alters the existing one, its key read-only.
        TFtemplate::btCancelarClick(btCancelar);
        modoNavegacao();
        CancelaContrib.clear();
        ds.locate(ConIECNPJCPF, r, vorta::db::loCaseInsensitive);
        if (alterar) {
            TFtemplate::btAlterarClick(btAlterar);
            HabilitaReadOnly(this);
            DBEdit_Con_IECNPJCPF->FieldControl::setReadOnly(true);
            DBRadioGroup_ConTipo->setEnabled(false);
            habilitaBotoes(true);
        }
        HabilitaPanel();
        vorta::Abort();
    }
    HabilitaPanel();
    Field* endCpf = ds.fieldByName(QStringLiteral("End_CPF"));
    if (entre(ds.fieldByName(ConIECNPJCPF)->asString(), "280000000", "285000000")
        && ds.fieldByName(ConTipo)->asString() == QLatin1String("IE")) {
        endCpf->setEditMask(MascaraCPFCNPJ(QStringLiteral("CNPJ")));
        if (emEdicao(ds))
            ds.fieldByName(QStringLiteral("Con_TipoCPFCNPJ"))->setAsString(QStringLiteral("CNPJ"));
    } else {
        endCpf->setEditMask(QString());
    }
}

void TCad_Contribuinte::btIncluirClick(QWidget* sender)
{
    TFtemplate::btIncluirClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    DataSet& ds = baseDataSet();
    ds.fieldByName(ConTipo)->setAsString(QStringLiteral("IE"));
    habilitaBotoes(true);
    DBRadioGroup_ConTipo->setEnabled(true);
    ds.fieldByName(ConIECNPJCPF)->setEditMask(QStringLiteral("99.999.999-9;0; "));
    // Only the establishment page until the registration is known.
    TBSEstabelecimento->setTabVisible(true);
    PageControl1->setActivePage(TBSEstabelecimento);
    TBSCorrespondencia->setTabVisible(false);
    TbSEspecificacao->setTabVisible(false);
    tbSResponsavel->setTabVisible(false);
    DBEdit_Con_IECNPJCPF->setFocus();
    DBEdit_Con_IECNPJCPF->selectAll();
}

void TCad_Contribuinte::btAlterarClick(QWidget* sender)
{
    TFtemplate::btAlterarClick(sender);
    Panel_Busca->hide();
    HabilitaReadOnly(this);
    HabilitaPanel();
    DBEdit_Con_IECNPJCPF->FieldControl::setReadOnly(true);
    DBRadioGroup_ConTipo->setEnabled(baseDataSet().fieldByName(ConTipo)->asString().isEmpty());
    habilitaBotoes(true);
    DBEdit2->setFocus();
}

void TCad_Contribuinte::btGravarClick(QWidget* sender)
{
    m_saidaRecusada = false;
    // Leaving the registration runs its exit step before anything is checked.
    ScrollBox1->setFocus();
    if (m_saidaRecusada)
        vorta::Abort();
    const QString r = DBEdit_Con_IECNPJCPF->maskedText().trimmed();
    auto recusa = [this](int mensagem) {
        MsgErroBD(mensagem);
        DBEdit_Con_IECNPJCPF->setFocus();
        vorta::Abort();
    };
    if (r.isEmpty())
        recusa(1408);
    if ((ModoProdutor || ModoProdutorRural) && !entre(r, "285000000", "290000000"))
        recusa(476);
    if ((ModoContribuinte || ModoRevenda) && !entre(r, "280000000", "285000000"))
        recusa(579);
    // The rules switch this form's pages and focus its controls while it saves.
    TDM_Comuns* dm = DM_Comuns;
    auto anterior = dm ? dm->FocaCampo : nullptr;
    if (dm)
        dm->FocaCampo = [this](const QString& pagina, const QString& campo) {
            if (vorta::ui::TabSheet* p = paginaDeNome(pagina))
                PageControl1->setActivePage(p);
            FocaControleDoCampo(this, campo);
        };
    try {
        TFtemplate::btGravarClick(sender);
    } catch (...) {
        if (dm)
            dm->FocaCampo = anterior;
        throw;
    }
    if (dm)
        dm->FocaCampo = anterior;
    modoNavegacao();
    CancelaContrib = baseDataSet().fieldByName(ConIECNPJCPF)->asString();
    HabilitaPanel();
}

void TCad_Contribuinte::btCancelarClick(QWidget* sender)
{
    TFtemplate::btCancelarClick(sender);
    modoNavegacao();
    CancelaContrib.clear();
    HabilitaPanel();
}

void TCad_Contribuinte::btExcluirClick(QWidget* sender)
{
    TFtemplate::btExcluirClick(sender);
    DesabilitaReadOnly(this);
    HabilitaPanel();
}

void TCad_Contribuinte::btPrimeiroClick(QWidget* sender)
{
    TFtemplate::btPrimeiroClick(sender);
    HabilitaPanel();
    habilitaBotoes(false);
}

void TCad_Contribuinte::btAnteriorClick(QWidget* sender)
{
    TFtemplate::btAnteriorClick(sender);
    HabilitaPanel();
    habilitaBotoes(false);
}

void TCad_Contribuinte::btProximoClick(QWidget* sender)
{
    TFtemplate::btProximoClick(sender);
    HabilitaPanel();
    habilitaBotoes(false);
}

void TCad_Contribuinte::btUltimoClick(QWidget* sender)
{
    TFtemplate::btUltimoClick(sender);
    HabilitaPanel();
    habilitaBotoes(false);
}

void TCad_Contribuinte::btConsultaSimplesClick(QWidget* sender)
{
    Panel_Busca->hide();
    TFtemplate::btConsultaSimplesClick(sender);
    HabilitaPanel();
    DBRadioGroup_ConTipo->setEnabled(false);
    habilitaBotoes(false);
}

void TCad_Contribuinte::btConsultaGridClick(QWidget* sender)
{
    Panel_Busca->show();
    Panel_Busca->setAlign(Align::Top);
    TFtemplate::btConsultaGridClick(sender);
    Edit_Busca->setFocus();
    Edit_Busca->selectAll();
}

void TCad_Contribuinte::btSairClick(QWidget* sender)
{
    DataSet* ds = dsBase->dataSet();
    TFtemplate::btSairClick(sender);
    if (ds && ds->active())
        CancelaContrib = ds->fieldByName(ConIECNPJCPF)->asString();
}

void TCad_Contribuinte::copiaMunicipio(DataSet& municipio, const char* codigo, const char* uf, const char* cep,
                                       DBEdit* editCep)
{
    CopiaMunicipio(baseDataSet(), municipio, QString::fromLatin1(codigo), QString::fromLatin1(uf),
                   QString::fromLatin1(cep), editCep);
}

void TCad_Contribuinte::btMuncipioClick(QWidget*)
{
    vorta::ui::createForm(Cad_Municipio);
    Cad_Municipio->dsBase->setDataSet(DM_Comuns->Tb_Municipio);
    Cad_Municipio->ModoSelecao = true;
    Cad_Municipio->showModal();
    copiaMunicipio(*DM_Comuns->Tb_Municipio, "Mun_Endereco", "Con_UF", "Con_CEP", DBEdit_CEP);
    PageControl1->setActivePage(TBSCorrespondencia);
}

void TCad_Contribuinte::btMunicipioEstabClick(QWidget*)
{
    DM_Comuns->Tb_MunicipioPro->open();
    vorta::ui::createForm(Cad_Municipio);
    Cad_Municipio->dsBase->setDataSet(DM_Comuns->Tb_MunicipioPro);
    Cad_Municipio->ModoSelecao = true;
    Cad_Municipio->showModal();
    copiaMunicipio(*DM_Comuns->Tb_MunicipioPro, "Mun_Propriedade", "Con_UFEstab", "Con_CEPEstab", DBEdit_CepEstab);
    PageControl1->setActivePage(TBSEstabelecimento);
}

void TCad_Contribuinte::btContabilistaClick(QWidget*)
{
    vorta::ui::createForm(Cad_Contabilista);
    Cad_Contabilista->dsBase->setDataSet(DM_Comuns->Tb_Responsavel);
    Cad_Contabilista->ModoSelecao = true;
    Cad_Contabilista->showModal();
    DataSet& ds = baseDataSet();
    if (emEdicao(ds) && DM_Comuns->Tb_Responsavel->active() && !DM_Comuns->Tb_Responsavel->isEmpty())
        ds.fieldByName(QStringLiteral("Resp_CPF"))
            ->setAsString(DM_Comuns->Tb_Responsavel->fieldByName(QStringLiteral("Resp_CPF"))->asString());
    PageControl1->setActivePage(tbSResponsavel);
}

void TCad_Contribuinte::btRespEmpresaClick(QWidget*)
{
    vorta::ui::createForm(Cad_RespnsavelLegal);
    Cad_RespnsavelLegal->dsBase->setDataSet(DM_Comuns->Tb_RespEmpresa);
    Cad_RespnsavelLegal->ModoSelecao = true;
    Cad_RespnsavelLegal->showModal();
    DataSet& ds = baseDataSet();
    if (emEdicao(ds) && DM_Comuns->Tb_RespEmpresa->active() && !DM_Comuns->Tb_RespEmpresa->isEmpty())
        ds.fieldByName(QStringLiteral("ResEmp_CPF"))
            ->setAsString(DM_Comuns->Tb_RespEmpresa->fieldByName(QStringLiteral("ResEmp_CPF"))->asString());
    PageControl1->setActivePage(tbSResponsavel);
}

void TCad_Contribuinte::Edit_BuscaChange(QWidget*)
{
    if (!hasRecords())
        return;
    const QString campo = RadioGroup_Contribuinte->itemIndex() == 0 ? ConIECNPJCPF : QStringLiteral("Con_Nome");
    if (baseDataSet().locate(campo, Edit_Busca->text(), vorta::db::loPartialKey))
        HabilitaPanel();
}
