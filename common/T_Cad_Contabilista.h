#pragma once

#include "uTemplate.h"

class QGroupBox;

// The accountant register, with the accountant's office.
class TCad_Contabilista : public TFtemplate {
    Q_OBJECT
public:
    explicit TCad_Contabilista(vorta::Component* owner = nullptr);

    vorta::ui::RadioGroup* RadioGroup_Contabilista;

    QGroupBox* GroupBox_Contabilista;
    QGroupBox* GroupBox_Escritorio;
    vorta::ui::DBEdit* DBEdit_Resp_CPF;
    vorta::ui::DBEdit* DBEdit_Resp_Bairro;
    vorta::ui::DBEdit* DBEdit_Resp_UF;
    vorta::ui::DBEdit* DBEditCEP;
    vorta::ui::DBLookupComboBox* DBLookup_Logradouro;
    vorta::ui::DBLookupComboBox* DBLookup_Bairro;
    vorta::ui::DBLookupComboBox* DBLookup_Municipio;
    vorta::ui::DBLookupComboBox* DBLookup_TipoResp;
    vorta::ui::SpeedButton* btMuncipio;

    void FormShow(vorta::ui::Form* sender) override;
    void btConsultaSimplesClick(QWidget* sender) override;
    void btConsultaGridClick(QWidget* sender) override;
    void btIncluirClick(QWidget* sender) override;
    void btAlterarClick(QWidget* sender) override;
    void btExcluirClick(QWidget* sender) override;
    void btGravarClick(QWidget* sender) override;
    void btCancelarClick(QWidget* sender) override;
    void btMuncipioClick(QWidget* sender);
    void Edit_BuscaChange(QWidget* sender) override;
    void DBLookup_MunicipioEscolha(QWidget* sender);
    void DBLookup_MunicipioExit(QWidget* sender);
    void DBLookup_BairroExit(QWidget* sender);

private:
    // Copies the municipality's code and UF into the record being edited, and its CEP
    // when it has a single one.
    void copiaMunicipio(vorta::db::DataSet& municipio);
};

extern vorta::Guarded<TCad_Contabilista> Cad_Contabilista;
