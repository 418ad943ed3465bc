// Delivery protocols reprinted from the copied and sent tabs through the in-memory
// printer: which texts each kind and form prints, the page counts, the stops, and the
// temporaries. Each print is also written to PDF for a person to look at.
#include "UDMEntrega.h"
#include "URel_Prot_Net.h"
#include "USel_Entrega.h"

#include "EntregaTeste.h"

#include "platform/core/Clock.h"
#include "platform/db/Database.h"
#include "platform/report/PageRenderer.h"
#include "platform/report/ReportPrinter.h"
#include "platform/report/TextLayout.h"
#include "platform/ui/Application.h"
#include "testing/ScriptedDialogs.h"
#include "testing/Screenshots.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QDir>
#include <QFile>
#include <QTabBar>

#include <gtest/gtest.h>

#include <map>

namespace user = vorta::testing::user;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;
using vorta::ui::mrOk;
using namespace vorta::report;

namespace {

const QDateTime kAgora(QDate(2025, 3, 10), QTime(9, 15, 0));

struct Linha {
    const char* sistema;
    const char* arquivo;
    const char* motivo;
    const char* dados; // the stored reply; null: a copied row
};

// What a printed page shows, by the name of the item that printed it.
std::map<QString, QString> textos(const PreparedReport& r, int pagina = 0)
{
    std::map<QString, QString> m;
    for (const PageItem& i : r.page(pagina).items)
        if (i.kind == PageItem::Kind::Text)
            m[i.name] = i.text();
    return m;
}
bool temImagem(const PreparedReport& r, const QString& nome)
{
    for (const PageItem& i : r.page(0).items)
        if (i.kind == PageItem::Kind::Image && i.name == nome)
            return true;
    return false;
}

class Protocolo : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::setClock([] { return kAgora; });
        QString msgs = QStringLiteral("DELETE FROM mensagem;");
        for (const char* m : {"505|M505 %s/%s/%s", "506|M506 %s", "509|M509 %d", "513|M513"}) {
            const QStringList p = QString::fromLatin1(m).split(QLatin1Char('|'));
            msgs += QStringLiteral("INSERT INTO mensagem VALUES (%1, '%2');").arg(p[0], p[1]);
        }
        vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), msgs);
        InicializarVariaveisGlobais();
        setPrinterDriver(&m_impressora);
        InstalaProtocolos();
    }
    void TearDown() override
    {
        vorta::Component::free(Sel_Entrega);
        vorta::Component::free(DMEntrega);
        setPrinterDriver(nullptr);
        vorta::setClock({});
        ProtocoloEntrega = {};
    }
    QString arquivos() const { return m_inst.folder(QStringLiteral("arquivos")); }

    // The first page of a declaration as its module writes it: an EMF picture.
    void imagem(const QString& nome, const QString& titulo)
    {
        Report r;
        Band* b = r.addBand(BandType::Title, QStringLiteral("b"), 250);
        Label* l = b->addLabel(QStringLiteral("t"), titulo, 10, 10, 150, 10);
        l->font.pointSize = 20;
        auto* s = b->add<Shape>(Shape::Kind::Rectangle);
        s->setGeometry(5, 5, 185, 240);
        const QStringList emf = r.exportToEmf(arquivos() + QStringLiteral("img.emf"));
        ASSERT_EQ(emf.size(), 1);
        QFile::remove(arquivos() + nome);
        ASSERT_TRUE(QFile::rename(emf[0], arquivos() + nome));
    }
    void fila(std::initializer_list<Linha> linhas)
    {
        for (const Linha& l : linhas) {
            const QString arquivo = QString::fromLatin1(l.arquivo);
            const QString sistema = QString::fromLatin1(l.sistema);
            auto q = [](const QString& v) { return QStringLiteral("'%1'").arg(v); };
            const QString dados = l.dados ? QString::fromUtf8(l.dados) : QString();
            vorta::db::executeScript(
                m_inst.folder(QStringLiteral("dados")),
                QStringLiteral("INSERT INTO Entrega (Sistema, Versao, Chave, Arquivo, CRC, Protocolo, Data_Geracao, "
                               "Data_Copia, Data_Entrega, Dados_Entrega, Inscricao, Referencia, Motivo, Nome) VALUES "
                               "(%1, '1', %2, %3, %8, %4, '2025-03-01T08:00:00.000', '2025-03-02T08:00:00.000', "
                               "%5, %6, '281000001', '2024', %7, 'A')")
                    .arg(q(sistema), q(arquivo.left(6)), q(arquivo), l.dados ? q(dados.mid(3, 8)) : QStringLiteral("NULL"),
                         l.dados ? QStringLiteral("'2025-03-05T10:00:00.000'") : QStringLiteral("NULL"),
                         l.dados ? q(dados) : QStringLiteral("NULL"), q(QString::fromLatin1(l.motivo)))
                    .arg(q(QStringLiteral("CRC") + arquivo.left(6))));
            QFile f(arquivos() + arquivo);
            ASSERT_TRUE(f.open(QIODevice::WriteOnly));
            f.write("declaração");
            const QString img = NomeImagemReimpressao(sistema, arquivo);
            imagem(img, sistema + QStringLiteral(" - primeira página de ") + arquivo);
        }
    }
    static QString NomeImagemReimpressao(const QString& s, const QString& arquivo)
    {
        return QStringLiteral("P")
               + (s == QLatin1String("RUX") || s == QLatin1String("LIM") || s == QLatin1String("ZIR")
                          || s == QLatin1String("POZ")
                      ? arquivo
                      : arquivo.mid(1));
    }

    TSel_Entrega* abre(bool enviados)
    {
        vorta::createInto<TDMEntrega>(DMEntrega, nullptr);
        auto* f = vorta::createInto<TSel_Entrega>(Sel_Entrega, nullptr);
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
    // The grid row that lists the file, -1 when none does.
    static int linhaDe(vorta::ui::DBGrid* grade, const char* arquivo)
    {
        for (int r = 0; r < grade->rowCount(); ++r)
            for (int col = 0; col < grade->shownColumnCount(); ++col)
                if (grade->cellText(r, col) == QLatin1String(arquivo))
                    return r;
        return -1;
    }
    // Alt+I, answering each message with OK.
    void reimprime(std::initializer_list<std::pair<MessageKind, QString>> avisos)
    {
        ScriptedDialogs d;
        for (const auto& [k, t] : avisos)
            d.expectMessage(k, t, {mrOk}, mrOk);
        user::alt(QLatin1Char('I'));
    }
    // The job's pages as PDF for a person to look at.
    static void pdf(const MemoryPrinterDriver::Job& job, const QString& nome)
    {
        const QString pasta = vorta::testing::screenshotFolder() + QStringLiteral("/protocolos");
        QDir().mkpath(pasta);
        writePdf(job.pages, pasta + QLatin1Char('/') + nome + QStringLiteral(".pdf"));
    }
    QStringList temporarios() const
    {
        return QDir(arquivos()).entryList({QStringLiteral("*.QRP"), QStringLiteral("*.emf")}, QDir::Files);
    }

    vorta::testing::TempInstallation m_inst;
    MemoryPrinterDriver m_impressora;
};

