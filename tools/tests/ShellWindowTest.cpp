#include "ShellWindow.h"

#include "platform/ipc/WindowMessages.h"
#include "testing/ShellProcess.h"

#include <gtest/gtest.h>

#include <QEventLoop>
#include <QFile>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTimer>

#include <functional>

using vorta::ipc::Message;
using vorta::ipc::Messenger;
using vorta::shell::ShellCore;
using vorta::shell::ShellWindow;

namespace {

constexpr int kWait = 10000;

// A module's main form in this process.
class MainForm : public vorta::ipc::MessageTarget {
public:
    MainForm() { handle = Messenger::instance().allocateHandle(this); }
    ~MainForm() override { Messenger::instance().releaseHandle(handle); }
    void windowProc(Message& message) override
    {
        received.append(message.wParam);
        message.result = message.wParam == 2 ? 4242 : 1;
    }
    vorta::ipc::WindowHandle handle = 0;
    QList<std::uint64_t> received;
};

class ShellWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        // A module that records its arguments and then stays until it is killed.
        QFile f(dir.filePath(QStringLiteral("Vorta_Mod")));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        // Renamed into place, so the file is whole when it appears.
        f.write("#!/bin/sh\necho \"$@\" > \"$0.tmp\" && mv \"$0.tmp\" \"$0.args\"\nexec cat\n");
        f.close();
        f.setPermissions(QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    }

    QPushButton* button(ShellWindow& w, const QString& text)
    {
        for (auto* b : w.findChildren<QPushButton*>()) {
            if (b->text() == text)
                return b;
        }
        return nullptr;
    }
    QString log(ShellWindow& w) { return w.findChild<QPlainTextEdit*>()->toPlainText(); }

    // Runs the event loop until the log shows text.
    bool waitForLog(ShellWindow& w, const QString& text)
    {
        auto* view = w.findChild<QPlainTextEdit*>();
        if (view->toPlainText().contains(text))
            return true;
        QEventLoop loop;
        QTimer::singleShot(kWait, &loop, &QEventLoop::quit);
        QObject::connect(view, &QPlainTextEdit::textChanged, &loop, [&] {
            if (view->toPlainText().contains(text))
                loop.quit();
        });
        loop.exec();
        return view->toPlainText().contains(text);
    }

    QTemporaryDir dir;
};

TEST_F(ShellWindowTest, OffersTheModulesFoundInItsFolder)
{
    ShellCore core;
    ShellWindow window(core, dir.path(), 80);
    ASSERT_NE(button(window, QStringLiteral("Vorta_Mod")), nullptr);
    ASSERT_NE(button(window, QStringLiteral("ZIR")), nullptr);
    EXPECT_TRUE(button(window, QStringLiteral("Vorta_Mod"))->isEnabled());
    EXPECT_FALSE(button(window, QStringLiteral("ZIR"))->isEnabled()) << "no ZIR in the folder";
    for (const char* text : {"0 Hide", "1 Show", "2 Activate", "13 Terminate"})
        EXPECT_NE(button(window, QString::fromLatin1(text)), nullptr) << text;
    EXPECT_EQ(window.height(), 80) << "as high as the modules' offset";
}

TEST_F(ShellWindowTest, StartsAModuleAndSendsItTheRequests)
{
    ShellCore core;
    ShellWindow window(core, dir.path(), 95);
    button(window, QStringLiteral("Vorta_Mod"))->click();
    ASSERT_TRUE(waitForLog(window, QStringLiteral("started Vorta_Mod"))) << log(window).toStdString();

    // Its arguments: the shell's handle and the offset.
    const QString argsFile = dir.filePath(QStringLiteral("Vorta_Mod.args"));
    ASSERT_TRUE(vorta::testing::waitForFile(argsFile, kWait));
    QFile args(argsFile);
    ASSERT_TRUE(args.open(QIODevice::ReadOnly));
    EXPECT_EQ(args.readAll().trimmed(), QByteArray::number(core.handle()) + " 95");

    // This process answers for the module's main form.
    MainForm form;
    const auto number = Messenger::instance().sendMessage(core.handle(), core.mainFormHandleMessage(), form.handle, 7);
    EXPECT_EQ(number, 1);
    EXPECT_TRUE(waitForLog(window, QStringLiteral("handshake main=%1 app=7 -> 1").arg(form.handle)));

    button(window, QStringLiteral("2 Activate"))->click();
    button(window, QStringLiteral("0 Hide"))->click();
    button(window, QStringLiteral("13 Terminate"))->click();
    EXPECT_EQ(form.received, (QList<std::uint64_t>{2, 0, 13}));
    EXPECT_TRUE(log(window).contains(QStringLiteral("Vorta_Mod: sent 2 -> 4242"))) << log(window).toStdString();
}

TEST_F(ShellWindowTest, RequestWithoutAModuleIsOnlyLogged)
{
    ShellCore core;
    ShellWindow window(core, dir.path(), 80);
    button(window, QStringLiteral("1 Show"))->click();
    EXPECT_TRUE(log(window).contains(QStringLiteral("no module with a main form selected")));
}

} // namespace
