// The municipality, legal-representative and accountant register forms.
#include "T_Cad_Contabilista.h"
#include "T_Cad_Contribuinte.h"
#include "T_Cad_Municipio.h"
#include "T_Cad_RespnsavelLegal.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "installation/InstallParametros.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/ui/DbControls.h"
#include "platform/ui/Form.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <QApplication>
#include <QSet>
#include <QTest>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

using vorta::db::DataSetState;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

class CadForms : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        m_inst.installDatabase();
        vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), QStringLiteral(
            "DELETE FROM mensagem; INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES"
            " (15, 'M15'), (60, 'M60'), (87, 'M87'), (88, 'M88'), (91, 'M91'), (92, 'M92');"
            "INSERT INTO Bairro (TipBai_Codigo, TipBai_Descricao) VALUES ('CTO', 'CTO CENTRO');"
            "INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_CEPInicial, Mun_CEPFinal, Mun_UF) VALUES"
            " (998999, 'QUASE', '77600000', '77600000', 'QX'), (999000, 'PRIMEIRA', '77610000', '77610000', 'QX'),"
            " (999001, 'LONGE', NULL, NULL, 'EX');"
            "INSERT INTO RespEmpresa VALUES ('11144477735', 'ANA', 'DIRETORA'), ('52998224725', 'BRUNO', 'SOCIO');"
            "INSERT INTO Responsavel (Resp_CPF, Resp_CRC, Resp_Nome) VALUES ('11144477735', 'SP123456O5', 'CARLA'),"
            " ('52998224725', 'QX000777K0', 'DANIEL')"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        for (vorta::db::DataSet* ds : {static_cast<vorta::db::DataSet*>(DM_Comuns->Tb_Municipio),
                                       static_cast<vorta::db::DataSet*>(DM_Comuns->Tb_Responsavel)})
            if (ds->active() && ds->state() != DataSetState::Browse)
                ds->cancel();
        vorta::Component::free(Cad_Municipio);
        vorta::Component::free(Cad_RespnsavelLegal);
        vorta::Component::free(Cad_Contabilista);
        vorta::Component::free(Cad_Contribuinte);
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
    }
    template <class T>
    T* abre(vorta::Guarded<T>& ref, bool selecao = false)
    {
        T* f = vorta::createInto<T>(ref, vorta::Application::instance());
        f->ModoSelecao = selecao;
        f->show();
        QApplication::setActiveWindow(f);
        return f;
    }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }

    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
};

TEST_F(CadForms, OnlyMunicipalitiesFrom999000OnCanBeAlteredOrDeleted)
{
    TCad_Municipio* f = abre(Cad_Municipio);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Municipio;
    ASSERT_TRUE(ds.locate(QStringLiteral("Mun_Codigo"), 998999));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, QStringLiteral("87 - M87"), 1);
        click(f->btAlterar);
    }
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_TRUE(f->btAlterar->isEnabled());
    {
        // Refused before the confirmation of the delete.
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, QStringLiteral("88 - M88"), 1);
        click(f->btExcluir);
    }
    EXPECT_TRUE(ds.locate(QStringLiteral("Mun_Codigo"), 998999));

    ASSERT_TRUE(ds.locate(QStringLiteral("Mun_Codigo"), 999000));
    click(f->btAlterar);
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_TRUE(f->DBEdit_Mun_Codigo->FieldControl::readOnly());
    EXPECT_FALSE(f->DBEdit_Mun_Descricao->FieldControl::readOnly());
    ds.cancel();
}

TEST_F(CadForms, ForeignMunicipalityShowsNoCepFields)
{
    TCad_Municipio* f = abre(Cad_Municipio);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Municipio;
    for (auto [codigo, mostra] : {std::pair{999001, false}, {999000, true}}) {
        SCOPED_TRACE(codigo);
        ASSERT_TRUE(ds.locate(QStringLiteral("Mun_Codigo"), codigo));
        click(f->btConsultaSimples);
        EXPECT_EQ(f->DBEdit_Mun_CEPInicial->isVisibleTo(f->pagina1), mostra);
        EXPECT_EQ(f->DBEdit_Mun_CEPFinal->isVisibleTo(f->pagina1), mostra);
        EXPECT_EQ(f->Label5->isVisibleTo(f->pagina1), mostra);
        click(f->btConsultaGrid);
    }
}

TEST_F(CadForms, MunicipalitySearchLocatesByName)
{
    TCad_Municipio* f = abre(Cad_Municipio);
    f->Edit_Busca->setText(QStringLiteral("LON"));
    f->Edit_BuscaChange(f->Edit_Busca);
    EXPECT_EQ(DM_Comuns->Tb_Municipio->fieldByName(QStringLiteral("Mun_Codigo"))->asInteger(), 999001);
}

// What the user does in the grid of a form shown for a lookup.
enum class Gesto { DuploClique, Letra, Enter };

