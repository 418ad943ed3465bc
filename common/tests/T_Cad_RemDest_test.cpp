// The senders-and-recipients register, driven by the keyboard and the mouse as a
// user works it; what it stores is read back from the database.
#include "T_Cad_Municipio.h"
#include "T_Cad_RemDest.h"
#include "T_DM_Comuns.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/db/Database.h"
#include "platform/db/Query.h"
#include "platform/ui/DbControls.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"
#include "testing/VirtualXServer.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QGuiApplication>
#include <QImage>
#include <QRadioButton>
#include <QTest>

#include <gtest/gtest.h>

using vorta::db::DataSetState;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;
namespace user = vorta::testing::user;

namespace {

// Clicks an item's circle, as the user does (a short caption leaves the middle of
// the item unclickable).
void clicaItem(vorta::ui::RadioGroup* grupo, int item)
{
    QWidget* b = grupo->button(item);
    QTest::mouseClick(b, Qt::LeftButton, Qt::NoModifier, QPoint(6, b->height() / 2));
    ASSERT_EQ(item, grupo->itemIndex());
}

class CadRemDest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        CancelaContrib = QStringLiteral("antes");
        m_inst.installDatabase();
        QString mensagens = QStringLiteral("DELETE FROM mensagem; INSERT INTO mensagem (Men_Codigo, Men_Descricao) VALUES ");
        const int numeros[] = {15, 22, 23, 33, 34, 35, 36, 37, 51, 53, 54, 55, 56, 91, 92, 117, 118, 119, 133,
                               495, 496, 497, 1408, 1419, 1650};
        for (int n : numeros)
            mensagens += QStringLiteral("%1(%2, 'M%2')").arg(n == numeros[0] ? QString() : QStringLiteral(",")).arg(n);
        sql(mensagens);
        sql(QStringLiteral(
            "INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES (999010, 'UBERLANDIA', 'MG');"
            "INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, Con_UF) VALUES"
            " ('286000008', 'ZELIA PRODUTORA', 'FAZENDA BOA ESPERA', 'IE', 1002, 'QX'),"
            " ('281234566', 'BAZAR DO POVO', NULL, 'IE', 1001, 'QX')"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        if (DM_Comuns->Tb_RemDest->active() && DM_Comuns->Tb_RemDest->state() != DataSetState::Browse)
            DM_Comuns->Tb_RemDest->cancel();
        vorta::Component::free(Cad_Municipio);
        vorta::Component::free(Cad_RemDest);
        vorta::Component::free(DM_Comuns);
        DirDados = m_savedDirDados;
    }
    void sql(const QString& text) { vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), text); }

    TCad_RemDest* abre(bool inclusao = false)
    {
        TCad_RemDest* f = vorta::createInto<TCad_RemDest>(Cad_RemDest, vorta::Application::instance());
        f->ModoInclusao = inclusao;
        f->show();
        user::activate(f);
        return f;
    }

    // A stored row of table Contribuinte: its columns by name, empty when there is none.
    QVariantMap linha(const QString& inscricao)
    {
        vorta::db::Query q;
        q.setDatabase(DM_Comuns->DB_Comuns);
        q.setSql(QStringLiteral("select * from Contribuinte where Con_IECNPJCPF = :i"));
        q.paramByName(QStringLiteral("i"))->setValue(inscricao);
        q.open();
        QVariantMap out;
        if (!q.isEmpty())
            for (const char* c : {"Con_Tipo", "Con_Nome", "Mun_Endereco", "Con_UF", "Con_NomePropr"})
                out[QString::fromLatin1(c)] = q.fieldByName(QString::fromLatin1(c))->asString();
        return out;
    }
    int linhas()
    {
        vorta::db::Query q;
        q.setDatabase(DM_Comuns->DB_Comuns);
        q.setSql(QStringLiteral("select count(*) n from Contribuinte"));
        q.open();
        return int(q.fieldByName(QStringLiteral("n"))->asInteger());
    }
    static void tipo(TCad_RemDest* f, int item) { clicaItem(f->DBRadioGroup_ConTipo, item); }

    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
};

struct Inclusao {
    const char* nome;
    int item;             // of the kind list
    const char* digitado; // what the user types into the registration
    const char* municipio; // first letter of the municipality in the list
    const char* gravada;
    const char* tipo;
    const char* mun;
    const char* uf;
};

