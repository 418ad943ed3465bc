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

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void FormKeyDown(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    void FormKeyUp(vorta::ui::Form* sender, int& key, Qt::KeyboardModifiers shift);
    void FormKeyPress(vorta::ui::Form* sender, QChar& key);
    void DBGridKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void DBGridKeyUp(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void DBGridKeyPress(QWidget* sender, QChar& key);
    void btConsultaSimplesClick(QWidget* sender);
    void btConsultaGridClick(QWidget* sender);
    void btIncluirClick(QWidget* sender);
    void btAlterarClick(QWidget* sender);
    void btGravarClick(QWidget* sender);
    void btCancelarClick(QWidget* sender);
    void btSairClick(QWidget* sender);
    void Edit_BuscaChange(QWidget* sender);
};

extern vorta::Guarded<TCad_RespnsavelLegal> Cad_RespnsavelLegal;
