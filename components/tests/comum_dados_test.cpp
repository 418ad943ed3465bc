#include "ComponentsTestDb.h"
#include "Input1.h"
#include "comum.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/db/Query.h"
#include "platform/ui/Controls.h"
#include "platform/ui/DbControls.h"
#include "platform/os/Registry.h"
#include "testing/TempInstallation.h"
#include "testing/UserInput.h"

#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace vorta::testing;

namespace {

QByteArray written(const std::function<void(QIODevice&)>& write)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    write(buffer);
    return buffer.data();
}

TEST(XlsWriterTest, RecordsByteForByte)
{
    struct Case { const char* what; std::function<void(QIODevice&)> write; QByteArray bytes; };
    const Case cases[] = {
        {"BOF", [](QIODevice& s) { XlsBeginStream(s, 0x1234); },
         QByteArray("\x09\x08\x08\x00\x00\x00\x10\x00\x34\x12\x00\x00", 12)},
        {"EOF", [](QIODevice& s) { XlsEndStream(s); }, QByteArray("\x0A\x00\x00\x00", 4)},
        {"LABEL", [](QIODevice& s) { XlsWriteCellLabel(s, 2, 1, QStringLiteral("Sé")); },
         QByteArray("\x04\x02\x0A\x00\x01\x00\x02\x00\x00\x00\x02\x00S\xE9", 14)},
        {"NUMBER", [](QIODevice& s) { XlsWriteCellNumber(s, 1, 3, 1.5); },
         QByteArray("\x03\x02\x0E\x00\x03\x00\x01\x00\x00\x00" "\x00\x00\x00\x00\x00\x00\xF8\x3F", 18)},
        {"RK 5", [](QIODevice& s) { XlsWriteCellRk(s, 0, 0, 5); },
         QByteArray("\x7E\x02\x0A\x00\x00\x00\x00\x00\x00\x00\x16\x00\x00\x00", 14)},
        {"RK -1", [](QIODevice& s) { XlsWriteCellRk(s, 0, 0, -1); },
         QByteArray("\x7E\x02\x0A\x00\x00\x00\x00\x00\x00\x00\xFE\xFF\xFF\xFF", 14)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(written(c.write).toHex(' '), c.bytes.toHex(' ')) << c.what;

    const QByteArray smallest = written([](QIODevice& s) {
        XlsBeginStream(s, 0);
        XlsWriteCellLabel(s, 0, 0, "A");
        XlsEndStream(s);
    });
    EXPECT_EQ(smallest.size(), 29);
}

TEST(XlsWriterTest, RefusesTooLongALabelAndAClosedStream)
{
    QBuffer buffer;
    buffer.open(QIODevice::WriteOnly);
    EXPECT_NO_THROW(XlsWriteCellLabel(buffer, 0, 0, QString(65527, 'x')));
    EXPECT_THROW(XlsWriteCellLabel(buffer, 0, 0, QString(65528, 'x')), vorta::ERangeError);
    QBuffer closed;
    EXPECT_THROW(XlsEndStream(closed), vorta::EInOutError);
}

TEST(XlsWriterTest, ASpreadsheetProgramReadsTheCellsBack)
{
    const QString soffice = QStandardPaths::findExecutable(QStringLiteral("soffice"));
    if (soffice.isEmpty())
        GTEST_SKIP() << "soffice is not installed";
    QTemporaryDir dir;
    QFile file(dir.path() + "/planilha.xls");
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    XlsBeginStream(file, 0);
    XlsWriteCellLabel(file, 0, 0, QStringLiteral("Município"));
    XlsWriteCellLabel(file, 1, 0, "Cabeças");
    XlsWriteCellLabel(file, 0, 1, "Palmas");
    XlsWriteCellRk(file, 1, 1, 42);
    XlsWriteCellLabel(file, 0, 2, "Gurupi");
    XlsWriteCellNumber(file, 1, 2, 2.5);
    XlsWriteCellRk(file, 2, 2, -7);
    XlsEndStream(file);
    file.close();

    QProcess office;
    office.setWorkingDirectory(dir.path());
    office.start(soffice, {"-env:UserInstallation=file://" + dir.path() + "/profile", "--headless",
                           "--convert-to", "csv:Text - txt - csv (StarCalc):44,34,76", "--outdir", dir.path(),
                           file.fileName()});
    ASSERT_TRUE(office.waitForFinished(180000)) << "soffice did not finish";
    QFile csv(dir.path() + "/planilha.csv");
    ASSERT_TRUE(csv.open(QIODevice::ReadOnly)) << office.readAllStandardError().constData();
    const QString text = QString::fromUtf8(csv.readAll()).replace("\r\n", "\n");
    EXPECT_EQ(text, QStringLiteral("Município,Cabeças,\nPalmas,42,\nGurupi,2.5,-7\n"));
}

class RecordLogTest : public brano70::testsupport::PeopleForm {
protected:
    void TearDown() override
    {
        SetRecordLogFolder(QString());
        vorta::setClock({});
        PeopleForm::TearDown();
    }
};

TEST_F(RecordLogTest, EachUpdateAppendsOneRecordByteForByte)
{
    TempInstallation inst;
    vorta::setClock([] { return QDateTime(QDate(2004, 3, 9), QTime(8, 5, 7, 42)); });
    auto* q = new vorta::db::Query(form);
    q->setName("QPessoa");
    q->setDatabaseName("DB_Brano");
    q->setSql("SELECT Id, Nome FROM Pessoa WHERE Id = 2");
    q->open();
    TUpdateAction action = uaApplied;
    LogRecord(q, ukDelete, action);
    q->close();
    q->setSql("SELECT Nome, Cidade FROM Pessoa WHERE Id = 4");
    q->open();
    LogRecord(q, ukModify, action);
    LogRecord(q, ukInsert, action);
    LogRecord(q, 7, action);
    EXPECT_EQ(action, uaApplied);

    // By default beside the data folder: the installation's "log" folder.
    QFile log(inst.path() + "log/QPessoa.mlog");
    ASSERT_TRUE(log.open(QIODevice::ReadOnly));
    EXPECT_EQ(log.readAll(), QByteArray("09/03/04 08:05:07:042 D 2\x0E" "Carla\x0E"
                                        "09/03/04 08:05:07:042 M Davi\x0E" "Araguaina\x0E"
                                        "09/03/04 08:05:07:042 I Davi\x0E" "Araguaina\x0E"
                                        "09/03/04 08:05:07:042 U Davi\x0E" "Araguaina\x0E"));
}

TEST_F(RecordLogTest, TheFolderCanBeConfigured)
{
    TempInstallation inst;
    QTemporaryDir other;
    {
        vorta::os::Registry reg;
        reg.openKey("\\Software\\Kalvi\\Vorta\\", true);
        reg.writeString("LogPath", other.path() + "/registos");
    }
    EXPECT_EQ(RecordLogFolder(), other.path() + "/registos/");
    pessoa->open();
    TUpdateAction action = uaFail;
    LogRecord(pessoa, ukInsert, action);
    EXPECT_TRUE(QFile::exists(other.path() + "/registos/TbPessoa.mlog"));

    SetRecordLogFolder(other.path() + "/dito");
    EXPECT_EQ(RecordLogFolder(), other.path() + "/dito/");
    SetRecordLogFolder(QString());
    QFile blocker(other.path() + "/file");
    ASSERT_TRUE(blocker.open(QIODevice::WriteOnly));
    SetRecordLogFolder(blocker.fileName()); // a file where the folder should be
    EXPECT_THROW(LogRecord(pessoa, ukInsert, action), vorta::EInOutError);
}

using DataSetHelpersTest = brano70::testsupport::PeopleForm;

TEST_F(DataSetHelpersTest, RecordNumbersOpeningAndRefreshing)
{
    EXPECT_THROW(GetRecordNumber(pessoa), vorta::db::EDatabaseError);
    ActivateDataSet(pessoa);
    EXPECT_TRUE(pessoa->active());
    EXPECT_EQ(GetRecordNumber(pessoa), 1);
    pessoa->next();
    pessoa->next();
    EXPECT_EQ(GetRecordNumber(pessoa), 3);
    ActivateDataSet(pessoa); // already open: stays where it is
    EXPECT_EQ(GetRecordNumber(pessoa), 3);
    database->execute("DELETE FROM Pessoa");
    RefreshDataSet(pessoa);
    EXPECT_EQ(GetRecordNumber(pessoa), 0);
}

TEST_F(DataSetHelpersTest, CopyOneRecordAndCompareRecord)
{
    auto* source = new vorta::db::Query(form);
    source->setDatabaseName("DB_Brano");
    source->setSql("SELECT 9 AS Id, Nome, Cidade, 'extra' AS Outra FROM Pessoa WHERE Id = 3");
    EXPECT_TRUE(CopyOneRecord(source, pessoa));
    ASSERT_TRUE(pessoa->locate("Id", 9));
    EXPECT_EQ(pessoa->fieldByName("Nome")->asString(), "Caio");
    EXPECT_EQ(pessoa->fieldByName("Cidade")->asString(), "Palmas");
    EXPECT_TRUE(pessoa->fieldByName("Ativo")->isNull());

    auto* copy = new vorta::db::Query(form);
    copy->setDatabaseName("DB_Brano");
    copy->setSql("SELECT Nome, Cidade FROM Pessoa WHERE Id = 9");
    EXPECT_TRUE(CompareRecord(source, copy));
    auto* other = new vorta::db::Query(form);
    other->setDatabaseName("DB_Brano");
    other->setSql("SELECT Nome, Ativo AS Cidade FROM Pessoa WHERE Id = 3");
    try {
        CompareRecord(source, other);
        ADD_FAILURE() << "no difference found";
    } catch (const vorta::Exception& e) {
        EXPECT_EQ(e.message(), "Campos diferentes");
    }
    auto* unknown = new vorta::db::Query(form);
    unknown->setDatabaseName("DB_Brano");
    unknown->setSql("SELECT Ativo FROM Pessoa WHERE Id = 3");
    EXPECT_THROW(CompareRecord(source, unknown), vorta::db::EDatabaseError);
}

// The user of Input1: types the text and presses Enter, or Escape without text.
class InputUser {
public:
    explicit InputUser(QStringList answers)
    {
        vorta::ui::setModalHook([this, answers](vorta::ui::Form& shown) mutable {
            labels << static_cast<TInput1&>(shown).Label1->caption();
            user::activate(&shown);
            const QString answer = answers.takeFirst();
            if (answer.isNull()) {
                user::escape();
            } else {
                user::key(Qt::Key_A, Qt::ControlModifier);
                user::key(Qt::Key_Delete);
                user::type(answer);
                user::enter();
            }
            return int(vorta::ui::mrNone);
        });
    }
    ~InputUser() { vorta::ui::setModalHook(nullptr); }
    QStringList labels;
};

TEST_F(DataSetHelpersTest, DFilterKeepsOneLinePerFieldAndCancelClearsThem)
{
    pessoa->open();
    pessoa->setFiltered(true);
    vorta::db::Field* cidade = pessoa->fieldByName("Cidade");
    vorta::db::Field* nome = pessoa->fieldByName("Nome");
    cidade->setDisplayLabel("Cidade do cliente");
    QStringList lines;
    InputUser input({"Gurupi", "Ana", "Palmas", "D'Avila", QString()});

    EXPECT_TRUE(DFilter(pessoa, lines, cidade));
    EXPECT_EQ(lines, QStringList({"Cidade = 'Gurupi'"}));
    EXPECT_EQ(pessoa->filter(), " Cidade = 'Gurupi'");
    EXPECT_EQ(pessoa->recordCount(), 2);

    DFilter(pessoa, lines, nome);
    EXPECT_EQ(lines, QStringList({"Cidade = 'Gurupi'", " and Nome = 'Ana'"}));
    EXPECT_EQ(pessoa->filter(), " Cidade = 'Gurupi'  and Nome = 'Ana'");
    EXPECT_EQ(pessoa->recordCount(), 1);

    DFilter(pessoa, lines, cidade); // the first field again: its line is replaced
    EXPECT_EQ(lines, QStringList({"Cidade = 'Palmas'", " and Nome = 'Ana'"}));
    EXPECT_EQ(pessoa->recordCount(), 0);

    DFilter(pessoa, lines, nome); // a typed quote stays inside the literal
    EXPECT_EQ(lines.at(1), " and Nome = 'D''Avila'");
    EXPECT_EQ(pessoa->recordCount(), 0);

    DFilter(pessoa, lines, nome); // cancelled
    EXPECT_TRUE(lines.isEmpty());
    EXPECT_EQ(cidade->tag, 0);
    EXPECT_EQ(nome->tag, 0);
    EXPECT_EQ(pessoa->filter(), "");
    EXPECT_EQ(pessoa->recordCount(), 5);
    EXPECT_EQ(input.labels.first(), "Cidade do cliente");

    EXPECT_TRUE(DFilter(pessoa, lines, pessoa->fieldByName("Id"))); // numbers: nothing asked
    EXPECT_TRUE(lines.isEmpty());
}

TEST_F(DataSetHelpersTest, GetMaskFieldValueAnswersOnlyForASenderOfTheActiveControlsKind)
{
    pessoa->open();
    auto* dbEdit = new vorta::ui::DBEdit(form, "EdNome");
    dbEdit->setDataSource(source);
    dbEdit->setDataField("Nome");
    auto* mask = new vorta::ui::Edit(form, "MeData");
    mask->setEditMask("99/99/9999;1;_");
    dbEdit->setGeometry(5, 5, 120, 22);
    mask->setGeometry(5, 40, 120, 22);
    form->show();
    user::activate(form);
    user::click(mask);
    user::key(Qt::Key_Home);
    user::type("31122026");
    const auto activate = [&](QWidget* w) { form->setActiveControl(w); };

    activate(dbEdit);
    EXPECT_EQ(GetMaskFieldValue(dbEdit), "Bento");
    EXPECT_EQ(GetMaskFieldValue(mask), ""); // not a data-aware edit: no field to read
    activate(mask);
    EXPECT_EQ(GetMaskFieldValue(mask), "31/12/2026");
    EXPECT_EQ(GetMaskFieldValue(dbEdit), ""); // the data-aware edit is not a mask edit
    EXPECT_EQ(GetMaskFieldValue(nullptr), "");
}

} // namespace
