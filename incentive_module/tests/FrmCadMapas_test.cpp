// The map register driven by key events as a slaughterhouse's user works a day; what
// it stores is read back from the database.
#include "CadMapasTestSupport.h"
#include "UMapa1.h"
#include "USelecao.h"

using namespace zir_test;
using vorta::db::DataSetState;
using vorta::ui::MessageKind;

namespace {

QString texto(QWidget* w)
{
    if (auto* e = qobject_cast<QLineEdit*>(w))
        return e->text();
    if (auto* c = qobject_cast<QComboBox*>(w))
        return c->currentText();
    return {};
}

} // namespace

class CadMapasDia : public CadMapasFixture {
public:
    // Include up to the grid: raiser, date, sex and batch typed, the focus in the grid
    // on a new row.
    void incluiAteAGrade(TCadMapas* f, const QString& raiser = kPecuarista, const QString& sex = QStringLiteral("M"))
    {
        inclui(f, sex, raiser);
        ASSERT_EQ(DataSetState::Insert, dm->TblMapas->state());
        user::type(QStringLiteral("0102"));
        user::tab();
        ASSERT_EQ(f->DBGrid_ItemNota, user::focused());
    }
    void nota(TCadMapas* f, const QString& n)
    {
        user::click(f->cbNotas);
        user::type(n);
        user::tab();
    }
    double peso(int map, int animal)
    {
        return scalar(QStringLiteral("select itm_peso from qel_mapas_itens where map_codigo = ?1 and itm_num_animal = ?2"),
                      {map, animal})
            .toDouble();
    }
    QVariant resumo(int map, const char* mat, const char* column)
    {
        return scalar(QStringLiteral("select %1 from qel_mapas_resumo where map_codigo = ?1 and mat_codigo = ?2")
                          .arg(QString::fromLatin1(column)),
                      {map, QString::fromLatin1(mat)});
    }
    // Nothing of the map in any of its four tables.
    void nadaDoMapa(int map)
    {
        for (const char* t : {"qel_mapas", "qel_mapas_itens", "qel_mapas_resumo", "qel_notasmapa"})
            EXPECT_EQ(0, linhas(t, map)) << t;
    }
};

