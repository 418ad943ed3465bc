#include "MapasTestSupport.h"
#include "UResumoMapa.h"

#include "installation/InstallDatabase.h"

#include "platform/core/Exceptions.h"

#include <optional>

using namespace zir_test;
using vorta::Money;
using vorta::ui::MessageKind;

namespace {
Money m(const char* text)
{
    return Money::fromString(QString::fromLatin1(text));
}
} // namespace

class ResumoMapa : public MapasFixture {
protected:
    void SetUp() override
    {
        MapasFixture::SetUp();
        resumo = std::make_unique<TResumoMapa>(dm);
    }
    // Include: new map and the parameters' percentages, as the map form does.
    void inclui(const QString& sex, const char* practisedM = "100", const char* practisedF = "100")
    {
        novoMapa(sex);
        resumo->CarregaParametros();
        resumo->dbEdit_VlrArrobaMacho = m(practisedM);
        resumo->dbEdit_VlrArrobaFemea = m(practisedF);
        dm->TblContribuinteComplementoMapas->refresh();
    }
public:
    struct Stored {
        int heads;
        double weight, arrobas, value, base, icms, percent, passedOn;
        int rejected;
    };
    std::optional<Stored> row(int map, const char* maturity)
    {
        vorta::db::Query q;
        q.setDatabase(dm->dbMTC);
        q.setSql("select * from qel_mapas_resumo where map_codigo = :m and mat_codigo = :c");
        q.paramByName("m")->setAsInteger(map);
        q.paramByName("c")->setAsString(QString::fromLatin1(maturity));
        q.open();
        if (q.isEmpty())
            return std::nullopt;
        auto f = [&](const char* n) { return q.fieldByName(QString::fromLatin1(n))->asFloat(); };
        return Stored{int(q.fieldByName("mre_qtd_cabecas")->asInteger()), f("mre_peso_kg"), f("mre_qtd_arroba"),
                      f("mre_vlr_arroba"), f("mre_base_calc_icms"), f("mre_icms"), f("mre_perc_incentivo"),
                      f("mre_vlr_repasse"), int(q.fieldByName("mre_qtd_reprovada")->asInteger())};
    }
    std::unique_ptr<TResumoMapa> resumo;
};

TEST_F(ResumoMapa, AMaleMapTotalsAndSavesItsTwelveRows)
{
    inclui("M");
    animal("JD", 250.0);
    animal("JD", 260.0);
    animal("I", 300.0);
    resumo->Gravar();
    EXPECT_FALSE(dm->dbMTC->inTransaction());

    const TLinhaResumo& jd = resumo->JD;
    EXPECT_EQ(jd.Qtd, 2);
    EXPECT_EQ(jd.Peso, m("510.00"));
    EXPECT_EQ(jd.QtdArr, m("34.00"));
    EXPECT_EQ(jd.ValorArr, m("90.00")); // the smaller of practised 100 and reference 90
    EXPECT_EQ(jd.BaseCalc, m("3060.00"));
    EXPECT_EQ(jd.Icms, m("367.20"));
    EXPECT_EQ(jd.VlrRepasse, m("246.02"));
    EXPECT_EQ(resumo->TotIncentivo67, m("246.02"));
    EXPECT_EQ(resumo->TotIncentivoTotal, m("246.02"));
    EXPECT_EQ(resumo->TotalM.Qtd, 2);
    EXPECT_EQ(resumo->TotalM.ValorArr, m("90.00"));
    EXPECT_EQ(resumo->TotalQtdGeral, 2);
    EXPECT_EQ(resumo->recm5, 1);
    EXPECT_EQ(resumo->recmtotal, 1);
    EXPECT_FALSE(resumo->paprovado);

    const int map = int(dm->TblMapas->fieldByName("map_codigo")->asInteger());
    EXPECT_EQ(count("select count(*) from qel_mapas_resumo where map_codigo = ?1", {map}), 12);
    const auto stored = row(map, "JD");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->heads, 2);
    EXPECT_DOUBLE_EQ(stored->weight, 510.0);
    EXPECT_DOUBLE_EQ(stored->arrobas, 34.0);
    EXPECT_DOUBLE_EQ(stored->value, 90.0);
    EXPECT_DOUBLE_EQ(stored->base, 3060.0);
    EXPECT_DOUBLE_EQ(stored->icms, 367.2);
    EXPECT_DOUBLE_EQ(stored->percent, 67.0);
    EXPECT_DOUBLE_EQ(stored->passedOn, 246.02);
    const auto i = row(map, "I");
    ASSERT_TRUE(i);
    EXPECT_EQ(i->heads, 1);
    EXPECT_EQ(i->rejected, 1);
    EXPECT_DOUBLE_EQ(i->passedOn, 0.0);
    // The map keeps the values typed, not the smaller ones.
    EXPECT_DOUBLE_EQ(scalar("select map_vlr_arrobaM from qel_mapas").toDouble(), 100.0);
    EXPECT_DOUBLE_EQ(scalar("select map_vlr_icms from qel_mapas").toDouble(), 12.0);
    EXPECT_TRUE(dm->MapaAprovado(map));
    EXPECT_DOUBLE_EQ(dm->TblMapas->fieldByName("calcVlrTotal")->asFloat(), 246.02);
}

