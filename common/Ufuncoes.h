#pragma once

#include "platform/os/WorkArea.h"

#include <QString>

// Shared functions of the framework.

// The desktop work area the module's main form fits itself into.
vorta::os::Rect GetWindowsWorkArea();

// Version text of an executable ("1.3.0.15"); the name may come with or without
// ".exe" in any case. Empty when the file carries no version.
QString GetVersionExe(const QString& name);
