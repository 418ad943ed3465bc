// The delivery form driven by keys against a loopback authority server: the request as
// it leaves, each reply kind and fault, the rows read back from table Entrega, copies to
// a folder and to the diskette, and a program killed between the reply and its store.
#include "UDMEntrega.h"
#include "UFrmCopiarArquivo.h"
#include "USel_Entrega.h"

#include "platform/core/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "platform/os/Drives.h"
#include "platform/os/Registry.h"
#include "platform/ui/Application.h"
#include "testing/LoopbackHttpServer.h"
#include "testing/ScriptedDialogs.h"
#include "testing/Screenshots.h"
#include "testing/ShellProcess.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileSystemWatcher>
#include <QRadioButton>
#include <QTabBar>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <deque>
#include <mutex>

namespace user = vorta::testing::user;
using vorta::testing::LoopbackHttpServer;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;
using vorta::ui::mrNo;
using vorta::ui::mrOk;
using vorta::ui::mrYes;

namespace {

const QDateTime kAgora(QDate(2025, 3, 10), QTime(9, 15, 0));

// The rows of the queue as the tests write them.
struct Fila {
    const char* sistema;
    const char* versao;
    const char* chave;
    const char* arquivo;
    const char* inscricao;
    const char* referencia;
    const char* motivo;
    const char* nome;
    const char* dataCopia = nullptr;
};

// A reply as the authority writes it: "200", protocol, date-time, identification, name.
QByteArray retorno(const char* protocolo, const char* data, const char* id, const char* nome)
{
    return QByteArray("200") + protocolo + data + id + nome;
}

// The loopback authority: answers each upload with the next scripted reply (the whole
// HTTP response); with none left, 200 and an empty body.
class Autoridade {
public:
    Autoridade()
        : servidor([this](const LoopbackHttpServer::Request&) {
              std::lock_guard lock(m_mutex);
              if (m_respostas.empty())
                  return LoopbackHttpServer::response(200, "OK");
              QByteArray r = m_respostas.front();
              m_respostas.pop_front();
              return r;
          })
    {
    }
    void responde(const QByteArray& corpo, int status = 200)
    {
        std::lock_guard lock(m_mutex);
        m_respostas.push_back(LoopbackHttpServer::response(status, status == 200 ? "OK" : "Erro", {}, corpo));
    }
    void respondeBruto(const QByteArray& resposta)
    {
        std::lock_guard lock(m_mutex);
        m_respostas.push_back(resposta);
    }
    std::mutex m_mutex;
    std::deque<QByteArray> m_respostas;
    LoopbackHttpServer servidor;
};

class Entrega : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::setClock([] { return kAgora; });
        // Each message shows its number and arguments, so the tests see which one came.
        QString msgs = QStringLiteral("DELETE FROM mensagem;");
        for (const char* m : {"86|M86", "170|M170", "505|M505 %s/%s/%s", "508|M508 %s", "509|M509 %d", "510|M510",
                              "511|M511", "513|M513", "515|M515 %s", "516|M516", "517|M517 %s", "519|M519",
                              "520|M520", "521|M521", "1340|M1340"}) {
            const QStringList p = QString::fromLatin1(m).split(QLatin1Char('|'));
            msgs += QStringLiteral("INSERT INTO mensagem VALUES (%1, '%2');").arg(p[0], p[1]);
        }
        sql(msgs);
        InicializarVariaveisGlobais();
        for (const char* k : {"KOB", "TUV", "WEN", "HAX", "ZIR", "RUX", "LIM"})
            endereco(k, m_autoridade.servidor.url(QStringLiteral("/recepcao/") + QLatin1String(k)));
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(Sel_Entrega);
        vorta::Component::free(DMEntrega);
        vorta::setClock({});
        vorta::os::setDrivePath(QLatin1Char('A'), QString());
        ProtocoloEntrega = {};
    }

    QString dados() const { return m_inst.folder(QStringLiteral("dados")); }
    QString arquivos() const { return m_inst.folder(QStringLiteral("arquivos")); }
    void sql(const QString& s) { vorta::db::executeScript(dados(), s); }

    static void endereco(const char* sistema, const QString& url)
    {
        vorta::os::Registry reg;
        reg.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\Servidor\\"), true);
        reg.writeString(QString::fromLatin1(sistema), url);
    }

    // Queues the rows, each with a declaration file of its own ("conteúdo de " + name).
    void fila(std::initializer_list<Fila> linhas)
    {
        for (const Fila& l : linhas) {
            sql(QStringLiteral("INSERT INTO Entrega (Sistema, Versao, Chave, Arquivo, CRC, Data_Geracao, Data_Copia, "
                               "Inscricao, Referencia, Motivo, Nome) VALUES ('%1', '%2', '%3', '%4', 'CRC%4', "
                               "'2025-03-01T08:00:00.000', %5, '%6', '%7', '%8', '%9')")
                    .arg(QString::fromLatin1(l.sistema), QString::fromLatin1(l.versao), QString::fromLatin1(l.chave),
                         QString::fromLatin1(l.arquivo),
                         l.dataCopia ? QStringLiteral("'%1'").arg(QString::fromLatin1(l.dataCopia)) : QStringLiteral("NULL"),
                         QString::fromLatin1(l.inscricao), QString::fromLatin1(l.referencia),
                         QString::fromLatin1(l.motivo), QString::fromLatin1(l.nome)));
            QFile f(arquivos() + QString::fromLatin1(l.arquivo));
            EXPECT_TRUE(f.open(QIODevice::WriteOnly));
            f.write(QByteArray("conteúdo de ") + l.arquivo);
        }
    }

    // The row of the file: state ("pendente", "copiado", "enviado"), Protocolo,
    // Data_Entrega, Data_Copia and Dados_Entrega, joined by "|".
    QString linha(const char* arquivo)
    {
        vorta::db::Database db;
        db.setDirectory(dados());
        vorta::db::Query q;
        q.setDatabase(&db);
        q.setSql(QStringLiteral("select * from Entrega where Arquivo = :a"));
        q.paramByName(QStringLiteral("a"))->setAsString(QString::fromLatin1(arquivo));
        q.open();
        if (q.isEmpty())
            return QStringLiteral("nenhuma");
        auto f = [&q](const char* c) { return q.fieldByName(QString::fromLatin1(c)); };
        const QString estado = !f("Data_Entrega")->isNull() ? QStringLiteral("enviado")
                               : !f("Data_Copia")->isNull() ? QStringLiteral("copiado")
                                                            : QStringLiteral("pendente");
        auto data = [](vorta::db::Field* c) {
            return c->isNull() ? QString() : c->asDateTime().toString(QStringLiteral("dd/MM/yyyy hh:mm:ss"));
        };
        return QStringList{estado, f("Protocolo")->asString(), data(f("Data_Entrega")), data(f("Data_Copia")),
                           f("Dados_Entrega")->asString()}
            .join(QLatin1Char('|'));
    }
    QString estado(const char* arquivo) { return linha(arquivo).section(QLatin1Char('|'), 0, 0); }

    TSel_Entrega* abre()
    {
        vorta::createInto<TDMEntrega>(DMEntrega, nullptr);
        // A silent server fails fast here; the time-out itself is the platform's.
        DMEntrega->HttpCli1->limits.stallSeconds = 1;
        DMEntrega->HttpCli1->limits.connectTimeoutMs = 2000;
        auto* f = vorta::createInto<TSel_Entrega>(Sel_Entrega, nullptr);
        f->show();
        user::activate(f);
        return f;
    }

    // Ctrl+Space on each listed row of the grid (0 = first), moving with the arrows.
    static void seleciona(vorta::ui::DBGrid* grade, std::initializer_list<int> linhas)
    {
        user::activate(grade);
        user::click(grade);
        user::key(Qt::Key_Home, Qt::ControlModifier);
        int em = 0;
        for (int l : linhas) {
            for (; em < l; ++em)
                user::key(Qt::Key_Down);
            for (; em > l; --em)
                user::key(Qt::Key_Up);
            user::key(Qt::Key_Space, Qt::ControlModifier);
        }
    }

    // Rows of the grid by their file name column.
    static QStringList arquivosDa(vorta::ui::DBGrid* grade)
    {
        int col = -1;
        for (int c = 0; c < grade->shownColumnCount(); ++c)
            if (grade->titleText(c) == QLatin1String("Nome Arquivo"))
                col = c;
        QStringList out;
        for (int r = 0; r < grade->rowCount(); ++r)
            out << grade->cellText(r, col);
        return out;
    }

    // A message the batch shows, answered OK.
    struct Aviso {
        MessageKind kind;
        QString texto;
    };
    // Alt+E over the selection, declining the protocol print (508), then the messages.
    static void envia(const QList<Aviso>& avisos = {})
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 entrega"), {mrYes, mrNo}, mrNo);
        for (const Aviso& a : avisos)
            d.expectMessage(a.kind, a.texto, {mrOk}, mrOk);
        user::alt(QLatin1Char('E'));
    }

    vorta::testing::TempInstallation m_inst;
    Autoridade m_autoridade;
};

