// The validation of movements: each register and movement rule with its report line,
// the report's header and footer, and the states the run leaves.
#include "DmValidar.h"
#include "MapasTestSupport.h"
#include "QValidacao.h"
#include "UValidar.h"
#include "Ufuncoes.h"

#include "platform/report/ReportPrinter.h"
#include "testing/UserInput.h"

#include <QApplication>

using namespace zir_test;
namespace user = vorta::testing::user;

namespace {
// A registration of the prefix and six digits with its check digit.
QString valida(const char* oito)
{
    for (int d = 0; d <= 9; ++d) {
        const QString ie = QString::fromLatin1(oito) + QString::number(d);
        if (ChkINSC(ie.mid(2)))
            return ie;
    }
    return QString();
}
const QString kDecl = valida("28123456");
const QString kDecl2 = valida("28200000");
QString mascara(const QString& ie)
{
    return ie.left(2) + "." + ie.mid(2, 3) + "." + ie.mid(5, 3) + "-" + ie.mid(8);
}
QString e(int code)
{
    return QStringLiteral("    => Erro : %1 - M%1").arg(code);
}
} // namespace

class ValidarMovimento : public MapasFixture {
protected:
    void SetUp() override
    {
        MapasFixture::SetUp();
        const int codigos[] = {19,  30,  31,  32,  35,  37,  38,  53,  54,  55,  57,  58,  60,  61,   62,   63,
                               64,  65,  66,  67,  68,  69,  70,  71,  72,  73,  440, 581, 582,  612,  613,  614,
                               615, 616, 617, 618, 619, 620, 621, 623, 624, 625, 626, 633, 634, 869, 1239, 1407,
                               1420, 1451, 1504, 1687};
        for (int c : codigos)
            exec("insert or replace into mensagem (Men_Codigo, Men_Descricao) values (?1, ?2)",
                 {c, QStringLiteral("M%1").arg(c)});
        exec("update Municipio set Mun_CEPInicial = '77000000', Mun_CEPFinal = '77299999' where Mun_Codigo = 1");
        exec("insert into Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) values (2, 'Sem Faixa', 'TO')");
        ASSERT_FALSE(kDecl.isEmpty());
        ASSERT_FALSE(kDecl2.isEmpty());
        exec("delete from qel_movimento");
        for (const QString& ie : {kDecl, kDecl2})
            exec("insert into Contribuinte (Con_IECNPJCPF, Con_Tipo) values (?1, 'IE')", {ie});
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
             "mov_tipo, mov_situacao) values (1, ?1, 2026, 12, 'N', '?')",
             {kDecl});
        limpo(kDecl);
        limpo(kDecl2);
        exec("update qel_movimento set mov_responsavel = 'Fulano' where mov_codigo = 1");
        // A second movement: the other slaughterhouse, same month.
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
             "mov_tipo, mov_situacao, mov_responsavel) values (2, ?1, 2026, 12, 'N', '?', 'Beltrano')",
             {kDecl2});
        mapaCompleto(10, kDecl);
        mapaCompleto(20, kDecl2);
        vorta::createInto<TDm_Validar>(Dm_Validar, vorta::Application::instance(), dm->dbMTC);
        validar = vorta::createInto<TValidar>(Validar, vorta::Application::instance());
    }
    void TearDown() override
    {
        vorta::Component::free(Validar.get());
        vorta::Component::free(Dm_Validar.get());
        MapasFixture::TearDown();
    }
    // Every register rule passes.
    void limpo(const QString& ie)
    {
        exec("update Contribuinte set Con_Nome = 'Frigorifico', Con_NomePropr = 'Frigo', End_CPF = '11222333000181', "
             "Con_NIRE = NULL, Con_DDDFone = '63', Con_Fone = '32151234', Con_DDD2 = NULL, Con_Fone2 = NULL, "
             "Con_DDDFax = NULL, Con_FAX = NULL, TipLog_CodigoEstab = 'RUA', Con_LogradouroEstab = 'Um', "
             "Con_NumeroEstab = '10', Con_ComplementoEstab = NULL, Tip_Bai_CodigoEstab = 'BAI', "
             "Con_BairroEstab = 'Centro', Mun_Propriedade = 1, Con_UFEstab = 'TO', Con_CEPEstab = '77000100', "
             "Con_EmailEstab = NULL, Mun_Endereco = 1, Con_UF = 'TO', Con_CEP = '77000200', Con_Email = NULL "
             "where Con_IECNPJCPF = ?1",
             {ie});
    }
    void mapaCompleto(int code, const QString& ie)
    {
        exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado, map_num_lote) "
             "values (?1, ?2, ?3, ?4, 'M', '01/01')",
             {code, ie, QDateTime(kDia, QTime(0, 0)), kPecuarista});
        exec("insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, itm_classificado, aca_codigo, "
             "mat_codigo, itm_peso) values (?1, 1, 'B', 'S', 3, 'JD', 250)",
             {code});
        exec("insert into Qel_NotasMapa (map_codigo, mn_nro_nota_fiscal) values (?1, '123')", {code});
    }
    TMovimentoValidar mov(int codigo, const QString& ie, const char* situacao = "?")
    {
        return {codigo, ie, QStringLiteral("2026"), QStringLiteral("12"), QStringLiteral("N"),
                QString::fromLatin1(situacao)};
    }
    // The lines written for the movement: those between its own line and the separator.
    QStringList achados()
    {
        const QStringList l = validar->Linhas();
        return l.mid(4, l.size() - 8);
    }
    QString situacao(int codigo)
    {
        return scalar(QStringLiteral("select mov_situacao from qel_movimento where mov_codigo = ?1"), {codigo})
            .toString();
    }
    TValidar* validar = nullptr;
};

