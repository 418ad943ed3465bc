#pragma once

#include "uTemplate.h"

// The register of the legal representatives of companies.
class TCad_RespnsavelLegal : public TFtemplate {
    Q_OBJECT
public:
    explicit TCad_RespnsavelLegal(vorta::Component* owner = nullptr);

    vorta::ui::RadioGroup* RadioGroup_Contribuinte;

    vorta::ui::Label* Label_CPF;
    vorta::ui::DBEdit* DBEdit_ResEmp_CPF;
    vorta::ui::Label* Label_Nome;
    vorta::ui::DBEdit* DBEdit_ResEmp_Nome;
    vorta::ui::Label* Label_Cargo;
    vorta::ui::DBEdit* DBEdit_ResEmp_Cargo;

    void FormShow(vorta::ui::Form* sender) override;
    void btConsultaSimplesClick(QWidget* sender) override;
    void btConsultaGridClick(QWidget* sender) override;
    void btIncluirClick(QWidget* sender) override;
    void btAlterarClick(QWidget* sender) override;
    void btGravarClick(QWidget* sender) override;
    void btCancelarClick(QWidget* sender) override;
    void Edit_BuscaChange(QWidget* sender) override;
};

extern vorta::Guarded<TCad_RespnsavelLegal> Cad_RespnsavelLegal;
