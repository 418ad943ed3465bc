#include "ValidarTestSupport.h"
#include "UDm_Gerar.h"
#include "UProtMTC.h"
#include "UResumoMapa.h"
#include "USelMovGera.h"
#include "UValidar.h"

#include "Checksum.h"
#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "platform/db/DataPacket.h"
#include "platform/report/EmfReader.h"
#include "platform/report/ReportPrinter.h"
#include "platform/zip/Zip.h"
#include "testing/UserInput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTest>

using namespace zir_test;
using vorta::Money;
using vorta::ui::MessageKind;
namespace user = vorta::testing::user;

namespace {

QByteArray bytesOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

const vorta::db::PacketField& field(const vorta::db::PacketLevel& level, const char* name, int* index = nullptr)
{
    for (size_t i = 0; i < level.fields.size(); ++i)
        if (level.fields[i].name.compare(QLatin1String(name), Qt::CaseInsensitive) == 0) {
            if (index)
                *index = int(i);
            return level.fields[i];
        }
    throw std::runtime_error(std::string("no field ") + name);
}

// The rows of a nested field of a row.
const std::vector<vorta::db::PacketRow>& nested(const vorta::db::PacketLevel& level, const vorta::db::PacketRow& row,
                                                 const char* name)
{
    int i = 0;
    field(level, name, &i);
    return row.details[size_t(i)];
}

QVariant value(const vorta::db::PacketLevel& level, const vorta::db::PacketRow& row, const char* name)
{
    int i = 0;
    field(level, name, &i);
    return row.values[size_t(i)];
}

const QString kNome = QStringLiteral("ZIRN123456.C26");
// The declarant: a registration whose check digit the validation accepts.
const QString kDeclarante = validar_test::valida("28123456");

} // namespace

