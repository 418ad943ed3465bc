// Backup and restore over a sample installation with every table filled: the window
// driven by keys and clicks, the archive read back, the installed rows compared.
#include "uBackup.h"

#include "Ufuncoes.h"
#include "uDmVortaModule.h"

#include "installation/InstallMessages.h"
#include "platform/core/Clock.h"
#include "platform/db/Database.h"
#include "platform/db/Field.h"
#include "platform/db/Query.h"
#include "platform/db/Table.h"
#include "platform/os/Drives.h"
#include "platform/ui/Application.h"
#include "platform/zip/UnZip.h"
#include "platform/zip/Zip.h"
#include "testing/ScriptedDialogs.h"
#include "testing/ShellProcess.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QCoreApplication>
#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>

#include <gtest/gtest.h>

#include <sqlite3.h>
#include <zip.h>

#include <cstdio>

namespace user = vorta::testing::user;
using vorta::testing::ScriptedDialogs;
using vorta::ui::MessageKind;

namespace {

// Started with VORTA_BACKUP_CHILD set, the test program plays another module: it writes
// pairs of rows, each pair in one transaction, until its input ends ("escreve"), or
// only keeps the database open ("abre").
class OutroModulo : public ::testing::Environment {
public:
    void SetUp() override
    {
        const QByteArray modo = qgetenv("VORTA_BACKUP_CHILD");
        if (modo.isEmpty())
            return;
        sqlite3* db = nullptr;
        const QByteArray arquivo = qgetenv("VORTA_BACKUP_FOLDER") + "vorta.db";
        sqlite3_open(arquivo.constData(), &db);
        sqlite3_busy_timeout(db, 5000);
        sqlite3_exec(db, "select count(*) from Municipio", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "begin; select count(*) from Municipio;", nullptr, nullptr, nullptr);
        sqlite3_exec(db, "commit", nullptr, nullptr, nullptr);
        std::printf("ready\n");
        std::fflush(stdout);
        if (modo == "escreve") {
            for (int i = 0;; ++i) {
                const QByteArray sql = QStringLiteral("begin; insert into Municipio (Mun_Codigo, Mun_Descricao) values (%1, 'PAR'); "
                                                      "insert into Municipio (Mun_Codigo, Mun_Descricao) values (%2, 'PAR'); commit;")
                                           .arg(100000 + 2 * i)
                                           .arg(100001 + 2 * i)
                                           .toLatin1();
                sqlite3_exec(db, sql.constData(), nullptr, nullptr, nullptr);
                if (i == 50) {
                    std::printf("writing\n");
                    std::fflush(stdout);
                }
            }
        }
        QFile in;
        in.open(stdin, QIODevice::ReadOnly);
        in.readLine();
        sqlite3_close(db);
        std::_Exit(0);
    }
};
[[maybe_unused]] ::testing::Environment* const g_outro = ::testing::AddGlobalTestEnvironment(new OutroModulo);

// Every row of every table of a database file, each as "table|col=value|...", sorted:
// read with the engine directly, so the layer under test does not judge itself.
QStringList despejo(const QString& arquivo)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(QFile::encodeName(arquivo).constData(), &db, SQLITE_OPEN_READONLY, nullptr);
    QStringList tabelas;
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "select name from sqlite_schema where type = 'table' order by name", -1, &s, nullptr);
    while (sqlite3_step(s) == SQLITE_ROW)
        tabelas << QString::fromUtf8(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)));
    sqlite3_finalize(s);
    QStringList out;
    for (const QString& t : tabelas) {
        sqlite3_prepare_v2(db, QStringLiteral("select * from \"%1\"").arg(t).toUtf8().constData(), -1, &s, nullptr);
        while (sqlite3_step(s) == SQLITE_ROW) {
            QStringList l{t};
            for (int c = 0; c < sqlite3_column_count(s); ++c) {
                const int tipo = sqlite3_column_type(s, c);
                const QByteArray v(reinterpret_cast<const char*>(sqlite3_column_blob(s, c)), sqlite3_column_bytes(s, c));
                l << QString::fromUtf8(sqlite3_column_name(s, c)) + QLatin1Char('=') + QString::number(tipo)
                         + QLatin1Char(':') + QString::fromLatin1(v.toHex());
            }
            out << l.join(QLatin1Char('|'));
        }
        sqlite3_finalize(s);
    }
    sqlite3_close(db);
    out.sort();
    return out;
}

