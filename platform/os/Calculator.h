#pragma once

#include <QString>

namespace vorta::os {

// The desktop's calculator program: the one named by VORTA_CALCULATOR (a path or a
// program on PATH) when set, otherwise the first of the usual desktop calculators
// found on PATH; empty when there is none.
QString systemCalculator();

// Starts the calculator without waiting for it; false when there is none or it
// cannot be started.
bool startSystemCalculator();

} // namespace vorta::os