TEST(Declaracao, NameAndZipComment)
{
    struct Case {
        const char* ie;
        int ano, mes;
        const char* tipo;
        const char* nome;
    } cases[] = {
        {"280012345", 2005, 12, "N", "ZIRN001234.C05"},
        {"280012345", 2005, 10, "R", "ZIRR001234.A05"},
        {"281234567", 2010, 11, "N", "ZIRN123456.B10"},
        {"281234567", 2009, 3, "N", "ZIRN123456.309"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TSelMovGera::NomeDeclaracao(QString::fromLatin1(c.ie), c.ano, c.mes, QString::fromLatin1(c.tipo)),
                  QString::fromLatin1(c.nome));
    EXPECT_EQ(TSelMovGera::ComentarioZip("0A1B2C3D", "1.0.2.15"), QByteArray("0A1B2C3D\r\nVorta102"));
}

TEST(Declaracao, StringToFloatKeepsDigitsSignAndTheLastDecimalSeparator)
{
    QLocale::setDefault(QLocale(QLocale::Portuguese, QLocale::Brazil));
    EXPECT_DOUBLE_EQ(TSelMovGera::StringToFloat("1.234.567,89"), 1234567.89);
    EXPECT_DOUBLE_EQ(TSelMovGera::StringToFloat("-12,50"), -12.5);
    EXPECT_DOUBLE_EQ(TSelMovGera::StringToFloat("R$ 3"), 3);
    QLocale::setDefault(QLocale::c());
}

class Geracao : public MapasFixture {
protected:
    void SetUp() override
    {
        MapasFixture::SetUp();
        // The slaughterhouse's registration as the validation accepts it (the file name
        // takes the same six digits).
        exec("update Contribuinte set Con_IECNPJCPF = ?1 where Con_IECNPJCPF = ?2", {kDeclarante, kFrigorifico});
        exec("update qel_movimento set con_iecnpjcpf = ?1, mov_responsavel = 'Fulano'", {kDeclarante});
        dm->QryContribuinte->close();
        dm->QryContribuinte->open();
        ASSERT_TRUE(dm->QryContribuinte->locate(QStringLiteral("Con_IECNPJCPF"), kDeclarante));
        validar_test::cadastroLimpo(*this, kDeclarante);
        exec("update Contribuinte set Con_Nome = 'Frigorifico ' || ?1 where Con_IECNPJCPF = ?1", {kDeclarante});
        InicializarVariaveisGlobais();
        QDir().mkpath(DirArquivos);
        QDir().mkpath(DirTemp);
        for (int code : {8, 91, 485, 504, 1414, 1565, 1674})
            exec("insert or replace into mensagem (Men_Codigo, Men_Descricao) values (?1, ?2)",
                 {code, QStringLiteral("Mensagem %1").arg(code)});
        vorta::report::setPrinterDriver(&printer);
        vorta::ui::createForm(Dm_Gerar);
        exec("insert into Qel_Tecnico (Tec_Codigo, Tec_Nome, Mun_Codigo) values (2, 'Dr. Campo', 1)");

        // Two maps of the declarant typed through the data module, as the map form does.
        TResumoMapa resumo(dm);
        const struct {
            const char* sex;
            std::vector<std::pair<const char*, double>> animals;
        } maps[] = {{"M", {{"JD", 250}, {"JD", 260}, {"J2", 240}, {"I", 300}}},
                    {"F", {{"JFD", 190}, {"JF2", 185}, {"AF", 260}}}};
        for (const auto& m : maps) {
            novoMapa(QString::fromLatin1(m.sex));
            resumo.CarregaParametros();
            resumo.dbEdit_VlrArrobaMacho = Money::fromUnits(100);
            resumo.dbEdit_VlrArrobaFemea = Money::fromUnits(90);
            dm->TblContribuinteComplementoMapas->refresh();
            for (const auto& [maturity, weight] : m.animals)
                animal(QString::fromLatin1(maturity), weight);
            resumo.Gravar();
        }
        exec("insert into Qel_NotasMapa (map_codigo, mn_nro_nota_fiscal) select min(map_codigo), '000123' from "
             "qel_mapas");
        exec("insert into Qel_NotasMapa (map_codigo, mn_nro_nota_fiscal) select max(map_codigo), '000124' from "
             "qel_mapas");
        // Another slaughterhouse's map of the same month.
        exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado, map_num_lote, "
             "Tec_Codigo) values (900, ?1, ?2, ?3, 'M', '09/09', 1)",
             {kOutroFrigorifico, QDateTime(kDia, QTime(0, 0)), kPecuarista});
        exec("insert into qel_mapas_resumo (map_codigo, mat_codigo, mre_qtd_cabecas, mre_peso_kg, mre_qtd_arroba, "
             "mre_vlr_repasse, mre_qtd_reprovada) values (900, 'JD', 5, 1000, 66.67, 500, 0)");
        // A second, rectifying movement of the same month; both validated by the
        // validation itself.
        exec("update qel_movimento set mov_dt_hr_criacao = ?1", {QDateTime(kDia, QTime(8, 0))});
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
             "mov_tipo, mov_situacao, mov_responsavel) values (2, ?1, 2026, 12, 'R', '?', 'Beltrano')",
             {kDeclarante});
        vorta::createInto<TDm_Validar>(Dm_Validar, vorta::Application::instance(), dm->dbMTC);
        TValidar* validar = vorta::createInto<TValidar>(Validar, vorta::Application::instance());
        validar->Selecionados = {{1, kDeclarante, "2026", "12", "N", "?"}, {2, kDeclarante, "2026", "12", "R", "?"}};
        validar->ValidaMovimento();
        ASSERT_EQ(validar->TotalErros, 0) << validar->Linhas().join(QLatin1Char('\n')).toStdString();
        ASSERT_EQ(situacao(1), "N");
        ASSERT_EQ(situacao(2), "N");
    }
    void TearDown() override
    {
        vorta::Component::free(SelMovGera.get());
        vorta::Component::free(Validar.get());
        vorta::Component::free(Dm_Validar.get());
        vorta::Component::free(Dm_Gerar.get());
        vorta::report::setPrinterDriver(nullptr);
        MapasFixture::TearDown();
    }
    QString msg(int code) { return GetErrorMessage(code); }

    // Opens the list, selects the rows of the given movement codes with Ctrl-clicks and
    // presses "&Gerar Arquivo".
    void gera(const std::vector<int>& codigos)
    {
        if (!SelMovGera)
            vorta::ui::createForm(SelMovGera);
        TSelMovGera* f = SelMovGera;
        f->show();
        f->FormShow();
        auto* grid = f->dbgMovimento;
        grid->clearSelectedRows();
        for (int codigo : codigos) {
            int row = -1;
            for (int r = 0; r < grid->rowCount(); ++r) {
                f->QryGerar->setRecNo(r + 1);
                if (f->QryGerar->fieldByName("mov_codigo")->asInteger() == codigo)
                    row = r;
            }
            ASSERT_GE(row, 0) << "movement " << codigo << " listed";
            const QRect cell = grid->visualRect(grid->model()->index(row, 1));
            QTest::mouseClick(grid->viewport(), Qt::LeftButton, Qt::ControlModifier, cell.center());
        }
        user::click(f->BtGerar);
    }
    QString situacao(int codigo)
    {
        return scalar("select mov_situacao from qel_movimento where mov_codigo = ?1", {codigo}).toString();
    }
    struct Arquivos {
        QByteArray zip, imagem;
        QList<QStringList> entrega;
    };
    Arquivos estado()
    {
        Arquivos a{bytesOf(DirArquivos + kNome), bytesOf(DirArquivos + "P" + kNome), {}};
        vorta::db::Query q;
        q.setDatabase(dm->dbMTC);
        q.setSql("select * from Entrega order by Versao, Chave");
        q.open();
        for (q.first(); !q.eof(); q.next()) {
            QStringList row;
            for (int i = 0; i < q.fieldCount(); ++i)
                row << q.fields(i)->asString();
            a.entrega << row;
        }
        return a;
    }
    // The first generation done and checked, then the movement validated again.
    Arquivos geradoEReaberto()
    {
        dialogs.expectMessage(MessageKind::Information, msg(485), 1);
        gera({1});
        EXPECT_EQ(situacao(1), "G");
        exec("update qel_movimento set mov_situacao = 'N' where mov_codigo = 1");
        return estado();
    }

    vorta::report::MemoryPrinterDriver printer;
};

