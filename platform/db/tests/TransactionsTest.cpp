#include "DbTestSupport.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>

#include <sqlite3.h>

#include <cstdio>
#include <cstdlib>

using namespace vorta::db;
using namespace vorta::db::testsupport;

namespace {

int countRows(Database& db, const QString& where = QString())
{
    Query q;
    q.setDatabase(&db);
    q.setSql("select count(*) as n from Pessoa" + (where.isEmpty() ? QString() : " where " + where));
    q.open();
    return int(q.fieldByName("n")->asInteger());
}

void insertPeople(Table& t, int from, int count)
{
    for (int i = 0; i < count; ++i) {
        t.append();
        t.fieldByName("Id")->setAsInteger(from + i);
        t.fieldByName("Nome")->setAsString(QStringLiteral("P%1").arg(from + i));
        t.post();
    }
}

// The test program itself plays the other process: started with VORTA_DB_CHILD set, it
// does its part before any test runs and ends (see ChildEnvironment).
class ChildProcess {
public:
    ChildProcess(const QString& mode, const QString& folder)
    {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("VORTA_DB_CHILD", mode);
        env.insert("VORTA_DB_FOLDER", folder);
        m_process.setProcessEnvironment(env);
        m_process.setProcessChannelMode(QProcess::SeparateChannels);
        m_process.start(QCoreApplication::applicationFilePath(), {"--gtest_filter=*"});
        m_process.waitForStarted();
    }
    ~ChildProcess()
    {
        if (m_process.state() != QProcess::NotRunning) {
            m_process.kill();
            m_process.waitForFinished();
        }
    }
    // Waits for the child's line "ready" (or its end).
    bool waitReady()
    {
        for (;;) {
            while (!m_process.canReadLine()) {
                if (!m_process.waitForReadyRead(30000))
                    return false;
            }
            // The test framework's own lines come first.
            if (m_process.readLine().trimmed() == "ready")
                return true;
        }
    }
    void tell(const char* line)
    {
        m_process.write(line);
        m_process.write("\n");
        m_process.waitForBytesWritten();
    }
    void kill()
    {
        m_process.kill(); // SIGKILL
        m_process.waitForFinished();
    }
    bool finish()
    {
        m_process.waitForFinished(60000);
        return m_process.exitStatus() == QProcess::NormalExit && m_process.exitCode() == 0;
    }

private:
    QProcess m_process;
};

void runChild(const QByteArray& mode)
{
    Database db;
    db.setDirectory(QString::fromLocal8Bit(qgetenv("VORTA_DB_FOLDER")));
    db.open();
    Table t;
    t.setDatabase(&db);
    t.setTableName("Pessoa");
    t.open();
    QFile in;
    in.open(stdin, QIODevice::ReadOnly);
    auto say = [](const char* s) {
        std::fputs(s, stdout);
        std::fflush(stdout);
    };
    if (mode == "crash") {
        insertPeople(t, 1000, 100); // committed, one by one
        db.startTransaction();
        insertPeople(t, 2000, 500);
        say("ready\n");
        in.readLine(); // killed while waiting here
    } else if (mode == "hold") {
        db.startTransaction();
        insertPeople(t, 3000, 1);
        say("ready\n");
        in.readLine();
        db.commit();
    } else if (mode == "writer") {
        say("ready\n");
        insertPeople(t, 5000, 300);
    }
}

// The child's part runs before any test, so the child is no test of its own.
class ChildEnvironment : public ::testing::Environment {
public:
    void SetUp() override
    {
        const QByteArray mode = qgetenv("VORTA_DB_CHILD");
        if (mode.isEmpty())
            return;
        runChild(mode);
        std::fflush(stdout);
        std::_Exit(0);
    }
};

[[maybe_unused]] ::testing::Environment* const g_childEnvironment =
    ::testing::AddGlobalTestEnvironment(new ChildEnvironment);

} // namespace

class Transactions : public DbFolder {
protected:
    std::unique_ptr<Table> people()
    {
        auto t = table("Pessoa");
        t->open();
        return t;
    }
};

