#include "Ufuncoes.h"

#include "platform/core/Clock.h"
#include "platform/core/DateUtils.h"
#include "platform/core/Exceptions.h"
#include "platform/os/Drives.h"
#include "platform/os/Registry.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QLocale>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

namespace {

QString u(const char* text)
{
    return QString::fromUtf8(text);
}

void touch(const QString& path, const QByteArray& data = "x")
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly)) << path.toStdString();
    f.write(data);
}

// ---- Texts and numbers ----

TEST(AllTrim, BlanksAndControlCharactersAtBothEnds)
{
    EXPECT_EQ(AllTrim(u(" \t ab cd \r\n")), QStringLiteral("ab cd"));
    EXPECT_EQ(AllTrim(u("   ")), QString());
    EXPECT_EQ(AllTrim(u("x")), QStringLiteral("x"));
}

TEST(StrZero, PadsNumbersWithZeros)
{
    struct Case {
        const char* number;
        int width;
        int decimals;
        const char* result;
    };
    const Case cases[] = {
        {"7", 3, 0, "007"},
        {"", 2, 0, "00"},
        {"1234", 2, 0, "1234"}, // never cut
        {"123456", 11, 0, "00000123456"},
        {"1234567800019", 14, 0, "01234567800019"},
        {"2,5", 3, 0, "003"},      // halves away from zero
        {"1,5", 6, 2, "001.50"},
        {" 42 ", 4, 0, "0042"},
        {"-7", 3, 0, "-07"},       // the zeros after the sign
        {"123456789012345678", 18, 0, "123456789012345678"}, // no digit lost
    };
    for (const Case& c : cases)
        EXPECT_EQ(StrZero(u(c.number), c.width, c.decimals), u(c.result)) << c.number;
}

TEST(StrZero, TextThatIsNoNumberComesBackSoTheCheckRefusesIt)
{
    // A partly filled mask or a blank inside a number: no error, and no valid registration.
    const char* texts[] = {"111.444.777-35", "1114 4477735", "abc", "   "};
    for (const char* t : texts) {
        EXPECT_EQ(StrZero(u(t), 11), u(t)) << t;
        EXPECT_FALSE(ChkCPF(StrZero(u(t), 11))) << t;
    }
    // A registration typed without its leading zeros is made whole.
    EXPECT_TRUE(ChkCPF(StrZero(u("12345601"), 11)));
}

TEST(StrSpc, CutsOrPadsWithBlanks)
{
    EXPECT_EQ(StrSpc(u("abc"), 5), QStringLiteral("abc  "));
    EXPECT_EQ(StrSpc(u("abcdef"), 3), QStringLiteral("abc"));
    EXPECT_EQ(StrSpc(u("abc"), 3), QStringLiteral("abc"));
    EXPECT_EQ(StrSpc(u(""), 2), QStringLiteral("  "));
    EXPECT_EQ(StrSpc(u("abc"), 0), QString());
}

TEST(SemDizima, RoundsToCentsHalfAwayFromZero)
{
    struct Case {
        double value;
        double rounded;
    };
    const Case cases[] = {
        {2.675, 2.68}, {1.005, 1.01}, {-2.675, -2.68}, {0.004, 0}, {10.0, 10.0}, {123456789.125, 123456789.13},
        {0.125, 0.13}, {-0.005, -0.01},
    };
    for (const Case& c : cases)
        EXPECT_DOUBLE_EQ(SemDizima(c.value), c.rounded) << c.value;
}

TEST(SemDizima, DoesNotDependOnTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_DOUBLE_EQ(SemDizima(1234.565), 1234.57);
    QLocale::setDefault(QLocale::system());
}

TEST(MinZero, NegativesBecomeZero)
{
    EXPECT_EQ(minzero(-0.01), 0);
    EXPECT_EQ(minzero(0), 0);
    EXPECT_EQ(minzero(3.5), 3.5);
}

TEST(GetToken, CutsTheFirstTokenAndTheSeparatorsAfterIt)
{
    struct Case {
        const char* text;
        const char* separators;
        const char* token;
        const char* rest;
    };
    const Case cases[] = {
        {"a;;b", ";", "a", "b"},
        {"ab;;cd", ";", "ab", "cd"},
        {"abc", ";", "abc", ""},
        {";a", ";", "", "a"},
        {"a, b;c", ",; ", "a", "b;c"},
        {"", ";", "", ""},
        {"a;", ";", "a", ""},
    };
    for (const Case& c : cases) {
        QString text = u(c.text);
        EXPECT_EQ(GetToken(text, u(c.separators)), u(c.token)) << c.text;
        EXPECT_EQ(text, u(c.rest)) << c.text;
    }
}

