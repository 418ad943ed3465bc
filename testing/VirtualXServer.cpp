#include "VirtualXServer.h"

#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStandardPaths>

namespace vorta::testing {

bool onRealWindowSystem()
{
    return QGuiApplication::platformName() != QLatin1String("offscreen");
}

VirtualXRun rerunUnderVirtualXServer(const QString& gtestFilter, const QStringList& madeFiles)
{
    for (const QString& file : madeFiles)
        QFile::remove(file);
    VirtualXRun result;
    const QString xvfbRun = QStandardPaths::findExecutable(QStringLiteral("xvfb-run"));
    if (xvfbRun.isEmpty())
        return result;
    result.available = true;
    QProcess run;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    run.setProcessEnvironment(env);
    run.setProcessChannelMode(QProcess::MergedChannels);
    // Test programs run side by side would race for the same first free display:
    // each starts its search at a number of its own.
    const QString firstDisplay = QString::number(100 + QCoreApplication::applicationPid() % 20000);
    run.start(xvfbRun, {QStringLiteral("-a"), QStringLiteral("-n"), firstDisplay, QStringLiteral("-s"),
                        QStringLiteral("-screen 0 1024x768x24"),
                        QCoreApplication::applicationFilePath(), QStringLiteral("--gtest_filter=") + gtestFilter});
    if (!run.waitForStarted(10000))
        return result;
    result.finished = run.waitForFinished(120000);
    if (!result.finished) {
        run.kill();
        run.waitForFinished(5000);
    }
    result.output = QString::fromLocal8Bit(run.readAll());
    result.exitCode = run.exitStatus() == QProcess::NormalExit ? run.exitCode() : -1;
    return result;
}

} // namespace vorta::testing
