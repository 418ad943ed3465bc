// What the map register lets the user do in each of its modes (browsing, viewing,
// including, altering), and the smaller boxes of a map: invoices, practised values,
// the maturity list of the sex, the verdict panel; driven by key events and read back
// from the database.
#include "CadMapasTestSupport.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QMenu>
#include <QScrollBar>

using namespace zir_test;
using vorta::db::DataSetState;
using vorta::ui::MessageKind;
using vorta::ui::SpeedButton;

namespace {

// The commands the user can reach: tool-bar buttons shown and enabled, the page's
// buttons and boxes enabled, and whether the list, the detail panel, the animal grid
// and the raiser box take input; "rolagem" when the window needs scroll bars.
QString ativos(TCadMapas* f)
{
    QStringList out;
    for (QWidget* b : std::initializer_list<QWidget*>{
             f->btPrimeiro, f->btAnterior, f->btProximo, f->btUltimo, f->btConsultaSimples, f->btConsultaGrid,
             f->btIncluir, f->btAlterar, f->btExcluir, f->btGravar, f->btCancelar, f->BtSairGeral, f->btSair,
             f->btimprimir})
        if (b->isVisibleTo(f) && b->isEnabled())
            out << b->objectName();
    for (QWidget* b : std::initializer_list<QWidget*>{f->dbSexo, f->btVeterinario, f->BtExcluirItem, f->SpeedButton2,
                                                      f->SpeedButton3, f->SpeedButton1})
        if (b->isEnabled())
            out << b->objectName();
    if (f->DBGrid->isEnabled())
        out << QStringLiteral("lista");
    if (f->pagina1->isVisibleTo(f))
        out << QStringLiteral("detalhe");
    if (!f->DBGrid_ItemNota->readOnly())
        out << QStringLiteral("grade");
    if (!f->DBEdit_Con_Remetente->FieldControl::readOnly())
        out << QStringLiteral("remetente");
    // The form fits its window: the legend and the status line stay in sight.
    if (f->ScrollBox1->verticalScrollBar()->isVisibleTo(f) || f->ScrollBox1->horizontalScrollBar()->isVisibleTo(f))
        out << QStringLiteral("rolagem");
    return out.join(QLatin1Char(' '));
}

QString pasta()
{
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    return folder;
}

} // namespace

class CadMapasModos : public CadMapasFixture {
public:
    // Include up to the grid, the focus on its first new row.
    void incluiAteAGrade(TCadMapas* f, const QString& sex = QStringLiteral("M"))
    {
        inclui(f, sex);
        user::type(QStringLiteral("0102"));
        user::tab();
        ASSERT_EQ(f->DBGrid_ItemNota, user::focused());
        user::key(Qt::Key_Down);
    }
    // The value typed over what a box holds, then left with Tab.
    static void digita(QWidget* box, const QString& text)
    {
        user::click(box);
        user::key(Qt::Key_A, Qt::ControlModifier);
        user::type(text);
        user::tab();
    }
};

