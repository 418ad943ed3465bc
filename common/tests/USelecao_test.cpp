#include "USelecao.h"
#include "T_Sel_Contribuinte.h"
#include "T_Sel_Produto.h"

#include "T_DM_Comuns.h"
#include "uDmVortaModule.h"

#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Table.h"
#include "platform/ui/DataModule.h"
#include "testing/ScriptedDialogs.h"
#include "testing/InstalledDatabase.h"

#include <QApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <memory>

namespace {

// Taxpayers and products of an installation, given to the pick lists through a data
// source as the common data module's would be.
class PickList : public vorta::testing::InstalledDatabase {
protected:
    PickList() : InstalledDatabase(QStringLiteral("DB_Selecao")) {}
    void SetUp() override
    {
        InstalledDatabase::SetUp();
        InicializarVariaveisGlobais();
        database->execute(QStringLiteral("DELETE FROM mensagem"));
        database->execute(QStringLiteral("INSERT INTO mensagem VALUES (172, 'Escolha o contribuinte.')"));
        database->execute(QStringLiteral("INSERT INTO mensagem VALUES (173, 'Escolha o produto.')"));
        database->execute(QStringLiteral("DELETE FROM Contribuinte"));
        database->execute(QStringLiteral("DELETE FROM Produto"));
        for (const auto& [ie, nome] : {std::pair{"280000001", "ALFA COMERCIO"}, {"285000002", "BETA FAZENDA"},
                                       {"290000003", "BETANIA"}})
            database->execute(QStringLiteral("INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome) VALUES (?1, ?2)"),
                              {QString::fromLatin1(ie), QString::fromLatin1(nome)});
        for (const auto& [code, desc] : {std::pair{"00010", "BOI GORDO"}, {"00020", "VACA"}, {"01000", "BEZERRO"}})
            database->execute(QStringLiteral("INSERT INTO Produto (Pro_Codigo, Pro_Descricao) VALUES (?1, ?2)"),
                              {QString::fromLatin1(code), QString::fromLatin1(desc)});
        module = new vorta::ui::DataModule(vorta::Application::instance());
        contribuinte = table(QStringLiteral("Contribuinte"));
        produto = table(QStringLiteral("Produto"));
        dsContribuinte = new vorta::db::DataSource(module);
        dsContribuinte->setDataSet(contribuinte);
        dsProduto = new vorta::db::DataSource(module);
        dsProduto->setDataSet(produto);
        contribuinte->open();
        produto->open();
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        QCoreApplication::processEvents();
        vorta::Component::free(module);
        InstalledDatabase::TearDown();
    }
    vorta::db::Table* table(const QString& name)
    {
        auto* t = new vorta::db::Table(module);
        t->setDatabaseName(QStringLiteral("DB_Selecao"));
        t->setTableName(name);
        return t;
    }
    TSel_Contribuinte* newTaxpayerList()
    {
        auto* f = vorta::createInto<TSel_Contribuinte>(Sel_Contribuinte, vorta::Application::instance());
        f->DBGrid->setDataSource(dsContribuinte);
        return f;
    }
    // Shows the list modally with the user's actions; the list frees itself.
    int pick(vorta::ui::Form* f, const std::function<void(vorta::ui::Form&)>& user)
    {
        vorta::ui::setModalHook([&](vorta::ui::Form& shown) {
            QApplication::setActiveWindow(&shown);
            user(shown);
            return int(vorta::ui::mrNone);
        });
        vorta::Guarded<vorta::ui::Form> guard(f);
        const int result = f->showModal();
        vorta::ui::setModalHook(nullptr);
        QCoreApplication::processEvents();
        EXPECT_TRUE(guard.isNull()) << "the list frees itself when closed";
        return result;
    }
    QString currentName() { return contribuinte->fieldByName(QStringLiteral("Con_Nome"))->asString(); }

