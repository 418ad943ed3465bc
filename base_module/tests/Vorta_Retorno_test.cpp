// The processing-result query driven from the delivery form against loopback fakes of
// the service description and the SOAP service: what is asked, what is stored in which
// row, and every stop.
#include "UDMEntrega.h"
#include "USel_Entrega.h"
#include "UResultadoProc.h"
#include "UResultadoProcessamento.h"
#include "Vorta_Retorno.h"

#include "EntregaTeste.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "platform/os/Registry.h"
#include "platform/ui/Application.h"
#include "testing/LoopbackHttpServer.h"
#include "testing/ScriptedDialogs.h"
#include "testing/Screenshots.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QRegularExpression>
#include <QDir>
#include <QProgressBar>
#include <QTabBar>
#include <QTest>

#include <gtest/gtest.h>

#include <map>
#include <mutex>

namespace user = vorta::testing::user;
using vorta::testing::LoopbackHttpServer;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;
using vorta::ui::mrOk;

namespace {

const QDateTime kAgora(QDate(2025, 3, 10), QTime(9, 15, 0));

QString xmlTexto(const QString& s)
{
    return s.toHtmlEscaped();
}

// The authority: the description at /servico?wsdl names /servico as the endpoint; each
// call of "pesquisar" is answered by the file name's scripted answer.
class Servico {
public:
    Servico()
        : servidor([this](const LoopbackHttpServer::Request& r) {
              std::lock_guard lock(m_mutex);
              if (r.method == "GET") {
                  if (statusDescricao != 200)
                      return LoopbackHttpServer::response(statusDescricao, "Erro");
                  const QByteArray wsdl = "<definitions xmlns=\"http://schemas.xmlsoap.org/wsdl/\" "
                                          "xmlns:soap=\"http://schemas.xmlsoap.org/wsdl/soap/\"><service><port>"
                                          "<soap:address location=\""
                                          + servidor.url(QStringLiteral("/servico")).toUtf8()
                                          + "\"/></port></service></definitions>";
                  return LoopbackHttpServer::response(200, "OK", {{"Content-Type", "text/xml"}}, wsdl);
              }
              const QString corpo = QString::fromUtf8(r.body);
              const auto m = QRegularExpression(QStringLiteral("<nomearq>([^<]*)</nomearq>")).match(corpo);
              const QString arquivo = m.captured(1);
              pedidos << arquivo + QLatin1Char('/')
                             + QRegularExpression(QStringLiteral("<protocolo>([^<]*)</protocolo>")).match(corpo).captured(1);
              const auto it = respostas.find(arquivo);
              if (it == respostas.end())
                  return QByteArray(); // never answers
              if (it->second.startsWith(QLatin1String("FAULT:")))
                  return LoopbackHttpServer::response(
                      500, "Erro", {{"Content-Type", "text/xml"}},
                      "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body><s:Fault>"
                      "<faultcode>s:Server</faultcode><faultstring>"
                          + xmlTexto(it->second.mid(6)).toUtf8() + "</faultstring></s:Fault></s:Body></s:Envelope>");
              return LoopbackHttpServer::response(
                  200, "OK", {{"Content-Type", "text/xml"}},
                  "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\"><s:Body><pesquisarResponse>"
                  "<return>"
                      + xmlTexto(it->second).toUtf8() + "</return></pesquisarResponse></s:Body></s:Envelope>");
          })
    {
    }
    void responde(const QString& arquivo, const QString& resposta)
    {
        std::lock_guard lock(m_mutex);
        respostas[arquivo] = resposta;
    }
    QStringList pedidosFeitos()
    {
        std::lock_guard lock(m_mutex);
        return pedidos;
    }
    std::mutex m_mutex;
    std::map<QString, QString> respostas;
    QStringList pedidos;
    int statusDescricao = 200;
    LoopbackHttpServer servidor;
};

// An "OK" answer: type in characters 3 to 22, text from 48; "ER": text from 23.
QString ok(const QString& tipo, const QString& texto)
{
    return QStringLiteral("OK") + tipo.leftJustified(20) + QString(25, QLatin1Char('.')) + texto;
}
QString er(const QString& tipo, const QString& texto)
{
    return QStringLiteral("ER") + tipo.leftJustified(20) + texto;
}

struct Linha {
    const char* sistema;
    const char* versao;
    const char* chave;
    const char* arquivo;
    const char* protocolo; // null: a copied row
    const char* dataCopia;
    const char* tipo = nullptr;
};

class Resultado : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::setClock([] { return kAgora; });
        QString msgs = QStringLiteral("DELETE FROM mensagem;");
        for (const char* m : {"506|M506 %s", "1542|M1542", "1543|M1543", "1555|M1555", "1556|M1556", "1567|M1567", "1568|M1568"}) {
            const QStringList p = QString::fromLatin1(m).split(QLatin1Char('|'));
            msgs += QStringLiteral("INSERT INTO mensagem VALUES (%1, '%2');").arg(p[0], p[1]);
        }
        sql(msgs);
        InicializarVariaveisGlobais();
        endereco(m_servico.servidor.url(QStringLiteral("/servico?wsdl")));
        InstalaResultadoProcessamento();
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(Sel_Entrega);
        vorta::Component::free(DMEntrega);
        vorta::setClock({});
        ProtocoloEntrega = {};
    }
    QString dados() const { return m_inst.folder(QStringLiteral("dados")); }
    void sql(const QString& s) { vorta::db::executeScript(dados(), s); }
    static void endereco(const QString& url)
    {
        vorta::os::Registry reg;
        reg.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\Servidor\\"), true);
        reg.writeString(QStringLiteral("Processamento"), url);
    }
    void fila(std::initializer_list<Linha> linhas)
    {
        for (const Linha& l : linhas) {
            auto q = [](const char* v) {
                return v ? QStringLiteral("'%1'").arg(QString::fromUtf8(v)) : QStringLiteral("NULL");
            };
            sql(QStringLiteral("INSERT INTO Entrega (Sistema, Versao, Chave, Arquivo, CRC, Protocolo, Data_Geracao, "
                               "Data_Copia, Data_Entrega, Inscricao, Referencia, Motivo, Nome, ResultadoTipo) VALUES "
                               "(%1, %2, %3, %4, 'CRC-%5', %6, '2025-03-01T08:00:00.000', %7, %8, '281000001', "
                               "'2024', 'N', 'A', %9)")
                    .arg(q(l.sistema), q(l.versao), q(l.chave), q(l.arquivo), QString::fromLatin1(l.arquivo),
                         q(l.protocolo), q(l.dataCopia),
                         l.protocolo ? QStringLiteral("'2025-03-05T10:00:00.000'") : QStringLiteral("NULL"),
                         q(l.tipo)));
        }
    }
    // Type and text stored for the row of the file and version.
    QString resultado(const char* arquivo, const char* versao)
    {
        vorta::db::Database db;
        db.setDirectory(dados());
        vorta::db::Query q;
        q.setDatabase(&db);
        q.setSql(QStringLiteral("select ResultadoTipo, ResultadoProcessamento from Entrega where Arquivo = :a and "
                                "Versao = :v"));
        q.paramByName(QStringLiteral("a"))->setAsString(QString::fromLatin1(arquivo));
        q.paramByName(QStringLiteral("v"))->setAsString(QString::fromLatin1(versao));
        q.open();
        if (q.isEmpty())
            return QStringLiteral("nenhuma");
        return q.fieldByName(QStringLiteral("ResultadoTipo"))->asString() + QLatin1Char('|')
               + q.fieldByName(QStringLiteral("ResultadoProcessamento"))->asString();
    }

    TSel_Entrega* abre(bool enviados)
    {
        vorta::createInto<TDMEntrega>(DMEntrega, nullptr);
        DMEntrega->IdHTTPVerConec->limits.stallSeconds = 1;
        auto* f = vorta::createInto<TSel_Entrega>(Sel_Entrega, nullptr);
        f->HTTPRIO1->http.limits.stallSeconds = 1;
        f->HTTPRIO1->http.limits.connectTimeoutMs = 2000;
        f->show();
        user::activate(f);
        f->Pg_Entrega->tabBar()->setFocus();
        user::key(Qt::Key_Right);
        if (enviados)
            user::key(Qt::Key_Right);
        return f;
    }
    static void seleciona(vorta::ui::DBGrid* grade, std::initializer_list<int> linhas)
    {
        entrega_teste::seleciona(grade, linhas);
    }
    // Presses "Resultado Processamento", answering each message with OK.
    static void consulta(TSel_Entrega* f, std::initializer_list<std::pair<MessageKind, QString>> avisos = {})
    {
        ScriptedDialogs d;
        for (const auto& [k, t] : avisos)
            d.expectMessage(k, t, {mrOk}, mrOk);
        user::click(f->Bt_Processamento);
        EXPECT_FALSE(f->pnlProgresso->isVisible());
    }

    vorta::testing::TempInstallation m_inst;
    Servico m_servico;
};

} // namespace

