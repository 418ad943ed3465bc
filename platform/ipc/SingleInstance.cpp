#include "platform/ipc/SingleInstance.h"
#include "platform/core/QtGuard.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTimer>

#include <cerrno>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace vorta::ipc {

namespace {

QString executableName()
{
    if (QCoreApplication::instance())
        return QFileInfo(QCoreApplication::applicationFilePath()).fileName();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).symLinkTarget()).fileName();
}

// An identity becomes one file name, whatever it contains.
QString fileNameFor(const QString& identity)
{
    QString name;
    for (const QChar c : identity)
        name += (c.isLetterOrNumber() || c == QLatin1Char('.') || c == QLatin1Char('-')) ? c : QLatin1Char('_');
    if (name.startsWith(QLatin1Char('.')))
        name.prepend(QLatin1Char('_'));
    return name;
}

// O_CLOEXEC throughout: a program the instance starts must not inherit the lock and
// keep it after the instance is gone.
int openFile(const QString& path)
{
    return ::open(QFile::encodeName(path).constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0600);
}

bool lock(int fd, int how)
{
    for (;;) {
        if (::flock(fd, how) == 0)
            return true;
        if (errno != EINTR)
            return false;
    }
}

WindowHandle readHandle(int fd)
{
    char text[32] = {};
    const ssize_t n = ::pread(fd, text, sizeof text - 1, 0);
    if (n <= 0)
        return 0;
    bool ok = false;
    const uint value = QByteArray(text, static_cast<int>(n)).trimmed().toUInt(&ok);
    return ok ? value : 0;
}

} // namespace

SingleInstance::SingleInstance(const QString& identity)
    : m_identity(identity.isEmpty() ? executableName() : identity), m_context(std::make_unique<QObject>())
{
    Messenger& messenger = Messenger::instance();
    m_activateMessage = messenger.registerWindowMessage(activateMessageName());
    const QString folder = messenger.runtimeFolder() + QStringLiteral("/instances");
    QDir().mkpath(folder);
    const QString base = folder + QLatin1Char('/') + fileNameFor(m_identity);

    // The gate orders starting instances: a later one reads the handle only after the
    // first has written it.
    const int gate = openFile(base + QStringLiteral(".gate"));
    if (gate >= 0)
        lock(gate, LOCK_EX);

    m_lockFd = openFile(base + QStringLiteral(".lock"));
    if (m_lockFd >= 0 && lock(m_lockFd, LOCK_EX | LOCK_NB)) {
        m_first = true;
        m_handle = messenger.allocateHandle(this);
        const QByteArray text = QByteArray::number(m_handle) + '\n';
        if (::ftruncate(m_lockFd, 0) != 0 || ::pwrite(m_lockFd, text.constData(), static_cast<size_t>(text.size()), 0) != text.size())
            qWarning("SingleInstance: cannot publish the window of %s", qPrintable(m_identity));
    } else if (m_lockFd >= 0) {
        m_previous = readHandle(m_lockFd);
        ::close(m_lockFd);
        m_lockFd = -1;
    } else {
        // Without a lock file nobody can be found; this instance runs as the first.
        m_first = true;
    }

    if (gate >= 0)
        ::close(gate); // closing drops the gate
}

SingleInstance::~SingleInstance()
{
    if (m_handle)
        Messenger::instance().releaseHandle(m_handle);
    if (m_lockFd >= 0)
        ::close(m_lockFd); // drops the lock; the file stays for the next instance
}

bool SingleInstance::activatePrevious()
{
    if (m_first || !m_previous || !m_activateMessage)
        return false;
    return Messenger::instance().sendMessage(m_previous, m_activateMessage, 0, 0) == 1;
}

void SingleInstance::windowProc(Message& message)
{
    if (message.msg != m_activateMessage) {
        message.result = 0;
        return;
    }
    message.result = 1;
    QTimer::singleShot(0, m_context.get(), [this] {
        if (onActivate)
            guardQt([this] { onActivate(); });
    });
}

} // namespace vorta::ipc
