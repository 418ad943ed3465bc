// The proxy form typed as a user types it, the stored row read back, and the way each
// network client applies that row.
#include "T_DM_Comuns.h"
#include "uConfigProxy.h"
#include "uProxy.h"

#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "platform/ui/Application.h"
#include "installation/InstallMessages.h"
#include "testing/LoopbackHttpServer.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QDir>
#include <QRadioButton>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace user = vorta::testing::user;
using vorta::db::DataSetState;
using vorta::testing::LoopbackHttpServer;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

class ConfigProxy : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::installation::installMessages(m_inst.folder(QStringLiteral("dados")));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
    }
    void TearDown() override
    {
        vorta::Component::free(frmConfigProxy);
        vorta::Component::free(DM_Comuns);
    }

    TfrmConfigProxy* abre()
    {
        vorta::Component::free(frmConfigProxy);
        auto* f = vorta::createInto<TfrmConfigProxy>(frmConfigProxy, vorta::Application::instance());
        f->show();
        user::activate(f);
        return f;
    }

    void sql(const QString& script) { vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), script); }

    // Every row of table Proxy, columns joined with "|".
    QStringList linhas()
    {
        vorta::db::Query q;
        q.setDatabase(DM_Comuns->DB_Comuns);
        q.setSql(QStringLiteral("select * from Proxy"));
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next()) {
            QStringList cols;
            for (const char* c : {"Servidor", "Porta", "Usuario", "Senha", "Autenticacao"})
                cols << q.fieldByName(QString::fromLatin1(c))->asString();
            out << cols.join(QLatin1Char('|'));
        }
        return out;
    }

    // include, alter, save, cancel, delete, return, exit
    static QString botoes(TfrmConfigProxy* f)
    {
        QString s;
        for (auto* b : {f->btIncluir, f->btAlterar, f->btGravar, f->btCancelar, f->btExcluir, f->btRetornar,
                        f->BtSairGeral})
            s += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
    static bool camposHabilitados(TfrmConfigProxy* f)
    {
        return f->dbServidor->isEnabled() && f->dbPorta->isEnabled() && f->dbUsuario->isEnabled()
            && f->dbSenha->isEnabled() && f->rgAutenticacao->isEnabled();
    }
    static QString foco()
    {
        QWidget* w = user::focused();
        while (w && w->objectName().isEmpty())
            w = w->parentWidget();
        return w ? w->objectName() : QString();
    }

    // A click on the item's circle, where a person clicks.
    static void escolhe(TfrmConfigProxy* f, int item)
    {
        QRadioButton* b = f->rgAutenticacao->button(item);
        EXPECT_TRUE(user::clickAccepted(b, QPoint(8, b->height() / 2)));
    }

    // Types each text into the field that has the focus, then Tab.
    void digita(const QStringList& textos)
    {
        for (const QString& t : textos) {
            user::type(t);
            user::tab();
        }
    }

    vorta::testing::TempInstallation m_inst;
};

} // namespace

// Included by keys: four fields typed, NTLM chosen, Alt+G stores the row with the
// inverted option name; include stays disabled with the row present, also reopened.
TEST_F(ConfigProxy, IncludedRowIsStoredAndIncludeStaysDisabled)
{
    TfrmConfigProxy* f = abre();
    EXPECT_EQ(f->caption(), QStringLiteral("Configuração do Proxy"));
    EXPECT_EQ(botoes(f), QStringLiteral("1000011"));
    EXPECT_FALSE(camposHabilitados(f));

    user::alt(QLatin1Char('I'));
    EXPECT_EQ(botoes(f), QStringLiteral("0011000"));
    EXPECT_TRUE(camposHabilitados(f));
    EXPECT_EQ(foco(), QStringLiteral("dbServidor"));
    digita({QStringLiteral("proxy.empresa.local"), QStringLiteral("3128"), QStringLiteral("ana"),
            QStringLiteral("s3gredo")});
    EXPECT_EQ(f->dbSenha->echoMode(), QLineEdit::Password);
    EXPECT_EQ(f->dbSenha->text(), QStringLiteral("s3gredo"));
    escolhe(f, 1);
    const QString shot = QDir::tempPath() + QStringLiteral("/vorta_config_proxy.png");
    f->grab().save(shot);
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(f->tabProxy->state(), DataSetState::Browse);
    EXPECT_EQ(linhas(), QStringList({QStringLiteral("proxy.empresa.local|3128|ana|s3gredo|httpoNoBasicAuth")}));
    EXPECT_EQ(botoes(f), QStringLiteral("0100111"));
    EXPECT_FALSE(camposHabilitados(f));

    user::alt(QLatin1Char('I'));
    EXPECT_EQ(f->tabProxy->state(), DataSetState::Browse);
    EXPECT_FALSE(camposHabilitados(f));
    f = abre();
    EXPECT_EQ(botoes(f), QStringLiteral("0100111"));
    EXPECT_EQ(f->rgAutenticacao->itemIndex(), 1);
    EXPECT_EQ(linhas().size(), 1);
}

