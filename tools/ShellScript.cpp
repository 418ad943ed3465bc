#include "ShellScript.h"

#include <cstdio>

namespace vorta::shell {

namespace {

bool toUnsigned(const QString& text, std::uint64_t& value)
{
    bool ok = false;
    value = text.toULongLong(&ok, 0);
    return ok;
}

bool toSigned(const QString& text, std::int64_t& value)
{
    bool ok = false;
    value = text.toLongLong(&ok, 0);
    return ok;
}

} // namespace

std::optional<QList<ScriptCommand>> parseScript(const QString& text, QString* error)
{
    QList<ScriptCommand> commands;
    const QStringList parts = text.split(QLatin1Char(';'));
    for (const QString& part : parts) {
        const QStringList words = part.simplified().split(QLatin1Char(' '), Qt::SkipEmptyParts);
        if (words.isEmpty())
            continue;
        const QString& name = words.first();
        ScriptCommand c;
        bool ok = true;
        auto arity = [&](int n) { ok = ok && words.size() == n + 1; };
        if (name == QLatin1String("wait-handshake")) {
            c.kind = ScriptCommand::WaitHandshake;
            arity(0);
        } else if (name == QLatin1String("wait-notify")) {
            c.kind = ScriptCommand::WaitNotify;
            arity(1);
            ok = ok && toUnsigned(words[1], c.wParam);
        } else if (name == QLatin1String("wait-exit")) {
            c.kind = ScriptCommand::WaitExit;
            arity(0);
        } else if (name == QLatin1String("send") || name == QLatin1String("post")) {
            c.kind = name == QLatin1String("send") ? ScriptCommand::Send : ScriptCommand::Post;
            arity(1);
            ok = ok && toUnsigned(words[1], c.wParam);
        } else if (name == QLatin1String("send-msg")) {
            c.kind = ScriptCommand::SendMsg;
            arity(3);
            std::uint64_t msg = 0;
            ok = ok && toUnsigned(words[1], msg) && msg <= 0xFFFFFFFFu && toUnsigned(words[2], c.wParam)
                 && toSigned(words[3], c.lParam);
            c.msg = static_cast<std::uint32_t>(msg);
        } else if (name == QLatin1String("quit")) {
            c.kind = ScriptCommand::Quit;
            arity(0);
        } else {
            if (error)
                *error = QStringLiteral("unknown script command \"%1\"").arg(part.trimmed());
            return std::nullopt;
        }
        if (!ok) {
            if (error)
                *error = QStringLiteral("bad arguments in \"%1\"").arg(part.trimmed());
            return std::nullopt;
        }
        commands.append(c);
    }
    return commands;
}

ScriptRunner::ScriptRunner(ShellCore& core, Options options, QObject* parent)
    : QObject(parent), m_core(core), m_options(std::move(options))
{
    m_timer.setSingleShot(true);
    connect(&m_timer, &QTimer::timeout, this, [this] {
        if (m_done || m_wait == Wait::None)
            return;
        QString what;
        switch (m_wait) {
        case Wait::Handshake:
            what = QStringLiteral("handshake");
            break;
        case Wait::Notify:
            what = QStringLiteral("notify %1").arg(m_waitW);
            break;
        case Wait::Exit:
            what = QStringLiteral("exit");
            break;
        case Wait::None:
            break;
        }
        emitLine(QStringLiteral("timeout ") + what);
        finish(1);
    });
    connect(&m_core, &ShellCore::handshake, this, &ScriptRunner::onHandshake);
    connect(&m_core, &ShellCore::notified, this, &ScriptRunner::onNotified);
}

ScriptRunner::~ScriptRunner()
{
    // A program still running when the shell ends goes with it.
    if (m_program && m_program->state() != QProcess::NotRunning) {
        m_program->disconnect(this);
        m_program->kill();
        m_program->waitForFinished(5000);
    }
}

void ScriptRunner::emitLine(const QString& line)
{
    std::fputs((line + QLatin1Char('\n')).toUtf8().constData(), stdout);
    std::fflush(stdout);
}

void ScriptRunner::start()
{
    emitLine(QStringLiteral("shell %1").arg(m_core.handle()));
    if (!m_options.program.isEmpty()) {
        const QString handle = QString::number(m_core.handle());
        const QString offset = QString::number(m_options.offset);
        QStringList arguments = m_options.arguments.value_or(QStringList{QStringLiteral("{handle}"), QStringLiteral("{offset}")});
        for (QString& a : arguments)
            a.replace(QLatin1String("{handle}"), handle).replace(QLatin1String("{offset}"), offset);
        m_program = new QProcess(this);
        // The module's own output goes to our standard error, so standard output
        // stays one event a line.
        m_program->setProcessChannelMode(QProcess::ForwardedErrorChannel);
        connect(m_program, &QProcess::readyReadStandardOutput, this, [this] {
            const QByteArray out = m_program->readAllStandardOutput();
            std::fwrite(out.constData(), 1, static_cast<size_t>(out.size()), stderr);
            std::fflush(stderr);
        });
        connect(m_program, &QProcess::finished, this, &ScriptRunner::onProgramFinished);
        m_program->start(m_options.program, arguments);
        if (!m_program->waitForStarted(m_options.timeoutMs)) {
            emitLine(QStringLiteral("start-failed %1").arg(m_program->errorString()));
            finish(1);
            return;
        }
        emitLine(QStringLiteral("started %1").arg(m_program->processId()));
    }
    scheduleStep();
}

void ScriptRunner::scheduleStep()
{
    // Always from the event loop: an event that ends a wait arrives inside a window
    // procedure, and the next command must not run before the module has its answer.
    if (m_stepQueued || m_done)
        return;
    m_stepQueued = true;
    QTimer::singleShot(0, this, [this] {
        m_stepQueued = false;
        step();
    });
}

bool ScriptRunner::satisfy()
{
    switch (m_wait) {
    case Wait::None:
        return true;
    case Wait::Handshake:
        if (m_handshakesTaken < m_handshakes) {
            ++m_handshakesTaken;
            return true;
        }
        return false;
    case Wait::Notify:
        for (Notification& n : m_notifications) {
            if (!n.taken && n.wParam == m_waitW) {
                n.taken = true;
                return true;
            }
        }
        return false;
    case Wait::Exit:
        return m_programEnded;
    }
    return false;
}

void ScriptRunner::step()
{
    while (!m_done) {
        if (m_wait != Wait::None) {
            if (!satisfy()) {
                // An event, or the time-out, brings us back.
                if (!m_timer.isActive())
                    m_timer.start(m_options.timeoutMs);
                return;
            }
            m_timer.stop();
            m_wait = Wait::None;
        }
        if (m_next >= m_options.commands.size()) {
            finish(0);
            return;
        }
        const ScriptCommand c = m_options.commands[m_next++];
        switch (c.kind) {
        case ScriptCommand::WaitHandshake:
            m_wait = Wait::Handshake;
            break;
        case ScriptCommand::WaitNotify:
            m_wait = Wait::Notify;
            m_waitW = c.wParam;
            break;
        case ScriptCommand::WaitExit:
            if (!m_program) {
                emitLine(QStringLiteral("error wait-exit: no program was started"));
                finish(1);
                return;
            }
            m_wait = Wait::Exit;
            break;
        case ScriptCommand::Send:
        case ScriptCommand::SendMsg:
        case ScriptCommand::Post: {
            if (!m_mainForm) {
                emitLine(QStringLiteral("error no main form: no handshake yet"));
                finish(1);
                return;
            }
            if (c.kind == ScriptCommand::Send) {
                emitLine(sentLine(c.wParam, m_core.sendModNotify(m_mainForm, c.wParam)));
            } else if (c.kind == ScriptCommand::SendMsg) {
                const auto result = m_core.send(m_mainForm, c.msg, c.wParam, c.lParam);
                emitLine(QStringLiteral("sent-msg %1 %2 %3 -> %4").arg(c.msg).arg(c.wParam).arg(c.lParam).arg(result));
            } else {
                emitLine(QStringLiteral("posted %1 -> %2").arg(c.wParam).arg(m_core.postModNotify(m_mainForm, c.wParam) ? 1 : 0));
            }
            break;
        }
        case ScriptCommand::Quit:
            finish(0);
            return;
        }
    }
}

void ScriptRunner::finish(int exitCode)
{
    if (m_done)
        return;
    m_done = true;
    m_timer.stop();
    emit finished(exitCode);
}

void ScriptRunner::onHandshake(quint32 mainForm, qint64 appWindow, qint64 number)
{
    emitLine(handshakeLine(mainForm, appWindow, number));
    m_mainForm = mainForm;
    ++m_handshakes;
    if (m_wait == Wait::Handshake)
        scheduleStep();
}

void ScriptRunner::onNotified(quint64 wParam, qint64 lParam)
{
    emitLine(notifyLine(wParam, lParam));
    m_notifications.append({wParam, lParam});
    if (m_wait == Wait::Notify)
        scheduleStep();
}

void ScriptRunner::onProgramFinished(int exitCode, QProcess::ExitStatus status)
{
    emitLine(status == QProcess::NormalExit ? QStringLiteral("exited %1").arg(exitCode) : QStringLiteral("crashed"));
    m_programEnded = true;
    if (m_wait == Wait::Exit)
        scheduleStep();
}

} // namespace vorta::shell