TEST(ResultadoRegras, AnswersAndVersions)
{
    QString tipo, texto;
    ASSERT_TRUE(LeRespostaProcessamento(ok(QStringLiteral("Processado"), QStringLiteral("Recibo 1")), tipo, texto));
    EXPECT_EQ(tipo + QLatin1Char('|') + texto, QStringLiteral("Processado|Recibo 1"));
    ASSERT_TRUE(LeRespostaProcessamento(er(QStringLiteral("Recusado"), QStringLiteral("Campo 3")), tipo, texto));
    EXPECT_EQ(tipo + QLatin1Char('|') + texto, QStringLiteral("Recusado|Campo 3"));
    for (const char* outra : {"EX falha", "404", "", "ok minúsculo"})
        EXPECT_FALSE(LeRespostaProcessamento(QString::fromUtf8(outra), tipo, texto)) << outra;

    struct {
        const char* sistema;
        const char* versao;
        bool coberta;
    } versoes[] = {{"KOB", "12.3", false}, {"KOB", "13.0", true}, {"KOB", "1.2.9", false}, {"KOB", "x1", false},
                   {"KOB", "", false},     {"TUV", "111.9", false}, {"TUV", "1.1.2", true}, {"TUV", "abc", false},
                   {"ZIR", "1", true},     {"WEN", "", true}};
    for (const auto& v : versoes)
        EXPECT_EQ(VersaoCoberta(QString::fromLatin1(v.sistema), QString::fromLatin1(v.versao)), v.coberta)
            << v.sistema << " " << v.versao;
}

