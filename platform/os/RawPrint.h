#pragma once

#include <QByteArray>
#include <QString>

#include <memory>

class QProcess;

namespace vorta::os {

// The print spooler for bytes that go to the printer unchanged. Each step answers
// whether it worked; the caller ends what it started.
class RawSpooler {
public:
    virtual ~RawSpooler();
    // The default printer's name; empty when there is none.
    virtual QString defaultPrinter() = 0;
    virtual bool openPrinter(const QString& name) = 0;
    virtual bool startDoc(const QString& docName, const QString& dataType) = 0;
    virtual bool startPage() = 0;
    virtual bool write(const QByteArray& bytes) = 0;
    virtual void endPage() = 0;
    virtual void endDoc() = 0;
    virtual void closePrinter() = 0;
};

// The system's spooler: the print system's "lp" in raw mode ("lpstat -d" names the
// default printer); a job is handed over when its document ends.
class SystemRawSpooler : public RawSpooler {
public:
    SystemRawSpooler();
    ~SystemRawSpooler() override;
    QString defaultPrinter() override;
    bool openPrinter(const QString& name) override;
    bool startDoc(const QString& docName, const QString& dataType) override;
    bool startPage() override { return m_job != nullptr; }
    bool write(const QByteArray& bytes) override;
    void endPage() override {}
    void endDoc() override;
    void closePrinter() override { m_printer.clear(); }

private:
    QString m_printer;
    std::unique_ptr<QProcess> m_job;
};

// The spooler in force (the system's unless one is installed); nullptr restores it.
RawSpooler& rawSpooler();
void setRawSpooler(RawSpooler* spooler);

} // namespace vorta::os
