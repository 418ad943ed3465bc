#include "ReportFixtures.h"

#include "platform/core/Exceptions.h"
#include "platform/report/PageRenderer.h"
#include "platform/report/ReportPreview.h"
#include "platform/report/ReportPrinter.h"
#include "testing/ScriptedDialogs.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QPdfWriter>
#include <QPushButton>
#include <QTemporaryDir>

using namespace vorta::report;
using namespace vorta::report::testing;

namespace {

// A memory printer installed for one test.
struct PrinterFixture : ::testing::Test {
    MemoryPrinterDriver printer;
    void SetUp() override { setPrinterDriver(&printer); }
    void TearDown() override
    {
        setPrinterDriver(nullptr);
        vorta::ui::setModalHook({});
    }
};

using SavedReport = PrinterFixture;
using Printing = PrinterFixture;
using Preview = PrinterFixture;

} // namespace

TEST_F(SavedReport, LoadsBackAndPrintsTheSamePages)
{
    auto rows = numberedRows(120);
    Listing l(rows.get());
    const int pages = l.report.prepare();
    ASSERT_GT(pages, 2);
    QTemporaryDir dir;
    const QString file = dir.filePath("PKOB0001.QRP");
    l.report.qrPrinter().saveToFile(file);

    // The special protocol: an empty report whose printer loads the saved file.
    Report especial;
    especial.prepare();
    especial.qrPrinter().loadFromFile(file);
    ASSERT_EQ(pages, especial.qrPrinter().pageCount());
    EXPECT_EQ(l.report.qrPrinter().pageSize(), especial.qrPrinter().pageSize());
    for (int p = 0; p < pages; ++p)
        EXPECT_EQ(l.report.qrPrinter().texts(p), especial.qrPrinter().texts(p));
    especial.printerSettings.copies = 2;
    especial.printPrepared();
    ASSERT_EQ(1, printer.jobs.size());
    EXPECT_EQ(2, printer.jobs[0].copies);
    EXPECT_EQ(pages, printer.jobs[0].pages.pageCount());
    EXPECT_EQ(2 * pages, printer.printedSheets());
}

TEST_F(SavedReport, KeepsImagesShapesAndFonts)
{
    Report report;
    Band* title = report.addBand(BandType::Title, "Titulo", 40);
    QImage logo(8, 4, QImage::Format_RGB32);
    logo.fill(Qt::red);
    auto* image = title->add<Image>();
    image->setGeometry(0, 0, 16, 8);
    image->stretch = true;
    image->picture = Picture::fromImage(logo);
    auto* frame = title->add<Shape>(Shape::Kind::Rectangle);
    frame->setGeometry(20, 0, 50, 10);
    frame->fill = Qt::gray;
    auto* label = title->addLabel("lb", "GOVERNO DO ESTADO DE ORVANIA", 20, 20);
    label->font = FontSpec{"DejaVu Serif", 12, true, true, false};
    report.prepare();
    QTemporaryDir dir;
    report.qrPrinter().saveToFile(dir.filePath("r.QRP"));
    PreparedReport loaded;
    loaded.loadFromFile(dir.filePath("r.QRP"));
    const auto& a = report.qrPrinter().page(0).items;
    const auto& b = loaded.page(0).items;
    ASSERT_EQ(a.size(), b.size());
    EXPECT_EQ(QColor(Qt::red).rgb(), b[0].image.pixel(0, 0));
    EXPECT_EQ(a[0].rect, b[0].rect);
    EXPECT_EQ(PageItem::Kind::Rect, b[1].kind);
    EXPECT_EQ(a[1].fill, b[1].fill);
    EXPECT_EQ(a[2].font, b[2].font);
    EXPECT_EQ(a[2].lines, b[2].lines);
}