// Saving checks the fields in order; the first one blank (or a port no proxy can have)
// shows 1724 with its caption, keeps the focus on it and keeps the row being edited.
TEST_F(ConfigProxy, EachFieldIsRefusedWithItsCaption)
{
    struct Caso {
        QStringList textos; // server, port, user, password
        bool escolheAutenticacao;
        const char* legenda;
        const char* campo;
    };
    const Caso casos[] = {
        {{"   ", "8080", "ana", "x"}, true, "Servidor Proxy (URL ou IP):", "dbServidor"},
        {{"proxy", "", "ana", "x"}, true, "Porta do Servidor Proxy:", "dbPorta"},
        {{"proxy", "70000", "ana", "x"}, true, "Porta do Servidor Proxy:", "dbPorta"},
        {{"proxy", "0", "ana", "x"}, true, "Porta do Servidor Proxy:", "dbPorta"},
        {{"proxy", "8080", "   ", "x"}, true, "Nome de Usuário:", "dbUsuario"},
        {{"proxy", "8080", "ana", "  "}, true, "Senha:", "dbSenha"},
        {{"proxy", "8080", "ana", "x"}, false, "Autenticação", nullptr},
        {{"", "", "", ""}, false, "Servidor Proxy (URL ou IP):", "dbServidor"},
    };
    TfrmConfigProxy* f = abre();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.legenda + (" " + c.textos.join(QLatin1Char(',')).toStdString()));
        user::alt(QLatin1Char('I'));
        digita(c.textos);
        if (c.escolheAutenticacao)
            escolhe(f, 0);
        {
            ScriptedDialogs dialogs;
            dialogs.expectMessage(MessageKind::Error,
                                  QStringLiteral("1724 - O campo \"%1\" deve ser preenchido.").arg(QString::fromUtf8(c.legenda)),
                                  {1}, 1);
            user::alt(QLatin1Char('G'));
        }
        if (c.campo)
            EXPECT_EQ(foco(), QString::fromLatin1(c.campo));
        else
            EXPECT_EQ(user::focused(), f->rgAutenticacao->button(0));
        EXPECT_EQ(botoes(f), QStringLiteral("0011000"));
        user::alt(QLatin1Char('C'));
        EXPECT_EQ(botoes(f), QStringLiteral("1000011"));
        EXPECT_TRUE(linhas().isEmpty());
    }
}

// Alter and cancel keep the stored row; Excluir deletes it at once, without a question.
TEST_F(ConfigProxy, AlterCancelAndDelete)
{
    sql(QStringLiteral("INSERT INTO Proxy VALUES ('proxy', 8080, 'ana', 'x', 'httpoNoNTLMAuth');"));
    TfrmConfigProxy* f = abre();
    EXPECT_EQ(botoes(f), QStringLiteral("0100111"));
    EXPECT_EQ(f->rgAutenticacao->itemIndex(), 0);
    user::alt(QLatin1Char('A'));
    EXPECT_EQ(f->tabProxy->state(), DataSetState::Edit);
    EXPECT_EQ(foco(), QStringLiteral("dbServidor"));
    user::key(Qt::Key_End);
    user::type(QStringLiteral(".novo"));
    user::alt(QLatin1Char('C'));
    EXPECT_EQ(linhas(), QStringList({QStringLiteral("proxy|8080|ana|x|httpoNoNTLMAuth")}));
    EXPECT_EQ(f->dbServidor->text(), QStringLiteral("proxy"));

    user::alt(QLatin1Char('A'));
    user::key(Qt::Key_End);
    user::type(QStringLiteral(".novo"));
    user::tab();
    user::key(Qt::Key_End);
    user::key(Qt::Key_Backspace);
    user::type(QStringLiteral("1"));
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(linhas(), QStringList({QStringLiteral("proxy.novo|8081|ana|x|httpoNoNTLMAuth")}));

    user::click(f->btExcluir);
    EXPECT_TRUE(linhas().isEmpty());
    EXPECT_EQ(botoes(f), QStringLiteral("1000011"));
}

// The hint labels click their buttons only while those are enabled; "&Retornar" closes.
TEST_F(ConfigProxy, HintLabelsAndReturn)
{
    TfrmConfigProxy* f = abre();
    auto legenda = [f](const QString& texto) {
        for (auto* l : f->findChildren<vorta::ui::Label*>())
            if (l->caption() == texto)
                return l;
        return static_cast<vorta::ui::Label*>(nullptr);
    };
    ASSERT_TRUE(legenda(QStringLiteral("[ ALT + G ]")));
    user::click(legenda(QStringLiteral("[ ALT + G ]")));
    EXPECT_EQ(botoes(f), QStringLiteral("1000011"));
    user::click(legenda(QStringLiteral("Incluir -")));
    EXPECT_EQ(botoes(f), QStringLiteral("0011000"));
    user::click(legenda(QStringLiteral("[ ALT + C ]")));
    EXPECT_EQ(botoes(f), QStringLiteral("1000011"));
    user::click(legenda(QStringLiteral("[ ALT + R ]")));
    // Hidden, or already freed by the events the click let run.
    EXPECT_FALSE(frmConfigProxy && frmConfigProxy->isVisible());
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_FALSE(frmConfigProxy); // closed and freed
}

