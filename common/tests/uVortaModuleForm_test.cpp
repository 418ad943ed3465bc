#include "uVortaModuleForm.h"

#include "platform/ui/Application.h"
#include "platform/ipc/ExceptionReporter.h"
#include "platform/ui/WindowSystem.h"
#include "platform/os/WorkArea.h"
#include "testing/ScriptedDialogs.h"
#include "testing/ShellProcess.h"

#include <gtest/gtest.h>

#include <QFontMetrics>
#include <QTemporaryDir>
#include <QWindow>

using vorta::Guarded;
using vorta::ipc::Message;
using vorta::ipc::Messenger;
using vorta::testing::ScriptedDialogs;

namespace {

// The host shell's side, in this process: answers the handshake and records notifications.
class FakeShell : public vorta::ipc::MessageTarget {
public:
    FakeShell() { handle = Messenger::instance().allocateHandle(this); }
    ~FakeShell() override { Messenger::instance().releaseHandle(handle); }
    void windowProc(Message& m) override
    {
        if (m.msg == WM_VortaModMainFormHandle) {
            handshakes.append({m.wParam, m.lParam});
            m.result = 77;
        } else if (m.msg == WM_VortaNotify) {
            notifications.append({m.wParam, m.lParam});
        }
    }
    vorta::ipc::WindowHandle handle = 0;
    QList<QPair<quint64, qint64>> handshakes;
    QList<QPair<quint64, qint64>> notifications;
};

class TModuloTeste : public TVortaModuleForm {
public:
    explicit TModuloTeste(vorta::Component* owner) : TVortaModuleForm(owner) { setTag(s_nextTag); }
    static inline int s_nextTag = 0;
};

Guarded<TModuloTeste> ModuloTeste;
Guarded<vorta::ui::Form> OutraForm;

class ModuleFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app()->clearTermination();
        app()->setMainForm(nullptr);
        vorta::os::setWorkAreaOverride(vorta::os::Rect{0, 20, 1000, 720});
        vorta::ui::setWindowSystem(&windows);
        vorta::ipc::ExceptionReporter::instance().setLogFile(logDir.path() + "/test.log");
        TModuloTeste::s_nextTag = 0;
    }
    void TearDown() override
    {
        vorta::Component::free(OutraForm.get());
        vorta::Component::free(ModuloTeste.get());
        app()->setMainForm(nullptr);
        app()->setCommandLine({});
        app()->clearTermination();
        vorta::ui::setWindowSystem(nullptr);
        vorta::os::setWorkAreaOverride(std::nullopt);
        vorta::Screen::instance().setActiveForm(nullptr);
    }
    static vorta::Application* app() { return vorta::Application::instance(); }
    TModuloTeste* start(const QString& offset = "40")
    {
        app()->setCommandLine({"ZIR", QString::number(shell.handle), offset});
        return vorta::ui::createForm(ModuloTeste);
    }
    std::int64_t notify(std::uint64_t w)
    {
        return Messenger::instance().sendMessage(ModuloTeste->handle(), WM_VortaModNotify, w, 0);
    }
    QStringList calls() const
    {
        QStringList out;
        for (const auto& c : windows.calls)
            out << QString("%1 %2 %3 %4").arg(c.what, c.windowName).arg(c.insertAfter).arg(c.flags, 0, 16);
        return out;
    }
    FakeShell shell;
    vorta::ui::RecordingWindowSystem windows;
    QTemporaryDir logDir;
};

} // namespace

TEST_F(ModuleFormTest, TheHandshakeReplyIsPassedBackWithEveryNotification)
{
    TModuloTeste* form = start();
    ASSERT_EQ(shell.handshakes.size(), 1);
    EXPECT_EQ(shell.handshakes[0].first, form->handle());
    EXPECT_EQ(shell.handshakes[0].second, app()->handle());
    EXPECT_EQ(VortaHandle, static_cast<std::int32_t>(shell.handle));
    EXPECT_TRUE(windows.applicationExStyle() & vorta::ui::WS_EX_TOOLWINDOW);

    form->show();
    emit app()->activated();
    vorta::Component::free(form);
    using N = QPair<quint64, qint64>;
    EXPECT_EQ(shell.notifications, QList<N>({N{1, 77}, N{1, 77}, N{2, 77}}));
}