TEST_F(SavedReport, ADamagedFileIsRefusedAndLeavesThePagesAsTheyWere)
{
    auto rows = numberedRows(10);
    Listing l(rows.get());
    l.report.prepare();
    QTemporaryDir dir;
    const QString good = dir.filePath("bom.QRP");
    l.report.qrPrinter().saveToFile(good);
    QFile in(good);
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QByteArray bytes = in.readAll();

    const QList<QByteArray> damaged{QByteArray(), QByteArray("VORTA-QR"), bytes.left(bytes.size() / 2),
                                    QByteArray(bytes).replace(0, 5, "XXXXX")};
    for (const QByteArray& d : damaged) {
        QFile out(dir.filePath("ruim.QRP"));
        ASSERT_TRUE(out.open(QIODevice::WriteOnly | QIODevice::Truncate));
        out.write(d);
        out.close();
        EXPECT_THROW(l.report.qrPrinter().loadFromFile(out.fileName()), vorta::EInOutError) << d.size();
        EXPECT_EQ(1, l.report.pageCount());
    }
    EXPECT_THROW(l.report.qrPrinter().loadFromFile(dir.filePath("nao-existe.QRP")), vorta::EInOutError);
}

TEST_F(Printing, PrintsWithoutPreviewInCopies)
{
    auto rows = numberedRows(60);
    Listing l(rows.get());
    l.report.printerSettings.copies = 3;
    l.report.print();
    ASSERT_EQ(1, printer.jobs.size());
    EXPECT_EQ(QString("Listagem de Municípios"), printer.jobs[0].title);
    EXPECT_EQ(3, printer.jobs[0].copies);
    EXPECT_EQ(l.report.pageCount(), printer.jobs[0].pages.pageCount());
    EXPECT_EQ(pageTexts(l.report.qrPrinter(), 0), pageTexts(printer.jobs[0].pages, 0));
}

TEST_F(Printing, AReportWithoutPagesSendsNoJob)
{
    TableDataSource empty({"Nome"});
    Listing l(&empty);
    l.report.print();
    EXPECT_EQ(0, l.report.pageCount());
    EXPECT_TRUE(printer.jobs.isEmpty());
    // A saved report of no pages loaded into an empty report prints nothing either.
    QTemporaryDir dir;
    l.report.qrPrinter().saveToFile(dir.filePath("vazio.QRP"));
    Report especial;
    especial.qrPrinter().loadFromFile(dir.filePath("vazio.QRP"));
    especial.printPrepared();
    EXPECT_TRUE(printer.jobs.isEmpty());
}

TEST_F(Printing, PrinterPresenceAndColourComeFromTheDriver)
{
    printer.installed = false;
    EXPECT_FALSE(anyPrinterInstalled());
    auto rows = numberedRows(3);
    Listing l(rows.get());
    EXPECT_THROW(l.report.print(), vorta::Exception);
    EXPECT_TRUE(printer.jobs.isEmpty());
    printer.installed = true;
    printer.color = true;
    EXPECT_TRUE(anyPrinterInstalled());
    EXPECT_TRUE(currentPrinterIsColor());
    printer.color = false;
    EXPECT_FALSE(currentPrinterIsColor());
}

TEST_F(Printing, PrinterSetUpGoesThroughTheDialogService)
{
    vorta::testing::ScriptedDialogs dialogs;
    dialogs.expectPrinterSetup(true).expectPrinterSetup(false);
    Report report;
    EXPECT_TRUE(report.printerSetup());
    EXPECT_FALSE(report.printerSetup());
}

