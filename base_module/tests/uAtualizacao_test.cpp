// The live-update wizard against a loopback update service: the list, the downloads
// into the updates folder and the runs, driven by clicks and keys as a user drives it.
#include "uAtualizacao.h"

#include "UWSVortaInforma.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "installation/InstallMessages.h"
#include "platform/db/Database.h"
#include "platform/os/Registry.h"
#include "platform/ui/Application.h"
#include "testing/LoopbackHttpServer.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QDir>
#include <QFile>

#include <QPointer>

#include <gtest/gtest.h>

#include <map>

namespace user = vorta::testing::user;
using vorta::testing::LoopbackHttpServer;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

QByteArray soapResposta(const QString& texto)
{
    return "<?xml version=\"1.0\" encoding=\"utf-8\"?>"
           "<soap:Envelope xmlns:soap=\"http://schemas.xmlsoap.org/soap/envelope/\"><soap:Body>"
           "<carregarUpdatesResponse><carregarUpdatesResult>"
         + texto.toHtmlEscaped().toUtf8() + "</carregarUpdatesResult></carregarUpdatesResponse></soap:Body></soap:Envelope>";
}

// An update program: appends its name to "ordem.txt" in the folder it runs in.
QByteArray programa(const char* nome, int saida = 0)
{
    return QByteArray("#!/bin/sh\necho ") + nome + " >> ordem.txt\nexit " + QByteArray::number(saida) + "\n";
}

class Atualizacao : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::installation::installMessages(m_inst.folder(QStringLiteral("dados")));
        vorta::os::Registry reg(vorta::os::RootKey::LocalMachine);
        ASSERT_TRUE(reg.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\Servidor\\"), true));
        reg.writeString(QStringLiteral("LiveUpdate"), m_servidor.url(QStringLiteral("/vorta/")));
        InicializarVariaveisGlobais();
        vorta::Application::instance()->onException = [this](const std::exception& e) {
            const auto* ve = dynamic_cast<const vorta::Exception*>(&e);
            m_falhas << (ve ? ve->message() : QString::fromUtf8(e.what()));
        };
    }
    void TearDown() override
    {
        vorta::Application::instance()->onException = nullptr;
        vorta::Component::free(uAtualizacao);
    }

    QByteArray responde(const LoopbackHttpServer::Request& r)
    {
        const QByteArray fecha = "close";
        const QByteArray alvo = r.target.startsWith("http://") ? r.target.mid(r.target.indexOf('/', 7)) : r.target;
        if (r.method == "POST" && alvo == "/vorta/wsvortainforma.asmx")
            return LoopbackHttpServer::response(200, "OK", {{"Content-Type", "text/xml; charset=utf-8"}, {"Connection", fecha}},
                                                soapResposta(m_lista));
        const auto i = m_arquivos.find(alvo);
        if (i != m_arquivos.end())
            return i->second;
        return LoopbackHttpServer::response(404, "Not Found", {{"Connection", fecha}}, "<html>Not Found</html>");
    }
    void publica(const QByteArray& nome, const QByteArray& corpo)
    {
        m_arquivos["/vorta/updates/" + nome] = LoopbackHttpServer::response(
            200, "OK", {{"Content-Type", "application/octet-stream"}, {"Connection", "close"}}, corpo);
    }

    TuAtualizacao* abre()
    {
        auto* f = vorta::createInto<TuAtualizacao>(uAtualizacao, vorta::Application::instance());
        f->show();
        user::activate(f);
        return f;
    }
    // Ticks the items by the keyboard: Home, then Down and Space as needed.
    static void marca(TuAtualizacao* f, const QList<int>& itens)
    {
        f->CGUpdates->setFocus();
        user::key(Qt::Key_Home);
        int atual = 0;
        for (int i : itens) {
            for (; atual < i; ++atual)
                user::key(Qt::Key_Down);
            user::key(Qt::Key_Space);
        }
    }
    QString ordem() const
    {
        QFile f(DirUpd + QStringLiteral("ordem.txt"));
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    }
    // "Verificar", "Baixar", "Concluir": 1 enabled, 0 disabled.
    static QString botoes(TuAtualizacao* f)
    {
        QString s;
        for (auto* b : {f->Button1, f->Button2, f->Button3})
            s += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    }
    QStringList descargas() const
    {
        QStringList out;
        for (const auto& r : m_servidor.requests())
            if (r.method == "GET")
                out << QString::fromLatin1(r.target);
        return out;
    }

    vorta::testing::TempInstallation m_inst;
    QString m_lista;
    std::map<QByteArray, QByteArray> m_arquivos;
    QStringList m_falhas;
    LoopbackHttpServer m_servidor{[this](const LoopbackHttpServer::Request& r) { return responde(r); }};
};

} // namespace

