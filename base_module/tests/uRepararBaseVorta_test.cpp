// The repair window run as a user runs it (Alt+V), over a sample installation whose
// database file is damaged on purpose, and the index scripts of the data folder.
#include "uRepararBaseVorta.h"

#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "installation/InstallMessages.h"
#include "platform/core/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "platform/ui/Application.h"
#include "testing/ScriptedDialogs.h"
#include "testing/ShellProcess.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <sqlite3.h>

namespace user = vorta::testing::user;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

// Started with VORTA_REPARO_CHILD set, the test program plays another module that keeps
// the database open until its input ends.
class OutroPrograma : public ::testing::Environment {
public:
    void SetUp() override
    {
        const QByteArray pasta = qgetenv("VORTA_REPARO_CHILD");
        if (pasta.isEmpty())
            return;
        {
            vorta::db::Database db;
            db.setDirectory(QString::fromLocal8Bit(pasta));
            db.open();
            vorta::db::Query q;
            q.setDatabase(&db);
            q.setSql(QStringLiteral("select count(*) as n from Municipio"));
            q.open();
            std::printf("ready\n");
            std::fflush(stdout);
            QFile in;
            in.open(stdin, QIODevice::ReadOnly);
            in.readLine();
        }
        std::_Exit(0);
    }
};
[[maybe_unused]] ::testing::Environment* const g_outro = ::testing::AddGlobalTestEnvironment(new OutroPrograma);

class Reparo : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::installation::installMessages(dados());
        InicializarVariaveisGlobais();
        QString linhas;
        for (int i = 1; i <= 20; ++i)
            linhas += QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao) VALUES (%1, 'CIDADE AAAAAAAAAAAA %2');")
                          .arg(i)
                          .arg(i, 2, 10, QLatin1Char('0'));
        vorta::db::executeScript(dados(), linhas);
        vorta::setClock([] { return QDateTime(QDate(2026, 3, 7), QTime(10, 20, 30)); });
    }
    void TearDown() override
    {
        vorta::setClock({});
        vorta::Component::free(RepararBaseVorta);
    }
    QString dados() const { return m_inst.folder(QStringLiteral("dados")); }

    TRepararBaseVorta* abre()
    {
        auto* f = vorta::createInto<TRepararBaseVorta>(RepararBaseVorta, vorta::Application::instance());
        f->show();
        user::activate(f);
        return f;
    }
    // Runs the whole verification by its Alt-letter, answering the outcome message.
    void executa(int mensagem)
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(mensagem), 1);
        user::alt(QLatin1Char('V'));
    }
    void escreve(const QString& nome, const QByteArray& texto)
    {
        QFile f(dados() + nome);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(texto);
    }
    QStringList indices(const QString& tabela)
    {
        vorta::db::Database db;
        db.setDirectory(dados());
        vorta::db::Query q;
        q.setDatabase(&db);
        q.setSql(QStringLiteral("select name from sqlite_schema where type = 'index' and tbl_name = '%1' "
                                "and sql is not null order by name")
                     .arg(tabela));
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next())
            out << q.fieldByName(QStringLiteral("name"))->asString();
        return out;
    }

    // Overwrites the key texts inside the name index's page of the file, leaving the
    // page's structure readable: the index no longer matches its table.
    void danificaIndice()
    {
        const QString arquivo = dados() + QStringLiteral("vorta.db");
        int raiz = 0, tamanho = 0;
        {
            sqlite3* db = nullptr;
            ASSERT_EQ(sqlite3_open(QFile::encodeName(arquivo).constData(), &db), SQLITE_OK);
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(db, "select rootpage from sqlite_schema where name = 'Municipio$Id_Nome'", -1, &s, nullptr);
            ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
            raiz = sqlite3_column_int(s, 0);
            sqlite3_finalize(s);
            sqlite3_prepare_v2(db, "pragma page_size", -1, &s, nullptr);
            sqlite3_step(s);
            tamanho = sqlite3_column_int(s, 0);
            sqlite3_finalize(s);
            sqlite3_close(db);
        }
        QFile f(arquivo);
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        f.seek(qint64(raiz - 1) * tamanho);
        QByteArray pagina = f.read(tamanho);
        const int antes = int(pagina.count("AAAAAAAAAAAA"));
        ASSERT_GT(antes, 0);
        pagina.replace("AAAAAAAAAAAA", "ZZZZZZZZZZZZ");
        f.seek(qint64(raiz - 1) * tamanho);
        f.write(pagina);
    }

    vorta::testing::TempInstallation m_inst;
};

} // namespace