TEST_F(CadMapasDia, AWholeDayIncludeSaveReopenAlterCancelAndDelete)
{
    TCadMapas* f = abre();
    EXPECT_EQ(QStringLiteral("28.123.456-7"), f->lbInscricaoFrigorifico->text());
    EXPECT_TRUE(f->btIncluir->isEnabled());
    EXPECT_TRUE(f->btSair->isEnabled());
    for (QWidget* b : {static_cast<QWidget*>(f->btAlterar), static_cast<QWidget*>(f->btExcluir),
                       static_cast<QWidget*>(f->btConsultaSimples), static_cast<QWidget*>(f->btimprimir),
                       static_cast<QWidget*>(f->btPrimeiro)})
        EXPECT_FALSE(b->isEnabled()) << "no maps yet: " << b->objectName().toStdString();

    // Include: the raiser is found, with his name, municipality and programme number.
    user::alt(QLatin1Char('I'));
    ASSERT_EQ(DataSetState::Insert, dm->TblMapas->state());
    EXPECT_TRUE(dm->dbMTC->inTransaction());
    remetente(f, kPecuarista);
    EXPECT_EQ(QStringLiteral("Pecuarista"), f->DBEdit_Nome->text());
    EXPECT_EQ(QStringLiteral("Palmas"), f->edMunicipio->text());
    EXPECT_EQ(QStringLiteral("28.500.000-1"), f->DBEdit_Con_Remetente->text()) << "under the mask of his kind";
    EXPECT_EQ(QStringLiteral("4567"), f->DBEdit1->text());
    EXPECT_EQ(f->dbedit_data, user::focused());
    user::type(QStringLiteral("10122026"));
    user::tab();
    user::type(QStringLiteral("M"));
    user::tab();
    user::type(QStringLiteral("0102"));
    user::tab();
    ASSERT_EQ(f->DBGrid_ItemNota, user::focused());
    user::key(Qt::Key_Down);
    animal("JD", "C", "3", "250", "B");
    EXPECT_FALSE(f->dbSexo->isEnabled()) << "the sex is fixed once the map has an animal";
    animal("jd", "c", "3", "260", "b");
    animal("J2", "SC", "2", "230", "R");
    animal("A", "C", "3", "300", "A");
    animal("TD", "CO", "3", "240", "S");
    EXPECT_EQ(5, linhas("qel_mapas_itens", 1)) << "each animal posted as the grid moved on";
    EXPECT_EQ(0, count("select count(*) from qel_mapas")) << "the map itself waits for the save";

    // The summary page totals what was typed.
    pagina(f, 1);
    EXPECT_EQ(QStringLiteral("2"), texto(f->figura("JDQtd")));
    EXPECT_EQ(QStringLiteral("510,00"), texto(f->figura("JDPeso")));
    EXPECT_EQ(QStringLiteral("34,00"), texto(f->figura("JDQtdArr")));
    EXPECT_EQ(QStringLiteral("3.060,00"), texto(f->figura("JDBaseCalc")));
    EXPECT_EQ(QStringLiteral("246,02"), texto(f->figura("JDVlrRepasse")));
    EXPECT_EQ(QStringLiteral("82,78"), texto(f->figura("J2VlrRepasse")));
    EXPECT_EQ(QStringLiteral("1"), texto(f->figura("recm6"))) << "the A animal";
    EXPECT_EQ(QStringLiteral("1"), texto(f->figura("recm3"))) << "the TD of conformation CO";
    EXPECT_EQ(QStringLiteral("3"), texto(f->figura("TotalQtdGeral")));
    EXPECT_EQ(QStringLiteral("328,80"), texto(f->figura("TotIncentivoTotal")));
    EXPECT_FALSE(f->paprovado->isVisible()) << "three of five classified";

    user::click(f->btVeterinario);
    EXPECT_EQ(1, lookupsDeTecnico);
    EXPECT_EQ(QStringLiteral("Dra. Vet"), f->DBL_Tecnico->currentText());
    nota(f, QStringLiteral("1001"));
    nota(f, QStringLiteral("1002"));
    nota(f, QStringLiteral("1002")); // typed again: already there, nothing added
    EXPECT_EQ(2, f->cbNotas->count());

    user::alt(QLatin1Char('G'));
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(DataSetState::Browse, dm->TblMapas->state());
    EXPECT_EQ(1, count("select count(*) from qel_mapas where map_codigo = 1 and ie_pecuarista = ?1 and "
                       "Aprovado = 'M' and map_num_lote = '01/02' and Tec_Codigo = 1 and con_iecnpjcpf = ?2",
                       {kPecuarista, kFrigorifico}));
    EXPECT_EQ(QDate(2026, 12, 10), scalar("select map_data from qel_mapas where map_codigo = 1").toDate());
    EXPECT_EQ(QStringLiteral("SSSNN"),
              scalar("select group_concat(itm_classificado, '') from (select itm_classificado from qel_mapas_itens "
                     "where map_codigo = 1 order by itm_num_animal)")
                  .toString());
    EXPECT_EQ(2, count("select count(*) from qel_mapas_itens where map_codigo = 1 and mat_codigo = 'JD' and "
                       "con_codigo = 'C' and tip_codigo = 'B'"))
        << "codes stored upper-cased";
    EXPECT_EQ(12, linhas("qel_mapas_resumo", 1));
    EXPECT_DOUBLE_EQ(246.02, resumo(1, "JD", "mre_vlr_repasse").toDouble());
    EXPECT_EQ(2, linhas("qel_notasmapa", 1));
    EXPECT_EQ(1, count("select count(*) from Qel_Contribuinte_Complemento where con_iecnpjcpf = ?1", {kPecuarista}))
        << "the raiser's complement row was edited, not duplicated";

    // Back on the list, the map shows its figures.
    EXPECT_TRUE(f->pagina1->isHidden());
    ASSERT_EQ(1, f->DBGrid->rowCount());
    EXPECT_EQ(QStringLiteral("5"), f->DBGrid->cellText(0, 4));
    EXPECT_EQ(QStringLiteral("3"), f->DBGrid->cellText(0, 5));
    EXPECT_EQ(QStringLiteral("328,80"), f->DBGrid->cellText(0, 6));
    EXPECT_TRUE(f->btAlterar->isEnabled());
    EXPECT_FALSE(f->btVeterinario->isEnabled());

    // Reopen: the details show the stored summary.
    user::alt(QLatin1Char('T'));
    EXPECT_FALSE(f->pagina1->isHidden());
    EXPECT_EQ(5, f->DBGrid_ItemNota->rowCount());
    EXPECT_EQ(QStringLiteral("246,02"), texto(f->figura("JDVlrRepasse")));
    EXPECT_EQ(2, f->cbNotas->count());

    // Alter the second animal's weight; the totals follow.
    user::alt(QLatin1Char('A'));
    EXPECT_TRUE(AlterandoMapa);
    EXPECT_TRUE(dm->dbMTC->inTransaction());
    EXPECT_FALSE(f->dbSexo->isEnabled());
    pagina(f, 0);
    QWidget* vp = f->DBGrid_ItemNota->viewport();
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier,
                      f->DBGrid_ItemNota->visualRect(f->DBGrid_ItemNota->model()->index(1, 4)).center());
    user::type(QStringLiteral("300"));
    user::tab();
    pagina(f, 1);
    EXPECT_EQ(QStringLiteral("550,00"), texto(f->figura("JDPeso")));
    const QString incentivo = texto(f->figura("TotIncentivoTotal"));
    EXPECT_NE(QStringLiteral("328,80"), incentivo);
    user::alt(QLatin1Char('G'));
    EXPECT_FALSE(AlterandoMapa);
    EXPECT_EQ(incentivo, f->DBGrid->cellText(0, 6)) << "the list shows the map's figures as saved again";
    EXPECT_DOUBLE_EQ(300.0, peso(1, 2));
    EXPECT_DOUBLE_EQ(550.0, resumo(1, "JD", "mre_peso_kg").toDouble());
    EXPECT_EQ(12, linhas("qel_mapas_resumo", 1)) << "saving again replaces the twelve rows";

    // A cancelled include leaves nothing behind.
    user::alt(QLatin1Char('I'));
    remetente(f, kPecuarista);
    user::type(QStringLiteral("10122026"));
    user::tab();
    user::type(QStringLiteral("F"));
    user::tab(2);
    user::key(Qt::Key_Down);
    animal("JFD", "C", "3", "200", "B");
    pagina(f, 1);
    nota(f, QStringLiteral("2001"));
    EXPECT_EQ(1, linhas("qel_mapas_itens", 2));
    EXPECT_EQ(1, linhas("qel_notasmapa", 2));
    user::alt(QLatin1Char('C'));
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    nadaDoMapa(2);
    EXPECT_EQ(1, f->DBGrid->rowCount());

    // Delete the map: all of it, in its own transaction.
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - Mensagem"), vorta::ui::mrYes);
    user::click(f->btExcluir);
    nadaDoMapa(1);
    EXPECT_EQ(0, f->DBGrid->rowCount());
    EXPECT_FALSE(f->btAlterar->isEnabled());
    EXPECT_TRUE(f->btIncluir->isEnabled());
}