// The reason codes' descriptions on the result report.
TEST(ResultadoRegras, ReasonDescriptions)
{
    const std::pair<const char*, const char*> casos[] = {
        {"N", "Normal"},        {"1", "Normal"},        {"R", "Retificadora"}, {"3", "Retificadora"},
        {"043", "Retificadora"}, {"2", "Encerramento"}, {"4", "Sem Movimento"}, {"C", "Comunicado"},
        {"030", "Revalidação"}, {"051", "Baixa"},        {"001", ""},           {"", ""},
        {"n", ""},
    };
    for (const auto& [motivo, descricao] : casos)
        EXPECT_EQ(DescricaoMotivo(QString::fromLatin1(motivo)), QString::fromUtf8(descricao)) << motivo;
}

// Copied rows are asked with their CRC, and each result lands in its own row only: two
// versions of one declaration share the key. Settled rows and POZ are not asked; a
// "Sem Processamento" row is asked again.
TEST_F(Resultado, EachAnswerIsStoredInItsOwnRow)
{
    fila({{"ZIR", "1", "k1", "a1.zip", nullptr, "2025-03-05T10:05:00.000"},
          {"ZIR", "2", "k1", "a2.zip", nullptr, "2025-03-05T10:04:00.000"},
          {"ZIR", "1", "k3", "a3.zip", nullptr, "2025-03-05T10:03:00.000", "Processado"},
          {"POZ", "1", "k4", "a4.zip", nullptr, "2025-03-05T10:02:00.000"},
          {"ZIR", "1", "k5", "a5.zip", nullptr, "2025-03-05T10:01:00.000", "Sem Processamento"}});
    m_servico.responde(QStringLiteral("a1.zip"), ok(QStringLiteral("Processado"), QStringLiteral("Recibo 77")));
    m_servico.responde(QStringLiteral("a2.zip"), er(QStringLiteral("Recusado"), QStringLiteral("Registro 3 inválido")));
    m_servico.responde(QStringLiteral("a5.zip"), ok(QStringLiteral("Sem Processamento"), QStringLiteral("Aguarde")));
    const QString longo(300, QLatin1Char('x'));
    TSel_Entrega* f = abre(false);
    seleciona(f->DBGrid_Disquete, {0, 1, 2, 3, 4});
    consulta(f);
    EXPECT_EQ(m_servico.pedidosFeitos(),
              (QStringList{"a1.zip/CRC-a1.zip", "a2.zip/CRC-a2.zip", "a5.zip/CRC-a5.zip"}));
    EXPECT_EQ(resultado("a1.zip", "1"), QStringLiteral("Processado|Recibo 77"));
    EXPECT_EQ(resultado("a2.zip", "2"), QStringLiteral("Recusado|Registro 3 inválido"));
    EXPECT_EQ(resultado("a3.zip", "1"), QStringLiteral("Processado|"));
    EXPECT_EQ(resultado("a4.zip", "1"), QStringLiteral("|"));
    EXPECT_EQ(resultado("a5.zip", "1"), QStringLiteral("Sem Processamento|Aguarde"));

    // A sent row is asked with its protocol; a text longer than the column is cut.
    fila({{"WEN", "1", "k9", "e1.txt", "PX000009", nullptr}});
    m_servico.responde(QStringLiteral("e1.txt"), er(QStringLiteral("Recusado"), longo));
    f->ReabreListas();
    f->Pg_Entrega->tabBar()->setFocus();
    user::key(Qt::Key_Right);
    ASSERT_EQ(f->Pg_Entrega->activePage(), f->TabSheetEnviado);
    seleciona(f->DBGrid_Enviados, {0});
    consulta(f);
    EXPECT_EQ(m_servico.pedidosFeitos().last(), QStringLiteral("e1.txt/PX000009"));
    EXPECT_EQ(resultado("e1.txt", "1"), QStringLiteral("Recusado|") + longo.left(250));
}

