#pragma once

#include "platform/core/Component.h"
#include "platform/report/Report.h"

#include <QString>

#include <span>

// The base report of the suite: letter paper, portrait, and a page header with the
// logo, the state government and authority lines, the product caption, the page
// number and a rule under them. The listings add their title, the date and their
// columns.
class TRel : public vorta::report::Report {
public:
    explicit TRel(vorta::Component* owner = nullptr);

    // Help context of the report's preview.
    int HelpContext = 0;

    vorta::report::Band* Titulo;
    vorta::report::Image* QRImage1;
    vorta::report::Label* QRLabel1;
    vorta::report::Label* QRLabel2;
    vorta::report::Label* QRLabel5;
    vorta::report::Label* QRLabel52;
    vorta::report::SysData* QRSysData1;
    vorta::report::Shape* QRShape1;

    // The listings' parts, set by montaListagem.
    vorta::report::Label* QRLabel_Titulo = nullptr;
    vorta::report::Label* QRLabel_Data = nullptr;
    vorta::report::SysData* QRSysData_Data = nullptr;
    vorta::report::Band* QRBand_Cabecalho = nullptr;
    vorta::report::Band* QRBand1 = nullptr;

    // The emblem printed at the top left.
    static QImage logotipo();

protected:
    // A column of a listing: its header (none for a further field of the same column)
    // over the field's text, on one line of a row.
    struct Coluna {
        const char* titulo;
        const char* campo;
        double esquerda;
        double largura;
        int linha = 0;
        const char* mascara = nullptr;
    };
    // Adds the title and "Data:" with the date and time to the page header, the column
    // headers and the detail band of one row per record.
    void montaListagem(const QString& titulo, std::span<const Coluna> colunas, double pontos = 9.0);
    // The field's text on the detail band.
    vorta::report::DBText* texto(const QString& campo) const;
};

extern vorta::Guarded<TRel> Rel;
