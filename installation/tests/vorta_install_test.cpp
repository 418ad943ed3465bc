#include "installation/InstallDatabase.h"
#include "platform/os/Registry.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDate>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>

#include <sqlite3.h>

#include <string>

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

// Plain installation data everywhere; the sample records only with --demo, and enough of
// them to enter a map for the slaughterhouse and total it with a non-zero incentive.
TEST(VortaInstall, DemoAddsSampleRecordsOnTopOfTheInstallationData)
{
    QTemporaryDir dir;
    const QString plain = dir.path() + "/plain/dados/vorta.db";
    const QString demo = dir.path() + "/demo/dados/vorta.db";
    ASSERT_EQ(runInstall({dir.path() + "/plain", "--registry", dir.path() + "/r1"}), 0);
    // The program reads the date itself: a run across midnight at a month's end writes
    // the month it began or the next.
    const QDate before = QDate::currentDate();
    ASSERT_EQ(runInstall({dir.path() + "/demo", "--registry", dir.path() + "/r2", "--demo"}), 0);
    const QDate after = QDate::currentDate();
    const auto inRunMonth = [&](const char* year, const char* month) {
        std::string either;
        for (const QDate& d : {before, after})
            either += std::string(either.empty() ? "" : " or ") + "(" + year + " = " + std::to_string(d.year()) +
                      " and " + month + " = " + std::to_string(d.month()) + ")";
        return "(" + either + ")";
    };

    struct Case {
        const char* sql;
        int plain;
        int demo;
    };
    const std::string thisMonth = "select count(*) from qel_parametros_mensais where " +
                                  inRunMonth("pam_ano", "pam_mes") +
                                  " and pam_vlr_arr_macho > 0 and pam_vlr_arr_femea > 0";
    const std::string movement = "select count(*) from qel_movimento where con_iecnpjcpf = '281234566' and "
                                 "mov_tipo = 'N' and " + inRunMonth("mov_ano_referencia", "mov_mes_referencia");
    const Case cases[] = {
        {"select count(*) from Qel_Parametros where par_perc_incentivo_dl > 0 and par_perc_incentivo_2d > 0"
         " and par_perc_incentivo_4d > 0 and par_perc_icms > 0",
         1, 1},
        {"select count(*) from Qel_Parametros", 1, 1},
        {"select count(*) from qel_maturidade where mat_codigo in "
         "('JD','J2','J4','TD','T2','T4','A','I','JFD','JF2','JF4','AF','IF')",
         13, 13},
        {"select count(*) from qel_conformacao where cof_codigo in ('C','CO','SC','SR','RE','*')", 6, 6},
        {"select count(*) from qel_acabamento where aca_codigo between 1 and 5", 5, 5},
        {"select count(*) from qel_tipificacao where tip_codigo in ('B','R','A','S','I','L')", 6, 6},
        // The map list's slaughterhouses, with the statement that lists them.
        {"select count(*) from (Select Con_IECNPJCPF, Con_Nome, Con_NomePropr, M.Mun_Descricao From Contribuinte C, "
         "Municipio M Where C.Con_IECNPJCPF > '280000000' and C.Con_IECNPJCPF < '285000000' and C.con_tipo = 'IE' "
         "and not (C.Con_NomePropr is null) and C.Mun_Endereco = M.Mun_Codigo)",
         0, 1},
        // A raiser outside that range, registered in the programme.
        {"select count(*) from Contribuinte C join Qel_Contribuinte_Complemento K on K.con_iecnpjcpf = "
         "C.Con_IECNPJCPF where C.Con_Tipo = 'IE' and C.Con_IECNPJCPF >= '285000000' and K.cco_num_cad_pradel <> ''",
         0, 1},
        {"select count(*) from Qel_Tecnico where Tec_Nome <> ''", 0, 1},
        {thisMonth.c_str(), 0, 1},
        // The slaughterhouse's movement of the month, under which its maps are entered.
        {movement.c_str(), 0, 1},
        {"select count(*) from Responsavel", 0, 2},
        {"select count(*) from Municipio where Mun_Codigo >= 999000", 0, 2},
        // Every reference of a sample record is there.
        {"select count(*) from Contribuinte where Resp_CPF not in (select Resp_CPF from Responsavel)"
         " or Mun_Endereco not in (select Mun_Codigo from Municipio)"
         " or Age_Codigo not in (select Age_Codigo from Agenfa)",
         0, 0},
        {"select count(*) from Responsavel where Mun_Endereco not in (select Mun_Codigo from Municipio)"
         " or Resp_TipoCRC not in (select TipoResp_Codigo from TipoResp)",
         0, 0},
        {"select count(*) from Qel_Tecnico where Mun_Codigo not in (select Mun_Codigo from Municipio)", 0, 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.sql);
        EXPECT_EQ(count(plain, c.sql), c.plain);
        EXPECT_EQ(count(demo, c.sql), c.demo);
    }
}
