#pragma once

#include "platform/db/DataSource.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/DbGrid.h"
#include "platform/ui/Form.h"
#include "platform/ui/Memo.h"

// The processing result of one queue row: its identification and the service's text;
// the report previews its receipt or refusal notice.
class TResultadoProcessamento : public vorta::ui::Form {
    Q_OBJECT
public:
    explicit TResultadoProcessamento(vorta::Component* owner = nullptr);

    vorta::db::DataSource* dsResultado;
    vorta::ui::ScrollBox* ScrollBox1;
    vorta::ui::DBEdit* edInscricao;
    vorta::ui::DBEdit* edSistema;
    vorta::ui::DBEdit* edReferencia;
    vorta::ui::DBEdit* edMotivo;
    vorta::ui::Memo* MemoResultado;
    vorta::ui::Button* btSair;
    vorta::ui::Button* BtRelatorio;

    void FormShow();
    void BtRelatorioClick();
};

extern vorta::Guarded<TResultadoProcessamento> ResultadoProcessamento;

// Double click on a result grid: the window of the current row, when it has a result.
void AbreResultadoProcessamento(vorta::ui::DBGrid* grade);
