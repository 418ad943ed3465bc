#include "testing/QtMessages.h"

#include <QtGlobal>

namespace vorta::testing {

namespace {

QtMessages* g_current = nullptr;
QtMessageHandler g_previousHandler = nullptr;
QStringList* g_sink = nullptr;

void collect(QtMsgType type, const QMessageLogContext& context, const QString& text)
{
    if (g_sink && (type == QtWarningMsg || type == QtCriticalMsg))
        g_sink->append(text);
    if (g_previousHandler)
        g_previousHandler(type, context, text);
}

} // namespace

QtMessages::QtMessages() : m_previous(g_current)
{
    g_current = this;
    g_sink = &m_messages;
    QtMessageHandler before = qInstallMessageHandler(collect);
    if (!m_previous)
        g_previousHandler = before;
}

QtMessages::~QtMessages()
{
    g_current = m_previous;
    g_sink = m_previous ? &m_previous->m_messages : nullptr;
    if (!m_previous)
        qInstallMessageHandler(g_previousHandler);
}

} // namespace vorta::testing
