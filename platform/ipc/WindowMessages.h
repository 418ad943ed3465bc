#pragma once

#include <QHash>
#include <QObject>
#include <QString>

#include <cstdint>
#include <exception>
#include <memory>

class QSocketNotifier;

namespace vorta::ipc {

// A window handle: a 32-bit number handed out here, valid across processes.
using WindowHandle = std::uint32_t;

struct Message {
    std::uint32_t msg = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
    std::int64_t result = 0;
};

// Something with a window procedure.
class MessageTarget {
public:
    virtual ~MessageTarget();
    virtual void windowProc(Message& message) = 0;
};

constexpr std::uint32_t WM_SETTINGCHANGE = 0x001A;
constexpr std::uint64_t SPI_SETWORKAREA = 47;

// Window messages between the processes of one user, over Unix domain sockets under
// $XDG_RUNTIME_DIR. A send waits for the reply (serving requests that arrive meanwhile)
// and gives up after a time-out, answering 0; a post returns at once.
class Messenger : public QObject {
    Q_OBJECT
public:
    static Messenger& instance();
    ~Messenger() override;

    // The same name gives the same number in every process (0xC000 and up).
    std::uint32_t registerWindowMessage(const QString& name);

    WindowHandle allocateHandle(MessageTarget* target);
    void releaseHandle(WindowHandle handle);
    MessageTarget* target(WindowHandle handle) const;
    // True when some process (this one included) answers for handle.
    bool isWindow(WindowHandle handle) const;

    std::int64_t sendMessage(WindowHandle to, std::uint32_t msg, std::uint64_t wParam, std::int64_t lParam);
    bool postMessage(WindowHandle to, std::uint32_t msg, std::uint64_t wParam, std::int64_t lParam);

    int sendTimeoutMs() const { return m_timeoutMs; }
    void setSendTimeoutMs(int ms) { m_timeoutMs = ms; }

    // Folder of the sockets and handle files.
    QString runtimeFolder() const { return m_folder; }

    // Withdraws this process's socket and handle files from the folder; done at
    // normal exit, after which nothing can reach this process.
    void removePublished();

private:
    Messenger();
    bool ensureListening();
    void serveConnection(int fd);
    void onIncoming();
    // deferred: where a remote request's exception waits until the reply is out;
    // without it the exception is reported at once.
    std::int64_t dispatch(WindowHandle to, Message& message, std::exception_ptr* deferred);
    void queuePost(WindowHandle to, Message message);
    QString handleFile(WindowHandle handle) const;

    QString m_folder;
    QString m_socketPath;
    int m_listenFd = -1;
    QSocketNotifier* m_notifier = nullptr;
    QHash<WindowHandle, MessageTarget*> m_targets;
    int m_timeoutMs = 5000;
};

} // namespace vorta::ipc