// Every file under a folder with its bytes' hex, by relative path.
QStringList arquivosDe(const QString& pasta)
{
    QStringList out;
    QDirIterator it(pasta, QDir::Files, QDirIterator::Subdirectories);
    while (it.hasNext()) {
        const QString p = it.next();
        QFile f(p);
        f.open(QIODevice::ReadOnly);
        out << QDir(pasta).relativeFilePath(p) + QLatin1Char('=') + QString::fromLatin1(f.readAll().toHex());
    }
    out.sort();
    return out;
}

class Copia : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_inst.installDatabase();
        vorta::installation::installMessages(dados());
        InicializarVariaveisGlobais();
        vorta::setClock([] { return QDateTime(QDate(2024, 3, 7), QTime(9, 30)); });
    }
    void TearDown() override
    {
        vorta::setClock({});
        vorta::Component::free(Backup);
    }
    QString dados() const { return m_inst.folder(QStringLiteral("dados")); }
    QString arquivos() const { return m_inst.folder(QStringLiteral("arquivos")); }
    QString banco() const { return dados() + QStringLiteral("vorta.db"); }
    void sql(const QString& s) { vorta::db::executeScript(dados(), s); }
    // The rows of a query on the installed data, each its fields joined with "|".
    QStringList consulta(const QString& select)
    {
        vorta::db::Database db;
        db.setDirectory(dados());
        vorta::db::Query q;
        q.setDatabase(&db);
        q.setSql(select);
        q.open();
        QStringList out;
        for (q.first(); !q.eof(); q.next()) {
            QStringList campos;
            for (int i = 0; i < q.fieldCount(); ++i)
                campos << q.fields(i)->asString();
            out << campos.join(QLatin1Char('|'));
        }
        return out;
    }

    // Two rows in every table of the installation, each field set through the layer by
    // its type, so every kind of value travels.
    void preencheTudo()
    {
        vorta::db::Database db;
        db.setDirectory(dados());
        for (const QString& nome : db.tableNames()) {
            vorta::db::Table t;
            t.setDatabase(&db);
            t.setTableName(nome);
            t.open();
            for (int n = 1; n <= 2; ++n) {
                t.append();
                for (int i = 0; i < t.fieldCount(); ++i) {
                    vorta::db::Field* f = t.fields(i);
                    using vorta::db::FieldType;
                    const int k = 7000 + 100 * n + i;
                    switch (f->dataType()) {
                    case FieldType::String:
                        f->setAsString(QStringLiteral("%1ção").arg(k).left(qMax(f->size(), 1)));
                        break;
                    case FieldType::Integer:
                    case FieldType::SmallInt:
                        f->setAsInteger(k);
                        break;
                    case FieldType::Float:
                    case FieldType::Currency:
                        f->setAsFloat(k + 0.25);
                        break;
                    case FieldType::Boolean:
                        f->setAsBoolean(n == 1);
                        break;
                    case FieldType::Date:
                        f->setValue(QDate(2024, 3, n));
                        break;
                    case FieldType::Time:
                        f->setValue(QTime(10, n, 5));
                        break;
                    case FieldType::DateTime:
                        f->setValue(QDateTime(QDate(2024, 3, n), QTime(10, 20, 30)));
                        break;
                    case FieldType::Memo:
                        f->setAsString(QStringLiteral("linha %1\r\nsegunda ção").arg(k));
                        break;
                    case FieldType::Blob:
                        f->setValue(QByteArray("\x00\x01\xff", 3) + QByteArray::number(k));
                        break;
                    default:
                        break;
                    }
                }
                // Tables that hold reference rows may refuse a made-up key; they are
                // filled already.
                try {
                    t.post();
                } catch (const vorta::Exception&) {
                    t.cancel();
                }
            }
            EXPECT_FALSE(t.isEmpty()) << nome.toStdString();
        }
    }
    void declaracoes()
    {
        QDir().mkpath(arquivos() + QStringLiteral("sub"));
        for (const char* n : {"ZIRN1234567.C24", "PZIRN1234567.C24", "sub/interno.txt"}) {
            QFile f(arquivos() + QString::fromLatin1(n));
            f.open(QIODevice::WriteOnly);
            f.write(QByteArray("conteudo de ") + n + QByteArray(300, 'x'));
        }
    }

    TBackup* abre()
    {
        vorta::Component::free(Backup);
        auto* f = vorta::createInto<TBackup>(Backup, vorta::Application::instance());
        f->show();
        user::activate(f);
        return f;
    }
    // Moves the folder list to folder by keys: Enter on ".." up to the common parent, then
    // each sub-folder by typing its first letters and Enter.
    static void vaiPara(vorta::ui::DirectoryListBox* lista, const QString& pasta)
    {
        lista->setFocus();
        const QString alvo = QDir::cleanPath(pasta) + QLatin1Char('/');
        while (!alvo.startsWith(lista->directory())) {
            user::key(Qt::Key_Home);
            user::enter();
        }
        const QStringList resto = alvo.mid(lista->directory().size()).split(QLatin1Char('/'), Qt::SkipEmptyParts);
        for (const QString& p : resto) {
            const QList<QListWidgetItem*> achados = lista->findItems(p, Qt::MatchExactly);
            ASSERT_EQ(achados.size(), 1) << p.toStdString();
            user::key(Qt::Key_Home);
            while (lista->currentItem()->text() != p)
                user::key(Qt::Key_Down);
            user::enter();
        }
        ASSERT_EQ(lista->directory(), alvo);
    }
    // The backup by Alt+I into folder, with its messages answered.
    void copiaPelaJanela(TBackup* f, const QString& pasta)
    {
        vaiPara(f->DirCopia, pasta);
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(486), 1);
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(9), 1);
        user::alt(QLatin1Char('I'));
    }
    // A click on the restore tab.
    static void abaRestaurar(TBackup* f)
    {
        QTabBar* abas = f->PageControl1->tabBar();
        EXPECT_TRUE(user::clickAccepted(abas, abas->tabRect(1).center()));
        ASSERT_EQ(f->PageControl1->activePage(), f->TabRestaurar);
    }
    // The restore tab, the file chosen in its list by keys, the restore button clicked.
    void escolheParaRestaurar(TBackup* f, const QString& arquivo)
    {
        abaRestaurar(f);
        vaiPara(f->DirRestaura, QFileInfo(arquivo).absolutePath());
        f->FileRestaura->setFocus();
        user::key(Qt::Key_Home);
        while (f->FileRestaura->currentItem()->text() != QFileInfo(arquivo).fileName())
            user::key(Qt::Key_Down);
        user::key(Qt::Key_Space);
        ASSERT_EQ(f->FileRestaura->fileName(), arquivo);
    }
    void restaura(TBackup* f, const QString& arquivo, QList<int> mensagens)
    {
        escolheParaRestaurar(f, arquivo);
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, GetErrorMessage(12), vorta::ui::mrYes);
        for (int m : mensagens)
            dialogs.expectMessage(m == 13 ? MessageKind::Information : MessageKind::Error, GetErrorMessage(m), 1);
        user::click(f->BitBtn3);
    }
    // A work folder left behind by a restore, or a file that escaped it.
    QStringList sobrasDoTrabalho() const
    {
        return QDir(m_inst.folder(QStringLiteral("backup"))).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
    }

    vorta::testing::TempInstallation m_inst;
    QTemporaryDir m_destino;
};

} // namespace

