#include "uVortaModuleForm.h"
#include "platform/core/QtGuard.h"

#include "DialogsX.h"
#include "Ufuncoes.h"

#include "platform/ui/Application.h"
#include "platform/core/Conversions.h"
#include "platform/core/Exceptions.h"
#include "platform/ipc/SingleInstance.h"
#include "platform/ui/WindowSystem.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QVBoxLayout>

std::int32_t VortaHandle = 0;
std::uint32_t WM_VortaModMainFormHandle = 0;
std::uint32_t WM_VortaNotify = 0;
std::uint32_t WM_VortaModNotify = 0;
vorta::Guarded<TVortaModuleForm> VortaModuleForm;

using vorta::ipc::Message;
using vorta::ipc::Messenger;
using vorta::ui::windowSystem;
using vorta::ui::Form;

void RegisterVortaMessages()
{
    static bool registered = false;
    if (registered)
        return;
    registered = true;
    Messenger& m = Messenger::instance();
    WM_VortaNotify = m.registerWindowMessage(QStringLiteral("WM_VortaNotify"));
    WM_VortaModMainFormHandle = m.registerWindowMessage(QStringLiteral("WM_VortaModMainFormHandle"));
    WM_VortaModNotify = m.registerWindowMessage(QStringLiteral("WM_VortaModNotify"));
}

namespace {
QString commandLineArgument(int index)
{
    return vorta::Application::instance()->paramStr(index);
}
} // namespace

