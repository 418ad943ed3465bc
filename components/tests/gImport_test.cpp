#include "gImport.h"

#include "Checksum.h"

#include "platform/core/Exceptions.h"
#include "platform/db/Database.h"
#include "platform/db/Table.h"
#include "platform/db/TextTable.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Form.h"
#include "platform/ui/ProgressBar.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>
#include <zip.h>

#include <memory>

inline void PrintTo(const QString& s, std::ostream* os)
{
    *os << '"' << s.toStdString() << '"';
}

using vorta::db::FieldType;
using vorta::db::TextTable;

namespace {

const char* kSchema = R"SQL(
CREATE TABLE vorta_catalog (table_name VARCHAR(128) NOT NULL PRIMARY KEY COLLATE NOCASE,
  major INTEGER NOT NULL DEFAULT 1, minor INTEGER NOT NULL DEFAULT 0);
CREATE TABLE Municipio (
  Codigo INTEGER NOT NULL PRIMARY KEY,
  Nome VARCHAR(30),
  Criacao DATE,
  Valor MONEY
);
CREATE INDEX Idx_Nome ON Municipio (Nome);
INSERT INTO Municipio VALUES (1, 'Antigo', NULL, 0);
)SQL";

// Code, name, a date as digits and an amount in cents, in fixed columns.
QByteArray fixedLine(const char* code, const char* name, const char* date, const char* cents)
{
    return QByteArray(code) + QByteArray(name).leftJustified(10, ' ') + date + cents + "\r\n";
}

const QByteArray kThreeTowns = fixedLine("001", "Palmas", "31012024", "001234")
    + fixedLine("002", "Gurupi", "20240131", "000050") + fixedLine("003", "Araguaina", "20011231", "100000");

struct ZipEntry {
    const char* name;
    QByteArray data;
};

void writeZip(const QString& path, const QList<ZipEntry>& entries, const char* comment = nullptr, bool store = false)
{
    int err = 0;
    zip_t* za = zip_open(QFile::encodeName(path).constData(), ZIP_CREATE | ZIP_TRUNCATE, &err);
    ASSERT_NE(nullptr, za);
    for (const ZipEntry& e : entries) {
        // libzip reads the entries' bytes when the archive is closed; they live until then.
        zip_source_t* s = zip_source_buffer(za, e.data.constData(), zip_uint64_t(e.data.size()), 0);
        const zip_int64_t i = zip_file_add(za, e.name, s, ZIP_FL_ENC_GUESS);
        ASSERT_GE(i, 0);
        if (store)
            zip_set_file_compression(za, zip_uint64_t(i), ZIP_CM_STORE, 0);
    }
    if (comment)
        zip_set_archive_comment(za, comment, zip_uint16_t(strlen(comment)));
    ASSERT_EQ(0, zip_close(za));
}

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// Folders of a download, a text table and a database, with an importer between them.
struct ImportBench {
    ImportBench()
    {
        EXPECT_TRUE(dir.isValid());
        root = dir.path() + QLatin1Char('/');
        EXPECT_TRUE(QDir().mkpath(root + QStringLiteral("download")));
        EXPECT_TRUE(QDir().mkpath(root + QStringLiteral("texto")));
        vorta::db::createDatabase(root + QStringLiteral("dados"), QString::fromUtf8(kSchema));
        form = new vorta::ui::Form(nullptr);
        origem = new TextTable(form);
        origem->setName(QStringLiteral("TxtMunic"));
        origem->setTableName(QStringLiteral("MUNIC.TXT"));
        origem->fieldDefs = {{QStringLiteral("Codigo"), FieldType::Integer, 3, 0},
                             {QStringLiteral("Nome"), FieldType::String, 10, 0},
                             {QStringLiteral("Criacao"), FieldType::String, 8, 0},
                             {QStringLiteral("Valor"), FieldType::String, 6, 0}};
        destino = new vorta::db::Table(form);
        destino->setDatabaseName(root + QStringLiteral("dados"));
        destino->setTableName(QStringLiteral("Municipio"));
        destino->setIndexName(QStringLiteral("Idx_Nome"));
        import = new TgImport(form);
        import->Nome = QStringLiteral("Municípios");
        import->DirSource = root + QStringLiteral("download/");
        import->DirTarget = root + QStringLiteral("texto/");
        import->TableOrigem = origem;
        import->TableDestino = destino;
    }
    ~ImportBench() { vorta::Component::free(form); }