TEST_F(Geracao, TheWholeRoad)
{
    dialogs.expectMessage(MessageKind::Information, msg(485), 1);
    gera({1});
    EXPECT_TRUE(dialogs.allAnswered());
    const QString versao = GetVersionExe(QCoreApplication::applicationFilePath());
    ASSERT_FALSE(versao.isEmpty());

    // The movement generated with its version and time; the rectifying one untouched.
    EXPECT_EQ(situacao(1), "G");
    EXPECT_EQ(scalar("select mov_versao from qel_movimento where mov_codigo = 1").toString(), versao);
    EXPECT_EQ(scalar("select mov_dt_hr_geracao from qel_movimento where mov_codigo = 1")
                  .toDateTime()
                  .toString("yyyy-MM-dd hh:mm:ss"),
              "2026-12-10 09:30:15");
    EXPECT_EQ(situacao(2), "N");
    EXPECT_TRUE(scalar("select mov_versao from qel_movimento where mov_codigo = 2").isNull());
    EXPECT_EQ(SelMovGera->QryGerar->recordCount(), 1) << "the generated movement left the list";

    // The zip: one deflated entry of the bare name, CRC in the comment.
    const QString zipName = DirArquivos + kNome;
    ASSERT_TRUE(QFile::exists(zipName));
    const auto contents = vorta::zip::readZipContents(zipName);
    ASSERT_EQ(contents.entries.size(), 1u);
    EXPECT_EQ(contents.entries[0].name, kNome);
    EXPECT_TRUE(contents.entries[0].deflated);
    const QByteArray packetBytes = vorta::zip::readZipEntry(zipName, kNome);
    const QString crcText = QStringLiteral("%1").arg(contents.entries[0].crc, 8, 16, QLatin1Char('0')).toUpper();
    const QString versao3 = RemoveMascara(versao).left(3);
    ASSERT_EQ(versao3.size(), 3);
    EXPECT_EQ(contents.comment, (crcText + "\r\nVorta" + versao3).toLatin1());
    const QString packetCopy = DirTemp + "pacote.cds";
    {
        QFile f(packetCopy);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(packetBytes);
    }
    TChecksum checksum;
    EXPECT_EQ(checksum.CRCFile(packetCopy), crcText);
    EXPECT_FALSE(QFile::exists(DirTemp + kNome)) << "the packet file does not stay in the temporary folder";

    // The packet: the movement, its declarant and the declarant's maps only.
    const vorta::db::DataPacket p = vorta::db::readDataPacket(packetBytes);
    ASSERT_EQ(p.rows.size(), 1u);
    const auto& movL = p.meta;
    EXPECT_EQ(value(movL, p.rows[0], "mov_situacao"), "G");
    EXPECT_EQ(value(movL, p.rows[0], "mov_versao"), versao);
    const auto& contribL = *field(movL, "QryContribuinte").nested;
    const auto& contrib = nested(movL, p.rows[0], "QryContribuinte");
    ASSERT_EQ(contrib.size(), 1u);
    EXPECT_EQ(value(contribL, contrib[0], "Con_IECNPJCPF"), kDeclarante);
    EXPECT_EQ(contribL.fields.size(), 46u + 4u) << "every column of Contribuinte and its four details";
    EXPECT_EQ(nested(contribL, contrib[0], "qMunicipioContribuinteEndereco").size(), 1u);
    const auto& mapasL = *field(contribL, "qryMapas").nested;
    const auto& mapas = nested(contribL, contrib[0], "qryMapas");
    ASSERT_EQ(mapas.size(), 2u) << "the other slaughterhouse's map is absent";
    int animais = 0, notas = 0;
    for (const auto& m : mapas) {
        EXPECT_EQ(value(mapasL, m, "con_iecnpjcpf"), kDeclarante);
        animais += int(nested(mapasL, m, "QryMapasItens").size());
        notas += int(nested(mapasL, m, "QryNotas").size());
        EXPECT_EQ(nested(mapasL, m, "QryMapasResumo").size(), 12u);
        ASSERT_EQ(nested(mapasL, m, "QryTecnico").size(), 1u);
        EXPECT_EQ(value(*field(mapasL, "QryTecnico").nested, nested(mapasL, m, "QryTecnico")[0], "Tec_Nome"),
                  "Dra. Vet");
        const auto& produtor = nested(mapasL, m, "QryProdutor");
        ASSERT_EQ(produtor.size(), 1u);
        const auto& produtorL = *field(mapasL, "QryProdutor").nested;
        EXPECT_EQ(value(produtorL, produtor[0], "Con_Nome"), "Pecuarista");
        EXPECT_EQ(nested(produtorL, produtor[0], "qMunicipioEndereco").size(), 1u);
    }
    EXPECT_EQ(animais, 7);
    EXPECT_EQ(notas, 2);

    // The protocol image: a one-page EMF; no page file left over.
    const QByteArray emf = bytesOf(DirArquivos + "P" + kNome);
    ASSERT_TRUE(vorta::report::isEmf(emf));
    EXPECT_GT(vorta::report::readEmf(emf).sizeMm.height(), 200);
    EXPECT_FALSE(QFile::exists(DirArquivos + "ProtZIR001.emf"));
    EXPECT_EQ(QDir(DirArquivos).entryList(QDir::Files).size(), 2);

    // The delivery row.
    vorta::db::Query q;
    q.setDatabase(dm->dbMTC);
    q.setSql("select * from Entrega");
    q.open();
    ASSERT_EQ(q.recordCount(), 1);
    auto col = [&](const char* c) { return q.fieldByName(QString::fromLatin1(c))->asString(); };
    EXPECT_EQ(col("Sistema"), "ZIR");
    EXPECT_EQ(col("Versao"), versao);
    EXPECT_EQ(col("Arquivo"), kNome);
    EXPECT_EQ(col("Chave"), kDeclarante + "202612N00001");
    EXPECT_EQ(col("CRC"), crcText);
    EXPECT_TRUE(q.fieldByName("Data_Geracao")->asDateTime().toString("yyyy-MM-dd hh:mm:ss") == "2026-12-10 09:30:15");
    EXPECT_EQ(col("Inscricao"), kDeclarante);
    EXPECT_EQ(col("Referencia"), "2026 - 12");
    EXPECT_EQ(col("Motivo"), "N");
    EXPECT_EQ(col("Nome"), "Frigorifico " + kDeclarante);
    EXPECT_TRUE(col("Data_Entrega").isEmpty());

    // For people and other tools to look at.
    const QString samples = QCoreApplication::applicationDirPath() + "/declaration-samples/";
    QDir().mkpath(samples);
    for (const auto& [from, to] : {std::pair{zipName, samples + kNome}, {DirArquivos + "P" + kNome, samples + "P" + kNome},
                                   {packetCopy, samples + kNome + ".cds"}}) {
        QFile::remove(to);
        EXPECT_TRUE(QFile::copy(from, to));
    }
}