// Sound tables: 1424, nothing repaired and no copy kept; the scripts still run, each
// "*.Conf" whatever its case but the backup list, and a failing line ends its script
// with the engine's text in the log.
TEST_F(Reparo, SoundTablesShow1424AndTheScriptsRun)
{
    escreve(QStringLiteral("Indices.Conf"),
            "CREATE INDEX IF NOT EXISTS \"Municipio$Id_UF\" ON Municipio (Mun_UF)\n"
            "CREATE INDEX \"Municipio$Id_Ruim\" ON TabelaQueNaoExiste (X)\n"
            "CREATE INDEX IF NOT EXISTS \"Municipio$Id_Depois\" ON Municipio (Mun_CEPInicial)\n");
    escreve(QStringLiteral("outros.conf"), "CREATE INDEX IF NOT EXISTS \"Municipio$Id_Agenfa\" ON Municipio (Age_Codigo)\n");
    escreve(QStringLiteral("backup.conf"), "CREATE INDEX \"Municipio$Id_Backup\" ON Municipio (Mun_CEPFinal)\n");
    escreve(QStringLiteral("Backup.Conf.txt"), "not a script\n");
    EXPECT_EQ(TRepararBaseVorta::scripts(dados()),
              QStringList({dados() + QStringLiteral("Indices.Conf"), dados() + QStringLiteral("outros.conf")}));

    TRepararBaseVorta* f = abre();
    EXPECT_EQ(f->caption(), QStringLiteral("Reparar banco de dados do Vorta"));
    executa(1424);
    EXPECT_EQ(f->reparadas(), 0);
    EXPECT_EQ(f->danificadas(), 0);
    EXPECT_TRUE(f->copiaDoBanco().isEmpty());
    EXPECT_TRUE(QDir(m_inst.folder(QStringLiteral("backup"))).entryList(QDir::Files).isEmpty());
    EXPECT_EQ(indices(QStringLiteral("Municipio")),
              QStringList({QStringLiteral("Municipio$Id_Agenfa"), QStringLiteral("Municipio$Id_Nome"),
                           QStringLiteral("Municipio$Id_UF")}));
    const QStringList log = f->Memo1->lines();
    EXPECT_EQ(log.filter(QStringLiteral("Criando INDEX tabela: ")).size(), 3);
    const QStringList falha = log.filter(QStringLiteral("Linha não executada: "));
    ASSERT_EQ(falha.size(), 1);
    EXPECT_TRUE(falha.first().contains(QStringLiteral("TabelaQueNaoExiste")));
    EXPECT_TRUE(falha.first().contains(QStringLiteral("no such table"))) << falha.first().toStdString();
    // Four lines in all; the one after the failing line is never reached.
    EXPECT_EQ(f->ProgressBar1->max(), 4);
    EXPECT_EQ(f->ProgressBar1->position(), 3);
    for (auto* b : {f->btVerificaRepara, f->btRetornar, f->btSair})
        EXPECT_TRUE(b->isEnabled());
    const QString shot = QDir::tempPath() + QStringLiteral("/vorta_reparar.png");
    f->grab().save(shot);
}

// A damaged index: the table is counted repaired, verifies clean again (1425), every
// row is still there and a dated copy of the database as it was is kept first.
TEST_F(Reparo, DamagedTableIsRepairedAfterADatedCopy)
{
    danificaIndice();
    TRepararBaseVorta* f = abre();
    executa(1425);
    EXPECT_EQ(f->reparadas(), 1);
    EXPECT_EQ(f->danificadas(), 0);
    const QString copia = m_inst.folder(QStringLiteral("backup")) + QStringLiteral("Reparo20260307102030.db");
    EXPECT_EQ(f->copiaDoBanco(), copia);
    ASSERT_TRUE(QFile::exists(copia));
    EXPECT_EQ(QFile::permissions(copia) & (QFileDevice::ReadOther | QFileDevice::ReadGroup), QFileDevice::Permissions());
    // The copy holds the damage, so nothing the repair dropped is lost.
    {
        QFile c(copia);
        ASSERT_TRUE(c.open(QIODevice::ReadOnly));
        EXPECT_TRUE(c.readAll().contains("ZZZZZZZZZZZZ"));
    }
    EXPECT_TRUE(f->Memo1->lines().join(QLatin1Char('\n')).contains(QStringLiteral("Municipio")));

    vorta::db::Database db;
    db.setDirectory(dados());
    vorta::db::Query q;
    q.setDatabase(&db);
    q.setSql(QStringLiteral("select count(*) as n from Municipio where Mun_Descricao like 'CIDADE AAAAAAAAAAAA %'"));
    q.open();
    EXPECT_EQ(q.fieldByName(QStringLiteral("n"))->asInteger(), 20);
    q.close();
    db.close();

    // A second run finds everything sound.
    executa(1424);
}

// While another program has the database open nothing is verified or repaired: a log
// line says why and no outcome message is shown.
TEST_F(Reparo, SkippedWhileAnotherProgramUsesTheDatabase)
{
    danificaIndice();
    vorta::testing::LineProcess outro;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORTA_REPARO_CHILD"), dados());
    ASSERT_TRUE(outro.start(QCoreApplication::applicationFilePath(), {}, env));
    ASSERT_TRUE(outro.waitForLine(QStringLiteral("ready"), 30000)) << outro.transcript().toStdString();
    EXPECT_TRUE(vorta::db::databaseInUseByOthers(dados()));

    TRepararBaseVorta* f = abre();
    {
        ScriptedDialogs dialogs;
        user::alt(QLatin1Char('V'));
    }
    EXPECT_EQ(f->reparadas(), 0);
    EXPECT_TRUE(f->copiaDoBanco().isEmpty());
    EXPECT_EQ(f->Memo1->lines().filter(QStringLiteral("em uso por outro programa")).size(), 1);
    EXPECT_TRUE(f->btVerificaRepara->isEnabled());
    outro.closeInput();
    ASSERT_TRUE(outro.waitForFinished(30000));
    EXPECT_FALSE(vorta::db::databaseInUseByOthers(dados()));

    executa(1425);
}