// The whole round trip through the window: every row of every table and every
// declaration file comes back identical after the installed data was wiped.
TEST_F(Copia, RoundTripBringsBackEveryRowAndFile)
{
    preencheTudo();
    declaracoes();
    const QStringList linhas = despejo(banco());
    const QStringList decl = arquivosDe(arquivos());
    ASSERT_GT(linhas.size(), 60);

    TBackup* f = abre();
    EXPECT_EQ(f->caption(), QStringLiteral("Cópia de Segurança"));
    EXPECT_EQ(f->PageControl1->activePage(), f->TabCopiar);
    EXPECT_EQ(f->DirCopia->directory(), m_inst.folder(QStringLiteral("backup")));
    copiaPelaJanela(f, m_destino.path());
    const QString zip = m_destino.filePath(QStringLiteral("BakVorta20240307.zip"));
    ASSERT_TRUE(QFile::exists(zip));
    EXPECT_EQ(QFile::permissions(zip) & ~(QFileDevice::ReadUser | QFileDevice::WriteUser),
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    EXPECT_EQ(QDir(m_destino.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("BakVorta20240307.zip")});
    vorta::zip::UnZip u;
    u.open(zip);
    const QStringList entradas = u.entries();
    EXPECT_TRUE(entradas.contains(QStringLiteral("Dados/vorta.db")));
    EXPECT_TRUE(entradas.contains(QStringLiteral("Arquivos/sub/interno.txt")));
    EXPECT_TRUE(entradas.filter(QStringLiteral("-wal")).isEmpty());
    u.close();
    f->grab().save(QDir::tempPath() + QStringLiteral("/vorta_backup_copiar.png"));

    // Everything typed is gone, and a declaration file too.
    vorta::db::Database db;
    db.setDirectory(dados());
    // The message catalogue stays, so the window can still speak.
    for (const QString& t : db.tableNames())
        if (t != QLatin1String("mensagem"))
            db.execute(QStringLiteral("DELETE FROM \"%1\"").arg(t));
    db.close();
    QFile::remove(arquivos() + QStringLiteral("ZIRN1234567.C24"));
    ASSERT_NE(despejo(banco()), linhas);

    restaura(f, zip, {13});
    f->grab().save(QDir::tempPath() + QStringLiteral("/vorta_backup_restaurar.png"));
    const QStringList restaurado = despejo(banco());
    EXPECT_EQ(restaurado, linhas);
    for (const QString& l : restaurado)
        if (!linhas.contains(l))
            ADD_FAILURE() << "restored: " << l.toStdString();
    for (const QString& l : linhas)
        if (!restaurado.contains(l))
            ADD_FAILURE() << "missing: " << l.toStdString();
    // Files of sub-folders are not copied back; the rest is.
    QStringList esperado = decl;
    esperado.erase(std::remove_if(esperado.begin(), esperado.end(), [](const QString& s) { return s.startsWith("sub/"); }),
                   esperado.end());
    QStringList depois = arquivosDe(arquivos());
    depois.erase(std::remove_if(depois.begin(), depois.end(), [](const QString& s) { return s.startsWith("sub/"); }),
                 depois.end());
    EXPECT_EQ(depois, esperado);
    EXPECT_TRUE(sobrasDoTrabalho().isEmpty()) << sobrasDoTrabalho().join(',').toStdString();
    EXPECT_FALSE(f->LbImportar->isVisible());
}

// A declaration file present in both keeps the installed copy; a key present in both
// is updated, a new one inserted, and fields the backup lacks keep their values.
TEST_F(Copia, RestoreUpdatesByKeyAndKeepsInstalledFiles)
{
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao, Mun_UF) VALUES (1, 'ANTIGA', 'MT'), (2, 'DOIS', 'MT');"));
    declaracoes();
    const QString zip = m_destino.filePath(QStringLiteral("copia.zip"));
    GravaBackup(zip, {});
    sql(QStringLiteral("UPDATE Municipio SET Mun_Descricao = 'MUDOU' WHERE Mun_Codigo = 1; DELETE FROM Municipio WHERE Mun_Codigo = 2;"
                       "INSERT INTO Municipio (Mun_Codigo, Mun_Descricao) VALUES (3, 'NOVA');"));
    QFile f(arquivos() + QStringLiteral("ZIRN1234567.C24"));
    f.open(QIODevice::WriteOnly);
    f.write("instalada");
    f.close();
    RestauraBackup(zip);
    EXPECT_EQ(consulta(QStringLiteral("select Mun_Codigo, Mun_Descricao, Mun_UF from Municipio where Mun_Codigo < 10 "
                                      "order by Mun_Codigo")),
              QStringList({"1|ANTIGA|MT", "2|DOIS|MT", "3|NOVA|"}));
    f.open(QIODevice::ReadOnly);
    EXPECT_EQ(f.readAll(), QByteArray("instalada"));
}