// The raiser register as it will answer an inclusion: it stores the registration
// preset in InscricaoPadrao as a new raiser and hands it back.
static void registraPecuarista(CadMapasFixture& t, const QString& nome)
{
    const QString ie = DM_Comuns->InscricaoPadrao;
    t.exec("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, "
           "Mun_Propriedade) values (?1, ?2, 'Sitio Novo', 'IE', 1, 1)",
           {ie, nome});
    CancelaContrib = ie;
}

TEST_F(CadMapasDia, AnUnknownRaiserIsRegisteredThroughTheRaiserRegisterAndGetsOneComplementRow)
{
    const QString novo = QStringLiteral("286000009");
    int aberturas = 0;
    AbreCadastroPecuaristaInclusao = [&] {
        ++aberturas;
        EXPECT_EQ(novo, DM_Comuns->InscricaoPadrao) << "the register opens on the typed registration";
        registraPecuarista(*this, QStringLiteral("Novo Pecuarista"));
    };
    TCadMapas* f = abre();
    user::alt(QLatin1Char('I'));
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("98 - Mensagem"), vorta::ui::mrYes);
    remetente(f, novo);
    EXPECT_EQ(1, aberturas);
    EXPECT_EQ(QStringLiteral("Novo Pecuarista"), f->DBEdit_Nome->text());
    EXPECT_EQ(f->DBEdit1, user::focused()) << "no programme number yet";
    user::type(QStringLiteral("8888"));
    user::tab();
    EXPECT_EQ(f->dbedit_data, user::focused());
    user::type(QStringLiteral("10122026"));
    user::tab();
    user::type(QStringLiteral("M"));
    user::tab(2);
    user::key(Qt::Key_Down);
    animal("JD", "C", "3", "250", "B");
    pagina(f, 1);
    user::click(f->btVeterinario);
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(1, count("select count(*) from qel_mapas where ie_pecuarista = ?1", {novo}));
    EXPECT_EQ(1, count("select count(*) from Qel_Contribuinte_Complemento where con_iecnpjcpf = ?1 and "
                       "cco_num_cad_pradel = '8888'",
                       {novo}));
}

