#include "platform/os/Registry.h"

#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

using vorta::os::Registry;

namespace {
class RegistryTest : public ::testing::Test {
protected:
    void SetUp() override { qputenv("VORTA_REGISTRY", QFile::encodeName(dir.path() + "/registry")); }
    void TearDown() override { qunsetenv("VORTA_REGISTRY"); }
    QTemporaryDir dir;
};
} // namespace

TEST_F(RegistryTest, OpeningWithoutCreatingFailsOnAMissingKey)
{
    Registry reg;
    EXPECT_FALSE(reg.openKeyReadOnly("\\Software\\Kalvi\\Vorta\\"));
    EXPECT_FALSE(reg.openKey("\\Software\\Kalvi\\Vorta\\", false));
    EXPECT_FALSE(QFile::exists(Registry::storePath()));
}

TEST_F(RegistryTest, ValuesSurviveInTheFileWithTheirTypes)
{
    {
        Registry reg;
        ASSERT_TRUE(reg.openKey("\\Software\\Kalvi\\Vorta\\", true));
        reg.writeString("Path", "/opt/vorta/\nwith=odd\\chars");
        reg.writeBool("Enable", true);
        reg.writeInteger("Count", -3);
    }
    Registry again;
    ASSERT_TRUE(again.openKeyReadOnly("\\SOFTWARE\\kalvi\\Vorta"));
    EXPECT_EQ(again.readString("path"), "/opt/vorta/\nwith=odd\\chars");
    EXPECT_TRUE(again.readBool("Enable"));
    EXPECT_EQ(again.readInteger("Count"), -3);
    EXPECT_EQ(again.readString("Missing"), "");
    EXPECT_THROW(again.readBool("Missing"), vorta::os::ERegistryException);
    EXPECT_THROW(again.writeString("x", "y"), vorta::os::ERegistryException); // read-only
}

TEST_F(RegistryTest, SubkeysListInNameOrderAndAParentKeyExistsThroughThem)
{
    Registry reg;
    for (const char* name : {"zir", "KOB", "Alfa"}) {
        ASSERT_TRUE(reg.openKey(QString("\\Software\\Kalvi\\Vorta\\Modulos\\") + name, true));
        reg.writeString("Versao", "1");
    }
    ASSERT_TRUE(reg.openKeyReadOnly("\\Software\\Kalvi\\Vorta\\Modulos\\"));
    EXPECT_EQ(reg.getKeyNames(), QStringList({"Alfa", "KOB", "zir"}));
    EXPECT_TRUE(reg.keyExists("\\Software\\Kalvi\\Vorta"));
    EXPECT_TRUE(reg.deleteKey("\\Software\\Kalvi\\Vorta\\Modulos\\KOB"));
    ASSERT_TRUE(reg.openKeyReadOnly("\\Software\\Kalvi\\Vorta\\Modulos\\"));
    EXPECT_EQ(reg.getKeyNames(), QStringList({"Alfa", "zir"}));
}

TEST_F(RegistryTest, TwoWritersThroughSeparateObjectsKeepEachOthersValues)
{
    Registry a, b;
    ASSERT_TRUE(a.openKey("\\K", true));
    ASSERT_TRUE(b.openKey("\\K", true));
    a.writeString("A", "1");
    b.writeString("B", "2");
    a.writeString("A2", "3");
    Registry c;
    ASSERT_TRUE(c.openKeyReadOnly("\\K"));
    EXPECT_EQ(c.readString("A") + c.readString("B") + c.readString("A2"), "123");
}
