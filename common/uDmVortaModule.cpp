#include "uDmVortaModule.h"

#include "DialogsX.h"

#include "platform/ui/Application.h"
#include "platform/db/Connection.h"
#include "platform/os/Registry.h"

#include <QFile>
#include <QFileInfo>

#include <dlfcn.h>
#include <link.h>

QString DirVorta;
QString DirModulos;
QString DirDados;
QString DirUpd;
QString DirTemp;
QString DirArquivos;
QString DirBackup;
QString Versao;
QString LogFile;
bool Impressora = false;

TModuleList Modulos;
ModuleHandle LastModuleInstance = 0;
TProcedures* Procedures = nullptr;

namespace {
const QString kVortaKey = QStringLiteral("\\Software\\Kalvi\\Vorta\\");
const QString kModulosKey = QStringLiteral("\\Software\\Kalvi\\Vorta\\Modulos\\");
} // namespace

void InicializarVariaveisGlobais()
{
    vorta::os::Registry reg;
    DirVorta.clear();
    if (reg.openKeyReadOnly(kVortaKey))
        DirVorta = reg.readString(QStringLiteral("Path"));
    DirModulos = DirVorta + QStringLiteral("modulos/");
    DirDados = DirVorta + QStringLiteral("dados/");
    DirUpd = DirVorta + QStringLiteral("updates/");
    DirTemp = DirVorta + QStringLiteral("temp/");
    DirArquivos = DirVorta + QStringLiteral("arquivos/");
    DirBackup = DirVorta + QStringLiteral("backup/");
}

QString FaltaNaInstalacao()
{
    InicializarVariaveisGlobais();
    if (DirVorta.isEmpty())
        return QStringLiteral("O Vorta não está instalado: o registro (%1) não tem o valor \"Path\" em %2. "
                              "Instale-o com vorta-install.")
            .arg(vorta::os::Registry::storePath(), kVortaKey);
    const QString banco = DirDados + QLatin1String(vorta::db::kDatabaseFileName);
    if (!QFileInfo::exists(banco))
        return QStringLiteral("A instalação do Vorta em %1 não tem o banco de dados %2. Instale-o com vorta-install.")
            .arg(DirVorta, banco);
    return {};
}

