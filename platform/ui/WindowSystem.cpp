#include "platform/ui/WindowSystem.h"

#include "platform/ui/Application.h"
#include "platform/ui/Form.h"

#include <QEvent>
#include <QWindow>

namespace vorta::ui {

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

void QtWindowSystem::setWindowPos(QWidget* window, ipc::WindowHandle insertAfter, unsigned flags)
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

// Watches windows being shown while the tool-window style holds. A window is changed
// on its way to the screen, when it exists for the window system but is not mapped yet.
class QtWindowSystem::ToolWindows : public QObject {
public:
    ToolWindows()
    {
        if (QCoreApplication* app = QCoreApplication::instance())
            app->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        if (event->type() != QEvent::Show)
            return false;
        auto* widget = qobject_cast<QWidget*>(object);
        if (!widget || !widget->isWindow() || widget->windowType() != Qt::Window)
            return false;
        QWindow* window = widget->windowHandle();
        if (!window || window->isVisible())
            return false;
        Application* app = Application::instance();
        QWidget* main = app ? app->mainForm() : nullptr;
        QWindow* mainWindow = main && main != widget ? main->windowHandle() : nullptr;
        if (mainWindow) {
            if (!window->transientParent())
                window->setTransientParent(mainWindow);
        } else {
            // The main form: a tool window, which window managers keep off the taskbar.
            window->setFlags((window->flags() & ~Qt::WindowType_Mask) | Qt::Tool);
        }
        return false;
    }
};

QtWindowSystem::QtWindowSystem() = default;
QtWindowSystem::~QtWindowSystem() = default;

void QtWindowSystem::setApplicationExStyle(unsigned style)
{
    const bool tool = (style & WS_EX_TOOLWINDOW) && !(m_exStyle & WS_EX_TOOLWINDOW);
    m_exStyle = style;
    if (!(style & WS_EX_TOOLWINDOW)) {
        m_toolWindows.reset();
        return;
    }
    if (tool)
        m_toolWindows = std::make_unique<ToolWindows>();
}

void RecordingWindowSystem::hideWindow(QWidget* window)
{
    calls.append(Call{QStringLiteral("hide"), window, window ? window->objectName() : QString(), 0, 0});
    QtWindowSystem::hideWindow(window);
}

void RecordingWindowSystem::setWindowPos(QWidget* window, ipc::WindowHandle insertAfter, unsigned flags)
{
    calls.append(Call{QStringLiteral("pos"), window, window ? window->objectName() : QString(), insertAfter, flags});
    QtWindowSystem::setWindowPos(window, insertAfter, flags);
}

} // namespace vorta::ui
