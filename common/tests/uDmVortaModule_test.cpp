#include "uDmVortaModule.h"

#include "platform/ui/Application.h"
#include "platform/os/Registry.h"
#include "testing/ScriptedDialogs.h"
#include "testing/TempInstallation.h"

#include <gtest/gtest.h>

#include <QFile>

using vorta::Guarded;
using vorta::testing::ScriptedDialogs;
using vorta::testing::TempInstallation;

namespace {

QStringList g_freed;

class TRecForm : public vorta::ui::Form {
public:
    explicit TRecForm(vorta::Component* owner) : Form(owner) {}
    ~TRecForm() override { g_freed << name(); }
};

class TRecModule : public vorta::ui::DataModule {
public:
    explicit TRecModule(vorta::Component* owner) : DataModule(owner) {}
    ~TRecModule() override { g_freed << name(); }
};

class TBrokenForm : public vorta::ui::Form {
public:
    explicit TBrokenForm(vorta::Component* owner) : Form(owner) { throw vorta::Exception("broken"); }
};

Guarded<TRecForm> Form1, Form2;
Guarded<TRecModule> Dm1;
Guarded<TBrokenForm> Broken;

} // namespace

TEST(Directories, WithoutPathEveryFolderIsABareRelativeName)
{
    TempInstallation inst;
    vorta::os::Registry reg;
    ASSERT_TRUE(reg.openKey("\\Software\\Kalvi\\Vorta\\", false));
    reg.deleteValue("Path");
    InicializarVariaveisGlobais();
    EXPECT_EQ(DirVorta, "");
    EXPECT_EQ(QStringList({DirModulos, DirDados, DirUpd, DirTemp, DirArquivos, DirBackup}),
              QStringList({"modulos/", "dados/", "updates/", "temp/", "arquivos/", "backup/"}));
}

TEST(Directories, FoldersFollowThePathAsWritten)
{
    TempInstallation inst;
    InicializarVariaveisGlobais();
    EXPECT_EQ(DirVorta, inst.path());
    EXPECT_EQ(DirDados, inst.path() + "dados/");
    EXPECT_EQ(DirBackup, inst.path() + "backup/");

    // No separator is added to a path that lacks one.
    vorta::os::Registry reg;
    ASSERT_TRUE(reg.openKey("\\Software\\Kalvi\\Vorta\\", false));
    reg.writeString("Path", "/opt/vorta");
    InicializarVariaveisGlobais();
    EXPECT_EQ(DirArquivos, "/opt/vortaarquivos/");
}

TEST(FormAutoDestroyer, FreesLastCreatedFirstAndLeavesTheOwnersList)
{
    g_freed.clear();
    vorta::Component owner;
    {
        IFormAutoDestroyer destroyer = TFormAutoDestroyer::Create();
        destroyer->CreateForm(Dm1, &owner)->setName("dm");
        destroyer->CreateForm(Form1, &owner)->setName("first");
        destroyer->CreateForm(Form2, &owner)->setName("second");
        EXPECT_EQ(owner.componentCount(), 3);
        IFormAutoDestroyer another = destroyer; // a second holder keeps them alive
        destroyer.reset();
        EXPECT_TRUE(g_freed.isEmpty());
    }
    EXPECT_EQ(g_freed, QStringList({"second", "first", "dm"}));
    EXPECT_EQ(owner.componentCount(), 0);
    EXPECT_FALSE(Form1); // no dangling variable
}

TEST(FormAutoDestroyer, AConstructorFailureLeavesTheVariableEmptyAndPassesOn)
{
    vorta::Component owner;
    IFormAutoDestroyer destroyer = TFormAutoDestroyer::Create();
    EXPECT_THROW(destroyer->CreateForm(Broken, &owner), vorta::Exception);
    EXPECT_FALSE(Broken);
    EXPECT_EQ(destroyer->count(), 0);
}

TEST(FormAutoDestroyer, AnObjectFreedBeforeTheReleaseIsNotFreedAgain)
{
    g_freed.clear();
    vorta::Component owner;
    {
        IFormAutoDestroyer destroyer = TFormAutoDestroyer::Create();
        destroyer->CreateForm(Form1, &owner)->setName("first");
        owner.destroyComponents();
    }
    EXPECT_EQ(g_freed, QStringList({"first"}));
}

