#pragma once

#include "uTemplate.h"

// The municipality register. Codes below 999000 are the installation's own list and
// cannot be altered or deleted here.
class TCad_Municipio : public TFtemplate {
    Q_OBJECT
public:
    explicit TCad_Municipio(vorta::Component* owner = nullptr);
    ~TCad_Municipio() override;

    // The first code users may change.
    static constexpr qint64 PrimeiroCodigoUsuario = 999000;

    vorta::ui::RadioGroup* RadioGroup_Municipio;

    vorta::ui::Label* Label1;
    vorta::ui::DBEdit* DBEdit_Mun_Codigo;
    vorta::ui::Label* Label2_Municipio;
    vorta::ui::DBEdit* DBEdit_Mun_Descricao;
    vorta::ui::Label* Label5;
    vorta::ui::DBEdit* DBEdit_Mun_CEPInicial;
    vorta::ui::Label* Label6;
    vorta::ui::DBEdit* DBEdit_Mun_CEPFinal;
    vorta::ui::Label* Label7;
    vorta::ui::DBEdit* DBEdit_Mun_UF;

    void FormShow(vorta::ui::Form* sender) override;
    void FormKeyDown(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift) override;
    void FormKeyUp(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift) override;
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
    // The CEP range is shown except for a municipality abroad.
    void habilitaCampos();

private:
    void mostraCEP(bool mostra);
    // The silent abort after the message when the current record is protected.
    void recusaProtegido(int mensagem);
};

extern vorta::Guarded<TCad_Municipio> Cad_Municipio;

// Focuses the form's data-aware control of the field (the refusal step of the common
// data module's rules); false when the form has none.
bool FocaControleDoCampo(QWidget* form, const QString& campo);
// Makes the common data module's refusals focus the controls of this form while it
// exists, and those of the form that had them before otherwise.
void LigaFocoDoCampo(QWidget* form);

// A municipality chosen for an address of the record being edited: its code and UF go
// into the fields named; a municipality with a CEP range empties the CEP and leaves its
// edit open, one with a single CEP fills it and locks the edit. Nothing happens when
// the record is not being edited or no municipality is current.
void CopiaMunicipio(vorta::db::DataSet& destino, vorta::db::DataSet& municipio, const QString& codigo,
                    const QString& uf, const QString& cep, QWidget* editCep);
