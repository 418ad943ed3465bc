#include "ZIRTestSupport.h"

#include "platform/core/Exceptions.h"
#include "testing/ScriptedDialogs.h"

#include <QCoreApplication>
#include <QEvent>

#include <functional>

using vorta::testing::ScriptedDialogs;

namespace {

// An object whose event handler runs the given code, as any widget's handler would.
class Manipulador : public QObject {
public:
    std::function<void()> acao;
    bool event(QEvent* e) override
    {
        if (e->type() != QEvent::User)
            return QObject::event(e);
        acao();
        return true;
    }
    // Delivered through the application, like every event of the message loop.
    void dispara()
    {
        QEvent e(QEvent::User);
        QCoreApplication::sendEvent(this, &e);
    }
};

class ZIRInicio : public zir_test::ZIRIniciado {};

} // namespace

TEST_F(ZIRInicio, CreatesItsObjectsInOrderWithTheMenuAsMainForm)
{
    ASSERT_TRUE(DM_Comuns && FrmMenu && DM_MTC && Cad_Municipio);
    QList<vorta::Component*> order;
    for (vorta::Component* c : app()->components())
        if (c == DM_Comuns.get() || c == FrmMenu.get() || c == DM_MTC.get() || c == Cad_Municipio.get())
            order << c;
    EXPECT_EQ(order, (QList<vorta::Component*>{DM_Comuns.get(), FrmMenu.get(), DM_MTC.get(), Cad_Municipio.get()}));
    EXPECT_EQ(app()->mainForm(), FrmMenu.get());
    EXPECT_FALSE(app()->terminated());
    EXPECT_EQ(FrmMenu->caption(), "ZIR - Programa de Incentivo de Zirel");

    const struct {
        const char* menu;
        QStringList items;
    } menus[] = {
        {"Cadastro", {"Movimento", "Técnicos", "Mapas de Tipificação de Carcaça"}},
        {"Rotina", {"Validar", "Gerar"}},
        {"Relatório", {"Movimento"}},
        {"Sistema", {"Ajuda"}},
        {"Sair", {"Sair do Sistema"}},
    };
    vorta::ui::MenuItem* root = FrmMenu->MainMenu1->items();
    ASSERT_EQ(root->count(), int(std::size(menus)));
    for (int i = 0; i < root->count(); ++i) {
        SCOPED_TRACE(menus[i].menu);
        EXPECT_EQ(root->item(i)->caption, QString::fromUtf8(menus[i].menu));
        QStringList items;
        for (int j = 0; j < root->item(i)->count(); ++j)
            items << root->item(i)->item(j)->caption;
        EXPECT_EQ(items, menus[i].items);
    }

    // The module's own connection is open on the data folder, beside the common one.
    EXPECT_TRUE(DM_MTC->dbMTC->connected());
    EXPECT_EQ(DM_MTC->dbMTC->directory(), DirDados);
    EXPECT_EQ(DirDados, inst.folder("dados"));
    // Its datasets wait closed until a window opens them.
    EXPECT_FALSE(DM_MTC->TblMapas->active());
    EXPECT_FALSE(DM_MTC->QryGeral->active());
    EXPECT_FALSE(Cad_Municipio->isVisible());
}

// An engine or conversion error raised inside an event handler reaches the user in
// Portuguese, and the program goes on.
TEST_F(ZIRInicio, ADatabaseErrorOfAHandlerIsShownInPortuguese)
{
    auto* movements = DM_MTC->TblMTC;
    movements->open();
    const struct {
        const char* field;
        const char* text;
        bool editing;
        const char* shown;
    } cases[] = {
        {"mov_ano_referencia", "abc", true, "Valor inválido!"},
        {"mov_dt_hr_criacao", "31/02/2026", true, "Data inválida!"},
        {"mov_tipo", "N", false, "Tabela não está em modo de edição!"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.field);
        if (c.editing)
            movements->append();
        Manipulador handler;
        handler.acao = [&] {
            movements->fieldByName(QString::fromLatin1(c.field))->setAsString(QString::fromUtf8(c.text));
        };
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(vorta::ui::MessageKind::Custom, QString::fromUtf8(c.shown), 1);
            handler.dispara();
            EXPECT_TRUE(dialogs.allAnswered());
        }
        if (c.editing)
            movements->cancel();
    }
    // Any other text stands as the engine gave it: here the menu's own query meets a
    // table that is gone.
    DM_MTC->dbMTC->execute(QStringLiteral("drop table Qel_Parametros_Mensais"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(vorta::ui::MessageKind::Custom, "*Qel_Parametros_Mensais", 1);
        Manipulador menu;
        menu.acao = [] { FrmMenu->MovimentodeCombustvel1->click(); };
        menu.dispara();
        EXPECT_TRUE(dialogs.allAnswered());
    }
    // A handler that unwinds after its own message shows nothing more.
    Manipulador silent;
    silent.acao = [] { vorta::Abort(); };
    {
        ScriptedDialogs dialogs;
        silent.dispara();
    }
    EXPECT_FALSE(app()->terminated());
    EXPECT_TRUE(FrmMenu);
}