TEST_F(CadMapasModos, EachModeEnablesItsOwnCommands)
{
    const QString nav = QStringLiteral("btPrimeiro btAnterior btProximo btUltimo ");
    const QString semMapas = QStringLiteral("btIncluir BtSairGeral btSair lista");
    const QString navegando =
        nav + QStringLiteral("btConsultaSimples btIncluir btAlterar btExcluir BtSairGeral btSair btimprimir lista");
    const QString vendo = nav + QStringLiteral("btConsultaGrid btIncluir btAlterar btExcluir BtSairGeral btSair "
                                               "btimprimir detalhe");
    const QString editando = QStringLiteral("btGravar btCancelar BtSairGeral dbSexo btVeterinario BtExcluirItem "
                                            "SpeedButton2 SpeedButton3 SpeedButton1 detalhe grade remetente");
    const QString editandoComSexo = QString(editando).remove(QStringLiteral("dbSexo "));

    TCadMapas* f = abre();
    EXPECT_EQ(semMapas, ativos(f)) << "a slaughterhouse without maps";

    incluiAteAGrade(f);
    EXPECT_EQ(editando, ativos(f)) << "including";
    EXPECT_EQ(QPoint(182, 2), f->btConsultaGrid->pos());
    EXPECT_TRUE(f->btConsultaSimples->isHidden());
    animal("JD", "C", "3", "250", "B");
    EXPECT_EQ(editandoComSexo, ativos(f)) << "including, with an animal";
    dialogs.expectMessage(MessageKind::Custom, QStringLiteral("Informe o Médico Veterinário"), vorta::ui::mrOk);
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(editandoComSexo, ativos(f)) << "a refused save goes on including";
    user::alt(QLatin1Char('C'));
    EXPECT_EQ(semMapas, ativos(f)) << "the cancelled include leaves the list empty";

    incluiAteAGrade(f);
    animal("JD", "C", "3", "250", "B");
    pagina(f, 1);
    user::click(f->btVeterinario);
    user::alt(QLatin1Char('G'));
    ASSERT_EQ(1, count("select count(*) from qel_mapas"));
    EXPECT_EQ(navegando, ativos(f)) << "saved";
    EXPECT_EQ(QStringLiteral("Detalhes -"), f->LabelConDet->caption());
    EXPECT_TRUE(f->grab().toImage().save(pasta() + QStringLiteral("/CadMapas_lista.png")));

    user::alt(QLatin1Char('T'));
    EXPECT_EQ(vendo, ativos(f)) << "viewing";
    EXPECT_EQ(QPoint(182, 2), f->btConsultaGrid->pos());
    EXPECT_EQ(QStringLiteral("Consultar -"), f->LabelConDet->caption());
    EXPECT_TRUE(f->Panel_Busca->isHidden());
    EXPECT_TRUE(f->grab().toImage().save(pasta() + QStringLiteral("/CadMapas_detalhes.png")));
    user::alt(QLatin1Char('T'));
    EXPECT_EQ(navegando, ativos(f)) << "back from viewing";
    EXPECT_EQ(QPoint(182, 2), f->btConsultaSimples->pos());
    EXPECT_FALSE(f->Panel_Busca->isHidden());

    user::alt(QLatin1Char('A'));
    EXPECT_EQ(editandoComSexo, ativos(f)) << "altering a map with its sex";
    EXPECT_TRUE(dm->dbMTC->inTransaction());
    user::alt(QLatin1Char('C'));
    EXPECT_EQ(navegando, ativos(f)) << "the cancelled alter";

    // A map stored without a sex may take one while it is altered.
    exec("update qel_mapas set Aprovado = null");
    exec("delete from qel_mapas_itens");
    vorta::Component::free(CadMapas);
    f = abre();
    user::alt(QLatin1Char('A'));
    EXPECT_EQ(editando, ativos(f)) << "altering a map without sex";
    user::alt(QLatin1Char('C'));
}

