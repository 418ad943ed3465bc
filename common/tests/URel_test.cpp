// The register listings and the menu form over them: prepared from an installation,
// written to PDF and read back.
#include "Menu.h"
#include "T_Cad_Contabilista.h"
#include "T_Cad_Municipio.h"
#include "T_DM_Comuns.h"
#include "URel_Agenfa.h"
#include "URel_Comercio_Industria.h"
#include "URel_Contabilista.h"
#include "URel_Municipio.h"
#include "URel_PessoaFisica.h"
#include "URel_PessoaJuridica.h"
#include "URel_Produtor.h"
#include "URel_Produtos.h"
#include "URel_TipoBairro.h"
#include "URel_TipoLogradouro.h"
#include "uDmVortaModule.h"
#include "uRel.h"

#include "platform/core/Clock.h"
#include "platform/db/Database.h"
#include "platform/report/ReportPreview.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>

#include <functional>
#include <memory>

#include <gtest/gtest.h>

using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

const QString SemRegistros = QStringLiteral("Não existem registros para serem exibidos!");

// The text of a PDF as a reader extracts it, line by line as laid out, blanks collapsed.
QString textoDoPdf(const QString& arquivo)
{
    QProcess p;
    p.start(QStringLiteral(VORTA_PDFTOTEXT), {QStringLiteral("-layout"), QStringLiteral("-enc"), QStringLiteral("UTF-8"), arquivo,
                                               QStringLiteral("-")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0)
        return QString();
    return QString::fromUtf8(p.readAllStandardOutput()).simplified();
}

// Texts of a prepared page in drawing order.
QStringList textosDaPagina(const vorta::report::Report& r, int pagina)
{
    QStringList out;
    for (const vorta::report::PlacedText& t : r.qrPrinter().texts(pagina))
        out << t.text;
    return out;
}

// Whether every part appears in the text, each after the one before.
::testing::AssertionResult emOrdem(const QString& texto, const QStringList& partes)
{
    qsizetype de = 0;
    for (const QString& parte : partes) {
        const qsizetype em = texto.indexOf(parte, de);
        if (em < 0)
            return ::testing::AssertionFailure() << "\"" << parte.toStdString() << "\" not found after position "
                                                 << de << " in: " << texto.toStdString();
        de = em + parte.size();
    }
    return ::testing::AssertionSuccess();
}

class Listagens : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_savedDirDados = DirDados;
        vorta::setClock([] { return QDateTime(QDate(2026, 3, 14), QTime(9, 30, 15)); });
        m_inst.installDatabase();
        vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), QStringLiteral(
            "INSERT INTO Responsavel (Resp_CPF, Resp_CRC, Resp_Nome, Resp_DDDFone, Resp_Fone, Resp_Email) VALUES"
            " ('52998224725', 'QX000777K0', 'DANIEL', '63', '32150000', 'daniel@contab.qx'),"
            " ('11144477735', 'SP123456O5', 'CARLA', '61', '33330000', 'carla@contab.qx');"
            "INSERT INTO Produto (Pro_Codigo, Pro_Descricao, Pro_Unidade) VALUES"
            " ('00002', 'MILHO EM GRAO', 'SC'), ('00001', 'BOI GORDO', 'CB'), ('00003', 'ARROZ', 'KG');"
            "INSERT INTO Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, Mun_Propriedade,"
            " Age_Codigo, Resp_CPF, TipLog_Codigo, Con_Logradouro, Con_Numero, Con_CEP) VALUES"
            " ('289000015', 'ZELIA PRODUTORA', 'FAZENDA BOA ESPERA', 'IE', 1002, 1002, '10002', '11144477735',"
            "  'R', 'DAS FLORES', '12', '77300100'),"
            " ('285100018', 'ANTONIO PRODUTOR', 'SITIO TRES MARIAS', 'IE', 1001, 1001, '10001', NULL,"
            "  'AV', 'CENTRAL', '5', '77000100'),"
            " ('280000012', 'MERCADO CENTRAL', NULL, 'IE', 1003, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            " ('281234567', 'BAZAR DO POVO', NULL, 'IE', 1001, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            " ('11222333000181', 'VAREJO QX LTDA', 'LOJA QX', 'CNPJ', 1001, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            " ('04252011000110', 'ATACADO NORTE SA', 'NORTE', 'CNPJ', 1002, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            " ('52998224725', 'PEDRO COMPRADOR', NULL, 'CPF', 1003, NULL, NULL, NULL, NULL, NULL, NULL, NULL),"
            " ('11144477735', 'BEATRIZ COMPRADORA', NULL, 'CPF', 1001, NULL, NULL, NULL, NULL, NULL, NULL, NULL)"));
        vorta::ui::createForm(DM_Comuns);
        ASSERT_TRUE(DM_Comuns);
        vorta::createInto<TForm1>(Form1, vorta::Application::instance());
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(Form1);
        vorta::Component::free(DM_Comuns);
        vorta::setClock({});
        DirDados = m_savedDirDados;
    }

    // Clicks the menu command and keeps what its preview showed.
    struct Previa {
        int vezes = 0;
        QString titulo;
        QStringList pagina1;
        QString pdf;
    };
    Previa comando(vorta::ui::MenuItem* item, const QString& amostra = QString())
    {
        Previa visto;
        vorta::ui::setModalHook([&](vorta::ui::Form& form) {
            auto& previa = dynamic_cast<vorta::report::ReportPreview&>(form);
            ++visto.vezes;
            EXPECT_GE(previa.pageCount(), 1);
            if (auto* r = Rel_Amostra()) {
                visto.titulo = r->title;
                visto.pagina1 = textosDaPagina(*r, 0);
                if (!amostra.isEmpty())
                    visto.pdf = escreve(*r, amostra);
            }
            return int(vorta::ui::mrCancel);
        });
        item->click();
        vorta::ui::setModalHook(nullptr);
        return visto;
    }
    // The report the command created, found among the menu form's components.
    TRel* Rel_Amostra() const
    {
        for (vorta::Component* c : Form1->components())
            if (auto* r = dynamic_cast<TRel*>(c))
                return r;
        return nullptr;
    }
    // Writes the prepared report beside the test program for a person to look at and
    // returns the text read back from the file.
    static QString escreve(vorta::report::Report& r, const QString& nome)
    {
        const QString pasta = QCoreApplication::applicationDirPath() + QStringLiteral("/report-samples");
        EXPECT_TRUE(QDir().mkpath(pasta));
        const QString arquivo = pasta + QLatin1Char('/') + nome + QStringLiteral(".pdf");
        QFile::remove(arquivo);
        r.exportToPdf(arquivo);
        return textoDoPdf(arquivo);
    }

    vorta::testing::TempInstallation m_inst;