TEST_F(ModuleFormTest, FitsTheWorkAreaBelowTheOffset)
{
    struct Case {
        const char* offset;
        QRect bounds;
    } cases[] = {{"40", QRect(0, 60, 1000, 660)},
                 {"0", QRect(0, 20, 1000, 700)},
                 // Beyond the work area: no room, never a negative height.
                 {"900", QRect(0, 920, 1000, 0)}};
    for (const Case& c : cases) {
        TModuloTeste* form = start(c.offset);
        EXPECT_EQ(form->geometry(), c.bounds) << c.offset;
        vorta::Component::free(form);
    }
}

TEST_F(ModuleFormTest, TheVersionPanelShowsTheProgramsVersionAndPanelZeroTakesTheRest)
{
    TModuloTeste* form = start();
    form->show();
    const QString text = form->StatusBar1->panel(1).text;
    EXPECT_EQ(text, QString("Versão: ") + VORTA_TEST_FILE_VERSION);
    EXPECT_EQ(form->StatusBar1->panel(0).width,
              form->clientWidth() - (QFontMetrics(form->font()).horizontalAdvance(text) + 20));
}

TEST_F(ModuleFormTest, Tag333KeepsItsOwnBoundsAtStartAndOnWorkAreaChanges)
{
    TModuloTeste::s_nextTag = 333;
    TModuloTeste* form = start();
    const QRect own = form->geometry();
    EXPECT_EQ(own.size(), QSize(697, 480));
    Message m{vorta::ipc::WM_SETTINGCHANGE, vorta::ipc::SPI_SETWORKAREA, 0, 5};
    form->windowProc(m);
    EXPECT_EQ(form->geometry(), own);
    EXPECT_EQ(m.result, 0);
}

TEST_F(ModuleFormTest, OnlyAWorkAreaChangePlacesTheFormAgain)
{
    TModuloTeste* form = start();
    vorta::os::setWorkAreaOverride(vorta::os::Rect{10, 0, 810, 500});
    for (std::uint64_t other : {0, 42, 48})
        Messenger::instance().sendMessage(form->handle(), vorta::ipc::WM_SETTINGCHANGE, other, 0);
    EXPECT_EQ(form->geometry(), QRect(0, 60, 1000, 660));
    Messenger::instance().sendMessage(form->handle(), vorta::ipc::WM_SETTINGCHANGE, vorta::ipc::SPI_SETWORKAREA, 0);
    EXPECT_EQ(form->geometry(), QRect(10, 40, 800, 460));
}

TEST_F(ModuleFormTest, WithoutANumericFirstArgumentItSaysSoAndEndsWithoutTalking)
{
    for (const char* first : {"", "abc", "12x"}) {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(vorta::ui::MessageKind::Custom,
                              "Esta aplicação não deve ser inicializada fora do Vorta.", 1);
        app()->setCommandLine({"ZIR", first, "40"});
        TModuloTeste* form = vorta::ui::createForm(ModuloTeste);
        EXPECT_TRUE(app()->terminated()) << first;
        EXPECT_TRUE(shell.handshakes.isEmpty());
        EXPECT_EQ(windows.applicationExStyle(), 0u);
        vorta::Component::free(form);
        app()->clearTermination();
    }
    EXPECT_TRUE(shell.notifications.isEmpty() || shell.notifications.last().first == 2);
}

