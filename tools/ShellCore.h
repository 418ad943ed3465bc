#pragma once

#include "platform/ipc/WindowMessages.h"

#include <QObject>
#include <QString>

#include <cstdint>
#include <optional>

namespace vorta::shell {

// The shell's side of the module protocol: one window handle that modules address,
// the answer to their handshake, the record of their notifications, and the requests
// the shell makes of a module's main form.
class ShellCore : public QObject, public ipc::MessageTarget {
    Q_OBJECT
public:
    // fixedReply: the module number every handshake gets; without it the first
    // handshake gets 1, the next 2, and so on.
    explicit ShellCore(std::optional<std::int64_t> fixedReply = std::nullopt, QObject* parent = nullptr);
    ~ShellCore() override;

    ipc::WindowHandle handle() const { return m_handle; }

    std::uint32_t mainFormHandleMessage() const { return m_mainFormHandle; }
    std::uint32_t notifyMessage() const { return m_notify; }
    std::uint32_t modNotifyMessage() const { return m_modNotify; }

    // WM_VortaModNotify to a module's main form: 0 hide, 1 show, 2 show and activate
    // (answers the module's active form), 13 terminate.
    std::int64_t sendModNotify(ipc::WindowHandle mainForm, std::uint64_t wParam);
    bool postModNotify(ipc::WindowHandle mainForm, std::uint64_t wParam);
    std::int64_t send(ipc::WindowHandle to, std::uint32_t msg, std::uint64_t wParam, std::int64_t lParam);

    void windowProc(ipc::Message& message) override;

signals:
    // Emitted from the window procedure, before the module has its answer.
    void handshake(quint32 mainForm, qint64 appWindow, qint64 moduleNumber);
    void notified(quint64 wParam, qint64 lParam);

private:
    ipc::WindowHandle m_handle = 0;
    std::uint32_t m_mainFormHandle = 0;
    std::uint32_t m_notify = 0;
    std::uint32_t m_modNotify = 0;
    std::optional<std::int64_t> m_fixedReply;
    std::int64_t m_nextModule = 1;
};

// The transcript lines both modes use.
QString handshakeLine(quint32 mainForm, qint64 appWindow, qint64 moduleNumber);
QString notifyLine(quint64 wParam, qint64 lParam);
QString sentLine(quint64 wParam, qint64 result);

} // namespace vorta::shell
