// The map register driven by key events as a slaughterhouse's user works a day; what
// it stores is read back from the database.
#include "CadMapasTestSupport.h"

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
        user::alt(QLatin1Char('I'));
        ASSERT_EQ(DataSetState::Insert, dm->TblMapas->state());
        remetente(f, raiser);
        ASSERT_EQ(f->dbedit_data, user::focused()) << "the raiser has his programme number";
        user::type(QStringLiteral("10122026"));
        user::tab();
        ASSERT_EQ(f->dbSexo, user::focused());
        user::type(sex);
        user::tab();
        ASSERT_EQ(f->edLote, user::focused());
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
    user::alt(QLatin1Char('G'));
    EXPECT_FALSE(AlterandoMapa);
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
