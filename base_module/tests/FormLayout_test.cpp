// The base module's own forms, and the report preview its listings open, show their
// texts whole and their controls inside their parents at their own sizes.
#include "T_DM_Comuns.h"
#include "T_Sel_Rel_Produtos.h"
#include "uAbout.h"
#include "uConfigProxy.h"
#include "uDmVortaModule.h"
#include "uVortaMenuForm.h"

#include "installation/InstallMessages.h"
#include "platform/db/Database.h"
#include "platform/report/ReportPreview.h"
#include "platform/ui/Application.h"
#include "platform/ui/WindowSystem.h"
#include "testing/LayoutCheck.h"
#include "testing/ScriptedDialogs.h"
#include "testing/Screenshots.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QImage>

#include <functional>

#include <gtest/gtest.h>

namespace user = vorta::testing::user;
using vorta::testing::layoutOffenders;

namespace {

class FormLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::installation::installMessages(m_inst.folder(QStringLiteral("dados")));
        vorta::ui::setWindowSystem(&m_windows);
        app()->clearTermination();
        app()->setCommandLine({QStringLiteral("Vorta_Mod"), QStringLiteral("0"), QStringLiteral("0")});
        InicializarVariaveisGlobais();
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(fVortaMenuForm);
        vorta::Component::free(AboutBox);
        vorta::Component::free(frmConfigProxy);
        vorta::Component::free(Sel_Rel_Produtos);
        vorta::Component::free(DM_Comuns);
        app()->setCommandLine({});
        app()->clearTermination();
        vorta::ui::setWindowSystem(nullptr);
    }
    static vorta::Application* app() { return vorta::Application::instance(); }

    // Shows the form as the user gets it, keeps its picture and lists what is cut or misplaced.
    static std::string offendersOf(vorta::ui::Form* f, const char* picture)
    {
        f->show();
        user::activate(f);
        f->grab().toImage().save(vorta::testing::screenshotFolder() + QLatin1Char('/') + QLatin1String(picture) +
                                 vorta::testing::screenshotSuffix() + QStringLiteral(".png"));
        return layoutOffenders(f).join(QLatin1Char('\n')).toStdString();
    }

    vorta::testing::TempInstallation m_inst;
    vorta::ui::RecordingWindowSystem m_windows;
};

} // namespace

TEST_F(FormLayout, TheModulesFormsShowEveryTextWhole)
{
    vorta::testing::ScriptedDialogs dialogs;
    const struct {
        const char* name;
        std::function<vorta::ui::Form*()> make;
    } cases[] = {
        {"uVortaMenuForm", [] { return vorta::createInto<TfVortaMenuForm>(fVortaMenuForm, app()); }},
        {"uAbout", [] { return vorta::createInto<TAboutBox>(AboutBox, app()); }},
        {"uConfigProxy", [] { return vorta::createInto<TfrmConfigProxy>(frmConfigProxy, app()); }},
        {"T_Sel_Rel_Produtos", [] { return vorta::createInto<TSel_Rel_Produtos>(Sel_Rel_Produtos, app()); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vorta::ui::Form* f = c.make();
        EXPECT_EQ(offendersOf(f, c.name), "");
        f->hide();
    }
}

// A listing opened from the menu shows its preview; the preview's buttons and status
// read whole.
TEST_F(FormLayout, TheReportPreviewShowsEveryTextWhole)
{
    vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), QStringLiteral(
        "DELETE FROM NaturezaOperacao;"
        "INSERT INTO NaturezaOperacao VALUES (1, 'COMPRA', 'A'), (51, 'VENDA', 'A');"));
    vorta::createInto<TfVortaMenuForm>(fVortaMenuForm, app());
    int previews = 0;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        if (dynamic_cast<vorta::report::ReportPreview*>(&form)) {
            ++previews;
            EXPECT_EQ(offendersOf(&form, "ReportPreview"), "");
        }
        return int(vorta::ui::mrCancel);
    });
    vorta::ui::MenuItem* todas = fVortaMenuForm->item(QStringLiteral("Todas1"));
    ASSERT_TRUE(todas);
    todas->click();
    EXPECT_EQ(previews, 1);
}
