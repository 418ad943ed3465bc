#pragma once

#include "uTemplate.h"

// The register of senders and recipients of goods: a short record of table
// Contribuinte (registration, kind, name, municipality, UF) kept through the common
// data module's Tb_RemDest, which checks it before saving.
class TCad_RemDest : public TFtemplate {
    Q_OBJECT
public:
    explicit TCad_RemDest(vorta::Component* owner = nullptr);

    vorta::ui::RadioGroup* RadioGroup_Contribuinte;
    vorta::ui::Label* Label5;

    vorta::ui::DBRadioGroup* DBRadioGroup_ConTipo;
    vorta::ui::Label* Label1;
    vorta::ui::DBEdit* DBEdit_Con_IECNPJCPF;
    vorta::ui::Label* Label3;
    vorta::ui::DBEdit* DBEdit_Nome;
    vorta::ui::Label* Label4;
    vorta::ui::DBLookupComboBox* DBLookupComboBox_Municipio;
    vorta::ui::SpeedButton* btMuncipio;
    vorta::ui::Label* Label6;
    vorta::ui::DBEdit* DBEdit_Con_UF;

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
    void Edit_BuscaChange(QWidget* sender) override;

    void DBEdit_Con_IECNPJCPFExit(QWidget* sender);
    void btMuncipioClick(QWidget* sender);
    void DBLookupComboBox_MunicipioClick(QWidget* sender);
    void DBLookupComboBox_MunicipioKeyPress(QWidget* sender, QChar& key);

private:
    // The registration edit takes the mask of the kind; the hint of the kind, if any.
    void mascaraDoTipo();
    int dicaDoTipo() const;
    // The controls of browsing and of altering; the focus moves only when asked.
    void modoNavegacao(bool foca);
    void modoAlteracao(bool foca);
    // Copies the municipality's code and UF into the record being edited.
    void copiaMunicipio(vorta::db::DataSet& municipio);
    // The exit of the registration edit refused to go on (the question on an existing
    // registration); a save that caused the exit stops there.
    bool m_saidaRecusada = false;
};

extern vorta::Guarded<TCad_RemDest> Cad_RemDest;
