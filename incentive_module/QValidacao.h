#pragma once

#include "platform/report/Report.h"
#include "platform/report/ReportDataSource.h"

#include <QStringList>

// The printout of the validation's conference report: one line per row.
class TQValidacao : public vorta::report::Report {
public:
    explicit TQValidacao(vorta::Component* owner = nullptr);
    vorta::report::Band* Detalhe;
    vorta::report::DBText* QRLinha;
    void setLinhas(const QStringList& linhas);

private:
    vorta::report::TableDataSource m_linhas;
};

extern vorta::Guarded<TQValidacao> QValidacao;
