#include "platform/ipc/WindowMessages.h"

#include "platform/core/Exceptions.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QPointer>
#include <QRandomGenerator>
#include <QSocketNotifier>
#include <QStandardPaths>
#include <QTimer>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace vorta::ipc {

MessageTarget::~MessageTarget() = default;

namespace {

enum FrameKind : std::uint32_t { kSend = 1, kPost = 2, kReply = 3 };
constexpr std::uint32_t kMagic = 0x564D5347; // "VMSG"
constexpr size_t kFrameSize = 4 * 4 + 8 * 3;

struct Frame {
    std::uint32_t kind = 0;
    WindowHandle target = 0;
    Message message;
};

void put32(unsigned char* p, std::uint32_t v) { std::memcpy(p, &v, 4); }
void put64(unsigned char* p, std::uint64_t v) { std::memcpy(p, &v, 8); }
std::uint32_t get32(const unsigned char* p) { std::uint32_t v; std::memcpy(&v, p, 4); return v; }
std::uint64_t get64(const unsigned char* p) { std::uint64_t v; std::memcpy(&v, p, 8); return v; }

void encode(const Frame& f, unsigned char* b)
{
    put32(b, kMagic);
    put32(b + 4, f.kind);
    put32(b + 8, f.target);
    put32(b + 12, f.message.msg);
    put64(b + 16, f.message.wParam);
    put64(b + 24, static_cast<std::uint64_t>(f.message.lParam));
    put64(b + 32, static_cast<std::uint64_t>(f.message.result));
}

bool decode(const unsigned char* b, Frame& f)
{
    if (get32(b) != kMagic)
        return false;
    f.kind = get32(b + 4);
    f.target = get32(b + 8);
    f.message.msg = get32(b + 12);
    f.message.wParam = get64(b + 16);
    f.message.lParam = static_cast<std::int64_t>(get64(b + 24));
    f.message.result = static_cast<std::int64_t>(get64(b + 32));
    return true;
}

using Clock = std::chrono::steady_clock;

int remainingMs(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

// Reads exactly one frame before the deadline.
bool readFrame(int fd, Frame& f, Clock::time_point deadline)
{
    unsigned char buffer[kFrameSize];
    size_t got = 0;
    while (got < kFrameSize) {
        pollfd p{fd, POLLIN, 0};
        const int r = ::poll(&p, 1, remainingMs(deadline));
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            return false;
        const ssize_t n = ::read(fd, buffer + got, kFrameSize - got);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        got += static_cast<size_t>(n);
    }
    return decode(buffer, f);
}

bool writeFrame(int fd, const Frame& f, Clock::time_point deadline)
{
    unsigned char buffer[kFrameSize];
    encode(f, buffer);
    size_t sent = 0;
    while (sent < kFrameSize) {
        const ssize_t n = ::send(fd, buffer + sent, kFrameSize - sent, MSG_NOSIGNAL);
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && (errno == EAGAIN || errno == EWOULDBLOCK)) {
            pollfd p{fd, POLLOUT, 0};
            const int r = ::poll(&p, 1, remainingMs(deadline));
            if (r == 0 || (r < 0 && errno != EINTR))
                return false;
            continue;
        }
        if (n <= 0)
            return false;
        sent += static_cast<size_t>(n);
    }
    return true;
}

bool socketAddress(const QString& path, sockaddr_un& addr)
{
    const QByteArray p = QFile::encodeName(path);
    addr = sockaddr_un{};
    if (p.isEmpty() || static_cast<size_t>(p.size()) >= sizeof(addr.sun_path))
        return false;
    addr.sun_family = AF_UNIX;
    std::memcpy(addr.sun_path, p.constData(), static_cast<size_t>(p.size()));
    return true;
}

// Non-blocking: a peer whose backlog is full (it stopped serving) fails at once
// instead of blocking the caller without a time-out.
int connectTo(const QString& path)
{
    sockaddr_un addr;
    if (!socketAddress(path, addr))
        return -1;
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (fd < 0)
        return -1;
    if (::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

QString defaultFolder()
{
    QString base = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (base.isEmpty() || !QFileInfo(base).isDir())
        base = QDir::tempPath() + QStringLiteral("/vorta-%1").arg(::getuid());
    return base + QStringLiteral("/vorta-ipc");
}

// A window procedure's exception goes where the application's stray exceptions go.
void reportException(std::exception_ptr error)
{
    if (!error)
        return;
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        handleStrayException(e);
    } catch (...) {
        qWarning("Unknown exception in a window procedure");
    }
}

Messenger* g_messenger = nullptr;

// The messenger is never destroyed (it must outlive every form), so its socket and
// handle files go when the process ends normally.
void removePublishedAtExit()
{
    if (g_messenger)
        g_messenger->removePublished();
}

} // namespace

Messenger& Messenger::instance()
{
    static Messenger* messenger = [] {
        g_messenger = new Messenger; // lives to the end of the process
        std::atexit(removePublishedAtExit);
        return g_messenger;
    }();
    return *messenger;
}

Messenger::Messenger()
{
    m_folder = defaultFolder();
    QDir().mkpath(m_folder + QStringLiteral("/h"));
    QFile::setPermissions(m_folder, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    bool ok = false;
    const int timeout = qEnvironmentVariableIntValue("VORTA_IPC_TIMEOUT_MS", &ok);
    if (ok && timeout > 0)
        m_timeoutMs = timeout;
}

Messenger::~Messenger()
{
    removePublished();
    delete m_notifier;
    if (m_listenFd >= 0)
        ::close(m_listenFd);
}

void Messenger::removePublished()
{
    // Files only: at exit Qt may already be gone, so the socket and notifier stay.
    for (auto it = m_targets.cbegin(); it != m_targets.cend(); ++it)
        ::unlink(QFile::encodeName(handleFile(it.key())).constData());
    if (!m_socketPath.isEmpty())
        ::unlink(QFile::encodeName(m_socketPath).constData());
}

std::uint32_t Messenger::registerWindowMessage(const QString& name)
{
    // One shared list of names, under a lock: the line number is the message.
    const QString path = m_folder + QStringLiteral("/messages");
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
    if (fd < 0)
        return 0;
    while (::flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    QByteArray all;
    char chunk[4096];
    ssize_t n;
    while ((n = ::read(fd, chunk, sizeof chunk)) > 0)
        all.append(chunk, static_cast<int>(n));
    const QList<QByteArray> lines = all.split('\n');
    std::uint32_t index = 0;
    bool found = false;
    for (const QByteArray& line : lines) {
        if (line.isEmpty())
            continue;
        if (QString::fromUtf8(line).compare(name, Qt::CaseInsensitive) == 0) {
            found = true;
            break;
        }
        ++index;
    }
    bool ok = found;
    if (!found && !name.isEmpty() && !name.contains(QLatin1Char('\n')) && index < 0x4000) {
        const QByteArray line = name.toUtf8() + '\n';
        ok = ::write(fd, line.constData(), static_cast<size_t>(line.size())) == line.size();
    }
    ::flock(fd, LOCK_UN);
    ::close(fd);
    // 0 is the failure answer: the name could not be registered.
    return ok ? 0xC000u + index : 0;
}

QString Messenger::handleFile(WindowHandle handle) const
{
    return m_folder + QStringLiteral("/h/") + QString::number(handle);
}

bool Messenger::ensureListening()
{
    if (m_listenFd < 0) {
        // A random part keeps processes of other pid namespaces sharing the folder
        // from taking each other's socket.
        const QString path = m_folder + QStringLiteral("/p%1-%2.sock")
                                            .arg(::getpid())
                                            .arg(QRandomGenerator::global()->generate(), 8, 16, QLatin1Char('0'));
        sockaddr_un addr;
        if (!socketAddress(path, addr))
            return false;
        ::unlink(addr.sun_path);
        const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
        if (fd < 0 || ::bind(fd, reinterpret_cast<sockaddr*>(&addr), sizeof(addr)) != 0 || ::listen(fd, 64) != 0) {
            if (fd >= 0)
                ::close(fd);
            return false;
        }
        m_socketPath = path;
        m_listenFd = fd;
    }
    // The notifier needs the application object, which may come after the first handle.
    if (!m_notifier && QCoreApplication::instance()) {
        m_notifier = new QSocketNotifier(m_listenFd, QSocketNotifier::Read, this);
        connect(m_notifier, &QSocketNotifier::activated, this, &Messenger::onIncoming);
    }
    return true;
}

WindowHandle Messenger::allocateHandle(MessageTarget* target)
{
    if (!target || !ensureListening())
        return 0;
    const QByteArray socket = QFile::encodeName(m_socketPath);
    for (;;) {
        const WindowHandle h = 0x10000u + QRandomGenerator::global()->bounded(0x7FFF0000u);
        if (m_targets.contains(h))
            continue;
        const int fd = ::open(QFile::encodeName(handleFile(h)).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
        if (fd < 0) {
            if (errno == EEXIST) {
                // A handle file whose process is gone may be taken over.
                QFile stale(handleFile(h));
                if (stale.open(QIODevice::ReadOnly)) {
                    const QString path = QFile::decodeName(stale.readAll());
                    const int probe = connectTo(path);
                    if (probe >= 0) {
                        ::close(probe);
                        continue;
                    }
                    QFile::remove(handleFile(h));
                }
                continue;
            }
            return 0;
        }
        const bool written = ::write(fd, socket.constData(), static_cast<size_t>(socket.size())) == socket.size();
        ::close(fd);
        if (!written)
            return 0;
        m_targets.insert(h, target);
        return h;
    }
}

void Messenger::releaseHandle(WindowHandle handle)
{
    if (m_targets.remove(handle))
        QFile::remove(handleFile(handle));
}

MessageTarget* Messenger::target(WindowHandle handle) const
{
    return m_targets.value(handle, nullptr);
}

bool Messenger::isWindow(WindowHandle handle) const
{
    if (m_targets.contains(handle))
        return true;
    QFile file(handleFile(handle));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const int fd = connectTo(QFile::decodeName(file.readAll()));
    if (fd < 0)
        return false;
    ::close(fd);
    return true;
}

std::int64_t Messenger::dispatch(WindowHandle to, Message& message, std::exception_ptr* deferred)
{
    MessageTarget* t = target(to);
    if (!t)
        return 0;
    message.result = 0;
    // As a window procedure of the class library: an exception ends the handler, the
    // caller gets the result so far, and the application reports it.
    try {
        t->windowProc(message);
    } catch (...) {
        if (deferred)
            *deferred = std::current_exception();
        else
            reportException(std::current_exception());
    }
    return message.result;
}

void Messenger::queuePost(WindowHandle to, Message message)
{
    QTimer::singleShot(0, this, [this, to, message]() mutable { dispatch(to, message, nullptr); });
}

void Messenger::serveConnection(int fd)
{
    Frame frame;
    if (!readFrame(fd, frame, Clock::now() + std::chrono::milliseconds(m_timeoutMs))) {
        ::close(fd);
        return;
    }
    if (frame.kind == kPost) {
        ::close(fd);
        queuePost(frame.target, frame.message);
        return;
    }
    if (frame.kind != kSend) {
        ::close(fd);
        return;
    }
    Frame reply;
    reply.kind = kReply;
    reply.target = frame.target;
    reply.message = frame.message;
    std::exception_ptr error;
    reply.message.result = dispatch(frame.target, reply.message, &error);
    writeFrame(fd, reply, Clock::now() + std::chrono::milliseconds(m_timeoutMs));
    ::close(fd);
    // Reported only after the reply went back: the report may show a dialog.
    reportException(error);
}

void Messenger::onIncoming()
{
    for (;;) {
        const int fd = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0)
            return;
        serveConnection(fd);
    }
}

std::int64_t Messenger::sendMessage(WindowHandle to, std::uint32_t msg, std::uint64_t wParam, std::int64_t lParam)
{
    Message message{msg, wParam, lParam, 0};
    if (m_targets.contains(to))
        return dispatch(to, message, nullptr);
    QFile file(handleFile(to));
    if (!file.open(QIODevice::ReadOnly))
        return 0;
    const int fd = connectTo(QFile::decodeName(file.readAll()));
    if (fd < 0)
        return 0;
    const auto deadline = Clock::now() + std::chrono::milliseconds(m_timeoutMs);
    Frame frame{kSend, to, message};
    if (!writeFrame(fd, frame, deadline)) {
        ::close(fd);
        return 0;
    }
    // While waiting, requests sent to us are served (the other side may call back).
    std::int64_t result = 0;
    for (;;) {
        pollfd fds[2] = {{fd, POLLIN, 0}, {m_listenFd, POLLIN, 0}};
        const int count = m_listenFd >= 0 ? 2 : 1;
        const int left = remainingMs(deadline);
        if (left == 0)
            break;
        const int r = ::poll(fds, static_cast<nfds_t>(count), left);
        if (r < 0 && errno == EINTR)
            continue;
        if (r <= 0)
            break;
        // The reply first: a request the other side made after answering must reach
        // us after our send has returned, not inside it.
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            Frame reply;
            if (readFrame(fd, reply, deadline) && reply.kind == kReply)
                result = reply.message.result;
            break;
        }
        if (count == 2 && (fds[1].revents & POLLIN)) {
            const int in = ::accept4(m_listenFd, nullptr, nullptr, SOCK_CLOEXEC);
            if (in >= 0)
                serveConnection(in);
        }
    }
    ::close(fd);
    return result;
}

bool Messenger::postMessage(WindowHandle to, std::uint32_t msg, std::uint64_t wParam, std::int64_t lParam)
{
    Message message{msg, wParam, lParam, 0};
    if (m_targets.contains(to)) {
        queuePost(to, message);
        return true;
    }
    QFile file(handleFile(to));
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const int fd = connectTo(QFile::decodeName(file.readAll()));
    if (fd < 0)
        return false;
    const bool ok = writeFrame(fd, Frame{kPost, to, message}, Clock::now() + std::chrono::milliseconds(m_timeoutMs));
    ::close(fd);
    return ok;
}

} // namespace vorta::ipc
