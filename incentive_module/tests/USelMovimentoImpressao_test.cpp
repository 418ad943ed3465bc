// The movement print and its list: the month's sums of the declarant's maps (every
// map's animals, the approved maps' incentive), a month without maps, movements in each
// state printed from the list, the search, and a failure shown as 504 and logged.
#include "MapasTestSupport.h"
#include "UMOVMTC.h"
#include "UResumoMapa.h"
#include "USelMovimentoImpressao.h"
#include "Ufuncoes.h"

#include "platform/ipc/ExceptionReporter.h"
#include "platform/ui/Application.h"
#include "testing/UserInput.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace zir_test;
using vorta::Money;
using vorta::ui::MessageKind;
namespace user = vorta::testing::user;

namespace {

QString amostras()
{
    const QString pasta = QCoreApplication::applicationDirPath() + QStringLiteral("/report-samples/");
    QDir().mkpath(pasta);
    return pasta;
}

class MovimentoImpresso : public MapasFixture {
protected:
    void SetUp() override
    {
        MapasFixture::SetUp();
        for (int code : {440, 504, 1683})
            exec("insert or replace into mensagem (Men_Codigo, Men_Descricao) values (?1, ?2)",
                 {code, QStringLiteral("Mensagem %1").arg(code)});
        // December: an approved map of males, an approved one of females and a rejected
        // one whose class JF4 has no other map; typed through the data module.
        TResumoMapa resumo(dm);
        const struct {
            const char* sex;
            QDate day;
            std::vector<std::pair<const char*, double>> animals;
        } maps[] = {{"M", kDia, {{"JD", 250}, {"JD", 260}, {"J2", 240}, {"I", 300}}},
                    {"F", kDia, {{"JFD", 190}, {"JF2", 185}, {"AF", 260}}},
                    {"F", kDia.addDays(1), {{"JF4", 200}, {"AF", 260}, {"IF", 250}}}};
        for (const auto& m : maps) {
            novoMapa(QString::fromLatin1(m.sex), kPecuarista, m.day);
            resumo.CarregaParametros();
            resumo.dbEdit_VlrArrobaMacho = Money::fromUnits(100);
            resumo.dbEdit_VlrArrobaFemea = Money::fromUnits(90);
            dm->TblContribuinteComplementoMapas->refresh();
            for (const auto& [maturity, weight] : m.animals)
                animal(QString::fromLatin1(maturity), weight);
            resumo.Gravar();
        }
        // Another slaughterhouse's map of the same month.
        exec("insert into qel_mapas (map_codigo, con_iecnpjcpf, map_data, ie_pecuarista, Aprovado, map_num_lote, "
             "Tec_Codigo) values (900, ?1, ?2, ?3, 'M', '09/09', 1)",
             {kOutroFrigorifico, QDateTime(kDia, QTime(0, 0)), kPecuarista});
        exec("insert into qel_mapas_resumo (map_codigo, mat_codigo, mre_qtd_cabecas, mre_peso_kg, mre_qtd_arroba, "
             "mre_vlr_repasse, mre_qtd_reprovada) values (900, 'JD', 5, 1000, 66.67, 500, 0)");
        // December's rectifying movement, validated; November's, generated, without maps.
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia, "
             "mov_tipo, mov_situacao) values (2, ?1, 2026, 12, 'R', 'N'), (3, ?1, 2026, 11, 'N', 'G')",
             {kFrigorifico});
    }
    void TearDown() override
    {
        vorta::ui::setModalHook(nullptr);
        vorta::Component::free(SelMovimentoImpressao.get());
        MapasFixture::TearDown();
    }
    // A cell of the print by its name.
    static QString celula(const TMOVMTC& r, const QString& name)
    {
        vorta::report::Label* l = r.Celula(name);
        return l ? l->caption : QStringLiteral("<none>");
    }
    static QStringList textos(const vorta::report::Report& r)
    {
        QStringList out;
        for (int p = 0; p < r.pageCount(); ++p)
            for (const auto& t : r.qrPrinter().texts(p))
                out << t.text;
        return out;
    }
    // The list, shown and active.
    TSelMovimentoImpressao* lista()
    {
        TSelMovimentoImpressao* f =
            vorta::createInto<TSelMovimentoImpressao>(SelMovimentoImpressao, vorta::Application::instance());
        f->show();
        f->FormShow(f);
        user::activate(f);
        return f;
    }
    // Clicks the movement row of the given code in the lower grid.
    static void escolhe(TSelMovimentoImpressao* f, int codigo)
    {
        for (int r = 0; r < f->GridLMC->rowCount(); ++r) {
            f->QryMovimento->setRecNo(r + 1);
            if (f->QryMovimento->fieldByName("mov_codigo")->asInteger() == codigo) {
                const QRect cell = f->GridLMC->visualRect(f->GridLMC->model()->index(r, 1));
                QTest::mouseClick(f->GridLMC->viewport(), Qt::LeftButton, Qt::NoModifier, cell.center());
                ASSERT_EQ(f->QryMovimento->fieldByName("mov_codigo")->asInteger(), codigo);
                return;
            }
        }
        FAIL() << "movement " << codigo << " not listed";
    }
};

