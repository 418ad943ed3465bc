#pragma once

#include "platform/ui/Dialogs.h"

#include <QList>
#include <QString>

#include <deque>
#include <optional>

namespace vorta::testing {

// A dialog service for tests: each dialog must have been expected, in order (kind,
// text, buttons), and is answered as scripted; an unexpected dialog fails the test.
// Installs itself for its lifetime and fails the test if expectations are left over.
class ScriptedDialogs : public ui::DialogService {
public:
    ScriptedDialogs();
    ~ScriptedDialogs() override;

    // text: the whole text, or with a leading "*" a part of it.
    ScriptedDialogs& expectMessage(ui::MessageKind kind, const QString& text, int answer);
    // Also checks the buttons' modal results, in order.
    ScriptedDialogs& expectMessage(ui::MessageKind kind, const QString& text, const QList<int>& buttons, int answer);
    ScriptedDialogs& expectInput(const QString& prompt, std::optional<QString> answer);
    ScriptedDialogs& expectFile(std::optional<QString> answer);
    // answer: whether the user confirms the printer set-up.
    ScriptedDialogs& expectPrinterSetup(bool answer);

    int message(const ui::MessageRequest& request) override;
    std::optional<QString> input(const ui::InputRequest& request) override;
    std::optional<QString> file(const ui::FileRequest& request) override;
    bool printerSetup(const ui::PrinterSetupRequest& request) override;

    // Everything shown so far.
    QList<ui::MessageRequest> messages;
    bool allAnswered() const { return m_expected.empty(); }

private:
    struct Expected {
        enum class What { Message, Input, File, PrinterSetup } what;
        ui::MessageKind kind = ui::MessageKind::Custom;
        QString text;
        std::optional<QList<int>> buttons;
        int answer = 0;
        std::optional<QString> textAnswer;
    };
    std::deque<Expected> m_expected;
    ui::DialogService* m_previous = nullptr;
};

// What a test program shows when no ScriptedDialogs is in force: every dialog fails the
// test and is answered as if cancelled, so an unexpected dialog never waits for a person.
class UnexpectedDialogs : public ui::DialogService {
public:
    int message(const ui::MessageRequest& request) override;
    std::optional<QString> input(const ui::InputRequest& request) override;
    std::optional<QString> file(const ui::FileRequest& request) override;
    bool printerSetup(const ui::PrinterSetupRequest& request) override;
};

} // namespace vorta::testing