// The snapshot taken while another process commits pairs of rows holds whole pairs
// only: it is the database of one moment, not a copy of a file being written.
TEST_F(Copia, BackupWhileAnotherProcessWritesIsConsistent)
{
    vorta::testing::LineProcess outro;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("VORTA_BACKUP_CHILD"), QStringLiteral("escreve"));
    env.insert(QStringLiteral("VORTA_BACKUP_FOLDER"), dados());
    ASSERT_TRUE(outro.start(QCoreApplication::applicationFilePath(), {}, env));
    ASSERT_TRUE(outro.waitForLine(QStringLiteral("writing"), 30000)) << outro.transcript().toStdString();
    const QString zip = m_destino.filePath(QStringLiteral("durante.zip"));
    GravaBackup(zip, {});
    outro.kill();
    QTemporaryDir aberto;
    vorta::zip::UnZip u;
    u.open(zip);
    u.extractTree(aberto.path(), [](const QString& n) { return n == QLatin1String("Dados/vorta.db"); });
    sqlite3* db = nullptr;
    ASSERT_EQ(sqlite3_open(QFile::encodeName(aberto.filePath("Dados/vorta.db")).constData(), &db), SQLITE_OK);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(db, "select count(*), coalesce(max(Mun_Codigo), 0) from Municipio where Mun_Descricao = 'PAR'", -1, &s, nullptr);
    ASSERT_EQ(sqlite3_step(s), SQLITE_ROW);
    const int linhas = sqlite3_column_int(s, 0), maior = sqlite3_column_int(s, 1);
    sqlite3_finalize(s);
    sqlite3_prepare_v2(db, "pragma integrity_check", -1, &s, nullptr);
    sqlite3_step(s);
    EXPECT_STREQ(reinterpret_cast<const char*>(sqlite3_column_text(s, 0)), "ok");
    sqlite3_finalize(s);
    sqlite3_close(db);
    EXPECT_GT(linhas, 100);
    EXPECT_EQ(linhas % 2, 0);
    EXPECT_EQ(maior, 100000 + linhas - 1);
}

