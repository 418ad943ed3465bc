#include "MapasTestSupport.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/Controls.h"

#include <QFile>

#include <sqlite3.h>

#include <functional>

using namespace zir_test;
using vorta::ui::MessageKind;

// The rule alone, for every maturity code at and around its weight limit and for the
// finish and conformation grades.
TEST(Classificacao, ByMaturityWeightFinishAndConformation)
{
    struct Case {
        const char* maturity;
        double weight;
        const char* finish;
        const char* conformation;
        const char* expected;
    };
    const Case cases[] = {
        // Males classify from 225.0 kg.
        {"JD", 224.99, "3", "C", "N"}, {"JD", 225.0, "3", "C", "S"}, {"JD", 300.0, "3", "C", "S"},
        {"J2", 224.99, "2", "SC", "N"}, {"J2", 225.0, "2", "SC", "S"}, {"J2", 225.01, "4", "RE", "S"},
        {"J4", 224.99, "3", "C", "N"}, {"J4", 225.0, "3", "C", "S"},
        {"TD", 224.99, "3", "C", "N"}, {"TD", 225.0, "3", "C", "S"},
        {"T2", 224.99, "3", "C", "N"}, {"T2", 225.0, "3", "C", "S"},
        // Females from 180.0 kg.
        {"JFD", 179.99, "3", "C", "N"}, {"JFD", 180.0, "3", "C", "S"},
        {"JF2", 179.99, "2", "SC", "N"}, {"JF2", 180.0, "2", "SC", "S"},
        {"JF4", 179.99, "3", "C", "N"}, {"JF4", 180.0, "3", "C", "S"}, {"JF4", 200.0, "4", "RE", "S"},
        // Never classified, whatever the weight and grades.
        {"A", 400.0, "3", "C", "N"}, {"I", 400.0, "3", "C", "N"}, {"T4", 400.0, "3", "C", "N"},
        {"AF", 400.0, "3", "C", "N"}, {"IF", 400.0, "3", "C", "N"},
        // Finish 1 and 5 and conformations CO, SR and * refuse.
        {"JD", 300.0, "1", "C", "N"}, {"JD", 300.0, "5", "C", "N"}, {"JFD", 300.0, "1", "C", "N"},
        {"JFD", 300.0, "5", "C", "N"}, {"JD", 300.0, "3", "CO", "N"}, {"JD", 300.0, "3", "SR", "N"},
        {"JD", 300.0, "3", "*", "N"}, {"JF2", 300.0, "3", "CO", "N"},
        // No conformation entered: the other codes decide.
        {"JD", 300.0, "3", "", "S"}, {"JD", 200.0, "3", "", "N"},
        // Lower case counts as upper case; an unknown code earns nothing.
        {"jd", 300.0, "3", "sc", "S"}, {"XX", 300.0, "3", "C", "N"}, {"JD", 300.0, "0", "C", "N"},
        {"JD", 300.0, "3", "ZZ", "N"},
        // Codes are read trimmed, and upper-cased as any text is: a letter beyond ASCII
        // may become a code.
        {" jd ", 300.0, " 3 ", "\tsc\n", "S"}, {"JD", 300.0, "3", "ſc", "S"}, {"JD", 300.0, "3", "éc", "N"},
        {"JD", 300.0, "3 4", "C", "N"}, {"J D", 300.0, "3", "C", "N"}, {"jfd", 180.0, "4", " ", "S"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.maturity << " " << c.weight << " " << c.finish << " " << c.conformation);
        EXPECT_EQ(TDM_MTC::Classifica(QString::fromUtf8(c.maturity), QString::fromUtf8(c.finish),
                                      QString::fromUtf8(c.conformation), QStringLiteral("B"), c.weight),
                  QString::fromLatin1(c.expected));
    }
    // The weight limit holds whatever the typing letter, even a missing or unknown one.
    for (const char* typing : {"B", "L", "", "X"}) {
        SCOPED_TRACE(typing);
        EXPECT_EQ(TDM_MTC::Classifica("JD", "3", "C", QString::fromLatin1(typing), 224.99), "N");
        EXPECT_EQ(TDM_MTC::Classifica("JFD", "3", "C", QString::fromLatin1(typing), 179.99), "N");
        EXPECT_EQ(TDM_MTC::Classifica("JD", "3", "C", QString::fromLatin1(typing), 225.0), "S");
    }
}

class DmMapas : public MapasFixture {};