private:
    QString m_savedDirDados;
};

struct CasoDeListagem {
    const char* amostra;
    std::function<vorta::ui::MenuItem*(TForm1&)> item;
    const char* titulo;
    QStringList linhas;  // in the order they must print
};

TEST_F(Listagens, EachListingPrintsItsTitleTheDateAndOneRowPerRecordInOrder)
{
    const CasoDeListagem casos[] = {
        {"Rel_Agenfa", [](TForm1& f) { return f.AGENFA1; }, "Listagem de AGENFAs - Ordem Alfabética",
         {"10001", "AGENFA CAPITAL", "61", "32100001", "10002", "AGENFA NORTE", "10003", "AGENFA SUL"}},
        {"Rel_Contabilista", [](TForm1& f) { return f.Contabilista2; }, "Listagem de Contabilista - Ordem Alfabética",
         {"111.444.777-35", "SP-123456/O-5", "CARLA", "61", "33330000", "carla@contab.qx", "529.982.247-25",
          "QX-000777/K-0", "DANIEL"}},
        {"Rel_Produtor", [](TForm1& f) { return f.ProdutorRural1; },
         " Listagem de Produtor Rural - ordem alfabética ",
         {"28.510.001-8", "ANTONIO PRODUTOR", "SITIO TRES MARIAS", "AV", "CENTRAL", "PORTO DAS ARAUCARIAS",
          "AGENFA CAPITAL", "28.900.001-5", "ZELIA PRODUTORA", "FAZENDA BOA ESPERA", "DAS FLORES",
          "SANTA LUZIA DO NORTE", "AGENFA NORTE", "CARLA"}},
        {"Rel_Comercio_Industria", [](TForm1& f) { return f.ComercioIndustria1; },
         " Listagem de Remetente/Destinatário - ordem alfabética ",
         {"28.123.456-7", "BAZAR DO POVO", "PORTO DAS ARAUCARIAS", "QX", "28.000.001-2", "MERCADO CENTRAL",
          "BOA VISTA DO SUL"}},
        {"Rel_PessoaJuridica", [](TForm1& f) { return f.PessoaJuridica1; }, "Listagem de Pessoa Jurídica",
         {"04.252.011/0001-10", "ATACADO NORTE SA", "NORTE", "11.222.333/0001-81", "VAREJO QX LTDA", "LOJA QX"}},
        {"Rel_PessoaFisica", [](TForm1& f) { return f.PessoaFisica1; }, "Listagem de Pessoa Física",
         {"111.444.777-35", "BEATRIZ COMPRADORA", "529.982.247-25", "PEDRO COMPRADOR"}},
        {"Rel_Municipio", [](TForm1& f) { return f.Municipio2; }, "Listagem de Município - Ordem Alfabética",
         {"1003", "BOA VISTA DO SUL", "77350-000", "77399-999", "QX", "1001", "PORTO DAS ARAUCARIAS", "1002",
          "SANTA LUZIA DO NORTE"}},
        {"Rel_Produtos", [](TForm1& f) { return f.Produto1; }, "Produtos",
         {"00003", "ARROZ", "KG", "00001", "BOI GORDO", "CB", "00002", "MILHO EM GRAO", "SC"}},
        {"Rel_TipoBairro", [](TForm1& f) { return f.TipodeBairro1; }, "Tipo de Bairro - Ordem Alfabética",
         {"B", "BAIRRO", "CEN", "CENTRO", "CJ", "CONJUNTO", "ZR", "ZONA RURAL"}},
        {"Rel_TipoLogradouro", [](TForm1& f) { return f.TipodeLogradouro1; },
         "Tipo de Logradouro - Ordem Alfabética", {}},
    };
    for (const CasoDeListagem& c : casos) {
        SCOPED_TRACE(c.amostra);
        const Previa p = comando(c.item(*Form1), QString::fromLatin1(c.amostra));
        ASSERT_EQ(1, p.vezes);
        const QString titulo = QString::fromUtf8(c.titulo);
        // The title keeps its blanks on the page.
        EXPECT_TRUE(p.pagina1.contains(titulo)) << p.pagina1.join(QLatin1Char('|')).toStdString();
        const QStringList cabecalho{QStringLiteral("GOVERNO DO ESTADO DE ORVANIA"), QStringLiteral("KALVI"),
                                    QStringLiteral("Vorta"), QStringLiteral("Página:"), QStringLiteral("1")};
        EXPECT_TRUE(emOrdem(p.pagina1.join(QLatin1Char('|')), cabecalho));
        EXPECT_TRUE(p.pagina1.contains(QStringLiteral("14/03/2026 09:30:15")));
        EXPECT_TRUE(p.pagina1.contains(QStringLiteral("Data:")));
        // What a reader of the file finds.
        ASSERT_FALSE(p.pdf.isEmpty());
        EXPECT_TRUE(p.pdf.contains(QStringLiteral("Página: 1")));
        EXPECT_TRUE(emOrdem(p.pdf, QStringList{QStringLiteral("GOVERNO DO ESTADO DE ORVANIA"), QStringLiteral("KALVI"),
                                               titulo.trimmed(), QStringLiteral("Data: 14/03/2026 09:30:15")}
                                       + c.linhas));
    }
}

