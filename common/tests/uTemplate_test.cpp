#include "uTemplate.h"

#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Table.h"
#include "platform/ui/DataModule.h"
#include "testing/ScriptedDialogs.h"
#include "testing/InstalledDatabase.h"
#include "testing/UserInput.h"
#include "testing/VirtualXServer.h"

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <memory>

using vorta::ui::MessageKind;
using vorta::ui::SpeedButton;

namespace {

// An installation with a few municipalities and the catalogue rows the form shows;
// the register form over that table, its data set owned by a data module of the
// application as the suite's data modules are.
class TemplateForm : public vorta::testing::InstalledDatabase {
protected:
    TemplateForm() : InstalledDatabase(QStringLiteral("DB_Template")) {}
    void SetUp() override
    {
        InstalledDatabase::SetUp();
        InicializarVariaveisGlobais();
        database->execute(QStringLiteral("DELETE FROM Municipio"));
        database->execute(QStringLiteral("DELETE FROM mensagem"));
        const std::pair<int, const char*> messages[] = {
            {86, "Deseja realmente sair do sistema?"}, {91, "Escolha uma opção."},
            {92, "Confirma a exclusão do registro?"}, {440, "Há registros em edição. Deseja sair assim mesmo?"}};
        for (const auto& [code, text] : messages)
            database->execute(QStringLiteral("INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES (?1, ?2)"),
                              {code, QString::fromUtf8(text)});
        module = new vorta::ui::DataModule(vorta::Application::instance());
        table = new vorta::db::Table(module);
        table->setDatabaseName(QStringLiteral("DB_Template"));
        table->setTableName(QStringLiteral("Municipio"));
        form = vorta::createInto<TFtemplate>(Ftemplate, vorta::Application::instance());
        form->dsBase->setDataSet(table);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        if (TFtemplate* f = Ftemplate.get()) {
            if (table->active() && table->state() != vorta::db::DataSetState::Browse)
                table->cancel();
            vorta::Component::free(f);
        }
        vorta::Component::free(module);
        InstalledDatabase::TearDown();
        vorta::Application::instance()->clearTermination();
    }

    void addTowns(int count)
    {
        for (int i = 1; i <= count; ++i)
            database->execute(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES (?1, ?2, 'TO')"),
                              {i, QStringLiteral("MUNICIPIO %1").arg(i)});
    }
    void show()
    {
        form->show();
        QApplication::setActiveWindow(form);
    }
    // The user's click goes through the event loop, where the silent abort ends.
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    QStringList enabledButtons() const
    {
        QStringList out;
        for (SpeedButton* b : {form->btPrimeiro, form->btAnterior, form->btProximo, form->btUltimo,
                               form->btConsultaSimples, form->btConsultaGrid, form->btIncluir, form->btAlterar,
                               form->btExcluir, form->btGravar, form->btCancelar, form->BtSairGeral, form->btSair})
            if (b->isEnabled() && !b->isHidden())
                out << b->name();
        return out;
    }
    // Two edits on the detail page, as a descendant lays them out.
    void addDetailEdits()
    {
        auto* label = new vorta::ui::Label(form->pagina1, QStringLiteral("Município"));
        label->setGeometry(16, 16, 200, 16);
        nome = new vorta::ui::DBEdit(form->pagina1, QStringLiteral("DBEdit_Descricao"));
        nome->setGeometry(16, 34, 300, 22);
        nome->charCase = vorta::ui::CharCase::Upper;
        nome->setDataSource(form->dsBase);
        nome->setDataField(QStringLiteral("Mun_Descricao"));
        auto* label2 = new vorta::ui::Label(form->pagina1, QStringLiteral("UF"));
        label2->setGeometry(330, 16, 40, 16);
        uf = new vorta::ui::DBEdit(form->pagina1, QStringLiteral("DBEdit_UF"));
        uf->setGeometry(330, 34, 40, 22);
        uf->setDataSource(form->dsBase);
        uf->setDataField(QStringLiteral("Mun_UF"));
    }