TEST(GetXMLToken, TextBetweenTheFirstTags)
{
    const QString xml = u("<r><Protocolo>123</Protocolo><Protocolo>456</Protocolo><Vazio></Vazio></r>");
    EXPECT_EQ(GetXMLToken(xml, u("Protocolo")), QStringLiteral("123"));
    EXPECT_EQ(GetXMLToken(xml, u("Vazio")), QString());
    EXPECT_EQ(GetXMLToken(xml, u("Data")), QString());
    EXPECT_EQ(GetXMLToken(u("<a>x"), u("a")), QString());
    EXPECT_EQ(GetXMLToken(u("</a>x<a>"), u("a")), QString()); // closing before opening
    EXPECT_EQ(GetXMLToken(u("<A>x</A>"), u("a")), QString());  // names are case-sensitive
}

// ---- Dates ----

class DatesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        vorta::setClock([] { return QDateTime(QDate(2026, 12, 10), QTime(9, 0)); });
        vorta::setStandardBias(180); // three hours behind UTC
    }
    void TearDown() override
    {
        vorta::setClock({});
        vorta::setStandardBias(std::nullopt);
    }
};

TEST_F(DatesTest, TestaDataAcceptsDatesAndReportsTheRest)
{
    vorta::testing::ScriptedDialogs dialogs;
    EXPECT_TRUE(TestaData(u("29/02/2004")));
    EXPECT_TRUE(TestaData(u("01/01/2004 10:00")));
    dialogs.expectMessage(vorta::ui::MessageKind::Error, u("Data Inválida !"), 1);
    EXPECT_FALSE(TestaData(u("30/02/2004")));
    dialogs.expectMessage(vorta::ui::MessageKind::Error, u("Data Inválida !"), 1);
    EXPECT_FALSE(TestaData(u("")));
    EXPECT_TRUE(dialogs.allAnswered());
}

TEST_F(DatesTest, LastDayOfTheMonthKeepsTheTime)
{
    for (int day = 1; day <= 29; ++day)
        EXPECT_EQ(UltimoDiadoMes(QDateTime(QDate(2004, 2, day), QTime(10, 30))),
                  QDateTime(QDate(2004, 2, 29), QTime(10, 30)));
    EXPECT_EQ(UltimoDiadoMes(QDateTime(QDate(2003, 2, 3), QTime())).date(), QDate(2003, 2, 28));
    EXPECT_EQ(UltimoDiadoMes(QDateTime(QDate(2004, 12, 31), QTime())).date(), QDate(2004, 12, 31));
    EXPECT_EQ(UltimoDiadoMes(QDateTime(QDate(2004, 4, 1), QTime())).date(), QDate(2004, 4, 30));
}

