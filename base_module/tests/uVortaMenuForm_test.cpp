// The base module's main form in this process: every menu command against the recording
// modal hook, the listings prepared from a sample installation and written to PDF.
#include "T_DM_Comuns.h"
#include "T_Sel_Rel_Produtos.h"
#include "UDMEntrega.h"
#include "USel_Entrega.h"
#include "uAbout.h"
#include "uVortaMenuForm.h"
#include "uDmVortaModule.h"

#include "installation/InstallMessages.h"
#include "platform/db/Database.h"
#include "platform/ipc/WindowMessages.h"
#include "platform/os/ExeVersion.h"
#include "platform/report/Report.h"
#include "platform/report/ReportPreview.h"
#include "platform/ui/Application.h"
#include "platform/ui/WindowSystem.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QMenuBar>
#include <QScrollBar>

#include <gtest/gtest.h>

namespace user = vorta::testing::user;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

// The host shell's side: answers the handshake.
class FakeShell : public vorta::ipc::MessageTarget {
public:
    FakeShell() { handle = vorta::ipc::Messenger::instance().allocateHandle(this); }
    ~FakeShell() override { vorta::ipc::Messenger::instance().releaseHandle(handle); }
    void windowProc(vorta::ipc::Message& m) override { m.result = 5; }
    vorta::ipc::WindowHandle handle = 0;
};

struct Janela {
    QString nome;
    QString titulo;
    QStringList pagina;
    int paginas = 0;
};

class MenuBase : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::installation::installMessages(m_inst.folder(QStringLiteral("dados")));
        vorta::ui::setWindowSystem(&m_windows);
        app()->clearTermination();
        app()->setCommandLine({QStringLiteral("Vorta_Mod"), QString::number(m_shell.handle), QStringLiteral("0")});
        InicializarVariaveisGlobais();
        vorta::createInto<TfVortaMenuForm>(fVortaMenuForm, app());
        ASSERT_TRUE(fVortaMenuForm);
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(fVortaMenuForm);
        app()->setCommandLine({});
        app()->clearTermination();
        vorta::ui::setWindowSystem(nullptr);
    }
    static vorta::Application* app() { return vorta::Application::instance(); }
    void sql(const QString& s) { vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), s); }

    // Clicks the command and records each window it showed modally; a report preview
    // gives the report's title and first page, written to PDF when named.
    QList<Janela> comando(const QString& item, const QString& pdf = QString())
    {
        QList<Janela> vistas;
        vorta::ui::setModalHook([&](vorta::ui::Form& form) {
            Janela j{form.objectName(), form.caption(), {}, 0};
            if (dynamic_cast<vorta::report::ReportPreview*>(&form)) {
                for (vorta::Component* c : app()->components())
                    if (auto* r = dynamic_cast<vorta::report::Report*>(c); r && r->pageCount() > 0) {
                        j.titulo = r->title;
                        j.paginas = r->pageCount();
                        for (const auto& t : r->qrPrinter().texts(0))
                            j.pagina << t.text;
                        if (!pdf.isEmpty()) {
                            const QString pasta = QCoreApplication::applicationDirPath() + QStringLiteral("/report-samples");
                            QDir().mkpath(pasta);
                            r->exportToPdf(pasta + QLatin1Char('/') + pdf + QStringLiteral(".pdf"));
                        }
                    }
            }
            vistas << j;
            return int(vorta::ui::mrCancel);
        });
        vorta::ui::MenuItem* i = fVortaMenuForm->item(item);
        EXPECT_TRUE(i) << item.toStdString();
        if (i)
            i->click();
        vorta::ui::setModalHook(nullptr);
        return vistas;
    }

    vorta::testing::TempInstallation m_inst;
    vorta::ui::RecordingWindowSystem m_windows;
    FakeShell m_shell;
};

using MenuVorta = MenuBase;

} // namespace

// The main form has its menu bar with every command, the routine ones usable, and F10
// reaches the menu bar from the keyboard.
TEST_F(MenuVorta, StartsWithItsWholeMenu)
{
    TfVortaMenuForm* f = fVortaMenuForm;
    EXPECT_EQ(f->HelpFile, DirModulos + QStringLiteral("Vorta.HLP"));
    EXPECT_TRUE(f->mensagemPermitida());
    QStringList barra;
    for (int i = 0; i < f->MainMenu1->items()->count(); ++i)
        barra << f->MainMenu1->items()->item(i)->caption;
    EXPECT_EQ(barra, QStringList({"&Cadastro", "&Rotina", "&Sistema", "S&air"}));
    for (const char* ligado : {"LiveUpdate", "Entrega", "BackupVorta", "RepararBancodeDados1"}) {
        ASSERT_TRUE(f->item(QString::fromLatin1(ligado))) << ligado;
        EXPECT_TRUE(f->item(QString::fromLatin1(ligado))->enabled) << ligado;
    }
    for (const char* oculto : {"CNPJ1", "CPF1"})
        EXPECT_FALSE(f->item(QString::fromLatin1(oculto))->visible) << oculto;
    ASSERT_TRUE(f->findChild<QMenuBar*>());
}

