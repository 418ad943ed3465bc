#pragma once

#include "platform/core/Application.h"
#include "platform/core/Exceptions.h"

#include <QtGlobal>

#include <exception>
#include <utility>

namespace vorta {

// Runs a handler that Qt calls (a signal, an event, a timer): Qt is built without
// exception support, so nothing may unwind into its code. The silent abort ends here
// quietly; anything else goes to the application's exception handling.
template <class F>
void guardQt(F&& f)
{
    try {
        std::forward<F>(f)();
    } catch (const std::exception& e) {
        if (Application* app = Application::instance())
            app->handleException(e);
        else
            qWarning("exception outside the application: %s", e.what());
    } catch (...) {
        if (Application* app = Application::instance())
            app->handleException(Exception(QStringLiteral("Unknown exception")));
        else
            qWarning("unknown exception outside the application");
    }
}

} // namespace vorta
