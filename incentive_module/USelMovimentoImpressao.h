#pragma once

#include "platform/db/DataSource.h"
#include "platform/db/Query.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"

// The declarants and their movements, in any state, for the movement print.
class TSelMovimentoImpressao : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TSelMovimentoImpressao(vorta::Component* owner = nullptr);

    vorta::db::Query* QryContribuinte;
    vorta::db::Query* QryMovimento;
    vorta::db::DataSource* DsContribuinte;
    vorta::db::DataSource* DsMovimento;
    vorta::ui::DBGrid* DBGrid;
    vorta::ui::DBGrid* GridLMC;
    vorta::ui::RadioGroup* RadioGroup_Ordem;
    vorta::ui::Edit* Edit_Busca;
    vorta::ui::SpeedButton* btPrimeiro;
    vorta::ui::SpeedButton* btAnterior;
    vorta::ui::SpeedButton* btProximo;
    vorta::ui::SpeedButton* btUltimo;
    vorta::ui::SpeedButton* BtMovimento;
    vorta::ui::SpeedButton* BtRetornar;
    vorta::ui::SpeedButton* Botao_Fecha;

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void FormKeyPress(vorta::ui::Form* sender, QChar& key);
    void Edit_BuscaKeyDown(QWidget* sender, int& key, Qt::KeyboardModifiers shift);
    void Edit_BuscaExit(QWidget* sender);
    void BtMovimentoClick(QWidget* sender);
    void BtRetornarClick(QWidget* sender);
    void Botao_FechaClick(QWidget* sender);

    // Fills and previews the print of the list's current movement; a failure shows
    // message 504 and leaves its own text in the log file.
    void CriaProtocolo();
};

extern vorta::Guarded<TSelMovimentoImpressao> SelMovimentoImpressao;

// "Relatório > Movimento": the list, modally, freed when it closes.
void AbreSelMovimentoImpressao();
