#include "MapasTestSupport.h"
#include "UResumoMovimento.h"

using namespace zir_test;
using vorta::Money;

namespace {
Money m(const char* text)
{
    return Money::fromString(QString::fromLatin1(text));
}
const QString kOutroPecuarista = QStringLiteral("285000002");
} // namespace

class ResumoMovimento : public MapasFixture {
protected:
    void SetUp() override
    {
        MapasFixture::SetUp();
        // Declarant, December: map 10 approved (2 rejected, 3 classified), map 11 not
        // (4 rejected, 1 classified), map 12 a female map of another raiser, approved.
        mapa(10, kFrigorifico, QDate(2026, 12, 1));
        linha(10, "JD", 2, 510, 34, 246.02, 0);
        linha(10, "J2", 1, 200.5, 13.37, 50.10, 1);
        linha(10, "I", 0, 0, 0, 0, 1);
        mapa(11, kFrigorifico, QDate(2026, 12, 15));
        linha(11, "jd", 1, 250, 16.67, 100, 0);
        linha(11, "A", 0, 0, 0, 0, 3);
        linha(11, "T4", 0, 0, 0, 0, 1);
        mapa(12, kFrigorifico, QDate(2026, 12, 31), kOutroPecuarista);
        linha(12, "JFD", 2, 400, 26.67, 80, 0);
        linha(12, "JF4", 1, 180, 12, 20.5, 0);
        linha(12, "IF", 0, 0, 0, 0, 1);
        // Not the declarant's month: another slaughterhouse, the next and the previous month.
        mapa(20, kOutroFrigorifico, QDate(2026, 12, 10));
        linha(20, "JD", 5, 1000, 66.67, 500, 0);
        mapa(30, kFrigorifico, QDate(2027, 1, 1));
        linha(30, "JD", 7, 1400, 93.33, 700, 0);
        mapa(31, kFrigorifico, QDate(2026, 11, 30));
        linha(31, "JFD", 9, 1800, 120, 900, 0);
    }
    void mapa(int code, const QString& declarant, const QDate& day, const QString& raiser = kPecuarista)
    {
        exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado, map_num_lote) "
             "values (?1, ?2, ?3, ?4, 'M', '01/01')",
             {code, declarant, QDateTime(day, QTime(0, 0)), raiser});
    }
    void linha(int map, const char* code, int heads, double weight, double arrobas, double passedOn, int rejected)
    {
        exec("insert into qel_mapas_resumo (map_codigo, mat_codigo, mre_qtd_cabecas, mre_peso_kg, mre_qtd_arroba, "
             "mre_vlr_repasse, mre_qtd_reprovada) values (?1, ?2, ?3, ?4, ?5, ?6, ?7)",
             {map, QString::fromLatin1(code), heads, weight, arrobas, passedOn, rejected});
    }
    TResumoMovimento resumo;
};

TEST_F(ResumoMovimento, SumsTheDeclarantsMapsOfTheMonthByClassAndApproval)
{
    resumo.Calcula(dm, kFrigorifico, 2026, 12);

    struct Case {
        const char* code;
        int qtdA;
        const char *pesoA, *arrA, *repA;
        int qtdR;
        const char *pesoR, *arrR;
    };
    const Case cases[] = {
        {"JD", 2, "510.00", "34.00", "246.02", 1, "250.00", "16.67"},
        {"J2", 1, "200.50", "13.37", "50.10", 0, "0", "0"},
        {"J4", 0, "0", "0", "0", 0, "0", "0"},
        {"TD", 0, "0", "0", "0", 0, "0", "0"},
        {"T2", 0, "0", "0", "0", 0, "0", "0"},
        {"JFD", 2, "400.00", "26.67", "80.00", 0, "0", "0"},
        {"JF2", 0, "0", "0", "0", 0, "0", "0"},
        {"JF4", 1, "180.00", "12.00", "20.50", 0, "0", "0"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.code);
        const TClasseMes* k = resumo.Classe(QString::fromLatin1(c.code));
        ASSERT_NE(k, nullptr);
        EXPECT_EQ(k->Aprovado.Qtd, c.qtdA);
        EXPECT_EQ(k->Aprovado.Peso, m(c.pesoA));
        EXPECT_EQ(k->Aprovado.QtdArr, m(c.arrA));
        EXPECT_EQ(k->Aprovado.Repasse, m(c.repA));
        EXPECT_EQ(k->Reprovado.Qtd, c.qtdR);
        EXPECT_EQ(k->Reprovado.Peso, m(c.pesoR));
        EXPECT_EQ(k->Reprovado.QtdArr, m(c.arrR));
        // A map that is not approved passes nothing on.
        EXPECT_TRUE(k->Reprovado.Repasse.isZero());
        EXPECT_EQ(k->Incentivo(), m(c.repA));
    }
    EXPECT_EQ(resumo.JD.Qtd(), 3);
    EXPECT_EQ(resumo.JD.Peso(), m("760.00"));
    EXPECT_EQ(resumo.JD.QtdArr(), m("50.67"));
    EXPECT_EQ(resumo.Classe("xx"), nullptr);
}