// After a save the map list shows the stored animals and those stored as "S", whatever
// the totals made of them, and an animal written while saving counts as well.
TEST_F(ResumoMapa, TheSavedMapListsItsStoredAnimals)
{
    struct Case {
        const char* name;
        bool writeWhileSaving;
    };
    for (const Case& c : {Case{"saved as counted", false}, Case{"an animal written while saving", true}}) {
        SCOPED_TRACE(c.name);
        inclui("M");
        animal("JD", 250.0);
        animal("I", 300.0);
        const int map = int(dm->TblMapas->fieldByName("map_codigo")->asInteger());
        // Outside every class, and classified in small letters: the totals count them
        // otherwise than the list does.
        exec("insert into qel_mapas_itens values (?1, 50, 'B', 'S', 3, 'XX', 300, 'C')", {map});
        exec("insert into qel_mapas_itens values (?1, 51, 'B', 's', 3, 'JD', 300, 'C')", {map});
        vorta::db::Field* icms = dm->TblMapas->fieldByName("map_vlr_icms");
        icms->OnChange = [&](vorta::db::Field&) {
            if (c.writeWhileSaving)
                exec("insert into qel_mapas_itens values (?1, 52, 'B', 'S', 3, 'JD', 300, 'C')", {map});
        };
        resumo->Gravar();
        icms->OnChange = nullptr;
        EXPECT_EQ(resumo->TotalQtdGeral, 2);
        ASSERT_TRUE(dm->TblMapas->locate(QStringLiteral("map_codigo"), map));
        EXPECT_EQ(dm->TblMapas->fieldByName("calcQtdTotal")->asInteger(),
                  count("select count(*) from qel_mapas_itens where map_codigo = ?1", {map}));
        EXPECT_EQ(dm->TblMapas->fieldByName("calcqtdreprovada")->asInteger(),
                  count("select count(*) from qel_mapas_itens where map_codigo = ?1 and itm_classificado = 'S'", {map}));
        EXPECT_EQ(dm->TblMapas->fieldByName("calcQtdTotal")->asInteger(), c.writeWhileSaving ? 5 : 4);
        EXPECT_DOUBLE_EQ(dm->TblMapas->fieldByName("calcVlrTotal")->asFloat(),
                         scalar("select sum(mre_vlr_repasse) from qel_mapas_resumo where map_codigo = ?1", {map})
                             .toDouble());
    }
}

