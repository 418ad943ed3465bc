#include "platform/ui/Form.h"

#include "platform/core/Exceptions.h"
#include "platform/ipc/WindowSystem.h"
#include "platform/ui/Menu.h"

#include <QLayout>
#include <QMenuBar>
#include <QVBoxLayout>

#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>

namespace vorta::ui {

namespace {
ModalHook g_modalHook;
}

void setModalHook(ModalHook hook)
{
    g_modalHook = std::move(hook);
}

const ModalHook& modalHook()
{
    return g_modalHook;
}

Form::Form(Component* owner) : QWidget(nullptr), Component(owner)
{
    setAttribute(Qt::WA_DeleteOnClose, false);
    Screen::instance().addForm(this);
}

Form::~Form()
{
    Screen::instance().removeForm(this);
    if (m_handle)
        ipc::Messenger::instance().releaseHandle(m_handle);
    if (auto* app = Application::instance(); app && app->mainForm() == this)
        app->setMainForm(nullptr);
}

void Form::afterConstruction()
{
    if (!OnCreate)
        return;
    try {
        OnCreate(this);
    } catch (const std::exception& e) {
        if (auto* app = Application::instance())
            app->handleException(e);
    }
}

void Form::beforeDestruction()
{
    if (OnDestroy)
        OnDestroy(this);
}

void Form::show()
{
    const bool wasVisible = m_visible;
    m_visible = true;
    showWindow();
    if (!wasVisible && OnShow)
        OnShow(this);
}

void Form::hide()
{
    m_visible = false;
    hideWindow();
}

void Form::showWindow()
{
    QWidget::show();
}

void Form::hideWindow()
{
    QWidget::hide();
}

void Form::setModalResult(int result)
{
    m_modalResult = result;
    if (m_modalLoop && result != mrNone)
        m_modalLoop->quit();
}

int Form::showModal()
{
    m_modalResult = mrNone;
    m_modal = true;
    struct ModalReset {
        Form* f;
        ~ModalReset() { f->m_modal = false; }
    } reset{this};
    if (g_modalHook) {
        show();
        const int result = g_modalHook(*this);
        if (m_modalResult == mrNone)
            m_modalResult = result;
        hide();
        return m_modalResult;
    }
    show();
    QEventLoop loop;
    auto* app = Application::instance();
    if (app)
        connect(app, &Application::terminating, &loop, &QEventLoop::quit);
    m_modalLoop = &loop;
    if (!(app && app->terminated()) && m_modalResult == mrNone)
        loop.exec();
    m_modalLoop = nullptr;
    if (m_modalResult == mrNone)
        m_modalResult = mrCancel;
    hide();
    return m_modalResult;
}

void Form::close()
{
    if (m_closing)
        return;
    if (m_modal) {
        // A modal form closes by ending its loop.
        bool can = true;
        if (OnCloseQuery)
            OnCloseQuery(this, can);
        if (can)
            setModalResult(mrCancel);
        return;
    }
    bool can = true;
    if (OnCloseQuery)
        OnCloseQuery(this, can);
    if (!can)
        return;
    auto* app = Application::instance();
    const bool isMain = app && app->mainForm() == this;
    CloseAction action = isMain ? CloseAction::Free : CloseAction::Hide;
    if (OnClose)
        OnClose(this, action);
    if (action == CloseAction::None)
        return;
    if (isMain) {
        app->terminate();
        return;
    }
    hide();
    if (action == CloseAction::Free) {
        m_closing = true;
        // Freed once the current handler has returned, as the class library's Release.
        QTimer::singleShot(0, app, [guard = Guarded<Form>(this)] { Component::free(guard.get()); });
    }
}

void Form::closeEvent(QCloseEvent* event)
{
    // The window frame's close goes through the form's own close.
    event->ignore();
    close();
}

void Form::setBounds(int left, int top, int width, int height)
{
    setGeometry(left, top, std::max(0, width), std::max(0, height));
}

void Form::setMainMenu(MainMenu* menu)
{
    if (m_menu)
        m_menu->onChanged = nullptr;
    m_menu = menu;
    if (!menu)
        return;
    if (!m_menuBar) {
        m_menuBar = new QMenuBar(this);
        if (!layout())
            new QVBoxLayout(this);
        layout()->setMenuBar(m_menuBar);
    }
    Guarded<Form> self(this);
    menu->onChanged = [self] {
        if (Form* f = self.get())
            QTimer::singleShot(0, f, [f] { f->refreshMenu(); });
    };
    refreshMenu();
}

void Form::refreshMenu()
{
    if (m_menu && m_menuBar)
        m_menu->fill(m_menuBar);
}

ipc::WindowHandle Form::handle()
{
    if (!m_handle)
        m_handle = ipc::Messenger::instance().allocateHandle(this);
    return m_handle;
}

void Form::windowProc(ipc::Message& message)
{
    wndProc(message);
}

void Form::wndProc(ipc::Message& message)
{
    message.result = 0;
}

bool Form::event(QEvent* event)
{
    if (event->type() == QEvent::WindowActivate) {
        Screen::instance().setActiveForm(this);
        if (OnActivate)
            OnActivate(this);
    }
    return QWidget::event(event);
}

} // namespace vorta::ui