const char* kDataZir = "15/03/2025 14:30:05";

} // namespace

// The upload leaves as the authority reads it: HTTP/1.0, the client's own headers, a
// form body built by hand whose length is 189 + name + file, and the content type the
// server has always been sent. The row then moves to the sent tab with the reply.
TEST_F(Entrega, RequestBytesAndTheRowSent)
{
    fila({{"ZIR", "1.0.0", "K1", "28123456725031N.zip", "281234567", "2025 - 3", "N", "FRIGORIFICO UM"}});
    const QByteArray resposta = retorno("AB123456", kDataZir, "12345678000199", "FRIGORIFICO UM LTDA");
    m_autoridade.responde(resposta);
    TSel_Entrega* f = abre();
    EXPECT_EQ(f->caption(), QStringLiteral("Entrega de Formulários Eletrônicos"));
    EXPECT_EQ(arquivosDa(f->DBGrid_Pendente), QStringList{"28123456725031N.zip"});
    seleciona(f->DBGrid_Pendente, {0});
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 entrega"), {mrYes, mrNo}, mrNo);
        user::alt(QLatin1Char('E'));
    }
    const QList<LoopbackHttpServer::Request> pedidos = m_autoridade.servidor.requests();
    ASSERT_EQ(pedidos.size(), 1);
    const LoopbackHttpServer::Request& p = pedidos[0];
    EXPECT_EQ(p.method, "POST");
    EXPECT_EQ(p.target, "/recepcao/ZIR");
    EXPECT_EQ(p.version, "HTTP/1.0");
    EXPECT_EQ(p.header("Content-Type"), "application/x-www-form-urlencoded");
    EXPECT_EQ(p.header("User-Agent"), "Mozilla/4.0 (compatible; ICS)");
    EXPECT_EQ(p.header("Accept"), "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*");
    EXPECT_TRUE(p.header("Expect").isEmpty());
    const QByteArray conteudo = QByteArray("conteúdo de 28123456725031N.zip");
    EXPECT_EQ(p.header("Content-Length").toLongLong(), 189 + 19 + conteudo.size());
    const QByteArray esperado = "-----------------------------7d0b01120378\r\n"
                                "Content-Disposition: form-data; name=\"file1\"; filename=\"28123456725031N.zip\"\r\n"
                                "Content-Type: application/octet-stream\r\n\r\n"
                                + conteudo + "\r\n-----------------------------7d0b01120378--";
    EXPECT_EQ(p.body, esperado);
    EXPECT_EQ(linha("28123456725031N.zip"),
              QStringLiteral("enviado|AB123456|15/03/2025 14:30:05||") + QString::fromLatin1(resposta));
    EXPECT_FALSE(QFile::exists(arquivos() + QStringLiteral("28123456725031N.zip.txt")));
    EXPECT_TRUE(arquivosDa(f->DBGrid_Pendente).isEmpty());
    EXPECT_EQ(arquivosDa(f->DBGrid_Enviados), QStringList{"28123456725031N.zip"});
    EXPECT_TRUE(f->bt_Enviar->isEnabled());
    EXPECT_FALSE(f->Ocupado);
    EXPECT_FALSE(f->Panel5->isVisible());
}

