#include "MapasTestSupport.h"
#include "UMapa1.h"
#include "UMapa2.h"
#include "UMapaImpressao.h"
#include "UResumoMapa.h"

#include "platform/core/Exceptions.h"
#include "platform/report/PreparedReport.h"

#include <QCoreApplication>
#include <QDir>

using namespace zir_test;

namespace {

TEST(StringToFloat, KeepsDigitsTheLastCommaAndALeadingSign)
{
    const struct {
        const char* text;
        double value;
    } cases[] = {{"1.234,56", 1234.56}, {"-1.000,5", -1000.5}, {"12a3", 123}, {"0,00", 0}, {" 7 ", 7}, {"+3,5", 3.5}};
    for (const auto& c : cases)
        EXPECT_DOUBLE_EQ(c.value, StringToFloat(QString::fromUtf8(c.text))) << c.text;
    EXPECT_THROW(StringToFloat(QStringLiteral("abc")), vorta::EConvertError);
}

class MapaImpresso : public MapasFixture {
public:
    // A stored map of n animals, the first `classified` of them classified, with its
    // summary rows for J4 (classified) and J2 (rejected heads).
    void mapa(int code, int n, int classified, const QString& conformacao = QStringLiteral("C"))
    {
        mapaGravado(code, QStringLiteral("M"));
        exec("update qel_mapas set Tec_Codigo = 1 where map_codigo = ?1", {code});
        for (int i = 1; i <= n; ++i)
            exec("insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, itm_classificado, aca_codigo, "
                 "mat_codigo, itm_peso, con_codigo) values (?1, ?2, 'B', ?3, 3, 'J4', 240, ?4)",
                 {code, i, i <= classified ? "S" : "N", conformacao});
        exec("insert into Qel_Mapas_Resumo values (?1, 'J4', ?2, 1234.5, 16, 90, 1440, 172.8, 33, 57.02, 0)",
             {code, classified});
        exec("insert into Qel_Mapas_Resumo values (?1, 'J2', 0, 0, 0, 0, 0, 0, 0, 0, ?2)", {code, n - classified});
    }
    QStringList textos(const vorta::report::Report& r, int page)
    {
        QStringList out;
        for (const auto& t : r.qrPrinter().texts(page))
            out << t.text;
        return out;
    }
    // Previews the map through the print command and keeps what the preview shows.
    struct Visto {
        bool layout1 = false;
        int paginas = 0;
        QList<QStringList> textos;
    };
    Visto imprime(int code, const QString& amostra = {})
    {
        Visto v;
        vorta::ui::setModalHook([&](vorta::ui::Form&) {
            TqrMapaBase* r = qrMapa1 ? static_cast<TqrMapaBase*>(qrMapa1.get()) : qrMapa2.get();
            if (r) {
                v.layout1 = qrMapa1;
                v.paginas = r->pageCount();
                for (int p = 0; p < r->pageCount(); ++p)
                    v.textos << textos(*r, p);
                if (!amostra.isEmpty()) {
                    const QString pasta = QCoreApplication::applicationDirPath() + QStringLiteral("/report-samples");
                    QDir().mkpath(pasta);
                    r->exportToPdf(pasta + QStringLiteral("/") + amostra + QStringLiteral(".pdf"));
                }
            }
            return int(vorta::ui::mrCancel);
        });
        ImprimirMapa(code, TCabecalhoMapa{QStringLiteral("Frigorifico"), QStringLiteral("28.123.456-7"),
                                          QStringLiteral("Palmas"), QStringLiteral("000123"), QStringLiteral("Pecuarista"),
                                          QStringLiteral("4567"), QStringLiteral("Fazenda Boa"), QStringLiteral("Palmas")});
        vorta::ui::setModalHook(nullptr);
        EXPECT_FALSE(qrMapa1);
        EXPECT_FALSE(qrMapa2);
        return v;
    }
};

TEST_F(MapaImpresso, EachLayoutForItsNumberOfAnimals)
{
    for (int n : {1, 12, 100, 101, 400}) {
        SCOPED_TRACE(n);
        const int code = 100 + n;
        mapa(code, n, n);
        const Visto v = imprime(code, QStringLiteral("mapa_%1_animais").arg(n));
        EXPECT_EQ(n <= 100, v.layout1);
        ASSERT_GT(v.paginas, 0);
        std::cout << "map of " << n << " animals: " << v.paginas << " pages\n";
        int resumos = 0;
        for (int p = 0; p < v.paginas; ++p) {
            const QStringList& t = v.textos.at(p);
            EXPECT_TRUE(t.contains(QStringLiteral("/%1").arg(v.paginas))) << "page " << p + 1;
            resumos += t.contains(QStringLiteral("15 - RESUMO DOS ANIMAIS CLASSIFICADOS"));
            if (t.contains(QStringLiteral("15 - RESUMO DOS ANIMAIS CLASSIFICADOS"))) {
                EXPECT_TRUE(t.contains(QStringLiteral("Dra. Vet")));
            }
        }
        // Small maps carry the summary on every page, large ones on their last only.
        EXPECT_EQ(n <= 100 ? v.paginas : 1, resumos);
        if (n > 100) {
            EXPECT_TRUE(v.textos.last().contains(QStringLiteral("15 - RESUMO DOS ANIMAIS CLASSIFICADOS")));
            EXPECT_FALSE(v.textos.last().contains(QStringLiteral("240,00"))) << "no animal on the summary's page";
        }
        int animais = 0;
        for (const QStringList& t : v.textos)
            animais += int(t.count(QStringLiteral("240,00")));
        EXPECT_EQ(n, animais);
    }
}

TEST_F(MapaImpresso, TheVerdictDecidesTheAmountsPassedOn)
{
    struct Caso {
        int classified;
        bool direito;
    } casos[] = {{3, true}, {2, false}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.classified);
        const int code = 10 + c.classified;
        mapa(code, 6, c.classified);
        TqrMapa1 r(nullptr);
        CarregaResumoRelatorio(r, code, {});
        EXPECT_EQ(c.direito ? QStringLiteral("57,02") : QStringLiteral("0,00"), r.texto(QStringLiteral("qrres3")));
        EXPECT_EQ(c.direito, r.texto(QStringLiteral("pDireito")).isEmpty());
        if (!c.direito) {
            EXPECT_TRUE(r.texto(QStringLiteral("pDireito")).startsWith(QStringLiteral("\"Sem direito aos benefícios fiscais")));
        }
        EXPECT_EQ(QString::number(c.classified), r.texto(QStringLiteral("j4Qtd")));
        EXPECT_EQ(QString::number(6 - c.classified), r.texto(QStringLiteral("qr2")));
        EXPECT_EQ(QStringLiteral("---"), r.texto(QStringLiteral("qrtotmvlrarrobas")));
        EXPECT_EQ(QString::number(6 - c.classified), r.texto(QStringLiteral("vtot1")));
        r.prepare();
        const QStringList t = textos(r, 0);
        EXPECT_EQ(c.direito ? 4 : 0, int(t.count(QStringLiteral("57,02")))) << "the class, its total, 33 % and the total";
    }
}

