#include "ComponentsTestDb.h"

#include "Export.h"
#include "uExport.h"

#include "platform/core/Exceptions.h"
#include "platform/ui/Controls.h"
#include "platform/ui/Dialogs.h"
#include "platform/ui/ProgressBar.h"
#include "testing/ScriptedDialogs.h"

#include <QDir>
#include <QFile>

using brano70::testsupport::PeopleForm;
using vorta::testing::ScriptedDialogs;

namespace {

QByteArray readAll(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
}

void writeFile(const QString& path, const QByteArray& bytes)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(bytes);
}

// Marks the current person as exported, which takes it out of a filter on Ativo.
void markExported(vorta::db::DataSet* ds)
{
    ds->edit();
    ds->fieldByName(QStringLiteral("Ativo"))->setAsString(QStringLiteral("E"));
    ds->post();
}

class ExportTest : public PeopleForm {
protected:
    void SetUp() override
    {
        PeopleForm::SetUp();
        file = dir.path() + QStringLiteral("/REMESSA.TXT");
    }
    // Each record's line: id and name, padded like a fixed-width remittance.
    template <typename Exporter>
    void lineOfIdAndName(Exporter& e)
    {
        e.Nome = QStringLiteral("Pessoas");
        e.DataSet = pessoa;
        e.OnName = [this](QString& name) { name = file; };
        e.OnDoRecord = [](vorta::db::DataSet* ds, QString& line) {
            line = ds->fieldByName(QStringLiteral("Id"))->asString().rightJustified(3, QLatin1Char('0'))
                + ds->fieldByName(QStringLiteral("Nome"))->asString().leftJustified(6);
        };
    }
    // Puts back the fixture's value of Ativo.
    void restoreAtivo(int id)
    {
        vorta::db::Table t;
        t.setDatabaseName(QStringLiteral("DB_Brano"));
        t.setTableName(QStringLiteral("Pessoa"));
        t.open();
        ASSERT_TRUE(t.locate(QStringLiteral("Id"), id));
        t.edit();
        t.fieldByName(QStringLiteral("Ativo"))->setAsString(id == 2 ? QStringLiteral("N") : QStringLiteral("S"));
        t.post();
    }
    void expectLeftClean()
    {
        EXPECT_FALSE(pessoa->active());
        EXPECT_FALSE(pessoa->filtered());
        EXPECT_TRUE(pessoa->filter().isEmpty());
    }
    QString file;
};

TEST_F(ExportTest, TwExportWritesALinePerRecordWithProgress)
{
    TwExport e(form);
    lineOfIdAndName(e);
    e.ShowProgress = true;
    e.ProgressBar = new vorta::ui::ProgressBar(form);
    e.DisplayLabel = new vorta::ui::Label(form);
    e.NumberLabel = new vorta::ui::Label(form);
    int nRemessa = 0;
    e.N_Remessa = 42;
    e.AfterExport = [&](vorta::db::DataSet*, bool&, int n) { nRemessa = n; };
    e.Execute();
    EXPECT_EQ(QByteArray("001Bento \r\n002Carla \r\n003Caio  \r\n004Davi  \r\n005Ana   \r\n"), readAll(file));
    EXPECT_EQ(42, nRemessa);
    EXPECT_EQ(5, e.ProgressBar->max());
    EXPECT_EQ(5, e.ProgressBar->position());
    EXPECT_EQ(QStringLiteral("TbPessoa"), e.DisplayLabel->caption());
    EXPECT_EQ(QStringLiteral("5"), e.NumberLabel->caption());
    EXPECT_EQ(QStringList{QStringLiteral("Pessoas - Exportado(s) 5 Registro(s)")}, e.Msgs());
    expectLeftClean();
}

TEST_F(ExportTest, AppendingTwoRecordsToThreeLinesCountsFive)
{
    writeFile(file, "a\r\nb\nc\r\n");
    TwExport e(form);
    lineOfIdAndName(e);
    e.Append = true;
    e.ShowProgress = true;
    e.Filter = QStringLiteral("Cidade = 'Gurupi'");
    e.Execute();
    EXPECT_EQ(QByteArray("a\r\nb\r\nc\r\n002Carla \r\n005Ana   \r\n"), readAll(file));
    EXPECT_EQ(QStringList{QStringLiteral("Pessoas - Exportado(s) 5 Registro(s)")}, e.Msgs());
    expectLeftClean();

    TwExporta a(form);
    lineOfIdAndName(a);
    a.Append = true;
    a.Step = true;
    a.Filter = QStringLiteral("Cidade = 'Araguaina'");
    EXPECT_TRUE(a.Execute());
    EXPECT_EQ(QByteArray("a\r\nb\r\nc\r\n002Carla \r\n005Ana   \r\n004Davi  \r\n"), readAll(file));
}