// Each kind's reply layout gives the protocol and the date stored, and the kind's
// upload address is the one asked ("WEN/Com" reads "WEN"); a kind the authority does
// not receive is passed over without a word.
TEST_F(Entrega, EachKindIsPostedToItsAddressAndStored)
{
    struct Caso {
        Fila linha;
        QByteArray resposta;
        const char* alvo; // nullptr: not sent
        const char* protocolo;
    };
    const Caso casos[] = {
        {{"KOB", "13.0", "k1", "a1.kob", "281111111", "2024", "030", "A"},
         retorno("KOB00001", kDataZir, "12345", "PRODUTOR"), "/recepcao/KOB", "KOB00001"},
        {{"TUV", "112", "k2", "a2.tuv", "281111112", "2024", "4", "B"},
         retorno("TUV00002", kDataZir, "12345678901", "EMPRESA"), "/recepcao/TUV", "TUV00002"},
        {{"WEN", "1", "k3", "a3.wen", "281111113", "2025", "M", "C"},
         retorno("WEN00003", kDataZir, "12345678000199", "POSTO"), "/recepcao/WEN", "WEN00003"},
        {{"WEN/Com", "1", "k4", "a4.wen", "281111114", "2025", "C", "D"},
         retorno("WEC00004", kDataZir, "12345678000199", "POSTO"), "/recepcao/WEN", "WEC00004"},
        {{"HAX", "1", "k5", "a5.hax", "281111115", "2025", "N", "E"},
         retorno("HAX00005", kDataZir, "12345678000199", "X"), "/recepcao/HAX", "HAX00005"},
        {{"RUX", "1", "k6", "a6.rux", "281111116", "2025", "N", "F"},
         retorno("RUX00006", kDataZir, "12345678000199", "Y"), "/recepcao/RUX", "RUX00006"},
        {{"LIM", "1", "k7", "a7.lim", "281111117", "2025", "N", "G"},
         retorno("LIM00007", kDataZir, "", "              NOME"), "/recepcao/LIM", "LIM00007"},
        {{"ABC", "1", "k8", "a8.abc", "281111118", "2025", "N", "H"}, {}, nullptr, ""},
    };
    for (const Caso& c : casos) {
        fila({c.linha});
        if (c.alvo)
            m_autoridade.responde(c.resposta);
    }
    TSel_Entrega* f = abre();
    // Rows are listed by registration; all of them are selected.
    seleciona(f->DBGrid_Pendente, {0, 1, 2, 3, 4, 5, 6, 7});
    envia();
    QList<QByteArray> alvos;
    for (const auto& p : m_autoridade.servidor.requests())
        alvos << p.target;
    QList<QByteArray> esperados;
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.linha.sistema);
        if (c.alvo)
            esperados << c.alvo;
        const QString l = linha(c.linha.arquivo);
        if (c.alvo) {
            EXPECT_EQ(l.section(QLatin1Char('|'), 0, 2),
                      QStringLiteral("enviado|%1|15/03/2025 14:30:05").arg(QString::fromLatin1(c.protocolo)));
            EXPECT_EQ(l.section(QLatin1Char('|'), 4), QString::fromUtf8(c.resposta));
        } else {
            EXPECT_EQ(l, QStringLiteral("pendente||||"));
        }
    }
    EXPECT_EQ(alvos, esperados);
}

// The rules before sending: a "KOB" goes only for reasons 030 and 043 of last year, a
// "TUV" only for reasons 1 and 4; a refused row is told and stays, the batch goes on.
TEST_F(Entrega, PreSendRulesSkipRowsAndTheBatchGoesOn)
{
    fila({{"KOB", "13", "k1", "k1.kob", "281000001", "2024", "030", "A"},
          {"KOB", "13", "k2", "k2.kob", "281000002", "2024", "051", "B"},
          {"KOB", "13", "k3", "k3.kob", "281000003", "2023", "043", "C"},
          {"TUV", "112", "k4", "k4.tuv", "281000004", "2025", "2", "D"},
          {"TUV", "112", "k5", "k5.tuv", "281000005", "2025", "1", "E"}});
    m_autoridade.responde(retorno("PROT0001", kDataZir, "12345", "A"));
    m_autoridade.responde(retorno("PROT0005", kDataZir, "12345678901", "E"));
    TSel_Entrega* f = abre();
    seleciona(f->DBGrid_Pendente, {0, 1, 2, 3, 4});
    envia({{MessageKind::Information, QStringLiteral("511 - M511")},
           {MessageKind::Information, QStringLiteral("510 - M510")},
           {MessageKind::Information, QStringLiteral("511 - M511")}});
    EXPECT_EQ(estado("k1.kob"), QStringLiteral("enviado"));
    EXPECT_EQ(estado("k2.kob"), QStringLiteral("pendente"));
    EXPECT_EQ(estado("k3.kob"), QStringLiteral("pendente"));
    EXPECT_EQ(estado("k4.tuv"), QStringLiteral("pendente"));
    EXPECT_EQ(linha("k5.tuv").section(QLatin1Char('|'), 0, 1), QStringLiteral("enviado|PROT0005"));
    EXPECT_EQ(m_autoridade.servidor.requests().size(), 2);
}

// Replies that refuse the file: "-1" carries the server's text, anything else but
// "200" shows none; the row stays pending and the next row is still sent.
TEST_F(Entrega, RefusedRepliesLeaveTheRowPendingAndTheBatchGoesOn)
{
    struct Caso {
        QByteArray resposta;
        QString texto;
    } casos[] = {
        {"-1 Arquivo corrompido   ", QStringLiteral("Arquivo corrompido")},
        {"500 erro interno", QString()},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.resposta.constData());
        vorta::Component::free(Sel_Entrega);
        vorta::Component::free(DMEntrega);
        sql(QStringLiteral("DELETE FROM Entrega"));
        fila({{"ZIR", "1", "r1", "r1.zip", "281000001", "2025 - 1", "N", "A"},
              {"ZIR", "1", "r2", "r2.zip", "281000002", "2025 - 1", "N", "B"}});
        m_autoridade.responde(c.resposta);
        m_autoridade.responde(retorno("OK000002", kDataZir, "12345678000199", "B"));
        TSel_Entrega* f = abre();
        seleciona(f->DBGrid_Pendente, {0, 1});
        envia({{MessageKind::Error, QStringLiteral("1340 - M1340\r\n\r\n") + c.texto}});
        EXPECT_EQ(linha("r1.zip"), QStringLiteral("pendente||||"));
        EXPECT_EQ(linha("r2.zip").section(QLatin1Char('|'), 0, 1), QStringLiteral("enviado|OK000002"));
        EXPECT_FALSE(QFile::exists(arquivos() + QStringLiteral("r1.zip.txt")));
    }
}

// A post that fails stops the batch with 519 and stores nothing: an HTTP error, a
// server that stalls, one that closes in the middle of its reply, an address missing
// from the registry; an address that cannot be read is 516.
TEST_F(Entrega, FailedPostsStopTheBatchAndStoreNothing)
{
    endereco("POZ", QString());
    struct Caso {
        const char* nome;
        const char* sistema;
        std::function<void(Autoridade&)> prepara;
        int mensagem;
    } casos[] = {
        {"status 500", "ZIR", [](Autoridade& a) { a.responde("200ABCDEFGH", 500); }, 519},
        {"stall", "ZIR", [](Autoridade& a) { a.respondeBruto(QByteArray()); }, 519},
        {"closed mid-reply", "ZIR",
         [](Autoridade& a) {
             a.respondeBruto("HTTP/1.0 200 OK\r\nContent-Length: 500\r\nConnection: close\r\n\r\n200ABCDEFGH15/03");
         },
         519},
        {"unreadable address", "HAX", [](Autoridade&) {}, 516},
    };
    {
        vorta::os::Registry reg;
        reg.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\Servidor\\"), true);
        reg.deleteValue(QStringLiteral("POZ"));
        reg.writeInteger(QStringLiteral("HAX"), 7);
    }
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        vorta::Component::free(Sel_Entrega);
        vorta::Component::free(DMEntrega);
        sql(QStringLiteral("DELETE FROM Entrega"));
        fila({{c.sistema, "1", "f1", "f1.dat", "281000001", "2025 - 1", "N", "A"},
              {"ZIR", "1", "f2", "f2.zip", "281000002", "2025 - 1", "N", "B"}});
        const int antes = int(m_autoridade.servidor.requests().size());
        c.prepara(m_autoridade);
        TSel_Entrega* f = abre();
        seleciona(f->DBGrid_Pendente, {0, 1});
        envia({{MessageKind::Error, QStringLiteral("%1 - M%1").arg(c.mensagem)}});
        EXPECT_EQ(estado("f1.dat"), QStringLiteral("pendente"));
        EXPECT_EQ(estado("f2.zip"), QStringLiteral("pendente")) << "the batch stops";
        EXPECT_LE(int(m_autoridade.servidor.requests().size()) - antes, 1);
        EXPECT_TRUE(f->bt_Enviar->isEnabled());
        EXPECT_FALSE(f->Ocupado);
        std::lock_guard lock(m_autoridade.m_mutex);
        m_autoridade.m_respostas.clear();
    }
    // The missing "POZ" address is an empty one: nothing can be posted.
    vorta::Component::free(Sel_Entrega);
    vorta::Component::free(DMEntrega);
    sql(QStringLiteral("DELETE FROM Entrega"));
    fila({{"POZ", "1", "p1", "p1.poz", "281000001", "2025", "N", "A"}});
    TSel_Entrega* f = abre();
    seleciona(f->DBGrid_Pendente, {0});
    envia({{MessageKind::Error, QStringLiteral("519 - M519")}});
    EXPECT_EQ(estado("p1.poz"), QStringLiteral("pendente"));
}

