#pragma once

#include "uTemplate.h"

// The taxpayer register over the common data module's Tb_Contribuinte. Its pages and
// fields follow the kind of taxpayer: a rural producer, a commerce or industry
// establishment, or a person, company or other registration; the data module's rules
// switch its pages and focus its controls when they refuse a save.
class TCad_Contribuinte : public TFtemplate {
    Q_OBJECT
public:
    explicit TCad_Contribuinte(vorta::Component* owner = nullptr);
    ~TCad_Contribuinte() override;

    // Set by the caller before showing the form.
    bool ModoProdutor = false;
    bool ModoContribuinte = false;
    bool ModoRevenda = false;
    bool ModoProdutorRural = false;

    vorta::ui::RadioGroup* RadioGroup_Contribuinte;
    vorta::ui::Label* Label5;

    vorta::ui::DBRadioGroup* DBRadioGroup_ConTipo;
    vorta::ui::Label* Label3;
    vorta::ui::DBEdit* DBEdit_Con_IECNPJCPF;
    vorta::ui::Label* Label4;
    vorta::ui::DBEdit* DBEdit2;
    vorta::ui::Label* Labe_lNome_Propriedade;
    vorta::ui::DBEdit* DBEdit_Con_NomePropr;

    vorta::ui::Panel* GroupBox1;
    vorta::ui::Panel* Panel_Endereco;
    vorta::ui::Label* Label_CPFCNPJ;
    vorta::ui::DBEdit* DBEdit21;
    vorta::ui::DBRadioGroup* DBRadioGroup1;
    vorta::ui::Label* Label_Con_NumeroCPR;
    vorta::ui::DBEdit* DBEdit_Con_NumeroCPR;
    vorta::ui::Label* Label_Con_NIRE;
    vorta::ui::DBEdit* DBEdit_Con_NIRE;
    vorta::ui::Panel* Panel_Fones;
    vorta::ui::DBEdit* DBEdit_DDD;
    vorta::ui::DBEdit* DBEdit14;
    vorta::ui::DBEdit* DBEdit1;
    vorta::ui::DBEdit* DBEdit3;
    vorta::ui::DBEdit* DBEdit15;
    vorta::ui::DBEdit* DBEdit16;
    vorta::ui::DBCheckBox* DBCheckBox_CTs_RevendaEmissora;

    vorta::ui::PageControl* PageControl1;
    vorta::ui::TabSheet* TBSCorrespondencia;
    vorta::ui::TabSheet* TBSEstabelecimento;
    vorta::ui::TabSheet* TbSEspecificacao;
    vorta::ui::TabSheet* tbSResponsavel;

    vorta::ui::DBLookupComboBox* DBLookupComboBox1;
    vorta::ui::DBEdit* DBEdit5;
    vorta::ui::DBEdit* DBEdit6;
    vorta::ui::DBEdit* DBEdit7;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_2;
    vorta::ui::DBEdit* DBEdit_Bairro;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_Municipio;
    vorta::ui::SpeedButton* btMuncipio;
    vorta::ui::DBEdit* DBEdit_Con_UF;
    vorta::ui::DBEdit* DBEdit_CEP;
    vorta::ui::DBEdit* DBEdit17;
    vorta::ui::DBEdit* DBEdit4;

    vorta::ui::Label* LabelAge_Codigo;
    vorta::ui::DBLookupComboBox* lkAge_Codigo;
    vorta::ui::DBLookupComboBox* DBLookupComboBox3;
    vorta::ui::DBEdit* DBEdit8;
    vorta::ui::DBEdit* DBEdit9;
    vorta::ui::Label* Label_ComplEstab;
    vorta::ui::DBEdit* DBEdit10;
    vorta::ui::DBLookupComboBox* DBLookupComboBox7;
    vorta::ui::DBEdit* DBEdit11;
    vorta::ui::Label* LabelMun_Codigo;
    vorta::ui::DBLookupComboBox* lkMun_Propriedade;
    vorta::ui::SpeedButton* btMunicipioEstab;
    vorta::ui::DBEdit* DBEdit12;
    vorta::ui::DBEdit* DBEdit_CepEstab;
    vorta::ui::DBEdit* DBEdit18;
    vorta::ui::DBEdit* DBEdit19;

    vorta::ui::DBLookupComboBox* DBLookupComboBox2;
    vorta::ui::DBLookupComboBox* DBLookupComboBox6;
    vorta::ui::DBRadioGroup* DBRadioGroup_EscrFiscal;
    vorta::ui::DBRadioGroup* DBRadioGroup_Outra;
    vorta::ui::Label* Lbl_InscOutra;
    vorta::ui::DBEdit* DBEdit_InscEstOutra;
    vorta::ui::Label* Lbl_IEMatriz;
    vorta::ui::DBEdit* DBdt_IEMatriz;

    vorta::ui::Label* LabelRespContab;
    vorta::ui::DBLookupComboBox* Lk_Contabilista;
    vorta::ui::SpeedButton* btContabilista;
    vorta::ui::Label* LabelRespEmp;
    vorta::ui::DBLookupComboBox* LK_RespEmpresa;
    vorta::ui::SpeedButton* btRespEmpresa;

    vorta::db::DataSource* Ds_FormaEntr;
    vorta::db::DataSource* Ds_RegICMS;

    void FormCreate(vorta::ui::Form* sender) override;
    void FormShow(vorta::ui::Form* sender) override;
    void btPrimeiroClick(QWidget* sender) override;
    void btAnteriorClick(QWidget* sender) override;
    void btProximoClick(QWidget* sender) override;
    void btUltimoClick(QWidget* sender) override;
    void btConsultaSimplesClick(QWidget* sender) override;
    void btConsultaGridClick(QWidget* sender) override;
    void btIncluirClick(QWidget* sender) override;
    void btAlterarClick(QWidget* sender) override;
    void btExcluirClick(QWidget* sender) override;
    void btGravarClick(QWidget* sender) override;
    void btCancelarClick(QWidget* sender) override;
    void btSairClick(QWidget* sender) override;
    void Edit_BuscaChange(QWidget* sender) override;

    // Arranges the panels and pages for the current row's kind and registration.
    void HabilitaPanel();
    void DBEdit_Con_IECNPJCPFEnter(QWidget* sender);
    void DBEdit_Con_IECNPJCPFExit(QWidget* sender);
    void btMuncipioClick(QWidget* sender);
    void btMunicipioEstabClick(QWidget* sender);
    void btContabilistaClick(QWidget* sender);
    void btRespEmpresaClick(QWidget* sender);

private:
    vorta::ui::TabSheet* paginaDeNome(const QString& nome) const;
    // Browsing: read-only controls, lookup buttons and the kind list disabled.
    void modoNavegacao();
    void habilitaBotoes(bool on);
    // Copies the chosen municipality into the record being edited; the CEP rule.
    void copiaMunicipio(vorta::db::DataSet& municipio, const char* codigo, const char* uf, const char* cep,
                        vorta::ui::DBEdit* editCep);
    void mostraOutra();
    void mostraMatriz();
    int dicaDoTipo() const;
    bool m_saidaRecusada = false;
};

extern vorta::Guarded<TCad_Contribuinte> Cad_Contribuinte;
