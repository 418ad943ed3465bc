#pragma once

#include "uTemplate.h"

// The cattle-raiser register: raisers are taxpayers of table Contribuinte, kept through
// the common data module's Tb_Contribuinte, whose rules check them before saving. The
// map form opens it on a new record for a raiser it does not know.
class TCad_Pecuarista : public TFtemplate {
    Q_OBJECT
public:
    explicit TCad_Pecuarista(vorta::Component* owner = nullptr);

    vorta::ui::RadioGroup* RadioGroup_Contribuinte;
    vorta::ui::Label* Label5;

    vorta::ui::Label* Label1;
    vorta::ui::DBEdit* DBEdit_Con_IECNPJCPF;
    vorta::ui::Label* Label3;
    vorta::ui::DBEdit* DBEdit_Nome;
    vorta::ui::DBRadioGroup* DBRadioGroup_ConTipo;
    vorta::ui::Label* Label4;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_Municipio;
    vorta::ui::SpeedButton* btMuncipio;
    vorta::ui::Label* Label6;
    vorta::ui::DBEdit* DBEdit_Con_UFEstab;
    vorta::ui::Label* Label7;
    vorta::ui::DBEdit* deEndereco;

    void FormCreate(vorta::ui::Form* sender) override;
    void FormShow(vorta::ui::Form* sender) override;
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action) override;
    void btConsultaSimplesClick(QWidget* sender) override;
    void btConsultaGridClick(QWidget* sender) override;
    void btIncluirClick(QWidget* sender) override;
    void btAlterarClick(QWidget* sender) override;
    void btExcluirClick(QWidget* sender) override;
    void btGravarClick(QWidget* sender) override;
    void btCancelarClick(QWidget* sender) override;
    void btSairClick(QWidget* sender) override;
    void Edit_BuscaChange(QWidget* sender) override;

    void DBEdit_Con_IECNPJCPFExit(QWidget* sender);
    void btMuncipioClick(QWidget* sender);
    void DBLookupComboBox_MunicipioClick(QWidget* sender);
    void DBLookupComboBox_MunicipioKeyPress(QWidget* sender, QChar& key);
    void DBLookupComboBox_MunicipioExit(QWidget* sender);

private:
    // The registration edit takes the mask of the kind.
    void mascaraDoTipo();
    // The controls of browsing and of altering; the focus moves only when asked.
    void modoNavegacao(bool foca);
    void modoAlteracao(bool foca);
    // The municipality current in the common municipality table goes into the record
    // being edited: the address always, the property too when asked.
    void copiaMunicipio(bool propriedade);
    // The exit of the registration edit refused to go on (the question on an existing
    // registration); a save that caused the exit stops there.
    bool m_saidaRecusada = false;
};

extern vorta::Guarded<TCad_Pecuarista> Cad_Pecuarista;

// Opens the register modally on a new record, starting from DM_Comuns' InscricaoPadrao.
void AbreCadastroPecuarista();