TEST_F(ModuleFormTest, AnOffsetThatIsNoNumberIsReportedAndStopsTheHandshake)
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage(vorta::ui::MessageKind::Custom, "'4x' is not a valid integer value", 1);
    TModuloTeste* form = start("4x");
    EXPECT_TRUE(shell.handshakes.isEmpty());
    EXPECT_EQ(windows.applicationExStyle(), 0u); // nor the tool-window style
    EXPECT_FALSE(app()->terminated());
    // A later work-area change re-places nothing and raises nothing.
    const QRect before = form->geometry();
    Messenger::instance().sendMessage(form->handle(), vorta::ipc::WM_SETTINGCHANGE, vorta::ipc::SPI_SETWORKAREA, 0);
    EXPECT_EQ(form->geometry(), before);
}

TEST_F(ModuleFormTest, HideKeepsVisibilityAndShowBringsTheSameSetBackAfterTheReply)
{
    TModuloTeste* form = start();
    form->setObjectName("main");
    form->show();
    vorta::ui::createForm(OutraForm)->setObjectName("other");
    OutraForm->show();
    vorta::Screen::instance().setActiveForm(OutraForm);

    EXPECT_EQ(notify(0), 1);
    EXPECT_FALSE(form->isVisible());
    EXPECT_FALSE(OutraForm->isVisible());
    EXPECT_TRUE(form->visibleProperty());
    EXPECT_TRUE(OutraForm->visibleProperty());
    EXPECT_EQ(calls(), QStringList({"hide main 0 0", "hide main 0 0", "hide other 0 0", "hide other 0 0"}));

    windows.calls.clear();
    EXPECT_EQ(notify(1), 1);
    EXPECT_TRUE(windows.calls.isEmpty()); // the show is posted: it runs after the reply
    QCoreApplication::processEvents();
    const QString behind = QString::number(shell.handle);
    EXPECT_EQ(calls(), QStringList({"pos main " + behind + " 53", "pos other " + behind + " 53"}));
    EXPECT_TRUE(form->isVisible());
    EXPECT_TRUE(OutraForm->isVisible());

    windows.calls.clear();
    EXPECT_EQ(notify(2), static_cast<std::int64_t>(OutraForm->handle()));
    QCoreApplication::processEvents();
    EXPECT_EQ(calls(), QStringList({"pos main " + behind + " 53", "pos other 0 43"}));
}

// A show brings back every form the hide took, not only the main and the active one.
TEST_F(ModuleFormTest, AShowAfterAHideBringsBackEveryFormItHid)
{
    TModuloTeste* form = start();
    form->setObjectName("main");
    form->show();
    Guarded<vorta::ui::Form> idle;
    vorta::ui::createForm(idle)->setObjectName("idle");
    idle->show();
    vorta::ui::createForm(OutraForm)->setObjectName("other");
    OutraForm->show();
    Guarded<vorta::ui::Form> closed; // never shown: stays away
    vorta::ui::createForm(closed)->setObjectName("closed");
    vorta::Screen::instance().setActiveForm(OutraForm);
    const QString behind = QString::number(shell.handle);
    struct Case {
        std::uint64_t request;
        QString active;
    } cases[] = {{1, "pos other " + behind + " 53"}, {2, "pos other 0 43"}};
    for (const Case& c : cases) {
        EXPECT_EQ(notify(0), 1);
        EXPECT_FALSE(idle->isVisible());
        windows.calls.clear();
        notify(c.request);
        QCoreApplication::processEvents();
        EXPECT_EQ(calls(), QStringList({"pos main " + behind + " 53", "pos idle " + behind + " 53", c.active}))
            << c.request;
        for (vorta::ui::Form* f : {static_cast<vorta::ui::Form*>(form), idle.get(), OutraForm.get()})
            EXPECT_TRUE(f->isVisible()) << f->objectName().toStdString() << " after " << c.request;
        EXPECT_FALSE(closed->isVisible());
    }
    vorta::Component::free(closed.get());
    vorta::Component::free(idle.get());
}

