#include "ShellCore.h"

namespace vorta::shell {

ShellCore::ShellCore(std::optional<std::int64_t> fixedReply, QObject* parent)
    : QObject(parent), m_fixedReply(fixedReply)
{
    auto& messenger = ipc::Messenger::instance();
    m_notify = messenger.registerWindowMessage(QStringLiteral("WM_VortaNotify"));
    m_mainFormHandle = messenger.registerWindowMessage(QStringLiteral("WM_VortaModMainFormHandle"));
    m_modNotify = messenger.registerWindowMessage(QStringLiteral("WM_VortaModNotify"));
    m_handle = messenger.allocateHandle(this);
}

ShellCore::~ShellCore()
{
    if (m_handle)
        ipc::Messenger::instance().releaseHandle(m_handle);
}

std::int64_t ShellCore::sendModNotify(ipc::WindowHandle mainForm, std::uint64_t wParam)
{
    return send(mainForm, m_modNotify, wParam, 0);
}

bool ShellCore::postModNotify(ipc::WindowHandle mainForm, std::uint64_t wParam)
{
    return ipc::Messenger::instance().postMessage(mainForm, m_modNotify, wParam, 0);
}

std::int64_t ShellCore::send(ipc::WindowHandle to, std::uint32_t msg, std::uint64_t wParam, std::int64_t lParam)
{
    return ipc::Messenger::instance().sendMessage(to, msg, wParam, lParam);
}

void ShellCore::windowProc(ipc::Message& message)
{
    message.result = 0;
    if (message.msg == 0)
        return;
    if (message.msg == m_mainFormHandle) {
        const std::int64_t number = m_fixedReply ? *m_fixedReply : m_nextModule++;
        message.result = number;
        emit handshake(static_cast<quint32>(message.wParam), message.lParam, number);
    } else if (message.msg == m_notify) {
        message.result = 1;
        emit notified(message.wParam, message.lParam);
    }
}

QString handshakeLine(quint32 mainForm, qint64 appWindow, qint64 moduleNumber)
{
    return QStringLiteral("handshake main=%1 app=%2 -> %3").arg(mainForm).arg(appWindow).arg(moduleNumber);
}

QString notifyLine(quint64 wParam, qint64 lParam)
{
    return QStringLiteral("notify %1 %2").arg(wParam).arg(lParam);
}

QString sentLine(quint64 wParam, qint64 result)
{
    return QStringLiteral("sent %1 -> %2").arg(wParam).arg(result);
}

} // namespace vorta::shell
