#include "platform/report/ReportPrinter.h"

#include "platform/core/Exceptions.h"
#include "platform/report/PageRenderer.h"
#include "platform/ui/Dialogs.h"

#include <QPageSize>
#include <QPainter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace vorta::report {

namespace {
PrinterDriver* g_driver = nullptr;
}

PrinterDriver::~PrinterDriver() = default;

SystemPrinterDriver::SystemPrinterDriver() = default;
SystemPrinterDriver::~SystemPrinterDriver() = default;

QPrinter& SystemPrinterDriver::printer() const
{
    if (!m_printer)
        m_printer = std::make_unique<QPrinter>(QPrinterInfo::defaultPrinter(), QPrinter::HighResolution);
    return *m_printer;
}

bool SystemPrinterDriver::anyPrinterInstalled() const
{
    return !QPrinterInfo::availablePrinterNames().isEmpty();
}

bool SystemPrinterDriver::currentPrinterIsColor() const
{
    if (!anyPrinterInstalled())
        return false;
    const QPrinterInfo info = QPrinterInfo::printerInfo(printer().printerName());
    // Colour when the device can print it and the current settings ask for it.
    return info.supportedColorModes().contains(QPrinter::Color) && printer().colorMode() == QPrinter::Color;
}

QString SystemPrinterDriver::currentPrinterName() const
{
    return anyPrinterInstalled() ? printer().printerName() : QString();
}

void SystemPrinterDriver::print(const PreparedReport& report, int copies)
{
    if (!anyPrinterInstalled())
        throw Exception(QStringLiteral("There is no default printer currently selected"));
    QPrinter& p = printer();
    p.setDocName(report.title());
    p.setFullPage(true);
    p.setPageLayout(pageLayoutOf(report));
    p.setCopyCount(1); // copies are laid out here, collated, whatever the driver supports
    QPainter painter;
    if (!painter.begin(&p))
        throw Exception(QStringLiteral("Printer selected is not valid"));
    const double k = p.resolution() / 25.4;
    bool first = true;
    for (int c = 0; c < copies; ++c) {
        for (int i = 0; i < report.pageCount(); ++i) {
            if (!first && !p.newPage()) {
                painter.end();
                throw Exception(QStringLiteral("Printing aborted"));
            }
            first = false;
            renderPage(painter, report.page(i), k);
        }
    }
    if (!painter.end())
        throw Exception(QStringLiteral("Printing failed"));
}

bool SystemPrinterDriver::runSetupDialog()
{
    QPrintDialog dialog(&printer());
    return dialog.exec() == QDialog::Accepted;
}

int MemoryPrinterDriver::printedSheets() const
{
    int n = 0;
    for (const Job& job : jobs)
        n += job.pages.pageCount() * job.copies;
    return n;
}

void MemoryPrinterDriver::print(const PreparedReport& report, int copies)
{
    if (!installed)
        throw Exception(QStringLiteral("There is no default printer currently selected"));
    jobs.append(Job{report.title(), copies, report});
}

PrinterDriver& printerDriver()
{
    static SystemPrinterDriver system;
    return g_driver ? *g_driver : system;
}

void setPrinterDriver(PrinterDriver* driver)
{
    g_driver = driver;
}

bool anyPrinterInstalled()
{
    return printerDriver().anyPrinterInstalled();
}

bool currentPrinterIsColor()
{
    return printerDriver().currentPrinterIsColor();
}

bool runPrinterSetup()
{
    ui::PrinterSetupRequest request;
    request.caption = QStringLiteral("Configurar impressora");
    request.printerName = printerDriver().currentPrinterName();
    request.runInteractive = [] { return printerDriver().runSetupDialog(); };
    return ui::dialogService().printerSetup(request);
}

} // namespace vorta::report
