#pragma once

#include "ShellCore.h"

#include <QList>
#include <QObject>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTimer>

#include <optional>

namespace vorta::shell {

// One command of a script ("send 2", "wait-notify 1", ...).
struct ScriptCommand {
    enum Kind { WaitHandshake, WaitNotify, WaitExit, Send, SendMsg, Post, Quit };
    Kind kind = Quit;
    std::uint32_t msg = 0;
    std::uint64_t wParam = 0;
    std::int64_t lParam = 0;
};

// Parses "CMD;CMD;..."; on a fault returns nothing and says why in error.
std::optional<QList<ScriptCommand>> parseScript(const QString& text, QString* error);

// Scripted mode: prints one line per event on standard output (flushed at once),
// runs an optional program as the module, and works through the script. Each wait
// takes the earliest event of its kind that no earlier wait took, so events that
// came before the wait count; a wait that runs out ends the shell with exit code 1.
class ScriptRunner : public QObject {
    Q_OBJECT
public:
    struct Options {
        QList<ScriptCommand> commands;
        int timeoutMs = 10000;
        int offset = 80;
        QString program;             // empty: no program, the shell only serves
        std::optional<QStringList> arguments; // {handle} and {offset} are filled in
    };

    ScriptRunner(ShellCore& core, Options options, QObject* parent = nullptr);
    ~ScriptRunner() override;

    // Prints the shell's line, starts the program and begins the script.
    void start();

signals:
    void finished(int exitCode);

private:
    struct Notification {
        quint64 wParam;
        qint64 lParam;
        bool taken = false;
    };
    enum class Wait { None, Handshake, Notify, Exit };

    void emitLine(const QString& line);
    void scheduleStep();
    void step();
    bool satisfy();
    void finish(int exitCode);
    void onHandshake(quint32 mainForm, qint64 appWindow, qint64 number);
    void onNotified(quint64 wParam, qint64 lParam);
    void onProgramFinished(int exitCode, QProcess::ExitStatus status);

    ShellCore& m_core;
    Options m_options;
    qsizetype m_next = 0;
    Wait m_wait = Wait::None;
    quint64 m_waitW = 0;
    QTimer m_timer;
    bool m_stepQueued = false;
    bool m_done = false;

    int m_handshakes = 0;
    int m_handshakesTaken = 0;
    ipc::WindowHandle m_mainForm = 0;
    QList<Notification> m_notifications;
    QProcess* m_program = nullptr;
    bool m_programEnded = false;
};

} // namespace vorta::shell