TEST_F(DatesTest, DateInTheMonthFromTheOther)
{
    const QDateTime d2(QDate(2004, 2, 10), QTime(0, 0));
    struct Case {
        QDate d1;
        bool inside;
    };
    const Case cases[] = {
        {QDate(2004, 2, 10), true}, {QDate(2004, 2, 29), true}, {QDate(2004, 2, 9), false},
        {QDate(2004, 3, 1), false}, {QDate(2003, 2, 15), false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(DatanoMesAno(QDateTime(c.d1, QTime(0, 0)), d2), c.inside) << c.d1.toString().toStdString();
}

TEST_F(DatesTest, UnixSecondsAndLocalStandardTime)
{
    // 2004-02-29 13:00:00 UTC is 10:00 three hours behind.
    const qint64 seconds = 1078059600;
    EXPECT_EQ(UTCToDateTime(seconds), QDateTime(QDate(2004, 2, 29), QTime(10, 0)));
    EXPECT_EQ(DateTimeToUTC(QDateTime(QDate(2004, 2, 29), QTime(10, 0))), seconds);
    EXPECT_EQ(UTCToDateTime(0), QDateTime(QDate(1969, 12, 31), QTime(21, 0)));
    // Milliseconds round to the nearest second, also before 1970.
    EXPECT_EQ(DateTimeToUTC(QDateTime(QDate(2004, 2, 29), QTime(10, 0, 0, 600))), seconds + 1);
    EXPECT_EQ(DateTimeToUTC(QDateTime(QDate(2004, 2, 29), QTime(10, 0, 0, 400))), seconds);
    EXPECT_EQ(DateTimeToUTC(QDateTime(QDate(1969, 12, 31), QTime(20, 59, 59, 400))), -1);
    // Beyond 2038: 64-bit seconds.
    const qint64 late = 4102444800; // 2100-01-01 00:00 UTC
    EXPECT_EQ(DateTimeToUTC(UTCToDateTime(late)), late);
    vorta::setStandardBias(-60);
    EXPECT_EQ(UTCToDateTime(seconds), QDateTime(QDate(2004, 2, 29), QTime(14, 0)));
}

TEST_F(DatesTest, FixedFormatDateTimeWhateverTheLocale)
{
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedStates));
    EXPECT_EQ(UTCFormatToDateTime(u("2004-02-03T04:05:06")), QDateTime(QDate(2004, 2, 3), QTime(4, 5, 6)));
    EXPECT_EQ(UTCFormatToDateTime(u("2004/12/31 23:59:59.999Z")), QDateTime(QDate(2004, 12, 31), QTime(23, 59, 59)));
    QLocale::setDefault(QLocale::system());
    const char* bad[] = {"2004-02-30T04:05:06", "2004-02-03", "", "abcd-ef-ghTij:kl:mn"};
    for (const char* t : bad)
        EXPECT_THROW(UTCFormatToDateTime(u(t)), vorta::EConvertError) << t;
}

// ---- Files and drives ----

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        root = dir.path() + "/";
        touch(root + "a.txt", "12345");
        touch(root + "b.dat");
        QDir(root).mkpath("sub/deep");
        touch(root + "sub/c.txt");
        touch(root + "sub/deep/d.txt");
        touch(root + "sub/deep/e.dat");
        // Deleted folders go to a trash of the test's own, not the user's.
        m_savedDataHome = qgetenv("XDG_DATA_HOME");
        qputenv("XDG_DATA_HOME", dataHome.path().toUtf8());
    }
    void TearDown() override
    {
        for (QChar letter : {QChar('A'), QChar('B')})
            vorta::os::setDrivePath(letter, QString());
        if (m_savedDataHome.isNull())
            qunsetenv("XDG_DATA_HOME");
        else
            qputenv("XDG_DATA_HOME", m_savedDataHome);
    }
    QTemporaryDir dir;
    QTemporaryDir dataHome;
    QString root;

private:
    QByteArray m_savedDataHome;
};

TEST_F(FilesTest, FileSizeOfFilesOnly)
{
    EXPECT_EQ(GetFileSize(root + "a.txt"), 5);
    EXPECT_EQ(GetFileSize(root + "sub"), -1);
    EXPECT_EQ(GetFileSize(root + "missing.txt"), -1);
    EXPECT_EQ(GetFileSize(QString()), -1);
}

TEST_F(FilesTest, GetFilesListsTheFolderAndWithRecursionTheSubFolders)
{
    QStringList list;
    GetFiles(root + "*.txt", list, false, {}, vorta::os::faAnyFile);
    EXPECT_EQ(list, QStringList({root + "a.txt"}));

    list.clear();
    QStringList seen;
    GetFiles(root + "*.txt", list, true, [&](const vorta::os::SearchRec& r) { seen << r.name; }, 0);
    EXPECT_EQ(list, QStringList({root + "a.txt", root + "sub/c.txt", root + "sub/deep/d.txt"}));
    // The callback also meets every entry of each sub-folder search, folders included.
    EXPECT_TRUE(seen.contains("sub"));
    EXPECT_TRUE(seen.contains("deep"));
    EXPECT_TRUE(seen.contains("b.dat"));
    EXPECT_TRUE(seen.contains(".."));
    EXPECT_EQ(seen.count("a.txt"), 2); // once found, once met by the folder search

    list.clear();
    GetFiles(root + "missing/*.*", list, true, {}, vorta::os::faAnyFile);
    EXPECT_TRUE(list.isEmpty());
}