TVortaModuleForm::TVortaModuleForm(vorta::Component* owner) : Form(owner)
{
    // Registered with the first module form, before any of the three is used.
    RegisterVortaMessages();
    // A second start of the same program brings the first one forward and ends; the
    // handshake is then skipped because the application is terminating.
    XJustOne1 = std::make_unique<vorta::ipc::SingleInstance>();
    if (XJustOne1->alreadyRunning()) {
        m_handedOver = true;
        XJustOne1->activatePrevious();
        vorta::Application::instance()->terminate();
    } else {
        XJustOne1->onActivate = [this] { bringForward(); };
    }
    setObjectName(QStringLiteral("fVortaModuleForm"));
    setCaption(QStringLiteral("fVortaModuleForm"));
    helpContext = 17000;
    setWindowFlags(Qt::Window | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    resize(697, 480);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    Image1 = new QLabel(this);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image1->setAlignment(Qt::AlignCenter);
    layout->addWidget(Image1, 1);
    StatusBar1 = new vorta::ui::StatusBar(this);
    StatusBar1->setObjectName(QStringLiteral("StatusBar1"));
    StatusBar1->addPanel({QString(), 400, Qt::AlignHCenter});
    StatusBar1->addPanel({QString(), 50, Qt::AlignLeft});
    layout->addWidget(StatusBar1);

    OnCreate = [this](Form* f) { FormCreate(f); };
    OnShow = [this](Form* f) { FormShow(f); };
    OnClose = [this](Form* f, vorta::ui::CloseAction& a) { FormClose(f, a); };
    OnDestroy = [this](Form* f) { FormDestroy(f); };
    if (auto* app = vorta::Application::instance())
        connect(app, &vorta::Application::activated, this,
                [this] { vorta::guardQt([this] { ApplicationEvents1Activate(); }); });
    // The desktop's work area changing reaches the form as the system's setting change.
    if (auto* screen = QGuiApplication::primaryScreen())
        connect(screen, &QScreen::availableGeometryChanged, this, [this] {
            Message m{vorta::ipc::WM_SETTINGCHANGE, vorta::ipc::SPI_SETWORKAREA, 0, 0};
            vorta::guardQt([this, &m] { windowProc(m); });
        });
}

TVortaModuleForm::~TVortaModuleForm() = default;

void TVortaModuleForm::FormCreate(Form*)
{
    auto* app = vorta::Application::instance();
    const auto handle = vorta::tryStrToInt(commandLineArgument(1));
    if (!handle) {
        ShowMessage(QStringLiteral("Esta aplicação não deve ser inicializada fora do Vorta."));
        app->terminate();
        vorta::Abort();
    }
    VortaHandle = *handle;
    if (tag() != 333)
        placeBelowShell();
    if (!app->terminated())
        SendHandleToVorta(WM_VortaModMainFormHandle);
    windowSystem().setApplicationExStyle(windowSystem().applicationExStyle() | vorta::ui::WS_EX_TOOLWINDOW);
}

void TVortaModuleForm::placeBelowShell()
{
    const vorta::os::Rect area = GetWindowsWorkArea();
    const int offset = vorta::StrToInt(commandLineArgument(2));
    const int top = area.top + offset;
    // An offset beyond the work area leaves no room: height 0, never negative.
    setBounds(area.left, top, area.right - area.left, std::max(0, area.bottom - top));
}

void TVortaModuleForm::FormShow(Form*)
{
    NotificarVorta(1, m_moduleNumber);
    const QString version = QStringLiteral("Versão: ") + GetVersionExe(vorta::Application::instance()->exeName());
    StatusBar1->setPanelText(1, version);
    StatusBar1->setPanelWidth(0, clientWidth() - (QFontMetrics(font()).horizontalAdvance(version) + 20));
}

void TVortaModuleForm::FormClose(Form*, vorta::ui::CloseAction& action)
{
    action = vorta::ui::CloseAction::Free;
}

void TVortaModuleForm::FormDestroy(Form*)
{
    NotificarVorta(2, m_moduleNumber);
}

void TVortaModuleForm::ApplicationEvents1Activate()
{
    NotificarVorta(1, m_moduleNumber);
}

void TVortaModuleForm::bringForward()
{
    showWindow();
    raise();
    activateWindow();
}

void TVortaModuleForm::XJustOne1AlreadyExist()
{
    vorta::Application::instance()->terminate();
}

void TVortaModuleForm::NotificarVorta(std::uint64_t wParam, std::int64_t lParam)
{
    // An instance that handed over to the running one is not the shell's module: its
    // activation or end must not read as the running module's.
    if (m_handedOver)
        return;
    Messenger::instance().sendMessage(static_cast<vorta::ipc::WindowHandle>(VortaHandle), WM_VortaNotify, wParam,
                                      lParam);
}

void TVortaModuleForm::SendHandleToVorta(std::uint32_t msg)
{
    m_moduleNumber = Messenger::instance().sendMessage(static_cast<vorta::ipc::WindowHandle>(VortaHandle), msg,
                                                       handle(), vorta::Application::instance()->handle());
}

void TVortaModuleForm::wndProc(Message& message)
{
    if (message.msg == vorta::ipc::WM_SETTINGCHANGE) {
        WMSettingChange(message);
        return;
    }
    if (message.msg == CM_SHOWNOACTIVATE) {
        CMShowNOActivate(message);
        return;
    }
    if (message.msg == CM_SHOWACTIVATE) {
        CMShowActivate(message);
        return;
    }
    if (message.msg != WM_VortaModNotify || WM_VortaModNotify == 0) {
        Form::wndProc(message);
        return;
    }
    message.result = 1;
    auto* app = vorta::Application::instance();
    vorta::Screen& screen = vorta::Screen::instance();
    switch (message.wParam) {
    case 0:
        // The windows go; their Visible properties stay, so a show brings the same set back.
        windowSystem().hideWindow(app->mainForm());
        for (Form* f : screen.forms())
            if (f->visibleProperty())
                windowSystem().hideWindow(f);
        if (Form* active = screen.activeForm())
            windowSystem().hideWindow(active);
        break;
    case 1:
        Messenger::instance().postMessage(handle(), CM_SHOWNOACTIVATE, 0, 0);
        break;
    case 2: {
        Messenger::instance().postMessage(handle(), CM_SHOWACTIVATE, 0, 0);
        Form* active = screen.activeForm();
        if (!active)
            active = app->mainForm();
        message.result = active ? active->handle() : 0;
        break;
    }
    case 13:
        app->terminate();
        break;
    default:
        break;
    }
}

void TVortaModuleForm::showBehindShell()
{
    const auto shell = static_cast<vorta::ipc::WindowHandle>(VortaHandle);
    const unsigned flags = vorta::ui::SWP_NOSIZE | vorta::ui::SWP_NOMOVE | vorta::ui::SWP_NOACTIVATE
                           | vorta::ui::SWP_SHOWWINDOW;
    Form* main = vorta::Application::instance()->mainForm();
    vorta::Screen& screen = vorta::Screen::instance();
    windowSystem().setWindowPos(main, shell, flags);
    for (Form* f : screen.forms())
        if (f->isModal())
            windowSystem().setWindowPos(f, shell, flags);
    // The other forms that a hide took away come back too (their Visible stayed set), so
    // a show brings back the set the hide took; the active form follows last.
    for (Form* f : screen.forms())
        if (f != main && !f->isModal() && f != screen.activeForm() && f->visibleProperty() && !f->isVisible())
            windowSystem().setWindowPos(f, shell, flags);
}

void TVortaModuleForm::CMShowNOActivate(Message&)
{
    showBehindShell();
    if (Form* active = vorta::Screen::instance().activeForm())
        windowSystem().setWindowPos(active, static_cast<vorta::ipc::WindowHandle>(VortaHandle),
                                    vorta::ui::SWP_NOSIZE | vorta::ui::SWP_NOMOVE | vorta::ui::SWP_NOACTIVATE
                                        | vorta::ui::SWP_SHOWWINDOW);
}

void TVortaModuleForm::CMShowActivate(Message&)
{
    showBehindShell();
    if (Form* active = vorta::Screen::instance().activeForm())
        windowSystem().setWindowPos(active, vorta::ui::HWND_TOP,
                                    vorta::ui::SWP_NOSIZE | vorta::ui::SWP_NOMOVE | vorta::ui::SWP_SHOWWINDOW);
}

void TVortaModuleForm::WMSettingChange(Message& message)
{
    if (tag() != 333 && message.wParam == vorta::ipc::SPI_SETWORKAREA) {
        // An offset that is no number was reported at start-up; here it re-places nothing.
        if (vorta::tryStrToInt(commandLineArgument(2)))
            placeBelowShell();
    }
    message.result = 0;
}
