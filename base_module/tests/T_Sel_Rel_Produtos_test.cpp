// The product listing chosen as a user chooses it: kind, order and groups by keys.
#include "T_DM_Comuns.h"
#include "T_Sel_Rel_Produtos.h"
#include "uDmVortaModule.h"

#include "installation/InstallMessages.h"
#include "platform/db/Database.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPreview.h"
#include "platform/ui/Application.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QCoreApplication>
#include <QDir>
#include <QRadioButton>

#include <gtest/gtest.h>

namespace user = vorta::testing::user;

namespace {

class SelRelProdutos : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::installation::installMessages(m_inst.folder(QStringLiteral("dados")));
        vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), QStringLiteral(
            "DELETE FROM Produto; DELETE FROM Grupo;"
            "INSERT INTO Grupo VALUES (3, 'AVES'), (7, 'BOVINOS D''ÁGUA'), (5, 'SUINOS');"
            "INSERT INTO Produto (Pro_Codigo, Pro_Descricao, Pro_Unidade, Gru_Codigo, Pro_CodigoInteger, Inibir, Pro_Status)"
            " VALUES ('00010', 'FRANGO', 'KG', 3, 10, 0, 0), ('00002', 'PERU', 'KG', 3, 2, 0, 0),"
            " ('00020', 'BOI GORDO', 'CB', 7, 20, 0, 0), ('00030', 'LEITAO', 'CB', 5, 30, 0, 0),"
            " ('00040', 'INIBIDO', 'CB', 7, 40, 1, 0), ('00050', 'BAIXADO', 'CB', 3, 50, 0, 1);"));
        vorta::ui::createForm(DM_Comuns);
        m_form = vorta::createInto<TSel_Rel_Produtos>(Sel_Rel_Produtos, vorta::Application::instance());
        m_form->show();
        user::activate(m_form);
        vorta::ui::setModalHook([this](vorta::ui::Form& form) {
            if (dynamic_cast<vorta::report::ReportPreview*>(&form))
                for (vorta::Component* c : m_form->components())
                    if (auto* r = dynamic_cast<vorta::report::Report*>(c)) {
                        m_titulo = r->title;
                        m_textos.clear();
                        for (const auto& t : r->qrPrinter().texts(0))
                            m_textos << t.text;
                        const QString pasta = QCoreApplication::applicationDirPath() + QStringLiteral("/report-samples");
                        QDir().mkpath(pasta);
                        r->exportToPdf(pasta + QStringLiteral("/Vorta_Mod_Produtos_%1.pdf").arg(++m_previas));
                    }
            return int(vorta::ui::mrCancel);
        });
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(Sel_Rel_Produtos);
        vorta::Component::free(DM_Comuns);
    }
    static void escolhe(vorta::ui::RadioGroup* g, int item)
    {
        QRadioButton* b = g->button(item);
        EXPECT_TRUE(user::clickAccepted(b, QPoint(8, b->height() / 2)));
    }

    vorta::testing::TempInstallation m_inst;
    TSel_Rel_Produtos* m_form = nullptr;
    QString m_titulo;
    QStringList m_textos;
    int m_previas = 0;
};

} // namespace

// By group, two groups chosen with the keyboard: the IN list of their codes in the
// table's order by name, the products of those groups only, by code.
TEST_F(SelRelProdutos, ByGroupListsTheChosenGroups)
{
    TSel_Rel_Produtos* f = m_form;
    EXPECT_FALSE(f->DBGrid_Grupo->isEnabled());
    escolhe(f->RadioGroup_Tipo, 1);
    EXPECT_TRUE(f->DBGrid_Grupo->isEnabled());
    escolhe(f->RadioGroup_Ordenar, 0);
    user::click(f->DBGrid_Grupo);
    user::key(Qt::Key_Home);
    user::key(Qt::Key_Down, Qt::ShiftModifier);
    ASSERT_EQ(f->DBGrid_Grupo->selectedRows().size(), 2);
    const QStringList sql = f->sqlProdutosPorGrupo();
    EXPECT_TRUE(sql.contains(QStringLiteral("and Grupo.Gru_Codigo in (3 ,7 ) "))) << sql.join('\n').toStdString();
    EXPECT_EQ(sql.last(), QStringLiteral("Order by Gru_Descricao, Pro_CodigoInteger "));

    user::alt(QLatin1Char('V'));
    EXPECT_EQ(m_titulo, QStringLiteral("Listagem de produtos por grupo - Ordem de Código"));
    for (const char* t : {"AVES", "BOVINOS D'ÁGUA", "PERU", "FRANGO", "BOI GORDO", "Grupo:"})
        EXPECT_TRUE(m_textos.contains(QString::fromUtf8(t))) << t << " in " << m_textos.join('|').toStdString();
    for (const char* t : {"SUINOS", "LEITAO", "INIBIDO", "BAIXADO"})
        EXPECT_FALSE(m_textos.contains(QString::fromUtf8(t))) << t;
    // PERU (code 2) before FRANGO (10) by code.
    EXPECT_LT(m_textos.indexOf(QStringLiteral("PERU")), m_textos.indexOf(QStringLiteral("FRANGO")));
    // The selection is cleared after the report.
    EXPECT_TRUE(f->DBGrid_Grupo->selectedRows().isEmpty());

    // None chosen: every group. (Back from the preview window.)
    user::activate(f);
    user::alt(QLatin1Char('V'));
    user::activate(f);
    EXPECT_TRUE(m_textos.contains(QStringLiteral("SUINOS")));
    user::alt(QLatin1Char('T'));
    EXPECT_EQ(f->DBGrid_Grupo->selectedRows().size(), 3);
    EXPECT_TRUE(f->sqlProdutosPorGrupo().contains(QStringLiteral("and Grupo.Gru_Codigo in (3 ,7 ,5 ) ")));
    user::alt(QLatin1Char('L'));
    EXPECT_TRUE(f->DBGrid_Grupo->selectedRows().isEmpty());
}

// All products, by description: hidden and discontinued products stay out; going back
// to "Produtos" clears and locks the group choice.
TEST_F(SelRelProdutos, AllProductsByDescription)
{
    TSel_Rel_Produtos* f = m_form;
    escolhe(f->RadioGroup_Tipo, 1);
    user::alt(QLatin1Char('T'));
    escolhe(f->RadioGroup_Tipo, 0);
    EXPECT_FALSE(f->DBGrid_Grupo->isEnabled());
    EXPECT_TRUE(f->DBGrid_Grupo->selectedRows().isEmpty());
    user::alt(QLatin1Char('T')); // nothing while the grid is locked
    EXPECT_TRUE(f->DBGrid_Grupo->selectedRows().isEmpty());
    user::alt(QLatin1Char('V'));
    EXPECT_EQ(m_titulo, QStringLiteral("Listagem de produtos - Ordem Alfabética"));
    EXPECT_LT(m_textos.indexOf(QStringLiteral("BOI GORDO")), m_textos.indexOf(QStringLiteral("PERU")));
    EXPECT_TRUE(m_textos.contains(QStringLiteral("LEITAO")));
    EXPECT_FALSE(m_textos.contains(QStringLiteral("INIBIDO")));
    EXPECT_FALSE(m_textos.contains(QStringLiteral("BAIXADO")));
    user::activate(f);
    user::alt(QLatin1Char('R'));
    // Closed: hidden, or already freed by the events the key press let run.
    EXPECT_FALSE(Sel_Rel_Produtos && Sel_Rel_Produtos->isVisible());
}