TEST_F(Preview, ShowsPagesWithNavigationZoomAndPrint)
{
    auto rows = numberedRows(120);
    Listing l(rows.get());
    l.report.zoom = 120;
    l.report.previewMaximized = true;
    int shown = 0;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        ++shown;
        auto* preview = dynamic_cast<ReportPreview*>(&form);
        EXPECT_NE(nullptr, preview);
        if (!preview)
            return int(vorta::ui::mrCancel);
        EXPECT_TRUE(form.windowState() & Qt::WindowMaximized);
        const int pages = preview->pageCount();
        EXPECT_EQ(l.report.pageCount(), pages);
        EXPECT_EQ(1, preview->currentPage());
        EXPECT_EQ(120, preview->zoom());
        EXPECT_EQ(QString("Página 1 de %1 - 120%").arg(pages), preview->statusText());
        // Letter width at 120% of 96 dpi.
        EXPECT_NEAR(215.9 / 25.4 * 96 * 1.2, preview->pageImage().width(), 1.0);

        preview->findChild<QPushButton*>("btNext")->click();
        EXPECT_EQ(2, preview->currentPage());
        preview->findChild<QPushButton*>("btLast")->click();
        EXPECT_EQ(pages, preview->currentPage());
        EXPECT_FALSE(preview->findChild<QPushButton*>("btNext")->isEnabled());
        preview->nextPage(); // past the end stays on the last page
        EXPECT_EQ(pages, preview->currentPage());
        preview->findChild<QPushButton*>("btFirst")->click();
        EXPECT_EQ(1, preview->currentPage());
        preview->priorPage();
        EXPECT_EQ(1, preview->currentPage());

        const int before = preview->pageImage().width();
        preview->findChild<QPushButton*>("btZoomIn")->click();
        EXPECT_EQ(145, preview->zoom());
        EXPECT_GT(preview->pageImage().width(), before);
        preview->setZoom(5000);
        EXPECT_EQ(400, preview->zoom());

        preview->findChild<QPushButton*>("btPrint")->click();
        preview->findChild<QPushButton*>("btClose")->click();
        return int(vorta::ui::mrNone);
    });
    l.report.preview();
    EXPECT_EQ(1, shown);
    ASSERT_EQ(1, printer.jobs.size());
    EXPECT_EQ(l.report.pageCount(), printer.jobs[0].pages.pageCount());
}

TEST_F(Preview, AnEmptyReportPreviewsWithoutPages)
{
    TableDataSource empty({"Nome"});
    Listing l(&empty);
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        auto& preview = dynamic_cast<ReportPreview&>(form);
        EXPECT_EQ(0, preview.pageCount());
        EXPECT_EQ(0, preview.currentPage());
        preview.nextPage();
        EXPECT_EQ(0, preview.currentPage());
        EXPECT_FALSE(preview.findChild<QPushButton*>("btPrint")->isEnabled());
        return int(vorta::ui::mrCancel);
    });
    l.report.preview();
    EXPECT_TRUE(printer.jobs.isEmpty());
}

TEST(PdfOutput, ASampleListingForPeopleToLookAt)
{
    auto rows = numberedRows(120);
    Listing l(rows.get());
    auto* date = l.title->add<SysData>(SysData::Kind::DateTime, "Data: ");
    date->setGeometry(150, 2, 0, 0);
    const int pages = l.report.prepare();
    ASSERT_EQ(3, pages);
    // Beside the test program, in the build folder.
    const QString folder = QCoreApplication::applicationDirPath() + "/report-samples";
    ASSERT_TRUE(QDir().mkpath(folder));
    const QString file = folder + "/ListagemCarta120.pdf";
    QFile::remove(file);
    l.report.exportToPdf(file);
    QFile pdf(file);
    ASSERT_TRUE(pdf.open(QIODevice::ReadOnly));
    const QByteArray bytes = pdf.readAll();
    EXPECT_TRUE(bytes.startsWith("%PDF-"));
    EXPECT_EQ(pages, bytes.count("/Type /Page\n") + bytes.count("/Type /Page\r") + bytes.count("/Type /Page ")
                         + bytes.count("/Type /Page>"));
}

TEST(PdfOutput, AnUnwritableFileIsAnError)
{
    Report report;
    report.addBand(BandType::Title, "Titulo", 10)->addLabel("lb", "x", 0, 0);
    EXPECT_THROW(report.exportToPdf("/nao/existe/pasta/x.pdf"), vorta::EInOutError);
}
