#pragma once

#include <QDateTime>

#include <functional>

namespace vorta {

// The one clock of the suite; tests fix it.
QDateTime now();
QDate today();
// Installs a clock (empty function: the system clock again).
void setClock(std::function<QDateTime()> clock);

} // namespace vorta
