#include "ReportFixtures.h"

#include "platform/core/Clock.h"
#include "platform/report/PageRenderer.h"
#include "platform/report/TextLayout.h"

#include <gtest/gtest.h>

#include <QDateTime>
#include <QGlyphRun>
#include <QTextLayout>

using namespace vorta::report;
using namespace vorta::report::testing;

namespace {

// A small report with every once-printed band and three rows; each band has one
// label at its top-left corner plus 1 mm.
struct AllBands {
    std::unique_ptr<TableDataSource> rows = numberedRows(3);
    Report report;
    Band* pageHeader;
    Band* title;
    Band* columnHeader;
    Band* detail;
    Band* summary;
    Band* pageFooter;

    AllBands()
    {
        report.dataSource = rows.get();
        // Created out of printing order on purpose: the engine orders by kind.
        summary = report.addBand(BandType::Summary, "Resumo", 6);
        summary->addLabel("lbTotal", "Total", 0, 1);
        detail = report.addBand(BandType::Detail, "Detalhe", 5);
        detail->addDBText("dbNome", "Nome", 0, 1);
        pageFooter = report.addBand(BandType::PageFooter, "Rodape", 8);
        pageFooter->addLabel("lbRodape", "Rodapé", 0, 1);
        columnHeader = report.addBand(BandType::ColumnHeader, "Colunas", 6);
        columnHeader->addLabel("lbNome", "Nome", 0, 1);
        title = report.addBand(BandType::Title, "Titulo", 8);
        title->addLabel("lbTitulo", "Título", 0, 1);
        pageHeader = report.addBand(BandType::PageHeader, "Cabecalho", 10);
        pageHeader->addLabel("lbCabecalho", "Cabeçalho", 0, 1);
    }
};

} // namespace

TEST(ReportLayout, PrintsBandsInOrderWithOnceAndPerRowBands)
{
    AllBands f;
    ASSERT_EQ(1, f.report.prepare());
    const QList<PlacedText> expected{
        {"Cabeçalho", 10, 11}, {"Título", 10, 21}, {"Nome", 10, 29},    {"Nome 001", 10, 35},
        {"Nome 002", 10, 40},  {"Nome 003", 10, 45}, {"Total", 10, 50}, {"Rodapé", 10, 262.4},
    };
    EXPECT_EQ(expected, f.report.qrPrinter().texts(0));
}

TEST(ReportLayout, BeforePrintFillsLabelsAndSuppressesBands)
{
    AllBands f;
    auto* extra = f.detail->addLabel("lbExtra", "", 40, 1);
    QStringList seen;
    f.detail->BeforePrint = [&](Band& band, bool& print) {
        const QString name = band.effectiveDataSource()->fieldText("Nome");
        seen << name;
        extra->caption = name.toUpper();
        print = name != "Nome 002";
    };
    f.summary->BeforePrint = [](Band&, bool& print) { print = false; };
    f.report.prepare();
    EXPECT_EQ((QStringList{"Nome 001", "Nome 002", "Nome 003"}), seen);
    const QList<PlacedText> texts = f.report.qrPrinter().texts(0);
    const QList<PlacedText> details = texts.mid(3, 4);
    const QList<PlacedText> expected{{"Nome 001", 10, 35}, {"NOME 001", 50, 35}, {"Nome 003", 10, 40}, {"NOME 003", 50, 40}};
    EXPECT_EQ(expected, details);
    EXPECT_FALSE(pageTexts(f.report.qrPrinter(), 0).contains("Total"));
}

TEST(ReportLayout, OnPrintReturnsTheTextAndDisabledItemsDoNotPrint)
{
    AllBands f;
    auto* label = static_cast<Label*>(f.title->items().front());
    label->OnPrint = [](TextItem&, QString& text) { text = "Protocolo " + text; };
    auto* hidden = f.title->addLabel("lbOculto", "Oculto", 50, 1);
    hidden->enabled = false;
    f.report.prepare();
    const QStringList texts = pageTexts(f.report.qrPrinter(), 0);
    EXPECT_TRUE(texts.contains("Protocolo Título"));
    EXPECT_FALSE(texts.contains("Oculto"));
}

