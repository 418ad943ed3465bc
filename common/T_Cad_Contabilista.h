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

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void FormKeyDown(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    void FormKeyUp(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    void FormKeyPress(vorta::ui::Form* sender, QChar& key);
    void DBGridDblClick(QWidget* sender);
    void DBGridKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void DBGridKeyUp(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void DBGridKeyPress(QWidget* sender, QChar& key);
    void btConsultaSimplesClick(QWidget* sender);
    void btConsultaGridClick(QWidget* sender);
    void btIncluirClick(QWidget* sender);
    void btAlterarClick(QWidget* sender);
    void btExcluirClick(QWidget* sender);
    void btGravarClick(QWidget* sender);
    void btCancelarClick(QWidget* sender);
    void btSairClick(QWidget* sender);
    void btMuncipioClick(QWidget* sender);
    void Edit_BuscaChange(QWidget* sender);
    void DBLookup_MunicipioEscolha(QWidget* sender);
    void DBLookup_MunicipioExit(QWidget* sender);
    void DBLookup_BairroExit(QWidget* sender);

private:
    // Copies the municipality's code and UF into the record being edited, and its CEP
    // when it has a single one.
    void copiaMunicipio(vorta::db::DataSet& municipio);
};

extern vorta::Guarded<TCad_Contabilista> Cad_Contabilista;