TEST_F(CadMapasModos, InvoicesAreAddedOnceDeletedAndRefusedWithTheirMessage)
{
    exec("create trigger recusaNota before insert on qel_notasmapa when new.mn_nro_nota_fiscal = '666' "
         "begin select raise(abort, 'locked'); end");
    TCadMapas* f = abre();
    incluiAteAGrade(f);
    animal("JD", "C", "3", "250", "B");
    pagina(f, 1);
    user::click(f->btVeterinario);
    for (const char* n : {"1001", "1002", "1001"})
        digita(f->cbNotas, QString::fromLatin1(n));
    EXPECT_EQ(2, linhas("qel_notasmapa", 1)) << "an invoice typed again is not added twice";
    EXPECT_EQ(2, f->cbNotas->count());

    dialogs.expectMessage(MessageKind::Error, QStringLiteral("1684 - Mensagem"), vorta::ui::mrOk);
    digita(f->cbNotas, QStringLiteral("666"));
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(f->cbNotas, user::focused()) << "back on the invoice that failed";
    EXPECT_EQ(2, linhas("qel_notasmapa", 1));

    // "Excluir" deletes the invoice the combo shows.
    user::key(Qt::Key_A, Qt::ControlModifier);
    user::type(QStringLiteral("1001"));
    user::click(f->SpeedButton1);
    EXPECT_EQ(QStringList{QStringLiteral("1002")},
              scalar("select group_concat(mn_nro_nota_fiscal) from qel_notasmapa where map_codigo = 1")
                  .toString()
                  .split(QLatin1Char(',')));
    EXPECT_EQ(1, f->cbNotas->count());
    user::alt(QLatin1Char('G'));
    EXPECT_EQ(1, linhas("qel_notasmapa", 1));

    // Viewing the saved map: the combo lists its invoice; "Excluir" is not offered.
    user::alt(QLatin1Char('T'));
    EXPECT_EQ(1, f->cbNotas->count());
    EXPECT_FALSE(f->SpeedButton1->isEnabled());
}

TEST_F(CadMapasModos, APractisedValueIsTakenFromZeroTo999AndTheSmallerValueIsTotalled)
{
    TCadMapas* f = abre();
    incluiAteAGrade(f);
    animal("JD", "C", "3", "300", "B"); // 20 arrobas
    pagina(f, 1);
    EXPECT_EQ(QStringLiteral("90,00"), f->dbEdit_VlrArrobaMacho->text()) << "the month's reference value";
    struct Caso {
        const char* digitado;
        const char* mensagem; // nullptr: taken
        const char* mostrado;
        const char* valorArroba; // JD's value per arroba afterwards
    };
    const Caso casos[] = {
        {"85,5", nullptr, "85,50", "85,50"},
        {"84.5", nullptr, "84,50", "84,50"},
        {"1.000,00", "Valor fora da faixa permitida!", "1.000,00", "84,50"},
        {"1000", "Valor fora da faixa permitida!", "1000", "84,50"},
        {"-1", "Valor fora da faixa permitida!", "-1", "84,50"},
        {"abc", "Valor inválido!", "abc", "84,50"},
        {"999,99", nullptr, "999,99", "90,00"},
        {"0", nullptr, "90,00", "90,00"},
        {"70", nullptr, "70,00", "70,00"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.digitado);
        if (c.mensagem)
            dialogs.expectMessage(MessageKind::Custom, QString::fromUtf8(c.mensagem), vorta::ui::mrOk);
        digita(f->dbEdit_VlrArrobaMacho, QString::fromLatin1(c.digitado));
        EXPECT_TRUE(dialogs.allAnswered());
        EXPECT_EQ(c.mensagem ? static_cast<QWidget*>(f->dbEdit_VlrArrobaMacho)
                             : static_cast<QWidget*>(f->dbEdit_VlrArrobaFemea),
                  user::focused());
        EXPECT_EQ(QString::fromLatin1(c.mostrado), f->dbEdit_VlrArrobaMacho->text());
        EXPECT_EQ(QString::fromLatin1(c.valorArroba), f->figura(QStringLiteral("JDValorArr"))->text());
    }
    user::click(f->btVeterinario);
    // Saved with the value still in its box: the typed value counts, or stops the save.
    user::click(f->dbEdit_VlrArrobaMacho);
    user::key(Qt::Key_A, Qt::ControlModifier);
    user::type(QStringLiteral("1000"));
    dialogs.expectMessage(MessageKind::Custom, QStringLiteral("Valor fora da faixa permitida!"), vorta::ui::mrOk);
    user::alt(QLatin1Char('G'));
    EXPECT_TRUE(dialogs.allAnswered());
    EXPECT_EQ(0, count("select count(*) from qel_mapas"));
    EXPECT_TRUE(dm->dbMTC->inTransaction());
    EXPECT_EQ(f->dbEdit_VlrArrobaMacho, user::focused());
    user::key(Qt::Key_A, Qt::ControlModifier);
    user::type(QStringLiteral("75"));
    user::alt(QLatin1Char('G'));
    EXPECT_DOUBLE_EQ(75.0, scalar("select map_vlr_arrobaM from qel_mapas where map_codigo = 1").toDouble());
    EXPECT_DOUBLE_EQ(75.0, scalar("select mre_vlr_arroba from qel_mapas_resumo where map_codigo = 1 and "
                                  "mat_codigo = 'JD'")
                               .toDouble());
}

