#pragma once

#include "platform/core/Component.h"
#include "platform/core/Exceptions.h"
#include "platform/ui/DataModule.h"
#include "platform/ui/Form.h"
#include "platform/ui/Menu.h"

#include <QKeySequence>
#include <QString>
#include <QStringList>

#include <cstdint>
#include <functional>
#include <memory>
#include <utility>
#include <vector>

// Installation folders, read from the registry ("Path" ends with "/").
extern QString DirVorta;
extern QString DirModulos;
extern QString DirDados;
extern QString DirUpd;
extern QString DirTemp;
extern QString DirArquivos;
extern QString DirBackup;
// Hand-over slots that the programs fill; the library never sets them.
extern QString Versao;
extern QString LogFile;
extern bool Impressora;

VORTA_EXCEPTION_CLASS(EInvalidModuleID, vorta::Exception)

using ModuleHandle = std::intptr_t;

class TDmVortaModule;

// Loaded module packages, sorted by identifier (case-insensitive); a duplicate is an error.
class TModuleList {
public:
    int count() const { return static_cast<int>(m_items.size()); }
    QString key(int index) const { return m_items.at(static_cast<size_t>(index)).first; }
    TDmVortaModule* object(int index) const { return m_items.at(static_cast<size_t>(index)).second; }
    int indexOf(const QString& key) const;
    // Raises EStringListError "Duplicates not allowed" for a key already present.
    int add(const QString& key, TDmVortaModule* module);
    void remove(int index);
    void clear() { m_items.clear(); }

private:
    std::vector<std::pair<QString, vorta::Guarded<TDmVortaModule>>> m_items;
};

extern TModuleList Modulos;
extern ModuleHandle LastModuleInstance;

class TProcedures;
extern TProcedures* Procedures;

// Reads "Path" and sets the directory strings.
void InicializarVariaveisGlobais();

// What a module program cannot start without, as one text for the user: the registry's
// "Path" value, or the database of its data folder. Empty when the installation is there.
QString FaltaNaInstalacao();

// Owner of the forms and data modules of one command, held by shared pointer: when
// the last holder lets go, they are freed, the last created first.
class TFormAutoDestroyer {
public:
    TFormAutoDestroyer() = default;
    ~TFormAutoDestroyer();
    TFormAutoDestroyer(const TFormAutoDestroyer&) = delete;
    TFormAutoDestroyer& operator=(const TFormAutoDestroyer&) = delete;

    static std::shared_ptr<TFormAutoDestroyer> Create() { return std::make_shared<TFormAutoDestroyer>(); }

    // Creates T into reference (set before T's constructors run) with the owner given;
    // a constructor failure leaves reference empty and passes on.
    template <class T>
    T* CreateForm(vorta::Guarded<T>& reference, vorta::Component* owner)
    {
        T* object = vorta::createInto<T>(reference, owner);
        m_owned.emplace_back(object);
        return object;
    }

    int count() const { return static_cast<int>(m_owned.size()); }

private:
    std::vector<vorta::Guarded<vorta::Component>> m_owned;
};
using IFormAutoDestroyer = std::shared_ptr<TFormAutoDestroyer>;

// Base data module of an in-process module package.
class TDmVortaModule : public vorta::ui::DataModule {
public:
    explicit TDmVortaModule(vorta::Component* owner = nullptr);
    vorta::ui::MainMenu* MainMenu;
    virtual QString GetModuleVersion() = 0;
    virtual QString GetModuleID() = 0;
};

// Keeps a form's variable in step with the form's life (see VortaFormShow).
class TProcedures : public vorta::Component {
public:
    explicit TProcedures(vorta::Component* owner = nullptr) : vorta::Component(owner) {}
    std::function<void()> clearReference;
    std::function<void(vorta::ui::Form*, vorta::ui::CloseAction&)> savedOnClose;
    std::function<void(vorta::ui::Form*)> savedOnDestroy;

    void VortaFormClose(vorta::ui::Form* sender, vorta::ui::CloseAction& action);
    void VortaFormDestroy(vorta::ui::Form* sender);
};

// Module packages: shared objects DirModulos + name + ".bpl".
void LoadVortaPackage(const QString& name);
void UnLoadVortaPackage(const QString& name);
void DoUnloadPackage(ModuleHandle module);
void EnableVortaModule(const QString& name, bool enable);
void RegisterModule(const QString& name, const QString& version, bool enable);
void ListUpdatesDone(QStringList& list);

vorta::ui::MenuItem* NewItemX(const QString& caption, const QKeySequence& shortcut, bool checked, bool enabled,
                              std::function<void(vorta::ui::MenuItem*)> onClick, int helpContext,
                              const QString& name, std::intptr_t tag);
void MergeMenuItem(const vorta::ui::MenuItem* source, vorta::ui::MenuItem* destination, ModuleHandle module);

namespace detail {
void registerLoadedModule(TDmVortaModule* module);
}

// Called by a package while it starts: creates its module and registers it.
template <class T>
T* InitializeModule(vorta::Guarded<T>& reference)
{
    T* module = vorta::ui::createForm<T>(reference);
    detail::registerLoadedModule(module);
    return module;
}

// Creates the form, shows it modally and frees it; the cursor comes back however it ends.
template <class T>
int VortaFormShowModal(vorta::Guarded<T>& reference)
{
    vorta::CursorGuard cursor;
    T* form = vorta::ui::createForm<T>(reference);
    struct Free {
        T* f;
        ~Free() { vorta::Component::free(f); }
    } freeIt{form};
    return form->showModal();
}

// Shows the one shared instance, creating it on first use; the variable empties when it goes.
template <class T>
void VortaFormShow(vorta::Guarded<T>& reference)
{
    vorta::CursorGuard cursor;
    if (!reference) {
        T* form = vorta::ui::createForm<T>(reference);
        auto* procedures = new TProcedures(nullptr);
        Procedures = procedures;
        procedures->clearReference = [&reference] { reference = nullptr; };
        procedures->savedOnClose = form->OnClose;
        procedures->savedOnDestroy = form->OnDestroy;
        form->OnDestroy = [procedures](vorta::ui::Form* sender) { procedures->VortaFormDestroy(sender); };
    }
    reference->show();
}