TEST_F(CadMapasDia, ARefusedRaiserIsClearedAndTheFocusStaysOnHim)
{
    struct Caso {
        const char* nome;
        const char* digitado;
        int pergunta98; // 0: no question
        bool registra;  // the raiser register hands a registration back
        int mensagem;   // shown after, 0: none
    };
    const Caso casos[] = {
        {"unknown, No to registering him", "286000009", vorta::ui::mrNo, false, 0},
        {"unknown, the register closed without saving", "286000009", vorta::ui::mrYes, false, 0},
        {"the slaughterhouse itself", "281234567", 0, false, 116},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        AbreCadastroPecuaristaInclusao = [&] { CancelaContrib.clear(); };
        TCadMapas* f = abre();
        user::alt(QLatin1Char('I'));
        if (c.pergunta98)
            dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("98 - Mensagem"), c.pergunta98);
        if (c.mensagem)
            dialogs.expectMessage(MessageKind::Error, QStringLiteral("%1 - Mensagem").arg(c.mensagem), vorta::ui::mrOk);
        user::type(QString::fromLatin1(c.digitado));
        user::tab();
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_EQ(f->DBEdit_Con_Remetente, user::focused());
        EXPECT_TRUE(dm->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"))->asString().isEmpty());
        EXPECT_TRUE(f->DBEdit_Nome->text().isEmpty());
        EXPECT_EQ(DataSetState::Insert, dm->TblMapas->state()) << "the include goes on";
        user::alt(QLatin1Char('C'));
        vorta::Component::free(CadMapas);
    }
}

TEST_F(CadMapasDia, ABlankRaiserIsChosenFromTheTaxpayerList)
{
    for (bool escolhe : {true, false}) {
        SCOPED_TRACE(escolhe ? "chosen" : "cancelled");
        int mostrados = 0;
        vorta::ui::setModalHook([&](vorta::ui::Form& form) {
            ++mostrados;
            EXPECT_EQ(QStringLiteral("Sel_Contribuinte"), form.objectName());
            auto* t = DM_Comuns->Tb_Contribuinte;
            EXPECT_TRUE(t->filtered());
            // Only registrations of state or company kind are offered.
            EXPECT_TRUE(t->locate(QStringLiteral("Con_IECNPJCPF"), kPecuarista));
            CancelaProd = escolhe;
            return int(escolhe ? vorta::ui::mrOk : vorta::ui::mrCancel);
        });
        TCadMapas* f = abre();
        user::alt(QLatin1Char('I'));
        user::tab();
        // The window comes back to the front when the list closes.
        user::activate(f);
        EXPECT_EQ(1, mostrados);
        if (escolhe) {
            EXPECT_EQ(kPecuarista, dm->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"))->asString());
            EXPECT_EQ(QStringLiteral("Pecuarista"), f->DBEdit_Nome->text());
            EXPECT_EQ(f->dbedit_data, user::focused());
        } else {
            EXPECT_TRUE(dm->TblMapas->fieldByName(QStringLiteral("ie_pecuarista"))->asString().isEmpty());
            EXPECT_EQ(f->DBEdit_Con_Remetente, user::focused());
        }
        user::alt(QLatin1Char('C'));
        vorta::Component::free(CadMapas);
    }
}

TEST_F(CadMapasDia, TheThirdMapOfARaiserDayAndSexIsRefused)
{
    mapaGravado(10, QStringLiteral("M"));
    mapaGravado(11, QStringLiteral("M"));
    TCadMapas* f = abre();
    incluiAteAGrade(f);
    dialogs.expectMessage(MessageKind::Error, QStringLiteral("1723 - Mensagem"), vorta::ui::mrOk);
    user::key(Qt::Key_Down);
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(0, f->DBGrid_ItemNota->rowCount()) << "no animal may be added";
    // The save refuses it too and turns to the date.
    user::click(f->btVeterinario);
    dialogs.expectMessage(MessageKind::Error, QStringLiteral("1723 - Mensagem"), vorta::ui::mrOk);
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(f->dbedit_data, user::focused());
    EXPECT_EQ(f->TabSheet1, f->PageControl1->activePage());
    EXPECT_TRUE(dm->dbMTC->inTransaction()) << "left open for correction or cancel";
    user::alt(QLatin1Char('C'));
    EXPECT_EQ(2, count("select count(*) from qel_mapas"));
}

TEST_F(CadMapasDia, TheDateIsCheckedWhenLeftExceptBecauseOfACancel)
{
    struct Caso {
        const char* digitado;
        int mensagem;
    };
    const Caso casos[] = {{"10122026", 0}, {"10112026", 1669}, {"31022026", 458}, {"", 458}};
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.digitado);
        TCadMapas* f = abre();
        user::alt(QLatin1Char('I'));
        remetente(f, kPecuarista);
        user::type(QString::fromLatin1(c.digitado));
        if (c.mensagem)
            dialogs.expectMessage(MessageKind::Error, QStringLiteral("%1 - Mensagem").arg(c.mensagem), vorta::ui::mrOk);
        user::tab();
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_EQ(c.mensagem ? static_cast<QWidget*>(f->dbedit_data) : static_cast<QWidget*>(f->dbSexo),
                  user::focused());
        // Cancelling from the date shows nothing.
        f->dbedit_data->setFocus();
        user::alt(QLatin1Char('C'));
        EXPECT_TRUE(f->pagina1->isHidden());
        vorta::Component::free(CadMapas);
    }
}