    vorta::ui::DataModule* module = nullptr;
    vorta::db::Table* table = nullptr;
    TFtemplate* form = nullptr;
    vorta::ui::DBEdit* nome = nullptr;
    vorta::ui::DBEdit* uf = nullptr;
};

const QStringList kBrowsing{"btPrimeiro", "btAnterior", "btProximo", "btUltimo", "btConsultaSimples",
                            "btIncluir", "btAlterar", "btExcluir", "BtSairGeral", "btSair"};
const QStringList kEditing{"btGravar", "btCancelar", "BtSairGeral"};

TEST_F(TemplateForm, ButtonStatesFollowBrowsingAndEditing)
{
    addTowns(3);
    show();
    EXPECT_EQ(QStringLiteral("Cadastro"), form->caption());
    EXPECT_EQ(QSize(718, 379), form->size());
    EXPECT_EQ(kBrowsing, enabledButtons());
    EXPECT_TRUE(form->pagina1->isHidden());
    EXPECT_EQ(3, form->DBGrid->rowCount());

    // Alt+A is the accelerator of "&Alterar".
    QTest::keyClick(form, Qt::Key_A, Qt::AltModifier);
    EXPECT_EQ(vorta::db::DataSetState::Edit, table->state());
    EXPECT_EQ(kEditing, enabledButtons());
    EXPECT_FALSE(form->pagina1->isHidden());
    EXPECT_FALSE(form->btConsultaGrid->isHidden());
    EXPECT_FALSE(form->btConsultaGrid->isEnabled());
    EXPECT_EQ(QPoint(182, 2), form->btConsultaGrid->pos());
    EXPECT_TRUE(form->btConsultaSimples->isHidden());
    EXPECT_EQ(QString(), form->msgStatus->panel(0).text);

    click(form->btCancelar);
    EXPECT_EQ(vorta::db::DataSetState::Browse, table->state());
    QStringList afterCancel = kBrowsing;
    afterCancel.replace(afterCancel.indexOf("btConsultaSimples"), "btConsultaGrid");
    EXPECT_EQ(afterCancel, enabledButtons());
    EXPECT_EQ(QStringLiteral("91 - Escolha uma opção."), form->msgStatus->panel(0).text);

    click(form->btConsultaGrid);
    EXPECT_TRUE(form->pagina1->isHidden());
    EXPECT_TRUE(form->DBGrid->isEnabled());
    EXPECT_EQ(QStringLiteral("Detalhes -"), form->LabelConDet->caption());

    click(form->btUltimo);
    EXPECT_EQ(3, table->fieldByName(QStringLiteral("Mun_Codigo"))->asInteger());
    EXPECT_FALSE(form->btUltimo->isEnabled());
    EXPECT_FALSE(form->btProximo->isEnabled());
    EXPECT_EQ(2, form->DBGrid->currentRow());
    click(form->btPrimeiro);
    EXPECT_EQ(1, table->fieldByName(QStringLiteral("Mun_Codigo"))->asInteger());
    EXPECT_FALSE(form->btPrimeiro->isEnabled());
    EXPECT_FALSE(form->btAnterior->isEnabled());
    EXPECT_TRUE(form->btUltimo->isEnabled());
}

// Each navigation button moves the record and switches the buttons that lead on
// from there; each puts status 91 into the status line.
TEST_F(TemplateForm, NavigationButtonsMoveAndSwitchTheButtonsThatLeadOn)
{
    addTowns(3);
    show();
    struct Step {
        SpeedButton* TFtemplate::*button;
        int code;
        QStringList enabled; // of the four navigation buttons
    };
    const Step steps[] = {
        {&TFtemplate::btUltimo, 3, {"btPrimeiro", "btAnterior"}},
        {&TFtemplate::btAnterior, 2, {"btPrimeiro", "btAnterior", "btProximo", "btUltimo"}},
        {&TFtemplate::btPrimeiro, 1, {"btProximo", "btUltimo"}},
        {&TFtemplate::btProximo, 2, {"btPrimeiro", "btAnterior", "btProximo", "btUltimo"}},
        {&TFtemplate::btProximo, 3, {"btPrimeiro", "btAnterior", "btProximo", "btUltimo"}},
    };
    for (const Step& s : steps) {
        SpeedButton* b = form->*s.button;
        SCOPED_TRACE(b->name().toStdString());
        form->msgStatus->setPanelText(0, QString());
        click(b);
        EXPECT_EQ(s.code, table->fieldByName(QStringLiteral("Mun_Codigo"))->asInteger());
        QStringList enabled;
        for (SpeedButton* n : {form->btPrimeiro, form->btAnterior, form->btProximo, form->btUltimo})
            if (n->isEnabled())
                enabled << n->name();
        EXPECT_EQ(s.enabled, enabled);
        EXPECT_EQ(QStringLiteral("91 - Escolha uma opção."), form->msgStatus->panel(0).text);
    }
    // Entering the grid puts status 91 there too.
    form->msgStatus->setPanelText(0, QString());
    form->DBGrid->setFocus();
    EXPECT_EQ(QStringLiteral("91 - Escolha uma opção."), form->msgStatus->panel(0).text);
}

// The form shows the table as it is when it opens, not as the data set last read it.
TEST_F(TemplateForm, ShowingTheFormRereadsItsTable)
{
    table->open();
    ASSERT_TRUE(table->isEmpty());
    addTowns(2);
    show();
    EXPECT_EQ(2, form->DBGrid->rowCount());
    EXPECT_EQ(kBrowsing, enabledButtons());
}

TEST_F(TemplateForm, AnEmptyTableKeepsEveryRecordButtonOff)
{
    show();
    const QStringList empty{"btIncluir", "BtSairGeral", "btSair"};
    EXPECT_EQ(empty, enabledButtons());
    click(form->btIncluir);
    EXPECT_EQ(vorta::db::DataSetState::Insert, table->state());
    EXPECT_EQ(kEditing, enabledButtons());
    click(form->btCancelar);
    EXPECT_EQ(vorta::db::DataSetState::Browse, table->state());
    EXPECT_EQ(empty, enabledButtons());
}

TEST_F(TemplateForm, TheFirstRecordSavedIntoAnEmptyTableTurnsTheRecordButtonsOn)
{
    addDetailEdits();
    table->OnNewRecord = [](vorta::db::DataSet& ds) { ds.fieldByName(QStringLiteral("Mun_Codigo"))->setAsInteger(1); };
    show();
    click(form->btIncluir);
    nome->setFocus();
    QTest::keyClicks(nome, QStringLiteral("PALMAS"));
    click(form->btGravar);
    ASSERT_EQ(1, table->recordCount());
    click(form->btConsultaGrid);
    EXPECT_EQ(kBrowsing, enabledButtons());
    // Details of the new record through the legend as through the button.
    click(form->Label2);
    EXPECT_FALSE(form->pagina1->isHidden());
    EXPECT_EQ(QStringLiteral("PALMAS"), nome->text());
}

TEST_F(TemplateForm, DeletingTheLastRecordLeavesNoRecordButtonOn)
{
    addTowns(2);
    show();
    vorta::testing::ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Confirmation, "92 - Confirma a exclusão do registro?", vorta::ui::mrNo)
        .expectMessage(MessageKind::Confirmation, "*92", vorta::ui::mrYes)
        .expectMessage(MessageKind::Confirmation, "*92", vorta::ui::mrYes);
    click(form->btExcluir);
    EXPECT_EQ(2, table->recordCount());
    click(form->btExcluir);
    EXPECT_EQ(1, table->recordCount());
    EXPECT_EQ(kBrowsing, enabledButtons());
    click(form->btExcluir);
    EXPECT_EQ(0, table->recordCount());
    EXPECT_EQ((QStringList{"btIncluir", "BtSairGeral", "btSair"}), enabledButtons());
    // With nothing left, delete asks nothing.
    form->btExcluir->click();
    EXPECT_TRUE(dialogs.allAnswered());
}