namespace {

// The rows of a detail query: those whose key matches the master's current row.
class ChildRows : public ReportDataSource {
public:
    ChildRows(ReportDataSource& master, QList<QPair<int, QString>> rows)
        : m_master(master)
        , m_rows(std::move(rows))
    {
    }
    void first() override
    {
        m_pos = -1;
        next();
    }
    void next() override
    {
        const int key = m_master.fieldValue("Codigo").toInt();
        for (++m_pos; m_pos < m_rows.size() && m_rows[m_pos].first != key; ++m_pos) {
        }
    }
    bool eof() const override { return m_pos >= m_rows.size(); }
    QVariant fieldValue(const QString& field) const override
    {
        return !eof() && field == "Item" ? QVariant(m_rows[m_pos].second) : QVariant();
    }

private:
    ReportDataSource& m_master;
    QList<QPair<int, QString>> m_rows;
    qsizetype m_pos = 0;
};

} // namespace

TEST(ReportLayout, SubDetailPrintsUnderEachMasterRow)
{
    auto maps = numberedRows(3);
    ChildRows animals(*maps, {{1, "boi 1"}, {1, "boi 2"}, {3, "boi 3"}});
    Report report;
    report.dataSource = maps.get();
    report.addBand(BandType::Detail, "Mapa", 6)->addDBText("dbNome", "Nome", 0, 0);
    Band* sub = report.addBand(BandType::SubDetail, "Animais", 5);
    sub->dataSource = &animals;
    sub->addDBText("dbItem", "Item", 5, 0);
    report.prepare();
    const QList<PlacedText> expected{{"Nome 001", 10, 10}, {"boi 1", 15, 16},    {"boi 2", 15, 21},
                                     {"Nome 002", 10, 26}, {"Nome 003", 10, 32}, {"boi 3", 15, 38}};
    EXPECT_EQ(expected, report.qrPrinter().texts(0));

    // printIfEmpty gives a master row without children its sub-detail once.
    sub->printIfEmpty = true;
    report.prepare();
    EXPECT_EQ((QStringList{"Nome 001", "boi 1", "boi 2", "Nome 002", "", "Nome 003", "boi 3"}),
              pageTexts(report.qrPrinter(), 0));
}

TEST(ReportLayout, PageBreaksRepeatHeadersAndFootersAndNumberPages)
{
    auto rows = numberedRows(120);
    Listing l(rows.get());
    Band* header = l.report.addBand(BandType::PageHeader, "Cabecalho", 10);
    header->addLabel("lbOrgao", "KALVI", 0, 1);
    auto* count = header->add<SysData>(SysData::Kind::PageCount, "de ");
    count->setGeometry(100, 1, 0, 0);
    const int pages = l.report.prepare();

    // Rows that fit: page 1 loses the title's 12 mm to the data.
    const double area = 279.4 - 20 - 8; // margins and footer
    const int firstPage = int((area - 10 - 12 - 7) / 5);
    const int otherPages = int((area - 10 - 7) / 5);
    const int expectedPages = 1 + (120 - firstPage + otherPages - 1) / otherPages;
    ASSERT_EQ(expectedPages, pages);

    int rowsSeen = 0;
    for (int p = 0; p < pages; ++p) {
        const QList<PlacedText> texts = l.report.qrPrinter().texts(p);
        SCOPED_TRACE(p + 1);
        EXPECT_EQ((PlacedText{"KALVI", 10, 11}), texts.first());
        EXPECT_EQ(QString("de %1").arg(pages), texts[1].text);
        EXPECT_EQ(p == 0, pageTexts(l.report.qrPrinter(), p).contains("Listagem de Município - Ordem Alfabética"));
        EXPECT_TRUE(pageTexts(l.report.qrPrinter(), p).contains("Descrição"));
        EXPECT_EQ((PlacedText{"Página:", 170, 263.4}), texts[texts.size() - 2]);
        EXPECT_EQ(QString::number(p + 1), texts.last().text);
        const int onPage = int(pageTexts(l.report.qrPrinter(), p).filter("Nome ").size());
        EXPECT_EQ(p == 0 ? firstPage : p + 1 < pages ? otherPages : 120 - firstPage - (pages - 2) * otherPages, onPage);
        // The first row of a page sits right under the column header.
        const qsizetype at = texts.indexOf(PlacedText{QString("Nome %1").arg(rowsSeen + 1, 3, 10, QChar('0')), 40,
                                                      p == 0 ? 10 + 10 + 12 + 7 + 0.5 : 10 + 10 + 7 + 0.5});
        EXPECT_GE(at, 0);
        rowsSeen += onPage;
    }
    EXPECT_EQ(120, rowsSeen);
}

