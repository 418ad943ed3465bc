// Importing a map's animals from a fixed-column text file, as the user does it from
// the map register: what each line shows, what stays imported and where it stops.
#include "CadMapasTestSupport.h"

#include "testing/Screenshots.h"

#include <QFile>
#include <QLocale>
#include <QTemporaryDir>

#include <clocale>

using namespace zir_test;
using vorta::db::DataSetState;
using vorta::ui::MessageKind;

namespace {

const QString kErro = QStringLiteral("Erro ao importar arquivo!");

struct Caso {
    const char* nome;
    QStringList linhas;
    QStringList mensagens; // information dialogs, in order
    QStringList importados; // "number:maturity:weight:classified", in number order
};

} // namespace

class ImportaMapa : public CadMapasFixture {
public:
    QString arquivo(const QStringList& linhas, const QString& fim = QStringLiteral("\r\n"))
    {
        const QString nome = m_dir.filePath(QStringLiteral("animais%1.txt").arg(++m_arquivos));
        QFile f(nome);
        EXPECT_TRUE(f.open(QIODevice::WriteOnly));
        for (const QString& l : linhas)
            f.write((l + fim).toLatin1());
        return nome;
    }
    // A new male map open for its animals, the file chosen in the open dialog.
    TCadMapas* incluiEImporta(const QString& nome, const QStringList& mensagens)
    {
        TCadMapas* f = abre();
        inclui(f);
        dialogs.expectFile(nome);
        for (const QString& m : mensagens)
            dialogs.expectMessage(MessageKind::Information, m, vorta::ui::mrOk);
        user::click(f->SpeedButton2);
        EXPECT_TRUE(dialogs.allAnswered());
        return f;
    }
    QStringList importados()
    {
        vorta::db::Query q;
        q.setDatabase(dm->dbMTC);
        q.setSql(QStringLiteral("select * from qel_mapas_itens where map_codigo = 1 order by itm_num_animal"));
        q.open();
        QStringList out;
        for (; !q.eof(); q.next())
            out << QStringLiteral("%1:%2:%3:%4")
                       .arg(q.fieldByName(QStringLiteral("itm_num_animal"))->asInteger())
                       .arg(q.fieldByName(QStringLiteral("mat_codigo"))->asString())
                       .arg(q.fieldByName(QStringLiteral("itm_peso"))->asFloat())
                       .arg(q.fieldByName(QStringLiteral("itm_classificado"))->asString());
        return out;
    }

private:
    QTemporaryDir m_dir;
    int m_arquivos = 0;
};