TEST_F(ResumoMapa, AFemaleMapUsesTheFemaleValuesAndBands)
{
    inclui("F", "0", "75");
    animal("JFD", 180.0, "3", "C");
    animal("JF2", 180.0, "2", "SC");
    animal("JF4", 195.0, "4", "RE");
    animal("JF2", 179.99);
    animal("AF", 250.0);
    resumo->Gravar();
    // Female value: the smaller of 75 and reference 80; male practised 0 took its reference.
    EXPECT_EQ(resumo->dbEdit_VlrArrobaMacho, m("90.00"));
    EXPECT_EQ(resumo->TotalF.ValorArr, m("75.00"));
    EXPECT_EQ(resumo->JFD.QtdArr, m("12.00"));
    EXPECT_EQ(resumo->JFD.BaseCalc, m("900.00"));
    EXPECT_EQ(resumo->JFD.Icms, m("108.00"));
    EXPECT_EQ(resumo->JFD.VlrRepasse, m("72.36"));
    EXPECT_EQ(resumo->JF2.VlrRepasse, m("54.00"));
    EXPECT_EQ(resumo->JF4.QtdArr, m("13.00"));
    EXPECT_EQ(resumo->JF4.VlrRepasse, m("38.61")); // 975 x 12 % = 117.00, at 33 % 38.61
    EXPECT_EQ(resumo->TotIncentivo67, m("72.36"));
    EXPECT_EQ(resumo->TotIncentivo50, m("54.00"));
    EXPECT_EQ(resumo->TotIncentivo33, m("38.61"));
    EXPECT_EQ(resumo->TotIncentivoTotal, m("164.97"));
    EXPECT_EQ(resumo->TotalF.Qtd, 3);
    EXPECT_EQ(resumo->TotalF.Peso, m("555.00"));
    EXPECT_EQ(resumo->TotalM.Qtd, 0);
    EXPECT_EQ(resumo->recf2, 1);
    EXPECT_EQ(resumo->recf4, 1);
    EXPECT_EQ(resumo->recftotal, 2);
    const int map = int(dm->TblMapas->fieldByName("map_codigo")->asInteger());
    EXPECT_EQ(row(map, "JF2")->rejected, 1);
    EXPECT_EQ(row(map, "AF")->heads, 1);
    EXPECT_TRUE(dm->MapaAprovado(map));
}

// Less than half classified: the band totals go, the class figures stay, and the
// stored map is rejected.
TEST_F(ResumoMapa, ARejectedMapPassesNothingOn)
{
    inclui("M");
    for (int i = 0; i < 4; ++i)
        animal("J2", 300.0);
    for (int i = 0; i < 5; ++i)
        animal("A", 300.0);
    resumo->Gravar();
    EXPECT_TRUE(resumo->paprovado == false); // the save hides the panel
    resumo->Totaliza();
    EXPECT_TRUE(resumo->paprovado);
    EXPECT_EQ(resumo->J2.VlrRepasse, m("432.00")); // 80 arrobas x 90 x 12 % x 50 %
    for (Money band : {resumo->TotIncentivo67, resumo->TotIncentivo50, resumo->TotIncentivo33,
                       resumo->TotIncentivoTotal})
        EXPECT_TRUE(band.isZero());
    const int map = int(dm->TblMapas->fieldByName("map_codigo")->asInteger());
    EXPECT_FALSE(dm->MapaAprovado(map));
    EXPECT_DOUBLE_EQ(row(map, "J2")->passedOn, 432.0);
    EXPECT_DOUBLE_EQ(dm->TblMapas->fieldByName("calcVlrTotal")->asFloat(), 0.0);
}

