#pragma once

#include "platform/ipc/WindowMessages.h"

#include <QObject>
#include <QString>

#include <functional>
#include <memory>

namespace vorta::ipc {

// One running instance per program and user. The first instance of an identity holds
// a lock file under the messenger's folder for as long as it lives; the lock belongs
// to the process, so the system drops it when the process ends in any way and a
// crashed instance never keeps a new one out. The first instance publishes a window
// handle in the lock file, through which a later instance asks it to come forward
// (registered message "VortaSingleInstanceActivate").
class SingleInstance : private MessageTarget {
public:
    // identity: the program's name for this purpose; empty means the running
    // executable's file name. Settles at once whether this instance is the first.
    explicit SingleInstance(const QString& identity = QString());
    ~SingleInstance() override;
    SingleInstance(const SingleInstance&) = delete;
    SingleInstance& operator=(const SingleInstance&) = delete;

    const QString& identity() const { return m_identity; }
    bool isFirst() const { return m_first; }
    bool alreadyRunning() const { return !m_first; }

    // For a later instance: asks the first one to come forward. True when it
    // answered; false for the first instance itself, or when the first one does not
    // answer within the messenger's time-out.
    bool activatePrevious();

    // For the first instance: runs once per request to come forward, from the event
    // loop after the asking instance has had its answer (so it never waits on what
    // this does).
    std::function<void()> onActivate;

    // The window handle the first instance published (0 when none could be read).
    WindowHandle previousHandle() const { return m_previous; }

    // The message name a later instance sends.
    static QString activateMessageName() { return QStringLiteral("VortaSingleInstanceActivate"); }

private:
    void windowProc(Message& message) override;

    QString m_identity;
    int m_lockFd = -1;
    bool m_first = false;
    WindowHandle m_handle = 0;
    WindowHandle m_previous = 0;
    std::uint32_t m_activateMessage = 0;
    // Context of the queued callbacks: they die with this object.
    std::unique_ptr<QObject> m_context;
};

} // namespace vorta::ipc