TEST_F(TemplateForm, EnterInTheGridOpensTheDetailPageOnlyWhenThereAreRecords)
{
    show();
    form->DBGrid->setFocus();
    QTest::keyClick(form->DBGrid, Qt::Key_Return);
    EXPECT_TRUE(form->pagina1->isHidden());
    EXPECT_TRUE(form->DBGrid->isEnabled());
    QTest::mouseDClick(form->DBGrid->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(10, 10));
    EXPECT_TRUE(form->pagina1->isHidden());

    addTowns(2);
    table->refresh();
    form->DBGrid->setFocus();
    QTest::keyClick(form->DBGrid, Qt::Key_Return);
    EXPECT_FALSE(form->pagina1->isHidden());
    EXPECT_FALSE(form->DBGrid->isEnabled());
    EXPECT_EQ(QStringLiteral("Consultar -"), form->LabelConDet->caption());
    EXPECT_FALSE(form->btConsultaGrid->isHidden());
    EXPECT_TRUE(form->btConsultaSimples->isHidden());
    EXPECT_EQ(form->ScrollBox1, form->activeControl());
}

TEST_F(TemplateForm, ARefusedPostKeepsTheFormEditingWithTheUsersInput)
{
    addDetailEdits();
    bool refuse = true;
    table->BeforePost = [&](vorta::db::DataSet&) {
        if (refuse)
            vorta::Abort();
    };
    table->OnNewRecord = [](vorta::db::DataSet& ds) { ds.fieldByName(QStringLiteral("Mun_Codigo"))->setAsInteger(999000); };
    show();
    click(form->btIncluir);
    nome->setFocus();
    QTest::keyClicks(nome, QStringLiteral("porto"));
    // Enter moves on to the next control, as Tab does.
    QTest::keyClick(nome, Qt::Key_Return);
    EXPECT_EQ(uf, form->activeControl());
    QTest::keyClicks(uf, QStringLiteral("TO"));
    click(form->btGravar);
    EXPECT_EQ(vorta::db::DataSetState::Insert, table->state());
    EXPECT_EQ(kEditing, enabledButtons());
    EXPECT_EQ(QStringLiteral("PORTO"), nome->text());
    // The controls' text reached the record before the rule ran.
    EXPECT_EQ(QStringLiteral("TO"), table->fieldByName(QStringLiteral("Mun_UF"))->asString());
    EXPECT_EQ(QStringLiteral("PORTO"), table->fieldByName(QStringLiteral("Mun_Descricao"))->asString());

    refuse = false;
    click(form->btGravar);
    EXPECT_EQ(vorta::db::DataSetState::Browse, table->state());
    EXPECT_EQ(1, table->recordCount());
    EXPECT_EQ(QStringLiteral("PORTO"), table->fieldByName(QStringLiteral("Mun_Descricao"))->asString());
    EXPECT_EQ(kBrowsing.mid(0, 4), enabledButtons().mid(0, 4));
}