// The totals count the animals the table shows, the one being typed too (it is posted
// first), and leave the table on its last animal, at its end.
TEST_F(ResumoMapa, TotalsCountTheAnimalsShownAndEndOnTheLast)
{
    inclui("M");
    animal("JD", 300.0);
    animal("A", 300.0);
    animal("JD", 260.5);
    auto* items = dm->TblMapasItens;
    items->append();
    items->fieldByName("mat_codigo")->setAsString("j2");
    items->fieldByName("con_codigo")->setAsString("C");
    items->fieldByName("aca_codigo")->setAsString("3");
    items->fieldByName("itm_peso")->setAsFloat(240.25);
    items->fieldByName("tip_codigo")->setAsString("B");
    struct Caso {
        const char* nome;
        const char* filtro;
        int jd, j2, a;
        const char* pesoJd;
        int ultimo; // the animal the table ends on
    };
    const Caso casos[] = {
        {"every animal", "", 2, 1, 1, "560.50", 4},
        {"the young males shown alone", "mat_codigo='J*'", 2, 1, 0, "560.50", 4},
        {"one animal shown", "itm_num_animal=3", 1, 0, 0, "260.50", 3},
        {"the first two shown", "itm_num_animal<3", 1, 0, 1, "300.00", 2},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        items->setFilter(QString::fromLatin1(c.filtro));
        items->setFiltered(*c.filtro != 0);
        resumo->Totaliza();
        EXPECT_EQ(items->state(), vorta::db::DataSetState::Browse);
        EXPECT_EQ(resumo->JD.Qtd, c.jd);
        EXPECT_EQ(resumo->JD.Peso, m(c.pesoJd));
        EXPECT_EQ(resumo->J2.Qtd, c.j2);
        EXPECT_EQ(resumo->recm6, c.a);
        EXPECT_EQ(resumo->TotalQtdGeral + resumo->recmtotal, c.jd + c.j2 + c.a);
        EXPECT_TRUE(items->eof());
        EXPECT_EQ(items->recNo(), items->recordCount());
        EXPECT_EQ(items->fieldByName("itm_num_animal")->asInteger(), c.ultimo);
    }
}

TEST_F(ResumoMapa, ExactlyHalfClassifiedKeepsTheIncentive)
{
    struct Case {
        int classified;
        QStringList rejected; // maturity codes of the animals not classified
        bool earns;
    };
    const QStringList fiveTD(5, "TD");
    const Case cases[] = {
        {5, fiveTD, true}, {4, fiveTD, false}, {1, {"TD"}, true}, {0, {"TD", "TD", "TD"}, false}, {0, {}, false},
        // Never classified codes only: nothing earns, whatever their weight.
        {0, {"A", "I", "A"}, false}, {3, {"A", "I", "T4"}, true}, {2, {"A", "I", "T4"}, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.classified << " and " << c.rejected.join(' ').toStdString());
        inclui("M");
        for (int i = 0; i < c.classified; ++i)
            animal("TD", 300.0);
        for (const QString& code : c.rejected)
            animal(code, code == "TD" ? 200.0 : 400.0);
        resumo->Totaliza();
        EXPECT_EQ(resumo->paprovado, !c.earns);
        EXPECT_EQ(resumo->TotIncentivo67.isZero(), !c.earns || c.classified == 0);
        EXPECT_EQ(resumo->TotIncentivoTotal, resumo->TotIncentivo67);
        EXPECT_EQ(resumo->recmtotal, c.rejected.size());
        EXPECT_EQ(resumo->recm3, c.rejected.count("TD"));
        // The class figures stay, whether the map earns or not.
        EXPECT_EQ(resumo->TD.VlrRepasse.isZero(), c.classified == 0);
        dm->TblMapas->cancel();
        dm->dbMTC->rollback();
    }
}

