#pragma once

#include "UResumoMovimento.h"

#include "platform/db/DataSource.h"
#include "platform/db/Query.h"
#include "platform/report/Report.h"

// What the protocol of a generated movement and the movement print share: the movement
// with its declarant's details, the declarant's identification, the table of animals
// not classified, the general summary and the company's legal representative.
class TRelatorioMovimento : public vorta::report::Report {
public:
    explicit TRelatorioMovimento(vorta::Component* owner = nullptr);

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

    // The label of a table cell, by name ("lblJDQtdCom", "lblTotalGeral", ...).
    vorta::report::Label* Celula(const QString& name) const;

    void QryMTCCalcFields(vorta::db::DataSet& dataSet);

    TResumoMovimento Resumo;

protected:
    // The identification block; the protocol also prints the generation's date.
    // Answers where the block ends (mm from the band's top).
    double montaIdentificacao(bool dataGeracao);
    // The table of classified animals: a row per class and sex total, a cell per column
    // named "lbl" + class + the column's suffix; above the columns, with comESem, the
    // heads "SEM INCENTIVO" and "COM INCENTIVO". Answers where it ends.
    struct TColuna {
        QString titulo, sufixo;
        double left, width;
    };
    double montaClassificados(double top, const std::vector<TColuna>& colunas, bool comESem);
    // The non-classified table from `top` on; answers where it ends.
    double montaNaoClassificados(double top);
    // The general summary: heads typed under `rotuloTipificadas`, the incentive bands.
    void montaResumoGeral(double top, const QString& rotuloTipificadas);
    void montaResponsavel();
    vorta::report::Label* titulo(const QString& name, const QString& text, double left, double top, double width);
    void celula(const QString& name, double left, double top, double width, const QString& initial);
    void setCelula(const QString& name, const QString& text);
    // Opens the movement and its details and sums the declarant's maps of its month.
    void abreMovimento(int movCodigo);
    // The non-classified counts and the incentive bands of the summary.
    void preencheNaoClassificados();
    void preencheIncentivos(int tipificadas);

    // Amounts as the tables show them.
    static QString valor(vorta::Money m);
};

// The protocol of a generated movement: the declarant's identification, the period and
// type, the month's tables of classified and non-classified animals and the general
// summary, then the company's legal representative. Page 1 becomes the protocol image.
class TProtMTC : public TRelatorioMovimento {
public:
    explicit TProtMTC(vorta::Component* owner = nullptr);

    // Opens the movement and its details, and fills the tables from the month summary.
    void Preenche(int movCodigo);
};

extern vorta::Guarded<TProtMTC> ProtMTC;