QByteArray retorno(const char* protocolo, const char* id, const char* nome)
{
    return QByteArray("200") + protocolo + "05/03/2025 10:00:00" + id + nome;
}

} // namespace

// Each kind reprinted from the sent tab: the reply's protocol, the identification in its
// mask, the Internet block and no clerk lines; the communication keeps its clerk lines.
TEST_F(Protocolo, SentTabPrintsTheInternetFormOfEachKind)
{
    struct Caso {
        const char* sistema;
        const char* arquivo;
        const char* motivo;
        QByteArray dados;
        const char* idNome;
        QString id;
        QString caption;
        bool clerk;
    } casos[] = {
        {"TUV", "T00011.txt", "1", retorno("TV000001", "12345678901", "TRANSPORTES B"), "QRL_NIRE", "12.3.4567890-1",
         "Protocolo de Entrega da TUV", false},
        {"WEN", "W00012.txt", "N", retorno("WN000001", "12345678000199", "POSTO C"), "QRL_CNPJ", "12.345.678/0001-99",
         "Protocolo de Entrega do Movimento", false},
        {"WEN/Com", "W00013.txt", "C", retorno("WC000002", "12345678000199", "MANUTENCAO D"), "QRL_CNPJ",
         "12.345.678/0001-99", "Protocolo de Entrega do Comunicado", true},
        {"HAX", "H00014.txt", "N", retorno("HX000001", "12345678000199", "ESTAB E"), "QRL_CNPJ", "12.345.678/0001-99",
         "Protocolo de Entrega do Movimento do HAX", false},
        {"ZIR", "Z00015.zip", "N", retorno("ZR000001", "12345678000199", "FRIGORIFICO F"), "QRL_CNPJ",
         "12.345.678/0001-99", "Protocolo de Entrega do Movimento", false},
        {"RUX", "R00016.txt", "N", retorno("RX000001", "12345678000199", "FAZENDA G"), "QRL_CNPJ", "12.345.678/0001-99",
         "Protocolo de Entrega do Movimento", false},
        {"LIM", "L00019.txt", "N", retorno("LM000001", "12345678000199", "REVENDA L"), "QRL_CNPJ", "",
         "Protocolo de Entrega do Movimento", false},
        {"KOB", "K00017.txt", "043", retorno("KB000001", "98765", "PRODUTOR H"), "QRL_CPR", "98765",
         "Protocolo de Entrega", false},
        {"KOB", "K00018.txt", "030", retorno("KB000002", "98766", "PRODUTOR I"), "QRL_CPR", "98766",
         "Protocolo de Entrega", false},
    };
    for (const Caso& c : casos)
        fila({{c.sistema, c.arquivo, c.motivo, c.dados.constData()}});
    TSel_Entrega* f = abre(true);
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.arquivo);
        m_impressora.jobs.clear();
        // Rows are listed in the order of their files' keys; find this one's row.
        const int linha = linhaDe(f->DBGrid_Enviados, c.arquivo);
        ASSERT_GE(linha, 0);
        f->DBGrid_Enviados->clearSelectedRows();
        seleciona(f->DBGrid_Enviados, {linha});
        reimprime({{MessageKind::Information, QStringLiteral("509 - M509 1")}});
        ASSERT_EQ(m_impressora.jobs.size(), 1);
        const auto& job = m_impressora.jobs[0];
        EXPECT_EQ(job.title, c.caption);
        pdf(job, QStringLiteral("internet_") + QString::fromLatin1(c.sistema).replace(QLatin1Char('/'), QLatin1Char('_'))
                     + QLatin1Char('_') + QLatin1String(c.motivo));
        auto t = textos(job.pages);
        EXPECT_EQ(t[QStringLiteral("Label_Protocolo")], QString::fromLatin1(c.dados.mid(3, 8)));
        EXPECT_EQ(t[QString::fromLatin1(c.idNome)], c.id);
        EXPECT_EQ(t[QStringLiteral("QRL_Data")], QStringLiteral("05/03/2025 10:00:00"));
        EXPECT_EQ(t[QStringLiteral("QRL_Agenfa")], QStringLiteral("Kalvi Internet"));
        EXPECT_EQ(t[QStringLiteral("QRL_ACodigo")], QStringLiteral("993.0007-9"));
        EXPECT_TRUE(temImagem(job.pages, QStringLiteral("QRI_Carimbo")));
        EXPECT_TRUE(temImagem(job.pages, QStringLiteral("QRI_RelatNet")));
        EXPECT_EQ(t.count(QStringLiteral("QRL_Matricula")), 0u);
        EXPECT_EQ(t.count(QStringLiteral("qrlMatricula")), c.clerk ? 1u : 0u);
        EXPECT_EQ(t.count(QStringLiteral("qrlNome")), c.clerk ? 1u : 0u);
        if (QLatin1String(c.sistema) == QLatin1String("KOB")) {
            EXPECT_EQ(t.count(QStringLiteral("QRL_TituloNet")), QLatin1String(c.motivo) == QLatin1String("030") ? 1u : 0u);
            EXPECT_EQ(t.count(QStringLiteral("Label_Data")), 0u);
            EXPECT_EQ(t.count(QStringLiteral("QRL_TituloAg")), 1u);
            EXPECT_NE(t[QStringLiteral("QRL_Produtor")], QString());
        } else {
            EXPECT_NE(t[QStringLiteral("QRL_RazSoc")], QString());
        }
        // Each value is written after its caption's text, never over it.
        std::map<QString, const PageItem*> itens;
        for (const PageItem& i : job.pages.page(0).items)
            itens[i.name] = &i;
        // The declaration over its signature caption; the movement's date line under it,
        // none on the KOB protocol; the communication's dispatch has its own date line.
        const bool kob = QLatin1String(c.sistema) == QLatin1String("KOB");
        if (!c.clerk) {
            ASSERT_TRUE(itens.count(QStringLiteral("lblAssinatura")));
            EXPECT_LT(itens[QStringLiteral("lblDeclaro")]->rect.bottom(),
                      itens[QStringLiteral("lblAssinatura")]->rect.top() + 0.01);
            EXPECT_EQ(itens.count(QStringLiteral("lblDataAss")), kob ? 0u : 1u);
            if (!kob) {
                EXPECT_LT(itens[QStringLiteral("lblAssinatura")]->rect.bottom(),
                          itens[QStringLiteral("lblDataAss")]->rect.top() + 0.01);
            }
        } else {
            EXPECT_EQ(t[QStringLiteral("lblDataDespacho")], QStringLiteral("Data: ____ / ____ / ________"));
        }
        for (const auto& [rotulo, valor] : {std::pair{"lblIdentificacao", c.idNome}, {"lblRazSoc", "QRL_RazSoc"},
                                             {"lblProdutor", "QRL_Produtor"}}) {
            if (!itens.count(QString::fromLatin1(rotulo)))
                continue;
            const PageItem* r = itens[QString::fromLatin1(rotulo)];
            const PageItem* v = itens[QString::fromLatin1(valor)];
            ASSERT_NE(v, nullptr) << valor;
            const QString ate = r->text().left(r->text().indexOf(QLatin1Char(':')) + 1);
            EXPECT_GT(v->rect.left(), r->rect.left() + textWidthMm(r->font, ate)) << valor;
            EXPECT_LT(v->rect.left(), r->rect.left() + textWidthMm(r->font, ate + QStringLiteral("  _"))) << valor;
        }
        EXPECT_EQ(temporarios(), QStringList());
    }
}