TEST_F(FilesTest, GetFilesOfABareMaskNamesTheEntriesOfTheCurrentFolder)
{
    // No folder part: the names stay relative, never put under the root.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    QStringList list;
    GetFiles(u("*.txt"), list, true, {}, 0);
    QDir::setCurrent(previous);
    EXPECT_EQ(list, QStringList({u("a.txt"), u("sub/c.txt"), u("sub/deep/d.txt")}));
}

TEST_F(FilesTest, GetFilesOfADriveLetter)
{
    vorta::os::setDrivePath('A', dir.path());
    QStringList list;
    GetFiles(u("A:\\*.txt"), list, false, {}, vorta::os::faAnyFile);
    EXPECT_EQ(list, QStringList({root + "a.txt"}));
    list.clear();
    GetFiles(u("a:\\sub\\*.txt"), list, false, {}, vorta::os::faAnyFile);
    EXPECT_EQ(list, QStringList({root + "sub/c.txt"}));
    // A drive with nothing behind it lists nothing, not the current folder.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    list.clear();
    GetFiles(u("K:\\*.*"), list, true, {}, vorta::os::faAnyFile);
    QDir::setCurrent(previous);
    EXPECT_TRUE(list.isEmpty()) << list.join(" ").toStdString();
}

TEST_F(FilesTest, DeleteFolderWholeOrItsContents)
{
    EXPECT_TRUE(DeleteFolder(root + "sub", true));
    EXPECT_TRUE(QDir(root + "sub").exists());
    EXPECT_TRUE(QDir(root + "sub").isEmpty(QDir::AllEntries | QDir::Hidden | QDir::NoDotAndDotDot));
    EXPECT_TRUE(DeleteFolder(root + "sub/", false));
    EXPECT_FALSE(QDir(root + "sub").exists());
    EXPECT_TRUE(QFile::exists(root + "a.txt"));
    EXPECT_FALSE(DeleteFolder(root + "sub", false));
    EXPECT_FALSE(DeleteFolder(QString(), true));
    EXPECT_FALSE(DeleteFolder(root + "a.txt", false));
    EXPECT_TRUE(QFile::exists(root + "a.txt"));
}

// Deleting allows undo: what goes lands in the user's trash, where it can be fetched back.
TEST_F(FilesTest, DeleteFolderPutsWhatItDeletesIntoTheTrash)
{
    touch(root + "sub/deep/marker-whole.txt", "w");
    EXPECT_TRUE(DeleteFolder(root + "sub", false));
    EXPECT_FALSE(QDir(root + "sub").exists());
    QDir(root).mkpath("keep");
    touch(root + "keep/marker-part.txt", "p");
    EXPECT_TRUE(DeleteFolder(root + "keep", true));
    EXPECT_TRUE(QDir(root + "keep").exists());

    // The trash of the home volume, or the one at the top of the temporary folder's volume.
    QStringList trashes{dataHome.path() + "/Trash/files"};
    const QString top = QStorageInfo(dir.path()).rootPath();
    for (const QString& name : QDir(top).entryList({".Trash*"}, QDir::Dirs | QDir::Hidden))
        trashes << QDir(top).filePath(name) + "/files";
    auto trashed = [&](const QString& file) {
        for (const QString& t : trashes) {
            QDirIterator it(t, {file}, QDir::Files, QDirIterator::Subdirectories);
            if (it.hasNext())
                return true;
        }
        return false;
    };
    EXPECT_TRUE(trashed("marker-whole.txt"));
    EXPECT_TRUE(trashed("marker-part.txt"));
}

TEST_F(FilesTest, DriveFunctionsTestTheDriveTheyAreGiven)
{
    QTemporaryDir empty;
    vorta::os::setDrivePath('A', empty.path());
    vorta::os::setDrivePath('B', dir.path());
    // The current folder has files, but A is the drive asked about.
    const QString previous = QDir::currentPath();
    QDir::setCurrent(dir.path());
    EXPECT_TRUE(IsEmpty('A'));
    EXPECT_TRUE(IsEmpty('a'));
    EXPECT_FALSE(IsEmpty('B'));
    QDir(empty.path()).mkdir("only-a-folder");
    EXPECT_TRUE(IsEmpty('A'));
    QDir::setCurrent(previous);
    EXPECT_TRUE(IsEmpty('K')); // a drive with nothing behind it

    EXPECT_TRUE(DiskInDrive('a'));
    EXPECT_TRUE(DiskInDrive('B'));
    EXPECT_FALSE(DiskInDrive('K'));
    try {
        DiskInDrive('1');
        FAIL() << "no error";
    } catch (const vorta::EConvertError& e) {
        EXPECT_EQ(e.message(), u("Não existe disco no drive !"));
    }

    EXPECT_GE(TemEspaco(1), 0);
    EXPECT_EQ(TemEspaco(11), -1); // K: nothing behind it
    EXPECT_EQ(TemEspaco(99), -1);
    EXPECT_EQ(TemEspaco(-1), -1);
    EXPECT_GE(TemEspaco(0), 0);
}