TEST_F(TemplateForm, ClosingWhileEditingIsRefusedSilently)
{
    addTowns(1);
    vorta::testing::ScriptedDialogs dialogs; // any dialog fails the test
    int result = -1;
    bool refusedWhileEditing = false;
    vorta::ui::setModalHook([&](vorta::ui::Form& f) {
        click(form->btAlterar);
        f.close();
        click(form->btSair); // disabled: nothing
        refusedWhileEditing = f.modalResult() == vorta::ui::mrNone && table->state() == vorta::db::DataSetState::Edit;
        click(form->btCancelar);
        click(form->btSair);
        return int(vorta::ui::mrNone);
    });
    vorta::Guarded<TFtemplate> guard(form);
    result = form->showModal();
    EXPECT_TRUE(refusedWhileEditing);
    EXPECT_EQ(vorta::ui::mrCancel, result);
    QCoreApplication::processEvents();
    EXPECT_TRUE(guard.isNull());
}

TEST_F(TemplateForm, CloseOfAFormShownModelesslyRaisesTheSilentAbortWhileEditing)
{
    addTowns(1);
    show();
    click(form->btIncluir);
    EXPECT_THROW(form->close(), vorta::EAbort);
    EXPECT_TRUE(form->isVisible());
    click(form->btCancelar);
    form->close();
    EXPECT_FALSE(form->isVisible());
}

TEST_F(TemplateForm, SairAsks440WhileADataModuleRecordIsEditedAnd86Otherwise)
{
    addTowns(1);
    // Another form's record in another data module of the application.
    auto* other = new vorta::ui::DataModule(vorta::Application::instance());
    auto* otherTable = new vorta::db::Table(other);
    otherTable->setDatabaseName(QStringLiteral("DB_Template"));
    otherTable->setTableName(QStringLiteral("Municipio"));
    otherTable->open();
    show();
    vorta::testing::ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Confirmation, "86 - Deseja realmente sair do sistema?",
                          {vorta::ui::mrYes, vorta::ui::mrNo}, vorta::ui::mrNo)
        .expectMessage(MessageKind::Confirmation, "*440 - ", vorta::ui::mrNo)
        .expectMessage(MessageKind::Confirmation, "*440 - ", vorta::ui::mrYes);
    click(form->BtSairGeral);
    EXPECT_FALSE(vorta::Application::instance()->terminated());
    otherTable->edit();
    click(form->BtSairGeral);
    EXPECT_FALSE(vorta::Application::instance()->terminated());
    otherTable->cancel();
    // The program ends even while this register form refuses to close.
    click(form->btIncluir);
    click(form->BtSairGeral);
    EXPECT_TRUE(vorta::Application::instance()->terminated());
    EXPECT_TRUE(dialogs.allAnswered());
    vorta::Component::free(other);
}