TEST_F(Listagens, OneDetailRowPerRecordOfTheDataSet)
{
    // Every street type once, in the table's order, after the column header.
    DM_Comuns->Tb_Logradouro->open();
    QStringList esperado{QStringLiteral("Código"), QStringLiteral("Descrição")};
    int linhas = 0;
    for (DM_Comuns->Tb_Logradouro->first(); !DM_Comuns->Tb_Logradouro->eof(); DM_Comuns->Tb_Logradouro->next()) {
        esperado << DM_Comuns->Tb_Logradouro->fieldByName(QStringLiteral("TipLog_Codigo"))->asString()
                 << DM_Comuns->Tb_Logradouro->fieldByName(QStringLiteral("TipLog_Descricao"))->asString();
        ++linhas;
    }
    ASSERT_GT(linhas, 2);
    TRel_TipoLogradouro r;
    ASSERT_EQ(1, r.prepare());
    QStringList detalhe;
    for (const vorta::report::PageItem& item : r.qrPrinter().page(0).items)
        if (item.kind == vorta::report::PageItem::Kind::Text
            && (item.name.startsWith(QLatin1String("QRDBText_")) || item.name.startsWith(QLatin1String("QRLabel_TipLog"))))
            detalhe << item.text();
    EXPECT_EQ(esperado, detalhe);
}