void faz(TFtemplate& f, Gesto gesto)
{
    f.DBGrid->setFocus();
    switch (gesto) {
    case Gesto::DuploClique:
        // On the row of the current record, as the user picks it.
        QTest::mouseDClick(f.DBGrid->viewport(), Qt::LeftButton, Qt::NoModifier,
                           f.DBGrid->visualRect(f.DBGrid->currentIndex()).center());
        break;
    case Gesto::Letra:
        QTest::keyClick(f.DBGrid, Qt::Key_A);
        break;
    case Gesto::Enter:
        QTest::keyClick(f.DBGrid, Qt::Key_Return);
        break;
    }
}

// The detail page's data-aware control of the field.
QWidget* controleDoCampo(TFtemplate* f, const char* campo)
{
    for (QWidget* w : f->pagina1->findChildren<QWidget*>())
        if (auto* c = dynamic_cast<vorta::ui::FieldControl*>(w); c && c->dataField() == QLatin1String(campo))
            return w;
    return nullptr;
}

// One register shown for a lookup: the search that finds the record to choose, and
// what identifies the chosen record afterwards.
struct Lookup {
    const char* nome;
    std::function<TFtemplate*()> cria;
    int itemBusca;
    const char* busca;
    const char* campo;
    const char* escolhido;
};

TEST_F(CadForms, LookupsCloseOnTheirOwnGesturesWithTheChoiceCurrent)
{
    const Lookup municipio{"municipality",
                           [] { return vorta::createInto<TCad_Municipio>(Cad_Municipio, vorta::Application::instance()); },
                           0, "PRIM", "Mun_Descricao", "PRIMEIRA"};
    const Lookup representante{"legal representative",
                               [] {
                                   return vorta::createInto<TCad_RespnsavelLegal>(Cad_RespnsavelLegal,
                                                                                  vorta::Application::instance());
                               },
                               1, "BR", "ResEmp_CPF", "52998224725"};
    const Lookup contabilista{"accountant",
                              [] {
                                  return vorta::createInto<TCad_Contabilista>(Cad_Contabilista,
                                                                              vorta::Application::instance());
                              },
                              0, "QX", "Resp_Nome", "DANIEL"};
    struct Caso {
        const Lookup& lookup;
        Gesto gesto;
        bool fecha;
    };
    const Caso casos[] = {
        {municipio, Gesto::DuploClique, true},
        {municipio, Gesto::Enter, true},
        {municipio, Gesto::Letra, false},
        // A double-click opens the representative's detail page instead.
        {representante, Gesto::DuploClique, false},
        {representante, Gesto::Letra, true},
        {representante, Gesto::Enter, true},
        {contabilista, Gesto::DuploClique, true},
        {contabilista, Gesto::Letra, true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.lookup.nome) + " / gesture " + std::to_string(int(c.gesto)));
        TFtemplate* f = c.lookup.cria();
        f->ModoSelecao = true;
        vorta::db::DataSet* ds = f->dsBase->dataSet();
        ASSERT_TRUE(ds);
        bool detalhe = false;
        vorta::ui::setModalHook([&](vorta::ui::Form& shown) {
            QApplication::setActiveWindow(&shown);
            auto* busca = shown.findChild<vorta::ui::RadioGroup*>();
            auto* edit = shown.findChild<vorta::ui::Edit*>(QStringLiteral("Edit_Busca"));
            EXPECT_TRUE(busca && edit);
            if (busca && edit) {
                busca->setItemIndex(c.lookup.itemBusca);
                edit->setFocus();
                QTest::keyClicks(edit, QString::fromLatin1(c.lookup.busca));
            }
            faz(*f, c.gesto);
            detalhe = !f->pagina1->isHidden();
            return int(vorta::ui::mrNone);
        });
        vorta::Guarded<vorta::ui::Form> guard(f);
        const int resultado = f->showModal();
        vorta::ui::setModalHook(nullptr);
        QCoreApplication::processEvents();
        EXPECT_EQ(resultado != vorta::ui::mrNone, c.fecha);
        EXPECT_EQ(guard.isNull(), c.fecha) << "a closed lookup frees itself";
        // A double-click in the grid first opens the detail page, as outside a lookup.
        if (c.gesto == Gesto::DuploClique) {
            EXPECT_TRUE(detalhe);
        }
        EXPECT_EQ(ds->fieldByName(QString::fromLatin1(c.lookup.campo))->asString(),
                  QString::fromLatin1(c.lookup.escolhido));
        vorta::Component::free(guard.get());
    }
}