// J4 and T4 have no rejected column of their own: J2's and T2's rows carry them.
TEST_F(ResumoMapa, TheJ4AndT4Case)
{
    inclui("M");
    animal("J4", 240.0);
    animal("J4", 200.0);
    animal("J2", 200.0);
    animal("T4", 300.0);
    animal("T2", 300.0);
    animal("TD", 300.0);
    resumo->Gravar();
    EXPECT_EQ(resumo->J4.Qtd, 1);
    EXPECT_EQ(resumo->J4.VlrRepasse, m("57.02")); // 16 arrobas x 90 = 1440, 172.80 at 33 %
    EXPECT_EQ(resumo->TotIncentivo33, m("57.02"));
    EXPECT_EQ(resumo->recm2, 2);
    EXPECT_EQ(resumo->recm4, 1);
    const int map = int(dm->TblMapas->fieldByName("map_codigo")->asInteger());
    EXPECT_EQ(row(map, "J2")->rejected, 2);
    EXPECT_EQ(row(map, "J4")->rejected, 0);
    EXPECT_EQ(row(map, "T2")->rejected, 1);
    EXPECT_FALSE(row(map, "T4"));
    EXPECT_TRUE(dm->MapaAprovado(map)); // 3 classified, 3 not
}

// 129.695 is held at two places as 129.70; binary floating point would give 129.69.
TEST_F(ResumoMapa, AmountsRoundHalfAwayFromZeroInDecimal)
{
    inclui("M", "100", "100");
    exec("update qel_parametros_mensais set pam_vlr_arr_macho = 100");
    resumo->DbEdit_Icms = m("1");
    for (int i = 0; i < 9; ++i)
        animal("J2", 389.0);
    animal("J2", 389.85);
    resumo->Totaliza();
    EXPECT_EQ(resumo->J2.Peso, m("3890.85"));
    EXPECT_EQ(resumo->J2.QtdArr, m("259.39"));
    EXPECT_EQ(resumo->J2.Icms, m("259.39"));
    EXPECT_EQ(resumo->J2.VlrRepasse, m("129.70"));
    EXPECT_EQ(resumo->TotIncentivo50, m("129.70"));
}

TEST_F(ResumoMapa, SavingTwiceLeavesTwelveRowsOfTheLastState)
{
    inclui("M");
    animal("JD", 300.0);
    resumo->Gravar();
    const int map = int(dm->TblMapas->fieldByName("map_codigo")->asInteger());
    dm->dbMTC->startTransaction();
    dm->TblMapas->edit();
    animal("JD", 300.0);
    resumo->Gravar();
    EXPECT_EQ(count("select count(*) from qel_mapas_resumo where map_codigo = ?1", {map}), 12);
    EXPECT_EQ(row(map, "JD")->heads, 2);
}

// A stored map keeps the percentages it was included with.
TEST_F(ResumoMapa, AStoredMapShowsItsOwnPercentages)
{
    inclui("M");
    animal("JD", 300.0);
    resumo->Gravar();
    setParametros(10, 10, 10, 18);
    TResumoMapa shown(dm);
    shown.CarregaResumo();
    EXPECT_EQ(shown.JD.Incentivo, m("67.00"));
    EXPECT_EQ(shown.J2.Incentivo, m("50.00")); // stored even without a J2 animal
    EXPECT_EQ(shown.DbEdit_Icms, m("12.00"));
    EXPECT_EQ(shown.dbEdit_VlrArrobaMacho, m("100.00"));
    EXPECT_EQ(shown.dbedit_valorArrobaMPauta, m("90.00"));
    EXPECT_EQ(shown.JD.VlrRepasse, m("144.72")); // 20 x 90 x 12 % x 67 %

    // Without the month's reference values they show as 0, and so do the amounts.
    exec("delete from qel_parametros_mensais");
    TResumoMapa withoutMonth(dm);
    withoutMonth.CarregaResumo();
    EXPECT_TRUE(withoutMonth.dbedit_valorArrobaMPauta.isZero());
    EXPECT_EQ(withoutMonth.dbEdit_VlrArrobaMacho, m("100.00"));
    EXPECT_EQ(withoutMonth.JD.Qtd, 1);
    EXPECT_TRUE(withoutMonth.JD.VlrRepasse.isZero());
}