TEST_F(ValidarMovimento, ACleanMovementGivesTheWholeReportAndBecomesValidated)
{
    validar->Selecionados = {mov(1, kDecl)};
    validar->ValidaMovimento();
    const QStringList esperado = {
        QStringLiteral("  KALVI") + QString(68, QLatin1Char(' ')) + QStringLiteral("DATA: 10/12/2026"),
        QStringLiteral("  RELATÓRIO PARA SIMPLES CONFERÊNCIA") + QString(48, QLatin1Char(' '))
            + QStringLiteral("HORA: 09:30:15"),
        QString(91, QLatin1Char('=')),
        "  IE: " + mascara(kDecl) + " - Frigo  Ano: 2026 - 12 / N",
        QString(91, QLatin1Char('=')),
        QStringLiteral("  MOVIMENTOS VERIFICADOS: 1"),
        QStringLiteral("  MOVIMENTOS COM ERROS:   0"),
        QStringLiteral("  TOTAL DE ERROS:   0"),
    };
    EXPECT_EQ(validar->Linhas(), esperado);
    EXPECT_EQ(validar->Linhas()[0].indexOf(QStringLiteral("DATA: ")), 75);
    EXPECT_EQ(validar->Linhas()[1].indexOf(QStringLiteral("HORA: ")), 84);
    EXPECT_EQ(validar->Memo_Validar->toPlainText(), esperado.join(QLatin1Char('\n')));
    EXPECT_EQ(situacao(1), "N");
    EXPECT_EQ(situacao(2), "?");
    EXPECT_TRUE(validar->btGerar->isEnabled());
    EXPECT_FALSE(validar->btRelatorio->isEnabled());
    EXPECT_EQ(validar->LLidas->caption(), "1");
    EXPECT_EQ(validar->LErros->caption(), "0");
    EXPECT_EQ(validar->LVerificando->caption(), "Processo concluído");
    EXPECT_EQ(validar->LInscricao->caption(), "");
}