// From the copied tab: the CRC as the number, the clerk lines, no Internet block; the
// KOB emission date; a POZ protocol carries the row's CRC, no date, the logo by colour.
TEST_F(Protocolo, CopiedTabPrintsTheOfficeForm)
{
    fila({{"ZIR", "Z00009.zip", "N", nullptr},
          {"KOB", "K00009.txt", "043", nullptr},
          {"POZ", "Q00009.txt", "N", nullptr},
          {"WEN/Com", "W00009.txt", "C", nullptr}});
    TSel_Entrega* f = abre(false);
    seleciona(f->DBGrid_Disquete, {0, 1, 2, 3});
    m_impressora.color = true;
    reimprime({{MessageKind::Information, QStringLiteral("509 - M509 4")}});
    ASSERT_EQ(m_impressora.jobs.size(), 4);
    for (const auto& job : m_impressora.jobs) {
        auto t = textos(job.pages);
        const QString crc = t[QStringLiteral("Label_Protocolo")];
        EXPECT_TRUE(crc.startsWith(QLatin1String("CRC"))) << crc.toStdString();
        EXPECT_EQ(t.count(QStringLiteral("QRL_Agenfa")), 0u);
        EXPECT_FALSE(temImagem(job.pages, QStringLiteral("QRI_Carimbo")));
        // The communication's own clerk lines, with the clerk's name.
        const bool comunicado = crc == QLatin1String("CRCW00009");
        EXPECT_EQ(t.count(QStringLiteral("QRL_Matricula")), comunicado ? 0u : 1u);
        EXPECT_EQ(t.count(QStringLiteral("qrlMatricula")), comunicado ? 1u : 0u);
        EXPECT_EQ(t.count(QStringLiteral("qrlNome")), comunicado ? 1u : 0u);
        pdf(job, QStringLiteral("agenfa_") + crc);
        if (crc == QLatin1String("CRCK00009")) {
            EXPECT_EQ(t[QStringLiteral("Label_Data")], QStringLiteral("10/03/2025 09:15:00"));
        }
        if (crc == QLatin1String("CRCQ00009")) {
            EXPECT_EQ(t[QStringLiteral("Label_DATA")], QString()) << "a copy has no delivery date";
            EXPECT_TRUE(temImagem(job.pages, QStringLiteral("imgKalviCOR")));
            EXPECT_FALSE(temImagem(job.pages, QStringLiteral("imgKalviPB")));
        }
    }
    // A monochrome printer gets the black-and-white logo.
    m_impressora.jobs.clear();
    m_impressora.color = false;
    f->DBGrid_Disquete->clearSelectedRows();
    seleciona(f->DBGrid_Disquete, {2});
    reimprime({{MessageKind::Information, QStringLiteral("509 - M509 1")}});
    ASSERT_EQ(m_impressora.jobs.size(), 1);
    EXPECT_FALSE(temImagem(m_impressora.jobs[0].pages, QStringLiteral("imgKalviCOR")));
    EXPECT_TRUE(temImagem(m_impressora.jobs[0].pages, QStringLiteral("imgKalviPB")));
    EXPECT_EQ(temporarios(), QStringList());
}

