// The validation of movements: each register and movement rule with its report line,
// the report's header and footer, and the states the run leaves.
#include "ValidarTestSupport.h"
#include "QValidacao.h"
#include "UValidar.h"
#include "Ufuncoes.h"

#include "platform/report/ReportPrinter.h"
#include "testing/UserInput.h"

#include <QApplication>

using namespace zir_test;
namespace user = vorta::testing::user;

using namespace zir_test::validar_test;

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
    validar->AbreGeracao = [&] { ++geracoes; };
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
    vorta::report::setPrinterDriver(nullptr);
}
