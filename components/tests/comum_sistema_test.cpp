#include "comum.h"

#include "platform/core/Clock.h"
#include "platform/core/Exceptions.h"
#include "platform/os/Drives.h"
#include "platform/os/RawPrint.h"
#include "platform/os/Registry.h"
#include "platform/ui/Dialogs.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <dlfcn.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

class FolderTest : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString root() const { return dir.path() + QLatin1Char('/'); }
    void write(const QString& name, const QByteArray& bytes = "x")
    {
        QDir().mkpath(QFileInfo(root() + name).absolutePath());
        QFile f(root() + name);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray read(const QString& name)
    {
        QFile f(root() + name);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }
};

TEST_F(FolderTest, EndOfUpdAddsTheExecutableAndKeepsTheListBefore)
{
    comum_detail::RecordUpdate(root() + "setup_update2.exe");
    EXPECT_EQ(read("UpDates.TxT"), "SETUP_UP\r\n");
    EXPECT_FALSE(QFile::exists(root() + "UpDates.Old")); // nothing to keep yet

    comum_detail::RecordUpdate(root() + "zir");
    EXPECT_EQ(read("UpDates.TxT"), "SETUP_UP\r\nZIR\r\n");
    EXPECT_EQ(read("UpDates.Old"), "SETUP_UP\r\n");
}

TEST_F(FolderTest, HasAttrNeedsEveryBitAndAnswersFalseForAMissingName)
{
    write(".hidden");
    write("plain");
    write(".hiddenro");
    ::chmod(QFile::encodeName(root() + ".hiddenro").constData(), 0444);
    struct Case { const char* name; std::uint16_t bits; bool expected; };
    const Case cases[] = {
        {".hidden", vorta::os::faHidden, true},
        {".hidden", vorta::os::faHidden | vorta::os::faReadOnly, false},
        {".hiddenro", vorta::os::faHidden | vorta::os::faReadOnly, true},
        {"plain", vorta::os::faArchive, true},
        {"plain", vorta::os::faHidden, false},
        {"missing", vorta::os::faHidden, false},
        {"missing", 0, false},
    };
    const bool root = ::geteuid() == 0; // root writes anything: no read-only files
    for (const Case& c : cases) {
        if (root && (c.bits & vorta::os::faReadOnly))
            continue;
        EXPECT_EQ(HasAttr(this->root() + c.name, c.bits), c.expected) << c.name << " " << c.bits;
    }
}

TEST_F(FolderTest, GetFileSizeOfTheFirstMatchAndMinusOneForFoldersAndNothing)
{
    write("b.txt", "12345");
    write("c.txt", "1");
    QDir().mkpath(root() + "sub");
    EXPECT_EQ(GetFileSize(root() + "b.txt"), 5);
    EXPECT_EQ(GetFileSize(root() + "*.txt"), 5);
    EXPECT_EQ(GetFileSize(root() + "sub"), -1);
    EXPECT_EQ(GetFileSize(root() + "none*"), -1);
    EXPECT_EQ(GetFileSize(QString()), -1);
}

TEST_F(FolderTest, ListDirListsMaskByMaskSubFoldersFirstAndLeavesTheCurrentFolder)
{
    write("b.doc");
    write("a.txt");
    write("z.txt");
    write("other.pdf");
    write("sub/s.txt");
    write(".h.txt"); // hidden, and an ordinary file too: the set needs one of its bits
    const QString cwd = QDir::currentPath();

    QStringList list;
    ListDir(dir.path(), {ftArchive}, "*.txt;*.doc", list, false);
    EXPECT_EQ(list, QStringList({root() + ".h.txt", root() + "a.txt", root() + "z.txt", root() + "b.doc"}));

    list.clear();
    ListDir(dir.path(), {ftArchive}, "*.txt", list, true);
    EXPECT_EQ(list, QStringList({root() + "sub/s.txt", root() + ".h.txt", root() + "a.txt", root() + "z.txt"}));

    list.clear();
    ListDir(root(), {ftHidden, ftDirectory}, "*.*", list, false);
    EXPECT_EQ(list, QStringList({root() + ".h.txt", root() + "sub"})); // no "." nor ".."

    list.clear();
    ListDir(root(), {ftNormal}, "*.*", list, false);
    EXPECT_TRUE(list.isEmpty());
    EXPECT_EQ(QDir::currentPath(), cwd);

    EXPECT_THROW(ListDir(root() + "missing", {ftArchive}, "*.*", list, false), vorta::EInOutError);
}