// Each register command opens its form modally over its own common data module, which
// is gone when the command returns.
TEST_F(MenuVorta, RegisterCommandsOpenTheirForms)
{
    struct Caso {
        const char* item;
        const char* forma;
        const char* titulo;
    } casos[] = {
        {"Contabilista", "Cad_Contabilista", nullptr},
        {"DestRem", "Cad_RemDest", "Cadastro de Dest./Remet."},
        {"Contribuinte", "Cad_Contribuinte", "Cadastro de Contribuinte"},
        {"Municipio", "Cad_Municipio", nullptr},
        {"ResponsvelLegal1", "Cad_RespnsavelLegal", nullptr},
        {"ConfiguraodoProxy1", "frmConfigProxy", "Configuração do Proxy"},
        {"LiveUpdate", "uAtualizacao", "Atualização \"ao vivo\""},
        {"BackupVorta", "Backup", "Cópia de Segurança"},
        {"RepararBancodeDados1", "RepararBaseVorta", "Reparar banco de dados do Vorta"},
        {"Produto1", "Sel_Rel_Produtos", "Seleção para Emissão de Relatório de Produtos"},
        {"Sobre", "AboutBox", nullptr},
        {"Entrega", "Sel_Entrega", "Entrega de Formulários Eletrônicos"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.item);
        const QList<Janela> vistas = comando(QString::fromLatin1(c.item));
        ASSERT_EQ(vistas.size(), 1);
        EXPECT_EQ(vistas[0].nome, QString::fromLatin1(c.forma));
        if (c.titulo) {
            EXPECT_EQ(vistas[0].titulo, QString::fromUtf8(c.titulo));
        }
        QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        EXPECT_FALSE(DM_Comuns);
        EXPECT_FALSE(DMEntrega);
        EXPECT_FALSE(Sel_Entrega);
    }
}

// The listings, prepared from sample rows and written to PDF for a person to look at.
TEST_F(MenuVorta, ListingsShowTheirRows)
{
    sql(QStringLiteral(
        "DELETE FROM CFOP;"
        "INSERT INTO CFOP (Cfop_Codigo, Cfop_Descricao) VALUES (111, 'COMPRA ANTIGA'), (512, 'VENDA ANTIGA'),"
        " (3999, 'ENTRADA LIMITE'), (4000, 'FORA'), (4001, 'PRIMEIRA SAIDA'), (5102, 'VENDA DE MERCADORIA'),"
        " (7999, 'ULTIMA SAIDA'), (8000, 'FORA TAMBEM');"
        "DELETE FROM NaturezaOperacao;"
        "INSERT INTO NaturezaOperacao VALUES (1, 'COMPRA', 'A'), (51, 'VENDA', 'A'), (52, 'INATIVA', 'I');"));
    struct Caso {
        const char* item;
        const char* titulo;
        QStringList contem;
        QStringList naoContem;
    } casos[] = {
        {"Sada2", "Listagem de CFOP a partir de 2003 - Saída",
         {"4001", "5102", "7999", "VENDA DE MERCADORIA"}, {"4000", "8000", "3999", "512"}},
        {"Entrada4", "Listagem de CFOP a partir de 2003 - Entrada", {"3999"}, {"4001", "111"}},
        {"Entrada3", "Listagem de CFOP até 2002 - Entrada", {"111"}, {"512", "3999"}},
        {"Saida2", "Listagem de CFOP até 2002 - Saída", {"512"}, {"111", "3999"}},
        {"Todas1", "Listagem de Natureza de Operação  - Entrada e Saída - Ordem de Código", {"COMPRA", "VENDA"}, {"INATIVA"}},
        {"Entrada1", "Listagem de Natureza de Operação - Entrada - Ordem de Código", {"COMPRA"}, {"VENDA"}},
        {"Saida1", "Listagem Natureza de Operação - Saída - Ordem de Código", {"VENDA"}, {"COMPRA", "INATIVA"}},
        {"Agenfas1", nullptr, {"Código", "Nome"}, {}},
        {"Municpios1", nullptr, {}, {}},
        {"TipoBairro1", nullptr, {}, {}},
        {"TipoLogradouro1", nullptr, {}, {}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.item);
        const QList<Janela> vistas = comando(QString::fromLatin1(c.item), QStringLiteral("Vorta_Mod_") + c.item);
        ASSERT_EQ(vistas.size(), 1);
        EXPECT_GE(vistas[0].paginas, 1);
        if (c.titulo) {
            EXPECT_EQ(vistas[0].titulo, QString::fromUtf8(c.titulo));
            EXPECT_TRUE(vistas[0].pagina.contains(QString::fromUtf8(c.titulo)));
        }
        for (const QString& t : c.contem)
            EXPECT_TRUE(vistas[0].pagina.contains(t)) << t.toStdString() << " in " << vistas[0].pagina.join('|').toStdString();
        for (const QString& t : c.naoContem)
            EXPECT_FALSE(vistas[0].pagina.contains(t)) << t.toStdString();
    }
}

