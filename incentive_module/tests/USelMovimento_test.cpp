// The movement list and window typed key by key: a new movement is saved and read back,
// a second normal one of the month is refused with 1668, a rectifying one is saved.
#include "UCadMovimento.h"
#include "USelMovimento.h"
#include "ValidarTestSupport.h"

#include "testing/UserInput.h"

#include <QApplication>
#include <QDir>

using namespace zir_test;
namespace user = vorta::testing::user;
using vorta::ui::MessageKind;

class SelMovimentoTest : public ValidarMovimento {
protected:
    void SetUp() override
    {
        ValidarMovimento::SetUp();
        for (int c : {34, 53, 54, 98, 579, 1665, 1666, 1667, 1668, 1683, 1688})
            exec("insert or replace into mensagem (Men_Codigo, Men_Descricao) values (?1, ?2)",
                 {c, QStringLiteral("M%1").arg(c)});
        exec("insert into qel_parametros_mensais (pam_ano, pam_mes, pam_vlr_arr_macho, pam_vlr_arr_femea) "
             "values (2027, 1, 90, 80)");
        lista = vorta::createInto<TSelMovimento>(SelMovimento, vorta::Application::instance());
        lista->show();
        user::activate(lista);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(SelMovimento.get());
        ValidarMovimento::TearDown();
    }
    // Alt+N, then the movement typed into the window and saved with Alt+G.
    void novo(const QString& ano, const QString& mes, bool retificador, const std::function<void()>& esperado)
    {
        vorta::ui::setModalHook([&](vorta::ui::Form& f) {
            auto* cad = dynamic_cast<TCadMovimento*>(&f);
            EXPECT_TRUE(cad);
            if (!cad)
                return int(vorta::ui::mrCancel);
            user::activate(cad);
            cad->DBEdit_Con_IECNPJCPF->setFocus();
            user::type(kDecl);
            user::tab(); // the registration's checks; the declarant is found
            user::tab(2);
            user::type(QStringLiteral("Fulano"));
            user::tab();
            user::type(ano);
            user::tab();
            user::type(mes);
            if (retificador) {
                user::tab();
                user::key(Qt::Key_Right);
            }
            esperado();
            user::alt(QLatin1Char('g'));
            cad->grab().save(QDir::temp().filePath(QStringLiteral("zir_cadmovimento.png")));
            return int(vorta::ui::mrCancel);
        });
        user::activate(lista);
        user::alt(QLatin1Char('n'));
        vorta::ui::setModalHook(nullptr);
    }
    TSelMovimento* lista = nullptr;
};

TEST_F(SelMovimentoTest, ANewMovementIsSavedAndASecondNormalOneRefused)
{
    novo(QStringLiteral("2027"), QStringLiteral("1"), false,
         [&] { dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1688 - M1688"), 7); });
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where con_iecnpjcpf = ?1 and "
                                   "mov_ano_referencia = 2027 and mov_mes_referencia = 1 and mov_tipo = 'N' and "
                                   "mov_situacao = '?' and mov_responsavel = 'Fulano'"),
                    {kDecl}),
              1);

    // December already has the declarant's normal movement.
    novo(QStringLiteral("2026"), QStringLiteral("12"), false,
         [&] { dialogs.expectMessage(MessageKind::Error, QStringLiteral("1668 - M1668"), 1); });
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where con_iecnpjcpf = ?1 and "
                                   "mov_ano_referencia = 2026 and mov_mes_referencia = 12"),
                    {kDecl}),
              1);
    EXPECT_FALSE(dm->dbMTC->inTransaction()); // the window's close rolled back

    // A rectifying movement of the same month is saved.
    novo(QStringLiteral("2026"), QStringLiteral("12"), true,
         [&] { dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1688 - M1688"), 7); });
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where con_iecnpjcpf = ?1 and "
                                   "mov_ano_referencia = 2026 and mov_mes_referencia = 12 and mov_tipo = 'R'"),
                    {kDecl}),
              1);
    lista->grab().save(QDir::temp().filePath(QStringLiteral("zir_selmovimento.png")));
}
