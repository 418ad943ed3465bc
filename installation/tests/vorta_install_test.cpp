#include "installation/InstallDatabase.h"
#include "platform/os/Registry.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

namespace {
int runInstall(const QStringList& args, QString* err = nullptr)
{
    QProcess p;
    p.start(qEnvironmentVariable("VORTA_BIN_DIR", QCoreApplication::applicationDirPath()) + "/vorta-install", args);
    if (!p.waitForFinished(60000))
        return -1;
    if (err)
        *err = QString::fromLocal8Bit(p.readAllStandardError());
    return p.exitCode();
}

int count(const QString& db, const char* sql)
{
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(db).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return -1;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, sql, -1, &st, nullptr);
    const int n = st && sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(h);
    return n;
}

int tableCount(const QString& db)
{
    sqlite3* h = nullptr;
    if (sqlite3_open_v2(QFile::encodeName(db).constData(), &h, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK)
        return -1;
    sqlite3_stmt* st = nullptr;
    sqlite3_prepare_v2(h, "select count(*) from sqlite_master where type = 'table'", -1, &st, nullptr);
    const int n = sqlite3_step(st) == SQLITE_ROW ? sqlite3_column_int(st, 0) : -1;
    sqlite3_finalize(st);
    sqlite3_close(h);
    return n;
}
} // namespace

TEST(VortaInstall, LaysOutTheFoldersTheRegistryAndTheDatabaseOnce)
{
    QTemporaryDir dir;
    const QString registry = dir.path() + "/registry";
    const QString root = dir.path() + "/inst";
    ASSERT_EQ(runInstall({root, "--registry", registry, "--upload", "ZIR=http://127.0.0.1:1/zir", "--processamento",
                          "http://127.0.0.1:1/wsdl", "--liveupdate", "http://127.0.0.1:1/lu/"}),
              0);
    for (const char* f : {"modulos", "dados", "updates", "temp", "arquivos", "backup"})
        EXPECT_TRUE(QDir(root + "/" + f).exists()) << f;
    EXPECT_GT(tableCount(root + "/dados/vorta.db"), 10);
    // The message catalogue and the field table come with it.
    EXPECT_GT(count(root + "/dados/vorta.db", "select count(*) from mensagem"), 100);
    EXPECT_GT(count(root + "/dados/vorta.db", "select count(*) from Parametros"), 10);
    // The repair's index script: every index of the schema, each line runnable as it is
    // on the installed database (the indexes exist, so nothing changes).
    {
        QFile script(root + "/dados/Indices.Conf");
        ASSERT_TRUE(script.open(QIODevice::ReadOnly));
        const QStringList lines = QString::fromUtf8(script.readAll()).split('\n', Qt::SkipEmptyParts);
        EXPECT_EQ(lines.size(), QString(vorta::installation::schemaSql()).count("CREATE INDEX "));
        sqlite3* h = nullptr;
        ASSERT_EQ(sqlite3_open(QFile::encodeName(root + "/dados/vorta.db").constData(), &h), SQLITE_OK);
        sqlite3_exec(h, "DROP INDEX \"Municipio$Id_Nome\"", nullptr, nullptr, nullptr);
        for (const QString& l : lines) {
            EXPECT_TRUE(l.startsWith("CREATE INDEX IF NOT EXISTS ")) << l.toStdString();
            EXPECT_EQ(sqlite3_exec(h, l.toUtf8().constData(), nullptr, nullptr, nullptr), SQLITE_OK) << l.toStdString();
        }
        sqlite3_close(h);
        EXPECT_EQ(count(root + "/dados/vorta.db", "select count(*) from sqlite_master where name = 'Municipio$Id_Nome'"), 1);
    }

    qputenv("VORTA_REGISTRY", QFile::encodeName(registry));
    vorta::os::Registry reg;
    ASSERT_TRUE(reg.openKeyReadOnly("\\Software\\Kalvi\\Vorta\\"));
    EXPECT_EQ(reg.readString("Path"), root + "/");
    ASSERT_TRUE(reg.openKeyReadOnly("\\Software\\Kalvi\\Vorta\\Servidor\\"));
    EXPECT_EQ(reg.readString("ZIR"), "http://127.0.0.1:1/zir");
    EXPECT_EQ(reg.readString("Processamento"), "http://127.0.0.1:1/wsdl");
    EXPECT_EQ(reg.readString("LiveUpdate"), "http://127.0.0.1:1/lu/");
    qunsetenv("VORTA_REGISTRY");

    // A second run keeps the data that is there.
    EXPECT_EQ(runInstall({root, "--registry", registry}), 0);
}

TEST(VortaInstall, RefusesAnUnknownDeclarationKind)
{
    QTemporaryDir dir;
    QString err;
    EXPECT_EQ(runInstall({dir.path() + "/i", "--registry", dir.path() + "/r", "--upload", "XYZ=http://x"}, &err), 1);
    EXPECT_TRUE(err.contains("unknown declaration kind")) << err.toStdString();
}