// A "200" reply whose date is no date: 517, the batch stops, rows sent before stay
// sent, and the reply stays in its file (logged) until the row can take it.
TEST_F(Entrega, ReplyWithABadDateKeepsItsFile)
{
    fila({{"ZIR", "1", "d1", "d1.zip", "281000001", "2025 - 1", "N", "A"},
          {"ZIR", "1", "d2", "d2.zip", "281000002", "2025 - 1", "N", "B"},
          {"ZIR", "1", "d3", "d3.zip", "281000003", "2025 - 1", "N", "C"}});
    m_autoridade.responde(retorno("BOM00001", kDataZir, "12345678000199", "A"));
    const QByteArray ruim = retorno("RUIM0002", "31/02/2024 10:00:00", "12345678000199", "B");
    m_autoridade.responde(ruim);
    TSel_Entrega* f = abre();
    seleciona(f->DBGrid_Pendente, {0, 1, 2});
    envia({{MessageKind::Error, QStringLiteral("517 - M517 d2.zip")}});
    EXPECT_EQ(estado("d1.zip"), QStringLiteral("enviado"));
    EXPECT_EQ(estado("d2.zip"), QStringLiteral("pendente"));
    EXPECT_EQ(estado("d3.zip"), QStringLiteral("pendente"));
    EXPECT_EQ(m_autoridade.servidor.requests().size(), 2);
    QFile guardado(arquivos() + QStringLiteral("d2.zip.txt"));
    ASSERT_TRUE(guardado.open(QIODevice::ReadOnly));
    EXPECT_EQ(guardado.readAll(), ruim);
    QFile log(arquivos() + QStringLiteral("Entrega.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("d2.zip"));

    // Opened again, the bad reply is still no date: kept, the row still pending.
    vorta::Component::free(Sel_Entrega);
    vorta::Component::free(DMEntrega);
    abre();
    EXPECT_EQ(estado("d2.zip"), QStringLiteral("pendente"));
    EXPECT_TRUE(QFile::exists(arquivos() + QStringLiteral("d2.zip.txt")));
}

// A reply that reached its file while its row did not (the program ended between the
// two) is stored when the form opens, the file removed; with two waiting rows of one
// file name it is not guessed.
TEST_F(Entrega, ReplyLeftOnDiskIsStoredOnOpening)
{
    fila({{"ZIR", "1", "s1", "s1.zip", "281000001", "2025 - 1", "N", "A", "2025-03-05T10:00:00.000"},
          {"ZIR", "1", "s2", "s2.zip", "281000002", "2025 - 1", "N", "B"},
          {"ZIR", "2", "s3", "s2.zip", "281000003", "2025 - 1", "N", "C"}});
    const QByteArray r1 = retorno("REC00001", kDataZir, "12345678000199", "A");
    for (const char* n : {"s1.zip.txt", "s2.zip.txt"}) {
        QFile f(arquivos() + QString::fromLatin1(n));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(r1);
    }
    TSel_Entrega* f = abre();
    EXPECT_EQ(linha("s1.zip"), QStringLiteral("enviado|REC00001|15/03/2025 14:30:05|05/03/2025 10:00:00|")
                                   + QString::fromLatin1(r1));
    EXPECT_FALSE(QFile::exists(arquivos() + QStringLiteral("s1.zip.txt")));
    EXPECT_TRUE(QFile::exists(arquivos() + QStringLiteral("s2.zip.txt")));
    EXPECT_EQ(arquivosDa(f->DBGrid_Enviados), QStringList{"s1.zip"});
    EXPECT_TRUE(m_autoridade.servidor.requests().isEmpty());
}

// Nothing selected: 170. A name that is no plain file name is a missing file: with the
// protocol print chosen, 505 before anything is sent; without it, 515 when it is read.
TEST_F(Entrega, NothingSelectedAndMissingFiles)
{
    fila({{"ZIR", "1", "m1", "m1.zip", "281000001", "2025 - 1", "N", "A"}});
    sql(QStringLiteral("INSERT INTO Entrega (Sistema, Versao, Chave, Arquivo, Inscricao) "
                       "VALUES ('ZIR', '1', 'm0', '../dados/vorta.db', '280000000')"));
    TSel_Entrega* f = abre();
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Error, QStringLiteral("170 - M170"), {mrOk}, mrOk);
        user::alt(QLatin1Char('E'));
    }
    int paginas = 0;
    ProtocoloEntrega.ContaPaginas = [&paginas] { return ++paginas; };
    seleciona(f->DBGrid_Pendente, {1, 0});
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 entrega"), mrYes);
        d.expectMessage(MessageKind::Error, QStringLiteral("505 - M505 a entrega/a entrega/ZIR"), {mrOk}, mrOk);
        user::alt(QLatin1Char('E'));
    }
    EXPECT_EQ(paginas, 1) << "the first row was counted, the second stopped the batch";
    EXPECT_TRUE(m_autoridade.servidor.requests().isEmpty());
    seleciona(f->DBGrid_Pendente, {0});
    envia({{MessageKind::Error, QStringLiteral("*515 - M515 Cannot open file")}});
    EXPECT_TRUE(m_autoridade.servidor.requests().isEmpty());
    EXPECT_EQ(estado("m1.zip"), QStringLiteral("pendente"));
}

