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

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void FormKeyDown(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    void FormKeyUp(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    void FormKeyPress(vorta::ui::Form* sender, QChar& key);
    void DBGridDblClick(QWidget* sender);
    void DBGridKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void DBGridKeyUp(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void btPrimeiroClick(QWidget* sender);
    void btAnteriorClick(QWidget* sender);
    void btProximoClick(QWidget* sender);
    void btUltimoClick(QWidget* sender);
    void btConsultaSimplesClick(QWidget* sender);
    void btConsultaGridClick(QWidget* sender);
    void btIncluirClick(QWidget* sender);
    void btAlterarClick(QWidget* sender);
    void btExcluirClick(QWidget* sender);
    void btGravarClick(QWidget* sender);
    void btCancelarClick(QWidget* sender);
    void btSairClick(QWidget* sender);
    void Edit_BuscaChange(QWidget* sender);
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
