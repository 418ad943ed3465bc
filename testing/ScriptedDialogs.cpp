#include "testing/ScriptedDialogs.h"

#include <gtest/gtest.h>

namespace vorta::testing {

namespace {
bool textMatches(const QString& pattern, const QString& text)
{
    if (pattern.startsWith(QLatin1Char('*')))
        return text.contains(pattern.mid(1));
    return text == pattern;
}
} // namespace

ScriptedDialogs::ScriptedDialogs()
{
    m_previous = ui::installedDialogService();
    ui::setDialogService(this);
}

ScriptedDialogs::~ScriptedDialogs()
{
    ui::setDialogService(m_previous);
    for (const Expected& e : m_expected)
        ADD_FAILURE() << "expected dialog never shown: " << e.text.toStdString();
}

ScriptedDialogs& ScriptedDialogs::expectMessage(ui::MessageKind kind, const QString& text, int answer)
{
    m_expected.push_back(Expected{Expected::What::Message, kind, text, std::nullopt, answer, std::nullopt});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectMessage(ui::MessageKind kind, const QString& text, const QList<int>& buttons,
                                                int answer)
{
    m_expected.push_back(Expected{Expected::What::Message, kind, text, buttons, answer, std::nullopt});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectInput(const QString& prompt, std::optional<QString> answer)
{
    m_expected.push_back(Expected{Expected::What::Input, ui::MessageKind::Custom, prompt, std::nullopt, 0, answer});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectFile(std::optional<QString> answer)
{
    m_expected.push_back(Expected{Expected::What::File, ui::MessageKind::Custom, QString(), std::nullopt, 0, answer});
    return *this;
}

ScriptedDialogs& ScriptedDialogs::expectPrinterSetup(bool answer)
{
    m_expected.push_back(Expected{Expected::What::PrinterSetup, ui::MessageKind::Custom, QString(), std::nullopt,
                                  answer ? 1 : 0, std::nullopt});
    return *this;
}

int ScriptedDialogs::message(const ui::MessageRequest& request)
{
    messages.append(request);
    if (m_expected.empty() || m_expected.front().what != Expected::What::Message) {
        ADD_FAILURE() << "unexpected dialog [" << ui::messageKindName(request.kind).toStdString()
                      << "] " << request.text.toStdString();
        return request.cancelResult;
    }
    const Expected e = m_expected.front();
    m_expected.pop_front();
    EXPECT_EQ(ui::messageKindName(e.kind).toStdString(), ui::messageKindName(request.kind).toStdString())
        << "dialog: " << request.text.toStdString();
    EXPECT_TRUE(textMatches(e.text, request.text))
        << "expected \"" << e.text.toStdString() << "\", shown \"" << request.text.toStdString() << "\"";
    if (e.buttons) {
        QList<int> shown;
        for (const ui::DialogButton& b : request.buttons)
            shown << b.modalResult;
        EXPECT_EQ(*e.buttons, shown) << "buttons of: " << request.text.toStdString();
    }
    return e.answer;
}

std::optional<QString> ScriptedDialogs::input(const ui::InputRequest& request)
{
    if (m_expected.empty() || m_expected.front().what != Expected::What::Input) {
        ADD_FAILURE() << "unexpected input dialog: " << request.prompt.toStdString();
        return std::nullopt;
    }
    const Expected e = m_expected.front();
    m_expected.pop_front();
    EXPECT_TRUE(textMatches(e.text, request.prompt)) << "input prompt: " << request.prompt.toStdString();
    return e.textAnswer;
}

std::optional<QString> ScriptedDialogs::file(const ui::FileRequest& request)
{
    if (m_expected.empty() || m_expected.front().what != Expected::What::File) {
        ADD_FAILURE() << "unexpected file dialog: " << request.caption.toStdString();
        return std::nullopt;
    }
    const Expected e = m_expected.front();
    m_expected.pop_front();
    return e.textAnswer;
}

bool ScriptedDialogs::printerSetup(const ui::PrinterSetupRequest& request)
{
    if (m_expected.empty() || m_expected.front().what != Expected::What::PrinterSetup) {
        ADD_FAILURE() << "unexpected printer set-up dialog: " << request.caption.toStdString();
        return false;
    }
    const Expected e = m_expected.front();
    m_expected.pop_front();
    return e.answer != 0;
}

int UnexpectedDialogs::message(const ui::MessageRequest& request)
{
    ADD_FAILURE() << "unexpected dialog [" << ui::messageKindName(request.kind).toStdString() << "] "
                  << request.text.toStdString();
    return request.cancelResult;
}

std::optional<QString> UnexpectedDialogs::input(const ui::InputRequest& request)
{
    ADD_FAILURE() << "unexpected input dialog: " << request.prompt.toStdString();
    return std::nullopt;
}

std::optional<QString> UnexpectedDialogs::file(const ui::FileRequest& request)
{
    ADD_FAILURE() << "unexpected file dialog: " << request.caption.toStdString();
    return std::nullopt;
}

bool UnexpectedDialogs::printerSetup(const ui::PrinterSetupRequest& request)
{
    ADD_FAILURE() << "unexpected printer set-up dialog: " << request.caption.toStdString();
    return false;
}

} // namespace vorta::testing