TEST_F(ResumoMapa, AMonthWithoutReferenceValuesGivesNoAmounts)
{
    exec("delete from qel_parametros_mensais");
    inclui("M", "0", "0");
    animal("JD", 300.0);
    resumo->Totaliza();
    EXPECT_EQ(resumo->JD.Qtd, 1);
    EXPECT_TRUE(resumo->JD.ValorArr.isZero());
    EXPECT_TRUE(resumo->JD.VlrRepasse.isZero());
    EXPECT_TRUE(resumo->dbedit_valorArrobaMPauta.isZero());
}

TEST_F(ResumoMapa, ASaveIsRefusedAtTheFirstMissingPiece)
{
    using Campo = TResumoMapa::TCampo;
    struct Case {
        const char* what;
        std::function<void(ResumoMapa&)> spoil;
        MessageKind kind;
        const char* message;
        Campo campo;
    };
    const Case cases[] = {
        {"no movement", [](ResumoMapa& t) { t.exec("delete from qel_movimento"); }, MessageKind::Error, "*1669 - ",
         Campo::Data},
        {"third map of the day",
         [](ResumoMapa& t) {
             t.mapaGravado(50, "M");
             t.mapaGravado(51, "M");
         },
         MessageKind::Error, "*1723 - ", Campo::Data},
        {"no batch", [](ResumoMapa& t) { t.dm->TblMapas->fieldByName("map_num_lote")->clear(); }, MessageKind::Error,
         "*1677 - ", Campo::Lote},
        {"no programme number",
         [](ResumoMapa& t) {
             t.exec("update Qel_Contribuinte_Complemento set cco_num_cad_pradel = null");
             t.dm->TblContribuinteComplementoMapas->refresh();
         },
         MessageKind::Error, "*1722 - ", Campo::CadastroPrograma},
        {"no veterinarian", [](ResumoMapa& t) { t.dm->TblMapas->fieldByName("Tec_Codigo")->clear(); },
         MessageKind::Custom, "Informe o Médico Veterinário", Campo::Veterinario},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        inclui("M");
        animal("JD", 300.0);
        c.spoil(*this);
        std::optional<Campo> focused;
        resumo->OnRecusa = [&](Campo f) { focused = f; };
        dialogs.expectMessage(c.kind, QString::fromUtf8(c.message), 1);
        EXPECT_THROW(resumo->Gravar(), vorta::EAbort);
        EXPECT_TRUE(dialogs.allAnswered());
        if (c.campo == Campo::Data && QByteArray(c.what) == "no movement") {
            // Totalling refuses first, before the save's own check.
            EXPECT_FALSE(focused);
        } else {
            EXPECT_EQ(focused, c.campo);
        }
        EXPECT_TRUE(dm->dbMTC->inTransaction());
        EXPECT_EQ(count("select count(*) from qel_mapas_resumo"), 0);
        EXPECT_EQ(dm->TblMapas->state(), vorta::db::DataSetState::Insert);
        dm->TblMapasItens->cancel();
        dm->TblMapas->cancel();
        dm->dbMTC->rollback();
        exec("delete from qel_mapas");
        exec("update Qel_Contribuinte_Complemento set cco_num_cad_pradel = '4567'");
        exec("delete from qel_movimento");
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia) "
             "values (1, ?1, 2026, 12)",
             {kFrigorifico});
    }
}

// Only a movement of the slaughterhouse on screen for the date's own year and month lets
// a map be totalled.
TEST_F(ResumoMapa, TheMovementOfTheMapsMonthIsTheSlaughterhousesOwn)
{
    exec("delete from qel_movimento");
    struct Case {
        QString slaughterhouse;
        int year;
        int month;
        bool found;
    };
    const Case cases[] = {
        {kFrigorifico, 2026, 12, true},      {kOutroFrigorifico, 2026, 12, false},
        {kFrigorifico, 2025, 12, false},     {kFrigorifico, 2026, 11, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.slaughterhouse.toStdString() << " " << c.year << "/" << c.month);
        exec("delete from qel_movimento");
        exec("insert into qel_movimento (mov_codigo, con_iecnpjcpf, mov_ano_referencia, mov_mes_referencia) "
             "values (1, ?1, ?2, ?3)",
             {c.slaughterhouse, c.year, c.month});
        EXPECT_EQ(resumo->VerificaMovimento(kDia), c.found);
    }
}

