#include "platform/ui/Application.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/Form.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QEvent>
#include <QStringList>
#include <QTimer>

#include <stdexcept>

using vorta::Application;
using vorta::Guarded;
using vorta::Screen;

namespace {

Application* app()
{
    return Application::instance();
}

// An object whose event handler fails the way the test asks.
class Thrower : public QObject {
public:
    std::function<void()> fail;
    bool event(QEvent* e) override
    {
        if (e->type() == QEvent::User && fail)
            fail();
        return QObject::event(e);
    }
};

class ApplicationTest : public ::testing::Test {
protected:
    void TearDown() override
    {
        app()->onException = nullptr;
        app()->exceptionHandler = nullptr;
        app()->clearTermination();
    }
};

} // namespace

TEST_F(ApplicationTest, TerminateBeforeTheLoopMakesRunReturnAtOnce)
{
    app()->terminate();
    EXPECT_TRUE(app()->terminated());
    EXPECT_EQ(app()->run(), 0);
}

TEST_F(ApplicationTest, TerminateFromInsideTheLoopEndsIt)
{
    bool ran = false;
    QTimer::singleShot(0, app(), [&] {
        ran = true;
        app()->terminate();
    });
    EXPECT_EQ(app()->run(), 0);
    EXPECT_TRUE(ran);
    EXPECT_TRUE(app()->terminated());
}

TEST_F(ApplicationTest, ProcessMessagesRunsWhatIsPending)
{
    int calls = 0;
    QMetaObject::invokeMethod(app(), [&] { ++calls; }, Qt::QueuedConnection);
    EXPECT_EQ(calls, 0);
    app()->processMessages();
    EXPECT_EQ(calls, 1);
}

TEST_F(ApplicationTest, EventHandlerExceptionsGoToTheHandlerAndTheSilentAbortNowhere)
{
    QStringList handled;
    app()->onException = [&](const std::exception& e) { handled << QString::fromUtf8(e.what()); };
    Thrower target;
    const struct {
        std::function<void()> fail;
        const char* expected; // nullptr: swallowed
    } cases[] = {
        {[] { throw vorta::EConvertError("'x' is not a valid integer value"); }, "'x' is not a valid integer value"},
        {[] { throw std::runtime_error("plain"); }, "plain"},
        {[] { throw 42; }, "Unknown exception"},
        {[] { vorta::Abort(); }, nullptr},
    };
    for (const auto& c : cases) {
        handled.clear();
        target.fail = c.fail;
        QEvent e(QEvent::User);
        QCoreApplication::sendEvent(&target, &e);
        EXPECT_EQ(handled, c.expected ? QStringList{c.expected} : QStringList{});
    }
}

TEST_F(ApplicationTest, WithoutOnExceptionTheExceptionHandlerTakesIt)
{
    QStringList seen;
    app()->exceptionHandler = [&](const std::exception& e) { seen << QString::fromUtf8(e.what()); };
    Thrower target;
    target.fail = [] { throw vorta::Exception("stray"); };
    QEvent e(QEvent::User);
    QCoreApplication::sendEvent(&target, &e);
    EXPECT_EQ(seen, QStringList{"stray"});

    // OnException, once set, comes first.
    QStringList first;
    app()->onException = [&](const std::exception& ex) { first << QString::fromUtf8(ex.what()); };
    QCoreApplication::sendEvent(&target, &e);
    EXPECT_EQ(first, QStringList{"stray"});
    EXPECT_EQ(seen.size(), 1);
}

TEST_F(ApplicationTest, AStrayExceptionLeavesTheLoopRunning)
{
    QStringList handled;
    app()->onException = [&](const std::exception& e) { handled << QString::fromUtf8(e.what()); };
    QTimer::singleShot(0, app(), [] { throw vorta::Exception("first"); });
    QTimer::singleShot(0, app(), [] { app()->terminate(); });
    EXPECT_EQ(app()->run(), 0);
    EXPECT_EQ(handled, QStringList{"first"});
}

namespace {
Guarded<vorta::ui::Form> FormA, FormB, FormC;
}

TEST(ScreenTest, FormsInCreationOrderAndAFreedFormLeavesListAndActiveForm)
{
    Screen& screen = Screen::instance();
    const int before = screen.formCount();
    auto* a = vorta::ui::createForm(FormA);
    auto* b = vorta::ui::createForm(FormB);
    auto* c = vorta::ui::createForm(FormC);
    ASSERT_EQ(screen.formCount(), before + 3);
    EXPECT_EQ(screen.forms().mid(before), (QList<vorta::ui::Form*>{a, b, c}));

    // The last activated form is kept even when the window system reports none.
    screen.setActiveForm(b);
    EXPECT_EQ(screen.activeForm(), b);
    vorta::Component::free(a);
    EXPECT_EQ(screen.activeForm(), b);
    EXPECT_EQ(screen.forms().mid(before), (QList<vorta::ui::Form*>{b, c}));
    vorta::Component::free(b);
    EXPECT_EQ(screen.activeForm(), nullptr);
    EXPECT_FALSE(FormB);
    EXPECT_EQ(screen.forms().mid(before), (QList<vorta::ui::Form*>{c}));
    vorta::Component::free(c);
    EXPECT_EQ(screen.formCount(), before);
}

TEST(ScreenTest, TheCursorGuardPutsTheDefaultBackWhenItsScopeRaises)
{
    EXPECT_THROW(
        {
            vorta::CursorGuard busy;
            EXPECT_EQ(Screen::instance().cursor(), Screen::Cursor::HourGlass);
            throw vorta::Exception("fails while busy");
        },
        vorta::Exception);
    EXPECT_EQ(Screen::instance().cursor(), Screen::Cursor::Default);
}