TEST_F(TemplateForm, LegendLabelsClickOnlyEnabledButtons)
{
    addTowns(2);
    show();
    // Detalhes on the grid page opens the detail page, then goes back.
    click(form->Label2);
    EXPECT_FALSE(form->pagina1->isHidden());
    click(form->LabelConDet);
    EXPECT_TRUE(form->pagina1->isHidden());

    click(form->Label15); // Gravar while browsing: disabled
    click(form->Label26); // Cancelar while browsing: disabled
    EXPECT_EQ(vorta::db::DataSetState::Browse, table->state());
    click(form->Label13); // Incluir
    EXPECT_EQ(vorta::db::DataSetState::Insert, table->state());
    click(form->Label24); // Alterar while editing: disabled
    click(form->Label16); // Retornar while editing: disabled
    click(form->Label2);  // Consultar while editing: disabled
    EXPECT_EQ(vorta::db::DataSetState::Insert, table->state());
    EXPECT_TRUE(form->isVisible());
    EXPECT_FALSE(form->pagina1->isHidden());
    click(form->Label17); // Cancelar
    EXPECT_EQ(vorta::db::DataSetState::Browse, table->state());
    click(form->Label14); // Alterar
    EXPECT_EQ(vorta::db::DataSetState::Edit, table->state());
    click(form->Label25); // Gravar
    EXPECT_EQ(vorta::db::DataSetState::Browse, table->state());
    click(form->Label27); // Retornar
    EXPECT_FALSE(form->isVisible());
}

TEST_F(TemplateForm, PicturesOfTheGridAndDetailPages)
{
    addTowns(6);
    addDetailEdits();
    show();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    // One pair of pictures per window system, so the X server's pair sits beside the headless one.
    const QString suffix = QGuiApplication::platformName() == QLatin1String("offscreen")
                               ? QString()
                               : QLatin1Char('_') + QGuiApplication::platformName();
    const QImage grid = form->grab().toImage();
    EXPECT_EQ(QSize(718, 379), grid.size());
    EXPECT_TRUE(grid.save(folder + QStringLiteral("/uTemplate_grid_page%1.png").arg(suffix)));
    click(form->btConsultaSimples);
    const QImage detail = form->grab().toImage();
    EXPECT_TRUE(detail.save(folder + QStringLiteral("/uTemplate_detail_page%1.png").arg(suffix)));
    EXPECT_NE(grid, detail);
}

// The same pictures drawn by a real X server (a virtual one), for a person to look at.
TEST(TemplatePictures, UnderAVirtualXServer)
{
    if (vorta::testing::onRealWindowSystem())
        GTEST_SKIP() << "already the run under the X server";
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    const QStringList pictures{folder + QStringLiteral("/uTemplate_grid_page_xcb.png"),
                               folder + QStringLiteral("/uTemplate_detail_page_xcb.png")};
    const vorta::testing::VirtualXRun run =
        vorta::testing::rerunUnderVirtualXServer(QStringLiteral("TemplateForm.PicturesOfTheGridAndDetailPages"), pictures);
    if (!run.available)
        GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_TRUE(run.finished) << "the run under the X server did not end";
    ASSERT_EQ(0, run.exitCode) << run.output.toStdString();
    for (const QString& p : pictures) {
        const QImage picture(p);
        EXPECT_EQ(QSize(718, 379), picture.size()) << p.toStdString();
    }
}

} // namespace