TEST_F(MovimentoImpresso, TheMonthSumsEveryMapOfTheDeclarantAndTheIncentiveOfApprovedOnes)
{
    TMOVMTC r;
    r.Preenche(1);
    const std::pair<const char*, const char*> cells[] = {
        // Approved maps: heads, weight, arrobas and the incentive.
        {"lblJDQtd", "2"}, {"lblJDPeso", "510,00"}, {"lblJDVlr", "246,02"}, {"lblJDPerc", "67,00"},
        {"lblTotalMVlr", "332,42"}, {"lblTotalMPerc", "--"}, {"lblJ4Qtd", "0"}, {"lblJ4Vlr", "0,00"},
        // Only a rejected map (one of its three animals classified): heads and weight, no
        // incentive.
        {"lblJF4Qtd", "1"}, {"lblJF4Peso", "200,00"}, {"lblJF4Vlr", "0,00"}, {"lblJF4Perc", "33,00"},
        {"lblTotalFQtd", "3"}, {"lblTotalFPeso", "575,00"},
        // Not classified: I, AF of both female maps, IF.
        {"lblNcJF2JF4", "0"}, {"lblNcI", "1"}, {"lblNcAF", "2"}, {"lblNcIF", "1"}, {"lblNcTotalM", "1"},
        {"lblNcTotalF", "3"},
        // Every head of the classes, and the incentive bands.
        {"lblTipificadasQtd", "6"}, {"lblIncentivoTotal", "473,10"}};
    for (const auto& [name, text] : cells)
        EXPECT_EQ(celula(r, name), text) << name;
    // The arrobas of the rejected class are those its map's summary holds.
    const double arrobas = scalar("select sum(mre_qtd_arroba) from qel_mapas_resumo r, qel_mapas m where "
                                  "r.map_codigo = m.map_codigo and m.con_iecnpjcpf = ?1 and mat_codigo = 'JF4'",
                                  {kFrigorifico})
                               .toDouble();
    EXPECT_GT(arrobas, 0);
    EXPECT_EQ(celula(r, "lblJF4Arr"), vorta::db::formatFloatBr(arrobas, "###,###,##0.00"));

    EXPECT_EQ(r.prepare(), 1);
    const QStringList t = textos(r);
    for (const char* caption : {"GOVERNO DO ESTADO DE ORVANIA", "KALVI", "Programa de Incentivo de Zirel",
                                "RESUMO DOS ANIMAIS CLASSIFICADOS", "RESUMO DOS ANIMAIS NÃO CLASSIFICADOS",
                                "RESUMO GERAL", "Qtd. Cabeças Tipificas", "Valor do incentivo a repassar",
                                "Identificação do Responsável Legal pela Empresa", "NORMAL"})
        EXPECT_TRUE(t.contains(QString::fromUtf8(caption))) << caption;
    EXPECT_FALSE(t.contains(QStringLiteral("Data de Geração :")));
    EXPECT_FALSE(t.contains(QStringLiteral("SEM INCENTIVO")));
    EXPECT_EQ(r.paperSize, vorta::report::PaperSize::A4);
    EXPECT_EQ(r.zoom, 120);
    EXPECT_TRUE(r.previewMaximized);
    r.exportToPdf(amostras() + QStringLiteral("movimento-dezembro.pdf"));
}

