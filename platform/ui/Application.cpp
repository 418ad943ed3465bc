#include "platform/ui/Application.h"

#include "platform/core/Exceptions.h"
#include "platform/ipc/ExceptionReporter.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"

#include <QCursor>
#include <QFont>
#include <QGuiApplication>

namespace vorta {

namespace {

// The forms, reports and pictures are laid out for the Windows fonts; these fonts keep
// their widths, so a text that fits there fits here.
void mapWindowsFonts()
{
    const struct {
        const char* windows;
        const char* here;
    } fonts[] = {
        {"Arial", "Liberation Sans"},
        {"MS Sans Serif", "Liberation Sans"},
        {"Microsoft Sans Serif", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& f : fonts)
        QFont::insertSubstitution(QString::fromLatin1(f.windows), QString::fromLatin1(f.here));
}

} // namespace

QFont interfaceFont()
{
    // The class library's interface font, 8 points at 96 dpi.
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPixelSize(11);
    return font;
}

Application::Application(int& argc, char** argv) : QApplication(argc, argv), Component(nullptr)
{
    setQuitOnLastWindowClosed(false);
    mapWindowsFonts();
    setFont(interfaceFont());
    // The layers below reach the application's dialogs and exception handling only here.
    setStrayExceptionHandler([this](const std::exception& e) { handleException(e); });
    ipc::ExceptionReporter::instance().setDialog([](const QString& text) { ui::showPlainMessage(text); });
    connect(this, &QGuiApplication::applicationStateChanged, this, [this](Qt::ApplicationState state) {
        if (state == Qt::ApplicationActive)
            emit activated();
    });
}

ipc::WindowHandle Application::handle()
{
    if (!m_handle)
        m_handle = ipc::Messenger::instance().allocateHandle(this);
    return m_handle;
}

Application::~Application()
{
    // Owned forms and data modules go while Qt is still there.
    beginDestroy();
    setStrayExceptionHandler(nullptr);
    ipc::ExceptionReporter::instance().setDialog(nullptr);
    if (m_handle)
        ipc::Messenger::instance().releaseHandle(m_handle);
}

Application* Application::instance()
{
    return qobject_cast<Application*>(QCoreApplication::instance());
}

QString Application::exeName() const
{
    return QCoreApplication::applicationFilePath();
}

QString Application::paramStr(int index) const
{
    const QStringList args = m_commandLineSet ? m_commandLine : QCoreApplication::arguments();
    return index >= 0 && index < args.size() ? args.at(index) : QString();
}

ui::Form* Application::mainForm() const
{
    return qobject_cast<ui::Form*>(m_mainForm.data());
}

void Application::setMainForm(ui::Form* form)
{
    m_mainForm = form;
}

void Application::terminate()
{
    m_terminated = true;
    emit terminating();
    if (m_running)
        QCoreApplication::exit(0);
}

int Application::run()
{
    if (m_terminated)
        return 0;
    m_running = true;
    const int rc = exec();
    m_running = false;
    return rc;
}

void Application::processMessages()
{
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void Application::handleException(const std::exception& e)
{
    if (dynamic_cast<const EAbort*>(&e))
        return;
    if (onException)
        onException(e);
    else if (exceptionHandler)
        exceptionHandler(e);
    else if (ipc::ExceptionReporter::instance().enabled)
        ipc::ExceptionReporter::instance().report(e);
    else
        showException(e);
}

void Application::showException(const std::exception& e)
{
    const auto* ve = dynamic_cast<const Exception*>(&e);
    ui::showPlainMessage(ve ? ve->message() : QString::fromUtf8(e.what()));
}

bool Application::notify(QObject* receiver, QEvent* event)
{
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::exception& e) {
        handleException(e);
    } catch (...) {
        handleException(Exception(QStringLiteral("Unknown exception")));
    }
    return false;
}

Screen& Screen::instance()
{
    static Screen screen;
    return screen;
}

ui::Form* Screen::activeForm() const
{
    return m_active;
}

void Screen::addForm(ui::Form* form)
{
    if (!m_forms.contains(form))
        m_forms.append(form);
}

void Screen::removeForm(ui::Form* form)
{
    m_forms.removeAll(form);
    if (m_active == form)
        m_active = nullptr;
}

void Screen::setActiveForm(ui::Form* form)
{
    m_active = form;
}

void Screen::setCursor(Cursor cursor)
{
    if (cursor == m_cursor)
        return;
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance())) {
        if (m_cursor != Cursor::Default)
            QGuiApplication::restoreOverrideCursor();
        if (cursor == Cursor::HourGlass)
            QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
    m_cursor = cursor;
}

CursorGuard::CursorGuard(Screen::Cursor during)
{
    Screen::instance().setCursor(during);
}

CursorGuard::~CursorGuard()
{
    Screen::instance().setCursor(Screen::Cursor::Default);
}

} // namespace vorta
