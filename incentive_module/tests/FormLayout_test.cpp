// ZIR's forms show their texts whole and their controls inside their parents at their
// own sizes: the maps with both pages of their detail, the movements, the validation
// and the generation.
#include "CadMapasTestSupport.h"
#include "FrmSelMapas.h"
#include "UCadMovimento.h"
#include "UDm_Gerar.h"
#include "USelMovGera.h"
#include "USelMovimento.h"
#include "USelValidaMovimento.h"
#include "ValidarTestSupport.h"

#include "testing/LayoutCheck.h"
#include "testing/Screenshots.h"

#include <QImage>

#include <functional>

using namespace zir_test;
using vorta::testing::layoutOffenders;

namespace {

// Lists what is cut or misplaced in the form as it stands, and keeps its picture.
std::string offendersOf(vorta::ui::Form* f, const QString& picture)
{
    f->grab().toImage().save(vorta::testing::screenshotFolder() + QLatin1Char('/') + picture +
                             vorta::testing::screenshotSuffix() + QStringLiteral(".png"));
    return layoutOffenders(f).join(QLatin1Char('\n')).toStdString();
}

std::string shownOffenders(vorta::ui::Form* f, const QString& picture)
{
    f->show();
    user::activate(f);
    return offendersOf(f, picture);
}

using MapsLayout = CadMapasFixture;

TEST_F(MapsLayout, SlaughterhouseListAndMapFormShowEveryTextWholeOnEveryPage)
{
    TSelMapas* lista = vorta::createInto<TSelMapas>(SelMapas, vorta::Application::instance());
    EXPECT_EQ(shownOffenders(lista, QStringLiteral("FrmSelMapas")), "");
    vorta::Component::free(SelMapas);

    mapaGravado(1, QStringLiteral("M"));
    TCadMapas* f = abre();
    EXPECT_EQ(offendersOf(f, QStringLiteral("FrmCadMapas_grid")), "");
    // The stored map's details, page by page.
    user::click(f->btConsultaSimples);
    for (int page = 0; page < f->PageControl1->pageCount(); ++page) {
        SCOPED_TRACE(page);
        f->PageControl1->setActivePage(f->PageControl1->page(page));
        EXPECT_EQ(offendersOf(f, QStringLiteral("FrmCadMapas_detail%1").arg(page + 1)), "");
    }
    user::click(f->btConsultaGrid);
}

class MovementsLayout : public ValidarMovimento {
protected:
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(SelMovimento.get());
        vorta::Component::free(SelValidaMovimento.get());
        vorta::Component::free(SelMovGera.get());
        vorta::Component::free(Dm_Gerar.get());
        ValidarMovimento::TearDown();
    }
};

TEST_F(MovementsLayout, MovementValidationAndGenerationFormsShowEveryTextWhole)
{
    TSelMovimento* movimentos = vorta::createInto<TSelMovimento>(SelMovimento, vorta::Application::instance());
    EXPECT_EQ(shownOffenders(movimentos, QStringLiteral("USelMovimento")), "");
    // The movement window, as Alt+N opens it.
    int janelas = 0;
    vorta::ui::setModalHook([&](vorta::ui::Form& shown) {
        ++janelas;
        auto* cad = dynamic_cast<TCadMovimento*>(&shown);
        EXPECT_TRUE(cad) << shown.objectName().toStdString();
        if (cad) {
            EXPECT_EQ(shownOffenders(cad, QStringLiteral("UCadMovimento")), "");
        }
        return int(vorta::ui::mrCancel);
    });
    user::activate(movimentos);
    user::alt(QLatin1Char('n'));
    vorta::ui::setModalHook(nullptr);
    EXPECT_EQ(janelas, 1);

    const struct {
        const char* name;
        std::function<vorta::ui::Form*()> make;
    } cases[] = {
        {"USelValidaMovimento",
         [] { return vorta::createInto<TSelValidaMovimento>(SelValidaMovimento, vorta::Application::instance()); }},
        {"UValidar", [this] { return static_cast<vorta::ui::Form*>(validar); }},
        {"USelMovGera",
         [] {
             vorta::ui::createForm(SelMovGera);
             return static_cast<vorta::ui::Form*>(SelMovGera.get());
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        vorta::ui::Form* f = c.make();
        EXPECT_EQ(shownOffenders(f, QString::fromLatin1(c.name)), "");
        f->hide();
    }
}

} // namespace
