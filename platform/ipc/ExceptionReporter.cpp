#include "platform/ipc/ExceptionReporter.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>
#include <typeinfo>

namespace vorta::ipc {

ExceptionFilter::~ExceptionFilter() = default;

ExceptionReporter& ExceptionReporter::instance()
{
    static ExceptionReporter reporter;
    return reporter;
}

void ExceptionReporter::setLogFile(const QString& path)
{
    m_logFile = path;
}

QString ExceptionReporter::effectiveLogFile() const
{
    if (m_logFile.isEmpty())
        return QString();
    const QFileInfo wanted(m_logFile);
    const QFileInfo folder(wanted.absolutePath());
    const bool writable = wanted.exists() ? wanted.isWritable() : (folder.isDir() && folder.isWritable());
    if (writable)
        return m_logFile;
    // Programs installed read-only log to the user's state folder instead.
    QString state = qEnvironmentVariable("XDG_STATE_HOME");
    if (state.isEmpty())
        state = QDir::homePath() + QStringLiteral("/.local/state");
    return state + QStringLiteral("/vorta/") + wanted.fileName();
}

void ExceptionReporter::registerFilter(const QString& className, std::shared_ptr<ExceptionFilter> filter,
                                       bool onlyThisClass)
{
    m_filters.push_back(Entry{className, std::move(filter), onlyThisClass});
}

void ExceptionReporter::clearFilters()
{
    m_filters.clear();
}

ExceptionFilter* ExceptionReporter::filterFor(const QString& className) const
{
    for (const Entry& e : m_filters)
        if (e.className == className || (!e.onlyThisClass && e.className == QLatin1String("Exception")))
            return e.filter.get();
    return nullptr;
}

void ExceptionReporter::writeLog(const ExceptionInfo& info) const
{
    const QString path = effectiveLogFile();
    if (path.isEmpty())
        return;
    QDir().mkpath(QFileInfo(path).absolutePath());
    QFile file(path);
    if (!file.open(QIODevice::Append | QIODevice::Text))
        return;
    QByteArray block = "--- " + vorta::now().toString(QStringLiteral("yyyy-MM-dd hh:mm:ss")).toUtf8() + ' '
                       + info.className.toUtf8() + " in " + info.moduleName.toUtf8() + '\n';
    for (const QString& line : info.logLines)
        block += line.toUtf8() + '\n';
    file.write(block);
}

namespace {

ExceptionInfo describe(const std::exception& e)
{
    ExceptionInfo info;
    const auto* ve = dynamic_cast<const vorta::Exception*>(&e);
    info.message = ve ? ve->message() : QString::fromUtf8(e.what());
    info.className = ve ? QString::fromLatin1(ve->className()) : QString::fromLatin1(typeid(e).name());
    info.moduleName = QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    info.messageLines << info.message;
    return info;
}

} // namespace

void ExceptionReporter::logHandled(const std::exception& e) const
{
    ExceptionInfo info = describe(e);
    info.logLines = info.messageLines;
    writeLog(info);
}

void ExceptionReporter::report(const std::exception& e)
{
    ExceptionInfo info = describe(e);
    ExceptionFilter* filter = filterFor(info.className);
    if (filter)
        filter->ExceptionMessage(info);
    info.logLines = info.messageLines;
    if (logEnabled) {
        writeLog(info);
        if (filter)
            filter->LogException(info);
    }
    if (filter && !filter->ShowException(e, info))
        return;
    const QString text = info.messageLines.join(QLatin1Char('\n'));
    if (m_dialog)
        m_dialog(text);
    else
        qWarning("%s", qPrintable(text));
}

} // namespace vorta::ipc