TEST_F(CadRemDest, IncludingByTypingStoresTheRow)
{
    const Inclusao casos[] = {
        {"state registration", 0, "281111111", "P", "281111111", "IE", "1001", "QX"},
        {"CNPJ", 1, "11222333000181", "S", "11222333000181", "CNPJ", "1002", "QX"},
        {"CPF", 2, "11144477735", "B", "11144477735", "CPF", "1003", "QX"},
        {"other registration of any length", 3, "X1", "U", "X1", "OI", "999010", "MG"},
    };
    for (const Inclusao& c : casos) {
        SCOPED_TRACE(c.nome);
        TCad_RemDest* f = abre();
        user::alt(QLatin1Char('I'));
        ASSERT_EQ(DataSetState::Insert, DM_Comuns->Tb_RemDest->state());
        EXPECT_EQ(f->DBEdit_Con_IECNPJCPF, user::focused());
        EXPECT_EQ(QStringLiteral("IE"), DM_Comuns->Tb_RemDest->fieldByName(QStringLiteral("Con_Tipo"))->asString());
        if (c.item != 0)
            tipo(f, c.item);
        f->DBEdit_Con_IECNPJCPF->setFocus();
        user::type(QString::fromLatin1(c.digitado));
        user::tab();
        EXPECT_EQ(f->DBEdit_Nome, user::focused());
        user::type(QStringLiteral("Casa Ávila"));
        user::tab();
        EXPECT_EQ(f->DBLookupComboBox_Municipio, user::focused());
        user::type(QString::fromLatin1(c.municipio));
        EXPECT_EQ(QString::fromLatin1(c.uf), f->DBEdit_Con_UF->text()) << "the UF comes with the municipality";
        user::alt(QLatin1Char('G'));
        EXPECT_EQ(DataSetState::Browse, DM_Comuns->Tb_RemDest->state());
        const QVariantMap r = linha(QString::fromLatin1(c.gravada));
        EXPECT_EQ(QString::fromLatin1(c.tipo), r.value(QStringLiteral("Con_Tipo")));
        EXPECT_EQ(QStringLiteral("CASA ÁVILA"), r.value(QStringLiteral("Con_Nome")));
        EXPECT_EQ(QString::fromLatin1(c.mun), r.value(QStringLiteral("Mun_Endereco")));
        EXPECT_EQ(QString::fromLatin1(c.uf), r.value(QStringLiteral("Con_UF")));
        EXPECT_EQ(QString::fromLatin1(c.gravada), CancelaContrib);
        EXPECT_TRUE(f->DBEdit_Con_IECNPJCPF->FieldControl::readOnly()) << "browsing again";
        EXPECT_FALSE(f->DBRadioGroup_ConTipo->isEnabled());
        EXPECT_FALSE(f->btMuncipio->isEnabled());
        EXPECT_EQ(f->DBEdit_Con_IECNPJCPF, user::focused());
        vorta::Component::free(f);
    }
}

TEST_F(CadRemDest, SavingChecksTheRegistrationLengthOfTheKindFirst)
{
    struct Caso {
        const char* nome;
        int item;
        const char* digitado;
        int mensagem;
        bool focoNoTipo;
    };
    const Caso casos[] = {
        {"nothing typed", 0, "", 1408, false},
        {"blanks only", 3, "  ", 1408, false},
        {"state registration of 8 digits", 0, "28111111", 117, true},
        {"CNPJ of 13 digits, before the data module pads it", 1, "1122233300018", 118, true},
        {"CPF of 10 digits", 2, "1114447773", 119, true},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TCad_RemDest* f = abre();
        user::alt(QLatin1Char('I'));
        if (c.item != 0)
            tipo(f, c.item);
        f->DBEdit_Con_IECNPJCPF->setFocus();
        user::type(QString::fromLatin1(c.digitado));
        user::tab();
        user::type(QStringLiteral("CASA AVILA"));
        user::tab();
        user::type(QStringLiteral("P"));
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Error, QStringLiteral("%1 - M%1").arg(c.mensagem), 1);
            user::alt(QLatin1Char('G'));
        }
        EXPECT_EQ(DataSetState::Insert, DM_Comuns->Tb_RemDest->state()) << "nothing saved";
        QWidget* foco = user::focused();
        if (c.focoNoTipo)
            EXPECT_TRUE(foco == f->DBRadioGroup_ConTipo || f->DBRadioGroup_ConTipo->isAncestorOf(foco));
        else
            EXPECT_EQ(f->DBEdit_Con_IECNPJCPF, foco);
        EXPECT_EQ(2, linhas());
        user::alt(QLatin1Char('C'));
        EXPECT_TRUE(CancelaContrib.isEmpty()) << "a cancel hands over no registration";
        vorta::Component::free(f);
    }
}