TEST_F(FolderTest, IsEmptyLooksAtTheCurrentFolderOnly)
{
    const QString cwd = QDir::currentPath();
    QDir().mkpath(root() + "empty/sub");
    write("full/f.txt");
    QDir::setCurrent(root() + "empty");
    EXPECT_TRUE(comum::IsEmpty('X')); // a folder alone is no file
    QDir::setCurrent(root() + "full");
    EXPECT_FALSE(comum::IsEmpty('X'));
    QDir::setCurrent(cwd);
}

TEST_F(FolderTest, SaveStringToFileByMode)
{
    SaveStringToFile(QStringLiteral("ação"), root() + "a.txt", fmCreate);
    EXPECT_EQ(read("a.txt"), QByteArray("a\xE7\xE3o"));
    SaveStringToFile("XY", root() + "a.txt", fmOpenWrite);
    EXPECT_EQ(read("a.txt"), QByteArray("XY\xE3o")); // written over the start
    SaveStringToFile("", root() + "a.txt", fmCreate);
    EXPECT_TRUE(QFile::exists(root() + "a.txt"));
    EXPECT_EQ(read("a.txt"), QByteArray());
    SaveStringToFile("", root() + "new.txt", fmCreate);
    EXPECT_EQ(read("new.txt"), QByteArray());

    EXPECT_THROW(SaveStringToFile("x", root() + "missing.txt", fmOpenWrite), vorta::EFOpenError);
    EXPECT_FALSE(QFile::exists(root() + "missing.txt"));
    EXPECT_THROW(SaveStringToFile("x", root() + "a.txt", fmOpenRead), vorta::EInOutError);
    EXPECT_THROW(SaveStringToFile("x", root() + "no/such/folder.txt", fmCreate), vorta::EFOpenError);
}

TEST_F(FolderTest, AppendLogCreatesTheFileAndAppendsLines)
{
    vorta::setClock([] { return QDateTime(QDate(2004, 12, 31), QTime(23, 59, 0)); });
    AppendLog(root() + "app.log", QStringLiteral("início"));
    EXPECT_EQ(read("app.log"), QByteArray("\"31/12/2004 23:59:00\"in\xED" "cio\r\n"));
    AppendLog(root() + "app.log", "two");
    EXPECT_EQ(read("app.log"), QByteArray("\"31/12/2004 23:59:00\"in\xED" "cio\r\n\"31/12/2004 23:59:00\"two\r\n"));
    EXPECT_NO_THROW(AppendLog(root() + "no/folder/app.log", "x"));
    EXPECT_FALSE(QFile::exists(root() + "no/folder/app.log"));
    vorta::setClock({});
}

