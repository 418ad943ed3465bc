#pragma once

#include "platform/ipc/WindowMessages.h"

#include <QList>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <memory>

namespace vorta::ui {

constexpr unsigned SWP_NOSIZE = 0x0001;
constexpr unsigned SWP_NOMOVE = 0x0002;
constexpr unsigned SWP_NOACTIVATE = 0x0010;
constexpr unsigned SWP_SHOWWINDOW = 0x0040;
constexpr ipc::WindowHandle HWND_TOP = 0;
constexpr unsigned WS_EX_TOOLWINDOW = 0x80;

// What the suite asks of the window system. Placing relative to another process's
// window is best effort on Linux; tests record the requests instead.
class WindowSystem {
public:
    virtual ~WindowSystem();
    // ShowWindow(SW_HIDE): the window goes, the form's Visible property stays.
    virtual void hideWindow(QWidget* window) = 0;
    // SetWindowPos with an insert-after window (HWND_TOP for the top) and flags.
    virtual void setWindowPos(QWidget* window, ipc::WindowHandle insertAfter, unsigned flags) = 0;
    // The application window's extended style (tool window: no taskbar entry).
    virtual unsigned applicationExStyle() const = 0;
    virtual void setApplicationExStyle(unsigned style) = 0;
};

WindowSystem& windowSystem();
// Installs a window system (not owned); nullptr goes back to the Qt one.
void setWindowSystem(WindowSystem* system);

// The tool-window style keeps the program off the taskbar as far as Qt can ask it:
// from then on the main form is shown as a tool window and every other plain window as
// transient for the main form, which window managers leave off the taskbar. Which
// windows a taskbar lists is the window manager's decision in the end.
class QtWindowSystem : public WindowSystem {
public:
    QtWindowSystem();
    ~QtWindowSystem() override;
    void hideWindow(QWidget* window) override;
    void setWindowPos(QWidget* window, ipc::WindowHandle insertAfter, unsigned flags) override;
    unsigned applicationExStyle() const override { return m_exStyle; }
    void setApplicationExStyle(unsigned style) override;

private:
    class ToolWindows;
    unsigned m_exStyle = 0;
    std::unique_ptr<ToolWindows> m_toolWindows;
};

// Records every request (and still shows and hides the windows, so visibility can be checked).
class RecordingWindowSystem : public QtWindowSystem {
public:
    struct Call {
        QString what;          // "hide" or "pos"
        QPointer<QWidget> window;
        QString windowName;
        ipc::WindowHandle insertAfter = 0;
        unsigned flags = 0;
    };
    void hideWindow(QWidget* window) override;
    void setWindowPos(QWidget* window, ipc::WindowHandle insertAfter, unsigned flags) override;
    QList<Call> calls;
};

} // namespace vorta::ui
