#include "platform/os/RawPrint.h"

#include <QProcess>
#include <QStandardPaths>

namespace vorta::os {

namespace {
RawSpooler* g_spooler = nullptr;
constexpr int kTimeOutMs = 30000; // a hung print system must not hang the program
} // namespace

RawSpooler::~RawSpooler() = default;

SystemRawSpooler::SystemRawSpooler() = default;
SystemRawSpooler::~SystemRawSpooler()
{
    endDoc();
}

QString SystemRawSpooler::defaultPrinter()
{
    if (QStandardPaths::findExecutable(QStringLiteral("lpstat")).isEmpty())
        return QString();
    QProcess p;
    p.start(QStringLiteral("lpstat"), {QStringLiteral("-d")});
    if (!p.waitForFinished(kTimeOutMs) || p.exitCode() != 0)
        return QString();
    // "system default destination: NAME"
    const QString out = QString::fromLocal8Bit(p.readAllStandardOutput()).trimmed();
    const int colon = out.lastIndexOf(QLatin1Char(':'));
    return colon < 0 ? QString() : out.mid(colon + 1).trimmed();
}

bool SystemRawSpooler::openPrinter(const QString& name)
{
    if (name.isEmpty() || QStandardPaths::findExecutable(QStringLiteral("lp")).isEmpty())
        return false;
    m_printer = name;
    return true;
}

bool SystemRawSpooler::startDoc(const QString& docName, const QString&)
{
    if (m_printer.isEmpty())
        return false;
    m_job = std::make_unique<QProcess>();
    m_job->start(QStringLiteral("lp"), {QStringLiteral("-d"), m_printer, QStringLiteral("-o"), QStringLiteral("raw"),
                                        QStringLiteral("-t"), docName, QStringLiteral("-")});
    if (!m_job->waitForStarted(kTimeOutMs)) {
        m_job.reset();
        return false;
    }
    return true;
}

bool SystemRawSpooler::write(const QByteArray& bytes)
{
    return m_job && m_job->write(bytes) == bytes.size() && (m_job->waitForBytesWritten(kTimeOutMs) || m_job->bytesToWrite() == 0);
}

void SystemRawSpooler::endDoc()
{
    if (!m_job)
        return;
    m_job->closeWriteChannel();
    if (!m_job->waitForFinished(kTimeOutMs))
        m_job->kill();
    m_job.reset();
}

RawSpooler& rawSpooler()
{
    static SystemRawSpooler system;
    return g_spooler ? *g_spooler : system;
}

void setRawSpooler(RawSpooler* spooler)
{
    g_spooler = spooler;
}

} // namespace vorta::os