TEST_F(CadMapasModos, TheMaturityListIsTheOneOfTheMapsSex)
{
    struct Caso {
        const char* sexo;
        QStringList lista;
    };
    const Caso casos[] = {
        {"M", {"A", "I", "JD", "J2", "J4", "TD", "T2", "T4"}},
        {"F", {"AF", "IF", "JFD", "JF2", "JF4"}},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.sexo);
        TCadMapas* f = abre();
        incluiAteAGrade(f, QString::fromLatin1(c.sexo));
        user::tab();
        user::type(QStringLiteral("J"));
        QWidget* editor = user::focused();
        ASSERT_TRUE(editor);
        ASSERT_NE(f->DBGrid_ItemNota, editor) << "the maturity cell is being edited";
        auto* menu = editor->findChild<QMenu*>();
        ASSERT_TRUE(menu) << "the cell offers its values";
        QStringList oferecidos;
        for (QAction* a : menu->actions())
            oferecidos << a->text();
        EXPECT_EQ(c.lista, oferecidos);
        user::escape();
        user::alt(QLatin1Char('C'));
        vorta::Component::free(CadMapas);
    }
}

TEST_F(CadMapasModos, BelowHalfClassifiedTheMapShowsItHasNoRightToTheBenefits)
{
    TCadMapas* f = abre();
    incluiAteAGrade(f);
    animal("JD", "C", "3", "250", "B");
    animal("A", "C", "3", "300", "A");
    animal("I", "C", "3", "300", "A");
    pagina(f, 1);
    EXPECT_TRUE(f->paprovado->isVisible()) << "one of three classified";
    EXPECT_EQ(QStringLiteral("\"Sem direito aos benefícios fiscais conforme Resolução Conjunta Kalvi/Pradel nº 033 "
                             "de 16 de junho de 2003\""),
              f->paprovado->caption());
    EXPECT_EQ(QStringLiteral("0,00"), f->figura(QStringLiteral("TotIncentivoTotal"))->text());
    EXPECT_NE(QStringLiteral("0,00"), f->figura(QStringLiteral("JDVlrRepasse"))->text())
        << "the class keeps its figure";
    user::click(f->btVeterinario);
    EXPECT_TRUE(f->grab().toImage().save(pasta() + QStringLiteral("/CadMapas_resumo_sem_direito.png")));
    pagina(f, 0);
    f->DBGrid_ItemNota->setFocus();
    user::click(f->BtExcluirItem);
    user::click(f->BtExcluirItem);
    pagina(f, 1);
    EXPECT_FALSE(f->paprovado->isVisible()) << "the JD left alone is classified";
    user::alt(QLatin1Char('C'));
    EXPECT_FALSE(f->paprovado->isVisible());
}

TEST_F(CadMapasModos, LeavingTheProgramFromTheMapsAsksFirst)
{
    TCadMapas* f = abre();
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("440 - Mensagem"), vorta::ui::mrNo);
    user::click(f->BtSairGeral);
    EXPECT_FALSE(vorta::Application::instance()->terminated());
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("440 - Mensagem"), vorta::ui::mrYes);
    user::click(f->BtSairGeral);
    EXPECT_TRUE(vorta::Application::instance()->terminated());
    vorta::Application::instance()->clearTermination();
}