// Another program with the database open stops the window's backup at once (523);
// that day's file already there asks 462, and No leaves it untouched.
TEST_F(Copia, BackupRefusalsLeaveTheOldFile)
{
    const QString zip = m_destino.filePath(QStringLiteral("BakVorta20240307.zip"));
    QFile velho(zip);
    velho.open(QIODevice::WriteOnly);
    velho.write("copia de ontem");
    velho.close();
    TBackup* f = abre();
    vaiPara(f->DirCopia, m_destino.path());
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(486), 1);
        dialogs.expectMessage(MessageKind::Confirmation, GetErrorMessage(462, {zip}), vorta::ui::mrNo);
        user::alt(QLatin1Char('I'));
    }
    {
        vorta::testing::LineProcess outro;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert(QStringLiteral("VORTA_BACKUP_CHILD"), QStringLiteral("abre"));
        env.insert(QStringLiteral("VORTA_BACKUP_FOLDER"), dados());
        ASSERT_TRUE(outro.start(QCoreApplication::applicationFilePath(), {}, env));
        ASSERT_TRUE(outro.waitForLine(QStringLiteral("ready"), 30000)) << outro.transcript().toStdString();
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Error, GetErrorMessage(523), 1);
        user::alt(QLatin1Char('I'));
        outro.closeInput();
        outro.waitForFinished(30000);
    }
    velho.open(QIODevice::ReadOnly);
    EXPECT_EQ(velho.readAll(), QByteArray("copia de ontem"));
    // Yes replaces it with a whole archive.
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(486), 1);
        dialogs.expectMessage(MessageKind::Confirmation, GetErrorMessage(462, {zip}), vorta::ui::mrYes);
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(9), 1);
        user::alt(QLatin1Char('I'));
    }
    EXPECT_NO_THROW(vorta::zip::readZipContents(zip));
}

TEST(NomeDoBackup, IsNamedByTheDate)
{
    EXPECT_EQ(NomeDoBackup(QDate(2024, 3, 7)), QStringLiteral("BakVorta20240307.zip"));
    EXPECT_EQ(NomeDoBackup(QDate(1999, 12, 31)), QStringLiteral("BakVorta19991231.zip"));
}

// Table versions compare as (major, minor): a copy of a newer table is refused with
// 1417 before anything is imported; an older one is imported.
TEST_F(Copia, VersionsCompareInOrder)
{
    struct Caso {
        int instMajor, instMinor, bakMajor, bakMinor;
        bool recusa;
    } casos[] = {
        {1, 1, 1, 2, true}, {1, 5, 2, 0, true}, {2, 0, 1, 5, false}, {1, 2, 1, 2, false}, {3, 0, 2, 9, false},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(testing::Message() << c.instMajor << "." << c.instMinor << " / " << c.bakMajor << "." << c.bakMinor);
        sql(QStringLiteral("DELETE FROM Municipio; INSERT INTO Municipio (Mun_Codigo, Mun_Descricao) VALUES (1, 'NA COPIA');"));
        auto versao = [&](int major, int minor) {
            vorta::db::Database db;
            db.setDirectory(dados());
            vorta::db::Table t;
            t.setDatabase(&db);
            t.setTableName(QStringLiteral("Municipio"));
            t.setUserVersion(major, minor);
        };
        versao(c.bakMajor, c.bakMinor);
        const QString zip = m_destino.filePath(QStringLiteral("v.zip"));
        GravaBackup(zip, {});
        versao(c.instMajor, c.instMinor);
        sql(QStringLiteral("DELETE FROM Municipio;"));
        TBackup* f = abre();
        restaura(f, zip, c.recusa ? QList<int>{1417} : QList<int>{13});
        EXPECT_EQ(consulta(QStringLiteral("select count(*) from Municipio")), QStringList{c.recusa ? "0" : "1"});
        EXPECT_TRUE(sobrasDoTrabalho().isEmpty());
    }
}

