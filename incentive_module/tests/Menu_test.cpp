#include "USelMovimentoImpressao.h"
#include "ZIRTestSupport.h"

#include "FrmTecnicos.h"
#include "T_Cad_Pecuarista.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Query.h"
#include "testing/ScriptedDialogs.h"
#include "testing/Screenshots.h"
#include "testing/UserInput.h"
#include "testing/VirtualXServer.h"

#include <QApplication>
#include <QMenu>

#include <vector>

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

namespace user = vorta::testing::user;

// Each choice of the command shows a new register, owned by the application and
// held in its variable while shown; closed, it is gone.
TEST_F(ZIRMenuTest, TheTechniciansCommandShowsTheirRegisterModallyEachTimeAnew)
{
    QList<const vorta::ui::Form*> shown;
    vorta::ui::setModalHook([&](vorta::ui::Form& f) {
        auto* tecnicos = dynamic_cast<TFrmTecnicos*>(&f);
        EXPECT_TRUE(tecnicos && !tecnicos->ModoSelecao) << f.objectName().toStdString();
        EXPECT_EQ(vorta::Application::instance(), f.owner());
        EXPECT_EQ(tecnicos, FrmTecnicos.get());
        EXPECT_EQ(QStringLiteral("Cadastro de Técnicos"), f.caption());
        shown << &f;
        return int(vorta::ui::mrCancel);
    });
    FrmMenu->CadstrodeTcnicos1->click();
    EXPECT_FALSE(FrmTecnicos) << "closed and freed";
    FrmMenu->CadstrodeTcnicos1->click();
    vorta::ui::setModalHook(nullptr);
    EXPECT_EQ(2, shown.size());
}

// The program binds the map form's two hooks to the registers: the raiser register
// opens on a new record, the technicians' register for a lookup.
TEST_F(ZIRMenuTest, TheMapFormsHooksOpenTheRaiserAndTechnicianRegisters)
{
    QStringList shown;
    vorta::ui::setModalHook([&](vorta::ui::Form& f) {
        shown << f.objectName();
        if (auto* t = dynamic_cast<TFrmTecnicos*>(&f)) {
            EXPECT_TRUE(t->ModoSelecao);
        }
        user::activate(&f);
        if (auto* p = dynamic_cast<TCad_Pecuarista*>(&f)) {
            EXPECT_TRUE(p->ModoInclusao);
            EXPECT_EQ(vorta::db::DataSetState::Insert, DM_Comuns->Tb_Contribuinte->state());
            user::alt(QLatin1Char('C'));
        }
        user::alt(QLatin1Char('R'));
        return int(vorta::ui::mrNone);
    });
    ASSERT_TRUE(AbreCadastroPecuaristaInclusao);
    ASSERT_TRUE(AbreTecnicosSelecao);
    AbreCadastroPecuaristaInclusao();
    AbreTecnicosSelecao();
    vorta::ui::setModalHook(nullptr);
    EXPECT_EQ(QStringList({QStringLiteral("Cad_Pecuarista"), QStringLiteral("FrmTecnicos")}), shown);
    EXPECT_FALSE(Cad_Pecuarista);
    EXPECT_FALSE(FrmTecnicos);
}

