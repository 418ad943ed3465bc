// The library's own forms and dialogs show their texts whole and their controls inside
// their parents, at their own sizes in the interface font.
#include "DialogsX.h"
#include "FrmTemplateCadastro.h"
#include "Input1.h"
#include "WInputBox.h"
#include "fInput.h"

#include "platform/ui/Application.h"
#include "testing/LayoutCheck.h"
#include "testing/Screenshots.h"
#include "testing/UserInput.h"

#include <QImage>

#include <functional>

#include <gtest/gtest.h>

namespace user = vorta::testing::user;
using vorta::testing::layoutOffenders;

namespace {

// Shows the form as the user gets it, keeps its picture and lists what is cut or misplaced.
QString offendersOf(vorta::ui::Form* f, const QString& picture)
{
    f->show();
    user::activate(f);
    f->grab().toImage().save(vorta::testing::screenshotFolder() + QLatin1Char('/') + picture +
                             vorta::testing::screenshotSuffix() + QStringLiteral(".png"));
    return layoutOffenders(f).join(QLatin1Char('\n'));
}

TEST(FormLayout, MessageDialogsShowTheirTextAndButtonsWhole)
{
    const struct {
        const char* name;
        const char* text;
        TMsgDlgType type;
        TMsgDlgButtons buttons;
    } cases[] = {
        {"MessageForm_confirmation", "86 - Deseja realmente sair do sistema?", mtConfirmation, {mbYes, mbNo}},
        {"MessageForm_error",
         "33 - Não foi possível gravar o registro. Verifique os dados informados e tente novamente.", mtError,
         {mbOK}},
        {"MessageForm_short", "Ok", mtInformation, {mbOK}},
        {"MessageForm_lines", "1641 - Movimento validado com sucesso.\nRegistros: 12\nErros: 0", mtWarning,
         {mbOK, mbCancel}},
        {"MessageForm_all_buttons", "Todos", mtCustom,
         {mbYes, mbNo, mbOK, mbCancel, mbAbort, mbRetry, mbIgnore, mbAll, mbNoToAll, mbYesToAll, mbHelp}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TMessageForm* f = CreateMessageDialog(QString::fromUtf8(c.text), c.type, c.buttons);
        EXPECT_EQ(offendersOf(f, QString::fromLatin1(c.name)).toStdString(), "");
        vorta::Component::free(f);
    }
}

TEST(FormLayout, InputFormsShowEveryTextWhole)
{
    auto* app = vorta::Application::instance();
    const struct {
        const char* name;
        std::function<vorta::ui::Form*()> make;
    } cases[] = {
        {"WInputBox",
         [app] {
             auto* w = vorta::create<TWInputBox>(app);
             w->setCaption(QStringLiteral("Senha"));
             w->Label1->setCaption(QStringLiteral("Informe a senha"));
             w->Label2->setCaption(QStringLiteral("do arquivo de remessa:"));
             return w;
         }},
        {"Input1",
         [app] {
             auto* i = vorta::create<TInput1>(app);
             i->Label1->setCaption(QStringLiteral("Data do abate:"));
             i->MaskEdit1->setEditMask(QStringLiteral("99/99/9999;1;_"));
             return i;
         }},
        {"fInput",
         [app] {
             auto* f = vorta::create<TfInput>(app);
             f->Label1->setCaption(QStringLiteral("Nome:"));
             return f;
         }},
        {"FrmTemplateCadastro", [app] { return vorta::create<TFrmTemplateCadastro>(app); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vorta::ui::Form* f = c.make();
        EXPECT_EQ(offendersOf(f, QStringLiteral("layout_") + QString::fromLatin1(c.name)).toStdString(), "");
        vorta::Component::free(f);
    }
}

} // namespace