TEST(RenameKeyTest, MovesValuesAndSubKeysAndReportsFailures)
{
    vorta::testing::TempInstallation inst;
    {
        vorta::os::Registry reg;
        ASSERT_TRUE(reg.openKey("\\Software\\Old", true));
        reg.writeString("Nome", "valor");
        reg.writeInteger("Numero", 7);
        ASSERT_TRUE(reg.openKey("\\Software\\Old\\Filho", true));
        reg.writeBool("Ligado", true);
    }
    RenameKey(vorta::os::RootKey::LocalMachine, "\\Software\\Old", "\\Software\\New");
    vorta::os::Registry reg;
    EXPECT_FALSE(reg.keyExists("\\Software\\Old"));
    ASSERT_TRUE(reg.openKey("\\Software\\New", false));
    EXPECT_EQ(reg.readString("Nome"), "valor");
    EXPECT_EQ(reg.readInteger("Numero"), 7);
    ASSERT_TRUE(reg.openKey("\\Software\\New\\Filho", false));
    EXPECT_TRUE(reg.readBool("Ligado"));

    vorta::testing::ScriptedDialogs dialogs;
    dialogs.expectMessage(vorta::ui::MessageKind::Custom, "ERRO AO MUDAR CHAVE", 1);
    RenameKey(vorta::os::RootKey::LocalMachine, "\\Software\\Old", "\\Software\\Other");
    dialogs.expectMessage(vorta::ui::MessageKind::Custom, "ERRO AO MUDAR CHAVE", 1);
    {
        vorta::os::Registry r;
        r.openKey("\\Software\\Taken", true);
    }
    RenameKey(vorta::os::RootKey::LocalMachine, "\\Software\\New", "\\Software\\Taken");
    EXPECT_TRUE(reg.keyExists("\\Software\\New\\Filho")); // left where it was
}

TEST(ExeSizeTest, TheLibraryImageEndsAtItsLastSectionAndOtherFilesGiveZero)
{
    const qint64 size = GetExeSize();
    EXPECT_GT(size, 1000);
    QTemporaryDir dir;
    const QString copy = dir.path() + "/lib.so";
    Dl_info info;
    ASSERT_TRUE(dladdr(reinterpret_cast<void*>(&GetExeSize), &info));
    ASSERT_TRUE(QFile::copy(QFile::decodeName(info.dli_fname), copy));
    EXPECT_LE(size, QFileInfo(copy).size());
    {
        QFile f(copy);
        ASSERT_TRUE(f.open(QIODevice::Append));
        f.write(QByteArray(5000, 'z')); // data appended to the image is not part of it
    }
    EXPECT_EQ(comum_detail::ImageSize(copy), size);
    QFile text(dir.path() + "/t.txt");
    ASSERT_TRUE(text.open(QIODevice::WriteOnly));
    text.write("MZ not really");
    text.close();
    EXPECT_EQ(comum_detail::ImageSize(text.fileName()), 0);
    EXPECT_EQ(comum_detail::ImageSize(dir.path() + "/missing"), 0);
}

TEST(BitmapToRegionTest, OpaqueRunsBecomeTheRegion)
{
    QImage image(4, 3, QImage::Format_RGB888);
    image.fill(QColor(10, 20, 30));
    image.setPixelColor(1, 0, QColor(200, 0, 0));
    image.setPixelColor(2, 0, QColor(200, 0, 0));
    image.setPixelColor(3, 2, QColor(12, 22, 40)); // blue beyond its tolerance
    image.setPixelColor(0, 2, QColor(12, 22, 32)); // inside every tolerance
    const std::uint32_t colour = 10 | (20 << 8) | (30 << 16);
    const QRegion region = BitmapToRegion(image, colour, 5, 5, 5);
    EXPECT_EQ(image.format(), QImage::Format_RGB32);
    QRegion expected(QRect(1, 0, 2, 1));
    expected += QRect(3, 2, 1, 1);
    EXPECT_EQ(region, expected);

    QImage plain(8, 8, QImage::Format_RGB32);
    plain.fill(QColor(10, 20, 30));
    EXPECT_TRUE(BitmapToRegion(plain, colour, 0, 0, 0).isEmpty());

    EXPECT_THROW(BitmapToRegion(plain, 0x80000005u, 0, 0, 0), vorta::ERangeError);
    QImage wide(8193, 1, QImage::Format_RGB32);
    EXPECT_THROW(BitmapToRegion(wide, 0, 0, 0, 0), vorta::ERangeError);
}