namespace {

// Plays the copy dialog: chooses the item by arrow keys, types the folder, Enter.
void dialogoDeCopia(int item, const QString& pasta)
{
    vorta::ui::setModalHook([item, pasta](vorta::ui::Form& form) {
        auto* d = dynamic_cast<TFrmCopiarArquivo*>(&form);
        EXPECT_TRUE(d);
        if (!d)
            return int(vorta::ui::mrCancel);
        EXPECT_EQ(d->caption(), QStringLiteral("Copia de Arquivos"));
        user::activate(d);
        d->RadioGroup1->button(0)->setFocus();
        EXPECT_FALSE(d->DirNome->isVisible());
        if (item < 0) {
            // The close box: no answer.
            d->close();
            return int(vorta::ui::mrNone);
        }
        if (item == 1) {
            user::key(Qt::Key_Down);
            EXPECT_TRUE(d->DirNome->isVisible());
            user::tab();
            user::type(pasta);
            d->grab().save(vorta::testing::screenshotFolder() + QStringLiteral("/vorta_entrega_copia")
                           + vorta::testing::screenshotSuffix() + QStringLiteral(".png"));
        }
        user::enter();
        return int(vorta::ui::mrNone);
    });
}

} // namespace

// A copy to a folder chosen in the dialog: the file arrives whole, Data_Copia is now
// and the row moves to the copied tab; sent later it keeps its Data_Copia. With the
// print chosen, the hook prints the "AGENFA" form with the row's CRC, and the
// "INTERNET" form with the reply's protocol after the upload.
TEST_F(Entrega, CopiedToAFolderThenSent)
{
    fila({{"ZIR", "1", "c1", "c1.zip", "281000001", "2025 - 1", "N", "A"}});
    QTemporaryDir destino;
    QStringList impressos;
    ProtocoloEntrega.ContaPaginas = [] { return 1; };
    ProtocoloEntrega.Imprime = [&impressos](const QString& forma) {
        const TDeclaracaoAtual& d = DeclaracaoAtual;
        impressos << QStringList{forma, d.Sistema, d.NomeImagem, d.CRC, d.Protocolo, d.Identificacao, d.Nome}.join(
            QLatin1Char('|'));
    };
    TSel_Entrega* f = abre();
    seleciona(f->DBGrid_Pendente, {0});
    dialogoDeCopia(1, destino.path());
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 cópia"), mrYes);
        d.expectMessage(MessageKind::Information, QStringLiteral("509 - M509 1"), {mrOk}, mrOk);
        user::alt(QLatin1Char('C'));
    }
    QFile copia(destino.path() + QStringLiteral("/c1.zip"));
    ASSERT_TRUE(copia.open(QIODevice::ReadOnly));
    EXPECT_EQ(copia.readAll(), QByteArray("conteúdo de c1.zip"));
    EXPECT_EQ(QDir(destino.path()).entryList(QDir::Files), QStringList{"c1.zip"}) << "no temporary file is left";
    EXPECT_EQ(linha("c1.zip"), QStringLiteral("copiado|||10/03/2025 09:15:00|"));
    EXPECT_EQ(arquivosDa(f->DBGrid_Disquete), QStringList{"c1.zip"});
    EXPECT_EQ(impressos, QStringList{"AGENFA|ZIR|Pc1.zip|CRCc1.zip|||"});

    // The copied tab, by the tab bar's arrow keys.
    user::activate(f);
    f->Pg_Entrega->tabBar()->setFocus();
    user::key(Qt::Key_Right);
    ASSERT_EQ(f->Pg_Entrega->activePage(), f->TabSheetDisquete);
    EXPECT_TRUE(f->bt_Imprimir->isEnabled());
    EXPECT_TRUE(f->Bt_Processamento->isEnabled());
    const QByteArray resposta = retorno("PC000001", kDataZir, "12345678000199", "FRIGORIFICO A");
    m_autoridade.responde(resposta);
    vorta::setClock([] { return kAgora.addDays(2); });
    seleciona(f->DBGrid_Disquete, {0});
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 entrega"), mrYes);
        d.expectMessage(MessageKind::Information, QStringLiteral("509 - M509 1"), {mrOk}, mrOk);
        user::alt(QLatin1Char('E'));
    }
    EXPECT_EQ(linha("c1.zip"), QStringLiteral("enviado|PC000001|15/03/2025 14:30:05|10/03/2025 09:15:00|")
                                   + QString::fromLatin1(resposta));
    EXPECT_EQ(impressos.value(1), QStringLiteral("INTERNET|ZIR|Pc1.zip||PC000001|12345678000199|FRIGORIFICO A"));
    EXPECT_TRUE(arquivosDa(f->DBGrid_Disquete).isEmpty());
    f->Pg_Entrega->tabBar()->setFocus();
    user::key(Qt::Key_Right);
    EXPECT_EQ(f->Pg_Entrega->activePage(), f->TabSheetEnviado);
    EXPECT_FALSE(f->bt_Enviar->isEnabled());
    EXPECT_FALSE(f->bt_Copiar->isEnabled());
    EXPECT_TRUE(f->bt_Imprimir->isEnabled());
}

// Copies that must not happen: into no folder, into the declaration folder itself, to
// a diskette that holds files (520), from a dialog closed by its close box; a file
// that cannot be copied is 521. No row changes.
TEST_F(Entrega, RefusedCopiesChangeNoRow)
{
    fila({{"ZIR", "1", "c1", "c1.zip", "281000001", "2025 - 1", "N", "A"}});
    QTemporaryDir disquete;
    vorta::os::setDrivePath(QLatin1Char('A'), disquete.path());
    QFile velho(disquete.path() + QStringLiteral("/velho.txt"));
    ASSERT_TRUE(velho.open(QIODevice::WriteOnly));
    velho.close();
    struct Caso {
        const char* nome;
        int item;
        QString pasta;
        MessageKind kind;
        QString texto;
    } casos[] = {
        {"no folder", 1, QStringLiteral("   "), MessageKind::SystemBox, QStringLiteral("*Informe a pasta")},
        {"declaration folder", 1, arquivos(), MessageKind::SystemBox, QStringLiteral("*própria pasta")},
        {"diskette with files", 0, QString(), MessageKind::Error, QStringLiteral("520 - M520")},
        {"close box", -1, QString(), MessageKind::Custom, QString()},
        {"missing folder", 1, disquete.path() + QStringLiteral("/nao/existe"), MessageKind::Error,
         QStringLiteral("521 - M521")},
    };
    TSel_Entrega* f = abre();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        seleciona(f->DBGrid_Pendente, {0});
        dialogoDeCopia(c.item, c.pasta);
        ScriptedDialogs d;
        if (c.texto.startsWith(QLatin1String("521")))
            d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 cópia"), mrNo);
        if (!c.texto.isEmpty())
            d.expectMessage(c.kind, c.texto, mrOk);
        user::alt(QLatin1Char('C'));
        EXPECT_EQ(linha("c1.zip"), QStringLiteral("pendente||||"));
        EXPECT_TRUE(QFile::exists(arquivos() + QStringLiteral("c1.zip")));
    }
    EXPECT_EQ(QDir(disquete.path()).entryList(QDir::Files), QStringList{"velho.txt"});

    // An empty diskette takes the copy.
    QFile::remove(disquete.path() + QStringLiteral("/velho.txt"));
    seleciona(f->DBGrid_Pendente, {0});
    dialogoDeCopia(0, QString());
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 cópia"), mrNo);
        user::alt(QLatin1Char('C'));
    }
    EXPECT_EQ(QDir(disquete.path()).entryList(QDir::Files), QStringList{"c1.zip"});
    EXPECT_EQ(estado("c1.zip"), QStringLiteral("copiado"));
}

