#pragma once

#include "FrmCadMapas.h"
#include "MapasTestSupport.h"
#include "T_DM_Comuns.h"

#include "platform/ui/Application.h"
#include "testing/UserInput.h"

#include <QTabBar>
#include <QTest>

#include <ostream>

namespace zir_test {

namespace user = vorta::testing::user;

// The map form over MapasFixture's database, with the common data module it reads
// the raisers through, opened for the first slaughterhouse and driven by key events.
class CadMapasFixture : public MapasFixture {
protected:
    void SetUp() override
    {
        MapasFixture::SetUp();
        if (HasFatalFailure())
            return;
        for (int code : {86, 92, 98, 116, 440, 458, 1535, 1684})
            exec("insert or ignore into mensagem (Men_Codigo, Men_Descricao) values (?1, 'Mensagem')", {code});
        exec("update Contribuinte set Mun_Propriedade = 1 where Con_IECNPJCPF = ?1", {kPecuarista});
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
        // A window shown modally that a test did not expect fails it and is cancelled.
        vorta::ui::setModalHook([](vorta::ui::Form& f) {
            ADD_FAILURE() << "unexpected modal form " << f.objectName().toStdString();
            return int(vorta::ui::mrCancel);
        });
        // The technicians' register in lookup mode, as it will answer: the first technician.
        AbreTecnicosSelecao = [this] {
            ++lookupsDeTecnico;
            dm->TecnicoSelecionado = 1;
        };
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        AbreTecnicosSelecao = nullptr;
        AbreCadastroPecuaristaInclusao = nullptr;
        vorta::Component::free(CadMapas);
        if (DM_Comuns)
            for (auto* t : {DM_Comuns->Tb_RemDest, DM_Comuns->Tb_Contribuinte})
                if (t->active() && t->state() != vorta::db::DataSetState::Browse)
                    t->cancel();
        vorta::Component::free(DM_Comuns);
        MapasFixture::TearDown();
    }

public:
    TCadMapas* abre()
    {
        TCadMapas* f = vorta::createInto<TCadMapas>(CadMapas, vorta::Application::instance());
        f->show();
        user::activate(f);
        return f;
    }
    // Clicks the tab of a page of the map form.
    static void pagina(TCadMapas* f, int index)
    {
        QTabBar* bar = f->PageControl1->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, Qt::NoModifier, bar->tabRect(index).center());
    }
    // Types one animal into the grid, starting from the first column of a new row,
    // and Tabs on to the first column of the next new row.
    static void animal(const QString& mat, const QString& con, const QString& aca, const QString& peso,
                       const QString& tip)
    {
        for (const QString& v : {mat, con, aca, peso, tip}) {
            user::tab();
            user::type(v);
        }
        user::tab(2);
    }
    // A raiser typed into the include's first box, left with Tab.
    static void remetente(TCadMapas* f, const QString& ie)
    {
        EXPECT_EQ(f->DBEdit_Con_Remetente, user::focused());
        user::type(ie);
        EXPECT_EQ(ie, f->DBEdit_Con_Remetente->text());
        user::tab();
    }
    // An include typed up to the batch number: the raiser, the day's date, the sex.
    static void inclui(TCadMapas* f, const QString& sex = QStringLiteral("M"), const QString& raiser = kPecuarista)
    {
        user::alt(QLatin1Char('I'));
        remetente(f, raiser);
        EXPECT_EQ(f->dbedit_data, user::focused()) << "the raiser has his programme number";
        user::type(QStringLiteral("10122026"));
        user::tab();
        EXPECT_EQ(f->dbSexo, user::focused());
        user::type(sex);
        user::tab();
        EXPECT_EQ(f->edLote, user::focused());
    }
    int linhas(const char* table, int map)
    {
        return count(QStringLiteral("select count(*) from %1 where map_codigo = ?1").arg(QString::fromLatin1(table)),
                     {map});
    }

    int lookupsDeTecnico = 0;
};

} // namespace zir_test

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}
