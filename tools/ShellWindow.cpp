#include "ShellWindow.h"

#include <QComboBox>
#include <QDir>
#include <QFileInfo>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QTime>

namespace vorta::shell {

ShellWindow::ShellWindow(ShellCore& core, const QString& modulesFolder, int offset)
    : m_core(core), m_folder(modulesFolder), m_offset(offset)
{
    setWindowTitle(QStringLiteral("vorta-shell %1").arg(core.handle()));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 4);

    for (const QString& name : {QStringLiteral("Vorta_Mod"), QStringLiteral("ZIR")}) {
        auto* button = new QPushButton(name, this);
        const QString path = QDir(m_folder).filePath(name);
        const bool there = QFileInfo(path).isExecutable();
        button->setEnabled(there);
        button->setToolTip(there ? path : QStringLiteral("not found: %1").arg(path));
        connect(button, &QPushButton::clicked, this, [this, name] { startModule(name); });
        layout->addWidget(button);
    }

    m_list = new QComboBox(this);
    m_list->setMinimumContentsLength(24);
    m_list->setToolTip(QStringLiteral("The module the requests go to"));
    layout->addWidget(m_list);

    const struct {
        std::uint64_t wParam;
        const char* text;
    } requests[] = {{0, "0 Hide"}, {1, "1 Show"}, {2, "2 Activate"}, {13, "13 Terminate"}};
    for (const auto& r : requests) {
        auto* button = new QPushButton(QString::fromLatin1(r.text), this);
        connect(button, &QPushButton::clicked, this, [this, w = r.wParam] { request(w); });
        layout->addWidget(button);
    }

    m_log = new QPlainTextEdit(this);
    m_log->setReadOnly(true);
    m_log->setMaximumBlockCount(2000);
    layout->addWidget(m_log, 1);

    connect(&m_core, &ShellCore::handshake, this, &ShellWindow::onHandshake);
    connect(&m_core, &ShellCore::notified, this, &ShellWindow::onNotified);

    // Across the top of the work area, as high as the modules' offset: they fill the rest.
    if (QScreen* screen = QGuiApplication::primaryScreen()) {
        const QRect area = screen->availableGeometry();
        setGeometry(area.left(), area.top(), area.width(), std::max(40, m_offset));
    }
    log(QStringLiteral("shell %1, modules from %2").arg(core.handle()).arg(m_folder));
    refreshList();
}

ShellWindow::~ShellWindow()
{
    // Modules started here end with the shell.
    for (Module& m : m_modules) {
        if (!m.process)
            continue;
        m.process->disconnect(this);
        if (m.process->state() != QProcess::NotRunning) {
            m.process->kill();
            m.process->waitForFinished(5000);
        }
    }
}

void ShellWindow::log(const QString& line)
{
    m_log->appendPlainText(QTime::currentTime().toString(QStringLiteral("HH:mm:ss.zzz ")) + line);
}

void ShellWindow::startModule(const QString& name)
{
    auto* process = new QProcess(this);
    process->setProcessChannelMode(QProcess::ForwardedChannels);
    const QStringList arguments{QString::number(m_core.handle()), QString::number(m_offset)};
    process->start(QDir(m_folder).filePath(name), arguments);
    if (!process->waitForStarted(10000)) {
        log(QStringLiteral("%1: %2").arg(name, process->errorString()));
        process->deleteLater();
        return;
    }
    Module module;
    module.name = name;
    module.process = process;
    module.pid = process->processId();
    m_modules.append(module);
    log(QStringLiteral("started %1 %2 (pid %3)").arg(name, arguments.join(QLatin1Char(' '))).arg(module.pid));
    connect(process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus status) {
        for (qsizetype i = 0; i < m_modules.size(); ++i) {
            if (m_modules[i].process == process) {
                log(QStringLiteral("%1 (pid %2) %3").arg(m_modules[i].name).arg(m_modules[i].pid)
                        .arg(status == QProcess::NormalExit ? QStringLiteral("exited %1").arg(code) : QStringLiteral("crashed")));
                m_modules.removeAt(i);
                break;
            }
        }
        process->deleteLater();
        refreshList();
    });
    refreshList();
}

void ShellWindow::onHandshake(quint32 mainForm, qint64 appWindow, qint64 number)
{
    log(handshakeLine(mainForm, appWindow, number));
    // The handshake names no process: it belongs to the earliest start still without one.
    for (Module& m : m_modules) {
        if (!m.mainForm) {
            m.mainForm = mainForm;
            m.number = number;
            break;
        }
    }
    refreshList();
}

void ShellWindow::onNotified(quint64 wParam, qint64 lParam)
{
    const char* meaning = wParam == 1 ? " (shown or activated)" : wParam == 2 ? " (main form destroyed)" : "";
    log(notifyLine(wParam, lParam) + QString::fromLatin1(meaning));
    for (qsizetype i = 0; i < m_modules.size(); ++i) {
        if (m_modules[i].number == lParam && m_modules[i].mainForm) {
            if (wParam == 1)
                m_list->setCurrentIndex(static_cast<int>(i));
            break;
        }
    }
}

void ShellWindow::refreshList()
{
    const int keep = m_list->currentIndex();
    m_list->clear();
    for (const Module& m : m_modules) {
        m_list->addItem(m.mainForm ? QStringLiteral("#%1 %2 (pid %3)").arg(m.number).arg(m.name).arg(m.pid)
                                   : QStringLiteral("%1 (pid %2), no handshake yet").arg(m.name).arg(m.pid));
    }
    if (keep >= 0 && keep < m_list->count())
        m_list->setCurrentIndex(keep);
}

ShellWindow::Module* ShellWindow::selected()
{
    const int i = m_list->currentIndex();
    return i >= 0 && i < m_modules.size() ? &m_modules[i] : nullptr;
}

void ShellWindow::request(std::uint64_t wParam)
{
    Module* m = selected();
    if (!m || !m->mainForm) {
        log(QStringLiteral("no module with a main form selected"));
        return;
    }
    const QString name = m->name;
    const ipc::WindowHandle mainForm = m->mainForm;
    // The module may call us back during the send, changing the list meanwhile.
    const std::int64_t result = m_core.sendModNotify(mainForm, wParam);
    log(QStringLiteral("%1: ").arg(name) + sentLine(wParam, result));
}

} // namespace vorta::shell
