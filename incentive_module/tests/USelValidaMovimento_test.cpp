// The validation list: rows picked with the keyboard, validated with Alt+V, the
// states read back from the database.
#include "USelValidaMovimento.h"
#include "ValidarTestSupport.h"

#include "testing/UserInput.h"

#include <QApplication>
#include <QDir>

using namespace zir_test;
namespace user = vorta::testing::user;
using vorta::ui::MessageKind;

class SelValidaMovimentoTest : public ValidarMovimento {
protected:
    void SetUp() override
    {
        ValidarMovimento::SetUp();
        exec("insert or replace into mensagem (Men_Codigo, Men_Descricao) values (1544, 'Selecione')");
        exec("update Contribuinte set Con_Nome = 'Alfa' where Con_IECNPJCPF = ?1", {kDecl});
        exec("update Contribuinte set Con_Nome = 'Beta', Con_UFEstab = 'XX' where Con_IECNPJCPF = ?1", {kDecl2});
        // Validated and generated movements are not listed.
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
             "mov_tipo, mov_situacao) values (3, ?1, 2026, 11, 'N', 'N'), (4, ?1, 2026, 10, 'N', 'G')",
             {kDecl});
        lista = vorta::createInto<TSelValidaMovimento>(SelValidaMovimento, vorta::Application::instance());
        lista->show();
        user::activate(lista);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(SelValidaMovimento.get());
        ValidarMovimento::TearDown();
    }
    TSelValidaMovimento* lista = nullptr;
};

TEST_F(SelValidaMovimentoTest, ListsPendingMovementsAndValidatesTheRowsPicked)
{
    ASSERT_EQ(lista->dbgMovimento->rowCount(), 2);
    EXPECT_EQ(lista->dbgMovimento->cellText(0, 5), "? - Pendente");

    // Nothing picked yet.
    dialogs.expectMessage(MessageKind::Error, QStringLiteral("1544 - Selecione"), 1);
    user::alt(QLatin1Char('v'));
    EXPECT_TRUE(dialogs.allAnswered());

    lista->dbgMovimento->setFocus();
    user::key(Qt::Key_Home);
    user::key(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(lista->dbgMovimento->selectedRows().size(), 2);

    QStringList relatorio;
    bool gerar = false;
    vorta::ui::setModalHook([&](vorta::ui::Form& f) {
        auto* v = dynamic_cast<TValidar*>(&f);
        EXPECT_TRUE(v);
        if (!v)
            return int(vorta::ui::mrCancel);
        QApplication::processEvents();
        relatorio = v->Linhas();
        gerar = v->btGerar->isEnabled();
        v->grab().save(QDir::temp().filePath(QStringLiteral("zir_validar_lista.png")));
        user::alt(QLatin1Char('r'));
        return int(vorta::ui::mrNone);
    });
    user::alt(QLatin1Char('v'));
    ASSERT_EQ(relatorio.size(), 10);
    EXPECT_EQ(relatorio[7], "  MOVIMENTOS VERIFICADOS: 2");
    EXPECT_EQ(relatorio[8], "  MOVIMENTOS COM ERROS:   1");
    EXPECT_TRUE(gerar);
    EXPECT_EQ(situacao(1), "N");
    EXPECT_EQ(situacao(2), "?");
    // The validated movement left the list.
    EXPECT_EQ(lista->dbgMovimento->rowCount(), 1);
    lista->grab().save(QDir::temp().filePath(QStringLiteral("zir_selvalida.png")));
}

TEST_F(SelValidaMovimentoTest, SearchesByNameWithoutBreakingOnQuotes)
{
    lista->Edit_Busca->setFocus();
    user::type(QStringLiteral("Bet"));
    user::enter();
    EXPECT_EQ(lista->QryMovimento->fieldByName(QStringLiteral("Con_Nome"))->asString(), "Beta");

    lista->Edit_Busca->selectAll();
    user::type(QStringLiteral("O'Brien"));
    user::enter();
    EXPECT_TRUE(lista->QryMovimento->filter().isEmpty());
    EXPECT_EQ(lista->dbgMovimento->rowCount(), 2);
}
