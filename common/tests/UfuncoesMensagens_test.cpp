#include "Ufuncoes.h"

#include "DialogsX.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/db/DbTypes.h"
#include "platform/ui/Dialogs.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <QFile>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QWidget>

#include <gtest/gtest.h>

#include <functional>

using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

// An installed data folder whose catalogue holds a few rows of our own.
class NumberedMessages : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_inst.installDatabase();
        DirDados = m_inst.folder(QStringLiteral("dados"));
        setCatalogue({
            {86, QStringLiteral("Deseja sair do sistema?")},
            {462, QStringLiteral("O arquivo %s já existe. Deseja substituí-lo?")},
            {1565, QStringLiteral("%d registro(s) de %s.")},
            {9, QStringLiteral("Cópia concluída: 100%% dos arquivos.")},
            {54, QStringLiteral("Inscrição estadual inválida.")},
            {700, QStringLiteral("Valor %d")},
        });
    }
    void TearDown() override { DirDados = m_savedDirDados; }

    void setCatalogue(const QList<QPair<int, QString>>& rows)
    {
        QString sql = QStringLiteral("DELETE FROM mensagem;");
        for (const auto& row : rows)
            sql += QStringLiteral("INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES (%1, '%2');")
                       .arg(row.first)
                       .arg(QString(row.second).replace(QLatin1Char('\''), QStringLiteral("''")));
        vorta::db::executeScript(DirDados, sql);
    }

    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
};

TEST_F(NumberedMessages, GetErrorMessageJoinsNumberAndTextAndFormatsThem)
{
    struct Case {
        int code;
        QVariantList args;
        const char* expected;
    };
    const Case cases[] = {
        {86, {}, "86 - Deseja sair do sistema?"},
        {462, {QStringLiteral("/backup/BakVorta20261210.zip")},
         "462 - O arquivo /backup/BakVorta20261210.zip já existe. Deseja substituí-lo?"},
        {1565, {3, QStringLiteral("Pecuarista")}, "1565 - 3 registro(s) de Pecuarista."},
        {9, {}, "9 - Cópia concluída: 100% dos arquivos."},
        // No row: both fields empty, and the arguments are not needed.
        {12345, {}, " - "},
        {12345, {QStringLiteral("sobra")}, " - "},
    };
    for (const Case& c : cases)
        EXPECT_EQ(QString::fromUtf8(c.expected).toStdString(), GetErrorMessage(c.code, c.args).toStdString())
            << c.code;
}