TEST_F(Transactions, RollbackLeavesNothing)
{
    auto t = people();
    db->startTransaction();
    EXPECT_TRUE(db->inTransaction());
    insertPeople(*t, 1, 5);
    EXPECT_EQ(t->recordCount(), 5);
    db->rollback();
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(countRows(*db), 0);
    EXPECT_EQ(t->recordCount(), 0) << "open tables show the rolled-back state";
}

TEST_F(Transactions, CommitSurvivesReopening)
{
    {
        auto t = people();
        TransactionGuard tx(*db);
        insertPeople(*t, 1, 3);
        tx.commit();
    }
    db.reset();
    Database again;
    again.setDirectory(folder);
    again.open();
    EXPECT_EQ(countRows(again), 3);
}

TEST_F(Transactions, GuardRollsBackWhenLeftByAnException)
{
    auto t = people();
    try {
        TransactionGuard tx(*db);
        insertPeople(*t, 1, 2);
        throw std::runtime_error("stop");
    } catch (const std::runtime_error&) {
    }
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(countRows(*db), 0);
}

TEST_F(Transactions, GuardJoinsAnOpenTransaction)
{
    auto t = people();
    db->startTransaction();
    insertPeople(*t, 1, 2);
    {
        TransactionGuard inner(*db);
        EXPECT_TRUE(inner.joined());
        insertPeople(*t, 10, 3);
        inner.commit();
        EXPECT_TRUE(db->inTransaction()) << "the commit is the outer transaction's";
    }
    {
        TransactionGuard inner(*db);
        insertPeople(*t, 20, 1);
    }
    EXPECT_TRUE(db->inTransaction()) << "a joined guard does not roll back the outer work";
    EXPECT_EQ(countRows(*db), 6);
    db->rollback();
    EXPECT_EQ(countRows(*db), 0);
    {
        TransactionGuard own(*db);
        EXPECT_FALSE(own.joined());
        insertPeople(*t, 30, 1);
        own.commit();
    }
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(countRows(*db), 1);
}

TEST_F(Transactions, ScriptInsideAnOpenTransactionGoesWithItsRollback)
{
    db->startTransaction();
    executeScript(folder, "insert into Pessoa (Id, Nome) values (1, 'A'); insert into Pessoa (Id, Nome) values (2, 'B')");
    EXPECT_TRUE(db->inTransaction());
    EXPECT_EQ(countRows(*db), 2);
    db->rollback();
    EXPECT_EQ(countRows(*db), 0);
    EXPECT_THROW(executeScript(folder, "insert into Pessoa (Id, Nome) values (1, 'A'); insert into Nada values (1)"),
                 EDBEngineError);
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(countRows(*db), 0) << "a failing script leaves nothing behind";
}

TEST_F(Transactions, ComponentsOnOneFolderShareTheConnection)
{
    Database other;
    other.setDatabaseName("DB_Other");
    other.setDirectory(folder + "/");
    auto t = people();
    db->startTransaction();
    insertPeople(*t, 1, 1);
    // The other component writes inside the same transaction instead of waiting for it.
    EXPECT_EQ(other.execute("insert into Pessoa (Id, Nome) values (2, 'Outro')"), 1);
    EXPECT_TRUE(other.inTransaction());
    db->rollback();
    EXPECT_EQ(countRows(other), 0);
    EXPECT_THROW(db->commit(), EDatabaseError) << "no transaction to commit";
    db->startTransaction();
    EXPECT_THROW(db->startTransaction(), EDatabaseError);
    db->rollback();
}

// A data module freed in the middle of its transaction (an error on the way) must not
// leave the shared connection inside it: the other components' later writes would never
// be committed.
TEST_F(Transactions, DisconnectingTheStarterEndsItsTransaction)
{
    auto other = std::make_unique<Database>();
    other->setDatabaseName("DB_Other");
    other->setDirectory(folder);
    other->open();
    auto t = people(); // holds the connection too
    other->startTransaction();
    other->execute("insert into Pessoa (Id, Nome) values (1, 'Perdido')");
    other.reset();
    EXPECT_FALSE(db->inTransaction());
    EXPECT_EQ(countRows(*db), 0) << "the unfinished transaction was rolled back";
    insertPeople(*t, 10, 2);
    // What the remaining components write afterwards is committed: a connection of its
    // own (as another process has) sees it.
    sqlite3* raw = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(folder + "/vorta.db").constData(), &raw), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(raw, "select count(*) from Pessoa", -1, &s, nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    EXPECT_EQ(sqlite3_column_int(s, 0), 2);
    sqlite3_finalize(s);
    sqlite3_close(raw);

    // A component that did not start the transaction leaves it to its starter.
    Database third;
    third.setDirectory(folder);
    third.open();
    db->startTransaction();
    third.close();
    EXPECT_TRUE(db->inTransaction());
    db->rollback();
}