TEST(ListaDeAtualizacoes, EntriesEndWithTheSectionSign)
{
    struct Caso {
        const char* resposta;
        QStringList descricoes;
        QStringList arquivos;
    } casos[] = {
        {"A;Primeira;a.exe;x;§B;Segunda;b.exe;y;§", {"Primeira", "Segunda"}, {"a.exe", "b.exe"}},
        {"A;Igual1;a.exe;x;§B;Igual2;b.exe;y;§", {"Igual1", "Igual2"}, {"a.exe", "b.exe"}},
        {"A;Primeira;a.exe;x;§A;Terceira;c.exe;x;", {"Primeira"}, {"a.exe"}},
        {"A;Terceira;c.exe;x;", {}, {}},
        // The description lacks its ";": it reads as empty, like the fields after it.
        {"  Z ;So descricao§", {""}, {""}},
        {"", {}, {}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.resposta);
        const std::vector<TUpdate> lista = LeListaDeAtualizacoes(QString::fromUtf8(c.resposta));
        QStringList d, a;
        for (const TUpdate& u : lista) {
            d << u.Descricao;
            a << u.Arquivo;
        }
        EXPECT_EQ(d, c.descricoes);
        EXPECT_EQ(a, c.arquivos);
    }
    const std::vector<TUpdate> um = LeListaDeAtualizacoes(QStringLiteral("  A1 ;Desc; a.sh;quarto;§"));
    ASSERT_EQ(um.size(), 1u);
    EXPECT_EQ(um[0].Id, QStringLiteral("A1"));
    EXPECT_EQ(um[0].Arquivo, QStringLiteral(" a.sh"));
    EXPECT_EQ(um[0].Extra, QStringLiteral("quarto"));
}

TEST(ListaDeAtualizacoes, OnlyPlainNamesAreFetched)
{
    for (const char* bom : {"a.exe", "atualiza-2024.sh", "Vorta 2.1.bin"})
        EXPECT_TRUE(NomeDeAtualizacaoValido(QString::fromUtf8(bom))) << bom;
    for (const char* ruim : {"", ".", "..", "../a.sh", "sub/a.sh", "..\\a.exe", "/bin/sh", "c:a.exe", "-rf", "a\nb", "a\tb"})
        EXPECT_FALSE(NomeDeAtualizacaoValido(QString::fromUtf8(ruim))) << ruim;
}

// The whole wizard: two updates listed, both ticked by keys, fetched into the updates
// folder from "updates/" and run in list order; then only "Concluir" is left.
TEST_F(Atualizacao, TickedUpdatesAreFetchedAndRunInOrder)
{
    m_lista = QStringLiteral("A;Primeira;a.sh;x;§B;Segunda;b.sh;y;§C;Terceira;c.sh;z;§");
    publica("a.sh", programa("a"));
    publica("b.sh", programa("b"));
    publica("c.sh", programa("c"));
    TuAtualizacao* f = abre();
    EXPECT_EQ(f->caption(), QStringLiteral("Atualização \"ao vivo\""));
    EXPECT_EQ(f->PageControl1->activePage(), f->TabInicio);
    EXPECT_EQ(botoes(f), QStringLiteral("100"));

    user::click(f->Button1);
    EXPECT_EQ(f->PageControl1->activePage(), f->TabVerificando);
    EXPECT_EQ(f->CGUpdates->items(), QStringList({"Primeira", "Segunda", "Terceira"}));
    EXPECT_EQ(botoes(f), QStringLiteral("010"));
    const auto pedido = m_servidor.requests().first();
    EXPECT_EQ(pedido.header("SOAPAction"), "\"" + m_servidor.url(QStringLiteral("/vorta/carregarUpdates")).toUtf8() + "\"");

    marca(f, {0, 2});
    f->grab().save(QDir::tempPath() + QStringLiteral("/vorta_atualizacao_lista.png"));
    user::click(f->Button2);
    EXPECT_TRUE(m_falhas.isEmpty()) << m_falhas.join(QLatin1Char('\n')).toStdString();
    EXPECT_EQ(f->PageControl1->activePage(), f->TabBaixando);
    EXPECT_EQ(descargas(), QStringList({"/vorta/updates/a.sh", "/vorta/updates/c.sh"}));
    EXPECT_EQ(ordem(), QStringLiteral("a\nc\n"));
    EXPECT_EQ(f->executados(), QStringList({"a.sh ok", "c.sh ok"}));
    EXPECT_EQ(f->DisplayMemo->lines(),
              QStringList({"Baixando o arquivo a.sh", "Conectando ao servidor", "Baixando o arquivo c.sh",
                           "Conectando ao servidor", "Instalando o arquivo a.sh", "Instalando o arquivo c.sh"}));
    EXPECT_FALSE(QFile::exists(DirUpd + QStringLiteral("b.sh")));
    EXPECT_EQ(botoes(f), QStringLiteral("001"));
    f->grab().save(QDir::tempPath() + QStringLiteral("/vorta_atualizacao_baixando.png"));
    const QPointer<TuAtualizacao> aberta(f);
    user::click(f->Button3);
    EXPECT_TRUE(aberta.isNull()) << "Concluir closes the wizard, which frees itself";
}

