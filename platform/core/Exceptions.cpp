#include "platform/core/Exceptions.h"

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

} // namespace vorta
