#include "ZIRTestSupport.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Query.h"
#include "testing/ScriptedDialogs.h"

using vorta::testing::ScriptedDialogs;

TEST(ZIRExceptionTexts, KnownEngineAndConversionTextsBecomePortuguese)
{
    struct Case {
        const char* message;
        const char* shown;
    } cases[] = {
        {"'31/02/2026' is not a valid date", "Data inválida!"},
        {"'1,2,3' is not a valid floating point value", "Valor inválido!"},
        {"'abc' is not a valid integer value", "Valor inválido!"},
        {"Table is not in edit or insert mode", "Tabela não está em modo de edição!"},
        {"-5 is not a valid value for field 'X'. the allowed range is 0 to 9", "Valor fora da faixa permitida!"},
        // Without the lower-case range text the message stands as it is.
        {"-5 is not a valid value for field 'X'. The allowed range is 0 to 9",
         "-5 is not a valid value for field 'X'. The allowed range is 0 to 9"},
        {"table is not in edit or insert mode", "table is not in edit or insert mode"},
        {"Field 'map_data' must have a value", "Field 'map_data' must have a value"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TextoDaExcecao(c.message), QString(c.shown)) << c.message;
}

namespace {
class ZIRMenuTest : public zir_test::ZIRIniciado {
protected:
    void SetUp() override
    {
        ZIRIniciado::SetUp();
        vorta::setClock([] { return QDateTime(QDate(2026, 3, 15), QTime(10, 0)); });
    }
    void TearDown() override
    {
        vorta::setClock(nullptr);
        ZIRIniciado::TearDown();
    }
    void addMonth(int year, int month)
    {
        vorta::db::Query* q = DM_MTC->QryGeral;
        q->close();
        q->setSql("insert into Qel_Parametros_Mensais (pam_ano, pam_mes) values (:a, :m)");
        q->paramByName("a")->setAsInteger(year);
        q->paramByName("m")->setAsInteger(month);
        q->execSql();
    }
};
} // namespace

TEST_F(ZIRMenuTest, TheMenuHoldsEveryCommand)
{
    vorta::ui::MenuItem* root = FrmMenu->MainMenu1->items();
    QStringList top;
    for (int i = 0; i < root->count(); ++i)
        top << root->item(i)->caption;
    EXPECT_EQ(top, QStringList({"Cadastro", "Rotina", "Relatório", "Sistema", "Sair"}));
    EXPECT_EQ(root->item(0)->count(), 3);
    EXPECT_EQ(root->item(1)->find("Validar")->item(0)->caption, "Movimento");
    EXPECT_EQ(root->item(1)->find("Gerar")->item(0)->caption, "Movimento");
    // Help does nothing: no dialog, no window.
    ScriptedDialogs dialogs;
    const int forms = int(app()->components().size());
    FrmMenu->Ajuda1->click();
    EXPECT_EQ(int(app()->components().size()), forms);
}

TEST_F(ZIRMenuTest, MovementNeedsTheCurrentMonthsParameters)
{
    addMonth(2026, 2);
    addMonth(2025, 3);
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(vorta::ui::MessageKind::Error, "*1667 - ", 1);
        FrmMenu->MovimentodeCombustvel1->click();
    }
    EXPECT_FALSE(TFrmMenu::ParametrosDoMesAtual());
    addMonth(2026, 3);
    EXPECT_TRUE(TFrmMenu::ParametrosDoMesAtual());
}

TEST_F(ZIRMenuTest, AnExceptionReachingTheLoopIsShownInPortuguese)
{
    ScriptedDialogs dialogs;
    dialogs.expectMessage(vorta::ui::MessageKind::Custom, "Valor inválido!", 1);
    app()->handleException(vorta::EConvertError("'x' is not a valid integer value"));
    app()->handleException(vorta::EAbort()); // silent
}

TEST_F(ZIRMenuTest, LeavingTheSystemEndsTheProgram)
{
    FrmMenu->SairdoSistema1->click();
    EXPECT_TRUE(app()->terminated());
}

TEST_F(ZIRMenuTest, TheMapsCommandShowsTheSlaughterhouseListModally)
{
    QStringList shown;
    vorta::ui::setModalHook([&](vorta::ui::Form& f) {
        shown << f.objectName();
        EXPECT_EQ(vorta::Application::instance(), f.owner());
        return int(vorta::ui::mrCancel);
    });
    FrmMenu->MapasdeTipificaodeCarcaa1->click();
    vorta::ui::setModalHook(nullptr);
    EXPECT_EQ(QStringList{QStringLiteral("SelMapas")}, shown);
}