// A delivery already sent is kept when the copy holds it unsent, and the restore log
// says so; the copy's other rows come in.
TEST_F(Copia, SentDeliveryIsNeverUndone)
{
    sql(QStringLiteral("INSERT INTO Entrega (Sistema, Versao, Chave, Arquivo, Data_Geracao) VALUES "
                       "('ZIR', '1', 'K1', 'a.C24', '2024-03-01T10:00:00'), ('ZIR', '1', 'K2', 'b.C24', '2024-03-01T10:00:00');"));
    const QString zip = m_destino.filePath(QStringLiteral("e.zip"));
    GravaBackup(zip, {});
    sql(QStringLiteral("UPDATE Entrega SET Data_Entrega = '2024-03-05T11:00:00', Protocolo = 'P123' WHERE Chave = 'K1';"
                       "UPDATE Entrega SET Nome = 'MUDOU' WHERE Chave = 'K2';"));
    TBackup* f = abre();
    restaura(f, zip, {13});
    EXPECT_EQ(consulta(QStringLiteral("select Chave, Protocolo, Nome from Entrega order by Chave")),
              QStringList({"K1|P123|", "K2||"}));
    ASSERT_EQ(f->registro().size(), 1);
    EXPECT_TRUE(f->registro().first().contains(QStringLiteral("ZIR/1/K1"))) << f->registro().first().toStdString();
    QFile log(m_inst.folder(QStringLiteral("backup")) + QStringLiteral("Restauracao.log"));
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_TRUE(log.readAll().contains("K1"));
}

namespace {
// An archive written entry by entry with libzip, names and kinds as given.
void zipCru(const QString& arquivo, const QList<QPair<QByteArray, QByteArray>>& entradas, const QByteArray& link = {})
{
    int err = 0;
    zip_t* z = zip_open(QFile::encodeName(arquivo).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_TRUE(z);
    for (const auto& [nome, corpo] : entradas) {
        auto* copia = static_cast<char*>(malloc(size_t(qMax<qsizetype>(corpo.size(), 1))));
        memcpy(copia, corpo.constData(), size_t(corpo.size()));
        zip_source_t* s = zip_source_buffer(z, copia, zip_uint64_t(corpo.size()), 1);
        const zip_int64_t i = zip_file_add(z, nome.constData(), s, ZIP_FL_ENC_UTF_8);
        ASSERT_GE(i, 0) << nome.constData();
        if (nome == link)
            zip_file_set_external_attributes(z, zip_uint64_t(i), 0, ZIP_OPSYS_UNIX, (0120777u) << 16);
    }
    ASSERT_EQ(zip_close(z), 0);
}
} // namespace

// Archives that are not ours: a climbing name, an absolute one, a link. Each is refused
// whole (14), nothing is written outside the work folder, nothing is imported.
TEST_F(Copia, HostileArchivesAreRefused)
{
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao) VALUES (1, 'INSTALADA');"));
    const QString bom = m_destino.filePath(QStringLiteral("bom.zip"));
    GravaBackup(bom, {});
    const QByteArray banco = vorta::zip::readZipEntry(bom, QStringLiteral("Dados/vorta.db"));
    sql(QStringLiteral("UPDATE Municipio SET Mun_Descricao = 'ATUAL';"));
    const QStringList antes = despejo(this->banco());
    const QString fora = m_inst.folder(QStringLiteral("backup")) + QStringLiteral("../x");
    struct Caso {
        const char* nome;
        QList<QPair<QByteArray, QByteArray>> entradas;
        QByteArray link;
    } casos[] = {
        {"sobe", {{"Dados/vorta.db", banco}, {"Dados/../../x", "fora"}}, {}},
        {"sobe2", {{"Dados/vorta.db", banco}, {"../x", "fora"}}, {}},
        {"barra", {{"Dados/vorta.db", banco}, {"Dados\\..\\..\\x", "fora"}}, {}},
        {"absoluto", {{"Dados/vorta.db", banco}, {"/tmp/vorta-restauracao-x", "fora"}}, {}},
        {"unidade", {{"Dados/vorta.db", banco}, {"C:/x", "fora"}}, {}},
        {"link", {{"Dados/vorta.db", banco}, {"Arquivos/ZIRN.C24", "/etc/passwd"}}, "Arquivos/ZIRN.C24"},
    };
    for (const Caso& c : casos) {
        SCOPED_TRACE(c.nome);
        const QString zip = m_destino.filePath(QString::fromLatin1(c.nome) + QStringLiteral(".zip"));
        zipCru(zip, c.entradas, c.link);
        TBackup* f = abre();
        restaura(f, zip, {14});
        EXPECT_EQ(despejo(this->banco()), antes);
        EXPECT_FALSE(QFile::exists(fora));
        EXPECT_FALSE(QFile::exists(m_inst.path() + QStringLiteral("x")));
        EXPECT_FALSE(QFile::exists(QStringLiteral("/tmp/vorta-restauracao-x")));
        EXPECT_FALSE(QFileInfo::exists(arquivos() + QStringLiteral("ZIRN.C24")));
        EXPECT_TRUE(sobrasDoTrabalho().isEmpty()) << sobrasDoTrabalho().join(',').toStdString();
    }
}

