// Every form of the library shows its texts whole and its controls inside their parents,
// at the forms' own sizes in the interface font; the register forms' pages are kept as
// pictures for a person to look at.
#include "Menu.h"
#include "T_Cad_Contabilista.h"
#include "T_Cad_Contribuinte.h"
#include "T_Cad_Municipio.h"
#include "T_Cad_RemDest.h"
#include "T_Cad_RespnsavelLegal.h"
#include "T_Sel_Contribuinte.h"
#include "T_Sel_Produto.h"
#include "T_DM_Comuns.h"
#include "USelecao.h"
#include "Ufuncoes.h"
#include "uPesquisa.h"
#include "uDmVortaModule.h"
#include "uTemplate.h"

#include "platform/db/Database.h"
#include "platform/ui/Application.h"
#include "testing/LayoutCheck.h"
#include "testing/Screenshots.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"
#include "testing/VirtualXServer.h"

#include <QFontInfo>
#include <QGuiApplication>
#include <QImage>

#include <functional>

#include <gtest/gtest.h>

namespace user = vorta::testing::user;
using vorta::testing::layoutOffenders;
using vorta::testing::screenshotFolder;
using vorta::testing::screenshotSuffix;

namespace {

class FormLayout : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_inst.installDatabase();
        vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), QStringLiteral(
            "INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_CEPInicial, Mun_CEPFinal, Mun_UF) VALUES"
            " (999000, 'PRIMEIRA', '77610000', '77610000', 'QX');"
            "INSERT INTO Responsavel (Resp_CPF, Resp_CRC, Resp_Nome) VALUES ('11144477735', 'SP123456O5', 'CARLA')"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(Cad_Municipio);
        vorta::Component::free(Cad_RespnsavelLegal);
        vorta::Component::free(Cad_Contabilista);
        vorta::Component::free(Cad_RemDest);
        vorta::Component::free(Cad_Contribuinte);
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
    }

    // The register forms, each opened as the menus open it.
    struct Register {
        const char* name;
        std::function<TFtemplate*()> open;
    };
    std::vector<Register> registers()
    {
        auto* app = vorta::Application::instance();
        return {
            {"T_Cad_Municipio", [app] { return vorta::createInto<TCad_Municipio>(Cad_Municipio, app); }},
            {"T_Cad_RespnsavelLegal",
             [app] { return vorta::createInto<TCad_RespnsavelLegal>(Cad_RespnsavelLegal, app); }},
            {"T_Cad_Contabilista", [app] { return vorta::createInto<TCad_Contabilista>(Cad_Contabilista, app); }},
            {"T_Cad_RemDest", [app] { return vorta::createInto<TCad_RemDest>(Cad_RemDest, app); }},
        };
    }

    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
};

} // namespace

