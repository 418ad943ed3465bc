// vorta-shell: a stand-in for the host shell. It starts module programs, answers
// their handshake, records their notifications and sends them the shell's requests;
// interactively for people, or by a script for tests.
#include "ShellCore.h"
#include "ShellScript.h"
#include "ShellWindow.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <cstdio>
#include <memory>
#include <optional>

namespace {

const char kUsage[] =
    "usage: vorta-shell [--modules DIR] [--offset N] [--reply N]\n"
    "       vorta-shell --script \"CMD;CMD;...\" [--offset N] [--reply N] [--timeout-ms N]\n"
    "                   [--run PROGRAM [--args] [ARG...]]\n"
    "\n"
    "Without --script: a window that starts Vorta_Mod and ZIR (from DIR, default the\n"
    "folder of vorta-shell) with the arguments <shell handle> <offset> and sends them\n"
    "the requests 0 (hide), 1 (show), 2 (show and activate) and 13 (terminate).\n"
    "\n"
    "--offset N       the modules' vertical offset (default 80, the shell's height)\n"
    "--reply N        the module number every handshake gets (default 1, 2, 3, ...)\n"
    "--timeout-ms N   the bound of every wait of a script (default 10000)\n"
    "--run PROGRAM    run PROGRAM as the module; the rest of the command line is its\n"
    "                 arguments (default \"{handle} {offset}\"); a leading --args is\n"
    "                 skipped, so \"--args\" alone gives none; {handle} and {offset}\n"
    "                 are filled in.\n"
    "\n"
    "Script commands: wait-handshake, wait-notify W, wait-exit, send W (WM_VortaModNotify\n"
    "to the main form of the last handshake), send-msg NUMBER W L, post W, quit. Each\n"
    "wait takes the earliest event of its kind no earlier wait took. The script's end\n"
    "ends the shell; a program still running is killed.\n"
    "\n"
    "Output, one line per event: shell <handle> | started <pid> | start-failed <why> |\n"
    "handshake main=<h> app=<h> -> <reply> | notify <w> <l> | sent <w> -> <result> |\n"
    "sent-msg <msg> <w> <l> -> <result> | posted <w> -> <0|1> | exited <code> | crashed |\n"
    "timeout <what> (exit code 1) | error <what> (exit code 1).\n"
    "Sends give up after VORTA_IPC_TIMEOUT_MS (default 5000) and show 0.\n";

int usageError(const QString& message)
{
    std::fprintf(stderr, "vorta-shell: %s\n\n%s", message.toLocal8Bit().constData(), kUsage);
    return 2;
}

struct Arguments {
    std::optional<QString> script;
    QString modules;
    int offset = 80;
    std::optional<std::int64_t> reply;
    int timeoutMs = 10000;
    QString program;
    std::optional<QStringList> programArguments;
    bool help = false;
};

std::optional<Arguments> parse(int argc, char** argv, QString& error)
{
    Arguments a;
    auto value = [&](int& i, const char* option) -> std::optional<QString> {
        if (i + 1 >= argc) {
            error = QStringLiteral("%1 needs a value").arg(QLatin1String(option));
            return std::nullopt;
        }
        return QString::fromLocal8Bit(argv[++i]);
    };
    auto number = [&](int& i, const char* option, long long low) -> std::optional<long long> {
        const auto text = value(i, option);
        if (!text)
            return std::nullopt;
        bool ok = false;
        const long long n = text->toLongLong(&ok);
        if (!ok || n < low) {
            error = QStringLiteral("%1: not a number: %2").arg(QLatin1String(option), *text);
            return std::nullopt;
        }
        return n;
    };
    for (int i = 1; i < argc; ++i) {
        const QString arg = QString::fromLocal8Bit(argv[i]);
        if (arg == QLatin1String("--help") || arg == QLatin1String("-h")) {
            a.help = true;
        } else if (arg == QLatin1String("--script")) {
            const auto v = value(i, "--script");
            if (!v)
                return std::nullopt;
            a.script = *v;
        } else if (arg == QLatin1String("--modules")) {
            const auto v = value(i, "--modules");
            if (!v)
                return std::nullopt;
            a.modules = *v;
        } else if (arg == QLatin1String("--offset")) {
            const auto n = number(i, "--offset", -1000000);
            if (!n)
                return std::nullopt;
            a.offset = static_cast<int>(*n);
        } else if (arg == QLatin1String("--reply")) {
            const auto n = number(i, "--reply", std::numeric_limits<long long>::min());
            if (!n)
                return std::nullopt;
            a.reply = *n;
        } else if (arg == QLatin1String("--timeout-ms")) {
            const auto n = number(i, "--timeout-ms", 0);
            if (!n)
                return std::nullopt;
            a.timeoutMs = static_cast<int>(std::min<long long>(*n, 24LL * 3600 * 1000));
        } else if (arg == QLatin1String("--run")) {
            const auto v = value(i, "--run");
            if (!v)
                return std::nullopt;
            a.program = *v;
            ++i;
            if (i < argc && QLatin1String(argv[i]) == QLatin1String("--args")) {
                a.programArguments = QStringList{};
                ++i;
            }
            for (; i < argc; ++i) {
                if (!a.programArguments)
                    a.programArguments = QStringList{};
                a.programArguments->append(QString::fromLocal8Bit(argv[i]));
            }
        } else {
            error = QStringLiteral("unknown option %1").arg(arg);
            return std::nullopt;
        }
    }
    if (!a.program.isEmpty() && !a.script) {
        error = QStringLiteral("--run goes with --script");
        return std::nullopt;
    }
    return a;
}

int runScripted(int argc, char** argv, const Arguments& a)
{
    QString error;
    const auto commands = vorta::shell::parseScript(*a.script, &error);
    if (!commands)
        return usageError(error);
    // No windows in scripted mode, so no display is needed.
    QCoreApplication app(argc, argv);
    vorta::shell::ShellCore core(a.reply);
    if (!core.handle()) {
        std::fprintf(stderr, "vorta-shell: no window handle (messenger folder %s)\n",
                     qPrintable(vorta::ipc::Messenger::instance().runtimeFolder()));
        return 1;
    }
    vorta::shell::ScriptRunner::Options options;
    options.commands = *commands;
    options.timeoutMs = a.timeoutMs;
    options.offset = a.offset;
    options.program = a.program;
    options.arguments = a.programArguments;
    int rc = 0;
    {
        vorta::shell::ScriptRunner runner(core, options);
        QObject::connect(&runner, &vorta::shell::ScriptRunner::finished, &app, [&](int code) {
            rc = code;
            QCoreApplication::exit(code);
        });
        runner.start();
        app.exec();
    }
    return rc;
}

int runInteractive(int argc, char** argv, const Arguments& a)
{
    QApplication app(argc, argv);
    vorta::shell::ShellCore core(a.reply);
    if (!core.handle()) {
        std::fprintf(stderr, "vorta-shell: no window handle\n");
        return 1;
    }
    const QString folder = a.modules.isEmpty() ? QCoreApplication::applicationDirPath() : QDir(a.modules).absolutePath();
    vorta::shell::ShellWindow window(core, folder, a.offset);
    window.show();
    return app.exec();
}

} // namespace

int main(int argc, char** argv)
{
    QString error;
    const auto arguments = parse(argc, argv, error);
    if (!arguments)
        return usageError(error);
    if (arguments->help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    return arguments->script ? runScripted(argc, argv, *arguments) : runInteractive(argc, argv, *arguments);
}
