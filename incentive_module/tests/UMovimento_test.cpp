// The movement's decisions: the delivery state of a generated movement and the opening
// it allows, the duplicate and parameter checks of a save, and the deletion.
#include "MapasTestSupport.h"
#include "UMovimento.h"

using namespace zir_test;
using vorta::ui::MessageKind;

class Movimento : public MapasFixture {
protected:
    void SetUp() override
    {
        MapasFixture::SetUp();
        for (int c : {92, 1496, 1497, 1498, 1499, 1664})
            exec("insert or replace into mensagem (Men_Codigo, Men_Descricao) values (?1, ?2)",
                 {c, QStringLiteral("M%1").arg(c)});
        chave = ChaveMovimento(kFrigorifico, 2026, 12, QStringLiteral("N"), 1);
    }
    void entrega(const char* versao, const QString& key, const char* copia, const char* entregue,
                 const char* sistema = "ZIR")
    {
        exec("insert into Entrega (Sistema, Versao, Arquivo, Chave, Data_Copia, Data_Entrega) "
             "values (?1, ?2, 'ZIRN123456.C26', ?3, ?4, ?5)",
             {QString::fromLatin1(sistema), QString::fromLatin1(versao), key,
              copia ? QVariant(QDateTime::fromString(QString::fromLatin1(copia), Qt::ISODate)) : QVariant(),
              entregue ? QVariant(QDateTime::fromString(QString::fromLatin1(entregue), Qt::ISODate)) : QVariant()});
    }
    QString chave;
};

TEST_F(Movimento, TheKeyIsAsTheGenerationWritesIt)
{
    EXPECT_EQ(ChaveMovimento(QStringLiteral("280012345"), 2005, 3, QStringLiteral("N"), 7), "28001234520053N00007");
    EXPECT_EQ(ChaveMovimento(QStringLiteral(" 280012345 "), 2005, 12, QStringLiteral("R"), 12345),
              "280012345200512R12345");
    EXPECT_EQ(chave, kFrigorifico + "202612N00001");
}

TEST_F(Movimento, OpeningAGeneratedMovementFollowsItsDeliveryRow)
{
    struct Case {
        const char* nome;
        std::function<void()> linhas;
        TEstadoEntrega estado;
        int mensagem;
        bool pergunta;
    };
    const Case cases[] = {
        {"none", [] {}, TEstadoEntrega::NaoEncontrada, 1499, true},
        {"pending", [&] { entrega("1.0", chave, nullptr, nullptr); }, TEstadoEntrega::Pendente, 1498, true},
        {"copied", [&] { entrega("1.0", chave, "2026-12-11T10:00:00", nullptr); }, TEstadoEntrega::Copiada, 1497, true},
        {"delivered", [&] { entrega("1.0", chave, nullptr, "2026-12-11T10:00:00"); }, TEstadoEntrega::Entregue, 1496,
         false},
        // Another kind's row, or another movement's, is not this movement's.
        {"other kind", [&] { entrega("1.0", chave, nullptr, "2026-12-11T10:00:00", "KOB"); },
         TEstadoEntrega::NaoEncontrada, 1499, true},
        {"other movement", [&] { entrega("1.0", chave + "0", nullptr, "2026-12-11T10:00:00"); },
         TEstadoEntrega::NaoEncontrada, 1499, true},
        // Over several versions of one movement: delivered beats copied beats pending.
        {"pending and delivered",
         [&] {
             entrega("1.0", chave, nullptr, "2026-12-11T10:00:00");
             entrega("1.1", chave, nullptr, nullptr);
         },
         TEstadoEntrega::Entregue, 1496, false},
        {"pending and copied",
         [&] {
             entrega("1.0", chave, nullptr, nullptr);
             entrega("1.1", chave, "2026-12-11T10:00:00", nullptr);
         },
         TEstadoEntrega::Copiada, 1497, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.nome);
        exec("delete from Entrega");
        c.linhas();
        EXPECT_EQ(EstadoEntregaMovimento(dm->dbMTC, chave), c.estado);
        const TAberturaMovimento d = DecisaoAbertura(c.estado);
        EXPECT_EQ(d.mensagem, c.mensagem);
        EXPECT_EQ(d.pergunta, c.pergunta);
        const QString texto = QStringLiteral("%1 - M%1").arg(c.mensagem);
        if (c.pergunta) {
            dialogs.expectMessage(MessageKind::Confirmation, texto, 6);
            EXPECT_TRUE(AbreMovimentoGerado(dm->dbMTC, chave));
            dialogs.expectMessage(MessageKind::Confirmation, texto, 7);
            EXPECT_FALSE(AbreMovimentoGerado(dm->dbMTC, chave));
        } else {
            dialogs.expectMessage(MessageKind::Information, texto, 1);
            EXPECT_FALSE(AbreMovimentoGerado(dm->dbMTC, chave));
        }
        EXPECT_TRUE(dialogs.allAnswered());
    }
}

TEST_F(Movimento, ASecondNormalMovementOfTheMonthIsFoundOnlyForThatMonth)
{
    EXPECT_TRUE(ExisteMovimentoNormal(dm->dbMTC, kFrigorifico, 2026, 12));
    EXPECT_FALSE(ExisteMovimentoNormal(dm->dbMTC, kFrigorifico, 2026, 11));
    EXPECT_FALSE(ExisteMovimentoNormal(dm->dbMTC, kOutroFrigorifico, 2026, 12));
    // A rectifying movement does not count as the normal one.
    exec("update qel_movimento set mov_tipo = 'R' where mov_codigo = 1");
    EXPECT_FALSE(ExisteMovimentoNormal(dm->dbMTC, kFrigorifico, 2026, 12));
    EXPECT_TRUE(ExisteParametroMensal(dm->dbMTC, 2026, 12));
    EXPECT_FALSE(ExisteParametroMensal(dm->dbMTC, 2027, 1));
}

TEST_F(Movimento, DeletingKeepsAMovementWithMapsInItsMonth)
{
    mapaGravado(10, QStringLiteral("M"), kPecuarista, QDate(2026, 12, 31));
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - M92"), 6);
    dialogs.expectMessage(MessageKind::Error, QStringLiteral("1664 - M1664"), 1);
    EXPECT_FALSE(ExcluiMovimento(dm->dbMTC, 1, kFrigorifico, 2026, 12));
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where mov_codigo = 1")), 1);

    // No: nothing happens.
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - M92"), 7);
    EXPECT_FALSE(ExcluiMovimento(dm->dbMTC, 1, kFrigorifico, 2027, 1));

    // A map of the next month does not hold it; a generated movement can go too.
    exec("update qel_movimento set mov_situacao = 'G', mov_mes_referencia = 11 where mov_codigo = 1");
    dialogs.expectMessage(MessageKind::Confirmation, QStringLiteral("92 - M92"), 6);
    EXPECT_TRUE(ExcluiMovimento(dm->dbMTC, 1, kFrigorifico, 2026, 11));
    EXPECT_FALSE(dm->dbMTC->inTransaction());
    EXPECT_EQ(count(QStringLiteral("select count(*) from qel_movimento where mov_codigo = 1")), 0);
}