TEST_F(CadForms, ChosenMunicipalityFillsTheAccountantsUfAndCep)
{
    struct Caso {
        int codigo;
        const char* cep;
        bool cepLivre;
    };
    const Caso casos[] = {{1004, "77400000", false}, {1001, "", true}};
    TCad_Contabilista* f = abre(Cad_Contabilista);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Responsavel;
    click(f->btAlterar);
    ASSERT_EQ(ds.state(), DataSetState::Edit);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.codigo);
        ds.fieldByName(QStringLiteral("Resp_CEP"))->setAsString(QStringLiteral("77777777"));
        vorta::ui::setModalHook([&](vorta::ui::Form& modal) {
            auto* m = dynamic_cast<TCad_Municipio*>(&modal);
            EXPECT_TRUE(m && m->ModoSelecao);
            EXPECT_TRUE(DM_Comuns->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), c.codigo));
            m->DBGridDblClick(m->DBGrid);
            return int(vorta::ui::mrCancel);
        });
        click(f->btMuncipio);
        EXPECT_EQ(ds.fieldByName(QStringLiteral("Mun_Endereco"))->asInteger(), c.codigo);
        EXPECT_EQ(ds.fieldByName(QStringLiteral("Resp_UF"))->asString(), "QX");
        EXPECT_EQ(ds.fieldByName(QStringLiteral("Resp_CEP"))->asString(), QString::fromLatin1(c.cep));
        EXPECT_EQ(f->DBEditCEP->isEnabled(), c.cepLivre);
    }
    ds.cancel();
}

// The incentive module keeps a municipality register from start-up in the exported
// variable; the accountant's lookup opens one of its own and leaves the variable as it was.
TEST_F(CadForms, TheAccountantsMunicipalityLookupLeavesTheExportedFormAsItFoundIt)
{
    for (bool mantido : {true, false}) {
        SCOPED_TRACE(mantido ? "a form kept from start-up" : "no form before");
        TCad_Municipio* inicial = mantido ? vorta::ui::createForm(Cad_Municipio) : nullptr;
        TCad_Contabilista* f = abre(Cad_Contabilista);
        TCad_Municipio* mostrado = nullptr;
        vorta::ui::setModalHook([&](vorta::ui::Form& modal) {
            mostrado = dynamic_cast<TCad_Municipio*>(&modal);
            EXPECT_EQ(mostrado, Cad_Municipio.get()) << "the variable names the lookup while it is shown";
            return int(vorta::ui::mrCancel);
        });
        click(f->btAlterar);
        ASSERT_EQ(DM_Comuns->Tb_Responsavel->state(), DataSetState::Edit);
        click(f->btMuncipio);
        vorta::ui::setModalHook(nullptr);
        ASSERT_NE(nullptr, mostrado);
        EXPECT_NE(inicial, mostrado);
        EXPECT_EQ(inicial, Cad_Municipio.get());
        DM_Comuns->Tb_Responsavel->cancel();
        vorta::Component::free(Cad_Contabilista);
        vorta::Component::free(Cad_Municipio);
    }
}

TEST_F(CadForms, LookupChoiceCopiesNothingIntoABrowsingRecord)
{
    TCad_Contabilista* f = abre(Cad_Contabilista);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Responsavel;
    DM_Comuns->Tb_C_Municipio->open();
    ASSERT_TRUE(DM_Comuns->Tb_C_Municipio->locate(QStringLiteral("Mun_Codigo"), 1004));
    f->DBLookup_MunicipioEscolha(f->DBLookup_Municipio);
    EXPECT_EQ(ds.state(), DataSetState::Browse);
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("Resp_UF"))->asString().isEmpty());
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("Mun_Endereco"))->isNull());
}

// The accountant's lists: a choice is stored in the record, and a municipality brings
// its UF and, when it has a single one, its CEP.
TEST_F(CadForms, AccountantListsStoreTheChoiceAndTheMunicipalityItsUfAndCep)
{
    TCad_Contabilista* f = abre(Cad_Contabilista);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Responsavel;
    ASSERT_TRUE(ds.locate(QStringLiteral("Resp_CPF"), QStringLiteral("52998224725")));
    click(f->btAlterar);
    ASSERT_EQ(ds.state(), DataSetState::Edit);
    auto escolhe = [](vorta::ui::DBLookupComboBox* lista, const char* texto) {
        const int i = lista->findText(QString::fromLatin1(texto));
        ASSERT_GE(i, 0) << texto;
        lista->choose(i);
    };
    struct Caso {
        const char* municipio;
        qint64 codigo;
        const char* cep;
        bool cepLivre;
    };
    const Caso casos[] = {{"RIO CLARO", 1004, "77400000", false}, {"PORTO DAS ARAUCARIAS", 1001, "", true}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.municipio);
        ds.fieldByName(QStringLiteral("Resp_CEP"))->setAsString(QStringLiteral("77777777"));
        escolhe(f->DBLookup_Municipio, c.municipio);
        EXPECT_EQ(ds.fieldByName(QStringLiteral("Mun_Endereco"))->asInteger(), c.codigo);
        EXPECT_EQ(ds.fieldByName(QStringLiteral("LK_Municipio"))->asString(), QString::fromLatin1(c.municipio));
        EXPECT_EQ(ds.fieldByName(QStringLiteral("Resp_UF"))->asString(), "QX");
        EXPECT_EQ(ds.fieldByName(QStringLiteral("Resp_CEP"))->asString(), QString::fromLatin1(c.cep));
        EXPECT_EQ(f->DBEditCEP->isEnabled(), c.cepLivre);
    }
    // No municipality: no UF and no CEP either.
    ds.fieldByName(QStringLiteral("Mun_Endereco"))->clear();
    f->DBLookup_MunicipioEscolha(f->DBLookup_Municipio);
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("Resp_UF"))->asString().isEmpty());
    EXPECT_TRUE(ds.fieldByName(QStringLiteral("Resp_CEP"))->asString().isEmpty());

    escolhe(f->DBLookup_Logradouro, "RUA");
    escolhe(f->DBLookup_TipoResp, "ESCRITORIO");
    EXPECT_EQ(ds.fieldByName(QStringLiteral("TipLog_Codigo"))->asString(), "R");
    EXPECT_EQ(ds.fieldByName(QStringLiteral("LK_Logradouro"))->asString(), "RUA");
    EXPECT_EQ(ds.fieldByName(QStringLiteral("Resp_TipoCRCEmpresa"))->asInteger(), 3);
    ds.cancel();
}