TEST(VortaFormShowModal, FreesTheFormAndRestoresTheCursorEvenWhenCreationFails)
{
    g_freed.clear();
    vorta::ui::setModalHook([](vorta::ui::Form& f) {
        EXPECT_EQ(vorta::Screen::instance().cursor(), vorta::Screen::Cursor::HourGlass);
        EXPECT_TRUE(f.isModal());
        return int(vorta::ui::mrOk);
    });
    EXPECT_EQ(VortaFormShowModal(Form1), vorta::ui::mrOk);
    EXPECT_FALSE(Form1);
    EXPECT_EQ(g_freed.size(), 1);
    EXPECT_EQ(vorta::Screen::instance().cursor(), vorta::Screen::Cursor::Default);

    EXPECT_THROW(VortaFormShowModal(Broken), vorta::Exception);
    EXPECT_EQ(vorta::Screen::instance().cursor(), vorta::Screen::Cursor::Default);

    // Showing that raises: the form is freed all the same.
    g_freed.clear();
    vorta::ui::setModalHook([](vorta::ui::Form&) -> int { throw vorta::Exception("show failed"); });
    EXPECT_THROW(VortaFormShowModal(Form1), vorta::Exception);
    EXPECT_FALSE(Form1);
    EXPECT_EQ(g_freed.size(), 1);
    EXPECT_EQ(vorta::Screen::instance().cursor(), vorta::Screen::Cursor::Default);
    vorta::ui::setModalHook(nullptr);
}

TEST(VortaFormShow, ACreationFailureRestoresTheCursorAndLeavesNoInstance)
{
    EXPECT_THROW(VortaFormShow(Broken), vorta::Exception);
    EXPECT_FALSE(Broken);
    EXPECT_EQ(vorta::Screen::instance().cursor(), vorta::Screen::Cursor::Default);
}

TEST(VortaFormShow, SharesOneInstanceAndEmptiesItsVariableWhenItIsDestroyed)
{
    int destroyedByForm = 0;
    VortaFormShow(Form1);
    TRecForm* first = Form1.get();
    ASSERT_NE(first, nullptr);
    EXPECT_TRUE(first->visibleProperty());
    ASSERT_NE(Procedures, nullptr);
    Procedures->savedOnDestroy = [&](vorta::ui::Form*) { ++destroyedByForm; };
    VortaFormShow(Form1);
    EXPECT_EQ(Form1.get(), first);
    vorta::Component::free(first);
    EXPECT_EQ(destroyedByForm, 1);
    EXPECT_FALSE(Form1);
    EXPECT_EQ(Procedures, nullptr);
}

namespace {
class PackageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        InicializarVariaveisGlobais();
        ASSERT_TRUE(QFile::copy(VORTA_TEST_PACKAGE, DirModulos + "ZTESTE.bpl"));
        ASSERT_TRUE(QFile::copy(VORTA_TEST_PACKAGE, DirModulos + "ZTESTE2.bpl"));
        host = vorta::ui::createForm(hostForm);
        menu = new vorta::ui::MainMenu(host);
        menu->items()->add(NewItemX("&Arquivo", QKeySequence(), false, true, nullptr, 0, "Arquivo", 0));
        host->setMainMenu(menu);
        vorta::Application::instance()->setMainForm(host);
    }
    void TearDown() override
    {
        if (Modulos.indexOf("ZTESTE") >= 0)
            UnLoadVortaPackage("ZTESTE");
        vorta::Application::instance()->setMainForm(nullptr);
        vorta::Component::free(host);
        InicializarVariaveisGlobais();
    }
    TempInstallation inst;
    Guarded<vorta::ui::Form> hostForm;
    vorta::ui::Form* host = nullptr;
    vorta::ui::MainMenu* menu = nullptr;
};
} // namespace

TEST_F(PackageTest, LoadRegistersTheModuleAndMergesItsMenu)
{
    LoadVortaPackage("ZTESTE");
    const int index = Modulos.indexOf("ZTESTE");
    ASSERT_GE(index, 0);
    TDmVortaModule* module = Modulos.object(index);
    ASSERT_NE(module, nullptr);
    EXPECT_EQ(module->tag(), LastModuleInstance);
    EXPECT_EQ(module->owner(), vorta::Application::instance());

    vorta::os::Registry reg;
    ASSERT_TRUE(reg.openKeyReadOnly("\\Software\\Kalvi\\Vorta\\Modulos\\ZTESTE"));
    EXPECT_EQ(reg.readString("Versao"), "3.2.1");
    EXPECT_TRUE(reg.readBool("Enable"));
    EnableVortaModule("ZTESTE", false);
    EXPECT_FALSE(reg.readBool("Enable"));
    QStringList done;
    ListUpdatesDone(done);
    EXPECT_EQ(done, QStringList({"ZTESTE"}));

    vorta::ui::MenuItem* items = menu->items();
    ASSERT_EQ(items->count(), 2);
    vorta::ui::MenuItem* top = items->item(1);
    EXPECT_EQ(top->caption, "&Teste");
    EXPECT_EQ(top->tag(), LastModuleInstance);
    ASSERT_EQ(top->count(), 2);
    EXPECT_EQ(top->item(0)->caption, "Item &A");
    EXPECT_EQ(top->item(0)->helpContext, 17);
    EXPECT_EQ(top->item(0)->shortcut, QKeySequence("Ctrl+A"));
    EXPECT_EQ(top->item(0)->tag(), 0); // only top-level copies carry the package
    ASSERT_EQ(top->item(1)->count(), 1);
    EXPECT_EQ(top->item(1)->item(0)->caption, "Item &B");
    EXPECT_TRUE(top->item(1)->item(0)->checked);
    EXPECT_FALSE(top->item(1)->item(0)->enabled);
}