TEST_F(NumberedMessages, PlaceholdersThatDoNotMatchRaiseTheConversionError)
{
    EXPECT_THROW(GetErrorMessage(700, {QStringLiteral("texto")}), vorta::EConvertError);
    EXPECT_THROW(GetErrorMessage(462), vorta::EConvertError);
    // The wrapper shows nothing when the text cannot be made.
    ScriptedDialogs dialogs;
    EXPECT_THROW(MsgErroBD(700), vorta::EConvertError);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(NumberedMessages, ChangedCatalogueCountsAtTheNextCall)
{
    EXPECT_EQ(QStringLiteral("54 - Inscrição estadual inválida."), GetErrorMessage(54));
    setCatalogue({{54, QStringLiteral("Dígito verificador da inscrição não confere.")}});
    EXPECT_EQ(QStringLiteral("54 - Dígito verificador da inscrição não confere."), GetErrorMessage(54));
    EXPECT_EQ(QStringLiteral(" - "), GetErrorMessage(86));
}

TEST_F(NumberedMessages, CatalogueFileReplacedOnDiskCountsAtTheNextCall)
{
    EXPECT_EQ(QStringLiteral("86 - Deseja sair do sistema?"), GetErrorMessage(86));
    vorta::testing::TempInstallation other;
    other.installDatabase();
    vorta::db::executeScript(other.folder(QStringLiteral("dados")),
                             QStringLiteral("INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES (86, 'Encerrar agora?')"));
    const QString file = DirDados + QStringLiteral("vorta.db");
    ASSERT_TRUE(QFile::exists(file));
    for (const QString& side : {QStringLiteral("-wal"), QStringLiteral("-shm")})
        QFile::remove(file + side);
    ASSERT_TRUE(QFile::remove(file));
    ASSERT_TRUE(QFile::copy(other.folder(QStringLiteral("dados")) + QStringLiteral("vorta.db"), file));
    EXPECT_EQ(QStringLiteral("86 - Encerrar agora?"), GetErrorMessage(86));
}

TEST_F(NumberedMessages, MissingCatalogueRaisesTheEngineErrorWithoutADialog)
{
    vorta::db::executeScript(DirDados, QStringLiteral("DROP TABLE mensagem"));
    EXPECT_THROW(GetErrorMessage(86), vorta::db::EDBEngineError);
    ScriptedDialogs dialogs;
    EXPECT_THROW(MsgErroBD(86), vorta::db::EDBEngineError);
    EXPECT_THROW(MsgSimNaoBD(86), vorta::db::EDBEngineError);
    EXPECT_TRUE(dialogs.messages.isEmpty());
}

TEST_F(NumberedMessages, MissingDataFolderRaisesTheDatabaseError)
{
    DirDados = m_inst.path() + QStringLiteral("nao-existe/");
    EXPECT_THROW(GetErrorMessage(86), vorta::db::EDatabaseError);
    // Nothing is made on the way.
    EXPECT_FALSE(QFile::exists(DirDados));
}

TEST_F(NumberedMessages, WrappersShowTheTextWithTheirKindAndButtons)
{
    struct Case {
        const char* what;
        std::function<int()> call;
        MessageKind kind;
        QList<int> buttons;
        int answer;
        int expected;
    };
    const Case cases[] = {
        {"erro", [] { MsgErroBD(86); return -1; }, MessageKind::Error, {1}, 1, -1},
        {"info", [] { MsgInfoBD(86); return -1; }, MessageKind::Information, {1}, 1, -1},
        {"sim/nao: sim", [] { return MsgSimNaoBD(86); }, MessageKind::Confirmation, {6, 7}, 6, 6},
        {"sim/nao: nao", [] { return MsgSimNaoBD(86); }, MessageKind::Confirmation, {6, 7}, 7, 7},
        {"sim/nao: fechada", [] { return MsgSimNaoBD(86); }, MessageKind::Confirmation, {6, 7}, 2, 2},
        {"sim/nao/cancela", [] { return MsgSimNaoCancelaBD(86); }, MessageKind::Confirmation, {6, 7, 2}, 2, 2},
        {"ok/cancela", [] { return MsgOkCancelaBD(86); }, MessageKind::Confirmation, {1, 2}, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedDialogs dialogs;
        dialogs.expectMessage(c.kind, QStringLiteral("86 - Deseja sair do sistema?"), c.buttons, c.answer);
        EXPECT_EQ(c.expected, c.call());
        ASSERT_EQ(1, dialogs.messages.size());
        EXPECT_EQ(0, dialogs.messages.at(0).helpContext);
    }
    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Error, QStringLiteral("462 - O arquivo a.zip já existe. Deseja substituí-lo?"), 1);
    MsgErroBD(462, {QStringLiteral("a.zip")});
}

TEST_F(NumberedMessages, QuestionClosedWithoutAnAnswerIsNoForConfirmaSimNaoBD)
{
    struct Case {
        int answer;
        bool yes;
    };
    for (const Case c : {Case{6, true}, Case{7, false}, Case{2, false}}) {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("86 - Deseja sair do sistema?"), {6, 7}, c.answer);
        EXPECT_EQ(c.yes, ConfirmaSimNaoBD(86)) << c.answer;
    }

    // The real dialog closed through its frame.
    vorta::ui::InteractiveDialogService real;
    vorta::ui::setDialogService(&real);
    vorta::ui::setModalHook([](vorta::ui::Form& form) {
        static_cast<QWidget&>(form).close();
        return vorta::ui::mrNone;
    });
    const int closed = MsgSimNaoBD(86);
    const bool confirmed = ConfirmaSimNaoBD(86);
    vorta::ui::setModalHook(nullptr);
    vorta::ui::setDialogService(nullptr);
    EXPECT_EQ(2, closed);
    EXPECT_FALSE(confirmed);
}