// The captions carry no "&": the bar is still reached by F10 or a lone Alt, the arrows
// move and Enter runs the highlighted command.
TEST_F(ZIRMenuTest, TheMenuRunsFromTheKeyboard)
{
    enum class Opening { F10, Alt };
    struct Case {
        const char* name;
        Opening opening;
        std::vector<Qt::Key> keys;
        bool movement; // the movement command runs (else leaving the system does)
    } cases[] = {
        // F10 opens the first menu on its first command.
        {"F10, Enter", Opening::F10, {Qt::Key_Return}, true},
        {"F10, Down, Up, Enter", Opening::F10, {Qt::Key_Down, Qt::Key_Up, Qt::Key_Return}, true},
        // Left from the first menu comes round to the last one.
        {"F10, Left, Enter", Opening::F10, {Qt::Key_Left, Qt::Key_Return}, false},
        // Escape steps back to the bar, where the arrows move between entries.
        {"F10, Escape, Left, Down, Enter", Opening::F10,
         {Qt::Key_Escape, Qt::Key_Left, Qt::Key_Down, Qt::Key_Return}, false},
        // A lone Alt highlights the first entry; Down or Enter opens it.
        {"Alt, Down, Enter", Opening::Alt, {Qt::Key_Down, Qt::Key_Return}, true},
        {"Alt, Enter, Enter", Opening::Alt, {Qt::Key_Return, Qt::Key_Return}, true},
        {"Alt, Right x4, Enter, Enter", Opening::Alt,
         {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Right, Qt::Key_Return, Qt::Key_Return}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app()->clearTermination();
        FrmMenu->show();
        user::activate(FrmMenu.get());
        ScriptedDialogs dialogs;
        if (c.movement)
            dialogs.expectMessage(vorta::ui::MessageKind::Error, "*1667 - ", 1);
        if (c.opening == Opening::F10)
            user::f10();
        else
            user::altAlone();
        for (Qt::Key k : c.keys)
            user::key(k);
        EXPECT_EQ(app()->terminated(), !c.movement);
        EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    }
}

TEST_F(ZIRMenuTest, EscapeLeavesTheMenuWithoutRunningACommand)
{
    FrmMenu->show();
    user::activate(FrmMenu.get());
    ScriptedDialogs dialogs; // no dialog may come
    QWidget* before = user::focused();
    user::f10();
    EXPECT_NE(QApplication::activePopupWidget(), nullptr);
    user::escape();
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    user::escape();
    EXPECT_EQ(user::focused(), before);
    user::enter();
    user::altAlone();
    user::escape();
    EXPECT_EQ(user::focused(), before);
    user::enter();
    EXPECT_FALSE(app()->terminated());
}

TEST_F(ZIRMenuTest, ReportMovementOpensTheMovementPrintListFromTheKeyboard)
{
    QStringList shown;
    vorta::ui::setModalHook([&](vorta::ui::Form& f) {
        shown << f.objectName();
        return int(vorta::ui::mrCancel);
    });
    FrmMenu->show();
    user::activate(FrmMenu.get());
    ScriptedDialogs dialogs;
    // A lone Alt highlights "Cadastro"; two to the right is "Relatório", whose first
    // command is "Movimento".
    user::altAlone();
    for (Qt::Key k : {Qt::Key_Right, Qt::Key_Right, Qt::Key_Return, Qt::Key_Return})
        user::key(k);
    vorta::ui::setModalHook(nullptr);
    EXPECT_EQ(shown, QStringList{QStringLiteral("SelMovimentoImpressao")});
    vorta::Component::free(SelMovimentoImpressao.get());
}

// Pictures of the menu as the user opens it from the keyboard, kept for a person to look
// at: F10 opens the first menu; Right moves to the next one; Right on a command with a
// submenu opens it.
TEST_F(ZIRMenuTest, PicturesOfTheMenuOpenedFromTheKeyboard)
{
    struct Shot {
        const char* name;
        std::vector<Qt::Key> keys; // after F10
        const char* highlighted;   // the command the picture shows highlighted
    } shots[] = {
        {"ZIR_menu_Cadastro", {}, nullptr},
        {"ZIR_menu_Rotina", {Qt::Key_Right}, nullptr},
        {"ZIR_menu_Rotina_Validar", {Qt::Key_Right, Qt::Key_Right}, "Movimento"},
        {"ZIR_menu_Sistema", {Qt::Key_Right, Qt::Key_Right, Qt::Key_Right}, nullptr},
    };
    ScriptedDialogs dialogs; // no command may run
    FrmMenu->show();
    user::activate(FrmMenu.get());
    for (const Shot& s : shots) {
        SCOPED_TRACE(s.name);
        user::f10();
        for (Qt::Key k : s.keys)
            user::key(k);
        auto* open = qobject_cast<QMenu*>(QApplication::activePopupWidget());
        ASSERT_NE(open, nullptr);
        if (s.highlighted) {
            ASSERT_NE(open->activeAction(), nullptr);
            EXPECT_EQ(open->activeAction()->text(), QString::fromUtf8(s.highlighted));
        }
        const QImage picture = vorta::testing::grabWithPopups(FrmMenu.get());
        // The open menu reaches below the bar, so the picture is at least the form.
        EXPECT_GE(picture.height(), FrmMenu->height());
        EXPECT_TRUE(picture.save(vorta::testing::screenshotFolder() +
                                 QStringLiteral("/%1%2.png").arg(QString::fromLatin1(s.name), vorta::testing::screenshotSuffix())));
        while (QApplication::activePopupWidget())
            user::escape();
        user::escape();
    }
    EXPECT_FALSE(app()->terminated());
}

TEST(ZIRMenuPictures, UnderAVirtualXServer)
{
    if (vorta::testing::onRealWindowSystem())
        GTEST_SKIP() << "already the run under the X server";
    QStringList pictures;
    for (const char* name : {"ZIR_menu_Cadastro", "ZIR_menu_Rotina", "ZIR_menu_Rotina_Validar", "ZIR_menu_Sistema"})
        pictures << vorta::testing::screenshotFolder() + QStringLiteral("/%1_xcb.png").arg(QLatin1String(name));
    const vorta::testing::VirtualXRun run = vorta::testing::rerunUnderVirtualXServer(
        QStringLiteral("ZIRMenuTest.PicturesOfTheMenuOpenedFromTheKeyboard"), pictures);
    if (!run.available)
        GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_TRUE(run.finished) << "the run under the X server did not end";
    ASSERT_EQ(0, run.exitCode) << run.output.toStdString();
    for (const QString& p : pictures)
        EXPECT_FALSE(QImage(p).isNull()) << p.toStdString();
}
