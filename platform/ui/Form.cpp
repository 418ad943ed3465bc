#include "platform/ui/Form.h"
#include "platform/core/QtGuard.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/WindowSystem.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Menu.h"
#include "platform/ui/StatusBar.h"

#include <QGuiApplication>
#include <QKeyEvent>
#include <QScreen>

#include <QLayout>
#include <QMenuBar>
#include <QVBoxLayout>

#include <QCloseEvent>
#include <QEventLoop>
#include <QTimer>
#include <QWindow>

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
    if (OnCreate)
        Application::runGuarded([this] { OnCreate(this); });
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
    placeOnShow();
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
    // Once the form has agreed to close, the result that closed it stands: a later
    // Close of the same key or click must not turn an OK into a Cancel.
    if (m_modal && m_modalAccepted)
        return;
    m_modalResult = result;
    if (!m_modal || result == mrNone)
        return;
    if (!closeModal()) {
        m_modalResult = mrNone;
        return;
    }
    if (m_modalLoop)
        m_modalLoop->quit();
}

bool Form::closeModal()
{
    try {
        bool can = true;
        if (OnCloseQuery)
            OnCloseQuery(this, can);
        if (!can)
            return false;
        CloseAction action = CloseAction::Hide;
        if (OnClose)
            OnClose(this, action);
        if (action == CloseAction::None)
            return false;
        if (action == CloseAction::Free)
            m_freeAfterModal = true;
        m_modalAccepted = true;
        return true;
    } catch (const std::exception& e) {
        if (auto* app = Application::instance())
            app->handleException(e);
        return false;
    }
}

int Form::showModal()
{
    m_modalResult = mrNone;
    m_modal = true;
    m_freeAfterModal = false;
    m_modalAccepted = false;
    struct ModalReset {
        Form* f;
        ~ModalReset() { f->m_modal = false; }
    } reset{this};
    auto* app = Application::instance();
    if (g_modalHook) {
        show();
        const int result = g_modalHook(*this);
        // The hook played the user; an answer it gave without closing closes now.
        if (m_modalResult == mrNone && result != mrNone)
            setModalResult(result);
    } else {
        show();
        QEventLoop loop;
        if (app)
            connect(app, &Application::terminating, &loop, &QEventLoop::quit);
        m_modalLoop = &loop;
        if (!(app && app->terminated()) && m_modalResult == mrNone)
            loop.exec();
        m_modalLoop = nullptr;
        if (m_modalResult == mrNone)
            m_modalResult = mrCancel;
    }
    hide();
    if (m_freeAfterModal) {
        m_closing = true;
        QTimer::singleShot(0, app, [guard = Guarded<Form>(this)] {
            guardQt([&guard] { Component::free(guard.get()); });
        });
    }
    return m_modalResult;
}

void Form::close()
{
    if (m_closing)
        return;
    if (m_modal) {
        // A modal form closes by ending its loop, once it agrees (closeModal).
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
        QTimer::singleShot(0, app, [guard = Guarded<Form>(this)] {
            guardQt([&guard] { Component::free(guard.get()); });
        });
    }
}

void Form::closeEvent(QCloseEvent* event)
{
    // The window frame's close goes through the form's own close.
    event->ignore();
    guardQt([this] { close(); });
}

void Form::placeOnShow()
{
    if (m_placed)
        return;
    m_placed = true;
    QRect area;
    if (position == FormPosition::OwnerFormCenter) {
        if (auto* ownerForm = dynamic_cast<Form*>(owner()); ownerForm && ownerForm->isVisible())
            area = ownerForm->frameGeometry();
    }
    if (position == FormPosition::Designed)
        return;
    if (area.isNull()) {
        if (QScreen* screen = QGuiApplication::primaryScreen())
            area = screen->availableGeometry();
    }
    if (area.isNull())
        return;
    move(area.center() - QPoint(width() / 2, height() / 2));
}