TEST_F(ResumoMovimento, TotalsBySexBandAndTheAnimalsNotClassified)
{
    resumo.Calcula(dm, kFrigorifico, 2026, 12);

    EXPECT_EQ(resumo.TotalM.Qtd(), 4);
    EXPECT_EQ(resumo.TotalM.Peso(), m("960.50"));
    EXPECT_EQ(resumo.TotalM.QtdArr(), m("64.04"));
    EXPECT_EQ(resumo.TotalM.Incentivo(), m("296.12"));
    EXPECT_EQ(resumo.TotalM.Aprovado.Qtd, 3);
    EXPECT_EQ(resumo.TotalF.Qtd(), 3);
    EXPECT_EQ(resumo.TotalF.Peso(), m("580.00"));
    EXPECT_EQ(resumo.TotalF.QtdArr(), m("38.67"));
    EXPECT_EQ(resumo.TotalF.Incentivo(), m("100.50"));
    EXPECT_EQ(resumo.QtdTotal, 7);
    EXPECT_EQ(resumo.QtdTotalAprovado, 6);
    EXPECT_EQ(resumo.Incentivo67, m("326.02"));
    EXPECT_EQ(resumo.Incentivo50, m("50.10"));
    EXPECT_EQ(resumo.Incentivo33, m("20.50"));
    EXPECT_EQ(resumo.IncentivoTotal, m("396.62"));

    EXPECT_EQ(resumo.NcJD, 0);
    EXPECT_EQ(resumo.NcJ2J4, 1);
    EXPECT_EQ(resumo.NcTD, 0);
    EXPECT_EQ(resumo.NcT2T4, 1);
    EXPECT_EQ(resumo.NcI, 1);
    EXPECT_EQ(resumo.NcA, 3);
    EXPECT_EQ(resumo.NcTotalM, 6);
    EXPECT_EQ(resumo.NcJFD, 0);
    EXPECT_EQ(resumo.NcJF2JF4, 0);
    EXPECT_EQ(resumo.NcIF, 1);
    EXPECT_EQ(resumo.NcAF, 0);
    EXPECT_EQ(resumo.NcTotalF, 1);
}

TEST_F(ResumoMovimento, KeepsOnlyTheRaiserGiven)
{
    resumo.Calcula(dm, kFrigorifico, 2026, 12, kOutroPecuarista);
    EXPECT_EQ(resumo.JD.Qtd(), 0);
    EXPECT_EQ(resumo.NcA, 0);
    EXPECT_EQ(resumo.JFD.Qtd(), 2);
    EXPECT_EQ(resumo.QtdTotal, 3);

    resumo.Calcula(dm, kFrigorifico, 2026, 12, kPecuarista);
    EXPECT_EQ(resumo.JD.Qtd(), 3);
    EXPECT_EQ(resumo.TotalF.Qtd(), 0);
    EXPECT_EQ(resumo.IncentivoTotal, m("296.12"));
}

TEST_F(ResumoMovimento, ComputingAgainStartsFromZero)
{
    resumo.Calcula(dm, kFrigorifico, 2026, 12);
    resumo.Calcula(dm, kFrigorifico, 2026, 12);
    EXPECT_EQ(resumo.QtdTotal, 7);
    EXPECT_EQ(resumo.IncentivoTotal, m("396.62"));
    EXPECT_EQ(resumo.NcTotalM, 6);

    // Another slaughterhouse's month holds only its own map.
    resumo.Calcula(dm, kOutroFrigorifico, 2026, 12);
    EXPECT_EQ(resumo.JD.Qtd(), 5);
    EXPECT_EQ(resumo.QtdTotal, 5);
    EXPECT_EQ(resumo.NcTotalM, 0);
}

TEST_F(ResumoMovimento, TheMonthRunsFromItsFirstDayToTheNextMonthsFirst)
{
    EXPECT_EQ(TResumoMovimento::Inicio(2026, 12), QDate(2026, 12, 1));
    EXPECT_EQ(TResumoMovimento::Fim(2026, 12), QDate(2027, 1, 1));
    EXPECT_EQ(TResumoMovimento::Fim(2026, 2), QDate(2026, 3, 1));

    resumo.Calcula(dm, kFrigorifico, 2027, 1);
    EXPECT_EQ(resumo.JD.Qtd(), 7);
    EXPECT_EQ(resumo.QtdTotal, 7);
    resumo.Calcula(dm, kFrigorifico, 2026, 11);
    EXPECT_EQ(resumo.JFD.Qtd(), 9);
    EXPECT_EQ(resumo.JD.Qtd(), 0);
    resumo.Calcula(dm, kFrigorifico, 2026, 10);
    EXPECT_EQ(resumo.QtdTotal, 0);
    EXPECT_TRUE(resumo.IncentivoTotal.isZero());
}