TEST_F(MapaImpresso, ADifferentConformationPrintsDIFAndADash)
{
    mapa(7, 1, 0, QStringLiteral("*"));
    const Visto v = imprime(7);
    ASSERT_EQ(1, v.paginas);
    EXPECT_TRUE(v.textos[0].contains(QStringLiteral("DIF")));
    EXPECT_TRUE(v.textos[0].contains(QStringLiteral("-")));
    EXPECT_FALSE(v.textos[0].contains(QStringLiteral("B"))) << "no typing";
}

TEST_F(MapaImpresso, InvoicesInEntryOrderAndAMissingTechnician)
{
    mapa(8, 2, 2);
    exec("insert into Qel_NotasMapa values (8, '900')");
    exec("insert into Qel_NotasMapa values (8, '120')");
    exec("update qel_mapas set Tec_Codigo = 99 where map_codigo = 8");
    const Visto v = imprime(8);
    ASSERT_EQ(1, v.paginas);
    EXPECT_TRUE(v.textos[0].contains(QStringLiteral("900, 120")));
    EXPECT_FALSE(v.textos[0].contains(QStringLiteral("Dra. Vet")));
    EXPECT_TRUE(v.textos[0].contains(QStringLiteral("Frigorifico")));
}

// The form's panel, the data module's verdict and the print's agree.
TEST_F(MapaImpresso, FormDataModuleAndPrintAgreeOnTheVerdict)
{
    int code = 1000;
    for (int n = 1; n <= 12; ++n)
        for (int k = 0; k <= n; ++k) {
            SCOPED_TRACE(QStringLiteral("%1 of %2").arg(k).arg(n).toStdString());
            mapa(++code, n, k);
            const bool aprovado = dm->MapaAprovado(code);
            dm->TblMapas->refresh();
            ASSERT_TRUE(dm->TblMapas->locate(QStringLiteral("map_codigo"), code));
            TResumoMapa form(dm);
            form.CarregaResumo();
            EXPECT_EQ(aprovado, !form.paprovado);
            TqrMapa1 r(nullptr);
            CarregaResumoRelatorio(r, code, {});
            EXPECT_EQ(aprovado, r.texto(QStringLiteral("pDireito")).isEmpty());
            EXPECT_EQ(aprovado, 2 * k >= n);
        }
}

} // namespace