TEST_F(CadRemDest, OtherRegistrationsOfAnyLengthReachTheDataModuleChecks)
{
    // In the home state an "other" registration is refused by the data module, whatever its length.
    for (const char* digitado : {"1", "ABCDEFGHIJKLMNO"}) {
        SCOPED_TRACE(digitado);
        TCad_RemDest* f = abre();
        user::alt(QLatin1Char('I'));
        tipo(f, 3);
        f->DBEdit_Con_IECNPJCPF->setFocus();
        user::type(QString::fromLatin1(digitado));
        user::tab();
        user::type(QStringLiteral("CASA AVILA"));
        user::tab();
        user::type(QStringLiteral("P"));
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Error, QStringLiteral("496 - M496"), 1);
            user::alt(QLatin1Char('G'));
        }
        EXPECT_EQ(DataSetState::Insert, DM_Comuns->Tb_RemDest->state());
        EXPECT_TRUE(f->btGravar->isEnabled()) << "still editing";
        user::alt(QLatin1Char('C'));
        vorta::Component::free(f);
    }
    EXPECT_EQ(2, linhas());
}

TEST_F(CadRemDest, AnExistingRegistrationTypedForANewRowAsksAndOnYesOpensItForAltering)
{
    TCad_RemDest* f = abre();
    user::alt(QLatin1Char('I'));
    user::type(QStringLiteral("286000008"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1419 - M1419"), vorta::ui::mrYes);
        user::tab();
    }
    vorta::db::DataSet& ds = *DM_Comuns->Tb_RemDest;
    ASSERT_EQ(DataSetState::Edit, ds.state());
    EXPECT_EQ(QStringLiteral("286000008"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    EXPECT_TRUE(f->DBEdit_Con_IECNPJCPF->FieldControl::readOnly());
    EXPECT_FALSE(f->DBEdit_Nome->FieldControl::readOnly());
    EXPECT_FALSE(f->DBRadioGroup_ConTipo->isEnabled());
    EXPECT_TRUE(f->btGravar->isEnabled());
    EXPECT_EQ(f->DBEdit_Nome, user::focused());
    user::type(QStringLiteral("ZELIA NOVA"));
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(DataSetState::Browse, ds.state());
    EXPECT_EQ(QStringLiteral("ZELIA NOVA"), linha(QStringLiteral("286000008")).value(QStringLiteral("Con_Nome")));
    EXPECT_EQ(QStringLiteral("FAZENDA BOA ESPERA"),
              linha(QStringLiteral("286000008")).value(QStringLiteral("Con_NomePropr")))
        << "the taxpayer's other data stay";
    EXPECT_EQ(QStringLiteral("286000008"), CancelaContrib);
    EXPECT_EQ(2, linhas());
}

TEST_F(CadRemDest, AnExistingRegistrationAnsweredNoShowsTheRowWhileBrowsing)
{
    TCad_RemDest* f = abre();
    user::alt(QLatin1Char('I'));
    user::type(QStringLiteral("281234566"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1419 - M1419"), vorta::ui::mrNo);
        user::tab();
    }
    vorta::db::DataSet& ds = *DM_Comuns->Tb_RemDest;
    EXPECT_EQ(DataSetState::Browse, ds.state());
    EXPECT_EQ(QStringLiteral("BAZAR DO POVO"), ds.fieldByName(QStringLiteral("Con_Nome"))->asString());
    EXPECT_TRUE(f->btIncluir->isEnabled());
    EXPECT_FALSE(f->btGravar->isEnabled());
    EXPECT_TRUE(f->DBEdit_Nome->FieldControl::readOnly());
    // A save started from the registration edit stops at the question too.
    user::alt(QLatin1Char('I'));
    user::type(QStringLiteral("281234566"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1419 - M1419"), vorta::ui::mrNo);
        user::alt(QLatin1Char('G'));
    }
    EXPECT_EQ(DataSetState::Browse, ds.state());
    EXPECT_EQ(2, linhas());
}

TEST_F(CadRemDest, YesOnARowOutsideTheListEditsNothingAndSaysTheRegistrationExists)
{
    // The base module lists only rows without property and agency.
    DM_Comuns->Tb_RemDest->setFilter(QStringLiteral("Con_NomePropr = '' and Age_Codigo = ''"));
    DM_Comuns->Tb_RemDest->setFiltered(true);
    TCad_RemDest* f = abre();
    vorta::db::DataSet& ds = *DM_Comuns->Tb_RemDest;
    ASSERT_EQ(QStringLiteral("281234566"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    user::alt(QLatin1Char('I'));
    user::type(QStringLiteral("286000008"));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("1419 - M1419"), vorta::ui::mrYes);
        dialogs.expectMessage(MessageKind::Error, QStringLiteral("22 - M22"), 1);
        user::tab();
    }
    EXPECT_EQ(DataSetState::Browse, ds.state()) << "no other row is opened in its place";
    EXPECT_EQ(QStringLiteral("281234566"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    EXPECT_TRUE(f->btIncluir->isEnabled());
    EXPECT_FALSE(f->btGravar->isEnabled());
    user::type(QStringLiteral("XYZ"));
    EXPECT_EQ(QStringLiteral("BAZAR DO POVO"), linha(QStringLiteral("281234566")).value(QStringLiteral("Con_Nome")));
}

TEST_F(CadRemDest, IncludeModeOpensOnANewStateRegistrationHoldingThePresetOne)
{
    DM_Comuns->InscricaoPadrao = QStringLiteral("282222219");
    TCad_RemDest* f = abre(true);
    vorta::db::DataSet& ds = *DM_Comuns->Tb_RemDest;
    ASSERT_EQ(DataSetState::Insert, ds.state());
    EXPECT_EQ(QStringLiteral("IE"), ds.fieldByName(QStringLiteral("Con_Tipo"))->asString());
    EXPECT_EQ(QStringLiteral("282222219"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    EXPECT_EQ(f->DBEdit_Con_IECNPJCPF, user::focused());
    user::tab();
    user::type(QStringLiteral("NOVO REMETENTE"));
    user::tab();
    user::type(QStringLiteral("P"));
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(QStringLiteral("NOVO REMETENTE"), linha(QStringLiteral("282222219")).value(QStringLiteral("Con_Nome")));
    EXPECT_EQ(QStringLiteral("282222219"), CancelaContrib);
    EXPECT_TRUE(DM_Comuns->InscricaoPadrao.isEmpty());
}

TEST_F(CadRemDest, TheMunicipalityLookupFillsTheRowOnlyWhileEditing)
{
    TCad_RemDest* f = abre();
    vorta::db::DataSet& ds = *DM_Comuns->Tb_RemDest;
    // Browsing: a key in the list changes nothing and raises nothing.
    user::click(f->btConsultaSimples);
    f->DBLookupComboBox_Municipio->setFocus();
    user::type(QStringLiteral("U"));
    EXPECT_EQ(DataSetState::Browse, ds.state());
    EXPECT_EQ(QStringLiteral("1001"), linha(QStringLiteral("281234566")).value(QStringLiteral("Mun_Endereco")));

    // Editing: the municipality chosen in the register's lookup comes with its UF.
    user::alt(QLatin1Char('A'));
    ASSERT_EQ(DataSetState::Edit, ds.state());
    ASSERT_TRUE(f->btMuncipio->isEnabled());
    int mostrado = 0;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        auto* lookup = dynamic_cast<TCad_Municipio*>(&form);
        EXPECT_NE(nullptr, lookup);
        EXPECT_TRUE(lookup && lookup->ModoSelecao);
        ++mostrado;
        DM_Comuns->Tb_Municipio->locate(QStringLiteral("Mun_Codigo"), 999010);
        return int(vorta::ui::mrOk);
    });
    user::alt(QLatin1Char('M'));
    vorta::ui::setModalHook(nullptr);
    // The lookup has closed: the register is the active window again.
    user::activate(f);
    EXPECT_EQ(1, mostrado);
    EXPECT_EQ(999010, ds.fieldByName(QStringLiteral("Mun_Endereco"))->asInteger());
    EXPECT_EQ(QStringLiteral("MG"), ds.fieldByName(QStringLiteral("Con_UF"))->asString());
    user::alt(QLatin1Char('C'));
    EXPECT_EQ(QStringLiteral("1001"), linha(QStringLiteral("281234566")).value(QStringLiteral("Mun_Endereco")));
}

TEST_F(CadRemDest, EachFieldShowsItsHintByKind)
{
    struct Caso {
        int item;
        const char* registro; // hint of the registration edit ("" none)
        const char* nome;     // hint of the name edit
    };
    const Caso casos[] = {
        {0, "34 - M34", "34 - M34"},
        {1, "35 - M35", "35 - M35"},
        {2, "15 - M15", "15 - M15"},
        {3, "", "37 - M37"},
    };
    TCad_RemDest* f = abre();
    user::alt(QLatin1Char('I'));
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.item);
        tipo(f, c.item);
        EXPECT_EQ(QStringLiteral("36 - M36"), f->msgStatus->panel(0).text);
        f->DBEdit_Nome->setFocus();
        user::backtab();
        ASSERT_EQ(f->DBEdit_Con_IECNPJCPF, user::focused());
        EXPECT_EQ(c.registro[0] ? QString::fromLatin1(c.registro) : QStringLiteral("37 - M37"),
                  f->msgStatus->panel(0).text)
            << "an other registration leaves the hint before it";
        user::tab();
        EXPECT_EQ(QString::fromLatin1(c.nome), f->msgStatus->panel(0).text);
        user::tab();
        EXPECT_EQ(QStringLiteral("51 - M51"), f->msgStatus->panel(0).text);
    }
    // Each kind's mask on the registration edit.
    EXPECT_EQ(MascaraDesteConTipo(QStringLiteral("OI")),
              DM_Comuns->Tb_RemDest->fieldByName(QStringLiteral("Con_IECNPJCPF"))->editMask());
    user::alt(QLatin1Char('C'));
}

TEST_F(CadRemDest, TheSearchFindsByNameOrRegistrationAsTyped)
{
    TCad_RemDest* f = abre();
    vorta::db::DataSet& ds = *DM_Comuns->Tb_RemDest;
    EXPECT_EQ(f->Edit_Busca, user::focused());
    EXPECT_EQ(1, f->RadioGroup_Contribuinte->itemIndex());
    user::type(QStringLiteral("ze"));
    EXPECT_EQ(QStringLiteral("286000008"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    clicaItem(f->RadioGroup_Contribuinte, 0);
    f->Edit_Busca->setFocus();
    f->Edit_Busca->selectAll();
    user::type(QStringLiteral("2812"));
    EXPECT_EQ(QStringLiteral("281234566"), ds.fieldByName(QStringLiteral("Con_IECNPJCPF"))->asString());
    // Leaving with Retornar hands over nothing new.
    user::alt(QLatin1Char('R'));
    EXPECT_EQ(QStringLiteral("antes"), CancelaContrib);
}

TEST_F(CadRemDest, PicturesOfTheGridAndDetailPages)
{
    TCad_RemDest* f = abre();
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    const QString suffix = QGuiApplication::platformName() == QLatin1String("offscreen")
                               ? QString()
                               : QLatin1Char('_') + QGuiApplication::platformName();
    const QImage grid = f->grab().toImage();
    EXPECT_TRUE(grid.save(folder + QStringLiteral("/T_Cad_RemDest_grid%1.png").arg(suffix)));
    user::alt(QLatin1Char('I'));
    user::type(QStringLiteral("282222219"));
    user::tab();
    user::type(QStringLiteral("CASA AVILA"));
    user::tab();
    user::type(QStringLiteral("P"));
    const QImage detail = f->grab().toImage();
    EXPECT_TRUE(detail.save(folder + QStringLiteral("/T_Cad_RemDest_detail%1.png").arg(suffix)));
    EXPECT_NE(grid, detail);
    // Every control of the detail page lies inside it and none covers another.
    QList<QWidget*> controles;
    for (QWidget* w : f->pagina1->findChildren<QWidget*>(QString(), Qt::FindDirectChildrenOnly))
        if (w->isVisible())
            controles << w;
    for (QWidget* w : controles) {
        EXPECT_TRUE(f->pagina1->rect().contains(w->geometry())) << w->objectName().toStdString();
        for (QWidget* o : controles)
            if (o != w) {
                EXPECT_FALSE(w->geometry().intersects(o->geometry()))
                    << w->objectName().toStdString() << " / " << o->objectName().toStdString();
            }
    }
    user::alt(QLatin1Char('C'));
}

TEST(CadRemDestPictures, UnderAVirtualXServer)
{
    if (vorta::testing::onRealWindowSystem())
        GTEST_SKIP() << "already the run under the X server";
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    const QStringList pictures{folder + QStringLiteral("/T_Cad_RemDest_grid_xcb.png"),
                               folder + QStringLiteral("/T_Cad_RemDest_detail_xcb.png")};
    const vorta::testing::VirtualXRun run =
        vorta::testing::rerunUnderVirtualXServer(QStringLiteral("CadRemDest.PicturesOfTheGridAndDetailPages"), pictures);
    if (!run.available)
        GTEST_SKIP() << "xvfb-run is not installed";
    ASSERT_TRUE(run.finished) << "the run under the X server did not end";
    ASSERT_EQ(0, run.exitCode) << run.output.toStdString();
    for (const QString& p : pictures)
        EXPECT_FALSE(QImage(p).isNull()) << p.toStdString();
}

} // namespace