    vorta::ui::DataModule* module = nullptr;
    vorta::db::Table* contribuinte = nullptr;
    vorta::db::Table* produto = nullptr;
    vorta::db::DataSource* dsContribuinte = nullptr;
    vorta::db::DataSource* dsProduto = nullptr;
};

struct CloseCase {
    const char* way;
    std::function<void(TFSelecaoBusca&)> act;
    bool chosen;
    int result; // of ShowModal: Enter answers OK, every close Cancel
};

const CloseCase kCloseCases[] = {
    {"Retornar", [](TFSelecaoBusca& f) { QTest::mouseClick(f.btSair, Qt::LeftButton); }, true, vorta::ui::mrCancel},
    {"Cancelar", [](TFSelecaoBusca& f) { QTest::mouseClick(f.btCancelar, Qt::LeftButton); }, false,
     vorta::ui::mrCancel},
    {"double-click in the grid",
     [](TFSelecaoBusca& f) { QTest::mouseDClick(f.DBGrid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(20, 10)); },
     true, vorta::ui::mrCancel},
    {"Enter in the grid",
     [](TFSelecaoBusca& f) {
         f.DBGrid->setFocus();
         QTest::keyClick(f.DBGrid, Qt::Key_Return);
     },
     true, vorta::ui::mrOk},
    {"Enter in the search field", [](TFSelecaoBusca& f) { QTest::keyClick(f.Edit_Busca, Qt::Key_Return); }, true,
     vorta::ui::mrOk},
    {"the window frame", [](TFSelecaoBusca& f) { f.QWidget::close(); }, false, vorta::ui::mrCancel},
    {"a letter typed in the grid",
     [](TFSelecaoBusca& f) {
         f.DBGrid->setFocus();
         QTest::keyClick(f.DBGrid, Qt::Key_X);
     },
     false, vorta::ui::mrCancel},
};

TEST_F(PickList, CancelaProdTellsWhetherARecordWasChosenForEachWayOfClosing)
{
    vorta::testing::ScriptedDialogs dialogs;
    for (const CloseCase& c : kCloseCases) {
        // An earlier list's answer must not leak into this one.
        CancelaProd = !c.chosen;
        auto* f = newTaxpayerList();
        bool shown = false;
        const int result = pick(f, [&](vorta::ui::Form&) {
            shown = true;
            contribuinte->last();
            c.act(*f);
        });
        EXPECT_TRUE(shown);
        EXPECT_EQ(c.result, result) << c.way;
        EXPECT_EQ(c.chosen, CancelaProd) << c.way;
        EXPECT_EQ(QStringLiteral("BETANIA"), currentName()) << c.way;
    }
}

TEST_F(PickList, AnEmptyListReportsNoChoice)
{
    database->execute(QStringLiteral("DELETE FROM Contribuinte"));
    contribuinte->refresh();
    for (const CloseCase& c : kCloseCases) {
        CancelaProd = true;
        auto* f = newTaxpayerList();
        pick(f, [&](vorta::ui::Form&) { c.act(*f); });
        EXPECT_FALSE(CancelaProd) << c.way;
    }
}

TEST_F(PickList, TypingLocatesTheFirstRecordWhoseKeyBeginsWithTheText)
{
    auto* f = newTaxpayerList();
    EXPECT_EQ(QStringLiteral("Seleção de Contribuintes"), f->caption());
    EXPECT_EQ(10001, f->helpContext);
    EXPECT_EQ(1, f->RadioGroup_Produtor->itemIndex());
    EXPECT_EQ(QStringLiteral("IE/CNPJ/CPF"), f->DBGrid->titleText(0));
    EXPECT_EQ(QStringLiteral("Município"), f->DBGrid->titleText(3));
    pick(f, [&](vorta::ui::Form&) {
        EXPECT_EQ(f->Edit_Busca, f->activeControl());
        QTest::keyClicks(f->Edit_Busca, QStringLiteral("beta"));
        // Typed in upper case, the partial key finds the first match.
        EXPECT_EQ(QStringLiteral("BETA"), f->Edit_Busca->text());
        EXPECT_EQ(QStringLiteral("BETA FAZENDA"), currentName());
        QTest::keyClicks(f->Edit_Busca, QStringLiteral("N"));
        EXPECT_EQ(QStringLiteral("BETANIA"), currentName());
        // No match leaves the record where it was.
        QTest::keyClicks(f->Edit_Busca, QStringLiteral("Z"));
        EXPECT_EQ(QStringLiteral("BETANIA"), currentName());
        f->RadioGroup_Produtor->setItemIndex(0);
        f->Edit_Busca->setText(QStringLiteral("2800"));
        EXPECT_EQ(QStringLiteral("ALFA COMERCIO"), currentName());
        f->DBGrid->setFocus();
        EXPECT_EQ(QStringLiteral("172 - Escolha o contribuinte."), f->msgStatus->panel(0).text);
        QTest::mouseClick(f->btUltimo, Qt::LeftButton);
        EXPECT_EQ(QStringLiteral("BETANIA"), currentName());
        QTest::mouseClick(f->btAnterior, Qt::LeftButton);
        EXPECT_EQ(QStringLiteral("BETA FAZENDA"), currentName());
        QTest::mouseClick(f->btCancelar, Qt::LeftButton);
    });
    EXPECT_FALSE(CancelaProd);
}

// The search compares case-sensitively: a name stored in lower case is not found by
// the upper-case text typed, even when it comes first.
TEST_F(PickList, SearchComparesCaseSensitively)
{
    database->execute(QStringLiteral("INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome) VALUES ('270000000', 'beta baixa')"));
    contribuinte->refresh();
    struct Busca {
        int item;
        const char* texto;
        const char* nome;
    };
    const Busca buscas[] = {
        {1, "BETA", "BETA FAZENDA"},
        {0, "27", "beta baixa"},
        {1, "ALF", "ALFA COMERCIO"},
        // No match: where the previous search left it.
        {1, "ALFAZ", "ALFA COMERCIO"},
        {0, "9", "ALFA COMERCIO"},
    };
    auto* f = newTaxpayerList();
    pick(f, [&](vorta::ui::Form&) {
        for (const Busca& b : buscas) {
            SCOPED_TRACE(b.texto);
            f->RadioGroup_Produtor->setItemIndex(b.item);
            f->Edit_Busca->setText(QString::fromLatin1(b.texto));
            EXPECT_EQ(QString::fromLatin1(b.nome), currentName());
        }
        QTest::mouseClick(f->btCancelar, Qt::LeftButton);
    });
}

TEST_F(PickList, ProductListSearchesByCodeOrDescription)
{
    auto* f = vorta::createInto<TSel_Produto>(Sel_Produto, vorta::Application::instance());
    f->DBGrid->setDataSource(dsProduto);
    EXPECT_EQ(QStringLiteral("Seleção de Produtos"), f->caption());
    EXPECT_EQ((QStringList{"Por código", "Por descrição"}), f->RadioGroup_Produto->items());
    EXPECT_EQ(QStringLiteral("Código"), f->DBGrid->titleText(0));
    EXPECT_EQ(QStringLiteral("Linha"), f->DBGrid->titleText(5));
    EXPECT_TRUE(f->DBGrid->options() & vorta::ui::DBGrid::dgRowSelect);
    pick(f, [&](vorta::ui::Form&) {
        QTest::keyClicks(f->Edit_Busca, QStringLiteral("BE"));
        EXPECT_EQ(QStringLiteral("BEZERRO"), produto->fieldByName(QStringLiteral("Pro_Descricao"))->asString());
        f->RadioGroup_Produto->setItemIndex(0);
        f->Edit_Busca->setText(QStringLiteral("0002"));
        EXPECT_EQ(QStringLiteral("VACA"), produto->fieldByName(QStringLiteral("Pro_Descricao"))->asString());
        f->DBGrid->setFocus();
        EXPECT_EQ(QStringLiteral("173 - Escolha o produto."), f->msgStatus->panel(0).text);
        QTest::keyClick(f->DBGrid, Qt::Key_Return);
    });
    EXPECT_TRUE(CancelaProd);
    EXPECT_EQ(QStringLiteral("00020"), produto->fieldByName(QStringLiteral("Pro_Codigo"))->asString());
}

TEST_F(PickList, ListsMadeWithTheCommonDataModuleShowItsTablesAndLeaveTheChoiceCurrentThere)
{
    vorta::ui::createForm(DM_Comuns);
    ASSERT_TRUE(DM_Comuns);
    DM_Comuns->Tb_Contribuinte->open();
    DM_Comuns->Tb_Produto->open();
    auto* f = vorta::createInto<TSel_Contribuinte>(Sel_Contribuinte, vorta::Application::instance());
    EXPECT_EQ(DM_Comuns->Ds_Contribuinte, f->DBGrid->dataSource());
    EXPECT_EQ(3, f->DBGrid->rowCount());
    pick(f, [&](vorta::ui::Form&) {
        QTest::keyClicks(f->Edit_Busca, QStringLiteral("BETA F"));
        QTest::keyClick(f->Edit_Busca, Qt::Key_Return);
    });
    EXPECT_TRUE(CancelaProd);
    EXPECT_EQ(QStringLiteral("285000002"), DM_Comuns->Tb_Contribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());

    auto* p = vorta::createInto<TSel_Produto>(Sel_Produto, vorta::Application::instance());
    EXPECT_EQ(DM_Comuns->Ds_Produto, p->DBGrid->dataSource());
    pick(p, [&](vorta::ui::Form&) {
        p->RadioGroup_Produto->setItemIndex(0);
        QTest::keyClicks(p->Edit_Busca, QStringLiteral("01"));
        QTest::mouseClick(p->btSair, Qt::LeftButton);
    });
    EXPECT_TRUE(CancelaProd);
    EXPECT_EQ(QStringLiteral("BEZERRO"), DM_Comuns->Tb_Produto->fieldByName(QStringLiteral("Pro_Descricao"))->asString());
    vorta::Component::free(DM_Comuns);
}

TEST_F(PickList, TheBaseListClosesOnAnyCharacterTypedInItsGrid)
{
    auto* f = vorta::createInto<TFSelecao>(FSelecao, vorta::Application::instance());
    EXPECT_EQ(QStringLiteral("Seleção "), f->caption());
    EXPECT_EQ(100, f->helpContext);
    f->DBGrid->setDataSource(dsContribuinte);
    vorta::ui::setModalHook([&](vorta::ui::Form& shown) {
        QApplication::setActiveWindow(&shown);
        EXPECT_TRUE(f->btSair->isEnabled());
        f->DBGrid->setFocus();
        QTest::keyClick(f->DBGrid, Qt::Key_A);
        return int(vorta::ui::mrNone);
    });
    EXPECT_EQ(vorta::ui::mrCancel, f->showModal());
    vorta::ui::setModalHook(nullptr);
    // The base list hides when closed and stays for the next lookup.
    EXPECT_FALSE(f->isVisible());
    EXPECT_TRUE(FSelecao);
    vorta::Component::free(f);
}

} // namespace