// A restore that fails half-way (a row the installed table cannot take) leaves every
// table as it was: the import is one transaction.
TEST_F(Copia, FailureHalfWayLeavesTheDataAsItWas)
{
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao) VALUES (1, 'INSTALADA');"));
    const QStringList antes = despejo(banco());
    // The copy's database: an extra town (imported first, by name order) and a register
    // row without the key the installed table requires.
    QTemporaryDir pasta;
    QFile::copy(banco(), pasta.filePath(QStringLiteral("vorta.db")));
    vorta::db::executeScript(pasta.path(),
                             QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao) VALUES (2, 'DA COPIA');"
                                            "UPDATE Municipio SET Mun_Descricao = 'MUDADA' WHERE Mun_Codigo = 1;"
                                            "DROP TABLE Responsavel;"
                                            "CREATE TABLE Responsavel (Resp_CPF VARCHAR(11), Resp_Nome VARCHAR(40));"
                                            "INSERT INTO Responsavel VALUES (NULL, 'SEM CPF');"));
    const QString zip = m_destino.filePath(QStringLiteral("falha.zip"));
    vorta::zip::writeZip(zip, {{pasta.filePath(QStringLiteral("vorta.db")), QStringLiteral("Dados/vorta.db")}}, 9);
    TBackup* f = abre();
    restaura(f, zip, {14});
    EXPECT_EQ(despejo(banco()), antes);
    EXPECT_TRUE(sobrasDoTrabalho().isEmpty());
}

// Restore without a chosen file says 525; No to the confirmation changes nothing.
TEST_F(Copia, RestoreNeedsAFileAndAYes)
{
    TBackup* f = abre();
    abaRestaurar(f);
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(525), 1);
        user::click(f->BitBtn3);
    }
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao) VALUES (1, 'NA COPIA');"));
    const QString zip = m_destino.filePath(QStringLiteral("nao.zip"));
    GravaBackup(zip, {});
    sql(QStringLiteral("DELETE FROM Municipio;"));
    escolheParaRestaurar(f, zip);
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, GetErrorMessage(12), vorta::ui::mrNo);
        user::click(f->BitBtn3);
    }
    EXPECT_EQ(despejo(banco()).filter(QStringLiteral("Municipio|")).size(), 0);
}

