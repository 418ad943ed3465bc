#pragma once

#include "platform/report/PreparedReport.h"

#include <QList>
#include <QString>

#include <memory>

class QPrinter;

namespace vorta::report {

// Where prepared pages are printed, and what the machine's printers are. The
// system driver speaks to the printers through QPrinter; tests and unattended runs
// install another.
class PrinterDriver {
public:
    virtual ~PrinterDriver();
    virtual bool anyPrinterInstalled() const = 0;
    // The current printer's device prints in colour.
    virtual bool currentPrinterIsColor() const = 0;
    virtual QString currentPrinterName() const = 0;
    // Prints every page, copies times (collated); raises on a printer failure.
    virtual void print(const PreparedReport& report, int copies) = 0;
    // The real set-up dialog, for the interactive dialog service.
    virtual bool runSetupDialog() { return false; }
};

class SystemPrinterDriver : public PrinterDriver {
public:
    SystemPrinterDriver();
    ~SystemPrinterDriver() override;
    bool anyPrinterInstalled() const override;
    bool currentPrinterIsColor() const override;
    QString currentPrinterName() const override;
    void print(const PreparedReport& report, int copies) override;
    bool runSetupDialog() override;

private:
    QPrinter& printer() const;
    mutable std::unique_ptr<QPrinter> m_printer;
};

// A printer that keeps what it prints: each printed page's texts and the copies.
class MemoryPrinterDriver : public PrinterDriver {
public:
    bool installed = true;
    bool color = false;
    QString name = QStringLiteral("Memory printer");

    struct Job {
        QString title;
        int copies = 1;
        PreparedReport pages;
    };
    QList<Job> jobs;
    // Pages that came out of the printer (pages times copies).
    int printedSheets() const;

    bool anyPrinterInstalled() const override { return installed; }
    bool currentPrinterIsColor() const override { return color; }
    QString currentPrinterName() const override { return name; }
    void print(const PreparedReport& report, int copies) override;
};

// The driver in force (the system's unless one is installed); nullptr restores it.
PrinterDriver& printerDriver();
void setPrinterDriver(PrinterDriver* driver);

bool anyPrinterInstalled();
bool currentPrinterIsColor();

// The printer set-up dialog, through the dialog service.
bool runPrinterSetup();

} // namespace vorta::report
