#pragma once

#include "platform/core/Component.h"
#include "platform/ipc/WindowMessages.h"

#include <QApplication>
#include <QFont>
#include <QList>
#include <QPointer>
#include <QString>
#include <QStringList>

#include <exception>
#include <functional>

namespace vorta {

namespace ui { class Form; }

// The interface font of every form: the Windows one's name at its pixel size, shown in
// a font with the same widths.
QFont interfaceFont();

// The class library's application object: title, main form, termination that also
// holds before the event loop runs, and one place where stray exceptions end.
class Application : public QApplication, public Component, public ipc::MessageTarget {
    Q_OBJECT
public:
    Application(int& argc, char** argv);
    ~Application() override;

    static Application* instance();

    QString title() const { return m_title; }
    void setTitle(const QString& title) { m_title = title; }
    // Full path of the running executable.
    QString exeName() const;
    // The command line as the program sees it (ParamStr); tests may set it.
    QString paramStr(int index) const;
    void setCommandLine(const QStringList& arguments) { m_commandLine = arguments; m_commandLineSet = true; }

    // The application window's handle (it receives nothing of the suite's own).
    ipc::WindowHandle handle();
    void windowProc(ipc::Message& message) override { message.result = 0; }

    ui::Form* mainForm() const;
    void setMainForm(ui::Form* form);

    // Asks the program to end: the main loop (and any modal loop) ends; a later run()
    // returns at once.
    void terminate();
    bool terminated() const { return m_terminated; }
    // Tests run many programs' start-ups in one process.
    void clearTermination() { m_terminated = false; }
    // Runs the event loop unless termination was already asked for.
    int run();
    void processMessages();

    // The application's OnException: when set, every stray exception but EAbort goes here.
    std::function<void(const std::exception&)> onException;
    // Where stray exceptions go when no OnException is set; without one, the exception
    // reporter takes them while enabled, else the message is shown in a plain dialog.
    std::function<void(const std::exception&)> exceptionHandler;

    void handleException(const std::exception& e);
    void showException(const std::exception& e);

    bool notify(QObject* receiver, QEvent* event) override;

    // Runs f, handing any exception to handleException (EAbort is swallowed).
    template <class F>
    void guarded(F&& f)
    {
        try {
            f();
        } catch (const std::exception& e) {
            handleException(e);
        }
    }
    // The same for code that may run before the application exists (then it passes on).
    template <class F>
    static void runGuarded(F&& f)
    {
        if (Application* app = instance())
            app->guarded(std::forward<F>(f));
        else
            f();
    }

signals:
    void terminating();
    // The application became the active one (OnActivate of the application events).
    void activated();

private:
    QString m_title;
    QPointer<QWidget> m_mainForm;
    bool m_terminated = false;
    bool m_running = false;
    ipc::WindowHandle m_handle = 0;
    QStringList m_commandLine;
    bool m_commandLineSet = false;
};

// The screen's form list in creation order and the last activated form. Qt's own
// active window is null exactly when another process speaks to us, so this keeps its own.
class Screen {
public:
    static Screen& instance();

    const QList<ui::Form*>& forms() const { return m_forms; }
    int formCount() const { return static_cast<int>(m_forms.size()); }
    ui::Form* activeForm() const;

    void addForm(ui::Form* form);
    void removeForm(ui::Form* form);
    void setActiveForm(ui::Form* form);

    // Cursor kinds the suite uses.
    enum class Cursor { Default, HourGlass };
    Cursor cursor() const { return m_cursor; }
    void setCursor(Cursor cursor);

private:
    QList<ui::Form*> m_forms;
    ui::Form* m_active = nullptr;
    Cursor m_cursor = Cursor::Default;
};

// Sets the cursor and puts the default one back however the scope ends.
class CursorGuard {
public:
    explicit CursorGuard(Screen::Cursor during = Screen::Cursor::HourGlass);
    ~CursorGuard();
    CursorGuard(const CursorGuard&) = delete;
    CursorGuard& operator=(const CursorGuard&) = delete;
};

inline Application* application() { return Application::instance(); }

} // namespace vorta