// The POZ receipt from the sent tab: the reply's protocol and delivery date, its clerk
// lines, and no Internet block (it has one form).
TEST_F(Protocolo, PozReceiptFromTheSentTab)
{
    fila({{"POZ", "Q00031.txt", "N", retorno("PZ000031", "", "").constData()}});
    TSel_Entrega* f = abre(true);
    seleciona(f->DBGrid_Enviados, {0});
    reimprime({{MessageKind::Information, QStringLiteral("509 - M509 1")}});
    ASSERT_EQ(m_impressora.jobs.size(), 1);
    const auto& job = m_impressora.jobs[0];
    pdf(job, QStringLiteral("internet_POZ"));
    auto t = textos(job.pages);
    EXPECT_EQ(job.title, QStringLiteral("Protocolo de Entrega"));
    EXPECT_EQ(t[QStringLiteral("Label_Protocolo")], QStringLiteral("PZ000031"));
    EXPECT_EQ(t[QStringLiteral("Label_DATA")], QStringLiteral("05/03/2025 10:00:00"));
    for (const char* fixo : {"lblRecibo", "lblFormulario", "lblHomologacao", "QRL_Matricula", "QRL_Assinatura"})
        EXPECT_EQ(t.count(QString::fromLatin1(fixo)), 1u) << fixo;
    EXPECT_EQ(t.count(QStringLiteral("QRL_Agenfa")), 0u);
    EXPECT_TRUE(temImagem(job.pages, QStringLiteral("QRI_RelatNet")));
    EXPECT_EQ(temporarios(), QStringList());
}

