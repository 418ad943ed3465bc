#include "comum.h"
#include "uAppLog.h"

#include "platform/core/Clock.h"
#include "platform/ui/Application.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"
#include "testing/ScriptedDialogs.h"
#include "testing/ShellProcess.h"
#include "testing/UserInput.h"

#include <QDir>
#include <QFile>
#include <QPixmap>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorta::testing;

namespace {

TEST(AppLogTest, AddsTimeStampedLinesAndReportsAFileItCannotWrite)
{
    QTemporaryDir dir;
    vorta::setClock([] { return QDateTime(QDate(2005, 1, 2), QTime(3, 4, 5)); });
    TAppLog log;
    EXPECT_EQ(log.LogName(), "");
    log.setLogName(dir.path() + "/app.txt");
    log.Add("primeira");
    log.Add(QStringLiteral("segunda ção"));
    QFile f(dir.path() + "/app.txt");
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_EQ(f.readAll(), QByteArray("02/01/2005 03:04:05 - primeira\r\n02/01/2005 03:04:05 - segunda \xE7\xE3o\r\n"));

    ScriptedDialogs dialogs;
    dialogs.expectMessage(vorta::ui::MessageKind::Custom, "Erro ao fazer log!", 1);
    log.setLogName(dir.path() + "/no/such/app.txt");
    log.Add("x");
    vorta::setClock({});
}

// A form with two edits in a panel and one outside.
struct FocusForm {
    vorta::ui::Form* form = new vorta::ui::Form(nullptr);
    vorta::ui::Edit* first = new vorta::ui::Edit(form, "First");
    vorta::ui::Panel* panel = new vorta::ui::Panel(form, "Panel");
    vorta::ui::Edit* inner1 = new vorta::ui::Edit(panel, "Inner1");
    vorta::ui::Edit* inner2 = new vorta::ui::Edit(panel, "Inner2");
    vorta::ui::Edit* last = new vorta::ui::Edit(form, "Last");
    FocusForm()
    {
        form->resize(300, 200);
        first->setGeometry(5, 5, 80, 20);
        panel->setGeometry(5, 40, 200, 80);
        inner1->setGeometry(5, 5, 80, 20);
        inner2->setGeometry(5, 40, 80, 20);
        last->setGeometry(5, 150, 80, 20);
        form->show();
        user::activate(form);
    }
    ~FocusForm() { vorta::Component::free(form); }
};

TEST(WindowTest, TabOrdersFollowTheFocusChainWithinTheParent)
{
    FocusForm f;
    EXPECT_EQ(TabOrderOf(f.first), 0);
    EXPECT_EQ(TabOrderOf(f.panel), 1);
    EXPECT_EQ(TabOrderOf(f.last), 2);
    EXPECT_EQ(TabOrderOf(f.inner1), 0);
    EXPECT_EQ(TabOrderOf(f.inner2), 1);
    EXPECT_EQ(TabOrderOf(f.form), -1);
}

TEST(WindowTest, WSetFocusRedirectsOnlyWhenTheFocusMovesForward)
{
    FocusForm f;
    struct Case { const char* what; QWidget* active; QWidget* sender; bool moved; };
    const Case cases[] = {
        {"back within the panel", f.inner1, f.inner2, false},
        {"forward within the panel", f.inner2, f.inner1, true},
        {"back to a control before the panel", f.first, f.inner1, false},
        {"forward on the form", f.last, f.first, true},
        {"from the panel to the form, whose own order is -1", f.last, f.inner2, false},
    };
    for (const Case& c : cases) {
        f.form->setActiveControl(c.active);
        EXPECT_EQ(wSetFocus(c.sender, f.last == c.active ? f.first : f.last), c.moved) << c.what;
        if (c.moved)
            EXPECT_NE(f.form->activeControl(), c.active) << c.what;
        else
            EXPECT_EQ(f.form->activeControl(), c.active) << c.what;
    }
    vorta::ui::Form bare(nullptr);
    auto* only = new vorta::ui::Edit(&bare, "Only");
    EXPECT_EQ(bare.activeControl(), nullptr);
    EXPECT_TRUE(wSetFocus(only, only));
    EXPECT_EQ(bare.activeControl(), only);
}

TEST(WindowTest, SendKeyAndSendCharReachTheFocusedControl)
{
    FocusForm f;
    f.form->setActiveControl(f.first);
    std::vector<int> downs;
    f.first->OnKeyDown = [&](QWidget*, int& key, Qt::KeyboardModifiers) { downs.push_back(key); };
    const auto handle = f.form->handle();
    SendChar(handle, 'a');
    SendChar(handle, QChar(0xE7));
    SendKey(handle, 'B');
    EXPECT_EQ(f.first->text(), QStringLiteral("aç") + "b");
    SendKey(handle, vorta::ui::VK_BACK);
    EXPECT_EQ(f.first->text(), QStringLiteral("aç"));
    EXPECT_EQ(downs.back(), vorta::ui::VK_BACK);
    SendKey(0x7FFFFFF0u, 'C'); // no window: nothing happens
    EXPECT_EQ(f.first->text(), QStringLiteral("aç"));
}

TEST(WindowTest, NewMenuItemTakesEveryProperty)
{
    int clicks = 0;
    vorta::ui::MenuItem* item = NewMenuItem("&Gravar", 0x4053, true, false, [&](vorta::ui::MenuItem*) { ++clicks; },
                                            120, "mnGravar");
    EXPECT_EQ(item->owner(), nullptr);
    EXPECT_EQ(item->caption, "&Gravar");
    EXPECT_EQ(item->shortcut, QKeySequence(Qt::CTRL | Qt::Key_S));
    EXPECT_TRUE(item->checked);
    EXPECT_FALSE(item->enabled);
    EXPECT_EQ(item->helpContext, 120);
    EXPECT_EQ(item->name(), "mnGravar");
    item->OnClick(item);
    EXPECT_EQ(clicks, 1);
    delete item;
    EXPECT_EQ(ShortCutToKey(0x8000 | 0x2000 | vorta::ui::VK_F1), QKeySequence(Qt::ALT | Qt::SHIFT | Qt::Key_F1));
    EXPECT_EQ(ShortCutToKey(0), QKeySequence());
}

class ShownForm : public vorta::ui::Form {
public:
    explicit ShownForm(vorta::Component* owner) : Form(owner) { ++alive; }
    ~ShownForm() override { --alive; }
    static int alive;
};
int ShownForm::alive = 0;
vorta::Guarded<ShownForm> Shown;

TEST(WindowTest, DynamicFormShowsModallyFreesAndResetsTheCursor)
{
    vorta::ui::setModalHook([](vorta::ui::Form& form) {
        EXPECT_EQ(ShownForm::alive, 1);
        form.setModalResult(vorta::ui::mrYes);
        return int(vorta::ui::mrNone);
    });
    vorta::Screen::instance().setCursor(vorta::Screen::Cursor::HourGlass);
    EXPECT_EQ(DynamicForm(Shown), vorta::ui::mrYes);
    vorta::ui::setModalHook(nullptr);
    EXPECT_EQ(ShownForm::alive, 0);
    EXPECT_FALSE(Shown);
    EXPECT_EQ(vorta::Screen::instance().cursor(), vorta::Screen::Cursor::Default);
}

TEST(DesktopTest, GetFolderAnswersOnlyFoldersInsideTheStandardOne)
{
    QTemporaryDir home;
    const QByteArray oldHome = qgetenv("HOME");
    qputenv("HOME", QFile::encodeName(home.path()));
    QDir().mkpath(home.path() + "/docs/inner");
    const QString profile = SpecialFolderPath(0x0028);
    EXPECT_EQ(profile, home.path());
    ScriptedDialogs dialogs;
    dialogs.expectFile(home.path() + "/docs/inner");
    EXPECT_EQ(GetFolder(0x0028, "Escolha"), home.path() + "/docs/inner");
    dialogs.expectFile(QString("/tmp"));
    EXPECT_EQ(GetFolder(0x0028, "Escolha"), "");
    dialogs.expectFile(std::nullopt);
    EXPECT_EQ(GetFolder(0x0028, "Escolha"), "");
    dialogs.expectFile(home.path() + "/docs/missing");
    EXPECT_EQ(GetFolder(0x0028, "Escolha"), "");
    EXPECT_EQ(GetFolder(0x7777, "Escolha"), ""); // no such standard folder: nothing asked
    qputenv("HOME", oldHome);
}

TEST(DesktopTest, GetFileIconOfATypeAndOfAnIconFile)
{
    QTemporaryDir dir;
    QPixmap picture(16, 16);
    picture.fill(Qt::red);
    ASSERT_TRUE(picture.save(dir.path() + "/own.ico", "ICO"));
    QIcon icon;
    EXPECT_TRUE(GetFileIcon(dir.path() + "/own.ico", icon));
    EXPECT_EQ(icon.pixmap(16, 16).toImage().pixelColor(8, 8), QColor(Qt::red));
    QIcon other;
    EXPECT_TRUE(GetFileIcon("/nowhere/report.txt", other)); // the type alone counts
    EXPECT_FALSE(other.isNull());
}

TEST(DesktopTest, ExecuteFileRunsAProgramInTheFolderAndReportsWhatIsMissing)
{
    QTemporaryDir dir;
    QFile script(dir.path() + "/run.sh");
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\necho \"$1 $2\" > ran.tmp\nmv ran.tmp ran.txt\n");
    script.close();
    script.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    EXPECT_GT(ExecuteFile("run.sh", "um dois", dir.path(), 1), 32);
    // The program runs on its own; its file, renamed into place, tells it ran.
    ASSERT_TRUE(waitForFile(dir.path() + "/ran.txt", 30000));
    QFile out(dir.path() + "/ran.txt");
    ASSERT_TRUE(out.open(QIODevice::ReadOnly));
    EXPECT_EQ(out.readAll(), "um dois\n");

    EXPECT_EQ(ExecuteFile("missing.sh", "", dir.path(), 1), 2);
    EXPECT_EQ(ExecuteFile("run.sh", "", dir.path() + "/nope", 1), 3);
}

} // namespace
