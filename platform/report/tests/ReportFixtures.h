#pragma once

#include "platform/report/Report.h"

#include <QString>
#include <QStringList>

#include <memory>

#include <ostream>

namespace vorta::report {
// Readable failures for page texts.
inline void PrintTo(const PlacedText& t, std::ostream* os)
{
    *os << "{\"" << t.text.toStdString() << "\", " << t.x << ", " << t.y << "}";
}
} // namespace vorta::report

namespace vorta::report::testing {

// Rows "Nome 001".."Nome n" with a code, a value and a group letter.
inline std::unique_ptr<TableDataSource> numberedRows(int n)
{
    auto ds = std::make_unique<TableDataSource>(QStringList{"Codigo", "Nome", "Valor", "Grupo"});
    for (int i = 1; i <= n; ++i)
        ds->addRow({i, QStringLiteral("Nome %1").arg(i, 3, 10, QLatin1Char('0')), i * 10.5,
                    QString(QChar('A' + (i - 1) / 3))});
    return ds;
}

// A letter-size listing: title, column header, one detail line per row and a
// page footer with "Página:" and the page number.
struct Listing {
    Report report;
    Band* title = nullptr;
    Band* columnHeader = nullptr;
    Band* detail = nullptr;
    Band* footer = nullptr;
    SysData* pageNumber = nullptr;

    explicit Listing(ReportDataSource* data)
    {
        report.title = QStringLiteral("Listagem de Municípios");
        report.dataSource = data;
        title = report.addBand(BandType::Title, QStringLiteral("Titulo"), 12);
        auto* t = title->addLabel(QStringLiteral("lbTitulo"), QStringLiteral("Listagem de Município - Ordem Alfabética"),
                                  0, 2);
        t->font.pointSize = 14;
        t->font.bold = true;
        auto* rule = title->add<Shape>(Shape::Kind::HorizontalLine);
        rule->setGeometry(0, 10, 195.9, 2);
        columnHeader = report.addBand(BandType::ColumnHeader, QStringLiteral("Cabecalho"), 7);
        columnHeader->addLabel(QStringLiteral("lbCodigo"), QStringLiteral("Código"), 0, 1)->font.bold = true;
        columnHeader->addLabel(QStringLiteral("lbNome"), QStringLiteral("Descrição"), 30, 1)->font.bold = true;
        auto* valor = columnHeader->addLabel(QStringLiteral("lbValor"), QStringLiteral("Valor"), 150, 1, 40, 5);
        valor->alignment = HAlign::Right;
        valor->font.bold = true;
        detail = report.addBand(BandType::Detail, QStringLiteral("Detalhe"), 5);
        detail->addDBText(QStringLiteral("dbCodigo"), QStringLiteral("Codigo"), 0, 0.5);
        detail->addDBText(QStringLiteral("dbNome"), QStringLiteral("Nome"), 30, 0.5);
        auto* v = detail->addDBText(QStringLiteral("dbValor"), QStringLiteral("Valor"), 150, 0.5, 40, 4);
        v->alignment = HAlign::Right;
        v->displayFormat = QStringLiteral("###,###,##0.00");
        footer = report.addBand(BandType::PageFooter, QStringLiteral("Rodape"), 8);
        footer->addLabel(QStringLiteral("lbPagina"), QStringLiteral("Página:"), 160, 2);
        pageNumber = footer->add<SysData>(SysData::Kind::PageNumber);
        pageNumber->setName(QStringLiteral("sdPagina"));
        pageNumber->setGeometry(178, 2, 0, 0);
    }
};

// Texts of a page only.
inline QStringList pageTexts(const PreparedReport& prepared, int page)
{
    QStringList out;
    for (const PlacedText& t : prepared.texts(page))
        out << t.text;
    return out;
}

} // namespace vorta::report::testing