TEST_F(CadForms, DistrictTypeCtoTakesTheDistrictAway)
{
    TCad_Contabilista* f = abre(Cad_Contabilista);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Responsavel;
    click(f->btAlterar);
    for (auto [tipo, livre] : {std::pair{"CTO CENTRO", false}, {"JARDIM", true}}) {
        SCOPED_TRACE(tipo);
        ds.fieldByName(QStringLiteral("Resp_Bairro"))->setAsString(QStringLiteral("SETOR SUL"));
        f->DBLookup_Bairro->choose(f->DBLookup_Bairro->findText(QString::fromLatin1(tipo)));
        f->DBLookup_Bairro->setFocus();
        f->DBLookup_BairroExit(f->DBLookup_Bairro);
        EXPECT_EQ(f->DBEdit_Resp_Bairro->isEnabled(), livre);
        EXPECT_EQ(ds.fieldByName(QStringLiteral("Resp_Bairro"))->asString().isEmpty(), !livre);
        if (!livre) {
            EXPECT_EQ(QApplication::focusWidget(), f->DBLookup_Municipio);
        }
    }
    ds.cancel();
}

// A street without its street type is refused with 60, which focuses the list of types.
static void recusaSemTipoDeLogradouro(TCad_Contabilista* f, vorta::db::DataSet& ds)
{
    ds.fieldByName(QStringLiteral("Resp_Logradouro"))->setAsString(QStringLiteral("DAS FLORES"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("60 - M60"), 1);
        QTest::mouseClick(f->btGravar, Qt::LeftButton);
    }
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(QApplication::focusWidget(), f->DBLookup_Logradouro);
    ds.cancel();
}

// A refusal naming a lookup field focuses the list that chooses it.
TEST_F(CadForms, RefusedLookupFieldFocusesItsList)
{
    TCad_Contabilista* f = abre(Cad_Contabilista);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Responsavel;
    ASSERT_TRUE(ds.locate(QStringLiteral("Resp_CPF"), QStringLiteral("52998224725")));
    click(f->btAlterar);
    recusaSemTipoDeLogradouro(f, ds);
}

// The municipality register opened for a lookup from the accountant form is gone
// when the accountant's record is saved: a refusal then focuses the accountant's field.
TEST_F(CadForms, RefusalAfterAMunicipalityLookupFocusesTheAccountantsField)
{
    TCad_Contabilista* f = abre(Cad_Contabilista);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Responsavel;
    ASSERT_TRUE(ds.locate(QStringLiteral("Resp_CPF"), QStringLiteral("52998224725")));
    click(f->btAlterar);
    vorta::ui::setModalHook([&](vorta::ui::Form& modal) {
        QApplication::setActiveWindow(&modal);
        auto* m = dynamic_cast<TCad_Municipio*>(&modal);
        EXPECT_TRUE(m);
        if (m) {
            EXPECT_TRUE(DM_Comuns->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), 1004));
            m->DBGridDblClick(m->DBGrid);
        }
        return int(vorta::ui::mrCancel);
    });
    click(f->btMuncipio);
    vorta::ui::setModalHook(nullptr);
    QCoreApplication::processEvents();
    ASSERT_FALSE(Cad_Municipio);
    QApplication::setActiveWindow(f);
    ASSERT_EQ(ds.fieldByName(QStringLiteral("Mun_Endereco"))->asInteger(), 1004);
    recusaSemTipoDeLogradouro(f, ds);
}