TEST(ReportLayout, FirstPageHeaderAndLastPageFooterOptions)
{
    auto rows = numberedRows(60);
    Listing l(rows.get());
    l.report.addBand(BandType::PageHeader, "Cabecalho", 10)->addLabel("lbOrgao", "KALVI", 0, 1);
    l.report.firstPageHeader = false;
    l.report.lastPageFooter = false;
    const int pages = l.report.prepare();
    ASSERT_GE(pages, 2);
    EXPECT_FALSE(pageTexts(l.report.qrPrinter(), 0).contains("KALVI"));
    EXPECT_TRUE(pageTexts(l.report.qrPrinter(), 0).contains("Página:"));
    EXPECT_TRUE(pageTexts(l.report.qrPrinter(), pages - 1).contains("KALVI"));
    EXPECT_FALSE(pageTexts(l.report.qrPrinter(), pages - 1).contains("Página:"));
}

TEST(ReportLayout, EmptyDataSetPrintsNothingUnlessPrintIfEmpty)
{
    TableDataSource empty({"Nome"});
    AllBands f;
    f.report.dataSource = &empty;
    EXPECT_EQ(0, f.report.prepare());
    f.report.printIfEmpty = true;
    ASSERT_EQ(1, f.report.prepare());
    const QList<PlacedText> expected{{"Cabeçalho", 10, 11}, {"Título", 10, 21}, {"Nome", 10, 29},
                                     {"Total", 10, 35},     {"Rodapé", 10, 262.4}};
    EXPECT_EQ(expected, f.report.qrPrinter().texts(0));
}

TEST(ReportLayout, SeveralColumnsAcrossFlowDownThenAcross)
{
    auto rows = numberedRows(100);
    Report report;
    report.paperSize = PaperSize::A4;
    report.columns = 4;
    report.columnSpace = 2;
    report.addBand(BandType::ColumnHeader, "Colunas", 5)->addLabel("lb10", "10", 0, 0);
    report.addBand(BandType::SubDetail, "Animais", 5)->addDBText("dbCodigo", "Codigo", 1, 0);
    report.addBand(BandType::PageFooter, "Resumo", 20)->addLabel("lbResumo", "RESUMO", 0, 0);
    // A report without a data set prints its rows once: the animals come from the sub-detail.
    report.bands()[1]->dataSource = rows.get();
    ASSERT_EQ(1, report.prepare());
    const double colWidth = (190.0 - 3 * 2) / 4;
    const QList<PlacedText> texts = report.qrPrinter().texts(0);
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ((PlacedText{"10", std::round((10 + c * (colWidth + 2)) * 10) / 10, 10}), texts[c]);
    const int perColumn = int((297.0 - 20 - 20 - 5) / 5);
    EXPECT_EQ((PlacedText{"1", 11, 15}), texts[4]);
    EXPECT_EQ((PlacedText{QString::number(perColumn), 11, 15 + (perColumn - 1) * 5.0}), texts[4 + perColumn - 1]);
    EXPECT_EQ((PlacedText{QString::number(perColumn + 1), std::round((11 + colWidth + 2) * 10) / 10, 15}),
              texts[4 + perColumn]);
    EXPECT_EQ((PlacedText{"RESUMO", 10, 267}), texts.last());
}