// A request that arrives while a dialog is up places the main form, then every form
// shown modally, then the active one; other visible forms are left where they are.
TEST_F(ModuleFormTest, ShowRequestsPlaceTheModalFormsAfterTheMainForm)
{
    TModuloTeste* form = start();
    form->setObjectName("main");
    form->show();
    vorta::ui::createForm(OutraForm)->setObjectName("other");
    OutraForm->show();
    Guarded<vorta::ui::Form> dialog;
    vorta::ui::createForm(dialog)->setObjectName("dialog");
    const QString behind = QString::number(shell.handle);
    struct Case {
        std::uint64_t request;
        QStringList placed;
    } cases[] = {{1, {"pos main " + behind + " 53", "pos dialog " + behind + " 53", "pos dialog " + behind + " 53"}},
                 {2, {"pos main " + behind + " 53", "pos dialog " + behind + " 53", "pos dialog 0 43"}}};
    for (const Case& c : cases) {
        windows.calls.clear();
        vorta::ui::setModalHook([&](vorta::ui::Form& f) {
            vorta::Screen::instance().setActiveForm(&f);
            const std::int64_t reply = notify(c.request);
            EXPECT_EQ(reply, c.request == 2 ? static_cast<std::int64_t>(f.handle()) : 1) << c.request;
            QCoreApplication::processEvents();
            return int(vorta::ui::mrOk);
        });
        dialog->showModal();
        vorta::ui::setModalHook(nullptr);
        EXPECT_EQ(calls(), c.placed) << c.request;
    }
    vorta::Component::free(dialog.get());
}

TEST_F(ModuleFormTest, AProgramAlreadyEndingPlacesItselfButSendsNoHandshake)
{
    app()->terminate();
    TModuloTeste* form = start();
    EXPECT_TRUE(shell.handshakes.isEmpty());
    EXPECT_EQ(form->moduleNumber(), 0);
    EXPECT_EQ(form->geometry(), QRect(0, 60, 1000, 660));
    EXPECT_TRUE(windows.applicationExStyle() & vorta::ui::WS_EX_TOOLWINDOW);
}

TEST_F(ModuleFormTest, WithNoActiveFormShowAndActivateAnswersTheMainForm)
{
    TModuloTeste* form = start();
    form->setObjectName("main");
    vorta::Screen::instance().setActiveForm(nullptr);
    EXPECT_EQ(notify(2), static_cast<std::int64_t>(form->handle()));
    QCoreApplication::processEvents();
    EXPECT_EQ(calls(), QStringList({"pos main " + QString::number(shell.handle) + " 53"}));
}

TEST_F(ModuleFormTest, TerminateEndsTheProgramAndOtherRequestsDoNothing)
{
    start();
    for (std::uint64_t w : {3, 4, 7, 12, 14, 100}) {
        EXPECT_EQ(notify(w), 1) << w;
        QCoreApplication::processEvents();
    }
    EXPECT_TRUE(windows.calls.isEmpty());
    EXPECT_FALSE(app()->terminated());
    EXPECT_EQ(notify(13), 1);
    EXPECT_TRUE(app()->terminated());
}