// Include and alter open the detail page writable, each form with its key field and
// extras; save and cancel bring the read-only browsing back.
TEST_F(CadForms, IncludeAndAlterPrepareEachForm)
{
    using vorta::ui::FieldControl;
    auto ro = [](QWidget* w) { return dynamic_cast<FieldControl*>(w)->readOnly(); };
    struct Caso {
        const char* nome;
        std::function<TFtemplate*()> abre;
        std::function<void(TFtemplate*)> confere;
    };
    const Caso casos[] = {
        {"municipality include",
         [this] {
             TCad_Municipio* f = abre(Cad_Municipio);
             click(f->btIncluir);
             return f;
         },
         [&](TFtemplate* t) {
             auto* f = static_cast<TCad_Municipio*>(t);
             EXPECT_EQ(DM_Comuns->Tb_Municipio->fieldByName(QStringLiteral("Mun_Codigo"))->asInteger(), 999002);
             EXPECT_FALSE(f->DBEdit_Mun_Codigo->isEnabled());
             EXPECT_FALSE(f->DBEdit_Mun_CEPInicial->isVisibleTo(f->pagina1));
             EXPECT_EQ(QApplication::focusWidget(), f->DBEdit_Mun_Descricao);
             EXPECT_FALSE(ro(f->DBEdit_Mun_Descricao));
         }},
        {"municipality opened to include",
         [this] {
             auto* f = vorta::createInto<TCad_Municipio>(Cad_Municipio, vorta::Application::instance());
             f->ModoInclusao = true;
             f->show();
             QApplication::setActiveWindow(f);
             return f;
         },
         [&](TFtemplate* t) {
             auto* f = static_cast<TCad_Municipio*>(t);
             EXPECT_EQ(DM_Comuns->Tb_Municipio->state(), DataSetState::Insert);
             EXPECT_EQ(QApplication::focusWidget(), f->DBEdit_Mun_Descricao);
         }},
        {"legal representative include",
         [this] {
             TCad_RespnsavelLegal* f = abre(Cad_RespnsavelLegal);
             click(f->btIncluir);
             return f;
         },
         [&](TFtemplate* t) {
             auto* f = static_cast<TCad_RespnsavelLegal*>(t);
             EXPECT_EQ(QApplication::focusWidget(), f->DBEdit_ResEmp_CPF);
             EXPECT_FALSE(ro(f->DBEdit_ResEmp_CPF));
         }},
        {"legal representative alter",
         [this] {
             TCad_RespnsavelLegal* f = abre(Cad_RespnsavelLegal);
             click(f->btAlterar);
             return f;
         },
         [&](TFtemplate* t) {
             auto* f = static_cast<TCad_RespnsavelLegal*>(t);
             EXPECT_TRUE(ro(f->DBEdit_ResEmp_CPF));
             EXPECT_FALSE(ro(f->DBEdit_ResEmp_Nome));
         }},
        {"accountant include",
         [this] {
             TCad_Contabilista* f = abre(Cad_Contabilista);
             click(f->btIncluir);
             return f;
         },
         [&](TFtemplate* t) {
             auto* f = static_cast<TCad_Contabilista*>(t);
             EXPECT_TRUE(f->btMuncipio->isEnabled());
             EXPECT_TRUE(DM_Comuns->Tb_Responsavel->fieldByName(QStringLiteral("Resp_CPF"))->isNull());
             EXPECT_EQ(QApplication::focusWidget(), f->DBEdit_Resp_CPF);
             EXPECT_FALSE(ro(f->DBEdit_Resp_CPF));
         }},
        {"accountant alter",
         [this] {
             TCad_Contabilista* f = abre(Cad_Contabilista);
             click(f->btAlterar);
             return f;
         },
         [&](TFtemplate* t) {
             auto* f = static_cast<TCad_Contabilista*>(t);
             EXPECT_TRUE(f->btMuncipio->isEnabled());
             EXPECT_TRUE(ro(f->DBEdit_Resp_CPF));
             EXPECT_FALSE(ro(f->DBEdit_Resp_Bairro));
         }},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TFtemplate* f = c.abre();
        vorta::db::DataSet* ds = f->dsBase->dataSet();
        EXPECT_TRUE(ds->state() == DataSetState::Insert || ds->state() == DataSetState::Edit);
        EXPECT_TRUE(f->findChild<vorta::ui::Panel*>(QStringLiteral("Panel_Busca"))->isHidden());
        EXPECT_FALSE(f->pagina1->isHidden());
        c.confere(f);
        click(f->btCancelar);
        EXPECT_EQ(ds->state(), DataSetState::Browse);
        for (FieldControl* control : f->findChildren<vorta::ui::DBEdit*>())
            EXPECT_TRUE(control->readOnly()) << dynamic_cast<QWidget*>(control)->objectName().toStdString();
        if (auto* contabilista = dynamic_cast<TCad_Contabilista*>(f)) {
            EXPECT_FALSE(contabilista->btMuncipio->isEnabled());
        }
        vorta::Component::free(f);
    }
}