void Form::setBorderStyle(BorderStyle style)
{
    m_borderStyle = style;
    Qt::WindowFlags flags = windowFlags() & ~(Qt::WindowMinMaxButtonsHint | Qt::FramelessWindowHint);
    switch (style) {
    case BorderStyle::Sizeable:
        flags |= Qt::WindowMinMaxButtonsHint;
        setMinimumSize(0, 0);
        setMaximumSize(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
        break;
    case BorderStyle::Single:
    case BorderStyle::Dialog:
        flags |= Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
        setFixedSize(size());
        break;
    case BorderStyle::None:
        flags |= Qt::FramelessWindowHint;
        break;
    }
    setWindowFlags(flags);
}

void Form::setClientSize(int width, int height)
{
    if (m_borderStyle == BorderStyle::Single || m_borderStyle == BorderStyle::Dialog)
        setFixedSize(width, height);
    else
        resize(width, height);
}

void Form::setHintPanel(StatusBar* statusBar, int panel)
{
    m_hintBar = statusBar;
    m_hintPanel = panel;
}

void Form::showHintText(const QString& hint)
{
    if (m_hintBar)
        m_hintBar->setPanelText(m_hintPanel, hint);
}

QWidget* Form::activeControl() const
{
    QWidget* w = focusWidget();
    return w == this ? nullptr : w;
}

void Form::setActiveControl(QWidget* control)
{
    if (control && control->window() == this)
        control->setFocus(Qt::OtherFocusReason);
}

void Form::selectNext(QWidget* current, bool goForward, bool checkTabStop)
{
    if (!current)
        current = focusWidget();
    if (!current)
        current = this;
    QWidget* w = current;
    for (;;) {
        w = goForward ? w->nextInFocusChain() : w->previousInFocusChain();
        if (!w || w == current)
            return;
        if (w == this || w->window() != this || !w->isVisible() || !w->isEnabled())
            continue;
        const Qt::FocusPolicy policy = w->focusPolicy();
        if (checkTabStop ? !(policy & Qt::TabFocus) : policy == Qt::NoFocus)
            continue;
        if (w->focusProxy())
            continue;
        w->setFocus(goForward ? Qt::TabFocusReason : Qt::BacktabFocusReason);
        return;
    }
}

void Form::keyPressEvent(QKeyEvent* event)
{
    bool taken = true;
    guardQt([&] { taken = dispatchKeyPress(this, event); });
    if (!taken)
        QWidget::keyPressEvent(event);
}

void Form::keyReleaseEvent(QKeyEvent* event)
{
    bool taken = true;
    guardQt([&] { taken = dispatchKeyRelease(this, event); });
    if (!taken)
        QWidget::keyReleaseEvent(event);
}

void Form::resizeEvent(QResizeEvent* event)
{
    QWidget::resizeEvent(event);
    if (!layout())
        realign(this);
}

void Form::setBounds(int left, int top, int width, int height)
{
    m_bounds = QRect(left, top, std::max(0, width), std::max(0, height));
    m_boundsSet = true;
    applyBounds();
}

void Form::applyBounds()
{
    const QMargins frame = windowHandle() ? windowHandle()->frameMargins() : QMargins();
    m_boundsFrame = frame;
    setGeometry(m_bounds.left() + frame.left(), m_bounds.top() + frame.top(),
                std::max(0, m_bounds.width() - frame.left() - frame.right()),
                std::max(0, m_bounds.height() - frame.top() - frame.bottom()));
}

void Form::setMainMenu(MainMenu* menu)
{
    if (m_menu)
        m_menu->onChanged = nullptr;
    m_menu = menu;
    if (!menu)
        return;
    if (!m_menuBar) {
        m_menuBar = new MenuBar(this);
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
    // The frame is known only once the window manager has framed the window.
    if (m_boundsSet && isWindow() && windowHandle()
        && (event->type() == QEvent::Move || event->type() == QEvent::Resize || event->type() == QEvent::Show)
        && windowHandle()->frameMargins() != m_boundsFrame)
        QTimer::singleShot(0, this, [this] {
            if (windowHandle() && windowHandle()->frameMargins() != m_boundsFrame)
                applyBounds();
        });
    if (event->type() == QEvent::WindowActivate) {
        Screen::instance().setActiveForm(this);
        if (OnActivate)
            guardQt([this] { OnActivate(this); });
    }
    return QWidget::event(event);
}

} // namespace vorta::ui