TEST_F(FilesTest, FreeSpaceIsTheWholeCountOfTheDriveAsked)
{
    // Both drives on the same file system as the temporary folder; sizes beyond 4 GiB
    // would come back as their low 32 bits if cut.
    vorta::os::setDrivePath('A', dir.path());
    const QStorageInfo storage(dir.path());
    ASSERT_TRUE(storage.isValid());
    const qint64 expected = storage.bytesAvailable();
    const qint64 free = TemEspaco(1);
    // Other programs may write meanwhile; a cut count would be off by a multiple of 4 GiB.
    EXPECT_LT(std::llabs(free - expected), qint64(256) << 20) << free << " " << expected;
    if (expected > 0xFFFFFFFFLL) {
        EXPECT_GT(free, 0xFFFFFFFFLL);
    }
    EXPECT_EQ(vorta::os::driveSize(1).value_or(-1), storage.bytesTotal());
}

// ---- Registry ----

TEST(PegaURL, TheUpdateAddressOrErro)
{
    vorta::testing::TempInstallation installation;
    vorta::os::Registry registry;
    EXPECT_EQ(PegaURL(), QString()); // no key yet, and none is created
    EXPECT_FALSE(registry.keyExists(u("\\Software\\Kalvi\\Vorta\\Servidor\\")));
    ASSERT_TRUE(registry.openKey(u("\\Software\\Kalvi\\Vorta\\Servidor\\"), true));
    registry.writeString(u("LiveUpdate"), u("http://127.0.0.1/upd/"));
    EXPECT_EQ(PegaURL(), QStringLiteral("http://127.0.0.1/upd/"));
    registry.writeInteger(u("LiveUpdate"), 5);
    EXPECT_EQ(PegaURL(), QStringLiteral("Erro"));
}

// ---- Fiscal operation natures ----

TEST(Naturezas, KindsAndCodes)
{
    EXPECT_EQ(Natureza(1), QStringLiteral("Entrada"));
    EXPECT_EQ(Natureza(12), QStringLiteral("Entrada"));
    EXPECT_EQ(Natureza(51), QStringLiteral("Saida"));
    EXPECT_EQ(Natureza(62), QStringLiteral("Saida"));
    for (int code : {0, 13, 50, 63, -1})
        EXPECT_EQ(Natureza(code), QString()) << code;

    for (int n = 1; n <= 12; ++n) {
        EXPECT_EQ(NaturezaOperacao(u("Entrada"), n), n + 50);
        EXPECT_EQ(NaturezaOperacao(u("Saida"), n + 50), n);
    }
    EXPECT_EQ(NaturezaOperacao(u("Entrada"), 51), 0);
    EXPECT_EQ(NaturezaOperacao(u("Saida"), 5), 0);
}

TEST(Naturezas, ValidPairsOfTipoOperacao)
{
    struct Case {
        int entry;
        int exit;
        const char* uf;
        bool valid;
    };
    const Case cases[] = {
        {1, 51, "QX", true},  {1, 51, "SP", false}, {1, 51, "EX", false},
        {2, 52, "QX", false}, {2, 52, "SP", true},  {2, 52, "EX", false},
        {3, 53, "QX", true},  {3, 53, "SP", true},  {8, 58, "EX", false},
        {3, 54, "QX", false}, {3, 54, "SP", false}, {3, 54, "EX", false},
        {9, 59, "EX", true},  {9, 59, "QX", false},
        {10, 60, "SP", true}, {11, 61, "QX", true}, {11, 61, "EX", false},
        {12, 62, "QX", true}, {12, 62, "SP", false},
        {13, 63, "QX", false}, {0, 50, "QX", false},
    };
    for (const Case& c : cases)
        EXPECT_EQ(TipoOperacao(c.entry, c.exit, u(c.uf)), c.valid) << c.entry << " " << c.exit << " " << c.uf;
}

} // namespace
