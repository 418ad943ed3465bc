#pragma once

#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/Form.h"

#include <functional>

// "Sim" to 1688 after a new movement's save: opens the map list; set by the maps' unit.
extern std::function<void()> AbreSelMapas;

// The movement window: a movement with its declarant's register data, saved inside one
// transaction of the module's database, and the month's summary per class.
class TCadMovimento : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TCadMovimento(vorta::Component* owner = nullptr);

    // "I" for a new movement, "A" for a change; set by the opener.
    QString Modo = QStringLiteral("A");

    vorta::ui::PageControl* PageControlLMC;
    vorta::ui::TabSheet* TabSheetContribuinte;
    vorta::ui::TabSheet* TabSheetLeitura;
    vorta::ui::DBEdit* DBEdit_Con_IECNPJCPF;
    vorta::ui::DBEdit* DBEdit_Con_Nome;
    vorta::ui::DBEdit* DBEdit_Con_NomePropr;
    vorta::ui::DBEdit* DBEdit_mov_responsavel;
    vorta::ui::DBEdit* DBEdit_Ano;
    vorta::ui::DBEdit* DBEdit_Mes;
    vorta::ui::DBRadioGroup* DBRadioGroup_Tipo;
    vorta::ui::DBLookupComboBox* DBLookupComboBox3;
    vorta::ui::SpeedButton* btGravar;
    vorta::ui::SpeedButton* btCancelar;
    vorta::ui::SpeedButton* BtAlterar;
    vorta::ui::SpeedButton* btRetornar;
    vorta::ui::SpeedButton* Botao_Fecha;
    vorta::ui::SpeedButton* btVerErros;
    vorta::ui::SpeedButton* BtAtualizar;
    // The summary: per class heads, weight, arrobas and amount; then the totals.
    QList<vorta::ui::Label*> Resumo;
    vorta::ui::Label* LQtdTotal;
    vorta::ui::Label* LRepasseTotal;

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void DBEdit_Con_IECNPJCPFExit(QWidget* sender);
    void btGravarClick(QWidget* sender);
    void BtAlterarClick(QWidget* sender);
    void btCancelarClick(QWidget* sender);
    void BtAtualizarClick(QWidget* sender);
    void btVerErrosClick(QWidget* sender);
    void btRetornarClick(QWidget* sender);
    void Botao_FechaClick(QWidget* sender);

private:
    [[noreturn]] void recusaInscricao(int code);
    void travaGravado();
};

extern vorta::Guarded<TCadMovimento> CadMovimento;