// The search follows the visible tab's list: by registration from its start, by name
// case-sensitively, upper case as typed.
TEST_F(Entrega, SearchByRegistrationAndName)
{
    fila({{"ZIR", "1", "b1", "b1.zip", "270000001", "2025 - 1", "N", "zebu ltda"},
          {"ZIR", "1", "b2", "b2.zip", "283000002", "2025 - 1", "N", "ANGUS SA"},
          {"ZIR", "1", "b3", "b3.zip", "284000003", "2025 - 1", "N", "BRAHMAN"}});
    TSel_Entrega* f = abre();
    vorta::db::DataSet* q = DMEntrega->Q_Pendente;
    f->Edit_Busca->setFocus();
    user::type(QStringLiteral("28"));
    EXPECT_EQ(q->fieldByName(QStringLiteral("Arquivo"))->asString(), QStringLiteral("b2.zip"));
    user::type(QStringLiteral("4"));
    EXPECT_EQ(q->fieldByName(QStringLiteral("Arquivo"))->asString(), QStringLiteral("b3.zip"));

    f->RadioGroup_Entrega->button(1)->setFocus();
    user::key(Qt::Key_Space);
    ASSERT_EQ(f->RadioGroup_Entrega->itemIndex(), 1);
    f->Edit_Busca->setFocus();
    f->Edit_Busca->selectAll();
    user::type(QStringLiteral("an"));
    EXPECT_EQ(f->Edit_Busca->text(), QStringLiteral("AN"));
    EXPECT_EQ(q->fieldByName(QStringLiteral("Arquivo"))->asString(), QStringLiteral("b2.zip"));
    f->Edit_Busca->selectAll();
    user::type(QStringLiteral("ze"));
    EXPECT_EQ(q->fieldByName(QStringLiteral("Arquivo"))->asString(), QStringLiteral("b2.zip"))
        << "'zebu ltda' is not found by 'ZE'";
}

// The form as a person sees it, sending: the progress panel with its marks.
TEST_F(Entrega, ScreenshotWhileSending)
{
    fila({{"ZIR", "1", "v1", "v1.zip", "281000001", "2025 - 1", "N", "FRIGORIFICO UM"},
          {"KOB", "13", "v2", "v2.kob", "281000002", "2024", "030", "PRODUTOR DOIS"}});
    m_autoridade.responde("-1 recusado");
    TSel_Entrega* f = abre();
    seleciona(f->DBGrid_Pendente, {0, 1});
    const QString pasta = vorta::testing::screenshotFolder() + QStringLiteral("/vorta_entrega_");
    const QString sufixo = vorta::testing::screenshotSuffix() + QStringLiteral(".png");
    ASSERT_TRUE(f->grab().save(pasta + QStringLiteral("lista") + sufixo));
    ScriptedDialogs d;
    d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 entrega"), mrNo);
    d.expectMessage(MessageKind::Error, QStringLiteral("*1340"), mrOk);
    d.expectMessage(MessageKind::Error, QStringLiteral("519 - M519"), mrOk);
    m_autoridade.responde(QByteArray(), 500);
    user::alt(QLatin1Char('E'));
    EXPECT_FALSE(f->Panel5->isVisible());
    f->Panel5->show();
    ASSERT_TRUE(f->grab().save(pasta + QStringLiteral("progresso") + sufixo));
    EXPECT_EQ(f->Lbl_Cont->caption(), QStringLiteral("Enviando Declaração 2 de 2."));
    EXPECT_FALSE(f->Errado[2]->isHidden()) << "the second post failed to connect";
    EXPECT_FALSE(f->Certo[1]->isHidden());
}

namespace {

// The child's part of KilledBetweenReplyAndStore: selects the row, waits for its input to
// close, then sends; it is killed while its store waits for the lock. It runs before any
// test of the child process, so it is no test of its own.
void enviaAteSerMorto()
{
    InicializarVariaveisGlobais();
    vorta::createInto<TDMEntrega>(DMEntrega, nullptr);
    auto* f = vorta::createInto<TSel_Entrega>(Sel_Entrega, nullptr);
    f->show();
    user::activate(f->DBGrid_Pendente);
    user::click(f->DBGrid_Pendente);
    user::key(Qt::Key_Home, Qt::ControlModifier);
    user::key(Qt::Key_Space, Qt::ControlModifier);
    if (f->DBGrid_Pendente->selectedRows().size() != 1) {
        std::fputs("no row selected\n", stdout);
        return;
    }
    ScriptedDialogs d;
    d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 entrega"), mrNo);
    std::fputs("pronto\n", stdout);
    std::fflush(stdout);
    QFile entrada;
    if (!entrada.open(stdin, QIODevice::ReadOnly))
        return;
    entrada.readLine();
    user::alt(QLatin1Char('E'));
    // Only reached when nobody killed this process.
    std::fputs("the send returned\n", stdout);
}

class FilhoDaEntrega : public ::testing::Environment {
public:
    void SetUp() override
    {
        if (qEnvironmentVariableIsEmpty("VORTA_ENTREGA_FILHO"))
            return;
        enviaAteSerMorto();
        std::fflush(stdout);
        std::_Exit(1);
    }
};

[[maybe_unused]] ::testing::Environment* const g_filhoDaEntrega =
    ::testing::AddGlobalTestEnvironment(new FilhoDaEntrega);

} // namespace

