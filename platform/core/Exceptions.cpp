#include "platform/core/Exceptions.h"

#include <QtGlobal>

namespace vorta {

Exception::Exception(QString message)
    : m_message(std::move(message)), m_utf8(m_message.toStdString())
{
}

Exception::~Exception() = default;

void Exception::setMessage(const QString& message)
{
    m_message = message;
    m_utf8 = message.toStdString();
}

EAbort::EAbort() : Exception(QStringLiteral("Operation aborted")) {}

void Abort()
{
    throw EAbort();
}

namespace {
std::function<void(const std::exception&)>& strayHandler()
{
    static std::function<void(const std::exception&)> handler;
    return handler;
}
} // namespace

void handleStrayException(const std::exception& e)
{
    if (dynamic_cast<const EAbort*>(&e))
        return;
    if (strayHandler())
        strayHandler()(e);
    else
        qWarning("Unhandled exception: %s", e.what());
}

void setStrayExceptionHandler(std::function<void(const std::exception&)> handler)
{
    strayHandler() = std::move(handler);
}

} // namespace vorta
