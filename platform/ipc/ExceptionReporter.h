#pragma once

#include <QString>
#include <QStringList>

#include <exception>
#include <functional>
#include <memory>
#include <vector>

namespace vorta::ipc {

// What the reporter knows of one exception.
struct ExceptionInfo {
    QString message;       // the exception's own text
    QString className;     // "EConvertError", ...
    QString moduleName;    // the executable's file name
    QStringList messageLines; // what the report shows
    QStringList logLines;     // what goes to the log
};

// A filter decides, per exception class, how a report is worded, logged and shown.
class ExceptionFilter {
public:
    virtual ~ExceptionFilter();
    virtual bool ExceptionMessage(ExceptionInfo& info) = 0;
    virtual bool LogException(ExceptionInfo& info) = 0;
    // False: the filter showed it, the reporter shows nothing more.
    virtual bool ShowException(const std::exception& e, ExceptionInfo& info) = 0;
};

// The application-wide exception reporter: logs every exception that no handler
// caught and shows it, through the filter registered for its class.
class ExceptionReporter {
public:
    static ExceptionReporter& instance();

    bool enabled = false;
    bool logEnabled = false;
    bool logDetails = false;

    // The log file asked for; where it is not writable a per-user file is used.
    void setLogFile(const QString& path);
    QString logFile() const { return m_logFile; }
    // The file written to (after any fallback).
    QString effectiveLogFile() const;

    // "Exception" matches every class.
    void registerFilter(const QString& className, std::shared_ptr<ExceptionFilter> filter, bool onlyThisClass);
    void clearFilters();

    // Reports one exception; the application hands stray ones here while enabled.
    void report(const std::exception& e);
    // Writes an exception that a handler caught and answered in its own words to the
    // log file, so its own text is not lost; shows nothing.
    void logHandled(const std::exception& e) const;

    // Shows a report's text; the widget layer installs its dialog here. Without one
    // the text goes to the debug output.
    void setDialog(std::function<void(const QString&)> dialog) { m_dialog = std::move(dialog); }

private:
    struct Entry {
        QString className;
        std::shared_ptr<ExceptionFilter> filter;
        bool onlyThisClass;
    };
    ExceptionFilter* filterFor(const QString& className) const;
    void writeLog(const ExceptionInfo& info) const;

    QString m_logFile;
    std::vector<Entry> m_filters;
    std::function<void(const QString&)> m_dialog;
};

} // namespace vorta::ipc