// The program killed after the authority answered and before the row was stored (a
// child process of this test, held at the store by a write lock of this process): the
// reply is on disk, so the next opening stores it with its protocol, and a second
// batch has nothing to send for it.
TEST_F(Entrega, KilledBetweenReplyAndStore)
{
    fila({{"ZIR", "1", "x1", "x1.zip", "281000001", "2025 - 1", "N", "A"}});
    const QByteArray resposta = retorno("MORTO001", kDataZir, "12345678000199", "FRIGORIFICO A");
    m_autoridade.responde(resposta);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORTA_ENTREGA_FILHO"), m_autoridade.servidor.url());
    vorta::testing::LineProcess filho;
    ASSERT_TRUE(filho.start(QCoreApplication::applicationFilePath(),
                            {QStringLiteral("--gtest_filter=Entrega.KilledBetweenReplyAndStore")}, env))
        << filho.errorString().toStdString();
    ASSERT_TRUE(filho.waitForLine(QStringLiteral("pronto"), 60000)) << filho.transcript().toStdString();

    const QString arquivoRetorno = arquivos() + QStringLiteral("x1.zip.txt");
    {
        vorta::db::Database trava;
        trava.setDirectory(dados());
        trava.open();
        trava.startTransaction();
        trava.execute(QStringLiteral("UPDATE mensagem SET Men_Descricao = Men_Descricao WHERE Men_Codigo = 86"));
        QFileSystemWatcher vigia({arquivos()});
        QObject::connect(&vigia, &QFileSystemWatcher::directoryChanged, [&filho] { filho.poke(); });
        filho.closeInput();
        ASSERT_TRUE(filho.waitFor([&] { return QFile::exists(arquivoRetorno); }, 60000)) << filho.transcript().toStdString();
        filho.kill();
        ASSERT_TRUE(filho.waitForFinished(10000));
        EXPECT_TRUE(filho.crashed());
        trava.rollback();
    }
    EXPECT_EQ(estado("x1.zip"), QStringLiteral("pendente"));
    EXPECT_TRUE(QFile::exists(arquivoRetorno));
    ASSERT_EQ(m_autoridade.servidor.requests().size(), 1);

    TSel_Entrega* f = abre();
    EXPECT_EQ(linha("x1.zip"), QStringLiteral("enviado|MORTO001|15/03/2025 14:30:05||") + QString::fromLatin1(resposta));
    EXPECT_FALSE(QFile::exists(arquivoRetorno));
    EXPECT_TRUE(arquivosDa(f->DBGrid_Pendente).isEmpty());
    EXPECT_EQ(arquivosDa(f->DBGrid_Enviados), QStringList{"x1.zip"});
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Error, QStringLiteral("170 - M170"), mrOk);
        user::activate(f);
        user::alt(QLatin1Char('E'));
    }
    EXPECT_EQ(m_autoridade.servidor.requests().size(), 1);
}


// The pieces of a reply by the kind's layout, counted from 1; the date read by
// position; the image name looked for; the names accepted as the queue's file.
TEST(EntregaRegras, ReplyLayoutsDatesImagesAndFileNames)
{
    // "200" + protocol (4-11) + date-time (12-30) + the rest.
    const QString corpo = QStringLiteral("200P1234567") + QLatin1String(kDataZir);
    struct Layout {
        const char* sistema;
        QString resto;
        QString id;
        QString nome;
    } layouts[] = {
        {"KOB", QStringLiteral("12345PRODUTOR RURAL"), QStringLiteral("12345"), QStringLiteral("PRODUTOR RURAL")},
        {"TUV", QStringLiteral("12345678901EMPRESA SA"), QStringLiteral("12345678901"), QStringLiteral("EMPRESA SA")},
        {"WEN/Com", QStringLiteral("12345678000199POSTO"), QStringLiteral("12345678000199"), QStringLiteral("POSTO")},
        {"ZIR", QStringLiteral("12345678000199FRIGORIFICO"), QStringLiteral("12345678000199"), QStringLiteral("FRIGORIFICO")},
        {"LIM", QStringLiteral("12345678000199LIMPEZA"), QString(), QStringLiteral("LIMPEZA")},
        {"POZ", QStringLiteral("12345678000199POCO"), QString(), QString()},
    };
    for (const Layout& l : layouts) {
        SCOPED_TRACE(l.sistema);
        DeclaracaoAtual.Identificacao = QStringLiteral("antigo");
        DeclaracaoAtual.Nome = QStringLiteral("antigo");
        ASSERT_TRUE(LeRetornoEntrega(QString::fromLatin1(l.sistema), corpo + l.resto));
        EXPECT_EQ(DeclaracaoAtual.Protocolo, QStringLiteral("P1234567"));
        EXPECT_EQ(DeclaracaoAtual.DataHora, QString::fromLatin1(kDataZir));
        EXPECT_EQ(DeclaracaoAtual.Identificacao, l.id);
        EXPECT_EQ(DeclaracaoAtual.Nome, l.nome);
    }
    EXPECT_FALSE(LeRetornoEntrega(QStringLiteral("ABC"), corpo));
    EXPECT_TRUE(DeclaracaoAtual.Protocolo.isEmpty()) << "the parts are cleared first";

    struct Data {
        const char* texto;
        QDateTime esperada;
    } datas[] = {
        {"15/03/2025 14:30:05", QDateTime(QDate(2025, 3, 15), QTime(14, 30, 5))},
        {"29/02/2024 23:59:59 e mais", QDateTime(QDate(2024, 2, 29), QTime(23, 59, 59))},
        {"31/02/2024 10:00:00", QDateTime()},
        {"15/13/2025 10:00:00", QDateTime()},
        {"15/03/2025 24:00:00", QDateTime()},
        {"15/03/2025 1a:00:00", QDateTime()},
        {"15/03/2025", QDateTime()},
    };
    for (const Data& d : datas)
        EXPECT_EQ(DataHoraRetorno(QString::fromLatin1(d.texto)), d.esperada) << d.texto;

    const QString lim30 = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZ1234");
    struct Imagem {
        const char* sistema;
        QString arquivo;
        QString imagem;
    } imagens[] = {
        {"ZIR", QStringLiteral("28123456725031N"), QStringLiteral("P28123456725031N")},
        {"RUX", QStringLiteral("R1.rux"), QStringLiteral("PR1.rux")},
        {"POZ", QStringLiteral("Z1"), QStringLiteral("PZ1")},
        {"LIM", lim30, QStringLiteral("P") + lim30.left(24)},
        {"KOB", QStringLiteral("K2024.kob"), QStringLiteral("P2024.kob")},
        {"WEN/Com", QStringLiteral("W1"), QStringLiteral("P1")},
    };
    for (const Imagem& i : imagens)
        EXPECT_EQ(NomeImagemProtocolo(QString::fromLatin1(i.sistema), i.arquivo), i.imagem) << i.sistema;

    for (const char* bom : {"28123456725031N.zip", "arquivo com espaço.dat", "..x"})
        EXPECT_EQ(NomeArquivoSeguro(QString::fromUtf8(bom)), QString::fromUtf8(bom)) << bom;
    for (const char* ruim : {"", ".", "..", "../dados/vorta.db", "pasta/a.zip", "c:\\a.zip", "a\"b", "a'b", "a\tb", "a\nb"})
        EXPECT_TRUE(NomeArquivoSeguro(QString::fromUtf8(ruim)).isEmpty()) << ruim;
}