TEST(ReportLayout, SummaryOnANewPage)
{
    AllBands f;
    f.summary->forceNewPage = true;
    ASSERT_EQ(2, f.report.prepare());
    EXPECT_FALSE(pageTexts(f.report.qrPrinter(), 0).contains("Total"));
    EXPECT_EQ((QStringList{"Cabeçalho", "Nome", "Total", "Rodapé"}), pageTexts(f.report.qrPrinter(), 1));
}

TEST(ReportLayout, PreparingTwiceFeedsThePageCountBack)
{
    auto rows = numberedRows(120);
    Listing l(rows.get());
    auto* total = l.footer->addLabel("TotPagina", "", 185, 2);
    int countFed = 0;
    const int first = l.report.prepare();
    total->caption = "/" + QString::number(first);
    countFed = l.report.prepare();
    EXPECT_EQ(first, countFed);
    for (int p = 0; p < countFed; ++p)
        EXPECT_TRUE(pageTexts(l.report.qrPrinter(), p).contains(QString("/%1").arg(first)));
    // A second run starts afresh: same pages, same texts.
    EXPECT_EQ(l.report.qrPrinter().texts(countFed - 1), [&] {
        l.report.prepare();
        return l.report.qrPrinter().texts(countFed - 1);
    }());
}

TEST(ReportLayout, WordWrapStretchesTheBandAndAutoSizeKeepsTheRightEdge)
{
    Report report;
    Band* title = report.addBand(BandType::Title, "Titulo", 10);
    auto* memo = title->add<Memo>();
    memo->setGeometry(0, 0, 30, 5);
    memo->lines << "INFORMAMOS QUE A DECLARAÇÃO ABAIXO IDENTIFICADA FOI RECUSADA";
    auto* right = title->addLabel("lbDireita", "123,45", 100, 0, 40, 5);
    right->alignment = HAlign::Right;
    right->autoSize = true;
    report.addBand(BandType::Summary, "Resumo", 5)->addLabel("lbFim", "Fim", 0, 0);
    report.prepare();
    const PreparedPage& page = report.qrPrinter().page(0);
    const PageItem& wrapped = page.items[0];
    ASSERT_GT(wrapped.lines.size(), 2);
    for (const QString& line : wrapped.lines)
        EXPECT_LE(textWidthMm(wrapped.font, line), 30.0 + 1e-6) << line.toStdString();
    EXPECT_EQ(memo->lines.first(), wrapped.lines.join(' '));
    const PageItem& r = page.items[1];
    EXPECT_NEAR(150.0, r.rect.right(), 1e-6);
    EXPECT_LT(r.rect.width(), 40.0);
    // The summary moves down by the stretched title.
    const PlacedText fim = report.qrPrinter().texts(0).last();
    EXPECT_NEAR(10 + wrapped.lines.size() * wrapped.lineHeight, fim.y, 0.06);
}

