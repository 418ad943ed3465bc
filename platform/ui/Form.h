#pragma once

#include "platform/ui/Application.h"
#include "platform/core/Component.h"
#include "platform/ipc/WindowMessages.h"

#include <QMargins>
#include <QRect>
#include <QWidget>

#include <functional>

class QEventLoop;
class QMenuBar;

namespace vorta::ui {

class MainMenu;
class StatusBar;

enum class CloseAction { None, Hide, Free, Minimize };

// Where a form places itself when first shown.
enum class FormPosition { Designed, ScreenCenter, OwnerFormCenter };
// Frame of the window: sizeable, a single fixed border, a dialog frame, none.
enum class BorderStyle { Sizeable, Single, Dialog, None };

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
    // Keys in the class library's virtual-key codes; a handler that sets the key to 0
    // consumes it, one that turns it into Tab (9) moves the focus to the next control.
    std::function<void(Form*, int& key, Qt::KeyboardModifiers shift)> OnKeyDown;
    std::function<void(Form*, int& key, Qt::KeyboardModifiers shift)> OnKeyUp;
    std::function<void(Form*, QChar& key)> OnKeyPress;
    // The form sees keys before the focused control.
    bool keyPreview = false;

    // The focused control of the form, also while the window is not the active one.
    QWidget* activeControl() const;
    void setActiveControl(QWidget* control);
    // Moves the focus to the next (or previous) control in tab order that can take it.
    void selectNext(QWidget* current = nullptr, bool goForward = true, bool checkTabStop = true);

    FormPosition position = FormPosition::Designed;
    void setBorderStyle(BorderStyle style);
    BorderStyle borderStyle() const { return m_borderStyle; }
    void setClientSize(int width, int height);

    // Where hints of the form's controls go when the mouse is over them.
    void setHintPanel(StatusBar* statusBar, int panel = 0);
    void showHintText(const QString& hint);

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
    // A result other than mrNone ends the modal showing once the form agrees to close.
    void setModalResult(int result);

    // Close as the class library does: OnCloseQuery, OnClose, then the action; closing
    // the main form ends the application. An exception of OnClose (the silent abort
    // refusing the close) passes on to the caller and the form stays. A modal form
    // closes by setting its modal result to Cancel.
    void close();

    // The class library's bounds are the window's outer ones, frame and title bar included;
    // once the window system tells the frame, the client area is placed inside them.
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
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    // The modal form's close step once a modal result is set: OnCloseQuery and
    // OnClose; a refusal (also by an exception, the silent abort included) clears the
    // modal result so the form stays.
    bool closeModal();
    void placeOnShow();
    bool m_visible = false;
    bool m_modal = false;
    bool m_closing = false;
    bool m_placed = false;
    bool m_freeAfterModal = false;
    bool m_modalAccepted = false;
    BorderStyle m_borderStyle = BorderStyle::Sizeable;
    StatusBar* m_hintBar = nullptr;
    int m_hintPanel = 0;
    int m_modalResult = 0;
    QEventLoop* m_modalLoop = nullptr;
    ipc::WindowHandle m_handle = 0;
    void applyBounds();
    QRect m_bounds;
    bool m_boundsSet = false;
    QMargins m_boundsFrame;
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