TEST_F(ValidarMovimento, EachRegisterRuleWritesItsMessages)
{
    struct Case {
        const char* set;
        QList<int> codes;
    };
    const Case cases[] = {
        {"Con_IECNPJCPF = Con_IECNPJCPF", {}},
        {"Con_Nome = NULL", {37}},
        {"Con_NomePropr = NULL", {38}},
        {"Con_NomePropr = 'Fr'", {1420}},
        {"End_CPF = NULL", {35}},
        {"End_CPF = '11222333000182'", {55}},
        {"End_CPF = '1122233300018X'", {55}},
        {"Con_NIRE = '12345678901'", {633}},
        {"Con_NIRE = '54ABCDEFGHI'", {633}},
        {"Con_DDDFone = NULL", {70, 70}},
        {"Con_DDDFone = '6'", {30, 30}},
        {"Con_Fone = NULL", {19}},
        {"Con_Fone = '321'", {31}},
        {"Con_DDD2 = '63'", {581}},
        {"Con_Fone2 = '32151234'", {582}},
        {"Con_DDD2 = '6', Con_Fone2 = '321'", {625, 626}},
        {"Con_DDDFax = '63'", {71}},
        {"Con_FAX = '32151234'", {71}},
        {"Con_DDDFax = '6', Con_FAX = '321'", {72, 73}},
        {"TipLog_CodigoEstab = NULL", {612}},
        {"Con_LogradouroEstab = NULL", {613}},
        {"Con_NumeroEstab = NULL", {614}},
        {"Con_NumeroEstab = NULL, Con_ComplementoEstab = 'Sala 1'", {}},
        {"Tip_Bai_CodigoEstab = NULL", {623}},
        {"Con_BairroEstab = NULL", {624}},
        {"Tip_Bai_CodigoEstab = 'CTO', Con_BairroEstab = NULL", {}},
        {"Mun_Propriedade = NULL", {615}},
        {"Con_UFEstab = NULL", {616, 617}},
        {"Con_UFEstab = 'XX'", {617}},
        {"Con_CEPEstab = NULL", {618}},
        {"Con_CEPEstab = '7700'", {619, 620}},
        {"Con_CEPEstab = '78000000'", {620}},
        {"Con_CEPEstab = '77A00000'", {620}},
        {"Mun_Propriedade = 2", {1407}},
        {"Con_EmailEstab = 'sem arroba'", {621}},
        {"Con_UF = NULL", {66, 66}},
        {"Con_UF = 'XX'", {66}},
        {"Con_UF = NULL, Mun_Endereco = NULL, Con_CEP = NULL", {}},
        {"Con_CEP = '7700'", {68, 69}},
        {"Con_CEP = '99999999'", {69}},
        {"Con_CEP = NULL", {}},
        {"Mun_Endereco = 2", {1407}},
        {"Con_Email = 'x'", {32}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.set);
        limpo(kDecl);
        exec(QStringLiteral("update Contribuinte set %1 where Con_IECNPJCPF = ?1").arg(QString::fromLatin1(c.set)),
             {kDecl});
        validar->Selecionados = {mov(1, kDecl)};
        validar->ValidaMovimento();
        QStringList esperado;
        for (int code : c.codes)
            esperado << e(code);
        EXPECT_EQ(achados(), esperado);
        EXPECT_EQ(validar->TotalErros, c.codes.size());
        EXPECT_EQ(situacao(1), c.codes.isEmpty() ? "N" : "?");
        EXPECT_EQ(validar->btRelatorio->isEnabled(), !c.codes.isEmpty());
    }
}

TEST_F(ValidarMovimento, TheRegistrationIsCheckedOnlyWithNineCharacters)
{
    struct Case {
        QString ie;
        QList<int> codes;
    };
    const QString errado = kDecl.left(8) + QString::number((kDecl.right(1).toInt() + 1) % 10);
    const Case cases[] = {
        {"2812345", {}},
        {"27" + kDecl.mid(2), {53}},
        {errado, {54}},
        {"AB" + kDecl.mid(2), {53, 54}},
        {"28123456X", {54}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.ie.toStdString());
        const QString ie = c.ie;
        exec("insert or ignore into Contribuinte (Con_IECNPJCPF, Con_Tipo) values (?1, 'IE')", {ie});
        limpo(ie);
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, mov_tipo, "
             "mov_situacao, mov_responsavel) values (9, ?1, 2026, 12, 'N', '?', 'X')",
             {ie});
        mapaCompleto(90, ie);
        validar->Selecionados = {mov(9, ie)};
        validar->ValidaMovimento();
        QStringList esperado;
        for (int code : c.codes)
            esperado << e(code);
        EXPECT_EQ(achados(), esperado);
        exec("delete from qel_movimento where mov_codigo = 9");
        exec("delete from qel_mapas where map_codigo = 90");
        exec("delete from qel_mapas_itens where map_codigo = 90");
        exec("delete from Qel_NotasMapa where map_codigo = 90");
        exec("delete from Contribuinte where Con_IECNPJCPF = ?1", {ie});
    }
}