// The same conversation with the stand-in shell running as a process of its own.
TEST_F(ModuleFormTest, TalksWithAShellInAnotherProcess)
{
    constexpr int kWait = 20000;
    vorta::testing::ShellProcess remote;
    ASSERT_TRUE(remote.start("wait-handshake;wait-notify 1;send 0;send 1;send 2;send 5;send 13;wait-notify 2;quit",
                             {"--reply", "31"}))
        << remote.transcript().toStdString();
    app()->setCommandLine({"ZIR", remote.handle(), "40"});
    TModuloTeste* form = vorta::ui::createForm(ModuloTeste);
    form->setObjectName("main");
    ASSERT_TRUE(remote.waitForLine("handshake ", kWait)) << remote.transcript().toStdString();
    EXPECT_EQ(remote.matchedLine(), QString("handshake main=%1 app=%2 -> 31").arg(form->handle()).arg(app()->handle()));
    EXPECT_EQ(form->moduleNumber(), 31);
    EXPECT_EQ(form->geometry(), QRect(0, 60, 1000, 660));

    form->show();
    ASSERT_TRUE(remote.waitForLine("notify 1 ", kWait)) << remote.transcript().toStdString();
    EXPECT_EQ(remote.matchedRest(), "31");
    for (const char* w : {"0", "1", "5", "13"}) {
        ASSERT_TRUE(remote.waitForLine(QString("sent %1 -> ").arg(w), kWait)) << remote.transcript().toStdString();
        EXPECT_EQ(remote.matchedRest(), "1") << w;
    }
    ASSERT_TRUE(remote.waitForLine("sent 2 -> ", kWait));
    EXPECT_EQ(remote.matchedRest(), QString::number(form->handle()));
    EXPECT_TRUE(app()->terminated());
    const QString behind = "pos main " + remote.handle() + " 53";
    QCoreApplication::processEvents(); // the shows that the requests posted
    EXPECT_GE(calls().count(behind), 2) << calls().join('|').toStdString();
    EXPECT_TRUE(calls().contains("hide main 0 0"));
    EXPECT_TRUE(form->isVisible());

    vorta::Component::free(form);
    ASSERT_TRUE(remote.waitForLine("notify 2 ", kWait)) << remote.transcript().toStdString();
    EXPECT_EQ(remote.matchedRest(), "31");
    ASSERT_TRUE(remote.waitForFinished(kWait));
    EXPECT_EQ(remote.exitCode(), 0) << remote.transcript().toStdString();
}

// A second start hands over to the running program and ends without a word to the shell.
TEST_F(ModuleFormTest, ASecondInstanceHandsOverAndNeverTalksToTheShell)
{
    vorta::ipc::SingleInstance running; // the program's first instance
    int broughtForward = 0;
    running.onActivate = [&] { ++broughtForward; };
    ASSERT_TRUE(running.isFirst());

    TModuloTeste* form = start();
    EXPECT_TRUE(app()->terminated());
    QCoreApplication::processEvents(); // the first instance comes forward from its loop
    EXPECT_EQ(broughtForward, 1);
    emit app()->activated();
    vorta::Component::free(form);
    EXPECT_TRUE(shell.handshakes.isEmpty());
    EXPECT_TRUE(shell.notifications.isEmpty());
}

// Under the shell the module keeps off the taskbar: its main form shows as a tool
// window and the other forms as transient for it; started by hand, nothing changes.
TEST_F(ModuleFormTest, UnderTheShellTheFormsKeepOffTheTaskbar)
{
    for (bool underShell : {true, false}) {
        ScriptedDialogs dialogs;
        if (!underShell)
            dialogs.expectMessage(vorta::ui::MessageKind::Custom,
                                  "Esta aplicação não deve ser inicializada fora do Vorta.", 1);
        vorta::ui::RecordingWindowSystem fresh; // the style starts off in each run
        vorta::ui::setWindowSystem(&fresh);
        app()->setCommandLine({"ZIR", underShell ? QString::number(shell.handle) : QString(), "40"});
        TModuloTeste* form = vorta::ui::createForm(ModuloTeste);
        form->show();
        vorta::ui::createForm(OutraForm)->show();
        ASSERT_NE(form->windowHandle(), nullptr);
        ASSERT_NE(OutraForm->windowHandle(), nullptr);
        EXPECT_EQ(form->windowHandle()->type(), underShell ? Qt::Tool : Qt::Window) << underShell;
        EXPECT_EQ(OutraForm->windowHandle()->transientParent(), underShell ? form->windowHandle() : nullptr)
            << underShell;
        vorta::Component::free(OutraForm.get());
        vorta::Component::free(form);
        vorta::ui::setWindowSystem(&windows);
        app()->clearTermination();
    }
}