TEST_F(PackageTest, LoadingTwiceOnlySaysItIsLoaded)
{
    LoadVortaPackage("ZTESTE");
    ScriptedDialogs dialogs;
    dialogs.expectMessage(vorta::ui::MessageKind::Custom, "Módulo já está carregado!", 1);
    LoadVortaPackage("ZTESTE");
    EXPECT_EQ(Modulos.count(), 1);
    EXPECT_EQ(menu->items()->count(), 2);
}

TEST_F(PackageTest, ADuplicateIdentifierIsRefusedAndLeavesNothingOfTheSecondPackage)
{
    LoadVortaPackage("ZTESTE");
    const ModuleHandle loaded = LastModuleInstance;
    const int components = vorta::Application::instance()->componentCount();
    EXPECT_THROW(LoadVortaPackage("ZTESTE2"), vorta::EStringListError);
    EXPECT_EQ(LastModuleInstance, loaded);
    EXPECT_EQ(Modulos.count(), 1);
    EXPECT_EQ(vorta::Application::instance()->componentCount(), components);
    EXPECT_EQ(menu->items()->count(), 2);
}

TEST_F(PackageTest, AMissingFileRaisesThePackageError)
{
    try {
        LoadVortaPackage("NAOEXISTE");
        FAIL() << "no error";
    } catch (const vorta::EPackageError& e) {
        EXPECT_TRUE(e.message().startsWith("ERRO: NAOEXISTE ")) << e.message().toStdString();
        EXPECT_TRUE(e.message().endsWith(" "));
    }
}

TEST_F(PackageTest, AFailingStartUpPassesItsExceptionOn)
{
    qputenv("VORTA_TEST_PACKAGE_FAIL", "1");
    EXPECT_THROW(LoadVortaPackage("ZTESTE"), vorta::Exception);
    qunsetenv("VORTA_TEST_PACKAGE_FAIL");
    EXPECT_EQ(Modulos.indexOf("ZTESTE"), -1);
}

namespace {
// Sets an environment variable for one scope.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const QByteArray& value) : m_name(name) { qputenv(name, value); }
    ~ScopedEnv() { qunsetenv(m_name); }
    ScopedEnv(const ScopedEnv&) = delete;
    ScopedEnv& operator=(const ScopedEnv&) = delete;

private:
    const char* m_name;
};
} // namespace

// A start-up that fails once it has set things up takes them with it: the module it
// registered, the menu items it merged and the other objects of its classes.
TEST_F(PackageTest, AStartUpThatFailsAfterSettingUpLeavesNothingOfThePackage)
{
    struct Case {
        const char* what;
        bool loadFirst;     // ZTESTE loaded beforehand
        const char* package;
        QByteArray fail;
    } cases[] = {{"fails after registering", false, "ZTESTE", "after"},
                 {"duplicate identifier", true, "ZTESTE2", ""}};
    ScopedEnv extra("VORTA_TEST_PACKAGE_EXTRA", "1");
    auto* app = vorta::Application::instance();
    for (const Case& c : cases) {
        if (c.loadFirst)
            LoadVortaPackage("ZTESTE");
        const int modules = Modulos.count();
        const int components = app->componentCount();
        const ModuleHandle last = LastModuleInstance;
        {
            ScopedEnv fail("VORTA_TEST_PACKAGE_FAIL", c.fail);
            EXPECT_THROW(LoadVortaPackage(c.package), vorta::Exception) << c.what;
        }
        EXPECT_EQ(Modulos.count(), modules) << c.what;
        EXPECT_EQ(app->componentCount(), components) << c.what;
        EXPECT_EQ(LastModuleInstance, last) << c.what;
        EXPECT_EQ(menu->items()->count(), c.loadFirst ? 2 : 1) << c.what;
        EXPECT_EQ(menu->items()->item(0)->caption, "&Arquivo") << c.what;
        if (c.loadFirst) {
            // The package loaded before is untouched and still unloads cleanly.
            ASSERT_GE(Modulos.indexOf("ZTESTE"), 0) << c.what;
            EXPECT_NE(Modulos.object(Modulos.indexOf("ZTESTE")), nullptr) << c.what;
            UnLoadVortaPackage("ZTESTE");
        }
    }
}