TEST_F(CadMapasDia, ASaveWithoutVeterinarianTurnsToHisBox)
{
    TCadMapas* f = abre();
    incluiAteAGrade(f);
    user::key(Qt::Key_Down);
    animal("JD", "C", "3", "250", "B");
    dialogs.expectMessage(MessageKind::Custom, QStringLiteral("Informe o Médico Veterinário"), vorta::ui::mrOk);
    user::alt(QLatin1Char('G'));
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(f->TabSheet2, f->PageControl1->activePage());
    EXPECT_EQ(f->DBL_Tecnico, user::focused()) << user::focused()->objectName().toStdString();
    user::click(f->btVeterinario);
    EXPECT_EQ(f->DBL_Tecnico, user::focused());
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(1, count("select count(*) from qel_mapas where Tec_Codigo = 1"));
}

TEST_F(CadMapasDia, DeletingTheLastOrEveryAnimal)
{
    TCadMapas* f = abre();
    incluiAteAGrade(f);
    user::key(Qt::Key_Down);
    animal("JD", "C", "3", "250", "B");
    animal("JD", "C", "3", "251", "B");
    animal("JD", "C", "3", "252", "B");
    user::escape(); // gives up the new row
    // The first row selected: the highest number goes.
    QTest::mouseClick(f->DBGrid_ItemNota->viewport(), Qt::LeftButton, Qt::NoModifier,
                      f->DBGrid_ItemNota->visualRect(f->DBGrid_ItemNota->model()->index(0, 4)).center());
    user::click(f->BtExcluirItem);
    EXPECT_EQ(2, linhas("qel_mapas_itens", 1));
    EXPECT_EQ(0, count("select count(*) from qel_mapas_itens where itm_num_animal = 3"));
    EXPECT_EQ(QStringLiteral("2"), texto(f->figura("JDQtd"))) << "totalled again";
    dialogs.expectMessage(MessageKind::SystemBox, QStringLiteral("Deseja Excluir todos os animais informados  ?"),
                          vorta::ui::mrYes);
    user::click(f->SpeedButton3);
    EXPECT_EQ(0, linhas("qel_mapas_itens", 1));
    EXPECT_TRUE(f->dbSexo->isEnabled()) << "an empty map may change its sex";
    user::alt(QLatin1Char('C'));
}