TEST(BitmapToRegionTest, ManyRunsAreMergedInBatches)
{
    // 100 rows of 30 single-pixel runs: more than one batch of 2,000 rectangles.
    QImage image(60, 100, QImage::Format_RGB32);
    image.fill(Qt::white);
    QRegion expected;
    for (int y = 0; y < 100; ++y)
        for (int x = 0; x < 60; x += 2) {
            image.setPixel(x, y, qRgb(0, 0, 0));
            expected += QRect(x, y, 1, 1);
        }
    EXPECT_EQ(BitmapToRegion(image, 0xFFFFFF, 0, 0, 0), expected);
}

TEST(WorkAreaTest, GetWindowsWorkAreaFillsTheRectangle)
{
    vorta::os::setWorkAreaOverride(vorta::os::Rect{0, 0, 800, 560});
    vorta::os::Rect r;
    EXPECT_TRUE(GetWindowsWorkArea(r));
    EXPECT_EQ(r, (vorta::os::Rect{0, 0, 800, 560}));
    vorta::os::setWorkAreaOverride(std::nullopt);
}

} // namespace

namespace {

// A spooler that records each step and can fail at one of them.
class RecordingSpooler : public vorta::os::RawSpooler {
public:
    QString printer = "Matricial";
    QString failAt;
    QStringList steps;
    QByteArray data;
    int writes = 0;
    int failWrite = -1;
    QString defaultPrinter() override { return printer; }
    bool openPrinter(const QString& name) override { return step("open " + name, "open"); }
    bool startDoc(const QString& doc, const QString& type) override { return step("doc " + doc + " " + type, "doc"); }
    bool startPage() override { return step("page", "page"); }
    bool write(const QByteArray& bytes) override
    {
        if (writes++ == failWrite)
            return false;
        data += bytes;
        return true;
    }
    void endPage() override { steps << "end page"; }
    void endDoc() override { steps << "end doc"; }
    void closePrinter() override { steps << "close"; }

private:
    bool step(const QString& what, const QString& key)
    {
        steps << what;
        return failAt != key;
    }
};

struct SpoolerGuard {
    RecordingSpooler spooler;
    SpoolerGuard() { vorta::os::setRawSpooler(&spooler); }
    ~SpoolerGuard() { vorta::os::setRawSpooler(nullptr); }
};

TEST_F(FolderTest, PrintFileSendsTheBytesAndEndsEveryStepItStarted)
{
    QByteArray content;
    for (int i = 0; i < 40000; ++i)
        content += char(i % 251);
    write("job.prn", content);
    {
        SpoolerGuard g;
        PrintFile(root() + "job.prn");
        EXPECT_EQ(g.spooler.data, content);
        EXPECT_EQ(g.spooler.writes, 3); // blocks of 16,384 bytes
        EXPECT_EQ(g.spooler.steps, QStringList({"open Matricial", "doc MyDocument RAW", "page", "end page", "end doc", "close"}));
    }
    struct Case { const char* failAt; int failWrite; QStringList steps; };
    const Case cases[] = {
        {"open", -1, {"open Matricial"}},
        {"doc", -1, {"open Matricial", "doc MyDocument RAW", "close"}},
        {"page", -1, {"open Matricial", "doc MyDocument RAW", "page", "end doc", "close"}},
        {"", 1, {"open Matricial", "doc MyDocument RAW", "page", "end page", "end doc", "close"}},
    };
    for (const Case& c : cases) {
        SpoolerGuard g;
        g.spooler.failAt = c.failAt;
        g.spooler.failWrite = c.failWrite;
        PrintFile(root() + "job.prn");
        EXPECT_EQ(g.spooler.steps, c.steps) << c.failAt;
        EXPECT_EQ(g.spooler.data.size(), c.failWrite == 1 ? 16384 : 0) << c.failAt;
    }
    SpoolerGuard g;
    EXPECT_THROW(PrintFile(root() + "missing.prn"), vorta::EInOutError);
    EXPECT_TRUE(g.spooler.steps.isEmpty()); // no job for a file that is not there
}

} // namespace