// Guards that stop before anything is asked.
TEST_F(Resultado, GuardsStopBeforeAsking)
{
    fila({{"KOB", "12.3", "k1", "b1.txt", nullptr, "2025-03-06T10:00:00.000"},
          {"TUV", "1.1.2", "k2", "b2.txt", nullptr, "2025-03-10T08:00:00.000"},
          {"ZIR", "1", "k3", "b3.zip", nullptr, "2025-03-05T10:00:00.000"}});
    TSel_Entrega* f = abre(false);
    consulta(f, {{MessageKind::Information, QStringLiteral("506 - M506 pesquisado")}});
    seleciona(f->DBGrid_Disquete, {2, 1});
    consulta(f, {{MessageKind::Information, QStringLiteral("1542 - M1542")}});
    seleciona(f->DBGrid_Disquete, {0, 1});
    ASSERT_EQ(f->DBGrid_Disquete->selectedRows().size(), 2);
    // The TUV row was copied today; the KOB row is no longer selected.
    consulta(f, {{MessageKind::Information, QStringLiteral("1543 - M1543")}});
    EXPECT_TRUE(m_servico.pedidosFeitos().isEmpty());

    // A POZ row is never asked, so its copy today does not hold the others back.
    fila({{"POZ", "1", "k4", "b4.txt", nullptr, "2025-03-10T09:00:00.000"}});
    m_servico.responde(QStringLiteral("b3.zip"), ok(QStringLiteral("Processado"), QStringLiteral("R3")));
    f->ReabreListas();
    f->DBGrid_Disquete->clearSelectedRows();
    ASSERT_EQ(f->DBGrid_Disquete->rowCount(), 4);
    seleciona(f->DBGrid_Disquete, {0, 3});
    consulta(f);
    EXPECT_EQ(m_servico.pedidosFeitos(), QStringList{QStringLiteral("b3.zip/CRC-b3.zip")});
    EXPECT_EQ(resultado("b3.zip", "1"), QStringLiteral("Processado|R3"));
}