TEST_F(CadMapasModos, TheInspectionNumberOfASlaughterhouseWithoutComplementIsZeros)
{
    TCadMapas* f = abre();
    QString sif;
    f->BuscaSIF(kPecuarista, sif);
    EXPECT_EQ(QStringLiteral("123"), sif);
    f->BuscaSIF(kOutroFrigorifico, sif);
    EXPECT_EQ(QStringLiteral("000000"), sif);
}

TEST_F(CadMapasModos, TheRaiserShowsWithHisPropertyOnBothPages)
{
    TCadMapas* f = abre();
    inclui(f);
    EXPECT_EQ(QStringLiteral("Fazenda Boa"), f->DBEdit_Propriedade->text());
    pagina(f, 1);
    EXPECT_EQ(f->DBEdit_Con_Remetente->text(), f->DBEdit_Con_Remetente2->text());
    EXPECT_EQ(QStringLiteral("Pecuarista"), f->DBEdit_Nome2->text());
    user::alt(QLatin1Char('C'));
}

TEST_F(CadMapasModos, TheAnimalGridTakesTypingOnlyWhileTheMapIsBeingSaved)
{
    mapaDigitado(QStringLiteral("M"), {{"JD", 250}});
    TCadMapas* f = abre();
    user::alt(QLatin1Char('T'));
    ASSERT_EQ(1, f->DBGrid_ItemNota->rowCount());
    QWidget* vp = f->DBGrid_ItemNota->viewport();
    const QPoint peso = f->DBGrid_ItemNota->visualRect(f->DBGrid_ItemNota->model()->index(0, 4)).center();
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, peso);
    user::type(QStringLiteral("999"));
    user::tab();
    EXPECT_TRUE(f->DBGrid_ItemNota->readOnly()) << "viewing";
    EXPECT_EQ(DataSetState::Browse, dm->TblMapasItens->state());
    EXPECT_DOUBLE_EQ(250.0, scalar("select itm_peso from qel_mapas_itens where map_codigo = 1").toDouble());

    user::alt(QLatin1Char('A'));
    QTest::mouseClick(vp, Qt::LeftButton, Qt::NoModifier, peso);
    EXPECT_FALSE(f->DBGrid_ItemNota->readOnly()) << "altering";
    user::type(QStringLiteral("261"));
    user::tab();
    EXPECT_EQ(DataSetState::Edit, dm->TblMapasItens->state());
    EXPECT_DOUBLE_EQ(261.0, dm->TblMapasItens->fieldByName(QStringLiteral("itm_peso"))->asFloat());
    user::alt(QLatin1Char('C'));
    EXPECT_DOUBLE_EQ(250.0, scalar("select itm_peso from qel_mapas_itens where map_codigo = 1").toDouble())
        << "the cancel takes the change back";
    EXPECT_TRUE(f->DBGrid_ItemNota->readOnly());
}

TEST_F(CadMapasModos, TheSummaryPageIsTypedInOrder)
{
    TCadMapas* f = abre();
    incluiAteAGrade(f);
    animal("JD", "C", "3", "250", "B");
    pagina(f, 1);
    user::click(f->dbEdit_VlrArrobaMacho);
    QStringList ordem;
    for (int i = 0; i < 3; ++i) {
        user::tab();
        ordem << (user::focused() ? user::focused()->objectName() : QString());
    }
    EXPECT_EQ((QStringList{QStringLiteral("dbEdit_VlrArrobaFemea"), QStringLiteral("DBL_Tecnico"),
                           QStringLiteral("cbNotas")}),
              ordem);
    user::alt(QLatin1Char('C'));
}