TEST_F(DmMapas, EachPostedAnimalIsClassifiedAndItsCodesUpperCased)
{
    novoMapa("M");
    animal("jd", 225.0, "3", "c", "b");
    animal("JD", 224.99);
    animal("T4", 400.0);
    animal("J2", 250.0, "3", QString()); // conformation never entered
    animal("J4", 150.0, "3", QString());
    animal(QStringLiteral("ı"), 300.0, "3", QStringLiteral("ſc"), QStringLiteral("ſ"));
    animal("Td", 300.0, "3", "Sc", "s");
    const struct {
        int number;
        const char* classified;
    } expected[] = {{1, "S"}, {2, "N"}, {3, "N"}, {4, "S"}, {5, "N"}, {6, "N"}, {7, "S"}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.number);
        EXPECT_EQ(scalar("select itm_classificado from qel_mapas_itens where itm_num_animal = ?1", {e.number}).toString(),
                  QString::fromLatin1(e.classified));
    }
    EXPECT_EQ(scalar("select mat_codigo || con_codigo || tip_codigo from qel_mapas_itens where itm_num_animal = 1")
                  .toString(),
              "JDCB");
    EXPECT_EQ(scalar("select mat_codigo || con_codigo || tip_codigo from qel_mapas_itens where itm_num_animal = 6")
                  .toString(),
              "ISCS")
        << "letters beyond ASCII are upper-cased too";
    EXPECT_EQ(scalar("select mat_codigo || con_codigo || tip_codigo from qel_mapas_itens where itm_num_animal = 7")
                  .toString(),
              "TDSCS");
}

// A check that fails on the way is no entitlement: here the map's sex changed under a
// lower-case code, so writing the code back is refused.
TEST_F(DmMapas, AnAnimalWhoseClassificationFailsIsNotEntitled)
{
    novoMapa("M");
    auto* items = dm->TblMapasItens;
    items->append();
    items->fieldByName("mat_codigo")->setAsString("jd");
    items->fieldByName("con_codigo")->setAsString("C");
    items->fieldByName("aca_codigo")->setAsString("3");
    items->fieldByName("itm_peso")->setAsFloat(300.0);
    items->fieldByName("tip_codigo")->setAsString("B");
    dm->TblMapas->fieldByName("Aprovado")->setAsString("F");
    dialogs.expectMessage(MessageKind::Information, "Maturidade inválida ! ", 1);
    items->post();
    EXPECT_EQ(scalar("select itm_classificado from qel_mapas_itens").toString(), "N");
}

TEST_F(DmMapas, FieldValidatorsRefuseWithTheirTexts)
{
    struct Case {
        const char* sex;
        const char* field;
        const char* value;
        const char* message; // nullptr: taken; "": refused silently
    };
    const Case cases[] = {
        {"M", "tip_codigo", "b", nullptr},  {"M", "tip_codigo", "L", nullptr},
        {"M", "tip_codigo", "X", "Tipificação inválida !"},
        {"M", "aca_codigo", "1", nullptr},  {"M", "aca_codigo", "5", nullptr},
        {"M", "aca_codigo", "0", "Acabamento inválido !"}, {"M", "aca_codigo", "6", "Acabamento inválido !"},
        {"M", "mat_codigo", "jd", nullptr}, {"M", "mat_codigo", "T4", nullptr},
        {"M", "mat_codigo", "JFD", "Maturidade inválida ! "}, {"F", "mat_codigo", "JD", "Maturidade inválida ! "},
        {"F", "mat_codigo", "jf2", nullptr}, {"F", "mat_codigo", "IF", nullptr},
        {"M", "con_codigo", "*", nullptr},  {"M", "con_codigo", "sr", nullptr},
        {"M", "con_codigo", "XX", "Conformação inválida !"}, {"M", "con_codigo", "", ""},
        // Upper-cased as any text is, beyond ASCII too.
        {"M", "mat_codigo", "ı", nullptr}, {"M", "tip_codigo", "ſ", nullptr},
        {"M", "tip_codigo", "é", "Tipificação inválida !"}, {"M", "con_codigo", "ſc", nullptr},
        {"M", "mat_codigo", "jd ", "Maturidade inválida ! "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.sex << " " << c.field << " " << c.value);
        novoMapa(QString::fromLatin1(c.sex));
        auto* items = dm->TblMapasItens;
        items->append();
        vorta::db::Field* f = items->fieldByName(QString::fromLatin1(c.field));
        if (!c.message) {
            EXPECT_NO_THROW(f->setAsString(QString::fromUtf8(c.value)));
            EXPECT_EQ(f->asString(), QString::fromUtf8(c.value));
        } else {
            if (*c.message)
                dialogs.expectMessage(MessageKind::Information, QString::fromUtf8(c.message), QList<int>{1}, 1);
            EXPECT_THROW(f->setAsString(QString::fromUtf8(c.value)), vorta::EAbort);
            EXPECT_TRUE(f->isNull());
        }
        EXPECT_TRUE(dialogs.allAnswered());
        items->cancel();
        dm->TblMapas->cancel();
        dm->dbMTC->rollback();
    }
}