TEST_F(Transactions, CheckpointPutsEverythingIntoTheFile)
{
    auto t = people();
    insertPeople(*t, 1, 20);
    db->checkpoint();
    EXPECT_EQ(QFileInfo(folder + "/vorta.db-wal").size(), 0);
    // A copy of the file alone holds the rows.
    const QString copy = dir.path() + "/copia";
    QDir().mkpath(copy);
    ASSERT_TRUE(QFile::copy(folder + "/vorta.db", copy + "/vorta.db"));
    Database other;
    other.setDirectory(copy);
    other.open();
    EXPECT_EQ(countRows(other), 20);
    db->startTransaction();
    EXPECT_THROW(db->checkpoint(), EDatabaseError);
    db->rollback();
}

TEST_F(Transactions, FoldersWithoutADatabase)
{
    Database none;
    none.setDirectory(dir.path() + "/nada");
    EXPECT_THROW(none.open(), EDBEngineError);
    QDir().mkpath(dir.path() + "/vazia");
    Database empty;
    empty.setDirectory(dir.path() + "/vazia");
    try {
        empty.open();
        FAIL();
    } catch (const EDBEngineError& e) {
        EXPECT_TRUE(e.message().contains("holds no database"));
    }
    EXPECT_FALSE(QFile::exists(dir.path() + "/vazia/vorta.db")) << "opening never creates a database";

    // A query may name the folder itself; a folder without a database, or no folder at
    // all, is the engine's error as well.
    for (const QString& f : {dir.path() + "/nada", dir.path() + "/vazia", dir.path() + "/vazia/"}) {
        SCOPED_TRACE(f.toStdString());
        Query q;
        q.setDatabaseName(f);
        q.setSql("select * from mensagem");
        EXPECT_THROW(q.open(), EDBEngineError);
        EXPECT_FALSE(q.active());
    }
    EXPECT_FALSE(QFile::exists(dir.path() + "/nada"));
    Query byFolder;
    byFolder.setDatabaseName(folder);
    byFolder.setSql("select count(*) from Pessoa");
    byFolder.open();
    EXPECT_EQ(byFolder.fields(0)->asInteger(), 0);
}

TEST_F(Transactions, KilledWriterLeavesAllOrNothing)
{
    {
        ChildProcess child("crash", folder);
        ASSERT_TRUE(child.waitReady());
        child.kill();
    }
    db->close();
    db->open();
    EXPECT_EQ(countRows(*db, "Id between 1000 and 1099"), 100) << "the committed rows are all there";
    EXPECT_EQ(countRows(*db, "Id >= 2000"), 0) << "nothing of the killed transaction";
    auto t = table("Pessoa");
    EXPECT_TRUE(t->verifyTable());
}

TEST_F(Transactions, TwoProcessesWritingInTurnLoseNoRow)
{
    auto t = people();
    ChildProcess child("writer", folder);
    ASSERT_TRUE(child.waitReady());
    insertPeople(*t, 7000, 300);
    ASSERT_TRUE(child.finish());
    EXPECT_EQ(countRows(*db), 600);
}

TEST_F(Transactions, AWriteBlockedByAnotherProcessFailsAfterTheTimeOut)
{
    auto t = people();
    ChildProcess child("hold", folder);
    ASSERT_TRUE(child.waitReady());
    db->setBusyTimeout(150);
    t->append();
    t->fieldByName("Id")->setAsInteger(1);
    t->fieldByName("Nome")->setAsString("Bloqueado");
    try {
        t->post();
        FAIL() << "the write went through a foreign transaction";
    } catch (const EDBEngineError& e) {
        EXPECT_TRUE(e.message().contains("locked")) << e.message().toStdString();
    }
    EXPECT_EQ(t->state(), DataSetState::Insert);
    child.tell("go");
    ASSERT_TRUE(child.finish());
    db->setBusyTimeout(5000);
    t->post();
    EXPECT_EQ(countRows(*db), 2);
}

