#pragma once

#include "platform/db/DataSource.h"
#include "platform/db/Query.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"

// The movements neither validated nor generated, to pick for validation.
class TSelValidaMovimento : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TSelValidaMovimento(vorta::Component* owner = nullptr);

    vorta::db::Query* QryMovimento;
    vorta::db::DataSource* dsMovimento;
    vorta::ui::DBGrid* dbgMovimento;
    vorta::ui::RadioGroup* RadioGroup_Produtor;
    vorta::ui::Edit* Edit_Busca;
    vorta::ui::SpeedButton* btValidar;
    vorta::ui::SpeedButton* BtTodas;
    vorta::ui::SpeedButton* btDesmarcar;
    vorta::ui::SpeedButton* btSair;
    vorta::ui::SpeedButton* SpeedButton1;
    vorta::ui::SpeedButton* btPrimeiro;
    vorta::ui::SpeedButton* btAnterior;
    vorta::ui::SpeedButton* btProximo;
    vorta::ui::SpeedButton* btUltimo;

    void FormShow(vorta::ui::Form* sender);
    void btValidarClick(QWidget* sender);
    void BtTodasClick(QWidget* sender);
    void btDesmarcarClick(QWidget* sender);
    void btPrimeiroClick(QWidget* sender);
    void btAnteriorClick(QWidget* sender);
    void btProximoClick(QWidget* sender);
    void btUltimoClick(QWidget* sender);
    void Edit_BuscaKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void btSairClick(QWidget* sender);
    void SpeedButton1Click(QWidget* sender);

private:
    void reabre();
    void limpaFiltroSemBusca();
};

extern vorta::Guarded<TSelValidaMovimento> SelValidaMovimento;