// The sex box and the maturity list follow the animals each time, not only the first:
// emptied, the map takes the other sex and its list.
TEST_F(CadMapasDia, TheSexFreedByDeletingEveryAnimalTakesTheOtherList)
{
    TCadMapas* f = abre();
    incluiAteAGrade(f);
    const QStringList machos{"A", "I", "JD", "J2", "J4", "TD", "T2", "T4"};
    const QStringList femeas{"AF", "IF", "JFD", "JF2", "JF4"};
    auto apagaTodos = [&] {
        dialogs.expectMessage(MessageKind::SystemBox, QStringLiteral("Deseja Excluir todos os animais informados  ?"),
                              vorta::ui::mrYes);
        user::click(f->SpeedButton3);
        EXPECT_EQ(0, linhas("qel_mapas_itens", 1));
    };
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        user::key(Qt::Key_Down);
        animal("JD", "C", "3", "250", "B");
        animal("J2", "C", "3", "250", "B");
        EXPECT_FALSE(f->dbSexo->isEnabled());
        EXPECT_EQ(machos, f->DBGrid_ItemNota->column(1).pickList);
        user::escape();
        apagaTodos();
        EXPECT_TRUE(f->dbSexo->isEnabled());

        user::click(f->dbSexo);
        user::key(Qt::Key_Down);
        ASSERT_EQ(QStringLiteral("F"), f->dbSexo->currentText());
        user::tab(2);
        ASSERT_EQ(f->DBGrid_ItemNota, user::focused());
        user::key(Qt::Key_Down);
        animal("JFD", "C", "3", "200", "B");
        EXPECT_FALSE(f->dbSexo->isEnabled());
        EXPECT_EQ(femeas, f->DBGrid_ItemNota->column(1).pickList);
        EXPECT_EQ(QStringLiteral("JFD"),
                  scalar(QStringLiteral("select mat_codigo from qel_mapas_itens where map_codigo = 1")).toString());
        user::escape();
        apagaTodos();
        EXPECT_TRUE(f->dbSexo->isEnabled());

        // Back to males for the next round.
        user::click(f->dbSexo);
        user::key(Qt::Key_Up);
        ASSERT_EQ(QStringLiteral("M"), f->dbSexo->currentText());
        user::tab(2);
        ASSERT_EQ(f->DBGrid_ItemNota, user::focused());
    }
    EXPECT_TRUE(dialogs.allAnswered());
    user::alt(QLatin1Char('C'));
}

// Each map included after another fixes its own sex at its first animal, and takes
// the maturity list of that sex.
TEST_F(CadMapasDia, EachIncludedMapFixesItsSexAtItsFirstAnimal)
{
    TCadMapas* f = abre();
    const struct {
        const char* sex;
        const char* maturity;
        QStringList list;
    } maps[] = {{"M", "JD", {"A", "I", "JD", "J2", "J4", "TD", "T2", "T4"}},
                {"M", "J2", {"A", "I", "JD", "J2", "J4", "TD", "T2", "T4"}},
                {"F", "JFD", {"AF", "IF", "JFD", "JF2", "JF4"}},
                {"M", "JD", {"A", "I", "JD", "J2", "J4", "TD", "T2", "T4"}}};
    for (const auto& m : maps) {
        SCOPED_TRACE(m.sex);
        incluiAteAGrade(f, kPecuarista, QString::fromLatin1(m.sex));
        EXPECT_TRUE(f->dbSexo->isEnabled());
        user::key(Qt::Key_Down);
        animal(QString::fromLatin1(m.maturity), "C", "3", "250", "B");
        EXPECT_FALSE(f->dbSexo->isEnabled());
        EXPECT_EQ(m.list, f->DBGrid_ItemNota->column(1).pickList);
        EXPECT_EQ(1, count("select count(*) from qel_mapas_itens"));
        user::alt(QLatin1Char('C'));
        EXPECT_EQ(0, count("select count(*) from qel_mapas_itens")) << "given up with its map";
    }
}

TEST_F(CadMapasDia, AnimalsChangeOnlyInsideTheMapsTransaction)
{
    mapaGravado(1, QStringLiteral("M"));
    exec("insert into qel_mapas_itens values (1, 1, 'B', 'S', 3, 'JD', 250, 'C')");
    TCadMapas* f = abre();
    user::alt(QLatin1Char('T'));
    ASSERT_FALSE(f->pagina1->isHidden());
    // Clicked whatever their look: none acts while viewing.
    f->SpeedButton2->click();
    f->SpeedButton3->click();
    f->BtExcluirItem->click();
    f->SpeedButton1->click();
    EXPECT_TRUE(dialogs.allAnswered()) << "no file dialog, no question";
    EXPECT_EQ(1, linhas("qel_mapas_itens", 1));
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_TRUE(f->DBGrid_ItemNota->readOnly());
}

