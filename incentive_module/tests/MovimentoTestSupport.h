#pragma once

// The movement list shown over the validation's declarants, with DM_Comuns for the
// register lookups; each modal window is handed to the test's own script.
#include "FrmSelMapas.h"
#include "T_DM_Comuns.h"
#include "UCadMovimento.h"
#include "USelMovimento.h"
#include "ValidarTestSupport.h"

#include "testing/Screenshots.h"
#include "testing/UserInput.h"

#include <QApplication>
#include <QDir>
#include <QTabBar>

namespace zir_test {

class MovimentoFixture : public ValidarMovimento {
protected:
    void SetUp() override
    {
        ValidarMovimento::SetUp();
        if (HasFatalFailure())
            return;
        for (int c : {34, 53, 54, 92, 98, 440, 579, 1496, 1497, 1498, 1499, 1664, 1665, 1666, 1667, 1668, 1683, 1685, 1688})
            exec("insert or replace into mensagem (Men_Codigo, Men_Descricao) values (?1, ?2)",
                 {c, QStringLiteral("M%1").arg(c)});
        exec("insert into qel_parametros_mensais (pam_ano, pam_mes, pam_vlr_arr_macho, pam_vlr_arr_femea) "
             "values (2027, 1, 90, 80)");
        exec("insert into Municipio (Mun_Codigo, Mun_Descricao, Mun_UF, Mun_CEPInicial, Mun_CEPFinal) "
             "values (3, 'Unico', 'GO', '75500000', '75500000')");
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
        AbreSelMapas = [this](const QString& ie) {
            mapasAbertos << ie;
            return true;
        };
        vorta::ui::setModalHook([this](vorta::ui::Form& f) { return modal(f); });
        lista = vorta::createInto<TSelMovimento>(SelMovimento, vorta::Application::instance());
        lista->show();
        vorta::testing::user::activate(lista);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        AbreSelMapas = AbreMapasDoFrigorifico;
        vorta::Component::free(SelMovimento.get());
        if (DM_Comuns)
            for (auto* t : {DM_Comuns->Tb_RemDest, DM_Comuns->Tb_Contribuinte})
                if (t->active() && t->state() != vorta::db::DataSetState::Browse)
                    t->cancel();
        vorta::Component::free(DM_Comuns);
        ValidarMovimento::TearDown();
    }

    // The movement window runs naJanela; any other modal window runs outroModal, which
    // fails the test when it is not set.
    int modal(vorta::ui::Form& f)
    {
        if (auto* cad = dynamic_cast<TCadMovimento*>(&f)) {
            janelas++;
            vorta::testing::user::activate(cad);
            if (naJanela)
                naJanela(cad);
            cad->grab().save(vorta::testing::screenshotFolder() + QStringLiteral("/zir_cadmovimento_%1_%2.png")
                                   .arg(QString::fromLatin1(
                                       ::testing::UnitTest::GetInstance()->current_test_info()->name()))
                                   .arg(janelas));
            return int(vorta::ui::mrCancel);
        }
        if (!outroModal) {
            ADD_FAILURE() << "unexpected modal form " << f.objectName().toStdString();
            return int(vorta::ui::mrCancel);
        }
        vorta::testing::user::activate(&f);
        return outroModal(f);
    }
    // Alt+N or Alt+M in the list, the window scripted by roteiro.
    void naLista(QChar tecla, std::function<void(TCadMovimento*)> roteiro)
    {
        naJanela = std::move(roteiro);
        vorta::testing::user::activate(lista);
        vorta::testing::user::alt(tecla);
        naJanela = nullptr;
    }
    // A page of a page control, clicked on its tab.
    static void clicaAba(vorta::ui::PageControl* pc, vorta::ui::TabSheet* page)
    {
        QTabBar* bar = pc->tabBar();
        for (int i = 0; i < bar->count(); ++i)
            if (bar->tabText(i) == page->caption())
                vorta::testing::user::clickAccepted(bar, bar->tabRect(i).center());
    }
    QString coluna(const QString& tabela, const QString& campo, const QString& chave, const QString& valor)
    {
        return scalar(QStringLiteral("select %1 from %2 where %3 = ?1").arg(campo, tabela, chave), {valor})
            .toString();
    }

    TSelMovimento* lista = nullptr;
    std::function<void(TCadMovimento*)> naJanela;
    std::function<int(vorta::ui::Form&)> outroModal;
    QStringList mapasAbertos;
    int janelas = 0;
};

} // namespace zir_test
