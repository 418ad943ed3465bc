// The municipality, legal-representative and accountant register forms.
#include "T_Cad_Contabilista.h"
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

// A refusal naming a lookup field focuses the list that chooses it.
TEST_F(CadForms, RefusedLookupFieldFocusesItsList)
{
    TCad_Contabilista* f = abre(Cad_Contabilista);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_Responsavel;
    ASSERT_TRUE(ds.locate(QStringLiteral("Resp_CPF"), QStringLiteral("52998224725")));
    click(f->btAlterar);
    ds.fieldByName(QStringLiteral("Resp_Logradouro"))->setAsString(QStringLiteral("DAS FLORES"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("60 - M60"), 1);
        click(f->btGravar);
    }
    EXPECT_EQ(ds.state(), DataSetState::Edit);
    EXPECT_EQ(QApplication::focusWidget(), f->DBLookup_Logradouro);
    ds.cancel();
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
