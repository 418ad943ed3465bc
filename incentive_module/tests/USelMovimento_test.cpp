// The movement list and window typed key by key: a new movement is saved and read back,
// a second normal one of the month is refused with 1668, a rectifying one is saved.
#include "MovimentoTestSupport.h"

using namespace zir_test;
namespace user = vorta::testing::user;
using vorta::ui::MessageKind;

class SelMovimentoTest : public MovimentoFixture {
protected:
    // Alt+N, then the movement typed into the window and saved with Alt+G.
    void novo(const QString& ano, const QString& mes, bool retificador, const std::function<void()>& esperado)
    {
        naLista(QLatin1Char('n'), [&](TCadMovimento* cad) {
            EXPECT_EQ(lista->msgStatus->panel(0).text, QStringLiteral("Incluir novo movimento de combustíveis"));
            EXPECT_EQ(lista->DBText_NomePropr->text(), QStringLiteral("Frigo"));
            EXPECT_EQ(user::focused(), cad->DBEdit_Con_IECNPJCPF);
            user::type(kDecl);
            user::tab(); // the registration's checks; the declarant is found
            EXPECT_EQ(user::focused(), cad->DBEdit_Ano);
            user::type(ano);
            user::tab();
            user::type(mes);
            user::tab();
            if (retificador)
                user::key(Qt::Key_Right);
            user::tab(6);
            EXPECT_EQ(user::focused(), cad->DBEdit_mov_responsavel);
            user::type(QStringLiteral("Fulano"));
            esperado();
            user::alt(QLatin1Char('g'));
        });
    }
};

TEST_F(SelMovimentoTest, ANewMovementIsSavedAndASecondNormalOneRefused)
{
    novo(QStringLiteral("2027"), QStringLiteral("1"), false,
         [&] { dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1688 - M1688"), 6); });
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where con_iecnpjcpf = ?1 and "
                                   "mov_ano_referencia = 2027 and mov_mes_referencia = 1 and mov_tipo = 'N' and "
                                   "mov_situacao = '?' and mov_responsavel = 'Fulano'"),
                    {kDecl}),
              1);
    // "Sim" to 1688 opens the declarant's maps.
    EXPECT_EQ(mapasAbertos, QStringList{kDecl});

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
    EXPECT_EQ(mapasAbertos.size(), 1);
    lista->grab().save(vorta::testing::screenshotFolder() + QStringLiteral("/zir_selmovimento.png"));
}

// Without a hook of the test's own, "Sim" to 1688 opens the map register of the
// movement's declarant.
TEST_F(SelMovimentoTest, YesTo1688OpensTheDeclarantsMapRegister)
{
    AbreSelMapas = AbreMapasDoFrigorifico;
    QString aberto;
    outroModal = [&](vorta::ui::Form& f) {
        aberto = f.objectName();
        return int(vorta::ui::mrCancel);
    };
    exec("update Contribuinte set Con_NomePropr = 'Frigo' where Con_IECNPJCPF = ?1", {kDecl});
    novo(QStringLiteral("2027"), QStringLiteral("1"), false,
         [&] { dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1688 - M1688"), 6); });
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(aberto, QStringLiteral("CadMapas"));
    EXPECT_EQ(dm->QryContribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString(), kDecl);
}

// "&Validar" opens the validation list and rereads the movements; "Excluir" keeps a
// movement whose month has maps and deletes one without them.
TEST_F(SelMovimentoTest, TheListValidatesAndDeletesByItsButtons)
{
    QStringList abertos;
    outroModal = [&](vorta::ui::Form& f) {
        abertos << f.objectName();
        exec("update qel_movimento set mov_situacao = 'N' where mov_codigo = 1");
        return int(vorta::ui::mrCancel);
    };
    user::alt(QLatin1Char('v'));
    EXPECT_EQ(abertos, QStringList{QStringLiteral("SelValidaMovimento")});
    EXPECT_EQ(lista->QryMovimento->fieldByName(QStringLiteral("str_Situacao"))->asString(),
              QStringLiteral("N - Validado"));

    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - M92"), 6)
        .expectMessage(MessageKind::Error, QStringLiteral("1664 - M1664"), 1);
    user::click(lista->BtExcluir);
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where mov_codigo = 1")), 1);

    exec("delete from qel_mapas where con_iecnpjcpf = ?1", {kDecl});
    exec("update qel_movimento set mov_situacao = 'G' where mov_codigo = 1");
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - M92"), 6);
    user::click(lista->BtExcluir);
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where mov_codigo = 1")), 0);
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_TRUE(lista->QryMovimento->isEmpty());
}
