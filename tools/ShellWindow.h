#pragma once

#include "ShellCore.h"

#include <QList>
#include <QPointer>
#include <QProcess>
#include <QWidget>

class QComboBox;
class QPlainTextEdit;

namespace vorta::shell {

// Interactive mode: a bar across the top of the screen, as high as the offset the
// modules are given, with a button per module it can start, the requests to the
// selected module, and a log of the conversation.
class ShellWindow : public QWidget {
    Q_OBJECT
public:
    ShellWindow(ShellCore& core, const QString& modulesFolder, int offset);
    ~ShellWindow() override;

private:
    struct Module {
        QString name;
        QPointer<QProcess> process;
        qint64 pid = 0;
        qint64 number = 0;          // 0 until its handshake
        ipc::WindowHandle mainForm = 0;
    };

    void startModule(const QString& name);
    void request(std::uint64_t wParam);
    void log(const QString& line);
    void refreshList();
    Module* selected();
    void onHandshake(quint32 mainForm, qint64 appWindow, qint64 number);
    void onNotified(quint64 wParam, qint64 lParam);

    ShellCore& m_core;
    QString m_folder;
    int m_offset;
    QList<Module> m_modules;
    QComboBox* m_list = nullptr;
    QPlainTextEdit* m_log = nullptr;
};

} // namespace vorta::shell
