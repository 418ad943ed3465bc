#pragma once

#include "uTemplate.h"

// A register of rows of table Contribuinte kept through one of the common data module's
// tables: the search by registration or name, the registration kind, the registration
// (its mask and hint by kind, the question on one that exists already), the name and
// the municipality with its lookup. Descendants add their UF and further fields.
class TCad_Inscricao : public TFtemplate {
    Q_OBJECT
public:
    // campoMunicipio: the field the municipality list edits.
    TCad_Inscricao(vorta::Component* owner, const QString& campoMunicipio);

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

protected:
    // The UF edit of the descendant, read-only while editing: it comes with the municipality.
    vorta::ui::DBEdit* m_uf = nullptr;
    // The municipality register's choice also goes into the property's municipality and UF.
    bool m_municipioDaPropriedade = false;

    // The registration edit takes the mask of the kind; the hint of the kind, if any.
    void mascaraDoTipo();
    int dicaDoTipo() const;
    // The controls of browsing and of altering; the focus moves only when asked.
    void modoNavegacao(bool foca);
    void modoAlteracao(bool foca);
    // The municipality current in the common municipality table goes into the record
    // being edited: the address always, the property too when asked.
    void copiaMunicipio(bool propriedade);
    // The descendant's own checks of a save, after the registration's.
    virtual void checaGravacao() {}

private:
    // The exit of the registration edit refused to go on (the question on an existing
    // registration); a save that caused the exit stops there.
    bool m_saidaRecusada = false;
};

// The register of senders and recipients of goods: a short record of table
// Contribuinte (registration, kind, name, municipality, UF) kept through the common
// data module's Tb_RemDest, which checks it before saving.
class TCad_RemDest : public TCad_Inscricao {
    Q_OBJECT
public:
    explicit TCad_RemDest(vorta::Component* owner = nullptr);

    vorta::ui::Label* Label6;
    vorta::ui::DBEdit* DBEdit_Con_UF;

    void FormCreate(vorta::ui::Form* sender) override;
    void btCancelarClick(QWidget* sender) override;
};

extern vorta::Guarded<TCad_RemDest> Cad_RemDest;