// "&Sair" asks 86, or 440 while a data module's dataset is being edited; No stays.
TEST_F(ConfigProxy, ExitAsksFirst)
{
    TfrmConfigProxy* f = abre();
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("*86 - "), {6, 7}, 7);
        user::alt(QLatin1Char('S'));
    }
    DM_Comuns->Tb_Municipio->open();
    DM_Comuns->Tb_Municipio->insert();
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("*440 - "), {6, 7}, 7);
        user::alt(QLatin1Char('S'));
    }
    DM_Comuns->Tb_Municipio->cancel();
    EXPECT_TRUE(f->isVisible());
    EXPECT_FALSE(vorta::Application::instance()->terminated());
}

// Each client applies the stored row in its own way; blanks around the server name
// never reach a client (the update list's too), the update list keeps the credentials
// as stored, and the option name chooses the upload's authentication.
TEST_F(ConfigProxy, EachClientAppliesTheRowItsWay)
{
    using vorta::net::ProxyAuth;
    const TProxyRow row{QStringLiteral(" proxy.local  "), 3128, QStringLiteral(" ana "), QStringLiteral(" s3 "),
                        QStringLiteral(" httpoNoBasicAuth ")};
    struct Caso {
        TUsoProxy uso;
        const char* host;
        const char* porta;
        const char* usuario;
        const char* senha;
        ProxyAuth auth;
    } casos[] = {
        {TUsoProxy::Entrega, "proxy.local", "3128", "ana", "s3", ProxyAuth::Ntlm},
        {TUsoProxy::Downloads, "proxy.local", "3128", "ana", "s3", ProxyAuth::Ntlm},
        {TUsoProxy::Resultado, "proxy.local:3128", "", "ana", "s3", ProxyAuth::Any},
        {TUsoProxy::ListaAtualizacoes, "proxy.local:3128", "", " ana ", " s3 ", ProxyAuth::Any},
    };
    for (const Caso& c : casos) {
        const vorta::net::Proxy p = ProxyPara(c.uso, row);
        EXPECT_EQ(p.host, QString::fromLatin1(c.host)) << int(c.uso);
        EXPECT_EQ(p.port, QString::fromLatin1(c.porta)) << int(c.uso);
        EXPECT_EQ(p.user, QString::fromLatin1(c.usuario)) << int(c.uso);
        EXPECT_EQ(p.password, QString::fromLatin1(c.senha)) << int(c.uso);
        EXPECT_EQ(p.auth, c.auth) << int(c.uso);
    }
    for (const char* outro : {"httpoNoNTLMAuth", "", "qualquer"}) {
        TProxyRow r = row;
        r.Autenticacao = QString::fromLatin1(outro);
        EXPECT_EQ(ProxyPara(TUsoProxy::Entrega, r).auth, ProxyAuth::Basic) << outro;
        EXPECT_EQ(ProxyPara(TUsoProxy::Downloads, r).auth, ProxyAuth::Basic) << outro;
    }
}

// The stored row reaches a loopback proxy: Basic credentials for a Basic row, the NTLM
// exchange for an NTLM row; with no row the client goes direct.
TEST_F(ConfigProxy, StoredRowReachesTheProxy)
{
    LoopbackHttpServer proxy([](const LoopbackHttpServer::Request&) {
        return LoopbackHttpServer::response(200, "OK", {}, "ok");
    });
    vorta::net::HttpClient semLinha;
    EXPECT_FALSE(ConfiguraProxy(semLinha, TUsoProxy::Entrega));
    EXPECT_FALSE(semLinha.proxy.used());

    struct Caso {
        const char* autenticacao;
        QByteArray inicio;
    } casos[] = {
        {"httpoNoNTLMAuth", "Basic " + QByteArray("ana:s3").toBase64()},
        {"httpoNoBasicAuth", "NTLM TlRMTVNTUAAB"},
    };
    for (const Caso& c : casos) {
        sql(QStringLiteral("DELETE FROM Proxy; INSERT INTO Proxy VALUES ('127.0.0.1 ', %1, 'ana', 's3 ', '%2');")
                .arg(proxy.port())
                .arg(QString::fromLatin1(c.autenticacao)));
        vorta::net::HttpClient http;
        ASSERT_TRUE(ConfiguraProxy(http, TUsoProxy::Entrega));
        vorta::net::HttpRequest r;
        r.url = QStringLiteral("http://servidor.exemplo/envio");
        EXPECT_EQ(http.send(r).status, 200);
        const auto seen = proxy.requests();
        ASSERT_FALSE(seen.isEmpty());
        EXPECT_TRUE(seen.last().header("Proxy-Authorization").startsWith(c.inicio))
            << seen.last().header("Proxy-Authorization").constData();
        EXPECT_EQ(seen.last().target, "http://servidor.exemplo/envio");
    }
}