TEST_F(DmMapas, ClearingAStoredConformationIsRefusedWithoutAMessage)
{
    novoMapa("M");
    animal("JD", 300.0);
    dm->TblMapasItens->edit();
    EXPECT_THROW(dm->TblMapasItens->fieldByName("con_codigo")->clear(), vorta::EAbort);
    EXPECT_EQ(dm->TblMapasItens->fieldByName("con_codigo")->asString(), "C");
}

TEST_F(DmMapas, NewKeysAreTheMaximumPlusOne)
{
    mapaGravado(7, "M");
    exec("update qel_mapas set con_iecnpjcpf = ?1", {kOutroFrigorifico}); // numbering is global
    novoMapa("M");
    EXPECT_EQ(dm->TblMapas->fieldByName("map_codigo")->asInteger(), 8);
    EXPECT_EQ(dm->TblMapas->fieldByName("con_iecnpjcpf")->asString(), kFrigorifico);
    for (int i = 0; i < 3; ++i)
        animal("JD", 300.0);
    EXPECT_EQ(count("select max(itm_num_animal) from qel_mapas_itens where map_codigo = 8"), 3);
    // Deleting the last animal gives its number back; deleting an earlier one does not.
    dm->TblMapasItens->last();
    dm->TblMapasItens->deleteRecord();
    animal("JD", 300.0);
    EXPECT_EQ(count("select max(itm_num_animal) from qel_mapas_itens where map_codigo = 8"), 3);
    dm->TblMapasItens->first();
    dm->TblMapasItens->deleteRecord();
    animal("JD", 300.0);
    EXPECT_EQ(count("select max(itm_num_animal) from qel_mapas_itens where map_codigo = 8"), 4);
}

// Each number is the database's: rows written past the dataset, numbers typed or
// edited, and the animals of another map, count as they stand at that moment.
TEST_F(DmMapas, NextNumbersFollowRowsWrittenElsewhere)
{
    mapaGravado(1, "M");
    for (int n = 1; n <= 4; ++n)
        exec("insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, itm_classificado, aca_codigo, "
             "mat_codigo, itm_peso) values (1, ?1, 'B', 'S', 3, 'JD', 300)",
             {n});
    novoMapa("M");
    ASSERT_EQ(dm->TblMapas->fieldByName("map_codigo")->asInteger(), 2);
    auto numbers = [&] {
        QList<int> r;
        vorta::db::Query q;
        q.setDatabase(dm->dbMTC);
        q.setSql("select itm_num_animal from qel_mapas_itens where map_codigo = 2 order by itm_num_animal");
        for (q.open(); !q.eof(); q.next())
            r << int(q.fields(0)->asInteger());
        return r;
    };
    animal("JD", 300.0);
    EXPECT_EQ(numbers(), (QList<int>{1}));
    exec("insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, itm_classificado, aca_codigo, "
         "mat_codigo, itm_peso) values (2, 6, 'B', 'S', 3, 'JD', 300)");
    animal("JD", 300.0);
    EXPECT_EQ(numbers(), (QList<int>{1, 6, 7}));
    exec("delete from qel_mapas_itens where map_codigo = 2 and itm_num_animal > 1");
    animal("JD", 300.0);
    EXPECT_EQ(numbers(), (QList<int>{1, 2}));
    // A number typed over the proposed one moves the next one on, and so does an edit.
    auto* items = dm->TblMapasItens;
    auto codigosEPosta = [&] {
        items->fieldByName("mat_codigo")->setAsString("JD");
        items->fieldByName("aca_codigo")->setAsString("3");
        items->fieldByName("itm_peso")->setAsFloat(300.0);
        items->fieldByName("tip_codigo")->setAsString("B");
        items->post();
    };
    items->append();
    EXPECT_EQ(items->fieldByName("itm_num_animal")->asInteger(), 3);
    items->fieldByName("itm_num_animal")->setAsInteger(20);
    codigosEPosta();
    animal("JD", 300.0);
    EXPECT_EQ(numbers(), (QList<int>{1, 2, 20, 21}));
    items->last();
    items->edit();
    items->fieldByName("itm_num_animal")->setAsInteger(30);
    items->post();
    animal("JD", 300.0);
    EXPECT_EQ(numbers(), (QList<int>{1, 2, 20, 30, 31}));
    items->last();
    items->deleteRecord();
    items->last();
    items->edit();
    items->fieldByName("itm_num_animal")->setAsInteger(5);
    items->post();
    animal("JD", 300.0);
    EXPECT_EQ(numbers(), (QList<int>{1, 2, 5, 20, 21}));
    // An animal of this map written by a statement between two typed ones.
    animal("JD", 300.0);
    exec("insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, itm_classificado, aca_codigo, "
         "mat_codigo, itm_peso) values (2, 40, 'B', 'S', 3, 'JD', 300)");
    animal("JD", 300.0);
    EXPECT_EQ(numbers(), (QList<int>{1, 2, 5, 20, 21, 22, 40, 41}));
    // ... and while an animal is being typed.
    items->append();
    exec("insert into qel_mapas_itens (map_codigo, itm_num_animal, tip_codigo, itm_classificado, aca_codigo, "
         "mat_codigo, itm_peso) values (2, 50, 'B', 'S', 3, 'JD', 300)");
    codigosEPosta();
    animal("JD", 300.0);
    EXPECT_EQ(numbers(), (QList<int>{1, 2, 5, 20, 21, 22, 40, 41, 42, 50, 51}));

    // The map code too: a map stored meanwhile moves the next one on.
    dm->TblMapasItens->cancel();
    dm->TblMapas->cancel();
    dm->dbMTC->rollback();
    mapaGravado(9, "F");
    novoMapa("M");
    EXPECT_EQ(dm->TblMapas->fieldByName("map_codigo")->asInteger(), 10);
    dm->TblMapas->cancel();
    dm->dbMTC->rollback();
    exec("delete from qel_mapas where map_codigo = 9");
    novoMapa("M");
    EXPECT_EQ(dm->TblMapas->fieldByName("map_codigo")->asInteger(), 2);
    // The animals of the map rolled back are gone: numbering starts again.
    animal("JD", 300.0);
    EXPECT_EQ(numbers(), (QList<int>{1}));
}