TEST(SystemMessageBoxes, CarryTheProductCaptionAndTheSystemButtons)
{
    struct Case {
        const char* what;
        std::function<int(const QString&)> call;
        QList<int> buttons;
        QStringList captions;
        int defaultResult;
        int cancelResult;
        int answer;
        int expected;
    };
    const Case cases[] = {
        {"erro", [](const QString& t) { return MsgErro(t); }, {1}, {"OK"}, 1, 1, 1, 1},
        {"info", [](const QString& t) { MsgInfo(t); return -1; }, {1}, {"OK"}, 1, 1, 1, -1},
        {"sim/nao", [](const QString& t) { return MsgSimNao(t); }, {6, 7}, {"&Sim", "&Não"}, 6, 7, 7, 7},
        {"sim/nao/cancela", [](const QString& t) { return MsgSimNaoCancela(t); }, {6, 7, 2},
         {"&Sim", "&Não", "Cancelar"}, 6, 2, 2, 2},
        {"ok/cancela", [](const QString& t) { return MsgOkCancela(t); }, {1, 2}, {"OK", "Cancelar"}, 1, 2, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::SystemBox, QStringLiteral("Número informado não é um CPF!"), c.buttons, c.answer);
        EXPECT_EQ(c.expected, c.call(QStringLiteral("Número informado não é um CPF!")));
        ASSERT_EQ(1, dialogs.messages.size());
        const vorta::ui::MessageRequest& r = dialogs.messages.at(0);
        EXPECT_EQ(QStringLiteral("Vorta - Vorta"), r.caption);
        QStringList shown;
        for (const auto& b : r.buttons)
            shown << b.caption;
        EXPECT_EQ(c.captions, shown);
        EXPECT_EQ(c.defaultResult, r.defaultResult);
        EXPECT_EQ(c.cancelResult, r.cancelResult);
    }
}

// The box a person sees: the library's dialog with the product caption, the icon of
// the box's flags and the system's captions; the frame gives the box's Escape answer.
TEST(SystemMessageBoxes, RealBoxShowsItsIconAndAnswersTheFrame)
{
    struct Case {
        const char* what;
        std::function<int(const QString&)> call;
        QStyle::StandardPixmap icon;
        QStringList captions;
        const char* press; // nullptr: closed through the frame
        int expected;
    };
    const Case cases[] = {
        {"erro, moldura", [](const QString& t) { return MsgErro(t); }, QStyle::SP_MessageBoxCritical, {"OK"}, nullptr, 1},
        {"info, ok", [](const QString& t) { MsgInfo(t); return 1; }, QStyle::SP_MessageBoxInformation, {"OK"}, "OK", 1},
        {"sim/nao, moldura", [](const QString& t) { return MsgSimNao(t); }, QStyle::SP_MessageBoxQuestion,
         {"&Sim", "&Não"}, nullptr, 7},
        {"sim/nao, sim", [](const QString& t) { return MsgSimNao(t); }, QStyle::SP_MessageBoxQuestion,
         {"&Sim", "&Não"}, "Yes", 6},
        {"sim/nao/cancela, moldura", [](const QString& t) { return MsgSimNaoCancela(t); }, QStyle::SP_MessageBoxQuestion,
         {"&Sim", "&Não", "Cancelar"}, nullptr, 2},
        {"ok/cancela, moldura", [](const QString& t) { return MsgOkCancela(t); }, QStyle::SP_MessageBoxQuestion,
         {"OK", "Cancelar"}, nullptr, 2},
        {"ok/cancela, ok", [](const QString& t) { return MsgOkCancela(t); }, QStyle::SP_MessageBoxQuestion,
         {"OK", "Cancelar"}, "OK", 1},
    };
    vorta::ui::InteractiveDialogService real;
    vorta::ui::setDialogService(&real);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QString caption;
        QStringList captions;
        bool iconMatches = false;
        vorta::ui::setModalHook([&](vorta::ui::Form& form) {
            caption = form.caption();
            auto* image = form.findChild<QLabel*>(QStringLiteral("Image"));
            iconMatches = image
                          && image->pixmap().toImage()
                                 == form.style()->standardIcon(c.icon).pixmap(32, 32).toImage();
            for (QPushButton* b : form.findChildren<QPushButton*>())
                captions << b->text();
            if (c.press)
                form.findChild<QPushButton*>(QString::fromLatin1(c.press))->click();
            else
                static_cast<QWidget&>(form).close();
            return vorta::ui::mrNone;
        });
        EXPECT_EQ(c.expected, c.call(QStringLiteral("Número informado não é um CPF!")));
        EXPECT_EQ(QStringLiteral("Vorta - Vorta"), caption);
        EXPECT_TRUE(iconMatches);
        EXPECT_EQ(c.captions, captions);
    }
    vorta::ui::setModalHook(nullptr);
    vorta::ui::setDialogService(nullptr);
}

} // namespace
