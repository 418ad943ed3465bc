#pragma once

#include "platform/db/DataSource.h"
#include "platform/db/Query.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"
#include "platform/ui/StatusBar.h"

class TCadMovimento;

// The declarants and their movements: opens, creates and deletes movements.
class TSelMovimento : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TSelMovimento(vorta::Component* owner = nullptr);

    vorta::db::Query* QryContribuinte;
    vorta::db::Query* QryMovimento;
    vorta::db::DataSource* DsContribuinte;
    vorta::db::DataSource* DsMovimento;
    vorta::ui::DBGrid* DBGrid;
    vorta::ui::DBGrid* GridLMC;
    vorta::ui::DBText* DBText_NomePropr;
    vorta::ui::RadioGroup* RadioGroup_Ordem;
    vorta::ui::Edit* Edit_Busca;
    vorta::ui::SpeedButton* BtMovimento;
    vorta::ui::SpeedButton* BtNovo;
    vorta::ui::SpeedButton* BtExcluir;
    vorta::ui::SpeedButton* btValidar;
    vorta::ui::SpeedButton* BtRetornar;
    vorta::ui::SpeedButton* Botao_Fecha;
    vorta::ui::StatusBar* msgStatus;

    void FormShow(vorta::ui::Form* sender);
    void Edit_BuscaKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void Edit_BuscaExit(QWidget* sender);
    void BtNovoClick(QWidget* sender);
    void BtMovimentoClick(QWidget* sender);
    void BtExcluirClick(QWidget* sender);
    void btValidarClick(QWidget* sender);
    void BtRetornarClick(QWidget* sender);
    void Botao_FechaClick(QWidget* sender);
    // Read-only opening, and the opening for change.
    static void Desabilita(TCadMovimento* f);
    static void Habilita(TCadMovimento* f);

private:
    void reabre(const QString& inscricao = QString());
};

extern vorta::Guarded<TSelMovimento> SelMovimento;