    void download(const char* name, const QByteArray& bytes)
    {
        QFile f(root + QStringLiteral("download/") + QString::fromLatin1(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
        import->FileName = QString::fromLatin1(name);
    }
    // Each stored town as "code name date amount".
    QStringList towns()
    {
        vorta::db::Table t;
        t.setDatabaseName(root + QStringLiteral("dados"));
        t.setTableName(QStringLiteral("Municipio"));
        t.open();
        QStringList out;
        for (t.first(); !t.eof(); t.next())
            out << QStringLiteral("%1 %2 %3 %4")
                       .arg(t.fieldByName(QStringLiteral("Codigo"))->asString(),
                            t.fieldByName(QStringLiteral("Nome"))->asString(),
                            t.fieldByName(QStringLiteral("Criacao"))->asDateTime().date().toString(Qt::ISODate),
                            QString::number(t.fieldByName(QStringLiteral("Valor"))->asFloat(), 'f', 2));
        return out;
    }
    void expectClosed()
    {
        EXPECT_FALSE(origem->active());
        EXPECT_FALSE(destino->active());
        EXPECT_FALSE(destino->cachedUpdates());
        EXPECT_EQ(QStringLiteral("Idx_Nome"), destino->indexName());
    }
    QString msg(const QString& text) const { return QStringLiteral("Municípios - ") + text; }
    QString erro(const QString& text) const { return QStringLiteral("ERRO Municípios - ") + text; }

    QTemporaryDir dir;
    QString root;
    vorta::ui::Form* form = nullptr;
    TextTable* origem = nullptr;
    vorta::db::Table* destino = nullptr;
    TgImport* import = nullptr;
};

class ImportTest : public ::testing::Test, public ImportBench {};

TEST_F(ImportTest, RecordByRecordUpdatesByKeyAndConvertsDatesAndMoney)
{
    download("munic.txt", kThreeTowns);
    import->KeyMethodLoop = 1;
    import->setConversionDate(true);
    import->ShowGauge = true;
    import->Gauge = new vorta::ui::ProgressBar(form);
    import->Status = new vorta::ui::Label(form);
    int before = 0, after = 0, maxSeen = 0;
    import->BeforeImportRecord = [&] { ++before; };
    import->AfterImportRecord = [&] { ++after; maxSeen = std::max(maxSeen, import->Gauge->position()); };
    QString crcSeen, crcAfter;
    import->BeforeImport = [&](bool&, const QString& name, const QString& crc) {
        EXPECT_EQ(QStringLiteral("munic.txt"), name);
        crcSeen = crc;
    };
    import->AfterImport = [&](TgImport* sender, const QString&, const QString& crc) {
        EXPECT_EQ(import, sender);
        crcAfter = crc;
    };
    import->Execute();

    TChecksum sum;
    EXPECT_EQ(sum.CRCFile(root + QStringLiteral("download/munic.txt")), crcSeen);
    EXPECT_EQ(crcSeen, crcAfter);
    EXPECT_EQ(crcSeen, import->CrcFileName());
    EXPECT_EQ((QStringList{QStringLiteral("1 Palmas 2024-01-31 12.34"), QStringLiteral("2 Gurupi 2024-01-31 0.50"),
                           QStringLiteral("3 Araguaina 2001-12-31 1000.00")}),
              towns());
    EXPECT_EQ(QStringList{msg(QStringLiteral("Atualização Concluída - 3 registros"))}, import->Msgs());
    EXPECT_TRUE(import->ExceptionMsgs().isEmpty());
    EXPECT_EQ(3, before);
    EXPECT_EQ(3, after);
    EXPECT_EQ(3, maxSeen);
    EXPECT_EQ(0, import->Gauge->position());
    EXPECT_EQ(QStringLiteral("Municípios - Atualização Concluída"), import->Status->caption());
    EXPECT_EQ(kThreeTowns, readAll(root + QStringLiteral("texto/MUNIC.TXT")));
    EXPECT_TRUE(readAll(root + QStringLiteral("texto/MUNIC.sch")).contains("Field2=Nome,CHAR,10,00,03"));
    expectClosed();
}

TEST_F(ImportTest, WithoutAKeyEveryRecordIsAppendedAndValuesGoAsTheyAre)
{
    download("munic.txt", fixedLine("007", "Porto", "31012024", "001234"));
    origem->fieldDefs[3].type = FieldType::Integer;
    import->Execute();
    EXPECT_EQ((QStringList{QStringLiteral("1 Antigo  0.00"), QStringLiteral("7 Porto  1234.00")}), towns());
}

TEST_F(ImportTest, DateReadings)
{
    struct Case {
        const char* digits;
        const char* stored; // empty when the run must end
    };
    const Case cases[] = {
        {"31012024", "2024-01-31"}, // day first
        {"20240131", "2024-01-31"}, // year first, after day first fails
        {"20011231", "2001-12-31"}, // day first would give the year 1231
        {"29022023", ""},           // neither
        {"2024013 ", ""},
        {"3101202A", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.digits);
        download("munic.txt", fixedLine("001", "Palmas", "01012000", "000100") + fixedLine("002", "Gurupi", c.digits, "000100"));
        import->KeyMethodLoop = 1;
        import->setConversionDate(true);
        import->Execute();
        if (*c.stored) {
            EXPECT_EQ(QStringList{msg(QStringLiteral("Atualização Concluída - 2 registros"))}, import->Msgs());
            EXPECT_EQ(QStringLiteral("2 Gurupi %1 1.00").arg(QString::fromLatin1(c.stored)), towns().value(1));
        } else {
            EXPECT_EQ(QStringList{erro(QStringLiteral("Data inválida!  Linha: 2"))}, import->Msgs());
            EXPECT_TRUE(import->ExceptionMsgs().isEmpty());
            EXPECT_EQ(QStringList{QStringLiteral("1 Antigo  0.00")}, towns()) << "nothing of the run is kept";
        }
        expectClosed();
        // The next case starts from the fixture's one town.
        vorta::db::Database db;
        db.setDirectory(root + QStringLiteral("dados"));
        db.open();
        db.execute(QStringLiteral("DELETE FROM Municipio WHERE Codigo <> 1"));
        db.execute(QStringLiteral("UPDATE Municipio SET Nome = 'Antigo', Criacao = NULL, Valor = 0"));
    }
}

TEST_F(ImportTest, ADateInTheKeyNamesTheLineWithOneBlank)
{
    // The key is the text's first field: the date goes first.
    origem->fieldDefs = {{QStringLiteral("Criacao"), FieldType::String, 8, 0},
                         {QStringLiteral("Codigo"), FieldType::Integer, 3, 0}};
    download("munic.txt", "31012024009\r\n99999999001\r\n");
    import->KeyMethodLoop = 1;
    import->setConversionDate(true);
    import->Execute();
    EXPECT_EQ(QStringList{erro(QStringLiteral("Data inválida! Linha: 2"))}, import->Msgs());
    EXPECT_EQ(QStringList{QStringLiteral("1 Antigo  0.00")}, towns());
    expectClosed();
}

TEST_F(ImportTest, AZippedDelimitedFileThroughABatchMove)
{
    origem->fileType = TextTable::FileType::Varying;
    const QByteArray data = "4,\"Colinas, TO\",x,1\r\n1,\"Palmas\",y,2\r\n";
    writeZip(root + QStringLiteral("download/MUNIC.ZIP"), {{"dados/munic_2024.txt", data}}, "1A2B3C4D\r\nVorta101");
    import->FileName = QStringLiteral("MUNIC.ZIP");
    import->setCompactDefault(true);
    EXPECT_TRUE(import->IsCompact);
    import->setConversionDate(true);
    import->setMethodType(TMethodType::mtBatchMove);
    EXPECT_FALSE(import->conversionDate());
    import->Mappings = {QStringLiteral("Codigo"), QStringLiteral("Nome")};
    import->Execute();
    EXPECT_EQ((QStringList{QStringLiteral("1 Palmas  0.00"), QStringLiteral("4 Colinas, TO  0.00")}), towns());
    EXPECT_EQ(QStringList{msg(QStringLiteral("Atualização Concluída - 2 registros"))}, import->Msgs());
    EXPECT_EQ(QByteArray("1A2B3C4D\r\nVorta101"), import->ZipComment());
    EXPECT_EQ(data, readAll(root + QStringLiteral("texto/MUNIC.TXT")));
    EXPECT_FALSE(QFile::exists(root + QStringLiteral("texto/munic_2024.txt")));
    expectClosed();
}

TEST_F(ImportTest, AnEntryThatBearsTheTablesNameIsKept)
{
    writeZip(root + QStringLiteral("download/MUNIC.ZIP"), {{"MUNIC.TXT", fixedLine("005", "Miracema", "31012024", "000001")}});
    import->FileName = QStringLiteral("MUNIC.ZIP");
    import->setCompactDefault(true);
    import->Execute();
    EXPECT_EQ(QStringList{msg(QStringLiteral("Atualização Concluída - 1 registros"))}, import->Msgs());
    EXPECT_EQ(QStringLiteral("5 Miracema  1.00"), towns().value(1));
}

TEST_F(ImportTest, ArchivesThatAreRefused)
{
    {
        SCOPED_TRACE("an entry climbing out of the folder");
        writeZip(root + QStringLiteral("download/MUNIC.ZIP"),
                 {{"MUNIC.TXT", kThreeTowns}, {"../fora.txt", "x"}});
        import->FileName = QStringLiteral("MUNIC.ZIP");
        import->setCompactDefault(true);
        import->Execute();
        EXPECT_EQ(QStringList{erro(QStringLiteral("Ocorreu erro ao descompactar MUNIC.ZIP"))}, import->Msgs());
        EXPECT_EQ(1, import->ExceptionMsgs().size());
        EXPECT_FALSE(QFile::exists(root + QStringLiteral("fora.txt")));
        EXPECT_FALSE(QFile::exists(root + QStringLiteral("texto/MUNIC.TXT")));
    }
    {
        SCOPED_TRACE("an entry that fails its integrity test");
        writeZip(root + QStringLiteral("download/MUNIC.ZIP"), {{"MUNIC.TXT", kThreeTowns}}, nullptr, true);
        QFile f(root + QStringLiteral("download/MUNIC.ZIP"));
        ASSERT_TRUE(f.open(QIODevice::ReadWrite));
        QByteArray bytes = f.readAll();
        const qsizetype at = bytes.indexOf("Gurupi");
        ASSERT_GT(at, 0);
        bytes[at] = 'X';
        f.seek(0);
        f.write(bytes);
        f.close();
        import->Execute();
        EXPECT_EQ(QStringList{msg(QStringLiteral("Arquivo MUNIC.ZIP corrompido!"))}, import->Msgs());
        EXPECT_FALSE(QFile::exists(root + QStringLiteral("texto/MUNIC.TXT")));
        EXPECT_EQ(QStringList{QStringLiteral("1 Antigo  0.00")}, towns());
    }
}

TEST(Import, EveryFailureEndsWithItsMessage)
{
    struct Case {
        const char* name;
        std::function<void(ImportBench&)> arrange;
        bool error; // an error message, else a plain one
        const char* text;
        bool exceptionKept;
        int townsAfter;
    };
    const Case cases[] = {
        {"missing file", [](ImportBench& t) { t.import->FileName = QStringLiteral("nada.txt"); },
         false, "Arquivo nada.txt não existe no diretório download!", false, 1},
        {"unreadable file", [](ImportBench& t) {
             QDir().mkpath(t.root + QStringLiteral("download/pasta.txt"));
             t.import->FileName = QStringLiteral("pasta.txt");
         }, true, "Erro ao efetuar o cálculo CRC!", false, 1},
        {"handler of the CRC raises", [](ImportBench& t) {
             t.import->BeforeImport = [](bool&, const QString&, const QString&) { throw vorta::Exception(QStringLiteral("falhou")); };
         }, true, "Erro ao verificar CRC!", true, 1},
        {"schema cannot be written", [](ImportBench& t) { t.import->DirTarget = t.root + QStringLiteral("nao/existe/"); },
         true, "Erro ao criar arquivo sch!", true, 1},
        {"copy fails", [](ImportBench& t) { QDir().mkpath(t.root + QStringLiteral("texto/MUNIC.TXT/x")); },
         true, "Ocorreu erro ao copiar munic.txt na pasta Dados!", false, 1},
        {"unzip handler raises", [](ImportBench& t) {
             t.import->IsCompact = true;
             t.import->OnFileCompact = [](const QString&) { throw vorta::Exception(QStringLiteral("sem zip")); };
         }, true, "Ocorreu erro ao descompactar munic.txt", true, 1},
        {"origin cannot be read", [](ImportBench& t) { t.download("munic.txt", "0x1Palmas    3101202400\r\n"); },
         true, "Ocorreu um erro ao abrir a tabela origem!", true, 1},
        {"destination missing", [](ImportBench& t) { t.destino->setTableName(QStringLiteral("NaoExiste")); },
         true, "Ocorreu um erro ao abrir a tabela destino!", true, 1},
        {"empty origin", [](ImportBench& t) { t.download("munic.txt", ""); },
         false, "Não há registros na origem para atualização!", false, 1},
        {"a record fails", [](ImportBench& t) {
             t.import->BeforeImportRecord = [&t] {
                 if (t.origem->recNo() == 2)
                     throw vorta::Exception(QStringLiteral("recusado"));
             };
         }, true, "MUNIC.TXT 2", true, 1},
        {"after-import handler raises", [](ImportBench& t) {
             t.import->AfterImport = [](TgImport*, const QString&, const QString&) { throw vorta::Exception(QStringLiteral("depois")); };
         }, true, "Ocorreu um erro na atualização dos dados!", true, 3},
        {"gauge missing", [](ImportBench& t) { t.import->ShowGauge = true; },
         true, "Indicador de progresso não definido!", false, 1},
        {"no destination", [](ImportBench& t) { t.import->TableDestino = nullptr; },
         true, "Tabelas de origem e destino não definidas!", false, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ImportBench t;
        t.download("munic.txt", kThreeTowns);
        t.import->KeyMethodLoop = 1;
        c.arrange(t);
        t.import->Execute();
        const QString text = QString::fromUtf8(c.text);
        EXPECT_EQ(QStringList{c.error ? t.erro(text) : t.msg(text)}, t.import->Msgs());
        ASSERT_EQ(c.exceptionKept ? 1 : 0, t.import->ExceptionMsgs().size())
            << t.import->ExceptionMsgs().join(QLatin1Char('|')).toStdString();
        if (c.exceptionKept) {
            EXPECT_TRUE(t.import->ExceptionMsgs().at(0).startsWith(QStringLiteral("Municípios: ")));
        }
        EXPECT_FALSE(t.origem->active());
        EXPECT_FALSE(t.destino->active());
        EXPECT_EQ(c.townsAfter, t.towns().size()) << "a failed copy keeps nothing of its run";
    }
}

TEST_F(ImportTest, AHandlerThatStopsTheRunLeavesItsFlagForTheNext)
{
    download("munic.txt", kThreeTowns);
    QList<bool> seen;
    import->BeforeImport = [&](bool& go, const QString&, const QString&) {
        seen << go;
        go = false;
    };
    import->Execute();
    EXPECT_EQ(QStringList{msg(QStringLiteral("Tabela já atualizada anteriormente!"))}, import->Msgs());
    import->Execute();
    EXPECT_EQ((QList<bool>{true, false}), seen);
    EXPECT_EQ(QStringList{QStringLiteral("1 Antigo  0.00")}, towns());
    import->ClearMsgs();
    EXPECT_TRUE(import->Msgs().isEmpty());
}

TEST_F(ImportTest, FreedTablesAndGaugeAreForgotten)
{
    auto* gauge = new vorta::ui::ProgressBar(form);
    import->Gauge = gauge;
    vorta::Component::free(gauge);
    vorta::Component::free(origem);
    origem = nullptr;
    EXPECT_EQ(nullptr, import->Gauge);
    EXPECT_EQ(nullptr, import->TableOrigem);
}

} // namespace
