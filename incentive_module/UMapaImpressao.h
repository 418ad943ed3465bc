#pragma once

// What the two layouts of the map sheet share: their bands and labels, the summary
// and heading texts, and the print command of the map form.

#include "platform/report/Report.h"

#include <QString>

// The text's number: its digits, the first decimal comma met from the right and a
// leading sign; everything else (thousands points, blanks, letters) is dropped.
// "1.234,56" gives 1234.56, "-1.000,5" gives -1000.5, "12a3" gives 123.
double StringToFloat(const QString& text);

// What the map form shows of the map's parties, printed in the heading.
struct TCabecalhoMapa {
    QString RazaoSocial, InscricaoFrigo, Municipio, SIF;
    QString Pecuarista, Pradel, Propriedade, MunicipioPropriedade;
};

// The carcass-typing map sheet on A4 portrait in four columns over qRelMapas and
// qRelMapasItens: the heading, one line per animal and the summary, which is the
// page footer of every page (small maps) or the report's summary on its own last page.
class TqrMapaBase : public vorta::report::Report {
public:
    struct Layout {
        double cabecalhoPx, animalPx, resumoPx;
        bool resumoNoRodape;
    };
    TqrMapaBase(vorta::Component* owner, const Layout& layout);

    vorta::report::Band* QRBand1;
    vorta::report::Band* QRSubDetail1;
    vorta::report::Band* qrResumo;

    // A label of the sheet by its name; raises when there is none.
    vorta::report::Label* label(const QString& name) const;
    QString texto(const QString& name) const { return label(name)->caption; }
    void setTexto(const QString& name, const QString& text) { label(name)->caption = text; }

    // Total pages, printed after the page number.
    int TotPagina = 0;

    void QRSubDetail1BeforePrint(vorta::report::Band& band, bool& printBand);
    void qrResumoBeforePrint(vorta::report::Band& band, bool& printBand);

private:
    void criaCabecalho(double heightMm);
    void criaAnimal(double heightMm);
    void criaResumo(double heightMm, vorta::report::BandType type);
};

// Fills the summary and heading labels of a sheet for the map (the same on both
// layouts): classified rows per class, sex totals read back from the printed labels,
// rejected heads, the verdict and the heading texts.
void CarregaResumoRelatorio(TqrMapaBase& report, int mapCode, const TCabecalhoMapa& cabecalho);

// The map form's "Imprimir": previews the stored map in the layout for its number of
// animals; an ordinary error shows its text. Does nothing while a map print is being
// prepared.
void ImprimirMapa(int mapCode, const TCabecalhoMapa& cabecalho);

// What the map form's "Imprimir" runs in the program: the form's current map with the
// heading the form shows.
void ImprimeMapaDoFormulario();