// KOB 051 prints its saved report twice and counts twice its pages; 001 counts but prints
// nothing; a missing image is 505 before anything prints; nothing selected is 506.
TEST_F(Protocolo, SavedReportsCountsAndStops)
{
    fila({{"KOB", "K00051.txt", "051", nullptr}, {"KOB", "K00001.txt", "001", nullptr}});
    PreparedReport salvo;
    for (int p = 0; p < 3; ++p) {
        PageItem i;
        i.kind = PageItem::Kind::Text;
        i.rect = QRectF(20, 20, 100, 10);
        i.lines = {QStringLiteral("Relatório salvo, página %1").arg(p + 1)};
        i.name = QStringLiteral("t");
        salvo.addPage().items << i;
    }
    for (const char* img : {"P00051.txt", "P00001.txt"})
        salvo.saveToFile(arquivos() + QLatin1String(img));
    TSel_Entrega* f = abre(false);
    reimprime({{MessageKind::Information, QStringLiteral("506 - M506 impresso")}});
    seleciona(f->DBGrid_Disquete, {0, 1});
    reimprime({{MessageKind::Information, QStringLiteral("509 - M509 12")}});
    ASSERT_EQ(m_impressora.jobs.size(), 1) << "reason 001 prints nothing";
    EXPECT_EQ(m_impressora.jobs[0].copies, 2);
    EXPECT_EQ(m_impressora.printedSheets(), 6);
    EXPECT_EQ(temporarios(), QStringList());

    m_impressora.jobs.clear();
    QFile::remove(arquivos() + QStringLiteral("P00001.txt"));
    reimprime({{MessageKind::Error, QStringLiteral("505 - M505 a impressão/a impressão/KOB")}});
    EXPECT_TRUE(m_impressora.jobs.isEmpty());
    EXPECT_TRUE(f->bt_Imprimir->isEnabled());
    EXPECT_FALSE(f->pnlImprimir->isVisible());
}

