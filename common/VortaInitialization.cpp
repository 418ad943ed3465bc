#include "VortaInitialization.h"

#include "uExcMagicDialogFilter.h"

#include <QFileInfo>

void VortaInitializeExceptionReporter(const QString& executablePath)
{
    auto& reporter = vorta::ipc::ExceptionReporter::instance();
    reporter.setLogFile(executablePath + QStringLiteral(".log"));
    reporter.logEnabled = true;
    reporter.enabled = true;
    reporter.logDetails = true;
    reporter.clearFilters();
    reporter.registerFilter(QStringLiteral("Exception"), std::make_shared<TNewDialogFilter>(), false);
}

namespace {
struct StartUp {
    StartUp() { VortaInitializeExceptionReporter(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()); }
} startUp;
} // namespace