TEST_F(ExportTest, TextsOutsideTheCodePageAndAccentsAreWrittenInIt)
{
    TwExporta a(form);
    lineOfIdAndName(a);
    a.Step = true;
    a.Filter = QStringLiteral("Id = 1");
    a.OnDoRecord = [](vorta::db::DataSet*, QString& line) { line = QStringLiteral("Açúcar – São"); };
    EXPECT_TRUE(a.Execute());
    EXPECT_EQ(QByteArray("A\xe7\xfa" "car \x96 S\xe3o\r\n"), readAll(file));
}

TEST_F(ExportTest, AnEmptyFilteredDatasetWritesNoFile)
{
    TwExport e(form);
    lineOfIdAndName(e);
    e.Filter = QStringLiteral("Cidade = 'Nenhuma'");
    bool before = false;
    e.BeforeExport = [&](vorta::db::DataSet*, bool&, int) { before = true; };
    e.Execute();
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_FALSE(before);
    EXPECT_EQ(QStringList{QStringLiteral("Pessoas - Não há registros para a geração de remessa!")}, e.Msgs());
    expectLeftClean();

    TwExporta a(form);
    lineOfIdAndName(a);
    a.Filter = QStringLiteral("Cidade = 'Nenhuma'");
    EXPECT_FALSE(a.Execute());
    EXPECT_FALSE(QFile::exists(file));
    EXPECT_EQ(QStringList{QStringLiteral("Pessoas - Não há registros para a geração de remessa!")}, a.Msgs());
    EXPECT_FALSE(pessoa->active());
    EXPECT_TRUE(pessoa->filter().isEmpty());
}

TEST_F(ExportTest, TheFileIsNamedAfterTheDatasetUnlessOnNameChangesIt)
{
    const QString previous = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    TwExporta a(form);
    a.DataSet = pessoa;
    a.Step = true;
    a.Filter = QStringLiteral("Id = 3");
    a.OnDoRecord = [](vorta::db::DataSet* ds, QString& line) { line = ds->fieldByName(QStringLiteral("Nome"))->asString(); };
    const bool ok = a.Execute();
    QDir::setCurrent(previous);
    EXPECT_TRUE(ok);
    EXPECT_EQ(QByteArray("Caio\r\n"), readAll(dir.path() + QStringLiteral("/TbPessoa")));
}

TEST_F(ExportTest, TwExportRecordsEachFailureAndPassesItOn)
{
    {
        TwExport e(form);
        lineOfIdAndName(e);
        pessoa->setTableName(QStringLiteral("NaoExiste"));
        EXPECT_THROW(e.Execute(), vorta::Exception);
        EXPECT_EQ(QStringList{QStringLiteral("ERRO Pessoas - Erro ao abrir a tabela de remessa!")}, e.Msgs());
        expectLeftClean();
        pessoa->setTableName(QStringLiteral("Pessoa"));
    }
    {
        TwExport e(form);
        lineOfIdAndName(e);
        e.OnName = [](QString&) { throw vorta::Exception(QStringLiteral("sem nome")); };
        EXPECT_THROW(e.Execute(), vorta::Exception);
        EXPECT_EQ(QStringList{QStringLiteral("ERRO Pessoas - Erro ao definir nome do arquivo de remessa!")}, e.Msgs());
        expectLeftClean();
    }
    {
        // The earlier remittance exists but cannot be read.
        ASSERT_TRUE(QDir().mkpath(file));
        TwExport e(form);
        lineOfIdAndName(e);
        e.Append = true;
        EXPECT_THROW(e.Execute(), vorta::Exception);
        EXPECT_EQ(QStringList{QStringLiteral("ERRO Pessoas - Erro ao abrir o arquivo de remessa")}, e.Msgs());
        expectLeftClean();
        ASSERT_TRUE(QDir().rmdir(file));
    }
    {
        TwExport e(form);
        lineOfIdAndName(e);
        e.OnDoRecord = [](vorta::db::DataSet*, QString&) { throw vorta::Exception(QStringLiteral("linha")); };
        EXPECT_THROW(e.Execute(), vorta::Exception);
        EXPECT_FALSE(QFile::exists(file));
        expectLeftClean();
    }
}

