#pragma once

#include "platform/core/Application.h"
#include "platform/core/Component.h"
#include "platform/ipc/WindowMessages.h"

#include <QWidget>

#include <functional>

class QEventLoop;
class QMenuBar;

namespace vorta::ui {

class MainMenu;

enum class CloseAction { None, Hide, Free, Minimize };

// Modal results of the class library.
enum ModalResult : int { mrNone = 0, mrOk = 1, mrCancel = 2, mrAbort = 3, mrRetry = 4, mrIgnore = 5,
                         mrYes = 6, mrNo = 7, mrAll = 8, mrNoToAll = 9, mrYesToAll = 10 };

// A top-level window with the class library's form behaviour: events as assignable
// handlers, a Visible property of its own (the window system may hide the window
// without clearing it), a window handle that other processes can address, and modal
// showing through one hook that tests can script.
class Form : public QWidget, public Component, public ipc::MessageTarget {
    Q_OBJECT
public:
    explicit Form(Component* owner = nullptr);
    ~Form() override;

    // Runs OnCreate; an exception there is handed to the application and the form stays.
    void afterConstruction();

    std::function<void(Form*)> OnCreate;
    std::function<void(Form*)> OnShow;
    std::function<void(Form*)> OnActivate;
    std::function<void(Form*, CloseAction&)> OnClose;
    std::function<void(Form*, bool&)> OnCloseQuery;
    std::function<void(Form*)> OnDestroy;

    QString caption() const { return windowTitle(); }
    void setCaption(const QString& caption) { setWindowTitle(caption); }

    bool visibleProperty() const { return m_visible; }
    void show();
    void hide();
    // Shows the window again without touching the Visible property (window system use).
    void showWindow();
    void hideWindow();

    int showModal();
    bool isModal() const { return m_modal; }
    int modalResult() const { return m_modalResult; }
    void setModalResult(int result);

    // Close as the class library does: OnCloseQuery, OnClose, then the action; closing
    // the main form ends the application.
    void close();

    void setBounds(int left, int top, int width, int height);
    int clientWidth() const { return width(); }

    // The form's main menu (not owned); shown as the window's menu bar.
    void setMainMenu(MainMenu* menu);
    MainMenu* mainMenu() const { return m_menu; }
    // Builds the menu bar anew from the menu's items.
    void refreshMenu();

    int helpContext = 0;

    ipc::WindowHandle handle();
    bool handleAllocated() const { return m_handle != 0; }

    // The window procedure: messages sent or posted to handle() arrive here.
    void windowProc(ipc::Message& message) override;

protected:
    // Descendants override to handle their own messages, calling the base for the rest.
    virtual void wndProc(ipc::Message& message);
    void beforeDestruction() override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    bool m_visible = false;
    bool m_modal = false;
    bool m_closing = false;
    int m_modalResult = 0;
    QEventLoop* m_modalLoop = nullptr;
    ipc::WindowHandle m_handle = 0;
    MainMenu* m_menu = nullptr;
    QMenuBar* m_menuBar = nullptr;
};

// Scriptable modal showing: when a hook is set, ShowModal hands the form to it and
// returns what it answers instead of running a modal loop.
using ModalHook = std::function<int(Form&)>;
void setModalHook(ModalHook hook);
const ModalHook& modalHook();

// The application's form-creation service: creates T owned by the application into
// ref (set before T's constructors run); the first form created becomes the main form.
template <class T>
T* createForm(Guarded<T>& ref, Component* owner = nullptr)
{
    if (!owner)
        owner = Application::instance();
    T* object = createInto<T>(ref, owner);
    if constexpr (std::is_base_of_v<Form, T>) {
        if (Application::instance() && !Application::instance()->mainForm())
            Application::instance()->setMainForm(object);
    }
    return object;
}

} // namespace vorta::ui
