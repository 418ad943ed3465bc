#include "testing/ShellProcess.h"

#include <QCoreApplication>
#include <QDir>
#include <QEventLoop>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QTimer>

namespace vorta::testing {

namespace {
// Names the folder a TemporaryRuntimeFolder made, for the test programs it starts.
const char kMarker[] = "VORTA_TEST_RUNTIME_DIR";

void restore(const char* name, bool had, const QByteArray& value)
{
    if (had)
        qputenv(name, value);
    else
        qunsetenv(name);
}
} // namespace

TemporaryRuntimeFolder::TemporaryRuntimeFolder()
{
    m_hadPrevious = qEnvironmentVariableIsSet("XDG_RUNTIME_DIR");
    m_previous = qgetenv("XDG_RUNTIME_DIR");
    m_hadMarker = qEnvironmentVariableIsSet(kMarker);
    m_previousMarker = qgetenv(kMarker);
    // Both set alike only when a test started us.
    if (m_hadMarker && !m_previousMarker.isEmpty() && m_previousMarker == m_previous
        && QFileInfo(QFile::decodeName(m_previous)).isDir()) {
        m_path = QFile::decodeName(m_previous);
        return;
    }
    m_dir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/vorta-rt-XXXXXX"));
    m_path = m_dir->path();
    QFile::setPermissions(m_path, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    qputenv("XDG_RUNTIME_DIR", QFile::encodeName(m_path));
    qputenv(kMarker, QFile::encodeName(m_path));
}

TemporaryRuntimeFolder::~TemporaryRuntimeFolder()
{
    if (!m_dir)
        return;
    restore("XDG_RUNTIME_DIR", m_hadPrevious, m_previous);
    restore(kMarker, m_hadMarker, m_previousMarker);
}

LineProcess::LineProcess(QObject* parent) : QObject(parent), m_process(new QProcess(this))
{
    connect(m_process, &QProcess::readyReadStandardOutput, this, &LineProcess::readOutput);
    connect(m_process, &QProcess::readyReadStandardError, this, &LineProcess::readError);
    connect(m_process, &QProcess::finished, this, [this] {
        readOutput();
        readError();
        finishPartialLine();
        m_finished = true;
        emit changed();
    });
    connect(m_process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
        if (error == QProcess::FailedToStart)
            m_finished = true;
        emit changed();
    });
}

LineProcess::~LineProcess()
{
    if (m_process->state() != QProcess::NotRunning) {
        m_process->kill();
        m_process->waitForFinished(5000);
    }
}

bool LineProcess::start(const QString& program, const QStringList& arguments, const QProcessEnvironment& environment)
{
    m_lines.clear();
    m_taken.clear();
    m_partial.clear();
    m_error.clear();
    m_finished = false;
    m_process->setProcessEnvironment(environment);
    m_process->start(program, arguments);
    if (!m_process->waitForStarted(10000)) {
        m_finished = true;
        return false;
    }
    m_pid = m_process->processId();
    return true;
}

void LineProcess::readOutput()
{
    m_partial += m_process->readAllStandardOutput();
    bool any = false;
    for (qsizetype eol; (eol = m_partial.indexOf('\n')) >= 0;) {
        QByteArray line = m_partial.left(eol);
        if (line.endsWith('\r'))
            line.chop(1);
        m_lines.append(QString::fromUtf8(line));
        m_taken.append(false);
        m_partial.remove(0, eol + 1);
        any = true;
    }
    if (any)
        emit changed();
}

void LineProcess::readError()
{
    const QByteArray more = m_process->readAllStandardError();
    if (!more.isEmpty()) {
        m_error += more;
        emit changed();
    }
}

void LineProcess::finishPartialLine()
{
    if (m_partial.isEmpty())
        return;
    m_lines.append(QString::fromUtf8(m_partial));
    m_taken.append(false);
    m_partial.clear();
}

void LineProcess::poke()
{
    emit changed();
}

bool LineProcess::waitFor(const std::function<bool()>& condition, int timeoutMs)
{
    if (condition())
        return true;
    QEventLoop loop;
    bool met = false;
    QTimer timer;
    timer.setSingleShot(true);
    connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    const auto check = connect(this, &LineProcess::changed, &loop, [&] {
        if (condition()) {
            met = true;
            loop.quit();
        }
    });
    timer.start(std::max(0, timeoutMs));
    loop.exec();
    disconnect(check);
    return met || condition();
}

bool LineProcess::waitForLine(const QString& prefix, int timeoutMs)
{
    qsizetype found = -1;
    auto look = [&] {
        for (qsizetype i = 0; i < m_lines.size(); ++i) {
            if (!m_taken[i] && m_lines[i].startsWith(prefix)) {
                found = i;
                return true;
            }
        }
        return false;
    };
    // The process's end settles it too, but only after its last lines are read.
    const bool ok = waitFor([&] { return look() || m_finished; }, timeoutMs) && found >= 0;
    if (!ok)
        return false;
    m_taken[found] = true;
    m_matched = m_lines[found];
    m_matchedRest = m_matched.mid(prefix.size()).trimmed();
    return true;
}

QString LineProcess::transcript() const
{
    QString text = QStringLiteral("--- output:\n") + m_lines.join(QLatin1Char('\n'));
    if (!m_partial.isEmpty())
        text += QLatin1Char('\n') + QString::fromUtf8(m_partial);
    text += QStringLiteral("\n--- errors:\n") + errorOutput();
    return text;
}

bool LineProcess::waitForFinished(int timeoutMs)
{
    return waitFor([this] { return m_finished; }, timeoutMs);
}

bool LineProcess::isRunning() const
{
    return !m_finished && m_process->state() != QProcess::NotRunning;
}

int LineProcess::exitCode() const
{
    if (!m_finished || m_process->exitStatus() != QProcess::NormalExit || m_process->error() == QProcess::FailedToStart)
        return -1;
    return m_process->exitCode();
}

bool LineProcess::crashed() const
{
    return m_finished && m_process->exitStatus() == QProcess::CrashExit;
}

void LineProcess::closeInput()
{
    m_process->closeWriteChannel();
}

void LineProcess::kill()
{
    if (m_process->state() != QProcess::NotRunning)
        m_process->kill();
}

bool waitForFile(const QString& path, int timeoutMs)
{
    // Watching before looking: a file made in between is seen either way.
    QFileSystemWatcher watcher({QFileInfo(path).absolutePath()});
    if (QFile::exists(path))
        return true;
    QEventLoop loop;
    QTimer timer;
    timer.setSingleShot(true);
    QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
    QObject::connect(&watcher, &QFileSystemWatcher::directoryChanged, &loop, [&] {
        if (QFile::exists(path))
            loop.quit();
    });
    timer.start(std::max(0, timeoutMs));
    loop.exec();
    return QFile::exists(path);
}

ShellProcess::ShellProcess(QObject* parent) : LineProcess(parent)
{
}

QString ShellProcess::program()
{
    QString dir = qEnvironmentVariable("VORTA_BIN_DIR");
    if (dir.isEmpty())
        dir = QCoreApplication::applicationDirPath();
    return QDir(dir).filePath(QStringLiteral("vorta-shell"));
}

QProcessEnvironment ShellProcess::environment()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    // The messenger's folder is <XDG_RUNTIME_DIR>/vorta-ipc; hand the shell the same
    // base even when this process fell back to a folder of its own.
    const QString folder = ipc::Messenger::instance().runtimeFolder();
    env.insert(QStringLiteral("XDG_RUNTIME_DIR"), QFileInfo(folder).path());
    return env;
}

bool ShellProcess::start(const QString& script, const QStringList& options, int timeoutMs)
{
    m_handle.clear();
    QStringList arguments{QStringLiteral("--script"), script};
    arguments += options;
    if (!LineProcess::start(program(), arguments, environment()))
        return false;
    if (!waitForLine(QStringLiteral("shell "), timeoutMs))
        return false;
    m_handle = matchedRest();
    return !m_handle.isEmpty() && windowHandle() != 0;
}

} // namespace vorta::testing