// The lines of "Backup.Conf" name files stored without compression; the archive still
// holds them, so the restore brings them back. A list that cannot be read stops the
// backup with 11.
TEST_F(Copia, BackupConfNamesFilesStoredWhole)
{
    declaracoes();
    QFile conf(dados() + QStringLiteral("Backup.Conf"));
    ASSERT_TRUE(conf.open(QIODevice::WriteOnly));
    conf.write("*.C24\n\n  vorta.db  \n");
    conf.close();
    TBackup* f = abre();
    copiaPelaJanela(f, m_destino.path());
    const vorta::zip::ZipContents c = vorta::zip::readZipContents(m_destino.filePath(QStringLiteral("BakVorta20240307.zip")));
    QStringList guardados, compactados;
    for (const auto& e : c.entries)
        (e.deflated ? compactados : guardados) << e.name;
    guardados.sort();
    EXPECT_EQ(guardados, QStringList({"Arquivos/PZIRN1234567.C24", "Arquivos/ZIRN1234567.C24", "Dados/vorta.db"}));
    EXPECT_TRUE(compactados.contains(QStringLiteral("Dados/Backup.Conf")));
    EXPECT_TRUE(compactados.contains(QStringLiteral("Arquivos/sub/interno.txt")));

    // A folder where the list should be: it cannot be read, whoever runs the program.
    ASSERT_TRUE(conf.remove());
    ASSERT_TRUE(QDir().mkpath(conf.fileName()));
    ScriptedDialogs dialogs;
    dialogs.expectMessage(MessageKind::Information, GetErrorMessage(486), 1);
    dialogs.expectMessage(MessageKind::Error, GetErrorMessage(11), 1);
    user::alt(QLatin1Char('I'));
}

// A backup to drive A asks for the diskette first (7); Cancel writes nothing.
TEST_F(Copia, DriveAAsksForTheDiskette)
{
    QTemporaryDir disquete;
    vorta::os::setDrivePath(QLatin1Char('A'), disquete.path());
    TBackup* f = abre();
    f->DriveCopia->setFocus();
    user::key(Qt::Key_Home);
    EXPECT_EQ(f->DriveCopia->drive(), QLatin1Char('A'));
    EXPECT_EQ(f->DirCopia->directory(), QDir(disquete.path()).absolutePath() + QLatin1Char('/'));
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(486), 1);
        dialogs.expectMessage(MessageKind::Confirmation, GetErrorMessage(7), vorta::ui::mrCancel);
        user::alt(QLatin1Char('I'));
    }
    EXPECT_TRUE(QDir(disquete.path()).isEmpty());
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(486), 1);
        dialogs.expectMessage(MessageKind::Confirmation, GetErrorMessage(7), vorta::ui::mrOk);
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(9), 1);
        user::alt(QLatin1Char('I'));
    }
    EXPECT_TRUE(QFile::exists(disquete.filePath(QStringLiteral("BakVorta20240307.zip"))));
    vorta::os::setDrivePath(QLatin1Char('A'), QString());
}

namespace {
// Clicks the cancel button once the work has begun: at the first move of the bar.
void cancelaNoProgresso(TBackup* f, QWidget* cancelar)
{
    auto* ligacao = new QMetaObject::Connection;
    *ligacao = QObject::connect(f->ProgressBar1, &QProgressBar::valueChanged, f, [cancelar, ligacao] {
        QObject::disconnect(*ligacao);
        delete ligacao;
        user::click(cancelar);
    });
}
} // namespace

// "Cancelar" clicked while the archive is being read stops the restore with 10 and
// nothing imported; while it is being written, the backup leaves no archive (8).
TEST_F(Copia, CancelStopsTheRunningWork)
{
    declaracoes();
    sql(QStringLiteral("INSERT INTO Municipio (Mun_Codigo, Mun_Descricao) VALUES (1, 'NA COPIA');"));
    const QString zip = m_destino.filePath(QStringLiteral("cancela.zip"));
    GravaBackup(zip, {});
    sql(QStringLiteral("DELETE FROM Municipio WHERE Mun_Codigo = 1;"));
    const QStringList antes = despejo(banco());
    TBackup* f = abre();
    escolheParaRestaurar(f, zip);
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Confirmation, GetErrorMessage(12), vorta::ui::mrYes);
        dialogs.expectMessage(MessageKind::Error, GetErrorMessage(10), 1);
        cancelaNoProgresso(f, f->BitBtn4);
        user::click(f->BitBtn3);
    }
    EXPECT_EQ(despejo(banco()), antes);
    EXPECT_TRUE(sobrasDoTrabalho().isEmpty());

    QFile::remove(zip);
    TBackup* g = abre();
    vaiPara(g->DirCopia, m_destino.path());
    {
        ScriptedDialogs dialogs;
        dialogs.expectMessage(MessageKind::Information, GetErrorMessage(486), 1);
        dialogs.expectMessage(MessageKind::Error, GetErrorMessage(8), 1);
        cancelaNoProgresso(g, g->btCancelar);
        user::alt(QLatin1Char('I'));
    }
    EXPECT_TRUE(QDir(m_destino.path()).entryList(QDir::Files | QDir::Hidden).isEmpty());
}