// Every entry field of the three registers puts its numbered hint into the status
// line when it receives the focus; the accountant's UF shows its hint when it changes.
TEST_F(CadForms, EachFieldShowsItsHintWhenEntered)
{
    struct Dica {
        const char* campo;
        int mensagem;
    };
    struct Caso {
        const char* nome;
        std::function<TFtemplate*()> abre;
        const char* chave;
        QVariant registro;
        std::vector<Dica> dicas;
    };
    const Caso casos[] = {
        {"municipality", [this] { return abre(Cad_Municipio); }, "Mun_Codigo", 999000,
         {{"Mun_Descricao", 90}, {"Mun_CEPInicial", 78}, {"Mun_CEPFinal", 80}, {"Mun_UF", 66}}},
        {"legal representative", [this] { return abre(Cad_RespnsavelLegal); }, "ResEmp_CPF", "11144477735",
         {{"ResEmp_CPF", 604}, {"ResEmp_Nome", 605}, {"ResEmp_Cargo", 606}}},
        {"accountant", [this] { return abre(Cad_Contabilista); }, "Resp_CPF", "52998224725",
         {{"Resp_CPF", 15}, {"Resp_CRC", 16}, {"Resp_Nome", 17}, {"TipLog_Codigo", 40}, {"Resp_Logradouro", 41},
          {"Resp_Numero", 42}, {"Resp_Complemento", 43}, {"TipBai_Codigo", 44}, {"Resp_Bairro", 45},
          {"Mun_Endereco", 51}, {"Resp_CEP", 67}, {"Resp_DDDFone", 18}, {"Resp_Fone", 19}, {"Resp_Email", 20},
          {"Resp_DDDFAX", 71}, {"Resp_FAX", 47}, {"Resp_CRC_Empresa", 576}, {"Resp_TipoCRCEmpresa", 577},
          {"Resp_NomeEscritorio", 578}}},
    };
    QString mensagens;
    for (const Caso& c : casos)
        for (const Dica& d : c.dicas)
            mensagens += QStringLiteral("INSERT OR REPLACE INTO mensagem (Men_Codigo, Men_Descricao) VALUES (%1, 'M%1');")
                             .arg(d.mensagem);
    vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), mensagens);

    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TFtemplate* f = c.abre();
        vorta::db::DataSet& ds = *f->dsBase->dataSet();
        ASSERT_TRUE(ds.locate(QString::fromLatin1(c.chave), c.registro));
        click(f->btAlterar);
        ASSERT_EQ(ds.state(), DataSetState::Edit);
        for (const Dica& d : c.dicas) {
            SCOPED_TRACE(d.campo);
            QWidget* campo = controleDoCampo(f, d.campo);
            ASSERT_TRUE(campo);
            f->msgStatus->setPanelText(0, QString());
            campo->setFocus();
            EXPECT_EQ(QApplication::focusWidget(), campo);
            EXPECT_EQ(f->msgStatus->panel(0).text, QStringLiteral("%1 - M%1").arg(d.mensagem));
        }
        if (auto* contabilista = dynamic_cast<TCad_Contabilista*>(f)) {
            contabilista->msgStatus->setPanelText(0, QString());
            ds.fieldByName(QStringLiteral("Resp_UF"))->setAsString(QStringLiteral("QX"));
            EXPECT_EQ(contabilista->msgStatus->panel(0).text, QStringLiteral("66 - M66"));
        }
        click(f->btCancelar);
        vorta::Component::free(f);
    }
}

// Moving through the records on the detail page shows the CEP range again for a
// municipality at home and hides it for one abroad.
TEST_F(CadForms, MunicipalityNavigationShowsTheCepRangeOfEachRecord)
{
    TCad_Municipio* f = abre(Cad_Municipio);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Municipio;
    click(f->btConsultaSimples);
    struct Passo {
        qint64 de;
        vorta::ui::SpeedButton* TCad_Municipio::*botao;
        const char* para;
        bool cep;
    };
    // The table is kept in name order: ..., CAMPO ALEGRE, LONGE (abroad), PORTO DAS ARAUCARIAS, ...
    const Passo passos[] = {
        {1001, &TCad_Municipio::btAnterior, "LONGE", false},
        {999001, &TCad_Municipio::btProximo, "PORTO DAS ARAUCARIAS", true},
        {999001, &TCad_Municipio::btPrimeiro, "BOA VISTA DO SUL", true},
        {1005, &TCad_Municipio::btProximo, "LONGE", false},
        {999001, &TCad_Municipio::btUltimo, "SANTA LUZIA DO NORTE", true},
    };
    for (const Passo& p : passos) {
        SCOPED_TRACE(p.para);
        ASSERT_TRUE(ds.locate(QStringLiteral("Mun_Codigo"), p.de));
        f->habilitaCampos();
        ASSERT_NE(f->DBEdit_Mun_CEPInicial->isVisibleTo(f->pagina1), p.cep);
        click(f->*p.botao);
        EXPECT_EQ(ds.fieldByName(QStringLiteral("Mun_Descricao"))->asString(), QString::fromLatin1(p.para));
        for (QWidget* w : {static_cast<QWidget*>(f->Label5), static_cast<QWidget*>(f->DBEdit_Mun_CEPInicial),
                           static_cast<QWidget*>(f->Label6), static_cast<QWidget*>(f->DBEdit_Mun_CEPFinal)})
            EXPECT_EQ(w->isVisibleTo(f->pagina1), p.cep) << w->objectName().toStdString();
    }
}

