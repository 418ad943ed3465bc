#pragma once

#include "UResumoMovimento.h"

#include "platform/db/DataSource.h"
#include "platform/db/Query.h"
#include "platform/report/Report.h"

// The protocol of a generated movement: the declarant's identification, the period and
// type, the month's tables of classified and non-classified animals and the general
// summary, then the company's legal representative. Page 1 becomes the protocol image.
class TProtMTC : public vorta::report::Report {
public:
    explicit TProtMTC(vorta::Component* owner = nullptr);

    vorta::db::Query* QryMTC;
    vorta::db::Query* QryContribuinte;
    vorta::db::Query* QryResponsavel;
    vorta::db::Query* QryMunicipio;
    vorta::db::Query* QryBairro;
    vorta::db::Query* qryLogradouro;
    vorta::db::DataSource* dsMTC;
    vorta::db::DataSource* dsContribuinte;

    vorta::report::Band* Identificacao;
    vorta::report::Band* Sumario;

    // Opens the movement and its details, and fills the tables from the month summary.
    void Preenche(int movCodigo);
    // The label of a table cell, by name ("lblJDQtdCom", "lblTotalGeral", ...).
    vorta::report::Label* Celula(const QString& name) const;

    void QryMTCCalcFields(vorta::db::DataSet& dataSet);

    TResumoMovimento Resumo;

private:
    void montaTabelas();
    void celula(const QString& name, double left, double top, double width, const QString& initial);
};

extern vorta::Guarded<TProtMTC> ProtMTC;
