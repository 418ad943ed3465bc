#pragma once

#include "uTemplate.h"

#include "platform/db/Table.h"

// The register of the technicians (veterinarians) who sign the maps, in the module's
// table Qel_Tecnico. Opened from the menu, and by the map form for a lookup: the
// technician current when it closes is handed to DM_MTC's TecnicoSelecionado.
class TFrmTecnicos : public TFtemplate {
    Q_OBJECT
public:
    explicit TFrmTecnicos(vorta::Component* owner = nullptr);

    vorta::db::Table* TblTecnicos;
    vorta::ui::RadioGroup* RadioGroup_Tecnico;

    vorta::ui::Label* Label1;
    vorta::ui::DBEdit* dbedit_codigo;
    vorta::ui::Label* Label2_Nome;
    vorta::ui::DBEdit* dbedit_nome;
    vorta::ui::Label* Label3;
    vorta::ui::DBEdit* dbedit_endereco;
    vorta::ui::Label* Label4;
    vorta::ui::DBEdit* dbedit_bairro;
    vorta::ui::Label* Label5;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_Municipio;
    vorta::ui::SpeedButton* btMuncipio;
    vorta::ui::Label* Label6;
    vorta::ui::DBEdit* dbedit_uf;
    vorta::ui::Label* Label7;
    vorta::ui::DBEdit* dbedit_cep;
    vorta::ui::Label* Label8;
    vorta::ui::DBEdit* dbedit_cpf;
    vorta::ui::Label* Label9;
    vorta::ui::DBEdit* dbedit_telefone;
    vorta::ui::Label* Label10;
    vorta::ui::DBEdit* dbedit_celular;
    vorta::ui::Label* Label11;
    vorta::ui::DBEdit* dbedit_fax;
    vorta::ui::Label* Label12;
    vorta::ui::DBEdit* dbedit_conselho;
    vorta::ui::Label* Label13_Inscricao;
    vorta::ui::DBEdit* dbedit_nro_conselho;

    void FormShow(vorta::ui::Form* sender) override;
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action) override;
    void FormKeyDown(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift) override;
    void FormKeyUp(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift) override;
    void FormKeyPress(vorta::ui::Form* sender, QChar& key) override;
    void btConsultaSimplesClick(QWidget* sender) override;
    void btConsultaGridClick(QWidget* sender) override;
    void btIncluirClick(QWidget* sender) override;
    void btAlterarClick(QWidget* sender) override;
    void btExcluirClick(QWidget* sender) override;
    void btGravarClick(QWidget* sender) override;
    void btCancelarClick(QWidget* sender) override;
    void Edit_BuscaChange(QWidget* sender) override;

    void TblTecnicosNewRecord(vorta::db::DataSet& ds);
    void dbedit_cpfExit(QWidget* sender);
    void DBLookupComboBox_MunicipioClick(QWidget* sender);
    void btMuncipioClick(QWidget* sender);

private:
    void modoEdicao();
    // The municipality current in the common municipality table goes into the
    // technician being edited, with its CEP and UF when it has a single CEP.
    void aplicaMunicipio();
    // The exit of the CPF edit refused to go on (the question on an existing CPF);
    // a save that caused the exit stops there.
    bool m_saidaRecusada = false;
};

extern vorta::Guarded<TFrmTecnicos> FrmTecnicos;

// Opens the register modally: from the menu, or for a lookup of the map form.
void AbreTecnicos(bool selecao);
