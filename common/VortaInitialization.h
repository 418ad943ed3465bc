#pragma once

#include <QString>

// Switches the exception reporter on with its log file (the executable's full path
// followed by ".log") and the framework's dialog filter. Runs when the library loads.
void VortaInitializeExceptionReporter(const QString& executablePath);