TEST(InterfaceFont, WindowsFontNamesShowInFontsOfTheSameWidths)
{
    const struct {
        const char* windows;
        const char* shown;
    } cases[] = {
        {"MS Sans Serif", "Liberation Sans"},
        {"Arial", "Liberation Sans"},
        {"Times New Roman", "Liberation Serif"},
        {"Courier New", "Liberation Mono"},
    };
    for (const auto& c : cases) {
        QFont f(QString::fromLatin1(c.windows));
        f.setPixelSize(11);
        EXPECT_EQ(QFontInfo(f).family(), QString::fromLatin1(c.shown)) << c.windows;
    }
    const QFont ui = QGuiApplication::font();
    EXPECT_EQ(QFontInfo(ui).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(QFontInfo(ui).pixelSize(), 11);
}

TEST_F(FormLayout, RegisterFormsShowEveryTextWholeOnBothPages)
{
    vorta::testing::ScriptedDialogs dialogs;
    for (const Register& r : registers()) {
        SCOPED_TRACE(r.name);
        TFtemplate* f = r.open();
        f->show();
        user::activate(f);
        EXPECT_EQ(layoutOffenders(f).join(QLatin1Char('\n')).toStdString(), "") << "grid page";
        const QImage grid = f->grab().toImage();
        EXPECT_TRUE(grid.save(screenshotFolder() + QStringLiteral("/%1_grid%2.png").arg(r.name, screenshotSuffix())));
        user::alt(QLatin1Char('I'));
        EXPECT_EQ(layoutOffenders(f).join(QLatin1Char('\n')).toStdString(), "") << "detail page";
        const QImage detail = f->grab().toImage();
        EXPECT_TRUE(detail.save(screenshotFolder() + QStringLiteral("/%1_detail%2.png").arg(r.name, screenshotSuffix())));
        user::alt(QLatin1Char('C'));
        f->close();
    }
}

TEST_F(FormLayout, SelectionAndSearchFormsShowEveryTextWhole)
{
    vorta::testing::ScriptedDialogs dialogs;
    auto* app = vorta::Application::instance();
    TFtemplate* base = vorta::createInto<TFtemplate>(Ftemplate, app);
    base->show();
    EXPECT_EQ(layoutOffenders(base).join(QLatin1Char('\n')).toStdString(), "") << "Ftemplate";
    vorta::Component::free(base);
    TfPesquisa* pesquisa = vorta::createInto<TfPesquisa>(fPesquisa, app);
    pesquisa->show();
    EXPECT_EQ(layoutOffenders(pesquisa).join(QLatin1Char('\n')).toStdString(), "") << "fPesquisa";
    vorta::Component::free(pesquisa);
    TFSelecao* selecao = vorta::createInto<TFSelecao>(FSelecao, app);
    selecao->show();
    EXPECT_EQ(layoutOffenders(selecao).join(QLatin1Char('\n')).toStdString(), "") << "FSelecao";
    vorta::Component::free(selecao);
}

TEST(FormLayoutPictures, UnderAVirtualXServer)
{
    if (vorta::testing::onRealWindowSystem())
        GTEST_SKIP() << "already the run under the X server";
    QStringList pictures;
    for (const char* name : {"T_Cad_Municipio", "T_Cad_RespnsavelLegal", "T_Cad_Contabilista", "T_Cad_RemDest"})
        for (const char* page : {"grid", "detail"})
            pictures << screenshotFolder() + QStringLiteral("/%1_%2_xcb.png").arg(QLatin1String(name), QLatin1String(page));
    const vorta::testing::VirtualXRun run = vorta::testing::rerunUnderVirtualXServer(
        QStringLiteral("FormLayout.RegisterFormsShowEveryTextWholeOnBothPages"), pictures);
    if (!run.available)
        GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_TRUE(run.finished) << "the run under the X server did not end";
    ASSERT_EQ(0, run.exitCode) << run.output.toStdString();
    for (const QString& p : pictures)
        EXPECT_FALSE(QImage(p).isNull()) << p.toStdString();
}

// The taxpayer form shows its pages by the kind of registration found: each kind, each
// page it shows.
TEST_F(FormLayout, TaxpayerFormShowsEveryTextWholeOnEveryPageOfEachKind)
{
    vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), QStringLiteral(
        "INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Con_UF) VALUES"
        " ('286000008', 'ZELIA PRODUTORA', 'FAZENDA BOA ESPERA', 'IE', 'QX'),"
        " ('281234566', 'BAZAR DO POVO', NULL, 'IE', 'QX'),"
        " ('11144477735', 'MARIA PESSOA', NULL, 'CPF', 'QX')"));
    vorta::testing::ScriptedDialogs dialogs;
    auto* f = vorta::createInto<TCad_Contribuinte>(Cad_Contribuinte, vorta::Application::instance());
    f->show();
    user::activate(f);
    EXPECT_EQ(layoutOffenders(f).join(QLatin1Char('\n')).toStdString(), "") << "grid page";
    for (const char* inscricao : {"286000008", "281234566", "11144477735"}) {
        SCOPED_TRACE(inscricao);
        ASSERT_TRUE(DM_Comuns->Tb_Contribuinte->locate(QStringLiteral("Con_IECNPJCPF"), QString::fromLatin1(inscricao)));
        user::alt(QLatin1Char('I'));
        for (vorta::ui::TabSheet* p : {f->TBSCorrespondencia, f->TBSEstabelecimento, f->TbSEspecificacao,
                                       f->tbSResponsavel}) {
            if (!p->tabVisible())
                continue;
            f->PageControl1->setActivePage(p);
            EXPECT_EQ(layoutOffenders(f).join(QLatin1Char('\n')).toStdString(), "") << p->objectName().toStdString();
        }
        user::alt(QLatin1Char('C'));
    }
    f->close();
}

TEST_F(FormLayout, TaxpayerAndProductListsAndThePackageMenuShowEveryTextWhole)
{
    vorta::testing::ScriptedDialogs dialogs;
    auto* app = vorta::Application::instance();
    const struct {
        const char* name;
        std::function<vorta::ui::Form*()> make;
    } cases[] = {
        {"T_Sel_Contribuinte", [app] { return vorta::createInto<TSel_Contribuinte>(Sel_Contribuinte, app); }},
        {"T_Sel_Produto", [app] { return vorta::createInto<TSel_Produto>(Sel_Produto, app); }},
        {"Menu", [app] { return vorta::createInto<TForm1>(Form1, app); }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vorta::ui::Form* f = c.make();
        f->show();
        user::activate(f);
        EXPECT_EQ(layoutOffenders(f).join(QLatin1Char('\n')).toStdString(), "");
        EXPECT_TRUE(f->grab().toImage().save(screenshotFolder() + QStringLiteral("/%1%2.png").arg(QLatin1String(c.name), screenshotSuffix())));
        vorta::Component::free(f);
    }
}