TEST_F(CadMapasModos, DeletingTheMapOnViewShowsTheNextOrTheEmptyList)
{
    mapaDigitado(QStringLiteral("M"), {{"JD", 250}});
    mapaDigitado(QStringLiteral("F"), {{"JFD", 200}});
    TCadMapas* f = abre();
    const QString nav = QStringLiteral("btPrimeiro btAnterior btProximo btUltimo ");
    const QString vendo = nav + QStringLiteral("btConsultaGrid btIncluir btAlterar btExcluir BtSairGeral btSair "
                                               "btimprimir detalhe");
    user::alt(QLatin1Char('T'));
    ASSERT_EQ(vendo, ativos(f));
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - Mensagem"), vorta::ui::mrYes);
    user::click(f->btExcluir);
    EXPECT_EQ(vendo, ativos(f)) << "one map left, still viewed";
    EXPECT_EQ(1, count("select count(*) from qel_mapas"));
    EXPECT_EQ(1, f->DBGrid_ItemNota->rowCount()) << "the animals of the map now shown";
    EXPECT_EQ(QStringLiteral("1"), f->figura(QStringLiteral("JFDQtd"))->text()) << "and its summary";
    EXPECT_EQ(QStringLiteral("0"), f->figura(QStringLiteral("JDQtd"))->text());
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - Mensagem"), vorta::ui::mrYes);
    user::click(f->btExcluir);
    EXPECT_EQ(0, count("select count(*) from qel_mapas"));
    EXPECT_EQ(QStringLiteral("btIncluir BtSairGeral btSair lista"), ativos(f)) << "nothing left to view";
}

TEST_F(CadMapasModos, NavigatingWhileViewingShowsEachMapsOwnDetails)
{
    mapaDigitado(QStringLiteral("M"), {{"JD", 250}, {"JD", 260}});
    mapaDigitado(QStringLiteral("F"), {{"JFD", 200}});
    exec("insert into qel_notasmapa values (1, '11')");
    exec("insert into qel_notasmapa values (2, '21')");
    exec("insert into qel_notasmapa values (2, '22')");
    TCadMapas* f = abre();
    user::alt(QLatin1Char('T'));
    pagina(f, 1);
    struct Passo {
        SpeedButton* botao;
        int mapa;
        const char* jd;
        const char* jfd;
        int notas;
    };
    const Passo passos[] = {
        {nullptr, 1, "2", "0", 1},
        {f->btProximo, 2, "0", "1", 2},
        {f->btAnterior, 1, "2", "0", 1},
        {f->btUltimo, 2, "0", "1", 2},
        {f->btPrimeiro, 1, "2", "0", 1},
    };
    for (const Passo& p : passos) {
        SCOPED_TRACE(p.mapa);
        if (p.botao)
            user::click(p.botao);
        EXPECT_EQ(p.mapa, dm->TblMapas->fieldByName(QStringLiteral("map_codigo"))->asInteger());
        EXPECT_EQ(QString::fromLatin1(p.jd), f->figura(QStringLiteral("JDQtd"))->text());
        EXPECT_EQ(QString::fromLatin1(p.jfd), f->figura(QStringLiteral("JFDQtd"))->text());
        EXPECT_EQ(p.notas, f->cbNotas->count());
    }
}

TEST_F(CadMapasModos, AnAlteredMapTakesAnotherRaiserWithHisOwnProgrammeNumber)
{
    const QString outro = QStringLiteral("285000002");
    mapaDigitado(QStringLiteral("M"), {{"JD", 250}});
    exec("update qel_mapas set Tec_Codigo = 1");
    TCadMapas* f = abre();
    // Registered in another window while the maps are open.
    exec("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, "
         "Mun_Propriedade) values (?1, 'Outro Pecuarista', 'Sitio Dois', 'IE', 1, 1)",
         {outro});
    user::alt(QLatin1Char('A'));
    EXPECT_EQ(QStringLiteral("28.500.000-1"), f->DBEdit_Con_Remetente->text());
    EXPECT_EQ(QStringLiteral("4567"), f->DBEdit1->text());
    user::click(f->DBEdit_Con_Remetente);
    user::key(Qt::Key_A, Qt::ControlModifier);
    user::key(Qt::Key_Delete);
    user::type(outro);
    user::tab();
    EXPECT_EQ(QStringLiteral("Outro Pecuarista"), f->DBEdit_Nome->text());
    EXPECT_EQ(QStringLiteral("Sitio Dois"), f->DBEdit_Propriedade->text());
    EXPECT_EQ(f->DBEdit1, user::focused()) << "he has no programme number yet";
    user::type(QStringLiteral("777"));
    user::tab();
    user::alt(QLatin1Char('G'));
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(outro, scalar("select ie_pecuarista from qel_mapas where map_codigo = 1").toString());
    EXPECT_EQ(QStringLiteral("777"), scalar("select cco_num_cad_pradel from Qel_Contribuinte_Complemento where "
                                            "con_iecnpjcpf = ?1",
                                            {outro})
                                         .toString());
    EXPECT_EQ(QStringLiteral("4567"), scalar("select cco_num_cad_pradel from Qel_Contribuinte_Complemento where "
                                             "con_iecnpjcpf = ?1",
                                             {kPecuarista})
                                          .toString())
        << "the first raiser keeps his";
    EXPECT_EQ(2, count("select count(*) from Qel_Contribuinte_Complemento"));
}