TEST_F(Geracao, RegeneratingReusesTheUndeliveredRowAndANewVersionAddsOne)
{
    const Arquivos antes = geradoEReaberto();
    ASSERT_EQ(antes.entrega.size(), 1);
    // The base module copied it and a processing result came back.
    exec("update Entrega set Data_Copia = ?1, Protocolo = 'X1', ResultadoProcessamento = 'ok', ResultadoTipo = 'A', "
         "CRC = 'FFFFFFFF'",
         {QDateTime(kDia, QTime(10, 0))});
    vorta::setClock([] { return QDateTime(QDate(2026, 12, 11), QTime(7, 0)); });
    dialogs.expectMessage(MessageKind::Information, msg(485), 1);
    gera({1});
    Arquivos depois = estado();
    ASSERT_EQ(depois.entrega.size(), 1);
    vorta::db::Query q;
    q.setDatabase(dm->dbMTC);
    q.setSql("select * from Entrega");
    q.open();
    EXPECT_TRUE(q.fieldByName("Data_Copia")->isNull());
    EXPECT_TRUE(q.fieldByName("Protocolo")->isNull());
    EXPECT_TRUE(q.fieldByName("ResultadoProcessamento")->isNull());
    EXPECT_TRUE(q.fieldByName("ResultadoTipo")->isNull());
    EXPECT_NE(q.fieldByName("CRC")->asString(), "FFFFFFFF");
    EXPECT_EQ(q.fieldByName("Data_Geracao")->asDateTime().date(), QDate(2026, 12, 10)) << "keeps its first date";

    // After an update the program's version differs: the same file gets a second row.
    exec("update Entrega set Versao = '0.9.0.1'");
    exec("update qel_movimento set mov_situacao = 'N' where mov_codigo = 1");
    dialogs.expectMessage(MessageKind::Information, msg(485), 1);
    gera({1});
    EXPECT_EQ(estado().entrega.size(), 2);
}