// A municipality of the user's own is deleted after the confirmation; the record that
// takes its place shows its own CEP range, read-only.
TEST_F(CadForms, UserMunicipalityIsDeletedAfterTheConfirmation)
{
    TCad_Municipio* f = abre(Cad_Municipio);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Municipio;
    ASSERT_TRUE(ds.locate(QStringLiteral("Mun_Codigo"), 999001));
    click(f->btConsultaSimples);
    ASSERT_FALSE(f->DBEdit_Mun_CEPInicial->isVisibleTo(f->pagina1));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - M92"), vorta::ui::mrNo)
            .expectMessage(MessageKind::Confirmation, QStringLiteral("92 - M92"), vorta::ui::mrYes);
        click(f->btExcluir);
        EXPECT_TRUE(ds.locate(QStringLiteral("Mun_Codigo"), 999001));
        click(f->btExcluir);
        EXPECT_TRUE(dialogs.allAnswered());
    }
    // The record now current is one at home.
    EXPECT_EQ(ds.fieldByName(QStringLiteral("Mun_UF"))->asString(), "QX");
    EXPECT_TRUE(f->DBEdit_Mun_CEPInicial->isVisibleTo(f->pagina1));
    EXPECT_TRUE(f->DBEdit_Mun_Descricao->FieldControl::readOnly());
    EXPECT_EQ(ds.recordCount(), 7);
}

// Outside a lookup the grid's gestures open the detail page and keep the form open;
// a letter typed there does nothing.
TEST_F(CadForms, OutsideALookupGridGesturesOpenTheDetailPage)
{
    struct Caso {
        const char* nome;
        std::function<TFtemplate*()> abre;
        Gesto gesto;
        bool detalhe;
    };
    const Caso casos[] = {
        {"municipality", [this] { return abre(Cad_Municipio); }, Gesto::Enter, true},
        {"municipality", [this] { return abre(Cad_Municipio); }, Gesto::DuploClique, true},
        {"municipality", [this] { return abre(Cad_Municipio); }, Gesto::Letra, false},
        {"legal representative", [this] { return abre(Cad_RespnsavelLegal); }, Gesto::Enter, true},
        {"legal representative", [this] { return abre(Cad_RespnsavelLegal); }, Gesto::Letra, false},
        {"accountant", [this] { return abre(Cad_Contabilista); }, Gesto::Enter, true},
        {"accountant", [this] { return abre(Cad_Contabilista); }, Gesto::DuploClique, true},
        {"accountant", [this] { return abre(Cad_Contabilista); }, Gesto::Letra, false},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.nome) + " / gesture " + std::to_string(int(c.gesto)));
        TFtemplate* f = c.abre();
        vorta::Guarded<vorta::ui::Form> guard(f);
        faz(*f, c.gesto);
        QCoreApplication::processEvents();
        ASSERT_FALSE(guard.isNull());
        EXPECT_TRUE(f->isVisible());
        EXPECT_EQ(!f->pagina1->isHidden(), c.detalhe);
        EXPECT_EQ(f->findChild<vorta::ui::Panel*>(QStringLiteral("Panel_Busca"))->isHidden(), c.detalhe);
        vorta::Component::free(f);
    }
}