// Blanks that lead a wrapped paragraph are its indent; blanks at a break start no line.
TEST(ReportLayout, WrappedTextKeepsItsLeadingBlanks)
{
    const QString recuo(20, ' ');
    const QString palavras = "Declaro para os devidos fins que as informações prestadas são verdadeiras";
    struct Caso {
        QString texto;
        int brancos; // that lead the first line
    } casos[] = {
        {recuo + palavras, 20},
        {palavras, 0},
        {"  " + palavras + "\n" + recuo + palavras, 2},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.texto.toStdString());
        Report report;
        auto* l = report.addBand(BandType::Title, "Titulo", 40)->addLabel("lb", c.texto, 0, 0, 60, 5);
        l->wordWrap = true;
        report.prepare();
        const PageItem& item = report.qrPrinter().page(0).items[0];
        ASSERT_GT(item.lines.size(), 2);
        EXPECT_EQ(item.lines[0].indexOf("Declaro"), c.brancos) << item.lines[0].toStdString();
        for (qsizetype i = 1; i < item.lines.size(); ++i) {
            EXPECT_LE(textWidthMm(item.font, item.lines[i]), 60.0 + 1e-6);
            const bool paragrafo = item.lines[i].trimmed().startsWith("Declaro");
            EXPECT_EQ(item.lines[i].startsWith(' '), paragrafo) << item.lines[i].toStdString();
        }
        const QString junto = item.lines.join(' ');
        EXPECT_EQ(junto.simplified(), c.texto.simplified());
    }
}

TEST(ReportLayout, GroupHeaderPrintsWhenTheFieldChanges)
{
    auto rows = numberedRows(7); // groups A A A B B B C
    Report report;
    report.dataSource = rows.get();
    report.addBand(BandType::GroupHeader, "Grupo", 6)->addDBText("dbGrupo", "Grupo", 0, 0);
    report.band(BandType::GroupHeader)->groupField = "Grupo";
    report.addBand(BandType::Detail, "Detalhe", 5)->addDBText("dbCodigo", "Codigo", 5, 0);
    report.prepare();
    EXPECT_EQ((QStringList{"A", "1", "2", "3", "B", "4", "5", "6", "C", "7"}), pageTexts(report.qrPrinter(), 0));
}

TEST(ReportLayout, ABandTallerThanThePagePrintsOnceWithoutLooping)
{
    auto rows = numberedRows(2);
    Report report;
    report.dataSource = rows.get();
    report.addBand(BandType::Detail, "Detalhe", 400)->addDBText("dbCodigo", "Codigo", 0, 0);
    EXPECT_EQ(2, report.prepare());
    EXPECT_EQ(QStringList{"1"}, pageTexts(report.qrPrinter(), 0));
    EXPECT_EQ(QStringList{"2"}, pageTexts(report.qrPrinter(), 1));
}

TEST(ReportLayout, DataTextsUseMaskFormatAndSystemData)
{
    vorta::setClock([] { return QDateTime(QDate(2026, 3, 5), QTime(14, 7, 9)); });
    TableDataSource data({"Con_IECNPJCPF", "Valor", "Data"});
    data.addRow({"280000001", 1234567.891, QDateTime(QDate(2025, 12, 31), QTime(23, 59, 1))});
    Report report;
    report.dataSource = &data;
    Band* d = report.addBand(BandType::Detail, "Detalhe", 5);
    d->addDBText("dbIE", "Con_IECNPJCPF", 0, 0)->mask = "99.999.999-9;0;_";
    d->addDBText("dbValor", "Valor", 40, 0)->displayFormat = "###,###,##0.00";
    d->addDBText("dbData", "Data", 80, 0)->displayFormat = "dd/mm/yyyy hh:nn:ss";
    d->addDBText("dbNada", "NaoExiste", 120, 0);
    auto* date = d->add<SysData>(SysData::Kind::DateTime, "Data: ");
    date->setGeometry(140, 0, 0, 0);
    report.prepare();
    EXPECT_EQ((QStringList{"28.000.000-1", "1.234.567,89", "31/12/2025 23:59:01", "", "Data: 05/03/2026 14:07:09"}),
              pageTexts(report.qrPrinter(), 0));
    vorta::setClock({});
}

TEST(ReportLayout, AMissingFontFallsBack)
{
    Report report;
    auto* label = report.addBand(BandType::Title, "Titulo", 10)->addLabel("lb", "Texto", 0, 0);
    label->font.family = "Fonte Que Não Existe";
    label->font.pointSize = 0; // nonsense size too
    ASSERT_EQ(1, report.prepare());
    const PageItem& item = report.qrPrinter().page(0).items[0];
    EXPECT_GT(item.rect.width(), 0.0);
    EXPECT_GT(item.lineHeight, 0.0);
}