TEST_F(ImportaMapa, EachLineIsCheckedAndTheImportStopsAtTheFirstFailure)
{
    const QString l1 = QStringLiteral("001JD C 3250000B");
    const Caso casos[] = {
        {"good lines, lower case codes upper-cased",
         {l1, QStringLiteral("002j2 sc2230500r"), QStringLiteral("003A  C 3300000A")},
         {},
         {"1:JD:250:S", "2:J2:230.5:S", "3:A:300:N"}},
        {"a number out of sequence is said and kept",
         {l1, QStringLiteral("003JD C 3260000B")},
         {QStringLiteral("Animal 3 não está na sequencia correta")},
         {"1:JD:250:S", "3:JD:260:S"}},
        {"a maturity of the other sex stops",
         {l1, QStringLiteral("002JFDC 3250000B"), QStringLiteral("003JD C 3250000B")},
         {QStringLiteral("Maturidade incorreta para o animal Nº: 2"), kErro},
         {"1:JD:250:S"}},
        {"a wrong finish is said, then refused by the animal's rule",
         {l1, QStringLiteral("002JD C 7250000B")},
         {QStringLiteral("Acabamento incorreto para o animal : 2"), QStringLiteral("Acabamento inválido !"), kErro},
         {"1:JD:250:S"}},
        {"a wrong conformation",
         {l1, QStringLiteral("002JD XX3250000B")},
         {QStringLiteral("Conformação incorreta para o animal : 2"), QStringLiteral("Conformação inválida !"), kErro},
         {"1:JD:250:S"}},
        {"a wrong typing letter",
         {l1, QStringLiteral("002JD C 3250000Z")},
         {QStringLiteral("Tipificação incorreta para o animal : 2"), QStringLiteral("Tipificação inválida !"), kErro},
         {"1:JD:250:S"}},
        {"a letter beyond ASCII in a code",
         {l1, QStringLiteral("002JD C 3250000\u00FF")},
         {QStringLiteral("Tipificação incorreta para o animal : 2"), QStringLiteral("Tipificação inválida !"), kErro},
         {"1:JD:250:S"}},
        {"an empty line has no number",
         {l1, QString(), QStringLiteral("003JD C 3250000B")},
         {kErro},
         {"1:JD:250:S"}},
        {"a weight that is no number",
         {l1, QStringLiteral("002JD C 3ABC000B")},
         {kErro},
         {"1:JD:250:S"}},
        {"a number read twice stops as the stored key would",
         {l1, QStringLiteral("002JD C 3251000B"), QStringLiteral("002JD C 3252000B"),
          QStringLiteral("004JD C 3253000B")},
         {QStringLiteral("Animal 2 não está na sequencia correta"), kErro},
         {"1:JD:250:S", "2:JD:251:S"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        TCadMapas* f = incluiEImporta(arquivo(c.linhas), c.mensagens);
        EXPECT_EQ(c.importados, importados());
        EXPECT_EQ(DataSetState::Browse, dm->TblMapasItens->state()) << "no animal left half-typed";
        EXPECT_TRUE(dm->dbMTC->inTransaction()) << "imported inside the include";
        EXPECT_EQ(int(c.importados.size()), f->DBGrid_ItemNota->rowCount());
        user::alt(QLatin1Char('C'));
        EXPECT_TRUE(importados().isEmpty()) << "the cancel takes the imported animals back";
        vorta::Component::free(CadMapas);
    }
}

TEST_F(ImportaMapa, TheSampleLineGivesOneClassifiedAnimal)
{
    incluiEImporta(arquivo({QStringLiteral("001JD C 3250000B")}, QStringLiteral("\n")), {});
    EXPECT_EQ(QStringList{QStringLiteral("1:JD:250:S")}, importados());
}

// After an import the user goes on typing: the next animal takes the number after the
// file's, and a map included again after a cancel starts with an empty grid at 1.
TEST_F(ImportaMapa, AnimalsTypedAfterAnImportTakeTheNextNumber)
{
    TCadMapas* f = incluiEImporta(arquivo({QStringLiteral("001JD C 3250000B"), QStringLiteral("002J2 SC2230500R"),
                                           QStringLiteral("003A  C 3300000A")}),
                                  {});
    ASSERT_EQ(3, f->DBGrid_ItemNota->rowCount());
    // Into the grid with the mouse, down past its last animal to a new row.
    user::click(f->DBGrid_ItemNota);
    ASSERT_EQ(f->DBGrid_ItemNota, user::focused());
    for (int i = 0; i < 4 && dm->TblMapasItens->state() != DataSetState::Insert; ++i)
        user::key(Qt::Key_Down);
    ASSERT_EQ(DataSetState::Insert, dm->TblMapasItens->state());
    animal("TD", "C", "3", "240", "B");
    EXPECT_EQ((QStringList{QStringLiteral("1:JD:250:S"), QStringLiteral("2:J2:230.5:S"), QStringLiteral("3:A:300:N"),
                           QStringLiteral("4:TD:240:S")}),
              importados());
    // The Tab that posted the fourth animal opened the fifth below it.
    ASSERT_EQ(DataSetState::Insert, dm->TblMapasItens->state());
    ASSERT_EQ(5, f->DBGrid_ItemNota->rowCount());
    EXPECT_EQ(QStringLiteral("4"), f->DBGrid_ItemNota->cellText(3, 0));
    EXPECT_EQ(QStringLiteral("5"), f->DBGrid_ItemNota->cellText(4, 0));
    EXPECT_TRUE(f->grab().toImage().save(vorta::testing::screenshotFolder() +
                                         QStringLiteral("/CadMapas_importados_e_digitado.png")));

    user::alt(QLatin1Char('C'));
    EXPECT_EQ(0, linhas("qel_mapas_itens", 1)) << "given up with its map";
    inclui(f);
    EXPECT_EQ(0, f->DBGrid_ItemNota->rowCount()) << "the new map's grid starts empty";
    user::type(QStringLiteral("0102"));
    user::tab();
    ASSERT_EQ(f->DBGrid_ItemNota, user::focused());
    user::key(Qt::Key_Down);
    animal("JD", "C", "3", "250", "B");
    EXPECT_EQ(QStringList{QStringLiteral("1:JD:250:S")}, importados());
}

// The whole import as the user does it: the map included by keys, the file imported,
// the veterinarian picked and the map saved with Alt+G; the stored animals carry every
// code as the lists hold it, whatever case the file wrote it in.
TEST_F(ImportaMapa, AnImportedMapIsSavedWithEveryCodeAsTheListsHoldIt)
{
    TCadMapas* f = incluiEImporta(arquivo({QStringLiteral("001JD C 3250000B"), QStringLiteral("002j2 sc2230500r"),
                                           QStringLiteral("003a  co4300000a"), QStringLiteral("004TD RE3240000s")}),
                                  {});
    ASSERT_EQ(4, f->DBGrid_ItemNota->rowCount());
    pagina(f, 1);
    user::click(f->btVeterinario);
    EXPECT_EQ(1, lookupsDeTecnico);
    user::alt(QLatin1Char('G'));
    EXPECT_FALSE(dm->dbMTC->inTransaction()) << "saved";
    vorta::db::Query q;
    q.setDatabase(dm->dbMTC);
    q.setSql(QStringLiteral("select * from qel_mapas_itens where map_codigo = 1 order by itm_num_animal"));
    q.open();
    QStringList guardados;
    for (; !q.eof(); q.next()) {
        QStringList colunas;
        for (const char* c : {"itm_num_animal", "mat_codigo", "con_codigo", "aca_codigo", "tip_codigo",
                              "itm_classificado"})
            colunas << q.fieldByName(QString::fromLatin1(c))->asString();
        guardados << colunas.join(QLatin1Char(':'));
    }
    EXPECT_EQ((QStringList{QStringLiteral("1:JD:C:3:B:S"), QStringLiteral("2:J2:SC:2:R:S"),
                           QStringLiteral("3:A:CO:4:A:N"), QStringLiteral("4:TD:RE:3:S:S")}),
              guardados);
    EXPECT_EQ(12, linhas("qel_mapas_resumo", 1));
    EXPECT_TRUE(f->grab().toImage().save(vorta::testing::screenshotFolder() +
                                         QStringLiteral("/CadMapas_importado_gravado.png")));
}

TEST_F(ImportaMapa, OnlyAnEmptyMapImports)
{
    TCadMapas* f = abre();
    inclui(f);
    user::tab();
    user::key(Qt::Key_Down);
    animal("JD", "C", "3", "250", "B");
    user::escape();
    dialogs.expectMessage(MessageKind::Information,
                          QStringLiteral("Erro. O mapa deve estar vazio para permitir a importação de arquivos."),
                          vorta::ui::mrOk);
    user::click(f->SpeedButton2);
    EXPECT_TRUE(dialogs.allAnswered()) << "no file asked for";
    EXPECT_EQ(1, linhas("qel_mapas_itens", 1));
}

TEST_F(ImportaMapa, TheWeightReadsItsCommaWhateverTheMachinesLocale)
{
    const QLocale antes;
    const std::string numerico = std::setlocale(LC_NUMERIC, nullptr);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    std::setlocale(LC_NUMERIC, "C.UTF-8");
    incluiEImporta(arquivo({QStringLiteral("001JD C 3250750B"), QStringLiteral("002JD C 3224999B")}), {});
    QLocale::setDefault(antes);
    std::setlocale(LC_NUMERIC, numerico.c_str());
    EXPECT_EQ((QStringList{QStringLiteral("1:JD:250.75:S"), QStringLiteral("2:JD:224.999:N")}), importados());
}
