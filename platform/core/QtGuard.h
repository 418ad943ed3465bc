#pragma once

#include "platform/core/Exceptions.h"

#include <QtGlobal>

#include <exception>
#include <utility>

namespace vorta {

// Runs a handler that Qt calls (a signal, an event, a timer): Qt is built without
// exception support, so nothing may unwind into its code. The silent abort ends here
// quietly; anything else goes to the stray-exception handler the application installs.
template <class F>
void guardQt(F&& f)
{
    try {
        std::forward<F>(f)();
    } catch (const std::exception& e) {
        handleStrayException(e);
    } catch (...) {
        handleStrayException(Exception(QStringLiteral("Unknown exception")));
    }
}

} // namespace vorta