TEST(ReportLayout, LandscapeAndA4PageSizes)
{
    Report report;
    report.paperSize = PaperSize::A4;
    report.orientation = Orientation::Landscape;
    report.addBand(BandType::PageFooter, "Rodape", 10)->addLabel("lb", "x", 0, 0);
    report.prepare();
    EXPECT_EQ(QSizeF(297, 210), report.qrPrinter().pageSize());
    EXPECT_EQ((PlacedText{"x", 10, 190}), report.qrPrinter().texts(0).first());
}

TEST(ReportLayout, FreedItemsAndBandsLeaveTheReport)
{
    auto rows = numberedRows(2);
    Report report;
    report.dataSource = rows.get();
    Band* detail = report.addBand(BandType::Detail, "Detalhe", 5);
    detail->addDBText("dbCodigo", "Codigo", 0, 0);
    auto* gone = detail->addDBText("dbNome", "Nome", 20, 0);
    Band* summary = report.addBand(BandType::Summary, "Resumo", 5);
    summary->addLabel("lbTotal", "Total", 0, 0);
    EXPECT_EQ(gone, report.findComponent("Detalhe") ? detail->findComponent("dbNome") : nullptr);
    vorta::Component::free(gone);
    vorta::Component::free(summary);
    EXPECT_EQ(1u, detail->items().size());
    EXPECT_EQ(1u, report.bands().size());
    report.prepare();
    EXPECT_EQ((QStringList{"1", "2"}), pageTexts(report.qrPrinter(), 0));
}

namespace {
int glyphCount(const QFont& font, const QString& text)
{
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int n = 0;
    for (const QGlyphRun& run : layout.glyphRuns())
        n += int(run.glyphIndexes().size());
    return n;
}
} // namespace

// A ligature glyph stands for two letters that a PDF search does not find: report text
// is laid out one glyph per letter.
TEST(ReportLayout, TextIsDrawnWithoutLigatures)
{
    const QString text = QStringLiteral("Frigorífico flúor");
    bool ligated = false;
    for (const char* family : {"DejaVu Sans", "Arial", "Times New Roman"}) {
        SCOPED_TRACE(family);
        FontSpec fonte;
        fonte.family = QString::fromLatin1(family);
        ligated = ligated || glyphCount(QFont(fonte.family, 10), text) < text.size();
        EXPECT_EQ(text.size(), glyphCount(toQFont(fonte), text));
    }
    ASSERT_TRUE(ligated) << "none of the fonts joins fi or fl, so this shows nothing";
}

// A small picture stretched over a large box is interpolated, not drawn as blocks.
TEST(ReportLayout, PicturesAreScaledSmoothly)
{
    Report report;
    QImage twoPixels(2, 1, QImage::Format_RGB32);
    twoPixels.setPixel(0, 0, qRgb(0, 0, 0));
    twoPixels.setPixel(1, 0, qRgb(255, 255, 255));
    auto* image = report.addBand(BandType::Title, "Titulo", 30)->add<Image>();
    image->setGeometry(0, 0, 40, 20);
    image->picture = Picture::fromImage(twoPixels);
    image->stretch = true;
    ASSERT_EQ(1, report.prepare());
    const double dpi = 100;
    const QImage page = renderPageImage(report.qrPrinter(), 0, dpi);
    const PageItem& item = report.qrPrinter().page(0).items[0];
    const double k = dpi / 25.4;
    const int y = int((item.rect.top() + item.rect.height() / 2) * k);
    int between = 0;
    for (int x = int(item.rect.left() * k) + 2; x < int(item.rect.right() * k) - 2; ++x) {
        const int g = qGray(page.pixel(x, y));
        between += g > 40 && g < 215;
    }
    EXPECT_GT(between, 20) << "shades between black and white across the box";
}