TEST_F(DmMapas, TheFirstAnimalOfAMapIsNumberOne)
{
    novoMapa("F");
    animal("JFD", 200.0);
    EXPECT_EQ(count("select itm_num_animal from qel_mapas_itens"), 1);
}

TEST_F(DmMapas, NewMovementTakesTheNextCodeAndTheTimeWithoutMilliseconds)
{
    dm->TblMTC->open();
    dm->TblMTC->append();
    EXPECT_EQ(dm->TblMTC->fieldByName("mov_codigo")->asInteger(), 2);
    EXPECT_EQ(dm->TblMTC->fieldByName("mov_situacao")->asString(), "?");
    EXPECT_EQ(dm->TblMTC->fieldByName("mov_dt_hr_criacao")->asDateTime(),
              QDateTime(QDate(2026, 12, 10), QTime(9, 30, 15)));
    dm->TblMTC->cancel();
    exec("delete from qel_movimento");
    dm->TblMTC->refresh();
    dm->TblMTC->append();
    EXPECT_EQ(dm->TblMTC->fieldByName("mov_codigo")->asInteger(), 1);
    dm->TblMTC->cancel();
}

TEST_F(DmMapas, AFailedMovementPostShowsMessage33)
{
    dm->TblMTC->open();
    dm->TblMTC->append();
    dm->TblMTC->fieldByName("mov_codigo")->setAsInteger(1); // already taken
    dialogs.expectMessage(MessageKind::Error, "*33 - ", 1);
    EXPECT_THROW(dm->TblMTC->post(), vorta::EAbort);
    EXPECT_EQ(dm->TblMTC->state(), vorta::db::DataSetState::Insert);
    dm->TblMTC->cancel();
}

TEST_F(DmMapas, AnimalsNeedTheMapsSexFirst)
{
    novoMapa("");
    dialogs.expectMessage(MessageKind::Error, "*1725 - ", 1);
    EXPECT_THROW(dm->TblMapasItens->append(), vorta::EAbort);
    EXPECT_EQ(dm->TblMapasItens->state(), vorta::db::DataSetState::Browse);
}

TEST_F(DmMapas, TheThirdMapOfARaiserDayAndSexIsRefused)
{
    QStringList pickList;
    dm->SetListaMaturidade = [&](const QStringList& l) { pickList = l; };
    mapaGravado(1, "M");
    novoMapa("M");
    animal("JD", 300.0); // the second map of the day is fine, for each of its animals
    animal("J2", 300.0);
    EXPECT_EQ(pickList, (QStringList{"A", "I", "JD", "J2", "J4", "TD", "T2", "T4"}));
    dm->TblMapas->post();
    dm->dbMTC->commit();

    novoMapa("M");
    dialogs.expectMessage(MessageKind::Error, "*1723 - ", 1);
    EXPECT_THROW(dm->TblMapasItens->append(), vorta::EAbort);
    EXPECT_TRUE(dialogs.allAnswered());

    // Same raiser and day, other sex; another day; another raiser: all taken.
    struct Case {
        const char* sex;
        QDate day;
        QString raiser;
    };
    const Case others[] = {{"F", kDia, kPecuarista}, {"M", kDia.addDays(1), kPecuarista}, {"M", kDia, "285000002"}};
    for (const Case& c : others) {
        dm->TblMapas->cancel();
        dm->dbMTC->rollback();
        novoMapa(QString::fromLatin1(c.sex), c.raiser, c.day);
        EXPECT_NO_THROW(animal(c.sex == QByteArray("F") ? "JFD" : "JD", 300.0));
        const QStringList expected = c.sex == QByteArray("F")
                                         ? QStringList{"AF", "IF", "JFD", "JF2", "JF4"}
                                         : QStringList{"A", "I", "JD", "J2", "J4", "TD", "T2", "T4"};
        EXPECT_EQ(pickList, expected);
    }
}