TEST_F(Listagens, LegalEntitiesPrintEachRegistrationWithTheMaskOfItsKind)
{
    DM_Comuns->Tb_Municipio->open();
    vorta::db::Query* q = DM_Comuns->Q_Contribuinte;
    q->setSqlLines({QStringLiteral("Select * from Contribuinte where Con_Nome in ('VAREJO QX LTDA', 'PEDRO COMPRADOR')"),
                    QStringLiteral("Order by Con_Nome")});
    q->open();
    // The caller's mask is the CNPJ's; the band gives the CPF row its own.
    q->fieldByName(QStringLiteral("Con_IECNPJCPF"))->setEditMask(QStringLiteral("99.999.999/9999-99;0"));
    TRel_PessoaJuridica r;
    r.prepare();
    const QString pdf = Listagens::escreve(r, QStringLiteral("Rel_PessoaJuridica_CNPJ_CPF"));
    const QStringList pagina = textosDaPagina(r, 0);
    EXPECT_TRUE(emOrdem(pagina.join(QLatin1Char('|')),
                        {QStringLiteral("529.982.247-25"), QStringLiteral("PEDRO COMPRADOR"),
                         QStringLiteral("11.222.333/0001-81"), QStringLiteral("VAREJO QX LTDA")}));
    EXPECT_FALSE(pagina.join(QLatin1Char('|')).contains(QStringLiteral("52.998.224/725")));
    EXPECT_TRUE(emOrdem(pdf, {QStringLiteral("Listagem de Pessoa Jurídica"), QStringLiteral("529.982.247-25"),
                              QStringLiteral("PEDRO COMPRADOR"), QStringLiteral("11.222.333/0001-81"),
                              QStringLiteral("VAREJO QX LTDA"), }));
}

TEST_F(Listagens, ManyRowsRunOntoFurtherPagesEachWithItsHeader)
{
    QString sql = QStringLiteral("INSERT INTO Produto (Pro_Codigo, Pro_Descricao, Pro_Unidade) VALUES ");
    for (int i = 1; i <= 120; ++i)
        sql += QStringLiteral("%1('P%2', 'PRODUTO %2', 'UN')").arg(i > 1 ? QStringLiteral(",") : QString()).arg(i, 3, 10, QLatin1Char('0'));
    vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")), sql);
    DM_Comuns->Tb_Produto->open();
    TRel_Produtos r;
    r.QRLabel_Titulo->caption = QStringLiteral("Listagem de produtos - Ordem Alfabética");
    const int paginas = r.prepare();
    ASSERT_GE(paginas, 2);
    const QString pdf = Listagens::escreve(r, QStringLiteral("Rel_Produtos_Paginas"));
    for (int i = 0; i < paginas; ++i) {
        SCOPED_TRACE(i);
        const QStringList pagina = textosDaPagina(r, i);
        EXPECT_TRUE(pagina.contains(QStringLiteral("Listagem de produtos - Ordem Alfabética")));
        EXPECT_TRUE(emOrdem(pagina.join(QLatin1Char('|')), {QStringLiteral("Página:"), QString::number(i + 1)}));
    }
    EXPECT_TRUE(emOrdem(pdf, {QStringLiteral("Página: 1"), QStringLiteral("PRODUTO 001"),
                              QStringLiteral("Página: %1").arg(paginas), QStringLiteral("PRODUTO 120")}));
}