TEST_F(CadMapasDia, AFailedDeleteRollsBackAndSaysSo)
{
    mapaGravado(1, QStringLiteral("M"));
    exec("insert into qel_mapas_itens values (1, 1, 'B', 'S', 3, 'JD', 250, 'C')");
    exec("insert into qel_notasmapa values (1, '77')");
    exec("create trigger recusa before delete on qel_mapas begin select raise(abort, 'locked'); end");
    TCadMapas* f = abre();
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - Mensagem"), vorta::ui::mrYes);
    dialogs.expectMessage(MessageKind::Error, QStringLiteral("33 - Mensagem"), vorta::ui::mrOk);
    user::click(f->btExcluir);
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(1, linhas("qel_mapas_itens", 1)) << "the animals deleted before the failure came back";
    EXPECT_EQ(1, linhas("qel_notasmapa", 1));
    EXPECT_EQ(1, f->DBGrid->rowCount());
}

TEST_F(CadMapasDia, TheListIsSearchedByMapNumber)
{
    for (int code : {3, 17, 25})
        mapaGravado(code, QStringLiteral("M"), kPecuarista, kDia.addDays(-code));
    TCadMapas* f = abre();
    user::click(f->Edit_Busca);
    user::type(QStringLiteral("17"));
    EXPECT_EQ(17, dm->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger());
    user::type(QStringLiteral("'"));
    EXPECT_EQ(17, dm->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger()) << "no number: no move";
}

TEST_F(CadMapasDia, ImprimirPrintsTheCurrentMapWithTheHeadingTheFormShows)
{
    mapaGravado(1, QStringLiteral("M"));
    exec("update qel_mapas set Tec_Codigo = 1 where map_codigo = 1");
    exec("insert into qel_mapas_itens values (1, 1, 'B', 'S', 3, 'JD', 250, 'C')");
    exec("insert into Qel_Contribuinte_Complemento (con_iecnpjcpf, cco_num_sif, cco_num_cad_pradel) "
         "values (?1, '778899', '1')",
         {kFrigorifico});
    ImprimeMapaAtual = ImprimeMapaDoFormulario;
    struct Reset {
        ~Reset() { ImprimeMapaAtual = nullptr; }
    } reset;
    TCadMapas* f = abre();
    QHash<QString, QString> impresso;
    int previas = 0;
    vorta::ui::setModalHook([&](vorta::ui::Form&) {
        ++previas;
        EXPECT_TRUE(qrMapa1);
        if (qrMapa1)
            for (const char* name : {"qrRazaoSocial", "qrInscricaoFrigo", "qrMunicipio", "qrSIF", "qrPecuarista",
                                     "QRPradel", "qrPropriedade", "qrMunicipioPropriedade", "QRDBText_tec_nome"})
                impresso.insert(QString::fromLatin1(name), qrMapa1->texto(QString::fromLatin1(name)));
        return int(vorta::ui::mrCancel);
    });
    user::click(f->btimprimir);
    EXPECT_EQ(previas, 1);
    EXPECT_EQ(impresso.value("qrRazaoSocial"), "Frigorifico " + kFrigorifico);
    EXPECT_EQ(impresso.value("qrInscricaoFrigo"), "28.123.456-7");
    EXPECT_EQ(impresso.value("qrMunicipio"), "Palmas");
    EXPECT_EQ(impresso.value("qrSIF"), "778899");
    EXPECT_EQ(impresso.value("qrPecuarista"), f->DBEdit_Nome->text());
    EXPECT_EQ(impresso.value("qrPecuarista"), "Pecuarista");
    EXPECT_EQ(impresso.value("QRPradel"), f->DBEdit1->text());
    EXPECT_EQ(impresso.value("qrPropriedade"), f->DBEdit_Propriedade->text());
    EXPECT_EQ(impresso.value("qrMunicipioPropriedade"), "Palmas") << "the raiser's property municipality";
    EXPECT_EQ(f->edMunicipio->text(), "Palmas");
    EXPECT_EQ(impresso.value("QRDBText_tec_nome"), "Dra. Vet");
}
