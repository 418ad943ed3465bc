#pragma once

#include "platform/db/DataSource.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"

#include <QStringList>

// Chooses the product listing: all products, or by group (some or all groups), and the order.
class TSel_Rel_Produtos : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TSel_Rel_Produtos(vorta::Component* owner = nullptr);

    vorta::ui::RadioGroup* RadioGroup_Tipo;
    vorta::ui::RadioGroup* RadioGroup_Ordenar;
    vorta::ui::DBGrid* DBGrid_Grupo;
    vorta::db::DataSource* Ds_Grupo;
    vorta::ui::SpeedButton* BtSairGeral;
    vorta::ui::SpeedButton* BtRelatorio;
    vorta::ui::SpeedButton* BtRetornar;
    vorta::ui::SpeedButton* BtSelecionarTodos;
    vorta::ui::SpeedButton* BtLimparSelecao;

    void FormShow(vorta::ui::Form* sender);
    void FormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void RadioGroup_TipoClick(QWidget* sender);
    void BtRelatorioClick(QWidget* sender);
    void BtSelecionarTodosClick(QWidget* sender);
    void BtLimparSelecaoClick(QWidget* sender);

    // The SQL of the listing by group for the groups selected now.
    QStringList sqlProdutosPorGrupo() const;

private:
    bool m_relatorioAberto = false;
};

extern vorta::Guarded<TSel_Rel_Produtos> Sel_Rel_Produtos;