// The buttons follow the tab shown; "&Sair" asks 86 and ends the program on Yes only.
TEST_F(Entrega, ButtonsPerTabAndExit)
{
    TSel_Entrega* f = abre();
    auto botoes = [f] {
        QString s;
        for (auto* b : {f->bt_Copiar, f->bt_Enviar, f->bt_Imprimir, f->Bt_Processamento})
            s += b->isEnabled() ? QLatin1Char('1') : QLatin1Char('0');
        return s;
    };
    EXPECT_EQ(f->Pg_Entrega->activePage(), f->TabSheetPendente);
    EXPECT_EQ(botoes(), QStringLiteral("1100"));
    f->Pg_Entrega->tabBar()->setFocus();
    user::key(Qt::Key_Right);
    EXPECT_EQ(botoes(), QStringLiteral("1111"));
    user::key(Qt::Key_Right);
    EXPECT_EQ(botoes(), QStringLiteral("0011"));
    user::key(Qt::Key_Left);
    user::key(Qt::Key_Left);
    EXPECT_EQ(botoes(), QStringLiteral("1100"));
    auto* app = vorta::Application::instance();
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Confirmation, QStringLiteral("86 - M86"), {mrYes, mrNo}, mrNo);
        user::alt(QLatin1Char('S'));
    }
    EXPECT_FALSE(app->terminated());
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Confirmation, QStringLiteral("86 - M86"), mrYes);
        user::alt(QLatin1Char('S'));
    }
    EXPECT_TRUE(app->terminated());
    app->clearTermination();
}

// A proxy row sends the upload through the proxy with its credentials.
TEST_F(Entrega, UploadGoesThroughTheStoredProxy)
{
    fila({{"ZIR", "1", "p1", "p1.zip", "281000001", "2025 - 1", "N", "A"}});
    LoopbackHttpServer proxy([](const LoopbackHttpServer::Request&) {
        return LoopbackHttpServer::response(200, "OK", {}, retorno("PROXY001", kDataZir, "12345678000199", "A"));
    });
    sql(QStringLiteral("INSERT INTO Proxy VALUES ('127.0.0.1', %1, 'ana', 's3', 'httpoNoNTLMAuth')").arg(proxy.port()));
    TSel_Entrega* f = abre();
    seleciona(f->DBGrid_Pendente, {0});
    envia();
    EXPECT_TRUE(m_autoridade.servidor.requests().isEmpty());
    const auto pedidos = proxy.requests();
    ASSERT_EQ(pedidos.size(), 1);
    EXPECT_EQ(QString::fromLatin1(pedidos[0].target), m_autoridade.servidor.url(QStringLiteral("/recepcao/ZIR")));
    EXPECT_EQ(pedidos[0].header("Proxy-Authorization"), "Basic " + QByteArray("ana:s3").toBase64());
    EXPECT_EQ(linha("p1.zip").section(QLatin1Char('|'), 0, 1), QStringLiteral("enviado|PROXY001"));
}

// An upload address longer than 255 characters is posted to as it stands.
TEST_F(Entrega, LongUploadAddressIsUsedWhole)
{
    const QString caminho = QStringLiteral("/recepcao/") + QString(300, QLatin1Char('a')) + QStringLiteral("?tipo=ZIR");
    endereco("ZIR", m_autoridade.servidor.url(caminho));
    fila({{"ZIR", "1", "u1", "u1.zip", "281000001", "2025 - 1", "N", "A"}});
    m_autoridade.responde(retorno("LONGO001", kDataZir, "12345678000199", "A"));
    TSel_Entrega* f = abre();
    seleciona(f->DBGrid_Pendente, {0});
    envia();
    ASSERT_EQ(m_autoridade.servidor.requests().size(), 1);
    EXPECT_EQ(QString::fromLatin1(m_autoridade.servidor.requests()[0].target), caminho);
    EXPECT_EQ(estado("u1.zip"), QStringLiteral("enviado"));
}

// A "200" reply whose store fails in the database: 513, the batch stops, the reply
// stays in its file and is stored once the database takes it again.
TEST_F(Entrega, StoreFailureKeepsTheReplyUntilItIsStored)
{
    fila({{"ZIR", "1", "g1", "g1.zip", "281000001", "2025 - 1", "N", "A"},
          {"ZIR", "1", "g2", "g2.zip", "281000002", "2025 - 1", "N", "B"}});
    const QByteArray resposta = retorno("FALHA001", kDataZir, "12345678000199", "A");
    m_autoridade.responde(resposta);
    {
        // The trigger's own ";" would split a script.
        vorta::db::Database db;
        db.setDirectory(dados());
        db.open();
        db.execute(QStringLiteral("CREATE TRIGGER recusa BEFORE UPDATE ON Entrega WHEN NEW.Protocolo = 'FALHA001' "
                                  "BEGIN SELECT RAISE(ABORT, 'disco cheio'); END"));
    }
    TSel_Entrega* f = abre();
    seleciona(f->DBGrid_Pendente, {0, 1});
    envia({{MessageKind::Error, QStringLiteral("513 - M513")}});
    EXPECT_EQ(estado("g1.zip"), QStringLiteral("pendente"));
    EXPECT_EQ(estado("g2.zip"), QStringLiteral("pendente"));
    EXPECT_EQ(m_autoridade.servidor.requests().size(), 1);
    const QString guardado = arquivos() + QStringLiteral("g1.zip.txt");
    EXPECT_TRUE(QFile::exists(guardado));
    QFile log(arquivos() + QStringLiteral("Entrega.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("disco cheio"));

    vorta::Component::free(Sel_Entrega);
    vorta::Component::free(DMEntrega);
    sql(QStringLiteral("DROP TRIGGER recusa"));
    abre();
    EXPECT_EQ(linha("g1.zip"), QStringLiteral("enviado|FALHA001|15/03/2025 14:30:05||") + QString::fromLatin1(resposta));
    EXPECT_FALSE(QFile::exists(guardado));
    EXPECT_EQ(m_autoridade.servidor.requests().size(), 1) << "the receipt was not asked for again";
}

// A row whose version was left empty (an empty text, or null) is still the row the
// delivery and the copy mark.
TEST_F(Entrega, RowWithoutVersionIsMarked)
{
    fila({{"ZIR", "", "e1", "e1.zip", "281000001", "2025 - 1", "N", "A"},
          {"ZIR", "", "e2", "e2.zip", "281000002", "2025 - 1", "N", "B"}});
    sql(QStringLiteral("UPDATE Entrega SET Versao = NULL WHERE Chave = 'e2'"));
    m_autoridade.responde(retorno("SEMVER01", kDataZir, "12345678000199", "A"));
    QTemporaryDir destino;
    TSel_Entrega* f = abre();
    seleciona(f->DBGrid_Pendente, {0});
    envia();
    EXPECT_EQ(linha("e1.zip").section(QLatin1Char('|'), 0, 1), QStringLiteral("enviado|SEMVER01"));
    seleciona(f->DBGrid_Pendente, {0});
    dialogoDeCopia(1, destino.path());
    {
        ScriptedDialogs d;
        d.expectMessage(MessageKind::Confirmation, QStringLiteral("508 - M508 cópia"), mrNo);
        user::alt(QLatin1Char('C'));
    }
    EXPECT_EQ(estado("e2.zip"), QStringLiteral("copiado"));
}