TEST_F(ValidarMovimento, MovementRulesAndItsMaps)
{
    exec("update qel_movimento set mov_responsavel = NULL where mov_codigo = 1");
    exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado) "
         "values (11, ?1, ?2, ?3, 'M')",
         {kDecl, QDateTime(QDate(2026, 12, 31), QTime(0, 0)), kPecuarista});
    exec("insert into Qel_NotasMapa (map_codigo, mn_nro_nota_fiscal) values (11, '9')");
    exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado) "
         "values (12, ?1, ?2, ?3, 'M')",
         {kDecl, QDateTime(QDate(2026, 12, 2), QTime(0, 0)), kPecuarista});
    // Another month's map without anything is not the movement's.
    exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado) "
         "values (13, ?1, ?2, ?3, 'M')",
         {kDecl, QDateTime(QDate(2027, 1, 1), QTime(0, 0)), kPecuarista});
    validar->Selecionados = {mov(1, kDecl)};
    validar->ValidaMovimento();
    EXPECT_EQ(achados(), QStringList({e(1687), QStringLiteral("    => Erro : O Mapa Nº 11 não possui itens."),
                                      QStringLiteral("    => Erro : O Mapa Nº 12 não possui itens."),
                                      QStringLiteral("    => Erro : Mapa Nº 12 não possui nenhuma Nota Fiscal.")}));
    EXPECT_EQ(validar->TotalErros, 4);

    exec("update qel_movimento set mov_mes_referencia = 13, mov_ano_referencia = 0, mov_tipo = NULL, "
         "mov_responsavel = 'X' where mov_codigo = 1");
    validar->Selecionados = {{1, kDecl, QStringLiteral("0"), QStringLiteral("13"), QString(), "?"}};
    validar->ValidaMovimento();
    EXPECT_EQ(achados(), QStringList({e(1451), e(1239), e(1504),
                                      QStringLiteral("    => Alerta: Não existem Mapas para o Movimento selecionado.")}));
}

TEST_F(ValidarMovimento, AMonthWithoutMapsOnlyAlertsAndIsValidated)
{
    exec("delete from qel_mapas where map_codigo = 10");
    validar->Selecionados = {mov(1, kDecl)};
    validar->ValidaMovimento();
    EXPECT_EQ(achados(), QStringList{QStringLiteral("    => Alerta: Não existem Mapas para o Movimento selecionado.")});
    EXPECT_EQ(validar->TotalErros, 0);
    EXPECT_EQ(situacao(1), "N");
    EXPECT_TRUE(validar->btGerar->isEnabled());
    EXPECT_FALSE(validar->btRelatorio->isEnabled());
}

TEST_F(ValidarMovimento, SeveralMovementsWithOneBadDeclarant)
{
    exec("update Contribuinte set Con_Nome = NULL, Con_UFEstab = 'XX' where Con_IECNPJCPF = ?1", {kDecl2});
    exec("update qel_movimento set mov_situacao = 'N' where mov_codigo = 2");
    exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, mov_tipo, "
         "mov_situacao) values (3, ?1, 2026, 11, 'N', 'G')",
         {kDecl});
    validar->Selecionados = {mov(2, kDecl2, "N"), mov(1, kDecl), mov(3, kDecl, "G")};
    validar->ValidaMovimento();
    const QStringList l = validar->Linhas();
    ASSERT_EQ(l.size(), 11);
    EXPECT_EQ(l[3], "  IE: " + mascara(kDecl2) + " - Frigo  Ano: 2026 - 12 / N");
    EXPECT_EQ(l[4], e(37));
    EXPECT_EQ(l[5], e(617));
    EXPECT_EQ(l[6], "  IE: " + mascara(kDecl) + " - Frigo  Ano: 2026 - 12 / N");
    EXPECT_EQ(l[8], "  MOVIMENTOS VERIFICADOS: 2");
    EXPECT_EQ(l[9], "  MOVIMENTOS COM ERROS:   1");
    EXPECT_EQ(l[10], "  TOTAL DE ERROS:   2");
    EXPECT_EQ(situacao(1), "N");
    EXPECT_EQ(situacao(2), "?");
    EXPECT_EQ(situacao(3), "G");
    EXPECT_TRUE(validar->btGerar->isEnabled());
    EXPECT_TRUE(validar->btRelatorio->isEnabled());
    EXPECT_EQ(validar->LErros->caption(), "2");
}