TEST_F(DmMapas, AlteringAStoredMapNeverMeetsTheSameDayRule)
{
    mapaGravado(1, "M");
    mapaGravado(2, "M");
    EXPECT_TRUE(dm->VerificaMapaDia(kPecuarista, "M", kDia));
    AlterandoMapa = true;
    EXPECT_FALSE(dm->VerificaMapaDia(kPecuarista, "M", kDia));
}

TEST_F(DmMapas, TheSexBoxIsFreeOnlyWhileTheMapHasNoAnimal)
{
    QList<bool> states;
    dm->SetSexoHabilitado = [&](bool on) { states << on; };
    novoMapa("M");
    animal("JD", 300.0);
    animal("JD", 300.0);
    dm->TblMapasItens->deleteRecord();
    dm->TblMapasItens->deleteRecord();
    EXPECT_EQ(states, (QList<bool>{false, false, false, true}));
}

TEST_F(DmMapas, CancellingAnIncludeLeavesNothingBehind)
{
    novoMapa("M");
    animal("JD", 300.0);
    animal("J2", 300.0);
    dm->TblMapas->post();
    EXPECT_EQ(count("select count(*) from qel_mapas_itens"), 2);
    dm->TblMapasItens->cancel();
    dm->TblMapas->cancel();
    dm->dbMTC->rollback();
    EXPECT_EQ(count("select count(*) from qel_mapas"), 0);
    EXPECT_EQ(count("select count(*) from qel_mapas_itens"), 0);
    dm->TblMapas->refresh();
    EXPECT_TRUE(dm->TblMapas->isEmpty());
}

TEST_F(DmMapas, ListFiguresNeedHalfTheAnimalsClassified)
{
    struct Case {
        int animals;
        int classified;
        double expected;
    };
    const Case cases[] = {{10, 5, 246.02}, {10, 4, 0.0}, {9, 5, 246.02}, {0, 0, 0.0}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.classified << " of " << c.animals);
        exec("delete from qel_mapas");
        exec("delete from qel_mapas_itens");
        exec("delete from qel_mapas_resumo");
        mapaGravado(1, "M");
        for (int i = 1; i <= c.animals; ++i)
            exec("insert into qel_mapas_itens values (1, ?1, 'B', ?2, 3, 'JD', 300, 'C')",
                 {i, i <= c.classified ? "S" : "N"});
        exec("insert into qel_mapas_resumo (map_codigo, mat_codigo, mre_vlr_repasse) values (1, 'JD', 246.024)");
        dm->TblMapas->refresh();
        dm->TblMapas->first();
        EXPECT_EQ(dm->TblMapas->fieldByName("calcQtdTotal")->asInteger(), c.animals);
        EXPECT_EQ(dm->TblMapas->fieldByName("calcqtdreprovada")->asInteger(), c.classified);
        EXPECT_DOUBLE_EQ(dm->TblMapas->fieldByName("calcVlrTotal")->asFloat(), c.expected);
    }
    EXPECT_EQ(dm->TblMapas->fieldByName("calcqtdreprovada")->displayLabel(), "Qtd. Classificados");
    // The sum of the rows, held at two places, beyond a thousand too.
    exec("insert into qel_mapas_resumo (map_codigo, mat_codigo, mre_vlr_repasse) values (1, 'TD', 1000.32)");
    exec("insert into qel_mapas_itens values (1, 1, 'B', 'S', 3, 'JD', 300, 'C')");
    exec("update qel_mapas_resumo set mre_vlr_repasse = 0.25 where mat_codigo = 'JD'");
    dm->TblMapas->refresh();
    EXPECT_DOUBLE_EQ(dm->TblMapas->fieldByName("calcVlrTotal")->asFloat(), 1000.57);
    EXPECT_EQ(dm->TblMapas->fieldByName("calcVlrTotal")->displayText(), "1.000,57");
}