// Failures of the description, the service and the answer: each shown, nothing stored,
// later rows not asked; rows stored before the stop keep their result.
TEST_F(Resultado, FailuresStopAndStoreNothing)
{
    fila({{"ZIR", "1", "k1", "c1.zip", nullptr, "2025-03-05T10:03:00.000"},
          {"ZIR", "1", "k2", "c2.zip", nullptr, "2025-03-05T10:02:00.000"},
          {"ZIR", "1", "k3", "c3.zip", nullptr, "2025-03-05T10:01:00.000"}});
    m_servico.responde(QStringLiteral("c1.zip"), ok(QStringLiteral("Processado"), QStringLiteral("R1")));
    TSel_Entrega* f = abre(false);
    struct Caso {
        const char* nome;
        QString resposta; // for c2.zip; empty: the service never answers
        int statusDescricao;
        MessageKind kind;
        QString mensagem;
    } casos[] = {
        {"description 404", QStringLiteral("x"), 404, MessageKind::Error, QStringLiteral("1568 - M1568\r\n404")},
        {"EX", QStringLiteral("EX  Falha interna "), 200, MessageKind::Error,
         QStringLiteral("1555 - M1555\r\n\r\nEX  Falha interna")},
        {"fault beginning ER", QStringLiteral("FAULT:ERRO no servidor"), 200, MessageKind::Error,
         QStringLiteral("1568 - M1568\r\nERRO no servidor")},
        {"other answer", QStringLiteral("XX lixo"), 200, MessageKind::Error, QStringLiteral("1568 - M1568\r\nXX lixo")},
        {"stall", QString(), 200, MessageKind::Error, QStringLiteral("*1568 - M1568\r\n")},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        m_servico.statusDescricao = c.statusDescricao;
        if (!c.resposta.isEmpty())
            m_servico.responde(QStringLiteral("c2.zip"), c.resposta);
        else
            m_servico.respostas.erase(QStringLiteral("c2.zip"));
        sql(QStringLiteral("UPDATE Entrega SET ResultadoTipo = NULL, ResultadoProcessamento = NULL"));
        f->ReabreListas();
        f->DBGrid_Disquete->clearSelectedRows();
        seleciona(f->DBGrid_Disquete, {0, 1, 2});
        consulta(f, {{c.kind, c.mensagem}});
        EXPECT_EQ(resultado("c1.zip", "1"), c.statusDescricao == 200 ? QStringLiteral("Processado|R1") : QStringLiteral("|"));
        EXPECT_EQ(resultado("c2.zip", "1"), QStringLiteral("|"));
        EXPECT_FALSE(m_servico.pedidosFeitos().contains(QStringLiteral("c3.zip/CRC-c3.zip")));
    }

    // The store refuses the result: 1556 alone, and later rows are not asked.
    sql(QStringLiteral("UPDATE Entrega SET ResultadoTipo = NULL, ResultadoProcessamento = NULL"));
    vorta::db::Database banco;
    banco.setDirectory(dados());
    banco.open();
    banco.execute(QStringLiteral(
        "CREATE TRIGGER recusa BEFORE UPDATE ON Entrega BEGIN SELECT RAISE(ABORT, 'disco cheio'); END"));
    m_servico.responde(QStringLiteral("c2.zip"), ok(QStringLiteral("Processado"), QStringLiteral("R2")));
    f->ReabreListas();
    f->DBGrid_Disquete->clearSelectedRows();
    seleciona(f->DBGrid_Disquete, {0, 1, 2});
    const qsizetype antes = m_servico.pedidosFeitos().size();
    consulta(f, {{MessageKind::Error, QStringLiteral("1556 - M1556")}});
    EXPECT_EQ(m_servico.pedidosFeitos().mid(antes), QStringList{QStringLiteral("c1.zip/CRC-c1.zip")});
    banco.execute(QStringLiteral("DROP TRIGGER recusa"));
    EXPECT_EQ(resultado("c1.zip", "1"), QStringLiteral("|"));

    // No service address configured: nothing is asked.
    m_servico.statusDescricao = 200;
    {
        vorta::os::Registry reg;
        reg.openKey(QStringLiteral("\\Software\\Kalvi\\Vorta\\Servidor\\"), false);
        ASSERT_TRUE(reg.deleteValue(QStringLiteral("Processamento")));
    }
    const qsizetype pedidos = m_servico.pedidosFeitos().size();
    sql(QStringLiteral("UPDATE Entrega SET ResultadoTipo = NULL, ResultadoProcessamento = NULL"));
    f->ReabreListas();
    f->DBGrid_Disquete->clearSelectedRows();
    seleciona(f->DBGrid_Disquete, {0});
    consulta(f, {{MessageKind::Error, QStringLiteral("*1568 - M1568\r\n\r\n")}});
    EXPECT_EQ(m_servico.pedidosFeitos().size(), pedidos);
    EXPECT_EQ(resultado("c1.zip", "1"), QStringLiteral("|"));
}