TEST_F(Geracao, FailuresLeaveThePreviousFilesAndRows)
{
    const Arquivos antes = geradoEReaberto();
    ASSERT_FALSE(antes.zip.isEmpty());
    ASSERT_FALSE(antes.imagem.isEmpty());

    // No printer.
    printer.installed = false;
    dialogs.expectMessage(MessageKind::Error, msg(1414), 1);
    gera({1});
    printer.installed = true;
    // Nothing selected.
    SelMovGera->dbgMovimento->clearSelectedRows();
    dialogs.expectMessage(MessageKind::Error, msg(1674), 1);
    user::click(SelMovGera->BtGerar);
    EXPECT_TRUE(SelMovGera->BtGerar->isEnabled());
    SelMovGera->dbgMovimento->clearSelectedRows();

    // The zip cannot be written: message 8, no dialog of the abort, then 1565.
    QDir().mkpath(DirArquivos + kNome + ".novo");
    dialogs.expectMessage(MessageKind::Error, msg(8), 1).expectMessage(MessageKind::Error, msg(1565), 1);
    gera({1});
    QDir().rmdir(DirArquivos + kNome + ".novo");
    SelMovGera->dbgMovimento->clearSelectedRows();

    // The packet writer refuses a value: its text, then 1565.
    exec("update qel_mapas set Tec_Codigo = ?1 where con_iecnpjcpf = ?2", {qint64(1) << 40, kDeclarante});
    dialogs.expectMessage(MessageKind::Information, "*out of range", 1).expectMessage(MessageKind::Error, msg(1565), 1);
    gera({1});
    SelMovGera->dbgMovimento->clearSelectedRows();
    exec("update qel_mapas set Tec_Codigo = 1");

    EXPECT_TRUE(dialogs.allAnswered());
    const Arquivos depois = estado();
    EXPECT_EQ(depois.zip, antes.zip);
    EXPECT_EQ(depois.imagem, antes.imagem);
    EXPECT_EQ(depois.entrega, antes.entrega);
    EXPECT_EQ(situacao(1), "N");
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(QDir(DirArquivos).entryList(QDir::Files).size(), 2) << "no temporary file left";
}