// The figures of each listed map follow every write to its animals and summary rows,
// whoever makes it; writes to one map leave the others' figures as they are.
TEST_F(DmMapas, ListFiguresFollowEveryWriteToTheirMap)
{
    struct Figuras {
        int animais;
        int classificados;
        double valor;
    };
    auto figuras = [this](int map) {
        EXPECT_TRUE(dm->TblMapas->locate(QStringLiteral("map_codigo"), map));
        return Figuras{int(dm->TblMapas->fieldByName("calcQtdTotal")->asInteger()),
                       int(dm->TblMapas->fieldByName("calcqtdreprovada")->asInteger()),
                       dm->TblMapas->fieldByName("calcVlrTotal")->asFloat()};
    };
    auto confere = [&](int map, const Figuras& e) {
        SCOPED_TRACE(testing::Message() << "map " << map);
        const Figuras f = figuras(map);
        EXPECT_EQ(f.animais, e.animais);
        EXPECT_EQ(f.classificados, e.classificados);
        EXPECT_DOUBLE_EQ(f.valor, e.valor);
    };
    // Another connection of its own on the same file, as another program has.
    auto outroPrograma = [this](const char* sql) {
        sqlite3* other = nullptr;
        const QString file = install.folder("dados") + QStringLiteral("/vorta.db");
        ASSERT_EQ(sqlite3_open(QFile::encodeName(file).constData(), &other), SQLITE_OK);
        sqlite3_busy_timeout(other, 5000);
        EXPECT_EQ(sqlite3_exec(other, sql, nullptr, nullptr, nullptr), SQLITE_OK) << sqlite3_errmsg(other);
        sqlite3_close(other);
    };
    const Figuras inicio1{4, 3, 100.5}, inicio2{2, 1, 40.25};
    struct Caso {
        const char* nome;
        std::function<void()> muda;
        Figuras mapa1;
        Figuras mapa2;
    };
    const Caso casos[] = {
        {"an animal of map 2 posted through the animals' table",
         [&] {
             ASSERT_TRUE(dm->TblMapas->locate(QStringLiteral("map_codigo"), 2));
             animal("JD", 300.0);
         },
         inicio1, {3, 2, 40.25}},
        {"an animal of map 2 inserted by a statement",
         [&] { exec("insert into qel_mapas_itens values (2, 10, 'B', 'N', 3, 'JD', 300, 'C')"); }, inicio1,
         {3, 1, 0.0}},
        {"an animal moved from map 1 to map 2",
         [&] { exec("update qel_mapas_itens set map_codigo = 2 where map_codigo = 1 and itm_num_animal = 4"); },
         {3, 3, 100.5}, {3, 1, 0.0}},
        {"the summary rows of map 1 deleted", [&] { exec("delete from qel_mapas_resumo where map_codigo = 1"); },
         {4, 3, 0.0}, inicio2},
        {"every animal of map 2 deleted", [&] { exec("delete from qel_mapas_itens where map_codigo = 2"); }, inicio1,
         {0, 0, 0.0}},
        {"an animal and a summary row of map 2 written by another program",
         [&] {
             outroPrograma("insert into qel_mapas_itens values (2, 11, 'B', 'S', 3, 'JD', 300, 'C');"
                           "update qel_mapas_resumo set mre_vlr_repasse = 50.75 where map_codigo = 2");
         },
         inicio1, {3, 2, 50.75}},
        {"animals of map 1 inserted and rolled back",
         [&] {
             dm->dbMTC->startTransaction();
             exec("insert into qel_mapas_itens values (1, 20, 'B', 'N', 3, 'JD', 300, 'C'), "
                  "(1, 21, 'B', 'N', 3, 'JD', 300, 'C'), (1, 22, 'B', 'N', 3, 'JD', 300, 'C')");
             dm->TblMapas->refresh();
             confere(1, {7, 3, 0.0});
             dm->dbMTC->rollback();
         },
         inicio1, inicio2},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        for (const char* t : {"qel_mapas", "qel_mapas_itens", "qel_mapas_resumo"})
            exec(QStringLiteral("delete from %1").arg(QString::fromLatin1(t)));
        mapaGravado(1, "M");
        mapaGravado(2, "M", kPecuarista, kDia.addDays(1));
        exec("insert into qel_mapas_itens values (1, 1, 'B', 'S', 3, 'JD', 300, 'C'), (1, 2, 'B', 'S', 3, 'JD', 300, "
             "'C'), (1, 3, 'B', 'S', 3, 'JD', 300, 'C'), (1, 4, 'B', 'N', 3, 'JD', 200, 'C'), "
             "(2, 1, 'B', 'S', 3, 'JD', 300, 'C'), (2, 2, 'B', 'N', 3, 'JD', 200, 'C')");
        exec("insert into qel_mapas_resumo (map_codigo, mat_codigo, mre_vlr_repasse) values (1, 'JD', 100.5), "
             "(2, 'JD', 40.25)");
        dm->TblMapas->refresh();
        confere(1, inicio1);
        confere(2, inicio2);
        c.muda();
        dm->TblMapas->refresh();
        confere(1, c.mapa1);
        confere(2, c.mapa2);
    }
}