// The grids draw each known type's image, centred at the cell's top; a double click opens
// the window of a row with a result (the report of a refused TUV carries its legal
// text), and nothing for a row without one; "Sem Processamento" offers no report.
TEST_F(Resultado, ImagesWindowAndReport)
{
    fila({{"TUV", "1.1.2", "k1", "d1.txt", nullptr, "2025-03-05T10:03:00.000", "Recusado"},
          {"ZIR", "1", "k2", "d2.zip", nullptr, "2025-03-05T10:02:00.000", "Sem Processamento"},
          {"ZIR", "1", "k3", "d3.zip", nullptr, "2025-03-05T10:01:00.000", "Outro"}});
    sql(QStringLiteral("UPDATE Entrega SET ResultadoProcessamento = 'Registro 10: data inválida' WHERE Arquivo = "
                       "'d1.txt'"));
    TSel_Entrega* f = abre(false);
    vorta::ui::DBGrid* g = f->DBGrid_Disquete;
    const QImage tela = g->viewport()->grab().toImage();
    tela.save(vorta::testing::screenshotFolder() + QStringLiteral("/resultado_grade.png"));
    auto cores = [&](int linha) {
        const QRect r = g->visualRect(g->model()->index(linha, 0));
        int vermelho = 0, amarelo = 0, outras = 0;
        for (int y = r.top(); y <= r.bottom(); ++y)
            for (int x = r.left(); x <= r.right(); ++x) {
                const QColor c = tela.pixelColor(x * tela.devicePixelRatio(), y * tela.devicePixelRatio());
                if (c.red() > 150 && c.green() < 80 && c.blue() < 80)
                    ++vermelho;
                else if (c.red() > 200 && c.green() > 180 && c.blue() < 120)
                    ++amarelo;
                else if (c.saturation() > 80)
                    ++outras;
            }
        return QStringLiteral("%1/%2/%3").arg(vermelho > 0).arg(amarelo > 0).arg(outras > 0);
    };
    // The current row is highlighted: only its image's colours are looked for.
    EXPECT_TRUE(cores(0).startsWith(QLatin1String("1/0"))) << "refused: the red cross";
    EXPECT_TRUE(cores(1).startsWith(QLatin1String("0/1"))) << "without processing: the yellow clock";
    EXPECT_EQ(cores(2), QStringLiteral("0/0/0")) << "an unknown type draws nothing, not even its text";

    QStringList vistos;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        if (auto* w = dynamic_cast<TResultadoProcessamento*>(&form)) {
            form.show();
            user::activate(&form);
            vistos << w->MemoResultado->toPlainText() + QStringLiteral("|") + w->edSistema->text()
                          + (w->BtRelatorio->isVisible() ? QStringLiteral("|relatório") : QString());
            form.grab().save(vorta::testing::screenshotFolder() + QStringLiteral("/resultado_janela.png"));
            if (w->BtRelatorio->isVisible())
                user::alt(QLatin1Char('V'));
            return int(mrOk);
        }
        // The report's preview.
        EXPECT_TRUE(ResultadoProc);
        if (ResultadoProc) {
            bool logo = false;
            for (const auto& i : ResultadoProc->qrPrinter().page(0).items)
                logo = logo || (i.name == QLatin1String("imgLogo") && !i.image.isNull());
            EXPECT_TRUE(logo) << "the header's logo";
            ResultadoProc->exportToPdf(vorta::testing::screenshotFolder() + QStringLiteral("/resultado_relatorio_")
                                       + QString::number(vistos.size()) + QStringLiteral(".pdf"));
            QStringList t;
            for (const auto& p : ResultadoProc->qrPrinter().texts(0))
                t << p.text;
            vistos << t.join(QLatin1Char('~'));
        }
        return int(mrOk);
    });
    auto dobra = [&](int linha) {
        user::activate(g);
        user::click(g);
        user::key(Qt::Key_Home, Qt::ControlModifier);
        for (int i = 0; i < linha; ++i)
            user::key(Qt::Key_Down);
        QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(linha, 2)).center());
    };
    dobra(2);
    ASSERT_EQ(vistos.size(), 2) << "a type without an image still has its window and report";
    vistos.clear();
    sql(QStringLiteral("UPDATE Entrega SET ResultadoTipo = NULL WHERE Arquivo = 'd3.zip'"));
    f->ReabreListas();
    dobra(2);
    EXPECT_TRUE(vistos.isEmpty()) << "no result, no window";
    dobra(1);
    ASSERT_EQ(vistos.size(), 1);
    EXPECT_EQ(vistos[0], QStringLiteral("|ZIR"));
    vistos.clear();
    dobra(0);
    ASSERT_EQ(vistos.size(), 2);
    EXPECT_EQ(vistos[0], QStringLiteral("Registro 10: data inválida|TUV|relatório"));
    const QString relatorio = vistos[1];
    for (const char* esperado : {"Notificação", "NOS TERMOS DO Art. 4°, INC. II", "Registro 10: data inválida",
                                 "28.100.000-1", "N - Normal", "CRC-d1.txt", "TUV - "})
        EXPECT_TRUE(relatorio.contains(QString::fromUtf8(esperado))) << esperado << "\n" << relatorio.toStdString();
}