TEST_F(MovimentoImpresso, AMonthWithoutMapsPrintsZerosAndNoIncentiveShowsZeroAmounts)
{
    TMOVMTC r;
    r.Preenche(3);
    for (const char* c : {"JD", "J2", "J4", "TD", "T2", "TotalM", "JFD", "JF2", "JF4", "TotalF"}) {
        const QString l = QStringLiteral("lbl") + QString::fromLatin1(c);
        EXPECT_EQ(celula(r, l + "Qtd"), "0") << c;
        for (const char* s : {"Peso", "Arr", "Vlr"})
            EXPECT_EQ(celula(r, l + s), "0,00") << c << s;
    }
    for (const char* c : {"lblNcTotalM", "lblNcTotalF", "lblTipificadasQtd"})
        EXPECT_EQ(celula(r, c), "0") << c;
    for (const char* c : {"lblIncentivo67", "lblIncentivo50", "lblIncentivo33", "lblIncentivoTotal"})
        EXPECT_EQ(celula(r, c), "0,00") << c;
    EXPECT_EQ(r.prepare(), 1);
    r.exportToPdf(amostras() + QStringLiteral("movimento-sem-mapas.pdf"));

    // Maps whose incentive is all zero: every incentive amount shows 0,00.
    exec("update qel_mapas_resumo set mre_vlr_repasse = 0");
    TMOVMTC semRepasse;
    semRepasse.Preenche(1);
    EXPECT_EQ(celula(semRepasse, "lblJDQtd"), "2");
    EXPECT_EQ(celula(semRepasse, "lblJDVlr"), "0,00");
    EXPECT_EQ(celula(semRepasse, "lblIncentivoTotal"), "0,00");
}

TEST_F(MovimentoImpresso, TheListPrintsAMovementInEachState)
{
    exec("update qel_movimento set mov_situacao = '?' where mov_codigo = 1");
    TSelMovimentoImpressao* f = lista();
    EXPECT_EQ(f->QryContribuinte->fieldByName("Con_IECNPJCPF")->asString(), kFrigorifico);
    ASSERT_EQ(f->GridLMC->rowCount(), 3);
    // The state shows as its letter; the list starts on the last movement.
    QStringList estados;
    for (int r = 0; r < 3; ++r)
        estados << f->GridLMC->cellText(r, 3);
    EXPECT_EQ(estados, QStringList({"G", "?", "N"}));
    EXPECT_EQ(f->QryMovimento->fieldByName("mov_codigo")->asInteger(), 2);
    f->grab().save(QDir::temp().filePath(QStringLiteral("zir_selmovimentoimpressao.png")));

    struct Case {
        int codigo;
        const char* situacao;
        const char* tipo;
        const char* jd;
    } cases[] = {{1, "?", "NORMAL", "2"}, {2, "N", "RETIFICADOR", "2"}, {3, "G", "NORMAL", "0"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.situacao);
        // The preview of the last print took the focus with it.
        user::activate(f);
        escolhe(f, c.codigo);
        int previas = 0;
        vorta::ui::setModalHook([&](vorta::ui::Form&) {
            ++previas;
            EXPECT_TRUE(MOVMTC);
            if (MOVMTC) {
                EXPECT_EQ(MOVMTC->QryMTC->fieldByName("mov_situacao")->asString(), c.situacao);
                EXPECT_EQ(MOVMTC->QryMTC->fieldByName("calctipo")->asString(), c.tipo);
                EXPECT_EQ(celula(*MOVMTC.get(), "lblJDQtd"), c.jd);
                EXPECT_TRUE(textos(*MOVMTC.get()).contains(QString::fromLatin1(c.tipo)));
                MOVMTC->exportToPdf(amostras() + QStringLiteral("movimento-%1.pdf").arg(c.codigo));
            }
            return int(vorta::ui::mrCancel);
        });
        user::alt(QLatin1Char('i'));
        vorta::ui::setModalHook(nullptr);
        EXPECT_EQ(previas, 1);
        EXPECT_FALSE(MOVMTC) << "the print is freed after its preview";
    }
}