// The municipality shown is the raiser's property's; one without a property
// municipality, or with one not registered, shows that it was not found.
TEST_F(CadMapasModos, TheRaisersPropertyMunicipalityShowsWhenHeIsTyped)
{
    struct Caso {
        const char* ie;
        QVariant municipio;
        const char* mostrado;
    };
    exec("insert into Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) values (2, 'Gurupi', 'TO')");
    const Caso casos[] = {
        {"285000011", 2, "Gurupi"},
        {"285000012", QVariant(), "Município não encontrado"},
        {"285000013", 99, "Município não encontrado"},
        {"285000014", 1, "Palmas"},
    };
    for (const Caso& c : casos) {
        exec("insert into Contribuinte (Con_IECNPJCPF, Con_Nome, Con_NomePropr, Con_Tipo, Mun_Endereco, "
             "Mun_Propriedade) values (?1, 'Pecuarista', 'Sitio', 'IE', 1, ?2)",
             {QString::fromLatin1(c.ie), c.municipio});
        exec("insert into Qel_Contribuinte_Complemento (con_iecnpjcpf, cco_num_sif, cco_num_cad_pradel) "
             "values (?1, '1', '2')",
             {QString::fromLatin1(c.ie)});
    }
    TCadMapas* f = abre();
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.ie);
        user::alt(QLatin1Char('I'));
        remetente(f, QString::fromLatin1(c.ie));
        EXPECT_EQ(QString::fromUtf8(c.mostrado), f->edMunicipio->text());
        EXPECT_EQ(f->dbedit_data, user::focused());
        user::alt(QLatin1Char('C'));
        ASSERT_EQ(DataSetState::Browse, dm->TblMapas->state());
    }
}

TEST_F(CadMapasModos, TheSexPickedFromItsListSetsTheMaturityList)
{
    TCadMapas* f = abre();
    user::alt(QLatin1Char('I'));
    remetente(f, kPecuarista);
    user::type(QStringLiteral("10122026"));
    user::tab();
    ASSERT_EQ(f->dbSexo, user::focused());
    // Down to the last of "M" and "F".
    user::key(Qt::Key_Down);
    user::key(Qt::Key_Down);
    EXPECT_EQ(QStringLiteral("F"), f->dbSexo->currentText());
    user::tab(2);
    ASSERT_EQ(f->DBGrid_ItemNota, user::focused());
    user::key(Qt::Key_Down);
    animal("JFD", "C", "3", "200", "B");
    EXPECT_EQ(QStringLiteral("F"), dm->TblMapas->fieldByName(QStringLiteral("Aprovado"))->asString());
    EXPECT_EQ((QStringList{"AF", "IF", "JFD", "JF2", "JF4"}), f->DBGrid_ItemNota->column(1).pickList);
    EXPECT_EQ(1, linhas("qel_mapas_itens", 1)) << "a female animal is taken";
    user::alt(QLatin1Char('C'));
}