// Enter in a field of the detail page moves the focus one field on, in and out of a
// lookup.
TEST_F(CadForms, EnterMovesToTheNextField)
{
    struct Caso {
        const char* nome;
        std::function<TFtemplate*()> cria;
        const char* chave;
        QVariant registro;
        bool selecao;
        const char* de;
        const char* para;
    };
    auto municipio = [] { return vorta::createInto<TCad_Municipio>(Cad_Municipio, vorta::Application::instance()); };
    auto representante = [] {
        return vorta::createInto<TCad_RespnsavelLegal>(Cad_RespnsavelLegal, vorta::Application::instance());
    };
    auto contabilista = [] {
        return vorta::createInto<TCad_Contabilista>(Cad_Contabilista, vorta::Application::instance());
    };
    const Caso casos[] = {
        {"municipality", municipio, "Mun_Codigo", 999000, false, "Mun_Descricao", "Mun_CEPInicial"},
        {"municipality", municipio, "Mun_Codigo", 999000, false, "Mun_CEPFinal", "Mun_UF"},
        {"legal representative", representante, "ResEmp_CPF", "11144477735", false, "ResEmp_CPF", "ResEmp_Nome"},
        {"legal representative", representante, "ResEmp_CPF", "11144477735", true, "ResEmp_Nome", "ResEmp_Cargo"},
        {"accountant", contabilista, "Resp_CPF", "52998224725", false, "Resp_CRC", "Resp_Nome"},
        {"accountant", contabilista, "Resp_CPF", "52998224725", true, "Resp_CPF", "Resp_CRC"},
        {"accountant", contabilista, "Resp_CPF", "52998224725", false, "Resp_Nome", "TipLog_Codigo"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(std::string(c.nome) + ": " + c.de + (c.selecao ? " (lookup)" : ""));
        TFtemplate* f = c.cria();
        f->ModoSelecao = c.selecao;
        f->show();
        QApplication::setActiveWindow(f);
        vorta::db::DataSet& ds = *f->dsBase->dataSet();
        ASSERT_TRUE(ds.locate(QString::fromLatin1(c.chave), c.registro));
        click(f->btAlterar);
        QWidget* de = controleDoCampo(f, c.de);
        QWidget* para = controleDoCampo(f, c.para);
        ASSERT_TRUE(de && para);
        de->setFocus();
        QTest::keyClick(de, Qt::Key_Return);
        EXPECT_EQ(QApplication::focusWidget(), para);
        EXPECT_EQ(ds.state(), DataSetState::Edit);
        click(f->btCancelar);
        vorta::Component::free(f);
    }
}

// The municipality and accountant forms open on their search field, with the lists
// their detail pages need open; the municipality form opened to include opens on a
// new record instead.
TEST_F(CadForms, FormsOpenOnTheirSearchField)
{
    DM_Comuns->Tb_Agenfa->close();
    DM_Comuns->Tb_TipoResp->close();
    TCad_Municipio* m = abre(Cad_Municipio);
    EXPECT_EQ(QApplication::focusWidget(), m->Edit_Busca);
    EXPECT_TRUE(DM_Comuns->Tb_Agenfa->active());
    EXPECT_EQ(DM_Comuns->Tb_Municipio->state(), DataSetState::Browse);
    vorta::Component::free(m);

    TCad_Contabilista* c = abre(Cad_Contabilista);
    EXPECT_EQ(QApplication::focusWidget(), c->Edit_Busca);
    EXPECT_TRUE(DM_Comuns->Tb_TipoResp->active());
    EXPECT_FALSE(c->Panel_Busca->isHidden());
    EXPECT_TRUE(c->pagina1->isHidden());
}

// Leaving the accountant's municipality list goes on to the CEP when the CEP is the
// user's to type (a municipality with a range), and elsewhere when it was filled.
TEST_F(CadForms, LeavingTheMunicipalityListGoesToAFreeCep)
{
    TCad_Contabilista* f = abre(Cad_Contabilista);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Responsavel;
    click(f->btAlterar);
    ASSERT_EQ(ds.state(), DataSetState::Edit);
    struct Caso {
        const char* municipio;
        bool paraCep;
    };
    const Caso casos[] = {{"PORTO DAS ARAUCARIAS", true}, {"RIO CLARO", false}};
    QWidget* outro = f->DBLookup_TipoResp;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.municipio);
        f->DBLookup_Municipio->setFocus();
        f->DBLookup_Municipio->choose(f->DBLookup_Municipio->findText(QString::fromLatin1(c.municipio)));
        outro->setFocus();
        EXPECT_EQ(QApplication::focusWidget(), c.paraCep ? static_cast<QWidget*>(f->DBEditCEP) : outro);
    }
    ds.cancel();
}

// The data module outlives the register forms: a refusal after the form has gone
// still shows its message, with no form to focus.
TEST_F(CadForms, RefusalAfterTheFormHasGoneFocusesNothing)
{
    for (int forma = 0; forma < 3; ++forma) {
        SCOPED_TRACE(forma);
        TFtemplate* f = forma == 0 ? static_cast<TFtemplate*>(abre(Cad_Municipio))
                        : forma == 1 ? static_cast<TFtemplate*>(abre(Cad_RespnsavelLegal))
                                     : static_cast<TFtemplate*>(abre(Cad_Contabilista));
        vorta::Component::free(f);
        vorta::db::DataSet& ds = *DM_Comuns->Tb_RespEmpresa;
        ds.open();
        ds.append();
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("15 - M15"), 1);
        EXPECT_THROW(ds.post(), vorta::EAbort);
        ds.cancel();
    }
}

// The installed visibility rows name every entry field of these registers, so that a
// program can show or hide each of them.
TEST_F(CadForms, VisibilityRowsNameEveryEntryFieldOfTheRegisters)
{
    QSet<QString> linhas;
    for (const auto& row : vorta::installation::parseParametros(vorta::installation::parametrosText()).linhas)
        linhas << row.tabelas.toUpper() + QLatin1Char('.') + row.campo.toUpper();
    struct Caso {
        const char* registro;
        TFtemplate* form;
    };
    const Caso casos[] = {
        {"Municipio", vorta::createInto<TCad_Municipio>(Cad_Municipio, vorta::Application::instance())},
        {"RespEmpresa", vorta::createInto<TCad_RespnsavelLegal>(Cad_RespnsavelLegal, vorta::Application::instance())},
        {"Responsavel", vorta::createInto<TCad_Contabilista>(Cad_Contabilista, vorta::Application::instance())},
        {"Contribuinte", vorta::createInto<TCad_Contribuinte>(Cad_Contribuinte, vorta::Application::instance())},
    };
    for (const Caso& c : casos) {
        int campos = 0;
        for (QWidget* w : c.form->pagina1->findChildren<QWidget*>()) {
            auto* control = dynamic_cast<vorta::ui::FieldControl*>(w);
            if (!control)
                continue;
            ++campos;
            EXPECT_TRUE(linhas.contains(QString::fromLatin1(c.registro).toUpper() + QLatin1Char('.')
                                        + control->dataField().toUpper()))
                << c.registro << "." << control->dataField().toStdString();
        }
        EXPECT_GT(campos, 0) << c.registro;
    }
}

} // namespace