TEST_F(MovimentoImpresso, TheSearchFindsByNameOrRegistrationAndQuotesAreJustText)
{
    TSelMovimentoImpressao* f = lista();
    f->Edit_Busca->setFocus();
    user::type(QStringLiteral("Frigorifico 282"));
    user::enter();
    EXPECT_EQ(f->QryContribuinte->fieldByName("Con_IECNPJCPF")->asString(), kOutroFrigorifico);
    EXPECT_EQ(f->GridLMC->rowCount(), 0);

    // A quote in the text is matched as it is: nothing found, the whole list back.
    f->Edit_Busca->setFocus();
    f->Edit_Busca->selectAll();
    user::type(QStringLiteral("O'Brien"));
    EXPECT_EQ(f->Edit_Busca->text(), "O'Brien");
    user::enter();
    EXPECT_EQ(f->QryContribuinte->recordCount(), 2);

    // By registration.
    QTest::mouseClick(f->RadioGroup_Ordem->button(0), Qt::LeftButton, Qt::NoModifier,
                      QPoint(6, f->RadioGroup_Ordem->button(0)->height() / 2));
    EXPECT_EQ(f->RadioGroup_Ordem->itemIndex(), 0);
    f->Edit_Busca->setFocus();
    f->Edit_Busca->selectAll();
    user::type(kFrigorifico.left(4));
    user::enter();
    EXPECT_EQ(f->QryContribuinte->fieldByName("Con_IECNPJCPF")->asString(), kFrigorifico);
    EXPECT_EQ(f->GridLMC->rowCount(), 3);
}

TEST_F(MovimentoImpresso, AFailureShows504AndLogsItsOwnText)
{
    QTemporaryDir logDir;
    auto& reporter = vorta::ipc::ExceptionReporter::instance();
    const QString previousLog = reporter.logFile();
    reporter.setLogFile(logDir.filePath(QStringLiteral("ZIR.log")));
    struct RestoreLog {
        QString file;
        ~RestoreLog() { vorta::ipc::ExceptionReporter::instance().setLogFile(file); }
    } restoreLog{previousLog};

    lista();
    exec("drop table Bairro");
    dialogs.expectMessage(MessageKind::Error, GetErrorMessage(504), 1);
    vorta::ui::setModalHook([](vorta::ui::Form&) {
        ADD_FAILURE() << "no preview after a failure";
        return int(vorta::ui::mrCancel);
    });
    user::alt(QLatin1Char('i'));
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_FALSE(MOVMTC);
    QFile log(reporter.effectiveLogFile());
    ASSERT_TRUE(log.open(QIODevice::ReadOnly)) << "no log written";
    EXPECT_TRUE(log.readAll().contains("Bairro"));
}

TEST_F(MovimentoImpresso, LeavingTheList)
{
    lista();
    user::alt(QLatin1Char('r'));
    QApplication::processEvents();
    EXPECT_FALSE(SelMovimentoImpressao) << "the list frees itself when it closes";

    lista();
    dialogs.expectMessage(MessageKind::Confirmation, GetErrorMessage(440), vorta::ui::mrNo);
    user::alt(QLatin1Char('s'));
    EXPECT_FALSE(vorta::Application::instance()->terminated());
    dialogs.expectMessage(MessageKind::Confirmation, GetErrorMessage(440), vorta::ui::mrYes);
    user::alt(QLatin1Char('s'));
    EXPECT_TRUE(vorta::Application::instance()->terminated());
    vorta::Application::instance()->clearTermination();
    EXPECT_TRUE(dialogs.allAnswered());
}

} // namespace