TEST_F(DmMapas, VerdictOfAStoredMapFromItsSummaryRows)
{
    EXPECT_TRUE(dm->MapaAprovado(1)); // no summary rows
    struct Row {
        const char* maturity;
        int heads;
        int rejected;
    };
    struct Case {
        std::vector<Row> rows;
        bool approved;
    };
    const Case cases[] = {
        {{{"JD", 5, 5}}, true},
        {{{"JD", 4, 5}}, false},
        {{{"JD", 0, 0}, {"I", 3, 3}}, false},
        {{{"JD", 3, 0}, {"A", 3, 3}}, true},
        {{{"JFD", 2, 1}, {"IF", 1, 1}}, true},
        {{{"J2", 1, 2}, {"J4", 1, 0}}, true}, // J4's rejects are counted on J2's row
        {{{"J2", 0, 0}, {"AF", 4, 4}}, false},
    };
    for (const Case& c : cases) {
        exec("delete from qel_mapas_resumo");
        for (const Row& r : c.rows)
            exec("insert into qel_mapas_resumo (map_codigo, mat_codigo, mre_qtd_cabecas, mre_qtd_reprovada) "
                 "values (1, ?1, ?2, ?3)",
                 {QString::fromLatin1(r.maturity), r.heads, r.rejected});
        EXPECT_EQ(dm->MapaAprovado(1), c.approved) << c.rows.front().maturity << " " << c.rows.size();
    }
}

TEST(DmMtcTexts, ConformationOfThePrintAndCharacterReplacement)
{
    const std::pair<const char*, const char*> conformations[] = {
        {"C", "C"}, {"co", "Co"}, {" SC ", "Sc"}, {"SR", "Sr"}, {"RE", "Re"}, {"*", "DIF"}, {"", ""}, {"X", ""}};
    for (const auto& [code, text] : conformations)
        EXPECT_EQ(TDM_MTC::DescricaoConformacao(QString::fromLatin1(code)), QString::fromLatin1(text)) << code;

    const struct {
        const char* text;
        const char* searched;
        const char* replacement;
        const char* result;
    } cases[] = {
        {"1.234.567,89", ".", "", "1234567,89"},
        {"1,5", ",", ".", "1.5"},
        {"abc", ".", "", "abc"},
        {"", ".", "", ""},
        {"a.b", ".", "--", "a--b"},
    };
    for (const auto& c : cases) {
        QString result;
        TDM_MTC::BuscaTroca(QString::fromLatin1(c.text), QString::fromLatin1(c.searched), result,
                            QString::fromLatin1(c.replacement));
        EXPECT_EQ(result, QString::fromLatin1(c.result)) << c.text;
    }
}

TEST_F(DmMapas, TheSlaughterhousesAreTheTradingRegistrationsOfTheirRange)
{
    struct Case {
        const char* ie;
        const char* type;
        const char* tradeName;
        bool listed;
    };
    const Case cases[] = {
        {"280000000", "IE", "Frigo", false}, {"280000001", "IE", "Frigo", true},
        {"284999999", "IE", "Frigo", true},  {"285000000", "IE", "Frigo", false},
        {"283000000", "CNPJ", "Frigo", false}, {"283000001", "IE", "", false},
    };
    for (const Case& c : cases)
        exec("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco) "
             "values (?1, 'X', ?2, ?3, 1)",
             {QString::fromLatin1(c.ie), QString::fromLatin1(c.tradeName), QString::fromLatin1(c.type)});
    dm->QryContribuinte->close();
    dm->QryContribuinte->open();
    QStringList listed;
    for (dm->QryContribuinte->first(); !dm->QryContribuinte->eof(); dm->QryContribuinte->next())
        listed << dm->QryContribuinte->fieldByName("Con_IECNPJCPF")->asString();
    EXPECT_EQ(listed, (QStringList{"280000001", kFrigorifico, kOutroFrigorifico, "284999999"}));
    EXPECT_EQ(dm->QryContribuinte->fieldByName("Mun_Descricao")->asString(), "Palmas");
}

TEST_F(DmMapas, TheListShowsTheMapsOfTheSlaughterhouseOnScreen)
{
    mapaGravado(1, "M");
    mapaGravado(2, "F");
    exec("update qel_mapas set con_iecnpjcpf = ?1 where map_codigo = 2", {kOutroFrigorifico});
    dm->TblMapas->refresh();
    EXPECT_EQ(dm->TblMapas->recordCount(), 1);
    EXPECT_EQ(dm->TblMapas->fieldByName("map_codigo")->asInteger(), 1);
    EXPECT_EQ(dm->TblMapas->fieldByName("Lk_Fornecedor")->asString(), "Pecuarista");
    ASSERT_TRUE(dm->QryContribuinte->locate("Con_IECNPJCPF", kOutroFrigorifico));
    EXPECT_EQ(dm->TblMapas->recordCount(), 1);
    EXPECT_EQ(dm->TblMapas->fieldByName("map_codigo")->asInteger(), 2);
    // The raiser's complement follows the current map.
    EXPECT_EQ(dm->TblContribuinteComplementoMapas->fieldByName("cco_num_cad_pradel")->asString(), "4567");
}

