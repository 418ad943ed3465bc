#pragma once

#include "platform/report/Report.h"

namespace vorta::db {
class DataSet;
}

// The receipt or refusal notice of a processed declaration.
class TResultadoProc : public vorta::report::Report {
public:
    explicit TResultadoProc(vorta::Component* owner = nullptr);

    vorta::report::Label *lbSistema, *lbTipo, *lbMensagem, *lbMensagem2, *lbIE, *lbRSocial, *lbReferencia,
        *lbTipoDesc, *lbProtocolo;

    // Fills the labels from the queue row that is current in ds.
    void Preenche(vorta::db::DataSet* ds);
};

extern vorta::Guarded<TResultadoProc> ResultadoProc;

// The description of a reason code ("" for one without).
QString DescricaoMotivo(const QString& motivo);
