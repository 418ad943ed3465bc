// The slaughterhouse list that leads to the maps, driven by key events.
#include "CadMapasTestSupport.h"
#include "FrmSelMapas.h"

#include <QRadioButton>

using namespace zir_test;
using vorta::ui::MessageKind;

class SelMapasTest : public CadMapasFixture {
public:
    TSelMapas* abreLista()
    {
        TSelMapas* f = vorta::createInto<TSelMapas>(SelMapas, vorta::Application::instance());
        f->show();
        user::activate(f);
        return f;
    }
    QString atual() { return dm->QryContribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString(); }
    void TearDown() override
    {
        vorta::Component::free(SelMapas);
        CadMapasFixture::TearDown();
    }
};

TEST_F(SelMapasTest, TheSearchFindsARegistrationOrANameAsTheUserTypes)
{
    exec("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco) "
         "values ('283000000', 'D''AVILA CARNES', 'Frigo', 'IE', 1)");
    TSelMapas* f = abreLista();
    EXPECT_EQ(f->Edit_Busca, user::focused());
    ASSERT_EQ(3, f->DBGrid->rowCount()) << "the raiser of 285... is no slaughterhouse";
    EXPECT_EQ(kFrigorifico, atual());
    user::type(QStringLiteral("282"));
    EXPECT_EQ(kOutroFrigorifico, atual());
    QTest::mouseClick(f->RadioGroup_Produtor->button(1), Qt::LeftButton, Qt::NoModifier,
                      QPoint(6, f->RadioGroup_Produtor->button(1)->height() / 2));
    user::click(f->Edit_Busca);
    f->Edit_Busca->selectAll();
    // The start of the name as it is written: "Frig" finds the first slaughterhouse,
    // "frig" none.
    user::type(QStringLiteral("frig"));
    EXPECT_EQ(kOutroFrigorifico, atual()) << "no such name: the list stays";
    user::key(Qt::Key_A, Qt::ControlModifier);
    user::type(QStringLiteral("Frigorifico 28"));
    EXPECT_EQ(kFrigorifico, atual());
    user::key(Qt::Key_A, Qt::ControlModifier);
    // A quote is matched as typed, not read as part of an expression.
    user::type(QStringLiteral("D'AV"));
    EXPECT_EQ(QStringLiteral("283000000"), atual());
    user::type(QStringLiteral("x"));
    EXPECT_EQ(QStringLiteral("283000000"), atual()) << "no such name: the list stays";
}

TEST_F(SelMapasTest, TheMapsButtonOpensTheMapsOfTheChosenSlaughterhouse)
{
    TSelMapas* f = abreLista();
    user::type(QStringLiteral("282"));
    QString cabecalho;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        auto* mapas = dynamic_cast<TCadMapas*>(&form);
        EXPECT_TRUE(mapas);
        if (mapas) {
            mapas->show();
            cabecalho = mapas->lbInscricaoFrigorifico->text();
            mapas->close();
        }
        return int(vorta::ui::mrCancel);
    });
    user::click(f->Label1);
    EXPECT_EQ(QStringLiteral("28.200.000-1"), cabecalho);
    // The list's window gets the focus back when the maps close: on the search text, selected.
    EXPECT_EQ(f->Edit_Busca, f->focusWidget());
    EXPECT_EQ(f->Edit_Busca->text(), f->Edit_Busca->selectedText());
    user::activate(f);
    user::click(f->Label27);
    // Closed: hidden, or already freed by the events the click let run.
    EXPECT_FALSE(SelMapas && SelMapas->isVisible());
}

TEST_F(SelMapasTest, WithoutSlaughterhousesTheMapsAreNotOpened)
{
    exec("update Contribuinte set Con_NomePropr = null");
    TSelMapas* f = abreLista();
    dialogs.expectMessage(MessageKind::Information, QStringLiteral("1535 - Mensagem"), vorta::ui::mrOk);
    user::click(f->bMapas);
    EXPECT_TRUE(dialogs.allAnswered());
}

TEST_F(SelMapasTest, LeavingTheProgramAsksFirst)
{
    TSelMapas* f = abreLista();
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("86 - Mensagem"), vorta::ui::mrNo);
    user::click(f->btSair);
    EXPECT_FALSE(vorta::Application::instance()->terminated());
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("86 - Mensagem"), vorta::ui::mrYes);
    user::click(f->btSair);
    EXPECT_TRUE(vorta::Application::instance()->terminated());
    vorta::Application::instance()->clearTermination();
}

TEST_F(SelMapasTest, TheMovementFormOpensTheMapsOfItsSlaughterhouse)
{
    QStringList mostrados;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        auto* mapas = dynamic_cast<TCadMapas*>(&form);
        if (mapas) {
            mapas->show();
            mostrados << mapas->lbInscricaoFrigorifico->text();
            mapas->close();
        }
        return int(vorta::ui::mrCancel);
    });
    EXPECT_TRUE(AbreMapasDoFrigorifico(kOutroFrigorifico));
    EXPECT_FALSE(AbreMapasDoFrigorifico(kPecuarista)) << "a raiser has no maps of his own";
    EXPECT_EQ(QStringList{QStringLiteral("28.200.000-1")}, mostrados);
}