class Repair : public DbFolder {
protected:
    // Table Dano with 50 rows, one key of its index changed behind the engine's back.
    void damagedTable()
    {
        db->execute("create table Dano (Id integer not null primary key, Valor varchar(20))");
        db->execute("create index Id_Valor on Dano (Valor)");
        for (int i = 1; i <= 50; ++i)
            db->execute("insert into Dano (Id, Valor) values (?1, ?2)", {i, QStringLiteral("KEY%1").arg(i, 5, 10, QLatin1Char('0'))});
        db->close();
        const QString file = folder + "/vorta.db";
        // Change one key inside the index's page, behind the engine's back.
        int root = 0, pageSize = 0;
        {
            sqlite3* raw = nullptr;
            sqlite3_open(QFile::encodeName(file).constData(), &raw);
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(raw, "select rootpage from sqlite_schema where name = 'Dano$Id_Valor'", -1, &s, nullptr);
            ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
            root = sqlite3_column_int(s, 0);
            sqlite3_finalize(s);
            sqlite3_prepare_v2(raw, "pragma page_size", -1, &s, nullptr);
            sqlite3_step(s);
            pageSize = sqlite3_column_int(s, 0);
            sqlite3_finalize(s);
            sqlite3_exec(raw, "pragma wal_checkpoint(TRUNCATE)", nullptr, nullptr, nullptr);
            sqlite3_close(raw);
        }
        {
            QFile f(file);
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            f.seek(qint64(root - 1) * pageSize);
            QByteArray page = f.read(pageSize);
            const int at = int(page.indexOf("KEY00007"));
            ASSERT_GE(at, 0);
            page.replace(at, 8, "KEY99997");
            f.seek(qint64(root - 1) * pageSize);
            f.write(page);
        }
        db->open();
    }
};

TEST_F(Repair, DamagedTableIsReportedRepairedAndVerifiedClean)
{
    ASSERT_NO_FATAL_FAILURE(damagedTable());
    auto t = table("Dano");
    QStringList verifyLog, repairLog;
    t->OnVerifyLog = [&](Table&, const QString& line) { verifyLog << line; };
    t->OnRepairLog = [&](Table&, const QString& line) { repairLog << line; };
    QVector<int> progress;
    t->OnRepairProgress = [&](Table&, int p, bool&) { progress << p; };
    EXPECT_FALSE(t->verifyTable());
    EXPECT_GT(verifyLog.size(), 2) << verifyLog.join("\n").toStdString();
    EXPECT_TRUE(t->repairTable()) << repairLog.join("\n").toStdString();
    EXPECT_EQ(progress.first(), 0);
    EXPECT_EQ(progress.last(), 100);
    verifyLog.clear();
    EXPECT_TRUE(t->verifyTable()) << verifyLog.join("\n").toStdString();
    t->setIndexName("Id_Valor");
    t->open();
    EXPECT_EQ(t->recordCount(), 50);
    EXPECT_TRUE(t->findKey({"KEY00007"}));
}

TEST_F(Repair, LogHandlerThatFailsLeavesTheTableRepairable)
{
    ASSERT_NO_FATAL_FAILURE(damagedTable());
    auto t = table("Dano");
    t->OnVerifyLog = [](Table&, const QString& line) {
        if (!line.startsWith("Verifying"))
            throw EDatabaseError("log full");
    };
    EXPECT_THROW(t->verifyTable(), EDatabaseError);
    // The check's statement went with the exception, so the table can be rebuilt.
    t->OnVerifyLog = nullptr;
    QStringList repairLog;
    t->OnRepairLog = [&](Table&, const QString& line) { repairLog << line; };
    EXPECT_TRUE(t->repairTable()) << repairLog.join("\n").toStdString();
    EXPECT_TRUE(t->verifyTable());
}

TEST_F(Repair, VerifyCanBeStopped)
{
    auto t = table("Pessoa");
    t->OnVerifyProgress = [](Table&, int, bool& stop) { stop = true; };
    EXPECT_THROW(t->verifyTable(), EDatabaseError);
    auto missing = table("Nada");
    EXPECT_THROW(missing->verifyTable(), EDBEngineError);
}
