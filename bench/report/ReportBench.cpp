// Prepares a 1,000-row letter listing and exports it as PDF and as one EMF per
// page; prints each step's time. Target: prepare + export under a second.
#include "platform/report/Report.h"

#include <QElapsedTimer>
#include <QGuiApplication>
#include <QTemporaryDir>

#include <cstdio>

using namespace vorta::report;

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    TableDataSource rows({"Codigo", "Nome", "Cep", "Valor"});
    for (int i = 1; i <= 1000; ++i)
        rows.addRow({i, QStringLiteral("Município número %1 de Orvania").arg(i), QStringLiteral("79%1").arg(i, 6, 10, QChar('0')),
                     i * 123.45});

    Report report;
    report.title = QStringLiteral("Listagem de Município - Ordem Alfabética");
    report.dataSource = &rows;
    Band* header = report.addBand(BandType::PageHeader, QStringLiteral("Titulo"), 22);
    header->addLabel(QStringLiteral("QRLabel1"), QStringLiteral("GOVERNO DO ESTADO DE ORVANIA"), 30, 1)->font.bold = true;
    header->addLabel(QStringLiteral("QRLabel2"), QStringLiteral("KALVI"), 30, 6);
    header->addLabel(QStringLiteral("QRLabel52"), QStringLiteral("Página:"), 160, 1);
    header->add<SysData>(SysData::Kind::PageNumber)->setGeometry(175, 1, 0, 0);
    header->add<SysData>(SysData::Kind::DateTime, QStringLiteral("Data: "))->setGeometry(140, 6, 0, 0);
    auto* rule = header->add<Shape>(Shape::Kind::HorizontalLine);
    rule->setGeometry(0, 18, 195.9, 2);
    Band* columns = report.addBand(BandType::ColumnHeader, QStringLiteral("Colunas"), 6);
    columns->addLabel(QStringLiteral("lbCodigo"), QStringLiteral("Código"), 0, 1)->font.bold = true;
    columns->addLabel(QStringLiteral("lbDescricao"), QStringLiteral("Descrição"), 20, 1)->font.bold = true;
    columns->addLabel(QStringLiteral("lbCep"), QStringLiteral("CEP Inicial"), 120, 1)->font.bold = true;
    Band* detail = report.addBand(BandType::Detail, QStringLiteral("Detalhe"), 5);
    detail->addDBText(QStringLiteral("dbCodigo"), QStringLiteral("Codigo"), 0, 0.5);
    detail->addDBText(QStringLiteral("dbNome"), QStringLiteral("Nome"), 20, 0.5);
    detail->addDBText(QStringLiteral("dbCep"), QStringLiteral("Cep"), 120, 0.5)->mask = QStringLiteral("99999-999;0;_");
    auto* valor = detail->addDBText(QStringLiteral("dbValor"), QStringLiteral("Valor"), 150, 0.5, 45, 4);
    valor->alignment = HAlign::Right;
    valor->displayFormat = QStringLiteral("###,###,##0.00");
    Band* footer = report.addBand(BandType::PageFooter, QStringLiteral("Rodape"), 8);
    footer->addLabel(QStringLiteral("lbPagina"), QStringLiteral("Página:"), 160, 2);
    footer->add<SysData>(SysData::Kind::PageNumber)->setGeometry(175, 2, 0, 0);

    QTemporaryDir dir;
    // The first run loads the fonts; it is not what is measured.
    report.prepare();

    QElapsedTimer t;
    t.start();
    const int pages = report.prepare();
    const qint64 prepareMs = t.elapsed();
    t.restart();
    const QStringList emfs = report.exportToEmf(dir.filePath(QStringLiteral("Listagem.emf")));
    const qint64 emfMs = t.elapsed();
    t.restart();
    report.exportToPdf(dir.filePath(QStringLiteral("Listagem.pdf")));
    const qint64 pdfMs = t.elapsed();

    std::printf("rows: 1000, pages: %d\n", pages);
    std::printf("prepare:            %6lld ms\n", static_cast<long long>(prepareMs));
    std::printf("EMF export (%d files): %4lld ms\n", static_cast<int>(emfs.size()), static_cast<long long>(emfMs));
    std::printf("PDF export:         %6lld ms\n", static_cast<long long>(pdfMs));
    std::printf("prepare + EMF:      %6lld ms (target < 1000 ms)\n", static_cast<long long>(prepareMs + emfMs));
    std::printf("prepare + PDF:      %6lld ms (target < 1000 ms)\n", static_cast<long long>(prepareMs + pdfMs));
    return prepareMs + emfMs < 1000 && prepareMs + pdfMs < 1000 ? 0 : 1;
}