TEST_F(Geracao, ARectifyingMovementDoesNotOverwriteAQueuedFileOfAnother)
{
    geradoEReaberto();
    exec("update qel_movimento set mov_situacao = 'G' where mov_codigo = 1");
    // Movement 2 ('R') has its own name; a second normal movement of the month shares one.
    exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
         "mov_tipo, mov_situacao) values (3, ?1, 2026, 12, 'N', 'N')",
         {kDeclarante});
    const Arquivos antes = estado();
    dialogs.expectMessage(MessageKind::Information, "*aguarda entrega", 1)
        .expectMessage(MessageKind::Error, msg(1565), 1);
    gera({3, 2});
    EXPECT_EQ(situacao(3), "N");
    EXPECT_EQ(situacao(2), "N") << "the run stops at the failing movement";
    EXPECT_EQ(situacao(1), "G") << "another movement's reset leaves this one alone";
    const Arquivos depois = estado();
    EXPECT_EQ(depois.zip, antes.zip);
    EXPECT_EQ(depois.entrega, antes.entrega);
}

TEST_F(Geracao, TheProtocolSumsOnlyTheDeclarantsMaps)
{
    TProtMTC prot;
    prot.Preenche(1);
    const std::pair<const char*, const char*> cells[] = {
        {"lblJDQtdCom", "2"},         {"lblJDPesoCom", "510,00"},  {"lblJDVlr", "246,02"},
        {"lblJDQtdSem", "0"},         {"lblJDPerc", "67,00"},      {"lblTotalMPerc", "--"},
        {"lblTotalMVlr", "332,42"},   {"lblNcI", "1"},             {"lblNcAF", "1"},
        {"lblTipificadasQtd", "5"},   {"lblIncentivoTotal", "473,10"}};
    for (const auto& [name, text] : cells) {
        ASSERT_NE(prot.Celula(name), nullptr) << name;
        EXPECT_EQ(prot.Celula(name)->caption, text) << name;
    }
    EXPECT_EQ(prot.QryMTC->fieldByName("calctipo")->asString(), "NORMAL");
    EXPECT_EQ(prot.prepare(), 1);
}

TEST_F(Geracao, TheListSearchesAndMovesAsTheUserTypes)
{
    exec("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_Tipo) values ('281000001', 'Abatedouro Zeta', 'IE')");
    exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, mov_tipo, "
         "mov_situacao) values (5, '281000001', 2026, 11, 'N', 'N')");
    vorta::ui::createForm(SelMovGera);
    TSelMovGera* f = SelMovGera;
    f->show();
    f->FormShow();
    ASSERT_EQ(f->QryGerar->recordCount(), 3);
    EXPECT_EQ(f->dbgMovimento->cellText(0, 5), "N - Validado");
    user::activate(f);
    f->Edit_Busca->setFocus();
    user::type("Abat");
    user::enter();
    EXPECT_EQ(f->QryGerar->fieldByName("mov_codigo")->asInteger(), 5) << "found by name";
    user::click(f->btUltimo);
    EXPECT_FALSE(f->btUltimo->isEnabled());
    EXPECT_FALSE(f->btProximo->isEnabled());
    EXPECT_EQ(f->msgStatus->panel(0).text, msg(91));
    user::click(f->btPrimeiro);
    EXPECT_EQ(f->QryGerar->recNo(), 1);
    EXPECT_FALSE(f->btAnterior->isEnabled());
    EXPECT_TRUE(f->btProximo->isEnabled());
    const QString samples = QCoreApplication::applicationDirPath() + "/declaration-samples/";
    QDir().mkpath(samples);
    f->grab().save(samples + "SelMovGera.png");
}