int TModuleList::indexOf(const QString& key) const
{
    for (size_t i = 0; i < m_items.size(); ++i)
        if (m_items[i].first.compare(key, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return -1;
}

int TModuleList::add(const QString& key, TDmVortaModule* module)
{
    if (indexOf(key) >= 0)
        throw vorta::EStringListError(QStringLiteral("Duplicates not allowed"));
    auto at = m_items.begin();
    while (at != m_items.end() && at->first.compare(key, Qt::CaseInsensitive) < 0)
        ++at;
    const auto index = at - m_items.begin();
    m_items.insert(at, {key, vorta::Guarded<TDmVortaModule>(module)});
    return static_cast<int>(index);
}

void TModuleList::remove(int index)
{
    m_items.erase(m_items.begin() + index);
}

TFormAutoDestroyer::~TFormAutoDestroyer()
{
    while (!m_owned.empty()) {
        vorta::Component* last = m_owned.back().get();
        m_owned.pop_back();
        vorta::Component::free(last); // one already freed elsewhere reads null
    }
}

TDmVortaModule::TDmVortaModule(vorta::Component* owner)
    : vorta::ui::DataModule(owner), MainMenu(new vorta::ui::MainMenu(this))
{
    MainMenu->setName(QStringLiteral("MainMenu"));
}

void TProcedures::VortaFormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action)
{
    if (savedOnClose)
        savedOnClose(sender, action);
    action = vorta::ui::CloseAction::Free;
}

void TProcedures::VortaFormDestroy(vorta::ui::Form* sender)
{
    if (savedOnDestroy)
        savedOnDestroy(sender);
    if (clearReference)
        clearReference();
    // Nothing else holds this object once its form is gone.
    if (Procedures == this)
        Procedures = nullptr;
    vorta::Component::free(this);
}

vorta::ui::MenuItem* NewItemX(const QString& caption, const QKeySequence& shortcut, bool checked, bool enabled,
                              std::function<void(vorta::ui::MenuItem*)> onClick, int helpContext,
                              const QString& name, std::intptr_t tag)
{
    auto* item = new vorta::ui::MenuItem(nullptr);
    item->caption = caption;
    item->shortcut = shortcut;
    item->checked = checked;
    item->enabled = enabled;
    item->OnClick = std::move(onClick);
    item->helpContext = helpContext;
    item->setName(name);
    item->setTag(tag);
    return item;
}

void MergeMenuItem(const vorta::ui::MenuItem* source, vorta::ui::MenuItem* destination, ModuleHandle module)
{
    for (int i = 0; i < source->count(); ++i) {
        const vorta::ui::MenuItem* from = source->item(i);
        auto* copy = new vorta::ui::MenuItem(nullptr);
        copy->caption = from->caption;
        copy->shortcut = from->shortcut;
        copy->checked = from->checked;
        copy->enabled = from->enabled;
        copy->OnClick = from->OnClick;
        copy->helpContext = from->helpContext;
        copy->setName(from->name());
        destination->add(copy);
        MergeMenuItem(from, copy, module);
    }
}

void RegisterModule(const QString& name, const QString& version, bool enable)
{
    vorta::os::Registry reg;
    if (reg.openKey(kModulosKey + name, true)) {
        reg.writeString(QStringLiteral("Versao"), version);
        reg.writeBool(QStringLiteral("Enable"), enable);
        reg.closeKey();
    }
}

void EnableVortaModule(const QString& name, bool enable)
{
    vorta::os::Registry reg;
    if (reg.openKey(kModulosKey + name, false)) {
        reg.writeBool(QStringLiteral("Enable"), enable);
        reg.closeKey();
    }
}

void ListUpdatesDone(QStringList& list)
{
    list.clear();
    vorta::os::Registry reg;
    if (reg.openKeyReadOnly(kModulosKey))
        list = reg.getKeyNames();
}

namespace {
vorta::ui::MainMenu* hostMenu()
{
    auto* app = vorta::Application::instance();
    auto* main = app ? app->mainForm() : nullptr;
    return main ? main->mainMenu() : nullptr;
}

// Base address at which a loaded shared object sits in memory.
std::uintptr_t baseOf(ModuleHandle module)
{
    link_map* map = nullptr;
    if (module == 0 || dlinfo(reinterpret_cast<void*>(module), RTLD_DI_LINKMAP, &map) != 0 || !map)
        return 0;
    return static_cast<std::uintptr_t>(map->l_addr);
}

// Deletes the top-level items of the host's menu that a package merged in: they carry
// its handle, and their handlers live in its code. Handle 0 names no package, and the
// host's own items carry tag 0.
void removeMergedItems(ModuleHandle handle)
{
    vorta::ui::MainMenu* menu = handle != 0 ? hostMenu() : nullptr;
    if (!menu)
        return;
    vorta::ui::MenuItem* items = menu->items();
    int i = 0;
    while (i < items->count()) {
        if (items->item(i)->tag() == handle)
            items->deleteItem(i);
        else
            ++i;
    }
}
} // namespace

namespace detail {
void registerLoadedModule(TDmVortaModule* module)
{
    const QString id = module->GetModuleID();
    try {
        Modulos.add(id, module);
    } catch (...) {
        // Its class lives in a package that is about to go: it must go first.
        vorta::Component::free(module);
        throw;
    }
    RegisterModule(id, module->GetModuleVersion(), true);
    module->setTag(LastModuleInstance);
    if (vorta::ui::MainMenu* menu = hostMenu()) {
        const vorta::ui::MenuItem* items = module->MainMenu->items();
        for (int i = 0; i < items->count(); ++i) {
            const vorta::ui::MenuItem* from = items->item(i);
            vorta::ui::MenuItem* copy = NewItemX(from->caption, from->shortcut, from->checked, from->enabled,
                                                 from->OnClick, from->helpContext, from->name(),
                                                 LastModuleInstance);
            menu->items()->add(copy);
            MergeMenuItem(from, copy, LastModuleInstance);
        }
    }
}
} // namespace detail

void LoadVortaPackage(const QString& name)
{
    if (Modulos.indexOf(name) >= 0) {
        ShowMessage(QStringLiteral("Módulo já está carregado!"));
        return;
    }
    const QByteArray path = QFile::encodeName(DirModulos + name + QStringLiteral(".bpl"));
    void* handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        const char* why = dlerror();
        throw vorta::EPackageError(QStringLiteral("ERRO: %1 %2 ").arg(name, QString::fromLocal8Bit(why ? why : "")));
    }
    const ModuleHandle previous = LastModuleInstance;
    LastModuleInstance = reinterpret_cast<ModuleHandle>(handle);
    // The package's start-up registers its module through InitializeModule.
    using Init = void (*)();
    auto init = reinterpret_cast<Init>(dlsym(handle, "VortaPackageInitialize"));
    if (!init)
        return;
    QStringList loadedBefore;
    for (int i = 0; i < Modulos.count(); ++i)
        loadedBefore << Modulos.key(i);
    try {
        init();
    } catch (...) {
        // The handle of a package that is gone again names nothing.
        LastModuleInstance = previous;
        // Whatever the start-up set up before it failed goes with the package: a module
        // it registered, the menu items it merged, the objects of its classes.
        for (int i = Modulos.count() - 1; i >= 0; --i) {
            if (!loadedBefore.contains(Modulos.key(i))) {
                vorta::Component::free(Modulos.object(i));
                Modulos.remove(i);
            }
        }
        removeMergedItems(reinterpret_cast<ModuleHandle>(handle));
        DoUnloadPackage(reinterpret_cast<ModuleHandle>(handle));
        throw;
    }
}

void DoUnloadPackage(ModuleHandle module)
{
    // Handle 0 names no package: nothing of the application is freed for it.
    const std::uintptr_t base = baseOf(module);
    if (module == 0)
        return;
    if (auto* app = vorta::Application::instance()) {
        for (int i = app->componentCount() - 1; i >= 0; --i) {
            if (i >= app->componentCount())
                continue;
            vorta::Component* c = app->component(i);
            Dl_info info{};
            void* vtable = *reinterpret_cast<void**>(c);
            if (base != 0 && dladdr(vtable, &info) && reinterpret_cast<std::uintptr_t>(info.dli_fbase) == base)
                vorta::Component::free(c);
        }
    }
    dlclose(reinterpret_cast<void*>(module));
}

void UnLoadVortaPackage(const QString& name)
{
    const int index = Modulos.indexOf(name);
    if (index < 0)
        return;
    TDmVortaModule* module = Modulos.object(index);
    const ModuleHandle handle = module ? static_cast<ModuleHandle>(module->tag()) : 0;
    vorta::Component::free(module);
    Modulos.remove(index);
    // The merged items go before the package whose code their handlers are.
    removeMergedItems(handle);
    DoUnloadPackage(handle);
}

namespace {
// Library start-up: the folders are known before any program code runs.
struct StartUp {
    StartUp() { InicializarVariaveisGlobais(); }
} startUp;
} // namespace