// The window of a processed row: its memo is read-only; the receipt of a sent row carries
// its protocol and is freed once seen; a report that cannot be built is 1567 and nothing
// more, the report is freed and the window stays for Retornar.
TEST_F(Resultado, ReportThatCannotBeBuiltIs1567)
{
    fila({{"KOB", "13.0", "k1", "f1.txt", "KB000001", nullptr, "Processado"}});
    sql(QStringLiteral("UPDATE Entrega SET ResultadoProcessamento = 'Recibo 12' WHERE Arquivo = 'f1.txt'"));
    TSel_Entrega* f = abre(true);
    vorta::ui::DBGrid* g = f->DBGrid_Enviados;
    int previas = 0;
    bool falhar = false;
    QStringList recibo;
    QString memo;
    bool relatorioLiberado = false, janelaFechou = false;
    vorta::ui::setModalHook([&](vorta::ui::Form& form) {
        if (auto* w = dynamic_cast<TResultadoProcessamento*>(&form)) {
            form.show();
            user::activate(&form);
            user::click(w->MemoResultado);
            user::type(QStringLiteral("xyz"));
            user::key(Qt::Key_Delete);
            memo = w->MemoResultado->toPlainText();
            falhar = false;
            user::alt(QLatin1Char('V'));
            EXPECT_FALSE(ResultadoProc) << "the receipt is freed once seen";
            user::activate(&form);
            falhar = true;
            {
                ScriptedDialogs d;
                d.expectMessage(MessageKind::Error, QStringLiteral("1567 - M1567"), {mrOk}, mrOk);
                user::alt(QLatin1Char('V'));
            }
            relatorioLiberado = !ResultadoProc;
            EXPECT_TRUE(form.isVisible()) << "the window stays after the failure";
            form.grab().save(vorta::testing::screenshotFolder() + QStringLiteral("/resultado_janela_1567.png"));
            user::activate(&form);
            user::alt(QLatin1Char('R'));
            janelaFechou = form.modalResult() == vorta::ui::mrCancel;
            return form.modalResult();
        }
        ++previas;
        if (falhar)
            throw vorta::Exception(QStringLiteral("Sem memória para a visualização"));
        for (const auto& p : ResultadoProc->qrPrinter().texts(0))
            recibo << p.text;
        return int(mrOk);
    });
    user::activate(g);
    user::click(g);
    QTest::mouseDClick(g->viewport(), Qt::LeftButton, {}, g->visualRect(g->model()->index(0, 2)).center());
    EXPECT_EQ(previas, 2);
    EXPECT_EQ(memo, QStringLiteral("Recibo 12"));
    for (const char* esperado : {"Comprovante de Validação de KOB", "KB000001", "Recibo 12", "KOB - ",
                                 "COMUNICAMOS QUE A DECLARAÇÃO ABAIXO IDENTIFICADA FOI RECEPCIONADA"})
        EXPECT_TRUE(recibo.join(QLatin1Char('~')).contains(QString::fromUtf8(esperado)))
            << esperado << "\n" << recibo.join(QLatin1Char('~')).toStdString();
    EXPECT_FALSE(recibo.contains(QStringLiteral("CRC-f1.txt"))) << "a sent row prints its protocol";
    EXPECT_TRUE(relatorioLiberado);
    EXPECT_TRUE(janelaFechou);
    EXPECT_FALSE(ResultadoProc);
    EXPECT_FALSE(ResultadoProcessamento);
}