// The demo installation as scripts/run lays it out: a map of its raiser, entered at its
// slaughterhouse today, is saved with the installed percentages and a non-zero incentive.
TEST(ResumoMapaDemo, AMapOfTheDemoRaiserEarnsTheInstalledIncentive)
{
    const QDate today(2026, 12, 10);
    vorta::setClock([today] { return QDateTime(today, QTime(10, 0)); });
    vorta::testing::TempInstallation install;
    install.installDatabase();
    vorta::installation::installDemoRows(install.folder(QStringLiteral("dados")), today);
    vorta::testing::ScriptedDialogs dialogs;
    vorta::ui::createForm(DM_MTC);
    TDM_MTC* dm = DM_MTC;
    ASSERT_TRUE(dm && dm->dbMTC->connected());
    dm->QryContribuinte->open();
    ASSERT_TRUE(dm->QryContribuinte->locate(QStringLiteral("Con_IECNPJCPF"), QStringLiteral("281234566")));
    for (auto* t : {dm->TblContribuinte, dm->TblMapas, dm->TblMapasItens, dm->TblTecnicos,
                    dm->TblContribuinteComplementoMapas})
        t->open();

    TResumoMapa resumo(dm);
    dm->dbMTC->startTransaction();
    dm->TblMapas->insert();
    dm->TblMapas->fieldByName(QStringLiteral("map_num_lote"))->setAsString(QStringLiteral("01/26"));
    dm->TblMapas->fieldByName(QStringLiteral("map_data"))->setAsDateTime(QDateTime(today, QTime(0, 0)));
    dm->TblMapas->fieldByName(QStringLiteral("Aprovado"))->setAsString(QStringLiteral("M"));
    dm->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"))->setAsString(QStringLiteral("293456780"));
    dm->TblMapas->fieldByName(QStringLiteral("Tec_Codigo"))->setAsInteger(1);
    resumo.CarregaParametros();
    resumo.dbEdit_VlrArrobaMacho = m("300");
    dm->TblContribuinteComplementoMapas->refresh();
    for (double weight : {250.0, 262.5}) {
        auto* items = dm->TblMapasItens;
        items->append();
        items->fieldByName(QStringLiteral("mat_codigo"))->setAsString(QStringLiteral("J2"));
        items->fieldByName(QStringLiteral("con_codigo"))->setAsString(QStringLiteral("C"));
        items->fieldByName(QStringLiteral("aca_codigo"))->setAsString(QStringLiteral("3"));
        items->fieldByName(QStringLiteral("itm_peso"))->setAsFloat(weight);
        items->fieldByName(QStringLiteral("tip_codigo"))->setAsString(QStringLiteral("B"));
        items->post();
    }
    resumo.Gravar();
    EXPECT_FALSE(dm->dbMTC->inTransaction());

    EXPECT_EQ(resumo.DbEdit_Icms, m("12.00"));
    EXPECT_EQ(resumo.J2.Incentivo, m("50.00"));
    EXPECT_EQ(resumo.J2.ValorArr, m("285.50")) << "the month's reference value, below the practised one";
    EXPECT_EQ(resumo.J2.QtdArr, m("34.17"));
    EXPECT_GT(resumo.TotIncentivoTotal, Money());
    EXPECT_EQ(resumo.TotIncentivo50, resumo.TotIncentivoTotal);
    vorta::Component::free(DM_MTC);
    vorta::setClock({});
}