// An image that is no picture, or a printer that fails: 513, nothing printed, no
// temporary left, the panel hidden and the button back.
TEST_F(Protocolo, PrintFailuresAre513)
{
    fila({{"ZIR", "Z00007.zip", "N", nullptr}, {"RUX", "R00008.txt", "N", nullptr}});
    QFile img(arquivos() + QStringLiteral("PZ00007.zip"));
    ASSERT_TRUE(img.open(QIODevice::WriteOnly | QIODevice::Truncate));
    img.write("no picture");
    img.close();
    TSel_Entrega* f = abre(false);
    struct Caso {
        const char* nome;
        const char* arquivo;
        bool impressora;
    } casos[] = {{"image that is no picture", "Z00007.zip", true}, {"no printer", "R00008.txt", false}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        m_impressora.installed = c.impressora;
        m_impressora.jobs.clear();
        f->DBGrid_Disquete->clearSelectedRows();
        const int linha = linhaDe(f->DBGrid_Disquete, c.arquivo);
        ASSERT_GE(linha, 0);
        seleciona(f->DBGrid_Disquete, {linha});
        reimprime({{MessageKind::Information, QStringLiteral("509 - M509 1")},
                   {MessageKind::Error, QStringLiteral("513 - M513")}});
        EXPECT_TRUE(m_impressora.jobs.isEmpty());
        EXPECT_EQ(temporarios(), QStringList());
        EXPECT_FALSE(f->pnlImprimir->isVisible());
        EXPECT_TRUE(f->bt_Imprimir->isEnabled());
    }
}

// The declaration texts begin after an indent of 20 blanks: on the printed page the first
// line's ink starts that far right of the label's edge, the next line at the edge.
TEST_F(Protocolo, DeclarationTextIsIndentedByTwentyBlanks)
{
    fila({{"WEN", "W00021.txt", "N", retorno("WN000021", "12345678000199", "POSTO J").constData()},
          {"KOB", "K00022.txt", "030", retorno("KB000022", "98767", "PRODUTOR K").constData()}});
    TSel_Entrega* f = abre(true);
    seleciona(f->DBGrid_Enviados, {0, 1});
    reimprime({{MessageKind::Information, QStringLiteral("509 - M509 2")}});
    ASSERT_EQ(m_impressora.jobs.size(), 2);
    const double dpi = 300, k = dpi / 25.4;
    for (const auto& job : m_impressora.jobs) {
        SCOPED_TRACE(job.title.toStdString());
        const PageItem* declaro = nullptr;
        for (const PageItem& i : job.pages.page(0).items)
            if (i.name == QLatin1String("lblDeclaro"))
                declaro = &i;
        ASSERT_NE(declaro, nullptr);
        EXPECT_TRUE(declaro->lines[0].trimmed().startsWith(QLatin1String("Declaro")));
        const QImage pagina = renderPageImage(job.pages, 0, dpi);
        QDir().mkpath(vorta::testing::screenshotFolder() + QStringLiteral("/protocolos"));
        pagina.save(vorta::testing::screenshotFolder() + QStringLiteral("/protocolos/declaro_")
                    + QString::number(&job - m_impressora.jobs.constData()) + QStringLiteral(".png"));
        // The leftmost dark pixel of a printed line, in mm from the label's left edge.
        auto tinta = [&](int linha) {
            const int y0 = int((declaro->rect.top() + linha * declaro->lineHeight) * k);
            const int y1 = int((declaro->rect.top() + (linha + 1) * declaro->lineHeight) * k);
            const int x0 = int(declaro->rect.left() * k);
            for (int x = x0; x < int(declaro->rect.right() * k); ++x)
                for (int y = y0; y < y1; ++y)
                    if (qGray(pagina.pixel(x, y)) < 128)
                        return (x - x0) / k;
            return -1.0;
        };
        const double recuo = textWidthMm(declaro->font, QString(20, QLatin1Char(' ')));
        ASSERT_GT(recuo, 10.0);
        EXPECT_NEAR(tinta(0), recuo, 1.0);
        if (declaro->lines.size() > 1) {
            EXPECT_LT(tinta(1), 1.0);
            EXPECT_GE(tinta(1), 0.0);
        }
    }
}