TEST_F(PackageTest, UnloadFreesTheApplicationsObjectsOfThePackageAndNoOthers)
{
    ScopedEnv extra("VORTA_TEST_PACKAGE_EXTRA", "1");
    auto* app = vorta::Application::instance();
    const int before = app->componentCount();
    LoadVortaPackage("ZTESTE");
    EXPECT_EQ(app->componentCount(), before + 2); // the module and the package's other object
    Guarded<vorta::Component> hosts(new vorta::Component(app));
    UnLoadVortaPackage("ZTESTE");
    EXPECT_EQ(app->componentCount(), before + 1);
    ASSERT_TRUE(hosts);
    vorta::Component::free(hosts.get());
}

TEST_F(PackageTest, UnloadFreesTheModuleAndRemovesItsMenu)
{
    LoadVortaPackage("ZTESTE");
    Guarded<TDmVortaModule> module = Modulos.object(Modulos.indexOf("ZTESTE"));
    UnLoadVortaPackage("ZTESTE");
    EXPECT_FALSE(module);
    EXPECT_EQ(Modulos.indexOf("ZTESTE"), -1);
    ASSERT_EQ(menu->items()->count(), 1);
    EXPECT_EQ(menu->items()->item(0)->caption, "&Arquivo");
    UnLoadVortaPackage("ZTESTE"); // not loaded: nothing happens
}

TEST_F(PackageTest, UnloadingAModuleAlreadyFreedKeepsTheHostsOwnItems)
{
    LoadVortaPackage("ZTESTE");
    vorta::Component::free(Modulos.object(Modulos.indexOf("ZTESTE")));
    const int components = vorta::Application::instance()->componentCount();
    UnLoadVortaPackage("ZTESTE"); // no module left to name its package
    EXPECT_EQ(Modulos.indexOf("ZTESTE"), -1);
    ASSERT_GE(menu->items()->count(), 1);
    EXPECT_EQ(menu->items()->item(0)->caption, "&Arquivo");
    EXPECT_EQ(vorta::Application::instance()->componentCount(), components);
}

TEST(DoUnloadPackage, HandleZeroFreesNothing)
{
    auto* app = vorta::Application::instance();
    auto* c = new vorta::Component(app);
    const int before = app->componentCount();
    DoUnloadPackage(0);
    EXPECT_EQ(app->componentCount(), before);
    vorta::Component::free(c);
}

TEST(ModuleRegistry, ListUpdatesDoneReplacesTheListWithTheRegisteredModulesInRegistryOrder)
{
    TempInstallation inst;
    QStringList list{"stale"};
    ListUpdatesDone(list); // no module key yet
    EXPECT_TRUE(list.isEmpty());

    for (const char* name : {"ZIR", "KOB", "Alfa"})
        RegisterModule(name, "1.0", true);
    list = QStringList{"stale"};
    ListUpdatesDone(list);
    EXPECT_EQ(list, QStringList({"Alfa", "KOB", "ZIR"}));
}

TEST(ModuleRegistry, EnablingWritesOnlyForARegisteredModule)
{
    TempInstallation inst;
    RegisterModule("KOB", "2.1", true);
    EnableVortaModule("KOB", false);
    EnableVortaModule("NOVO", true); // never registered: no key is made for it

    vorta::os::Registry reg;
    ASSERT_TRUE(reg.openKeyReadOnly("\\Software\\Kalvi\\Vorta\\Modulos\\KOB"));
    EXPECT_EQ(reg.readString("Versao"), "2.1");
    EXPECT_FALSE(reg.readBool("Enable"));
    EXPECT_FALSE(reg.openKeyReadOnly("\\Software\\Kalvi\\Vorta\\Modulos\\NOVO"));
    QStringList list;
    ListUpdatesDone(list);
    EXPECT_EQ(list, QStringList({"KOB"}));
}

TEST(TProcedures, CloseRunsTheSavedHandlerAndAlwaysFreesTheForm)
{
    struct Case {
        bool saved;
        vorta::ui::CloseAction setBySaved;
    } cases[] = {{false, vorta::ui::CloseAction::None},
                 {true, vorta::ui::CloseAction::Hide},
                 {true, vorta::ui::CloseAction::None}};
    for (const Case& c : cases) {
        TProcedures procedures;
        vorta::ui::Form* seen = nullptr;
        if (c.saved)
            procedures.savedOnClose = [&](vorta::ui::Form* sender, vorta::ui::CloseAction& action) {
                seen = sender;
                action = c.setBySaved;
            };
        vorta::ui::Form form(nullptr);
        vorta::ui::CloseAction action = vorta::ui::CloseAction::Hide;
        procedures.VortaFormClose(&form, action);
        EXPECT_EQ(action, vorta::ui::CloseAction::Free);
        EXPECT_EQ(seen, c.saved ? &form : nullptr);
    }
}