TEST_F(ExportTest, TwExportaRecordsFailuresAndAnswersFalse)
{
    {
        TwExporta a(form);
        lineOfIdAndName(a);
        pessoa->setTableName(QStringLiteral("NaoExiste"));
        EXPECT_FALSE(a.Execute());
        EXPECT_EQ(QStringList{QStringLiteral("ERRO Pessoas - Ocorreu um erro ao abrir o arquivo de remessa")}, a.Msgs());
        EXPECT_FALSE(pessoa->active());
        pessoa->setTableName(QStringLiteral("Pessoa"));
    }
    {
        TwExporta a(form);
        lineOfIdAndName(a);
        a.Step = true;
        a.AfterDoRecord = [](vorta::db::DataSet* ds, bool&, int) {
            if (ds->fieldByName(QStringLiteral("Id"))->asInteger() == 3)
                throw vorta::Exception(QStringLiteral("Registro 3 inválido"));
        };
        EXPECT_FALSE(a.Execute());
        EXPECT_FALSE(QFile::exists(file));
        EXPECT_EQ(QStringList{QStringLiteral("ERRO Pessoas - Registro 3 inválido")}, a.Msgs());
        EXPECT_FALSE(pessoa->active());
        EXPECT_TRUE(pessoa->filter().isEmpty());
    }
    {
        // A file that cannot be written.
        TwExporta a(form);
        lineOfIdAndName(a);
        a.Step = true;
        a.OnName = [this](QString& name) { name = dir.path() + QStringLiteral("/nao/existe/R.TXT"); };
        EXPECT_FALSE(a.Execute());
        ASSERT_EQ(1, a.Msgs().size());
        EXPECT_TRUE(a.Msgs().at(0).startsWith(QStringLiteral("ERRO Pessoas - "))) << a.Msgs().at(0).toStdString();
    }
}

TEST_F(ExportTest, TwExportaReportsRisingPercentagesAndAFinal100)
{
    TwExporta a(form);
    lineOfIdAndName(a);
    a.Step = true;
    QList<int> seen;
    vorta::Component* sender = nullptr;
    a.OnProgress = [&](vorta::Component* s, int percent) {
        sender = s;
        seen.append(percent);
    };
    a.Filter = QStringLiteral("Id <= 3");
    EXPECT_TRUE(a.Execute());
    EXPECT_EQ((QList<int>{33, 66, 100, 100}), seen);
    EXPECT_EQ(&a, sender);
}

// A loop told to stay on the current record moves on only when the events take the
// record out of the filtered dataset; one that never does still ends.
TEST_F(ExportTest, ALoopThatStaysOnItsRecordEnds)
{
    struct Case {
        const char* name;
        bool takeOut;
        QByteArray expected;
    };
    const Case cases[] = {
        {"events take each record out", true, "002Carla \r\n005Ana   \r\n"},
        {"no event takes the record out", false, "002Carla \r\n002Carla \r\n"},
    };
    const QString filter = QStringLiteral("Cidade = 'Gurupi' and Ativo <> 'E'");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto afterDoRecord = [&](vorta::db::DataSet* ds, bool&, int) {
            if (c.takeOut)
                markExported(ds);
        };
        {
            TwExport e(form);
            lineOfIdAndName(e);
            e.UpDate = true;
            e.Filter = filter;
            e.AfterDoRecord = afterDoRecord;
            e.Execute();
            EXPECT_EQ(c.expected, readAll(file));
            EXPECT_EQ(QString::fromLatin1(c.takeOut ? "E" : "N"), stored(2, QStringLiteral("Ativo")));
            EXPECT_EQ(QString::fromLatin1(c.takeOut ? "E" : "S"), stored(5, QStringLiteral("Ativo")));
        }
        ASSERT_TRUE(QFile::remove(file));
        for (int id : {2, 5})
            restoreAtivo(id);
        {
            // TwExporta stays while Step is not set.
            TwExporta a(form);
            lineOfIdAndName(a);
            a.Filter = filter;
            a.AfterDoRecord = afterDoRecord;
            EXPECT_TRUE(a.Execute());
            EXPECT_EQ(c.expected, readAll(file));
        }
        ASSERT_TRUE(QFile::remove(file));
        for (int id : {2, 5})
            restoreAtivo(id);
    }
}

TEST_F(ExportTest, ShowMsgsShowsEveryMessageInOrderAndClearMsgsEmptiesThem)
{
    TwExport e(form);
    lineOfIdAndName(e);
    e.ShowProgress = true;
    e.Execute();
    e.Filter = QStringLiteral("Id = 99");
    e.Execute();
    EXPECT_EQ(QStringList{QStringLiteral("Pessoas - Não há registros para a geração de remessa!")}, e.Msgs());

    TwExporta a(form);
    lineOfIdAndName(a);
    pessoa->setTableName(QStringLiteral("NaoExiste"));
    a.Execute();
    pessoa->setTableName(QStringLiteral("Pessoa"));
    ScriptedDialogs dialogs;
    dialogs.expectMessage(vorta::ui::MessageKind::Custom,
                          QStringLiteral("ERRO Pessoas - Ocorreu um erro ao abrir o arquivo de remessa\r\n"), 1);
    a.ShowMsgs();
    a.ClearMsgs();
    EXPECT_TRUE(a.Msgs().isEmpty());
}

TEST_F(ExportTest, ReferencesToFreedComponentsAreCleared)
{
    TwExport e(form);
    e.DataSet = pessoa;
    auto* bar = new vorta::ui::ProgressBar(form);
    e.ProgressBar = bar;
    vorta::Component::free(bar);
    EXPECT_EQ(nullptr, e.ProgressBar);
    vorta::Component::free(pessoa);
    pessoa = nullptr;
    EXPECT_EQ(nullptr, e.DataSet);
}

} // namespace