TEST_F(Listagens, MenuCommandsOverAnEmptyRegisterShowTheMessageAndNoPreview)
{
    vorta::db::executeScript(m_inst.folder(QStringLiteral("dados")),
                             QStringLiteral("DELETE FROM Contribuinte; DELETE FROM Responsavel; DELETE FROM Produto"));
    for (vorta::ui::MenuItem* item : {Form1->ProdutorRural1, Form1->ComercioIndustria1, Form1->PessoaJuridica1,
                                      Form1->PessoaFisica1, Form1->Contabilista2, Form1->Produto1}) {
        SCOPED_TRACE(item->caption.toStdString());
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Custom, SemRegistros, 1);
        EXPECT_EQ(0, comando(item).vezes);
        EXPECT_EQ(nullptr, Rel_Amostra()) << "no report is left behind";
    }
    EXPECT_FALSE(DM_Comuns->Q_Contribuinte->active()) << "the empty query is closed";
}

TEST_F(Listagens, TaxpayerCommandsSetTheirStatementAndMask)
{
    struct Caso {
        vorta::ui::MenuItem* item;
        QStringList sql;
        const char* mascara;
    } casos[] = {
        {Form1->ProdutorRural1,
         {"Select * from Contribuinte where con_tipo = 'IE'", "and con_IECNPJCPF > '285000000'", "Order by Con_Nome"},
         "99.999.999-9;0"},
        {Form1->ComercioIndustria1,
         {"Select * from Contribuinte where con_tipo = 'IE'", "and con_IECNPJCPF < '285000000'", "Order by Con_Nome"},
         "99.999.999-9;0"},
        {Form1->PessoaJuridica1, {"Select * from Contribuinte where con_tipo = 'CNPJ'", "Order by Con_Nome"},
         "99.999.999/9999-99;0"},
        {Form1->PessoaFisica1, {"Select * from Contribuinte where con_tipo = 'CPF'", "Order by Con_Nome"},
         "999.999.999-99;0;"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.item->caption.toStdString());
        ASSERT_EQ(1, comando(c.item).vezes);
        EXPECT_EQ(c.sql, DM_Comuns->Q_Contribuinte->sqlLines());
        EXPECT_EQ(QString::fromLatin1(c.mascara),
                  DM_Comuns->Q_Contribuinte->fieldByName(QStringLiteral("Con_IECNPJCPF"))->editMask()
                      .left(int(strlen(c.mascara))));
        EXPECT_EQ(nullptr, Rel_Amostra()) << "the report is freed after its preview";
    }
}

TEST(Rel, BaseReportIsLetterPortraitWithItsHeader)
{
    TRel r;
    EXPECT_EQ(vorta::report::PaperSize::Letter, r.paperSize);
    EXPECT_EQ(vorta::report::Orientation::Portrait, r.orientation);
    ASSERT_EQ(1, r.prepare());
    EXPECT_EQ((QStringList{QStringLiteral("GOVERNO DO ESTADO DE ORVANIA"), QStringLiteral("KALVI"),
                           QStringLiteral("Vorta"), QStringLiteral("Página:"), QStringLiteral("1")}),
              textosDaPagina(r, 0));
    bool logo = false, regua = false;
    for (const vorta::report::PageItem& item : r.qrPrinter().page(0).items) {
        logo |= item.kind == vorta::report::PageItem::Kind::Image && item.name == QLatin1String("QRImage1")
                && !item.image.isNull();
        regua |= item.kind == vorta::report::PageItem::Kind::Line && item.name == QLatin1String("QRShape1");
    }
    EXPECT_TRUE(logo);
    EXPECT_TRUE(regua);
}

} // namespace

namespace {

TEST_F(Listagens, RegisterCommandsShowTheirFormsModallyOwnedByTheApplication)
{
    struct Caso {
        vorta::ui::MenuItem* item;
        const char* forma;
    } casos[] = {{Form1->Contabilista1, "Cad_Contabilista"}, {Form1->Municipio1, "Cad_Municipio"}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.forma);
        QString visto;
        vorta::Component* dono = nullptr;
        vorta::ui::setModalHook([&](vorta::ui::Form& form) {
            visto = form.objectName();
            dono = form.owner();
            return int(vorta::ui::mrCancel);
        });
        c.item->click();
        vorta::ui::setModalHook(nullptr);
        EXPECT_EQ(QString::fromLatin1(c.forma), visto);
        EXPECT_EQ(vorta::Application::instance(), dono);
    }
    vorta::Component::free(Cad_Contabilista);
    vorta::Component::free(Cad_Municipio);
}

} // namespace