// An empty register gives message 85 and no report.
TEST_F(MenuVorta, EmptyRegistersSayThereIsNothingToList)
{
    sql(QStringLiteral("DELETE FROM NaturezaOperacao; DELETE FROM Responsavel; DELETE FROM Contribuinte;"));
    for (const char* item : {"Entrada1", "Saida1", "Todas1", "Contador2", "Produtor1", "ComercioIndustria1", "CNPJ1", "CPF1"}) {
        SCOPED_TRACE(item);
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, QStringLiteral("*85 - "), 1);
        EXPECT_TRUE(comando(QString::fromLatin1(item)).isEmpty());
    }
}

// The printer set-up goes to the dialog service; help says why it cannot be shown.
TEST_F(MenuVorta, PrinterSetupAndHelp)
{
    {
        ScriptedDialogs dialogs;
        dialogs.expectPrinterSetup(true);
        comando(QStringLiteral("Configurarimpressora1"));
    }
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::SystemBox, QStringLiteral("*Vorta.HLP"), 1);
        comando(QStringLiteral("Ajuda1"));
    }
}

// "Ocultar" keeps the message panel hidden for the rest of the run.
TEST_F(MenuVorta, HiddenMessagePanelStaysHidden)
{
    TfVortaMenuForm* f = fVortaMenuForm;
    f->MostrarPaineldeMensagem(QStringLiteral("Há declarações a entregar"));
    EXPECT_FALSE(f->pnlMensagem->isHidden());
    f->MostrarPaineldeMensagem(QStringLiteral("   "));
    EXPECT_TRUE(f->pnlMensagem->isHidden());
    f->MostrarPaineldeMensagem(QStringLiteral("outra"));
    f->show();
    user::click(f->Label1);
    EXPECT_TRUE(f->pnlMensagem->isHidden());
    f->MostrarPaineldeMensagem(QStringLiteral("mais uma"));
    EXPECT_TRUE(f->pnlMensagem->isHidden());
}

// The about box of an installation with three module programs lists them with their
// versions and leaves the base module's row empty; the credits scroll one pixel per
// tick and turn back after the box's height.
TEST_F(MenuVorta, AboutBoxListsTheModulesAndScrollsTheCredits)
{
    const QString modulos = m_inst.folder(QStringLiteral("modulos"));
    auto programa = [&](const QString& nome, const QByteArray& versao) {
        QFile f(modulos + nome);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("\x7f" "ELF programa " + vorta::os::versionMarker() + versao + QByteArray(1, '\0'));
        f.close();
        f.setPermissions(f.permissions() | QFile::ExeOwner);
    };
    programa(QStringLiteral("ZIR"), "2.1.0.3");
    programa(QStringLiteral("KOB.exe"), "1.0.0.9");
    programa(QStringLiteral("Vorta_Mod"), "1.0.0.1");
    programa(QStringLiteral("TUV"), "3.0.2.0");
    QFile sem(modulos + QStringLiteral("leiame.txt"));
    ASSERT_TRUE(sem.open(QIODevice::WriteOnly));
    sem.close();

    vorta::Guarded<TAboutBox>& ref = AboutBox;
    TAboutBox* a = vorta::createInto<TAboutBox>(ref, app());
    a->show();
    QStringList linhas;
    for (int r = 0; r < a->SG1->rowCount(); ++r)
        linhas << a->SG1->cells(0, r) + QLatin1Char('=') + a->SG1->cells(1, r);
    EXPECT_EQ(linhas, QStringList({"KOB=1.0.0.9", "TUV=3.0.2.0", "=", "ZIR=2.1.0.3"}));
    EXPECT_TRUE(a->Timer1->isActive());
    EXPECT_EQ(a->Timer1->interval(), 30);

    QScrollBar* barra = a->ScrollBox1->verticalScrollBar();
    const int altura = a->ScrollBox1->viewport()->height();
    ASSERT_GT(barra->maximum(), 3);
    for (int i = 0; i < 3; ++i)
        a->Timer1Timer();
    EXPECT_EQ(barra->value(), 3);
    for (int i = 3; i <= altura; ++i)
        a->Timer1Timer();
    EXPECT_FALSE(a->subindo());
    EXPECT_EQ(a->contador(), 0);
    const int topo = barra->value();
    a->Timer1Timer();
    EXPECT_EQ(barra->value(), topo - 1);
    a->grab().save(QDir::tempPath() + QStringLiteral("/vorta_about.png"));
    a->close();
    EXPECT_FALSE(a->Timer1->isActive());
    vorta::Component::free(AboutBox);
}

// F10 opens the menu from the keyboard; Enter runs the highlighted command.
TEST_F(MenuVorta, F10ReachesTheMenu)
{
    TfVortaMenuForm* f = fVortaMenuForm;
    f->show();
    user::activate(f);
    QStringList vistas;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        vistas << form.objectName();
        return int(vorta::ui::mrCancel);
    });
    user::f10();
    EXPECT_NE(QApplication::activePopupWidget(), nullptr);
    user::key(Qt::Key_Return);
    EXPECT_EQ(QApplication::activePopupWidget(), nullptr);
    EXPECT_EQ(vistas, QStringList({QStringLiteral("Cad_Contabilista")}));
}