// One run that fails keeps "Concluir" disabled; the others still run.
TEST_F(Atualizacao, AFailingRunKeepsConcluirDisabled)
{
    m_lista = QStringLiteral("A;Primeira;a.sh;x;§B;Segunda;b.sh;y;§");
    publica("a.sh", programa("a", 2));
    publica("b.sh", programa("b"));
    TuAtualizacao* f = abre();
    user::click(f->Button1);
    marca(f, {0, 1});
    user::click(f->Button2);
    EXPECT_EQ(ordem(), QStringLiteral("a\nb\n"));
    EXPECT_EQ(f->executados(), QStringList({"a.sh falhou", "b.sh ok"}));
    EXPECT_EQ(f->DisplayMemo->lines().filter(QStringLiteral("a.sh não foi concluída (código 2)")).size(), 1);
    EXPECT_EQ(botoes(f), QStringLiteral("010"));
}

// What must never run: a truncated body, a 404 page and a name with folder parts. The
// failure reaches the application's handling; nothing of it is left as the file.
TEST_F(Atualizacao, BadDownloadsAreRefusedAndNeverRun)
{
    struct Caso {
        const char* lista;
        const char* falha;
    } casos[] = {
        {"A;Cortada;a.sh;x;§", "a.sh"},
        {"A;Ausente;nada.sh;x;§", "nada.sh (código HTTP 404)"},
        {"A;Pasta;../a.sh;x;§", "nome de arquivo inválido: ../a.sh"},
        {"A;Opcao;-a.sh;x;§", "nome de arquivo inválido: -a.sh"},
    };
    // A body that stops halfway: the server closes the connection after 20 bytes of 200.
    m_arquivos["/vorta/updates/a.sh"] = "HTTP/1.1 200 OK\r\nContent-Length: 200\r\nConnection: close\r\n\r\n"
                                        + programa("a").left(20);
    m_arquivos["/vorta/a.sh"] = LoopbackHttpServer::response(200, "OK", {{"Connection", "close"}}, programa("a"));
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.lista);
        m_falhas.clear();
        m_lista = QString::fromUtf8(c.lista);
        TuAtualizacao* f = abre();
        user::click(f->Button1);
        marca(f, {0});
        user::click(f->Button2);
        ASSERT_EQ(m_falhas.size(), 1);
        EXPECT_TRUE(m_falhas.first().contains(QString::fromUtf8(c.falha))) << m_falhas.first().toStdString();
        EXPECT_TRUE(ordem().isEmpty());
        EXPECT_TRUE(f->executados().isEmpty());
        EXPECT_EQ(QDir(DirUpd).entryList(QDir::Files | QDir::Hidden), QStringList());
        EXPECT_EQ(botoes(f), QStringLiteral("010"));
        vorta::Component::free(uAtualizacao);
    }
    EXPECT_FALSE(QFile::exists(m_inst.path() + QStringLiteral("a.sh")));
}

// Nothing ticked: message 1729 and back to the list; an answer beginning "ERRO" is
// shown whole, nothing is listed and the check can be asked again.
TEST_F(Atualizacao, NothingTickedAndServiceErrors)
{
    m_lista = QStringLiteral("A;Primeira;a.sh;x;§");
    TuAtualizacao* f = abre();
    user::click(f->Button1);
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, GetErrorMessage(1729), 1);
        user::click(f->Button2);
    }
    EXPECT_EQ(f->PageControl1->activePage(), f->TabVerificando);
    EXPECT_TRUE(descargas().isEmpty());
    vorta::Component::free(uAtualizacao);

    m_lista = QStringLiteral("ERRO: serviço em manutenção;A;B;c;§");
    f = abre();
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Custom, m_lista, 1);
        user::click(f->Button1);
    }
    EXPECT_EQ(f->CGUpdates->count(), 0);
    EXPECT_EQ(f->PageControl1->activePage(), f->TabInicio);
    EXPECT_EQ(botoes(f), QStringLiteral("100"));
}

// The proxy row reaches the list's SOAP client untrimmed and the downloads trimmed, with
// the stored authentication choice.
TEST_F(Atualizacao, ProxyRowIsApplied)
{
    vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")),
                             QStringLiteral("INSERT INTO Proxy VALUES ('127.0.0.1', %1, ' ana ', ' x ', 'httpoNoBasicAuth');")
                                 .arg(m_servidor.port()));
    m_lista = QStringLiteral("A;Primeira;a.sh;x;§");
    publica("a.sh", programa("a"));
    TuAtualizacao* f = abre();
    user::click(f->Button1);
    marca(f, {0});
    user::click(f->Button2);
    EXPECT_TRUE(m_falhas.isEmpty()) << m_falhas.join(QLatin1Char('\n')).toStdString();
    EXPECT_TRUE(f->GetProxy());
    EXPECT_EQ(f->ProxyUser, QStringLiteral("ana"));
    EXPECT_FALSE(f->ProxyBasica);
    // Through the proxy the targets are absolute addresses.
    const auto pedidos = m_servidor.requests();
    ASSERT_EQ(pedidos.size(), 2);
    EXPECT_TRUE(pedidos[0].target.startsWith("http://127.0.0.1:")) << pedidos[0].target.constData();
    EXPECT_TRUE(pedidos[1].target.endsWith("/vorta/updates/a.sh")) << pedidos[1].target.constData();
    EXPECT_EQ(ordem(), QStringLiteral("a\n"));
}