TEST_F(DmMapas, AnimalsShowTheirCodesFromTheLookupTablesAndThePrintItsConformation)
{
    // A code missing from the installed lookup shows nothing.
    exec("delete from qel_maturidade where mat_codigo = 'T4'");
    mapaGravado(1, "M");
    mapaGravado(2, "M");
    exec("insert into qel_mapas_itens values (1, 1, 'B', 'S', 3, 'JD', 300, 'C')");
    exec("insert into qel_mapas_itens values (1, 2, 'B', 'N', 3, 'T4', 300, '*')");
    // The lookup tables open again with the animals.
    for (auto* t : {dm->TblMapasItens, dm->TblMaturidade, dm->TblConformacao})
        t->close();
    dm->TblMapas->refresh();
    dm->TblMapas->first();
    dm->TblMapasItens->open();
    ASSERT_EQ(dm->TblMapasItens->recordCount(), 2);
    EXPECT_TRUE(dm->TblMaturidade->active());
    EXPECT_EQ(dm->TblMapasItens->fieldByName("mat_codigo")->asString(), "JD");
    EXPECT_EQ(dm->TblMapasItens->fieldByName("lkMaturidade")->asString(), "JD");
    EXPECT_EQ(dm->TblMapasItens->fieldByName("lkconformacao")->asString(), "C");
    dm->TblMapasItens->next();
    EXPECT_EQ(dm->TblMapasItens->fieldByName("lkMaturidade")->asString(), "");

    exec("insert into Qel_Tecnico (Tec_Codigo, Tec_Nome) values (2, 'Outro')");
    exec("update qel_mapas set Tec_Codigo = 1");
    dm->qRelMapas->open();
    ASSERT_EQ(dm->qRelMapas->fieldByName("map_codigo")->asInteger(), 1);
    EXPECT_EQ(dm->qRelMapas->fieldByName("tec_nome")->asString(), "Dra. Vet");
    dm->qRelMapasItens->open();
    QStringList texts;
    for (; !dm->qRelMapasItens->eof(); dm->qRelMapasItens->next())
        texts << dm->qRelMapasItens->fieldByName("Dsc_Conformacao")->asString();
    EXPECT_EQ(texts, (QStringList{"C", "DIF"}));
    dm->qRelMapas->next();
    EXPECT_TRUE(dm->qRelMapasItens->isEmpty()); // map 2 has no animals
}

TEST_F(DmMapas, AMapBeingIncludedShowsNoListFiguresUntilStored)
{
    EXPECT_EQ(dm->dbMTC->directory(), install.folder("dados"));
    novoMapa("M");
    animal("JD", 300.0);
    animal("JD", 300.0);
    dm->TblMapas->fieldByName("map_num_lote")->setAsString("01/02"); // recalculates
    EXPECT_TRUE(dm->TblMapas->fieldByName("calcQtdTotal")->isNull());
    dm->TblMapas->post();
    EXPECT_EQ(dm->TblMapas->fieldByName("calcQtdTotal")->asInteger(), 2);
    EXPECT_EQ(dm->TblMapas->fieldByName("calcqtdreprovada")->asInteger(), 2);
    dm->dbMTC->commit();

    // An insert dropped by closing the table leaves the list figures of the stored maps.
    novoMapa("M");
    dm->TblMapas->close();
    dm->dbMTC->rollback();
    dm->TblMapas->open();
    ASSERT_EQ(dm->TblMapas->recordCount(), 1);
    EXPECT_EQ(dm->TblMapas->fieldByName("calcQtdTotal")->asInteger(), 2);
}

TEST_F(DmMapas, TheMovementFormShowsTheDeclarantsPageAloneOrBothPages)
{
    auto pages = std::make_unique<vorta::ui::PageControl>(nullptr);
    auto* declarant = new vorta::ui::TabSheet(pages.get(), "Contribuinte", "TabSheetContribuinte");
    auto* summary = new vorta::ui::TabSheet(pages.get(), "Resumo Movimento", "TabSheetLeitura");
    declarant->setTabVisible(false);
    declarant->setEnabled(false);
    dm->TabSheetContribuinte = declarant;
    dm->TabSheetLeitura = summary;

    dm->DesabilitaTabSheet();
    EXPECT_EQ(pages->visibleTabs(), QStringList{"Contribuinte"});
    EXPECT_TRUE(declarant->isEnabled());
    dm->HabilitaTabSheet();
    EXPECT_EQ(pages->visibleTabs(), (QStringList{"Contribuinte", "Resumo Movimento"}));
    dm->DesabilitaTabSheet();
    EXPECT_EQ(pages->visibleTabs(), QStringList{"Contribuinte"});

    // Once the form is gone the switches have nothing to act on.
    pages.reset();
    EXPECT_FALSE(dm->TabSheetContribuinte);
    dm->DesabilitaTabSheet();
    dm->HabilitaTabSheet();
}