// While the rows are asked the progress panel shows, its bar running from 0 to the
// number of rows minus one; it is hidden afterwards.
TEST_F(Resultado, ProgressPanelWhileAsking)
{
    fila({{"ZIR", "1", "k1", "g1.zip", nullptr, "2025-03-05T10:03:00.000"},
          {"ZIR", "1", "k2", "g2.zip", nullptr, "2025-03-05T10:02:00.000"},
          {"ZIR", "1", "k3", "g3.zip", nullptr, "2025-03-05T10:01:00.000"}});
    for (const char* a : {"g1.zip", "g2.zip", "g3.zip"})
        m_servico.responde(QString::fromLatin1(a), ok(QStringLiteral("Processado"), QStringLiteral("R")));
    TSel_Entrega* f = abre(false);
    std::map<int, QString> vistos; // by bar value: "visible/maximum"
    auto anterior = f->HTTPRIO1->http.onIdle;
    f->HTTPRIO1->http.onIdle = [&] {
        if (anterior)
            anterior();
        const int v = f->ProgressBar1->value();
        if (!vistos.count(v)) {
            vistos[v] = QStringLiteral("%1/%2").arg(f->pnlProgresso->isVisible()).arg(f->ProgressBar1->maximum());
            if (v == 0)
                f->grab().save(vorta::testing::screenshotFolder() + QStringLiteral("/resultado_progresso.png"));
        }
    };
    seleciona(f->DBGrid_Disquete, {0, 1, 2});
    consulta(f);
    EXPECT_EQ(vistos, (std::map<int, QString>{{0, "1/2"}, {1, "1/2"}, {2, "1/2"}}));
    EXPECT_EQ(resultado("g3.zip", "1"), QStringLiteral("Processado|R"));
}
