#include "platform/ipc/WindowSystem.h"

namespace vorta::ipc {

namespace {
WindowSystem* g_system = nullptr;
}

WindowSystem::~WindowSystem() = default;

WindowSystem& windowSystem()
{
    static QtWindowSystem qt;
    return g_system ? *g_system : qt;
}

void setWindowSystem(WindowSystem* system)
{
    g_system = system;
}

void QtWindowSystem::hideWindow(QWidget* window)
{
    if (window)
        window->setVisible(false);
}

void QtWindowSystem::setWindowPos(QWidget* window, WindowHandle insertAfter, unsigned flags)
{
    if (!window)
        return;
    if (flags & SWP_SHOWWINDOW) {
        if (flags & SWP_NOACTIVATE)
            window->setAttribute(Qt::WA_ShowWithoutActivating, true);
        window->setVisible(true);
        window->setAttribute(Qt::WA_ShowWithoutActivating, false);
    }
    // Behind a window of another process cannot be asked of every Linux window
    // manager; the top of the order can.
    if (insertAfter == HWND_TOP) {
        window->raise();
        if (!(flags & SWP_NOACTIVATE))
            window->activateWindow();
    }
}

void QtWindowSystem::setApplicationExStyle(unsigned style)
{
    m_exStyle = style;
}

void RecordingWindowSystem::hideWindow(QWidget* window)
{
    calls.append(Call{QStringLiteral("hide"), window, window ? window->objectName() : QString(), 0, 0});
    QtWindowSystem::hideWindow(window);
}

void RecordingWindowSystem::setWindowPos(QWidget* window, WindowHandle insertAfter, unsigned flags)
{
    calls.append(Call{QStringLiteral("pos"), window, window ? window->objectName() : QString(), insertAfter, flags});
    QtWindowSystem::setWindowPos(window, insertAfter, flags);
}

} // namespace vorta::ipc