namespace {

// A register that binds nothing: it only overrides the handlers it changes.
class Descendente : public TFtemplate {
public:
    explicit Descendente(vorta::Component* owner) : TFtemplate(owner)
    {
        criaPainelBusca(QStringLiteral("Busca"), QStringLiteral("RadioGroup_Busca"), QStringLiteral(" Busca"),
                        {QStringLiteral("Por nome")}, 1, 200);
    }
    void escolhe(const FimDaSelecao& fim) { fimDaSelecao = fim; }

    QStringList chamados;
    void FormShow(vorta::ui::Form* s) override { chamados << QStringLiteral("FormShow"); TFtemplate::FormShow(s); }
    void btIncluirClick(QWidget* s) override
    {
        chamados << QStringLiteral("btIncluirClick");
        TFtemplate::btIncluirClick(s);
    }
    void btCancelarClick(QWidget* s) override
    {
        chamados << QStringLiteral("btCancelarClick");
        TFtemplate::btCancelarClick(s);
    }
    void Edit_BuscaChange(QWidget*) override { chamados << QStringLiteral("Edit_BuscaChange"); }
};

vorta::Guarded<Descendente> g_descendente;

} // namespace

TEST_F(TemplateForm, ADescendantOverridesHandlersByNameWithoutBindingThem)
{
    addTowns(2);
    auto* d = vorta::createInto<Descendente>(g_descendente, vorta::Application::instance());
    d->dsBase->setDataSet(table);
    d->show();
    vorta::testing::user::activate(d);
    d->Edit_Busca->setFocus();
    vorta::testing::user::type(QStringLiteral("M"));
    vorta::testing::user::alt(QLatin1Char('I'));
    EXPECT_EQ(vorta::db::DataSetState::Insert, table->state());
    vorta::testing::user::alt(QLatin1Char('C'));
    EXPECT_EQ(vorta::db::DataSetState::Browse, table->state());
    EXPECT_EQ((QStringList{QStringLiteral("FormShow"), QStringLiteral("Edit_BuscaChange"),
                           QStringLiteral("btIncluirClick"), QStringLiteral("btCancelarClick")}),
              d->chamados);
    vorta::Component::free(d);
}

TEST_F(TemplateForm, ALookupEndsOnTheGesturesTheRegisterChose)
{
    using Fim = TFtemplate::FimDaSelecao;
    enum class Gesto { DuploClique, Enter, Letra };
    struct Caso {
        const char* nome;
        Fim fim;
        Gesto gesto;
        bool fecha;
    };
    const Fim porClique{.duploClique = true, .enterNaGrade = false, .teclaNaGrade = false, .teclasDoForm = true};
    const Fim porEnter{.duploClique = false, .enterNaGrade = true, .teclaNaGrade = false, .teclasDoForm = true};
    const Fim porTecla{.duploClique = false, .enterNaGrade = false, .teclaNaGrade = true, .teclasDoForm = false};
    const Caso casos[] = {
        {"double-click chooses", porClique, Gesto::DuploClique, true},
        {"double-click only opens the details", porEnter, Gesto::DuploClique, false},
        {"Enter in the grid chooses", porEnter, Gesto::Enter, true},
        {"Enter in the grid only opens the details", porClique, Gesto::Enter, false},
        {"a letter chooses", porTecla, Gesto::Letra, true},
        {"a letter does nothing", porEnter, Gesto::Letra, false},
        {"Enter chooses where any key does", porTecla, Gesto::Enter, true},
    };
    addTowns(3);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        auto* d = vorta::createInto<Descendente>(g_descendente, vorta::Application::instance());
        d->dsBase->setDataSet(table);
        d->escolhe(c.fim);
        d->ModoSelecao = true;
        d->show();
        vorta::testing::user::activate(d);
        d->DBGrid->setFocus();
        table->next();
        switch (c.gesto) {
        case Gesto::DuploClique: vorta::testing::user::doubleClick(d->DBGrid->viewport()); break;
        case Gesto::Enter: vorta::testing::user::enter(); break;
        case Gesto::Letra: vorta::testing::user::type(QStringLiteral("X")); break;
        }
        // A lookup that closes is freed once its handler has returned.
        EXPECT_EQ(c.fecha, !g_descendente || !g_descendente->isVisible());
        // The chosen record stays current.
        EXPECT_EQ(2, table->fieldByName(QStringLiteral("Mun_Codigo"))->asInteger());
        if (g_descendente)
            vorta::Component::free(g_descendente.get());
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    }
}