TEST_F(ValidarMovimento, SingleMovementLeavesItPendingAndCannotGenerate)
{
    validar->UmMovimento = true;
    Dm_Validar->MovCodigo = 1;
    Dm_Validar->MovInscricao = kDecl;
    Dm_Validar->MovAno = QStringLiteral("2026");
    Dm_Validar->MovMes = QStringLiteral("12");
    Dm_Validar->MovTipo = QStringLiteral("N");
    exec("update qel_movimento set mov_situacao = 'N' where mov_codigo = 1");
    validar->ValidaMovimento();
    EXPECT_EQ(achados(), QStringList());
    EXPECT_EQ(validar->MovimentosVerificados, 1);
    EXPECT_EQ(situacao(1), "?");
    EXPECT_FALSE(validar->btGerar->isEnabled());
    EXPECT_EQ(validar->LInscricao->caption(), kDecl);

    // Without a month nothing is checked.
    Dm_Validar->MovMes.clear();
    validar->ValidaMovimento();
    EXPECT_EQ(validar->MovimentosVerificados, 0);
    EXPECT_EQ(validar->Linhas().size(), 3);
}

TEST_F(ValidarMovimento, ALongTradeNameIsCutAtNinety)
{
    exec("update Contribuinte set Con_NomePropr = ?2 where Con_IECNPJCPF = ?1",
         {kDecl, QString(40, QLatin1Char('N'))});
    exec("update Contribuinte set Con_NomePropr = Con_NomePropr || Con_NomePropr where Con_IECNPJCPF = ?1",
         {kDecl});
    validar->Selecionados = {mov(1, kDecl)};
    validar->ValidaMovimento();
    const QString l = validar->Linhas()[3];
    EXPECT_EQ(l.size(), 90);
    EXPECT_TRUE(l.startsWith("  IE: " + mascara(kDecl) + " - NNNN"));
}

TEST_F(ValidarMovimento, TheWindowRunsOnceShownAndPrintsAndGeneratesByKeys)
{
    vorta::report::MemoryPrinterDriver printer;
    vorta::report::setPrinterDriver(&printer);
    int geracoes = 0;
    AbreSelMovGera = [&] { ++geracoes; };
    exec("update Contribuinte set Con_Nome = NULL where Con_IECNPJCPF = ?1", {kDecl2});
    validar->Selecionados = {mov(1, kDecl), mov(2, kDecl2)};
    EXPECT_TRUE(validar->Linhas().isEmpty());
    validar->show();
    user::activate(validar);
    QApplication::processEvents();
    ASSERT_EQ(validar->Linhas().size(), 10);

    user::alt(QLatin1Char('i'));
    ASSERT_EQ(printer.jobs.size(), 1);
    const auto texts = printer.jobs[0].pages.texts(0);
    QStringList impressas;
    for (const auto& t : texts)
        impressas << t.text;
    EXPECT_EQ(impressas, validar->Linhas());

    user::alt(QLatin1Char('g'));
    EXPECT_EQ(geracoes, 1);
    validar->grab().save(QDir::temp().filePath(QStringLiteral("zir_validar.png")));
    AbreSelMovGera = nullptr;
    vorta::report::setPrinterDriver(nullptr);
}
