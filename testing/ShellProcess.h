#pragma once

#include "platform/ipc/WindowMessages.h"

#include <QByteArray>
#include <QObject>
#include <QProcess>
#include <QProcessEnvironment>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

#include <functional>
#include <memory>

namespace vorta::testing {

// Points this process's messenger, and every child started afterwards, at a fresh
// folder of its own, so tests neither see nor leave files in the user's runtime
// folder. Create it before anything in the process touches ipc::Messenger; the
// messenger reads the folder once. A test program that a test started (to play a
// second process) finds its parent's folder in force and shares it: the two must
// meet there.
class TemporaryRuntimeFolder {
public:
    TemporaryRuntimeFolder();
    ~TemporaryRuntimeFolder();
    QString path() const { return m_path; }
    // False when the folder is a parent test's, shared rather than made here.
    bool ownsFolder() const { return m_dir != nullptr; }

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString m_path;
    QByteArray m_previous;
    QByteArray m_previousMarker;
    bool m_hadPrevious = false;
    bool m_hadMarker = false;
};

// A child process that speaks in lines on its standard output. Every wait runs the
// caller's event loop, so the calling process keeps serving window messages (and
// timers, posted calls) while it waits; nothing sleeps.
//
// Lines are taken, not just seen: each waitForLine() takes the earliest line with the
// prefix that no earlier wait took. So waiting twice for "notify 1" needs two such
// lines, and lines that arrived before the wait began count.
class LineProcess : public QObject {
    Q_OBJECT
public:
    explicit LineProcess(QObject* parent = nullptr);
    // A process still running is killed and reaped.
    ~LineProcess() override;

    // Starts program; false (with errorString()) when it cannot be started.
    bool start(const QString& program, const QStringList& arguments,
               const QProcessEnvironment& environment = QProcessEnvironment::systemEnvironment());

    // Takes the earliest untaken output line that begins with prefix, waiting up to
    // timeoutMs for it. False on time-out, or when the process ended without one.
    bool waitForLine(const QString& prefix, int timeoutMs);
    // The whole line that the last successful waitForLine() took.
    QString matchedLine() const { return m_matched; }
    // The part of matchedLine() after its prefix, trimmed ("sent 2 -> 7" for prefix
    // "sent 2 -> " gives "7").
    QString matchedRest() const { return m_matchedRest; }

    // Every complete output line so far, in order (taken or not).
    QStringList lines() const { return m_lines; }
    // Everything written to standard error so far.
    QString errorOutput() const { return QString::fromUtf8(m_error); }
    // Output lines and standard error together, for failure messages.
    QString transcript() const;

    // Runs the event loop until condition() holds (checked after every event of the
    // process and once at the start) or timeoutMs pass. For conditions of the
    // caller's own, pass a notify hook: calling it re-checks at once.
    bool waitFor(const std::function<bool()>& condition, int timeoutMs);
    // Call from anywhere (a window procedure of the test, say) to make a waitFor
    // re-check its condition.
    void poke();

    bool waitForFinished(int timeoutMs);
    bool isRunning() const;
    // The exit code once the process has ended normally; -1 while it runs or when it
    // crashed (see crashed()).
    int exitCode() const;
    bool crashed() const;
    qint64 pid() const { return m_pid; }
    QString errorString() const { return m_process->errorString(); }

    // Closes the process's standard input (it reads end of file).
    void closeInput();
    void kill();

signals:
    void changed();

private:
    void readOutput();
    void readError();
    void finishPartialLine();

    QProcess* m_process;
    QStringList m_lines;
    QList<bool> m_taken;
    QByteArray m_partial;
    QByteArray m_error;
    QString m_matched;
    QString m_matchedRest;
    qint64 m_pid = 0;
    bool m_finished = false;
};

// Runs the event loop until path exists, for up to timeoutMs; for files a program that
// was started on its own (no process to wait on) writes. The folder is watched, not
// polled.
bool waitForFile(const QString& path, int timeoutMs);

// vorta-shell (from $VORTA_BIN_DIR) in scripted mode, for tests in which the test
// process plays a module or watches a module that the shell runs.
//
//   ShellProcess shell;
//   ASSERT_TRUE(shell.start("wait-handshake;send 2;quit")) << shell.transcript();
//   // ... send WM_VortaModMainFormHandle to shell.windowHandle() ...
//   ASSERT_TRUE(shell.waitForLine("sent 2 -> ", 5000)) << shell.transcript();
//   EXPECT_EQ(shell.matchedRest(), QString::number(activeFormHandle));
//   ASSERT_TRUE(shell.waitForFinished(5000));
//   EXPECT_EQ(shell.exitCode(), 0);
//
// The shell prints one line per event: "shell <handle>", "started <pid>",
// "handshake main=<h> app=<h> -> <reply>", "notify <w> <l>", "sent <w> -> <result>",
// "sent-msg <msg> <w> <l> -> <result>", "posted <w> -> <0|1>", "exited <code>",
// "crashed", "timeout <what>"; see vorta-shell --help.
class ShellProcess : public LineProcess {
    Q_OBJECT
public:
    explicit ShellProcess(QObject* parent = nullptr);

    // Starts vorta-shell --script script, then options (an option list with --run
    // PROGRAM must end with the program's arguments, as on the shell's command line),
    // and waits up to timeoutMs for the shell's first line. The shell shares this
    // process's messenger folder. False when the shell did not start or did not
    // announce its window; transcript() tells why.
    bool start(const QString& script, const QStringList& options = {}, int timeoutMs = 10000);

    // The shell's window handle, from its first line ("" before start()).
    QString handle() const { return m_handle; }
    ipc::WindowHandle windowHandle() const { return m_handle.toUInt(); }

    // Path of vorta-shell: $VORTA_BIN_DIR/vorta-shell, else beside the test program.
    static QString program();
    // The environment the shell gets: the system's, with XDG_RUNTIME_DIR set so that
    // the shell's messenger uses this process's folder.
    static QProcessEnvironment environment();

private:
    QString m_handle;
};

} // namespace vorta::testing
